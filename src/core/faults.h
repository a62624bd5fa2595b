// The processor faults the run-time layer knows: the kind each becomes while
// exception support is installed, and the code it ends the process with
// while it is absent.
//   STATUS_FLOAT_OVERFLOW -> FloatOverflow, code 205
//   any other fault code  -> ExternalFault, code 255
#pragma once

#include <cstdint>

#include "core/runtime_error.h"
#include "platform/exception_api.h"

RuntimeErrorKind ClassifyFault(DWORD faultCode);

// The run-time error code of a fault (what FaultToRuntimeCode ends with).
std::int32_t FaultRuntimeCode(DWORD faultCode);

// Ends the process with the fault's code, at the fault's address.
[[noreturn]] void FaultToRuntimeCode(EXCEPTION_RECORD* fault);
