// The software core against results recorded from an x87 (see
// generate_golden_vectors.cpp): runs on every CPU, x87 or not.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "arithmetic/extended_cases.h"

#ifndef EXTENDED_GOLDEN_VECTORS
#error "EXTENDED_GOLDEN_VECTORS must name the golden vector file"
#endif

namespace extended_cases {
namespace {

constexpr int MinimumCases = 100000;
constexpr int MismatchesShown = 5;

TEST(GoldenVectors, SoftwareMatchesTheRecordedX87) {
  std::ifstream file(EXTENDED_GOLDEN_VECTORS);
  ASSERT_TRUE(file.is_open()) << EXTENDED_GOLDEN_VECTORS;
  std::string line;
  int lineNumber = 0;
  int cases = 0;
  int mismatches = 0;
  while (std::getline(file, line) && mismatches < MismatchesShown) {
    ++lineNumber;
    if (line.empty() || line[0] == '#') {
      continue;
    }
    const std::optional<GoldenCase> golden = ParseLine(line.c_str());
    ASSERT_TRUE(golden.has_value()) << "line " << lineNumber << ": " << line;
    ++cases;
    const Outcome soft = RunSoft(golden->input);
    if (!(soft == golden->expected)) {
      ++mismatches;
      ADD_FAILURE() << "line " << lineNumber << ": " << Describe(golden->input, soft, golden->expected);
    }
  }
  EXPECT_GE(cases, MinimumCases);
}

}  // namespace
}  // namespace extended_cases
