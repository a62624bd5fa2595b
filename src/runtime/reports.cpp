// Placeholder until the error reports are built.
#include "runtime/reports.h"

#include "platform/process_api.h"

void HandleAtTopLevel(EXCEPTION_RECORD&) { ExitProcess(1); }
void ReportAndExit(TObject*, void*) { ExitProcess(1); }
void ShowExceptionReport(TObject*, void*) {}
std::size_t FormatExceptionReport(TObject*, void*, char*, std::size_t) { return 0; }
void WriteRuntimeErrorReport() {}
