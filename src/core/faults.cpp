#include "core/faults.h"

namespace {

struct FaultRow {
  DWORD faultCode;
  RuntimeErrorKind kind;
  std::int32_t runtimeCode;
};
constexpr FaultRow FaultTable[] = {
    {STATUS_INTEGER_DIVIDE_BY_ZERO, RuntimeErrorKind::IntegerDivideByZero, 200},
    {STATUS_ARRAY_BOUNDS_EXCEEDED, RuntimeErrorKind::RangeCheck, 201},
    {STATUS_INTEGER_OVERFLOW, RuntimeErrorKind::IntegerOverflow, 215},
    {STATUS_FLOAT_INEXACT_RESULT, RuntimeErrorKind::InvalidFloatOperation, 207},
    {STATUS_FLOAT_INVALID_OPERATION, RuntimeErrorKind::InvalidFloatOperation, 207},
    {STATUS_FLOAT_STACK_CHECK, RuntimeErrorKind::InvalidFloatOperation, 207},
    {STATUS_FLOAT_DIVIDE_BY_ZERO, RuntimeErrorKind::FloatDivideByZero, 200},
    {STATUS_FLOAT_OVERFLOW, RuntimeErrorKind::FloatOverflow, 205},
    {STATUS_FLOAT_DENORMAL_OPERAND, RuntimeErrorKind::FloatUnderflow, 206},
    {STATUS_FLOAT_UNDERFLOW, RuntimeErrorKind::FloatUnderflow, 206},
    {STATUS_ACCESS_VIOLATION, RuntimeErrorKind::AccessViolation, 216},
    {STATUS_PRIVILEGED_INSTRUCTION, RuntimeErrorKind::PrivilegedInstruction, 218},
    {STATUS_CONTROL_C_EXIT, RuntimeErrorKind::ControlC, 217},
    {STATUS_STACK_OVERFLOW, RuntimeErrorKind::StackOverflow, 202},
};
constexpr FaultRow OtherFault{0, RuntimeErrorKind::ExternalFault, 255};

const FaultRow& FindFault(DWORD faultCode) {
  for (const FaultRow& row : FaultTable) {
    if (row.faultCode == faultCode) {
      return row;
    }
  }
  return OtherFault;
}

}  // namespace

RuntimeErrorKind ClassifyFault(DWORD faultCode) { return FindFault(faultCode).kind; }

std::int32_t FaultRuntimeCode(DWORD faultCode) { return FindFault(faultCode).runtimeCode; }

void FaultToRuntimeCode(EXCEPTION_RECORD* fault) {
  StopWithRuntimeError(FaultRuntimeCode(fault->ExceptionCode), fault->ExceptionAddress);
}
