// Runs stream operations on fresh standard streams over real descriptors.
// Checks are made after the descriptor is back in place, so that a failure
// report of the test framework never lands in the descriptor under test.
#pragma once

#include <functional>
#include <string>

#include "platform/descriptors.h"
#include "platform/file_api.h"
#include "streams/text_stream.h"

namespace streamtest {

inline void FreshStreams() {
  MarkStandardStreamsClosed();
  IoResultCode = 0;
  FileCalls = FileCallCounts{};
}

enum class Sink { Pipe, Terminal, File, DevFull, Closed };

struct Captured {
  std::string early;  // bytes that arrived before the close of Output
  std::string all;    // and after it
  int writes = 0;     // WriteFile calls before the close
  int closeWrites = 0;
  std::int32_t code = 0;  // IoResultCode before the close
  std::int32_t closeResult = 0;
  std::uint16_t openMode = 0;
};

// Runs `writes` with standard output on `sink`, then closes Output.
inline Captured CaptureOutput(Sink sink, const std::function<void()>& writes) {
  FreshStreams();
  testio::Channel channel = sink == Sink::Terminal ? testio::Channel::Terminal() : testio::Channel::Pipe();
  const int file = testio::FileWith("");
  const int far = sink == Sink::Pipe || sink == Sink::Terminal ? channel.TakeFar()
                  : sink == Sink::File                         ? dup(file)
                  : sink == Sink::DevFull                      ? open("/dev/full", O_WRONLY)
                                                               : -1;
  auto arrived = [&] { return sink == Sink::File ? testio::ContentsOf(file) : testio::Collect(channel.near); };
  Captured out;
  {
    testio::Redirect output(1, far);
    writes();
    out.early = arrived();
    out.writes = FileCalls.writeFileCalls;
    out.code = IoResultCode;
    out.openMode = Output.openMode;
    out.closeResult = CloseStream(Output);
    out.closeWrites = FileCalls.writeFileCalls - out.writes;
  }
  out.all = sink == Sink::File ? arrived() : out.early + arrived();
  channel.Close();
  close(file);
  FreshStreams();
  return out;
}

}  // namespace streamtest
