#include "streams/text_input.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "realtext/text_to_real.h"

using x87::Extended;

namespace {

// A byte and the end indication; at the end the byte is always 26.
struct CharacterResult {
  std::uint8_t byte;
  bool atEnd;
};

constexpr std::uint8_t LineFeed = 10;
constexpr std::uint8_t CarriageReturn = 13;
constexpr std::uint8_t Blank = 32;
constexpr std::int32_t PieceCapacity = 255;
constexpr std::size_t TokenCapacity = 64;
constexpr std::int32_t InvalidNumericInput = 106;

constexpr CharacterResult AtEnd{EndOfDataMarker, true};

// The open rule of every read: a stream not yet open for reading is opened.
bool ReadyForReading(TextStream& stream) { return stream.openMode == ModeInput || EnsureOpenForReading(stream); }

bool HasEndMarkerStyle(const TextStream& stream) { return (stream.styleFlags & CrLfStyle) != 0; }

// Puts back the byte that the last ReadCharacter delivered.
void PutBack(TextStream& stream) { --stream.position; }

CharacterResult ReadCharacter(TextStream& stream) {
  // Step 1: a stream that cannot be read is at its end.
  if (!ReadyForReading(stream)) {
    return AtEnd;
  }
  for (;;) {
    // Step 2: a byte from the buffer; the end marker stays where it is.
    if (stream.position < stream.limit) {
      const std::uint8_t byte = stream.bufferData[stream.position];
      if (byte == EndOfDataMarker && HasEndMarkerStyle(stream)) {
        return AtEnd;
      }
      ++stream.position;
      return CharacterResult{byte, false};
    }
    // Step 3: refill; a failure ends this read, the next one tries again.
    const std::int32_t result = stream.transferOp(stream);
    if (result != 0) {
      SetIoResult(result);
      return AtEnd;
    }
    // Steps 4 and 5: no bytes is the end of the data, made sticky by a marker.
    if (stream.limit == 0) {
      if (HasEndMarkerStyle(stream)) {
        stream.bufferData[stream.position] = EndOfDataMarker;
        ++stream.limit;
      }
      return AtEnd;
    }
  }
}

std::int32_t ReadLinePiece(TextStream& stream, char* destination, std::int32_t maximum) {
  // Steps 1 and 2: a readable stream and room for a character.
  if (!ReadyForReading(stream) || maximum <= 0) {
    return 0;
  }
  // Step 3: bytes straight from the buffer; a refill only when it is used up.
  std::int32_t count = 0;
  for (;;) {
    if (stream.position >= stream.limit) {
      if (ReadCharacter(stream).atEnd) {
        break;
      }
      PutBack(stream);
    }
    const std::uint8_t byte = stream.bufferData[stream.position];
    if (byte == LineFeed) {
      break;
    }
    if (byte == CarriageReturn) {
      // A CR before an LF in the same buffer stays for SkipLine; any other
      // CR is dropped, so a pair split across two fills ends at its LF.
      const bool lineFeedFollows =
          stream.position + 1 < stream.limit && stream.bufferData[stream.position + 1] == LineFeed;
      if (lineFeedFollows) {
        break;
      }
      ++stream.position;
      continue;
    }
    ++stream.position;
    if (byte == EndOfDataMarker && HasEndMarkerStyle(stream)) {
      break;
    }
    destination[count++] = static_cast<char>(byte);
    if (count == maximum) {
      break;
    }
  }
  // Step 4: the count of characters taken.
  return count;
}

// A buffer with bytes at `position`, refilled when used up; false at the
// end of the data, or after a failed refill (its code stored).
bool RefillWhenUsedUp(TextStream& stream) {
  if (stream.position < stream.limit) {
    return true;
  }
  const std::int32_t result = stream.transferOp(stream);
  if (result != 0) {
    SetIoResult(result);
    return false;
  }
  return stream.limit != 0;
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

bool SkipToToken(TextStream& stream) {
  for (;;) {
    const CharacterResult character = ReadCharacter(stream);
    if (character.atEnd) {
      return true;
    }
    if (character.byte > Blank) {
      PutBack(stream);
      return false;
    }
  }
}

}  // namespace

void ReadDynamicString(TextStream& stream, std::string& result) {
  char piece[PieceCapacity];
  // Steps 1 and 2: the first piece of the line.
  std::int32_t length = ReadLinePiece(stream, piece, PieceCapacity);
  result.assign(piece, static_cast<std::size_t>(length));
  // Step 3: a full piece means the line may go on.
  while (length == PieceCapacity) {
    length = ReadLinePiece(stream, piece, PieceCapacity);
    result.append(piece, static_cast<std::size_t>(length));
  }
}

Extended ReadReal(TextStream& stream) {
  // Step 1: at the end of the data the number is 0, without a code.
  if (SkipToToken(stream)) {
    return Extended{};
  }
  // Step 2: the token, up to a blank, a control byte or the end. A token
  // longer than the buffer is consumed whole and rejected, so that a long
  // number is never silently read as its first 64 characters.
  char token[TokenCapacity + 1];
  std::size_t length = 0;
  for (;;) {
    const CharacterResult character = ReadCharacter(stream);
    if (character.atEnd) {
      break;
    }
    if (character.byte <= Blank) {
      PutBack(stream);
      break;
    }
    if (length < TokenCapacity) {
      token[length] = static_cast<char>(character.byte);
    }
    ++length;
  }
  // Steps 3 to 5: the token converted; one that is no number stores 106.
  token[std::min(length, TokenCapacity)] = '\0';
  return ConvertNumberToken(token, length);
}

void SkipLine(TextStream& stream) {
  for (;;) {
    CharacterResult character = ReadCharacter(stream);
    if (character.atEnd || character.byte == LineFeed) {
      return;
    }
    if (character.byte == CarriageReturn) {
      character = ReadCharacter(stream);
      if (character.atEnd || character.byte == LineFeed) {
        return;
      }
      PutBack(stream);
    }
  }
}

Extended ConvertNumberToken(const char* token, std::size_t length) {
  if (length > TokenCapacity) {
    SetIoResult(InvalidNumericInput);
    return Extended{};
  }
  const TextToRealResult converted = TextToReal(token);
  if (converted.errorPosition != 0) {
    SetIoResult(InvalidNumericInput);
  }
  return converted.value;
}

LineItem SkipToTokenOnLine(TextStream& stream) {
  if (!ReadyForReading(stream)) {
    return LineItem::DataEnd;
  }
  for (;;) {
    if (!RefillWhenUsedUp(stream)) {
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
  if (RefillWhenUsedUp(stream)) {
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
  char token[TokenCapacity + 1];
  std::size_t length = 0;
  while (RefillWhenUsedUp(stream)) {
    std::uint8_t* const start = stream.bufferData + stream.position;
    const std::uint8_t* const limit = stream.bufferData + stream.limit;
    const std::uint8_t* const end = FindBlankOrControl(start, limit);
    const auto taken = static_cast<std::size_t>(end - start);
    if (length < TokenCapacity) {
      std::memcpy(token + length, start, std::min(taken, TokenCapacity - length));
    }
    length += taken;
    stream.position += static_cast<std::uint32_t>(taken);
    if (end != limit) {
      break;
    }
  }
  token[std::min(length, TokenCapacity)] = '\0';
  return ConvertNumberToken(token, length);
}

void SkipPastLineEnd(TextStream& stream) {
  // Mostly the LF is the next byte.
  if (stream.position < stream.limit && stream.bufferData[stream.position] == LineFeed) {
    ++stream.position;
    return;
  }
  while (ReadyForReading(stream) && RefillWhenUsedUp(stream)) {
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
