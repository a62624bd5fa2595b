// Extended real to decimal text, fixed or scientific, right-justified.
//   57.2957795130823, width 6, 4 decimals   -> "57.2958"
//   2.5, width 3, 0 decimals                -> "  3" (half away from zero:
//   -2.5, width 3, 0 decimals               -> " -3"  the magnitude half up)
//   1.4e36, width 6, 4 decimals             -> " 1.4E+0036"
//   12.5, width 10, negative decimals       -> " 1.3E+0001"
#pragma once

#include <cstdint>

#include "arithmetic/extended_arithmetic.h"

// A length-prefixed text: one count byte, then up to 255 characters.
struct ShortString {
  std::uint8_t length;
  char characters[255];
};

// a (zero or positive, finite) as v * 10^k with v = 0 or 1 <= v < 16.
struct ScaledDecimal {
  x87::Extended v;
  std::int32_t k;
};
ScaledDecimal ScaleToDecimal(x87::Extended a);

// The digit string of v (0 <= v < 16), positions 0..n (1 <= n <= 255):
// position 0 the carry digit, 1..18 the digits of v * 10^17 rounded to an
// integer, then '0'; rounded half up for n digits after position 0 when
// n < 18. Positions after n are not defined.
//   v = 1.25, n = 2  -> "013"      v = 9.96, n = 2  -> "100"
struct DigitString {
  char digits[256];
};
void DecimalDigits(x87::Extended v, std::int32_t n, DigitString& result);

// The text of value in the given width and decimals (width counts as at
// most 255, decimals as at most 216; negative decimals: scientific). Fixed
// notation gives way to scientific from 2^120 on. "+Inf", "-Inf" and "Nan"
// are the texts of the infinities and NaNs; bit patterns that are no number
// (unnormals, pseudo-infinities) are shown as "Nan" too. Never cut, never
// longer than 255 characters, whatever the width.
//   0.1 (the double), width 1, 20 decimals -> "0.10000000000000001000"
//   -0.0, width 6, 4 decimals               -> "-0.0000"
//   123456.789, width 30, negative decimals -> "     1.23456789000000000E+0005"
void RealToText(std::int32_t width, std::int32_t decimals, x87::Extended value, ShortString& text);
