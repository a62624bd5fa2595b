#include "arithmetic/extended_arithmetic.h"

#include "platform/exception_api.h"

namespace x87 {

namespace {

constexpr std::uint16_t PowerOnControlWord = 0x037F;

// Status-word exception flags, in the order a fault is chosen when an
// operation raised more than one of them.
struct FlagFault {
  std::uint16_t flag;
  DWORD code;
};
constexpr FlagFault FlagFaults[] = {
    {InvalidFlag, STATUS_FLOAT_INVALID_OPERATION}, {DenormalFlag, STATUS_FLOAT_DENORMAL_OPERAND},
    {ZeroDivideFlag, STATUS_FLOAT_DIVIDE_BY_ZERO}, {OverflowFlag, STATUS_FLOAT_OVERFLOW},
    {UnderflowFlag, STATUS_FLOAT_UNDERFLOW},       {PrecisionFlag, STATUS_FLOAT_INEXACT_RESULT},
};

DWORD FaultCodeOf(std::uint16_t flags) {
  for (const FlagFault& entry : FlagFaults) {
    if ((flags & entry.flag) != 0) {
      return entry.code;
    }
  }
  return STATUS_FLOAT_INVALID_OPERATION;
}

}  // namespace

namespace detail {

InstalledControl installedControl{PowerOnControlWord};
std::uint16_t statusWord = 0;

void RaiseFloatFault(std::uint16_t flags) {
  void* const address = __builtin_extract_return_addr(__builtin_return_address(0));
  // A fault leaves the sticky flags clear, as the handler of a real unit
  // would, so that the next operation starts afresh.
  statusWord = 0;
  RaiseFault(FaultCodeOf(flags), address);
}

}  // namespace detail

void LoadControlWord(std::uint16_t word) { detail::installedControl = detail::InstalledControl{word}; }

std::uint16_t InstalledControlWord() { return detail::installedControl.Word(); }

std::uint16_t StatusWord() { return detail::statusWord; }

void ResetFpu() {
  detail::statusWord = 0;
  LoadControlWord(PowerOnControlWord);
}

}  // namespace x87
