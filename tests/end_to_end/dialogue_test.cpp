// The whole dialogue, run as the real program with its standard input from
// a file, a pipe and a terminal.
#include <gtest/gtest.h>

#include <string>

#include "end_to_end/program_runner.h"

namespace {

using endtoend::CrLf;
using endtoend::InputKind;
using endtoend::OutputKind;
using endtoend::RunAngleconv;
using endtoend::RunOptions;

// Everything a run that reaches its end writes, around the result line.
std::string WholeRun(const std::string& resultLine, bool degreesSource) {
  std::string text = "Enter the original unit of angle (rad/g/d)\n\n";
  text += degreesSource
              ? "Enter the number of full-degree\nEnter the number of full minutes\nEnter the number of second\n"
              : "Enter the angle value\n\n";
  text += "Choose a new unit of the angle (rad/g/d)\n\n\n";
  text += "The angle value: " + resultLine + "\n\n\n\n\n\n\n\n\n*Press Enter to exit*";
  return CrLf(text);
}

struct DialogueCase {
  const char* input;
  const char* resultLine;
  bool degreesSource;
};

const DialogueCase ResultLines[] = {
    {"rad\n1\nrad\n\n", "1.0000rad", false},
    {"rad\n1\ng\n\n", "63.6620g", false},
    {"rad\n1\nd\n\n", "57.2958d= 57degrees 17minutes 45second ", false},
    {"g\n100\nrad\n\n", "1.57080rad", false},
    {"g\n100\ng\n\n", "100.0000g", false},
    {"g\n0.5\nd\n\n", "0.4500d=  0degrees 27minutes  0second ", false},
    {"d\n30\n30\n30\nrad\n\n", "0.53247rad", true},
    {"d\n30\n30\n30\ng\n\n", "33.8981g", true},
    {"d\n30\n30\n30\nd\n\n", "= 30degrees 30minutes 30second ", true},
    {"rad\n1\nx\n\n", "", false},
    // Unit words match only byte for byte.
    {"D\n1\nD\n\n", "", false},
    {"Rad\n1\nrad\n\n", "", false},
    {" rad\n1\nrad\n\n", "", false},
    {"rad \n1\nrad\n\n", "", false},
    {"rad\n1\nrad \n\n", "", false},
    {"d\n1\n2\n3\nx\n\n", "", true},
    // No carrying, no range check; signs kept.
    {"d\n10\n75\n90\nd\n\n", "= 10degrees 75minutes 90second ", true},
    {"d\n30.5\n2.5\n-0.4\nd\n\n", "= 31degrees  3minutes -0second ", true},
    {"d\n-30\n30\n0\nrad\n\n", "-0.51487rad", true},
    {"rad\n-1\nd\n\n", "-57.2958d=-57degrees -17minutes -45second ", false},
    {"g\n-0.5\nd\n\n", "-0.4500d= -0degrees -27minutes  0second ", false},
    {"g\n1.11111\nd\n\n", "1.0000d=  0degrees 59minutes 60second ", false},
    {"g\n-100\nd\n\n", "-90.0000d=-90degrees  0minutes  0second ", false},
    {"g\n0.00941358024691358\nd\n\n", "0.0085d=  0degrees  0minutes 30second ", false},
    {"g\n0.036882716049382716\nd\n\n", "0.0332d=  0degrees  1minutes 60second ", false},
    {"rad\n3.14159265358979\nd\n\n", "180.0000d=179degrees 59minutes 60second ", false},
    // Number prompts skip empty lines and drop the rest of the line.
    {"rad\n\n\n1\nrad\n\n", "1.0000rad", false},
    {"d\n30 degrees\n30\n30\nd\n\n", "= 30degrees 30minutes 30second ", true},
    {"rad\r\n1\r\ng\r\n\r\n", "63.6620g", false},
    // Infinities are stored without a fault and written as such.
    {"rad\n1e5120\ng\n\n", "  +Infg", false},
    {"rad\n-1e5120\nrad\n\n", "  -Infrad", false},
    {"rad\n1e-400\nrad\n\n", "0.0000rad", false},
    // Input that ends early: empty words, the number 0, a normal end.
    {"", "", false},
    {"rad\n", "", false},
    {"rad\n1\ng", "63.6620g", false},
};

TEST(Dialogue, WritesEachResultLineAndEndsWithCodeZero) {
  for (const InputKind kind : {InputKind::File, InputKind::Pipe}) {
    for (const DialogueCase& row : ResultLines) {
      SCOPED_TRACE(std::string(row.input) + (kind == InputKind::Pipe ? " (pipe)" : " (file)"));
      RunOptions options;
      options.input = kind;
      const auto run = RunAngleconv(row.input, options);
      EXPECT_EQ(run.standardOutput, WholeRun(row.resultLine, row.degreesSource));
      EXPECT_EQ(run.standardError, "");
      EXPECT_EQ(run.exitStatus, 0);
    }
  }
}

TEST(Dialogue, WritesTheSameBytesIntoAPipe) {
  RunOptions options;
  options.output = OutputKind::Pipe;
  const auto run = RunAngleconv("rad\n1\nd\n\n", options);
  EXPECT_EQ(run.standardOutput, WholeRun("57.2958d= 57degrees 17minutes 45second ", false));
  EXPECT_EQ(run.exitStatus, 0);
}

struct FailingCase {
  const char* input;
  const char* writtenBeforeFailure;
  const char* exceptionClass;
  const char* message;
};

constexpr char Invalid[] = "Invalid numeric input.";
constexpr char Overflow[] = "Floating point overflow.";
constexpr char InvalidOp[] = "Invalid floating point operation.";

// A fault or an invalid number ends the dialogue at once; what was written
// before it stays written, and nothing after it is.
const FailingCase Failures[] = {
    {"rad\nabc\nd\n\n", "Enter the original unit of angle (rad/g/d)\n\nEnter the angle value\n", "EInOutError",
     Invalid},
    {"d\n1\nabc\n",
     "Enter the original unit of angle (rad/g/d)\n\nEnter the number of full-degree\n"
     "Enter the number of full minutes\n",
     "EInOutError", Invalid},
    {"rad\n1e400\nd\n\n", "Enter the original unit of angle (rad/g/d)\n\nEnter the angle value\n", "EOverflow",
     Overflow},
    {"rad\n1e5120\nd\n\n",
     "Enter the original unit of angle (rad/g/d)\n\nEnter the angle value\n\n"
     "Choose a new unit of the angle (rad/g/d)\n\n\nThe angle value:   +Infd",
     "EInvalidOp", InvalidOp},
    {"rad\n4e306\nd\n\n",
     "Enter the original unit of angle (rad/g/d)\n\nEnter the angle value\n\n"
     "Choose a new unit of the angle (rad/g/d)\n\n\nThe angle value:  2.3E+0308d",
     "EOverflow", Overflow},
    {"d\n1e5120\n0\n-1e5120\nrad\n\n",
     "Enter the original unit of angle (rad/g/d)\n\nEnter the number of full-degree\n"
     "Enter the number of full minutes\nEnter the number of second\n"
     "Choose a new unit of the angle (rad/g/d)\n\n\nThe angle value: ",
     "EInvalidOp", InvalidOp},
};

TEST(Dialogue, StopsAtTheFirstFailureWithCodeOne) {
  for (const FailingCase& row : Failures) {
    SCOPED_TRACE(row.input);
    const auto run = RunAngleconv(row.input);
    EXPECT_EQ(run.standardOutput, CrLf(row.writtenBeforeFailure));
    const std::string head =
        std::string("Exception ") + row.exceptionClass + " in module " + endtoend::ProgramModule + " at ";
    EXPECT_EQ(run.standardError.substr(0, head.size()), head);
    EXPECT_EQ(run.standardError.substr(run.standardError.find('\n') + 1), row.message + std::string("\r\n\r\n"));
    EXPECT_EQ(run.exitStatus, 1);
  }
}

TEST(Dialogue, OnATerminalEachPromptIsShownBeforeTheProgramReads) {
  endtoend::TerminalSession terminal;
  ASSERT_TRUE(terminal.WaitFor("Enter the original unit of angle (rad/g/d)\r\n"));
  terminal.Type("rad");
  ASSERT_TRUE(terminal.WaitFor("Enter the angle value\r\n"));
  terminal.Type("1");
  ASSERT_TRUE(terminal.WaitFor("Choose a new unit of the angle (rad/g/d)\r\n"));
  terminal.Type("d");
  ASSERT_TRUE(terminal.WaitFor("*Press Enter to exit*"));
  terminal.Type("");
  EXPECT_EQ(terminal.Finish(), 0);
  if (!endtoend::ProgramRunsUnderWine) {
    EXPECT_EQ(terminal.Transcript(), WholeRun("57.2958d= 57degrees 17minutes 45second ", false));
    return;
  }
  // Wine's console draws the output with control sequences of its own and
  // echoes each line typed, as a Windows console does.
  EXPECT_EQ(terminal.Screen(),
            "Enter the original unit of angle (rad/g/d)\nrad\n\nEnter the angle value\n1\n\n"
            "Choose a new unit of the angle (rad/g/d)\nd\n\n\n"
            "The angle value: 57.2958d= 57degrees 17minutes 45second\n\n\n\n\n\n\n\n\n*Press Enter to exit*\n");
}

}  // namespace
