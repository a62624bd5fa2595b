#include "realtext/real_to_text.h"

#include <array>
#include <cstring>

#include "realtext/ten_powers.h"

using x87::Extended;
using x87::ExtendedFromBits;
using x87::IsEqual;
using x87::IsLess;
using x87::Multiply;
using x87::RoundReal;
using x87::Widen;

namespace {

constexpr std::int32_t MaximumWidth = 255;
constexpr std::int32_t MaximumDecimals = 216;
// 10^k with k > 35 is exactly what the scaling finds for 2^120 and above:
// such values have too many integer digits for the 255-character text.
constexpr std::int32_t LargestFixedExponent = 35;
// Digits held by the rounded scaled value: positions 1..18.
constexpr std::int32_t SignificantPositions = 18;
constexpr Extended TenExtended = ExtendedFromBits(0x4002, 0xA000000000000000);
// log10(2) * 2^16, rounded down: e * it / 2^16 never exceeds log10(2^e).
constexpr std::int32_t Log10Of2Times2To16 = 19728;

// Runs of characters are copied as one block of this size when they fit in
// it and both sides have room for the whole block: the characters past the
// run are written over by what follows, or lie past the text's end and are
// never shown. Copies of the exact length cost more: their size-dependent
// branches are defeated by the varying counts of digits.
constexpr std::int32_t Block = 32;

// Copies count characters; toRoom and fromRoom are the characters that each
// side holds from there on.
void CopyRun(char* to, std::int32_t toRoom, const char* from, std::int32_t fromRoom, std::int32_t count) {
  if (count <= Block && toRoom >= Block && fromRoom >= Block) {
    std::memcpy(to, from, Block);
  } else {
    std::memcpy(to, from, static_cast<std::size_t>(count));
  }
}

// Appends characters to a text that never exceeds 255 characters; every
// caller has already bounded what it writes. A block's room is left behind
// the last character.
struct TextBuilder {
  static constexpr std::int32_t Capacity = MaximumWidth + Block;
  char characters[Capacity];
  std::int32_t length = 0;

