// Extended arithmetic: every real computation of the system goes through
// these operations, so that each result is rounded exactly once to the
// 80-bit extended format (64-bit significand, nearest, ties to even) and each
// store to double rounds once more, and so that the floating-point
// exceptions that the installed control word leaves unmasked become faults
// at the very operation that causes them.
//
// How faults arise: each operation computes in software exactly what the x87
// gives with every exception masked, result and flags, the same on every
// CPU. Its flags join the sticky status word; those that the installed
// control word leaves unmasked raise the matching STATUS_FLOAT_* fault right
// there, with the code address of the operation in its caller.
//
//   Multiply(Widen(180.0f), Widen(1.0))   -> 180 exactly
//   Divide(Widen(1.0), Widen(3.0))        -> {0x3FFD, 0xAAAAAAAAAAAAAAAB}
//   StoreDouble(Multiply(Widen(1e308), Widen(10.0)))  -> STATUS_FLOAT_OVERFLOW fault
#pragma once

#include <cstdint>

#include "arithmetic/extended_operations.h"

using Extended = soft_x87::Extended;
using soft_x87::ExtendedFromBits;
using soft_x87::Negate;

// The unit's two registers that the system uses: the installed control word
// and the sticky status word (its six exception flags).
struct FpuRegisters {
  std::uint16_t controlWord;
  std::uint16_t statusWord;
};
extern FpuRegisters Fpu;

namespace extended_detail {

// The installed control word's exception masks, inverted: the status flags
// that are faults.
extern std::uint16_t faultingFlags;

// Raises the fault for `flags`. Never inlined: its return address is the
// code address of the operation that faulted, inside the function that
// asked for it.
[[noreturn]] __attribute__((noinline)) void RaiseFloatFault(std::uint16_t flags);

// The flags of one operation join the status word; an unmasked one is a
// fault of this very operation.
__attribute__((always_inline)) inline void Record(std::uint16_t flags) {
  Fpu.statusWord |= flags;
  if ((flags & faultingFlags) != 0) {
    RaiseFloatFault(flags & faultingFlags);
  }
}

}  // namespace extended_detail

// Every operation is inlined, even without optimisation, so that the code
// address of a fault names the operation's own place in its caller.
#define EXTENDED_OPERATION __attribute__((always_inline)) inline

// Exact widening of a double, a single constant or a 64-bit integer.
EXTENDED_OPERATION Extended Widen(double value) {
  std::uint16_t flags = 0;
  const Extended result = soft_x87::Widen(value, flags);
  extended_detail::Record(flags);
  return result;
}

EXTENDED_OPERATION Extended Widen(float value) {
  std::uint16_t flags = 0;
  const Extended result = soft_x87::Widen(value, flags);
  extended_detail::Record(flags);
  return result;
}

inline Extended WidenInteger(std::int64_t value) { return soft_x87::WidenInteger(value); }

// The four operations, each rounded once to extended under the installed
// rounding control.
EXTENDED_OPERATION Extended Add(Extended a, Extended b) {
  std::uint16_t flags = 0;
  const Extended result = soft_x87::Add(a, b, Fpu.controlWord, flags);
  extended_detail::Record(flags);
  return result;
}

EXTENDED_OPERATION Extended Subtract(Extended a, Extended b) {
  std::uint16_t flags = 0;
  const Extended result = soft_x87::Subtract(a, b, Fpu.controlWord, flags);
  extended_detail::Record(flags);
  return result;
}

EXTENDED_OPERATION Extended Multiply(Extended a, Extended b) {
  std::uint16_t flags = 0;
  const Extended result = soft_x87::Multiply(a, b, Fpu.controlWord, flags);
  extended_detail::Record(flags);
  return result;
}

EXTENDED_OPERATION Extended Divide(Extended a, Extended b) {
  std::uint16_t flags = 0;
  const Extended result = soft_x87::Divide(a, b, Fpu.controlWord, flags);
  extended_detail::Record(flags);
  return result;
}

// Rounds to double: a finite value beyond the double range is an overflow,
// a value below the normal range becomes subnormal or zero (underflow).
EXTENDED_OPERATION double StoreDouble(Extended value) {
  std::uint16_t flags = 0;
  const double result = soft_x87::StoreDouble(value, Fpu.controlWord, flags);
  extended_detail::Record(flags);
  return result;
}

// The integer part of x toward zero, at full extended precision; the sign is
// kept (-0.5 gives -0) and infinities come back unchanged. The installed
// control word does not change.
EXTENDED_OPERATION Extended TruncateReal(Extended x) {
  constexpr std::uint16_t TowardZero = 0x0C00;
  std::uint16_t flags = 0;
  const Extended result = soft_x87::RoundToIntegral(x, Fpu.controlWord | TowardZero, flags);
  extended_detail::Record(flags);
  return result;
}

// x rounded to a signed 64-bit integer with the rounding control in force
// (nearest, ties to even). Out of range or NaN is an invalid operation.
EXTENDED_OPERATION std::int64_t RoundReal(Extended x) {
  std::uint16_t flags = 0;
  const std::int64_t result = soft_x87::RoundToInt64(x, Fpu.controlWord, flags);
  extended_detail::Record(flags);
  return result;
}

// a < b, as an ordered comparison (any NaN is an invalid operation).
EXTENDED_OPERATION bool IsLess(Extended a, Extended b) {
  std::uint16_t flags = 0;
  const soft_x87::Ordering order = soft_x87::CompareSignaling(a, b, flags);
  extended_detail::Record(flags);
  return order == soft_x87::Ordering::Less;
}

// a == b, as a quiet comparison (zeros of either sign are equal).
EXTENDED_OPERATION bool IsEqual(Extended a, Extended b) {
  std::uint16_t flags = 0;
  const soft_x87::Ordering order = soft_x87::CompareQuiet(a, b, flags);
  extended_detail::Record(flags);
  return order == soft_x87::Ordering::Equal;
}

// The control word as installed: its rounding control applies to every
// operation, and its six exception masks decide which floating-point
// exceptions are faults. Until the first load no exception is a fault (the
// power-on word 0x037F).
void LoadControlWord(std::uint16_t word);
std::uint16_t InstalledControlWord();

// Resets the unit: the power-on control word, cleared status flags.
void ResetFpu();

// Bit patterns of an extended value: the sign and 15-bit exponent field,
// and the 64-bit significand with its explicit integer bit.
using ExtendedBits = Extended;
constexpr ExtendedBits BitsOf(Extended value) { return value; }
