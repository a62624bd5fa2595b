#include "exceptions/errors.h"

#include "core/faults.h"
#include "core/io_result.h"
#include "exceptions/exception_classes.h"
#include "exceptions/module_lookup.h"
#include "exceptions/reports.h"
#include "exceptions/string_table.h"

EOutOfMemory* OutOfMemoryInstance = nullptr;
EInvalidPointer* InvalidPointerInstance = nullptr;
TErrorRec IoErrorTexts[IoErrorTextCount] = {{ERROR_FILE_NOT_FOUND, {}},          {ERROR_PATH_NOT_FOUND, {}},
                                            {ERROR_TOO_MANY_OPEN_FILES, {}},     {ERROR_ACCESS_DENIED, {}},
                                            {IoResult::ReadBeyondEndOfFile, {}}, {IoResult::DiskFull, {}},
                                            {IoResult::InvalidNumericInput, {}}};
TExceptRec RuntimeErrorClasses[RuntimeErrorClassCount]{};
const ClassInfo* ExceptionClass = nullptr;
void (*AssertionHook)(std::string_view message, void* location) = nullptr;
void (*AbstractErrorHook)(void* location) = nullptr;

namespace {

constexpr UINT IoErrorTextIds[IoErrorTextCount] = {
    StringId::FileNotFound, StringId::InvalidFilename, StringId::TooManyOpenFiles, StringId::AccessDenied,
    StringId::EndOfFile,    StringId::DiskFull,        StringId::InvalidInput,
};

struct ClassedKind {
  const ClassInfo* classType;
  UINT textId;
};

// Kinds 3 to 24, in kind order.
const ClassedKind ClassedKinds[RuntimeErrorClassCount] = {
    {&EDivByZero::classInfo, StringId::DivByZero},                  // IntegerDivideByZero
    {&ERangeError::classInfo, StringId::RangeError},                // RangeCheck
    {&EIntOverflow::classInfo, StringId::IntOverflow},              // IntegerOverflow
    {&EInvalidOp::classInfo, StringId::InvalidOp},                  // InvalidFloatOperation
    {&EZeroDivide::classInfo, StringId::ZeroDivide},                // FloatDivideByZero
    {&EOverflow::classInfo, StringId::Overflow},                    // FloatOverflow
    {&EUnderflow::classInfo, StringId::Underflow},                  // FloatUnderflow
    {&EInvalidCast::classInfo, StringId::InvalidCast},              // InvalidTypecast
    {&EAccessViolation::classInfo, StringId::AccessViolation},      // AccessViolation
    {&EPrivilege::classInfo, StringId::PrivilegedInstruction},      // PrivilegedInstruction
    {&EControlC::classInfo, StringId::ControlC},                    // ControlC
    {&EStackOverflow::classInfo, StringId::StackOverflow},          // StackOverflow
    {&EVariantError::classInfo, StringId::VariantTypeConversion},   // VariantConversion
    {&EVariantError::classInfo, StringId::VariantOperation},        // VariantOperation
    {&EVariantError::classInfo, StringId::VariantMethodCall},       // VariantMethodCall
    {&EVariantError::classInfo, StringId::VariantArrayCreation},    // VariantArrayCreation
    {&EVariantError::classInfo, StringId::InvalidArgument},         // VariantArgument
    {&EVariantError::classInfo, StringId::VariantArrayIndex},       // VariantArrayIndex
    {&EAssertionFailed::classInfo, StringId::AssertionFailed},      // AssertionFailure
    {&EExternalException::classInfo, StringId::ExternalException},  // ExternalFault
    {&EIntfCastError::classInfo, StringId::InterfaceNotSupported},  // InterfaceNotSupported
    {&ESafecallException::classInfo, StringId::SafecallException},  // SafecallFailure
};

constexpr char AbstractErrorText[] = "Abstract Error";

int KindIndex(RuntimeErrorKind kind) { return static_cast<int>(kind); }

bool IsClassedKind(RuntimeErrorKind kind) {
  return KindIndex(kind) >= FirstClassedKind && KindIndex(kind) < FirstClassedKind + RuntimeErrorClassCount;
}

// The kinds that a fault turns into an instance of the table's class with
// the table's text (3 to 21; the access violation builds its own text).
bool HasFaultClassFromTable(RuntimeErrorKind kind) {
  return IsClassedKind(kind) && KindIndex(kind) < KindIndex(RuntimeErrorKind::ExternalFault);
}

const TExceptRec& ClassedEntry(RuntimeErrorKind kind) {
  return RuntimeErrorClasses[KindIndex(kind) - FirstClassedKind];
}

template <typename HeapException>
HeapException* BuildPreallocated(UINT textId) {
  return new HeapException(ResourceId{textId});
}

// The I/O error of `code`, with its own text or "I/O error" and the code.
EInOutError* NewIoError(std::int32_t code) {
  for (const TErrorRec& entry : IoErrorTexts) {
    if (entry.code == code) {
      return new EInOutError(entry.message);
    }
  }
  return new EInOutError(ResourceId{StringId::IoErrorNumber}, {code});
}

// Steps 2 to 4 of FaultToException.
Exception* NewFaultObject(RuntimeErrorKind kind, EXCEPTION_RECORD* fault) {
  if (kind == RuntimeErrorKind::AccessViolation) {
    return BuildAccessViolation(fault);
  }
  if (HasFaultClassFromTable(kind)) {
    const TExceptRec& entry = ClassedEntry(kind);
    return entry.classType->buildWithMessage(entry.message);
  }
  // The fault code names the fault (a DWORD, 32 bits on every platform).
  return new EExternalException(ResourceId{StringId::ExternalException},
                                {static_cast<std::uint32_t>(fault->ExceptionCode)});
}

[[noreturn]] void AssertionToException(std::string_view message, void* location) {
  std::string text = message.empty() ? ClassedEntry(RuntimeErrorKind::AssertionFailure).message : std::string(message);
  RaiseObject(new EAssertionFailed(std::move(text)), location);
}

[[noreturn]] void AbstractToException(void* location) {
  RaiseObject(new EAbstractError(std::string(AbstractErrorText)), location);
}

}  // namespace

