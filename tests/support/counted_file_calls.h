// Counts of the ReadFile and WriteFile calls a test binary makes, to prove
// one system call per buffer. A link-time wrapper: the binary is linked
// with --wrap=ReadFile --wrap=WriteFile, so every call goes through the
// counters on its way to the platform's own.
#pragma once

struct FileCallCounts {
  int readFileCalls;
  int writeFileCalls;
};
extern FileCallCounts FileCalls;
