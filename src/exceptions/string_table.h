// The program's string table: the message texts of the run-time layer,
// ids 65488 to 65535, looked up by id through LoadStringA.
#pragma once

#include <cstddef>
#include <string>

#include "exceptions/string_texts.h"
#include "platform/windows_types.h"

namespace StringId {
#define STRING_ID(name, id, text) inline constexpr UINT name = (id);
STRING_TEXTS(STRING_ID)
#undef STRING_ID
}  // namespace StringId

// String `id` of the program's table as a string of any length; empty when
// there is none.
std::string LoadResString(UINT id);

// String `id` into a buffer of `size` bytes, cut to size - 1 characters and
// ending with a zero byte; returns its length.
std::size_t LoadResString(UINT id, char* buffer, std::size_t size);
