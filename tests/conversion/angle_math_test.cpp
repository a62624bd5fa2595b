// The formulas and the split, every stored intermediate compared bit for bit.
#include <cfloat>
#include <cmath>
#include <limits>
#include <utility>

#include "arithmetic/fpu_test_support.h"
#include "conversion/angle_math.h"
#include "support/exact_integer.h"

using namespace x87;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
// A value the row leaves open, and so does not check.
constexpr double Unstated = std::numeric_limits<double>::quiet_NaN();

::testing::AssertionResult SameOrUnstated(double actual, double expected) {
  return std::isnan(expected) ? ::testing::AssertionSuccess() : SameDouble(actual, expected);
}

// The arithmetic's start-up environment and a zeroed conversion state.
class AngleMathTest : public FpuTest {
 protected:
  void SetUp() override {
    FpuTest::SetUp();
    Conversion = ConversionState{};
  }
};

// Checked against pi's own expansion, 3.243F6A8885A308D313198A2E03707344
// in hexadecimal, rounded here to 64 bits.
TEST_F(AngleMathTest, PiIsTheExtendedNearestToPi) {
  constexpr std::uint64_t fractionHigh = 0x243F6A8885A308D3;
  constexpr std::uint64_t fractionLow = 0x13198A2E03707344;
  // pi lies in [2, 4): the significand is the integer part 3 and the
  // fraction's first 62 bits; the dropped bits are compared with one half.
  constexpr std::uint64_t kept = std::uint64_t{3} << 62 | fractionHigh >> 2;
  constexpr std::uint64_t dropped = (fractionHigh & 3) << 62 | fractionLow >> 2;
  constexpr std::uint64_t nearest = kept + (dropped > std::uint64_t{1} << 63 ? 1 : 0);
  EXPECT_TRUE(SameExtended(Pi(), ExtendedFromBits(ExponentBias + 1, nearest)));
  EXPECT_TRUE(SameExtended(Pi(), 3.141592653589793238512809_x));
}

struct FormulaCase {
  const char* name;
  Extended (*formula)(double);
  double v;
  Extended t;     // the extended result
  double stored;  // t rounded once to double, as stored before a split
};

TEST_F(AngleMathTest, FormulasMultiplyFirstAndRoundOnlyAtTheStore) {
  const FormulaCase cases[] = {
      {"1 rad to d", RadiansToDegrees, 1, 57.29577951308232087665462_x, 57.29577951308232},
      {"-1 rad to d", RadiansToDegrees, -1, -57.29577951308232087665462_x, -57.29577951308232},
      {"1 rad to g", RadiansToGrads, 1, 63.66197723675813430546655_x, Unstated},
      {"100 g to rad", GradsToRadians, 100, 1.570796326794896619147984_x, Unstated},
      // 9 * 0.5 / 10 falls just below 0.45 in extended; the store gives 0.45.
      {"0.5 g to d", GradsToDegrees, 0.5, 0.4499999999999999999891580_x, 0.45},
      {"-0.5 g to d", GradsToDegrees, -0.5, -0.4499999999999999999891580_x, -0.45},
      {"-100 g to d", GradsToDegrees, -100, -90.0_x, -90},
  };
  for (const FormulaCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Extended t = c.formula(c.v);
    EXPECT_TRUE(SameExtended(t, c.t));
    EXPECT_TRUE(SameOrUnstated(StoreDouble(t), c.stored));
  }
}

// True when q is the extended nearest to n / d (ties to even), by exact
// integer arithmetic on the significands; n, d and q positive and normal.
bool IsNearestQuotient(Extended q, Extended n, Extended d) {
  const Extended bq = q, bn = n, bd = d;
  // In units of ulp(q) * d, the product q * d is Q * D and n is N * 2^shift.
  const int shift = bn.signExponent - bq.signExponent - bd.signExponent + 16383 + 63;
  if (shift < 0 || shift > 64) {
    return false;
  }
  ExactInteger error(bn.significand);
  error.ShiftLeft(shift);
  // Q * D from D's two 32-bit halves.
  ExactInteger product(bq.significand);
  product.MultiplyAdd(static_cast<std::uint32_t>(bd.significand >> 32), 0);
  product.ShiftLeft(32);
  ExactInteger lowPart(bq.significand);
  lowPart.MultiplyAdd(static_cast<std::uint32_t>(bd.significand), 0);
  product.Add(lowPart);
  if (error.Compare(product) < 0) {
    std::swap(error, product);
  }
  error.Subtract(product);
  // Within half an ulp of q, times d; exactly half only for an even q.
  const ExactInteger divisor(bd.significand);
  if (error.Compare(divisor) >= 0) {
    return false;
  }
  error.ShiftLeft(1);
  const int half = error.Compare(divisor);
  return half < 0 || (half == 0 && (bq.significand & 1) == 0);
}

