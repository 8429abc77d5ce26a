#include "fuzz/FuzzEntries.h"

#include "files/EncryptedContainer.h"
#include "files/IniDocument.h"
#include "files/Scrambler.h"

#include <cstdlib>

using namespace qz::files;

namespace fuzzfiles {

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void readIni(const QByteArray& plain)
{
    std::vector<TIniIssue> issues;
    const TIniDocument doc = TIniDocument::Parse(plain, &issues);
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

void DescrambleAndReadIni(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return;
    const std::size_t keyLength = 1 + data[0] % kMaxFileKeyLength;
    if (size < 1 + keyLength)
        return;
    const QByteArrayView key(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(keyLength));
    const QByteArrayView body(reinterpret_cast<const char*>(data + 1 + keyLength),
                              static_cast<qsizetype>(size - 1 - keyLength));
    for (TScrambledSource source : {TScrambledSource::File, TScrambledSource::Resource}) {
        const QByteArray plain = DescrambleBytes(body, key, source);
        check(plain.size() <= body.size());
        readIni(plain);
        // Any plain text comes back from its scrambled form.
        if (!plain.trimmed().startsWith(kDecryptedHeaderWord))
            check(DescrambleBytes(ScrambleBytes(plain, key), key, TScrambledSource::File) == plain);
    }
}

void ReadContainer(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (bool checkHeader : {false, true}) {
        const TContainerResult r = DecryptContainer(bytes, checkHeader);
        if (r.ok())
            check(r.body.size() == bytes.size() - kContainerBodyOffset);
        else
            check(r.body.isEmpty());
        if (size < static_cast<std::size_t>(kContainerBodyOffset))
            check(!r.ok());
    }
    check(ContainerKeyMaterial(bytes).size() <= 128);
}

} // namespace fuzzfiles
