// Console and file handles under their Windows names, over the POSIX
// descriptors 0, 1 and 2. Each call records its last error as a Windows
// error number (translated from errno by one table) and returns the
// platform's failure value.
#pragma once

#include "platform/windows_types.h"

HANDLE GetStdHandle(DWORD standardHandle);
DWORD GetFileType(HANDLE file);
BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, void* overlapped);
BOOL CloseHandle(HANDLE object);
DWORD GetLastError();
void SetLastError(DWORD errorCode);

// The Windows error number for a POSIX errno value.
DWORD WindowsErrorFromErrno(int errnoValue);

// Test seam: counts of the calls made, to prove one system call per buffer.
struct FileCallCounts {
  int readFileCalls;
  int writeFileCalls;
};
extern FileCallCounts FileCalls;
