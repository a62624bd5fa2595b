// The two error reports: the text of the exception report, the "Runtime
// error" line on standard output, and how the top-level handler ends the
// process with and without exception support.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <cstdint>
#include <cstring>
#include <string>

#include "core/runtime_error_report.h"
#include "core/top_level_handler.h"
#include "exceptions/reports.h"
#include "exceptions/support_fixture.h"
#include "streams/text_stream.h"

namespace {

#ifdef _WIN32
// The C library's pipe under its POSIX name; on descriptors 0 to 2 its dup2
// also replaces the standard handle.
int pipe(int ends[2]) { return _pipe(ends, 4096, _O_BINARY); }
#endif

__attribute__((noinline)) void* CodeAddressHere() { return CALLER_LOCATION; }

std::string Hex8(std::uintptr_t value) { return FormatToString("%p", {reinterpret_cast<const void*>(value)}); }

// The offset of a code address within this program's image.
std::string ShownOffset(void* location) {
  return Hex8(reinterpret_cast<std::uintptr_t>(location) - reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)));
}

// Collects what a call writes to standard output (descriptor 1).
template <typename Call>
std::string CaptureStandardOutput(Call call) {
  int channel[2];
  if (pipe(channel) != 0) {
    ADD_FAILURE() << "pipe failed";
    return {};
  }
  const int saved = dup(1);
  dup2(channel[1], 1);
  close(channel[1]);
  call();
  dup2(saved, 1);
  close(saved);
  std::string captured;
  char buffer[256];
  ssize_t count;
  while ((count = read(channel[0], buffer, sizeof buffer)) > 0) {
    captured.append(buffer, static_cast<std::size_t>(count));
  }
  close(channel[0]);
  return captured;
}

using ExceptionReport = WithExceptionSupport;

TEST_F(ExceptionReport, NamesClassModuleOffsetAndMessage) {
  void* const code = CodeAddressHere();
  const std::string head = "Exception EInOutError in module " + ThisModule + " at " + ShownOffset(code) + ".\r\n";
  const struct {
    const char* message;
    void* location;
    std::string expected;
  } rows[] = {
      {"Invalid numeric input", code, head + "Invalid numeric input.\r\n"},
      {"Ends with a full stop.", code, head + "Ends with a full stop.\r\n"},
      {"", code, head + "\r\n"},
      {"a.b", code, head + "a.b.\r\n"},
      // Outside every module: the program's own file, the location less 4096.
      {"x", reinterpret_cast<void*>(0x5000),
       "Exception EInOutError in module " + ThisModule + " at 00004000.\r\nx.\r\n"},
      {"x", nullptr, "Exception EInOutError in module " + ThisModule + " at 00000000.\r\nx.\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    auto* error = new EInOutError(std::string(row.message));
    char buffer[1024];
    const std::size_t length = FormatExceptionReport(error, row.location, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, length), row.expected);
    EXPECT_EQ(buffer[length], '\0');
    error->Release();
  }
}

TEST_F(ExceptionReport, IsCutToTheCapacityLessOne) {
  auto* error = new EInOutError(std::string(3000, 'm'));
  const std::string whole =
      "Exception EInOutError in module " + ThisModule + " at 00000000.\r\n" + error->message + ".\r\n";
  for (const std::size_t capacity : {std::size_t{1024}, std::size_t{20}, std::size_t{1}}) {
    SCOPED_TRACE(capacity);
    char buffer[1024];
    const std::size_t length = FormatExceptionReport(error, nullptr, buffer, capacity);
    EXPECT_EQ(length, capacity - 1);
    EXPECT_EQ(std::strlen(buffer), capacity - 1);
    EXPECT_EQ(std::string(buffer, length), whole.substr(0, capacity - 1));
  }
  error->Release();
}

// A process-wide variable, given back its value at the end of a test.
template <typename Value>
struct Restored {
  explicit Restored(Value& target) : variable(target), saved(target) {}
  ~Restored() { variable = saved; }
  Restored(const Restored&) = delete;
  Restored& operator=(const Restored&) = delete;
  Value& variable;
  Value saved;
};

// Puts the reports' process-wide inputs in place for one test.
class RuntimeErrorReport : public ::testing::Test {
 protected:
  void SetUp() override {
    ConsoleFlag = true;
    // As the core unit's start wires it.
    DrainOutputHook = DrainOutputForReport;
  }
  Restored<TextStream> output_{Output};
  Restored<bool> console_{ConsoleFlag};
  Restored<std::int32_t> code_{ProcessExitCode};
  Restored<void*> location_{ErrorLocation};
  Restored<void (*)()> drain_{DrainOutputHook};
};

