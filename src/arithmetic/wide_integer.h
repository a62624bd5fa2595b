// The 128-bit unsigned integer of the software core's exact intermediates:
// products, aligned sums and differences, sticky shifts, quotients with
// their remainder. Two forms with one interface: the compiler's 128-bit
// integer where it has one, and two 64-bit words (with the 64-by-64 product
// from 32-bit pieces) where it has not, as on 32-bit CPUs. `Wide` is the
// form in use; defining ANGLECONV_PORTABLE_WIDE forces the two-word form,
// so that it can be run through every test on a 64-bit CPU as well.
// Internal to src/arithmetic.
//
//   Wide::Product(2^63, 6)            -> High() 3, Low() 0
//   Wide::FromHalves(1, 0) >> 1       -> Low() 2^63
//   (Wide{1} << 100).LeadingZeros()   -> 27
//   Wide::Quotient(1, 0, 3)           -> {0x5555555555555555, 1}
#pragma once

#include <cassert>
#include <cstdint>

namespace x87::detail {

// (high * 2^64 + low) / divisor and its remainder, for high < divisor, so
// that the quotient fits in 64 bits.
struct QuotientRemainder {
  std::uint64_t quotient;
  std::uint64_t remainder;
};

// Shift counts are 0 to 127 throughout.
class PortableWide {
 public:
  constexpr PortableWide() = default;
  constexpr PortableWide(std::uint64_t low) : high_(0), low_(low) {}
  static constexpr PortableWide FromHalves(std::uint64_t high, std::uint64_t low) {
    PortableWide x;
    x.high_ = high;
    x.low_ = low;
    return x;
  }

  constexpr std::uint64_t High() const { return high_; }
  constexpr std::uint64_t Low() const { return low_; }

  friend constexpr PortableWide operator<<(PortableWide x, int n) {
    if (n == 0) {
      return x;
    }
    if (n >= 64) {
      return FromHalves(x.low_ << (n - 64), 0);
    }
    return FromHalves(x.high_ << n | x.low_ >> (64 - n), x.low_ << n);
  }
  friend constexpr PortableWide operator>>(PortableWide x, int n) {
    if (n == 0) {
      return x;
    }
    if (n >= 64) {
      return FromHalves(0, x.high_ >> (n - 64));
    }
    return FromHalves(x.high_ >> n, x.low_ >> n | x.high_ << (64 - n));
  }
  friend constexpr PortableWide operator|(PortableWide a, PortableWide b) {
    return FromHalves(a.high_ | b.high_, a.low_ | b.low_);
  }
  friend constexpr PortableWide operator&(PortableWide a, PortableWide b) {
    return FromHalves(a.high_ & b.high_, a.low_ & b.low_);
  }
  friend constexpr PortableWide operator+(PortableWide a, PortableWide b) {
    const std::uint64_t low = a.low_ + b.low_;
    return FromHalves(a.high_ + b.high_ + (low < a.low_ ? 1 : 0), low);
  }
  friend constexpr PortableWide operator-(PortableWide a, PortableWide b) {
    return FromHalves(a.high_ - b.high_ - (a.low_ < b.low_ ? 1 : 0), a.low_ - b.low_);
  }
  friend constexpr bool operator==(PortableWide a, PortableWide b) = default;
  friend constexpr bool operator<(PortableWide a, PortableWide b) {
    return a.high_ != b.high_ ? a.high_ < b.high_ : a.low_ < b.low_;
  }
  friend constexpr bool operator>(PortableWide a, PortableWide b) { return b < a; }

  // x must not be 0.
  constexpr int LeadingZeros() const {
    assert(high_ != 0 || low_ != 0);
    return high_ != 0 ? CountLeadingZeros64(high_) : 64 + CountLeadingZeros64(low_);
  }

  // The product from four 32-by-32 products.
  static constexpr PortableWide Product(std::uint64_t a, std::uint64_t b) {
    constexpr std::uint64_t Half = 0xFFFFFFFF;
    const std::uint64_t lowLow = (a & Half) * (b & Half);
    const std::uint64_t highLow = (a >> 32) * (b & Half);
    const std::uint64_t lowHigh = (a & Half) * (b >> 32);
    const std::uint64_t highHigh = (a >> 32) * (b >> 32);
    // The middle column with the carry out of the low one; below 3 * 2^32.
    const std::uint64_t middle = (lowLow >> 32) + (highLow & Half) + (lowHigh & Half);
    return FromHalves(highHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32), (middle << 32) | (lowLow & Half));
  }

