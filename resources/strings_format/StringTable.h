#pragma once
// A compiled-in string table, as tools/stringgen writes it: entries sorted by
// id, each a run of 16-bit characters in one shared text array. Header-only,
// so that the language library can use it without the program's code.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qz::strings {

struct StringEntry {
    std::uint32_t id;
    std::uint32_t offset;
    std::uint32_t length;
};

struct StringTable {
    const StringEntry* entries;
    std::size_t count;
    const char16_t* text;
};

// The text of `id`; empty when the table has none.
inline std::u16string_view Find(const StringTable& table, std::uint32_t id)
{
    const StringEntry* end = table.entries + table.count;
    const StringEntry* e = std::lower_bound(table.entries, end, id,
        [](const StringEntry& a, std::uint32_t b) { return a.id < b; });
    if (e == end || e->id != id)
        return {};
    return {table.text + e->offset, e->length};
}

// Windows-1252 for the characters 0x80-0x9f; the rest of the range is
// Latin-1.
inline constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

inline char16_t Cp1252ToUnicode(unsigned char c)
{
    return (c >= 0x80 && c < 0xA0) ? kCp1252High[c - 0x80] : char16_t(c);
}

// '?' for a character that Windows-1252 lacks.
inline char UnicodeToCp1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u < 0x100))
        return static_cast<char>(u);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == u)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

// The semantics of a resource string loader: copies at most bufferChars - 1
// characters and a terminating 0, returns the number copied; 0 when the
// string is absent or the buffer has no room.
inline std::int32_t CopyString(const StringTable& table, std::uint32_t id, char16_t* buffer,
                               std::int32_t bufferChars)
{
    if (!buffer || bufferChars < 1)
        return 0;
    const std::u16string_view s = Find(table, id);
    const std::size_t n = std::min<std::size_t>(s.size(), static_cast<std::size_t>(bufferChars - 1));
    std::copy_n(s.data(), n, buffer);
    buffer[n] = 0;
    return static_cast<std::int32_t>(n);
}

// The same as 8-bit text in Windows-1252.
inline std::int32_t CopyString(const StringTable& table, std::uint32_t id, char* buffer,
                               std::int32_t bufferChars)
{
    if (!buffer || bufferChars < 1)
        return 0;
    const std::u16string_view s = Find(table, id);
    const std::size_t n = std::min<std::size_t>(s.size(), static_cast<std::size_t>(bufferChars - 1));
    for (std::size_t i = 0; i < n; ++i)
        buffer[i] = UnicodeToCp1252(s[i]);
    buffer[n] = 0;
    return static_cast<std::int32_t>(n);
}

} // namespace qz::strings
