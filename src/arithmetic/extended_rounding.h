// The one rounding step shared by every operation of the software core: an
// exact (or sticky) intermediate with a 128-bit significand is rounded to the
// destination's precision under the rounding control, with the flags the x87
// raises under the control word:
//   - PE whenever bits are lost (also on overflow);
//   - UE when the result is tiny and inexact (or tiny at all, when the
//     control word leaves underflow unmasked), tininess judged after
//     rounding (the value rounded to full precision with an unbounded
//     exponent is below the smallest normal);
//   - OE, with infinity or the largest finite value, when the rounded value
//     is beyond the format's largest exponent.
// Internal to src/arithmetic: the operations' inline fast paths need it.
#pragma once

#include <cassert>
#include <cstdint>
#include <type_traits>

#include "arithmetic/extended_value.h"
#include "arithmetic/wide_integer.h"

namespace x87::detail {

// Destination formats, with exponents biased as the extended format's so
// that one intermediate serves both.
struct ExtendedFormat {
  static constexpr int Precision = 64;
  static constexpr std::int32_t MinExponent = 1;
  static constexpr std::int32_t MaxExponent = 0x7FFE;
};
struct DoubleFormat {
  static constexpr int Precision = 53;
  static constexpr std::int32_t MinExponent = ExponentBias - 1022;
  static constexpr std::int32_t MaxExponent = ExponentBias + 1023;
};

// A rounded value: `significand` holds Precision bits with the integer bit
// on top; a denormal has that bit clear and exponent MinExponent; infinity
// is MaxExponent + 1 with only the integer bit.
struct Rounded {
  bool sign;
  std::int32_t exponent;
  std::uint64_t significand;
};

// What the rounding step takes of the control word: the rounding control,
// and the underflow mask. Masked, the x87 raises UE for a tiny result only
// when it is also inexact; unmasked, for every tiny result, exact or not.
// The word is kept whole and each field read where it is used: the mask only
// on the rare tiny path.
struct RoundingControl {
  std::uint16_t word;

