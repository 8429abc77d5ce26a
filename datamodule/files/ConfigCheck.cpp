#include "ConfigCheck.h"

#include "IniDocument.h"
#include "Scrambler.h"

#include <array>
#include <cstdint>
#include <cstring>
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

// Whether text holds such a byte; eight bytes at a time, each word's bytes
// flagged in their high bits.
bool anyControl(QByteArrayView text)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const auto zero = [](std::uint64_t x) { return ~(((x & kLow7) + kLow7) | x) & kHigh; };
    const auto below20 = [](std::uint64_t x) { return ~(((x & kLow7) + kOnes * 0x60) | x) & kHigh; };
    const auto equal = [zero](std::uint64_t x, unsigned char c) { return zero(x ^ (kOnes * c)); };
    const char* p = text.data();
    const qsizetype n = text.size();
    std::uint64_t found = 0;
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x;
        std::memcpy(&x, p + i, 8);
        const std::uint64_t allowed = equal(x, '\t') | equal(x, '\r') | equal(x, '\n');
        found |= (below20(x) & ~allowed) | equal(x, 0x7F);
    }
    bool any = found != 0;
    for (; i < n; ++i)
        any |= kControl[static_cast<unsigned char>(p[i])];
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
