// One standard output handle of a program run (standard output or error):
// what the child is given for it, and how the parent collects what the
// program wrote there.
#pragma once

#include <chrono>
#include <cstddef>
#include <future>
#include <string>

#include "end_to_end/program_runner.h"
#include "support/descriptors.h"

namespace endtoend {

// How long a slow peer of the program waits before it writes or reads.
inline constexpr auto PeerPause = std::chrono::milliseconds(300);

inline bool IsFile(OutputKind kind) { return kind == OutputKind::File || kind == OutputKind::FileBeyondSizeLimit; }

inline bool IsPipe(OutputKind kind) { return kind == OutputKind::Pipe || kind == OutputKind::NonBlockingPipe; }

// What the child gets, and how the parent collects what was written to it.
struct OutputChannel {
  explicit OutputChannel(OutputKind outputKind);
  ~OutputChannel();
  OutputChannel(const OutputChannel&) = delete;
  OutputChannel& operator=(const OutputChannel&) = delete;

  std::string Written() const { return IsFile(kind) ? testio::ReadAll(file) : collected; }

  OutputKind kind;
  int file = -1;
  testio::Channel pipe;
  std::string collected;
  std::size_t filler = 0;  // bytes in the pipe before the program starts
};

// In the child: the channel becomes descriptor `target` (a closed one is
// left for the caller to close last, so that no open can take its number).
void ConnectOutputInChild(const OutputChannel& channel, int target);

// In the parent: reads the pipe until the program closes it, or until
// `closeAfter` bytes when that is not negative, then closes it and sets
// `closed` when given.
void CollectPipe(OutputChannel& channel, long closeAfter, std::promise<void>* closed = nullptr);

}  // namespace endtoend
