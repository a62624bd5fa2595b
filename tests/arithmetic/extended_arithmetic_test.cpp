// Extended operations: one rounding to a 64-bit significand per operation,
// one more per store, and faults decided by the masks of the installed word.
#include <cmath>
#include <limits>

#include "arithmetic/fpu_test_support.h"

using namespace x87;

namespace {

constexpr Extended Infinity = ExtendedFromBits(0x7FFF, 0x8000000000000000);
constexpr Extended QuietNan = ExtendedFromBits(0x7FFF, 0xC000000000000000);

using ExtendedArithmeticTest = FpuTest;

struct Rounding {
  const char* name;
  Extended (*compute)();
  Extended expected;
};

TEST_F(ExtendedArithmeticTest, EachOperationRoundsOnceToExtended) {
  const Rounding rows[] = {
      {"1/3", [] { return Divide(Widen(1.0), Widen(3.0)); }, ExtendedFromBits(0x3FFD, 0xAAAAAAAAAAAAAAABULL)},
      {"30/3600", [] { return Divide(Widen(30.0), Widen(3600.0f)); }, 0.008333333333333333333728615_x},
      {"pi*D/180",
       [] {
         return Divide(Multiply(ExtendedFromBits(0x4000, 0xC90FDAA22168C235ULL), Widen(30.508333333333333)),
                       Widen(180.0f));
       },
       0.5324708659626033734903715_x},
      // The last bit of a 64-bit significand survives; a double would drop it.
      {"1 + 2^-63", [] { return Add(Widen(1.0), Widen(0x1p-63)); }, 0x1.0000000000000002p0_x},
      // Halfway cases go to the even significand.
      {"1 + 2^-64", [] { return Add(Widen(1.0), Widen(0x1p-64)); }, 1.0_x},
      {"1 + 2^-63 + 2^-64", [] { return Add(Add(Widen(1.0), Widen(0x1p-63)), Widen(0x1p-64)); },
       0x1.0000000000000004p0_x},
      {"1 - 2^-65", [] { return Subtract(Widen(1.0), Widen(0x1p-65)); }, 1.0_x},
      {"(2^32+1)^2", [] { return Multiply(Widen(0x1.00000001p32), Widen(0x1.00000001p32)); }, 0x1.00000002p64_x},
      // Widening is exact.
      {"0.1f", [] { return Widen(0.1f); }, 0x1.99999ap-4_x},
      {"0.1", [] { return Widen(0.1); }, 0x1.999999999999ap-4_x},
      {"-2^63", [] { return WidenInteger(std::numeric_limits<std::int64_t>::min()); }, -0x1p63_x},
  };
  for (const Rounding& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_TRUE(SameExtended(row.compute(), row.expected));
  }
}

struct Store {
  Extended value;
  double expected;
};

TEST_F(ExtendedArithmeticTest, StoreRoundsToDoubleTiesToEven) {
  const Store rows[] = {
      {0x1.00000000000008p0_x, 1.0},
      {0x1.00000000000018p0_x, 1 + 0x1p-51},
      {0x1.0000000000000802p0_x, 1 + 0x1p-52},
      {0x1p-1074_x, 0x1p-1074},
      {0x1p-1075_x, 0.0},
      {-0x1p-1075_x, -0.0},
      {0x1.8p-1074_x, 0x1p-1073},
      {-Infinity, -std::numeric_limits<double>::infinity()},
  };
  for (const Store& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_TRUE(SameDouble(StoreDouble(row.value), row.expected));
  }
}

struct Masked {
  const char* name;
  std::uint16_t word;
  Extended (*compute)();
  DWORD fault;      // 0: none
  Extended result;  // when there is no fault
};

Extended Store1e400() { return Widen(StoreDouble(Multiply(Widen(1e200), Widen(1e200)))); }
Extended Store1em400() { return Widen(StoreDouble(Multiply(Widen(1e-200), Widen(1e-200)))); }
// Exact products, so that the store is the only inexact step.
Extended Store2p1400() { return Widen(StoreDouble(Multiply(Widen(0x1p700), Widen(0x1p700)))); }
Extended Store2m1400() { return Widen(StoreDouble(Multiply(Widen(0x1p-700), Widen(0x1p-700)))); }
Extended OneThird() { return Divide(Widen(1.0), Widen(3.0)); }
Extended OneQuarter() { return Divide(Widen(1.0), Widen(4.0)); }
Extended OneOverZero() { return Divide(Widen(1.0), Widen(0.0)); }
Extended InfinityMinusInfinity() { return Subtract(Infinity, Infinity); }
Extended WidenSubnormal() { return Widen(0x1p-1074); }
// Tiny results that are exact: -2^-16444, and a double subnormal.
Extended ExactTinySum() { return Add(ExtendedFromBits(0x0002, IntegerBit), ExtendedFromBits(0x8002, IntegerBit | 1)); }
Extended ExactTinyStore() { return Widen(StoreDouble(ExtendedFromBits(0x3C00, 0xFFFFFFFFFFFFF000))); }

TEST_F(ExtendedArithmeticTest, TheMasksDecideWhichExceptionIsAFault) {
  const Masked rows[] = {
      {"1e400 stored", 0x1332, Store1e400, STATUS_FLOAT_OVERFLOW, 0.0_x},
      {"1e400 stored, overflow masked", 0x133A, Store1e400, 0, Infinity},
      {"1e-400 stored", 0x1332, Store1em400, 0, 0.0_x},
      {"1e-400 stored, underflow unmasked", 0x1322, Store1em400, STATUS_FLOAT_UNDERFLOW, 0.0_x},
      // With underflow unmasked every tiny result faults, exact or not.
      {"exact tiny sum", 0x1332, ExactTinySum, 0, ExtendedFromBits(0x8000, 2)},
      {"exact tiny sum, underflow unmasked", 0x1322, ExactTinySum, STATUS_FLOAT_UNDERFLOW, 0.0_x},
      {"exact subnormal store", 0x1332, ExactTinyStore, 0, ExtendedFromBits(0x3C00, 0xFFFFFFFFFFFFF000)},
      {"exact subnormal store, underflow unmasked", 0x1322, ExactTinyStore, STATUS_FLOAT_UNDERFLOW, 0.0_x},
      {"1/3", 0x1332, OneThird, 0, ExtendedFromBits(0x3FFD, 0xAAAAAAAAAAAAAAABULL)},
      {"1/3, precision unmasked", 0x1312, OneThird, STATUS_FLOAT_INEXACT_RESULT, 0.0_x},
      {"1/4, precision unmasked", 0x1312, OneQuarter, 0, 0.25_x},
      {"1/0", 0x1332, OneOverZero, STATUS_FLOAT_DIVIDE_BY_ZERO, 0.0_x},
      {"1/0, zero-divide masked", 0x1336, OneOverZero, 0, Infinity},
      {"inf - inf", 0x1332, InfinityMinusInfinity, STATUS_FLOAT_INVALID_OPERATION, 0.0_x},
      {"inf - inf, invalid masked", 0x1333, InfinityMinusInfinity, 0, -QuietNan},
      {"subnormal operand", 0x1332, WidenSubnormal, 0, 0x1p-1074_x},
      {"subnormal operand, denormal unmasked", 0x1330, WidenSubnormal, STATUS_FLOAT_DENORMAL_OPERAND, 0.0_x},
      {"1/3, everything unmasked", 0x1300, OneThird, STATUS_FLOAT_INEXACT_RESULT, 0.0_x},
      {"1/0, everything masked", 0x133F, OneOverZero, 0, Infinity},
      // With several exceptions unmasked, the more serious one is reported.
      {"1e400 built, everything unmasked", 0x1300, Store1e400, STATUS_FLOAT_INEXACT_RESULT, 0.0_x},
      {"2^1400 stored, everything unmasked", 0x1300, Store2p1400, STATUS_FLOAT_OVERFLOW, 0.0_x},
      {"2^-1400 stored, everything unmasked", 0x1300, Store2m1400, STATUS_FLOAT_UNDERFLOW, 0.0_x},
  };
  for (const Masked& row : rows) {
    SCOPED_TRACE(row.name);
    Install(row.word);
    Extended result{};
    EXPECT_EQ(FaultOf([&] { result = row.compute(); }), row.fault);
    if (row.fault == 0) {
      EXPECT_TRUE(SameExtended(result, row.result));
    }
    EXPECT_EQ(InstalledControlWord(), row.word);
  }
}

__attribute__((noinline)) void* FaultAddressAtFirstSite() {
  try {
    Store1e400();
  } catch (const StructuredException& fault) {
    return fault.record.ExceptionAddress;
  }
  return nullptr;
}

__attribute__((noinline)) void* FaultAddressAtSecondSite() {
  try {
    StoreDouble(Multiply(Widen(1e300), Widen(1e300)));
  } catch (const StructuredException& fault) {
    return fault.record.ExceptionAddress;
  }
  return nullptr;
}

TEST_F(ExtendedArithmeticTest, FaultCarriesTheAddressOfItsCallSite) {
  void* const first = FaultAddressAtFirstSite();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(FaultAddressAtFirstSite(), first);
  EXPECT_NE(FaultAddressAtSecondSite(), first);
  // The address lies inside the code that called the store. WebAssembly's
  // function pointers are table indexes, not code addresses: no such check.
#ifndef __wasm__
  const auto caller = reinterpret_cast<std::uintptr_t>(&FaultAddressAtSecondSite);
  const auto address = reinterpret_cast<std::uintptr_t>(FaultAddressAtSecondSite());
  EXPECT_GT(address, caller);
  EXPECT_LT(address, caller + 4096);  // unoptimised and instrumented code is long
#endif
}

struct Truncation {
  Extended value;
  Extended expected;
};

TEST_F(ExtendedArithmeticTest, TruncateRealCutsTowardZeroAndKeepsTheSign) {
  const Truncation rows[] = {
      {2.5_x, 2.0_x},
      {-2.5_x, -2.0_x},
      {0.75_x, 0.0_x},
      {-0.75_x, -0.0_x},
      {-0x1p-16000_x, -0.0_x},
      {-0.0_x, -0.0_x},
      {-1.0_x, -1.0_x},
      {-1.75_x, -1.0_x},
      {0x1.fffffffffffffffep-1_x, 0.0_x},
      // A 64-bit significand is cut, not rounded at 53 bits.
      {0x4000000000000001.8p0_x, 0x4000000000000001p0_x},
      {-0x4000000000000001.8p0_x, -0x4000000000000001p0_x},
      {Infinity, Infinity},
      {-Infinity, -Infinity},
  };
  // Rounding control nearest, then upward, then downward: the cut ignores it.
  for (const std::uint16_t word : {std::uint16_t{0x1332}, std::uint16_t{0x1B32}, std::uint16_t{0x1732}}) {
    LoadControlWord(word);
    for (const Truncation& row : rows) {
      SCOPED_TRACE(::testing::Message() << std::hex << word << " " << row.value);
      EXPECT_TRUE(SameExtended(TruncateReal(row.value), row.expected));
      EXPECT_EQ(InstalledControlWord(), word);
    }
  }
}

struct Rounded {
  std::uint16_t word;
  Extended value;
  std::optional<std::int64_t> expected;  // nullopt: an invalid operation
};

TEST_F(ExtendedArithmeticTest, RoundRealUsesTheRoundingControlInForce) {
  constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
  const Rounded rows[] = {
      {0x1332, 0.5_x, 0},
      {0x1332, 1.5_x, 2},
      {0x1332, 2.5_x, 2},
      {0x1332, -0.5_x, 0},
      {0x1332, -1.5_x, -2},
      {0x1332, 30.5_x, 30},
      {0x1332, 31.5_x, 32},
      {0x1332, 59.5_x, 60},
      {0x1332, 59.49999_x, 59},
      {0x1332, -59.5_x, -60},
      {0x1332, -0x1p63_x, Min},
      {0x1332, 0x7fffffffffffffffp0_x, Max},
      {0x1B32, 2.25_x, 3},
      {0x1732, -0.25_x, -1},
      {0x1F32, -2.75_x, -2},
      {0x1332, 0x1p63_x, std::nullopt},
      {0x1332, -0x8000000000000001p0_x, std::nullopt},
      {0x1332, Infinity, std::nullopt},
      {0x1332, QuietNan, std::nullopt},
  };
  for (const Rounded& row : rows) {
    SCOPED_TRACE(::testing::Message() << std::hex << row.word << " " << row.value);
    LoadControlWord(row.word);
    std::int64_t result = 0;
    const DWORD fault = FaultOf([&] { result = RoundReal(row.value); });
    if (row.expected) {
      EXPECT_EQ(fault, 0u);
      EXPECT_EQ(result, *row.expected);
    } else {
      EXPECT_EQ(fault, STATUS_FLOAT_INVALID_OPERATION);
    }
  }
}

}  // namespace
