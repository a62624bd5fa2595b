// Writing to standard output on real pipes, /dev/full and a pseudo-terminal:
// the bytes, when they arrive, the WriteFile calls, and the codes stored by
// closed streams and raised by the check.
#include <gtest/gtest.h>

#include <initializer_list>

#include "core/fpu_environment.h"
#include "core/runtime_error.h"
#include "streams/stream_fixture.h"
#include "streams/text_output.h"
#include "support/extended_literals.h"

using namespace x87;

namespace {

using streamtest::CaptureOutput;
using streamtest::Sink;

TEST(TextOutput, PadsOnTheLeftAndNeverCuts) {
  InitFpu();
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[] { PutDynamicString(Output, "57.2958", -5), PutDynamicString(Output, "x", 0); }, "57.2958x"},
      {[] { PutDynamicString(Output, "0123456789", 200); }, std::string(190, ' ') + "0123456789"},
      {[] { PutDynamicString(Output, ""); }, ""},  // still opens Output
      {[] { PutLineEnd(Output), PutChar(Output, '='), PutLineEnd(Output); }, "\r\n=\r\n"},
      {[] { WriteReal(Output, 6, 4, 57.2957795130823_x); }, "57.2958"},
      {[] { WriteReal(Output, 300, 0, 1.0_x); }, std::string(299, ' ') + "1"},
      {[] { PutChar(Output, 'x'), SetIoResult(5), PutBlanks(Output, 100), PutBlanks(Output, 3); },
       "x" + std::string(64 + 3, ' ')},  // a pending code stops a long run after one block
  };
  for (const auto& [statement, expected] : cases) {
    SCOPED_TRACE(expected);
    const auto out = CaptureOutput(Sink::Pipe, statement);
    EXPECT_EQ(out.openMode, ModeOutput);
    EXPECT_EQ(out.all, expected);
  }
}

enum class Item { Text127, Text128, Text300, Char, LineEnd, EndOfStatement };

struct BufferingCase {
  std::initializer_list<Item> statement;
  std::size_t onPipe, onTerminal;  // bytes arrived before the close
  int pipeWrites, terminalWrites;
};

TEST(TextOutput, GoesOutPerFullBufferAndOnATerminalAlsoPerStatement) {
  const BufferingCase cases[] = {
      {{Item::Text127, Item::EndOfStatement}, 0, 127, 0, 1},
      {{Item::Text127, Item::LineEnd}, 128, 129, 1, 2},
      {{Item::Text128, Item::EndOfStatement}, 128, 128, 1, 1},  // drained at once
      {{Item::Text127, Item::Char}, 0, 0, 0, 0},                // a char leaves the buffer full
      {{Item::Text127, Item::Char, Item::Char}, 128, 128, 1, 1},
      {{Item::Text300, Item::EndOfStatement}, 256, 300, 2, 3},
  };
  for (const BufferingCase& row : cases) {
    SCOPED_TRACE(&row - cases);
    auto statement = [&] {
      for (const Item item : row.statement) {
        item == Item::Text127   ? (void)PutDynamicString(Output, std::string(127, 'a'))
        : item == Item::Text128 ? (void)PutDynamicString(Output, std::string(128, 'b'))
        : item == Item::Text300 ? (void)PutDynamicString(Output, std::string(300, 'c'))
        : item == Item::Char    ? (void)PutChar(Output, '=')
        : item == Item::LineEnd ? (void)PutLineEnd(Output)
                                : (void)FlushAfterStatement(Output);
      }
    };
    const auto pipe = CaptureOutput(Sink::Pipe, statement);
    const auto terminal = CaptureOutput(Sink::Terminal, statement);
    EXPECT_EQ(pipe.early.size(), row.onPipe);
    EXPECT_EQ(terminal.early.size(), row.onTerminal);
    EXPECT_EQ(pipe.writes, row.pipeWrites);
    EXPECT_EQ(terminal.writes, row.terminalWrites);
    EXPECT_EQ(pipe.all, terminal.all);  // the rest arrives at the close, in one call
    EXPECT_EQ(pipe.closeWrites, pipe.all.size() > row.onPipe ? 1 : 0);
  }
}

TEST(TextOutput, AFailedDrainDropsThatBufferAndTheStatementGoesOn) {
  std::int32_t code = 0;
  std::uint32_t afterFailure = 1, afterMore = 0;
  const auto out = CaptureOutput(Sink::DevFull, [&] {
    PutDynamicString(Output, std::string(200, 'x'));  // fails on the first 128; the other 72 are dropped
    code = IoResultCode, afterFailure = Output.position;
    PutChar(Output, '='), PutDynamicString(Output, "abc");
    afterMore = Output.position;
  });
  EXPECT_EQ(code, 112);
  EXPECT_EQ(afterFailure, 0u);
  EXPECT_EQ(afterMore, 4u);
  EXPECT_EQ(out.writes, 1);
  EXPECT_EQ(out.closeResult, 112);  // the close reports the failed final write-out
}

TEST(TextStream, ClosedStreamsStoreTheirCodes) {
  TextStream other{}, unprepared{};
  other.openMode = ModeClosed;
  const struct {
    std::function<std::int32_t()> operation;
    std::int32_t result, stored;
  } cases[] = {
      {[] { return CloseStream(Input); }, 0, 0},
      {[] { return CloseStream(Output); }, 0, 103},
      {[] { return CloseStream(ErrorStream); }, 0, 103},
      {[] { return FlushStream(Output) + FlushAfterStatement(ErrorStream); }, 0, 0},
      {[&] { return FlushAfterStatement(other); }, 103, 103},
      {[&] { return OpenForWriting(unprepared); }, 102, 102},
      {[] {
         testio::Redirect none(1, -1);
         return PutChar(Output, 'x'), OpenForWriting(Output);
       },
       6, 6},
  };
  for (const auto& row : cases) {
    streamtest::FreshStreams();
    EXPECT_EQ(row.operation(), row.result) << &row - cases;
    EXPECT_EQ(IoResultCode, row.stored) << &row - cases;
  }
  streamtest::FreshStreams();
}

struct Raised {
  RuntimeErrorKind kind;
  void* location;
  std::int32_t code;
};

__attribute__((noinline)) void CheckingStatement() {
  CheckIoResult();
  asm volatile("");  // keeps the call a call, not a jump
}

TEST(TextStream, TheCheckRaisesAtTheCallingStatementAndLeavesTheCode) {
  const auto saved = RuntimeErrorHook;
  RuntimeErrorHook = [](RuntimeErrorKind kind, void* location) { throw Raised{kind, location, IoResultCode}; };
  for (const std::int32_t code : {0, 105, 106}) {
    IoResultCode = code;
    try {
      CheckingStatement();
      EXPECT_EQ(code, 0);
    } catch (const Raised& raised) {
      const auto offset = static_cast<char*>(raised.location) - reinterpret_cast<char*>(&CheckingStatement);
      EXPECT_EQ(raised.kind, RuntimeErrorKind::IoFailure);
      EXPECT_EQ(raised.code, code);
      EXPECT_TRUE(offset > 0 && offset < 64) << offset;
    }
  }
  RuntimeErrorHook = saved;
  IoResultCode = 0;
}

}  // namespace
