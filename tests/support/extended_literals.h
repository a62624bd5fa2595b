// Extended values written as literals in the tests, the same bits on every
// CPU: a hex float or a decimal with the suffix _x, rounded once to the
// nearest extended value (ties to even), and a minus for the sign.
//   0x1.8p-1074_x              -> 1.5 * 2^-1074, exactly
//   0x1.00000000000008p0_x     -> 1 + 2^-53, exactly
//   0.1_x                      -> {0x3FFB, 0xCCCCCCCCCCCCCCCD}
//   -57.29577951308232087665462_x
// Values below the normal range must be exact hex floats.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <ios>
#include <ostream>
#include <stdexcept>
#include <string_view>

#include "arithmetic/extended_arithmetic.h"
#include "arithmetic/extended_operations.h"
#include "support/exact_integer.h"

using namespace x87;

namespace extended_literals {

// The value q * 2^power rounded to extended; q is exact but for the lowest
// bit, which stands for everything below it.
inline Extended RoundedValue(const ExactInteger& q, int power) {
  if (q.IsZero()) {
    return Extended{};
  }
  const ExactInteger::Rounded rounded = q.RoundToExtended();
  const int field = 16383 + 63 + rounded.exponent + power;
  if (field <= 0 || field >= 0x7FFF) {
    throw std::out_of_range("literal outside the normal extended range");
  }
  return ExtendedFromBits(static_cast<std::uint16_t>(field), rounded.significand);
}

// Digits of `text` in `base` into `value`; the count after a point.
inline int TakeDigits(std::string_view& text, std::uint32_t base, ExactInteger& value) {
  int afterPoint = 0;
  bool point = false;
  while (!text.empty() && (std::isxdigit(static_cast<unsigned char>(text.front())) || text.front() == '.')) {
    const char c = text.front();
    if (base == 10 && (c == 'e' || c == 'E')) {
      break;
    }
    text.remove_prefix(1);
    if (c == '.') {
      point = true;
      continue;
    }
    const auto digit =
        static_cast<std::uint32_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10);
    value.MultiplyAdd(base, digit);
    afterPoint += point ? 1 : 0;
  }
  return afterPoint;
}

inline int TakeExponent(std::string_view text) {
  if (text.empty()) {
    return 0;
  }
  text.remove_prefix(1);  // 'p' or 'e'
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    text.remove_prefix(1);
  }
  int exponent = 0;
  for (const char c : text) {
    exponent = exponent * 10 + (c - '0');
  }
  return negative ? -exponent : exponent;
}

// n / 10^k with 66 quotient bits and a sticky bit, as q * 2^power.
inline Extended DecimalFraction(const ExactInteger& n, int k) {
  ExactInteger denominator(1);
  denominator.MultiplyByPowerOfTen(k);
  const int shift = std::max(0, 67 - (n.BitLength() - denominator.BitLength()));
  ExactInteger remainder = n;
  remainder.ShiftLeft(shift);
  ExactInteger quotient;
  for (int bit = remainder.BitLength() - denominator.BitLength() + 1; bit >= 0; --bit) {
    ExactInteger step = denominator;
    step.ShiftLeft(bit);
    quotient.MultiplyAdd(2, 0);
    if (remainder.Compare(step) >= 0) {
      remainder.Subtract(step);
      quotient.MultiplyAdd(1, 1);
    }
  }
  quotient.MultiplyAdd(2, remainder.IsZero() ? 0 : 1);
  return RoundedValue(quotient, -shift - 1);
}

inline Extended Parse(std::string_view text) {
  ExactInteger digits;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    const int afterPoint = TakeDigits(text, 16, digits);
    return RoundedValue(digits, TakeExponent(text) - 4 * afterPoint);
  }
  const int afterPoint = TakeDigits(text, 10, digits);
  const int exponent = TakeExponent(text) - afterPoint;
  if (exponent >= 0) {
    digits.MultiplyByPowerOfTen(exponent);
    return RoundedValue(digits, 0);
  }
  return DecimalFraction(digits, -exponent);
}

}  // namespace extended_literals

inline Extended operator""_x(const char* text) { return extended_literals::Parse(text); }

inline Extended operator-(Extended x) { return Negate(x); }

// A double widened exactly, without touching the status word.
inline Extended WidenedDouble(double value) {
  std::uint16_t ignored = 0;
  return x87::detail::WidenDoubleMasked(x87::BitCast<std::uint64_t>(value), ignored);
}

// The double nearest to x, for messages: no flag, no fault.
inline double NearestDouble(Extended x) {
  std::uint16_t ignored = 0;
  return x87::BitCast<double>(x87::detail::StoreDoubleMasked(x, 0x037F, ignored));
}

// Shown as its two fields in hex, in traces and failure messages.
namespace x87 {
inline std::ostream& operator<<(std::ostream& out, const Extended& x) {
  const auto flags = out.flags();
  out << std::hex << x.signExponent << ':' << x.significand;
  out.flags(flags);
  return out;
}
}  // namespace x87
