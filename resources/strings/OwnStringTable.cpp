#include "OwnStringTable.h"

namespace qz::strings {

extern const StringTable kOwnStrings; // generated from it.txt

const StringTable& OwnStringTable()
{
    return kOwnStrings;
}

std::int32_t LoadOwnStringW(std::uint32_t id, char16_t* buffer, std::int32_t bufferChars)
{
    return CopyString(kOwnStrings, id, buffer, bufferChars);
}

std::int32_t LoadOwnStringA(std::uint32_t id, char* buffer, std::int32_t bufferChars)
{
    return CopyString(kOwnStrings, id, buffer, bufferChars);
}

} // namespace qz::strings
