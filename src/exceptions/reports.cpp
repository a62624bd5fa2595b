#include "exceptions/reports.h"

#include <cstdint>
#include <string_view>

#include "core/format.h"
#include "core/lifecycle.h"
#include "core/runtime_error.h"
#include "core/runtime_error_report.h"
#include "exceptions/exception_classes.h"
#include "exceptions/module_lookup.h"
#include "exceptions/string_table.h"
#include "platform/process_api.h"
#include "platform/user_api.h"
#include "streams/text_stream.h"

namespace {

constexpr std::int32_t UnhandledExceptionCode = 1;
constexpr std::size_t ReportTextSize = 1024;
constexpr std::size_t ReportFormatSize = 256;
constexpr std::size_t TitleSize = 64;
constexpr std::uintptr_t ImageCodeOffset = 0x1000;

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

// The module that holds the location and the offset within it; outside
// every module, the program's own file and the offset from its code.
void LocateInModule(void* location, ModuleLocation& module, std::uintptr_t& shownAddress) {
  shownAddress = reinterpret_cast<std::uintptr_t>(location);
  if (FindModuleOf(location, module)) {
    shownAddress -= module.base;
    return;
  }
  if (GetModuleFileNameA(ProgramInstance, module.path, sizeof module.path) == 0) {
    module.path[0] = '\0';
  }
  module.name = ModuleName(module.path);
  if (shownAddress != 0) {
    shownAddress -= ImageCodeOffset;
  }
}

// The message of an Exception, and a full stop unless it ends with one;
// nothing for any other object.
struct ShownMessage {
  std::string_view message;
  std::string_view fullStop;
};
ShownMessage MessageOf(TObject* object) {
  if (!IsInstanceOf(object, &Exception::classInfo)) {
    return {};
  }
  const std::string_view message = static_cast<const Exception*>(object)->message;
  return {message, !message.empty() && message.back() != '.' ? "." : ""};
}

const char* ClassNameOf(TObject* object) { return object != nullptr ? object->ClassType()->name : ""; }

}  // namespace

void ReportAndExit(TObject* object, void* location) {
  ShowExceptionReport(object, location);
  ExitProgram(UnhandledExceptionCode);
}

void ShowExceptionReport(TObject* object, void* location) {
  char text[ReportTextSize];
  const std::size_t length = FormatExceptionReport(object, location, text, sizeof text);
  if (ConsoleFlag) {
    FlushOutputBeforeReport();
    CharToOemA(text, text);
    WriteReportLine(STD_ERROR_HANDLE, text, length);
  } else {
    char title[TitleSize];
    LoadResString(StringId::ApplicationErrorTitle, title, sizeof title);
    MessageBoxA(nullptr, text, title, MB_TASKMODAL | MB_ICONERROR);
  }
}

std::size_t FormatExceptionReport(TObject* object, void* location, char* buffer, std::size_t capacity) {
  // The module and the address shown.
  ModuleLocation module;
  std::uintptr_t shownAddress = 0;
  LocateInModule(location, module, shownAddress);
  // The report's format from the string table, filled in.
  char format[ReportFormatSize];
  const std::size_t formatLength = LoadResString(StringId::ExceptionReport, format, sizeof format);
  const ShownMessage shown = MessageOf(object);
  return FormatToBuffer(
      buffer, capacity, std::string_view(format, formatLength),
      {ClassNameOf(object), module.name, reinterpret_cast<const void*>(shownAddress), shown.message, shown.fullStop});
}

std::string DescribeAndRelease(EXCEPTION_RECORD& record) {
  // A fault becomes its object through exception support, as it does for
  // the top-level handler.
  TObject* object = RaisedObject(record);
  if (object == nullptr && FaultObjectHook != nullptr) {
    object = FaultObjectHook(&record);
  }
  const ShownMessage shown = MessageOf(object);
  std::string text = std::string(ClassNameOf(object)) + ": ";
  text.append(shown.message).append(shown.fullStop);
  if (object != nullptr) {
    object->Release();
  }
  return text;
}
