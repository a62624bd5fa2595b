// RealToText on arbitrary 10-byte extended bit patterns (unnormals, pseudo-
// denormals, pseudo-infinities and NaNs included) with arbitrary widths and
// decimals. Every call must end without a fault and give a text made only of
// the characters of a number or a special text, right-justified to the width
// (at most 255): spaces, then none after the first other character. For a
// canonical finite value the number written must lie within half a unit of
// its last digit, plus two units of the 17th significant digit (of the 16th
// decimal below 10), of the exact value: the conversion keeps 18
// significant digits (17 decimals below 10), then rounds its magnitude half
// up (half away from zero) at the place asked.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/fpu_environment.h"
#include "realtext/real_to_text.h"
#include "support/exact_integer.h"

using namespace x87;

namespace {

bool Allowed(char c) { return c != '\0' && std::strchr(" +-.0123456789EInfNa", c) != nullptr; }

void Require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

void CheckShape(std::string_view text, std::int32_t width) {
  Require(!text.empty());
  Require(static_cast<std::int32_t>(text.size()) >= (width > 255 ? 255 : width));
  const std::size_t first = text.find_first_not_of(' ');
  Require(first != std::string_view::npos);
  for (std::size_t i = first; i < text.size(); ++i) {
    Require(Allowed(text[i]) && text[i] != ' ');
  }
}

// A number as written: digits D and the power of ten p of its last digit.
struct WrittenNumber {
  bool negative = false;
  ExactInteger digits;
  int lastDigitPower = 0;
};

WrittenNumber ParseWritten(std::string_view text) {
  WrittenNumber number;
  std::size_t i = text.find_first_not_of(' ');
  if (text[i] == '-' || text[i] == '+') {
    number.negative = text[i++] == '-';
  }
  bool afterPoint = false;
  for (; i < text.size() && text[i] != 'E'; ++i) {
    if (text[i] == '.') {
      afterPoint = true;
      continue;
    }
    number.digits.MultiplyAdd(10, static_cast<std::uint32_t>(text[i] - '0'));
    number.lastDigitPower -= afterPoint ? 1 : 0;
  }
  if (i < text.size()) {
    const bool negativeExponent = text[i + 1] == '-';
    int exponent = 0;
    for (i += 2; i < text.size(); ++i) {
      exponent = exponent * 10 + (text[i] - '0');
    }
    number.lastDigitPower += negativeExponent ? -exponent : exponent;
  }
  return number;
}

// significand * 2^power * 10^tens, for powers of two and ten of either sign
// brought to integers by the common scale 2^-twos * 10^-tens (each >= 0).
ExactInteger Scaled(ExactInteger value, int twoPower, int tenPower, int twos, int tens) {
  value.ShiftLeft(twoPower - twos);
  value.MultiplyByPowerOfTen(tenPower - tens);
  return value;
}

// |written - m * 2^q| <= 5 * 10^(p-1) + 2 * 10^(e-17), where 10^e bounds
// the value from above, and is at least 10.
void CheckDigits(std::string_view text, std::uint64_t significand, int q, bool negative) {
  const WrittenNumber written = ParseWritten(text);
  if (!written.digits.IsZero()) {
    Require(written.negative == negative);
  }
  const int p = written.lastDigitPower;
  const int e = std::max((q + 64) * 30103 / 100000 + 1, 1);  // 2^(q+64) < 10^e
  const int twos = q < 0 ? q : 0;
  const int tens = std::min({p - 1, e - 17, 0});
  const ExactInteger exact = Scaled(ExactInteger(significand), q, 0, twos, tens);
  const ExactInteger shown = Scaled(written.digits, 0, p, twos, tens);
  ExactInteger bound = Scaled(ExactInteger(5), 0, p - 1, twos, tens);
  bound.Add(Scaled(ExactInteger(2), 0, e - 17, twos, tens));
  ExactInteger difference = shown.Compare(exact) >= 0 ? shown : exact;
  difference.Subtract(shown.Compare(exact) >= 0 ? exact : shown);
  Require(difference.Compare(bound) <= 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitFpu();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // 8 bytes significand, 2 bytes sign and exponent, 4 bytes width, 4 bytes
  // decimals; missing bytes are zero.
  std::uint8_t bytes[18] = {};
  std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
  std::uint64_t significand;
  std::uint16_t signExponent;
  std::int32_t width;
  std::int32_t decimals;
  std::memcpy(&significand, bytes, 8);
  std::memcpy(&signExponent, bytes + 8, 2);
  std::memcpy(&width, bytes + 10, 4);
  std::memcpy(&decimals, bytes + 14, 4);

  ShortString* text = static_cast<ShortString*>(std::malloc(sizeof(ShortString)));
  RealToText(width, decimals, ExtendedFromBits(signExponent, significand), *text);
  const std::string_view written(text->characters, text->length);
  CheckShape(written, width);
  // Canonical finite values only: normals with their integer bit, denormals
  // and zeros without; a text cut at 255 characters is not the whole number.
  const int field = signExponent & 0x7FFF;
  const bool integerBit = (significand >> 63) != 0;
  const bool canonical = field == 0 ? !integerBit : (field < 0x7FFF && integerBit);
  if (canonical && written.size() < 255) {
    const int q = (field == 0 ? 1 : field) - 16383 - 63;
    CheckDigits(written, significand, q, (signExponent & 0x8000) != 0);
  }
  std::free(text);
  return 0;
}
