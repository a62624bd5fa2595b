#include "realtext/real_to_text.h"
#include "support/extended_literals.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

using namespace x87;

namespace {

constexpr std::int32_t Scientific = -1;

std::string Text(std::int32_t width, std::int32_t decimals, Extended value) {
  ShortString text;
  RealToText(width, decimals, value, text);
  return std::string(text.characters, text.length);
}

struct Row {
  Extended value;
  std::int32_t width;
  std::int32_t decimals;
  const char* expected;
};

void ExpectRows(const Row* begin, const Row* end) {
  for (const Row* row = begin; row != end; ++row) {
    SCOPED_TRACE(testing::Message() << "value " << row->value << " as " << row->width << ":" << row->decimals);
    EXPECT_EQ(Text(row->width, row->decimals, row->value), row->expected);
  }
}

TEST(RealToText, FixedNotation) {
  const Row rows[] = {
      {57.2957795130823_x, 6, 4, "57.2958"},
      {3.14159265358979_x, 6, 5, "3.14159"},
      {400.0_x, 6, 5, "400.00000"},
      {0.0_x, 6, 4, "0.0000"},
      {123456.789_x, 6, 4, "123456.7890"},
      {1e20_x, 6, 4, "100000000000000000000.0000"},
      {12345678901234567890123.0_x, 3, 0, "12345678901234567890000"},
      {1.3e36_x, 6, 4, "1300000000000000000000000000000000000.0000"},
      {12.0_x, 1, 0, "12"},
      {57.2957795130823_x, 20, 4, "             57.2958"},
  };
  ExpectRows(std::begin(rows), std::end(rows));
}

// The sign bit alone decides the minus: also for zero and for values that
// round to zero.
TEST(RealToText, MinusForEverySetSignBit) {
  const Row rows[] = {
      {-0.00001_x, 6, 4, "-0.0000"}, {-0.0_x, 6, 4, "-0.0000"}, {-0.0_x, 1, 0, "-0"},
      {-0.125_x, 6, 2, " -0.13"},    {-2.5_x, 3, 0, " -3"},
  };
  ExpectRows(std::begin(rows), std::end(rows));
}

// Rounding at the requested place is half up on the 17-decimal form, so a
// value a little below the half still rounds up when that form ends in 5.
TEST(RealToText, HalfUpOnTheSeventeenDecimalForm) {
  const Row rows[] = {
      {1.5_x, 3, 0, "  2"},
      {2.5_x, 3, 0, "  3"},
      {0.5_x, 2, 0, " 1"},
      {0.00005_x, 6, 4, "0.0001"},
      {WidenedDouble(0.49999999999999994), 2, 0, " 0"},  // the largest double below 0.5
      {0.4999999999999999999_x, 2, 0, " 1"},
      {2.4999999999999999999_x, 3, 0, "  3"},
      {0.0014999999999999999999_x, 6, 3, " 0.002"},
      {WidenedDouble(1.005), 6, 2, "  1.00"},  // the double lies below 1.005 by 10^-16
      {1.005_x, 6, 2, "  1.01"},
      {WidenedDouble(0.1), 1, 20, "0.10000000000000001000"},  // the double nearest 0.1
  };
  ExpectRows(std::begin(rows), std::end(rows));
}

TEST(RealToText, CarryAddsAnIntegerDigit) {
  const Row rows[] = {
      {59.99999_x, 2, 0, "60"},   {9.99999_x, 6, 4, "10.0000"}, {9.5_x, 2, 0, "10"},
      {99.995_x, 6, 2, "100.00"}, {99.5_x, 2, 0, "100"},        {999999.99999_x, 6, 4, "1000000.0000"},
      {15.99_x, 1, 0, "16"},
  };
  ExpectRows(std::begin(rows), std::end(rows));
}

TEST(RealToText, ScientificNotation) {
  const Row rows[] = {
      {12.5_x, 10, Scientific, " 1.3E+0001"},
      {57.2957795130823_x, 12, Scientific, " 5.730E+0001"},
      {9.96_x, 10, Scientific, " 1.0E+0001"},
      {9.999999999_x, 10, Scientific, " 1.0E+0001"},
      {1.5e-5_x, 10, Scientific, " 1.5E-0005"},
      {0.0_x, 10, Scientific, " 0.0E+0000"},
      {0.0_x, 2, Scientific, " 0.0E+0000"},
      {-0.0_x, 10, Scientific, "-0.0E+0000"},
      {123456.789_x, 30, Scientific, "     1.23456789000000000E+0005"},
      {12.5_x, 26, Scientific, " 1.25000000000000000E+0001"},
      {1e4000_x, 10, Scientific, " 1.0E+4000"},
      {ExtendedFromBits(0x7FFE, 0xFFFFFFFFFFFFFFFF), 12, Scientific, " 1.190E+4932"},
      {ExtendedFromBits(0, 1), 12, Scientific, " 3.645E-4951"},
      {ExtendedFromBits(1, 0x8000000000000000), 12, Scientific, " 3.362E-4932"},
  };
  ExpectRows(std::begin(rows), std::end(rows));
}

// From 2^120 on, fixed notation gives way to scientific whatever the
// decimals; just below it, 37 integer digits of which 19 carry the value
// (2^120 - 2^56 = 1329227995784915872|83...).
TEST(RealToText, ScientificFromTwoToThe120) {
  const Extended twoTo120 = 0x8000000000000000p+57_x;
  const Extended below = 0xFFFFFFFFFFFFFFFFp+56_x;
  const Row rows[] = {
      {twoTo120, 6, 4, " 1.3E+0036"},
      {-twoTo120, 6, 0, "-1.3E+0036"},
      {below, 1, 0, "1329227995784915873000000000000000000"},
      {1.4e36_x, 6, 4, " 1.4E+0036"},
      {1e40_x, 6, 4, " 1.0E+0040"},
      {-5e36_x, 2, 0, "-5.0E+0036"},
      {1.05e38_x, 6, 4, " 1.1E+0038"},
  };
  ExpectRows(std::begin(rows), std::end(rows));
}

TEST(RealToText, SpecialValues) {
  const Extended infinity = ExtendedFromBits(0x7FFF, 0x8000000000000000);
  const Row rows[] = {
      {infinity, 6, 4, "  +Inf"},
      {-infinity, 2, 0, "-Inf"},
      {-infinity, 6, Scientific, "  -Inf"},
      {ExtendedFromBits(0x7FFF, 0xC000000000000000), 6, 4, "   Nan"},
      {ExtendedFromBits(0xFFFF, 0xC000000000000000), 0, 4, "Nan"},
      {ExtendedFromBits(0x7FFF, 0), 4, 0, " Nan"},                  // pseudo-infinity
      {ExtendedFromBits(0x3FFF, 0x4000000000000000), 3, 2, "Nan"},  // unnormal
  };
  ExpectRows(std::begin(rows), std::end(rows));
}

// Pseudo-denormals (exponent field 0 with the integer bit) are numbers.
TEST(RealToText, PseudoDenormalIsANumber) {
  EXPECT_EQ(Text(12, Scientific, ExtendedFromBits(0, 0x8000000000000000)), " 3.362E-4932");
}

TEST(RealToText, WidthsAndDecimalsAreClamped) {
  const std::string wide = Text(300, 4, 1.0_x);
  EXPECT_EQ(wide.size(), 255u);
  EXPECT_EQ(wide.substr(249), "1.0000");
  EXPECT_EQ(wide.find_first_not_of(' '), 249u);

  const std::string many = Text(0, 300, ExtendedFromBits(0x3FFD, 0xAAAAAAAAAAAAAAAB));  // 1/3
  EXPECT_EQ(many.size(), 2u + 216u);
  EXPECT_EQ(many.substr(0, 20), "0.333333333333333330");
  EXPECT_EQ(many.find_first_not_of('0', 19), std::string::npos);

  // The longest text: sign, 37 integer digits, point, 216 decimals.
  EXPECT_EQ(Text(0, 1000, -1.3e36_x).size(), 255u);

  EXPECT_EQ(Text(std::numeric_limits<std::int32_t>::min(), 2, 1.5_x), "1.50");
  EXPECT_EQ(Text(std::numeric_limits<std::int32_t>::min(), Scientific, 1.5_x), " 1.5E+0000");
  EXPECT_EQ(Text(-5, std::numeric_limits<std::int32_t>::min(), 1.5_x), " 1.5E+0000");
  EXPECT_EQ(Text(std::numeric_limits<std::int32_t>::max(), Scientific, 1.5_x).size(), 255u);
}

TEST(DecimalDigits, RoundsOnceAtSeventeenDecimalsThenAtThePlace) {
  struct DigitRow {
    Extended v;
    std::int32_t n;
    const char* expected;  // positions 0..n
  };
  const DigitRow rows[] = {
      {1.25_x, 1, "01"},
      {1.25_x, 2, "013"},
      {9.96_x, 2, "100"},
      {15.5_x, 1, "16"},
      {0.0_x, 18, "0000000000000000000"},
      {1.5_x, 20, "015000000000000000000"},
  };
  for (const DigitRow& row : rows) {
    SCOPED_TRACE(testing::Message() << row.v << " for " << row.n);
    DigitString digits;
    DecimalDigits(row.v, row.n, digits);
    EXPECT_EQ(std::string(digits.digits, static_cast<std::size_t>(row.n) + 1), row.expected);
  }
}

TEST(ScaleToDecimal, BringsTheValueBetweenOneAndSixteen) {
  struct ScaleRow {
    Extended a;
    std::int32_t k;
  };
  const ScaleRow rows[] = {{1.0_x, 0},       {15.9_x, 0},    {16.0_x, 1},     {0.5_x, -1},
                           {1e-300_x, -301}, {1e300_x, 299}, {0x8p+117_x, 36}};
  for (const ScaleRow& row : rows) {
    SCOPED_TRACE(testing::Message() << row.a);
    const ScaledDecimal scaled = ScaleToDecimal(row.a);
    EXPECT_EQ(scaled.k, row.k);
    EXPECT_FALSE(IsLess(scaled.v, 1.0_x));
    EXPECT_TRUE(IsLess(scaled.v, 16.0_x));
  }
  EXPECT_EQ(ScaleToDecimal(0.0_x).k, 0);
}

}  // namespace
