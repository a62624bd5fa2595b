// The start-up environment: the keyboard test, the registry override of the
// six exception masks, and the word that InitFpu installs.
#include <gtest/gtest.h>

#include <stdexcept>

#include "arithmetic/extended_arithmetic.h"
#include "core/fpu_environment.h"
#include "platform/keyboard_registry.h"
#include "support/simulated_keyboard_registry.h"

using namespace x87;

namespace {

// Every test starts and ends with the start-up word and no simulated
// keyboard, whatever the test before it left behind.
class FpuEnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override { Restore(); }
  void TearDown() override { Restore(); }

  static void Restore() {
    SimulateKeyboardRegistry(nullptr);
    DefaultControlWord = 0x1332;
    InitFpu();
  }
};

struct Machine {
  const char* name;
  int keyboardType;
  int keyboardSubtype;
  bool keyExists;
  bool valueExists;
  DWORD storedValue;
  bool needsOverride;
  std::uint16_t word;
  int closeCalls;
};

TEST_F(FpuEnvironmentTest, OverrideReplacesOnlyTheSixMasks) {
  const Machine machines[] = {
      {"type 7, subtype 0x0D00", 7, 0x0D00, true, true, 0x3F, true, 0x133F, 1},
      {"type 7, subtype 0x0400", 7, 0x0400, true, true, 0x3F, true, 0x133F, 1},
      {"low subtype bits ignored", 7, 0x04FF, true, true, 0x00, true, 0x1300, 1},
      {"bits above the sixth ignored", 7, 0x0D00, true, true, 0xFFFFFFC0, true, 0x1300, 1},
      {"bits above the sixth ignored, masks kept", 7, 0x0D00, true, true, 0x12345, true, 0x1305, 1},
      {"missing value", 7, 0x0D00, true, false, 0x3F, true, 0x1332, 1},
      {"key does not open", 7, 0x0D00, false, true, 0x3F, true, 0x1332, 0},
      {"other subtype", 7, 0x0500, true, true, 0x3F, false, 0x1332, 0},
      {"subtype without type 7", 4, 0x0D00, true, true, 0x3F, false, 0x1332, 0},
      {"type 0x107 is not 7", 0x107, 0x0D00, true, true, 0x3F, false, 0x1332, 0},
  };
  for (const Machine& m : machines) {
    SCOPED_TRACE(m.name);
    KeyboardRegistrySimulation simulation;
    simulation.keyboardType = m.keyboardType;
    simulation.keyboardSubtype = m.keyboardSubtype;
    simulation.keyExists = m.keyExists;
    simulation.valueExists = m.valueExists;
    simulation.storedValue = m.storedValue;
    SimulateKeyboardRegistry(&simulation);
    DefaultControlWord = 0x1332;
    EXPECT_EQ(NeedsFpuMaskOverride(), m.needsOverride);
    InstallFpuEnvironment();
    EXPECT_EQ(DefaultControlWord, m.word);
    EXPECT_EQ(InstalledControlWord(), m.word);
    EXPECT_EQ(simulation.closeCalls, m.closeCalls);
    EXPECT_EQ(simulation.openCalls, m.closeCalls);
    // The subtype is asked only after a type of 7, once per test.
    EXPECT_EQ(simulation.subtypeQueries, m.keyboardType == 7 ? 2 : 0);
    SimulateKeyboardRegistry(nullptr);
  }
}

TEST_F(FpuEnvironmentTest, OverrideStartsFromTheCurrentWord) {
  KeyboardRegistrySimulation simulation;
  simulation.keyExists = true;
  SimulateKeyboardRegistry(&simulation);
  // A missing value leaves whatever masks the word already has.
  DefaultControlWord = 0x1320;
  LoadFpuMaskOverride();
  EXPECT_EQ(DefaultControlWord, 0x1320);
}

TEST_F(FpuEnvironmentTest, KeyIsClosedWhenTheQueryRaises) {
  KeyboardRegistrySimulation simulation;
  simulation.keyboardType = 7;
  simulation.keyboardSubtype = 0x0D00;
  simulation.keyExists = true;
  simulation.valueExists = true;
  simulation.storedValue = 0x3F;
  simulation.queryRaises = true;
  SimulateKeyboardRegistry(&simulation);
  EXPECT_THROW(LoadFpuMaskOverride(), std::runtime_error);
  EXPECT_EQ(simulation.openCalls, 1);
  EXPECT_EQ(simulation.closeCalls, 1);
  EXPECT_EQ(DefaultControlWord, 0x1332);
}

TEST_F(FpuEnvironmentTest, ThisPlatformHasNoOverride) {
  DefaultControlWord = 0x1332;
  EXPECT_EQ(GetKeyboardType(0), 4);
  EXPECT_FALSE(NeedsFpuMaskOverride());
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavenor\\Quillet\\RTL", 0, KEY_QUERY_VALUE, &key), 0);
  LoadFpuMaskOverride();
  InstallFpuEnvironment();
  EXPECT_EQ(DefaultControlWord, 0x1332);
  EXPECT_EQ(InstalledControlWord(), 0x1332);
}

TEST_F(FpuEnvironmentTest, InitFpuClearsTheFlagsAndInstallsTheWord) {
  // Leave a raised flag and another word behind.
  LoadControlWord(0x133F);
  Divide(Widen(1.0), Widen(0.0));
  ASSERT_NE(StatusWord(), 0);
  InitFpu();
  EXPECT_EQ(InstalledControlWord(), 0x1332);
  EXPECT_EQ(StatusWord(), 0);
}

}  // namespace
