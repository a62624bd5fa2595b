#include "streams/line_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "streams/number_token.h"

using x87::Extended;

namespace {

// Bytes wait at `position`, after a refill when the buffer was used up;
// false at the end of the data, which no later call reads past, or after a
// failed refill (its code stored).
bool BytesWaiting(TextStream& stream) {
  return stream.position < stream.limit || (!stream.dataEnded && RefillBuffer(stream));
}

// The first byte at or below the blank from `from` on, `end` when there is
// none; eight bytes at a time while eight remain.
std::uint8_t* FindBlankOrControl(std::uint8_t* from, const std::uint8_t* end) {
  constexpr std::uint64_t Ones = 0x0101010101010101;
  constexpr std::uint64_t Highs = 0x8080808080808080;
  for (; end - from >= 8; from += 8) {
    std::uint64_t word;
    std::memcpy(&word, from, sizeof word);
    if constexpr (std::endian::native == std::endian::big) {
      word = __builtin_bswap64(word);
    }
    // A byte below Blank + 1 sets its high bit here unless a byte before it
    // did, so the lowest bit set marks the first such byte.
    const std::uint64_t below = (word - Ones * (Blank + 1)) & ~word & Highs;
    if (below != 0) {
      return from + std::countr_zero(below) / 8;
    }
  }
  while (from != end && *from > Blank) {
    ++from;
  }
  return from;
}

// The byte at `at` is 0 while this lives, then what it was, however the
// conversion in between ends.
class TerminatorInPlace {
 public:
  explicit TerminatorInPlace(std::uint8_t* at) : at_(at), saved_(*at) { *at = 0; }
  ~TerminatorInPlace() { *at_ = saved_; }
  TerminatorInPlace(const TerminatorInPlace&) = delete;
  TerminatorInPlace& operator=(const TerminatorInPlace&) = delete;

 private:
  std::uint8_t* at_;
  std::uint8_t saved_;
};

}  // namespace

LineItem SkipToTokenOnLine(TextStream& stream) {
  if (!ReadyFor(stream, ModeInput)) {
    return LineItem::DataEnd;
  }
  for (;;) {
    if (!BytesWaiting(stream)) {
      return LineItem::DataEnd;
    }
    const std::uint8_t byte = stream.bufferData[stream.position];
    if (byte == LineFeed) {
      return LineItem::LineEnd;
    }
    if (byte > Blank) {
      return LineItem::Token;
    }
    ++stream.position;
  }
}

Extended ReadTokenOnLine(TextStream& stream) {
  // Step 1: a token that ends within the buffer is converted where it lies,
  // the byte after it made its terminator meanwhile.
  if (BytesWaiting(stream)) {
    std::uint8_t* const start = stream.bufferData + stream.position;
    std::uint8_t* const end = FindBlankOrControl(start, stream.bufferData + stream.limit);
    if (end != stream.bufferData + stream.limit) {
      const auto length = static_cast<std::size_t>(end - start);
      stream.position += static_cast<std::uint32_t>(length);
      const TerminatorInPlace terminator(end);
      return ConvertNumberToken(reinterpret_cast<const char*>(start), length);
    }
  }
  // Step 2: one that reaches the end of the buffer is collected across
  // fills, as far as it fits.
  char token[NumberTokenCapacity + 1];
  std::size_t length = 0;
  while (BytesWaiting(stream)) {
    std::uint8_t* const start = stream.bufferData + stream.position;
    const std::uint8_t* const limit = stream.bufferData + stream.limit;
    const std::uint8_t* const end = FindBlankOrControl(start, limit);
    const auto taken = static_cast<std::size_t>(end - start);
    if (length < NumberTokenCapacity) {
      std::memcpy(token + length, start, std::min(taken, NumberTokenCapacity - length));
    }
    length += taken;
    stream.position += static_cast<std::uint32_t>(taken);
    if (end != limit) {
      break;
    }
  }
  token[std::min(length, NumberTokenCapacity)] = '\0';
  return ConvertNumberToken(token, length);
}

void SkipPastLineEnd(TextStream& stream) {
  // Mostly the LF is the next byte.
  if (stream.position < stream.limit && stream.bufferData[stream.position] == LineFeed) {
    ++stream.position;
    return;
  }
  while (ReadyFor(stream, ModeInput) && BytesWaiting(stream)) {
    const std::uint8_t* const start = stream.bufferData + stream.position;
    const auto* lineFeed =
        static_cast<const std::uint8_t*>(std::memchr(start, LineFeed, stream.limit - stream.position));
    if (lineFeed != nullptr) {
      stream.position += static_cast<std::uint32_t>(lineFeed - start) + 1;
      return;
    }
    stream.position = stream.limit;
  }
}
