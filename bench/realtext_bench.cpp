// Real to text against snprintf("%.4Lf"), text to real against strtold, each
// pair on the same 10,000 inputs. The inputs are what the program meets:
// angles and their conversions, from tiny fractions to large magnitudes,
// of either sign, as values and as typed number tokens.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "arithmetic/fpu_environment.h"
#include "realtext/real_to_text.h"
#include "realtext/text_to_real.h"

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
    Sequence sequence;
    std::vector<Extended> result;
    result.reserve(InputCount);
    for (int i = 0; i < InputCount; ++i) {
      Extended value = 1.0L + static_cast<Extended>(sequence.Next()) / 9007199254740992.0L * 9.0L;
      for (int power = sequence.Below(19) - 6; power > 0; --power) {
        value *= 10.0L;
      }
      for (int power = sequence.Below(19) - 6; power < 0; ++power) {
        value /= 10.0L;
      }
      result.push_back(sequence.Below(2) == 0 ? value : -value);
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
  const std::vector<Extended>& values = Values();
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

}  // namespace

BENCHMARK_MAIN();
