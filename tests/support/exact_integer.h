// Exact non-negative integers for the expected values of the tests, and
// their rounding to the extended format (64-bit significand, ties to even).
#pragma once

#include <cstdint>
#include <vector>

#include "arithmetic/extended_arithmetic.h"

using namespace x87;

class ExactInteger {
 public:
  explicit ExactInteger(std::uint64_t value = 0) {
    while (value != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(value));
      value >>= 32;
    }
  }

  static ExactInteger PowerOfTen(int n) {
    ExactInteger result(1);
    for (int i = 0; i < n; ++i) {
      result.MultiplyAdd(10, 0);
    }
    return result;
  }

  // this = this * factor + addend.
  void MultiplyAdd(std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (std::uint32_t& limb : limbs_) {
      const std::uint64_t product = static_cast<std::uint64_t>(limb) * factor + carry;
      limb = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(carry));
    }
  }

  // this = this * 10^n.
  void MultiplyByPowerOfTen(int n) {
    for (; n >= 9; n -= 9) {
      MultiplyAdd(1000000000, 0);
    }
    for (; n > 0; --n) {
      MultiplyAdd(10, 0);
    }
  }

  // this = this * 2^n.
  void ShiftLeft(int n) {
    if (limbs_.empty()) {
      return;
    }
    limbs_.insert(limbs_.begin(), static_cast<std::size_t>(n / 32), 0);
    for (int i = 0; i < n % 32; ++i) {
      MultiplyAdd(2, 0);
    }
  }

  // -1, 0 or 1 as this is below, equal to or above `other`.
  int Compare(const ExactInteger& other) const {
    if (limbs_.size() != other.limbs_.size()) {
      return limbs_.size() < other.limbs_.size() ? -1 : 1;
    }
    for (std::size_t i = limbs_.size(); i-- > 0;) {
      if (limbs_[i] != other.limbs_[i]) {
        return limbs_[i] < other.limbs_[i] ? -1 : 1;
      }
    }
    return 0;
  }

  // this = this - other; `other` must not be larger.
  void Subtract(const ExactInteger& other) {
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
      std::int64_t difference = static_cast<std::int64_t>(limbs_[i]) - borrow;
      if (i < other.limbs_.size()) {
        difference -= other.limbs_[i];
      }
      borrow = difference < 0 ? 1 : 0;
      limbs_[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
    }
    Trim();
  }

  // this = this + other.
  void Add(const ExactInteger& other) {
    if (limbs_.size() < other.limbs_.size()) {
      limbs_.resize(other.limbs_.size(), 0);
    }
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
      carry += static_cast<std::uint64_t>(limbs_[i]) + (i < other.limbs_.size() ? other.limbs_[i] : 0);
      limbs_[i] = static_cast<std::uint32_t>(carry);
      carry >>= 32;
    }
    if (carry != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(carry));
    }
  }

  bool IsZero() const { return limbs_.empty(); }

  int BitLength() const {
    if (limbs_.empty()) {
      return 0;
    }
    int bits = static_cast<int>(limbs_.size() - 1) * 32;
    for (std::uint32_t top = limbs_.back(); top != 0; top >>= 1) {
      ++bits;
    }
    return bits;
  }

  bool Bit(int index) const {
    const auto limb = static_cast<std::size_t>(index / 32);
    return limb < limbs_.size() && ((limbs_[limb] >> (index % 32)) & 1) != 0;
  }

  // The value rounded to 64 significant bits, ties to even: significand
  // (integer bit first) and the power of two that it is multiplied by.
  struct Rounded {
    std::uint64_t significand;
    int exponent;
  };
  Rounded RoundToExtended() const {
    const int length = BitLength();
    if (length == 0) {
      return {0, 0};
    }
    const int shift = length - 64;
    std::uint64_t significand = 0;
    for (int i = length - 1; i >= shift && i >= 0; --i) {
      significand = (significand << 1) | (Bit(i) ? 1 : 0);
    }
    if (shift <= 0) {
      return {significand << -shift, shift};
    }
    const bool half = Bit(shift - 1);
    bool below = false;
    for (int i = 0; i < shift - 1 && !below; ++i) {
      below = Bit(i);
    }
    int exponent = shift;
    if (half && (below || (significand & 1) != 0)) {
      ++significand;
      if (significand == 0) {
        significand = 0x8000000000000000;
        ++exponent;
      }
    }
    return {significand, exponent};
  }

  // The integer that a rounded value of an integer stands for.
  static ExactInteger FromRounded(Rounded rounded) {
    if (rounded.exponent < 0) {
      return ExactInteger(rounded.significand >> -rounded.exponent);
    }
    ExactInteger result(rounded.significand);
    for (int i = 0; i < rounded.exponent; ++i) {
      result.MultiplyAdd(2, 0);
    }
    return result;
  }

 private:
  void Trim() {
    while (!limbs_.empty() && limbs_.back() == 0) {
      limbs_.pop_back();
    }
  }

  std::vector<std::uint32_t> limbs_;
};

// The bits of a positive extended value significand * 2^exponent.
inline Extended BitsOfRounded(ExactInteger::Rounded rounded) {
  if (rounded.significand == 0) {
    return {0, 0};
  }
  return {static_cast<std::uint16_t>(16383 + 63 + rounded.exponent), rounded.significand};
}
