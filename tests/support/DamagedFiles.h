#pragma once
// Damaged and foreign versions of a good configuration file, as a disk, a
// mail program or a user make them: for the tests that no such file reaches
// the image or the ECU.
#include "datamodule/files/EncryptedContainer.h"
#include "datamodule/files/Scrambler.h"
#include "product/firmware/FirmwareMeta.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace rig {

struct DamagedFile {
    const char* name;
    QByteArray bytes;
    // Refused on opening (text 301); otherwise it loads and lacks keys.
    bool refused = true;
};

// good: a configuration file the program saved, scrambled with key.
inline std::vector<DamagedFile> DamagedConfigurations(const QByteArray& good, const QByteArray& key)
{
    using namespace qz::files;
    const QByteArray plain = DescrambleBytes(good, key, TScrambledSource::File);
    auto plainOf = [&](const QByteArray& bytes) { return DescrambleBytes(bytes, key, TScrambledSource::File); };

    // Cut near the middle, inside a line and at the end of one.
    qsizetype inside = good.size() / 2;
    while (plainOf(good.left(inside)).endsWith('\n'))
        ++inside;
    // (after the repeated bytes of a chained line end, if it is one)
    auto wholeAt = [&](qsizetype n) {
        bool intact = false;
        return DescrambleBytes(good.left(n), key, TScrambledSource::File, &intact).endsWith('\n') && intact;
    };
    qsizetype atLineEnd = good.size() / 2;
    while (!wholeAt(atLineEnd))
        ++atLineEnd;

    // One bit of a line end in the middle: the line end becomes a control
    // character and two lines run into one.
    QByteArray flipped = good;
    for (qsizetype i = good.size() / 2; i < good.size(); ++i) {
        QByteArray f = good;
        f[i] = static_cast<char>(f[i] ^ 0x08);
        const QByteArray p = plainOf(f);
        if (p.size() == plain.size() && p.count('\n') == plain.count('\n') - 1) {
            flipped = f;
            break;
        }
    }

    QByteArray random(good.size(), '\0');
    QRandomGenerator gen(20260115);
    for (char& c : random)
        c = static_cast<char>(gen.generate() & 0xFF);

    qz::firmware::TImageSpec spec;
    spec.meta.type = 30;
    spec.meta.variantMask = 0xFF;
    const std::string image = qz::firmware::WriteFirmwareImage(spec);

    return {
        {"truncated inside a line", good.left(inside)},
        {"truncated at a line end", good.left(atLineEnd), false},
        // The last line of a saved file is chained ("Prt0002" of "Sez0000"):
        // cut after its CR the chain is still open; cut after its LF the
        // repeated line end is missing.
        {"cut after the CR of its last line", good.left(good.size() - 3)},
        {"cut before the repeated line end of its last line", good.left(good.size() - 2)},
        {"a last line ending in a bare CR", ScrambleBytes(plain + "[Zeta]\r\nx=1\r", key)},
        {"a chained last line ending in a bare LF", ScrambleBytes(plain + "[Zeta]\r\nPrt0009=1\n", key)},
        {"16 bytes", good.left(16)},
        {"empty", QByteArray()},
        {"random bytes", random},
        {"a firmware file", EncryptContainer(QByteArrayView(image.data(), qsizetype(image.size())), 1)},
        {"plain INI", plain},
        {"a flipped bit", flipped},
    };
}

// The plain INI text with the value of key in section replaced by value, or
// the key's line removed when value is none. The key must be there.
inline QByteArray WithValue(const QByteArray& plain, const QByteArray& section, const QByteArray& key,
                            const std::optional<QByteArray>& value)
{
    QList<QByteArray> lines = plain.split('\n');
    QByteArray current;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.startsWith('[')) {
            current = line.mid(1, line.size() - 2);
            continue;
        }
        if (current.compare(section, Qt::CaseInsensitive) != 0 || !line.startsWith(key + '='))
            continue;
        if (value)
            lines[i] = key + '=' + *value + '\r';
        else
            lines.removeAt(i);
        return lines.join('\n');
    }
    ADD_FAILURE() << "no key " << key.constData() << " in section " << section.constData();
    return plain;
}

// A value as a damaged file holds it, and the element it stands for.
struct DamagedValue {
    const char* section;
    const char* key;
    const char* text;
    std::int32_t code; // the item (any code of it) and the element
    int element;
};

// The plain text with the damaged value in it.
inline QByteArray WithValue(const QByteArray& plain, const DamagedValue& v)
{
    return WithValue(plain, v.section, v.key, QByteArray(v.text));
}

// Values that are no number of their item's kind, or numbers their item
// cannot hold.
inline std::vector<DamagedValue> DamagedValues()
{
    return {
        // No number.
        {"Lambda", "TipoDiLambda", "abc", 0x4, 0},
        {"Iniezione", "Prt00030", "2147483648", 0x8326, 0}, // beyond 32 bits
        {"Lambda", "RifLambda", "1.5", 0x5, 0},
        {"Lambda", "RifLambda", "", 0x5, 0},
        {"Lambda", "RifLambda", "0x", 0x5, 0},
        // Beyond the item's width and sign, high and low.
        {"Lambda", "RifLambda", "99999", 0x5, 0},
        {"Lambda", "RifLambda", "$100", 0x5, 0},
        {"MappaCoefficientiK", "MappaK0_0", "300", 0xc154, 0},
        {"MappaCoefficientiK", "MappaK0_1", "-5", 0xc154, 1},
        {"Generale", "Flag1", "-1", 0x2303, 0},
        {"Temperatura", "ParametriTempMotore3", "-129", 0x558a, 3},
        // Not one of the codes of a list-coded item.
        {"Lambda", "TipoDiLambda", "3", 0x4, 0},
        {"Accensione-Cambio", "NumeroCilindri", "7", 0x14, 0},
        // Beyond what the item's setter stores.
        {"Temperatura", "CoeffMot0", "201", 0x915d, 0},
        {"Iniezione", "Prt00040", "32", 0x8127, 0},
        {"Iniezione", "Prt00030", "10001", 0x8326, 0},
        // The injector type, and the pressure corrections (in word form).
        {"Iniezione", "TipoIniettoreSoftware", "256", 0x2194, 1},
        {"PressioneDifferenziale", "CoeffPressDiff0", "40000", 0xf77c, 0},
    };
}

} // namespace rig
