// The real program with standard handles that fail: each run ends with its
// exact bytes and exit code, by a report and never by a signal, and nothing
// written before the failure is lost.
#include <gtest/gtest.h>

#include <string>

#include "end_to_end/program_runner.h"

namespace {

using endtoend::CrLf;
using endtoend::InputKind;
using endtoend::OutputKind;
using endtoend::RunAngleconv;
using endtoend::RunOptions;

const std::string UnitPrompt = "Enter the original unit of angle (rad/g/d)\n";
const std::string WholeRun = CrLf(
    "Enter the original unit of angle (rad/g/d)\n\nEnter the angle value\n\n"
    "Choose a new unit of the angle (rad/g/d)\n\n\nThe angle value: 57.2958d= 57degrees 17minutes 45second \n"
    "\n\n\n\n\n\n\n\n*Press Enter to exit*");

std::string Report(const std::string& className, const std::string& message) {
  return "Exception " + className + " in module angleconv at XXXXXXXX.\r\n" + message + "\r\n\r\n";
}

// The report with its address masked, which the layout of the build decides.
std::string MaskAddress(std::string text) {
  const std::string marker = " in module angleconv at ";
  const std::size_t at = text.find(marker);
  if (at != std::string::npos && text.size() >= at + marker.size() + 8) {
    text.replace(at + marker.size(), 8, "XXXXXXXX");
  }
  return text;
}

struct FaultCase {
  const char* name;
  const char* input;
  InputKind inputKind;
  OutputKind output;
  OutputKind error;
  std::string standardOutput;
  std::string standardError;
  int exitStatus;
};

const FaultCase Faults[] = {
    {"closed standard input", "", InputKind::Closed, OutputKind::File, OutputKind::Pipe, CrLf(UnitPrompt),
     Report("EInOutError", "I/O error 104."), 1},
    {"standard input is a directory", "", InputKind::Directory, OutputKind::File, OutputKind::Pipe, CrLf(UnitPrompt),
     Report("EInOutError", "I/O error 267."), 1},
    {"closed standard error, normal run", "rad\n1\nd\n\n", InputKind::File, OutputKind::File, OutputKind::Closed,
     WholeRun, "", 0},
    {"closed standard error, failing run", "rad\nabc\n", InputKind::File, OutputKind::File, OutputKind::Closed,
     CrLf(UnitPrompt + "\nEnter the angle value\n"), "", 1},
    {"closed standard output", "rad\n1\nd\n\n", InputKind::File, OutputKind::Closed, OutputKind::Pipe, "",
     Report("EInOutError", "I/O error 105."), 1},
    {"standard output on a full disk", "rad\n1\nd\n\n", InputKind::File, OutputKind::DevFull, OutputKind::Pipe, "",
     Report("EInOutError", "I/O error 112."), 1},
};

TEST(FaultInjection, EachBrokenHandleEndsTheRunAsItShould) {
  for (const FaultCase& row : Faults) {
    SCOPED_TRACE(row.name);
    RunOptions options;
    options.input = row.inputKind;
    options.output = row.output;
    options.error = row.error;
    const auto run = RunAngleconv(row.input, options);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitStatus, row.exitStatus);
    EXPECT_EQ(run.standardOutput, row.standardOutput);
    EXPECT_EQ(MaskAddress(run.standardError), row.standardError);
  }
}

TEST(FaultInjection, AReaderThatLeavesAfterTheFirstByteLosesNothingItRead) {
  RunOptions options;
  options.input = InputKind::Pipe;
  options.output = OutputKind::Pipe;
  options.error = OutputKind::Pipe;
  options.closeOutputAfter = 1;
  options.inputAfterOutputClosed = "\n";
  const auto run = RunAngleconv("rad\n1\nd\n", options);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.standardOutput, "E");
  // The first 128 bytes went into the pipe before the reader left; the rest
  // can only fail at the close: a run-time error with the system's code.
  EXPECT_EQ(run.exitStatus, 232);
  EXPECT_EQ(run.standardError, "");
}

}  // namespace
