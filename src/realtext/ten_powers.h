// Powers of ten as read-only extended values, each the extended value
// nearest to the exact power (ties to even), and the scaling that both text
// conversions share.
#pragma once

#include <cstdint>

#include "arithmetic/extended_arithmetic.h"

extern const x87::Extended SmallTenPowers[32];   // 10^i, i = 0..31
extern const x87::Extended MediumTenPowers[16];  // 10^(32*j), j = 1..15 ([0] is 1)
extern const x87::Extended LargeTenPowers[10];   // 10^(512*j), j = 1..9 ([0] is 1)

// The scaling limit: 10^n for n >= 5120 counts as +infinity, 10^-n as 0.
inline constexpr std::int32_t ScaleLimit = 5120;

// The 64-bit reals of the digit generation and of the text accumulator;
// each is exact, and is widened exactly where it is used.
inline constexpr double TenTo17 = 1e17;
inline constexpr double TenTo18 = 1e18;
inline constexpr double Ten = 10.0;

// x * 10^n in at most three multiplications (n > 0) or divisions (n < 0)
// by table entries; n >= 5120 gives +infinity, n <= -5120 gives 0. A
// product beyond the extended range is the floating-point overflow fault.
//   ScaleByPowerOfTen(5, -3)     -> 0.005 (one division by 10^3)
//   ScaleByPowerOfTen(1, 4933)   -> overflow fault (10^5 * 10^320 * 10^4608)
//   ScaleByPowerOfTen(0, 5120)   -> +infinity
x87::Extended ScaleByPowerOfTen(x87::Extended x, std::int32_t n);
