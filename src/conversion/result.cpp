#include "conversion/result.h"

#include "conversion/angle_math.h"
#include "streams/text_output.h"

using x87::Extended;
using x87::StoreDouble;
using x87::Widen;

namespace {

constexpr std::string_view DegreesText = "degrees ";
constexpr std::string_view MinutesText = "minutes ";
constexpr std::string_view SecondsText = "second ";

// A decimal result followed by the target unit word.
STATEMENT void WriteValueStatement(TextStream& stream, Extended value, std::int32_t decimals, std::string_view unit) {
  WriteReal(stream, 6, decimals, value);
  PutDynamicString(stream, unit);
  FlushAfterStatement(stream);
  CheckIoResult();
}

// "=", then degrees, minutes and seconds in the widths 3, 2 and 2.
STATEMENT void WriteDegreesMinutesSecondsStatement(TextStream& stream, double degrees, double minutes, double seconds) {
  PutChar(stream, '=');
  WriteReal(stream, 3, 0, Widen(degrees));
  PutDynamicString(stream, DegreesText);
  WriteReal(stream, 2, 0, Widen(minutes));
  PutDynamicString(stream, MinutesText);
  WriteReal(stream, 2, 0, Widen(seconds));
  PutDynamicString(stream, SecondsText);
  FlushAfterStatement(stream);
  CheckIoResult();
}

// rad and g to d: the decimal degrees written, then computed again, stored
// and split.
void WriteDegreesResult(TextStream& stream, Extended (*formula)(double)) {
  WriteValueStatement(stream, formula(Conversion.angleValue), 4, DegreesWord);
  Conversion.angleValue = StoreDouble(formula(Conversion.angleValue));
  SplitDegrees();
  WriteDegreesMinutesSecondsStatement(stream, Conversion.wholeDegrees, Conversion.wholeMinutes,
                                      Conversion.wholeSeconds);
}

}  // namespace

ResultCase SelectResultCase(std::string_view source, std::string_view target) {
  // The first case whose pair matches; the same word twice counts only for
  // g and rad.
  const auto is = [source, target](std::string_view from, std::string_view to) {
    return source == from && target == to;
  };
  if (source == target && (source == GradsWord || source == RadiansWord)) {
    return source == GradsWord ? ResultCase::GradsToGrads : ResultCase::RadiansToRadians;
  }
  if (is(RadiansWord, GradsWord)) return ResultCase::RadiansToGrads;
  if (is(RadiansWord, DegreesWord)) return ResultCase::RadiansToDegrees;
  if (is(GradsWord, RadiansWord)) return ResultCase::GradsToRadians;
  if (is(GradsWord, DegreesWord)) return ResultCase::GradsToDegrees;
  if (is(DegreesWord, RadiansWord)) return ResultCase::DegreesToRadians;
  if (is(DegreesWord, GradsWord)) return ResultCase::DegreesToGrads;
  if (is(DegreesWord, DegreesWord)) return ResultCase::DegreesToDegrees;
  return ResultCase::NoResult;
}

bool HasDegreesSource(ResultCase conversion) {
  return conversion == ResultCase::DegreesToRadians || conversion == ResultCase::DegreesToGrads ||
         conversion == ResultCase::DegreesToDegrees;
}

void WriteResult(TextStream& stream, ResultCase conversion) {
  ConversionState& state = Conversion;
  switch (conversion) {
    case ResultCase::RadiansToRadians:
      WriteValueStatement(stream, Widen(state.angleValue), 4, RadiansWord);
      break;
    case ResultCase::GradsToGrads:
      WriteValueStatement(stream, Widen(state.angleValue), 4, GradsWord);
      break;
    case ResultCase::RadiansToGrads:
      WriteValueStatement(stream, RadiansToGrads(state.angleValue), 4, GradsWord);
      break;
    case ResultCase::RadiansToDegrees:
      WriteDegreesResult(stream, RadiansToDegrees);
      break;
    case ResultCase::GradsToRadians:
      WriteValueStatement(stream, GradsToRadians(state.angleValue), 5, RadiansWord);
      break;
    case ResultCase::GradsToDegrees:
      WriteDegreesResult(stream, GradsToDegrees);
      break;
    case ResultCase::DegreesToRadians:
      StoreDegreesAsRadians();
      WriteValueStatement(stream, Widen(state.radianResult), 5, RadiansWord);
      break;
    case ResultCase::DegreesToGrads:
      WriteValueStatement(stream, DegreesToGrads(), 4, GradsWord);
      break;
    case ResultCase::DegreesToDegrees:
      WriteDegreesMinutesSecondsStatement(stream, state.degreesEntered, state.minutesEntered, state.secondsEntered);
      break;
    case ResultCase::NoResult:
      break;
  }
}
