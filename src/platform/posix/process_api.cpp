#include "platform/process_api.h"

#include "platform/posix/started_name.h"

#include <unistd.h>

#include <cstring>

namespace {

// The name the program was started with (argv[0]), once main has given it.
const char* StartedName = nullptr;

// The platform's limit for a command line, terminating zero included.
constexpr std::size_t CommandLineCapacity = 32768;
char CommandLine[CommandLineCapacity] = "angleconv";
std::size_t CommandLineLength = 0;

void Append(char c) {
  if (CommandLineLength + 1 < CommandLineCapacity) {
    CommandLine[CommandLineLength++] = c;
  }
}

void AppendRepeated(char c, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    Append(c);
  }
}

// One argument as the platform's parser reads it back: in quotes when it is
// empty or holds a blank, tab or quote; inside them a quote becomes \" and
// the backslashes before a quote (or before the closing one) are doubled.
void AppendArgument(const char* argument) {
  if (argument[0] != '\0' && std::strpbrk(argument, " \t\"") == nullptr) {
    for (const char* c = argument; *c != '\0'; ++c) {
      Append(*c);
    }
    return;
  }
  Append('"');
  std::size_t backslashes = 0;
  for (const char* c = argument; *c != '\0'; ++c) {
    if (*c == '\\') {
      ++backslashes;
      continue;
    }
    AppendRepeated('\\', *c == '"' ? 2 * backslashes + 1 : backslashes);
    Append(*c);
    backslashes = 0;
  }
  AppendRepeated('\\', 2 * backslashes);
  Append('"');
}

}  // namespace

const char* StartedProgramName() { return StartedName; }

void SetCommandLineFromArguments(int count, char** arguments) {
  CommandLineLength = 0;
  StartedName = count > 0 ? arguments[0] : nullptr;
  if (count > 0 && arguments[0] != nullptr) {
    // The program name is quoted when it holds a blank or a tab; a quote
    // cannot stand in it and is left out.
    const bool quoted = std::strpbrk(arguments[0], " \t") != nullptr;
    if (quoted) {
      Append('"');
    }
    for (const char* c = arguments[0]; *c != '\0'; ++c) {
      if (*c != '"') {
        Append(*c);
      }
    }
    if (quoted) {
      Append('"');
    }
  }
  for (int i = 1; i < count; ++i) {
    Append(' ');
    AppendArgument(arguments[i]);
  }
  CommandLine[CommandLineLength] = '\0';
}

int PosixExitStatus(UINT exitCode) {
  const int lowBits = static_cast<int>(exitCode & 0xFF);
  return (lowBits == 0 && exitCode != 0) ? 255 : lowBits;
}

LPSTR GetCommandLineA() { return CommandLine; }

void GetStartupInfoA(STARTUPINFOA* information) {
  std::memset(information, 0, sizeof *information);
  information->cb = sizeof *information;
}

DWORD GetVersion() { return 0; }

BOOL GetVersionExA(OSVERSIONINFOA* information) {
  const DWORD size = information->dwOSVersionInfoSize;
  std::memset(information, 0, sizeof *information);
  information->dwOSVersionInfoSize = size;
  return TRUE;
}

DWORD GetThreadLocale() { return 0x0409; }

DWORD GetCurrentThreadId() { return static_cast<DWORD>(getpid()); }

BOOL FreeLibrary(HMODULE /*module*/) { return TRUE; }
