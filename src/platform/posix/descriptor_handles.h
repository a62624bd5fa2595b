// Handles over descriptors, shared by the POSIX and the web platform: a
// handle is the descriptor plus one, so that descriptor 0 is no null handle.
#pragma once

#include <cstdint>

#include "platform/windows_types.h"

inline HANDLE HandleOf(int descriptor) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(descriptor) + 1); }

// The descriptor of STD_INPUT_HANDLE, STD_OUTPUT_HANDLE or STD_ERROR_HANDLE:
// 0, 1 or 2; -1 for any other value.
inline int StandardDescriptor(DWORD standardHandle) {
  if (standardHandle == STD_INPUT_HANDLE) {
    return 0;
  }
  if (standardHandle == STD_OUTPUT_HANDLE) {
    return 1;
  }
  return standardHandle == STD_ERROR_HANDLE ? 2 : -1;
}