TEST_F(RuntimeErrorReport, WritesTheCodeRightAlignedAndTheAbsoluteAddress) {
  const struct {
    std::int32_t code;
    std::uintptr_t location;
    const char* expected;
  } rows[] = {
    {2, 0x4012AB, "Runtime error   2 at 004012AB\r\n"},
    {17, 0x4012AB, "Runtime error  17 at 004012AB\r\n"},
    {217, 0x4012AB, "Runtime error 217 at 004012AB\r\n"},
    {232, 0xFFFFFFFF, "Runtime error 232 at FFFFFFFF\r\n"},
    // Wider values lengthen the line instead of overwriting their neighbours.
    {1117, 0x4012AB, "Runtime error 1117 at 004012AB\r\n"},
#if UINTPTR_MAX > 0xFFFFFFFF
    {203, 0x7FFD00001234, "Runtime error 203 at 7FFD00001234\r\n"},
#endif
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    ProcessExitCode = row.code;
    ErrorLocation = reinterpret_cast<void*>(row.location);
    EXPECT_EQ(CaptureStandardOutput(WriteRuntimeErrorReport), row.expected);
  }
}

std::int32_t WriteWaitingBytes(TextStream& stream) {
  const ssize_t written = write(1, stream.bufferData, stream.position);
  stream.position = 0;
  return written < 0 ? 1 : 0;
}

TEST_F(RuntimeErrorReport, WritesWhatOutputHoldsFirst) {
  Output.openMode = ModeOutput;
  Output.bufferData = Output.inlineBuffer;
  std::memcpy(Output.inlineBuffer, "Enter", 5);
  Output.position = 5;
  Output.transferOp = WriteWaitingBytes;
  ProcessExitCode = 217;
  ErrorLocation = reinterpret_cast<void*>(0x401000);
  EXPECT_EQ(CaptureStandardOutput(WriteRuntimeErrorReport), "EnterRuntime error 217 at 00401000\r\n");
}

// In the child of a death test: standard output joins standard error, so
// that one text shows both reports in the order they were written.
void JoinOutputs() {
  ConsoleFlag = true;
  dup2(2, 1);
}

// What the child of a death test must have written to standard error. Under
// Wine the child's standard error does not reach the parent's capture: only
// the exit code is checked there, and the end-to-end tests read the reports.
::testing::Matcher<const std::string&> DeathReport(const std::string& expected) {
#ifdef _WIN32
  (void)expected;
  return ::testing::_;
#else
  return ::testing::StrEq(expected);
#endif
}

TEST(TopLevel, WithoutSupportAnExceptionEndsWithCode217) {
  void* const location = CodeAddressHere();
  const std::string expected = "Runtime error 217 at " + Hex8(reinterpret_cast<std::uintptr_t>(location)) + "\r\n";
  EXPECT_EXIT(
      {
        JoinOutputs();
        auto* error = new EInOutError(std::string("lost"));
        EXCEPTION_RECORD record = CatchRaised([&] { RaiseObject(error, location); });
        HandleAtTopLevel(record);
      },
      ::testing::ExitedWithCode(217), DeathReport(expected));
}

using TopLevelWithSupport = WithExceptionSupport;

std::int32_t FailingWrite(TextStream& stream) {
  stream.position = 0;
  return 232;
}

TEST_F(TopLevelWithSupport, AFailedFlushOfOutputDoesNotReplaceTheReportedException) {
  void* const location = CodeAddressHere();
  const std::string expected = "Exception EInOutError in module " + ThisModule + " at " + ShownOffset(location) +
                               ".\r\nInvalid numeric input.\r\n\r\n";
  EXPECT_EXIT(
      {
        JoinOutputs();
        Output.openMode = ModeOutput;
        Output.bufferData = Output.inlineBuffer;
        Output.position = 5;
        Output.transferOp = FailingWrite;
        SetIoResult(106);
        EXCEPTION_RECORD record = CatchRaised([&] { RaiseRuntimeError(RuntimeErrorKind::IoFailure, location); });
        HandleAtTopLevel(record);
      },
      ::testing::ExitedWithCode(1), DeathReport(expected));
}

}  // namespace
