#include "Translator.h"

#include "plat/Services.h"
#include "plat/SettingsStore.h"
#include "resources/strings/OwnStringTable.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace {

constexpr int kBufferChars = TTranslator::kMaxStringLength + 1;

// The code pages a Windows system can have installed (IsValidCodePage).
constexpr std::array kValidCodePages = {
    37, 437, 500, 708, 720, 737, 775, 850, 852, 855, 857, 858, 860, 861, 862, 863, 864, 865,
    866, 869, 870, 874, 875, 932, 936, 949, 950, 1026, 1047, 1140, 1141, 1142, 1143, 1144,
    1145, 1146, 1147, 1148, 1149, 1200, 1201, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257,
    1258, 1361, 10000, 10001, 10002, 10003, 10004, 10005, 10006, 10007, 10008, 10010, 10017,
    10021, 10029, 10079, 10081, 10082, 12000, 12001, 20000, 20001, 20002, 20003, 20004, 20005,
    20105, 20106, 20107, 20108, 20127, 20261, 20269, 20273, 20277, 20278, 20280, 20284, 20285,
    20290, 20297, 20420, 20423, 20424, 20833, 20838, 20866, 20871, 20880, 20905, 20924, 20932,
    20936, 20949, 21025, 21866, 28591, 28592, 28593, 28594, 28595, 28596, 28597, 28598, 28599,
    28603, 28605, 38598, 50220, 50221, 50222, 50225, 50227, 51932, 51936, 51949, 52936, 54936,
    57002, 57003, 57004, 57005, 57006, 57007, 57008, 57009, 57010, 57011, 65000, 65001};

constexpr std::array kValidCharsets = {0, 1, 2, 77, 128, 129, 130, 134, 136, 161, 162, 163,
                                       177, 178, 186, 204, 222, 238, 255};

// A decimal number as the language's strings 1 and 2 give it.
std::optional<int> parseNumber(const QString& text)
{
    return plat::ParseDecimalInt(text.trimmed());
}

// Why a mapped file is no language library: it has no text function, so
// every text would come back empty. Empty when it is one.
QString noLanguageLibrary(plat::DynamicLibrary& library)
{
    if (library.resolve(langlib::kLoadStringWExport) || library.resolve(langlib::kLoadStringAExport))
        return {};
    if (!library.resolve(langlib::kMaxLanguagesExport) && !library.resolve(langlib::kMaxStringsExport))
        return QStringLiteral("none of the language exports");
    return QStringLiteral("no text function (%1, %2)")
        .arg(QLatin1String(langlib::kLoadStringWExport), QLatin1String(langlib::kLoadStringAExport));
}

// The probe's calls: the two counts, then the strings every language's menu
// entry and settings take (name, character set, code page) and one text, with
// each text function the library has.
QString probeLanguageLibrary(plat::DynamicLibrary& library)
{
    if (QString why = noLanguageLibrary(library); !why.isEmpty())
        return why;
    std::int8_t languages = 1;
    std::int32_t strings = 1;
    if (auto maxLanguages = reinterpret_cast<MaxLanguagesFn>(library.resolve(langlib::kMaxLanguagesExport)))
        maxLanguages(&languages);
    if (auto maxStrings = reinterpret_cast<MaxStringsFn>(library.resolve(langlib::kMaxStringsExport)))
        maxStrings(&strings);
    auto readW = reinterpret_cast<LoadStringWFn>(library.resolve(langlib::kLoadStringWExport));
    auto readA = reinterpret_cast<LoadStringAFn>(library.resolve(langlib::kLoadStringAExport));
    for (std::int64_t language = 0; language < std::max<std::int8_t>(languages, 1); ++language) {
        for (const std::int64_t number : {0, 1, 2, 3}) {
            const std::int64_t resource = number + language * std::max<std::int32_t>(strings, 1);
            if (resource > std::numeric_limits<std::uint32_t>::max())
                continue;
            const auto id = static_cast<std::uint32_t>(resource);
            if (readW) {
                char16_t buffer[kBufferChars] = {};
                readW(id, buffer, kBufferChars);
            }
            if (readA) {
                char buffer[kBufferChars] = {};
                readA(id, buffer, kBufferChars);
            }
        }
    }
    return {};
}

[[maybe_unused]] const bool kProbeRegistered =
    plat::RegisterLibraryProbe(TTranslator::kProbeKind, &probeLanguageLibrary);

} // namespace

TTranslator::TTranslator(QObject* owner) : QObject(owner)
{
    SetIsUnicode(true);
}

TTranslator::~TTranslator()
{
    FreeDll();
}

void TTranslator::SetIsUnicode(bool value)
{
    // No second library is needed for 16-bit strings on this system: the
    // reader is the language library's own, or the program's table.
    isUnicode_ = value;
}

