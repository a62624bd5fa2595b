#include "platform/process_api.h"

// SetCommandLineFromArguments: the loader has prepared the command line
// that GetCommandLineA answers.
void SetCommandLineFromArguments(int /*count*/, char** /*arguments*/) {}
