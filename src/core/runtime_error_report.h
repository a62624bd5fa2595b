// The report of a pending run-time error, on standard output, written while
// the process ends: "Runtime error", the code, and the absolute address.
//   code 217 at 0x4012AB -> "Runtime error 217 at 004012AB" CR LF
//   code 2 at 0x4012AB   -> "Runtime error   2 at 004012AB" CR LF
#pragma once

#include <cstddef>

#include "platform/windows_types.h"

// When true, a program without a console shows no message box for a
// run-time error. Nothing sets it.
extern bool QuietErrors;

// Writes out what the standard output stream holds before the report's own
// line; null until the streams install it.
extern void (*DrainOutputHook)();

// The report from ProcessExitCode and ErrorLocation.
void WriteRuntimeErrorReport();

// Writes `text` and CR LF to a standard handle; a line that cannot be
// written is lost, and the process ends with the same code.
void WriteReportLine(DWORD standardHandle, const char* text, std::size_t length);
