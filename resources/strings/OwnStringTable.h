#pragma once
// The program's own string table: the Italian text of every string number,
// compiled in from it.txt. The translator reads it when no language library
// is loaded.
#include "resources/strings_format/StringTable.h"

namespace qz::strings {

const StringTable& OwnStringTable();

// Resource-string loaders over the own table (see CopyString).
std::int32_t LoadOwnStringW(std::uint32_t id, char16_t* buffer, std::int32_t bufferChars);
std::int32_t LoadOwnStringA(std::uint32_t id, char* buffer, std::int32_t bufferChars);

} // namespace qz::strings
