// Real to text against snprintf("%.4Lf") and std::to_chars(double, fixed,
// 4), text to real against strtold and std::from_chars(double), each group
// on the same 10,000 inputs. The inputs are what the program meets: angles
// and their conversions, from tiny fractions to large magnitudes, of either
// sign, as values and as typed number tokens. Run with repetitions and
// random interleaving, so that the ratios are taken side by side.
#include <benchmark/benchmark.h>

#include <array>
#include <cfloat>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/fpu_environment.h"
#include "realtext/real_to_text.h"
#include "realtext/text_to_real.h"

using namespace x87;

static_assert(LDBL_MANT_DIG == 64, "the C library's side of the comparison needs the x87 long double");

namespace {

constexpr int InputCount = 10000;
constexpr std::int32_t Width = 6;
constexpr std::int32_t Decimals = 4;

// A fixed pseudo-random sequence, so that every run measures the same inputs.
class Sequence {
 public:
  std::uint64_t Next() {
    state_ = state_ * 6364136223846793005u + 1442695040888963407u;
    return state_ >> 11;
  }
  int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }

 private:
  std::uint64_t state_ = 0x9E3779B97F4A7C15u;
};

// Values from 10^-6 to 10^12: significand in [1, 10), scaled by a power of
// ten, with a random sign.
const std::vector<Extended>& Values() {
  static const std::vector<Extended> values = [] {
    InitFpu();
    Sequence sequence;
    std::vector<Extended> result;
    result.reserve(InputCount);
    const Extended ten = Widen(10.0);
    for (int i = 0; i < InputCount; ++i) {
      const Extended fraction = Divide(WidenInteger(static_cast<std::int64_t>(sequence.Next())), Widen(0x1p53));
      Extended value = Add(Widen(1.0), Multiply(fraction, Widen(9.0)));
      for (int power = sequence.Below(19) - 6; power > 0; --power) {
        value = Multiply(value, ten);
      }
      for (int power = sequence.Below(19) - 6; power < 0; ++power) {
        value = Divide(value, ten);
      }
      result.push_back(sequence.Below(2) == 0 ? value : Negate(value));
    }
    return result;
  }();
  return values;
}

// The same values as the C library takes them.
template <typename Real>
const std::vector<Real>& ValuesAs() {
  static const std::vector<Real> values = [] {
    std::vector<Real> result;
    for (const Extended& value : Values()) {
      long double bits = 0;
      std::memcpy(&bits, &value.significand, sizeof value.significand);
      std::memcpy(reinterpret_cast<char*>(&bits) + sizeof value.significand, &value.signExponent,
                  sizeof value.signExponent);
      result.push_back(static_cast<Real>(bits));
    }
    return result;
  }();
  return values;
}

using Token = std::array<char, 40>;

// Tokens of up to 17 digits with an optional sign, point and exponent:
// "57.2958", "-400", ".5", "1.25e-3", "+31415926535".
const std::vector<Token>& Tokens() {
  static const std::vector<Token> tokens = [] {
    Sequence sequence;
    std::vector<Token> result(InputCount);
    for (Token& token : result) {
      std::size_t length = 0;
      const int sign = sequence.Below(4);
      if (sign == 0) {
        token[length++] = '-';
      } else if (sign == 1) {
        token[length++] = '+';
      }
      const int digits = 1 + sequence.Below(17);
      const int point = sequence.Below(digits + 1);
      for (int i = 0; i < digits; ++i) {
        if (i == point && sequence.Below(4) != 0) {
          token[length++] = '.';
        }
        token[length++] = static_cast<char>('0' + sequence.Below(10));
      }
      if (sequence.Below(4) == 0) {
        token[length++] = 'e';
        if (sequence.Below(2) == 0) {
          token[length++] = '-';
        }
        const int exponent = sequence.Below(300);
        if (exponent >= 100) {
          token[length++] = static_cast<char>('0' + exponent / 100);
        }
        if (exponent >= 10) {
          token[length++] = static_cast<char>('0' + exponent / 10 % 10);
        }
        token[length++] = static_cast<char>('0' + exponent % 10);
      }
      token[length] = '\0';
    }
    return result;
  }();
  return tokens;
}

void BM_RealToText(benchmark::State& state) {
  InitFpu();
  const std::vector<Extended>& values = Values();
  std::size_t index = 0;
  for (auto _ : state) {
    ShortString text;
    RealToText(Width, Decimals, values[index], text);
    benchmark::DoNotOptimize(text);
    index = index + 1 == values.size() ? 0 : index + 1;
  }
}
BENCHMARK(BM_RealToText);

void BM_SnprintfLongDouble(benchmark::State& state) {
  const std::vector<long double>& values = ValuesAs<long double>();
  std::size_t index = 0;
  for (auto _ : state) {
    char text[256];
    const int length = std::snprintf(text, sizeof text, "%*.*Lf", Width, Decimals, values[index]);
    benchmark::DoNotOptimize(length);
    benchmark::DoNotOptimize(text);
    index = index + 1 == values.size() ? 0 : index + 1;
  }
}
BENCHMARK(BM_SnprintfLongDouble);

void BM_ToCharsDouble(benchmark::State& state) {
  const std::vector<double>& values = ValuesAs<double>();
  std::size_t index = 0;
  for (auto _ : state) {
    char text[256];
    const std::to_chars_result result =
        std::to_chars(text, text + sizeof text, values[index], std::chars_format::fixed, Decimals);
    benchmark::DoNotOptimize(result);
    benchmark::DoNotOptimize(text);
    index = index + 1 == values.size() ? 0 : index + 1;
  }
}
BENCHMARK(BM_ToCharsDouble);

void BM_TextToReal(benchmark::State& state) {
  InitFpu();
  const std::vector<Token>& tokens = Tokens();
  std::size_t index = 0;
  for (auto _ : state) {
    const TextToRealResult result = TextToReal(tokens[index].data());
    benchmark::DoNotOptimize(result);
    index = index + 1 == tokens.size() ? 0 : index + 1;
  }
}
BENCHMARK(BM_TextToReal);

void BM_Strtold(benchmark::State& state) {
  const std::vector<Token>& tokens = Tokens();
  std::size_t index = 0;
  for (auto _ : state) {
    char* end = nullptr;
    const long double value = std::strtold(tokens[index].data(), &end);
    benchmark::DoNotOptimize(value);
    benchmark::DoNotOptimize(end);
    index = index + 1 == tokens.size() ? 0 : index + 1;
  }
}
BENCHMARK(BM_Strtold);

// from_chars takes no plus sign: the token starts after it.
void BM_FromCharsDouble(benchmark::State& state) {
  const std::vector<Token>& tokens = Tokens();
  std::size_t index = 0;
  for (auto _ : state) {
    const char* begin = tokens[index].data();
    begin += *begin == '+' ? 1 : 0;
    double value = 0;
    const std::from_chars_result result = std::from_chars(begin, begin + std::strlen(begin), value);
    benchmark::DoNotOptimize(value);
    benchmark::DoNotOptimize(result);
    index = index + 1 == tokens.size() ? 0 : index + 1;
  }
}
BENCHMARK(BM_FromCharsDouble);

}  // namespace

BENCHMARK_MAIN();
