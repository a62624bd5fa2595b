// The program's string table: the message texts of the run-time layer,
// ids 65488 to 65535, looked up by id through LoadStringA.
#pragma once

#include <cstddef>
#include <string>

#include "platform/windows_types.h"

namespace StringId {
inline constexpr UINT VariantTypeConversion = 65488;
inline constexpr UINT VariantOperation = 65489;
inline constexpr UINT InvalidArgument = 65490;
inline constexpr UINT ExternalException = 65491;  // "External exception %x"
inline constexpr UINT AssertionFailed = 65492;
inline constexpr UINT InterfaceNotSupported = 65493;
inline constexpr UINT SafecallException = 65494;
inline constexpr UINT AccessViolationInModule = 65497;  // fault address, module, access, accessed address
inline constexpr UINT InvalidPointer = 65504;
inline constexpr UINT InvalidCast = 65505;
inline constexpr UINT AccessViolationNoModule = 65506;  // fault address, access, accessed address
inline constexpr UINT AccessViolation = 65507;
inline constexpr UINT StackOverflow = 65508;
inline constexpr UINT ControlC = 65509;
inline constexpr UINT PrivilegedInstruction = 65510;
inline constexpr UINT ExceptionReport = 65511;  // class, module, address, message, full stop
inline constexpr UINT ApplicationErrorTitle = 65512;
inline constexpr UINT VariantMethodCall = 65515;
inline constexpr UINT ReadAccess = 65516;
inline constexpr UINT WriteAccess = 65517;
inline constexpr UINT VariantArrayCreation = 65518;
inline constexpr UINT VariantArrayIndex = 65519;
inline constexpr UINT OutOfMemory = 65520;
inline constexpr UINT IoErrorNumber = 65521;  // "I/O error %d"
inline constexpr UINT FileNotFound = 65522;
inline constexpr UINT InvalidFilename = 65523;
inline constexpr UINT TooManyOpenFiles = 65524;
inline constexpr UINT AccessDenied = 65525;
inline constexpr UINT EndOfFile = 65526;
inline constexpr UINT DiskFull = 65527;
inline constexpr UINT InvalidInput = 65528;
inline constexpr UINT DivByZero = 65529;
inline constexpr UINT RangeError = 65530;
inline constexpr UINT IntOverflow = 65531;
inline constexpr UINT InvalidOp = 65532;
inline constexpr UINT ZeroDivide = 65533;
inline constexpr UINT Overflow = 65534;
inline constexpr UINT Underflow = 65535;
}  // namespace StringId

// String `id` of the program's table as a string of any length; empty when
// there is none.
std::string LoadResString(UINT id);

// String `id` into a buffer of `size` bytes, cut to size - 1 characters and
// ending with a zero byte; returns its length.
std::size_t LoadResString(UINT id, char* buffer, std::size_t size);