  // Long division in base 2^32 (two quotient digits, each estimated from the
  // divisor's top digit and corrected), after the divisor is normalized so
  // that its top bit is set.
  static constexpr QuotientRemainder Quotient(std::uint64_t high, std::uint64_t low, std::uint64_t divisor) {
    assert(high < divisor);
    constexpr std::uint64_t Base = std::uint64_t{1} << 32;
    const int shift = CountLeadingZeros64(divisor);
    divisor <<= shift;
    const std::uint64_t top = divisor >> 32;
    const std::uint64_t bottom = divisor & (Base - 1);
    const std::uint64_t numerator = shift == 0 ? high : high << shift | low >> (64 - shift);
    const std::uint64_t lowDigits = low << shift;
    std::uint64_t remainder = numerator;
    std::uint64_t quotient = 0;
    for (const std::uint64_t digit : {lowDigits >> 32, lowDigits & (Base - 1)}) {
      // remainder < divisor: the next digit of the quotient is below Base.
      std::uint64_t estimate = remainder / top;
      std::uint64_t rest = remainder % top;
      while (estimate >= Base || estimate * bottom > (rest << 32 | digit)) {
        --estimate;
        rest += top;
        if (rest >= Base) {
          break;
        }
      }
      remainder = (remainder << 32 | digit) - estimate * divisor;
      quotient = quotient << 32 | estimate;
    }
    return {quotient, remainder >> shift};
  }

 private:
  static constexpr int CountLeadingZeros64(std::uint64_t x) { return __builtin_clzll(x); }

  std::uint64_t high_ = 0;
  std::uint64_t low_ = 0;
};

#if defined(__SIZEOF_INT128__)
class NativeWide {
 public:
  using Bits = unsigned __int128;

  constexpr NativeWide() = default;
  constexpr NativeWide(std::uint64_t low) : bits_(low) {}
  static constexpr NativeWide FromHalves(std::uint64_t high, std::uint64_t low) {
    return FromBits(Bits{high} << 64 | low);
  }

  constexpr std::uint64_t High() const { return static_cast<std::uint64_t>(bits_ >> 64); }
  constexpr std::uint64_t Low() const { return static_cast<std::uint64_t>(bits_); }

  friend constexpr NativeWide operator<<(NativeWide x, int n) { return FromBits(x.bits_ << n); }
  friend constexpr NativeWide operator>>(NativeWide x, int n) { return FromBits(x.bits_ >> n); }
  friend constexpr NativeWide operator|(NativeWide a, NativeWide b) { return FromBits(a.bits_ | b.bits_); }
  friend constexpr NativeWide operator&(NativeWide a, NativeWide b) { return FromBits(a.bits_ & b.bits_); }
  friend constexpr NativeWide operator+(NativeWide a, NativeWide b) { return FromBits(a.bits_ + b.bits_); }
  friend constexpr NativeWide operator-(NativeWide a, NativeWide b) { return FromBits(a.bits_ - b.bits_); }
  friend constexpr bool operator==(NativeWide a, NativeWide b) = default;
  friend constexpr bool operator<(NativeWide a, NativeWide b) { return a.bits_ < b.bits_; }
  friend constexpr bool operator>(NativeWide a, NativeWide b) { return a.bits_ > b.bits_; }

  // x must not be 0.
  constexpr int LeadingZeros() const {
    assert(bits_ != 0);
    return High() != 0 ? __builtin_clzll(High()) : 64 + __builtin_clzll(Low());
  }

  static constexpr NativeWide Product(std::uint64_t a, std::uint64_t b) { return FromBits(Bits{a} * b); }

  // On x86-64 one divq, less than half the time of the compiler's general
  // 128-bit division routine.
  static QuotientRemainder Quotient(std::uint64_t high, std::uint64_t low, std::uint64_t divisor) {
    assert(high < divisor);
#if defined(__x86_64__)
    QuotientRemainder result;
    asm("divq %[divisor]"
        : "=a"(result.quotient), "=d"(result.remainder)
        : [divisor] "r"(divisor), "a"(low), "d"(high));
    return result;
#else
    const auto quotient = static_cast<std::uint64_t>((Bits{high} << 64 | low) / divisor);
    // The remainder is below 2^64: the low halves give it, without a second division.
    return {quotient, low - quotient * divisor};
#endif
  }

 private:
  static constexpr NativeWide FromBits(Bits bits) {
    NativeWide x;
    x.bits_ = bits;
    return x;
  }

  Bits bits_ = 0;
};
#endif

#if defined(__SIZEOF_INT128__) && !defined(ANGLECONV_PORTABLE_WIDE)
using Wide = NativeWide;
#else
using Wide = PortableWide;
#endif

// x shifted right by n (n >= 0), with every bit shifted out OR-ed into bit 0
// so that the rounding still sees that something was lost.
template <typename WideType>
constexpr WideType ShiftRightSticky(WideType x, std::int32_t n) {
  assert(n >= 0);
  if (n >= 128) [[unlikely]] {
    return x == WideType{} ? WideType{} : WideType{1};
  }
  // Two shifts, so that n = 0 needs no shift by 128.
  const WideType lost = x << (127 - n) << 1;
  return (x >> n) | (lost == WideType{} ? WideType{} : WideType{1});
}

}  // namespace x87::detail
