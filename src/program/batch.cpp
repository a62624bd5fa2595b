#include "program/batch.h"

#include <cstring>
#include <string>
#include <string_view>

#include "conversion/angle_math.h"
#include "core/fpu_environment.h"
#include "core/lifecycle.h"
#include "exceptions/reports.h"
#include "program/messages.h"
#include "streams/line_reader.h"
#include "streams/text_output.h"
#include "streams/text_stream.h"

namespace {

// Standard input and output move through blocks of this size; the memory
// of a run stays the same whatever the length of its input.
constexpr std::uint32_t BlockSize = 1 << 16;
std::uint8_t InputBlock[BlockSize];
std::uint8_t OutputBlock[BlockSize];

// A result line is composed here whole before it goes out, or is dropped
// when its value fails. Room for four numbers of at most 255 characters
// each and the words between them.
constexpr std::uint32_t ComposedSize = 2048;
std::uint8_t ComposedBytes[ComposedSize];
TextStream Composed{};

TextStream Argument{};

int NumbersPerValue(ResultCase conversion) { return HasDegreesSource(conversion) ? 3 : 1; }

// Where the numbers of a value go, in the order they are entered.
double& NumberField(ResultCase conversion, int index) {
  if (!HasDegreesSource(conversion)) {
    return Conversion.angleValue;
  }
  switch (index) {
    case 0:
      return Conversion.degreesEntered;
    case 1:
      return Conversion.minutesEntered;
    default:
      return Conversion.secondsEntered;
  }
}

// A value starts as a run of the dialogue starts: the start-up's
// floating-point state, no flag left over, every field zero.
void BeginValue() {
  InitFpu();
  Conversion = ConversionState{};
}

// A line that does not hold the value's numbers: invalid numeric input,
// unless a failed read is the reason.
[[noreturn]] void RejectLine() {
  if (IoResultCode == 0) {
    SetIoResult(IoResult::InvalidNumericInput);
  }
  CheckIoResult();
  __builtin_unreachable();
}

// The numbers of `conversion` from `first` on, `count` of them, from the
// current line, each stored and checked as the dialogue's read statement
// does it; nothing but blanks may follow them on the line.
void ReadNumbers(TextStream& stream, ResultCase conversion, int first, int count) {
  for (int index = first; index < first + count; ++index) {
    if (SkipToTokenOnLine(stream) != LineItem::Token) {
      RejectLine();
    }
    NumberField(conversion, index) = x87::StoreDouble(ReadTokenOnLine(stream));
    CheckIoResult();
  }
  if (SkipToTokenOnLine(stream) == LineItem::Token) {
    RejectLine();
  }
}

// An argument is one number, read as a line of its own; one that holds a
// line end is more than a line.
void ReadArgument(ResultCase conversion, int index, char* text) {
  if (std::strchr(text, '\n') != nullptr) {
    RejectLine();
  }
  OpenMemoryInput(Argument, reinterpret_cast<std::uint8_t*>(text), static_cast<std::uint32_t>(std::strlen(text)));
  ReadNumbers(Argument, conversion, index, 1);
}

void Compose(ResultCase conversion) {
  OpenMemoryOutput(Composed, ComposedBytes, ComposedSize);
  WriteResult(Composed, conversion);
  PutChar(Composed, '\n');
}

// On a terminal the line goes out at once, elsewhere with its block.
void SendComposed() {
  PutBytes(Output, Composed.bufferData, static_cast<std::int32_t>(Composed.position));
  FlushAfterStatement(Output);
  CheckIoResult();
}

// The results before the failure go out first, so that where both reach
// the same file or pipe the report stands in its place among them.
void ReportFailure(std::string_view where, long number, StructuredException& caught) {
  std::string line(MessagePrefix);
  line.append(where).append(" ").append(std::to_string(number)).append(": ");
  line.append(DescribeAndRelease(caught.record)).append("\n");
  // Nothing the failed value left pending carries over.
  SetIoResult(0);
  FlushStream(Output);
  CheckIoResult();
  PutDynamicString(ErrorStream, line);
  FlushStream(ErrorStream);
  // A report that cannot be written changes nothing: the run ends with code
  // 1 anyway.
  SetIoResult(0);
}

bool ConvertArguments(const BatchRequest& request) {
  const int count = NumbersPerValue(request.conversion);
  const int valueCount = static_cast<int>(request.values.size());
  bool allConverted = true;
  for (int first = 0; first + count <= valueCount; first += count) {
    BeginValue();
    int current = first;
    try {
      for (int index = 0; index < count; ++index) {
        current = first + index;
        ReadArgument(request.conversion, index, request.values[static_cast<std::size_t>(current)]);
      }
      current = first;
      Compose(request.conversion);
    } catch (StructuredException& caught) {
      ReportFailure("argument", current + 1, caught);
      allConverted = false;
      continue;
    }
    SendComposed();
  }
  return allConverted;
}

bool ConvertLines(ResultCase conversion) {
  if (!OpenStandardStream(Input, InputBlock, BlockSize)) {
    CheckIoResult();
  }
  bool allConverted = true;
  for (long line = 1;; ++line) {
    // Blank lines are skipped; the end of the data ends the run.
    const LineItem start = SkipToTokenOnLine(Input);
    if (start == LineItem::DataEnd) {
      break;
    }
    if (start == LineItem::LineEnd) {
      SkipPastLineEnd(Input);
      continue;
    }
    BeginValue();
    try {
      ReadNumbers(Input, conversion, 0, NumbersPerValue(conversion));
      Compose(conversion);
    } catch (StructuredException& caught) {
      ReportFailure("line", line, caught);
      allConverted = false;
      SkipPastLineEnd(Input);
      continue;
    }
    SkipPastLineEnd(Input);
    SendComposed();
  }
  // A read that failed ends the run as it ends the dialogue.
  CheckIoResult();
  return allConverted;
}

}  // namespace

void RunBatch(const BatchRequest& request) {
  if (!OpenStandardStream(Output, OutputBlock, BlockSize)) {
    CheckIoResult();
  }
  const bool allConverted = request.values.empty() ? ConvertLines(request.conversion) : ConvertArguments(request);
  FlushStream(Output);
  CheckIoResult();
  if (!allConverted) {
    ExitProgram(1);
  }
}
