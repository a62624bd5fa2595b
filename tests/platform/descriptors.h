// Real descriptors for tests: a standard descriptor replaced for a scope,
// pipes, files and a raw pseudo-terminal.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>

namespace testio {

// Puts `replacement` on descriptor `target` (closes it when negative) and
// puts the original back at the end of the scope.
class Redirect {
 public:
  Redirect(int target, int replacement) : target_(target), saved_(dup(target)) {
    replacement >= 0 ? (dup2(replacement, target), close(replacement)) : close(target);
  }
  ~Redirect() { dup2(saved_, target_), close(saved_); }
  Redirect(const Redirect&) = delete;
  Redirect& operator=(const Redirect&) = delete;

 private:
  int target_, saved_;
};

// An unnamed file holding `contents`, positioned at its start.
inline int FileWith(const std::string& contents) {
  char name[] = "/tmp/angleconv-test-XXXXXX";
  const int file = mkstemp(name);
  if (file < 0 || write(file, contents.data(), contents.size()) != static_cast<ssize_t>(contents.size())) std::abort();
  unlink(name);
  lseek(file, 0, SEEK_SET);
  return file;
}

// The whole contents of a file, whatever its offset.
inline std::string ContentsOf(int file) {
  std::string bytes;
  char buffer[512];
  for (ssize_t n; (n = pread(file, buffer, sizeof buffer, static_cast<off_t>(bytes.size()))) > 0;) {
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

// What can be read from `descriptor` until nothing more comes for 50 ms (a
// terminal passes bytes on asynchronously).
inline std::string Collect(int descriptor) {
  std::string bytes;
  pollfd ready{descriptor, POLLIN, 0};
  char buffer[512];
  ssize_t n = 0;
  while (poll(&ready, 1, 50) > 0 && (ready.revents & POLLIN) && (n = read(descriptor, buffer, sizeof buffer)) > 0) {
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

// Both ends of a pipe, or of a pseudo-terminal in raw mode (bytes pass
// unchanged): `near` is read by the test, `far` is handed to the code.
struct Channel {
  int near = -1, far = -1;
  static Channel Pipe() {
    int ends[2];
    if (pipe(ends) != 0) std::abort();
    return {ends[0], ends[1]};
  }
  static Channel Terminal() {
    Channel channel;
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&channel.near, &channel.far, nullptr, &raw, nullptr) != 0) std::abort();
    return channel;
  }
  int TakeFar() { return std::exchange(far, -1); }
  void Close() {
    for (int* end : {&near, &far}) {
      if (*end >= 0) close(std::exchange(*end, -1));
    }
  }
};

}  // namespace testio
