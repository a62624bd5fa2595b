// Console and file handles under their Windows names, over the POSIX
// descriptors 0, 1 and 2. Each call records its last error as a Windows
// error number (translated from errno by one table) and returns the
// platform's failure value.
#pragma once

#include "platform/windows_types.h"

// Declared as the platform declares them, with C linkage.
extern "C" {
HANDLE GetStdHandle(DWORD standardHandle);
DWORD GetFileType(HANDLE file);
BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, void* overlapped);
BOOL CloseHandle(HANDLE object);
DWORD SetFilePointer(HANDLE file, LONG distanceToMove, LONG* distanceToMoveHigh, DWORD moveMethod);
DWORD GetLastError();
void SetLastError(DWORD error);
}

// Makes writing to a pipe without a reader, or beyond the file size limit,
// an error number of WriteFile, never a silent death by signal. A step of
// the start-up.
void IgnoreWriteSignals();
