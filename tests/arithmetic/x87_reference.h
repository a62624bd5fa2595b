// The judge: each operation of the software core done by this machine's x87
// under a control word, returning the result bits and the six exception
// flags the operation raised.
//
//   X87Add({0x3FFF, 1 << 63}, {0x3FFF, 1 << 63}, 0x037F)
//     -> {{0x4000, 0x8000000000000000}, 0}
//
// The operations that keep the register stack as it is (the arithmetic on
// registers, fst m64, frndint and the comparisons) run under the word as
// given: an exception it leaves unmasked is read with fnstsw and cleared
// with fnclex before any waiting instruction could deliver it, so the flags
// are the hardware's own under that word, and the result is meaningless when
// one of them is unmasked. The loads and fistp, which would leave the stack
// unbalanced when an unmasked exception stops them, always run masked: their
// exceptions are all detected before anything is computed, so the flags do
// not depend on the masks.
//
// x86-64 only: elsewhere this header declares nothing, and the tests that
// need it are left out of the build.
#pragma once

#if defined(__x86_64__)

#include <cstdint>
#include <cstring>

#include "arithmetic/extended_value.h"

using namespace x87;

namespace x87_reference {

using x87::Extended;

template <typename Value>
struct Outcome {
  Value value;
  std::uint16_t flags;
};

enum class Order : std::uint8_t { Less, Equal, Greater, Unordered };

inline long double ToHardware(Extended x) {
  long double value = 0;
  std::memcpy(&value, &x.significand, sizeof x.significand);
  std::memcpy(reinterpret_cast<unsigned char*>(&value) + sizeof x.significand, &x.signExponent, sizeof x.signExponent);
  return value;
}

inline Extended FromHardware(long double value) {
  Extended x{};
  std::memcpy(&x.significand, &value, sizeof x.significand);
  std::memcpy(&x.signExponent, reinterpret_cast<const unsigned char*>(&value) + sizeof x.significand,
              sizeof x.signExponent);
  return x;
}

// The operands reach the unit through fld m80, which raises nothing for any
// encoding; the flags are cleared after the loads and read right after the
// operation, with the caller's control word put back.
#define X87_REFERENCE_BINARY(name, instruction)                                   \
  inline Outcome<Extended> name(Extended a, Extended b, std::uint16_t word) {     \
    long double x = ToHardware(a);                                                \
    const long double y = ToHardware(b);                                          \
    std::uint16_t saved;                                                          \
    std::uint16_t status;                                                         \
    asm volatile("fnstcw %[saved]\n\tfldcw %[word]\n\tfnclex\n\t" instruction     \
                 " %%st(1), %%st\n\tfnstsw %[status]\n\tfnclex\n\tfldcw %[saved]" \
                 : "+t"(x), [status] "=&a"(status), [saved] "=m"(saved)           \
                 : "u"(y), [word] "m"(word));                                     \
    return {FromHardware(x), static_cast<std::uint16_t>(status & 0x3F)};          \
  }

X87_REFERENCE_BINARY(X87Add, "fadd")
X87_REFERENCE_BINARY(X87Subtract, "fsub")
X87_REFERENCE_BINARY(X87Multiply, "fmul")
X87_REFERENCE_BINARY(X87Divide, "fdiv")
#undef X87_REFERENCE_BINARY

inline Outcome<Extended> X87WidenDouble(std::uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  long double result;
  std::uint16_t status;
  asm volatile("fnclex\n\tfldl %[value]\n\tfnstsw %[status]"
               : "=t"(result), [status] "=&a"(status)
               : [value] "m"(value));
  return {FromHardware(result), static_cast<std::uint16_t>(status & 0x3F)};
}

inline Outcome<Extended> X87WidenFloat(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  long double result;
  std::uint16_t status;
  asm volatile("fnclex\n\tflds %[value]\n\tfnstsw %[status]"
               : "=t"(result), [status] "=&a"(status)
               : [value] "m"(value));
  return {FromHardware(result), static_cast<std::uint16_t>(status & 0x3F)};
}

inline Outcome<Extended> X87WidenInteger(std::int64_t value) {
  long double result;
  std::uint16_t status;
  asm volatile("fnclex\n\tfildll %[value]\n\tfnstsw %[status]"
               : "=t"(result), [status] "=&a"(status)
               : [value] "m"(value));
  return {FromHardware(result), static_cast<std::uint16_t>(status & 0x3F)};
}

inline Outcome<std::uint64_t> X87StoreDouble(Extended a, std::uint16_t word) {
  const long double x = ToHardware(a);
  std::uint16_t saved;
  std::uint16_t status;
  double result;
  asm volatile(
      "fnstcw %[saved]\n\tfldcw %[word]\n\tfnclex\n\tfstl %[result]\n\tfnstsw %[status]\n\tfnclex\n\tfldcw %[saved]"
      : [result] "=m"(result), [status] "=&a"(status), [saved] "=m"(saved)
      : "t"(x), [word] "m"(word));
  std::uint64_t bits;
  std::memcpy(&bits, &result, sizeof bits);
  return {bits, static_cast<std::uint16_t>(status & 0x3F)};
}

inline Outcome<Extended> X87RoundToIntegral(Extended a, std::uint16_t word) {
  long double x = ToHardware(a);
  std::uint16_t saved;
  std::uint16_t status;
  asm volatile("fnstcw %[saved]\n\tfldcw %[word]\n\tfnclex\n\tfrndint\n\tfnstsw %[status]\n\tfnclex\n\tfldcw %[saved]"
               : "+t"(x), [status] "=&a"(status), [saved] "=m"(saved)
               : [word] "m"(word));
  return {FromHardware(x), static_cast<std::uint16_t>(status & 0x3F)};
}

inline Outcome<std::int64_t> X87RoundToInt64(Extended a, std::uint16_t controlWord) {
  const long double x = ToHardware(a);
  const auto word = static_cast<std::uint16_t>(controlWord | AllExceptionFlags);
  std::uint16_t saved;
  std::uint16_t status;
  std::int64_t result;
  asm volatile("fnstcw %[saved]\n\tfldcw %[word]\n\tfnclex\n\tfistpll %[result]\n\tfnstsw %[status]\n\tfldcw %[saved]"
               : [result] "=m"(result), [status] "=&a"(status), [saved] "=m"(saved)
               : "t"(x), [word] "m"(word)
               : "st");
  return {result, static_cast<std::uint16_t>(status & 0x3F)};
}

inline Outcome<Extended> X87Negate(Extended a) {
  long double x = ToHardware(a);
  std::uint16_t status;
  asm volatile("fnclex\n\tfchs\n\tfnstsw %[status]" : "+t"(x), [status] "=&a"(status));
  return {FromHardware(x), static_cast<std::uint16_t>(status & 0x3F)};
}

// fucomi (quiet) or fcomi (signalling) of a against b.
#define X87_REFERENCE_COMPARE(name, instruction)                                                                \
  inline Outcome<Order> name(Extended a, Extended b, std::uint16_t word) {                                      \
    const long double x = ToHardware(a);                                                                        \
    const long double y = ToHardware(b);                                                                        \
    std::uint16_t saved;                                                                                        \
    std::uint16_t status;                                                                                       \
    bool zero;                                                                                                  \
    bool parity;                                                                                                \
    bool carry;                                                                                                 \
    asm volatile("fnstcw %[saved]\n\tfldcw %[word]\n\tfnclex\n\t" instruction                                   \
                 " %%st(1), %%st\n\tfnstsw %[status]\n\tfnclex\n\tfldcw %[saved]"                               \
                 : [status] "=&a"(status), "=@ccz"(zero), "=@ccp"(parity), "=@ccc"(carry), [saved] "=m"(saved)  \
                 : "t"(x), "u"(y), [word] "m"(word));                                                           \
    const Order order = parity ? Order::Unordered : zero ? Order::Equal : carry ? Order::Less : Order::Greater; \
    return {order, static_cast<std::uint16_t>(status & 0x3F)};                                                  \
  }

X87_REFERENCE_COMPARE(X87CompareQuiet, "fucomi")
X87_REFERENCE_COMPARE(X87CompareSignaling, "fcomi")
#undef X87_REFERENCE_COMPARE

}  // namespace x87_reference

#endif  // defined(__x86_64__)
