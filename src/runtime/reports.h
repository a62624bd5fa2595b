// The handler at the bottom of the main thread and the two error reports:
// the exception report on standard error and the "Runtime error" report on
// standard output.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/exception_api.h"

class TObject;

// Handles an exception that nothing else caught: resets the floating-point
// unit, finds the object and location, and reports through
// UnhandledExceptionHook (or ends with code 217). Cleanup has already run:
// the caller catches only after the unwind. Does not return.
[[noreturn]] void HandleAtTopLevel(EXCEPTION_RECORD& record);

[[noreturn]] void ReportAndExit(TObject* object, void* location);
void ShowExceptionReport(TObject* object, void* location);
std::size_t FormatExceptionReport(TObject* object, void* location, char* buffer, std::size_t capacity);

// "Runtime error NNN at XXXXXXXX" and CR LF on standard output.
void WriteRuntimeErrorReport();
