// The batch mode (--from, --to), run as the real program: its lines against
// the dialogue's result lines, the report of each value that fails, and the
// failures that end a run.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "end_to_end/program_runner.h"
#include "support/descriptors.h"
#include "support/sanitizers.h"

namespace {

using endtoend::InputKind;
using endtoend::OutputKind;
using endtoend::ProgramRun;
using endtoend::RunAngleconv;
using endtoend::RunOptions;

RunOptions Batch(const std::string& from, const std::string& to, std::vector<std::string> values = {}) {
  RunOptions options;
  options.arguments = {"--from", from, "--to", to};
  options.arguments.insert(options.arguments.end(), values.begin(), values.end());
  return options;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// What the dialogue makes of one value: the text after "The angle value: "
// on its result line, or "CLASS: MESSAGE" from its exception report.
std::string DialogueOutcome(const std::string& from, const std::vector<std::string>& numbers, const std::string& to) {
  std::string input = from + "\n";
  for (const std::string& number : numbers) input += number + "\n";
  const ProgramRun run = RunAngleconv(input + to + "\n\n");
  const std::string& out = run.standardOutput;
  if (run.exitStatus == 0) {
    const std::size_t start = out.find("The angle value: ") + 17;
    return out.substr(start, out.find("\r\n", start) - start);
  }
  const std::string& report = run.standardError;  // "Exception C in module angleconv at A.\r\nM\r\n\r\n"
  const std::size_t message = report.find("\r\n") + 2;
  return report.substr(10, report.find(" in module") - 10) + ": " +
         report.substr(message, report.find("\r\n", message) - message);
}

// A number as a script might hold one: a sign, up to 19 digits with a
// point somewhere, and now and then an exponent as far as past the double's
// range.
std::string RandomNumber(std::mt19937_64& random) {
  std::uniform_int_distribution<int> digitCount(1, 19), digit(0, 9), coin(0, 1), exponent(-330, 330);
  std::string text = coin(random) != 0 ? "-" : "";
  const int count = digitCount(random);
  const int point = std::uniform_int_distribution<int>(0, count)(random);
  for (int index = 0; index < count; ++index) {
    if (index == point) text += '.';
    text += static_cast<char>('0' + digit(random));
  }
  if (coin(random) != 0 && coin(random) != 0)
    text += (coin(random) != 0 ? "e" : "E") + std::to_string(exponent(random));
  return text;
}

// Values of every class: zeros, tiny and subnormal, huge and beyond the
// double's range, scientific notation, infinities; then random ones. A
// value is one number, or three for d.
std::vector<std::vector<std::string>> Values(bool degrees, std::mt19937_64& random) {
  std::vector<std::vector<std::string>> values;
  if (degrees) {
    values = {{"0", "0", "0"},     {"-0", "-0", "-0"},      {"30", "30", "30"},        {"-30", "30", "0"},
              {"10", "75", "90"},  {"30.5", "2.5", "-0.4"}, {"4e-320", "0", "0"},      {"1.797e308", "1e308", "0"},
              {"1e400", "0", "0"}, {"1e5120", "0", "0"},    {"1e5120", "0", "-1e5120"}};
  } else {
    for (const char* number :
         {"0", "-0", "4.9e-324", "1e-310", "1e-4950", "1e-5120", "2.5e-300", "1.7e308", "-3.2e306", "1e400", "1.5E+3",
          "-2.5e-7", ".5", "123456789012345678901234567890", "3.14159265358979", "1e5120", "-1e5120"}) {
      values.push_back({number});
    }
  }
  const int randomCount = endtoend::ProgramRunsUnderEmulator ? 4 : 16;
  std::uniform_real_distribution<double> angle(-720, 720), part(0, 60);
  for (int index = 0; index < randomCount; ++index) {
    if (!degrees) {
      values.push_back({RandomNumber(random)});
    } else if (index % 2 == 0) {
      values.push_back({std::to_string(static_cast<int>(angle(random))), std::to_string(static_cast<int>(part(random))),
                        std::to_string(part(random))});
    } else {
      values.push_back({RandomNumber(random), RandomNumber(random), RandomNumber(random)});
    }
  }
  return values;
}

TEST(Batch, WritesTheDialoguesResultForEveryPairAndEveryClassOfValue) {
  std::mt19937_64 random(20);
  for (const std::string from : {"rad", "g", "d"}) {
    for (const std::string to : {"rad", "g", "d"}) {
      const auto values = Values(from == "d", random);
      std::string input;
      std::vector<std::string> arguments;
      for (const auto& value : values) {
        for (const std::string& number : value) input += number + (&number == &value.back() ? "\n" : " ");
        arguments.insert(arguments.end(), value.begin(), value.end());
      }
      const ProgramRun lines = RunAngleconv(input, Batch(from, to));
      const std::vector<std::string> results = Lines(lines.standardOutput);
      const std::vector<std::string> errors = Lines(lines.standardError);
      std::size_t result = 0;
      std::size_t error = 0;
      for (std::size_t index = 0; index < values.size(); ++index) {
        SCOPED_TRACE(from + " to " + to + ", line " + std::to_string(index + 1) + ": " + Lines(input)[index]);
        const std::string expected = DialogueOutcome(from, values[index], to);
        const bool converted = expected.find(": ") == std::string::npos;
        const std::vector<std::string>& written = converted ? results : errors;
        std::size_t& next = converted ? result : error;
        ASSERT_LT(next, written.size());
        EXPECT_EQ(written[next++],
                  converted ? expected : "angleconv: line " + std::to_string(index + 1) + ": " + expected);
      }
      EXPECT_EQ(result, results.size());
      EXPECT_EQ(error, errors.size());
      EXPECT_EQ(lines.exitStatus, error == 0 ? 0 : 1);
      // The same values as arguments give the same lines.
      EXPECT_EQ(RunAngleconv("", Batch(from, to, arguments)).standardOutput, lines.standardOutput);
    }
  }
}

struct BatchCase {
  std::vector<std::string> arguments;
  std::string input;
  std::string standardOutput;
  std::string standardError;
  int exitStatus;
};

constexpr char Invalid[] = "EInOutError: Invalid numeric input.\n";

const BatchCase Cases[] = {
    // Blank lines skipped, blanks, tabs and CRs around numbers ignored, the
    // last line without its LF.
    {{"--from", "rad", "--to", "g"}, "1\n\n \t\r\n  2 \r\n3", "63.6620g\n127.3240g\n190.9859g\n", "", 0},
    {{"--from=g", "--to=g"}, "", "", "", 0},
    // Each failing line reported, the others converted.
    {{"--from", "rad", "--to", "g"},
     "abc\n1 2\n" + std::string(65, '1') + "\n1e400\n5",
     "318.3099g\n",
     std::string("angleconv: line 1: ") + Invalid + "angleconv: line 2: " + Invalid + "angleconv: line 3: " + Invalid +
         "angleconv: line 4: EOverflow: Floating point overflow.\n",
     1},
    {{"--from", "d", "--to", "rad"},
     "30 30\n1e5120 0 -1e5120\n30 30 30\n",
     "0.53247rad\n",
     std::string("angleconv: line 1: ") + Invalid +
         "angleconv: line 2: EInvalidOp: Invalid floating point operation.\n",
     1},
    // rad to d writes nothing of a value whose split fails.
    {{"--from", "rad", "--to", "d"},
     "4e306\n1",
     "57.2958d= 57degrees 17minutes 45second \n",
     "angleconv: line 1: EOverflow: Floating point overflow.\n",
     1},
    // A byte 26 is a control byte like any other; a line of any length is read.
    {{"--from", "rad", "--to", "rad"},
     "1\x1a 2\n" + std::string(200000, ' ') + "3\n" + std::string(200000, '4') + "\n5\n",
     "3.0000rad\n5.0000rad\n",
     "angleconv: line 1: " + std::string(Invalid) + "angleconv: line 3: " + Invalid,
     1},
    // Arguments: negative values, "--", an argument that is not one number;
    // d reads three arguments a value and names the one that failed.
    {{"--from", "rad", "--to", "g", "-1", " 2 ", "1 2", "--", "--to", "3\n4"},
     "9\n",
     "-63.6620g\n127.3240g\n",
     std::string("angleconv: argument 3: ") + Invalid + "angleconv: argument 4: " + Invalid +
         "angleconv: argument 5: " + Invalid,
     1},
    {{"--from", "d", "--to", "d", "30", "x", "30", "1e5120", "0", "-1e5120", "1", "2", "3"},
     "",
     "=+Infdegrees  0minutes -Infsecond \n=  1degrees  2minutes  3second \n",
     std::string("angleconv: argument 2: ") + Invalid,
     1},
    {{"--from", "d", "--to", "g", "1e5120", "0", "-1e5120"},
     "",
     "",
     "angleconv: argument 1: EInvalidOp: Invalid floating point operation.\n",
     1},
};

TEST(Batch, ReportsEachValueThatFailsAndConvertsTheOthers) {
  for (const BatchCase& row : Cases) {
    SCOPED_TRACE(row.input.substr(0, 30));
    RunOptions options;
    options.arguments = row.arguments;
    const ProgramRun run = RunAngleconv(row.input, options);
    EXPECT_EQ(run.standardOutput, row.standardOutput);
    EXPECT_EQ(run.standardError, row.standardError);
    EXPECT_EQ(run.exitStatus, row.exitStatus);
  }
}

struct IoFailureCase {
  InputKind input;
  OutputKind output;
  long closeOutputAfter;
  std::string message;
  const char* notUnderWine = nullptr;  // why Wine cannot show this case as Windows would
};

const IoFailureCase IoFailures[] = {
    {InputKind::File, OutputKind::DevFull, -1, "I/O error 112."},
    {InputKind::File, OutputKind::Closed, -1, "I/O error 105.", endtoend::WineTakesClosedDescriptors},
    {InputKind::File, OutputKind::Pipe, 0, "I/O error " + std::to_string(endtoend::PipeWithoutReaderError) + "."},
    {InputKind::File, OutputKind::FileBeyondSizeLimit, -1, "I/O error 223.", endtoend::NoFileSizeLimitOnWindows},
    {InputKind::Directory, OutputKind::File, -1, "I/O error 267.", endtoend::NoDirectoryAsStandardHandle},
    {InputKind::Closed, OutputKind::File, -1, "I/O error 104.", endtoend::WineTakesClosedDescriptors},
};

// A failure to read or write ends the run at once with the dialogue's
// report, whether it comes with the first block or with the last bytes.
TEST(Batch, AReadOrWriteFailureEndsTheRunWithTheIoErrorReport) {
  std::string manyLines;
  for (int index = 0; index < 20000; ++index) manyLines += "1\n";
  for (const IoFailureCase& row : IoFailures) {
    if (!endtoend::RunsUnderWineUnless(row.notUnderWine, row.message)) {
      continue;
    }
    for (const std::string& input : {std::string("1\n"), manyLines}) {
      SCOPED_TRACE(row.message + ", " + std::to_string(input.size()) + " bytes");
      RunOptions options = Batch("rad", "g");
      options.input = row.input;
      options.output = row.output;
      options.closeOutputAfter = row.closeOutputAfter;
      options.error = OutputKind::Pipe;
      if (row.closeOutputAfter >= 0) {
        // The values come only once the reader has gone.
        options.input = InputKind::Pipe;
        options.inputAfterOutputClosed = input;
      }
      const ProgramRun run = RunAngleconv(row.closeOutputAfter >= 0 ? "" : input, options);
      EXPECT_EQ(run.signal, 0);
      EXPECT_EQ(run.exitStatus, 1);
      EXPECT_EQ(run.standardError.rfind("Exception EInOutError in module " + endtoend::ProgramModule + " at ", 0), 0U)
          << run.standardError;
      EXPECT_NE(run.standardError.find(".\r\n" + row.message + "\r\n\r\n"), std::string::npos);
    }
  }
}

TEST(Batch, OnATerminalEachResultIsShownWhenItsLineIsRead) {
  endtoend::TerminalSession terminal({"--from", "rad", "--to", "d"});
  terminal.Type("1");
  ASSERT_TRUE(terminal.WaitFor("57.2958d= 57degrees 17minutes 45second \n"));
  terminal.Type("abc");
  ASSERT_TRUE(terminal.WaitFor("angleconv: line 2: EInOutError: Invalid numeric input.\n"));
  terminal.Type("-1");
  ASSERT_TRUE(terminal.WaitFor("-57.2958d=-57degrees -17minutes -45second \n"));
}

TEST(Batch, ALineOfAnyLengthTakesNoMoreMemory) {
  // The input is written in pieces: the forked child would count a copy
  // held here as its own memory.
  const int file = testio::FileWith("1\n");
  lseek(file, 0, SEEK_END);
  const std::string piece(1u << 20, '7');
  for (int count = 0; count < 32; ++count) testio::WriteAll(file, piece);
  testio::WriteAll(file, "\n2\n");
  lseek(file, 0, SEEK_SET);
  RunOptions options = Batch("rad", "rad");
  options.input = InputKind::Descriptor;
  options.inputDescriptor = file;
  const ProgramRun longRun = RunAngleconv("", options);
  close(file);
  const ProgramRun shortRun = RunAngleconv("1\n", Batch("rad", "rad"));
  EXPECT_EQ(longRun.standardOutput, "1.0000rad\n2.0000rad\n");
  EXPECT_EQ(longRun.standardError, std::string("angleconv: line 2: ") + Invalid);
  EXPECT_LT(longRun.peakMemoryKib - shortRun.peakMemoryKib, 1024);
}

}  // namespace
