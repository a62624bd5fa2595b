#include "conversion/dialogue.h"

#include <string_view>

#include "conversion/angle_math.h"
#include "streams/text_input.h"
#include "streams/text_output.h"
#include "streams/text_stream.h"

using x87::Extended;
using x87::StoreDouble;
using x87::Widen;

std::string sourceUnit;
std::string targetUnit;

namespace {

constexpr std::string_view OriginalUnitPrompt = "Enter the original unit of angle (rad/g/d)";
constexpr std::string_view DegreesPrompt = "Enter the number of full-degree";
constexpr std::string_view MinutesPrompt = "Enter the number of full minutes";
constexpr std::string_view SecondsPrompt = "Enter the number of second";
constexpr std::string_view ValuePrompt = "Enter the angle value";
constexpr std::string_view TargetUnitPrompt = "Choose a new unit of the angle (rad/g/d)";
constexpr std::string_view ResultLabel = "The angle value: ";
constexpr std::string_view DegreesText = "degrees ";
constexpr std::string_view MinutesText = "minutes ";
constexpr std::string_view SecondsText = "second ";
constexpr std::string_view ClosingPrompt = "*Press Enter to exit*";

constexpr char Radians[] = "rad";
constexpr char Grads[] = "g";
constexpr char Degrees[] = "d";

// A unit word matches only the same bytes in the same length: no trimming,
// no case folding.
bool Matches(std::string_view word, std::string_view literal) { return word == literal; }

bool IsPair(std::string_view source, std::string_view target) {
  return Matches(sourceUnit, source) && Matches(targetUnit, target);
}

// Statement helpers. They are always inlined so that every statement has a
// CheckIoResult call of its own, whose return address names that statement
// in an error report.
#define STATEMENT __attribute__((always_inline)) inline

STATEMENT void WriteLineStatement(std::string_view text) {
  PutDynamicString(Output, text);
  PutLineEnd(Output);
  CheckIoResult();
}

STATEMENT void EndLineStatement() {
  PutLineEnd(Output);
  CheckIoResult();
}

STATEMENT void WriteTextStatement(std::string_view text) {
  PutDynamicString(Output, text);
  FlushAfterStatement(Output);
  CheckIoResult();
}

STATEMENT void ReadWordStatement(std::string& word) {
  ReadDynamicString(Input, word);
  SkipLine(Input);
  CheckIoResult();
}

// The number is stored as a double before the rest of the line is skipped:
// a value beyond the double range faults right at the store.
STATEMENT void ReadNumberStatement(double& field) {
  field = StoreDouble(ReadReal(Input));
  SkipLine(Input);
  CheckIoResult();
}

// A decimal result followed by the target unit word.
STATEMENT void WriteValueStatement(Extended value, std::int32_t decimals) {
  WriteReal(Output, 6, decimals, value);
  PutDynamicString(Output, targetUnit);
  FlushAfterStatement(Output);
  CheckIoResult();
}

// "=", then degrees, minutes and seconds in the widths 3, 2 and 2.
STATEMENT void WriteDegreesMinutesSecondsStatement(double degrees, double minutes, double seconds) {
  PutChar(Output, '=');
  WriteReal(Output, 3, 0, Widen(degrees));
  PutDynamicString(Output, DegreesText);
  WriteReal(Output, 2, 0, Widen(minutes));
  PutDynamicString(Output, MinutesText);
  WriteReal(Output, 2, 0, Widen(seconds));
  PutDynamicString(Output, SecondsText);
  FlushAfterStatement(Output);
  CheckIoResult();
}

// Step 5: the value, as three numbers for degrees or one for any other word.
void AskForValue() {
  if (Matches(sourceUnit, Degrees)) {
    WriteLineStatement(DegreesPrompt);
    ReadNumberStatement(Conversion.degreesEntered);
    WriteLineStatement(MinutesPrompt);
    ReadNumberStatement(Conversion.minutesEntered);
    WriteLineStatement(SecondsPrompt);
    ReadNumberStatement(Conversion.secondsEntered);
  } else {
    WriteLineStatement(ValuePrompt);
    ReadNumberStatement(Conversion.angleValue);
    EndLineStatement();
  }
}

// Cases 3 and 5: the decimal degrees written, then computed again, stored
// and split.
void WriteDegreesResult(Extended (*formula)(double)) {
  WriteValueStatement(formula(Conversion.angleValue), 4);
  Conversion.angleValue = StoreDouble(formula(Conversion.angleValue));
  SplitDegrees();
  WriteDegreesMinutesSecondsStatement(Conversion.wholeDegrees, Conversion.wholeMinutes, Conversion.wholeSeconds);
}

// Step 10: the first case whose pair matches writes the result; no case,
// nothing.
void WriteResult() {
  ConversionState& state = Conversion;
  if (Matches(sourceUnit, targetUnit) && (Matches(sourceUnit, Grads) || Matches(sourceUnit, Radians))) {
    WriteValueStatement(Widen(state.angleValue), 4);
  } else if (IsPair(Radians, Grads)) {
    WriteValueStatement(RadiansToGrads(state.angleValue), 4);
  } else if (IsPair(Radians, Degrees)) {
    WriteDegreesResult(RadiansToDegrees);
  } else if (IsPair(Grads, Radians)) {
    WriteValueStatement(GradsToRadians(state.angleValue), 5);
  } else if (IsPair(Grads, Degrees)) {
    WriteDegreesResult(GradsToDegrees);
  } else if (IsPair(Degrees, Radians)) {
    StoreDegreesAsRadians();
    WriteValueStatement(Widen(state.radianResult), 5);
  } else if (IsPair(Degrees, Grads)) {
    WriteValueStatement(DegreesToGrads(), 4);
  } else if (IsPair(Degrees, Degrees)) {
    WriteDegreesMinutesSecondsStatement(state.degreesEntered, state.minutesEntered, state.secondsEntered);
  }
}

}  // namespace

void RunDialogue() {
  // Steps 2 to 4: the source unit.
  WriteLineStatement(OriginalUnitPrompt);
  ReadWordStatement(sourceUnit);
  EndLineStatement();
  // Step 5: the value.
  AskForValue();
  // Steps 6 to 8: the target unit, then two empty lines.
  WriteLineStatement(TargetUnitPrompt);
  ReadWordStatement(targetUnit);
  EndLineStatement();
  EndLineStatement();
  // Steps 9 and 10: the label and the result.
  WriteTextStatement(ResultLabel);
  WriteResult();
  // Step 11: nine line ends, each its own statement.
  EndLineStatement();
  EndLineStatement();
  EndLineStatement();
  EndLineStatement();
  EndLineStatement();
  EndLineStatement();
  EndLineStatement();
  EndLineStatement();
  EndLineStatement();
  // Steps 12 and 13: the closing prompt, then wait for Enter.
  WriteTextStatement(ClosingPrompt);
  SkipLine(Input);
  CheckIoResult();
}
