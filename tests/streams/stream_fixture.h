// Puts a real descriptor behind a standard handle for the length of a test,
// and gives the standard streams a fresh start.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "platform/file_api.h"
#include "streams/text_stream.h"

namespace streamtest {

// Replaces descriptor `target` by `replacement` (or closes it when
// replacement is negative) and puts the original back on destruction.
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

// A file holding `contents`, opened for reading and writing.
inline int FileWith(const std::string& contents) {
  char name[] = "/tmp/angleconv-stream-XXXXXX";
  const int descriptor = mkstemp(name);
  if (descriptor < 0 || (!contents.empty() && write(descriptor, contents.data(), contents.size()) < 0)) {
    std::abort();
  }
  unlink(name);
  lseek(descriptor, 0, SEEK_SET);
  return descriptor;
}

// The whole contents of a regular file.
inline std::string ReadAll(int file) {
  std::string bytes;
  char buffer[512];
  off_t offset = 0;
  ssize_t n;
  while ((n = pread(file, buffer, sizeof buffer, offset)) > 0) {
    bytes.append(buffer, static_cast<std::size_t>(n));
    offset += n;
  }
  return bytes;
}

// Everything that can be read from `descriptor` now, without waiting.
inline std::string Drain(int descriptor) {
  std::string bytes;
  const int flags = fcntl(descriptor, F_GETFL);
  fcntl(descriptor, F_SETFL, flags | O_NONBLOCK);
  char buffer[512];
  ssize_t n;
  while ((n = read(descriptor, buffer, sizeof buffer)) > 0) {
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  fcntl(descriptor, F_SETFL, flags);
  return bytes;
}

// A pipe; the write end is handed over to a Redirect.
struct Pipe {
  int readEnd = -1;
  int writeEnd = -1;
  Pipe() {
    int ends[2];
    if (pipe(ends) != 0) std::abort();
    readEnd = ends[0];
    writeEnd = ends[1];
  }
  ~Pipe() {
    close(readEnd);
    if (writeEnd >= 0) close(writeEnd);
  }
  int TakeWriteEnd() {
    const int end = writeEnd;
    writeEnd = -1;
    return end;
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
};

// A pseudo-terminal in raw mode, so that the bytes written on the slave
// side arrive unchanged at the master side.
struct Terminal {
  int master = -1;
  int slave = -1;
  Terminal() {
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&master, &slave, nullptr, &raw, nullptr) != 0) std::abort();
  }
  ~Terminal() {
    close(master);
    if (slave >= 0) close(slave);
  }
  int TakeSlave() {
    const int end = slave;
    slave = -1;
    return end;
  }
  // Everything written so far: a terminal passes bytes on asynchronously,
  // so this reads until nothing more comes for a short while.
  std::string Read() const {
    std::string bytes;
    pollfd ready{master, POLLIN, 0};
    char buffer[512];
    while (poll(&ready, 1, 50) > 0 && (ready.revents & POLLIN) != 0) {
      const ssize_t n = read(master, buffer, sizeof buffer);
      if (n <= 0) break;
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
  }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;
};

inline void FreshStreams() {
  MarkStandardStreamsClosed();
  IoResultCode = 0;
  FileCalls = FileCallCounts{};
}

// What a run of writes on Output left behind. The checks are made after
// standard output is back in place, so that a failure report of the test
// framework never lands in the descriptor under test.
enum class Sink { Pipe, Terminal, File, DevFull, Closed };

struct Captured {
  std::string beforeClose;  // bytes that reached the descriptor before the close
  std::string all;          // and after it
  int writeCalls = 0;       // WriteFile calls before the close
  int closeWriteCalls = 0;  // ... made by the close
  std::int32_t code = 0;    // IoResultCode before the close
  std::uint32_t position = 0;
  std::uint16_t openMode = 0;
  std::int32_t closeResult = 0;
};

inline Captured CaptureOutput(Sink sink, const std::function<void()>& writes) {
  FreshStreams();
  Captured result;
  Pipe pipe;
  Terminal terminal;
  int file = -1;
  int replacement = -1;
  switch (sink) {
    case Sink::Pipe:
      replacement = pipe.TakeWriteEnd();
      break;
    case Sink::Terminal:
      replacement = terminal.TakeSlave();
      break;
    case Sink::File:
      file = FileWith("");
      replacement = dup(file);
      break;
    case Sink::DevFull:
      replacement = open("/dev/full", O_WRONLY);
      break;
    case Sink::Closed:
      break;
  }
  auto arrived = [&]() -> std::string {
    switch (sink) {
      case Sink::Pipe:
        return Drain(pipe.readEnd);
      case Sink::Terminal:
        return terminal.Read();
      case Sink::File:
        return ReadAll(file);
      default:
        return "";
    }
  };
  {
    Redirect output(1, replacement);
    writes();
    result.beforeClose = arrived();
    result.writeCalls = FileCalls.writeFileCalls;
    result.code = IoResultCode;
    result.position = Output.position;
    result.openMode = Output.openMode;
    result.closeResult = CloseStream(Output);
    result.closeWriteCalls = FileCalls.writeFileCalls - result.writeCalls;
    result.all = sink == Sink::File ? arrived() : result.beforeClose + arrived();
  }
  if (file >= 0) close(file);
  FreshStreams();
  return result;
}

}  // namespace streamtest
