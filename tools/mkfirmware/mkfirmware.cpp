// mkfirmware: writes firmware files for the simulated ECU and the tests.
//
//   mkfirmware [--type N] [--version A.B] [--variants MASK] [--min-program A.B]
//              [--broken KIND] [--plain] [--seed N] OUT
//   mkfirmware --demo DIR
//
// The first form writes one image: for ECU type N (30 when not given), image
// version A.B (the demo version of the type when not given), the variant
// mask MASK (0xFF: every variant) and the minimum program version (1.0),
// wrapped in an "ENCRYPTED_FILE_V_01.01" container unless --plain is given.
// --broken writes a faulty image of one kind:
//   s0-2, s0-4       two or four S0 records instead of three
//   consistency      metadata whose check byte does not fit
//   checksum         a data record with a wrong checksum (the ECU refuses it)
//   wrong-type       metadata for another ECU type
//   wrong-variant    a variant mask without any variant
//   old-version      an image version below the type's minimum (types 30,
//                    31, 50; other types have none)
//   program-too-old  a minimum program version of 255.255
// --demo writes one correct file per programmable ECU type into DIR (every
// firmware extension at least once), named "Demo_T<type>_V<version>.<ext>".
// Exit status 0 on success, 1 when a file cannot be written, 2 for a wrong
// command line.
#include "product/firmware/FirmwareMeta.h"

#include "datamodule/files/EncryptedContainer.h"
#include "datamodule/files/SaveFile.h"
#include "product/constants/BuildConstants.h"

#include <QDir>
#include <QString>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

using namespace qz::firmware;

