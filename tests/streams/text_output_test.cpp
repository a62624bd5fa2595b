// Writing to standard output backed by real pipes, files, /dev/full and a
// pseudo-terminal: the bytes that arrive, when they arrive, and how many
// WriteFile calls carry them.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "conversion/fpu_environment.h"
#include "streams/stream_fixture.h"
#include "streams/text_output.h"

namespace {

using streamtest::Captured;
using streamtest::CaptureOutput;
using streamtest::Sink;

class TextOutput : public ::testing::Test {
 protected:
  void SetUp() override { InitFpu(); }
};

struct PaddingCase {
  std::string text;
  int width;
  std::string expected;
};

TEST_F(TextOutput, BlanksGoBeforeTheTextAndNothingIsCut) {
  const PaddingCase cases[] = {
      {"57.2958", 0, "57.2958"},
      {"57.2958", -5, "57.2958"},
      {"57.2958", 3, "57.2958"},
      {"57.2958", 9, "  57.2958"},
      {"0123456789", 200, std::string(190, ' ') + "0123456789"},
      {"", 64, std::string(64, ' ')},
      {"", 65, std::string(65, ' ')},
      {"", 0, ""},
  };
  for (const PaddingCase& row : cases) {
    SCOPED_TRACE(row.text + " width " + std::to_string(row.width));
    const Captured out = CaptureOutput(Sink::Pipe, [&] { PutDynamicString(Output, row.text, row.width); });
    EXPECT_EQ(out.openMode, ModeOutput);  // even an empty write opens Output
    EXPECT_EQ(out.all, row.expected);
    EXPECT_EQ(out.code, 0);
  }
}

TEST_F(TextOutput, ALineEndIsCrLfEvenAsTheFirstWrite) {
  const Captured out = CaptureOutput(Sink::Pipe, [] {
    PutLineEnd(Output);
    PutDynamicString(Output, "x");
    PutChar(Output, '=');
    PutLineEnd(Output);
  });
  EXPECT_EQ(out.all, "\r\nx=\r\n");
}

// The items of one statement, for the buffering table.
enum class Item { Text127, Text128, Text300, OneChar, LineEnd, EndOfStatement };

void Write(Item item) {
  switch (item) {
    case Item::Text127:
      PutDynamicString(Output, std::string(127, 'a'));
      break;
    case Item::Text128:
      PutDynamicString(Output, std::string(128, 'b'));
      break;
    case Item::Text300:
      PutDynamicString(Output, std::string(300, 'c'));
      break;
    case Item::OneChar:
      PutChar(Output, '=');
      break;
    case Item::LineEnd:
      PutLineEnd(Output);
      break;
    case Item::EndOfStatement:
      FlushAfterStatement(Output);
      break;
  }
}

struct BufferingCase {
  const char* name;
  std::initializer_list<Item> items;
  std::size_t onPipe;  // bytes that reached a pipe before the close
  int pipeWrites;
  std::size_t onTerminal;  // bytes that reached a terminal before the close
  int terminalWrites;
};

TEST_F(TextOutput, BytesGoOutPerFullBufferAndOnATerminalAlsoPerStatement) {
  const BufferingCase cases[] = {
      {"a prompt", {Item::Text127, Item::EndOfStatement}, 0, 0, 127, 1},
      {"a line", {Item::Text127, Item::LineEnd}, 128, 1, 129, 2},
      {"128 bytes into an empty buffer", {Item::Text128}, 128, 1, 128, 1},
      {"a statement ending on an empty buffer", {Item::Text128, Item::EndOfStatement}, 128, 1, 128, 1},
      {"a char fills the buffer", {Item::Text127, Item::OneChar}, 0, 0, 0, 0},
      {"the next char drains it", {Item::Text127, Item::OneChar, Item::OneChar}, 128, 1, 128, 1},
      {"a long text in pieces", {Item::Text300}, 256, 2, 256, 2},
      {"a long text, statement ends", {Item::Text300, Item::EndOfStatement}, 256, 2, 300, 3},
      {"an empty statement", {Item::EndOfStatement}, 0, 0, 0, 0},
  };
  for (const BufferingCase& row : cases) {
    SCOPED_TRACE(row.name);
    auto statement = [&] {
      for (Item item : row.items) Write(item);
    };
    const Captured pipe = CaptureOutput(Sink::Pipe, statement);
    EXPECT_EQ(pipe.beforeClose.size(), row.onPipe);
    EXPECT_EQ(pipe.writeCalls, row.pipeWrites);
    const Captured terminal = CaptureOutput(Sink::Terminal, statement);
    EXPECT_EQ(terminal.beforeClose.size(), row.onTerminal);
    EXPECT_EQ(terminal.writeCalls, row.terminalWrites);
    // Whatever waited goes out at the close, in one more call at most.
    EXPECT_EQ(pipe.all, terminal.all);
    EXPECT_EQ(pipe.closeWriteCalls, pipe.all.size() > row.onPipe ? 1 : 0);
  }
}

TEST_F(TextOutput, WritesToAFileUnder128BytesArriveAtTheCloseInOneCall) {
  const Captured out = CaptureOutput(Sink::File, [] {
    PutDynamicString(Output, "Enter the angle value");
    PutLineEnd(Output);
    PutDynamicString(Output, "rad");
    FlushAfterStatement(Output);
  });
  EXPECT_EQ(out.beforeClose, "");
  EXPECT_EQ(out.writeCalls, 0);
  EXPECT_EQ(out.closeWriteCalls, 1);
  EXPECT_EQ(out.all, "Enter the angle value\r\nrad");
}

TEST_F(TextOutput, AFailedDrainDropsThatBufferAndTheStatementGoesOn) {
  std::int32_t codeAfterText = 0;
  std::uint32_t positionAfterText = 1;
  const Captured out = CaptureOutput(Sink::DevFull, [&] {
    PutDynamicString(Output, std::string(200, 'x'));  // fails on the first 128
    codeAfterText = IoResultCode;
    positionAfterText = Output.position;  // the other 72 were not written
    PutChar(Output, '=');
    PutDynamicString(Output, "abc");
  });
  EXPECT_EQ(codeAfterText, static_cast<std::int32_t>(ERROR_DISK_FULL));
  EXPECT_EQ(positionAfterText, 0u);
  EXPECT_EQ(out.position, 4u);  // later items go into the empty buffer
  EXPECT_EQ(out.writeCalls, 1);
  EXPECT_EQ(out.closeResult, static_cast<std::int32_t>(ERROR_DISK_FULL));
}

TEST_F(TextOutput, APendingCodeStopsALongBlankRunAfterOneBlock) {
  std::uint32_t afterLongRun = 0;
  const Captured out = CaptureOutput(Sink::Pipe, [&] {
    PutChar(Output, 'x');
    SetIoResult(5);
    PutBlanks(Output, 100);
    afterLongRun = Output.position;
    PutBlanks(Output, 30);  // a run of 64 or fewer does not look at the code
  });
  EXPECT_EQ(afterLongRun, 1u + 64u);
  EXPECT_EQ(out.all, "x" + std::string(64 + 30, ' '));
}

TEST_F(TextOutput, WithoutAStandardOutputEveryItemStores105) {
  std::int32_t afterString = 0;
  std::int32_t afterChar = 0;
  std::int32_t flushResult = -1;
  std::int32_t afterFlush = -1;
  const Captured out = CaptureOutput(Sink::Closed, [&] {
    PutDynamicString(Output, "Enter");
    afterString = TakeIoResult();
    PutChar(Output, '=');  // tries to open again
    afterChar = TakeIoResult();
    flushResult = FlushAfterStatement(Output);
    afterFlush = IoResultCode;
  });
  EXPECT_EQ(afterString, 105);
  EXPECT_EQ(afterChar, 105);
  EXPECT_EQ(out.openMode, ModeClosed);
  EXPECT_EQ(flushResult, 0);  // a closed Output flushes silently
  EXPECT_EQ(afterFlush, 0);
}

struct RealCase {
  long double value;
  int width;
  int decimals;
  std::string expected;
};

TEST_F(TextOutput, WriteRealPadsTheTextOfTheNumber) {
  const RealCase cases[] = {
      {57.2957795130823L, 6, 4, "57.2958"},
      {57.2957795130823L, 9, 4, "  57.2958"},
      {1.0L, 300, 0, std::string(299, ' ') + "1"},  // wider than any text
  };
  for (const RealCase& row : cases) {
    SCOPED_TRACE(row.expected);
    const Captured out =
        CaptureOutput(Sink::Pipe, [&] { WriteReal(Output, row.width, row.decimals, row.value); });
    EXPECT_EQ(out.all, row.expected);
  }
}

}  // namespace
