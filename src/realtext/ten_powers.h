// Powers of ten as read-only extended values, each the extended value
// nearest to the exact power (ties to even), and the scaling that both text
// conversions share.
#pragma once

#include <cstdint>

#include "conversion/extended_arithmetic.h"

extern const Extended SmallTenPowers[32];   // 10^i, i = 0..31
extern const Extended MediumTenPowers[16];  // 10^(32*j), j = 1..15 ([0] is 1)
extern const Extended LargeTenPowers[10];   // 10^(512*j), j = 1..9 ([0] is 1)

// +infinity: exponent field 32767, significand the integer bit alone.
Extended PlusInfinity();

// x * 10^n in at most three multiplications (n > 0) or divisions (n < 0)
// by table entries; n >= 5120 gives +infinity, n <= -5120 gives 0.
Extended ScaleByPowerOfTen(Extended x, std::int32_t n);
