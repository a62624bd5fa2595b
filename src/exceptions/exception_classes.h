// The exception class tree, rooted at TObject and Exception. Each class
// carries a ClassInfo: its name as text, its parent and its instance size,
// so that a report can name the class and a handler can select by class:
//   InheritsFrom(&EOverflow::classInfo, &EMathError::classInfo)  -> true
//   InheritsFrom(&EOverflow::classInfo, &EInOutError::classInfo) -> false
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "core/format.h"
#include "platform/exception_api.h"

class TObject;
class Exception;

struct ClassInfo {
  const char* name;
  const ClassInfo* parent;  // null for TObject
  std::size_t instanceSize;
  // Builds an instance of the class with `message` as its message; null for
  // classes outside the Exception branch.
  Exception* (*buildWithMessage)(std::string message);
};

// True when `type` is `ancestor` or descends from it.
bool InheritsFrom(const ClassInfo* type, const ClassInfo* ancestor);

// True when `object` is an instance of `type` or of a descendant.
bool IsInstanceOf(const TObject* object, const ClassInfo* type);

// The root. An instance holds only the reference to its class.
class TObject {
 public:
  static const ClassInfo classInfo;
  virtual const ClassInfo* ClassType() const { return &classInfo; }

  // Ends the life of a heap instance. Always go through here, never delete:
  // a class may refuse (the heap exceptions do, until allowed).
  virtual void Release() { delete this; }

 protected:
  virtual ~TObject() = default;
};

// Selects the string-table entry of a message: Exception(ResourceId{65528}).
struct ResourceId {
  UINT id;
};

// What every class below TObject declares: its parent, the parent's
// constructors, and its own class record.
// NOLINTBEGIN(bugprone-macro-parentheses): the arguments name classes.
#define ANGLECONV_CLASS_IDENTITY(ParentClass)                        \
 public:                                                             \
  using Parent = ParentClass;                                        \
  using Parent::Parent;                                              \
  const ClassInfo* ClassType() const override { return &classInfo; } \
  static const ClassInfo classInfo

class Exception : public TObject {
  ANGLECONV_CLASS_IDENTITY(TObject);

  // The four ways a message is set, once, when the instance is built:
  explicit Exception(std::string text) : message(std::move(text)) {}
  Exception(std::string_view format, std::initializer_list<FormatArg> args) : message(FormatToString(format, args)) {}
  explicit Exception(ResourceId id);
  Exception(ResourceId id, std::initializer_list<FormatArg> args);

  std::string message;
  // Nothing in this system sets or reads it.
  std::int32_t unusedContext = 0;
};

class EHeapException : public Exception {
  ANGLECONV_CLASS_IDENTITY(Exception);

  // Frees the instance only once `releaseAllowed` is true, so that the
  // preallocated instances survive every handler that releases what it caught.
  void Release() override;

  bool releaseAllowed = false;
};

class EInOutError : public Exception {
  ANGLECONV_CLASS_IDENTITY(Exception);

  std::int32_t errorCode = 0;
};

class EExternal : public Exception {
  ANGLECONV_CLASS_IDENTITY(Exception);

  // The platform's record of the fault; valid only while it is handled.
  EXCEPTION_RECORD* faultRecord = nullptr;
};

// A class that adds nothing to its parent but its identity.
#define ANGLECONV_EXCEPTION_CLASS(Name, ParentClass) \
  class Name : public ParentClass {                  \
    ANGLECONV_CLASS_IDENTITY(ParentClass);           \
  }

ANGLECONV_EXCEPTION_CLASS(EOutOfMemory, EHeapException);
ANGLECONV_EXCEPTION_CLASS(EInvalidPointer, EHeapException);
ANGLECONV_EXCEPTION_CLASS(EExternalException, EExternal);
ANGLECONV_EXCEPTION_CLASS(EIntError, EExternal);
ANGLECONV_EXCEPTION_CLASS(EDivByZero, EIntError);
ANGLECONV_EXCEPTION_CLASS(ERangeError, EIntError);
ANGLECONV_EXCEPTION_CLASS(EIntOverflow, EIntError);
ANGLECONV_EXCEPTION_CLASS(EMathError, EExternal);
ANGLECONV_EXCEPTION_CLASS(EInvalidOp, EMathError);
ANGLECONV_EXCEPTION_CLASS(EZeroDivide, EMathError);
ANGLECONV_EXCEPTION_CLASS(EOverflow, EMathError);
ANGLECONV_EXCEPTION_CLASS(EUnderflow, EMathError);
ANGLECONV_EXCEPTION_CLASS(EAccessViolation, EExternal);
ANGLECONV_EXCEPTION_CLASS(EPrivilege, EExternal);
ANGLECONV_EXCEPTION_CLASS(EStackOverflow, EExternal);
ANGLECONV_EXCEPTION_CLASS(EControlC, EExternal);
ANGLECONV_EXCEPTION_CLASS(EInvalidCast, Exception);
ANGLECONV_EXCEPTION_CLASS(EConvertError, Exception);
ANGLECONV_EXCEPTION_CLASS(EVariantError, Exception);
ANGLECONV_EXCEPTION_CLASS(EAssertionFailed, Exception);
ANGLECONV_EXCEPTION_CLASS(EAbstractError, Exception);
ANGLECONV_EXCEPTION_CLASS(EIntfCastError, Exception);
ANGLECONV_EXCEPTION_CLASS(ESafecallException, Exception);

#undef ANGLECONV_EXCEPTION_CLASS
#undef ANGLECONV_CLASS_IDENTITY
// NOLINTEND(bugprone-macro-parentheses)
