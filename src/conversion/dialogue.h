// The conversion dialogue: asks for the source unit, the value and the
// target unit, writes one result line, then waits for Enter.
#pragma once

#include <string>

// The two unit words as typed, empty at start.
extern std::string sourceUnit;
extern std::string targetUnit;

void RunDialogue();
