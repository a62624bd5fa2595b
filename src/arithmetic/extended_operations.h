// The software core: the x87 operations the program uses, with the results
// and status flags the x87 gives with every exception masked, bit for bit on
// any 64-bit CPU. Each is a pure function of its operands and the control
// word (only its rounding control is read: precision is always 64-bit here);
// it ORs the exception flags it raises into `status` and never clears any.
// Internal to src/arithmetic: the layers above use the checked operations of
// extended_arithmetic.h, which turn unmasked flags into faults.
//
//   AddMasked(1, 2^-64, nearest)          -> 1                      PE
//   AddMasked(1, 2^-64, up)               -> 1 + 2^-63              PE
//   DivideMasked(1, 3, nearest)           -> {0x3FFD, AAAAAAAAAAAAAAAB}  PE
//   SubtractMasked(x, x, down)            -> -0
//   MultiplyMasked(0, infinity)           -> real indefinite        IE
//   DivideMasked(1, 0)                    -> +infinity              ZE
//   StoreDoubleMasked(2^1024)             -> +infinity bits         OE PE
//   RoundToIntegralMasked(-0.5, toward 0) -> -0                     PE
//   RoundToInt64Masked(2^63)              -> 0x8000000000000000     IE
//
// The common case, finite normal operands, is inline; every other class of
// operand goes to one out-of-line routine per operation.
#pragma once

#include <bit>
#include <cassert>
#include <cstdint>
#include <limits>
#include <utility>

#include "arithmetic/extended_rounding.h"
#include "arithmetic/extended_value.h"