void LoadErrorTexts() {
  for (int index = 0; index < IoErrorTextCount; ++index) {
    IoErrorTexts[index].message = LoadResString(IoErrorTextIds[index]);
  }
  for (int index = 0; index < RuntimeErrorClassCount; ++index) {
    RuntimeErrorClasses[index].classType = ClassedKinds[index].classType;
    RuntimeErrorClasses[index].message = LoadResString(ClassedKinds[index].textId);
  }
}

void ReleaseErrorTexts() {
  for (TErrorRec& entry : IoErrorTexts) {
    entry.message = std::string();
  }
  for (TExceptRec& entry : RuntimeErrorClasses) {
    entry.message = std::string();
  }
}

void InstallExceptionSupport() {
  // Step 1: built now, so that running out of memory later needs none.
  if (OutOfMemoryInstance == nullptr) {
    OutOfMemoryInstance = BuildPreallocated<EOutOfMemory>(StringId::OutOfMemory);
  }
  if (InvalidPointerInstance == nullptr) {
    InvalidPointerInstance = BuildPreallocated<EInvalidPointer>(StringId::InvalidPointer);
  }
  // Step 2: the hooks point into exception support.
  RuntimeErrorHook = RuntimeErrorToException;
  UnhandledExceptionHook = ReportAndExit;
  FaultObjectHook = FaultToException;
  FaultClassHook = FaultToClass;
  ExceptionClass = &Exception::classInfo;
  AssertionHook = AssertionToException;
  AbstractErrorHook = AbstractToException;
}

