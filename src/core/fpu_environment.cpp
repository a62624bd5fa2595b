#include "core/fpu_environment.h"

#include "arithmetic/extended_arithmetic.h"
#include "platform/keyboard_registry.h"

std::uint16_t DefaultControlWord = 0x1332;

namespace {
constexpr char OverrideKey[] = "SOFTWARE\\Tavenor\\Quillet\\RTL";
constexpr char OverrideValue[] = "FPUMaskValue";

// Closes the key however the query ends.
struct KeyCloser {
  HKEY key;
  ~KeyCloser() { RegCloseKey(key); }
};
}  // namespace

bool NeedsFpuMaskOverride() {
  if (GetKeyboardType(0) != 7) {
    return false;
  }
  const int subtype = GetKeyboardType(1) & 0xFF00;
  return subtype == 0x0D00 || subtype == 0x0400;
}

void LoadFpuMaskOverride() {
  // Step 1: start from the current word, widened with zeros.
  DWORD data = DefaultControlWord;
  // Step 2: open the key; without it the word keeps its masks.
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, OverrideKey, 0, KEY_QUERY_VALUE, &key) == 0) {
    // Steps 3 and 4: query into data; the close runs even if the query raises.
    KeyCloser closer{key};
    DWORD size = sizeof data;
    RegQueryValueExA(key, OverrideValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size);
  }
  // Step 5: only the six exception masks can change.
  const DWORD kept = DefaultControlWord & ~DWORD{x87::ExceptionMasks};
  DefaultControlWord = static_cast<std::uint16_t>(kept | (data & x87::ExceptionMasks));
}

void InitFpu() {
  x87::ResetFpu();
  x87::LoadControlWord(DefaultControlWord);
}

void InstallFpuEnvironment() {
  if (NeedsFpuMaskOverride()) {
    LoadFpuMaskOverride();
  }
  InitFpu();
}
