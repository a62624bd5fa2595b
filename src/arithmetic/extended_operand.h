// An operand of the software core taken apart, and the small steps that
// every operation on operands of any class shares. Internal to
// src/arithmetic.
#pragma once

#include <cassert>
#include <cstdint>

#include "arithmetic/extended_value.h"

namespace x87::detail {

// A denormal's exponent is 1, where its value lies.
struct Operand {
  ExtendedClass kind;
  bool sign;
  std::int32_t exponent;
  std::uint64_t significand;
};

inline Operand Unpack(Extended x) {
  const std::int32_t field = ExponentFieldOf(x);
  return {Classify(x), SignOf(x), field == 0 ? 1 : field, x.significand};
}

// The same for a value already known to be normal, without classifying it.
constexpr Operand UnpackNormal(Extended x) {
  assert(IsNormal(x));
  return {ExtendedClass::Normal, SignOf(x), ExponentFieldOf(x), x.significand};
}

inline Extended Quieted(Extended x) { return {x.signExponent, x.significand | QuietBit}; }

inline Extended Invalid(std::uint16_t& status) {
  status |= InvalidFlag;
  return RealIndefinite;
}

}  // namespace x87::detail
