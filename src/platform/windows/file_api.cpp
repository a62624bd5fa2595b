#include "platform/file_api.h"

// IgnoreWriteSignals: Windows ends no process for writing to a pipe without
// reader or beyond a size limit; WriteFile fails with an error number.
void IgnoreWriteSignals() {}
