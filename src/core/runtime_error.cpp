#include "core/runtime_error.h"

#include "core/lifecycle.h"

const std::int32_t RuntimeErrorCodes[RuntimeErrorKindCount] = {
    0,                            // IoFailure: the pending I/O result code
    203,                          // OutOfMemory
    204,                          // InvalidPointer
    200,                          // IntegerDivideByZero
    201,                          // RangeCheck
    215,                          // IntegerOverflow
    207,                          // InvalidFloatOperation
    200,                          // FloatDivideByZero
    205,                          // FloatOverflow
    206,                          // FloatUnderflow
    219,                          // InvalidTypecast
    AccessViolationCode,          // AccessViolation
    218,                          // PrivilegedInstruction
    ExceptionWithoutSupportCode,  // ControlC
    202,                          // StackOverflow
    220,                          // VariantConversion
    221,                          // VariantOperation
    222,                          // VariantMethodCall
    223,                          // VariantArrayCreation
    224,                          // VariantArgument
    225,                          // VariantArrayIndex
    227,                          // AssertionFailure
    0,                            // ExternalFault: arises only on the fault path
    228,                          // InterfaceNotSupported
    229,                          // SafecallFailure
};

thread_local std::int32_t IoResultCode = 0;

void SetIoResult(std::int32_t code) { IoResultCode = code; }

std::int32_t TakeIoResult() {
  const std::int32_t code = IoResultCode;
  IoResultCode = 0;
  return code;
}

TObject* RaisedObject(const EXCEPTION_RECORD& record) {
  if (record.ExceptionCode != SystemExceptionCode || record.NumberParameters < 2) {
    return nullptr;
  }
  return reinterpret_cast<TObject*>(record.ExceptionInformation[1]);
}

void (*RuntimeErrorHook)(RuntimeErrorKind kind, void* location) = nullptr;
void (*UnhandledExceptionHook)(TObject* object, void* location) = nullptr;
TObject* (*FaultObjectHook)(EXCEPTION_RECORD* fault) = nullptr;
const ClassInfo* (*FaultClassHook)(EXCEPTION_RECORD* fault) = nullptr;

void RaiseRuntimeError(RuntimeErrorKind kind, void* location) {
  // Step 1: with exception support installed the hook raises and never
  // comes back.
  if (RuntimeErrorHook != nullptr) {
    RuntimeErrorHook(kind, location);
  }
  // Step 2: the code of the kind, or the pending I/O code (read, not reset).
  const std::int32_t code =
      kind == RuntimeErrorKind::IoFailure ? IoResultCode : RuntimeErrorCodes[static_cast<int>(kind)];
  // Step 3: the end of the process with that code.
  StopWithRuntimeError(code, location);
}

void StopWithRuntimeError(std::int32_t code, void* location) {
  ErrorLocation = location;
  ExitProgram(code);
}
