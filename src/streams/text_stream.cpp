#include "streams/text_stream.h"

#include <cstring>
#include <initializer_list>

#include "platform/file_api.h"

TextStream Input{};
TextStream Output{};
TextStream ErrorStream{};
std::uint8_t DefaultLineStyle = CrLfStyle;

namespace {

bool IsOpenMode(std::uint16_t mode) { return mode == ModeInput || mode == ModeOutput || mode == ModeInOut; }

bool IsModeValue(std::uint16_t mode) { return mode == ModeClosed || IsOpenMode(mode); }

bool IsStandardOutputStream(const TextStream& stream) { return &stream == &Output || &stream == &ErrorStream; }

// The marker that the reader plants alone in the buffer when a refill
// brought nothing: not a byte of the input. (A file whose last byte is a
// lone 26 in its fill looks the same; that byte, unread, would only end the
// next reader's data, which finds the end there anyway.)
bool HoldsPlantedEndMarker(const TextStream& stream) {
  return stream.position == 0 && stream.limit == 1 && stream.bufferData[0] == EndOfDataMarker;
}

std::int32_t StoreResult(std::int32_t result) {
  if (result != 0) {
    SetIoResult(result);
  }
  return result;
}

// Shared by the explicit flush and the end-of-statement flush.
std::int32_t ApplyFlushRule(TextStream& stream, StreamOperation operation) {
  // Step 1: nothing to flush on an input stream.
  if (stream.openMode == ModeInput) {
    return 0;
  }
  // Step 2: an open output stream runs the operation.
  if (stream.openMode == ModeOutput || stream.openMode == ModeInOut) {
    return StoreResult(operation(stream));
  }
  // Step 3: a closed stream; the standard output streams say nothing.
  return StoreResult(IsStandardOutputStream(stream) ? 0 : IoResult::StreamClosed);
}

std::int32_t NoOperation(TextStream& /*stream*/) { return 0; }

// The transfer of a memory input stream: its bytes used up, the data ends.
std::int32_t EndOfMemory(TextStream& stream) {
  stream.position = 0;
  stream.limit = 0;
  return 0;
}

// The transfer of a memory output stream: a full buffer has nowhere to go.
std::int32_t RefuseTransfer(TextStream& /*stream*/) { return IoResult::DiskFull; }

std::int32_t FillBuffer(TextStream& stream) {
  // Step 1: the buffer is empty whatever the read gives.
  stream.position = 0;
  stream.limit = 0;
  // Step 2: one read of at most a buffer.
  DWORD count = 0;
  const BOOL succeeded = ReadFile(stream.osHandle, stream.bufferData, stream.bufferSize, &count, nullptr);
  stream.limit = count;
  // Steps 3 and 4: a pipe whose writer has gone is the end of the data (on
  // POSIX a read gives 0 bytes there; the Windows ReadFile fails with
  // ERROR_BROKEN_PIPE).
  if (succeeded) {
    return 0;
  }
  const DWORD error = GetLastError();
  return error == ERROR_BROKEN_PIPE ? 0 : static_cast<std::int32_t>(error);
}

std::int32_t DrainBuffer(TextStream& stream) {
  // Step 1: nothing waits.
  if (stream.position == 0) {
    return 0;
  }
  // Steps 2 and 3: one write; the bytes are gone whether it succeeded or not.
  DWORD written = 0;
  const BOOL succeeded = WriteFile(stream.osHandle, stream.bufferData, stream.position, &written, nullptr);
  stream.position = 0;
  // Step 4: a failed write is the system's error code.
  return succeeded ? 0 : static_cast<std::int32_t>(GetLastError());
}

// The close operation of Input: the bytes read ahead but not consumed go
// back to a seekable handle; one that cannot seek keeps its position.
// Always 0.
std::int32_t GiveBackReadAhead(TextStream& stream) {
  const std::uint32_t unread = stream.limit - stream.position - (HoldsPlantedEndMarker(stream) ? 1 : 0);
  if (unread > 0 && GetFileType(stream.osHandle) == FILE_TYPE_DISK) {
    SetFilePointer(stream.osHandle, -static_cast<LONG>(unread), nullptr, FILE_CURRENT);
  }
  return 0;
}

// A stream over the caller's memory, empty, without a handle or a line style.
void BindMemory(TextStream& stream, std::uint16_t mode, std::uint8_t* buffer, std::uint32_t size,
                StreamOperation transfer) {
  stream.openMode = mode;
  stream.styleFlags = 0;
  stream.bufferData = buffer;
  stream.bufferSize = size;
  stream.position = 0;
  stream.limit = 0;
  stream.dataEnded = false;
  stream.transferOp = transfer;
  stream.flushOp = NoOperation;
  stream.closeOp = NoOperation;
}

std::int32_t BindStandardHandle(TextStream& stream) {
  // Steps 1 to 3: an empty buffer of the stream's own, operations by mode.
  stream.position = 0;
  stream.limit = 0;
  stream.dataEnded = false;
  stream.transferOp = stream.openMode == ModeInput ? FillBuffer : DrainBuffer;
  stream.flushOp = NoOperation;
  stream.bufferSize = StreamBufferSize;
  stream.bufferData = stream.inlineBuffer;
  stream.closeOp = stream.openMode == ModeInput ? GiveBackReadAhead : NoOperation;
  // Step 4: the standard handle of the stream's direction.
  DWORD which = STD_INPUT_HANDLE;
  if (stream.openMode == ModeOutput) {
    which = &stream == &ErrorStream ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
  }
  const HANDLE handle = GetStdHandle(which);
  // Step 5: without a handle the stream stays closed.
  if (handle == INVALID_HANDLE_VALUE) {
    stream.openMode = ModeClosed;
    return static_cast<std::int32_t>(GetLastError());
  }
  stream.osHandle = handle;
  // Step 6: an input handle is not examined further.
  if (stream.openMode == ModeInput) {
    return 0;
  }
  // Step 7: output to a console goes out at the end of every statement.
  const DWORD type = GetFileType(stream.osHandle);
  if (type == FILE_TYPE_UNKNOWN) {
    CloseHandle(stream.osHandle);
    stream.openMode = ModeClosed;
    return IoResult::NotOpenForWriting;
  }
  if (type == FILE_TYPE_CHAR) {
    stream.flushOp = DrainBuffer;
  }
  return 0;
}

std::int32_t OpenStream(TextStream& stream, std::uint16_t mode) {
  // Step 1: only a prepared record can be opened.
  if (!IsModeValue(stream.openMode)) {
    return StoreResult(IoResult::StreamNotPrepared);
  }
  // Step 2: an open stream is closed first.
  if (stream.openMode != ModeClosed) {
    CloseStream(stream);
  }
  // Steps 3 and 4: the mode, and a stream without a file name is a standard one.
  stream.openMode = mode;
  if (stream.fileName[0] == '\0' && stream.openOp == nullptr) {
    stream.openOp = BindStandardHandle;
  }
  // Steps 5 and 6: the open operation's result is the stream's.
  return StoreResult(stream.openOp(stream));
}

}  // namespace

