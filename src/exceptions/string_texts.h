// The texts of the program's string table, ids 65488 to 65535, in id order:
// STRING_TEXTS(ENTRY) expands ENTRY(name, id, text) once for each. The
// names of StringId (string_table.h), the table that POSIX attaches
// (string_table.cpp) and the Windows resource (string_table.rc) all come
// from this one list.
#pragma once

// clang-format off
#define STRING_TEXTS(ENTRY) \
  ENTRY(VariantTypeConversion, 65488, "Invalid variant type conversion") \
  ENTRY(VariantOperation, 65489, "Invalid variant operation") \
  ENTRY(InvalidArgument, 65490, "Invalid argument") \
  ENTRY(ExternalException, 65491, "External exception %x") \
  ENTRY(AssertionFailed, 65492, "Assertion failed") \
  ENTRY(InterfaceNotSupported, 65493, "Interface not supported") \
  ENTRY(SafecallException, 65494, "Exception in safecall method") \
  /* fault address, module, access, accessed address */ \
  ENTRY(AccessViolationInModule, 65497, "Access violation at address %p in module '%s'. %s of address %p") \
  ENTRY(InvalidPointer, 65504, "Invalid pointer operation") \
  ENTRY(InvalidCast, 65505, "Invalid class typecast") \
  /* fault address, access, accessed address */ \
  ENTRY(AccessViolationNoModule, 65506, "Access violation at address %p. %s of address %p") \
  ENTRY(AccessViolation, 65507, "Access violation") \
  ENTRY(StackOverflow, 65508, "Stack overflow") \
  ENTRY(ControlC, 65509, "Control-C hit") \
  ENTRY(PrivilegedInstruction, 65510, "Privileged instruction") \
  /* class, module, address, message, full stop */ \
  ENTRY(ExceptionReport, 65511, "Exception %s in module %s at %p.\r\n%s%s\r\n") \
  ENTRY(ApplicationErrorTitle, 65512, "Application Error") \
  ENTRY(VariantMethodCall, 65515, "Variant method calls not supported") \
  ENTRY(ReadAccess, 65516, "Read") \
  ENTRY(WriteAccess, 65517, "Write") \
  ENTRY(VariantArrayCreation, 65518, "Error creating variant or safe array") \
  ENTRY(VariantArrayIndex, 65519, "Variant or safe array index out of bounds") \
  ENTRY(OutOfMemory, 65520, "Out of memory") \
  ENTRY(IoErrorNumber, 65521, "I/O error %d") \
  ENTRY(FileNotFound, 65522, "File not found") \
  ENTRY(InvalidFilename, 65523, "Invalid filename") \
  ENTRY(TooManyOpenFiles, 65524, "Too many open files") \
  ENTRY(AccessDenied, 65525, "File access denied") \
  ENTRY(EndOfFile, 65526, "Read beyond end of file") \
  ENTRY(DiskFull, 65527, "Disk full") \
  ENTRY(InvalidInput, 65528, "Invalid numeric input") \
  ENTRY(DivByZero, 65529, "Division by zero") \
  ENTRY(RangeError, 65530, "Range check error") \
  ENTRY(IntOverflow, 65531, "Integer overflow") \
  ENTRY(InvalidOp, 65532, "Invalid floating point operation") \
  ENTRY(ZeroDivide, 65533, "Floating point division by zero") \
  ENTRY(Overflow, 65534, "Floating point overflow") \
  ENTRY(Underflow, 65535, "Floating point underflow")
// clang-format on
