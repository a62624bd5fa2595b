// The whole program in the fuzzer's own process, coverage-guided: start-up,
// the dialogue or the batch mode, the streams, the conversions, the reports
// and shutdown run here, reading the fuzzer's bytes as standard input (a memory file on
// descriptor 0, read through the platform's ReadFile) and writing to
// /dev/null. ExitProcess comes back to the harness instead of ending the
// process, and the harness puts the process-wide state back as a new process
// has it before the next input. Every input must end through ExitProcess with
// 0 or 1 (with a file for input and /dev/null for output no I/O can fail),
// trip no sanitizer and leave nothing behind. An input whose first byte is
// below 9 runs the batch mode on the bytes after it, for the unit pair that
// byte numbers (in the order of ResultCase: 3 is rad to d); any other input
// runs the dialogue.
#include <fcntl.h>
#include <sanitizer/common_interface_defs.h>
#include <sys/mman.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>

#include "conversion/angle_math.h"
#include "conversion/dialogue.h"
#include "core/main_routine.h"
#include "core/runtime_error.h"
#include "exceptions/errors.h"
#include "exceptions/exception_classes.h"
#include "exceptions/reports.h"
#include "platform/process_api.h"
#include "program/batch.h"
#include "program/unit_table.h"

namespace {

std::jmp_buf ProcessEnd;
UINT EndCode = 0;

// The fuzzer's own descriptors 0, 1 and 2 (-1: closed), put back after
// each run; the input file; /dev/null for the program's output.
int SavedStandard[3] = {-1, -1, -1};
int InputFile = -1;
int Nowhere = -1;

// The object of the report that ended a run: the real process leaves it to
// the end of the process, the harness releases it. The preallocated
// instances are released by the program itself at shutdown.
TObject* ReportedObject = nullptr;

void ReportAndKeep(TObject* object, void* location) {
  if (object != OutOfMemoryInstance && object != InvalidPointerInstance) {
    ReportedObject = object;
  }
  ReportAndExit(object, location);
}

// The program's body: the dialogue, with the report hook wrapped once
// exception support has installed it.
void Body() {
  UnhandledExceptionHook = ReportAndKeep;
  RunDialogue();
}

// The batch run an input asks for: its unit pair, its lines as standard
// input.
BatchRequest Request{};

void BatchBody() {
  UnhandledExceptionHook = ReportAndKeep;
  RunBatch(Request);
}

void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

void PutInput(const std::uint8_t* data, std::size_t size) {
  Check(ftruncate(InputFile, 0) == 0);
  Check(size == 0 || pwrite(InputFile, data, size, 0) == static_cast<ssize_t>(size));
  Check(lseek(InputFile, 0, SEEK_SET) == 0);
}

void RedirectStandardDescriptors() { Check(dup2(InputFile, 0) == 0 && dup2(Nowhere, 1) == 1 && dup2(Nowhere, 2) == 2); }

void RestoreStandardDescriptors() {
  for (int descriptor = 0; descriptor < 3; ++descriptor) {
    if (SavedStandard[descriptor] < 0) {
      close(descriptor);
    } else {
      Check(dup2(SavedStandard[descriptor], descriptor) == descriptor);
    }
  }
}

// A run must have undone its own start-up: module unregistered, every finish
// routine run, exception support removed.
void CheckShutdownComplete() {
  Check(ModuleList == nullptr && Startup.StartedCount == 0);
  Check(RuntimeErrorHook == nullptr && UnhandledExceptionHook == nullptr);
  Check(OutOfMemoryInstance == nullptr && InvalidPointerInstance == nullptr);
}

// The process-wide state as a new process has it.
void ResetProcessState() {
  ConsoleFlag = false;
  ProcessExitCode = 0;
  ErrorLocation = nullptr;
  ExitHandler = nullptr;
  ProgramInstance = nullptr;
  ProgramModuleRecord = ModuleRecord{};
  Startup = StartupContext{};
  SetIoResult(0);
  Conversion = ConversionState{};
  std::string().swap(sourceUnit);
  std::string().swap(targetUnit);
}

}  // namespace

// The harness's ExitProcess: the end of a run returns to the harness.
void ExitProcess(UINT exitCode) {
  EndCode = exitCode;
  std::longjmp(ProcessEnd, 1);
}

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  for (int descriptor = 0; descriptor < 3; ++descriptor) {
    SavedStandard[descriptor] = fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
  }
  InputFile = memfd_create("angleconv-input", MFD_CLOEXEC);
  Nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
  Check(InputFile >= 0 && Nowhere >= 0 && SavedStandard[2] >= 0);
  // A sanitizer's report still reaches the fuzzer's standard error.
  __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(SavedStandard[2])));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const bool batch = size > 0 && data[0] < static_cast<std::uint8_t>(ResultCase::NoResult);
  if (batch) {
    Request = BatchRequest{static_cast<ResultCase>(data[0]), {}};
    PutInput(data + 1, size - 1);
  } else {
    PutInput(data, size);
  }
  RedirectStandardDescriptors();
  if (setjmp(ProcessEnd) == 0) {
    RunProgram(ProgramStartupTable, batch ? BatchBody : Body);
  }
  RestoreStandardDescriptors();
  if (ReportedObject != nullptr) {
    ReportedObject->Release();
    ReportedObject = nullptr;
  }
  Check(EndCode == 0 || EndCode == 1);
  CheckShutdownComplete();
  ResetProcessState();
  return 0;
}
