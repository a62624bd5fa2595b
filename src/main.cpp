#include "conversion/dialogue.h"
#include "runtime/lifecycle.h"

int main() { RunProgram(RunDialogue); }
