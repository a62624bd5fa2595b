// The memory manager: it serves every dynamic allocation of the process (the
// global operator new and delete) from the process heap, at most 1 GiB in
// all, as the original 32-bit process could never hold more. A request
// beyond that, or one the heap cannot serve, is the run-time error
// OutOfMemory. While exception support is installed that raises the
// preallocated instance, so reporting it needs no memory; before and after,
// it ends the process with code 203.
//   a line of endless zero bytes -> EOutOfMemory once its string would pass 1 GiB
#pragma once

// Makes a failed allocation the run-time error OutOfMemory. A step of the
// start-up; calling it again changes nothing.
void InstallAllocationFailureHandler();
