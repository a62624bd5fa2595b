#include "platform/file_api.h"

#include "platform/posix/descriptor_handles.h"
#include "platform/posix/last_error.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int DescriptorOf(HANDLE handle) {
  const auto value = reinterpret_cast<std::intptr_t>(handle);
  return (value <= 0) ? -1 : static_cast<int>(value - 1);
}

BOOL FailWithErrno() {
  SetLastError(WindowsErrorFromErrno(errno));
  return FALSE;
}

// After a read or write that failed: true when it is to be made again, after
// an interruption, or once a descriptor in non-blocking mode is ready
// (`readiness` is POLLIN or POLLOUT), as a blocking Windows handle waits.
// Otherwise errno holds the failure.
bool ShouldRetry(int descriptor, short readiness) {
  if (errno == EINTR) {
    return true;
  }
  if (errno != EAGAIN && errno != EWOULDBLOCK) {
    return false;
  }
  pollfd waiting{descriptor, readiness, 0};
  int ready;
  do {
    ready = poll(&waiting, 1, -1);
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

}  // namespace

void IgnoreWriteSignals() {
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
}

// GetStdHandle: the handle of descriptor 0, 1 or 2 while it is open.
HANDLE GetStdHandle(DWORD standardHandle) {
  const int descriptor = StandardDescriptor(standardHandle);
  if (descriptor < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (fcntl(descriptor, F_GETFD) < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_HANDLE_VALUE;
  }
  return HandleOf(descriptor);
}

// GetFileType: a terminal is the console (FILE_TYPE_CHAR); pipes, FIFOs and
// sockets are pipes; everything else, /dev/null included, counts as a disk file.
DWORD GetFileType(HANDLE file) {
  struct stat status {};
  const int descriptor = DescriptorOf(file);
  if (descriptor < 0 || fstat(descriptor, &status) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
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

// ReadFile: one read, retried when a signal interrupts it, and waiting for
// data on a descriptor in non-blocking mode; a pipe whose writer has gone
// reads as 0 bytes, the end of the data.
BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void* /*overlapped*/) {
  *bytesRead = 0;
  const int descriptor = DescriptorOf(file);
  if (descriptor < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  ssize_t count;
  do {
    count = read(descriptor, buffer, bytesToRead);
  } while (count < 0 && ShouldRetry(descriptor, POLLIN));
  if (count < 0) {
    return FailWithErrno();
  }
  *bytesRead = static_cast<DWORD>(count);
  return TRUE;
}

// WriteFile: the whole block, as a blocking Windows handle writes it, through
// short writes, interruptions and a full pipe in non-blocking mode; callers
// do not look at the count written.
BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, void* /*overlapped*/) {
  if (bytesWritten != nullptr) {
    *bytesWritten = 0;
  }
  const int descriptor = DescriptorOf(file);
  if (descriptor < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const char* bytes = static_cast<const char*>(buffer);
  DWORD written = 0;
  while (written < bytesToWrite) {
    const ssize_t count = write(descriptor, bytes + written, bytesToWrite - written);
    if (count < 0 && ShouldRetry(descriptor, POLLOUT)) {
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

// SetFilePointer: moves the position of a seekable handle by a signed
// distance (its high half in *distanceToMoveHigh when given) from FILE_BEGIN,
// FILE_CURRENT or FILE_END; the low half of the new position, its high half
// in *distanceToMoveHigh, or INVALID_SET_FILE_POINTER. A pipe or terminal
// cannot seek (ERROR_SEEK_ON_DEVICE).
//   at 10 of a file, distance -3 from FILE_CURRENT -> 7
DWORD SetFilePointer(HANDLE file, LONG distanceToMove, LONG* distanceToMoveHigh, DWORD moveMethod) {
  constexpr int Origins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  const int descriptor = DescriptorOf(file);
  if (descriptor < 0 || moveMethod > FILE_END) {
    SetLastError(descriptor < 0 ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  off_t distance = distanceToMove;
  if (distanceToMoveHigh != nullptr) {
    distance = static_cast<off_t>(*distanceToMoveHigh) * 0x100000000 + static_cast<DWORD>(distanceToMove);
  }
  const off_t position = lseek(descriptor, distance, Origins[moveMethod]);
  if (position < 0) {
    FailWithErrno();
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceToMoveHigh != nullptr) {
    *distanceToMoveHigh = static_cast<LONG>(position / 0x100000000);
  }
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(position);
}

// CloseHandle: closes the descriptor behind the handle.
BOOL CloseHandle(HANDLE object) {
  const int descriptor = DescriptorOf(object);
  if (descriptor < 0 || close(descriptor) != 0) {
    SetLastError(descriptor < 0 ? ERROR_INVALID_HANDLE : WindowsErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}
