#include "ConfigCheck.h"

#include "IniDocument.h"
#include "Scrambler.h"

#include <array>
#include <utility>
#include <vector>

namespace qz::files {

namespace {

// The bytes that are no text: below 0x20 but TAB, CR and LF, and 0x7F.
constexpr std::array<bool, 256> kControl = [] {
    std::array<bool, 256> t{};
    for (int c = 0; c < 0x20; ++c)
        t[static_cast<std::size_t>(c)] = c != '\t' && c != '\r' && c != '\n';
    t[0x7F] = true;
    return t;
}();

bool anyControl(QByteArrayView text)
{
    bool any = false;
    for (const char c : text)
        any |= kControl[static_cast<unsigned char>(c)];
    return any;
}

TConfigCheck refused(TConfigVerdict verdict, const char* reason)
{
    return {verdict, reason};
}

} // namespace

TConfigCheck CheckConfigurationText(QByteArrayView plain, TIniDocument* parsed)
{
    if (plain.isEmpty())
        return refused(TConfigVerdict::NotConfiguration, "empty");
    if (anyControl(plain))
        return refused(TConfigVerdict::NotConfiguration, "not text");
    // The program ends every line with CR LF: a text that stops after a CR
    // lost the LF of its last line.
    if (plain.back() != '\n')
        return refused(TConfigVerdict::Damaged, "cut in the middle of a line");
    std::vector<TIniIssue> issues;
    TIniDocument doc = TIniDocument::Parse(plain, &issues);
    if (!issues.empty())
        return refused(TConfigVerdict::NotConfiguration, "not INI as the program writes it");
    if (!doc.Contains("Generale", "Flag1"))
        return refused(TConfigVerdict::NotConfiguration, "no Flag1 in section Generale");
    if (parsed)
        *parsed = std::move(doc);
    return {};
}

TConfigCheck CheckConfigurationFile(QByteArrayView data, QByteArrayView key, TIniDocument* parsed)
{
    bool intact = false;
    const QByteArray plain = DescrambleBytes(data, key, TScrambledSource::File, &intact);
    if (!intact)
        return refused(TConfigVerdict::Damaged, "container broken");
    return CheckConfigurationText(plain, parsed);
}

} // namespace qz::files
