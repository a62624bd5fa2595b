#include "platform/user_api.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/file_api.h"

namespace {
constexpr int IDOK = 1;

const STRING_RESOURCE* StringTable = nullptr;
UINT StringTableCount = 0;
}  // namespace

void AttachStringResources(const STRING_RESOURCE* table, UINT count) {
  StringTable = table;
  StringTableCount = count;
}

int LoadStringA(HINSTANCE /*instance*/, UINT id, LPSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) {
    return 0;
  }
  const STRING_RESOURCE* end = StringTable + StringTableCount;
  const STRING_RESOURCE* entry =
      std::lower_bound(StringTable, end, id, [](const STRING_RESOURCE& e, UINT key) { return e.id < key; });
  if (entry == end || entry->id != id) {
    buffer[0] = '\0';
    return 0;
  }
  const std::size_t length = std::min(std::strlen(entry->text), static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, entry->text, length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

BOOL CharToOemA(LPCSTR source, LPSTR destination) {
  if (source == nullptr || destination == nullptr) {
    return FALSE;
  }
  if (source != destination) {
    std::memmove(destination, source, std::strlen(source) + 1);
  }
  return TRUE;
}

int MessageBoxA(HWND /*owner*/, LPCSTR text, LPCSTR caption, UINT /*type*/) {
  const HANDLE errorHandle = GetStdHandle(STD_ERROR_HANDLE);
  DWORD written = 0;
  const char* const pieces[] = {caption != nullptr ? caption : "", ": ", text != nullptr ? text : "", "\r\n"};
  for (const char* piece : pieces) {
    WriteFile(errorHandle, piece, static_cast<DWORD>(std::strlen(piece)), &written, nullptr);
  }
  return IDOK;
}
