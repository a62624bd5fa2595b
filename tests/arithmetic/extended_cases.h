// One test case of the software core, in a form shared by the differential
// test, the golden vectors and the fuzz target: an operation, a rounding
// control, up to two operands and the outcome (result bits and flags).
//
// Widenings carry their source bits (double, float or int64) in
// a.significand; the store and fistp give their 64 result bits in
// value.significand; comparisons give the Ordering there.
//
// A golden line is "<op><rounding> <a> [<b>] <result> <flags>", every field
// hex without leading zeros, an extended value as signExponent:significand
// run together in one 80-bit number:
//   "a0 3fff8000000000000000 3fbf8000000000000000 3fff8000000000000000 20"
//   is Add, nearest: 1 + 2^-64 = 1, inexact.
#pragma once

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "arithmetic/extended_arithmetic.h"
#include "arithmetic/extended_operations.h"
#include "arithmetic/x87_reference.h"

namespace extended_cases {

using x87::Extended;
using x87::Rounding;

enum class Operation : std::uint8_t {
  Add,
  Subtract,
  Multiply,
  Divide,
  StoreDouble,
  RoundToIntegral,
  RoundToInt64,
  CompareQuiet,
  CompareSignaling,
  Negate,
  WidenDouble,
  WidenFloat,
  WidenInteger,
};
constexpr int OperationCount = 13;

struct OperationInfo {
  const char* name;
  char letter;  // in golden lines
  int operands;
};
constexpr OperationInfo Operations[OperationCount] = {
    {"Add", 'a', 2},          {"Subtract", 's', 2},     {"Multiply", 'm', 2},
    {"Divide", 'd', 2},       {"StoreDouble", 'f', 1},  {"RoundToIntegral", 'r', 1},
    {"RoundToInt64", 'i', 1}, {"CompareQuiet", 'u', 2}, {"CompareSignaling", 'c', 2},
    {"Negate", 'n', 1},       {"WidenDouble", 'D', 1},  {"WidenFloat", 'F', 1},
    {"WidenInteger", 'I', 1},
};
inline const OperationInfo& InfoOf(Operation op) { return Operations[static_cast<int>(op)]; }

struct Case {
  Operation op;
  Rounding rounding;
  Extended a;
  Extended b;
  // The control word's exception masks; golden lines hold only cases with
  // every exception masked.
  std::uint16_t masks = x87::AllExceptionFlags;
};

// The case's masks, 64-bit precision and its rounding control.
inline std::uint16_t ControlWordOf(const Case& c) {
  return x87::WithRounding(static_cast<std::uint16_t>(0x0340 | c.masks), c.rounding);
}

struct Outcome {
  Extended value;
  std::uint16_t flags;
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

inline Outcome RunSoft(const Case& c) {
  using namespace x87;
  using namespace x87::detail;
  const std::uint16_t word = ControlWordOf(c);
  std::uint16_t flags = 0;
  Extended value{};
  switch (c.op) {
    case Operation::Add:
      value = AddMasked(c.a, c.b, word, flags);
      break;
    case Operation::Subtract:
      value = SubtractMasked(c.a, c.b, word, flags);
      break;
    case Operation::Multiply:
      value = MultiplyMasked(c.a, c.b, word, flags);
      break;
    case Operation::Divide:
      value = DivideMasked(c.a, c.b, word, flags);
      break;
    case Operation::StoreDouble:
      value.significand = StoreDoubleMasked(c.a, word, flags);
      break;
    case Operation::RoundToIntegral:
      value = RoundToIntegralMasked(c.a, word, flags);
      break;
    case Operation::RoundToInt64:
      value.significand = static_cast<std::uint64_t>(RoundToInt64Masked(c.a, word, flags));
      break;
    case Operation::CompareQuiet:
      value.significand = static_cast<std::uint64_t>(CompareQuietMasked(c.a, c.b, flags));
      break;
    case Operation::CompareSignaling:
      value.significand = static_cast<std::uint64_t>(CompareSignalingMasked(c.a, c.b, flags));
      break;
    case Operation::Negate:
      value = Negate(c.a);
      break;
    case Operation::WidenDouble:
      value = WidenDoubleMasked(c.a.significand, flags);
      break;
    case Operation::WidenFloat:
      value = WidenFloatMasked(static_cast<std::uint32_t>(c.a.significand), flags);
      break;
    case Operation::WidenInteger:
      value = WidenInteger(static_cast<std::int64_t>(c.a.significand));
      break;
  }
  return {value, flags};
}

#if defined(__x86_64__)
inline Outcome RunX87(const Case& c) {
  using namespace x87_reference;
  const auto extended = [](auto o) { return Outcome{o.value, o.flags}; };
  const auto bits = [](auto o) { return Outcome{{0, static_cast<std::uint64_t>(o.value)}, o.flags}; };
  switch (c.op) {
    case Operation::Add:
      return extended(X87Add(c.a, c.b, ControlWordOf(c)));
    case Operation::Subtract:
      return extended(X87Subtract(c.a, c.b, ControlWordOf(c)));
    case Operation::Multiply:
      return extended(X87Multiply(c.a, c.b, ControlWordOf(c)));
    case Operation::Divide:
      return extended(X87Divide(c.a, c.b, ControlWordOf(c)));
    case Operation::StoreDouble:
      return bits(X87StoreDouble(c.a, ControlWordOf(c)));
    case Operation::RoundToIntegral:
      return extended(X87RoundToIntegral(c.a, ControlWordOf(c)));
    case Operation::RoundToInt64:
      return bits(X87RoundToInt64(c.a, ControlWordOf(c)));
    case Operation::CompareQuiet:
      return bits(X87CompareQuiet(c.a, c.b, ControlWordOf(c)));
    case Operation::CompareSignaling:
      return bits(X87CompareSignaling(c.a, c.b, ControlWordOf(c)));
    case Operation::Negate:
      return extended(X87Negate(c.a));
    case Operation::WidenDouble:
      return extended(X87WidenDouble(c.a.significand));
    case Operation::WidenFloat:
      return extended(X87WidenFloat(static_cast<std::uint32_t>(c.a.significand)));
    case Operation::WidenInteger:
      return extended(X87WidenInteger(static_cast<std::int64_t>(c.a.significand)));
  }
  return {};
}

// Whether the software core agrees with the x87 on a case: with an exception
// that the case leaves unmasked, on the fault alone (the first such flag,
// in the order invalid, denormal, zero divide, overflow, underflow,
// precision: the flags' own bit order), since the result is then never
// used; otherwise on the result bits and all six flags.
inline bool Agree(const Case& c, const Outcome& soft, const Outcome& reference) {
  const auto fault = [&c](std::uint16_t flags) {
    const auto unmasked = static_cast<std::uint16_t>(flags & ~c.masks & x87::AllExceptionFlags);
    return static_cast<std::uint16_t>(unmasked & -unmasked);
  };
  if (fault(soft.flags) != 0 || fault(reference.flags) != 0) {
    return fault(soft.flags) == fault(reference.flags);
  }
  return soft == reference;
}
#endif

// The operation's operands and results, as text for a failure message.
inline std::string Describe(const Case& c, const Outcome& soft, const Outcome& reference) {
  char text[256];
  std::snprintf(text, sizeof text,
                "%s rounding %u masks %02x a=%04x:%016" PRIx64 " b=%04x:%016" PRIx64 "\n  soft %04x:%016" PRIx64
                " flags %02x\n  x87  %04x:%016" PRIx64 " flags %02x",
                InfoOf(c.op).name, static_cast<unsigned>(c.rounding), c.masks, c.a.signExponent, c.a.significand,
                c.b.signExponent, c.b.significand, soft.value.signExponent, soft.value.significand, soft.flags,
                reference.value.signExponent, reference.value.significand, reference.flags);
  return text;
}

// Golden lines.

inline void AppendValue(std::string& line, Extended x) {
  char text[32];
  if (x.signExponent != 0) {
    std::snprintf(text, sizeof text, " %x%016" PRIx64, x.signExponent, x.significand);
  } else {
    std::snprintf(text, sizeof text, " %" PRIx64, x.significand);
  }
  line += text;
}

inline std::string FormatLine(const Case& c, const Outcome& outcome) {
  std::string line;
  line += InfoOf(c.op).letter;
  line += static_cast<char>('0' + static_cast<int>(c.rounding));
  AppendValue(line, c.a);
  if (InfoOf(c.op).operands == 2) {
    AppendValue(line, c.b);
  }
  AppendValue(line, outcome.value);
  char flags[8];
  std::snprintf(flags, sizeof flags, " %x", outcome.flags);
  line += flags;
  return line;
}

// Reads one hex field of up to 20 digits; advances `text` past it.
inline std::optional<Extended> ParseValue(const char*& text) {
  while (*text == ' ') {
    ++text;
  }
  const char* start = text;
  while ((*text >= '0' && *text <= '9') || (*text >= 'a' && *text <= 'f')) {
    ++text;
  }
  const auto digits = static_cast<std::size_t>(text - start);
  if (digits == 0 || digits > 20) {
    return std::nullopt;
  }
  const std::size_t highDigits = digits > 16 ? digits - 16 : 0;
  const std::string high(start, highDigits);
  const std::string low(start + highDigits, digits - highDigits);
  const auto signExponent = highDigits == 0 ? 0 : std::strtoul(high.c_str(), nullptr, 16);
  return Extended{static_cast<std::uint16_t>(signExponent), std::strtoull(low.c_str(), nullptr, 16)};
}

struct GoldenCase {
  Case input;
  Outcome expected;
};

inline std::optional<GoldenCase> ParseLine(const char* text) {
  GoldenCase golden{};
  const char* letter = std::strchr("asmdfriucnDFI", text[0]);
  if (text[0] == '\0' || letter == nullptr || text[1] < '0' || text[1] > '3') {
    return std::nullopt;
  }
  golden.input.op = static_cast<Operation>(letter - "asmdfriucnDFI");
  golden.input.rounding = static_cast<Rounding>(text[1] - '0');
  text += 2;
  const auto a = ParseValue(text);
  const auto b = InfoOf(golden.input.op).operands == 2 ? ParseValue(text) : std::optional<Extended>(Extended{});
  const auto result = ParseValue(text);
  const auto flags = ParseValue(text);
  if (!a || !b || !result || !flags || flags->significand > 0x3F) {
    return std::nullopt;
  }
  golden.input.a = *a;
  golden.input.b = *b;
  golden.expected = {*result, static_cast<std::uint16_t>(flags->significand)};
  return golden;
}

}  // namespace extended_cases
