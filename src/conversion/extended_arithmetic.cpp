#include "conversion/extended_arithmetic.h"

#include <cstring>

#include "platform/exception_api.h"

namespace {

constexpr std::uint16_t ExceptionMaskBits = 0x003F;
constexpr std::uint16_t PowerOnControlWord = 0x037F;

std::uint16_t installedControlWord = PowerOnControlWord;

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

[[noreturn]] __attribute__((noinline)) void RaiseFloatFault(std::uint16_t flags, void* address) {
  for (const FlagFault& entry : FlagFaults) {
    if ((flags & entry.flag) != 0) {
      RaiseFault(entry.code, address);
    }
  }
  RaiseFault(STATUS_FLOAT_INVALID_OPERATION, address);
}

// Raises the fault for any flag of `status` that the installed word unmasks.
inline void CheckStatus(std::uint16_t status, void* address) {
  const std::uint16_t faults = status & static_cast<std::uint16_t>(~installedControlWord) & ExceptionMaskBits;
  if (faults != 0) {
    RaiseFloatFault(faults, address);
  }
}

}  // namespace

#define FAULT_ADDRESS __builtin_extract_return_addr(__builtin_return_address(0))

__attribute__((noinline)) Extended Widen(double value) {
  Extended result;
  std::uint16_t status;
  asm volatile("fnclex\n\tfldl %2\n\tfnstsw %1" : "=t"(result), "=a"(status) : "m"(value));
  CheckStatus(status, FAULT_ADDRESS);
  return result;
}

__attribute__((noinline)) Extended Widen(float value) {
  Extended result;
  std::uint16_t status;
  asm volatile("fnclex\n\tflds %2\n\tfnstsw %1" : "=t"(result), "=a"(status) : "m"(value));
  CheckStatus(status, FAULT_ADDRESS);
  return result;
}

Extended WidenInteger(std::int64_t value) {
  Extended result;
  asm volatile("fildll %1" : "=t"(result) : "m"(value));
  return result;
}

__attribute__((noinline)) Extended Add(Extended a, Extended b) {
  std::uint16_t status;
  asm volatile("fnclex\n\tfadd %%st(1), %%st\n\tfnstsw %1" : "+t"(a), "=a"(status) : "u"(b));
  CheckStatus(status, FAULT_ADDRESS);
  return a;
}

__attribute__((noinline)) Extended Subtract(Extended a, Extended b) {
  std::uint16_t status;
  asm volatile("fnclex\n\tfsub %%st(1), %%st\n\tfnstsw %1" : "+t"(a), "=a"(status) : "u"(b));
  CheckStatus(status, FAULT_ADDRESS);
  return a;
}

__attribute__((noinline)) Extended Multiply(Extended a, Extended b) {
  std::uint16_t status;
  asm volatile("fnclex\n\tfmul %%st(1), %%st\n\tfnstsw %1" : "+t"(a), "=a"(status) : "u"(b));
  CheckStatus(status, FAULT_ADDRESS);
  return a;
}

__attribute__((noinline)) Extended Divide(Extended a, Extended b) {
  std::uint16_t status;
  asm volatile("fnclex\n\tfdiv %%st(1), %%st\n\tfnstsw %1" : "+t"(a), "=a"(status) : "u"(b));
  CheckStatus(status, FAULT_ADDRESS);
  return a;
}

__attribute__((noinline)) double StoreDouble(Extended value) {
  double result;
  std::uint16_t status;
  asm volatile("fnclex\n\tfstl %0\n\tfnstsw %1" : "=m"(result), "=a"(status) : "t"(value));
  CheckStatus(status, FAULT_ADDRESS);
  return result;
}

__attribute__((noinline)) Extended TruncateReal(Extended x) {
  std::uint16_t saved;
  asm volatile("fnstcw %0" : "=m"(saved));
  const std::uint16_t towardZero = saved | 0x0F00;
  std::uint16_t status;
  asm volatile("fnclex\n\tfldcw %2\n\tfrndint\n\tfldcw %3\n\tfnstsw %1"
               : "+t"(x), "=a"(status)
               : "m"(towardZero), "m"(saved));
  CheckStatus(status, FAULT_ADDRESS);
  return x;
}

__attribute__((noinline)) std::int64_t RoundReal(Extended x) {
  std::int64_t result;
  std::uint16_t status;
  asm volatile("fnclex\n\tfistpll %0\n\tfnstsw %1" : "=m"(result), "=a"(status) : "t"(x) : "st");
  CheckStatus(status, FAULT_ADDRESS);
  return result;
}

void LoadControlWord(std::uint16_t word) {
  installedControlWord = word;
  const std::uint16_t hardwareWord = word | ExceptionMaskBits;
  asm volatile("fldcw %0" : : "m"(hardwareWord));
}

std::uint16_t InstalledControlWord() { return installedControlWord; }

void ResetFpu() { asm volatile("fninit"); }

Extended ExtendedFromBits(std::uint16_t signExponent, std::uint64_t significand) {
  Extended value = 0;
  std::memcpy(&value, &significand, sizeof significand);
  std::memcpy(reinterpret_cast<unsigned char*>(&value) + sizeof significand, &signExponent,
              sizeof signExponent);
  return value;
}

ExtendedBits BitsOf(Extended value) {
  ExtendedBits bits{};
  std::memcpy(&bits.significand, &value, sizeof bits.significand);
  std::memcpy(&bits.signExponent, reinterpret_cast<const unsigned char*>(&value) + sizeof bits.significand,
              sizeof bits.signExponent);
  return bits;
}
