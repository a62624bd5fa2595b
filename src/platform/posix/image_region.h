// What VirtualQuery tells of an address, for the POSIX and the web platform:
// inside the program's image, one committed region from the image's base;
// anywhere else, free memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/process_api.h"

// The program's image: its module handle (its base) and its bounds as
// numbers, start included, end excluded.
struct ProgramImage {
  void* base;
  std::uintptr_t start;
  std::uintptr_t end;
};

inline std::size_t DescribeAddress(const void* address, const ProgramImage& image,
                                   MEMORY_BASIC_INFORMATION* information, std::size_t length) {
  if (length < sizeof *information) {
    return 0;
  }
  std::memset(information, 0, sizeof *information);
  const auto where = reinterpret_cast<std::uintptr_t>(address);
  if (where >= image.start && where < image.end) {
    information->BaseAddress = image.base;
    information->AllocationBase = image.base;
    information->RegionSize = image.end - image.start;
    information->State = MEM_COMMIT;
  } else {
    information->BaseAddress = const_cast<void*>(address);
    information->State = MEM_FREE;
  }
  return sizeof *information;
}
