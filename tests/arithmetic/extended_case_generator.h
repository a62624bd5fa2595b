// A deterministic stream of cases aimed at the corners of each operation:
// every encoding (non-canonical ones included), exponents at the edges of
// the extended and double ranges, operands that cancel, halfway and
// near-halfway significands, integers near 2^63, all four rounding controls
// (nearest and toward zero, the ones the program uses, most often).
#pragma once

#include <cstdint>

#include "arithmetic/extended_cases.h"

using namespace x87;

namespace extended_cases {

class CaseGenerator {
 public:
  explicit CaseGenerator(std::uint64_t seed) : state_(seed) {}

  Case Next(Operation op) {
    Case c{op, NextRounding(), {}, {}};
    switch (op) {
      case Operation::Add:
      case Operation::Subtract:
      case Operation::CompareQuiet:
      case Operation::CompareSignaling:
        c.a = Operand();
        c.b = Chance(50) ? Near(c.a) : Operand();
        break;
      case Operation::Multiply:
        c.a = Operand();
        c.b = Chance(40) ? ScaledToward(c.a, Pick(ExponentBias - 1, 0x7FFE + ExponentBias)) : Operand();
        if (Chance(10)) {
          JustBelowPowerOfTwo(c);
        }
        break;
      case Operation::Divide:
        c.a = Operand();
        c.b = Chance(40) ? ScaledToward(c.a, Pick(c.a.signExponent & 0x7FFF, 0)) : Operand();
        break;
      case Operation::StoreDouble:
        c.a = DoubleEdgeOperand();
        break;
      case Operation::RoundToIntegral:
      case Operation::RoundToInt64:
        c.a = IntegerEdgeOperand();
        break;
      case Operation::Negate:
        c.a = Operand();
        break;
      case Operation::WidenDouble:
        c.a.significand = SourceBits(11, 52);
        break;
      case Operation::WidenFloat:
        c.a.significand = SourceBits(8, 23);
        break;
      case Operation::WidenInteger:
        c.a.significand = IntegerBits();
        break;
    }
    return c;
  }

 private:
  static constexpr std::int32_t ExponentBias = x87::ExponentBias;

