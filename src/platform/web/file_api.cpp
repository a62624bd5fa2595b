// The standard handles under their Windows names over the host's descriptors
// 0, 1 and 2 (host.h): under Node the process's own, in the page the
// terminal or the form. A handle is the descriptor plus one, as on POSIX.
#include "platform/file_api.h"

#include <cstdint>

#include "platform/posix/descriptor_handles.h"
#include "platform/posix/last_error.h"
#include "platform/web/host.h"

namespace {

constexpr int StandardDescriptors = 3;

// The descriptor of a standard handle; -1 for any other handle.
int DescriptorOf(HANDLE handle) {
  const auto value = reinterpret_cast<std::intptr_t>(handle);
  return (value <= 0 || value > StandardDescriptors) ? -1 : static_cast<int>(value - 1);
}

BOOL FailWith(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

// IgnoreWriteSignals: a write beyond the file size limit fails with an error
// number instead of ending the host.
void IgnoreWriteSignals() { angleconv_host_ignore_write_signals(); }

// GetStdHandle: the handle of descriptor 0, 1 or 2 while the host has it open.
HANDLE GetStdHandle(DWORD standardHandle) {
  const int descriptor = StandardDescriptor(standardHandle);
  if (descriptor < 0) {
    FailWith(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (angleconv_host_file_type(descriptor) == FILE_TYPE_UNKNOWN) {
    FailWith(ERROR_INVALID_HANDLE);
    return INVALID_HANDLE_VALUE;
  }
  return HandleOf(descriptor);
}

// GetFileType: what the host says the descriptor is; a terminal, under Node
// or in the page, is the console.
DWORD GetFileType(HANDLE file) {
  const int descriptor = DescriptorOf(file);
  const DWORD type = descriptor < 0 ? FILE_TYPE_UNKNOWN : angleconv_host_file_type(descriptor);
  if (type == FILE_TYPE_UNKNOWN) {
    SetLastError(ERROR_INVALID_HANDLE);
  }
  return type;
}

// ReadFile: one read, which waits for data as a blocking handle does; the
// end of the data reads as 0 bytes.
BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void* /*overlapped*/) {
  *bytesRead = 0;
  const int descriptor = DescriptorOf(file);
  if (descriptor < 0) {
    return FailWith(ERROR_INVALID_HANDLE);
  }
  if (bytesToRead == 0) {
    return TRUE;
  }
  const int count = angleconv_host_read(descriptor, buffer, bytesToRead);
  if (count < 0) {
    return FailWith(WindowsErrorFromErrno(-count));
  }
  *bytesRead = static_cast<DWORD>(count);
  return TRUE;
}

// WriteFile: the whole block, as a blocking Windows handle writes it,
// through the host's short writes.
BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, void* /*overlapped*/) {
  if (bytesWritten != nullptr) {
    *bytesWritten = 0;
  }
  const int descriptor = DescriptorOf(file);
  if (descriptor < 0) {
    return FailWith(ERROR_INVALID_HANDLE);
  }
  const char* bytes = static_cast<const char*>(buffer);
  DWORD written = 0;
  while (written < bytesToWrite) {
    const int count = angleconv_host_write(descriptor, bytes + written, bytesToWrite - written);
    if (count <= 0) {
      return FailWith(count < 0 ? WindowsErrorFromErrno(-count) : ERROR_IO_DEVICE);
    }
    written += static_cast<DWORD>(count);
    if (bytesWritten != nullptr) {
      *bytesWritten = written;
    }
  }
  return TRUE;
}

// SetFilePointer: neither host can move a descriptor's position (Node has no
// call for it, and the page's handles are streams), so every handle answers
// as a device does.
DWORD SetFilePointer(HANDLE /*file*/, LONG /*distanceToMove*/, LONG* /*distanceToMoveHigh*/, DWORD /*moveMethod*/) {
  SetLastError(ERROR_SEEK_ON_DEVICE);
  return INVALID_SET_FILE_POINTER;
}

// CloseHandle: closes the descriptor behind the handle.
BOOL CloseHandle(HANDLE object) {
  const int descriptor = DescriptorOf(object);
  if (descriptor < 0) {
    return FailWith(ERROR_INVALID_HANDLE);
  }
  const int result = angleconv_host_close(descriptor);
  return result < 0 ? FailWith(WindowsErrorFromErrno(-result)) : TRUE;
}
