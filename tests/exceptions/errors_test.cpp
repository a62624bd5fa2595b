// Run-time errors and faults become the exceptions of the class tree, with
// the message and location they must carry.
#include <gtest/gtest.h>

#include <cstdint>

#include <string>

#include "exceptions/support_fixture.h"
#include "streams/text_stream.h"

namespace {

// A code address inside this program's image.
__attribute__((noinline)) void* CodeAddressHere() { return CALLER_LOCATION; }

struct FaultRow {
  DWORD code;
  RuntimeErrorKind kind;
  std::int32_t runtimeCode;
  const char* className;
  const char* message;
};

const FaultRow Faults[] = {
    {STATUS_INTEGER_DIVIDE_BY_ZERO, RuntimeErrorKind::IntegerDivideByZero, 200, "EDivByZero", "Division by zero"},
    {STATUS_ARRAY_BOUNDS_EXCEEDED, RuntimeErrorKind::RangeCheck, 201, "ERangeError", "Range check error"},
    {STATUS_INTEGER_OVERFLOW, RuntimeErrorKind::IntegerOverflow, 215, "EIntOverflow", "Integer overflow"},
    {STATUS_FLOAT_INEXACT_RESULT, RuntimeErrorKind::InvalidFloatOperation, 207, "EInvalidOp",
     "Invalid floating point operation"},
    {STATUS_FLOAT_INVALID_OPERATION, RuntimeErrorKind::InvalidFloatOperation, 207, "EInvalidOp",
     "Invalid floating point operation"},
    {STATUS_FLOAT_STACK_CHECK, RuntimeErrorKind::InvalidFloatOperation, 207, "EInvalidOp",
     "Invalid floating point operation"},
    {STATUS_FLOAT_DIVIDE_BY_ZERO, RuntimeErrorKind::FloatDivideByZero, 200, "EZeroDivide",
     "Floating point division by zero"},
    {STATUS_FLOAT_OVERFLOW, RuntimeErrorKind::FloatOverflow, 205, "EOverflow", "Floating point overflow"},
    {STATUS_FLOAT_DENORMAL_OPERAND, RuntimeErrorKind::FloatUnderflow, 206, "EUnderflow", "Floating point underflow"},
    {STATUS_FLOAT_UNDERFLOW, RuntimeErrorKind::FloatUnderflow, 206, "EUnderflow", "Floating point underflow"},
    {STATUS_ACCESS_VIOLATION, RuntimeErrorKind::AccessViolation, 216, "EAccessViolation", nullptr},
    {STATUS_PRIVILEGED_INSTRUCTION, RuntimeErrorKind::PrivilegedInstruction, 218, "EPrivilege",
     "Privileged instruction"},
    {STATUS_CONTROL_C_EXIT, RuntimeErrorKind::ControlC, 217, "EControlC", "Control-C hit"},
    {STATUS_STACK_OVERFLOW, RuntimeErrorKind::StackOverflow, 202, "EStackOverflow", "Stack overflow"},
    {0xE06D7363, RuntimeErrorKind::ExternalFault, 255, "EExternalException", "External exception E06D7363"},
};

using Faults_ = WithExceptionSupport;

TEST_F(Faults_, EachFaultCodeHasItsKindCodeClassAndMessage) {
  for (const FaultRow& row : Faults) {
    SCOPED_TRACE(row.className);
    EXPECT_EQ(ClassifyFault(row.code), row.kind);
    EXPECT_EQ(FaultRuntimeCode(row.code), row.runtimeCode);
    EXCEPTION_RECORD record = FaultRecord(row.code, CodeAddressHere());
    EXPECT_STREQ(FaultClassHook(&record)->name, row.className);
    TObject* object = FaultObjectHook(&record);
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->ClassType()->name, row.className);
    ASSERT_TRUE(IsInstanceOf(object, &EExternal::classInfo));
    auto* external = static_cast<EExternal*>(object);
    EXPECT_EQ(external->faultRecord, &record);
    if (row.message != nullptr) {
      EXPECT_EQ(external->message, row.message);
    }
    object->Release();
  }
}

using AccessViolation = WithExceptionSupport;

TEST_F(AccessViolation, NamesTheModuleWhenTheFaultingCodeIsInOne) {
  void* const code = CodeAddressHere();
  const std::string at = FormatToString("%p", {code});
  const struct {
    void* address;
    ULONG_PTR access;
    ULONG_PTR accessed;
    std::string message;
  } rows[] = {
    {code, 0, 0x10, "Access violation at address " + at + " in module '" + ThisModule + "'. Read of address 00000010"},
    {code, 1, 0xDEADBEEF,
     "Access violation at address " + at + " in module '" + ThisModule + "'. Write of address DEADBEEF"},
    {reinterpret_cast<void*>(0x20), 0, 0, "Access violation at address 00000020. Read of address 00000000"},
#if UINTPTR_MAX > 0xFFFFFFFF
    {reinterpret_cast<void*>(0x20), 8, 0x7FFD00001234,
     "Access violation at address 00000020. Write of address 7FFD00001234"},
#endif
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.message);
    EXCEPTION_RECORD record = FaultRecord(STATUS_ACCESS_VIOLATION, row.address, row.access, row.accessed);
    EAccessViolation* violation = BuildAccessViolation(&record);
    EXPECT_EQ(violation->message, row.message);
    violation->Release();
  }
}