void RemoveExceptionSupport() {
  // Step 1: the only place where the preallocated instances may go.
  if (OutOfMemoryInstance != nullptr) {
    OutOfMemoryInstance->releaseAllowed = true;
    OutOfMemoryInstance->Release();
    OutOfMemoryInstance = nullptr;
  }
  if (InvalidPointerInstance != nullptr) {
    InvalidPointerInstance->releaseAllowed = true;
    InvalidPointerInstance->Release();
    InvalidPointerInstance = nullptr;
  }
  // Step 2: the hooks are null again.
  RuntimeErrorHook = nullptr;
  UnhandledExceptionHook = nullptr;
  FaultObjectHook = nullptr;
  FaultClassHook = nullptr;
  ExceptionClass = nullptr;
  AssertionHook = nullptr;
  AbstractErrorHook = nullptr;
}

void RuntimeErrorToException(RuntimeErrorKind kind, void* location) {
  TObject* object;
  if (kind == RuntimeErrorKind::OutOfMemory) {
    // Step 1: no new object for these two.
    object = OutOfMemoryInstance;
  } else if (kind == RuntimeErrorKind::InvalidPointer) {
    object = InvalidPointerInstance;
  } else if (IsClassedKind(kind)) {
    // Step 2: the class and message of the kind's entry.
    const TExceptRec& entry = ClassedEntry(kind);
    object = entry.classType->buildWithMessage(entry.message);
  } else {
    // Step 3: an I/O error from the pending code.
    object = BuildIoError();
  }
  // Step 4: raised at the location of the error.
  RaiseObject(object, location);
}

EInOutError* BuildIoError() {
  // Step 1: the code is consumed here.
  const std::int32_t code = TakeIoResult();
  // Steps 2 and 3: the code's own text, or "I/O error" and the code.
  EInOutError* error = NewIoError(code);
  // Step 4: the object carries the code.
  error->errorCode = code;
  return error;
}

void RaiseObject(TObject* object, void* location) {
  // Step 1: nothing to raise ends the process as an access violation would.
  if (object == nullptr) {
    StopWithRuntimeError(AccessViolationCode, location);
  }
  // Step 2: the handlers take the location and the object from the first
  // two parameters.
  const ULONG_PTR parameters[2] = {reinterpret_cast<ULONG_PTR>(location), reinterpret_cast<ULONG_PTR>(object)};
  RaiseExceptionAt(SystemExceptionCode, EXCEPTION_NONCONTINUABLE, 2, parameters, location);
}

TObject* FaultToException(EXCEPTION_RECORD* fault) {
  // Steps 1 to 4: the object of the fault's kind.
  Exception* object = NewFaultObject(ClassifyFault(fault->ExceptionCode), fault);
  // Step 5: an external exception keeps the fault's record.
  if (IsInstanceOf(object, &EExternal::classInfo)) {
    static_cast<EExternal*>(object)->faultRecord = fault;
  }
  return object;
}

const ClassInfo* FaultToClass(EXCEPTION_RECORD* fault) {
  const RuntimeErrorKind kind = ClassifyFault(fault->ExceptionCode);
  if (HasFaultClassFromTable(kind)) {
    return ClassedKinds[KindIndex(kind) - FirstClassedKind].classType;
  }
  return &EExternalException::classInfo;
}

EAccessViolation* BuildAccessViolation(EXCEPTION_RECORD* fault) {
  // Step 1: the kind of access and the address accessed.
  const std::string access =
      LoadResString(fault->ExceptionInformation[0] == 0 ? StringId::ReadAccess : StringId::WriteAccess);
  const void* accessed = reinterpret_cast<const void*>(fault->ExceptionInformation[1]);
  // Step 2: the module that holds the faulting instruction, if any.
  ModuleLocation module;
  if (FindModuleOf(fault->ExceptionAddress, module)) {
    return new EAccessViolation(ResourceId{StringId::AccessViolationInModule},
                                {fault->ExceptionAddress, module.name, access, accessed});
  }
  // Step 3: no module holds it.
  return new EAccessViolation(ResourceId{StringId::AccessViolationNoModule},
                              {fault->ExceptionAddress, access, accessed});
}
