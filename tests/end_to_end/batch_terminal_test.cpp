// The end of the batch mode's input (--from, --to) on a terminal, where
// Ctrl-D ends it.
#include <gtest/gtest.h>

#include <string>

#include "end_to_end/program_runner.h"

namespace {

// Ctrl-D after a partial line hands over what was typed; the next Ctrl-D,
// an empty read, ends the run at once, as it ends cat, sort or awk. What is
// typed after it is left unread.
TEST(BatchOnATerminal, AnEmptyReadAfterAPartialLineEndsTheRun) {
  if (endtoend::ProgramRunsUnderWine) {
    GTEST_SKIP() << "Ctrl-D ends no input in a Windows console";
  }
  const struct {
    std::string keys;
    std::string shown;
    int exitStatus;
  } rows[] = {
      {"2\x04\x04", "127.3240g\n", 0},
      {"2 \x04\x04", "127.3240g\n", 0},
      {"2\x04\x04"
       "3\r",
       "127.3240g\n", 0},
      {"abc\x04\x04", "angleconv: line 1: EInOutError: Invalid numeric input.\n", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.keys);
    endtoend::TerminalSession terminal({"--from", "rad", "--to", "g"});
    terminal.Press(row.keys);
    EXPECT_EQ(terminal.Finish(), row.exitStatus);
    EXPECT_EQ(terminal.Transcript(), row.shown);
  }
}

}  // namespace
