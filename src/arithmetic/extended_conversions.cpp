// The software core's loads and stores: widenings of doubles, floats and
// integers, and roundings to integers and to double.
#include <limits>

#include "arithmetic/extended_operand.h"
#include "arithmetic/extended_operations.h"

namespace x87 {

namespace {

constexpr std::uint64_t IndefiniteDoubleBits = 0xFFF8000000000000;
constexpr std::int64_t IntegerIndefinite = std::numeric_limits<std::int64_t>::min();

// The layout of a binary interchange format that fld loads exactly.
struct DoubleLayout {
  static constexpr int FractionBits = 52;
  static constexpr int ExponentBits = 11;
  static constexpr std::int32_t Bias = 1023;
};
struct FloatLayout {
  static constexpr int FractionBits = 23;
  static constexpr int ExponentBits = 8;
  static constexpr std::int32_t Bias = 127;
};

// fld of a double or float: exact; a signalling NaN is quietened with IE, a
// denormal raises DE.
template <typename Layout>
Extended WidenBinary(std::uint64_t bits, std::uint16_t& status) {
  constexpr int FractionShift = 63 - Layout::FractionBits;  // to the extended fraction's top
  constexpr std::int32_t MaxField = (1 << Layout::ExponentBits) - 1;
  const bool sign = (bits >> (Layout::FractionBits + Layout::ExponentBits)) != 0;
  const auto exponent = static_cast<std::int32_t>((bits >> Layout::FractionBits) & MaxField);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << Layout::FractionBits) - 1);
  if (exponent == MaxField) {
    if (fraction == 0) {
      return SignedInfinity(sign);
    }
    if ((fraction >> (Layout::FractionBits - 1)) == 0) {
      status |= InvalidFlag;
    }
    return Signed(sign, MaxExponentField, IntegerBit | QuietBit | fraction << FractionShift);
  }
  if (exponent == 0) {
    if (fraction == 0) {
      return SignedZero(sign);
    }
    status |= DenormalFlag;
    // The fraction's top bit, at bit 63 - shift, is worth 2^(63 - shift - lowest),
    // where 2^-lowest is the format's smallest denormal.
    constexpr std::int32_t Lowest = Layout::Bias - 1 + Layout::FractionBits;
    const int shift = __builtin_clzll(fraction);
    return Signed(sign, static_cast<std::uint16_t>(ExponentBias + 63 - shift - Lowest), fraction << shift);
  }
  return Signed(sign, static_cast<std::uint16_t>(exponent - Layout::Bias + ExponentBias),
                IntegerBit | fraction << FractionShift);
}

Extended FromMagnitude(bool sign, std::uint64_t magnitude) {
  if (magnitude == 0) {
    return SignedZero(sign);
  }
  const int shift = __builtin_clzll(magnitude);
  return Signed(sign, static_cast<std::uint16_t>(ExponentBias + 63 - shift), magnitude << shift);
}

}  // namespace

Extended WidenInteger(std::int64_t value) {
  const bool sign = value < 0;
  const std::uint64_t magnitude = sign ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  return FromMagnitude(sign, magnitude);
}

namespace detail {

Extended WidenDoubleMasked(std::uint64_t bits, std::uint16_t& status) {
  return WidenBinary<DoubleLayout>(bits, status);
}

Extended WidenFloatMasked(std::uint32_t bits, std::uint16_t& status) { return WidenBinary<FloatLayout>(bits, status); }

Extended RoundToIntegralMasked(Extended a, std::uint16_t controlWord, std::uint16_t& status) {
  const Operand x = Unpack(a);
  switch (x.kind) {
    case ExtendedClass::Unnormal:
    case ExtendedClass::PseudoInfinity:
    case ExtendedClass::PseudoNaN:
      return Invalid(status);
    case ExtendedClass::SignalingNaN:
      status |= InvalidFlag;
      return Quieted(a);
    case ExtendedClass::QuietNaN:
    case ExtendedClass::Infinity:
    case ExtendedClass::Zero:
      return a;
    case ExtendedClass::Denormal:
    case ExtendedClass::PseudoDenormal:
      status |= DenormalFlag;
      break;
    case ExtendedClass::Normal:
      break;
  }
  // The power of two of the significand's top bit.
  const Integral rounded = RoundMagnitude(x.sign, x.exponent - ExponentBias, x.significand, RoundingOf(controlWord));
  if (!rounded.inexact) {
    return a;
  }
  status |= PrecisionFlag;
  // Rounding up may carry into 2^64 only from an exponent of 63, which has
  // no fraction bits; below that the magnitude fits.
  return FromMagnitude(x.sign, rounded.magnitude);
}

std::int64_t RoundToInt64Any(Extended a, Rounding rounding, std::uint16_t& status) {
  const Operand x = Unpack(a);
  switch (x.kind) {
    case ExtendedClass::Zero:
      return 0;
    case ExtendedClass::Normal:
    case ExtendedClass::Denormal:
    case ExtendedClass::PseudoDenormal:
      break;  // fistp raises no DE
    default:
      status |= InvalidFlag;
      return IntegerIndefinite;
  }
  return RoundToInt64Finite(x, rounding, status);
}

std::uint64_t StoreDoubleAny(Extended a, RoundingControl control, std::uint16_t& status) {
  const Operand x = Unpack(a);
  const std::uint64_t sign = x.sign ? std::uint64_t{1} << 63 : 0;
  constexpr std::uint64_t infinityBits = std::uint64_t{0x7FF} << 52;
  switch (x.kind) {
    case ExtendedClass::Unnormal:
    case ExtendedClass::PseudoInfinity:
    case ExtendedClass::PseudoNaN:
      status |= InvalidFlag;
      return IndefiniteDoubleBits;
    case ExtendedClass::SignalingNaN:
      status |= InvalidFlag;
      return sign | infinityBits | (QuietBit | x.significand) << 1 >> 12;
    case ExtendedClass::QuietNaN:
      return sign | infinityBits | x.significand << 1 >> 12;
    case ExtendedClass::Infinity:
      return sign | infinityBits;
    case ExtendedClass::Zero:
      return sign;
    case ExtendedClass::Denormal:
    case ExtendedClass::PseudoDenormal:
    case ExtendedClass::Normal:
      break;
  }
  return PackDouble(
      RoundToFormat<DoubleFormat>(x.sign, x.exponent, Wide::FromHalves(x.significand, 0), control, status));
}

}  // namespace detail

}  // namespace x87
