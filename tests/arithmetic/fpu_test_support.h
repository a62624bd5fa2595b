// Shared fixture and exact comparisons of the arithmetic tests.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <ios>

#include "arithmetic/extended_arithmetic.h"
#include "arithmetic/fpu_environment.h"
#include "platform/exception_api.h"
#include "platform/keyboard_registry.h"
#include "support/extended_literals.h"
#include "support/simulated_keyboard_registry.h"

// Every test starts and ends in the start-up environment, whatever the test
// before it left behind: the default word installed, no simulated keyboard.
class FpuTest : public ::testing::Test {
 protected:
  void SetUp() override { Restore(); }
  void TearDown() override { Restore(); }

  static void Restore() {
    SimulateKeyboardRegistry(nullptr);
    DefaultControlWord = 0x1332;
    InitFpu();
  }

  // Installs another word for the rest of the test.
  static void Install(std::uint16_t word) {
    DefaultControlWord = word;
    InitFpu();
  }
};

// Bit-for-bit equality, so that +0 and -0 differ.
inline ::testing::AssertionResult SameDouble(double actual, double expected) {
  if (std::bit_cast<std::uint64_t>(actual) == std::bit_cast<std::uint64_t>(expected)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << std::hexfloat << actual << " is not " << expected;
}

inline ::testing::AssertionResult SameExtended(Extended actual, Extended expected) {
  const ExtendedBits a = BitsOf(actual);
  const ExtendedBits e = BitsOf(expected);
  if (a.signExponent == e.signExponent && a.significand == e.significand) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << actual << " is not " << expected;
}

// The fault code that `action` raised, or 0 when it ran through.
template <typename Action>
DWORD FaultOf(Action action) {
  try {
    action();
  } catch (const StructuredException& fault) {
    return fault.record.ExceptionCode;
  }
  return 0;
}
