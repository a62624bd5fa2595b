#include "end_to_end/program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include "support/descriptors.h"

namespace endtoend {
namespace {

const char* const Program = ANGLECONV_BINARY;

// Replaces the child with the program and its arguments, under the emulator
// when the program is built for another CPU.
[[noreturn]] void ExecProgram(const std::vector<std::string>& programArguments = {}) {
  std::vector<char*> arguments;
#ifdef ANGLECONV_EMULATOR
  arguments.push_back(const_cast<char*>(ANGLECONV_EMULATOR));
#endif
  arguments.push_back(const_cast<char*>(Program));
  for (const std::string& argument : programArguments) {
    arguments.push_back(const_cast<char*>(argument.c_str()));
  }
  arguments.push_back(nullptr);
  execvp(arguments[0], arguments.data());
  _exit(127);
}

// One standard handle of the child: what the child gets, and how the
// parent collects what was written to it.
struct OutputChannel {
  explicit OutputChannel(OutputKind outputKind) : kind(outputKind), pipe(false) {
    if (kind == OutputKind::File) {
      file = testio::FileWith("");
    }
  }
  ~OutputChannel() {
    if (file >= 0) {
      close(file);
    }
  }
  OutputChannel(const OutputChannel&) = delete;
  OutputChannel& operator=(const OutputChannel&) = delete;

  std::string Written() const { return kind == OutputKind::File ? testio::ReadAll(file) : collected; }

  OutputKind kind;
  int file = -1;
  testio::Channel pipe;
  std::string collected;
};

void ConnectOutputInChild(const OutputChannel& channel, int target) {
  switch (channel.kind) {
    case OutputKind::File:
      dup2(channel.file, target);
      break;
    case OutputKind::Pipe:
      dup2(channel.pipe.far, target);
      break;
    case OutputKind::DevFull:
      dup2(open("/dev/full", O_WRONLY), target);
      break;
    case OutputKind::Closed:
      break;  // closed last, so that no open above can take its number
  }
}

void CollectPipe(OutputChannel& channel, long closeAfter, std::promise<void>* closed = nullptr) {
  close(channel.pipe.TakeFar());
  char buffer[4096];
  for (;;) {
    std::size_t wanted = sizeof buffer;
    if (closeAfter >= 0) {
      const long left = closeAfter - static_cast<long>(channel.collected.size());
      if (left <= 0) {
        break;
      }
      wanted = std::min(wanted, static_cast<std::size_t>(left));
    }
    const ssize_t n = read(channel.pipe.near, buffer, wanted);
    if (n <= 0) {
      break;
    }
    channel.collected.append(buffer, static_cast<std::size_t>(n));
  }
  close(channel.pipe.TakeNear());
  if (closed != nullptr) {
    closed->set_value();
  }
}

void WriteAll(int descriptor, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = write(descriptor, text.data() + written, text.size() - written);
    if (n <= 0) {
      break;
    }
    written += static_cast<std::size_t>(n);
  }
}

}  // namespace

std::string CrLf(const std::string& text) {
  std::string converted;
  for (char c : text) {
    if (c == '\n') {
      converted += '\r';
    }
    converted += c;
  }
  return converted;
}

ProgramRun RunAngleconv(const std::string& input, const RunOptions& options) {
  signal(SIGPIPE, SIG_IGN);
  const int inputFile = options.input == InputKind::File ? testio::FileWith(input) : -1;
  testio::Channel inputPipe(false);
  OutputChannel output(options.output);
  OutputChannel error(options.error);

  const pid_t child = fork();
  if (child == 0) {
    switch (options.input) {
      case InputKind::File:
        dup2(inputFile, 0);
        break;
      case InputKind::Pipe:
        dup2(inputPipe.near, 0);
        break;
      case InputKind::Closed:
        break;  // closed last, so that no open below can take its number
      case InputKind::Directory:
        dup2(open("/tmp", O_RDONLY | O_DIRECTORY), 0);
        break;
    }
    ConnectOutputInChild(output, 1);
    ConnectOutputInChild(error, 2);
    if (options.input == InputKind::Closed) {
      close(0);
    }
    if (output.kind == OutputKind::Closed) {
      close(1);
    }
    if (error.kind == OutputKind::Closed) {
      close(2);
    }
    for (int descriptor = 3; descriptor < 64; ++descriptor) {
      close(descriptor);
    }
    if (options.addressSpaceLimit != 0) {
      const rlimit limit{options.addressSpaceLimit, options.addressSpaceLimit};
      setrlimit(RLIMIT_AS, &limit);
    }
    ExecProgram(options.arguments);
  }

  std::promise<void> outputClosed;
  std::thread writer;
  close(inputPipe.TakeNear());
  if (options.input == InputKind::Pipe) {
    writer = std::thread([&] {
      WriteAll(inputPipe.far, input);
      if (!options.inputAfterOutputClosed.empty()) {
        outputClosed.get_future().wait();
        WriteAll(inputPipe.far, options.inputAfterOutputClosed);
      }
      close(inputPipe.TakeFar());
    });
  }
  std::thread errorReader;
  if (error.kind == OutputKind::Pipe) {
    errorReader = std::thread([&] { CollectPipe(error, -1); });
  }
  if (output.kind == OutputKind::Pipe) {
    CollectPipe(output, options.closeOutputAfter, &outputClosed);
  }

  int status = 0;
  waitpid(child, &status, 0);
  if (writer.joinable()) {
    writer.join();
  }
  if (errorReader.joinable()) {
    errorReader.join();
  }

  ProgramRun run;
  run.standardOutput = output.Written();
  run.standardError = error.Written();
  if (WIFEXITED(status)) {
    run.exitStatus = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    run.signal = WTERMSIG(status);
  }
  if (inputFile >= 0) {
    close(inputFile);
  }
  return run;
}

TerminalSession::TerminalSession() {
  // A line-buffered terminal without echo or output processing: Enter
  // delivers a line ending in LF, and the program's bytes arrive unchanged.
  termios settings{};
  cfmakeraw(&settings);
  settings.c_lflag |= ICANON;
  settings.c_iflag |= ICRNL;
  child_ = forkpty(&master_, nullptr, &settings, nullptr);
  if (child_ == 0) {
    ExecProgram();
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

bool TerminalSession::WaitFor(const std::string& text) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (transcript_.find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    ReadSome(100);
  }
  return true;
}

void TerminalSession::Type(const std::string& line) {
  const std::string keys = line + "\r";
  if (write(master_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
    throw std::runtime_error("typing failed");
  }
}

int TerminalSession::Finish() {
  while (ReadSome(200)) {
  }
  int status = 0;
  waitpid(child_, &status, 0);
  child_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace endtoend
