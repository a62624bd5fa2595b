#include "exceptions/exception_classes.h"

#include "exceptions/string_table.h"

namespace {

template <typename Class>
Exception* Build(std::string message) {
  return new Class(std::move(message));
}

}  // namespace

// clang-format off
// The parent is the one each class names in its declaration.
#define ANGLECONV_CLASS_INFO(Name) \
  constinit const ClassInfo Name::classInfo{#Name, &Name::Parent::classInfo, sizeof(Name), &Build<Name>}
// clang-format on

constinit const ClassInfo TObject::classInfo{"TObject", nullptr, sizeof(TObject), nullptr};
ANGLECONV_CLASS_INFO(Exception);
ANGLECONV_CLASS_INFO(EHeapException);
ANGLECONV_CLASS_INFO(EOutOfMemory);
ANGLECONV_CLASS_INFO(EInvalidPointer);
ANGLECONV_CLASS_INFO(EInOutError);
ANGLECONV_CLASS_INFO(EExternal);
ANGLECONV_CLASS_INFO(EExternalException);
ANGLECONV_CLASS_INFO(EIntError);
ANGLECONV_CLASS_INFO(EDivByZero);
ANGLECONV_CLASS_INFO(ERangeError);
ANGLECONV_CLASS_INFO(EIntOverflow);
ANGLECONV_CLASS_INFO(EMathError);
ANGLECONV_CLASS_INFO(EInvalidOp);
ANGLECONV_CLASS_INFO(EZeroDivide);
ANGLECONV_CLASS_INFO(EOverflow);
ANGLECONV_CLASS_INFO(EUnderflow);
ANGLECONV_CLASS_INFO(EAccessViolation);
ANGLECONV_CLASS_INFO(EPrivilege);
ANGLECONV_CLASS_INFO(EStackOverflow);
ANGLECONV_CLASS_INFO(EControlC);
ANGLECONV_CLASS_INFO(EInvalidCast);
ANGLECONV_CLASS_INFO(EConvertError);
ANGLECONV_CLASS_INFO(EVariantError);
ANGLECONV_CLASS_INFO(EAssertionFailed);
ANGLECONV_CLASS_INFO(EAbstractError);
ANGLECONV_CLASS_INFO(EIntfCastError);
ANGLECONV_CLASS_INFO(ESafecallException);

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
