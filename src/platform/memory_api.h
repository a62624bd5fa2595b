// The process heap under its Windows names, over the C library's allocator.
#pragma once

#include "platform/windows_types.h"

HANDLE GetProcessHeap();

// A block of at least `bytes` bytes (also for 0), or null when the system
// has no memory for it.
void* HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);

BOOL HeapFree(HANDLE heap, DWORD flags, void* block);

// The size of a block as the heap counts it: at least the size asked for.
SIZE_T HeapSize(HANDLE heap, DWORD flags, const void* block);
