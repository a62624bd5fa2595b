#include "core/memory.h"

#include <new>

#include "core/runtime_error.h"

namespace {

// The return address of its call: a stable code address inside the
// memory manager, which a report names as the location.
__attribute__((noinline)) void* CallSite() { return CALLER_LOCATION; }

// Called by operator new when it cannot allocate; does not return.
[[noreturn]] __attribute__((noinline)) void AllocationFailed() {
  RaiseRuntimeError(RuntimeErrorKind::OutOfMemory, CallSite());
}

}  // namespace

void InstallAllocationFailureHandler() { std::set_new_handler(AllocationFailed); }
