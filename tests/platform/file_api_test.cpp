// Conformance of the handle calls: what a Windows console process sees
// through GetStdHandle, GetFileType, ReadFile and WriteFile, here on real
// POSIX descriptors.
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <thread>

#include "platform/file_api.h"

namespace {

HANDLE HandleOfDescriptor(int descriptor) {
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(descriptor) + 1);
}

// Puts `replacement` on descriptor `target` (closes it when negative) for
// the length of a scope.
class Redirect {
 public:
  Redirect(int target, int replacement) : target_(target), saved_(dup(target)) {
    if (replacement >= 0) {
      dup2(replacement, target);
      close(replacement);
    } else {
      close(target);
    }
  }
  ~Redirect() {
    dup2(saved_, target_);
    close(saved_);
  }
  Redirect(const Redirect&) = delete;
  Redirect& operator=(const Redirect&) = delete;

 private:
  int target_;
  int saved_;
};

TEST(ErrorTable, TranslatesTheHostErrorsThatTheStreamsMeet) {
  const struct {
    int errnoValue;
    DWORD windowsError;
  } cases[] = {
      {0, ERROR_SUCCESS},           {EBADF, ERROR_INVALID_HANDLE}, {EACCES, ERROR_ACCESS_DENIED},
      {EPERM, ERROR_ACCESS_DENIED}, {ENOSPC, ERROR_DISK_FULL},     {EDQUOT, ERROR_DISK_FULL},
      {EPIPE, ERROR_NO_DATA},       {EISDIR, ERROR_DIRECTORY},     {EIO, ERROR_GEN_FAILURE},
      {EFBIG, ERROR_GEN_FAILURE},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.errnoValue);
    EXPECT_EQ(WindowsErrorFromErrno(row.errnoValue), row.windowsError);
  }
}

TEST(GetStdHandle, AnswersEachOpenStandardDescriptorAndRefusesAClosedOne) {
  const struct {
    DWORD which;
    int descriptor;
  } cases[] = {{STD_INPUT_HANDLE, 0}, {STD_OUTPUT_HANDLE, 1}, {STD_ERROR_HANDLE, 2}};
  for (const auto& row : cases) {
    SCOPED_TRACE(row.descriptor);
    const HANDLE open = GetStdHandle(row.which);
    EXPECT_NE(open, INVALID_HANDLE_VALUE);
    EXPECT_NE(open, nullptr);  // descriptor 0 too
    HANDLE closed = nullptr;
    DWORD error = 0;
    {
      Redirect gone(row.descriptor, -1);
      SetLastError(0);
      closed = GetStdHandle(row.which);
      error = GetLastError();
    }
    EXPECT_EQ(closed, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error, ERROR_INVALID_HANDLE);
  }
}

TEST(GetFileType, TellsConsolesFromPipesFromFiles) {
  int master = -1;
  int slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  int sockets[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sockets), 0);
  char name[] = "/tmp/angleconv-type-XXXXXX";
  const int file = mkstemp(name);
  unlink(name);
  const int devNull = open("/dev/null", O_RDWR);
  const int directory = open("/tmp", O_RDONLY | O_DIRECTORY);
  const struct {
    const char* name;
    HANDLE handle;
    DWORD type;
  } cases[] = {
      {"terminal", HandleOfDescriptor(slave), FILE_TYPE_CHAR},
      {"pipe", HandleOfDescriptor(ends[0]), FILE_TYPE_PIPE},
      {"socket", HandleOfDescriptor(sockets[0]), FILE_TYPE_PIPE},
      {"file", HandleOfDescriptor(file), FILE_TYPE_DISK},
      {"directory", HandleOfDescriptor(directory), FILE_TYPE_DISK},
      {"/dev/null is no console", HandleOfDescriptor(devNull), FILE_TYPE_DISK},
      {"null handle", nullptr, FILE_TYPE_UNKNOWN},
      {"invalid handle", INVALID_HANDLE_VALUE, FILE_TYPE_UNKNOWN},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(GetFileType(row.handle), row.type);
  }
  for (int descriptor : {master, slave, ends[0], ends[1], sockets[0], sockets[1], file, devNull, directory}) {
    close(descriptor);
  }
}

struct CallResult {
  BOOL succeeded;
  DWORD count;
  DWORD error;
};

CallResult Write(HANDLE handle, const std::string& bytes) {
  SetLastError(0);
  DWORD written = 0;
  const BOOL succeeded = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  return {succeeded, written, GetLastError()};
}

CallResult Read(HANDLE handle, char* buffer, DWORD size) {
  SetLastError(0);
  DWORD read = 0;
  const BOOL succeeded = ReadFile(handle, buffer, size, &read, nullptr);
  return {succeeded, read, GetLastError()};
}

