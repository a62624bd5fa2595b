// Exception support installed around each test, as the utilities unit's
// start and finish routines do it for the program.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/lifecycle.h"
#include "core/memory.h"
#include "exceptions/errors.h"
#include "exceptions/exception_classes.h"
#include "platform/exception_api.h"
#include "platform/process_api.h"

// The file name of this test program, as the reports name its module.
#ifdef _WIN32
inline const std::string ThisModule = "exceptions_tests.exe";
#else
inline const std::string ThisModule = "exceptions_tests";
#endif

class WithExceptionSupport : public ::testing::Test {
 protected:
  void SetUp() override {
    ProgramInstance = GetModuleHandleA(nullptr);
    InstallAllocationFailureHandler();
    LoadErrorTexts();
    InstallExceptionSupport();
  }
  void TearDown() override {
    RemoveExceptionSupport();
    ReleaseErrorTexts();
  }
};

// Runs `raise`, which must raise one of the system's own exceptions, and
// returns its record.
template <typename Raise>
EXCEPTION_RECORD CatchRaised(Raise raise) {
  try {
    raise();
  } catch (const StructuredException& raised) {
    return raised.record;
  }
  ADD_FAILURE() << "nothing was raised";
  return EXCEPTION_RECORD{};
}

// A fault record as the arithmetic or the processor reports it.
inline EXCEPTION_RECORD FaultRecord(DWORD code, void* address, ULONG_PTR access = 0, ULONG_PTR accessed = 0) {
  EXCEPTION_RECORD record{};
  record.ExceptionCode = code;
  record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
  record.ExceptionAddress = address;
  record.NumberParameters = 2;
  record.ExceptionInformation[0] = access;
  record.ExceptionInformation[1] = accessed;
  return record;
}
