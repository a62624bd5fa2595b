// Opening, flushing and closing the standard streams, the codes they store,
// and the check that turns a pending code into the I/O run-time error.
#include <gtest/gtest.h>

#include "runtime/runtime_error.h"
#include "streams/stream_fixture.h"
#include "streams/text_output.h"

namespace {

using streamtest::CaptureOutput;
using streamtest::FreshStreams;
using streamtest::Sink;

TEST(TextStream, OnlyAConsoleIsFlushedAtTheEndOfAStatement) {
  for (const auto& [sink, flushOp] : {std::pair<Sink, StreamOperation>{Sink::Terminal, DrainBuffer}, {Sink::Pipe, NoOperation},
                                      {Sink::File, NoOperation}, {Sink::DevFull, NoOperation}}) {
    StreamOperation bound = nullptr;
    CaptureOutput(sink, [&] { OpenForWriting(Output), bound = Output.flushOp; });
    EXPECT_EQ(bound, flushOp) << static_cast<int>(sink);
  }
}

TEST(TextStream, ClosedStreamsStoreTheirCodes) {
  TextStream other{};
  other.openMode = ModeClosed;
  TextStream unprepared{};
  const struct {
    const char* name;
    std::function<std::int32_t()> operation;
    std::int32_t result, stored;
  } cases[] = {
      {"close Input", [] { return CloseStream(Input); }, 0, 0},
      {"close Output", [] { return CloseStream(Output); }, 0, 103},
      {"close ErrorStream", [] { return CloseStream(ErrorStream); }, 0, 103},
      {"close other", [&] { return CloseStream(other); }, 0, 103},
      {"flush Output", [] { return FlushStream(Output) + FlushAfterStatement(Output); }, 0, 0},
      {"flush ErrorStream", [] { return FlushStream(ErrorStream); }, 0, 0},
      {"flush other", [&] { return FlushAfterStatement(other); }, 103, 103},
      {"open unprepared", [&] { return OpenForWriting(unprepared); }, 102, 102},
  };
  for (const auto& row : cases) {
    FreshStreams();
    EXPECT_EQ(row.operation(), row.result) << row.name;
    EXPECT_EQ(IoResultCode, row.stored) << row.name;
  }
  FreshStreams();
}

TEST(TextStream, AFailedOpenIsTriedAgainByTheNextWrite) {
  std::int32_t code = 0;
  const auto out = CaptureOutput(Sink::Pipe, [&] {
    {
      testio::Redirect none(1, -1);
      PutChar(Output, 'x');
      code = TakeIoResult();
    }
    PutChar(Output, 'y');
  });
  EXPECT_EQ(code, 105);
  EXPECT_EQ(out.all, "y");
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
  for (const std::int32_t code : {0, 6, 105, 106}) {
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
