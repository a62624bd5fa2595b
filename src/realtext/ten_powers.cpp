#include "realtext/ten_powers.h"

// Each entry is written as a 64-bit significand (integer bit on top) and a
// binary exponent, so the literal is exactly the extended value nearest to
// the power of ten; 10^0..10^27 are exact.
const Extended SmallTenPowers[32] = {
    0x8000000000000000p-63L,  // 10^0
    0xA000000000000000p-60L,  // 10^1
    0xC800000000000000p-57L,  // 10^2
    0xFA00000000000000p-54L,  // 10^3
    0x9C40000000000000p-50L,  // 10^4
    0xC350000000000000p-47L,  // 10^5
    0xF424000000000000p-44L,  // 10^6
    0x9896800000000000p-40L,  // 10^7
    0xBEBC200000000000p-37L,  // 10^8
    0xEE6B280000000000p-34L,  // 10^9
    0x9502F90000000000p-30L,  // 10^10
    0xBA43B74000000000p-27L,  // 10^11
    0xE8D4A51000000000p-24L,  // 10^12
    0x9184E72A00000000p-20L,  // 10^13
    0xB5E620F480000000p-17L,  // 10^14
    0xE35FA931A0000000p-14L,  // 10^15
    0x8E1BC9BF04000000p-10L,  // 10^16
    0xB1A2BC2EC5000000p-7L,   // 10^17
    0xDE0B6B3A76400000p-4L,   // 10^18
    0x8AC7230489E80000p+0L,   // 10^19
    0xAD78EBC5AC620000p+3L,   // 10^20
    0xD8D726B7177A8000p+6L,   // 10^21
    0x878678326EAC9000p+10L,  // 10^22
    0xA968163F0A57B400p+13L,  // 10^23
    0xD3C21BCECCEDA100p+16L,  // 10^24
    0x84595161401484A0p+20L,  // 10^25
    0xA56FA5B99019A5C8p+23L,  // 10^26
    0xCECB8F27F4200F3Ap+26L,  // 10^27
    0x813F3978F8940984p+30L,  // 10^28
    0xA18F07D736B90BE5p+33L,  // 10^29
    0xC9F2C9CD04674EDFp+36L,  // 10^30
    0xFC6F7C4045812296p+39L,  // 10^31
};

const Extended MediumTenPowers[16] = {
    0x8000000000000000p-63L,    // 10^0
    0x9DC5ADA82B70B59Ep+43L,    // 10^32
    0xC2781F49FFCFA6D5p+149L,   // 10^64
    0xEFB3AB16C59B14A3p+255L,   // 10^96
    0x93BA47C980E98CE0p+362L,   // 10^128
    0xB616A12B7FE617AAp+468L,   // 10^160
    0xE070F78D3927556Bp+574L,   // 10^192
    0x8A5296FFE33CC930p+681L,   // 10^224
    0xAA7EEBFB9DF9DE8Ep+787L,   // 10^256
    0xD226FC195C6A2F8Cp+893L,   // 10^288
    0x81842F29F2CCE376p+1000L,  // 10^320
    0x9FA42700DB900AD2p+1106L,  // 10^352
    0xC4C5E310AEF8AA17p+1212L,  // 10^384
    0xF28A9C07E9B09C59p+1318L,  // 10^416
    0x957A4AE1EBF7F3D4p+1425L,  // 10^448
    0xB83ED8DC0795A262p+1531L,  // 10^480
};

const Extended LargeTenPowers[10] = {
    0x8000000000000000p-63L,     // 10^0
    0xE319A0AEA60E91C7p+1637L,   // 10^512
    0xC976758681750C17p+3338L,   // 10^1024
    0xB2B8353B3993A7E4p+5039L,   // 10^1536
    0x9E8B3B5DC53D5DE5p+6740L,   // 10^2048
    0x8CA554C020A1F0A6p+8441L,   // 10^2560
    0xF9895D25D88B5A8Bp+10141L,  // 10^3072
    0xDD5DC8A2BF27F3F8p+11842L,  // 10^3584
    0xC46052028A20979Bp+13543L,  // 10^4096
    0xAE3511626ED559F0p+15244L,  // 10^4608
};
Extended PlusInfinity() { return ExtendedFromBits(0x7FFF, 0x8000000000000000u); }

namespace {

// x multiplied (or divided) by 10^m, 0 < m < 5120, one table entry at a
// time: the small entry always, the medium and the large one unless 1.
template <typename Operation>
Extended ApplyTenPowers(Extended x, std::int32_t m, Operation operation) {
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
    return PlusInfinity();
  }
  if (n <= -ScaleLimit) {
    return 0.0L;
  }
  if (n > 0) {
    return ApplyTenPowers(x, n, [](Extended a, Extended b) { return Multiply(a, b); });
  }
  return ApplyTenPowers(x, -n, [](Extended a, Extended b) { return Divide(a, b); });
}