__attribute__((noinline)) void CheckIoResult() {
  if (IoResultCode != 0) {
    RaiseRuntimeError(RuntimeErrorKind::IoFailure, CALLER_LOCATION);
  }
}

std::int32_t OpenForWriting(TextStream& stream) { return OpenStream(stream, ModeOutput); }

bool EnsureOpen(TextStream& stream, std::uint16_t mode) {
  const bool reading = mode == ModeInput;
  // Step 1: only the standard streams of the direction are opened
  // implicitly, with the default line style.
  if (reading ? &stream == &Input : IsStandardOutputStream(stream)) {
    stream.styleFlags = DefaultLineStyle;
    OpenStream(stream, mode);
  }
  // Step 2: 104 or 105 replaces whatever the open attempt stored.
  if (stream.openMode == mode) {
    return true;
  }
  SetIoResult(reading ? IoResult::NotOpenForReading : IoResult::NotOpenForWriting);
  return false;
}

bool RefillBuffer(TextStream& stream) {
  const std::int32_t result = stream.transferOp(stream);
  stream.dataEnded = result == 0 && stream.limit == 0;
  if (result != 0) {
    SetIoResult(result);
    return false;
  }
  return !stream.dataEnded;
}

std::int32_t FlushStream(TextStream& stream) { return ApplyFlushRule(stream, stream.transferOp); }

std::int32_t FlushAfterStatement(TextStream& stream) { return ApplyFlushRule(stream, stream.flushOp); }

std::int32_t CloseStream(TextStream& stream) {
  // Step 1: write out what waits, then the close operation; the stream
  // keeps its mode and its handle.
  if (IsOpenMode(stream.openMode)) {
    std::int32_t result = 0;
    if (stream.openMode == ModeOutput || stream.openMode == ModeInOut) {
      result = stream.transferOp(stream);
    }
    if (result == 0) {
      result = stream.closeOp(stream);
    }
    return StoreResult(result);
  }
  // Step 2: a closed or unprepared stream; closing a closed Input is silent.
  if (&stream != &Input) {
    SetIoResult(IoResult::StreamClosed);
  }
  return 0;
}

bool OpenStandardStream(TextStream& stream, std::uint8_t* buffer, std::uint32_t size) {
  const bool open = EnsureOpen(stream, &stream == &Input ? ModeInput : ModeOutput);
  if (open) {
    stream.bufferData = buffer;
    stream.bufferSize = size;
  }
  return open;
}

void OpenMemoryOutput(TextStream& stream, std::uint8_t* buffer, std::uint32_t size) {
  BindMemory(stream, ModeOutput, buffer, size, RefuseTransfer);
}

void OpenMemoryInput(TextStream& stream, std::uint8_t* bytes, std::uint32_t length) {
  BindMemory(stream, ModeInput, bytes, length, EndOfMemory);
  stream.limit = length;
}

void MarkStandardStreamsClosed() {
  for (TextStream* stream : {&Input, &Output, &ErrorStream}) {
    std::memset(stream, 0, sizeof *stream);
    stream->openMode = ModeClosed;
  }
}

void DrainOutputForReport() {
  if (Output.openMode == ModeOutput && Output.position > 0 && Output.transferOp != nullptr) {
    Output.transferOp(Output);
  }
}
