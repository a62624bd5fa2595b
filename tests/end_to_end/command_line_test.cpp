// The command line: --version and --help answer and end the run; any other
// argument leaves the dialogue exactly as a run without arguments.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "end_to_end/program_runner.h"
#include "program/version.h"

namespace {

using endtoend::OutputKind;
using endtoend::RunAngleconv;
using endtoend::RunOptions;

enum class Answer { Version, Help, Dialogue, Nothing };

struct CommandLineCase {
  std::vector<std::string> arguments;
  OutputKind output;
  Answer answer;
  int exitStatus;
  std::string standardError;
};

const CommandLineCase Cases[] = {
    {{"--version"}, OutputKind::File, Answer::Version, 0, ""},
    {{"--version"}, OutputKind::Pipe, Answer::Version, 0, ""},
    {{"--help"}, OutputKind::File, Answer::Help, 0, ""},
    {{"--help", "--version"}, OutputKind::File, Answer::Help, 0, ""},
    // An answer that cannot be written is said on standard error, exit code 1.
    {{"--version"}, OutputKind::DevFull, Answer::Nothing, 1, "angleconv: write error: I/O error 112\n"},
    {{"--help"}, OutputKind::Closed, Answer::Nothing, 1, "angleconv: write error: I/O error 6\n"},
    // Only the first argument, and only exactly, is an option.
    {{"-h"}, OutputKind::File, Answer::Dialogue, 0, ""},
    {{"--version "}, OutputKind::File, Answer::Dialogue, 0, ""},
    {{"--help\""}, OutputKind::File, Answer::Dialogue, 0, ""},
    {{""}, OutputKind::File, Answer::Dialogue, 0, ""},
    {{"x", "--version"}, OutputKind::File, Answer::Dialogue, 0, ""},
};

TEST(CommandLine, AnswersTheFirstArgumentOrRunsTheDialogue) {
  EXPECT_THAT(ANGLECONV_VERSION, testing::MatchesRegex("[0-9]+\\.[0-9]+\\.[0-9]+"));
  const std::string input = "rad\n1\nd\n\n";
  const std::string dialogue = RunAngleconv(input).standardOutput;
  ASSERT_NE(dialogue.find("57.2958d"), std::string::npos);
  for (const CommandLineCase& row : Cases) {
    std::string trace;
    for (const std::string& argument : row.arguments) trace += "[" + argument + "] ";
    SCOPED_TRACE(trace);
    RunOptions options;
    options.arguments = row.arguments;
    options.output = row.output;
    const auto run = RunAngleconv(input, options);
    EXPECT_EQ(run.exitStatus, row.exitStatus);
    EXPECT_EQ(run.standardError, row.standardError);
    switch (row.answer) {
      case Answer::Version:
        EXPECT_EQ(run.standardOutput.rfind("angleconv " ANGLECONV_VERSION "\nCopyright (C) ", 0), 0U);
        EXPECT_THAT(run.standardOutput, testing::EndsWith("\nThere is NO WARRANTY, to the extent permitted by law.\n"));
        break;
      case Answer::Help:
        EXPECT_EQ(run.standardOutput.rfind("Usage: angleconv", 0), 0U) << run.standardOutput;
        EXPECT_THAT(run.standardOutput, testing::HasSubstr("\nFull documentation: man angleconv\n"));
        break;
      case Answer::Dialogue:
        EXPECT_EQ(run.standardOutput, dialogue);
        break;
      case Answer::Nothing:
        EXPECT_EQ(run.standardOutput, "");
        break;
    }
  }
}

}  // namespace
