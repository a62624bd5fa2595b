#include "runtime/reports.h"

#include <cstring>

#include "conversion/fpu_environment.h"
#include "platform/file_api.h"
#include "platform/process_api.h"
#include "platform/user_api.h"
#include "runtime/errors.h"
#include "runtime/exception_classes.h"
#include "runtime/format.h"
#include "runtime/lifecycle.h"
#include "runtime/runtime_error.h"
#include "runtime/string_table.h"
#include "streams/text_stream.h"

bool QuietErrors = false;

namespace {

constexpr std::int32_t UnhandledExceptionCode = 1;
constexpr std::int32_t ExceptionWithoutSupportCode = 217;
constexpr std::size_t ReportTextSize = 1024;
constexpr std::size_t ReportFormatSize = 256;
constexpr std::size_t TitleSize = 64;
constexpr std::size_t ModulePathSize = 261;  // 260 characters and the zero byte
constexpr std::uintptr_t ImageCodeOffset = 0x1000;
constexpr char LineEnd[] = "\r\n";

// "Runtime error", the code right-aligned in a field of four (so that it
// ends at the 17th character), " at ", and the address in at least eight
// digits: 29 characters for every code of up to three digits and every
// address of up to eight. Longer codes and wider addresses make the text
// longer rather than overwrite a neighbouring field; one blank always
// stands before the code, and the storage holds the longest text there is.
constexpr std::size_t CodeFieldWidth = 4;
constexpr char CodeFieldBlanks[] = "    ";
char RuntimeErrorText[64];

void WriteToStandardHandle(DWORD standardHandle, const char* text, std::size_t length) {
  const HANDLE handle = GetStdHandle(standardHandle);
  DWORD written = 0;
  // The results are ignored: a report that cannot be written is lost, and
  // the process ends with the same code.
  WriteFile(handle, text, static_cast<DWORD>(length), &written, nullptr);
  WriteFile(handle, LineEnd, 2, &written, nullptr);
}

// Whatever the dialogue has written but not yet sent goes out before the
// report. The flush may fail (the reader of a pipe has gone, the disk is
// full). The check after it runs as after any statement, but the I/O error
// it raises is caught and released here, and the report goes on with the
// exception that ended the run: letting it escape would report the lesser
// failure in place of the first one, and bring it back to this very report.
// The bytes that could not be written are lost either way.
void FlushOutputBeforeReport() {
  FlushStream(Output);
  try {
    CheckIoResult();
  } catch (const StructuredException& raised) {
    if (TObject* object = RaisedObject(raised.record)) {
      object->Release();
    }
  }
}

std::size_t BuildRuntimeErrorText(std::int32_t code, void* location) {
  char digits[16];
  const std::size_t digitCount = FormatToBuffer(digits, sizeof digits, "%d", {code});
  const std::size_t blanks = digitCount < CodeFieldWidth ? CodeFieldWidth - digitCount : 1;
  return FormatToBuffer(RuntimeErrorText, sizeof RuntimeErrorText, "Runtime error%s%s at %p",
                        {std::string_view(CodeFieldBlanks, blanks), std::string_view(digits, digitCount), location});
}

}  // namespace

void HandleAtTopLevel(EXCEPTION_RECORD& record) {
  // Steps 1 and 2 have nothing to do here: the catch that calls this runs
  // after the unwind, and the platform's filter always lets it go on.
  // Step 3: a pending floating-point exception must not fault again while
  // the report is made.
  InitFpu();
  // Step 4: the unwind has already run every cleanup section.
  // Step 5: the object and the location.
  TObject* object;
  void* location;
  if (record.ExceptionCode == SystemExceptionCode) {
    location = reinterpret_cast<void*>(record.ExceptionInformation[0]);
    object = reinterpret_cast<TObject*>(record.ExceptionInformation[1]);
  } else {
    object = FaultObjectHook != nullptr ? FaultObjectHook(&record) : nullptr;
    if (object == nullptr) {
      FaultToRuntimeCode(&record);
    }
    location = record.ExceptionAddress;
  }
  // Step 6: ReportAndExit does not return.
  if (UnhandledExceptionHook != nullptr) {
    UnhandledExceptionHook(object, location);
  }
  // Step 7.
  StopWithRuntimeError(ExceptionWithoutSupportCode, location);
}

void ReportAndExit(TObject* object, void* location) {
  ShowExceptionReport(object, location);
  ExitProgram(UnhandledExceptionCode);
}

void ShowExceptionReport(TObject* object, void* location) {
  // Step 1.
  char text[ReportTextSize];
  const std::size_t length = FormatExceptionReport(object, location, text, sizeof text);
  if (ConsoleFlag) {
    // Step 2.
    FlushOutputBeforeReport();
    CharToOemA(text, text);
    WriteToStandardHandle(STD_ERROR_HANDLE, text, length);
  } else {
    // Step 3.
    char title[TitleSize];
    LoadResString(StringId::ApplicationErrorTitle, title, sizeof title);
    MessageBoxA(nullptr, text, title, MB_TASKMODAL | MB_ICONERROR);
  }
}

std::size_t FormatExceptionReport(TObject* object, void* location, char* buffer, std::size_t capacity) {
  // Step 1: the module that holds the location, and the offset within it.
  char modulePath[ModulePathSize];
  std::uintptr_t shownAddress = reinterpret_cast<std::uintptr_t>(location);
  MEMORY_BASIC_INFORMATION region{};
  if (VirtualQuery(location, &region, sizeof region) != 0 && region.State == MEM_COMMIT &&
      GetModuleFileNameA(region.AllocationBase, modulePath, sizeof modulePath) != 0) {
    shownAddress -= reinterpret_cast<std::uintptr_t>(region.AllocationBase);
  } else {
    // Step 2: outside every module, the program's own file.
    if (GetModuleFileNameA(ProgramInstance, modulePath, sizeof modulePath) == 0) {
      modulePath[0] = '\0';
    }
    if (shownAddress != 0) {
      shownAddress -= ImageCodeOffset;
    }
  }
  // Step 3.
  const char* slash = std::strrchr(modulePath, '/');
  const char* moduleName = slash != nullptr ? slash + 1 : modulePath;
  // Step 4.
  std::string_view message;
  std::string_view fullStop;
  if (IsInstanceOf(object, &Exception::classInfo)) {
    message = static_cast<const Exception*>(object)->message;
    if (!message.empty() && message.back() != '.') {
      fullStop = ".";
    }
  }
  // Step 5.
  char format[ReportFormatSize];
  const std::size_t formatLength = LoadResString(StringId::ExceptionReport, format, sizeof format);
  // Step 6.
  const char* className = object != nullptr ? object->ClassType()->name : "";
  return FormatToBuffer(buffer, capacity, std::string_view(format, formatLength),
                        {className, moduleName, reinterpret_cast<const void*>(shownAddress), message, fullStop});
}

void WriteRuntimeErrorReport() {
  // Steps 1 to 3.
  const std::size_t length = BuildRuntimeErrorText(ProcessExitCode, ErrorLocation);
  if (ConsoleFlag) {
    // Step 4: what Output holds goes first. Only the text and CR LF are
    // written, not the zero byte that ends the text in its storage.
    if (Output.openMode == ModeOutput && Output.position > 0 && Output.transferOp != nullptr) {
      Output.transferOp(Output);
    }
    WriteToStandardHandle(STD_OUTPUT_HANDLE, RuntimeErrorText, length);
  } else if (!QuietErrors) {
    // Step 5.
    MessageBoxA(nullptr, RuntimeErrorText, "Error", MB_OK);
  }
}
