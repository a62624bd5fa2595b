// Opening, flushing and closing the standard streams, the codes those
// operations store, and the check that turns a pending code into the I/O
// run-time error.
#include <gtest/gtest.h>

#include <string>

#include "runtime/runtime_error.h"
#include "streams/stream_fixture.h"
#include "streams/text_input.h"
#include "streams/text_output.h"

namespace {

using streamtest::Captured;
using streamtest::CaptureOutput;
using streamtest::FreshStreams;
using streamtest::Sink;

class TextStreams : public ::testing::Test {
 protected:
  void SetUp() override { FreshStreams(); }
  void TearDown() override { FreshStreams(); }
};

TEST_F(TextStreams, TheFlushOperationFollowsTheKindOfOutput) {
  const struct {
    Sink sink;
    StreamOperation flushOp;
  } cases[] = {
      {Sink::Terminal, DrainBuffer},
      {Sink::Pipe, NoOperation},
      {Sink::File, NoOperation},
      {Sink::DevFull, NoOperation},  // a character device, but no console
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(static_cast<int>(row.sink));
    StreamOperation flushOp = nullptr;
    const Captured out = CaptureOutput(row.sink, [&] {
      OpenForWriting(Output);
      flushOp = Output.flushOp;
    });
    EXPECT_EQ(out.openMode, ModeOutput);
    EXPECT_EQ(flushOp, row.flushOp);
  }
}

struct CloseCase {
  const char* name;
  TextStream* stream;
  bool openFirst;
  std::int32_t result;
  std::int32_t stored;
};

TEST_F(TextStreams, ClosingAndFlushingAClosedStream) {
  TextStream other{};
  other.openMode = ModeClosed;
  const CloseCase closeCases[] = {
      {"closed Input", &Input, false, 0, 0},
      {"closed Output", &Output, false, 0, 103},
      {"closed ErrorStream", &ErrorStream, false, 0, 103},
      {"closed other stream", &other, false, 0, 103},
      {"open Input", &Input, true, 0, 0},
      {"open Output", &Output, true, 0, 0},
  };
  for (const CloseCase& row : closeCases) {
    SCOPED_TRACE(row.name);
    FreshStreams();
    if (row.openFirst) {
      OpenStream(*row.stream, row.stream == &Input ? ModeInput : ModeOutput);
    }
    EXPECT_EQ(CloseStream(*row.stream), row.result);
    EXPECT_EQ(IoResultCode, row.stored);
    if (row.openFirst) {
      EXPECT_NE(row.stream->openMode, ModeClosed);  // a closed standard stream keeps its mode
    }
  }
  const CloseCase flushCases[] = {
      {"closed Output", &Output, false, 0, 0},
      {"closed ErrorStream", &ErrorStream, false, 0, 0},
      {"closed other stream", &other, false, 103, 103},
      {"open Input", &Input, true, 0, 0},
  };
  for (const CloseCase& row : flushCases) {
    SCOPED_TRACE(std::string("flush ") + row.name);
    FreshStreams();
    if (row.openFirst) OpenForReading(*row.stream);
    EXPECT_EQ(FlushStream(*row.stream), row.result);
    EXPECT_EQ(FlushAfterStatement(*row.stream), row.result);
    EXPECT_EQ(IoResultCode, row.stored);
  }
}

TEST_F(TextStreams, AnUnpreparedRecordCannotBeOpened) {
  TextStream unprepared{};
  EXPECT_EQ(OpenForWriting(unprepared), 102);
  EXPECT_EQ(IoResultCode, 102);
  EXPECT_EQ(unprepared.openMode, 0);
}

TEST_F(TextStreams, TheCloseReturnsAFailedFinalWriteOut) {
  const struct {
    Sink sink;
    std::int32_t closeResult;
    std::string all;
  } cases[] = {
      {Sink::Pipe, 0, "waiting"},
      {Sink::File, 0, "waiting"},
      {Sink::DevFull, static_cast<std::int32_t>(ERROR_DISK_FULL), ""},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(static_cast<int>(row.sink));
    std::int32_t stored = -1;
    const Captured out = CaptureOutput(row.sink, [&] {
      PutDynamicString(Output, "waiting");
      stored = CloseStream(Output) == 0 ? IoResultCode : TakeIoResult();
      // The output close of the capture now finds nothing waiting.
    });
    EXPECT_EQ(stored, row.closeResult);
    EXPECT_EQ(out.all, row.all);
    EXPECT_EQ(out.closeResult, 0);
  }
}

TEST_F(TextStreams, AFailedOpenIsTriedAgainByTheNextWrite) {
  std::uint16_t modeWithout = 0;
  const Captured out = CaptureOutput(Sink::Pipe, [&] {
    {
      streamtest::Redirect none(1, -1);
      PutChar(Output, 'x');
      modeWithout = Output.openMode;
    }
    IoResultCode = 0;
    PutChar(Output, 'y');
  });
  EXPECT_EQ(modeWithout, ModeClosed);
  EXPECT_EQ(out.openMode, ModeOutput);
  EXPECT_EQ(out.all, "y");
}

// The run-time error that CheckIoResult raises, caught by a test hook.
struct IoErrorRaised {
  RuntimeErrorKind kind;
  void* location;
  std::int32_t pendingCode;
};

void ThrowIoError(RuntimeErrorKind kind, void* location) { throw IoErrorRaised{kind, location, IoResultCode}; }

class RuntimeErrorCatcher {
 public:
  RuntimeErrorCatcher() : saved_(RuntimeErrorHook) { RuntimeErrorHook = ThrowIoError; }
  ~RuntimeErrorCatcher() { RuntimeErrorHook = saved_; }
  RuntimeErrorCatcher(const RuntimeErrorCatcher&) = delete;
  RuntimeErrorCatcher& operator=(const RuntimeErrorCatcher&) = delete;

