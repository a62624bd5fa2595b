// Process and module services under their Windows names. The program is one
// executable at a fixed address; its image is the one module there is. On
// Windows they are the system's calls.
#pragma once

#include <cstddef>

#include "platform/windows_types.h"

// What separates the folders of a module path from the module's file name.
#ifdef _WIN32
inline constexpr char ModulePathSeparator = '\\';
#else
inline constexpr char ModulePathSeparator = '/';
#endif

// Hands the arguments of main to the platform before anything else runs.
// On Windows the loader has prepared the command line, and this does
// nothing. On POSIX it builds the command line in the platform's form: an
// argument that is empty or holds a blank, a tab or a quote is written in
// quotes, as the platform's argument parser expects:
//   {"angleconv", "--help"}        -> angleconv --help
//   {"/opt/my apps/angleconv", ""} -> "/opt/my apps/angleconv" ""
//   {"angleconv", "say \"hi\""}     -> angleconv "say \"hi\""
void SetCommandLineFromArguments(int count, char** arguments);

#ifndef _WIN32
inline constexpr DWORD MEM_COMMIT = 0x1000;
inline constexpr DWORD MEM_FREE = 0x10000;

struct MEMORY_BASIC_INFORMATION {
  void* BaseAddress;
  void* AllocationBase;
  DWORD AllocationProtect;
  std::size_t RegionSize;
  DWORD State;
  DWORD Protect;
  DWORD Type;
};

struct STARTUPINFOA {
  DWORD cb;
  DWORD dwFlags;
  WORD wShowWindow;
};

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  char szCSDVersion[128];
};

// A null name gives the program's own module: the base of its image.
HMODULE GetModuleHandleA(LPCSTR moduleName);

// The path of the module whose image starts at `module` (the program: its
// executable, or where /proc is missing the name it was started with);
// 0 when `module` is not a module base. The path is cut to size - 1
// characters and always ends with a zero byte.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

// The region that holds `address`: committed, with the module base as its
// allocation base, when the address lies in the program's image; free
// otherwise. Returns the size of the record filled.
std::size_t VirtualQuery(const void* address, MEMORY_BASIC_INFORMATION* information, std::size_t length);

[[noreturn]] void ExitProcess(UINT exitCode);

// The command line in the platform's form (program name, then the
// arguments, each after one blank); "angleconv" until main has handed
// over the arguments.
LPSTR GetCommandLineA();
void GetStartupInfoA(STARTUPINFOA* information);
DWORD GetVersion();
BOOL GetVersionExA(OSVERSIONINFOA* information);
DWORD GetThreadLocale();
DWORD GetCurrentThreadId();
BOOL FreeLibrary(HMODULE module);

// What a POSIX parent sees of a Windows exit code: its low eight bits,
// except that a non-zero code is never turned into success (255 instead).
int PosixExitStatus(UINT exitCode);
#endif
