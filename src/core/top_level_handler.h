// The handler at the bottom of the main thread: every exception that
// nothing else caught ends here.
#pragma once

#include "platform/exception_api.h"

// Resets the floating-point unit, finds the object and location, and
// reports through UnhandledExceptionHook (or ends with code 217). Cleanup
// has already run: the caller catches only after the unwind. Does not
// return.
[[noreturn]] void HandleAtTopLevel(EXCEPTION_RECORD& record);