struct QuotientCase {
  const char* name;
  Extended (*formula)(double);
  float factor;
  Extended divisor;
};

// 180, 200 and 9 times a double are exact in extended, so each result must be
// that exact product divided once; a ratio such as 180 / pi formed first
// would round twice.
TEST_F(AngleMathTest, ProductComesFirstAndIsDividedOnce) {
  const QuotientCase cases[] = {
      {"rad to d", RadiansToDegrees, 180, Pi()},
      {"rad to g", RadiansToGrads, 200, Pi()},
      {"g to d", GradsToDegrees, 9, 10.0_x},
  };
  const double values[] = {1, 3, 0.1, 7e-5, 12345.678, 0.7853981633974483, 1e300, 5e-300};
  for (const QuotientCase& c : cases) {
    for (const double v : values) {
      SCOPED_TRACE(::testing::Message() << c.name << " " << v);
      const Extended product = Multiply(Widen(c.factor), Widen(v));
      EXPECT_TRUE(IsNearestQuotient(c.formula(v), product, c.divisor));
    }
  }
}

struct StoredAngleCase {
  Extended (*formula)(double);
  double v;
  double angle;  // the angle stored for the split
};

TEST_F(AngleMathTest, ConversionsReachTheAnglesOfTheSplitCases) {
  const StoredAngleCase cases[] = {
      {RadiansToDegrees, 3.14159265358979, 179.9999999999998},
      {GradsToDegrees, 1.11111, 0.9999990000000001},
      {GradsToDegrees, 0.009722222222222222, 0.00875},
      {GradsToDegrees, 0.00941358024691358, 0.008472222222222221},
      {GradsToDegrees, 0.036882716049382716, 0.03319444444444444},
  };
  for (const StoredAngleCase& c : cases) {
    SCOPED_TRACE(c.v);
    EXPECT_TRUE(SameDouble(StoreDouble(c.formula(c.v)), c.angle));
  }
}

struct SplitCase {
  double v;
  double wholeDegrees, workDegrees, minutesValue, wholeMinutes, minuteFraction, secondsValue, wholeSeconds;
};

TEST_F(AngleMathTest, SplitEachStepReadsTheStoredDouble) {
  // A difference of two doubles of one binade is exact; such rows state it
  // as that difference.
  const SplitCase cases[] = {
      {57.29577951308232, 57, 0.29577951308232286, 17.746770784939372, 17, 0.7467707849393719, 44.80624709636231, 45},
      {-57.29577951308232, -57, -0.29577951308232286, -17.746770784939372, -17, -0.7467707849393719, -44.80624709636231,
       -45},
      // 180 - 7 * 2^-45: every step is exact but the rounding of the seconds.
      {179.9999999999998, 179, 1 - 0x7p-45, 60 - 0x690p-47, 59, 1 - 0x690p-47, 59.99999999928377, 60},
      // 59.996 seconds become 60; nothing is carried into the minutes.
      {0.9999990000000001, 0, 0.9999990000000001, 59.99994, 59, 59.99994 - 59, 59.996400000000136, 60},
      // The exact product 27.000000000000000666 rounds to 27 at its store.
      {0.45, 0, 0.45, 27, 27, 0, 0, 0},
      {-0.45, -0.0, -0.45, -27, -27, 0, 0, 0},
      // Seconds exactly halfway go to the even neighbour.
      {0.00875, 0, 0.00875, 0.525, 0, 0.525, 31.5, 32},
      {0.008472222222222221, 0, 0.008472222222222221, 0.5083333333333333, 0, 0.5083333333333333, 30.5, 30},
      {0.03319444444444444, 0, 0.03319444444444444, Unstated, 1, Unstated, 59.5, 60},
      // A whole angle, negative or not, leaves plain zeros below the degrees.
      {-90, -90, 0, 0, 0, 0, 0, 0},
      {-0.0, -0.0, 0, 0, 0, 0, 0, 0},
      {0.0, 0, 0, 0, 0, 0, 0, 0},
      // Negative zero minutes; seconds are never a negative zero.
      {-0.01, -0.0, -0.01, -0.6, -0.0, -0.6, -36, -36},
      {-0.0001, -0.0, -0.0001, -0.006, -0.0, -0.006, -0.36, 0},
      // From 2^52 on there is no fraction.
      {0x1.0000000000001p52, 0x1.0000000000001p52, 0, 0, 0, 0, 0, 0},
      {-1e300, -1e300, 0, 0, 0, 0, 0, 0},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.v);
    Conversion.angleValue = c.v;
    SplitDegrees();
    EXPECT_TRUE(SameDouble(Conversion.angleValue, c.v));
    EXPECT_TRUE(SameOrUnstated(Conversion.wholeDegrees, c.wholeDegrees)) << "wholeDegrees";
    EXPECT_TRUE(SameOrUnstated(Conversion.workDegrees, c.workDegrees)) << "workDegrees";
    EXPECT_TRUE(SameOrUnstated(Conversion.minutesValue, c.minutesValue)) << "minutesValue";
    EXPECT_TRUE(SameOrUnstated(Conversion.wholeMinutes, c.wholeMinutes)) << "wholeMinutes";
    EXPECT_TRUE(SameOrUnstated(Conversion.minuteFraction, c.minuteFraction)) << "minuteFraction";
    EXPECT_TRUE(SameOrUnstated(Conversion.secondsValue, c.secondsValue)) << "secondsValue";
    EXPECT_TRUE(SameOrUnstated(Conversion.wholeSeconds, c.wholeSeconds)) << "wholeSeconds";
  }
}

