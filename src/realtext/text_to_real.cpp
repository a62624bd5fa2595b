#include "realtext/text_to_real.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "realtext/ten_powers.h"

using x87::Add;
using x87::Extended;
using x87::Multiply;
using x87::Negate;
using x87::Widen;
using x87::WidenInteger;

namespace {

// An exponent or total scaling beyond this magnitude is as good as 5120 or
// more: it is kept here instead of growing further, so that no count can
// overflow, whatever the length of the text.
constexpr std::int64_t ExponentCeiling = 1000000000000000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text being read: where it starts and the current character.
struct Cursor {
  const char* text;
  const char* at = text;

  char Current() const { return *at; }
  bool AtEnd() const { return *at == '\0'; }
  void MoveOn() { ++at; }
  std::int32_t Position() const { return static_cast<std::int32_t>(at - text) + 1; }
};

// The mantissa accumulator. Each digit makes it accumulator * 10 + digit,
// both steps rounded to extended. While the accumulator is an integer below
// 2^63 both steps are exact and raise no flag at all, so it is kept as an
// integer until then: the same value, without a rounding step per digit.
// From there on every digit takes the two extended steps.
class MantissaAccumulator {
 public:
  void Take(char c) {
    const std::int64_t digit = c - '0';
    if (!extendedInUse_) {
      if (integer_ <= (INT64_MAX - 9) / 10) {
        integer_ = integer_ * 10 + digit;
        return;
      }
      extended_ = WidenInteger(integer_);
      extendedInUse_ = true;
    }
    extended_ = Add(Multiply(extended_, Widen(Ten)), WidenInteger(digit));
  }

  Extended Value() const { return extendedInUse_ ? extended_ : WidenInteger(integer_); }

 private:
  std::int64_t integer_ = 0;
  Extended extended_{};
  bool extendedInUse_ = false;
};

// exponent * 10 + digit, held at the ceiling once it gets there.
std::int64_t TakeExponentDigit(std::int64_t exponent, char digit) {
  if (exponent >= ExponentCeiling) {
    return exponent;
  }
  return exponent * 10 + (digit - '0');
}

// The scaling exponent, brought into the range where the scaling itself
// decides: beyond +-5120 every value behaves the same.
std::int32_t ClampScale(std::int64_t n) {
  if (n >= ScaleLimit) {
    return ScaleLimit;
  }
  if (n <= -ScaleLimit) {
    return -ScaleLimit;
  }
  return static_cast<std::int32_t>(n);
}

// What the text says, before any arithmetic: the digits before and after
// the point, the exponent with its sign, the sign, and where reading
// stopped when the text is not a number.
struct DecimalText {
  std::string_view integerDigits;
  std::string_view fractionDigits;
  // The digits as an integer, which is the whole mantissa of the common
  // short numbers: any 18 digits stay below 10^18 < 2^63. With more digits
  // it has wrapped around and is not used.
  std::uint64_t leadingDigits = 0;
  std::size_t digitCount = 0;
  std::int64_t exponent = 0;
  bool negative = false;
  std::int32_t errorPosition = 0;  // 0 when the whole text is a number
};

// One optional sign; true when it is '-'.
bool TakeSign(Cursor& cursor) {
  const char sign = cursor.Current();
  if (sign == '-' || sign == '+') {
    cursor.MoveOn();
  }
  return sign == '-';
}

constexpr std::size_t LeadingDigitCapacity = 18;

// A run of digits. Their value is taken whatever their number: it wraps
// around past 19 digits, but then the count says it is not used. A test per
// digit against the 18 that fit is slower in BM_TextToReal
// (bench/realtext_bench.cpp).
std::string_view TakeDigits(Cursor& cursor, DecimalText& parsed) {
  const char* start = cursor.at;
  std::uint64_t value = parsed.leadingDigits;
  for (; IsDigit(cursor.Current()); cursor.MoveOn()) {
    value = value * 10 + static_cast<std::uint64_t>(cursor.Current() - '0');
  }
  parsed.leadingDigits = value;
  parsed.digitCount += static_cast<std::size_t>(cursor.at - start);
  return {start, static_cast<std::size_t>(cursor.at - start)};
}

// The exponent part: 'E' or 'e', an optional sign, then nothing but digits
// up to the end of the text. False where the text breaks that rule.
bool ParseExponent(Cursor& cursor, std::int64_t& exponent) {
  if (cursor.Current() != 'E' && cursor.Current() != 'e') {
    return false;
  }
  cursor.MoveOn();
  const bool negativeExponent = TakeSign(cursor);
  if (!IsDigit(cursor.Current())) {
    return false;
  }
  for (; !cursor.AtEnd(); cursor.MoveOn()) {
    if (!IsDigit(cursor.Current())) {
      return false;
    }
    exponent = TakeExponentDigit(exponent, cursor.Current());
  }
  if (negativeExponent) {
    exponent = -exponent;
  }
  return true;
}

// Spaces (no other blanks), a sign, digits with an optional point and
// fraction, and, when more text follows, an exponent.
DecimalText ParseDecimal(const char* text) {
  Cursor cursor{text};
  DecimalText parsed;
  while (cursor.Current() == ' ') {
    cursor.MoveOn();
  }
  parsed.negative = TakeSign(cursor);
  if (cursor.AtEnd()) {
    parsed.errorPosition = cursor.Position();  // something must follow the sign
    return parsed;
  }
  parsed.integerDigits = TakeDigits(cursor, parsed);
  if (cursor.Current() == '.') {
    cursor.MoveOn();
    parsed.fractionDigits = TakeDigits(cursor, parsed);
  }
  const bool moreTextFollows = !cursor.AtEnd();
  if (moreTextFollows && !ParseExponent(cursor, parsed.exponent)) {
    parsed.errorPosition = cursor.Position();
  }
  return parsed;
}

// The digits of both parts, one after the other, into the accumulator; a
// short mantissa is already there, exact, as the accumulator would hold it.
Extended AccumulateDigits(const DecimalText& parsed) {
  if (parsed.digitCount <= LeadingDigitCapacity) {
    return WidenInteger(static_cast<std::int64_t>(parsed.leadingDigits));
  }
  MantissaAccumulator accumulator;
  for (const std::string_view digits : {parsed.integerDigits, parsed.fractionDigits}) {
    for (const char digit : digits) {
      accumulator.Take(digit);
    }
  }
  return accumulator.Value();
}

}  // namespace

TextToRealResult TextToReal(const char* text) {
  const DecimalText parsed = ParseDecimal(text);
  // The accumulated digits: the whole value on failure, without point,
  // exponent or sign.
  Extended value = AccumulateDigits(parsed);
  if (parsed.errorPosition != 0) {
    return {value, parsed.errorPosition};
  }
  // One scaling by the total power of ten.
  const auto fractionDigits = static_cast<std::int64_t>(parsed.fractionDigits.size());
  value = ScaleByPowerOfTen(value, ClampScale(parsed.exponent - fractionDigits));
  // The sign last, so that -0 is a negative zero.
  if (parsed.negative) {
    value = Negate(value);
  }
  return {value, 0};
}