  // splitmix64
  std::uint64_t Bits() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
    return z ^ (z >> 31);
  }
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Bits() % n); }
  bool Chance(std::uint32_t percent) { return Below(100) < percent; }
  std::int32_t Between(std::int32_t low, std::int32_t high) {
    return low + static_cast<std::int32_t>(Below(static_cast<std::uint32_t>(high - low + 1)));
  }
  std::int32_t Pick(std::int32_t first, std::int32_t second) { return Chance(50) ? first : second; }

  Rounding NextRounding() {
    const std::uint32_t r = Below(10);
    return r < 4 ? Rounding::Nearest : r < 8 ? Rounding::TowardZero : r < 9 ? Rounding::Down : Rounding::Up;
  }

  // A significand (integer bit set) whose low bits are often a halfway,
  // just-below or just-above pattern at some position, or few bits at all.
  std::uint64_t Significand() {
    std::uint64_t bits = Bits();
    switch (Below(6)) {
      case 0: {
        const unsigned k = Below(64);
        const std::uint64_t low = std::uint64_t{1} << k;
        const std::uint64_t tails[] = {low, low - 1, low + 1, 0, ~std::uint64_t{0}};
        const std::uint64_t mask = (low << 1) - 1;
        bits = (bits & ~mask) | (tails[Below(5)] & mask);
        break;
      }
      case 1:
        bits = std::uint64_t{1} << Below(64) | std::uint64_t{1} << Below(64);
        break;
      case 2:
        bits = ~(std::uint64_t{1} << Below(64));
        break;
      case 3:
        bits &= ~std::uint64_t{0} << Below(64);
        break;
      default:
        break;
    }
    return bits | x87::IntegerBit;
  }

  Extended Normal(std::int32_t exponent) {
    const std::uint16_t sign = Chance(50) ? x87::SignBit : 0;
    return {static_cast<std::uint16_t>(sign | static_cast<std::uint16_t>(exponent)), Significand()};
  }

  std::int32_t Exponent() {
    switch (Below(5)) {
      case 0:
        return Between(1, 0x7FFE);
      case 1:
        return Between(1, 80);
      case 2:
        return Between(0x7FFE - 80, 0x7FFE);
      default:
        return Between(ExponentBias - 70, ExponentBias + 70);
    }
  }

  // Any class of encoding, each about as likely.
  Extended AnyEncoding() {
    const std::uint16_t sign = Chance(50) ? x87::SignBit : 0;
    const std::uint64_t bits = Bits();
    const std::uint64_t fraction = Significand() & x87::FractionMask;
    switch (Below(9)) {
      case 0:
        return {sign, 0};
      case 1:
        return {sign, fraction >> Below(64)};  // denormal
      case 2:
        return {sign, fraction | x87::IntegerBit};  // pseudo-denormal
      case 3:
        return {static_cast<std::uint16_t>(sign | Exponent()), fraction >> Below(64)};  // unnormal
      case 4:
        return {static_cast<std::uint16_t>(sign | 0x7FFF), x87::IntegerBit};
      case 5:
        return {static_cast<std::uint16_t>(sign | 0x7FFF), (bits & x87::FractionMask) >> Below(64)};
      case 6:
        return {static_cast<std::uint16_t>(sign | 0x7FFF), Significand() | x87::QuietBit};
      case 7:
        return {static_cast<std::uint16_t>(sign | 0x7FFF), (Significand() & ~x87::QuietBit) | 1};
      default:
        return {static_cast<std::uint16_t>(Bits()), bits};
    }
  }

  Extended Operand() { return Chance(25) ? AnyEncoding() : Normal(Exponent()); }

  // An operand within a few binades of `a`, often with the same leading
  // bits, so that sums cancel and comparisons come out equal.
  Extended Near(Extended a) {
    std::int32_t exponent = (a.signExponent & 0x7FFF) + Between(-3, 3) * (Chance(70) ? 1 : 22);
    exponent = exponent < 1 ? 1 : exponent > 0x7FFE ? 0x7FFE : exponent;
    Extended b = Normal(exponent);
    if (Chance(60)) {
      const unsigned keep = Below(65);
      const std::uint64_t mask = keep == 0 ? 0 : ~std::uint64_t{0} << (64 - keep);
      b.significand = (a.significand & mask) | (b.significand & ~mask);
    }
    if (Chance(20)) {
      b.significand = a.significand;
    }
    if (Chance(10)) {
      b.signExponent = static_cast<std::uint16_t>(a.signExponent ^ x87::SignBit);
    }
    return b;
  }

  // An operand whose exponent, added to a's, lands near `target` (products
  // at the edges of the range); `target` 0 subtracts instead (quotients).
  Extended ScaledToward(Extended a, std::int32_t target) {
    const std::int32_t exponentA = a.signExponent & 0x7FFF;
    std::int32_t exponent = target == 0 ? exponentA - (Pick(1, 0x7FFE) - ExponentBias) + Between(-66, 66)
                                        : target - exponentA + Between(-66, 3);
    exponent = exponent < 0 ? 0 : exponent > 0x7FFE ? 0x7FFE : exponent;
    Extended b = Normal(exponent);
    if (exponent == 0) {
      b.significand >>= Below(64);
    }
    return b;
  }

  // Normal operands whose product lies just below a power of two, at the
  // bottom or the top of the range: rounding up may carry it into the
  // normal range (then it is not tiny) or beyond the largest finite value.
  void JustBelowPowerOfTwo(Case& c) {
    const std::uint64_t a = Bits() | x87::IntegerBit;
    // (2^127 - 1) / a: the top half is below a, so the quotient fits.
    const std::uint64_t b = x87::detail::Wide::Quotient(~std::uint64_t{0} >> 1, ~std::uint64_t{0}, a).quotient;
    const std::int32_t exponentA = Exponent();
    const std::int32_t product = Chance(50) ? Between(-1, 1) : 0x7FFE + Between(-1, 1);
    std::int32_t exponentB = product - exponentA + ExponentBias;
    exponentB = exponentB < 1 ? 1 : exponentB > 0x7FFE ? 0x7FFE : exponentB;
    c.a = {static_cast<std::uint16_t>(exponentA | (c.a.signExponent & x87::SignBit)), a};
    c.b = {static_cast<std::uint16_t>(exponentB | (c.b.signExponent & x87::SignBit)), b};
  }
  // Extended values around the double's range edges and rounding points.
  Extended DoubleEdgeOperand() {
    if (Chance(20)) {
      return Operand();
    }
    const std::int32_t edges[] = {ExponentBias - 1022, ExponentBias - 1022 - 52, ExponentBias + 1023, ExponentBias};
    std::int32_t exponent = edges[Below(4)] + Between(-3, 3) * (Chance(70) ? 1 : 7);
    if (Chance(15)) {
      exponent = Between(ExponentBias - 1100, ExponentBias + 1100);
    }
    Extended x = Normal(exponent);
    if (Chance(50)) {
      // The 11 bits below a double's significand: half, just off half, zero.
      const std::uint64_t tails[] = {0x400, 0x3FF, 0x401, 0, 0x7FF, 1};
      x.significand = (x.significand & ~std::uint64_t{0x7FF}) | tails[Below(6)];
    }
    if (Chance(10)) {
      x.significand |= ~std::uint64_t{0} >> Below(64);
    }
    return x;
  }

  // Values whose fraction sits at the rounding point, up to beyond 2^63.
  Extended IntegerEdgeOperand() {
    if (Chance(15)) {
      return Operand();
    }
    const std::int32_t power = Chance(30) ? Between(60, 66) : Between(-3, 66);
    Extended x = Normal(ExponentBias + power);
    if (power >= 0 && power < 63 && Chance(60)) {
      const std::uint64_t half = std::uint64_t{1} << (62 - power);
      const std::uint64_t tails[] = {half, half - 1, half + 1, 0, (half << 1) - 1};
      x.significand = (x.significand & ~((half << 1) - 1)) | tails[Below(5)];
    }
    if (power == 63 && Chance(50)) {
      x.significand = x87::IntegerBit | (Chance(50) ? 0 : Bits() >> Between(1, 63));
    }
    return x;
  }

  // Bits of a double or float: exponent field often 0 or all ones.
  std::uint64_t SourceBits(int exponentBits, int fractionBits) {
    const std::uint64_t exponentMask = (std::uint64_t{1} << exponentBits) - 1;
    std::uint64_t exponent = Bits() & exponentMask;
    const std::uint32_t kind = Below(4);
    if (kind == 0) {
      exponent = 0;
    } else if (kind == 1) {
      exponent = exponentMask;
    }
    std::uint64_t fraction =
        (Bits() & ((std::uint64_t{1} << fractionBits) - 1)) >> Below(static_cast<std::uint32_t>(fractionBits + 1));
    if (Chance(10)) {
      fraction = 0;
    }
    const std::uint64_t sign = Bits() & 1;
    return sign << (exponentBits + fractionBits) | exponent << fractionBits | fraction;
  }

  std::uint64_t IntegerBits() {
    switch (Below(4)) {
      case 0:
        return Bits();
      case 1:
        return Bits() >> Below(64);
      case 2:
        return (std::uint64_t{1} << 63) + static_cast<std::uint64_t>(Between(-100, 100));
      default:
        return (std::uint64_t{1} << Below(64)) + static_cast<std::uint64_t>(Between(-2, 2));
    }
  }

  std::uint64_t state_;
};

}  // namespace extended_cases
