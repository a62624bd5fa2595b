#include "realtext/ten_powers.h"

using x87::Divide;
using x87::Extended;
using x87::ExtendedFromBits;
using x87::Multiply;

// Each entry is written as its bit pattern, sign and exponent field, then
// the 64-bit significand with the integer bit on top: exactly the extended
// value nearest to the power of ten; 10^0..10^27 are exact.
constinit const Extended SmallTenPowers[32] = {
    ExtendedFromBits(0x3FFF, 0x8000000000000000),  // 10^0
    ExtendedFromBits(0x4002, 0xA000000000000000),  // 10^1
    ExtendedFromBits(0x4005, 0xC800000000000000),  // 10^2
    ExtendedFromBits(0x4008, 0xFA00000000000000),  // 10^3
    ExtendedFromBits(0x400C, 0x9C40000000000000),  // 10^4
    ExtendedFromBits(0x400F, 0xC350000000000000),  // 10^5
    ExtendedFromBits(0x4012, 0xF424000000000000),  // 10^6
    ExtendedFromBits(0x4016, 0x9896800000000000),  // 10^7
    ExtendedFromBits(0x4019, 0xBEBC200000000000),  // 10^8
    ExtendedFromBits(0x401C, 0xEE6B280000000000),  // 10^9
    ExtendedFromBits(0x4020, 0x9502F90000000000),  // 10^10
    ExtendedFromBits(0x4023, 0xBA43B74000000000),  // 10^11
    ExtendedFromBits(0x4026, 0xE8D4A51000000000),  // 10^12
    ExtendedFromBits(0x402A, 0x9184E72A00000000),  // 10^13
    ExtendedFromBits(0x402D, 0xB5E620F480000000),  // 10^14
    ExtendedFromBits(0x4030, 0xE35FA931A0000000),  // 10^15
    ExtendedFromBits(0x4034, 0x8E1BC9BF04000000),  // 10^16
    ExtendedFromBits(0x4037, 0xB1A2BC2EC5000000),  // 10^17
    ExtendedFromBits(0x403A, 0xDE0B6B3A76400000),  // 10^18
    ExtendedFromBits(0x403E, 0x8AC7230489E80000),  // 10^19
    ExtendedFromBits(0x4041, 0xAD78EBC5AC620000),  // 10^20
    ExtendedFromBits(0x4044, 0xD8D726B7177A8000),  // 10^21
    ExtendedFromBits(0x4048, 0x878678326EAC9000),  // 10^22
    ExtendedFromBits(0x404B, 0xA968163F0A57B400),  // 10^23
    ExtendedFromBits(0x404E, 0xD3C21BCECCEDA100),  // 10^24
    ExtendedFromBits(0x4052, 0x84595161401484A0),  // 10^25
    ExtendedFromBits(0x4055, 0xA56FA5B99019A5C8),  // 10^26
    ExtendedFromBits(0x4058, 0xCECB8F27F4200F3A),  // 10^27
    ExtendedFromBits(0x405C, 0x813F3978F8940984),  // 10^28
    ExtendedFromBits(0x405F, 0xA18F07D736B90BE5),  // 10^29
    ExtendedFromBits(0x4062, 0xC9F2C9CD04674EDF),  // 10^30
    ExtendedFromBits(0x4065, 0xFC6F7C4045812296),  // 10^31
};

constinit const Extended MediumTenPowers[16] = {
    ExtendedFromBits(0x3FFF, 0x8000000000000000),  // 10^0
    ExtendedFromBits(0x4069, 0x9DC5ADA82B70B59E),  // 10^32
    ExtendedFromBits(0x40D3, 0xC2781F49FFCFA6D5),  // 10^64
    ExtendedFromBits(0x413D, 0xEFB3AB16C59B14A3),  // 10^96
    ExtendedFromBits(0x41A8, 0x93BA47C980E98CE0),  // 10^128
    ExtendedFromBits(0x4212, 0xB616A12B7FE617AA),  // 10^160
    ExtendedFromBits(0x427C, 0xE070F78D3927556B),  // 10^192
    ExtendedFromBits(0x42E7, 0x8A5296FFE33CC930),  // 10^224
    ExtendedFromBits(0x4351, 0xAA7EEBFB9DF9DE8E),  // 10^256
    ExtendedFromBits(0x43BB, 0xD226FC195C6A2F8C),  // 10^288
    ExtendedFromBits(0x4426, 0x81842F29F2CCE376),  // 10^320
    ExtendedFromBits(0x4490, 0x9FA42700DB900AD2),  // 10^352
    ExtendedFromBits(0x44FA, 0xC4C5E310AEF8AA17),  // 10^384
    ExtendedFromBits(0x4564, 0xF28A9C07E9B09C59),  // 10^416
    ExtendedFromBits(0x45CF, 0x957A4AE1EBF7F3D4),  // 10^448
    ExtendedFromBits(0x4639, 0xB83ED8DC0795A262),  // 10^480
};

constinit const Extended LargeTenPowers[10] = {
    ExtendedFromBits(0x3FFF, 0x8000000000000000),  // 10^0
    ExtendedFromBits(0x46A3, 0xE319A0AEA60E91C7),  // 10^512
    ExtendedFromBits(0x4D48, 0xC976758681750C17),  // 10^1024
    ExtendedFromBits(0x53ED, 0xB2B8353B3993A7E4),  // 10^1536
    ExtendedFromBits(0x5A92, 0x9E8B3B5DC53D5DE5),  // 10^2048
    ExtendedFromBits(0x6137, 0x8CA554C020A1F0A6),  // 10^2560
    ExtendedFromBits(0x67DB, 0xF9895D25D88B5A8B),  // 10^3072
    ExtendedFromBits(0x6E80, 0xDD5DC8A2BF27F3F8),  // 10^3584
    ExtendedFromBits(0x7525, 0xC46052028A20979B),  // 10^4096
    ExtendedFromBits(0x7BCA, 0xAE3511626ED559F0),  // 10^4608
};

namespace {

// x multiplied (or divided) by 10^m, 0 < m < 5120, one table entry at a
// time: the small entry always, the medium and the large one unless 1.
template <typename Operation>
__attribute__((always_inline)) inline Extended ApplyTenPowers(Extended x, std::uint32_t m, Operation operation) {
  x = operation(x, SmallTenPowers[m % 32]);
  if ((m / 32) % 16 != 0) {
    x = operation(x, MediumTenPowers[(m / 32) % 16]);
  }
  if (m / 512 != 0) {
    x = operation(x, LargeTenPowers[m / 512]);
  }
  return x;
}

}  // namespace

Extended ScaleByPowerOfTen(Extended x, std::int32_t n) {
  if (n == 0) {
    return x;
  }
  if (n >= ScaleLimit) {
    return x87::SignedInfinity(false);
  }
  if (n <= -ScaleLimit) {
    return Extended{};
  }
  if (n > 0) {
    return ApplyTenPowers(
        x, static_cast<std::uint32_t>(n),
        [](Extended a, Extended b) __attribute__((always_inline)) { return Multiply(a, b); });
  }
  return ApplyTenPowers(
      x, static_cast<std::uint32_t>(-n),
      [](Extended a, Extended b) __attribute__((always_inline)) { return Divide(a, b); });
}