namespace x87 {

static_assert(std::numeric_limits<double>::is_iec559 && std::numeric_limits<float>::is_iec559);

// Exact widenings of a double's or a float's bits (fld m64, fld m32) and of
// an integer (fild m64, which raises nothing). A signalling NaN is quietened
// with IE; a denormal raises DE.
Extended WidenDoubleMasked(std::uint64_t bits, std::uint16_t& status);
Extended WidenFloatMasked(std::uint32_t bits, std::uint16_t& status);
Extended WidenInteger(std::int64_t value);

// frndint: a rounded to an integral value under the rounding control.
Extended RoundToIntegralMasked(Extended a, std::uint16_t controlWord, std::uint16_t& status);

// fucomi (quiet: only signalling NaNs and unsupported encodings raise IE)
// and fcomi (signalling: every NaN raises IE). Zeros of either sign are
// equal.
enum class Ordering : std::uint8_t { Less, Equal, Greater, Unordered };

namespace detail {

// The comparison of operands of any class.
Ordering CompareAny(Extended a, Extended b, bool signaling, std::uint16_t& status);

// The operations on operands of any class.
Extended AddAny(Extended a, Extended b, bool negateB, RoundingControl control, std::uint16_t& status);
Extended MultiplyAny(Extended a, Extended b, RoundingControl control, std::uint16_t& status);
Extended DivideAny(Extended a, Extended b, RoundingControl control, std::uint16_t& status);
std::uint64_t StoreDoubleAny(Extended a, RoundingControl control, std::uint16_t& status);
std::int64_t RoundToInt64Any(Extended a, Rounding rounding, std::uint16_t& status);

// Exponent field in 1..7FFE and integer bit set.
constexpr bool IsNormalFast(Extended x) {
  const auto exponent = static_cast<std::uint16_t>((x.signExponent & ExponentMask) - 1);
  return exponent < MaxExponentField - 1 && static_cast<std::int64_t>(x.significand) < 0;
}

constexpr bool IsNormalOrZeroFast(Extended x) {
  return IsNormalFast(x) || ((x.signExponent & ExponentMask) == 0 && x.significand == 0);
}

// The order of two values that are each normal or zero, which raises no
// flag: zeros of either sign are equal; otherwise by sign, then by exponent
// and significand, reversed for negatives.
constexpr Ordering OrderNormalOrZero(Extended a, Extended b) {
  const bool negativeA = SignOf(a) && a.significand != 0;
  const bool negativeB = SignOf(b) && b.significand != 0;
  if (negativeA != negativeB) {
    return negativeA ? Ordering::Less : Ordering::Greater;
  }
  const auto magnitude = [](Extended x) { return Wide::FromHalves(x.signExponent & ExponentMask, x.significand); };
  if (magnitude(a) == magnitude(b)) {
    return Ordering::Equal;
  }
  return (magnitude(a) < magnitude(b)) != negativeA ? Ordering::Less : Ordering::Greater;
}

// The sum of two non-zero finite values given as sign, exponent and
// significand with its integer bit set. The larger magnitude goes first, so
// that the difference of the aligned significands is never negative.
inline Extended AddFinite(bool signA, std::int32_t exponentA, std::uint64_t significandA, bool signB,
                          std::int32_t exponentB, std::uint64_t significandB, RoundingControl control,
                          std::uint16_t& status) {
  if (exponentA < exponentB || (exponentA == exponentB && significandA < significandB)) {
    std::swap(signA, signB);
    std::swap(exponentA, exponentB);
    std::swap(significandA, significandB);
  }
  // Integer bits at bit 126: bit 127 takes the carry, the 63 bits below the
  // significand keep the aligned operand's dropped bits exactly enough.
  const Wide larger = Wide{significandA} << 63;
  const Wide smaller = ShiftRightSticky(Wide{significandB} << 63, exponentA - exponentB);
  if (signA == signB) {
    // The sum's top bit is bit 127 or 126: one shift normalizes it.
    const Wide sum = larger + smaller;
    const auto shift = static_cast<std::int32_t>(~(sum >> 127).Low() & 1);
    return PackExtended(RoundNormalized<ExtendedFormat>(signA, exponentA + 1 - shift, sum << shift, control, status));
  }
  const Wide difference = larger - smaller;
  if (difference == 0) {
    // Exact cancellation gives +0, or -0 when rounding down.
    return {static_cast<std::uint16_t>(control.Mode() == Rounding::Down ? SignBit : 0), 0};
  }
  return PackExtended(RoundToFormat<ExtendedFormat>(signA, exponentA + 1, difference, control, status));
}

// Both significands must have their integer bit set: the product's top bit
// is then bit 127 or 126, and one shift normalizes it. Always inlined: the
// number conversions multiply in their innermost steps, where a call costs
// more than the product.
__attribute__((always_inline)) inline Extended MultiplyFinite(bool sign, std::int32_t exponentA,
                                                              std::uint64_t significandA, std::int32_t exponentB,
                                                              std::uint64_t significandB, RoundingControl control,
                                                              std::uint16_t& status) {
  assert((significandA & significandB & IntegerBit) != 0);
  const Wide product = Wide::Product(significandA, significandB);
  const auto shift = static_cast<std::int32_t>(~(product >> 127).Low() & 1);
  const std::int32_t exponent = exponentA + exponentB - ExponentBias + 1 - shift;
  return PackExtended(RoundNormalized<ExtendedFormat>(sign, exponent, product << shift, control, status));
}

// Both significands must have their integer bit set. The 64-bit quotient
// keeps the integer bit on top; the remainder, compared with half the
// divisor, stands in for the bits below it. It is never exactly half: that
// would make the dividend's odd part a multiple of an odd number above 2^64.
inline Extended DivideFinite(bool sign, std::int32_t exponentA, std::uint64_t significandA, std::int32_t exponentB,
                             std::uint64_t significandB, RoundingControl control, std::uint16_t& status) {
  assert((significandA & significandB & IntegerBit) != 0);
  // The dividend is significandA * 2^64, or * 2^63 when that would give a
  // quotient of 2^64 or more.
  // No branch on either comparison: each goes either way as often.
  const bool belowOne = significandA < significandB;
  const int shift = belowOne ? 0 : 1;
  const std::uint64_t high = significandA >> shift;
  const std::uint64_t low = (significandA << 63) & (0 - static_cast<std::uint64_t>(shift));
  const auto [quotient, remainder] = Wide::Quotient(high, low, significandB);
  const std::uint64_t rest = static_cast<std::uint64_t>(remainder > significandB - remainder) << 63 |
                             static_cast<std::uint64_t>(remainder != 0);
  const std::int32_t exponent = exponentA - exponentB + ExponentBias - 1 + shift;
  // The quotient has its top bit set: the intermediate is normalized.
  return PackExtended(
      RoundNormalized<ExtendedFormat>(sign, exponent, Wide::FromHalves(quotient, rest), control, status));
}

// The integer nearest to a non-zero finite magnitude, significand *
// 2^(power - 63), under the rounding control; `tooLarge` when it is 2^64 or
// more.
struct Integral {
  std::uint64_t magnitude;
  bool inexact;
  bool tooLarge;
};
inline Integral RoundMagnitude(bool sign, std::int32_t power, std::uint64_t significand, Rounding rounding) {
  if (power >= 63) [[unlikely]] {
    // No fraction bits: integral as it stands (a larger value overflows 64 bits).
    return {significand, false, power > 63};
  }
  if (power < 0) [[unlikely]] {
    // Below one: only the comparison with one half matters. A value that is
    // not in [1/2, 1) counts as just above zero.
    const bool half = power == -1 && significand >= IntegerBit;
    const std::uint64_t rest = half ? significand : 1;
    const bool up = RoundsUp(rounding, sign, false, rest, IntegerBit);
    return {up ? 1u : 0u, true, false};
  }
  const int fractionBits = 63 - power;
  const std::uint64_t fractionMask = (std::uint64_t{1} << fractionBits) - 1;
  const std::uint64_t whole = significand >> fractionBits;
  const std::uint64_t rest = significand & fractionMask;
  const bool up = RoundsUp(rounding, sign, (whole & 1) != 0, rest, std::uint64_t{1} << (fractionBits - 1));
  return {whole + (up ? 1 : 0), rest != 0, false};
}

// The rounded integer of a non-zero finite value, or the integer
// indefinite with IE when it is out of range.
inline std::int64_t RoundToInt64Finite(bool sign, std::int32_t power, std::uint64_t significand, Rounding rounding,
                                       std::uint16_t& status) {
  const Integral rounded = RoundMagnitude(sign, power, significand, rounding);
  const std::uint64_t limit = sign ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
  if (rounded.tooLarge || rounded.magnitude > limit) [[unlikely]] {
    status |= InvalidFlag;
    return std::numeric_limits<std::int64_t>::min();
  }
  if (rounded.inexact) {
    status |= PrecisionFlag;
  }
  const std::uint64_t bits = sign ? 0 - rounded.magnitude : rounded.magnitude;
  return static_cast<std::int64_t>(bits);
}

}  // namespace detail

// fadd, fsub, fmul, fdiv st, st(i): a op b rounded once to extended.
inline Extended AddMasked(Extended a, Extended b, std::uint16_t controlWord, std::uint16_t& status) {
  if (!detail::IsNormalFast(a) || !detail::IsNormalFast(b)) [[unlikely]] {
    return detail::AddAny(a, b, false, detail::RoundingControlOf(controlWord), status);
  }
  return detail::AddFinite(SignOf(a), ExponentFieldOf(a), a.significand, SignOf(b), ExponentFieldOf(b), b.significand,
                           detail::RoundingControlOf(controlWord), status);
}

inline Extended SubtractMasked(Extended a, Extended b, std::uint16_t controlWord, std::uint16_t& status) {
  if (!detail::IsNormalFast(a) || !detail::IsNormalFast(b)) [[unlikely]] {
    return detail::AddAny(a, b, true, detail::RoundingControlOf(controlWord), status);
  }
  return detail::AddFinite(SignOf(a), ExponentFieldOf(a), a.significand, !SignOf(b), ExponentFieldOf(b), b.significand,
                           detail::RoundingControlOf(controlWord), status);
}

inline Extended MultiplyMasked(Extended a, Extended b, std::uint16_t controlWord, std::uint16_t& status) {
  if (!detail::IsNormalFast(a) || !detail::IsNormalFast(b)) [[unlikely]] {
    return detail::MultiplyAny(a, b, detail::RoundingControlOf(controlWord), status);
  }
  return detail::MultiplyFinite(SignOf(a) != SignOf(b), ExponentFieldOf(a), a.significand, ExponentFieldOf(b),
                                b.significand, detail::RoundingControlOf(controlWord), status);
}

inline Extended DivideMasked(Extended a, Extended b, std::uint16_t controlWord, std::uint16_t& status) {
  if (!detail::IsNormalFast(a) || !detail::IsNormalFast(b)) [[unlikely]] {
    return detail::DivideAny(a, b, detail::RoundingControlOf(controlWord), status);
  }
  return detail::DivideFinite(SignOf(a) != SignOf(b), ExponentFieldOf(a), a.significand, ExponentFieldOf(b),
                              b.significand, detail::RoundingControlOf(controlWord), status);
}

// fucomi and fcomi: the order of a and b.
inline Ordering CompareQuietMasked(Extended a, Extended b, std::uint16_t& status) {
  if (!detail::IsNormalOrZeroFast(a) || !detail::IsNormalOrZeroFast(b)) [[unlikely]] {
    return detail::CompareAny(a, b, false, status);
  }
  return detail::OrderNormalOrZero(a, b);
}

inline Ordering CompareSignalingMasked(Extended a, Extended b, std::uint16_t& status) {
  if (!detail::IsNormalOrZeroFast(a) || !detail::IsNormalOrZeroFast(b)) [[unlikely]] {
    return detail::CompareAny(a, b, true, status);
  }
  return detail::OrderNormalOrZero(a, b);
}

// fst m64: x rounded to a double's bits. NaNs keep the top of their
// significand; the x87 raises no DE for an extended denormal here.
inline std::uint64_t StoreDoubleMasked(Extended x, std::uint16_t controlWord, std::uint16_t& status) {
  if (!detail::IsNormalFast(x)) [[unlikely]] {
    return detail::StoreDoubleAny(x, detail::RoundingControlOf(controlWord), status);
  }
  return detail::PackDouble(detail::RoundNormalized<detail::DoubleFormat>(
      SignOf(x), ExponentFieldOf(x), detail::Wide::FromHalves(x.significand, 0), detail::RoundingControlOf(controlWord),
      status));
}

// fistp m64: x rounded to an integer under the rounding control; NaNs,
// infinities and values out of range give 0x8000000000000000 with IE.
inline std::int64_t RoundToInt64Masked(Extended x, std::uint16_t controlWord, std::uint16_t& status) {
  if (!detail::IsNormalFast(x)) [[unlikely]] {
    return detail::RoundToInt64Any(x, RoundingOf(controlWord), status);
  }
  return detail::RoundToInt64Finite(SignOf(x), ExponentFieldOf(x) - ExponentBias, x.significand,
                                    RoundingOf(controlWord), status);
}

}  // namespace x87
