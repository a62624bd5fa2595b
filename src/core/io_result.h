// The I/O result codes that the run-time layer sets of its own accord. Every
// other code it stores is an operating-system error number, taken over as
// the failed call gave it.
#pragma once

#include <cstdint>

namespace IoResult {
enum Code : std::int32_t {
  // A read past the end of the data; kept for its text, nothing sets it.
  ReadBeyondEndOfFile = 100,
  // Also a memory output stream whose buffer is full.
  DiskFull = 101,
  // An open meets a record whose mode is none of the four mode values.
  StreamNotPrepared = 102,
  // A closed stream is flushed or closed.
  StreamClosed = 103,
  NotOpenForReading = 104,
  NotOpenForWriting = 105,
  // A token that is no number.
  InvalidNumericInput = 106,
};
}  // namespace IoResult
