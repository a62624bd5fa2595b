// Exception support: the message tables, the preallocated instances, the
// hooks' targets, and the mapping of run-time errors and faults to objects
// of the exception class tree.
#pragma once

#include <cstdint>

#include "platform/exception_api.h"
#include "runtime/runtime_error.h"

class TObject;
class Exception;
class EInOutError;
class EAccessViolation;
class EOutOfMemory;
class EInvalidPointer;

extern EOutOfMemory* OutOfMemoryInstance;
extern EInvalidPointer* InvalidPointerInstance;

// The utilities unit's start and finish work.
void LoadErrorTexts();
void ReleaseErrorTexts();
void InstallExceptionSupport();
void RemoveExceptionSupport();

[[noreturn]] void RuntimeErrorToException(RuntimeErrorKind kind, void* location);
EInOutError* BuildIoError();
[[noreturn]] void RaiseObject(TObject* object, void* location);
RuntimeErrorKind ClassifyFault(DWORD faultCode);
TObject* FaultToException(EXCEPTION_RECORD* fault);
EAccessViolation* BuildAccessViolation(EXCEPTION_RECORD* fault);
[[noreturn]] void FaultToRuntimeCode(EXCEPTION_RECORD* fault);

// Exception code that marks the system's own exceptions.
inline constexpr DWORD SystemExceptionCode = 0x0EEDFADE;
