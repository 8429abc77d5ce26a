// The language library: Italian (language 0) and English (language 1), 1000
// string numbers per language, generated from resources/strings/it.txt and
// en.txt.
#include "complib/language/LanguageLibrary.h"
#include "resources/strings_format/StringTable.h"

namespace qz::strings {
extern const StringTable kLanguageStrings; // generated
}

namespace {
constexpr std::int8_t kLanguages = 2;
constexpr std::int32_t kStringsPerLanguage = 1000;
} // namespace

#if defined(_WIN32)
#define QZ_EXPORT __declspec(dllexport)
#else
#define QZ_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

QZ_EXPORT std::int32_t _MaxLanguages(std::int8_t* count)
{
    if (!count)
        return 0;
    *count = kLanguages;
    return 1;
}

QZ_EXPORT std::int32_t _MaxStrings(std::int32_t* count)
{
    if (!count)
        return 0;
    *count = kStringsPerLanguage;
    return 1;
}

QZ_EXPORT std::int32_t _LoadStringW(std::uint32_t id, char16_t* buffer, std::int32_t bufferChars)
{
    return qz::strings::CopyString(qz::strings::kLanguageStrings, id, buffer, bufferChars);
}

QZ_EXPORT std::int32_t _LoadStringA(std::uint32_t id, char* buffer, std::int32_t bufferChars)
{
    return qz::strings::CopyString(qz::strings::kLanguageStrings, id, buffer, bufferChars);
}

} // extern "C"
