// The formatter: its four directives, text outside them, and the cut at the
// capacity of a fixed buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "core/format.h"

namespace {

const void* Address(std::uintptr_t value) { return reinterpret_cast<const void*>(value); }

TEST(Formatter, FillsEachDirective) {
  const struct {
    const char* format;
    std::string expected;
    std::string result;
  } rows[] = {
    {"%s", "abc", FormatToString("%s", {"abc"})},
    {"%d", "105", FormatToString("%d", {105})},
    {"%d", "-105", FormatToString("%d", {-105})},
    {"%d", "-2147483648", FormatToString("%d", {INT32_MIN})},
    {"%x", "0", FormatToString("%x", {0u})},
    {"%x", "E06D7363", FormatToString("%x", {0xE06D7363u})},
    {"%p", "00000000", FormatToString("%p", {Address(0)})},
    {"%p", "00401A2C", FormatToString("%p", {Address(0x401a2c)})},
#if UINTPTR_MAX > 0xFFFFFFFF
    // An address wider than eight digits shows all of them.
    {"%p", "7FFD00001234", FormatToString("%p", {Address(0x7ffd00001234)})},
    {"%p", "FFFFFFFFFFFFF010", FormatToString("%p", {Address(UINTPTR_MAX - 0xFEF)})},
#else
    {"%p", "FFFFF010", FormatToString("%p", {Address(UINTPTR_MAX - 0xFEF)})},
#endif
    {"100%% %s", "100% x", FormatToString("100%% %s", {"x"})},
    {"%s %d %x %p", "a -1 FF 0000ABCD", FormatToString("%s %d %x %p", {"a", -1, 255u, Address(0xABCD)})},
    // Unknown directives and directives without an argument are text.
    {"%q %s", "%q x", FormatToString("%q %s", {"x"})},
    {"%s %s", "x %s", FormatToString("%s %s", {"x"})},
    {"ends in %", "ends in %", FormatToString("ends in %", {})},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.format);
    EXPECT_EQ(row.result, row.expected);
  }
}

TEST(Formatter, CutsAtTheCapacityAndAlwaysEndsWithAZeroByte) {
  const struct {
    std::size_t capacity;
    const char* expected;
  } rows[] = {
      {1, ""}, {2, "A"}, {12, "Address 004"}, {17, "Address 00401A2C"}, {64, "Address 00401A2C."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.capacity);
    char buffer[80];
    std::memset(buffer, '#', sizeof buffer);
    const std::size_t length = FormatToBuffer(buffer, row.capacity, "Address %p.", {Address(0x401a2c)});
    EXPECT_EQ(length, std::strlen(row.expected));
    EXPECT_STREQ(buffer, row.expected);
    // Nothing beyond the capacity is touched.
    EXPECT_EQ(buffer[row.capacity], '#');
  }
  // A wide address is cut like any other text.
  char buffer[12];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(FormatToBuffer(buffer, 10, "at %p", {Address(UINTPTR_MAX)}), 9u);
  EXPECT_STREQ(buffer, "at FFFFFF");
  EXPECT_EQ(buffer[10], '#');
}

}  // namespace
