#pragma once
// Damaged and foreign versions of a good configuration file, as a disk, a
// mail program or a user make them: for the tests that no such file reaches
// the image or the ECU.
#include "FirmwareMeta.h"
#include "files/EncryptedContainer.h"
#include "files/Scrambler.h"

#include <QByteArray>
#include <QRandomGenerator>
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
        {"16 bytes", good.left(16)},
        {"empty", QByteArray()},
        {"random bytes", random},
        {"a firmware file", EncryptContainer(QByteArrayView(image.data(), qsizetype(image.size())), 1)},
        {"plain INI", plain},
        {"a flipped bit", flipped},
    };
}

} // namespace rig
