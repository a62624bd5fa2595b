#include "program/unit_table.h"

#include "core/fpu_environment.h"
#include "core/lifecycle.h"
#include "core/memory.h"
#include "core/runtime_error.h"
#include "core/runtime_error_report.h"
#include "exceptions/errors.h"
#include "platform/file_api.h"
#include "platform/process_api.h"
#include "streams/text_stream.h"

namespace {

// Start-up facts the core records; nothing in this program reads them: main
// has answered --help and --version before the start-up, and nothing printed
// depends on the locale.
struct RecordedStartupFacts {
  LPSTR commandLine;
  WORD showWindowMode;
  DWORD version;
  DWORD threadLocale;
  DWORD mainThreadId;
};
RecordedStartupFacts StartupFacts{};

// Each unit's work is done once on start and once on finish after it,
// however often its routines are called.
struct UnitGuard {
  std::int32_t startCount;
};

bool EnterStart(UnitGuard& guard) { return guard.startCount++ == 0; }
bool EnterFinish(UnitGuard& guard) { return guard.startCount > 0 && --guard.startCount == 0; }

UnitGuard CoreGuard{};
UnitGuard UtilitiesGuard{};

void CoreStart() {
  if (!EnterStart(CoreGuard)) {
    return;
  }
  // Raising and unwinding are the language's own here: nothing to record.
  // A failed write or allocation becomes a run-time error, never a death
  // by signal or an escaping language exception.
  IgnoreWriteSignals();
  InstallAllocationFailureHandler();
  InstallFpuEnvironment();
  // The standard streams are bound at their first use, not now; the
  // "Runtime error" report writes out what Output holds before its line.
  MarkStandardStreamsClosed();
  DrainOutputHook = DrainOutputForReport;
  // Start-up facts, recorded as the platform's programs do.
  StartupFacts.commandLine = GetCommandLineA();
  STARTUPINFOA startupInformation{};
  GetStartupInfoA(&startupInformation);
  StartupFacts.showWindowMode = startupInformation.wShowWindow;
  StartupFacts.version = GetVersion();
  StartupFacts.threadLocale = GetThreadLocale();
  StartupFacts.mainThreadId = GetCurrentThreadId();
}

// A failed write-out of Output at its close must not end a successful run
// as a success: it becomes the I/O run-time error, raised with exception
// support already removed, so the exit code is the I/O error code. A run
// that is already ending in failure keeps its own code.
__attribute__((noinline)) void CheckFinalOutputClose(std::int32_t result) {
  if (result != 0 && ProcessExitCode == 0) {
    SetIoResult(result);
    RaiseRuntimeError(RuntimeErrorKind::IoFailure, CALLER_LOCATION);
  }
}

void CoreFinish() {
  if (!EnterFinish(CoreGuard)) {
    return;
  }
  CloseStream(Input);
  const std::int32_t outputResult = CloseStream(Output);
  CloseStream(ErrorStream);
  CheckFinalOutputClose(outputResult);
  // The memory manager has nothing to give back: the process ends next.
}

void UtilitiesStart() {
  if (!EnterStart(UtilitiesGuard)) {
    return;
  }
  LoadErrorTexts();
  InstallExceptionSupport();
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  // The locale's format settings are not loaded: nothing printed uses them.
}

void UtilitiesFinish() {
  if (!EnterFinish(UtilitiesGuard)) {
    return;
  }
  RemoveExceptionSupport();
  ReleaseErrorTexts();
}

void NoWork() {}

const StartupEntry ProgramUnits[] = {
    {NoWork, NoWork},                   // SysInit
    {CoreStart, CoreFinish},            // System
    {NoWork, NoWork},                   // Windows
    {NoWork, NoWork},                   // Types
    {NoWork, NoWork},                   // SysConst
    {UtilitiesStart, UtilitiesFinish},  // SysUtils
    {nullptr, NoWork},                  // the program itself
};

}  // namespace

const StartupTable ProgramStartupTable{7, ProgramUnits};
