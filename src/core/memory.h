// The memory manager's one duty towards the run-time errors: an allocation
// that cannot be served is the run-time error OutOfMemory. While exception
// support is installed that raises the preallocated instance, so reporting
// it needs no memory; before and after, it ends the process with code 203.
#pragma once

// Makes a failed allocation the run-time error OutOfMemory. A step of the
// start-up; calling it again changes nothing.
void InstallAllocationFailureHandler();
