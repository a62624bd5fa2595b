// TextToReal on arbitrary bytes, cut as the token reader cuts them: at most
// 64 characters, ending at the first zero byte. Every call must end, stay in
// its text, and report a position from 0 to length + 1; the only fault it
// may raise is the floating-point overflow of a value beyond the extended
// range.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/fpu_environment.h"
#include "platform/exception_api.h"
#include "realtext/text_to_real.h"

using namespace x87;

namespace {

constexpr std::size_t LongestToken = 64;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitFpu();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exactly sized copy, so that reading past the terminating zero is
  // caught by the address sanitizer.
  std::size_t length = 0;
  while (length < size && length < LongestToken && data[length] != 0) {
    ++length;
  }
  char* text = static_cast<char*>(std::malloc(length + 1));
  std::memcpy(text, data, length);
  text[length] = '\0';
  try {
    const TextToRealResult result = TextToReal(text);
    if (result.errorPosition < 0 || static_cast<std::size_t>(result.errorPosition) > length + 1) {
      std::abort();
    }
  } catch (const StructuredException& fault) {
    if (fault.record.ExceptionCode != STATUS_FLOAT_OVERFLOW) {
      std::abort();
    }
  }
  std::free(text);
  return 0;
}
