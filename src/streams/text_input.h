// Reading characters, lines, unit words and number tokens from a stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "arithmetic/extended_arithmetic.h"
#include "streams/text_stream.h"

// The rest of the current line, of any length, without its line end; a CR
// not followed by LF is dropped, and a byte 26 ends the line early.
//   "rad\r\n1\r\n" -> "rad", the CR LF left for SkipLine
void ReadDynamicString(TextStream& stream, std::string& result);

// One number token after any blanks and line ends, up to the next blank or
// control byte; 0 at the end of the data. A token that is no number, or is
// longer than 64 characters, stores the code 106.
//   "  12.5  7\r\n" -> 12.5, "  7\r\n" left
x87::Extended ReadReal(TextStream& stream);

// Consumes everything up to and including the next LF.
void SkipLine(TextStream& stream);

// A number token converted as ReadReal converts it: more than 64 characters
// store 106 and give 0; otherwise the zero-terminated `token` goes to
// TextToReal, and a token that is no number stores 106.
//   "1e3", 3 -> 1000     "abc", 3 -> 106 stored     65 digits -> 0, 106 stored
x87::Extended ConvertNumberToken(const char* token, std::size_t length);

// Reading a stream of values, one value a line: the same tokens as ReadReal,
// but never past the end of the line, and every byte is data (a byte 26 is
// a control byte like any other, not the end of the data). A failed read
// stores its code and counts as the end of the data.
enum class LineItem : std::uint8_t { Token, LineEnd, DataEnd };

// Skips blanks and control bytes up to what comes next on the line: a
// token (left unread), the LF (left unread) or the end of the data.
//   "  12 7\n" -> Token, "12 7\n" left     " \t\r\n" -> LineEnd, "\n" left
LineItem SkipToTokenOnLine(TextStream& stream);

// After SkipToTokenOnLine gave Token: the token, consumed whatever its
// length and converted by ConvertNumberToken.
//   "12 7\n" -> 12, " 7\n" left
x87::Extended ReadTokenOnLine(TextStream& stream);

// Consumes everything up to and including the next LF, or to the end.
void SkipPastLineEnd(TextStream& stream);
