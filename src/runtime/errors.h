// Exception support: the message tables, the preallocated instances, the
// hooks' targets, and the mapping of run-time errors and faults to objects
// of the exception class tree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// The message of each I/O code that has its own text, searched in order.
struct TErrorRec {
  std::int32_t code;
  std::string message;
};
inline constexpr int IoErrorTextCount = 7;
extern TErrorRec IoErrorTexts[IoErrorTextCount];

// The class and message of the kinds 3 to 24, at index kind - 3.
struct TExceptRec {
  const ClassInfo* classType;
  std::string message;
};
inline constexpr int FirstClassedKind = 3;
inline constexpr int RuntimeErrorClassCount = 22;
extern TExceptRec RuntimeErrorClasses[RuntimeErrorClassCount];

// The root of the exception classes while exception support is installed,
// null otherwise.
extern const ClassInfo* ExceptionClass;

// The two further hooks: a failed assertion (raises EAssertionFailed with
// the given text, "Assertion failed" when it is empty) and a call of an
// abstract operation (raises EAbstractError, "Abstract Error"). Nothing in
// this system triggers them.
extern void (*AssertionHook)(std::string_view message, void* location);
extern void (*AbstractErrorHook)(void* location);

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

// Target of FaultClassHook: the class that FaultToException builds for the fault.
const ClassInfo* FaultToClass(EXCEPTION_RECORD* fault);

// The run-time error code of a fault (what FaultToRuntimeCode ends with).
std::int32_t FaultRuntimeCode(DWORD faultCode);

// Exception code that marks the system's own exceptions.
inline constexpr DWORD SystemExceptionCode = 0x0EEDFADE;

// The object that RaiseObject put into a record; null for any other record.
TObject* RaisedObject(const EXCEPTION_RECORD& record);

// Makes a failed allocation the run-time error OutOfMemory. Done when the
// process starts; calling it again changes nothing.
void InstallAllocationFailureHandler();