TEST(ReadFile, EndsOfDataAndFailures) {
  int finished[2];
  ASSERT_EQ(pipe(finished), 0);
  ASSERT_EQ(write(finished[1], "ab", 2), 2);
  close(finished[1]);
  const int writeOnly = open("/dev/null", O_WRONLY);
  const int directory = open("/tmp", O_RDONLY | O_DIRECTORY);
  char buffer[128];
  const struct {
    const char* name;
    HANDLE handle;
    CallResult expected;
  } cases[] = {
      {"pipe with data", HandleOfDescriptor(finished[0]), {TRUE, 2, 0}},
      {"pipe whose writer has gone", HandleOfDescriptor(finished[0]), {TRUE, 0, 0}},
      {"write-only descriptor", HandleOfDescriptor(writeOnly), {FALSE, 0, ERROR_INVALID_HANDLE}},
      {"directory", HandleOfDescriptor(directory), {FALSE, 0, ERROR_DIRECTORY}},
      {"null handle", nullptr, {FALSE, 0, ERROR_INVALID_HANDLE}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    const CallResult result = Read(row.handle, buffer, sizeof buffer);
    EXPECT_EQ(result.succeeded, row.expected.succeeded);
    EXPECT_EQ(result.count, row.expected.count);
    EXPECT_EQ(result.error, row.expected.error);
  }
  for (int descriptor : {finished[0], writeOnly, directory}) close(descriptor);
}

TEST(WriteFile, FailuresBecomeErrorNumbersNeverSignals) {
  int readerGone[2];
  ASSERT_EQ(pipe(readerGone), 0);
  close(readerGone[0]);  // without SIGPIPE ignored, the write would end the process
  const int full = open("/dev/full", O_WRONLY);
  const int readOnly = open("/dev/null", O_RDONLY);
  const struct {
    const char* name;
    HANDLE handle;
    DWORD error;
  } cases[] = {
      {"pipe without reader", HandleOfDescriptor(readerGone[1]), ERROR_NO_DATA},
      {"/dev/full", HandleOfDescriptor(full), ERROR_DISK_FULL},
      {"read-only descriptor", HandleOfDescriptor(readOnly), ERROR_INVALID_HANDLE},
      {"invalid handle", INVALID_HANDLE_VALUE, ERROR_INVALID_HANDLE},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    const CallResult result = Write(row.handle, "data");
    EXPECT_EQ(result.succeeded, FALSE);
    EXPECT_EQ(result.error, row.error);
  }
  for (int descriptor : {readerGone[1], full, readOnly}) close(descriptor);
}

// A timer signal without restart interrupts blocked reads and writes over
// and over, so that a call must retry EINTR and short writes to succeed.
class InterruptingTimer {
 public:
  InterruptingTimer() {
    struct sigaction action{};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART
    sigaction(SIGALRM, &action, &saved_);
    const itimerval every{{0, 500}, {0, 500}};
    setitimer(ITIMER_REAL, &every, nullptr);
  }
  ~InterruptingTimer() {
    const itimerval stop{};
    setitimer(ITIMER_REAL, &stop, nullptr);
    sigaction(SIGALRM, &saved_, nullptr);
  }
  InterruptingTimer(const InterruptingTimer&) = delete;
  InterruptingTimer& operator=(const InterruptingTimer&) = delete;

 private:
  struct sigaction saved_{};
};

// Runs `work` on a thread that never receives the timer signal.
std::thread ThreadWithoutTimer(std::function<void()> work) {
  sigset_t alarm, previous;
  sigemptyset(&alarm);
  sigaddset(&alarm, SIGALRM);
  pthread_sigmask(SIG_BLOCK, &alarm, &previous);
  std::thread thread(std::move(work));
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return thread;
}

TEST(WriteFile, WritesTheWholeBlockThroughInterruptionsAndShortWrites) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::string block(4 << 20, '\0');
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + i / 4096);
  std::string received;
  std::thread reader = ThreadWithoutTimer([&] {
    char buffer[1000];  // small reads keep the writer blocked, and interrupted
    ssize_t n;
    while ((n = read(ends[0], buffer, sizeof buffer)) > 0) received.append(buffer, static_cast<std::size_t>(n));
  });
  CallResult result{};
  {
    const InterruptingTimer timer;
    result = Write(HandleOfDescriptor(ends[1]), block);
  }
  close(ends[1]);
  reader.join();
  close(ends[0]);
  EXPECT_EQ(result.succeeded, TRUE);
  EXPECT_EQ(result.count, block.size());
  EXPECT_TRUE(received == block) << "received " << received.size() << " of " << block.size() << " bytes";
}

TEST(ReadFile, WaitsThroughInterruptionsForTheData) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::thread writer = ThreadWithoutTimer([&] {
    usleep(50000);
    if (write(ends[1], "7\r\n", 3) != 3) std::abort();
  });
  char buffer[128];
  CallResult result{};
  {
    const InterruptingTimer timer;
    result = Read(HandleOfDescriptor(ends[0]), buffer, sizeof buffer);
  }
  writer.join();
  close(ends[0]);
  close(ends[1]);
  EXPECT_EQ(result.succeeded, TRUE);
  EXPECT_EQ(std::string(buffer, result.count), "7\r\n");
}

TEST(FileCalls, CountsEveryReadAndWriteCall) {
  FileCalls = FileCallCounts{};
  char buffer[4];
  DWORD count = 0;
  ReadFile(nullptr, buffer, sizeof buffer, &count, nullptr);
  WriteFile(nullptr, buffer, sizeof buffer, &count, nullptr);
  WriteFile(nullptr, buffer, sizeof buffer, &count, nullptr);
  EXPECT_EQ(FileCalls.readFileCalls, 1);
  EXPECT_EQ(FileCalls.writeFileCalls, 2);
}

}  // namespace
