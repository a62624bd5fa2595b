#include "conversion/dialogue.h"
#include "core/main_routine.h"
#include "platform/process_api.h"
#include "program/batch.h"
#include "program/command_line.h"
#include "program/unit_table.h"

int main(int argumentCount, char* arguments[]) {
  SetCommandLineFromArguments(argumentCount, arguments);
  // Static, so that the body, which takes no arguments, can see it.
  static const CommandLine commandLine = ReadCommandLine(argumentCount, arguments);
  if (commandLine.mode == Mode::Dialogue) {
    RunProgram(ProgramStartupTable, RunDialogue);
  }
  RunProgram(ProgramStartupTable, [] { RunBatch(commandLine.batch); });
}
