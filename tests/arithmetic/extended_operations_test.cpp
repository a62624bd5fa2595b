// The x87 behaviours the software core must reproduce, one table each, as
// measured on the hardware; runs on every CPU.
#include <gtest/gtest.h>

#include <limits>

#include "arithmetic/extended_operations.h"

namespace x87::detail {
namespace {

constexpr Extended One = {0x3FFF, IntegerBit};
constexpr Extended Half = {0x3FFE, IntegerBit};
constexpr Extended PlusZero = {0x0000, 0};
constexpr Extended MinusZero = {0x8000, 0};
constexpr Extended Denormal = {0x0000, 1};
constexpr Extended PseudoDenormal = {0x0000, IntegerBit | 5};
constexpr Extended Unnormal = {0x3FFF, 5};
constexpr Extended PseudoInfinity = {0x7FFF, 0};
constexpr Extended Infinity = {0x7FFF, IntegerBit};
constexpr Extended QuietNaN1 = {0x7FFF, 0xC000000000000001};
constexpr Extended NegativeQuietNaN1 = {0xFFFF, 0xC000000000000001};
constexpr Extended NegativeQuietNaN5 = {0xFFFF, 0xC000000000000005};
constexpr Extended SignalingNaN1 = {0x7FFF, 0x8000000000000001};
constexpr Extended SignalingNaN5 = {0x7FFF, 0x8000000000000005};
// (2 - 2^-63) * 2^-16382, the largest value below the smallest normal times two.
constexpr Extended BelowTwiceSmallestNormal = {0x0001, ~std::uint64_t{0}};

constexpr std::uint16_t Word(Rounding rounding) { return WithRounding(0x037F, rounding); }

using Binary = Extended (*)(Extended, Extended, std::uint16_t, std::uint16_t&);

struct BinaryRow {
  const char* name;
  Binary operation;
  Extended a;
  Extended b;
  Rounding rounding;
  Extended expected;
  std::uint16_t flags;
};

void Check(const BinaryRow& row) {
  SCOPED_TRACE(row.name);
  std::uint16_t flags = 0;
  const Extended result = row.operation(row.a, row.b, Word(row.rounding), flags);
  EXPECT_EQ(result.signExponent, row.expected.signExponent);
  EXPECT_EQ(result.significand, row.expected.significand);
  EXPECT_EQ(flags, row.flags);
}

TEST(ExtendedOperations, ExactZerosTakeTheirSignFromTheRounding) {
  const BinaryRow rows[] = {
      {"1 - 1 nearest", SubtractMasked, One, One, Rounding::Nearest, PlusZero, 0},
      {"1 - 1 toward zero", SubtractMasked, One, One, Rounding::TowardZero, PlusZero, 0},
      {"1 - 1 up", SubtractMasked, One, One, Rounding::Up, PlusZero, 0},
      {"1 - 1 down", SubtractMasked, One, One, Rounding::Down, MinusZero, 0},
      {"-0 + -0", AddMasked, MinusZero, MinusZero, Rounding::Nearest, MinusZero, 0},
      {"+0 + -0 down", AddMasked, PlusZero, MinusZero, Rounding::Down, MinusZero, 0},
      {"den - den down", SubtractMasked, Denormal, Denormal, Rounding::Down, MinusZero, DenormalFlag},
      {"-1 * 0", MultiplyMasked, Negate(One), PlusZero, Rounding::Nearest, MinusZero, 0},
  };
  for (const BinaryRow& row : rows) {
    Check(row);
  }
}

TEST(ExtendedOperations, NaNsAndInvalidEncodings) {
  const BinaryRow rows[] = {
      {"larger significand wins", AddMasked, QuietNaN1, NegativeQuietNaN5, Rounding::Nearest, NegativeQuietNaN5, 0},
      {"tie goes to the positive", AddMasked, NegativeQuietNaN1, QuietNaN1, Rounding::Nearest, QuietNaN1, 0},
      {"quiet beats signalling as stored", AddMasked, SignalingNaN5, QuietNaN1, Rounding::Nearest, QuietNaN1,
       InvalidFlag},
      {"signalling is quietened", MultiplyMasked, One, SignalingNaN5, Rounding::Nearest,
       Extended{0x7FFF, 0xC000000000000005}, InvalidFlag},
      {"subtraction keeps the NaN's sign", SubtractMasked, One, NegativeQuietNaN1, Rounding::Nearest, NegativeQuietNaN1,
       0},
      {"NaN hides the denormal", AddMasked, Denormal, QuietNaN1, Rounding::Nearest, QuietNaN1, 0},
      {"unnormal beats a NaN", AddMasked, QuietNaN1, Unnormal, Rounding::Nearest, RealIndefinite, InvalidFlag},
      {"pseudo-infinity", AddMasked, PseudoInfinity, One, Rounding::Nearest, RealIndefinite, InvalidFlag},
      {"inf - inf", SubtractMasked, Infinity, Infinity, Rounding::Nearest, RealIndefinite, InvalidFlag},
      {"0 * inf", MultiplyMasked, PlusZero, Infinity, Rounding::Nearest, RealIndefinite, InvalidFlag},
      {"0 / 0", DivideMasked, PlusZero, MinusZero, Rounding::Nearest, RealIndefinite, InvalidFlag},
  };
  for (const BinaryRow& row : rows) {
    Check(row);
  }
}

TEST(ExtendedOperations, DenormalOperandsAndDivisionByZero) {
  const BinaryRow rows[] = {
      {"1 * den", MultiplyMasked, One, Denormal, Rounding::Nearest, Denormal, DenormalFlag},
      {"den * den", MultiplyMasked, Denormal, Denormal, Rounding::Nearest, PlusZero,
       DenormalFlag | UnderflowFlag | PrecisionFlag},
      {"inf * den", MultiplyMasked, Infinity, Denormal, Rounding::Nearest, Infinity, DenormalFlag},
      {"pseudo-denormal + 1", AddMasked, PseudoDenormal, One, Rounding::Nearest, One, DenormalFlag | PrecisionFlag},
      {"0 / den", DivideMasked, PlusZero, Denormal, Rounding::Nearest, PlusZero, DenormalFlag},
      {"den / 0: no DE", DivideMasked, Denormal, PlusZero, Rounding::Nearest, Infinity, ZeroDivideFlag},
      {"inf / 0: no ZE", DivideMasked, Infinity, MinusZero, Rounding::Nearest, Negate(Infinity), 0},
  };
  for (const BinaryRow& row : rows) {
    Check(row);
  }
}

TEST(ExtendedOperations, TininessIsJudgedAfterRounding) {
  const BinaryRow rows[] = {
      // Exact at 64 bits with an unbounded exponent: tiny, and inexact as a
      // denormal, although it rounds up to the smallest normal.
      {"(2 - 2^-63) 2^-16383",
       MultiplyMasked,
       BelowTwiceSmallestNormal,
       Half,
       Rounding::Nearest,
       {0x0001, IntegerBit},
       UnderflowFlag | PrecisionFlag},
      {"the same toward zero",
       MultiplyMasked,
       BelowTwiceSmallestNormal,
       Half,
       Rounding::TowardZero,
       {0x0000, ~std::uint64_t{0} >> 1},
       UnderflowFlag | PrecisionFlag},
      {"overflow toward zero",
       MultiplyMasked,
       {0x7FFE, IntegerBit},
       {0x4000, IntegerBit},
       Rounding::TowardZero,
       {0x7FFE, ~std::uint64_t{0}},
       OverflowFlag | PrecisionFlag},
      {"1 + 2^-64 ties to even", AddMasked, One, {0x3FBF, IntegerBit}, Rounding::Nearest, One, PrecisionFlag},
      {"1 + 2^-64 up", AddMasked, One, {0x3FBF, IntegerBit}, Rounding::Up, {0x3FFF, IntegerBit | 1}, PrecisionFlag},
  };
  for (const BinaryRow& row : rows) {
    Check(row);
  }
}

struct StoreRow {
  Extended value;
  Rounding rounding;
  std::uint64_t expected;
  std::uint16_t flags;
};

TEST(ExtendedOperations, StoreToDouble) {
  const StoreRow rows[] = {
      // Rounds up to 2^-1022 at 53 bits: not tiny, so no UE.
      {{0x3C00, ~std::uint64_t{0}}, Rounding::Nearest, 0x0010000000000000, PrecisionFlag},
      // Exact at 53 bits yet below 2^-1022: tiny, and inexact as a denormal.
      {{0x3C00, 0xFFFFFFFFFFFFF800}, Rounding::Nearest, 0x0010000000000000, UnderflowFlag | PrecisionFlag},
      {Denormal, Rounding::Up, 0x0000000000000001, UnderflowFlag | PrecisionFlag},  // no DE on a store
      {{0x43FF, IntegerBit}, Rounding::Nearest, 0x7FF0000000000000, OverflowFlag | PrecisionFlag},
      {{0xC3FF, IntegerBit}, Rounding::TowardZero, 0xFFEFFFFFFFFFFFFF, OverflowFlag | PrecisionFlag},
      {SignalingNaN5, Rounding::Nearest, 0x7FF8000000000000, InvalidFlag},  // payload below the double's bits
      {NegativeQuietNaN1, Rounding::Nearest, 0xFFF8000000000000, 0},
      {Unnormal, Rounding::Nearest, 0xFFF8000000000000, InvalidFlag},
      {MinusZero, Rounding::Nearest, 0x8000000000000000, 0},
  };
  for (const StoreRow& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.value.signExponent << ":" << row.value.significand);
    std::uint16_t flags = 0;
    EXPECT_EQ(StoreDoubleMasked(row.value, Word(row.rounding), flags), row.expected);
    EXPECT_EQ(flags, row.flags);
  }
}

struct IntegerRow {
  Extended value;
  Rounding rounding;
  Extended integral;  // frndint
  std::uint16_t integralFlags;
  std::int64_t integer;  // fistp
  std::uint16_t integerFlags;
};

TEST(ExtendedOperations, RoundingToIntegers) {
  constexpr std::int64_t Indefinite = std::numeric_limits<std::int64_t>::min();
  const IntegerRow rows[] = {
      {Negate(Half), Rounding::TowardZero, MinusZero, PrecisionFlag, 0, PrecisionFlag},
      {Half, Rounding::Nearest, PlusZero, PrecisionFlag, 0, PrecisionFlag},
      {{0x3FFF, 0xC000000000000000}, Rounding::Nearest, {0x4000, IntegerBit}, PrecisionFlag, 2, PrecisionFlag},
      {Negate(Half), Rounding::Down, Negate(One), PrecisionFlag, -1, PrecisionFlag},
      {Denormal, Rounding::Up, One, DenormalFlag | PrecisionFlag, 1, PrecisionFlag},                   // fistp: no DE
      {{0xC03E, IntegerBit}, Rounding::Nearest, {0xC03E, IntegerBit}, 0, -0x7FFFFFFFFFFFFFFF - 1, 0},  // -2^63 fits
      {{0x403E, IntegerBit}, Rounding::Nearest, {0x403E, IntegerBit}, 0, Indefinite, InvalidFlag},
      {{0x403D, ~std::uint64_t{0}}, Rounding::Up, {0x403E, IntegerBit}, PrecisionFlag, Indefinite, InvalidFlag},
      {QuietNaN1, Rounding::Nearest, QuietNaN1, 0, Indefinite, InvalidFlag},
      {Unnormal, Rounding::Nearest, RealIndefinite, InvalidFlag, Indefinite, InvalidFlag},
  };
  for (const IntegerRow& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.value.signExponent << ":" << row.value.significand);
    std::uint16_t flags = 0;
    EXPECT_EQ(RoundToIntegralMasked(row.value, Word(row.rounding), flags), row.integral);
    EXPECT_EQ(flags, row.integralFlags);
    flags = 0;
    EXPECT_EQ(RoundToInt64Masked(row.value, Word(row.rounding), flags), row.integer);
    EXPECT_EQ(flags, row.integerFlags);
  }
}

