#include "core/lifecycle.h"

#include "core/runtime_error_report.h"
#include "platform/exception_api.h"
#include "platform/process_api.h"

void (*ExitHandler)() = nullptr;
HINSTANCE ProgramInstance = nullptr;
ModuleRecord ProgramModuleRecord{};
ModuleRecord* ModuleList = nullptr;
StartupContext Startup{};

namespace {

// The registration of the top-level handler. Exceptions travel as C++
// exceptions here, so the registration is the catch of the main routine;
// this record only says whether it is in force.
struct HandlerRegistration {
  bool installed;
};
HandlerRegistration TopLevelRegistration{};

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

// Runs a unit's start or finish routine, if it has one. When it raises, the
// finish routines of the entries still started run before the exception
// goes on outwards.
void RunUnitRoutine(void (*routine)()) {
  if (routine == nullptr) {
    return;
  }
  try {
    routine();
  } catch (...) {
    RunFinishRoutines();
    throw;
  }
}

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

bool TopLevelHandlerInstalled() { return TopLevelRegistration.installed; }

void RunStartRoutines() {
  for (std::int32_t index = 0; index < Startup.table->count; ++index) {
    Startup.StartedCount = index + 1;
    RunUnitRoutine(EntryAt(index).startRoutine);
  }
}

void RunFinishRoutines() {
  while (Startup.StartedCount > 0) {
    --Startup.StartedCount;
    RunUnitRoutine(EntryAt(Startup.StartedCount).finishRoutine);
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
