// Placeholder until exception support is built.
#include "runtime/errors.h"

EOutOfMemory* OutOfMemoryInstance = nullptr;
EInvalidPointer* InvalidPointerInstance = nullptr;

void LoadErrorTexts() {}
void ReleaseErrorTexts() {}
void InstallExceptionSupport() {}
void RemoveExceptionSupport() {}