struct CompareRow {
  Extended a;
  Extended b;
  Ordering order;
  std::uint16_t quietFlags;
  std::uint16_t signalingFlags;
};

TEST(ExtendedOperations, Comparisons) {
  const CompareRow rows[] = {
      {PlusZero, MinusZero, Ordering::Equal, 0, 0},
      {PseudoDenormal, {0x0001, IntegerBit | 5}, Ordering::Equal, DenormalFlag, DenormalFlag},
      {Denormal, One, Ordering::Less, DenormalFlag, DenormalFlag},
      {Negate(One), Negate(Half), Ordering::Less, 0, 0},
      {Denormal, QuietNaN1, Ordering::Unordered, 0, InvalidFlag},
      {SignalingNaN1, One, Ordering::Unordered, InvalidFlag, InvalidFlag},
      {Unnormal, One, Ordering::Unordered, InvalidFlag, InvalidFlag},
  };
  for (const CompareRow& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.a.signExponent << ":" << row.a.significand);
    std::uint16_t flags = 0;
    EXPECT_EQ(CompareQuietMasked(row.a, row.b, flags), row.order);
    EXPECT_EQ(flags, row.quietFlags);
    flags = 0;
    EXPECT_EQ(CompareSignalingMasked(row.a, row.b, flags), row.order);
    EXPECT_EQ(flags, row.signalingFlags);
  }
}

// The one-comparison test that every operation makes first agrees with the
// classification at each edge of the normal class.
TEST(ExtendedOperations, IsNormalIsTheNormalClass) {
  const Extended values[] = {One,
                             PlusZero,
                             MinusZero,
                             Denormal,
                             PseudoDenormal,
                             Unnormal,
                             Infinity,
                             PseudoInfinity,
                             QuietNaN1,
                             SignalingNaN1,
                             BelowTwiceSmallestNormal,
                             {0x7FFE, IntegerBit},
                             {0xFFFE, ~std::uint64_t{0}},
                             {0x8001, IntegerBit},
                             {0x7FFE, FractionMask}};
  for (const Extended x : values) {
    SCOPED_TRACE(testing::Message() << std::hex << x.signExponent << ":" << x.significand);
    EXPECT_EQ(IsNormal(x), Classify(x) == ExtendedClass::Normal);
  }
}

}  // namespace
}  // namespace x87::detail
