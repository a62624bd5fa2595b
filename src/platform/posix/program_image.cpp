#include "platform/process_api.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/posix/image_region.h"
#include "platform/posix/started_name.h"

// Bounds of the program's image, placed by the linker.
extern "C" char __executable_start;
extern "C" char _end;

namespace {

constexpr char PlainProgramName[] = "angleconv";

// `path` cut to size - 1 characters and a zero byte; returns the length.
DWORD CopyPath(const char* path, LPSTR fileName, DWORD size) {
  const std::size_t length = std::min<std::size_t>(std::strlen(path), size - 1);
  std::memcpy(fileName, path, length);
  fileName[length] = '\0';
  return static_cast<DWORD>(length);
}

// The path of the program where /proc cannot say: the name it was started
// with, or its plain name when it was started without one.
DWORD CopyStartedName(LPSTR fileName, DWORD size) {
  const bool named = StartedProgramName() != nullptr && StartedProgramName()[0] != '\0';
  return CopyPath(named ? StartedProgramName() : PlainProgramName, fileName, size);
}

}  // namespace

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName != nullptr) {
    return nullptr;
  }
  return &__executable_start;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  if (module != &__executable_start || size == 0) {
    return 0;
  }
  // The executable's path; without /proc (a chroot or container), the name
  // the program was started with.
  const ssize_t length = readlink("/proc/self/exe", fileName, size - 1);
  if (length <= 0) {
    return CopyStartedName(fileName, size);
  }
  fileName[length] = '\0';
  return static_cast<DWORD>(length);
}

std::size_t VirtualQuery(const void* address, MEMORY_BASIC_INFORMATION* information, std::size_t length) {
  // The image bounds are separate linker symbols: compared as numbers.
  const ProgramImage image{&__executable_start, reinterpret_cast<std::uintptr_t>(&__executable_start),
                           reinterpret_cast<std::uintptr_t>(&_end)};
  return DescribeAddress(address, image, information, length);
}
