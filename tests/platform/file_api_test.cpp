// What a console process sees through the handle calls, on real descriptors.
#include "platform/file_api.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>
#include <thread>

#include "platform/descriptors.h"

namespace {

HANDLE HandleOf(int descriptor) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(descriptor) + 1); }

TEST(FileApi, TranslatesHostErrors) {
  const std::pair<int, DWORD> cases[] = {{0, 0}, {EBADF, 6}, {EACCES, 5}, {EPERM, 5}, {ENOSPC, 112},
                                         {EDQUOT, 112}, {EPIPE, 232}, {EISDIR, 267}, {EIO, 31}};
  for (const auto& [errnoValue, error] : cases) EXPECT_EQ(WindowsErrorFromErrno(errnoValue), error) << errnoValue;
}

TEST(FileApi, GivesAHandleOnlyForAnOpenStandardDescriptor) {
  for (const auto& [which, descriptor] : {std::pair{STD_INPUT_HANDLE, 0}, {STD_OUTPUT_HANDLE, 1}, {STD_ERROR_HANDLE, 2}}) {
    EXPECT_EQ(GetStdHandle(which), HandleOf(descriptor));  // never a null handle, not even for 0
    HANDLE closed;
    {
      testio::Redirect gone(descriptor, -1);
      closed = GetStdHandle(which);
    }
    EXPECT_EQ(closed, INVALID_HANDLE_VALUE) << descriptor;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
}

TEST(FileApi, TellsConsolesFromPipesFromFiles) {
  testio::Channel terminal = testio::Channel::Terminal(), pipe = testio::Channel::Pipe();
  int sockets[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sockets), 0);
  const int file = testio::FileWith(""), devNull = open("/dev/null", O_RDWR);
  const std::pair<HANDLE, DWORD> cases[] = {
      {HandleOf(terminal.far), FILE_TYPE_CHAR}, {HandleOf(pipe.near), FILE_TYPE_PIPE},
      {HandleOf(sockets[0]), FILE_TYPE_PIPE},   {HandleOf(file), FILE_TYPE_DISK},
      {HandleOf(devNull), FILE_TYPE_DISK},  // a character device, but no console
      {nullptr, FILE_TYPE_UNKNOWN},             {INVALID_HANDLE_VALUE, FILE_TYPE_UNKNOWN}};
  for (const auto& [handle, type] : cases) EXPECT_EQ(GetFileType(handle), type) << handle;
  terminal.Close(), pipe.Close(), close(sockets[0]), close(sockets[1]), close(file), close(devNull);
}

TEST(FileApi, AFinishedPipeReadsAsNoBytesAndFailuresAsErrorNumbers) {
  testio::Channel finished = testio::Channel::Pipe(), readerGone = testio::Channel::Pipe();
  ASSERT_EQ(write(finished.far, "ab", 2), 2);
  close(finished.TakeFar());
  close(std::exchange(readerGone.near, -1));  // with SIGPIPE not ignored, writing would end the process
  const int full = open("/dev/full", O_WRONLY), directory = open("/tmp", O_RDONLY | O_DIRECTORY);
  char buffer[128];
  DWORD count = 99;
  EXPECT_TRUE(ReadFile(HandleOf(finished.near), buffer, sizeof buffer, &count, nullptr) && count == 2);
  EXPECT_TRUE(ReadFile(HandleOf(finished.near), buffer, sizeof buffer, &count, nullptr) && count == 0);
  const struct {
    bool reading;
    HANDLE handle;
    DWORD error;
  } failures[] = {{true, HandleOf(directory), ERROR_DIRECTORY}, {true, nullptr, ERROR_INVALID_HANDLE},
                  {false, HandleOf(readerGone.far), ERROR_NO_DATA}, {false, HandleOf(full), ERROR_DISK_FULL},
                  {false, HandleOf(directory), ERROR_INVALID_HANDLE}};
  for (const auto& row : failures) {
    SCOPED_TRACE(row.handle);
    const BOOL succeeded = row.reading ? ReadFile(row.handle, buffer, sizeof buffer, &count, nullptr)
                                       : WriteFile(row.handle, "data", 4, &count, nullptr);
    EXPECT_EQ(succeeded, FALSE);
    EXPECT_EQ(GetLastError(), row.error);
  }
  finished.Close(), readerGone.Close(), close(full), close(directory);
}

// A timer signal without SA_RESTART interrupts a blocked write again and
// again: it sees EINTR and short writes, and must still deliver every byte.
TEST(FileApi, WritesTheWholeBlockThroughInterruptions) {
  testio::Channel pipe = testio::Channel::Pipe();
  std::string block(4 << 20, '\0'), received;
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + i / 4096);
  sigset_t alarm, previous;
  sigemptyset(&alarm), sigaddset(&alarm, SIGALRM);
  pthread_sigmask(SIG_BLOCK, &alarm, &previous);  // the reader thread never takes the signal
  std::thread reader([&] {
    char buffer[1000];
    for (ssize_t n; (n = read(pipe.near, buffer, sizeof buffer)) > 0;) received.append(buffer, static_cast<std::size_t>(n));
  });
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  struct sigaction action{}, saved{};
  action.sa_handler = [](int) {};
  sigaction(SIGALRM, &action, &saved);
  const itimerval every{{0, 500}, {0, 500}}, stop{};
  setitimer(ITIMER_REAL, &every, nullptr);
  DWORD written = 0;
  const BOOL succeeded = WriteFile(HandleOf(pipe.far), block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
  setitimer(ITIMER_REAL, &stop, nullptr);
  sigaction(SIGALRM, &saved, nullptr);
  close(pipe.TakeFar());
  reader.join();
  pipe.Close();
  EXPECT_TRUE(succeeded && written == block.size());
  EXPECT_TRUE(received == block) << received.size() << " of " << block.size() << " bytes";
}

}  // namespace
