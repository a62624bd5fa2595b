// How the real program ends: exit codes and the write-out of buffered
// output at the close.
#include <gtest/gtest.h>

#include "end_to_end/program_runner.h"

namespace {

using endtoend::CrLf;
using endtoend::InputKind;
using endtoend::OutputKind;
using endtoend::RunAngleconv;
using endtoend::RunOptions;

TEST(Lifecycle, ANormalRunWritesOnlyTheDialogueAndExitsWithZero) {
  const auto run = RunAngleconv("g\n100\ng\n\n");
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.standardError, "");
  EXPECT_EQ(run.standardOutput.substr(run.standardOutput.size() - 21), "*Press Enter to exit*");
}

TEST(Lifecycle, AFailedWriteOutAtTheCloseIsNotASuccess) {
  // The first 128 bytes go out when the label is written; the reader then
  // goes away, and the rest can only fail when Output is closed at the end.
  RunOptions options;
  options.input = InputKind::Pipe;
  options.output = OutputKind::Pipe;
  options.closeOutputAfter = 128;
  options.inputAfterOutputClosed = "\n";
  const auto run = RunAngleconv("x\n1\nx\n", options);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.standardOutput, CrLf("Enter the original unit of angle (rad/g/d)\n\nEnter the angle value\n\n"
                                     "Choose a new unit of the angle (rad/g/d)\n\n\nThe angle value: ")
                                    .substr(0, 128));
  // The pipe has no reader.
  EXPECT_EQ(run.exitStatus, endtoend::PipeWithoutReaderError);
}

TEST(Lifecycle, AFullDiskEndsTheRunAsAFailure) {
  // The first full buffer cannot be written: the statement's check reports
  // the I/O error, and the close at the end does not change the code.
  RunOptions options;
  options.output = OutputKind::DevFull;
  const auto run = RunAngleconv("", options);
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.signal, 0);
}

}  // namespace
