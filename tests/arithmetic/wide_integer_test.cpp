// The two-word wide integer, which 32-bit CPUs use, against the compiler's
// 128-bit integer: every operation on a million operands (a tenth under an
// emulator), random and at the corners (word and half-word edges, all ones,
// powers of two).
#if defined(__SIZEOF_INT128__)

#include <gtest/gtest.h>

#include <cstdint>

#include "arithmetic/wide_integer.h"

namespace {

using x87::detail::NativeWide;
using x87::detail::PortableWide;

// Fewer under an emulator, which runs them some twenty times slower.
#ifndef WIDE_INTEGER_CASES
#define WIDE_INTEGER_CASES 1000000
#endif
constexpr int CasesPerOperation = WIDE_INTEGER_CASES;

class Operands {
 public:
  // A 64-bit word: random, or a corner of the word or its halves, nudged.
  std::uint64_t Word() {
    constexpr std::uint64_t Corners[] = {0,
                                         1,
                                         0xFFFFFFFF,
                                         0x100000000,
                                         0x7FFFFFFFFFFFFFFF,
                                         0x8000000000000000,
                                         0xFFFFFFFFFFFFFFFF,
                                         0xFFFFFFFF00000000,
                                         0x80000000};
    const std::uint64_t r = Bits();
    switch (r % 4) {
      case 0:
        return Corners[(r >> 8) % std::size(Corners)] + ((r >> 16) % 3) - 1;
      case 1:
        return Bits() >> (r >> 8) % 64;  // fewer significant bits
      default:
        return Bits();
    }
  }
  int Count(int limit) { return static_cast<int>(Bits() % static_cast<std::uint64_t>(limit)); }

 private:
  // splitmix64
  std::uint64_t Bits() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
    return z ^ (z >> 31);
  }
  std::uint64_t state_ = 0x3ADE;
};

::testing::AssertionResult Same(PortableWide portable, NativeWide native) {
  if (portable.High() == native.High() && portable.Low() == native.Low()) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << std::hex << portable.High() << ":" << portable.Low() << " is not "
                                       << native.High() << ":" << native.Low();
}

TEST(WideInteger, TwoWordsMatchTheCompilersInteger) {
  Operands operands;
  for (int i = 0; i < CasesPerOperation; ++i) {
    const std::uint64_t a = operands.Word(), b = operands.Word(), c = operands.Word(), d = operands.Word();
    const PortableWide x = PortableWide::FromHalves(a, b), y = PortableWide::FromHalves(c, d);
    const NativeWide nx = NativeWide::FromHalves(a, b), ny = NativeWide::FromHalves(c, d);
    const int n = operands.Count(128);
    SCOPED_TRACE(::testing::Message() << std::hex << a << ":" << b << " " << c << ":" << d << std::dec << " n " << n);
    ASSERT_TRUE(Same(PortableWide::Product(a, c), NativeWide::Product(a, c)));
    ASSERT_TRUE(Same(x + y, nx + ny));
    ASSERT_TRUE(Same(x - y, nx - ny));
    ASSERT_TRUE(Same(x << n, nx << n));
    ASSERT_TRUE(Same(x >> n, nx >> n));
    ASSERT_TRUE(Same(x | y, nx | ny));
    ASSERT_TRUE(Same(x & y, nx & ny));
    const int sticky = operands.Count(200);
    ASSERT_TRUE(Same(ShiftRightSticky(x, sticky), ShiftRightSticky(nx, sticky)));
    ASSERT_EQ(x < y, nx < ny);
    ASSERT_EQ(x == y, nx == ny);
    if (a != 0 || b != 0) {
      ASSERT_EQ(x.LeadingZeros(), nx.LeadingZeros());
    }
    // The division needs a quotient that fits in 64 bits: high < divisor.
    if (c != 0) {
      const std::uint64_t high = a % c;
      const auto portable = PortableWide::Quotient(high, b, c);
      const auto native = NativeWide::Quotient(high, b, c);
      ASSERT_EQ(portable.quotient, native.quotient);
      ASSERT_EQ(portable.remainder, native.remainder);
    }
  }
}

}  // namespace

#endif  // defined(__SIZEOF_INT128__)
