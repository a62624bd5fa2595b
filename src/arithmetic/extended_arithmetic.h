// The arithmetic's one face for the layers above: the 80-bit extended format
// and its vocabulary (extended_value.h), and the checked operations through
// which every real computation of the system goes, so that each result is
// rounded exactly once to the extended format (64-bit significand, nearest,
// ties to even) and each store to double rounds once more, and so that the
// floating-point exceptions that the installed control word leaves unmasked
// become faults at the very operation that causes them.
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

#include "arithmetic/extended_checked.h"
#include "arithmetic/extended_value.h"

namespace x87 {

// The bits of `from` as a `To` of the same size: std::bit_cast, which not
// every C++ library of the supported compilers offers yet (emscripten's).
template <typename To, typename From>
constexpr To BitCast(const From& from) {
  static_assert(sizeof(To) == sizeof(From));
  return __builtin_bit_cast(To, from);
}

// The control word as installed: its rounding control applies to every
// operation, and its six exception masks decide which floating-point
// exceptions are faults. Until the first load no exception is a fault (the
// power-on word 0x037F).
void LoadControlWord(std::uint16_t word);
std::uint16_t InstalledControlWord();

// The sticky status word: every flag raised since the last reset or fault.
std::uint16_t StatusWord();

// Resets the unit: the power-on control word, cleared status flags.
void ResetFpu();

#define EXTENDED_OPERATION __attribute__((always_inline)) inline

// Exact widening of a double, a single constant or a 64-bit integer (fild,
// which raises nothing).
EXTENDED_OPERATION Extended Widen(double value) {
  return detail::Checked<detail::WidenDoubleMasked>(BitCast<std::uint64_t>(value));
}
EXTENDED_OPERATION Extended Widen(float value) {
  return detail::Checked<detail::WidenFloatMasked>(BitCast<std::uint32_t>(value));
}
Extended WidenInteger(std::int64_t value);

// The four operations, each rounded once to extended under the installed
// rounding control.
EXTENDED_OPERATION Extended Add(Extended a, Extended b) {
  return detail::Checked<detail::AddMasked>(a, b, detail::installedControl.Word());
}
EXTENDED_OPERATION Extended Subtract(Extended a, Extended b) {
  return detail::Checked<detail::SubtractMasked>(a, b, detail::installedControl.Word());
}
EXTENDED_OPERATION Extended Multiply(Extended a, Extended b) {
  return detail::Checked<detail::MultiplyMasked>(a, b, detail::installedControl.Word());
}
EXTENDED_OPERATION Extended Divide(Extended a, Extended b) {
  return detail::Checked<detail::DivideMasked>(a, b, detail::installedControl.Word());
}

// Rounds to double: a finite value beyond the double range is an overflow,
// a value below the normal range becomes subnormal or zero (underflow).
EXTENDED_OPERATION double StoreDouble(Extended value) {
  return BitCast<double>(detail::Checked<detail::StoreDoubleMasked>(value, detail::installedControl.Word()));
}

// The integer part of x toward zero, at full extended precision; the sign is
// kept (-0.5 gives -0) and infinities come back unchanged. The installed
// control word does not change.
EXTENDED_OPERATION Extended TruncateReal(Extended x) {
  return detail::Checked<detail::RoundToIntegralMasked>(
      x, WithRounding(detail::installedControl.Word(), Rounding::TowardZero));
}

// x rounded to a signed 64-bit integer with the rounding control in force
// (nearest, ties to even). Out of range or NaN is an invalid operation.
EXTENDED_OPERATION std::int64_t RoundReal(Extended x) {
  return detail::Checked<detail::RoundToInt64Masked>(x, detail::installedControl.Word());
}

// a < b, as an ordered comparison (any NaN is an invalid operation).
EXTENDED_OPERATION bool IsLess(Extended a, Extended b) {
  return detail::Checked<detail::CompareSignalingMasked>(a, b) == detail::Ordering::Less;
}

// a == b, as a quiet comparison (zeros of either sign are equal).
EXTENDED_OPERATION bool IsEqual(Extended a, Extended b) {
  return detail::Checked<detail::CompareQuietMasked>(a, b) == detail::Ordering::Equal;
}

}  // namespace x87
