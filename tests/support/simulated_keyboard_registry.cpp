#include "support/simulated_keyboard_registry.h"

#include <cstring>
#include <stdexcept>

// The simulation's calls are called as the system's are: on 32-bit
// Windows, with the callee clearing the arguments (WINAPI).
#ifdef _WIN32
#define SIMULATED_CALL WINAPI
#else
#define SIMULATED_CALL
#endif

namespace {
KeyboardRegistrySimulation* simulation = nullptr;
HKEY const SimulatedKey = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x1000u));

#ifdef _WIN32
// The system's own calls, looked up by name: the names themselves lead to
// the simulation (below).
template <typename Call>
Call SystemCall(const char* library, const char* name) {
  return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(LoadLibraryA(library), name)));
}
const auto SystemGetKeyboardType = SystemCall<decltype(&GetKeyboardType)>("user32.dll", "GetKeyboardType");
const auto SystemRegOpenKeyExA = SystemCall<decltype(&RegOpenKeyExA)>("advapi32.dll", "RegOpenKeyExA");
const auto SystemRegQueryValueExA = SystemCall<decltype(&RegQueryValueExA)>("advapi32.dll", "RegQueryValueExA");
const auto SystemRegCloseKey = SystemCall<decltype(&RegCloseKey)>("advapi32.dll", "RegCloseKey");
#else
// This platform has neither a keyboard type nor a registry.
int SystemGetKeyboardType(int typeFlag) { return typeFlag == 0 ? 4 : 0; }
LONG SystemRegOpenKeyExA(HKEY /*key*/, LPCSTR /*subKey*/, DWORD /*options*/, REGSAM /*access*/, HKEY* /*result*/) {
  return ERROR_FILE_NOT_FOUND_LONG;
}
LONG SystemRegQueryValueExA(HKEY /*key*/, LPCSTR /*valueName*/, DWORD* /*reserved*/, DWORD* /*type*/, BYTE* /*data*/,
                            DWORD* /*dataSize*/) {
  return ERROR_FILE_NOT_FOUND_LONG;
}
LONG SystemRegCloseKey(HKEY /*key*/) { return 0; }
#endif

bool RegistrySimulated() { return simulation != nullptr && !simulation->systemRegistry; }

int SIMULATED_CALL SimulatedGetKeyboardType(int typeFlag) {
  if (simulation == nullptr) {
    return SystemGetKeyboardType(typeFlag);
  }
  if (typeFlag == 0) {
    return simulation->keyboardType;
  }
  ++simulation->subtypeQueries;
  return simulation->keyboardSubtype;
}

LONG SIMULATED_CALL SimulatedRegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result) {
  if (!RegistrySimulated()) {
    const LONG status = SystemRegOpenKeyExA(key, subKey, options, access, result);
    if (simulation != nullptr && status == 0) {
      ++simulation->openCalls;
    }
    return status;
  }
  if (!simulation->keyExists) {
    return ERROR_FILE_NOT_FOUND_LONG;
  }
  ++simulation->openCalls;
  *result = SimulatedKey;
  return 0;
}

// The size stays a pointer to a variable, as in the Windows signature.
LONG SIMULATED_CALL SimulatedRegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data,
                                              DWORD* dataSize) {  // NOLINT(readability-non-const-parameter)
  if (!RegistrySimulated()) {
    return SystemRegQueryValueExA(key, valueName, reserved, type, data, dataSize);
  }
  if (!simulation->valueExists) {
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

LONG SIMULATED_CALL SimulatedRegCloseKey(HKEY key) {
  if (simulation != nullptr) {
    ++simulation->closeCalls;
  }
  return RegistrySimulated() ? 0 : SystemRegCloseKey(key);
}

}  // namespace

void SimulateKeyboardRegistry(KeyboardRegistrySimulation* replacement) { simulation = replacement; }

#ifdef _WIN32
// A program calls each imported function through a pointer named __imp_ and
// the function's name. Defined here, these pointers take the place of the
// system's imports in the test binary that links this file first.
#ifdef __i386__
// 32-bit Windows decorates the name: an underscore before it, and the bytes
// of its arguments after an @ (__imp__RegCloseKey@4).
#define IMPORT_POINTER(function, argumentBytes) \
  decltype(&function) simulated_import_##function asm("__imp__" #function "@" #argumentBytes)
IMPORT_POINTER(GetKeyboardType, 4) = SimulatedGetKeyboardType;
IMPORT_POINTER(RegOpenKeyExA, 20) = SimulatedRegOpenKeyExA;
IMPORT_POINTER(RegQueryValueExA, 24) = SimulatedRegQueryValueExA;
IMPORT_POINTER(RegCloseKey, 4) = SimulatedRegCloseKey;
#else
extern "C" {
decltype(&GetKeyboardType) __imp_GetKeyboardType = SimulatedGetKeyboardType;
decltype(&RegOpenKeyExA) __imp_RegOpenKeyExA = SimulatedRegOpenKeyExA;
decltype(&RegQueryValueExA) __imp_RegQueryValueExA = SimulatedRegQueryValueExA;
decltype(&RegCloseKey) __imp_RegCloseKey = SimulatedRegCloseKey;
}
#endif
#else
int GetKeyboardType(int typeFlag) { return SimulatedGetKeyboardType(typeFlag); }

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result) {
  return SimulatedRegOpenKeyExA(key, subKey, options, access, result);
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
  return SimulatedRegQueryValueExA(key, valueName, reserved, type, data, dataSize);
}

LONG RegCloseKey(HKEY key) { return SimulatedRegCloseKey(key); }
#endif
