#include "platform/process_api.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

// Bounds of the program's image, placed by the linker.
extern "C" char __executable_start;
extern "C" char _end;

namespace {

constexpr char PlainProgramName[] = "angleconv";
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

// `path` cut to size - 1 characters and a zero byte; returns the length.
DWORD CopyPath(const char* path, LPSTR fileName, DWORD size) {
  const std::size_t length = std::min<std::size_t>(std::strlen(path), size - 1);
  std::memcpy(fileName, path, length);
  fileName[length] = '\0';
  return static_cast<DWORD>(length);
}

// The path of the program where /proc cannot say: the name it was started
// with, or its plain name when it was started without one.
DWORD CopyStartedName(LPSTR fileName, DWORD size) {
  const bool named = StartedName != nullptr && StartedName[0] != '\0';
  return CopyPath(named ? StartedName : PlainProgramName, fileName, size);
}

}  // namespace

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

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName != nullptr) {
    return nullptr;
  }
  return &__executable_start;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  if (module != &__executable_start || size == 0) {
    return 0;
  }
  // The executable's path; without /proc (a chroot or container), the name
  // the program was started with.
  const ssize_t length = readlink("/proc/self/exe", fileName, size - 1);
  if (length <= 0) {
    return CopyStartedName(fileName, size);
  }
  fileName[length] = '\0';
  return static_cast<DWORD>(length);
}

std::size_t VirtualQuery(const void* address, MEMORY_BASIC_INFORMATION* information, std::size_t length) {
  if (length < sizeof *information) {
    return 0;
  }
  std::memset(information, 0, sizeof *information);
  // The image bounds are separate linker symbols: compared as numbers.
  const auto where = reinterpret_cast<std::uintptr_t>(address);
  const auto imageStart = reinterpret_cast<std::uintptr_t>(&__executable_start);
  const auto imageEnd = reinterpret_cast<std::uintptr_t>(&_end);
  if (where >= imageStart && where < imageEnd) {
    information->BaseAddress = &__executable_start;
    information->AllocationBase = &__executable_start;
    information->RegionSize = imageEnd - imageStart;
    information->State = MEM_COMMIT;
  } else {
    information->BaseAddress = const_cast<void*>(address);
    information->State = MEM_FREE;
  }
  return sizeof *information;
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
