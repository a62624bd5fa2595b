#include "conversion/dialogue.h"
#include "core/main_routine.h"
#include "platform/process_api.h"
#include "program/command_line.h"
#include "program/unit_table.h"

int main(int argumentCount, char* arguments[]) {
  SetCommandLineFromArguments(argumentCount, arguments);
  AnswerVersionOrHelp();
  RunProgram(ProgramStartupTable, RunDialogue);
}
