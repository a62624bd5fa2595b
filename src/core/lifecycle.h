// The process lifecycle: the start routines of the units in table order,
// the termination sequence and the exit code. The process-wide state it
// sets (console flag, exit code, error location) is that of process_state.h.
#pragma once

#include <cstdint>

#include "core/process_state.h"
#include "platform/windows_types.h"

extern void (*ExitHandler)();
extern HINSTANCE ProgramInstance;

struct ModuleRecord {
  ModuleRecord* next;
  HINSTANCE instance;
  HINSTANCE codeInstance;
  HINSTANCE dataInstance;
  HINSTANCE resourceInstance;
  std::uintptr_t reserved;
};
extern ModuleRecord ProgramModuleRecord;
extern ModuleRecord* ModuleList;

struct StartupEntry {
  void (*startRoutine)();
  void (*finishRoutine)();
};

struct StartupTable {
  std::int32_t count;
  const StartupEntry* entries;
};

struct StartupContext {
  const StartupTable* table;
  std::int32_t StartedCount;
  ModuleRecord* moduleRecord;
  // Where the top-level handler is registered: a debugger's view of the
  // start-up; nothing in the program reads it.
  const void* handlerRegistration;
};
extern StartupContext Startup;

void StartProgram(const StartupTable& table);
void RunStartRoutines();
void RunFinishRoutines();
[[noreturn]] void ExitProgram(std::int32_t code);
[[noreturn]] void Shutdown();

// Whether the top-level handler is in force: from the start-up's step 4
// until the end of Shutdown.
bool TopLevelHandlerInstalled();
