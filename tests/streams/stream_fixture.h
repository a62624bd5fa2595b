// Runs stream operations on fresh standard streams over real descriptors.
// Results are checked after the descriptor is back in place, so that a
// failure report of the test framework never lands in the one under test.
#pragma once

#include <functional>
#include <string>

#include "platform/file_api.h"
#include "streams/text_stream.h"
#include "support/counted_file_calls.h"
#include "support/descriptors.h"

namespace streamtest {

inline void FreshStreams() {
  MarkStandardStreamsClosed();
  IoResultCode = 0;
  FileCalls = FileCallCounts{};
}

enum class Sink { Pipe, Terminal, DevFull };

struct Captured {
  std::string early, all;  // bytes arrived before the close of Output, and in all
  int writes = 0;          // WriteFile calls before the close
  int closeWrites = 0;
  std::int32_t closeResult = 0;
  std::uint16_t openMode = 0;
};

// Runs `writes` with standard output on `sink`, then closes Output.
inline Captured CaptureOutput(Sink sink, const std::function<void()>& writes) {
  FreshStreams();
  testio::Channel channel(sink == Sink::Terminal);
  Captured out;
  {
    testio::Redirect output(1, sink == Sink::DevFull ? open("/dev/full", O_WRONLY) : channel.TakeFar());
    writes();
    out.early = testio::Collect(channel.near);
    out.writes = FileCalls.writeFileCalls;
    out.openMode = Output.openMode;
    out.closeResult = CloseStream(Output);
    out.closeWrites = FileCalls.writeFileCalls - out.writes;
  }
  out.all = out.early + testio::Collect(channel.near);
  FreshStreams();
  return out;
}

}  // namespace streamtest
