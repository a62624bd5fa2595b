#include "arithmetic/extended_arithmetic.h"

#include "platform/exception_api.h"

namespace {

constexpr std::uint16_t ExceptionMaskBits = 0x003F;
constexpr std::uint16_t PowerOnControlWord = 0x037F;

// Status-word exception flags, in the order a fault is chosen when an
// operation raised more than one of them.
struct FlagFault {
  std::uint16_t flag;
  DWORD code;
};
constexpr FlagFault FlagFaults[] = {
    {0x0001, STATUS_FLOAT_INVALID_OPERATION}, {0x0002, STATUS_FLOAT_DENORMAL_OPERAND},
    {0x0004, STATUS_FLOAT_DIVIDE_BY_ZERO},    {0x0008, STATUS_FLOAT_OVERFLOW},
    {0x0010, STATUS_FLOAT_UNDERFLOW},         {0x0020, STATUS_FLOAT_INEXACT_RESULT},
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

FpuRegisters Fpu{PowerOnControlWord, 0};

namespace extended_detail {

std::uint16_t faultingFlags = 0;

void RaiseFloatFault(std::uint16_t flags) {
  void* const address = __builtin_extract_return_addr(__builtin_return_address(0));
  // A fault leaves the sticky flags clear, as the handler of a real unit
  // would, so that the next operation starts afresh.
  Fpu.statusWord = 0;
  RaiseFault(FaultCodeOf(flags), address);
}

}  // namespace extended_detail

void LoadControlWord(std::uint16_t word) {
  Fpu.controlWord = word;
  extended_detail::faultingFlags = static_cast<std::uint16_t>(~word) & ExceptionMaskBits;
}

std::uint16_t InstalledControlWord() { return Fpu.controlWord; }

void ResetFpu() {
  Fpu.statusWord = 0;
  LoadControlWord(PowerOnControlWord);
}
