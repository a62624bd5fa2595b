// Every operation of the software core against this machine's x87: the same
// result bits and the same six flags on two million cases per operation from
// the corner-seeking case stream.
#if defined(__x86_64__)

#include <gtest/gtest.h>

#include "arithmetic/extended_case_generator.h"

using namespace x87;

#ifndef EXTENDED_DIFFERENTIAL_SCALE
#define EXTENDED_DIFFERENTIAL_SCALE 1.0
#endif

namespace extended_cases {
namespace {

constexpr int CasesPerOperation = static_cast<int>(2000000 * EXTENDED_DIFFERENTIAL_SCALE);
constexpr int MismatchesShown = 5;

class Differential : public testing::TestWithParam<Operation> {};

TEST_P(Differential, MatchesTheX87) {
  const Operation op = GetParam();
  CaseGenerator cases(0x5EED0000 + static_cast<std::uint64_t>(op));
  int mismatches = 0;
  for (int i = 0; i < CasesPerOperation && mismatches < MismatchesShown; ++i) {
    const Case c = cases.Next(op);
    const Outcome soft = RunSoft(c);
    const Outcome reference = RunX87(c);
    if (!(soft == reference)) {
      ++mismatches;
      ADD_FAILURE() << "case " << i << ": " << Describe(c, soft, reference);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllOperations, Differential,
                         testing::Values(Operation::Add, Operation::Subtract, Operation::Multiply, Operation::Divide,
                                         Operation::StoreDouble, Operation::RoundToIntegral, Operation::RoundToInt64,
                                         Operation::CompareQuiet, Operation::CompareSignaling, Operation::Negate,
                                         Operation::WidenDouble, Operation::WidenFloat, Operation::WidenInteger),
                         [](const testing::TestParamInfo<Operation>& name) { return InfoOf(name.param).name; });

}  // namespace
}  // namespace extended_cases

#endif  // defined(__x86_64__)
