#include "realtext/text_to_real.h"

#include <cstdint>

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
  Extended extended_ = 0.0L;
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

TextToRealResult Failure(const MantissaAccumulator& accumulator, const Cursor& cursor) {
  return {accumulator.Value(), cursor.position};
}

}  // namespace

TextToRealResult TextToReal(const char* text) {
  ClearFloatFlags();
  Cursor cursor{text};
  MantissaAccumulator accumulator;
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
    accumulator.Take(cursor.Current());
    cursor.MoveOn();
  }
  bool hasExponentPart = !cursor.AtEnd();
  // Step 5: the point and the fraction digits.
  if (hasExponentPart && cursor.Current() == '.') {
    cursor.MoveOn();
    while (IsDigit(cursor.Current())) {
      accumulator.Take(cursor.Current());
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
  Extended value = ScaleByPowerOfTen(accumulator.Value(), ClampScale(exponent - fractionDigits));
  // Step 12: the sign last, so that -0 is a negative zero.
  if (negative) {
    value = -value;
  }
  return {value, 0};
}
