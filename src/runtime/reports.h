// The handler at the bottom of the main thread and the two error reports:
// the exception report on standard error and the "Runtime error" report on
// standard output.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/exception_api.h"

class TObject;

// When true, a program without a console shows no message box for a
// run-time error. Nothing sets it.
extern bool QuietErrors;

// Handles an exception that nothing else caught: resets the floating-point
// unit, finds the object and location, and reports through
// UnhandledExceptionHook (or ends with code 217). Cleanup has already run:
// the caller catches only after the unwind. Does not return.
[[noreturn]] void HandleAtTopLevel(EXCEPTION_RECORD& record);

[[noreturn]] void ReportAndExit(TObject* object, void* location);

// The report of an unhandled exception: on a console, Output is flushed
// first, then the text of FormatExceptionReport and CR LF go to the
// standard error handle.
void ShowExceptionReport(TObject* object, void* location);

// Builds the report text into `buffer`, cut to capacity - 1 characters and
// ending with a zero byte; returns its length. For an EInOutError raised at
// offset 0x1F3A of the program /usr/bin/angleconv, message "Invalid numeric input":
//   "Exception EInOutError in module angleconv at 00001F3A.\r\nInvalid numeric input.\r\n"
std::size_t FormatExceptionReport(TObject* object, void* location, char* buffer, std::size_t capacity);

// The report of a pending run-time error, on standard output, from
// ProcessExitCode and ErrorLocation (absolute):
//   code 217 at 0x4012AB -> "Runtime error 217 at 004012AB" CR LF
//   code 2 at 0x4012AB   -> "Runtime error   2 at 004012AB" CR LF
void WriteRuntimeErrorReport();
