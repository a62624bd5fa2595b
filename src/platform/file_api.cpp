#include "platform/file_api.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

FileCallCounts FileCalls{};

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// Writing to a pipe without a reader must become an error number, never a
// silent death by signal, from the program's first statement on.
struct BrokenPipeSignalIgnored {
  BrokenPipeSignalIgnored() { signal(SIGPIPE, SIG_IGN); }
};
const BrokenPipeSignalIgnored brokenPipeSignalIgnored;

// Handles are the descriptor plus one, so that descriptor 0 is no null handle.
HANDLE HandleOf(int descriptor) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(descriptor) + 1); }

int DescriptorOf(HANDLE handle) {
  const auto value = reinterpret_cast<std::intptr_t>(handle);
  return (value <= 0) ? -1 : static_cast<int>(value - 1);
}

BOOL FailWithErrno() {
  lastError = WindowsErrorFromErrno(errno);
  return FALSE;
}

}  // namespace

// The one translation from POSIX error numbers to Windows error numbers.
DWORD WindowsErrorFromErrno(int errnoValue) {
  switch (errnoValue) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case EACCES:
    case EPERM:
      return ERROR_ACCESS_DENIED;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case EPIPE:
      return ERROR_NO_DATA;
    case EISDIR:
      return ERROR_DIRECTORY;
    default:
      return ERROR_GEN_FAILURE;
  }
}

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD errorCode) { lastError = errorCode; }

HANDLE GetStdHandle(DWORD standardHandle) {
  int descriptor;
  if (standardHandle == STD_INPUT_HANDLE) {
    descriptor = 0;
  } else if (standardHandle == STD_OUTPUT_HANDLE) {
    descriptor = 1;
  } else if (standardHandle == STD_ERROR_HANDLE) {
    descriptor = 2;
  } else {
    lastError = ERROR_INVALID_PARAMETER;
    return INVALID_HANDLE_VALUE;
  }
  if (fcntl(descriptor, F_GETFD) < 0) {
    lastError = ERROR_INVALID_HANDLE;
    return INVALID_HANDLE_VALUE;
  }
  return HandleOf(descriptor);
}

DWORD GetFileType(HANDLE file) {
  struct stat status{};
  const int descriptor = DescriptorOf(file);
  if (descriptor < 0 || fstat(descriptor, &status) != 0) {
    lastError = ERROR_INVALID_HANDLE;
    return FILE_TYPE_UNKNOWN;
  }
  if (isatty(descriptor)) {
    return FILE_TYPE_CHAR;
  }
  if (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) {
    return FILE_TYPE_PIPE;
  }
  return FILE_TYPE_DISK;
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void*) {
  ++FileCalls.readFileCalls;
  *bytesRead = 0;
  const int descriptor = DescriptorOf(file);
  if (descriptor < 0) {
    lastError = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  ssize_t count;
  do {
    count = read(descriptor, buffer, bytesToRead);
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    return FailWithErrno();
  }
  *bytesRead = static_cast<DWORD>(count);
  return TRUE;
}

// Writes the whole block, as a blocking Windows handle does.
BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, void*) {
  ++FileCalls.writeFileCalls;
  if (bytesWritten != nullptr) {
    *bytesWritten = 0;
  }
  const int descriptor = DescriptorOf(file);
  if (descriptor < 0) {
    lastError = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  const char* bytes = static_cast<const char*>(buffer);
  DWORD written = 0;
  while (written < bytesToWrite) {
    const ssize_t count = write(descriptor, bytes + written, bytesToWrite - written);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count <= 0) {
      if (count == 0) {
        errno = EIO;
      }
      return FailWithErrno();
    }
    written += static_cast<DWORD>(count);
    if (bytesWritten != nullptr) {
      *bytesWritten = written;
    }
  }
  return TRUE;
}

BOOL CloseHandle(HANDLE object) {
  const int descriptor = DescriptorOf(object);
  if (descriptor < 0 || close(descriptor) != 0) {
    lastError = descriptor < 0 ? ERROR_INVALID_HANDLE : WindowsErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}
