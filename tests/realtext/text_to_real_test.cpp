#include "realtext/text_to_real.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "platform/exception_api.h"
#include "support/exact_integer.h"
#include "support/extended_literals.h"

using namespace x87;

namespace {

constexpr Extended Infinity = ExtendedFromBits(0x7FFF, 0x8000000000000000);

struct Row {
  const char* text;
  Extended value;  // compared bit for bit, so the sign of a zero counts
  std::int32_t errorPosition;
};

void ExpectRows(const Row* begin, const Row* end) {
  for (const Row* row = begin; row != end; ++row) {
    SCOPED_TRACE(testing::Message() << "text |" << row->text << "|");
    const TextToRealResult result = TextToReal(row->text);
    const Extended actual = result.value;
    const Extended expected = row->value;
    EXPECT_EQ(actual.signExponent, expected.signExponent);
    EXPECT_EQ(actual.significand, expected.significand);
    EXPECT_EQ(result.errorPosition, row->errorPosition);
  }
}

TEST(TextToReal, AcceptedForms) {
  const Row rows[] = {
      {"1e3", 1000.0_x, 0},
      {".5", 0.5_x, 0},
      {"5.", 5.0_x, 0},
      {"+5", 5.0_x, 0},
      {" 5", 5.0_x, 0},
      {"   -7", -7.0_x, 0},
      {"5.E3", 5000.0_x, 0},
      {"1E02", 100.0_x, 0},
      {"-5e-3", -0.005_x, 0},
      {"57.2958", 57.2958_x, 0},
      {"0.1", 0.1_x, 0},
      {"1e+2", 100.0_x, 0},
      {"123456789012345678", 123456789012345678.0_x, 0},
  };
  ExpectRows(std::begin(rows), std::end(rows));
}

// A point or an exponent alone is a whole number of value zero, and the
// sign applies after the scaling, so negative texts give negative zeros.
TEST(TextToReal, ZerosAndTheirSigns) {
  const Row rows[] = {
      {".", 0.0_x, 0}, {"-.", -0.0_x, 0}, {"E5", 0.0_x, 0}, {"-0", -0.0_x, 0}, {"0", 0.0_x, 0}, {"-0e-3", -0.0_x, 0},
  };
  ExpectRows(std::begin(rows), std::end(rows));
}

// The position is that of the first character that does not fit, or the
// length + 1 when the text ends too early; the value is the accumulator as
// it stood, without point, exponent or sign.
TEST(TextToReal, ErrorPositionsAndPartialValues) {
  const Row rows[] = {
      {"5 ", 5.0_x, 2},   {"1,5", 1.0_x, 2}, {"12a", 12.0_x, 3}, {"1.2.3", 12.0_x, 4}, {"1.5x", 15.0_x, 4},
      {"1e", 1.0_x, 3},   {"1e+", 1.0_x, 4}, {"1ex", 1.0_x, 3},  {"1e5x", 1.0_x, 4},   {"1e2e3", 1.0_x, 4},
      {"+-5", 0.0_x, 2},  {"-", 0.0_x, 2},   {"", 0.0_x, 1},     {".E", 0.0_x, 3},     {"$10", 0.0_x, 1},
      {"INF", 0.0_x, 1},  {"NaN", 0.0_x, 1}, {"\t5", 0.0_x, 1},  {"   ", 0.0_x, 4},    {"-12.5e", 125.0_x, 7},
      {"0x10", 0.0_x, 2}, {"1e-", 1.0_x, 4}, {"1 e5", 1.0_x, 2},
  };
  ExpectRows(std::begin(rows), std::end(rows));
}

// From 5120 on the result is an infinity of the number's sign, from -5120
// on zero; an exponent too long for any integer counts the same way.
TEST(TextToReal, ScalingLimitsAndSaturatedExponents) {
  const Row rows[] = {
      {"0e5120", Infinity, 0},
      {"-1e5120", -Infinity, 0},
      {"1e-5120", 0.0_x, 0},
      {"1e99999999999", Infinity, 0},
      {"-1e99999999999", -Infinity, 0},
      {"1e-99999999999", 0.0_x, 0},
      {"-1e-99999999999", -0.0_x, 0},
      {"0e99999999999", Infinity, 0},
      {"1e2147483648", Infinity, 0},
      {"1e-2147483649", 0.0_x, 0},
      {"1e000000000000000000000000003", 1000.0_x, 0},
  };
  ExpectRows(std::begin(rows), std::end(rows));
  // With a fraction digit the total exponent is 5119: in range, so it is
  // the overflow fault rather than an infinity.
  try {
    TextToReal("1.0e5120");
    FAIL() << "no fault";
  } catch (const StructuredException& fault) {
    EXPECT_EQ(fault.record.ExceptionCode, STATUS_FLOAT_OVERFLOW);
  }
}

TEST(TextToReal, OverflowInsideTheRangeIsAFault) {
  for (const char* text : {"1e4933", "-1e4933", "20e4932"}) {
    SCOPED_TRACE(text);
    try {
      TextToReal(text);
      ADD_FAILURE() << "no fault";
    } catch (const StructuredException& fault) {
      EXPECT_EQ(fault.record.ExceptionCode, STATUS_FLOAT_OVERFLOW);
    }
  }
  // In range: no fault, even beyond the double range; tiny values underflow quietly.
  EXPECT_EQ(TextToReal("1e4932").errorPosition, 0);
  EXPECT_EQ(TextToReal("1e400").errorPosition, 0);
  EXPECT_TRUE(x87::IsZero(TextToReal("1e-4960").value));
}

// The model of a long mantissa: every digit multiplies by 10 and adds,
// each step rounded to 64 significant bits, ties to even.
Extended DigitByDigit(const std::string& digits) {
  ExactInteger accumulator;
  for (char c : digits) {
    accumulator.MultiplyAdd(10, 0);
    accumulator = ExactInteger::FromRounded(accumulator.RoundToExtended());
    accumulator.MultiplyAdd(1, static_cast<std::uint32_t>(c - '0'));
    accumulator = ExactInteger::FromRounded(accumulator.RoundToExtended());
  }
  return BitsOfRounded(accumulator.RoundToExtended());
}

Extended Nearest(const std::string& digits) {
  ExactInteger exact;
  for (char c : digits) {
    exact.MultiplyAdd(10, static_cast<std::uint32_t>(c - '0'));
  }
  return BitsOfRounded(exact.RoundToExtended());
}

TEST(TextToReal, LongMantissasAreTakenDigitByDigit) {
  const char* const rows[] = {
      "9223372036854775807",             // 2^63 - 1: the last exact integer step
      "9223372036854775808",             // 2^63
      "18446744073709551615",            // 2^64 - 1
      "18446744073709551617",            // 2^64 + 1: a tie
      "36893488147419103231",            // 2^65 - 1
      "123456789012345678901234567890",  // 30 digits
      "999999999999999999999999999999999999999999999999999999999999999",
      "100000000000000000000000000000000000000000000000000000000000001",
  };
  for (const char* digits : rows) {
    SCOPED_TRACE(digits);
    const Extended actual = TextToReal(digits).value;
    const Extended expected = DigitByDigit(digits);
    EXPECT_EQ(actual.signExponent, expected.signExponent);
    EXPECT_EQ(actual.significand, expected.significand);
  }
  // The rounding at every step need not give the nearest value.
  const std::string differs = "36893488147419103225000000009";
  EXPECT_NE(DigitByDigit(differs).significand, Nearest(differs).significand);
  EXPECT_EQ(TextToReal(differs.c_str()).value.significand, DigitByDigit(differs).significand);
}

}  // namespace
