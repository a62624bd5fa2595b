// Decimal text to extended real: optional spaces, sign, digits with an
// optional point, an optional exponent, then the end of the text.
//   "1e3" -> 1000, 0      "1.5x" -> 15, 4      "" -> 0, 1      "-0" -> -0, 0
// On failure the value is the accumulator as it stood: the digits taken so
// far, without point, exponent or sign. A total exponent of 5120 or more
// gives +infinity (-infinity for a negative number), -5120 or less gives 0;
// an exponent too long for any integer counts the same way:
//   "1e99999999999" -> +infinity, 0      "1e-99999999999" -> 0, 0
// Below 5120, a value beyond the extended range is the overflow fault:
//   "1e4933" -> STATUS_FLOAT_OVERFLOW under the start-up control word
#pragma once

#include <cstdint>

#include "arithmetic/extended_arithmetic.h"

struct TextToRealResult {
  x87::Extended value;
  std::int32_t errorPosition;  // 0 on success, else the 1-based position
};

TextToRealResult TextToReal(const char* text);