  constexpr Rounding Mode() const { return RoundingOf(word); }
  constexpr bool UnderflowUnmasked() const { return (word & UnderflowFlag) == 0; }
};

constexpr RoundingControl RoundingControlOf(std::uint16_t controlWord) { return {controlWord}; }

// Whether a value whose kept part ends in `odd` and whose dropped part is
// `rest` (`half` being the dropped part of exactly one half unit) rounds
// away from zero.
template <typename Bits>
inline bool RoundsUp(Rounding rounding, bool sign, bool odd, Bits rest, Bits half) {
  // The program's rounding first: the test costs one comparison.
  if (rounding == Rounding::Nearest) [[likely]] {
    return rest > half - (odd ? 1 : 0);  // ties to even
  }
  switch (rounding) {
    case Rounding::Nearest:
      break;
    case Rounding::Down:
      return sign && rest != 0;
    case Rounding::Up:
      return !sign && rest != 0;
    case Rounding::TowardZero:
      break;
  }
  return false;
}

template <typename Format>
Rounded OverflowResult(bool sign, Rounding rounding, std::uint16_t& status) {
  status |= OverflowFlag | PrecisionFlag;
  const bool toInfinity =
      rounding == Rounding::Nearest || (rounding == Rounding::Up && !sign) || (rounding == Rounding::Down && sign);
  if (toInfinity) {
    return {sign, Format::MaxExponent + 1, std::uint64_t{1} << (Format::Precision - 1)};
  }
  constexpr std::uint64_t largest = ~std::uint64_t{0} >> (64 - Format::Precision);
  return {sign, Format::MaxExponent, largest};
}

// Rounds sign * significand * 2^(exponent - ExponentBias - 127) to the
// format. `significand` must not be 0.
template <typename Format>
Rounded RoundTiny(bool sign, std::int32_t exponent, Wide significand, RoundingControl control, std::uint16_t& status);

// The same for a significand whose bit 127 is set.
template <typename Format>
inline Rounded RoundNormalized(bool sign, std::int32_t exponent, Wide significand, RoundingControl control,
                               std::uint16_t& status) {
  constexpr int dropped = 128 - Format::Precision;
  // The extended format drops 64 bits: one word holds them.
  using Rest = std::conditional_t<dropped <= 64, std::uint64_t, Wide>;
  constexpr Wide droppedMask = (Wide{1} << dropped) - 1;
  constexpr Rest half = Rest{1} << (dropped - 1);
  assert((significand >> 127) != Wide{});
  if (exponent < Format::MinExponent) [[unlikely]] {
    return RoundTiny<Format>(sign, exponent, significand, control, status);
  }
  std::uint64_t kept = (significand >> dropped).Low();
  Rest rest{};
  if constexpr (dropped <= 64) {
    rest = (significand & droppedMask).Low();
  } else {
    rest = significand & droppedMask;
  }
  // Rounding up is an addition, not a branch, and so is the inexact flag
  // below: in the number conversions whether a result rounds up, or is
  // exact, is as good as random. A chain of exact results pays for it, since
  // it can no longer run ahead of the comparison.
  kept += RoundsUp(control.Mode(), sign, (kept & 1) != 0, rest, half) ? 1u : 0u;
  // Only rounding up reaches the next power of two.
  constexpr std::uint64_t carried = Format::Precision == 64 ? 0 : std::uint64_t{1} << (Format::Precision % 64);
  if (kept == carried) [[unlikely]] {
    kept = std::uint64_t{1} << (Format::Precision - 1);
    ++exponent;
  }
  if (exponent > Format::MaxExponent) [[unlikely]] {
    return OverflowResult<Format>(sign, control.Mode(), status);
  }
  status |= static_cast<std::uint16_t>(rest != 0 ? PrecisionFlag : 0);
  return {sign, exponent, kept};
}

template <typename Format>
inline Rounded RoundToFormat(bool sign, std::int32_t exponent, Wide significand, RoundingControl control,
                             std::uint16_t& status) {
  assert(significand != Wide{});
  const int shift = significand.LeadingZeros();
  return RoundNormalized<Format>(sign, exponent - shift, significand << shift, control, status);
}

template <typename Format>
Rounded RoundTiny(bool sign, std::int32_t exponent, Wide significand, RoundingControl control, std::uint16_t& status) {
  constexpr int dropped = 128 - Format::Precision;
  constexpr Wide droppedMask = (Wide{1} << dropped) - 1;
  constexpr Wide half = Wide{1} << (dropped - 1);
  constexpr std::uint64_t allOnes = ~std::uint64_t{0} >> (64 - Format::Precision);
  // Only a value one binade below the normal range can round up into it at
  // full precision; then it is not tiny.
  const std::uint64_t fullPrecision = (significand >> dropped).Low();
  const bool reachesNormal = exponent == Format::MinExponent - 1 && fullPrecision == allOnes &&
                             RoundsUp(control.Mode(), sign, true, significand & droppedMask, half);
  significand = ShiftRightSticky(significand, Format::MinExponent - exponent);
  std::uint64_t kept = (significand >> dropped).Low();
  const Wide rest = significand & droppedMask;
  // The denormal's integer bit is clear, so rounding up cannot carry out;
  // reaching the integer bit makes it the smallest normal.
  if (RoundsUp(control.Mode(), sign, (kept & 1) != 0, rest, half)) {
    ++kept;
  }
  if (rest != 0) {
    status |= PrecisionFlag;
  }
  if (!reachesNormal && (rest != 0 || control.UnderflowUnmasked())) {
    status |= UnderflowFlag;
  }
  return {sign, Format::MinExponent, kept};
}

inline Extended PackExtended(Rounded r) {
  const bool normal = (r.significand & IntegerBit) != 0;
  const auto exponent = static_cast<std::uint16_t>(normal ? r.exponent : 0);
  return {static_cast<std::uint16_t>((r.sign ? SignBit : 0) | exponent), r.significand};
}

inline std::uint64_t PackDouble(Rounded r) {
  constexpr std::uint64_t fractionMask = (std::uint64_t{1} << 52) - 1;
  const bool normal = (r.significand >> 52) != 0;
  const auto exponent = static_cast<std::uint64_t>(normal ? r.exponent - DoubleFormat::MinExponent + 1 : 0);
  return (r.sign ? std::uint64_t{1} << 63 : 0) | exponent << 52 | (r.significand & fractionMask);
}

}  // namespace x87::detail
