// The batch mode: one conversion for each value given as arguments or,
// without any, for each line of standard input, each written as the text
// the dialogue writes after "The angle value: ", ended by LF.
//   --from rad --to d, the line "1"  -> "57.2958d= 57degrees 17minutes 45second \n"
//   --from d --to rad, "30 30 30"    -> "0.53247rad\n"
//   --from rad --to g, the line "x"  -> on standard error:
//                                       "angleconv: line 1: EInOutError: Invalid numeric input.\n"
#pragma once

#include <vector>

#include "conversion/result.h"

// What a batch run converts: from which unit to which, and the values.
struct BatchRequest {
  ResultCase conversion = ResultCase::NoResult;
  // The values given as arguments, one number each (three numbers a value
  // for a degrees source); none: the lines of standard input.
  std::vector<char*> values;
};

// The body of a batch run. Each value is computed as a run of the dialogue
// computes it, from the floating-point state that the start-up installs.
// A value that fails writes no result line but one line on standard error,
// naming the line or argument and the error's class and message, and the
// run goes on; the run then ends with exit code 1. A failure to read or to
// write ends the run at once, as in the dialogue: the report of the I/O
// error, exit code 1.
void RunBatch(const BatchRequest& request);
