// The name the program was started with, as main handed it over (argv[0]);
// null before then. Where the system cannot name the program's file, its
// module is named after it.
#pragma once

const char* StartedProgramName();
