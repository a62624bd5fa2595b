// The handler at the bottom of the main thread: every exception that
// nothing else caught ends here.
#pragma once

#include "core/runtime_error.h"
#include "platform/exception_api.h"

// The object that exception support built from the last fault to reach the
// handler. A raised object stays in the record that reached the handler; a
// fault's object stays here, since the report is its last use and the
// process ends right after it: neither is lost to a leak check at the exit.
extern TObject* FaultObject;

// Resets the floating-point unit, finds the object and location, and
// reports through UnhandledExceptionHook (or ends with code 217). Cleanup
// has already run: the caller catches only after the unwind. Does not
// return.
[[noreturn]] void HandleAtTopLevel(EXCEPTION_RECORD& record);
