// Counts of the ReadFile and WriteFile calls a test binary makes, to prove
// one system call per buffer. A link-time wrapper: the binary is linked
// with --wrap=ReadFile --wrap=WriteFile, so every call goes through the
// counters on its way to the platform's own.
#pragma once

#include "platform/windows_types.h"

struct FileCallCounts {
  int readFileCalls;
  int writeFileCalls;
  // When not 0, every ReadFile fails with this error, as the Windows call
  // does where POSIX has no such failure (ERROR_BROKEN_PIPE).
  DWORD failReadsWith;
};
extern FileCallCounts FileCalls;
