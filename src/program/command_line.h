// The two requests a user can make on the command line, answered before the
// dialogue starts. Only the first argument is looked at; any other leaves
// the program to run its dialogue as it does without arguments.
#pragma once

// With the first argument --version or --help: writes the answer to standard
// output and ends the process with exit code 0, or with the system's error
// number when standard output cannot take it (6 closed, 112 a full disk, 232
// a pipe without reader). Otherwise returns at once.
//   angleconv --version  ->  "angleconv 1.0.0\n", exit code 0
//   angleconv --help x   ->  the usage text, exit code 0
//   angleconv -h         ->  returns: the dialogue runs
void AnswerVersionOrHelp();
