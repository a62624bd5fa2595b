#include "platform/memory_api.h"

#include <malloc.h>

#include <cstdlib>

namespace {
// The one heap there is; its handle is only ever handed back.
char ProcessHeap;
}  // namespace

HANDLE GetProcessHeap() { return &ProcessHeap; }

void* HeapAlloc(HANDLE /*heap*/, DWORD /*flags*/, SIZE_T bytes) { return std::malloc(bytes == 0 ? 1 : bytes); }

BOOL HeapFree(HANDLE /*heap*/, DWORD /*flags*/, void* block) {
  std::free(block);
  return TRUE;
}

SIZE_T HeapSize(HANDLE /*heap*/, DWORD /*flags*/, const void* block) {
  return malloc_usable_size(const_cast<void*>(block));
}
