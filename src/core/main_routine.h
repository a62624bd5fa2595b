// The main routine: console flag, start-up with the units of `table`, the
// body under the top-level handler, then Shutdown.
#pragma once

#include "core/lifecycle.h"

// Never returns: the process ends in Shutdown or in the top-level handler.
[[noreturn]] void RunProgram(const StartupTable& table, void (*body)());
