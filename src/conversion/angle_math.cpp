#include "conversion/angle_math.h"

using x87::Add;
using x87::Divide;
using x87::Extended;
using x87::ExtendedFromBits;
using x87::Multiply;
using x87::RoundReal;
using x87::StoreDouble;
using x87::Subtract;
using x87::TruncateReal;
using x87::Widen;
using x87::WidenInteger;

ConversionState Conversion{};

namespace {
constexpr float TwoHundred = 200.0f;
constexpr float OneEighty = 180.0f;
constexpr float Sixty = 60.0f;
constexpr float Nine = 9.0f;
constexpr float Ten = 10.0f;
constexpr float ThreeThousandSixHundred = 3600.0f;
}  // namespace

Extended Pi() { return ExtendedFromBits(0x4000, 0xC90FDAA22168C235ULL); }

Extended RadiansToGrads(double v) { return Divide(Multiply(Widen(TwoHundred), Widen(v)), Pi()); }

Extended RadiansToDegrees(double v) { return Divide(Multiply(Widen(OneEighty), Widen(v)), Pi()); }

Extended GradsToRadians(double v) { return Divide(Multiply(Pi(), Widen(v)), Widen(TwoHundred)); }

Extended GradsToDegrees(double v) { return Divide(Multiply(Widen(Nine), Widen(v)), Widen(Ten)); }

void StoreDecimalDegrees() {
  const Extended a = Divide(Widen(Conversion.minutesEntered), Widen(Sixty));
  const Extended b = Add(a, Widen(Conversion.degreesEntered));
  const Extended c = Divide(Widen(Conversion.secondsEntered), Widen(ThreeThousandSixHundred));
  Conversion.workDegrees = StoreDouble(Add(b, c));
}

void StoreDegreesAsRadians() {
  StoreDecimalDegrees();
  const Extended e = Multiply(Pi(), Widen(Conversion.workDegrees));
  Conversion.radianResult = StoreDouble(Divide(e, Widen(OneEighty)));
}

Extended DegreesToGrads() {
  StoreDecimalDegrees();
  const Extended e = Multiply(Widen(Ten), Widen(Conversion.workDegrees));
  return Divide(e, Widen(Nine));
}

void SplitDegrees() {
  ConversionState& s = Conversion;
  // Step 1: whole degrees, exact.
  s.wholeDegrees = StoreDouble(TruncateReal(Widen(s.angleValue)));
  // Step 2: the fraction of a degree, exact.
  s.workDegrees = StoreDouble(Subtract(Widen(s.angleValue), Widen(s.wholeDegrees)));
  // Step 3: the exact product rounded once to double.
  s.minutesValue = StoreDouble(Multiply(Widen(s.workDegrees), Widen(Sixty)));
  // Steps 4 and 5: whole minutes and the fraction of a minute.
  s.wholeMinutes = StoreDouble(TruncateReal(Widen(s.minutesValue)));
  s.minuteFraction = StoreDouble(Subtract(Widen(s.minutesValue), Widen(s.wholeMinutes)));
  // Step 6: seconds, again the exact product rounded once.
  s.secondsValue = StoreDouble(Multiply(Widen(s.minuteFraction), Widen(Sixty)));
  // Step 7: seconds rounded to an integer, back to a double exactly.
  s.wholeSeconds = StoreDouble(WidenInteger(RoundReal(Widen(s.secondsValue))));
}
