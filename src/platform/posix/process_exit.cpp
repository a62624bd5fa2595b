#include "platform/process_api.h"

#include <unistd.h>

// ExitProcess, in a file of its own: a host that runs the whole program in
// its own process (the in-process fuzzer) links its own in place of this one.
void ExitProcess(UINT exitCode) { _exit(PosixExitStatus(exitCode)); }
