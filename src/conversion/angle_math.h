// The numeric core of the conversion: the state that holds the entered
// numbers and stored intermediates, the unit-conversion formulas and the
// split of decimal degrees into degrees, minutes and seconds.
//
// Every formula multiplies first and divides second, one extended operation
// at a time; values become doubles only where a field is stored.
//   RadiansToDegrees(1)  -> 57.29577951308232087665462 (written 57.2958)
//   RadiansToGrads(1)    -> 63.66197723675813430546655
//   SplitDegrees on 57.29577951308232 -> 57, 17, 45
#pragma once

#include "arithmetic/extended_arithmetic.h"

struct ConversionState {
  double angleValue;
  double wholeDegrees;
  double workDegrees;
  double minutesValue;
  double wholeMinutes;
  double minuteFraction;
  double secondsValue;
  double radianResult;
  double wholeSeconds;
  double degreesEntered;
  double secondsEntered;
  double minutesEntered;
};

// The one instance, zero at start.
extern ConversionState Conversion;

// pi as the extended value nearest to it (exponent 0x4000, significand
// 0xC90FDAA22168C235).
x87::Extended Pi();

// t = 200 * v; t = t / pi.
x87::Extended RadiansToGrads(double v);
// t = 180 * v; t = t / pi.
x87::Extended RadiansToDegrees(double v);
// t = pi * v; t = t / 200.
x87::Extended GradsToRadians(double v);
// t = 9 * v; t = t / 10.
x87::Extended GradsToDegrees(double v);

// workDegrees := D = (min / 60 + deg) + sec / 3600, from the entered numbers.
void StoreDecimalDegrees();
// StoreDecimalDegrees, then radianResult := pi * D / 180.
void StoreDegreesAsRadians();
// StoreDecimalDegrees, then t = 10 * D; t = t / 9 (not stored).
x87::Extended DegreesToGrads();

// Splits angleValue into wholeDegrees, wholeMinutes and wholeSeconds, each
// step reading the double that the step before stored.
void SplitDegrees();
