#include "support/simulated_keyboard_registry.h"

#include <cstring>
#include <stdexcept>

namespace {
KeyboardRegistrySimulation* simulation = nullptr;
HKEY const SimulatedKey = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x1000u));
}  // namespace

void SimulateKeyboardRegistry(KeyboardRegistrySimulation* replacement) { simulation = replacement; }

int GetKeyboardType(int typeFlag) {
  if (simulation == nullptr) {
    return typeFlag == 0 ? 4 : 0;
  }
  if (typeFlag == 0) {
    return simulation->keyboardType;
  }
  ++simulation->subtypeQueries;
  return simulation->keyboardSubtype;
}

LONG RegOpenKeyExA(HKEY /*key*/, LPCSTR /*subKey*/, DWORD /*options*/, REGSAM /*access*/, HKEY* result) {
  if (simulation == nullptr || !simulation->keyExists) {
    return ERROR_FILE_NOT_FOUND_LONG;
  }
  ++simulation->openCalls;
  *result = SimulatedKey;
  return 0;
}

// The size stays a pointer to a variable, as in the Windows signature.
LONG RegQueryValueExA(HKEY /*key*/, LPCSTR /*valueName*/, DWORD* /*reserved*/, DWORD* /*type*/, BYTE* data,
                      DWORD* dataSize) {  // NOLINT(readability-non-const-parameter)
  if (simulation == nullptr || !simulation->valueExists) {
    return ERROR_FILE_NOT_FOUND_LONG;
  }
  if (simulation->queryRaises) {
    throw std::runtime_error("registry query failed");
  }
  if (*dataSize >= sizeof simulation->storedValue) {
    std::memcpy(data, &simulation->storedValue, sizeof simulation->storedValue);
  }
  return 0;
}

LONG RegCloseKey(HKEY /*key*/) {
  if (simulation != nullptr) {
    ++simulation->closeCalls;
  }
  return 0;
}
