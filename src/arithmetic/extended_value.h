// The 80-bit extended format as a plain value: a sign bit and a 15-bit
// biased exponent in one 16-bit field, and a 64-bit significand whose top bit
// is the explicit integer bit. Nothing here depends on the host's long double
// or byte order, so every CPU reads and writes the same bits.
//
//   {0x3FFF, 0x8000000000000000}  ->  1.0
//   {0xBFFE, 0xC000000000000000}  -> -0.75
//   {0x0000, 0x0000000000000001}  ->  2^-16445, the smallest denormal
//   {0xFFFF, 0xC000000000000000}  ->  the real indefinite (a quiet NaN)
#pragma once

#include <cstdint>

namespace x87 {

struct Extended {
  std::uint16_t signExponent;
  std::uint64_t significand;

  friend constexpr bool operator==(const Extended&, const Extended&) = default;
};

constexpr std::uint16_t SignBit = 0x8000;
constexpr std::uint16_t ExponentMask = 0x7FFF;
constexpr std::int32_t ExponentBias = 0x3FFF;
constexpr std::int32_t MaxExponentField = 0x7FFF;  // infinities and NaNs
constexpr std::uint64_t IntegerBit = 0x8000000000000000;
constexpr std::uint64_t QuietBit = 0x4000000000000000;
constexpr std::uint64_t FractionMask = 0x7FFFFFFFFFFFFFFF;

constexpr Extended ExtendedFromBits(std::uint16_t signExponent, std::uint64_t significand) {
  return Extended{signExponent, significand};
}

// The quiet NaN that the unit produces for an invalid operation.
constexpr Extended RealIndefinite = {0xFFFF, 0xC000000000000000};

constexpr bool SignOf(Extended x) { return (x.signExponent & SignBit) != 0; }
constexpr std::int32_t ExponentFieldOf(Extended x) { return x.signExponent & ExponentMask; }
constexpr bool HasIntegerBit(Extended x) { return (x.significand & IntegerBit) != 0; }

// Classification of every one of the 2^80 bit patterns. Unnormals,
// pseudo-infinities and pseudo-NaNs are encodings the unit no longer
// accepts as operands (an invalid operation); pseudo-denormals are accepted
// and read like denormals with the integer bit set.
enum class ExtendedClass : std::uint8_t {
  Zero,
  Denormal,        // exponent 0, integer bit 0, significand not 0
  PseudoDenormal,  // exponent 0, integer bit 1
  Unnormal,        // exponent 1..7FFE, integer bit 0
  Normal,          // exponent 1..7FFE, integer bit 1
  Infinity,        // exponent 7FFF, significand 8000000000000000
  PseudoInfinity,  // exponent 7FFF, significand 0
  PseudoNaN,       // exponent 7FFF, integer bit 0, significand not 0
  QuietNaN,        // exponent 7FFF, integer bit 1, quiet bit 1
  SignalingNaN,    // exponent 7FFF, integer bit 1, quiet bit 0, fraction not 0
};

constexpr ExtendedClass Classify(Extended x) {
  const std::int32_t exponent = ExponentFieldOf(x);
  const bool integer = HasIntegerBit(x);
  if (exponent == 0) {
    if (integer) {
      return ExtendedClass::PseudoDenormal;
    }
    return x.significand == 0 ? ExtendedClass::Zero : ExtendedClass::Denormal;
  }
  if (exponent != MaxExponentField) {
    return integer ? ExtendedClass::Normal : ExtendedClass::Unnormal;
  }
  if (!integer) {
    return x.significand == 0 ? ExtendedClass::PseudoInfinity : ExtendedClass::PseudoNaN;
  }
  if ((x.significand & FractionMask) == 0) {
    return ExtendedClass::Infinity;
  }
  return (x.significand & QuietBit) != 0 ? ExtendedClass::QuietNaN : ExtendedClass::SignalingNaN;
}

constexpr bool IsNaN(ExtendedClass c) { return c == ExtendedClass::QuietNaN || c == ExtendedClass::SignalingNaN; }
// Encodings that make any arithmetic operation invalid.
constexpr bool IsUnsupported(ExtendedClass c) {
  return c == ExtendedClass::Unnormal || c == ExtendedClass::PseudoInfinity || c == ExtendedClass::PseudoNaN;
}
// The classes that raise DE as an operand.
constexpr bool IsDenormalOperand(ExtendedClass c) {
  return c == ExtendedClass::Denormal || c == ExtendedClass::PseudoDenormal;
}

// Classify(x) == ExtendedClass::Normal, as one comparison of each field:
// exponent field in 1..7FFE and integer bit set. The operations test it
// first, on every operand.
constexpr bool IsNormal(Extended x) {
  const auto exponent = static_cast<std::uint16_t>(ExponentFieldOf(x) - 1);
  return exponent < MaxExponentField - 1 && static_cast<std::int64_t>(x.significand) < 0;
}
constexpr bool IsZero(Extended x) { return Classify(x) == ExtendedClass::Zero; }
constexpr bool IsDenormal(Extended x) { return Classify(x) == ExtendedClass::Denormal; }
constexpr bool IsPseudoDenormal(Extended x) { return Classify(x) == ExtendedClass::PseudoDenormal; }
constexpr bool IsUnnormal(Extended x) { return Classify(x) == ExtendedClass::Unnormal; }
constexpr bool IsInfinity(Extended x) { return Classify(x) == ExtendedClass::Infinity; }
constexpr bool IsPseudoInfinity(Extended x) { return Classify(x) == ExtendedClass::PseudoInfinity; }
constexpr bool IsPseudoNaN(Extended x) { return Classify(x) == ExtendedClass::PseudoNaN; }
constexpr bool IsQuietNaN(Extended x) { return Classify(x) == ExtendedClass::QuietNaN; }
constexpr bool IsSignalingNaN(Extended x) { return Classify(x) == ExtendedClass::SignalingNaN; }
constexpr bool IsNaN(Extended x) { return IsNaN(Classify(x)); }
constexpr bool IsUnsupported(Extended x) { return IsUnsupported(Classify(x)); }

constexpr Extended Signed(bool sign, std::uint16_t exponentField, std::uint64_t significand) {
  return {static_cast<std::uint16_t>((sign ? SignBit : 0) | exponentField), significand};
}
constexpr Extended SignedZero(bool sign) { return Signed(sign, 0, 0); }
constexpr Extended SignedInfinity(bool sign) { return Signed(sign, MaxExponentField, IntegerBit); }

// fchs and fabs: only the sign changes, for every encoding, with no flag.
constexpr Extended Negate(Extended x) { return {static_cast<std::uint16_t>(x.signExponent ^ SignBit), x.significand}; }
constexpr Extended Abs(Extended x) {
  return {static_cast<std::uint16_t>(x.signExponent & ExponentMask), x.significand};
}

// Status-word exception flags, as the unit sets them with every exception
// masked.
constexpr std::uint16_t InvalidFlag = 0x01;
constexpr std::uint16_t DenormalFlag = 0x02;
constexpr std::uint16_t ZeroDivideFlag = 0x04;
constexpr std::uint16_t OverflowFlag = 0x08;
constexpr std::uint16_t UnderflowFlag = 0x10;
constexpr std::uint16_t PrecisionFlag = 0x20;
constexpr std::uint16_t AllExceptionFlags = 0x3F;
// The control word's six exception masks sit at the same bits as the flags.
constexpr std::uint16_t ExceptionMasks = AllExceptionFlags;

// Rounding control: bits 10 and 11 of the control word. Precision control
// (bits 8 and 9) is taken to be 64-bit whatever the word says: the program
// never installs another.
enum class Rounding : std::uint8_t { Nearest = 0, Down = 1, Up = 2, TowardZero = 3 };
constexpr int RoundingShift = 10;
constexpr std::uint16_t RoundingField = 0x0C00;

constexpr Rounding RoundingOf(std::uint16_t controlWord) {
  return static_cast<Rounding>((controlWord & RoundingField) >> RoundingShift);
}

// The control word with its rounding control replaced, everything else kept.
constexpr std::uint16_t WithRounding(std::uint16_t controlWord, Rounding rounding) {
  return static_cast<std::uint16_t>((controlWord & ~RoundingField) | static_cast<int>(rounding) << RoundingShift);
}

}  // namespace x87
