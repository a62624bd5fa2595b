#include "conversion/dialogue.h"

std::string sourceUnit;
std::string targetUnit;

void RunDialogue() {}
