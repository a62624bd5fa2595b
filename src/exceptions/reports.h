// The report of an unhandled exception, on standard error, and the target
// of UnhandledExceptionHook that makes it and ends the process.
#pragma once

#include <cstddef>
#include <string>

#include "platform/exception_api.h"

class TObject;

// Shows the report, then ends the process with exit code 1.
[[noreturn]] void ReportAndExit(TObject* object, void* location);

// On a console, Output is flushed first, then the text of
// FormatExceptionReport and CR LF go to the standard error handle.
void ShowExceptionReport(TObject* object, void* location);

// Builds the report text into `buffer`, cut to capacity - 1 characters and
// ending with a zero byte; returns its length. For an EInOutError raised at
// offset 0x1F3A of the program /usr/bin/angleconv, message "Invalid numeric input":
//   "Exception EInOutError in module angleconv at 00001F3A.\r\nInvalid numeric input.\r\n"
std::size_t FormatExceptionReport(TObject* object, void* location, char* buffer, std::size_t capacity);

// For a run that goes on after an exception: its class and message as its
// report names them, on one line, and the object released, since the
// exception has been handled. The object is the one raised, or the one a
// processor fault becomes through exception support.
//   a floating-point overflow fault -> "EOverflow: Floating point overflow."
std::string DescribeAndRelease(EXCEPTION_RECORD& record);
