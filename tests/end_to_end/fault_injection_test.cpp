// The real program with standard handles that fail or misbehave: each run
// ends with its exact bytes and exit code, by a report and never by a signal,
// within bounded memory, and nothing written before the failure is lost.
#include <gtest/gtest.h>

#include <string>

#include "end_to_end/program_runner.h"
#include "support/descriptors.h"
#include "support/sanitizers.h"

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
  return "Exception " + className + " in module " + endtoend::ProgramModule + " at XXXXXXXX.\r\n" + message +
         "\r\n\r\n";
}

// The report with its address masked, which the layout of the build decides.
std::string MaskAddress(std::string text) {
  const std::string marker = " in module " + endtoend::ProgramModule + " at ";
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
  const char* notUnderWine = nullptr;  // why Wine cannot show this case as Windows would
};

using endtoend::NoDirectoryAsStandardHandle;
using endtoend::NoFileSizeLimitOnWindows;
using endtoend::WineTakesClosedDescriptors;

const FaultCase Faults[] = {
    {"closed standard input", "", InputKind::Closed, OutputKind::File, OutputKind::Pipe, CrLf(UnitPrompt),
     Report("EInOutError", "I/O error 104."), 1, WineTakesClosedDescriptors},
    {"standard input is a directory", "", InputKind::Directory, OutputKind::File, OutputKind::Pipe, CrLf(UnitPrompt),
     Report("EInOutError", "I/O error 267."), 1, NoDirectoryAsStandardHandle},
    {"closed standard error, normal run", "rad\n1\nd\n\n", InputKind::File, OutputKind::File, OutputKind::Closed,
     WholeRun, "", 0},
    {"closed standard error, failing run", "rad\nabc\n", InputKind::File, OutputKind::File, OutputKind::Closed,
     CrLf(UnitPrompt + "\nEnter the angle value\n"), "", 1},
    {"closed standard output", "rad\n1\nd\n\n", InputKind::File, OutputKind::Closed, OutputKind::Pipe, "",
     Report("EInOutError", "I/O error 105."), 1, WineTakesClosedDescriptors},
    {"standard output on a full disk", "rad\n1\nd\n\n", InputKind::File, OutputKind::DevFull, OutputKind::Pipe, "",
     Report("EInOutError", "I/O error 112."), 1},
    {"file size limit 0, normal run", "rad\n1\nd\n\n", InputKind::File, OutputKind::FileBeyondSizeLimit,
     OutputKind::Pipe, "", Report("EInOutError", "I/O error 223."), 1, NoFileSizeLimitOnWindows},
    {"file size limit 0, failing run", "rad\nabc\n", InputKind::File, OutputKind::FileBeyondSizeLimit, OutputKind::Pipe,
     "", Report("EInOutError", "Invalid numeric input."), 1, NoFileSizeLimitOnWindows},
    {"non-blocking standard input fed later", "rad\n1\nd\n\n", InputKind::NonBlockingPipe, OutputKind::File,
     OutputKind::Pipe, WholeRun, "", 0},
    {"non-blocking standard output, paused reader", "rad\n1\nd\n\n", InputKind::File, OutputKind::NonBlockingPipe,
     OutputKind::Pipe, WholeRun, "", 0},
    {"endless standard input without a line end", "", InputKind::DevZero, OutputKind::File, OutputKind::Pipe,
     CrLf(UnitPrompt), Report("EOutOfMemory", "Out of memory."), 1},
};

// The memory manager serves at most 1 GiB; with the program's own share
// every run stays below this.
constexpr long PeakMemoryBoundKib = 1200L * 1024;

TEST(FaultInjection, EachBrokenHandleEndsTheRunAsItShould) {
  for (const FaultCase& row : Faults) {
    SCOPED_TRACE(row.name);
    if (!endtoend::RunsUnderWineUnless(row.notUnderWine, row.name)) {
      continue;
    }
    RunOptions options;
    options.input = row.inputKind;
    options.output = row.output;
    options.error = row.error;
    const auto run = RunAngleconv(row.input, options);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitStatus, row.exitStatus);
    EXPECT_EQ(run.standardOutput, row.standardOutput);
    EXPECT_EQ(MaskAddress(run.standardError), row.standardError);
    EXPECT_LT(run.peakMemoryKib, PeakMemoryBoundKib);
  }
}

// Each run gives back what it read ahead, so the next run over the same
// open file (a shell loop) finds its own dialogue.
TEST(FaultInjection, RunsSharingOneInputFileEachReadTheirOwnDialogue) {
  const std::string dialogues[] = {"rad\n1\nd\n\n", "g\n100\nrad\n\n", "d\n90\n30\n0\ng\n\n"};
  const int file = testio::FileWith(dialogues[0] + dialogues[1] + dialogues[2]);
  RunOptions shared;
  shared.input = InputKind::Descriptor;
  shared.inputDescriptor = file;
  for (const std::string& dialogue : dialogues) {
    SCOPED_TRACE(dialogue);
    EXPECT_EQ(RunAngleconv("", shared).standardOutput, RunAngleconv(dialogue).standardOutput);
  }
  close(file);
}

// In a chroot or container without /proc the report still names the
// program and the offset within it.
TEST(FaultInjection, WithoutProcTheReportIsTheSame) {
  if (BuiltWithSanitizers) {
    GTEST_SKIP() << "skipped: the sanitizers' run-time needs /proc";
  }
  if (endtoend::ProgramRunsUnderWine) {
    GTEST_SKIP() << "skipped: Wine itself needs /proc to start; Windows has none to lose";
  }
  RunOptions withoutProc;
  withoutProc.error = OutputKind::Pipe;
  withoutProc.withoutProc = true;
  const auto run = RunAngleconv("rad\nabc\n", withoutProc);
  if (!run.arranged) {
    GTEST_SKIP() << "skipped: this system permits no private mount namespace";
  }
  RunOptions normal;
  normal.error = OutputKind::Pipe;
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.standardError, RunAngleconv("rad\nabc\n", normal).standardError);
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
  EXPECT_EQ(run.exitStatus, endtoend::PipeWithoutReaderError);
  EXPECT_EQ(run.standardError, "");
}

}  // namespace
