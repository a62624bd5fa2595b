#include "realtext/ten_powers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>

#include "platform/exception_api.h"
#include "support/exact_integer.h"
#include "support/extended_literals.h"

using namespace x87;

namespace {

void ExpectBits(Extended actual, Extended expected) {
  const Extended bits = actual;
  EXPECT_EQ(bits.signExponent, expected.signExponent);
  EXPECT_EQ(bits.significand, expected.significand);
}

void ExpectNearestPowerOfTen(Extended entry, int n) {
  SCOPED_TRACE(testing::Message() << "10^" << n);
  ExpectBits(entry, BitsOfRounded(ExactInteger::PowerOfTen(n).RoundToExtended()));
}

TEST(TenPowerTables, EveryEntryIsTheNearestExtendedValue) {
  for (int i = 0; i < 32; ++i) {
    ExpectNearestPowerOfTen(SmallTenPowers[i], i);
  }
  for (int j = 0; j < 16; ++j) {
    ExpectNearestPowerOfTen(MediumTenPowers[j], 32 * j);
  }
  for (int j = 0; j < 10; ++j) {
    ExpectNearestPowerOfTen(LargeTenPowers[j], 512 * j);
  }
}

TEST(TenPowerTables, ConstantsBesideThem) {
  ExpectBits(x87::SignedInfinity(false), {0x7FFF, 0x8000000000000000});
  ExpectNearestPowerOfTen(Widen(TenTo17), 17);
  ExpectNearestPowerOfTen(Widen(TenTo18), 18);
  ExpectNearestPowerOfTen(Widen(Ten), 1);
}

// Results whose rounding is known exactly: the exact powers give exact
// products, and a single division of exact operands rounds once.
TEST(ScaleByPowerOfTen, ExactAndSingleRoundingResults) {
  struct Row {
    Extended x;
    std::int32_t n;
    Extended expected;
  };
  const Row rows[] = {
      {1.5_x, 0, 1.5_x},  {3.0_x, 27, 3e27_x},   {5.0_x, -3, 0.005_x},
      {1.0_x, -1, 0.1_x}, {7.0_x, -20, 7e-20_x}, {0.0_x, 4000, 0.0_x},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "x=" << row.x << " n=" << row.n);
    ExpectBits(ScaleByPowerOfTen(row.x, row.n), row.expected);
  }
}

TEST(ScaleByPowerOfTen, LimitsGiveInfinityOrZeroWhateverX) {
  struct Row {
    Extended x;
    std::int32_t n;
    Extended expected;
  };
  const Extended infinity{0x7FFF, 0x8000000000000000};
  const Extended zero{0, 0};
  const Row rows[] = {
      {0.0_x, 5120, infinity},  {1e-4000_x, 5120, infinity},
      {-1.0_x, 5120, infinity}, {1.0_x, std::numeric_limits<std::int32_t>::max(), infinity},
      {1e4000_x, -5120, zero},  {1.0_x, std::numeric_limits<std::int32_t>::min(), zero},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "x=" << row.x << " n=" << row.n);
    ExpectBits(ScaleByPowerOfTen(row.x, row.n), row.expected);
  }
}

// The largest steps stay in range: 10^5119 and 10^-5119 are near 10^+-5119
// (three roundings, so within a few units in the last place).
TEST(ScaleByPowerOfTen, LargestScalingsStayInRange) {
  const Extended up = ScaleByPowerOfTen(1e-300_x, 5119);
  const Extended nearest = 1e4819_x;
  EXPECT_EQ(up.signExponent, nearest.signExponent);
  EXPECT_LE(std::abs(static_cast<std::int64_t>(up.significand - nearest.significand)), 4);
  EXPECT_TRUE(x87::IsNormal(ScaleByPowerOfTen(1e300_x, -5119)));
}

TEST(ScaleByPowerOfTen, OverflowInsideTheRangeIsAFault) {
  try {
    ScaleByPowerOfTen(1.0_x, 4933);
    FAIL() << "no fault";
  } catch (const StructuredException& fault) {
    EXPECT_EQ(fault.record.ExceptionCode, STATUS_FLOAT_OVERFLOW);
  }
}

}  // namespace
