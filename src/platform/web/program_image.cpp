// The program's module on the web: its WebAssembly binary. Code addresses
// are byte offsets in the .wasm file, as the host's stack traces give them,
// so the module starts at 0 and a report shows the failing statement's
// offset in the file: the same in every run, under Node and in the page.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/posix/image_region.h"
#include "platform/process_api.h"

namespace {

// The base of the module, and the handle that names it.
HMODULE const ProgramModule = nullptr;
constexpr char ProgramName[] = "angleconv";
// Code addresses are offsets in the binary below this; the host's tools mark
// a place in JavaScript code with the top bit instead.
constexpr std::uintptr_t ImageEnd = 0x80000000;

}  // namespace

HMODULE GetModuleHandleA(LPCSTR moduleName) { return moduleName == nullptr ? ProgramModule : nullptr; }

// GetModuleFileNameA: the program has no file of its own in the page, nor
// one that a report should show under Node: its module is "angleconv".
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  if (module != ProgramModule || size == 0) {
    return 0;
  }
  const std::size_t length = std::min<std::size_t>(sizeof ProgramName - 1, size - 1);
  std::memcpy(fileName, ProgramName, length);
  fileName[length] = '\0';
  return static_cast<DWORD>(length);
}

std::size_t VirtualQuery(const void* address, MEMORY_BASIC_INFORMATION* information, std::size_t length) {
  return DescribeAddress(address, ProgramImage{ProgramModule, 0, ImageEnd}, information, length);
}
