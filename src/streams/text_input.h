// The dialogue's reader: characters, lines, unit words and number tokens
// from a stream, with the CR LF rules and the end-of-data marker 26.
#pragma once

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
