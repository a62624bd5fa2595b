// Extended arithmetic: every real computation of the system goes through
// these operations, so that each result is rounded exactly once to the
// 80-bit extended format (64-bit significand, nearest, ties to even) and each
// store to double rounds once more, and so that the floating-point
// exceptions that the installed control word leaves unmasked become faults
// at the very operation that causes them.
//
// How faults arise: the hardware control word keeps every exception masked
// (so the process never receives SIGFPE), and each operation is one volatile
// assembly block that clears the sticky flags, computes, and reads the status
// word. Flags that the installed control word leaves unmasked raise the
// matching STATUS_FLOAT_* fault right there, with the caller's code address.
// Volatile assembly is never moved, merged or folded by the compiler, so no
// optimisation level can reorder an operation past its check.
//
//   Multiply(Widen(180.0f), Widen(1.0))   -> 180 exactly
//   Divide(Widen(1.0), Widen(3.0))        -> 0.3333333333333333333423684
//   StoreDouble(Widen(1e308) * 10)        -> STATUS_FLOAT_OVERFLOW fault
#pragma once

#include <cfloat>
#include <cstdint>

static_assert(LDBL_MANT_DIG == 64, "long double must be the x87 80-bit extended format");

using Extended = long double;

// Exact widening of a double, a single constant or a 64-bit integer.
Extended Widen(double value);
Extended Widen(float value);
Extended WidenInteger(std::int64_t value);

// The four operations, each rounded once to extended.
Extended Add(Extended a, Extended b);
Extended Subtract(Extended a, Extended b);
Extended Multiply(Extended a, Extended b);
Extended Divide(Extended a, Extended b);

// Rounds to double: a finite value beyond the double range is an overflow,
// a value below the normal range becomes subnormal or zero (underflow).
double StoreDouble(Extended value);

// The integer part of x toward zero, at full extended precision; the sign is
// kept (-0.5 gives -0) and infinities come back unchanged. The control word
// is the same before and after.
Extended TruncateReal(Extended x);

// x rounded to a signed 64-bit integer with the rounding control in force
// (nearest, ties to even). Out of range or NaN is an invalid operation.
std::int64_t RoundReal(Extended x);

// The control word as installed: the hardware gets its precision and
// rounding control with every exception masked, and its six exception masks
// decide which floating-point exceptions are faults. Until the first load no
// exception is a fault (the power-on word 0x037F).
void LoadControlWord(std::uint16_t word);
std::uint16_t InstalledControlWord();

// Resets the unit: empty register stack, cleared status flags.
void ResetFpu();

// Bit patterns of an extended value: the sign and 15-bit exponent field,
// and the 64-bit significand with its explicit integer bit.
struct ExtendedBits {
  std::uint16_t signExponent;
  std::uint64_t significand;
};
Extended ExtendedFromBits(std::uint16_t signExponent, std::uint64_t significand);
ExtendedBits BitsOf(Extended value);
