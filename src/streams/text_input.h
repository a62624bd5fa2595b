// Reading characters, lines, unit words and number tokens from a stream.
#pragma once

#include <cstdint>
#include <string>

#include "arithmetic/extended_arithmetic.h"
#include "streams/text_stream.h"

// A byte and the end indication; at the end the byte is always 26.
struct CharacterResult {
  std::uint8_t byte;
  bool atEnd;
};

CharacterResult ReadCharacter(TextStream& stream);
std::int32_t ReadLinePiece(TextStream& stream, char* destination, std::int32_t maximum);
void ReadDynamicString(TextStream& stream, std::string& result);
bool SkipToToken(TextStream& stream);
x87::Extended ReadReal(TextStream& stream);
void SkipLine(TextStream& stream);
