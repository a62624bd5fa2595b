#include "streams/text_output.h"

#include <cstring>

using x87::Extended;

namespace {

constexpr std::int32_t BlankBlockSize = 64;
constexpr char BlankBlock[BlankBlockSize + 1] = "                                                                ";
static_assert(sizeof BlankBlock - 1 == BlankBlockSize);

// Runs the transfer operation of a full buffer; false after a failure.
bool DrainFullBuffer(TextStream& stream) {
  const std::int32_t result = stream.transferOp(stream);
  if (result != 0) {
    SetIoResult(result);
    return false;
  }
  return true;
}

}  // namespace

TextStream& PutBytes(TextStream& stream, const void* source, std::int32_t count) {
  // Step 1: the stream must be open for writing.
  if (!ReadyFor(stream, ModeOutput)) {
    return stream;
  }
  const auto* bytes = static_cast<const std::uint8_t*>(source);
  std::uint32_t left = count > 0 ? static_cast<std::uint32_t>(count) : 0;
  for (;;) {
    // Steps 2 and 3: what fits with room to spare is only copied.
    const std::uint32_t room = stream.bufferSize - stream.position;
    if (room > left) {
      std::memcpy(stream.bufferData + stream.position, bytes, left);
      stream.position += left;
      return stream;
    }
    // Step 4: fill the buffer, drain it, go on with the rest.
    std::memcpy(stream.bufferData + stream.position, bytes, room);
    stream.position += room;
    bytes += room;
    left -= room;
    if (!DrainFullBuffer(stream)) {
      return stream;
    }
  }
}

TextStream& PutBlanks(TextStream& stream, std::int32_t count) {
  // Step 1: whole blocks while no code is pending.
  while (count > BlankBlockSize) {
    PutBytes(stream, BlankBlock, BlankBlockSize);
    count -= BlankBlockSize;
    if (IoResultCode != 0) {
      return stream;
    }
  }
  // Step 2: the blanks that remain.
  if (count > 0) {
    PutBytes(stream, BlankBlock, count);
  }
  return stream;
}

TextStream& PutChar(TextStream& stream, char character) {
  // Step 1: the stream must be open for writing.
  if (!ReadyFor(stream, ModeOutput)) {
    return stream;
  }
  // Steps 2 and 3: a full buffer is drained first, and the character is
  // left in a buffer it fills.
  if (stream.position >= stream.bufferSize && !DrainFullBuffer(stream)) {
    return stream;
  }
  stream.bufferData[stream.position++] = static_cast<std::uint8_t>(character);
  return stream;
}

TextStream& PutPaddedText(TextStream& stream, const ShortString& text, std::int32_t width) {
  PutBlanks(stream, width - text.length);
  return PutBytes(stream, text.characters, text.length);
}

TextStream& PutDynamicString(TextStream& stream, std::string_view text, std::int32_t width) {
  const auto length = static_cast<std::int32_t>(text.size());
  PutBlanks(stream, width - length);
  return PutBytes(stream, text.data(), length);
}

TextStream& PutLineEnd(TextStream& stream) {
  // Step 1: the stream is opened first, since opening sets its line style.
  if (!ReadyFor(stream, ModeOutput)) {
    return stream;
  }
  if ((stream.styleFlags & CrLfStyle) != 0) {
    PutBytes(stream, "\r\n", 2);
  } else {
    PutBytes(stream, "\n", 1);
  }
  // Step 2: on a console the line goes out now.
  FlushAfterStatement(stream);
  return stream;
}

TextStream& WriteReal(TextStream& stream, std::int32_t width, std::int32_t decimals, Extended value) {
  ShortString text;
  RealToText(width, decimals, value, text);
  return PutPaddedText(stream, text, width);
}
