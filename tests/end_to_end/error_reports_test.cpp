// How the real program reports the failures that end a run: the exception
// report on standard error, what standard output holds by then, and the
// exit code.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "end_to_end/program_runner.h"
#include "support/sanitizers.h"

namespace {

using endtoend::CrLf;
using endtoend::InputKind;
using endtoend::OutputKind;
using endtoend::ProgramRun;
using endtoend::RunAngleconv;
using endtoend::RunOptions;

struct Report {
  std::string className;
  std::string address;
  std::string message;
};

// The three lines of an exception report, or a failure when the text has
// another form.
Report ParseReport(const std::string& text) {
  static const std::regex form("Exception ([A-Za-z]+) in module " + endtoend::ProgramModule +
                               " at ([0-9A-F]{8})\\.\r\n([^\r\n]*)\r\n\r\n");
  std::smatch parts;
  if (!std::regex_match(text, parts, form)) {
    ADD_FAILURE() << "not an exception report: " << testing::PrintToString(text);
    return {};
  }
  return {parts[1], parts[2], parts[3]};
}

const std::string UnitPrompt = "Enter the original unit of angle (rad/g/d)\n\n";

struct InvalidNumberCase {
  const char* input;
  const char* writtenBefore;
};

const InvalidNumberCase InvalidNumbers[] = {
    {"rad\nabc\nd\n\n", "Enter the angle value\n"},
    {"d\nabc\n0\n0\nd\n\n", "Enter the number of full-degree\n"},
    {"d\n1\n2\nabc\nd\n\n",
     "Enter the number of full-degree\nEnter the number of full minutes\nEnter the number of second\n"},
};

TEST(ErrorReports, ATokenThatIsNoNumberEndsTheRunWithTheReportOnStandardError) {
  std::string degreesAddress;
  std::string valueAddress;
  for (const InvalidNumberCase& row : InvalidNumbers) {
    SCOPED_TRACE(row.input);
    const ProgramRun run = RunAngleconv(row.input);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardOutput, CrLf(UnitPrompt + row.writtenBefore));
    const Report report = ParseReport(run.standardError);
    EXPECT_EQ(report.className, "EInOutError");
    EXPECT_EQ(report.message, "Invalid numeric input.");
    // The same statement shows the same address in every run.
    const ProgramRun again = RunAngleconv(row.input);
    EXPECT_EQ(again.standardError, run.standardError);
    if (std::string(row.input).rfind("d\nabc", 0) == 0) {
      degreesAddress = report.address;
    } else if (std::string(row.input).rfind("rad\nabc", 0) == 0) {
      valueAddress = report.address;
    }
  }
  // Two different failing statements show two different addresses.
  EXPECT_NE(degreesAddress, valueAddress);
}

struct FailureCase {
  const char* input;
  OutputKind output;
  const char* className;
  const char* message;
  const char* notUnderWine = nullptr;  // why Wine cannot show this case as Windows would
};

const FailureCase Failures[] = {
    {"rad\n1e400\nd\n\n", OutputKind::File, "EOverflow", "Floating point overflow."},
    {"rad\n1e5120\nd\n\n", OutputKind::File, "EInvalidOp", "Invalid floating point operation."},
    // Standard output cannot be opened: no I/O code of its own text.
    {"rad\n1\nd\n\n", OutputKind::Closed, "EInOutError", "I/O error 105.", endtoend::WineTakesClosedDescriptors},
    // ERROR_DISK_FULL at the first full buffer.
    {"rad\n1\nd\n\n", OutputKind::DevFull, "EInOutError", "I/O error 112."},
};

TEST(ErrorReports, EachFailureHasItsClassAndMessage) {
  for (const FailureCase& row : Failures) {
    SCOPED_TRACE(std::string(row.input) + " " + row.message);
    if (!endtoend::RunsUnderWineUnless(row.notUnderWine, row.message)) {
      continue;
    }
    RunOptions options;
    options.output = row.output;
    // A pipe, not a file: opening a file in the child would take the
    // descriptor 1 that the closed case leaves free.
    options.error = OutputKind::Pipe;
    const ProgramRun run = RunAngleconv(row.input, options);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.signal, 0);
    const Report report = ParseReport(run.standardError);
    EXPECT_EQ(report.className, row.className);
    EXPECT_EQ(report.message, row.message);
    EXPECT_EQ(run.standardOutput.find("Runtime error"), std::string::npos);
  }
}

TEST(ErrorReports, AFailedFlushBeforeTheReportDoesNotReplaceIt) {
  // The reader of standard output is gone before the program fails, so the
  // flush of the waiting prompts inside the report fails too.
  RunOptions options;
  options.input = InputKind::Pipe;
  options.output = OutputKind::Pipe;
  options.closeOutputAfter = 0;
  options.inputAfterOutputClosed = "rad\nabc\n";
  const ProgramRun run = RunAngleconv("", options);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, 1);
  const Report report = ParseReport(run.standardError);
  EXPECT_EQ(report.className, "EInOutError");
  EXPECT_EQ(report.message, "Invalid numeric input.");
}

TEST(ErrorReports, RunningOutOfMemoryIsReportedWithoutMemory) {
  if (BuiltWithSanitizers) {
    GTEST_SKIP() << "the sanitizers need more address space than the limit leaves";
  }
  if (endtoend::ProgramRunsUnderWine) {
    GTEST_SKIP() << "Wine reserves more address space when it starts than the limit leaves; endless input "
                    "(FaultInjection) meets the program's own 1 GiB ceiling";
  }
  if (endtoend::ProgramRunsUnderEmulator) {
    GTEST_SKIP() << "qemu-user does not enforce an address-space limit on the program it runs";
  }
  RunOptions options;
  options.input = InputKind::Pipe;
  options.addressSpaceLimit = 32ull << 20;
  // A unit word far longer than the address space.
  const ProgramRun run = RunAngleconv(std::string(96u << 20, 'r') + "\n", options);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.standardOutput, CrLf(UnitPrompt).substr(0, CrLf(UnitPrompt).size() - 2));
  const Report report = ParseReport(run.standardError);
  EXPECT_EQ(report.className, "EOutOfMemory");
  EXPECT_EQ(report.message, "Out of memory.");
}

}  // namespace
