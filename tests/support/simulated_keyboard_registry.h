// A link-time replacement of the keyboard and registry calls for the tests:
// linked into a test binary, it stands in for the platform's calls and
// answers like a machine with a keyboard type and a registry of one value.
// Without a simulation installed it answers as this platform does (on
// Windows it passes the calls on to the system).
#pragma once

#include "platform/keyboard_registry.h"

struct KeyboardRegistrySimulation {
  int keyboardType = 4;
  int keyboardSubtype = 0;
  bool keyExists = false;
  bool valueExists = false;
  DWORD storedValue = 0;
  bool queryRaises = false;     // the query throws, to prove that the close still runs
  bool systemRegistry = false;  // the registry calls, still counted, go on to the platform's registry
  int openCalls = 0;
  int closeCalls = 0;
  int subtypeQueries = 0;  // GetKeyboardType(1) calls
};

// Installs a simulation (nullptr restores this platform's answers).
void SimulateKeyboardRegistry(KeyboardRegistrySimulation* replacement);
