// The program as Windows starts it for a parent that hands it no standard
// handle of one kind: the handle is null. Where a POSIX program finds a
// closed descriptor, whose GetStdHandle fails (104 for input), a Windows
// program takes the null handle, and its first read fails with
// ERROR_INVALID_HANDLE (6); a null output handle is of no file type (105).
#include <gtest/gtest.h>

#include <string>

#include "platform/windows_types.h"

namespace {

// The program beside the folder of this test program.
std::string ProgramPath() {
  char path[MAX_PATH];
  const std::string self(path, GetModuleFileNameA(nullptr, path, sizeof path));
  const std::string folder = self.substr(0, self.rfind('\\'));
  return folder.substr(0, folder.rfind('\\')) + "\\angleconv.exe";
}

std::string ReadAll(HANDLE pipe) {
  std::string bytes;
  char buffer[4096];
  DWORD count = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &count, nullptr) && count > 0) {
    bytes.append(buffer, count);
  }
  CloseHandle(pipe);
  return bytes;
}

// One end of a pipe for the program (inherited), the other for this test.
struct Pipe {
  Pipe() {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    CreatePipe(&read, &write, &inherited, 0);
  }
  HANDLE read = nullptr;
  HANDLE write = nullptr;
};

struct ProgramRun {
  std::string output;
  std::string error;
  DWORD exitCode = 0;
};

enum class Missing { Input, Output, Error };

ProgramRun RunWithout(Missing missing, const std::string& input) {
  Pipe in, out, err;
  SetHandleInformation(in.write, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(out.read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err.read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = missing == Missing::Input ? nullptr : in.read;
  startup.hStdOutput = missing == Missing::Output ? nullptr : out.write;
  startup.hStdError = missing == Missing::Error ? nullptr : err.write;
  std::string commandLine = "\"" + ProgramPath() + "\"";
  PROCESS_INFORMATION process{};
  ProgramRun run;
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "CreateProcessA failed with " << GetLastError() << " for " << commandLine;
    return run;
  }
  for (HANDLE programEnd : {in.read, out.write, err.write}) CloseHandle(programEnd);
  DWORD written = 0;
  WriteFile(in.write, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
  CloseHandle(in.write);
  run.output = ReadAll(out.read);
  run.error = ReadAll(err.read);
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return run;
}

// The report's first line up to its address, and the rest.
std::string WithoutAddress(const std::string& report) {
  const std::size_t at = report.find(" at ");
  return at == std::string::npos ? report : report.substr(0, at) + report.substr(report.find('.', at));
}

TEST(MissingHandles, EachEndsTheRunAsOnWindows) {
  const std::string prompt = "Enter the original unit of angle (rad/g/d)\r\n";
  const struct {
    Missing missing;
    std::string output;
    std::string error;
    DWORD exitCode;
  } rows[] = {
      {Missing::Input, prompt, "Exception EInOutError in module angleconv.exe.\r\nI/O error 6.\r\n\r\n", 1},
      {Missing::Output, "", "Exception EInOutError in module angleconv.exe.\r\nI/O error 105.\r\n\r\n", 1},
      {Missing::Error, "", "", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.missing));
    const ProgramRun run = RunWithout(row.missing, "rad\n1\nd\n\n");
    EXPECT_EQ(run.exitCode, row.exitCode);
    EXPECT_EQ(WithoutAddress(run.error), row.error);
    if (row.missing == Missing::Error) {
      EXPECT_NE(run.output.find("57.2958d= 57degrees 17minutes 45second \r\n"), std::string::npos);
    } else {
      EXPECT_EQ(run.output, row.output);
    }
  }
}

}  // namespace
