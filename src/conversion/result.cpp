#include "conversion/result.h"

#include <cstddef>

#include "conversion/angle_math.h"
#include "streams/text_output.h"

using x87::Extended;
using x87::StoreDouble;
using x87::Widen;

namespace {

// The fields of the result line: a decimal value 6 wide with 4 decimals (5
// for radians converted from g or d), then whole degrees, minutes and
// seconds 3, 2 and 2 wide, with no decimal point.
constexpr std::int32_t ValueWidth = 6;
constexpr std::int32_t ValueDecimals = 4;
constexpr std::int32_t ConvertedRadiansDecimals = 5;
constexpr std::int32_t DegreesWidth = 3;
constexpr std::int32_t MinutesWidth = 2;
constexpr std::int32_t SecondsWidth = 2;
constexpr std::int32_t WholeNumber = 0;

constexpr std::string_view DegreesText = "degrees ";
constexpr std::string_view MinutesText = "minutes ";
constexpr std::string_view SecondsText = "second ";

// A decimal result followed by the target unit word.
STATEMENT void WriteValueStatement(TextStream& stream, Extended value, std::int32_t decimals, std::string_view unit) {
  WriteReal(stream, ValueWidth, decimals, value);
  PutDynamicString(stream, unit);
  FlushAfterStatement(stream);
  CheckIoResult();
}

// "=", then whole degrees, minutes and seconds.
STATEMENT void WriteDegreesMinutesSecondsStatement(TextStream& stream, double degrees, double minutes, double seconds) {
  PutChar(stream, '=');
  WriteReal(stream, DegreesWidth, WholeNumber, Widen(degrees));
  PutDynamicString(stream, DegreesText);
  WriteReal(stream, MinutesWidth, WholeNumber, Widen(minutes));
  PutDynamicString(stream, MinutesText);
  WriteReal(stream, SecondsWidth, WholeNumber, Widen(seconds));
  PutDynamicString(stream, SecondsText);
  FlushAfterStatement(stream);
  CheckIoResult();
}

// rad and g to d: the decimal degrees written, then computed again, stored
// and split.
void WriteDegreesResult(TextStream& stream, Extended (*formula)(double)) {
  WriteValueStatement(stream, formula(Conversion.angleValue), ValueDecimals, DegreesWord);
  Conversion.angleValue = StoreDouble(formula(Conversion.angleValue));
  SplitDegrees();
  WriteDegreesMinutesSecondsStatement(stream, Conversion.wholeDegrees, Conversion.wholeMinutes,
                                      Conversion.wholeSeconds);
}

// The writer of each result case, from the numbers entered into Conversion.
void WriteRadiansToRadians(TextStream& stream) {
  WriteValueStatement(stream, Widen(Conversion.angleValue), ValueDecimals, RadiansWord);
}
void WriteGradsToGrads(TextStream& stream) {
  WriteValueStatement(stream, Widen(Conversion.angleValue), ValueDecimals, GradsWord);
}
void WriteRadiansToGrads(TextStream& stream) {
  WriteValueStatement(stream, RadiansToGrads(Conversion.angleValue), ValueDecimals, GradsWord);
}
void WriteRadiansToDegrees(TextStream& stream) { WriteDegreesResult(stream, RadiansToDegrees); }
void WriteGradsToRadians(TextStream& stream) {
  WriteValueStatement(stream, GradsToRadians(Conversion.angleValue), ConvertedRadiansDecimals, RadiansWord);
}
void WriteGradsToDegrees(TextStream& stream) { WriteDegreesResult(stream, GradsToDegrees); }
void WriteDegreesToRadians(TextStream& stream) {
  StoreDegreesAsRadians();
  WriteValueStatement(stream, Widen(Conversion.radianResult), ConvertedRadiansDecimals, RadiansWord);
}
void WriteDegreesToGrads(TextStream& stream) {
  WriteValueStatement(stream, DegreesToGrads(), ValueDecimals, GradsWord);
}
// The entered numbers themselves, neither split nor carried.
void WriteDegreesToDegrees(TextStream& stream) {
  WriteDegreesMinutesSecondsStatement(stream, Conversion.degreesEntered, Conversion.minutesEntered,
                                      Conversion.secondsEntered);
}

struct UnitPair {
  std::string_view source;
  std::string_view target;
  ResultCase conversion;
  void (*write)(TextStream& stream);
};

// The result cases in the order they are tested; the first whose two words
// match is taken. The same word twice is a copy of the value for rad and
// for g, and for d the entered numbers written back.
constexpr UnitPair ResultCases[] = {
    {RadiansWord, RadiansWord, ResultCase::RadiansToRadians, WriteRadiansToRadians},
    {GradsWord, GradsWord, ResultCase::GradsToGrads, WriteGradsToGrads},
    {RadiansWord, GradsWord, ResultCase::RadiansToGrads, WriteRadiansToGrads},
    {RadiansWord, DegreesWord, ResultCase::RadiansToDegrees, WriteRadiansToDegrees},
    {GradsWord, RadiansWord, ResultCase::GradsToRadians, WriteGradsToRadians},
    {GradsWord, DegreesWord, ResultCase::GradsToDegrees, WriteGradsToDegrees},
    {DegreesWord, RadiansWord, ResultCase::DegreesToRadians, WriteDegreesToRadians},
    {DegreesWord, GradsWord, ResultCase::DegreesToGrads, WriteDegreesToGrads},
    {DegreesWord, DegreesWord, ResultCase::DegreesToDegrees, WriteDegreesToDegrees},
};

// Each case stands at the index of its ResultCase.
constexpr bool CasesInEnumerationOrder() {
  std::size_t index = 0;
  for (const UnitPair& pair : ResultCases) {
    if (static_cast<std::size_t>(pair.conversion) != index++) {
      return false;
    }
  }
  return index == static_cast<std::size_t>(ResultCase::NoResult);
}
static_assert(CasesInEnumerationOrder());

const UnitPair& PairOf(ResultCase conversion) { return ResultCases[static_cast<std::size_t>(conversion)]; }

}  // namespace

ResultCase SelectResultCase(std::string_view source, std::string_view target) {
  for (const UnitPair& pair : ResultCases) {
    if (source == pair.source && target == pair.target) {
      return pair.conversion;
    }
  }
  return ResultCase::NoResult;
}

bool HasDegreesSource(ResultCase conversion) {
  return conversion != ResultCase::NoResult && PairOf(conversion).source == DegreesWord;
}

void WriteResult(TextStream& stream, ResultCase conversion) {
  if (conversion != ResultCase::NoResult) {
    PairOf(conversion).write(stream);
  }
}
