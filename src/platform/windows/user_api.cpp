#include "platform/user_api.h"

// AttachStringResources: the loader has mapped the program's string table
// from its resources, where LoadStringA finds it.
void AttachStringResources(const STRING_RESOURCE* /*table*/, UINT /*count*/) {}
