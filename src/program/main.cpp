#include "conversion/dialogue.h"
#include "core/lifecycle.h"
#include "program/unit_table.h"

int main() { RunProgram(ProgramStartupTable, RunDialogue); }
