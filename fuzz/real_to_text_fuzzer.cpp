// RealToText on arbitrary 10-byte extended bit patterns (unnormals, pseudo-
// denormals, pseudo-infinities and NaNs included) with arbitrary widths and
// decimals. Every call must end without a fault and give a text of at most
// 255 characters made only of the characters of a number or a special text,
// right-justified: spaces, then no space after the first other character
// except the blank sign position of scientific notation.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "arithmetic/fpu_environment.h"
#include "realtext/real_to_text.h"

namespace {

bool Allowed(char c) { return std::strchr(" +-.0123456789EInfNa", c) != nullptr && c != '\0'; }

void CheckText(const ShortString& text, std::int32_t width) {
  const std::int32_t length = text.length;
  const std::int32_t expectedAtLeast = width > 255 ? 255 : width;
  if (length < expectedAtLeast) {
    std::abort();  // right-justification fills to the width
  }
  if (length == 0) {
    std::abort();  // every value has a text
  }
  for (std::int32_t i = 0; i < length; ++i) {
    if (!Allowed(text.characters[i])) {
      std::abort();
    }
  }
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
  CheckText(*text, width);
  std::free(text);
  return 0;
}
