// Every operation of the software core against this machine's x87: the same
// result bits and the same six flags on two million cases per operation from
// the corner-seeking case stream, and the same fault where the control word
// leaves an exception unmasked. Every other case runs with every exception
// masked, as the program does; the rest take the 64 mask settings in turn,
// under the stream's four rounding controls.
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
    Case c = cases.Next(op);
    if (i % 2 == 1) {
      c.masks = static_cast<std::uint16_t>(i / 2 % 64);
    }
    const Outcome soft = RunSoft(c);
    const Outcome reference = RunX87(c);
    if (!Agree(c, soft, reference)) {
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
