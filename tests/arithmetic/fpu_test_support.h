// Shared fixture and exact comparisons of the arithmetic tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ios>

#include "arithmetic/extended_arithmetic.h"
#include "platform/exception_api.h"
#include "support/extended_literals.h"

using namespace x87;

// Every test starts and ends in the start-up environment, whatever the test
// before it left behind: a reset unit with the program's word 0x1332.
class FpuTest : public ::testing::Test {
 protected:
  static constexpr std::uint16_t StartupWord = 0x1332;

  void SetUp() override { Install(StartupWord); }
  void TearDown() override { Install(StartupWord); }

  // Installs another word on a reset unit for the rest of the test.
  static void Install(std::uint16_t word) {
    x87::ResetFpu();
    x87::LoadControlWord(word);
  }
};

// Bit-for-bit equality, so that +0 and -0 differ.
inline ::testing::AssertionResult SameDouble(double actual, double expected) {
  if (x87::BitCast<std::uint64_t>(actual) == x87::BitCast<std::uint64_t>(expected)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << std::hexfloat << actual << " is not " << expected;
}

inline ::testing::AssertionResult SameExtended(Extended actual, Extended expected) {
  const Extended a = actual;
  const Extended e = expected;
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
