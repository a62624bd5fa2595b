// The module that holds a code address, as the reports name it: the file
// name of the module (the part of its path after the last separator, '/'
// on POSIX, '\\' on Windows) and the base its offsets count from.
//   an address in the program /usr/bin/angleconv   -> "angleconv", its image base
//   an address in the program C:\bin\angleconv.exe -> "angleconv.exe", its image base
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t ModulePathSize = 261;  // 260 characters and the zero byte

struct ModuleLocation {
  char path[ModulePathSize];
  const char* name;  // inside path
  std::uintptr_t base;
};

// True when a module holds `address`; `found` then names it.
bool FindModuleOf(const void* address, ModuleLocation& found);

// The part of a module path after its last separator.
const char* ModuleName(const char* path);
