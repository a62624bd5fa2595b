// The last error of the handle calls, and the one translation of the C
// library's error numbers into the Windows error numbers it holds. Shared by
// every platform whose calls stand in over a POSIX-like C library.
#pragma once

#include "platform/file_api.h"

// The Windows error number for a C library error number: for each error a
// terminal, pipe, socket or file can give, the code Windows gives for the
// same condition; an error number not listed is a general failure (31).
//   EPIPE -> ERROR_NO_DATA (232), ENOSPC -> ERROR_DISK_FULL (112)
DWORD WindowsErrorFromErrno(int errnoValue);
