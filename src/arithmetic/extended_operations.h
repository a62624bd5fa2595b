// The software core: the x87 operations the program uses, with the results
// and status flags the x87 gives, bit for bit on any 64-bit CPU. Internal to
// src/arithmetic: the layers above use the checked operations of
// extended_arithmetic.h, which turn unmasked flags into faults.
//
// The three suffixes, each with one meaning:
//   Masked  an operation on operands of every class, as the x87 performs it
//           with every exception masked: a pure function of its operands and
//           the control word (only its rounding control and underflow mask
//           are read: precision is always 64-bit here) that ORs the flags it
//           raises into `status` and never clears any. The common case is
//           inline; every other class goes to the Any routine.
//   Any     the out-of-line rest of a Masked operation: it settles NaNs,
//           unsupported encodings, infinities, zeros and denormals, and hands
//           what is left to the Finite step.
//   Finite  the arithmetic proper, on finite non-zero operands taken apart
//           (an Operand); each states what more it needs of them.
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
#pragma once

#include <bit>
#include <cassert>
#include <cstdint>
#include <limits>
#include <utility>

#include "arithmetic/extended_operand.h"
#include "arithmetic/extended_rounding.h"
#include "arithmetic/extended_value.h"

namespace x87::detail {

static_assert(std::numeric_limits<double>::is_iec559 && std::numeric_limits<float>::is_iec559);

// Exact widenings of a double's or a float's bits (fld m64, fld m32). A
// signalling NaN is quietened with IE; a denormal raises DE.
Extended WidenDoubleMasked(std::uint64_t bits, std::uint16_t& status);
Extended WidenFloatMasked(std::uint32_t bits, std::uint16_t& status);

// frndint: a rounded to an integral value under the rounding control.
Extended RoundToIntegralMasked(Extended a, std::uint16_t controlWord, std::uint16_t& status);

// fucomi (quiet: only signalling NaNs and unsupported encodings raise IE)
// and fcomi (signalling: every NaN raises IE). Zeros of either sign are
// equal.
enum class Ordering : std::uint8_t { Less, Equal, Greater, Unordered };

Ordering CompareAny(Extended a, Extended b, bool signaling, std::uint16_t& status);
Extended AddAny(Extended a, Extended b, bool negateB, RoundingControl control, std::uint16_t& status);
Extended MultiplyAny(Extended a, Extended b, RoundingControl control, std::uint16_t& status);
Extended DivideAny(Extended a, Extended b, RoundingControl control, std::uint16_t& status);
std::uint64_t StoreDoubleAny(Extended a, RoundingControl control, std::uint16_t& status);
std::int64_t RoundToInt64Any(Extended a, Rounding rounding, std::uint16_t& status);

constexpr bool IsNormalOrZero(Extended x) { return IsNormal(x) || (ExponentFieldOf(x) == 0 && x.significand == 0); }

// The order of two values that are each normal or zero, which raises no
// flag: zeros of either sign are equal; otherwise by sign, then by exponent
// and significand, reversed for negatives.
constexpr Ordering OrderNormalOrZero(Extended a, Extended b) {
  assert(IsNormalOrZero(a) && IsNormalOrZero(b));
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

// Both significands must have their integer bit set. The larger magnitude
// goes first, so that the difference of the aligned significands is never
// negative. Never inlined: one copy serves every caller.
__attribute__((noinline)) inline Extended AddFinite(Operand x, Operand y, RoundingControl control,
                                                    std::uint16_t& status) {
  assert((x.significand & y.significand & IntegerBit) != 0);
  if (x.exponent < y.exponent || (x.exponent == y.exponent && x.significand < y.significand)) {
    std::swap(x, y);
  }
  // Integer bits at bit 126: bit 127 takes the carry, the 63 bits below the
  // significand keep the aligned operand's dropped bits exactly enough.
  const Wide larger = Wide{x.significand} << 63;
  const Wide smaller = ShiftRightSticky(Wide{y.significand} << 63, x.exponent - y.exponent);
  if (x.sign == y.sign) {
    // The sum's top bit is bit 127 or 126: one shift normalizes it.
    const Wide sum = larger + smaller;
    const auto shift = static_cast<std::int32_t>(~(sum >> 127).Low() & 1);
    return PackExtended(RoundNormalized<ExtendedFormat>(x.sign, x.exponent + 1 - shift, sum << shift, control, status));
  }
  const Wide difference = larger - smaller;
  if (difference == 0) {
    // Exact cancellation gives +0, or -0 when rounding down.
    return SignedZero(control.Mode() == Rounding::Down);
  }
  return PackExtended(RoundToFormat<ExtendedFormat>(x.sign, x.exponent + 1, difference, control, status));
}

// Both significands must have their integer bit set: the product's top bit
// is then bit 127 or 126, and one shift normalizes it. Always inlined: the
// number conversions multiply in their innermost steps, where a call costs
// more than the product.
__attribute__((always_inline)) inline Extended MultiplyFinite(Operand x, Operand y, RoundingControl control,
                                                              std::uint16_t& status) {
  assert((x.significand & y.significand & IntegerBit) != 0);
  const Wide product = Wide::Product(x.significand, y.significand);
  const auto shift = static_cast<std::int32_t>(~(product >> 127).Low() & 1);
  const std::int32_t exponent = x.exponent + y.exponent - ExponentBias + 1 - shift;
  return PackExtended(RoundNormalized<ExtendedFormat>(x.sign != y.sign, exponent, product << shift, control, status));
}

// Both significands must have their integer bit set. The 64-bit quotient
// keeps the integer bit on top; the remainder, compared with half the
// divisor, stands in for the bits below it. It is never exactly half: that
// would make the dividend's odd part a multiple of an odd number above 2^64.
inline Extended DivideFinite(Operand x, Operand y, RoundingControl control, std::uint16_t& status) {
  assert((x.significand & y.significand & IntegerBit) != 0);
  // The dividend is x.significand * 2^64, or * 2^63 when that would give a
  // quotient of 2^64 or more.
  // No branch on either comparison: each goes either way as often.
  const bool belowOne = x.significand < y.significand;
  const int shift = belowOne ? 0 : 1;
  const std::uint64_t high = x.significand >> shift;
  const std::uint64_t low = (x.significand << 63) & (0 - static_cast<std::uint64_t>(shift));
  const auto [quotient, remainder] = Wide::Quotient(high, low, y.significand);
  const std::uint64_t rest = static_cast<std::uint64_t>(remainder > y.significand - remainder) << 63 |
                             static_cast<std::uint64_t>(remainder != 0);
  const std::int32_t exponent = x.exponent - y.exponent + ExponentBias - 1 + shift;
  // The quotient has its top bit set: the intermediate is normalized.
  return PackExtended(
      RoundNormalized<ExtendedFormat>(x.sign != y.sign, exponent, Wide::FromHalves(quotient, rest), control, status));
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
  assert(significand != 0);
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

// The rounded integer of x (its integer bit may be clear, as a denormal's
// is), or the integer indefinite with IE when it is out of range.
inline std::int64_t RoundToInt64Finite(Operand x, Rounding rounding, std::uint16_t& status) {
  const Integral rounded = RoundMagnitude(x.sign, x.exponent - ExponentBias, x.significand, rounding);
  const std::uint64_t limit = x.sign ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
  if (rounded.tooLarge || rounded.magnitude > limit) [[unlikely]] {
    status |= InvalidFlag;
    return std::numeric_limits<std::int64_t>::min();
  }
  if (rounded.inexact) {
    status |= PrecisionFlag;
  }
  const std::uint64_t bits = x.sign ? 0 - rounded.magnitude : rounded.magnitude;
  return static_cast<std::int64_t>(bits);
}

// fadd, fsub, fmul, fdiv st, st(i): a op b rounded once to extended.
inline Extended AddMasked(Extended a, Extended b, std::uint16_t controlWord, std::uint16_t& status) {
  if (!IsNormal(a) || !IsNormal(b)) [[unlikely]] {
    return AddAny(a, b, false, RoundingControlOf(controlWord), status);
  }
  return AddFinite(UnpackNormal(a), UnpackNormal(b), RoundingControlOf(controlWord), status);
}

inline Extended SubtractMasked(Extended a, Extended b, std::uint16_t controlWord, std::uint16_t& status) {
  if (!IsNormal(a) || !IsNormal(b)) [[unlikely]] {
    return AddAny(a, b, true, RoundingControlOf(controlWord), status);
  }
  return AddFinite(UnpackNormal(a), UnpackNormal(Negate(b)), RoundingControlOf(controlWord), status);
}

inline Extended MultiplyMasked(Extended a, Extended b, std::uint16_t controlWord, std::uint16_t& status) {
  if (!IsNormal(a) || !IsNormal(b)) [[unlikely]] {
    return MultiplyAny(a, b, RoundingControlOf(controlWord), status);
  }
  return MultiplyFinite(UnpackNormal(a), UnpackNormal(b), RoundingControlOf(controlWord), status);
}

inline Extended DivideMasked(Extended a, Extended b, std::uint16_t controlWord, std::uint16_t& status) {
  if (!IsNormal(a) || !IsNormal(b)) [[unlikely]] {
    return DivideAny(a, b, RoundingControlOf(controlWord), status);
  }
  return DivideFinite(UnpackNormal(a), UnpackNormal(b), RoundingControlOf(controlWord), status);
}

// fucomi and fcomi: the order of a and b.
inline Ordering CompareQuietMasked(Extended a, Extended b, std::uint16_t& status) {
  if (!IsNormalOrZero(a) || !IsNormalOrZero(b)) [[unlikely]] {
    return CompareAny(a, b, false, status);
  }
  return OrderNormalOrZero(a, b);
}

inline Ordering CompareSignalingMasked(Extended a, Extended b, std::uint16_t& status) {
  if (!IsNormalOrZero(a) || !IsNormalOrZero(b)) [[unlikely]] {
    return CompareAny(a, b, true, status);
  }
  return OrderNormalOrZero(a, b);
}

// fst m64: x rounded to a double's bits. NaNs keep the top of their
// significand; the x87 raises no DE for an extended denormal here.
inline std::uint64_t StoreDoubleMasked(Extended x, std::uint16_t controlWord, std::uint16_t& status) {
  if (!IsNormal(x)) [[unlikely]] {
    return StoreDoubleAny(x, RoundingControlOf(controlWord), status);
  }
  return PackDouble(RoundNormalized<DoubleFormat>(SignOf(x), ExponentFieldOf(x), Wide::FromHalves(x.significand, 0),
                                                  RoundingControlOf(controlWord), status));
}

// fistp m64: x rounded to an integer under the rounding control; NaNs,
// infinities and values out of range give 0x8000000000000000 with IE.
inline std::int64_t RoundToInt64Masked(Extended x, std::uint16_t controlWord, std::uint16_t& status) {
  if (!IsNormal(x)) [[unlikely]] {
    return RoundToInt64Any(x, RoundingOf(controlWord), status);
  }
  return RoundToInt64Finite(UnpackNormal(x), RoundingOf(controlWord), status);
}

}  // namespace x87::detail
