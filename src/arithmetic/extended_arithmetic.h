// Extended arithmetic: every real computation of the system goes through
// these operations, so that each result is rounded exactly once to the
// 80-bit extended format (64-bit significand, nearest, ties to even) and each
// store to double rounds once more, and so that the floating-point
// exceptions that the installed control word leaves unmasked become faults
// at the very operation that causes them.
//
// How faults arise: the hardware control word keeps every exception masked
// (so the process never receives SIGFPE), and each operation is one volatile
// assembly block that computes and reads the status word. Flags that the
// installed control word leaves unmasked raise the matching STATUS_FLOAT_*
// fault right there, with the code address of the operation.
// Volatile assembly is never moved, merged or folded by the compiler, so no
// optimisation level can reorder an operation past its check.
//
//   Multiply(Widen(180.0f), Widen(1.0))   -> 180 exactly
//   Divide(Widen(1.0), Widen(3.0))        -> 0.3333333333333333333423684
//   StoreDouble(Widen(1e308) * 10)        -> STATUS_FLOAT_OVERFLOW fault
#pragma once

#include <cfloat>
#include <cstdint>
#include <cstring>

static_assert(LDBL_MANT_DIG == 64, "long double must be the x87 80-bit extended format");

using Extended = long double;

namespace extended_detail {

// The installed control word's exception masks, inverted: the status flags
// that are faults.
extern std::uint16_t faultingFlags;

// Raises the fault for `flags` and clears the sticky flags. Never inlined:
// its return address is the code address of the operation that faulted,
// inside the function that asked for it.
[[noreturn]] __attribute__((noinline)) void RaiseFloatFault(std::uint16_t flags);

// The sticky flags are cleared when a fault is raised, when the unit is
// reset and by ClearFloatFlags, so an unmasked flag found here was raised
// by this very operation (masked flags that linger are never faults).
__attribute__((always_inline)) inline void CheckStatus(std::uint16_t status) {
  if ((status & faultingFlags) != 0) {
    RaiseFloatFault(status & faultingFlags);
  }
}

}  // namespace extended_detail

// Every operation is inlined, even without optimisation, so that the code
// address of a fault names the operation's own place in its caller.
#define EXTENDED_OPERATION __attribute__((always_inline)) inline

// Exact widening of a double, a single constant or a 64-bit integer.
EXTENDED_OPERATION Extended Widen(double value) {
  Extended result;
  std::uint16_t status;
  asm volatile("fldl %2\n\tfnstsw %1" : "=t"(result), "=a"(status) : "m"(value));
  extended_detail::CheckStatus(status);
  return result;
}

EXTENDED_OPERATION Extended Widen(float value) {
  Extended result;
  std::uint16_t status;
  asm volatile("flds %2\n\tfnstsw %1" : "=t"(result), "=a"(status) : "m"(value));
  extended_detail::CheckStatus(status);
  return result;
}

EXTENDED_OPERATION Extended WidenInteger(std::int64_t value) {
  Extended result;
  asm volatile("fildll %1" : "=t"(result) : "m"(value));
  return result;
}

// The four operations, each rounded once to extended.
EXTENDED_OPERATION Extended Add(Extended a, Extended b) {
  std::uint16_t status;
  asm volatile("fadd %%st(1), %%st\n\tfnstsw %1" : "+t"(a), "=a"(status) : "u"(b));
  extended_detail::CheckStatus(status);
  return a;
}

EXTENDED_OPERATION Extended Subtract(Extended a, Extended b) {
  std::uint16_t status;
  asm volatile("fsub %%st(1), %%st\n\tfnstsw %1" : "+t"(a), "=a"(status) : "u"(b));
  extended_detail::CheckStatus(status);
  return a;
}

EXTENDED_OPERATION Extended Multiply(Extended a, Extended b) {
  std::uint16_t status;
  asm volatile("fmul %%st(1), %%st\n\tfnstsw %1" : "+t"(a), "=a"(status) : "u"(b));
  extended_detail::CheckStatus(status);
  return a;
}

EXTENDED_OPERATION Extended Divide(Extended a, Extended b) {
  std::uint16_t status;
  asm volatile("fdiv %%st(1), %%st\n\tfnstsw %1" : "+t"(a), "=a"(status) : "u"(b));
  extended_detail::CheckStatus(status);
  return a;
}

// Rounds to double: a finite value beyond the double range is an overflow,
// a value below the normal range becomes subnormal or zero (underflow).
EXTENDED_OPERATION double StoreDouble(Extended value) {
  double result;
  std::uint16_t status;
  asm volatile("fstl %0\n\tfnstsw %1" : "=m"(result), "=a"(status) : "t"(value));
  extended_detail::CheckStatus(status);
  return result;
}

// The integer part of x toward zero, at full extended precision; the sign is
// kept (-0.5 gives -0) and infinities come back unchanged. The control word
// is the same before and after.
EXTENDED_OPERATION Extended TruncateReal(Extended x) {
  std::uint16_t saved;
  asm volatile("fnstcw %0" : "=m"(saved));
  const std::uint16_t towardZero = saved | 0x0F00;
  std::uint16_t status;
  asm volatile("fldcw %2\n\tfrndint\n\tfldcw %3\n\tfnstsw %1" : "+t"(x), "=a"(status) : "m"(towardZero), "m"(saved));
  extended_detail::CheckStatus(status);
  return x;
}

// x rounded to a signed 64-bit integer with the rounding control in force
// (nearest, ties to even). Out of range or NaN is an invalid operation.
EXTENDED_OPERATION std::int64_t RoundReal(Extended x) {
  std::int64_t result;
  std::uint16_t status;
  asm volatile("fistpll %0\n\tfnstsw %1" : "=m"(result), "=a"(status) : "t"(x) : "st");
  extended_detail::CheckStatus(status);
  return result;
}

// The control word as installed: the hardware gets its precision and
// rounding control with every exception masked, and its six exception masks
// decide which floating-point exceptions are faults. Until the first load no
// exception is a fault (the power-on word 0x037F).
void LoadControlWord(std::uint16_t word);
std::uint16_t InstalledControlWord();

// Clears the sticky exception flags when one that would be a fault is set.
// The operations here never clear them (that costs more than the operation
// itself), so the conversions between text and reals call this first: a
// flag left by arithmetic outside this component must not be taken for a
// fault of the next operation.
inline void ClearFloatFlags() {
  std::uint16_t status;
  asm volatile("fnstsw %0" : "=a"(status));
  if ((status & extended_detail::faultingFlags) != 0) {
    asm volatile("fnclex");
  }
}

// Resets the unit: empty register stack, cleared status flags.
void ResetFpu();

// Bit patterns of an extended value: the sign and 15-bit exponent field,
// and the 64-bit significand with its explicit integer bit.
struct ExtendedBits {
  std::uint16_t signExponent;
  std::uint64_t significand;
};
inline Extended ExtendedFromBits(std::uint16_t signExponent, std::uint64_t significand) {
  Extended value = 0;
  std::memcpy(&value, &significand, sizeof significand);
  std::memcpy(reinterpret_cast<unsigned char*>(&value) + sizeof significand, &signExponent, sizeof signExponent);
  return value;
}

inline ExtendedBits BitsOf(Extended value) {
  ExtendedBits bits{};
  std::memcpy(&bits.significand, &value, sizeof bits.significand);
  std::memcpy(&bits.signExponent, reinterpret_cast<const unsigned char*>(&value) + sizeof bits.significand,
              sizeof bits.signExponent);
  return bits;
}
