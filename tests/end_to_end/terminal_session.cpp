#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "end_to_end/program_runner.h"

namespace endtoend {

TerminalSession::TerminalSession(const std::vector<std::string>& arguments) {
  // A line-buffered terminal without echo or output processing: Enter
  // delivers a line ending in LF, and the program's bytes arrive unchanged.
  termios settings{};
  cfmakeraw(&settings);
  settings.c_lflag |= ICANON;
  settings.c_iflag |= ICRNL;
  // Ctrl-D hands over the line typed so far, or, at its start, an empty
  // read: the end of the input.
  settings.c_cc[VEOF] = 4;
  child_ = forkpty(&master_, nullptr, &settings, nullptr);
  if (child_ == 0) {
    ExecProgram(arguments);
  }
  if (child_ < 0) {
    throw std::runtime_error("forkpty failed");
  }
}

TerminalSession::~TerminalSession() {
  if (child_ > 0) {
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
  }
  if (master_ >= 0) {
    close(master_);
  }
}

bool TerminalSession::ReadSome(int timeoutMilliseconds) {
  pollfd descriptor{master_, POLLIN, 0};
  if (poll(&descriptor, 1, timeoutMilliseconds) <= 0) {
    return false;
  }
  char buffer[512];
  const ssize_t n = read(master_, buffer, sizeof buffer);
  if (n <= 0) {
    return false;
  }
  transcript_.append(buffer, static_cast<std::size_t>(n));
  return true;
}

namespace {

// The text without carriage returns and without blanks before a line end.
std::string AsShown(const std::string& text) {
  std::string shown;
  for (const char c : text) {
    if (c == '\n') {
      shown.erase(shown.find_last_not_of(' ') + 1);
    }
    if (c != '\r') {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

std::string TerminalSession::Screen() const {
  std::string shown;
  for (std::size_t i = 0; i < transcript_.size(); ++i) {
    if (transcript_.compare(i, 2, "\x1b[") == 0) {
      const std::size_t end = transcript_.find_first_not_of("0123456789;?", i + 2);
      if (end != std::string::npos && transcript_[end] == 'C') {
        shown.append(end > i + 2 ? std::stoul(transcript_.substr(i + 2, end - i - 2)) : 1, ' ');
      }
      i = end;
    } else {
      shown += transcript_[i];
    }
  }
  return AsShown(shown);
}

bool TerminalSession::WaitFor(const std::string& text) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  const std::string sought = ProgramRunsUnderWine ? AsShown(text) : text;
  while ((ProgramRunsUnderWine ? Screen() : transcript_).find(sought) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    ReadSome(100);
  }
  return true;
}

void TerminalSession::Type(const std::string& line) {
  // Wine's console takes the terminal over only when the program reads;
  // keys typed ahead of that reach it as they were typed, Enter as Ctrl+J.
  if (ProgramRunsUnderWine) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  Press(line + "\r");
}

void TerminalSession::Press(const std::string& keys) {
  if (write(master_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
    throw std::runtime_error("typing failed");
  }
}

int TerminalSession::Finish() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int status = 0;
  while (waitpid(child_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      return -1;
    }
    ReadSome(100);
  }
  child_ = -1;
  while (ReadSome(200)) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace endtoend
