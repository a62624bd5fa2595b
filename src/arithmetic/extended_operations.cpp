#include "arithmetic/extended_operations.h"

#include <cassert>

namespace soft_x87 {

namespace {

using detail::Rounded;
using detail::Wide;

constexpr std::uint64_t IndefiniteDoubleBits = 0xFFF8000000000000;
constexpr std::int64_t IntegerIndefinite = std::numeric_limits<std::int64_t>::min();

// An operand taken apart: a denormal's exponent is 1, where its value lies.
struct Operand {
  ExtendedClass kind;
  bool sign;
  std::int32_t exponent;
  std::uint64_t significand;
};

Operand Unpack(Extended x) {
  const std::int32_t field = ExponentFieldOf(x);
  return {Classify(x), SignOf(x), field == 0 ? 1 : field, x.significand};
}

bool IsUnsupportedKind(ExtendedClass kind) {
  return kind == ExtendedClass::Unnormal || kind == ExtendedClass::PseudoInfinity || kind == ExtendedClass::PseudoNaN;
}
bool IsNaNKind(ExtendedClass kind) { return kind == ExtendedClass::QuietNaN || kind == ExtendedClass::SignalingNaN; }
bool IsDenormalKind(ExtendedClass kind) {
  return kind == ExtendedClass::Denormal || kind == ExtendedClass::PseudoDenormal;
}

Extended Signed(bool sign, std::uint16_t exponent, std::uint64_t significand) {
  return {static_cast<std::uint16_t>((sign ? SignBit : 0) | exponent), significand};
}
Extended SignedZero(bool sign) { return Signed(sign, 0, 0); }
Extended SignedInfinity(bool sign) { return Signed(sign, MaxExponentField, IntegerBit); }

Extended Quieted(Extended x) { return {x.signExponent, x.significand | QuietBit}; }

// Of two NaNs the one with the larger significand wins, as stored (so a
// quiet NaN beats a signalling one of the same payload); on a tie the
// positive one.
Extended LargerNaN(Extended a, Extended b) {
  if (a.significand != b.significand) {
    return a.significand > b.significand ? a : b;
  }
  return SignOf(a) ? b : a;
}

// The classes that decide a two-operand result alone, before anything else
// is looked at (a NaN operand also hides a denormal's DE): an unsupported
// encoding gives the indefinite, a NaN gives itself quietened, with IE for
// either when it signals. Returns false when both operands are numbers.
bool SettleNaNs(Extended a, Extended b, const Operand& x, const Operand& y, Extended& result, std::uint16_t& status) {
  if (IsUnsupportedKind(x.kind) || IsUnsupportedKind(y.kind)) {
    status |= InvalidFlag;
    result = RealIndefinite;
    return true;
  }
  const bool nanA = IsNaNKind(x.kind);
  const bool nanB = IsNaNKind(y.kind);
  if (!nanA && !nanB) {
    return false;
  }
  if (x.kind == ExtendedClass::SignalingNaN || y.kind == ExtendedClass::SignalingNaN) {
    status |= InvalidFlag;
  }
  result = Quieted(nanA && nanB ? LargerNaN(a, b) : nanA ? a : b);
  return true;
}

Extended Invalid(std::uint16_t& status) {
  status |= InvalidFlag;
  return RealIndefinite;
}

void NoteDenormals(const Operand& x, const Operand& y, std::uint16_t& status) {
  if (IsDenormalKind(x.kind) || IsDenormalKind(y.kind)) {
    status |= DenormalFlag;
  }
}

// Below any normalized denormal's exponent by more than a 128-bit shift.
constexpr std::int32_t ZeroExponent = -0x8000;

// Gives a denormal's significand its integer bit, lowering the exponent.
void Normalize(Operand& x) {
  assert(x.significand != 0);
  const int shift = __builtin_clzll(x.significand);
  x.significand <<= shift;
  x.exponent -= shift;
}

// Compares two numbers (not NaNs, not unsupported) by value.
Ordering CompareNumbers(const Operand& x, const Operand& y) {
  const bool zeroX = x.kind == ExtendedClass::Zero;
  const bool zeroY = y.kind == ExtendedClass::Zero;
  if (zeroX && zeroY) {
    return Ordering::Equal;
  }
  if (x.sign != y.sign) {
    return x.sign ? Ordering::Less : Ordering::Greater;
  }
  // Same sign: order the magnitudes (a zero, exponent 1 and significand 0,
  // sorts below every other), then turn the order round for negatives.
  Ordering magnitude = Ordering::Equal;
  if (x.exponent != y.exponent) {
    magnitude = x.exponent < y.exponent ? Ordering::Less : Ordering::Greater;
  } else if (x.significand != y.significand) {
    magnitude = x.significand < y.significand ? Ordering::Less : Ordering::Greater;
  }
  if (!x.sign || magnitude == Ordering::Equal) {
    return magnitude;
  }
  return magnitude == Ordering::Less ? Ordering::Greater : Ordering::Less;
}

Ordering Compare(Extended a, Extended b, bool signaling, std::uint16_t& status) {
  const Operand x = Unpack(a);
  const Operand y = Unpack(b);
  if (IsUnsupportedKind(x.kind) || IsUnsupportedKind(y.kind)) {
    status |= InvalidFlag;
    return Ordering::Unordered;
  }
  if (IsNaNKind(x.kind) || IsNaNKind(y.kind)) {
    if (signaling || x.kind == ExtendedClass::SignalingNaN || y.kind == ExtendedClass::SignalingNaN) {
      status |= InvalidFlag;
    }
    return Ordering::Unordered;
  }
  NoteDenormals(x, y, status);
  return CompareNumbers(x, y);
}

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

Extended WidenDouble(std::uint64_t bits, std::uint16_t& status) { return WidenBinary<DoubleLayout>(bits, status); }

Extended WidenFloat(std::uint32_t bits, std::uint16_t& status) { return WidenBinary<FloatLayout>(bits, status); }

Extended WidenInteger(std::int64_t value) {
  const bool sign = value < 0;
  const std::uint64_t magnitude = sign ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  return FromMagnitude(sign, magnitude);
}

Extended RoundToIntegral(Extended a, std::uint16_t controlWord, std::uint16_t& status) {
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
  const detail::Integral rounded =
      detail::RoundMagnitude(x.sign, x.exponent - ExponentBias, x.significand, RoundingOf(controlWord));
  if (!rounded.inexact) {
    return a;
  }
  status |= PrecisionFlag;
  // Rounding up may carry into 2^64 only from an exponent of 63, which has
  // no fraction bits; below that the magnitude fits.
  return FromMagnitude(x.sign, rounded.magnitude);
}

namespace detail {

Ordering CompareAny(Extended a, Extended b, bool signaling, std::uint16_t& status) {
  return Compare(a, b, signaling, status);
}

Extended AddAny(Extended a, Extended b, bool negateB, Rounding rounding, std::uint16_t& status) {
  Operand x = Unpack(a);
  Operand y = Unpack(b);
  Extended result;
  if (SettleNaNs(a, b, x, y, result, status)) {
    return result;  // a NaN keeps its sign in a subtraction
  }
  y.sign = y.sign != negateB;
  const bool infiniteX = x.kind == ExtendedClass::Infinity;
  const bool infiniteY = y.kind == ExtendedClass::Infinity;
  if (infiniteX && infiniteY && x.sign != y.sign) {
    return Invalid(status);
  }
  NoteDenormals(x, y, status);
  if (infiniteX || infiniteY) {
    return SignedInfinity(infiniteX ? x.sign : y.sign);
  }
  const bool zeroX = x.kind == ExtendedClass::Zero;
  const bool zeroY = y.kind == ExtendedClass::Zero;
  if (zeroX && zeroY) {
    // Two zeros of one sign keep it; otherwise +0, or -0 when rounding down.
    return SignedZero(x.sign == y.sign ? x.sign : rounding == Rounding::Down);
  }
  // A lone zero is the smaller operand, aligned away to nothing; a denormal
  // is normalized below exponent 1 like any other value.
  for (Operand* operand : {&x, &y}) {
    if (operand->kind == ExtendedClass::Zero) {
      operand->exponent = ZeroExponent;
    } else {
      Normalize(*operand);
    }
  }
  return AddFinite(x.sign, x.exponent, x.significand, y.sign, y.exponent, y.significand, rounding, status);
}

Extended MultiplyAny(Extended a, Extended b, Rounding rounding, std::uint16_t& status) {
  Operand x = Unpack(a);
  Operand y = Unpack(b);
  Extended result;
  if (SettleNaNs(a, b, x, y, result, status)) {
    return result;
  }
  const bool sign = x.sign != y.sign;
  const bool infinite = x.kind == ExtendedClass::Infinity || y.kind == ExtendedClass::Infinity;
  const bool zero = x.kind == ExtendedClass::Zero || y.kind == ExtendedClass::Zero;
  if (infinite && zero) {
    return Invalid(status);
  }
  NoteDenormals(x, y, status);
  if (infinite) {
    return SignedInfinity(sign);
  }
  if (zero) {
    return SignedZero(sign);
  }
  Normalize(x);
  Normalize(y);
  return MultiplyFinite(sign, x.exponent, x.significand, y.exponent, y.significand, rounding, status);
}

Extended DivideAny(Extended a, Extended b, Rounding rounding, std::uint16_t& status) {
  Operand x = Unpack(a);
  Operand y = Unpack(b);
  Extended result;
  if (SettleNaNs(a, b, x, y, result, status)) {
    return result;
  }
  const bool sign = x.sign != y.sign;
  const bool infiniteX = x.kind == ExtendedClass::Infinity;
  const bool infiniteY = y.kind == ExtendedClass::Infinity;
  const bool zeroX = x.kind == ExtendedClass::Zero;
  const bool zeroY = y.kind == ExtendedClass::Zero;
  if ((infiniteX && infiniteY) || (zeroX && zeroY)) {
    return Invalid(status);
  }
  if (infiniteX) {
    NoteDenormals(x, y, status);
    return SignedInfinity(sign);
  }
  if (zeroY) {
    // Division by zero outranks a denormal dividend's DE.
    status |= ZeroDivideFlag;
    return SignedInfinity(sign);
  }
  NoteDenormals(x, y, status);
  if (zeroX || infiniteY) {
    return SignedZero(sign);
  }
  Normalize(x);
  Normalize(y);
  return DivideFinite(sign, x.exponent, x.significand, y.exponent, y.significand, rounding, status);
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
  return RoundToInt64Finite(x.sign, x.exponent - ExponentBias, x.significand, rounding, status);
}

std::uint64_t StoreDoubleAny(Extended a, Rounding rounding, std::uint16_t& status) {
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
  return PackDouble(RoundToFormat<DoubleFormat>(x.sign, x.exponent, Wide{x.significand} << 64, rounding, status));
}

}  // namespace detail

}  // namespace soft_x87
