#include "exceptions/string_table.h"

#include <cstring>

#include "platform/user_api.h"

namespace {

// Sorted by id: LoadStringA searches it by halves.
constexpr STRING_RESOURCE ProgramStringResources[] = {
#define STRING_RESOURCE_ENTRY(name, id, text) {StringId::name, (text)},
    STRING_TEXTS(STRING_RESOURCE_ENTRY)
#undef STRING_RESOURCE_ENTRY
};
constexpr UINT ProgramStringResourceCount = sizeof ProgramStringResources / sizeof ProgramStringResources[0];

// The table is the program's resources from the first lookup on.
int LookUp(UINT id, char* buffer, int size) {
  static const bool attached = [] {
    AttachStringResources(ProgramStringResources, ProgramStringResourceCount);
    return true;
  }();
  (void)attached;
  return LoadStringA(nullptr, id, buffer, size);
}

}  // namespace

std::string LoadResString(UINT id) {
  // Every text of the table fits; a longer one would be cut here.
  char buffer[1024];
  const int length = LookUp(id, buffer, sizeof buffer);
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::size_t LoadResString(UINT id, char* buffer, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  return static_cast<std::size_t>(LookUp(id, buffer, static_cast<int>(size)));
}
