// Cost per operation of the software core and of the x87 instructions it
// replaces (each followed by fnstsw, as the program reads the status word
// after every operation), on normal operands with rounding to nearest.
#include <benchmark/benchmark.h>

#include <bit>
#include <cstring>
#include <vector>

#include "arithmetic/extended_arithmetic.h"
#include "arithmetic/extended_operations.h"

using namespace x87;
using namespace x87::detail;

namespace {

using x87::Extended;

constexpr std::uint16_t NearestWord = 0x037F;
constexpr std::size_t Count = 1024;

// Operands around 1e-20..1e20 with random significands, as conversions meet them.
std::vector<Extended> Operands(std::uint64_t seed) {
  std::vector<Extended> values(Count);
  for (Extended& x : values) {
    seed = seed * 6364136223846793005 + 1442695040888963407;
    x = {static_cast<std::uint16_t>(0x3FFF - 66 + static_cast<int>(seed >> 57)),
         (seed ^ (seed << 17)) | x87::IntegerBit};
  }
  return values;
}

template <Extended (*Operation)(Extended, Extended, std::uint16_t, std::uint16_t&)>
void Soft(benchmark::State& state) {
  const std::vector<Extended> a = Operands(1);
  const std::vector<Extended> b = Operands(2);
  std::uint16_t status = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < Count; ++i) {
      Extended r = Operation(a[i], b[i], NearestWord, status);
      benchmark::DoNotOptimize(r);
    }
  }
  benchmark::DoNotOptimize(status);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Count));
}

void SoftStoreDouble(benchmark::State& state) {
  const std::vector<Extended> a = Operands(1);
  std::uint16_t status = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < Count; ++i) {
      double r = std::bit_cast<double>(x87::detail::StoreDoubleMasked(a[i], NearestWord, status));
      benchmark::DoNotOptimize(r);
    }
  }
  benchmark::DoNotOptimize(status);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Count));
}

// Digit accumulation, x = x * 10 + digit, as reading a number does: each
// step waits for the one before, so this measures latency.
std::vector<Extended> Digits() {
  std::vector<Extended> digits(Count);
  for (std::size_t i = 0; i < Count; ++i) {
    digits[i] = x87::WidenInteger(static_cast<std::int64_t>((i * 7 + 3) % 10));
  }
  return digits;
}

void SoftDigitChain(benchmark::State& state) {
  const std::vector<Extended> digits = Digits();
  const Extended ten = x87::WidenInteger(10);
  std::uint16_t status = 0;
  for (auto _ : state) {
    Extended x = x87::WidenInteger(0);
    for (std::size_t i = 0; i < Count; ++i) {
      x = x87::detail::AddMasked(x87::detail::MultiplyMasked(x, ten, NearestWord, status), digits[i], NearestWord,
                                 status);
    }
    benchmark::DoNotOptimize(x);
  }
  benchmark::DoNotOptimize(status);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Count));
}
BENCHMARK(SoftDigitChain);

BENCHMARK_TEMPLATE(Soft, x87::detail::AddMasked);
BENCHMARK_TEMPLATE(Soft, x87::detail::MultiplyMasked);
BENCHMARK_TEMPLATE(Soft, x87::detail::DivideMasked);
BENCHMARK(SoftStoreDouble);

#if defined(__x86_64__)

std::vector<long double> Hardware(const std::vector<Extended>& values) {
  std::vector<long double> result(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::memcpy(&result[i], &values[i].significand, 8);
    std::memcpy(reinterpret_cast<unsigned char*>(&result[i]) + 8, &values[i].signExponent, 2);
  }
  return result;
}

#define X87_BENCHMARK(name, instruction)                                                         \
  void name(benchmark::State& state) {                                                           \
    const std::vector<long double> a = Hardware(Operands(1));                                    \
    const std::vector<long double> b = Hardware(Operands(2));                                    \
    std::uint16_t status = 0;                                                                    \
    for (auto _ : state) {                                                                       \
      for (std::size_t i = 0; i < Count; ++i) {                                                  \
        long double x = a[i];                                                                    \
        std::uint16_t s;                                                                         \
        asm volatile(instruction " %%st(1), %%st\n\tfnstsw %1" : "+t"(x), "=&a"(s) : "u"(b[i])); \
        status |= s;                                                                             \
        benchmark::DoNotOptimize(x);                                                             \
      }                                                                                          \
    }                                                                                            \
    benchmark::DoNotOptimize(status);                                                            \
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Count));              \
  }                                                                                              \
  BENCHMARK(name);

X87_BENCHMARK(X87Add, "fadd")
X87_BENCHMARK(X87Multiply, "fmul")
X87_BENCHMARK(X87Divide, "fdiv")
#undef X87_BENCHMARK

void X87DigitChain(benchmark::State& state) {
  const std::vector<long double> digits = Hardware(Digits());
  const long double ten = 10;
  std::uint16_t status = 0;
  for (auto _ : state) {
    long double x = 0;
    for (std::size_t i = 0; i < Count; ++i) {
      std::uint16_t s;
      asm volatile("fmul %%st(1), %%st\n\tfnstsw %1" : "+t"(x), "=&a"(s) : "u"(ten));
      status |= s;
      asm volatile("fadd %%st(1), %%st\n\tfnstsw %1" : "+t"(x), "=&a"(s) : "u"(digits[i]));
      status |= s;
    }
    benchmark::DoNotOptimize(x);
  }
  benchmark::DoNotOptimize(status);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Count));
}
BENCHMARK(X87DigitChain);

void X87StoreDouble(benchmark::State& state) {
  const std::vector<long double> a = Hardware(Operands(1));
  std::uint16_t status = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < Count; ++i) {
      double r;
      std::uint16_t s;
      asm volatile("fstl %0\n\tfnstsw %1" : "=m"(r), "=&a"(s) : "t"(a[i]));
      status |= s;
      benchmark::DoNotOptimize(r);
    }
  }
  benchmark::DoNotOptimize(status);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Count));
}
BENCHMARK(X87StoreDouble);

#endif

}  // namespace

BENCHMARK_MAIN();
