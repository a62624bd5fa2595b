#include "end_to_end/program_runner.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include "end_to_end/output_channel.h"
#include "support/descriptors.h"

namespace endtoend {
namespace {

const char* const Program = ANGLECONV_BINARY;

bool IsPipe(InputKind kind) { return kind == InputKind::Pipe || kind == InputKind::NonBlockingPipe; }

// A private mount namespace (in a user namespace of its own where the
// system allows no other) with an empty file system over /proc.
bool HideProc() {
  if (unshare(CLONE_NEWNS) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
    return false;
  }
  return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         mount("none", "/proc", "tmpfs", 0, nullptr) == 0;
}

// In the child: the standard descriptors and limits of the run; every
// other descriptor is closed but `report`. False when a condition could
// not be arranged.
bool ArrangeChild(const RunOptions& options, int inputFile, const testio::Channel& inputPipe,
                  const OutputChannel& output, const OutputChannel& error, int report) {
  switch (options.input) {
    case InputKind::File:
      dup2(inputFile, 0);
      break;
    case InputKind::Pipe:
    case InputKind::NonBlockingPipe:
      dup2(inputPipe.near, 0);
      break;
    case InputKind::Closed:
      break;  // closed last, so that no open below can take its number
    case InputKind::Directory:
      dup2(open("/tmp", O_RDONLY | O_DIRECTORY), 0);
      break;
    case InputKind::DevZero:
      dup2(open("/dev/zero", O_RDONLY), 0);
      break;
    case InputKind::Descriptor:
      dup2(options.inputDescriptor, 0);
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
    if (descriptor != report) {
      close(descriptor);
    }
  }
  if (options.addressSpaceLimit != 0) {
    const rlimit limit{options.addressSpaceLimit, options.addressSpaceLimit};
    setrlimit(RLIMIT_AS, &limit);
  }
  if (output.kind == OutputKind::FileBeyondSizeLimit) {
    const rlimit none{0, 0};
    setrlimit(RLIMIT_FSIZE, &none);
  }
  return !options.withoutProc || HideProc();
}

// Forks the child that runs the program in the conditions asked for. It
// reports on a pipe closed at its exec that it could not arrange them; the
// parent keeps the reading end in arrangement[0].
pid_t StartChild(const RunOptions& options, int inputFile, const testio::Channel& inputPipe,
                 const OutputChannel& output, const OutputChannel& error, int (&arrangement)[2]) {
  if (pipe2(arrangement, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  const pid_t child = fork();
  if (child == 0) {
    close(arrangement[0]);
    if (!ArrangeChild(options, inputFile, inputPipe, output, error, arrangement[1])) {
      (void)!write(arrangement[1], "!", 1);
      _exit(127);
    }
    ExecProgram(options.arguments, options.programName);
  }
  close(arrangement[1]);
  return child;
}

// Writes standard input from a thread when it is a pipe: after a pause for
// a non-blocking one, and in two parts when the second waits for the
// reader of standard output to go.
std::thread FeedInput(const std::string& input, const RunOptions& options, testio::Channel& inputPipe,
                      std::promise<void>& outputClosed) {
  if (!IsPipe(options.input)) {
    return {};
  }
  return std::thread([&input, &options, &inputPipe, &outputClosed] {
    if (options.input == InputKind::NonBlockingPipe) {
      std::this_thread::sleep_for(PeerPause);
    }
    testio::WriteAll(inputPipe.far, input);
    if (!options.inputAfterOutputClosed.empty()) {
      outputClosed.get_future().wait();
      testio::WriteAll(inputPipe.far, options.inputAfterOutputClosed);
    }
    close(inputPipe.TakeFar());
  });
}

// How the child ended, what it wrote, and whether it could arrange the run.
ProgramRun Outcome(int status, const rusage& usage, int arrangement, const OutputChannel& output,
                   const OutputChannel& error) {
  ProgramRun run;
  char failure;
  run.arranged = read(arrangement, &failure, 1) != 1;
  close(arrangement);
  run.peakMemoryKib = usage.ru_maxrss;
  run.standardOutput = output.Written();
  run.standardError = error.Written();
  if (WIFEXITED(status)) {
    run.exitStatus = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    run.signal = WTERMSIG(status);
  }
  return run;
}

}  // namespace

// Replaces the child with the program and its arguments, under the emulator
// when the program is built for another CPU.
void ExecProgram(const std::vector<std::string>& programArguments, const std::string& programName) {
  std::vector<char*> arguments;
  const char* const name = programName.empty() ? Program : programName.c_str();
#ifdef ANGLECONV_EMULATOR
  const char* const file = ANGLECONV_EMULATOR;
  arguments.push_back(const_cast<char*>(file));
  if (!programName.empty()) {
    arguments.push_back(const_cast<char*>("-0"));
    arguments.push_back(const_cast<char*>(name));
  }
  arguments.push_back(const_cast<char*>(Program));
#else
  const char* const file = Program;
  arguments.push_back(const_cast<char*>(name));
#endif
  for (const std::string& argument : programArguments) {
    arguments.push_back(const_cast<char*>(argument.c_str()));
  }
  arguments.push_back(nullptr);
  execvp(file, arguments.data());
  _exit(127);
}

bool RunsUnderWineUnless(const char* reason, const std::string& name) {
  if (!ProgramRunsUnderWine || reason == nullptr) {
    return true;
  }
  std::printf("  %s: skipped under Wine: %s\n", name.c_str(), reason);
  return false;
}

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
  if (options.input == InputKind::NonBlockingPipe) {
    fcntl(inputPipe.near, F_SETFL, O_NONBLOCK);
  }
  OutputChannel output(options.output);
  OutputChannel error(options.error);
  int arrangement[2];
  const pid_t child = StartChild(options, inputFile, inputPipe, output, error, arrangement);

  std::promise<void> outputClosed;
  close(inputPipe.TakeNear());
  std::thread writer = FeedInput(input, options, inputPipe, outputClosed);
  std::thread errorReader;
  if (IsPipe(error.kind)) {
    errorReader = std::thread([&] { CollectPipe(error, -1); });
  }
  if (IsPipe(output.kind)) {
    CollectPipe(output, options.closeOutputAfter, &outputClosed);
  }

  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  for (std::thread* thread : {&writer, &errorReader}) {
    if (thread->joinable()) {
      thread->join();
    }
  }
  if (inputFile >= 0) {
    close(inputFile);
  }
  return Outcome(status, usage, arrangement[0], output, error);
}

}  // namespace endtoend
