// Run-time errors of the core layer: the kinds, their codes for the stretch
// without exception support, the pending I/O result code, the hooks through
// which the core reaches exception support, and the single entry for every
// run-time error.
#pragma once

#include <cstdint>

#include "platform/exception_api.h"

class TObject;
struct ClassInfo;

enum class RuntimeErrorKind : std::uint8_t {
  IoFailure = 0,
  OutOfMemory = 1,
  InvalidPointer = 2,
  IntegerDivideByZero = 3,
  RangeCheck = 4,
  IntegerOverflow = 5,
  InvalidFloatOperation = 6,
  FloatDivideByZero = 7,
  FloatOverflow = 8,
  FloatUnderflow = 9,
  InvalidTypecast = 10,
  AccessViolation = 11,
  PrivilegedInstruction = 12,
  ControlC = 13,
  StackOverflow = 14,
  VariantConversion = 15,
  VariantOperation = 16,
  VariantMethodCall = 17,
  VariantArrayCreation = 18,
  VariantArgument = 19,
  VariantArrayIndex = 20,
  AssertionFailure = 21,
  ExternalFault = 22,
  InterfaceNotSupported = 23,
  SafecallFailure = 24,
};
inline constexpr int RuntimeErrorKindCount = 25;

// The run-time error codes that more than one file names.
enum RuntimeErrorCode : std::int32_t {
  // An access violation; raising no object at all ends the process with it
  // too.
  AccessViolationCode = 216,
  // An exception that reaches the top-level handler while exception support
  // is absent; Control-C ends the process with it too.
  ExceptionWithoutSupportCode = 217,
};

// The code of each kind when exception support is absent (IoFailure uses
// the pending I/O result code instead of its entry).
extern const std::int32_t RuntimeErrorCodes[RuntimeErrorKindCount];

// The pending I/O result code of this thread, 0 when none: set by the
// stream operations, consumed by the I/O run-time error.
extern thread_local std::int32_t IoResultCode;

void SetIoResult(std::int32_t code);
std::int32_t TakeIoResult();

// Exception code that marks the system's own exceptions. Their record
// carries the location and the object as its first two parameters.
inline constexpr DWORD SystemExceptionCode = 0x0EEDFADE;

// The object that a record of the system's own exceptions carries; null
// for any other record.
TObject* RaisedObject(const EXCEPTION_RECORD& record);

// The hooks: null while exception support is absent. Those that "do not
// return" end in an exception or in the end of the process.
extern void (*RuntimeErrorHook)(RuntimeErrorKind kind, void* location);
extern void (*UnhandledExceptionHook)(TObject* object, void* location);
extern TObject* (*FaultObjectHook)(EXCEPTION_RECORD* fault);
extern const ClassInfo* (*FaultClassHook)(EXCEPTION_RECORD* fault);

// The single entry for every run-time error: the hook when set, otherwise
// the end of the process with the kind's code.
[[noreturn]] void RaiseRuntimeError(RuntimeErrorKind kind, void* location);

// ErrorLocation := location, then ExitProgram(code).
[[noreturn]] void StopWithRuntimeError(std::int32_t code, void* location);

// The return address of the function that uses it: the location of a
// run-time error raised on behalf of its caller's statement.
#define CALLER_LOCATION __builtin_extract_return_addr(__builtin_return_address(0))
