// Structured exceptions: the record of an exception or processor fault and
// the calls that raise it. An exception travels as a C++ exception of type
// StructuredException that carries the record, on Windows as on POSIX; the
// catch at the bottom of the main thread plays the part of the outermost
// handler. The faults come from the software arithmetic, which names the
// address of the faulting operation itself.
#pragma once

#include "platform/windows_types.h"

#ifndef _WIN32
inline constexpr DWORD EXCEPTION_NONCONTINUABLE = 1;
inline constexpr DWORD EXCEPTION_MAXIMUM_PARAMETERS = 15;

inline constexpr DWORD STATUS_ACCESS_VIOLATION = 0xC0000005;
inline constexpr DWORD STATUS_ARRAY_BOUNDS_EXCEEDED = 0xC000008C;
inline constexpr DWORD STATUS_FLOAT_DENORMAL_OPERAND = 0xC000008D;
inline constexpr DWORD STATUS_FLOAT_DIVIDE_BY_ZERO = 0xC000008E;
inline constexpr DWORD STATUS_FLOAT_INEXACT_RESULT = 0xC000008F;
inline constexpr DWORD STATUS_FLOAT_INVALID_OPERATION = 0xC0000090;
inline constexpr DWORD STATUS_FLOAT_OVERFLOW = 0xC0000091;
inline constexpr DWORD STATUS_FLOAT_STACK_CHECK = 0xC0000092;
inline constexpr DWORD STATUS_FLOAT_UNDERFLOW = 0xC0000093;
inline constexpr DWORD STATUS_INTEGER_DIVIDE_BY_ZERO = 0xC0000094;
inline constexpr DWORD STATUS_INTEGER_OVERFLOW = 0xC0000095;
inline constexpr DWORD STATUS_PRIVILEGED_INSTRUCTION = 0xC0000096;
inline constexpr DWORD STATUS_STACK_OVERFLOW = 0xC00000FD;
inline constexpr DWORD STATUS_CONTROL_C_EXIT = 0xC000013A;

struct EXCEPTION_RECORD {
  DWORD ExceptionCode;
  DWORD ExceptionFlags;
  EXCEPTION_RECORD* ExceptionRecord;
  void* ExceptionAddress;
  DWORD NumberParameters;
  ULONG_PTR ExceptionInformation[EXCEPTION_MAXIMUM_PARAMETERS];
};
#endif

// What is thrown; the record is copied into it.
struct StructuredException {
  EXCEPTION_RECORD record;
};

// Raises an exception whose recorded address is `address`: RaiseException
// with the address named by the caller (Windows records the caller of
// RaiseException instead, an address inside the system's own code).
[[noreturn]] void RaiseExceptionAt(DWORD code, DWORD flags, DWORD argumentCount, const ULONG_PTR* arguments,
                                   void* address);

// Raises a processor fault with the given status code at the given code
// address, as the hardware would: no parameters, not continuable.
[[noreturn]] void RaiseFault(DWORD code, void* address);
