#include "FuzzEntries.h"

#include "datamodule/files/ConfigCheck.h"
#include "datamodule/files/EncryptedContainer.h"
#include "datamodule/files/IniDocument.h"
#include "datamodule/files/Scrambler.h"
#include "product/constants/BuildConstants.h"

#include <cstdlib>

using namespace qz::files;

namespace fuzzfiles {

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// Reads plain; issues, when given, gets what the reader reported.
void readIni(const QByteArray& plain, std::vector<TIniIssue>* reported = nullptr)
{
    std::vector<TIniIssue> issues;
    const TIniDocument doc = TIniDocument::Parse(plain, &issues);
    if (reported)
        *reported = issues;
    for (const TIniIssue& i : issues)
        check(i.line >= 1);
    for (const auto& s : doc.Sections())
        for (const auto& e : s.entries) {
            const auto v = doc.Value(s.name, e.key);
            check(v.has_value() && *v == e.value);
            (void)IniTextToInt(e.value);
        }
    // What was read and written again reads back to the same sections and
    // keys.
    const TIniDocument again = TIniDocument::Parse(doc.Serialize());
    check(again.Sections().size() == doc.Sections().size());
    for (const auto& s : doc.Sections())
        for (const auto& e : s.entries)
            check(again.Contains(s.name, e.key));
}

} // namespace

void ReadConfigurationFile(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArrayView key(qz::FileKeyString());
    TIniDocument parsed;
    const TConfigCheck verdict = CheckConfigurationFile(bytes, key, &parsed);
    bool intact = false;
    const QByteArray plain = DescrambleBytes(bytes, key, TScrambledSource::File, &intact);
    check(plain.size() <= bytes.size());
    std::vector<TIniIssue> issues;
    readIni(plain, &issues);
    if (verdict.Accepted()) {
        // What the check lets through is a whole configuration of this system.
        check(intact);
        check(issues.empty());
        const TIniDocument doc = TIniDocument::Parse(plain);
        check(doc.Contains("Generale", "Flag1"));
        // The check hands back the very document a reader parses.
        check(parsed.Serialize() == doc.Serialize());
    } else {
        check(parsed.Sections().empty());
    }
    // The same bytes as a built-in set.
    const QByteArray set = DescrambleBytes(bytes, key, TScrambledSource::Resource);
    check(set.size() <= bytes.size());
    readIni(set);
    // Any plain text comes back from its scrambled form.
    if (!plain.trimmed().startsWith(kDecryptedHeaderWord))
        check(DescrambleBytes(ScrambleBytes(plain, key), key, TScrambledSource::File) == plain);
}

void ReadContainer(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (bool checkHeader : {false, true}) {
        const TContainerResult r = DecryptContainer(bytes, checkHeader);
        if (r.Ok())
            check(r.body.size() == bytes.size() - kContainerBodyOffset);
        else
            check(r.body.isEmpty());
        if (size < static_cast<std::size_t>(kContainerBodyOffset))
            check(!r.Ok());
    }
    check(ContainerKeyMaterial(bytes).size() <= 128);
}

} // namespace fuzzfiles