using IoError = WithExceptionSupport;

TEST_F(IoError, TakesThePendingCodeAndChoosesItsText) {
  const struct {
    std::int32_t code;
    const char* message;
  } rows[] = {
      {2, "File not found"},          {3, "Invalid filename"},          {4, "Too many open files"},
      {5, "File access denied"},      {100, "Read beyond end of file"}, {101, "Disk full"},
      {106, "Invalid numeric input"}, {105, "I/O error 105"},           {-3, "I/O error -3"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    SetIoResult(row.code);
    EInOutError* error = BuildIoError();
    EXPECT_EQ(error->message, row.message);
    EXPECT_EQ(error->errorCode, row.code);
    EXPECT_EQ(IoResultCode, 0);
    error->Release();
  }
}

using RuntimeErrors = WithExceptionSupport;

TEST_F(RuntimeErrors, AreRaisedAsObjectsAtTheGivenLocation) {
  void* const location = CodeAddressHere();
  SetIoResult(106);
  const EXCEPTION_RECORD record = CatchRaised([&] { RaiseRuntimeError(RuntimeErrorKind::IoFailure, location); });
  EXPECT_EQ(record.ExceptionCode, SystemExceptionCode);
  EXPECT_EQ(record.ExceptionFlags, EXCEPTION_NONCONTINUABLE);
  EXPECT_EQ(record.ExceptionAddress, location);
  ASSERT_EQ(record.NumberParameters, 2u);
  EXPECT_EQ(reinterpret_cast<void*>(record.ExceptionInformation[0]), location);
  auto* error = static_cast<EInOutError*>(RaisedObject(record));
  ASSERT_TRUE(IsInstanceOf(error, &EInOutError::classInfo));
  EXPECT_EQ(error->message, "Invalid numeric input");
  error->Release();
  // Kinds 3 to 24 take the table's text unchanged.
  const EXCEPTION_RECORD external = CatchRaised([] { RaiseRuntimeError(RuntimeErrorKind::ExternalFault, nullptr); });
  TObject* object = RaisedObject(external);
  EXPECT_EQ(static_cast<Exception*>(object)->message, "External exception %x");
  object->Release();
}

TEST_F(RuntimeErrors, OutOfMemoryIsAlwaysThePreallocatedInstance) {
  EXPECT_EQ(OutOfMemoryInstance->message, "Out of memory");
  EXPECT_EQ(InvalidPointerInstance->message, "Invalid pointer operation");
  for (int round = 0; round < 3; ++round) {
    const EXCEPTION_RECORD record = CatchRaised([] { RaiseRuntimeError(RuntimeErrorKind::OutOfMemory, nullptr); });
    TObject* object = RaisedObject(record);
    EXPECT_EQ(object, static_cast<TObject*>(OutOfMemoryInstance));
    // A handler's release leaves it in place.
    object->Release();
  }
  const EXCEPTION_RECORD record = CatchRaised([] { RaiseRuntimeError(RuntimeErrorKind::InvalidPointer, nullptr); });
  EXPECT_EQ(RaisedObject(record), static_cast<TObject*>(InvalidPointerInstance));
}

TEST_F(RuntimeErrors, AFailedAllocationRaisesOutOfMemory) {
  const EXCEPTION_RECORD record = CatchRaised([] {
    // Beyond the 1 GiB the memory manager serves, so that no allocator,
    // sanitized or not, is asked for it.
    void* volatile block = ::operator new((std::size_t{1} << 30) + 1);
    ::operator delete(block);
  });
  EXPECT_EQ(RaisedObject(record), static_cast<TObject*>(OutOfMemoryInstance));
}

TEST(WithoutSupport, RunTimeErrorsAndFaultsEndTheProcessWithTheirCode) {
  const struct {
    RuntimeErrorKind kind;
    std::int32_t pendingIoCode;
    int exitCode;
  } rows[] = {
      {RuntimeErrorKind::IoFailure, 105, 105},
      {RuntimeErrorKind::OutOfMemory, 0, 203},
      {RuntimeErrorKind::FloatOverflow, 0, 205},
      {RuntimeErrorKind::SafecallFailure, 0, 229},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.kind));
    EXPECT_EXIT(
        {
          SetIoResult(row.pendingIoCode);
          RaiseRuntimeError(row.kind, CodeAddressHere());
        },
        ::testing::ExitedWithCode(row.exitCode), "");
  }
  EXCEPTION_RECORD fault = FaultRecord(STATUS_FLOAT_OVERFLOW, CodeAddressHere());
  EXPECT_EXIT(FaultToRuntimeCode(&fault), ::testing::ExitedWithCode(205), "");
}

}  // namespace
