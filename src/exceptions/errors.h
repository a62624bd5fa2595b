// Exception support: the message tables, the preallocated instances, the
// hooks' targets, and the mapping of run-time errors and faults to objects
// of the exception class tree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/faults.h"
#include "core/runtime_error.h"
#include "platform/exception_api.h"

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
TObject* FaultToException(EXCEPTION_RECORD* fault);
EAccessViolation* BuildAccessViolation(EXCEPTION_RECORD* fault);

// Target of FaultClassHook: the class that FaultToException builds for the fault.
const ClassInfo* FaultToClass(EXCEPTION_RECORD* fault);