 private:
  void (*saved_)(RuntimeErrorKind, void*);
};

__attribute__((noinline)) void StatementThatChecks() {
  CheckIoResult();
  asm volatile("");  // keeps the call from becoming a jump
}

TEST_F(TextStreams, TheCheckRaisesThePendingCodeAtTheCallingStatement) {
  const RuntimeErrorCatcher catcher;
  for (const std::int32_t code : {0, 5, 103, 105, 106, 112}) {
    SCOPED_TRACE(code);
    IoResultCode = code;
    bool raised = false;
    try {
      StatementThatChecks();
    } catch (const IoErrorRaised& error) {
      raised = true;
      EXPECT_EQ(error.kind, RuntimeErrorKind::IoFailure);
      EXPECT_EQ(error.pendingCode, code);  // the error path takes the code, not the check
      const auto location = reinterpret_cast<std::uintptr_t>(error.location);
      const auto statement = reinterpret_cast<std::uintptr_t>(&StatementThatChecks);
      EXPECT_GT(location, statement);
      EXPECT_LT(location, statement + 64);
    }
    EXPECT_EQ(raised, code != 0);
  }
}

TEST_F(TextStreams, AnUnreadableInputFailsAtEachRead) {
  // An input handle is not examined by the open: a write-only standard
  // input fails in ReadFile, and every read tries again.
  streamtest::Redirect input(0, open("/dev/null", O_WRONLY));
  EXPECT_EQ(OpenForReading(Input), 0);
  EXPECT_TRUE(ReadCharacter(Input).atEnd);
  EXPECT_EQ(IoResultCode, static_cast<std::int32_t>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(FileCalls.readFileCalls, 1);
  IoResultCode = 0;
  EXPECT_TRUE(ReadCharacter(Input).atEnd);  // the next read tries again
  EXPECT_EQ(FileCalls.readFileCalls, 2);
}

}  // namespace
