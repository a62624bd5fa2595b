#include "core/lifecycle.h"

#include "core/runtime_error_report.h"
#include "core/top_level_handler.h"
#include "platform/exception_api.h"
#include "platform/process_api.h"

bool ConsoleFlag = false;
std::int32_t ProcessExitCode = 0;
void* ErrorLocation = nullptr;
void (*ExitHandler)() = nullptr;
HINSTANCE ProgramInstance = nullptr;
ModuleRecord ProgramModuleRecord{};
ModuleRecord* ModuleList = nullptr;
StartupContext Startup{};

namespace {

// The registration of the top-level handler. Exceptions travel as C++
// exceptions here, so the registration is the catch in RunProgram; this
// record only says whether it is in force.
struct HandlerRegistration {
  bool installed;
};
HandlerRegistration TopLevelRegistration{};

// The code a C++ exception from outside the run-time layer is reported
// with, as the platform reports a foreign exception.
constexpr DWORD ForeignExceptionCode = 0xE06D7363;

void InstallTopLevelHandler() {
  TopLevelRegistration.installed = true;
  Startup.handlerRegistration = &TopLevelRegistration;
}

void RemoveTopLevelHandler() { TopLevelRegistration.installed = false; }

void RegisterModule() {
  ProgramModuleRecord = ModuleRecord{ModuleList, ProgramInstance, nullptr, nullptr, nullptr, 0};
  ModuleList = &ProgramModuleRecord;
}

void UnregisterModule() {
  for (ModuleRecord** link = &ModuleList; *link != nullptr; link = &(*link)->next) {
    if (*link == &ProgramModuleRecord) {
      *link = ProgramModuleRecord.next;
      break;
    }
  }
  const HINSTANCE resources = ProgramModuleRecord.resourceInstance;
  if (resources != nullptr && resources != ProgramModuleRecord.instance) {
    FreeLibrary(resources);
  }
}

const StartupEntry& EntryAt(std::int32_t index) { return Startup.table->entries[index]; }

}  // namespace

void StartProgram(const StartupTable& table) {
  // Step 1: the program's own module, at the head of the module list.
  ProgramInstance = GetModuleHandleA(nullptr);
  RegisterModule();
  // Step 2 (recording the raise and unwind routines) has nothing to record
  // here: C++ exceptions raise and unwind.
  // Step 3: the start-up context.
  Startup.table = &table;
  Startup.StartedCount = 0;
  Startup.moduleRecord = &ProgramModuleRecord;
  // Step 4: from here on every exception reaches the top-level handler.
  InstallTopLevelHandler();
  // Step 5: the units' start routines, in table order.
  RunStartRoutines();
}

void RunStartRoutines() {
  for (std::int32_t index = 0; index < Startup.table->count; ++index) {
    Startup.StartedCount = index + 1;
    void (*start)() = EntryAt(index).startRoutine;
    if (start == nullptr) {
      continue;
    }
    try {
      start();
    } catch (...) {
      RunFinishRoutines();
      throw;
    }
  }
}

void RunFinishRoutines() {
  while (Startup.StartedCount > 0) {
    --Startup.StartedCount;
    void (*finish)() = EntryAt(Startup.StartedCount).finishRoutine;
    if (finish == nullptr) {
      continue;
    }
    try {
      finish();
    } catch (...) {
      RunFinishRoutines();
      throw;
    }
  }
}

void ExitProgram(std::int32_t code) {
  ProcessExitCode = code;
  Shutdown();
}

void Shutdown() {
  // Step 1: the exit-handler chain; a handler may set a further one.
  while (ExitHandler != nullptr) {
    void (*handler)() = ExitHandler;
    ExitHandler = nullptr;
    handler();
  }
  // Step 2: a pending run-time error is reported.
  if (ErrorLocation != nullptr) {
    WriteRuntimeErrorReport();
    ErrorLocation = nullptr;
  }
  // Steps 3 to 6: finish routines, module record, handler, then the exit.
  if (Startup.table != nullptr) {
    RunFinishRoutines();
  }
  UnregisterModule();
  RemoveTopLevelHandler();
  ExitProcess(static_cast<UINT>(ProcessExitCode));
}

namespace {

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
    if (!TopLevelRegistration.installed) {
      ExitProcess(217);
    }
    StructuredException handled = caught;
    RunCatching([&handled] { HandleAtTopLevel(handled.record); }, caught);
  }
}
