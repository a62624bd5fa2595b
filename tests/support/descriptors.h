// Real descriptors for tests: a standard descriptor replaced for a scope,
// files, pipes and a raw pseudo-terminal.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace testio {

// The tests replace the standard descriptors for a scope, so each must be
// open to begin with: a test run without standard input (as in CI) gets
// /dev/null in its place, before any test opens a file of its own.
inline const bool StandardDescriptorsOpen = [] {
  for (int descriptor = 0; descriptor < 3; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) < 0 && open("/dev/null", O_RDWR) != descriptor) {
      std::abort();
    }
  }
  return true;
}();

// Puts `replacement` on descriptor `target` (closes it when negative) and
// the original back at the end of the scope.
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

// Everything `descriptor` holds, read from its start.
inline std::string ReadAll(int descriptor) {
  std::string bytes;
  char buffer[4096];
  for (ssize_t n; (n = pread(descriptor, buffer, sizeof buffer, static_cast<off_t>(bytes.size()))) > 0;) {
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

// Fills a pipe in non-blocking mode until it takes no more; returns the
// byte count.
inline std::size_t FillPipe(int descriptor) {
  const std::string block(4096, '#');
  std::size_t filled = 0;
  for (ssize_t n; (n = write(descriptor, block.data(), block.size())) > 0;) {
    filled += static_cast<std::size_t>(n);
  }
  return filled;
}

// All of `text`, through short writes; stops at a failure.
inline void WriteAll(int descriptor, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = write(descriptor, text.data() + written, text.size() - written);
    if (n <= 0) {
      break;
    }
    written += static_cast<std::size_t>(n);
  }
}

// What can be read until nothing more comes for 50 ms (a terminal passes
// bytes on asynchronously).
inline std::string Collect(int descriptor) {
  std::string bytes;
  pollfd ready{descriptor, POLLIN, 0};
  char buffer[512];
  for (ssize_t n; poll(&ready, 1, 50) > 0 && (n = read(descriptor, buffer, sizeof buffer)) > 0;) {
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

// The two ends of a pipe, or of a pseudo-terminal in raw mode (bytes pass
// unchanged): `near` stays with the test, `far` goes to the code under test.
struct Channel {
  int near = -1, far = -1;
  explicit Channel(bool terminal) {
    int ends[2];
    termios raw{};
    cfmakeraw(&raw);
    if (terminal ? openpty(&near, &far, nullptr, &raw, nullptr) : pipe(ends)) std::abort();
    if (!terminal) near = ends[0], far = ends[1];
  }
  ~Channel() {
    if (near >= 0) close(near);
    if (far >= 0) close(far);
  }
  int TakeFar() { return std::exchange(far, -1); }
  int TakeNear() { return std::exchange(near, -1); }
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;
};

}  // namespace testio
