// The exception class tree: names, parents, sizes, the class test, the ways
// a message is set, and the release that the heap exceptions refuse.
#include <gtest/gtest.h>

#include <string>

#include "exceptions/errors.h"
#include "exceptions/exception_classes.h"
#include "exceptions/string_table.h"

namespace {

struct TreeRow {
  const ClassInfo* type;
  const char* name;
  const char* parentName;
};

const TreeRow Tree[] = {
    {&TObject::classInfo, "TObject", nullptr},
    {&Exception::classInfo, "Exception", "TObject"},
    {&EHeapException::classInfo, "EHeapException", "Exception"},
    {&EOutOfMemory::classInfo, "EOutOfMemory", "EHeapException"},
    {&EInvalidPointer::classInfo, "EInvalidPointer", "EHeapException"},
    {&EInOutError::classInfo, "EInOutError", "Exception"},
    {&EExternal::classInfo, "EExternal", "Exception"},
    {&EExternalException::classInfo, "EExternalException", "EExternal"},
    {&EIntError::classInfo, "EIntError", "EExternal"},
    {&EDivByZero::classInfo, "EDivByZero", "EIntError"},
    {&ERangeError::classInfo, "ERangeError", "EIntError"},
    {&EIntOverflow::classInfo, "EIntOverflow", "EIntError"},
    {&EMathError::classInfo, "EMathError", "EExternal"},
    {&EInvalidOp::classInfo, "EInvalidOp", "EMathError"},
    {&EZeroDivide::classInfo, "EZeroDivide", "EMathError"},
    {&EOverflow::classInfo, "EOverflow", "EMathError"},
    {&EUnderflow::classInfo, "EUnderflow", "EMathError"},
    {&EAccessViolation::classInfo, "EAccessViolation", "EExternal"},
    {&EPrivilege::classInfo, "EPrivilege", "EExternal"},
    {&EStackOverflow::classInfo, "EStackOverflow", "EExternal"},
    {&EControlC::classInfo, "EControlC", "EExternal"},
    {&EInvalidCast::classInfo, "EInvalidCast", "Exception"},
    {&EConvertError::classInfo, "EConvertError", "Exception"},
    {&EVariantError::classInfo, "EVariantError", "Exception"},
    {&EAssertionFailed::classInfo, "EAssertionFailed", "Exception"},
    {&EAbstractError::classInfo, "EAbstractError", "Exception"},
    {&EIntfCastError::classInfo, "EIntfCastError", "Exception"},
    {&ESafecallException::classInfo, "ESafecallException", "Exception"},
};

TEST(ClassTree, EveryClassNamesItselfAndItsParent) {
  for (const TreeRow& row : Tree) {
    SCOPED_TRACE(row.name);
    EXPECT_STREQ(row.type->name, row.name);
    if (row.parentName == nullptr) {
      EXPECT_EQ(row.type->parent, nullptr);
    } else {
      ASSERT_NE(row.type->parent, nullptr);
      EXPECT_STREQ(row.type->parent->name, row.parentName);
    }
    // The builder makes an instance of exactly this class.
    if (row.type->parent != nullptr) {
      EXPECT_GE(row.type->instanceSize, row.type->parent->instanceSize);
    }
    if (row.type->buildWithMessage != nullptr) {
      Exception* built = row.type->buildWithMessage("text");
      EXPECT_EQ(built->ClassType(), row.type);
      EXPECT_TRUE(IsInstanceOf(built, &Exception::classInfo));
      EXPECT_EQ(built->message, "text");
      EXPECT_EQ(built->unusedContext, 0);
      EHeapException* heap = dynamic_cast<EHeapException*>(built);
      if (heap != nullptr) {
        heap->releaseAllowed = true;
      }
      built->Release();
    }
  }
}

TEST(ExceptionMessage, IsSetInEachOfTheFourWays) {
  const struct {
    Exception* built;
    const char* message;
  } rows[] = {
      {new Exception("given text"), "given text"},
      {new Exception("code %d of %s", {-7, "x"}), "code -7 of x"},
      {new Exception(ResourceId{StringId::InvalidInput}), "Invalid numeric input"},
      {new Exception(ResourceId{StringId::IoErrorNumber}, {105}), "I/O error 105"},
      {new Exception(ResourceId{1}), ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.built->message, row.message);
    row.built->Release();
  }
}

TEST(HeapException, IsFreedOnlyOnceItsReleaseIsAllowed) {
  auto* instance = new EOutOfMemory("Out of memory");
  EXPECT_FALSE(instance->releaseAllowed);
  instance->Release();
  instance->Release();
  // Still alive: the sanitizer build would report a use after free here.
  EXPECT_EQ(instance->message, "Out of memory");
  instance->releaseAllowed = true;
  instance->Release();
}

}  // namespace
