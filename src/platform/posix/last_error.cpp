#include "platform/posix/last_error.h"

#include <errno.h>

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// The one translation from POSIX error numbers to the Windows error numbers
// that GetLastError answers: for each error a terminal, pipe, socket or file
// can give, the code Windows gives for the same condition. An errno not
// listed is a general failure (31).
struct ErrorTranslation {
  int errnoValue;
  DWORD windowsError;
};
constexpr ErrorTranslation ErrorTable[] = {
    {0, ERROR_SUCCESS},
    {EBADF, ERROR_INVALID_HANDLE},  // closed or wrong-direction descriptor
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {EROFS, ERROR_WRITE_PROTECT},
    {ENXIO, ERROR_DEV_NOT_EXIST},  // the device behind a handle has gone
    {ENODEV, ERROR_DEV_NOT_EXIST},
    {ECONNRESET, ERROR_NETNAME_DELETED},  // what Windows reads from a reset socket
    {ENETRESET, ERROR_NETNAME_DELETED},
    {ENOSPC, ERROR_DISK_FULL},
    {EDQUOT, ERROR_DISK_FULL},
    {ETIMEDOUT, ERROR_SEM_TIMEOUT},  // a device or connection timed out
    {ESPIPE, ERROR_SEEK_ON_DEVICE},  // seeking a pipe or terminal
    {EFBIG, ERROR_FILE_TOO_LARGE},   // beyond the file size limit, ulimit -f
    {EPIPE, ERROR_NO_DATA},          // a pipe or socket without reader
    {ESHUTDOWN, ERROR_NO_DATA},
    {EISDIR, ERROR_DIRECTORY},     // a directory read as a file
    {EFAULT, ERROR_NOACCESS},      // a buffer outside the address space
    {ESTALE, ERROR_FILE_INVALID},  // a file gone from under its handle
    {EIO, ERROR_IO_DEVICE},        // a failed device, a hung-up terminal
    {ECONNREFUSED, ERROR_CONNECTION_REFUSED},
    {ENETDOWN, ERROR_NETWORK_UNREACHABLE},
    {ENETUNREACH, ERROR_NETWORK_UNREACHABLE},
    {EHOSTDOWN, ERROR_HOST_UNREACHABLE},
    {EHOSTUNREACH, ERROR_HOST_UNREACHABLE},
    {ECONNABORTED, ERROR_CONNECTION_ABORTED},
    {ENOBUFS, ERROR_NO_SYSTEM_RESOURCES},
    {ENOTCONN, ERROR_NOT_CONNECTED},
    {EDESTADDRREQ, ERROR_NOT_CONNECTED},
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {EINVAL, ERROR_INVALID_PARAMETER},
};

}  // namespace

DWORD WindowsErrorFromErrno(int errnoValue) {
  for (const ErrorTranslation& entry : ErrorTable) {
    if (entry.errnoValue == errnoValue) {
      return entry.windowsError;
    }
  }
  return ERROR_GEN_FAILURE;
}

// GetLastError: the last error of this thread.
DWORD GetLastError() { return lastError; }

// SetLastError: what the next GetLastError of this thread answers.
void SetLastError(DWORD error) { lastError = error; }
