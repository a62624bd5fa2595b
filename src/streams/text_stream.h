// The buffered text stream record, the three standard streams, the pending
// I/O result code and the operations that open, fill, drain, flush and
// close a stream. Stream operations never raise: they store a code and
// carry on; only CheckIoResult, after a statement, raises.
#pragma once

#include <cstdint>

#include "core/io_result.h"
#include "core/runtime_error.h"
#include "platform/windows_types.h"

struct TextStream;

// A stream operation: 0 for success, otherwise an I/O result code.
using StreamOperation = std::int32_t (*)(TextStream& stream);

inline constexpr std::uint16_t ModeClosed = 0xD7B0;
inline constexpr std::uint16_t ModeInput = 0xD7B1;
inline constexpr std::uint16_t ModeOutput = 0xD7B2;
inline constexpr std::uint16_t ModeInOut = 0xD7B3;

inline constexpr std::uint16_t CrLfStyle = 0x0001;
// In a stream with the CR LF style, the byte that marks the end of the data.
inline constexpr std::uint8_t EndOfDataMarker = 26;
// The readers' other bytes with a meaning: LF ends a line, and every byte up
// to the blank (tab, CR, 26, ...) separates number tokens as a blank does.
inline constexpr std::uint8_t LineFeed = 10;
inline constexpr std::uint8_t Blank = 32;
inline constexpr std::uint32_t StreamBufferSize = 128;

struct TextStream {
  HANDLE osHandle;
  std::uint16_t openMode;
  std::uint16_t styleFlags;
  std::uint32_t bufferSize;
  std::uint32_t position;
  std::uint32_t limit;
  // Reading: the last refill brought no bytes. The dialogue's reader keeps
  // its own end, a byte 26 planted in the buffer; the line reader reads no
  // further once this is set, as a terminal would give more after an end.
  bool dataEnded;
  std::uint8_t* bufferData;
  StreamOperation openOp;
  StreamOperation transferOp;
  StreamOperation flushOp;
  StreamOperation closeOp;
  char fileName[260];
  std::uint8_t inlineBuffer[StreamBufferSize];
};

extern TextStream Input;
extern TextStream Output;
extern TextStream ErrorStream;

// The process-wide default line style: 1, CR LF.
extern std::uint8_t DefaultLineStyle;

// Raises the I/O run-time error when a code is pending, at the location of
// the statement that called it (its own return address).
void CheckIoResult();

// Statement helpers are always inlined, so that every statement has a
// CheckIoResult call of its own, whose return address names that statement
// in an error report.
#define STATEMENT __attribute__((always_inline)) inline

// Opens a stream for writing; on a standard stream that binds it to its
// handle.
std::int32_t OpenForWriting(TextStream& stream);
// The implicit open of a read (`mode` ModeInput) or a write (ModeOutput):
// Input is opened for reading and Output and ErrorStream for writing on
// first use; false, with 104 or 105 stored, when the stream is not open in
// `mode` afterwards.
bool EnsureOpen(TextStream& stream, std::uint16_t mode);
// The open rule of every read and write: EnsureOpen only while the stream
// is not open in `mode`, so that a failed open is tried again next time.
inline bool ReadyFor(TextStream& stream, std::uint16_t mode) {
  return stream.openMode == mode || EnsureOpen(stream, mode);
}
// The one refill of both readers: runs the transfer of a used-up input
// buffer; true when it brought bytes. No bytes is the end of the data
// (`dataEnded` set); a failure stores its code, and the next refill tries
// again.
bool RefillBuffer(TextStream& stream);
std::int32_t FlushStream(TextStream& stream);
std::int32_t FlushAfterStatement(TextStream& stream);
// Writes out what waits and runs the close operation. Closing Input gives
// back the bytes read ahead but not consumed to a seekable handle (a file),
// as C programs leave it at exit, so that the next program reading the same
// open file starts where this one stopped:
// `for i in 1 2 3; do angleconv; done < batch.txt` converts three angles.
std::int32_t CloseStream(TextStream& stream);

// Opens a standard stream in its direction (Input for reading, Output and
// ErrorStream for writing), as its first read or write would, but with a
// buffer of the caller's in place of its own 128 bytes: for a run that moves
// many bytes. False, with the code stored, when it cannot be opened.
bool OpenStandardStream(TextStream& stream, std::uint8_t* buffer, std::uint32_t size);

// Opens `stream` for writing into `buffer` alone: its bytes go nowhere until
// the caller takes them (the first `position` bytes of `bufferData`), so a
// text can be composed whole before it is sent, or dropped. Past `size` - 1
// bytes a write stores 101 and the rest is lost.
void OpenMemoryOutput(TextStream& stream, std::uint8_t* buffer, std::uint32_t size);

// Opens `stream` for reading the `length` bytes at `bytes`, then the end of
// the data.
void OpenMemoryInput(TextStream& stream, std::uint8_t* bytes, std::uint32_t length);

// Start-up: every standard stream in ModeClosed, every other field zero.
void MarkStandardStreamsClosed();

// Writes out what Output holds, as the "Runtime error" report needs before
// its own line; the result is not looked at. Nothing happens unless Output
// is open for writing with bytes waiting.
void DrainOutputForReport();
