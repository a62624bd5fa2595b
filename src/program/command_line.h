// The two requests a user can make on the command line, answered before the
// dialogue starts. Only the first argument is looked at; any other leaves
// the program to run its dialogue as it does without arguments.
#pragma once

// With the first argument --version or --help: writes the answer to standard
// output and ends the process with exit code 0. When standard output cannot
// take it, standard error gets the error number and the exit code is 1.
// Otherwise returns at once.
//   angleconv --version      ->  "angleconv 1.0.0\n", the copyright, the
//                                licence and the warranty lines, exit code 0
//   angleconv --help x       ->  the usage text, exit code 0
//   angleconv --version >&-  ->  "angleconv: write error: I/O error 6\n" on
//                                standard error, exit code 1
//   angleconv -h             ->  returns: the dialogue runs
void AnswerVersionOrHelp();
