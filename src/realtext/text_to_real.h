// Decimal text to extended real: optional spaces, sign, digits with an
// optional point, an optional exponent, then the end of the text.
//   "1e3" -> 1000, 0      "1.5x" -> 15, 4      "" -> 0, 1      "-0" -> -0, 0
#pragma once

#include <cstdint>

#include "conversion/extended_arithmetic.h"

struct TextToRealResult {
  Extended value;
  std::int32_t errorPosition;  // 0 on success, else the 1-based position
};

TextToRealResult TextToReal(const char* text);
