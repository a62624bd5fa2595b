// The process-wide state that the end of the process reads: whether reports
// go to the standard handles, the exit code, and the location of a pending
// run-time error. The lifecycle sets them; the "Runtime error" report and
// the exception report read them.
#pragma once

#include <cstdint>

// True from the main routine's first statement on: every report then goes
// to a standard handle and no message box is shown.
extern bool ConsoleFlag;

// The code handed to the platform at the end; changed only by ExitProgram.
extern std::int32_t ProcessExitCode;

// Not null while a run-time error is pending: the end of the process then
// writes the "Runtime error" report with this address.
extern void* ErrorLocation;
