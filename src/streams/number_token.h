// The number token that both readers cut out of a line: how long it may be
// and how it becomes a value.
#pragma once

#include <cstddef>

#include "arithmetic/extended_arithmetic.h"
#include "core/io_result.h"
#include "core/runtime_error.h"
#include "realtext/text_to_real.h"

// The longest number token that is converted; a longer one is rejected.
inline constexpr std::size_t NumberTokenCapacity = 64;

// A `length` over NumberTokenCapacity stores 106 and gives 0; otherwise the
// zero-terminated `token` goes to TextToReal, and a token that is no number
// stores 106. Inline: the batch mode converts millions of tokens.
//   "1e3", 3 -> 1000     "abc", 3 -> 106 stored     65 digits -> 0, 106 stored
inline x87::Extended ConvertNumberToken(const char* token, std::size_t length) {
  if (length > NumberTokenCapacity) {
    SetIoResult(IoResult::InvalidNumericInput);
    return x87::Extended{};
  }
  const TextToRealResult converted = TextToReal(token);
  if (converted.errorPosition != 0) {
    SetIoResult(IoResult::InvalidNumericInput);
  }
  return converted.value;
}
