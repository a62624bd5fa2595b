#include "conversion/dialogue.h"
#include "core/main_routine.h"
#include "platform/process_api.h"
#include "program/batch.h"
#include "program/command_line.h"
#include "program/unit_table.h"

int main(int argumentCount, char* arguments[]) {
  SetCommandLineFromArguments(argumentCount, arguments);
  const Mode mode = ReadCommandLine(argumentCount, arguments);
  RunProgram(ProgramStartupTable, mode == Mode::Batch ? RunBatch : RunDialogue);
}
