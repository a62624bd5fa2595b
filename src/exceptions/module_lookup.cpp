#include "exceptions/module_lookup.h"

#include <cstring>

#include "platform/process_api.h"

bool FindModuleOf(const void* address, ModuleLocation& found) {
  MEMORY_BASIC_INFORMATION region{};
  if (VirtualQuery(address, &region, sizeof region) == 0 || region.State != MEM_COMMIT ||
      GetModuleFileNameA(static_cast<HMODULE>(region.AllocationBase), found.path, sizeof found.path) == 0) {
    return false;
  }
  found.name = ModuleName(found.path);
  found.base = reinterpret_cast<std::uintptr_t>(region.AllocationBase);
  return true;
}

const char* ModuleName(const char* path) {
  const char* slash = std::strrchr(path, ModulePathSeparator);
  return slash != nullptr ? slash + 1 : path;
}
