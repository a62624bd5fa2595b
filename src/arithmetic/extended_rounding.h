// The one rounding step shared by every operation of the software core: an
// exact (or sticky) intermediate with a 128-bit significand is rounded to the
// destination's precision under the rounding control, with the flags the x87
// raises when every exception is masked:
//   - PE whenever bits are lost (also on overflow);
//   - UE when the result is tiny and inexact, tininess judged after rounding
//     (the value rounded to full precision with an unbounded exponent is
//     below the smallest normal);
//   - OE, with infinity or the largest finite value, when the rounded value
//     is beyond the format's largest exponent.
// Internal to src/arithmetic: the operations' inline fast paths need it.
#pragma once

#include <cassert>
#include <cstdint>
#include <type_traits>

#include "arithmetic/extended_value.h"

namespace x87::detail {

using Wide = unsigned __int128;

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

inline int CountLeadingZeros(Wide x) {
  const auto high = static_cast<std::uint64_t>(x >> 64);
  if (high != 0) {
    return __builtin_clzll(high);
  }
  return 64 + __builtin_clzll(static_cast<std::uint64_t>(x));
}

// x shifted right by n (n >= 0), with every bit shifted out OR-ed into bit 0
// so that the rounding still sees that something was lost.
inline Wide ShiftRightSticky(Wide x, std::int32_t n) {
  assert(n >= 0);
  if (n >= 128) [[unlikely]] {
    return x != 0 ? 1 : 0;
  }
  // Two shifts, so that n = 0 needs no shift by 128.
  const Wide lost = x << (127 - n) << 1;
  return (x >> n) | (lost != 0 ? 1 : 0);
}

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
Rounded RoundTiny(bool sign, std::int32_t exponent, Wide significand, Rounding rounding, std::uint16_t& status);

// The same for a significand whose bit 127 is set.
template <typename Format>
inline Rounded RoundNormalized(bool sign, std::int32_t exponent, Wide significand, Rounding rounding,
                               std::uint16_t& status) {
  constexpr int dropped = 128 - Format::Precision;
  // The extended format drops 64 bits: one word holds them.
  using Rest = std::conditional_t<dropped <= 64, std::uint64_t, Wide>;
  constexpr Wide droppedMask = (Wide{1} << dropped) - 1;
  constexpr Rest half = Rest{1} << (dropped - 1);
  assert((significand >> 127) != 0);
  if (exponent < Format::MinExponent) [[unlikely]] {
    return RoundTiny<Format>(sign, exponent, significand, rounding, status);
  }
  auto kept = static_cast<std::uint64_t>(significand >> dropped);
  const auto rest = static_cast<Rest>(significand & droppedMask);
  // Rounding up is an addition, not a branch, and so is the inexact flag
  // below: in the number conversions whether a result rounds up, or is
  // exact, is as good as random. A chain of exact results pays for it, since
  // it can no longer run ahead of the comparison.
  kept += RoundsUp(rounding, sign, (kept & 1) != 0, rest, half) ? 1u : 0u;
  // Only rounding up reaches the next power of two.
  constexpr std::uint64_t carried = Format::Precision == 64 ? 0 : std::uint64_t{1} << (Format::Precision % 64);
  if (kept == carried) [[unlikely]] {
    kept = std::uint64_t{1} << (Format::Precision - 1);
    ++exponent;
  }
  if (exponent > Format::MaxExponent) [[unlikely]] {
    return OverflowResult<Format>(sign, rounding, status);
  }
  status |= static_cast<std::uint16_t>(rest != 0 ? PrecisionFlag : 0);
  return {sign, exponent, kept};
}

template <typename Format>
inline Rounded RoundToFormat(bool sign, std::int32_t exponent, Wide significand, Rounding rounding,
                             std::uint16_t& status) {
  assert(significand != 0);
  const int shift = CountLeadingZeros(significand);
  return RoundNormalized<Format>(sign, exponent - shift, significand << shift, rounding, status);
}

template <typename Format>
Rounded RoundTiny(bool sign, std::int32_t exponent, Wide significand, Rounding rounding, std::uint16_t& status) {
  constexpr int dropped = 128 - Format::Precision;
  constexpr Wide droppedMask = (Wide{1} << dropped) - 1;
  constexpr Wide half = Wide{1} << (dropped - 1);
  constexpr std::uint64_t allOnes = ~std::uint64_t{0} >> (64 - Format::Precision);
  // Only a value one binade below the normal range can round up into it at
  // full precision; then it is not tiny.
  const auto fullPrecision = static_cast<std::uint64_t>(significand >> dropped);
  const bool reachesNormal = exponent == Format::MinExponent - 1 && fullPrecision == allOnes &&
                             RoundsUp(rounding, sign, true, significand & droppedMask, half);
  significand = ShiftRightSticky(significand, Format::MinExponent - exponent);
  auto kept = static_cast<std::uint64_t>(significand >> dropped);
  const Wide rest = significand & droppedMask;
  // The denormal's integer bit is clear, so rounding up cannot carry out;
  // reaching the integer bit makes it the smallest normal.
  if (RoundsUp(rounding, sign, (kept & 1) != 0, rest, half)) {
    ++kept;
  }
  if (rest != 0) {
    status |= reachesNormal ? PrecisionFlag : UnderflowFlag | PrecisionFlag;
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
