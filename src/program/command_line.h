// The program's arguments, read as GNU programs read theirs (getopt_long),
// from main's own arguments. A command line whose first argument does not
// begin with '-' is ignored: the dialogue runs, as without arguments.
// Otherwise the arguments are options and values, in any order:
//   --from UNIT, --from=UNIT   the source unit: rad, g or d
//   --to UNIT, --to=UNIT       the target unit
//   --help, --version          answered at once, whatever follows
//   --                         every later argument is a value
// An argument that begins with '-' and a digit or a point is a value
// (-1.5). Unique abbreviations are accepted (--fr rad).
#pragma once

#include "program/batch.h"

enum class Mode { Dialogue, Batch };

// What the command line asks for: the dialogue, or a batch run with its
// unit pair and its values.
struct CommandLine {
  Mode mode = Mode::Dialogue;
  BatchRequest batch{};
};

// Reads the arguments: first what they say, option by option, then whether
// it makes a batch run. An option given twice takes its last value.
//
// --help and --version write their answer to standard output and end the
// process with exit code 0; when standard output cannot take it, standard
// error gets the error number and the exit code is 1.
//
// A usage error (an unknown option, a unit word that is none of the three,
// a missing --from or --to, values for d that are not three a value) ends
// the process with exit code 2 and, on standard error, the message and
// "Try 'angleconv --help' for more information."
//   angleconv x --help                  ->  Dialogue
//   angleconv --from rad --to=d -1.5    ->  Batch, RadiansToDegrees, {"-1.5"}
//   angleconv --from rad --version      ->  "angleconv 1.0.0\n", the copyright,
//                                           the licence and the warranty lines,
//                                           exit code 0
//   angleconv --version >&-             ->  "angleconv: write error: I/O error 6\n"
//                                           on standard error, exit code 1
//   angleconv -h                        ->  "angleconv: invalid option -- 'h'\n"
//                                           and the line above, exit code 2
CommandLine ReadCommandLine(int count, char** arguments);
