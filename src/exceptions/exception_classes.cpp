#include "exceptions/exception_classes.h"

#include "exceptions/string_table.h"

namespace {

template <typename Class>
Exception* Build(std::string message) {
  return new Class(std::move(message));
}

}  // namespace

// clang-format off
#define ANGLECONV_CLASS_INFO(Name, Parent) \
  constinit const ClassInfo Name::classInfo{#Name, &Parent::classInfo, sizeof(Name), &Build<Name>}
// clang-format on

constinit const ClassInfo TObject::classInfo{"TObject", nullptr, sizeof(TObject), nullptr};
ANGLECONV_CLASS_INFO(Exception, TObject);
ANGLECONV_CLASS_INFO(EHeapException, Exception);
ANGLECONV_CLASS_INFO(EOutOfMemory, EHeapException);
ANGLECONV_CLASS_INFO(EInvalidPointer, EHeapException);
ANGLECONV_CLASS_INFO(EInOutError, Exception);
ANGLECONV_CLASS_INFO(EExternal, Exception);
ANGLECONV_CLASS_INFO(EExternalException, EExternal);
ANGLECONV_CLASS_INFO(EIntError, EExternal);
ANGLECONV_CLASS_INFO(EDivByZero, EIntError);
ANGLECONV_CLASS_INFO(ERangeError, EIntError);
ANGLECONV_CLASS_INFO(EIntOverflow, EIntError);
ANGLECONV_CLASS_INFO(EMathError, EExternal);
ANGLECONV_CLASS_INFO(EInvalidOp, EMathError);
ANGLECONV_CLASS_INFO(EZeroDivide, EMathError);
ANGLECONV_CLASS_INFO(EOverflow, EMathError);
ANGLECONV_CLASS_INFO(EUnderflow, EMathError);
ANGLECONV_CLASS_INFO(EAccessViolation, EExternal);
ANGLECONV_CLASS_INFO(EPrivilege, EExternal);
ANGLECONV_CLASS_INFO(EStackOverflow, EExternal);
ANGLECONV_CLASS_INFO(EControlC, EExternal);
ANGLECONV_CLASS_INFO(EInvalidCast, Exception);
ANGLECONV_CLASS_INFO(EConvertError, Exception);
ANGLECONV_CLASS_INFO(EVariantError, Exception);
ANGLECONV_CLASS_INFO(EAssertionFailed, Exception);
ANGLECONV_CLASS_INFO(EAbstractError, Exception);
ANGLECONV_CLASS_INFO(EIntfCastError, Exception);
ANGLECONV_CLASS_INFO(ESafecallException, Exception);

#undef ANGLECONV_CLASS_INFO

bool InheritsFrom(const ClassInfo* type, const ClassInfo* ancestor) {
  for (; type != nullptr; type = type->parent) {
    if (type == ancestor) {
      return true;
    }
  }
  return false;
}

bool IsInstanceOf(const TObject* object, const ClassInfo* type) {
  return object != nullptr && InheritsFrom(object->ClassType(), type);
}

Exception::Exception(ResourceId id) : message(LoadResString(id.id)) {}

Exception::Exception(ResourceId id, std::initializer_list<FormatArg> args)
    : message(FormatToString(LoadResString(id.id), args)) {}

void EHeapException::Release() {
  if (releaseAllowed) {
    delete this;
  }
}
