// The formatter of the run-time layer's messages and reports. It knows four
// directives:
//   %s  the argument's text, unchanged            ("%s", "abc")  -> "abc"
//   %d  signed decimal, no padding                ("%d", -105)   -> "-105"
//   %x  unsigned uppercase hex, no prefix/padding ("%x", 0xE06D7363u) -> "E06D7363"
//   %p  address, at least eight uppercase hex digits with leading zeros
//                                                 ("%p", 0x401a2c) -> "00401A2C"
//       (a wider address shows all its digits:     0x7ffd00001234 -> "7FFD00001234")
// "%%" gives one '%'; any other directive, and a directive without an
// argument left, is copied as it stands. Text outside directives is copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// One argument; the directive decides how it is read.
struct FormatArg {
  std::string_view text;
  std::int64_t signedValue = 0;
  std::uint64_t bits = 0;

  FormatArg(const char* value) : text(value) {}
  FormatArg(std::string_view value) : text(value) {}
  FormatArg(const std::string& value) : text(value) {}
  FormatArg(std::int32_t value) : signedValue(value), bits(static_cast<std::uint32_t>(value)) {}
  FormatArg(std::uint32_t value) : signedValue(value), bits(value) {}
  FormatArg(const void* value)
      : signedValue(static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(value))),
        bits(reinterpret_cast<std::uintptr_t>(value)) {}
};

using FormatArgs = std::initializer_list<FormatArg>;

// Fills `buffer` with at most capacity - 1 characters and a zero byte;
// returns the length written. A capacity of 0 writes nothing.
std::size_t FormatToBuffer(char* buffer, std::size_t capacity, std::string_view format, FormatArgs args);

// The same, without a cut.
std::string FormatToString(std::string_view format, FormatArgs args);
