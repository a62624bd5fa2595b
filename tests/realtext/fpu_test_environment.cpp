#include <gtest/gtest.h>

#include "core/fpu_environment.h"

namespace {

// Every test runs under the start-up control word, so that invalid
// operation, division by zero and overflow are faults as in the program.
class FpuTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { InitFpu(); }
};

[[maybe_unused]] const ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new FpuTestEnvironment);

}  // namespace