void TTranslator::SetDllName(const QString& name)
{
    if (name == dllName_)
        return;
    dllName_ = name;
    if (library_)
        LoadDll();
}

void TTranslator::FreeDll()
{
    loadStringW_ = nullptr;
    loadStringA_ = nullptr;
    library_.reset();
    languageCount_ = 1;
    stringsPerLanguage_ = 1;
}

bool TTranslator::LoadDll()
{
    FreeDll();
    library_ = plat::CurrentServices().libraries->load(dllName_, QString::fromLatin1(kProbeKind));
    if (library_) {
        if (const QString why = noLanguageLibrary(*library_); !why.isEmpty()) {
            plat::LogRefusedLibrary(dllName_, why);
            FreeDll();
            return false;
        }
        if (auto maxLanguages = reinterpret_cast<MaxLanguagesFn>(library_->resolve(langlib::kMaxLanguagesExport)))
            maxLanguages(&languageCount_);
        else
            languageCount_ = 1;
        if (auto maxStrings = reinterpret_cast<MaxStringsFn>(library_->resolve(langlib::kMaxStringsExport)))
            maxStrings(&stringsPerLanguage_);
        else
            stringsPerLanguage_ = 1;
        loadStringW_ = reinterpret_cast<LoadStringWFn>(library_->resolve(langlib::kLoadStringWExport));
        loadStringA_ = reinterpret_cast<LoadStringAFn>(library_->resolve(langlib::kLoadStringAExport));
    }
    // A library that tells less than one language or string would make the
    // language index negative and the resource numbers meaningless.
    languageCount_ = std::max<std::int8_t>(languageCount_, 1);
    stringsPerLanguage_ = std::max<std::int32_t>(stringsPerLanguage_, 1);
    if (languageIndex_ >= languageCount_)
        languageIndex_ = languageCount_ - 1;
    return library_ != nullptr;
}

void TTranslator::PrepareDll()
{
    plat::CurrentServices().libraries->prepare(dllName_, QString::fromLatin1(kProbeKind));
}

QString TTranslator::readResource(std::int64_t resource)
{
    if (resource < 0 || resource > std::numeric_limits<std::uint32_t>::max())
        return {};
    const auto id = static_cast<std::uint32_t>(resource);
    LoadStringWFn readW = library_ ? loadStringW_ : &qz::strings::LoadOwnStringW;
    LoadStringAFn readA = library_ ? loadStringA_ : &qz::strings::LoadOwnStringA;
    if (isUnicode_ && readW) {
        char16_t buffer[kBufferChars] = {};
        const std::int32_t n = readW(id, buffer, kBufferChars);
        return QString::fromUtf16(buffer, std::clamp<std::int32_t>(n, 0, kBufferChars - 1));
    }
    if (readA) {
        char buffer[kBufferChars] = {};
        const std::int32_t n = std::clamp<std::int32_t>(readA(id, buffer, kBufferChars), 0, kBufferChars - 1);
        QString text;
        text.reserve(n);
        for (std::int32_t i = 0; i < n; ++i)
            text.append(QChar(qz::strings::Cp1252ToUnicode(static_cast<unsigned char>(buffer[i]))));
        return text;
    }
    return {};
}

QString TTranslator::missingText(int number)
{
    QString text;
    if (OnMissingString)
        OnMissingString(this, number, text);
    return text;
}

QString TTranslator::GetString(int number, int maxLength)
{
    const std::int64_t resource = std::int64_t(number) + std::int64_t(languageIndex_) * stringsPerLanguage_;
    QString text = readResource(resource);
    if (text.isEmpty())
        text = missingText(number);
    if (maxLength > 0)
        text.truncate(maxLength);
    return text;
}

void TTranslator::SetLanguage(int index)
{
    if (index < 0 || index >= languageCount_)
        return;
    languageIndex_ = index;
    SetCharset(parseNumber(GetString(1)).value_or(charset_));
    SetCodePage(parseNumber(GetString(2)).value_or(codePage_));
}

QString TTranslator::GetLanguageName(int index)
{
    if (index < 0 || index >= languageCount_)
        return missingText(0);
    QString text = readResource(std::int64_t(index) * stringsPerLanguage_);
    if (text.isEmpty())
        text = missingText(0);
    return text;
}

bool TTranslator::IsValidCharset(int charset)
{
    return std::find(kValidCharsets.begin(), kValidCharsets.end(), charset) != kValidCharsets.end();
}

bool TTranslator::IsValidCodePage(int codePage)
{
    return std::find(kValidCodePages.begin(), kValidCodePages.end(), codePage) != kValidCodePages.end();
}

void TTranslator::SetCharset(int number)
{
    if (IsValidCharset(number))
        charset_ = number;
}

void TTranslator::SetCodePage(int number)
{
    if (IsValidCodePage(number))
        codePage_ = number;
}
