// The batch mode's reader: a stream of values, one value a line. The same
// number tokens as ReadReal, but never past the end of the line, and every
// byte is data (a byte 26 is a control byte like any other, not the end of
// the data). The first refill that brings no bytes ends the data for good,
// also on a terminal, where more could follow. A failed read stores its
// code and counts as the end of the data.
#pragma once

#include <cstdint>

#include "arithmetic/extended_arithmetic.h"
#include "streams/text_stream.h"

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
