// user32 calls under their Windows names: string-table texts, the
// conversion of the error report to the console's code page, and the
// message box of a program without a console. On Windows they are the
// system's calls, and the string table is the program's resource.
#pragma once

#include "platform/windows_types.h"

// One entry of a module's string table.
struct STRING_RESOURCE {
  UINT id;
  LPCSTR text;
};

// Gives the program module its string table, sorted by id, as a loader
// maps an image's resources: until then LoadStringA finds no text. On
// Windows the loader has mapped the same table from the program's
// resources, and this does nothing.
void AttachStringResources(const STRING_RESOURCE* table, UINT count);

#ifndef _WIN32
using HWND = void*;

inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_ICONERROR = 0x0010;
inline constexpr UINT MB_TASKMODAL = 0x2000;

// Copies the string-table text `id` of `instance` into `buffer`: at most
// size - 1 characters and a zero byte. Returns the number of characters
// copied, 0 when the module has no text of that id (buffer[0] is then 0).
// The program is the only module: every instance names its table.
//   LoadStringA(nullptr, 65521, buffer, 256) -> 12, "I/O error %d"
//   LoadStringA(nullptr, 65521, buffer, 4)   -> 3,  "I/O"
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);

// ANSI to OEM code page. Both are the same 8-bit bytes here: the identity.
// Converting in place (source == destination) is allowed.
BOOL CharToOemA(LPCSTR source, LPSTR destination);

// There is no desktop here: the caption and the text go to the standard
// error handle as one line. Answers IDOK (1).
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
#endif
