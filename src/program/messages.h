// What begins each of the program's own messages on standard error: a
// usage error, an answer to --help or --version that could not be written,
// a batch value that failed.
//   "angleconv: invalid option -- 'h'"
//   "angleconv: line 2: EInOutError: Invalid numeric input."
#pragma once

#include <string_view>

inline constexpr std::string_view MessagePrefix = "angleconv: ";
