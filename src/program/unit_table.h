// The program's seven units, in start order, with the start and finish
// routines that wire every layer of the run-time into the process.
#pragma once

#include "core/lifecycle.h"

extern const StartupTable ProgramStartupTable;
