#include "core/top_level_handler.h"

#include <cstdint>

#include "core/faults.h"
#include "core/fpu_environment.h"
#include "core/runtime_error.h"

TObject* FaultObject = nullptr;

void HandleAtTopLevel(EXCEPTION_RECORD& record) {
  // The catch that calls this runs after the unwind, which has already run
  // every cleanup section, and the platform's filter always lets it go on.
  // A pending floating-point exception must not fault again while the
  // report is made.
  InitFpu();
  // The object and the location: the system's own exceptions carry both,
  // a fault becomes an object through exception support.
  TObject* object;
  void* location;
  if (record.ExceptionCode == SystemExceptionCode) {
    location = reinterpret_cast<void*>(record.ExceptionInformation[0]);
    object = reinterpret_cast<TObject*>(record.ExceptionInformation[1]);
  } else {
    object = FaultObjectHook != nullptr ? FaultObjectHook(&record) : nullptr;
    FaultObject = object;
    if (object == nullptr) {
      FaultToRuntimeCode(&record);
    }
    location = record.ExceptionAddress;
  }
  // The report ends the process.
  if (UnhandledExceptionHook != nullptr) {
    UnhandledExceptionHook(object, location);
  }
  StopWithRuntimeError(ExceptionWithoutSupportCode, location);
}
