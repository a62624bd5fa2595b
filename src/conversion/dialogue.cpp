#include "conversion/dialogue.h"

#include <string_view>

#include "conversion/angle_math.h"
#include "conversion/result.h"
#include "streams/text_input.h"
#include "streams/text_output.h"
#include "streams/text_stream.h"

using x87::StoreDouble;

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
constexpr std::string_view ClosingPrompt = "*Press Enter to exit*";

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

// Step 5: the value, as three numbers for degrees or one for any other word.
void AskForValue() {
  // A unit word matches only the same bytes in the same length: no trimming,
  // no case folding.
  if (sourceUnit == DegreesWord) {
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
  WriteResult(Output, SelectResultCase(sourceUnit, targetUnit));
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
