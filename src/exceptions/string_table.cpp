#include "exceptions/string_table.h"

#include <cstring>

#include "platform/user_api.h"

namespace {

// Sorted by id: LoadStringA searches it by halves.
constexpr STRING_RESOURCE ProgramStringResources[] = {
    {StringId::VariantTypeConversion, "Invalid variant type conversion"},
    {StringId::VariantOperation, "Invalid variant operation"},
    {StringId::InvalidArgument, "Invalid argument"},
    {StringId::ExternalException, "External exception %x"},
    {StringId::AssertionFailed, "Assertion failed"},
    {StringId::InterfaceNotSupported, "Interface not supported"},
    {StringId::SafecallException, "Exception in safecall method"},
    {StringId::AccessViolationInModule, "Access violation at address %p in module '%s'. %s of address %p"},
    {StringId::InvalidPointer, "Invalid pointer operation"},
    {StringId::InvalidCast, "Invalid class typecast"},
    {StringId::AccessViolationNoModule, "Access violation at address %p. %s of address %p"},
    {StringId::AccessViolation, "Access violation"},
    {StringId::StackOverflow, "Stack overflow"},
    {StringId::ControlC, "Control-C hit"},
    {StringId::PrivilegedInstruction, "Privileged instruction"},
    {StringId::ExceptionReport, "Exception %s in module %s at %p.\r\n%s%s\r\n"},
    {StringId::ApplicationErrorTitle, "Application Error"},
    {StringId::VariantMethodCall, "Variant method calls not supported"},
    {StringId::ReadAccess, "Read"},
    {StringId::WriteAccess, "Write"},
    {StringId::VariantArrayCreation, "Error creating variant or safe array"},
    {StringId::VariantArrayIndex, "Variant or safe array index out of bounds"},
    {StringId::OutOfMemory, "Out of memory"},
    {StringId::IoErrorNumber, "I/O error %d"},
    {StringId::FileNotFound, "File not found"},
    {StringId::InvalidFilename, "Invalid filename"},
    {StringId::TooManyOpenFiles, "Too many open files"},
    {StringId::AccessDenied, "File access denied"},
    {StringId::EndOfFile, "Read beyond end of file"},
    {StringId::DiskFull, "Disk full"},
    {StringId::InvalidInput, "Invalid numeric input"},
    {StringId::DivByZero, "Division by zero"},
    {StringId::RangeError, "Range check error"},
    {StringId::IntOverflow, "Integer overflow"},
    {StringId::InvalidOp, "Invalid floating point operation"},
    {StringId::ZeroDivide, "Floating point division by zero"},
    {StringId::Overflow, "Floating point overflow"},
    {StringId::Underflow, "Floating point underflow"},
};
constexpr UINT ProgramStringResourceCount = sizeof ProgramStringResources / sizeof ProgramStringResources[0];

// The table is the program's resources from the first lookup on.
int LookUp(UINT id, char* buffer, int size) {
  static const bool attached = [] {
    AttachStringResources(ProgramStringResources, ProgramStringResourceCount);
    return true;
  }();
  (void)attached;
  return LoadStringA(nullptr, id, buffer, size);
}

}  // namespace

std::string LoadResString(UINT id) {
  // Every text of the table fits; a longer one would be cut here.
  char buffer[1024];
  const int length = LookUp(id, buffer, sizeof buffer);
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::size_t LoadResString(UINT id, char* buffer, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  return static_cast<std::size_t>(LookUp(id, buffer, static_cast<int>(size)));
}
