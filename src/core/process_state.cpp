#include "core/process_state.h"

bool ConsoleFlag = false;
std::int32_t ProcessExitCode = 0;
void* ErrorLocation = nullptr;
