// Where the batch mode's time goes, a stage at a time, on values like those
// of bench/batch (numbers of 1 to 15 significant digits from 0.001 to 1000
// of either sign; for d, whole degrees and minutes and seconds with three
// decimals), for one pair of each kind:
//   ReadAndParse  the lines read from memory as the batch mode reads them:
//                 each number found, converted and stored as a double, the
//                 line's end checked and passed
//   Parse         the numbers alone, already cut out: text to real and the
//                 store (reading is the difference)
//   Arithmetic    the pair's formulas, stores and split, without any text
//   Result        the result line composed in memory (WriteResult), that is
//                 the arithmetic and the formatting
//   Write         the composed line put into Output's 64 KiB buffer, which
//                 goes to /dev/null
// Each reports the time per value; what the whole program spends beyond
// their sum is its own loop (a value's fresh state, the error guard, the
// copy of the line) and the system's reads.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "conversion/angle_math.h"
#include "conversion/result.h"
#include "core/fpu_environment.h"
#include "realtext/text_to_real.h"
#include "streams/line_reader.h"
#include "streams/text_output.h"
#include "streams/text_stream.h"

namespace {

constexpr int ValueCount = 4096;

struct Values {
  std::string lines;                // one value a line
  std::vector<std::string> tokens;  // every number
  std::vector<double> numbers;      // every number, as stored
};

Values MakeValues(bool degrees) {
  InitFpu();
  Values made;
  std::mt19937_64 random(degrees ? 2 : 1);
  std::uniform_real_distribution<double> unit(0, 1);
  char text[64];
  for (int index = 0; index < ValueCount; ++index) {
    if (degrees) {
      std::snprintf(text, sizeof text, "%d %d %.3f", static_cast<int>((unit(random) - 0.5) * 1440),
                    static_cast<int>(unit(random) * 60), unit(random) * 60);
    } else {
      std::snprintf(text, sizeof text, "%.*g", 1 + static_cast<int>(unit(random) * 15),
                    (unit(random) - 0.5) * 2 * std::pow(10.0, unit(random) * 6 - 3));
    }
    made.lines += std::string(text) + "\n";
    for (char* token = std::strtok(text, " "); token != nullptr; token = std::strtok(nullptr, " ")) {
      made.tokens.emplace_back(token);
      made.numbers.push_back(x87::StoreDouble(TextToReal(token).value));
    }
  }
  return made;
}

const Values& ValuesOf(bool degrees) {
  static const Values one = MakeValues(false);
  static const Values three = MakeValues(true);
  return degrees ? three : one;
}

void ReadAndParse(benchmark::State& state, bool degrees) {
  const Values& values = ValuesOf(degrees);
  std::string lines = values.lines;
  const int count = degrees ? 3 : 1;
  TextStream stream{};
  for (auto _ : state) {
    OpenMemoryInput(stream, reinterpret_cast<std::uint8_t*>(lines.data()), static_cast<std::uint32_t>(lines.size()));
    while (SkipToTokenOnLine(stream) == LineItem::Token) {
      for (int index = 0; index < count; ++index) {
        if (index > 0) {
          SkipToTokenOnLine(stream);
        }
        benchmark::DoNotOptimize(x87::StoreDouble(ReadTokenOnLine(stream)));
      }
      benchmark::DoNotOptimize(SkipToTokenOnLine(stream));
      SkipPastLineEnd(stream);
    }
  }
  state.SetItemsProcessed(state.iterations() * ValueCount);
}

void Parse(benchmark::State& state, bool degrees) {
  const Values& values = ValuesOf(degrees);
  for (auto _ : state) {
    for (const std::string& token : values.tokens) {
      benchmark::DoNotOptimize(x87::StoreDouble(TextToReal(token.c_str()).value));
    }
  }
  state.SetItemsProcessed(state.iterations() * ValueCount);
}

// The numbers of value `index` into the fields the dialogue reads them into.
void Enter(const Values& values, ResultCase conversion, int index) {
  if (HasDegreesSource(conversion)) {
    Conversion.degreesEntered = values.numbers[static_cast<std::size_t>(3 * index)];
    Conversion.minutesEntered = values.numbers[static_cast<std::size_t>(3 * index + 1)];
    Conversion.secondsEntered = values.numbers[static_cast<std::size_t>(3 * index + 2)];
  } else {
    Conversion.angleValue = values.numbers[static_cast<std::size_t>(index)];
  }
}

void Arithmetic(benchmark::State& state, ResultCase conversion) {
  const Values& values = ValuesOf(HasDegreesSource(conversion));
  for (auto _ : state) {
    for (int index = 0; index < ValueCount; ++index) {
      Enter(values, conversion, index);
      if (conversion == ResultCase::RadiansToGrads) {
        benchmark::DoNotOptimize(RadiansToGrads(Conversion.angleValue));
      } else if (conversion == ResultCase::RadiansToDegrees) {
        benchmark::DoNotOptimize(RadiansToDegrees(Conversion.angleValue));
        Conversion.angleValue = x87::StoreDouble(RadiansToDegrees(Conversion.angleValue));
        SplitDegrees();
      } else {
        StoreDegreesAsRadians();
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * ValueCount);
}

void Result(benchmark::State& state, ResultCase conversion) {
  const Values& values = ValuesOf(HasDegreesSource(conversion));
  std::uint8_t composed[2048];
  TextStream stream{};
  for (auto _ : state) {
    for (int index = 0; index < ValueCount; ++index) {
      Enter(values, conversion, index);
      OpenMemoryOutput(stream, composed, sizeof composed);
      WriteResult(stream, conversion);
      benchmark::DoNotOptimize(composed[0]);
    }
  }
  state.SetItemsProcessed(state.iterations() * ValueCount);
}

// Output on /dev/null in place of the benchmark's own standard output for
// the length of the loop.
void Write(benchmark::State& state) {
  static std::uint8_t block[1 << 16];
  const std::string line = "57.2958d= 57degrees 17minutes 45second \n";
  std::fflush(stdout);
  const int saved = dup(1);
  dup2(open("/dev/null", O_WRONLY), 1);
  MarkStandardStreamsClosed();
  OpenStandardStream(Output, block, sizeof block);
  for (auto _ : state) {
    for (int index = 0; index < ValueCount; ++index) {
      PutBytes(Output, line.data(), static_cast<std::int32_t>(line.size()));
      FlushAfterStatement(Output);
    }
  }
  FlushStream(Output);
  dup2(saved, 1);
  close(saved);
  state.SetItemsProcessed(state.iterations() * ValueCount);
}

BENCHMARK_CAPTURE(ReadAndParse, one_number, false);
BENCHMARK_CAPTURE(ReadAndParse, three_numbers, true);
BENCHMARK_CAPTURE(Parse, one_number, false);
BENCHMARK_CAPTURE(Parse, three_numbers, true);
BENCHMARK_CAPTURE(Arithmetic, rad_to_g, ResultCase::RadiansToGrads);
BENCHMARK_CAPTURE(Arithmetic, rad_to_d, ResultCase::RadiansToDegrees);
BENCHMARK_CAPTURE(Arithmetic, d_to_rad, ResultCase::DegreesToRadians);
BENCHMARK_CAPTURE(Result, rad_to_rad, ResultCase::RadiansToRadians);
BENCHMARK_CAPTURE(Result, rad_to_g, ResultCase::RadiansToGrads);
BENCHMARK_CAPTURE(Result, rad_to_d, ResultCase::RadiansToDegrees);
BENCHMARK_CAPTURE(Result, d_to_rad, ResultCase::DegreesToRadians);
BENCHMARK(Write);

}  // namespace

BENCHMARK_MAIN();
