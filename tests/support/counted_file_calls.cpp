#include "support/counted_file_calls.h"

#include "platform/file_api.h"

FileCallCounts FileCalls{};

extern "C" {
BOOL __real_ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void* overlapped);
BOOL __real_WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, void* overlapped);

BOOL __wrap_ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void* overlapped) {
  ++FileCalls.readFileCalls;
  if (FileCalls.failReadsWith != 0) {
    *bytesRead = 0;
    SetLastError(FileCalls.failReadsWith);
    return FALSE;
  }
  return __real_ReadFile(file, buffer, bytesToRead, bytesRead, overlapped);
}

BOOL __wrap_WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, void* overlapped) {
  ++FileCalls.writeFileCalls;
  return __real_WriteFile(file, buffer, bytesToWrite, bytesWritten, overlapped);
}
}
