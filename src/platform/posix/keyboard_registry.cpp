#include "platform/keyboard_registry.h"

// GetKeyboardType: type 4 (an enhanced keyboard), and no subtype.
int GetKeyboardType(int typeFlag) { return typeFlag == 0 ? 4 : 0; }

// RegOpenKeyExA: there is no registry, so no key opens.
LONG RegOpenKeyExA(HKEY /*key*/, LPCSTR /*subKey*/, DWORD /*options*/, REGSAM /*access*/, HKEY* /*result*/) {
  return ERROR_FILE_NOT_FOUND_LONG;
}

// RegQueryValueExA: no key, so no value. The size stays a pointer to a
// variable, as in the Windows signature.
LONG RegQueryValueExA(HKEY /*key*/, LPCSTR /*valueName*/, DWORD* /*reserved*/, DWORD* /*type*/, BYTE* /*data*/,
                      DWORD* /*dataSize*/) {  // NOLINT(readability-non-const-parameter)
  return ERROR_FILE_NOT_FOUND_LONG;
}

// RegCloseKey: nothing to close.
LONG RegCloseKey(HKEY /*key*/) { return 0; }
