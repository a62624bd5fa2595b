// Keyboard type and registry calls under their Windows names. POSIX has
// neither a keyboard type nor a registry: there GetKeyboardType(0) answers 4
// (an enhanced keyboard) and no key ever opens. On Windows they are the
// system's calls and its registry.
#pragma once

#include "platform/windows_types.h"

// The registry's "not found", as the registry calls return it.
inline constexpr LONG ERROR_FILE_NOT_FOUND_LONG = 2;

#ifndef _WIN32
using HKEY = void*;
using REGSAM = DWORD;
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;

int GetKeyboardType(int typeFlag);
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);
LONG RegCloseKey(HKEY key);
#endif
