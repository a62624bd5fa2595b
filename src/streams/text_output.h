// Writing bytes, blanks, characters, padded texts, line ends and real
// numbers to a stream. Every operation returns the stream so that the items
// of one statement chain.
#pragma once

#include <cstdint>
#include <string_view>

#include "arithmetic/extended_arithmetic.h"
#include "realtext/real_to_text.h"
#include "streams/text_stream.h"

TextStream& PutBytes(TextStream& stream, const void* source, std::int32_t count);
TextStream& PutBlanks(TextStream& stream, std::int32_t count);
TextStream& PutChar(TextStream& stream, char character);
TextStream& PutPaddedText(TextStream& stream, const ShortString& text, std::int32_t width);
// Any dynamic string, or a constant text of the program, which need not be
// copied into a string first.
TextStream& PutDynamicString(TextStream& stream, std::string_view text, std::int32_t width = 0);
TextStream& PutLineEnd(TextStream& stream);

// 57.2957795130823 with width 6 and 4 decimals writes "57.2958".
TextStream& WriteReal(TextStream& stream, std::int32_t width, std::int32_t decimals, x87::Extended value);
