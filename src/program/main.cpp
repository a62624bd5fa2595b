#include "conversion/dialogue.h"
#include "core/lifecycle.h"
#include "platform/process_api.h"
#include "program/command_line.h"
#include "program/unit_table.h"

int main(int argumentCount, char* arguments[]) {
  SetCommandLineFromArguments(argumentCount, arguments);
  AnswerVersionOrHelp();
  RunProgram(ProgramStartupTable, RunDialogue);
}
