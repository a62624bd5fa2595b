#include "core/main_routine.h"

#include "core/runtime_error.h"
#include "core/top_level_handler.h"
#include "platform/process_api.h"

namespace {

// The code a C++ exception from outside the run-time layer is reported
// with, as the platform reports a foreign exception.
constexpr DWORD ForeignExceptionCode = 0xE06D7363;

// Runs one stretch of the main routine; an exception that escapes it is
// copied out for the top-level handler, after its unwind has run every
// cleanup on the way.
template <typename Stretch>
bool RunCatching(Stretch stretch, StructuredException& caught) {
  try {
    stretch();
    return true;
  } catch (const StructuredException& exception) {
    caught = exception;
  } catch (...) {
    caught = StructuredException{};
    caught.record.ExceptionCode = ForeignExceptionCode;
    caught.record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
  }
  return false;
}

}  // namespace

void RunProgram(const StartupTable& table, void (*body)()) {
  ConsoleFlag = true;
  StructuredException caught{};
  RunCatching(
      [&table, body] {
        StartProgram(table);
        // The dialogue runs in a protected section whose cleanup part is empty.
        body();
        Shutdown();
      },
      caught);
  // Only an exception gets here. The handler ends the process; an exception
  // raised while it works (a finish routine failing during Shutdown) comes
  // back to it.
  for (;;) {
    if (!TopLevelHandlerInstalled()) {
      ExitProcess(static_cast<UINT>(ExceptionWithoutSupportCode));
    }
    StructuredException handled = caught;
    RunCatching([&handled] { HandleAtTopLevel(handled.record); }, caught);
  }
}
