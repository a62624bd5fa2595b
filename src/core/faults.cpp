#include "core/faults.h"

namespace {

// Each fault code of the platform and the kind it becomes; the kind gives
// its run-time error code.
struct FaultRow {
  DWORD faultCode;
  RuntimeErrorKind kind;
};
constexpr FaultRow FaultTable[] = {
    {STATUS_INTEGER_DIVIDE_BY_ZERO, RuntimeErrorKind::IntegerDivideByZero},
    {STATUS_ARRAY_BOUNDS_EXCEEDED, RuntimeErrorKind::RangeCheck},
    {STATUS_INTEGER_OVERFLOW, RuntimeErrorKind::IntegerOverflow},
    {STATUS_FLOAT_INEXACT_RESULT, RuntimeErrorKind::InvalidFloatOperation},
    {STATUS_FLOAT_INVALID_OPERATION, RuntimeErrorKind::InvalidFloatOperation},
    {STATUS_FLOAT_STACK_CHECK, RuntimeErrorKind::InvalidFloatOperation},
    {STATUS_FLOAT_DIVIDE_BY_ZERO, RuntimeErrorKind::FloatDivideByZero},
    {STATUS_FLOAT_OVERFLOW, RuntimeErrorKind::FloatOverflow},
    {STATUS_FLOAT_DENORMAL_OPERAND, RuntimeErrorKind::FloatUnderflow},
    {STATUS_FLOAT_UNDERFLOW, RuntimeErrorKind::FloatUnderflow},
    {STATUS_ACCESS_VIOLATION, RuntimeErrorKind::AccessViolation},
    {STATUS_PRIVILEGED_INSTRUCTION, RuntimeErrorKind::PrivilegedInstruction},
    {STATUS_CONTROL_C_EXIT, RuntimeErrorKind::ControlC},
    {STATUS_STACK_OVERFLOW, RuntimeErrorKind::StackOverflow},
};
// A fault outside the table ends the process with this code.
constexpr std::int32_t OtherFaultCode = 255;

}  // namespace

RuntimeErrorKind ClassifyFault(DWORD faultCode) {
  for (const FaultRow& row : FaultTable) {
    if (row.faultCode == faultCode) {
      return row.kind;
    }
  }
  return RuntimeErrorKind::ExternalFault;
}

std::int32_t FaultRuntimeCode(DWORD faultCode) {
  const RuntimeErrorKind kind = ClassifyFault(faultCode);
  return kind == RuntimeErrorKind::ExternalFault ? OtherFaultCode : RuntimeErrorCodes[static_cast<int>(kind)];
}

void FaultToRuntimeCode(EXCEPTION_RECORD* fault) {
  StopWithRuntimeError(FaultRuntimeCode(fault->ExceptionCode), fault->ExceptionAddress);
}
