// The software core's arithmetic on operands of any class: the sum,
// product, quotient and comparison once the inline fast paths have left
// them.
#include <cassert>
#include <optional>

#include "arithmetic/extended_operand.h"
#include "arithmetic/extended_operations.h"

namespace x87::detail {

namespace {

// Of two NaNs the one with the larger significand wins, as stored (so a
// quiet NaN beats a signalling one of the same payload); on a tie the
// positive one.
Extended LargerNaN(Extended a, Extended b) {
  if (a.significand != b.significand) {
    return a.significand > b.significand ? a : b;
  }
  return SignOf(a) ? b : a;
}

// The classes that decide a two-operand result alone, before anything else
// is looked at (a NaN operand also hides a denormal's DE): an unsupported
// encoding gives the indefinite, a NaN gives itself quietened, with IE for
// either when it signals. Nothing when both operands are numbers.
std::optional<Extended> SettleNaNs(Extended a, Extended b, const Operand& x, const Operand& y, std::uint16_t& status) {
  if (IsUnsupported(x.kind) || IsUnsupported(y.kind)) {
    return Invalid(status);
  }
  const bool nanA = IsNaN(x.kind);
  const bool nanB = IsNaN(y.kind);
  if (!nanA && !nanB) {
    return std::nullopt;
  }
  if (x.kind == ExtendedClass::SignalingNaN || y.kind == ExtendedClass::SignalingNaN) {
    status |= InvalidFlag;
  }
  return Quieted(nanA && nanB ? LargerNaN(a, b) : nanA ? a : b);
}

// The opening of every two-operand operation: both operands taken apart,
// and the result already when a NaN or an unsupported encoding decides it.
struct Opened {
  Operand x;
  Operand y;
  std::optional<Extended> settled;
};
Opened Open(Extended a, Extended b, std::uint16_t& status) {
  const Operand x = Unpack(a);
  const Operand y = Unpack(b);
  return {x, y, SettleNaNs(a, b, x, y, status)};
}

void NoteDenormals(const Operand& x, const Operand& y, std::uint16_t& status) {
  if (IsDenormalOperand(x.kind) || IsDenormalOperand(y.kind)) {
    status |= DenormalFlag;
  }
}

// Gives a denormal's significand its integer bit, lowering the exponent.
void Normalize(Operand& x) {
  assert(x.significand != 0);
  const int shift = __builtin_clzll(x.significand);
  x.significand <<= shift;
  x.exponent -= shift;
}

// A non-zero finite operand alone rounded to the format: what adding a zero
// to it gives (a denormal stays one, with UE when underflow is unmasked).
Extended RoundedAlone(Operand x, RoundingControl control, std::uint16_t& status) {
  Normalize(x);
  return PackExtended(
      RoundNormalized<ExtendedFormat>(x.sign, x.exponent, Wide::FromHalves(x.significand, 0), control, status));
}

// Compares two numbers (not NaNs, not unsupported) by value.
Ordering CompareNumbers(const Operand& x, const Operand& y) {
  assert(!IsNaN(x.kind) && !IsUnsupported(x.kind) && !IsNaN(y.kind) && !IsUnsupported(y.kind));
  const bool zeroX = x.kind == ExtendedClass::Zero;
  const bool zeroY = y.kind == ExtendedClass::Zero;
  if (zeroX && zeroY) {
    return Ordering::Equal;
  }
  if (x.sign != y.sign) {
    return x.sign ? Ordering::Less : Ordering::Greater;
  }
  // Same sign: order the magnitudes (a zero, exponent 1 and significand 0,
  // sorts below every other), then turn the order round for negatives.
  Ordering magnitude = Ordering::Equal;
  if (x.exponent != y.exponent) {
    magnitude = x.exponent < y.exponent ? Ordering::Less : Ordering::Greater;
  } else if (x.significand != y.significand) {
    magnitude = x.significand < y.significand ? Ordering::Less : Ordering::Greater;
  }
  if (!x.sign || magnitude == Ordering::Equal) {
    return magnitude;
  }
  return magnitude == Ordering::Less ? Ordering::Greater : Ordering::Less;
}

}  // namespace

Ordering CompareAny(Extended a, Extended b, bool signaling, std::uint16_t& status) {
  const Operand x = Unpack(a);
  const Operand y = Unpack(b);
  if (IsUnsupported(x.kind) || IsUnsupported(y.kind)) {
    status |= InvalidFlag;
    return Ordering::Unordered;
  }
  if (IsNaN(x.kind) || IsNaN(y.kind)) {
    if (signaling || x.kind == ExtendedClass::SignalingNaN || y.kind == ExtendedClass::SignalingNaN) {
      status |= InvalidFlag;
    }
    return Ordering::Unordered;
  }
  NoteDenormals(x, y, status);
  return CompareNumbers(x, y);
}

Extended AddAny(Extended a, Extended b, bool negateB, RoundingControl control, std::uint16_t& status) {
  auto [x, y, settled] = Open(a, b, status);
  if (settled) {
    return *settled;  // a NaN keeps its sign in a subtraction
  }
  y.sign = y.sign != negateB;
  const bool infiniteX = x.kind == ExtendedClass::Infinity;
  const bool infiniteY = y.kind == ExtendedClass::Infinity;
  if (infiniteX && infiniteY && x.sign != y.sign) {
    return Invalid(status);
  }
  NoteDenormals(x, y, status);
  if (infiniteX || infiniteY) {
    return SignedInfinity(infiniteX ? x.sign : y.sign);
  }
  const bool zeroX = x.kind == ExtendedClass::Zero;
  const bool zeroY = y.kind == ExtendedClass::Zero;
  if (zeroX && zeroY) {
    // Two zeros of one sign keep it; otherwise +0, or -0 when rounding down.
    return SignedZero(x.sign == y.sign ? x.sign : control.Mode() == Rounding::Down);
  }
  if (zeroX || zeroY) {
    return RoundedAlone(zeroX ? y : x, control, status);
  }
  // A denormal is normalized below exponent 1 like any other value.
  Normalize(x);
  Normalize(y);
  return AddFinite(x, y, control, status);
}

Extended MultiplyAny(Extended a, Extended b, RoundingControl control, std::uint16_t& status) {
  auto [x, y, settled] = Open(a, b, status);
  if (settled) {
    return *settled;
  }
  const bool sign = x.sign != y.sign;
  const bool infinite = x.kind == ExtendedClass::Infinity || y.kind == ExtendedClass::Infinity;
  const bool zero = x.kind == ExtendedClass::Zero || y.kind == ExtendedClass::Zero;
  if (infinite && zero) {
    return Invalid(status);
  }
  NoteDenormals(x, y, status);
  if (infinite) {
    return SignedInfinity(sign);
  }
  if (zero) {
    return SignedZero(sign);
  }
  Normalize(x);
  Normalize(y);
  return MultiplyFinite(x, y, control, status);
}

Extended DivideAny(Extended a, Extended b, RoundingControl control, std::uint16_t& status) {
  auto [x, y, settled] = Open(a, b, status);
  if (settled) {
    return *settled;
  }
  const bool sign = x.sign != y.sign;
  const bool infiniteX = x.kind == ExtendedClass::Infinity;
  const bool infiniteY = y.kind == ExtendedClass::Infinity;
  const bool zeroX = x.kind == ExtendedClass::Zero;
  const bool zeroY = y.kind == ExtendedClass::Zero;
  if ((infiniteX && infiniteY) || (zeroX && zeroY)) {
    return Invalid(status);
  }
  if (infiniteX) {
    NoteDenormals(x, y, status);
    return SignedInfinity(sign);
  }
  if (zeroY) {
    // Division by zero outranks a denormal dividend's DE.
    status |= ZeroDivideFlag;
    return SignedInfinity(sign);
  }
  NoteDenormals(x, y, status);
  if (zeroX || infiniteY) {
    return SignedZero(sign);
  }
  Normalize(x);
  Normalize(y);
  return DivideFinite(x, y, control, status);
}

}  // namespace x87::detail
