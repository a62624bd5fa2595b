#include "platform/exception_api.h"

void RaiseExceptionAt(DWORD code, DWORD flags, DWORD argumentCount, const ULONG_PTR* arguments, void* address) {
  StructuredException exception{};
  exception.record.ExceptionCode = code;
  exception.record.ExceptionFlags = flags;
  exception.record.ExceptionAddress = address;
  if (argumentCount > EXCEPTION_MAXIMUM_PARAMETERS) {
    argumentCount = EXCEPTION_MAXIMUM_PARAMETERS;
  }
  exception.record.NumberParameters = argumentCount;
  for (DWORD i = 0; i < argumentCount; ++i) {
    exception.record.ExceptionInformation[i] = arguments[i];
  }
  throw exception;
}

void RaiseFault(DWORD code, void* address) { RaiseExceptionAt(code, EXCEPTION_NONCONTINUABLE, 0, nullptr, address); }
