#pragma once
// The exports of the language library "Languages.dll" (libLanguages.so on
// Linux). Plain C++, shared by the translator and the library itself.
//
// String n of language i is the library's string number n + i x strings per
// language. In every language string 0 is the language's name, string 1 its
// character-set number and string 2 its code page, both in decimal.
#include <cstdint>

extern "C" {

// "_MaxLanguages": fills *count with the number of languages.
using MaxLanguagesFn = std::int32_t (*)(std::int8_t* count);
// "_MaxStrings": fills *count with the string numbers reserved per language.
using MaxStringsFn = std::int32_t (*)(std::int32_t* count);
// "_LoadStringW": copies string `id` into buffer as 16-bit text, at most
// bufferChars - 1 characters and a terminating 0, and returns the number of
// characters copied; 0 when the string is absent or empty, or when
// bufferChars is below 1.
using LoadStringWFn = std::int32_t (*)(std::uint32_t id, char16_t* buffer, std::int32_t bufferChars);
// "_LoadStringA": the same as 8-bit text in the library's code page.
using LoadStringAFn = std::int32_t (*)(std::uint32_t id, char* buffer, std::int32_t bufferChars);

} // extern "C"

namespace langlib {
inline constexpr const char* kMaxLanguagesExport = "_MaxLanguages";
inline constexpr const char* kMaxStringsExport = "_MaxStrings";
inline constexpr const char* kLoadStringWExport = "_LoadStringW";
inline constexpr const char* kLoadStringAExport = "_LoadStringA";
} // namespace langlib
