// The command line: --version and --help answer and end the run; a usage
// error ends it with exit code 2; a first argument that does not begin with
// '-' leaves the dialogue exactly as a run without arguments.
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
  std::string programName = {};
};

std::string Usage(const std::string& message) {
  return "angleconv: " + message + "\nTry 'angleconv --help' for more information.\n";
}

const CommandLineCase Cases[] = {
    {{"--version"}, OutputKind::File, Answer::Version, 0, ""},
    {{"--version"}, OutputKind::Pipe, Answer::Version, 0, ""},
    {{"--help"}, OutputKind::File, Answer::Help, 0, ""},
    {{"--help", "--version"}, OutputKind::File, Answer::Help, 0, ""},
    // An answer that cannot be written is said on standard error, exit code 1.
    {{"--version"}, OutputKind::DevFull, Answer::Nothing, 1, "angleconv: write error: I/O error 112\n"},
    {{"--help"}, OutputKind::Closed, Answer::Nothing, 1, "angleconv: write error: I/O error 6\n"},
    // Options in any place, abbreviated, whatever the program's name.
    {{"--from", "rad", "--help"}, OutputKind::File, Answer::Help, 0, ""},
    {{"--from=rad", "1", "--vers"}, OutputKind::File, Answer::Version, 0, ""},
    {{"--version"}, OutputKind::File, Answer::Version, 0, "", std::string(40000, 'a')},
    // Usage errors.
    {{"-h"}, OutputKind::File, Answer::Nothing, 2, Usage("invalid option -- 'h'")},
    {{"--version "}, OutputKind::File, Answer::Nothing, 2, Usage("unrecognized option '--version '")},
    {{"--help=1"}, OutputKind::File, Answer::Nothing, 2, Usage("option '--help' doesn't allow an argument")},
    {{"--from", "rad", "--to"}, OutputKind::File, Answer::Nothing, 2, Usage("option '--to' requires an argument")},
    {{"--from", "Rad", "--to", "g"},
     OutputKind::File,
     Answer::Nothing,
     2,
     Usage("invalid unit 'Rad' for --from: rad, g or d")},
    {{"--from", "rad", "--to="}, OutputKind::File, Answer::Nothing, 2, Usage("invalid unit '' for --to: rad, g or d")},
    {{"--to", "g", "1"}, OutputKind::File, Answer::Nothing, 2, Usage("missing --from UNIT")},
    {{"-1", "--from", "rad"}, OutputKind::File, Answer::Nothing, 2, Usage("missing --to UNIT")},
    {{"--from", "d", "--to", "g", "1", "2"},
     OutputKind::File,
     Answer::Nothing,
     2,
     Usage("a value in d is three numbers (degrees, minutes, seconds): 2 numbers given")},
    // An option given twice takes its last value.
    {{"--from", "rad", "--to", "g", "--from", "d", "1", "2"},
     OutputKind::File,
     Answer::Nothing,
     2,
     Usage("a value in d is three numbers (degrees, minutes, seconds): 2 numbers given")},
    // A first argument that does not begin with '-' leaves the dialogue.
    {{""}, OutputKind::File, Answer::Dialogue, 0, ""},
    {{"x", "--version"}, OutputKind::File, Answer::Dialogue, 0, ""},
};

TEST(CommandLine, AnswersRefusesOrRunsTheDialogue) {
  EXPECT_THAT(ANGLECONV_VERSION, testing::MatchesRegex("[0-9]+\\.[0-9]+\\.[0-9]+"));
  const std::string input = "rad\n1\nd\n\n";
  const std::string dialogue = RunAngleconv(input).standardOutput;
  ASSERT_NE(dialogue.find("57.2958d"), std::string::npos);
  for (const CommandLineCase& row : Cases) {
    std::string trace;
    for (const std::string& argument : row.arguments) trace += "[" + argument + "] ";
    SCOPED_TRACE(trace);
    if (!row.programName.empty() &&
        !endtoend::RunsUnderWineUnless("Wine names a Windows program by its file in its command line, which holds "
                                       "32,767 characters at most",
                                       trace + "under a long name")) {
      continue;
    }
    RunOptions options;
    options.arguments = row.arguments;
    options.output = row.output;
    options.programName = row.programName;
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
