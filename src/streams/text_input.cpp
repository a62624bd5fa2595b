#include "streams/text_input.h"

#include <algorithm>

#include "streams/number_token.h"

using x87::Extended;

namespace {

// A byte and the end indication; at the end the byte is always 26.
struct CharacterResult {
  std::uint8_t byte;
  bool atEnd;
};

constexpr std::uint8_t CarriageReturn = 13;
constexpr std::int32_t PieceCapacity = 255;

constexpr CharacterResult AtEnd{EndOfDataMarker, true};

bool HasEndMarkerStyle(const TextStream& stream) { return (stream.styleFlags & CrLfStyle) != 0; }

// The byte at `position` is the end-of-data marker, planted or from the data.
bool AtEndMarker(const TextStream& stream) {
  return stream.bufferData[stream.position] == EndOfDataMarker && HasEndMarkerStyle(stream);
}

// A used-up buffer refilled: true when bytes came. No bytes is the end of
// the data, made sticky with the CR LF style by a 26 planted in the buffer,
// which every read meets until a line read consumes it.
bool RefillOrPlantEnd(TextStream& stream) {
  if (RefillBuffer(stream)) {
    return true;
  }
  if (stream.dataEnded && HasEndMarkerStyle(stream)) {
    stream.bufferData[stream.position] = EndOfDataMarker;
    ++stream.limit;
  }
  return false;
}

// Puts back the byte that the last ReadCharacter delivered.
void PutBack(TextStream& stream) { --stream.position; }

CharacterResult ReadCharacter(TextStream& stream) {
  // Step 1: a stream that cannot be read is at its end.
  if (!ReadyFor(stream, ModeInput)) {
    return AtEnd;
  }
  // Steps 3 to 5: a used-up buffer is refilled; a failure ends this read,
  // and the next one tries again.
  if (stream.position >= stream.limit && !RefillOrPlantEnd(stream)) {
    return AtEnd;
  }
  // Step 2: a byte from the buffer; the end marker stays where it is.
  if (AtEndMarker(stream)) {
    return AtEnd;
  }
  return CharacterResult{stream.bufferData[stream.position++], false};
}

// A CR before an LF in the same buffer stays for SkipLine; any other CR is
// dropped, so a pair split across two fills ends at its LF.
bool LineFeedFollows(const TextStream& stream) {
  return stream.position + 1 < stream.limit && stream.bufferData[stream.position + 1] == LineFeed;
}

std::int32_t ReadLinePiece(TextStream& stream, char* destination, std::int32_t maximum) {
  // Steps 1 and 2: a readable stream and room for a character.
  if (!ReadyFor(stream, ModeInput) || maximum <= 0) {
    return 0;
  }
  // Step 3: bytes straight from the buffer. A refill that brings no bytes,
  // or a 26 first, ends the piece and leaves the 26 in place.
  std::int32_t count = 0;
  while (count < maximum) {
    if (stream.position >= stream.limit && (!RefillOrPlantEnd(stream) || AtEndMarker(stream))) {
      break;
    }
    const std::uint8_t byte = stream.bufferData[stream.position];
    if (byte == LineFeed || (byte == CarriageReturn && LineFeedFollows(stream))) {
      break;
    }
    ++stream.position;
    if (byte == CarriageReturn) {
      continue;
    }
    if (byte == EndOfDataMarker && HasEndMarkerStyle(stream)) {
      break;
    }
    destination[count++] = static_cast<char>(byte);
  }
  // Step 4: the count of characters taken.
  return count;
}

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
  char token[NumberTokenCapacity + 1];
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
    if (length < NumberTokenCapacity) {
      token[length] = static_cast<char>(character.byte);
    }
    ++length;
  }
  // Steps 3 to 5: the token converted; one that is no number stores 106.
  token[std::min(length, NumberTokenCapacity)] = '\0';
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