  void Put(char c) { characters[length++] = c; }
  void Put(const char* from, std::int32_t count) {
    std::memcpy(characters + length, from, static_cast<std::size_t>(count));
    length += count;
  }
  // Positions from .. from + count - 1 of a digit string.
  void Put(const DigitString& digits, std::int32_t from, std::int32_t count) {
    constexpr auto size = static_cast<std::int32_t>(sizeof digits.digits);
    CopyRun(characters + length, Capacity - length, digits.digits + from, size - from, count);
    length += count;
  }
};

// Copies the built text into the result, with width - length spaces in front
// when the width is the larger: a text is never cut.
void RightJustify(const TextBuilder& built, std::int32_t width, ShortString& text) {
  constexpr auto size = static_cast<std::int32_t>(sizeof text.characters);
  const std::int32_t fill = width > built.length ? width - built.length : 0;
  // The text that follows writes over any spaces past the fill.
  std::memset(text.characters, ' ', static_cast<std::size_t>(fill <= Block ? Block : fill));
  CopyRun(text.characters + fill, size - fill, built.characters, TextBuilder::Capacity, built.length);
  text.length = static_cast<std::uint8_t>(fill + built.length);
}

// "+Inf" and "-Inf" for the two infinities; "Nan" for a NaN and for every
// pattern that the arithmetic refuses as an operand (a pseudo-infinity, a
// pseudo-NaN or an unnormal).
bool SpecialText(Extended value, TextBuilder& built) {
  const x87::ExtendedClass kind = x87::Classify(value);
  if (kind == x87::ExtendedClass::Infinity) {
    built.Put(x87::SignOf(value) ? "-Inf" : "+Inf", 4);
    return true;
  }
  if (x87::IsNaN(kind) || x87::IsUnsupported(kind)) {
    built.Put("Nan", 3);
    return true;
  }
  return false;
}

// "00", "01", ... "99": two digits per division.
constexpr std::array<char, 200> DigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// Writes the two digits of value (below 100).
void PutTwoDigits(std::uint32_t value, char* to) { std::memcpy(to, DigitPairs.data() + std::size_t{2} * value, 2); }

// Writes the eight digits of value (below 10^8), with leading zeros, as four
// pairs; the two halves do not wait for each other.
void PutEightDigits(std::uint32_t value, char* to) {
  const std::uint32_t high = value / 10000;
  const std::uint32_t low = value % 10000;
  PutTwoDigits(high / 100, to);
  PutTwoDigits(high % 100, to + 2);
  PutTwoDigits(low / 100, to + 4);
  PutTwoDigits(low % 100, to + 6);
}

// Writes the 19 digits of value (below 2 * 10^18), with leading zeros: the
// first three from value / 10^16, then two groups of eight.
void PutNineteenDigits(std::uint64_t value, char* to) {
  constexpr std::uint64_t tenTo8 = 100000000;
  constexpr std::uint64_t tenTo16 = tenTo8 * tenTo8;
  const auto top = static_cast<std::uint32_t>(value / tenTo16);
  const std::uint64_t rest = value % tenTo16;
  to[0] = static_cast<char>('0' + top / 100);
  PutTwoDigits(top % 100, to + 1);
  PutEightDigits(static_cast<std::uint32_t>(rest / tenTo8), to + 3);
  PutEightDigits(static_cast<std::uint32_t>(rest % tenTo8), to + 11);
}

// PlaceValues[n] = 10^(18 - n): what one unit at position n of the digit
// string is worth in the rounded integer, for n = 0..17. (A division by
// multiplication with a table of reciprocals saved nothing measurable.)
constexpr std::array<std::uint64_t, SignificantPositions> PlaceValues = [] {
  std::array<std::uint64_t, SignificantPositions> places{};
  std::uint64_t place = 10;
  for (std::int32_t n = SignificantPositions - 1; n >= 0; --n) {
    places[static_cast<std::size_t>(n)] = place;
    place *= 10;
  }
  return places;
}();

// Fixed notation: integer digits, then '.' and d decimals when d > 0.
//   v = 5.72957795130823, k = 1, d = 4 -> "57.2958"
void LayOutFixed(bool negative, Extended v, std::int32_t k, std::int32_t d, TextBuilder& built) {
  // Step 1: one digit string covering the integer digits and the decimals.
  const std::int32_t integerCount = k + 1;
  DigitString digits;
  DecimalDigits(v, integerCount + d, digits);
  // Step 2: a carry digit of '1' is one more integer digit.
  const std::int32_t first = digits.digits[0] == '1' ? 0 : 1;
  // Step 3: sign, integer digits, point and decimals; no plus sign.
  if (negative) {
    built.Put('-');
  }
  built.Put(digits, first, integerCount + 1 - first);
  if (d > 0) {
    built.Put('.');
    built.Put(digits, integerCount + 1, d);
  }
}

// Scientific notation: sign position, m mantissa digits, 'E', exponent sign
// and four exponent digits.
//   v = 1.25, k = 1, width 10 -> " 1.3E+0001"
void LayOutScientific(bool negative, Extended v, std::int32_t k, std::int32_t width, TextBuilder& built) {
  // Step 1: mantissa digits from the width, between 2 and 18.
  // The width is compared before anything is subtracted from it, so that
  // no negative width can overflow.
  std::int32_t m = 2;
  if (width > SignificantPositions + 8) {
    m = SignificantPositions;
  } else if (width > 2 + 8) {
    m = width - 8;
  }
  // Step 2: v of 10 or more has one significant digit more, at position 0.
  DigitString digits;
  DecimalDigits(v, IsLess(v, TenExtended) ? m : m - 1, digits);
  // Step 3: a '1' at position 0 moves the decimal exponent up by one.
  std::int32_t e = k;
  std::int32_t first = 1;
  if (digits.digits[0] == '1') {
    e = k + 1;
    first = 0;
  }
  // Step 4: the text, m + 8 characters.
  built.Put(negative ? '-' : ' ');
  built.Put(digits.digits[first]);
  built.Put('.');
  built.Put(digits, first + 1, m - 1);
  built.Put('E');
  built.Put(e < 0 ? '-' : '+');
  std::int32_t magnitude = e < 0 ? -e : e;
  char exponentDigits[4];
  for (std::int32_t position = 3; position >= 0; --position) {
    exponentDigits[position] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  built.Put(exponentDigits, 4);
}

}  // namespace

ScaledDecimal ScaleToDecimal(Extended a) {
  // Step 1: no power of ten taken out yet.
  std::int32_t k = 0;
  // Step 2: zero stays zero.
  if (IsEqual(a, Extended{})) {
    return {Extended{}, 0};
  }
  for (;;) {
    // Step 3: the binary exponent; a denormal counts as the lowest one.
    const std::int32_t exponentField = x87::ExponentFieldOf(a);
    const std::int32_t e = exponentField == 0 ? -x87::ExponentBias : exponentField - x87::ExponentBias;
    // Step 4: a decimal exponent at most log10(2^E), arithmetic shift.
    // cppcheck-suppress shiftNegativeLHS ; right shift of a negative value floors
    const std::int32_t q = (e * Log10Of2Times2To16) >> 16;
    // Step 5: q = 0 exactly for 1 <= a < 16.
    if (q == 0) {
      return {a, k};
    }
    // Step 6: take 10^q out and look again.
    a = ScaleByPowerOfTen(a, -q);
    k += q;
  }
}

void DecimalDigits(Extended v, std::int32_t n, DigitString& result) {
  // Step 1: one extended multiplication.
  static const Extended tenTo17 = Widen(TenTo17);
  const Extended p = Multiply(v, tenTo17);
  // Step 2: rounded to the nearest integer, ties to even; below 1.6 * 10^18.
  auto integer = static_cast<std::uint64_t>(RoundReal(p));
  // Step 6, done on the integer before any digit is written: half up at
  // position n on the next digit alone is the integer rounded half up to a
  // multiple of position n's place value. The carry that the digits would
  // pass leftwards comes with the addition; it never goes past position 0,
  // since the integer stays below 2 * 10^18. Positions after n become '0'.
  if (n < SignificantPositions) {
    const std::uint64_t place = PlaceValues[static_cast<std::size_t>(n)];
    const std::uint64_t below = integer % place;
    integer = integer - below + (below >= place / 2 ? place : 0);
  }
  // Steps 3 and 4: the carry digit ('1' from 10^18 on) and the 18 digits,
  // with leading zeros, are the integer's 19 digits.
  PutNineteenDigits(integer, result.digits);
  // Step 5: beyond the 18 digits every position is '0'.
  if (n > SignificantPositions) {
    const std::int32_t last = n < 255 ? n : 255;
    std::memset(result.digits + SignificantPositions + 1, '0', static_cast<std::size_t>(last - SignificantPositions));
  }
}

void RealToText(std::int32_t width, std::int32_t decimals, Extended value, ShortString& text) {
  // Step 1: the text works in at most 255 characters.
  if (width > MaximumWidth) {
    width = MaximumWidth;
  }
  TextBuilder built;
  // Step 2: infinities, NaNs and patterns that are no numbers.
  if (SpecialText(value, built)) {
    RightJustify(built, width, text);
    return;
  }
  // Step 3: sign and magnitude.
  const bool negative = x87::SignOf(value);
  const Extended a = x87::Abs(value);
  if (decimals < 0) {
    // Step 4: scientific notation on request.
    const ScaledDecimal scaled = ScaleToDecimal(a);
    LayOutScientific(negative, scaled.v, scaled.k, width, built);
  } else {
    // Step 5: fixed notation unless the value has more than 36 integer digits.
    if (decimals > MaximumDecimals) {
      decimals = MaximumDecimals;
    }
    ScaledDecimal scaled{a, 0};
    if (!IsLess(a, TenExtended)) {
      scaled = ScaleToDecimal(a);
    }
    if (scaled.k > LargestFixedExponent) {
      LayOutScientific(negative, scaled.v, scaled.k, width, built);
    } else {
      LayOutFixed(negative, scaled.v, scaled.k, decimals, built);
    }
  }
  RightJustify(built, width, text);
}
