#include "realtext/text_to_real.h"

#include "realtext/ten_powers.h"

namespace {

// An exponent or total scaling beyond this magnitude is as good as 5120 or
// more: it is kept here instead of growing further, so that no count can
// overflow, whatever the length of the text.
constexpr std::int64_t ExponentCeiling = 1000000000000000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text being read: the current character and its 1-based position.
struct Cursor {
  const char* text;
  std::int32_t position = 1;

  char Current() const { return text[position - 1]; }
  bool AtEnd() const { return Current() == '\0'; }
  void MoveOn() { ++position; }
};

// accumulator * 10 + digit, each step rounded to extended.
Extended TakeDigit(Extended accumulator, char digit) {
  const Extended shifted = Multiply(accumulator, Widen(Ten));
  return Add(shifted, WidenInteger(digit - '0'));
}

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

TextToRealResult Failure(Extended accumulator, const Cursor& cursor) {
  return {accumulator, cursor.position};
}

}  // namespace

TextToRealResult TextToReal(const char* text) {
  Cursor cursor{text};
  Extended accumulator = 0.0L;
  std::int64_t fractionDigits = 0;
  std::int64_t exponent = 0;
  bool negative = false;

  // Step 1: spaces only, no other blanks.
  while (cursor.Current() == ' ') {
    cursor.MoveOn();
  }
  // Step 2: one optional sign.
  if (cursor.Current() == '-') {
    negative = true;
    cursor.MoveOn();
  } else if (cursor.Current() == '+') {
    cursor.MoveOn();
  }
  // Step 3: something must follow.
  if (cursor.AtEnd()) {
    return Failure(accumulator, cursor);
  }
  // Step 4: integer digits.
  while (IsDigit(cursor.Current())) {
    accumulator = TakeDigit(accumulator, cursor.Current());
    cursor.MoveOn();
  }
  bool hasExponentPart = !cursor.AtEnd();
  // Step 5: the point and the fraction digits.
  if (hasExponentPart && cursor.Current() == '.') {
    cursor.MoveOn();
    while (IsDigit(cursor.Current())) {
      accumulator = TakeDigit(accumulator, cursor.Current());
      ++fractionDigits;
      cursor.MoveOn();
    }
    hasExponentPart = !cursor.AtEnd();
  }
  if (hasExponentPart) {
    // Step 6: only an exponent may follow.
    if (cursor.Current() != 'E' && cursor.Current() != 'e') {
      return Failure(accumulator, cursor);
    }
    // Step 7: the exponent sign.
    cursor.MoveOn();
    bool negativeExponent = false;
    if (cursor.Current() == '-') {
      negativeExponent = true;
      cursor.MoveOn();
    } else if (cursor.Current() == '+') {
      cursor.MoveOn();
    }
    // Step 8: at least one exponent digit.
    if (!IsDigit(cursor.Current())) {
      return Failure(accumulator, cursor);
    }
    // Step 9: exponent digits up to the end of the text.
    while (!cursor.AtEnd()) {
      if (!IsDigit(cursor.Current())) {
        return Failure(accumulator, cursor);
      }
      exponent = TakeExponentDigit(exponent, cursor.Current());
      cursor.MoveOn();
    }
    // Step 10: the exponent sign.
    if (negativeExponent) {
      exponent = -exponent;
    }
  }
  // Step 11: one scaling by the total power of ten.
  Extended value = ScaleByPowerOfTen(accumulator, ClampScale(exponent - fractionDigits));
  // Step 12: the sign last, so that -0 is a negative zero.
  if (negative) {
    value = -value;
  }
  return {value, 0};
}
