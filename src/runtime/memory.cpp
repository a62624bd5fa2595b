// The memory manager's one duty towards the run-time errors: an allocation
// that cannot be served is the run-time error OutOfMemory. While exception
// support is installed that raises the preallocated instance, so reporting
// it needs no memory; before and after, it ends the process with code 203.
#include <new>

#include "runtime/errors.h"
#include "runtime/runtime_error.h"

namespace {

// The return address of its call: a stable code address inside the
// memory manager, which a report names as the location.
__attribute__((noinline)) void* CallSite() { return CALLER_LOCATION; }

// Called by operator new when it cannot allocate; does not return.
[[noreturn]] __attribute__((noinline)) void AllocationFailed() {
  RaiseRuntimeError(RuntimeErrorKind::OutOfMemory, CallSite());
}

// From the process's start on, before any start routine runs.
struct AllocationFailureHandlerAtStart {
  AllocationFailureHandlerAtStart() { InstallAllocationFailureHandler(); }
};
const AllocationFailureHandlerAtStart allocationFailureHandlerAtStart;

}  // namespace

void InstallAllocationFailureHandler() { std::set_new_handler(AllocationFailed); }