struct DegreesCase {
  double deg, min, sec;
  double d, radianResult;
  Extended grads;
};

TEST_F(AngleMathTest, EnteredDegreesAreSummedWithTheirSigns) {
  const DegreesCase cases[] = {
      {30, 30, 30, 30.508333333333333, 0.5324708659626034, 33.89814814814814762297668_x},
      // No range test: 285 / 9 is the extended nearest to 95/3.
      {30, -90, 0, 28.5, Unstated, 31.666666666666666666666667_x},
      {-90, 0, 0, -90, -1.5707963267948966, -100.0_x},
  };
  for (const DegreesCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.deg << ", " << c.min << ", " << c.sec);
    Conversion.degreesEntered = c.deg;
    Conversion.minutesEntered = c.min;
    Conversion.secondsEntered = c.sec;
    StoreDegreesAsRadians();
    EXPECT_TRUE(SameDouble(Conversion.workDegrees, c.d));
    EXPECT_TRUE(SameOrUnstated(Conversion.radianResult, c.radianResult));
    Conversion.workDegrees = 0;
    EXPECT_TRUE(SameExtended(DegreesToGrads(), c.grads));
    EXPECT_TRUE(SameDouble(Conversion.workDegrees, c.d));
  }
}

struct ConversionFaultCase {
  const char* name;
  void (*prepare)();
  void (*run)();
  DWORD code;
  double workDegrees;   // 123 when the faulting store never happened
  double wholeDegrees;  // what step 1 of the split left
};

TEST_F(AngleMathTest, EachFaultArisesAtItsOwnStep) {
  const ConversionFaultCase cases[] = {
      {"split of +inf: inf - inf in step 2", [] { Conversion.angleValue = Inf; }, SplitDegrees,
       STATUS_FLOAT_INVALID_OPERATION, 123, Inf},
      {"split of -inf", [] { Conversion.angleValue = -Inf; }, SplitDegrees, STATUS_FLOAT_INVALID_OPERATION, 123, -Inf},
      {"D = b + c with b = +inf, c = -inf",
       [] {
         Conversion.degreesEntered = Inf;
         Conversion.secondsEntered = -Inf;
       },
       StoreDegreesAsRadians, STATUS_FLOAT_INVALID_OPERATION, 123, 0},
      {"b = a + deg with a = +inf, deg = -inf",
       [] {
         Conversion.degreesEntered = -Inf;
         Conversion.minutesEntered = Inf;
       },
       [] { DegreesToGrads(); }, STATUS_FLOAT_INVALID_OPERATION, 123, 0},
      {"one infinity alone is stored", [] { Conversion.degreesEntered = Inf; }, StoreDecimalDegrees, 0, Inf, 0},
      {"D beyond the double range",
       [] {
         Conversion.degreesEntered = DBL_MAX;
         Conversion.secondsEntered = 1e308;
       },
       StoreDecimalDegrees, STATUS_FLOAT_OVERFLOW, 123, 0},
      {"180 * 4e306 / pi stored", [] { Conversion.angleValue = 4e306; },
       [] { Conversion.workDegrees = StoreDouble(RadiansToDegrees(Conversion.angleValue)); }, STATUS_FLOAT_OVERFLOW,
       123, 0},
      {"180 * 3.1e306 / pi stored", [] { Conversion.angleValue = 3.1e306; },
       [] { Conversion.workDegrees = StoreDouble(RadiansToDegrees(Conversion.angleValue)); }, 0, Unstated, 0},
  };
  for (const ConversionFaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    Conversion = ConversionState{};
    Conversion.workDegrees = 123;
    c.prepare();
    EXPECT_EQ(FaultOf(c.run), c.code);
    EXPECT_TRUE(SameOrUnstated(Conversion.workDegrees, c.workDegrees));
    EXPECT_TRUE(SameDouble(Conversion.wholeDegrees, c.wholeDegrees));
  }
}

TEST_F(AngleMathTest, InfinitiesAreWrittenWithoutFault) {
  EXPECT_TRUE(SameExtended(RadiansToGrads(Inf), Widen(Inf)));
  EXPECT_TRUE(SameDouble(StoreDouble(RadiansToDegrees(-Inf)), -Inf));
}

}  // namespace
