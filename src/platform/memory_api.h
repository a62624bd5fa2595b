// The process heap under its Windows names: on POSIX over the C library's
// allocator, on Windows the system's heap.
#pragma once

#include "platform/windows_types.h"

#ifndef _WIN32
HANDLE GetProcessHeap();

// A block of at least `bytes` bytes (also for 0), or null when the system
// has no memory for it.
void* HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);

BOOL HeapFree(HANDLE heap, DWORD flags, void* block);

// The size of a block as the heap counts it: at least the size asked for.
SIZE_T HeapSize(HANDLE heap, DWORD flags, const void* block);
#endif