namespace {

constexpr char kUsage[] =
    "usage: mkfirmware [--type N] [--version A.B] [--variants MASK] [--min-program A.B]\n"
    "                  [--broken KIND] [--plain] [--seed N] OUT\n"
    "       mkfirmware --demo DIR\n"
    "KIND: s0-2 s0-4 consistency checksum wrong-type wrong-variant old-version program-too-old\n";

int usage(const char* why)
{
    std::fprintf(stderr, "mkfirmware: %s\n%s", why, kUsage);
    return 2;
}

struct DemoType {
    int type;
    std::uint16_t version;
};

// A version a step above what the simulated ECU of each type starts with.
constexpr DemoType kDemoTypes[] = {
    {30, 30 * 256 + 5}, {31, 41 * 256 + 3}, {37, 1 * 256 + 1}, {38, 1 * 256 + 1}, {50, 10 * 256 + 22},
    {53, 12 * 256 + 4}, {54, 5 * 256 + 11},  {55, 7 * 256 + 3},  {56, 7 * 256 + 3}, {79, 3 * 256 + 9},
};

std::uint16_t demoVersion(int type)
{
    for (const auto& d : kDemoTypes)
        if (d.type == type)
            return d.version;
    return 0x0101;
}

// The lowest image version a personalised ECU of the type takes; 0: none.
std::uint16_t minimumVersion(int type)
{
    switch (type) {
    case 30: return 0x1E00;
    case 31: return 0x2900;
    case 50: return 0x0A15;
    default: return 0;
    }
}

bool parseNumber(std::string_view s, unsigned& out, unsigned max)
{
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    unsigned v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (s.empty() || ec != std::errc() || p != s.data() + s.size() || v > max)
        return false;
    out = v;
    return true;
}

bool applyBroken(std::string_view kind, TImageSpec& spec)
{
    if (kind == "s0-2")
        spec.s0Records = 2;
    else if (kind == "s0-4")
        spec.s0Records = 4;
    else if (kind == "consistency")
        spec.breakConsistency = true;
    else if (kind == "checksum")
        spec.breakChecksum = true;
    else if (kind == "wrong-type")
        spec.meta.type = spec.meta.type == 30 ? 31 : 30;
    else if (kind == "wrong-variant")
        spec.meta.variantMask = 0;
    else if (kind == "old-version")
        spec.meta.version = minimumVersion(spec.meta.type) ? minimumVersion(spec.meta.type) - 1 : 1;
    else if (kind == "program-too-old")
        spec.meta.minProgramVersion = 0xFFFF;
    else
        return false;
    return true;
}

bool writeImage(const QString& out, const TImageSpec& spec, bool plain, std::uint32_t seed)
{
    const std::string text = WriteFirmwareImage(spec);
    const QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
    QString error;
    const bool ok = qz::files::SaveFileAtomically(out, plain ? QByteArray(bytes.toByteArray())
                                                             : qz::files::EncryptContainer(bytes, seed),
                                                  &error);
    if (!ok)
        std::fprintf(stderr, "mkfirmware: %s: %s\n", qPrintable(out), qPrintable(error));
    return ok;
}

TImageSpec specFor(int type)
{
    TImageSpec spec;
    spec.meta.type = static_cast<std::uint8_t>(type);
    spec.meta.variantMask = 0xFF;
    spec.meta.version = demoVersion(type);
    spec.meta.minProgramVersion = 0x0100;
    spec.meta.salt = static_cast<std::uint8_t>(type * 29 + 0x41);
    spec.title = "QZ FIRMWARE " + std::to_string(type);
    return spec;
}

int writeDemo(const QString& dir)
{
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "mkfirmware: cannot create %s\n", qPrintable(dir));
        return 1;
    }
    for (const auto& d : kDemoTypes) {
        const QString name = QStringLiteral("Demo_T%1_V%2.%3.%4")
                                 .arg(d.type)
                                 .arg(d.version >> 8)
                                 .arg(d.version & 0xFF)
                                 .arg(QString::fromLatin1(qz::FirmwareFileExtension(static_cast<unsigned>(d.type))));
        if (!writeImage(QDir(dir).filePath(name), specFor(d.type), false, static_cast<std::uint32_t>(d.type)))
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qz::InitBuildConstants();
    if (argc == 3 && std::strcmp(argv[1], "--demo") == 0)
        return writeDemo(QString::fromLocal8Bit(argv[2]));

    unsigned type = 30, variants = 0xFF, seed = 0;
    std::uint16_t version = 0, minProgram = 0x0100;
    bool versionGiven = false, plain = false;
    std::string broken;
    const char* out = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "--type") {
            const char* v = value();
            if (!v || !parseNumber(v, type, 255))
                return usage("--type takes an ECU type from 0 to 255");
        } else if (a == "--version") {
            const char* v = value();
            if (!v || !ParseVersionNumber(v, version))
                return usage("--version takes A.B, each from 0 to 255");
            versionGiven = true;
        } else if (a == "--variants") {
            const char* v = value();
            if (!v || !parseNumber(v, variants, 255))
                return usage("--variants takes a mask from 0 to 0xFF");
        } else if (a == "--min-program") {
            const char* v = value();
            if (!v || !ParseVersionNumber(v, minProgram))
                return usage("--min-program takes A.B, each from 0 to 255");
        } else if (a == "--broken") {
            const char* v = value();
            if (!v)
                return usage("--broken takes a kind");
            broken = v;
        } else if (a == "--plain") {
            plain = true;
        } else if (a == "--seed") {
            const char* v = value();
            if (!v || !parseNumber(v, seed, 0xFFFFFFFFu))
                return usage("--seed takes a number");
        } else if (!a.empty() && a[0] == '-') {
            return usage("unknown option");
        } else if (!out) {
            out = argv[i];
        } else {
            return usage("one output file only");
        }
    }
    if (!out)
        return usage("the output file is missing");
    TImageSpec spec = specFor(static_cast<int>(type));
    if (versionGiven)
        spec.meta.version = version;
    spec.meta.variantMask = static_cast<std::uint8_t>(variants);
    spec.meta.minProgramVersion = minProgram;
    if (!broken.empty() && !applyBroken(broken, spec))
        return usage("unknown kind of broken image");
    return writeImage(QString::fromLocal8Bit(out), spec, plain, seed) ? 0 : 1;
}
