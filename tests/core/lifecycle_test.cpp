// Start and finish routines: their order, and what runs when one raises.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "core/lifecycle.h"
#include "platform/process_api.h"

namespace {

std::string Trace;
std::string FailingStep;

void Step(const char* name) {
  Trace += name;
  if (FailingStep == name) {
    throw std::runtime_error(name);
  }
}

const StartupEntry Entries[] = {
    {[] { Step("s1 "); }, [] { Step("f1 "); }},
    {[] { Step("s2 "); }, [] { Step("f2 "); }},
    {nullptr, [] { Step("f3 "); }},
    {[] { Step("s4 "); }, nullptr},
};
const StartupTable Table{4, Entries};

struct RoutineRun {
  const char* failingStep;
  const char* trace;
  int startedCountAfterStart;
};

class Routines : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Startup;
    Startup.table = &Table;
    Startup.StartedCount = 0;
    Trace.clear();
  }
  void TearDown() override {
    Startup = saved_;
    FailingStep.clear();
  }
  StartupContext saved_{};
};

TEST_F(Routines, StartInTableOrderAndFinishInReverse) {
  const RoutineRun runs[] = {
      {"", "s1 s2 s4 | f3 f2 f1 ", 4},
      // The entry whose start failed is finished too.
      {"s2 ", "s1 s2 f2 f1 | ", 0},
      // A finish routine that fails does not stop the others.
      {"f2 ", "s1 s2 s4 | f3 f2 f1 ", 4},
  };
  for (const RoutineRun& run : runs) {
    SCOPED_TRACE(run.failingStep);
    Startup.StartedCount = 0;
    Trace.clear();
    FailingStep = run.failingStep;
    bool raised = false;
    try {
      RunStartRoutines();
    } catch (const std::runtime_error&) {
      raised = true;
    }
    EXPECT_EQ(Startup.StartedCount, run.startedCountAfterStart);
    Trace += "| ";
    try {
      RunFinishRoutines();
    } catch (const std::runtime_error&) {
      raised = true;
    }
    EXPECT_EQ(Trace, run.trace);
    EXPECT_EQ(raised, FailingStep.size() != 0);
    EXPECT_EQ(Startup.StartedCount, 0);
  }
}

TEST(ExitStatus, ANonZeroCodeNeverReadsAsSuccess) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows hands its parent the whole exit code, not a status of eight bits";
#else
  const struct {
    UINT code;
    int status;
  } rows[] = {{0, 0}, {1, 1}, {217, 217}, {232, 232}, {255, 255}, {256, 255}, {512, 255}, {257, 1}, {0x80000000u, 255}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    EXPECT_EQ(PosixExitStatus(row.code), row.status);
  }
#endif
}

}  // namespace
