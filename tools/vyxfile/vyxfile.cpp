// vyxfile: the program's file formats from the command line.
//
//   vyxfile scramble   [--key TEXT | --key-hex HEX] IN OUT
//   vyxfile descramble [--key TEXT | --key-hex HEX] IN OUT
//   vyxfile encrypt    [--seed N] IN OUT
//   vyxfile decrypt    IN OUT
//
// scramble turns a plain INI text (or hex script) into a scrambled file,
// descramble the reverse (the plain copy starts with the line
// "DECRYPTED_MLTP_FILE"); without a key option the program's own
// configuration-file key is used. encrypt wraps a file in an
// "ENCRYPTED_FILE_V_01.01" container whose selectors and filler come from the
// seed (0 when not given), decrypt unwraps one. Exit status 0 on success, 1
// when a file cannot be read, is not what it should be or cannot be written,
// 2 for a wrong command line.
#include "datamodule/files/EncryptedContainer.h"
#include "datamodule/files/SaveFile.h"
#include "datamodule/files/Scrambler.h"

#include "product/constants/BuildConstants.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace qz::files;

namespace {

constexpr char kUsage[] =
    "usage: vyxfile scramble   [--key TEXT | --key-hex HEX] IN OUT\n"
    "       vyxfile descramble [--key TEXT | --key-hex HEX] IN OUT\n"
    "       vyxfile encrypt    [--seed N] IN OUT\n"
    "       vyxfile decrypt    IN OUT\n";

int usage(const char* why)
{
    std::fprintf(stderr, "vyxfile: %s\n%s", why, kUsage);
    return 2;
}

int failure(const std::string& why)
{
    std::fprintf(stderr, "vyxfile: %s\n", why.c_str());
    return 1;
}

std::optional<QByteArray> parseHex(std::string_view hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    QByteArray out;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned v = 0;
        const auto [last, ec] = std::from_chars(hex.data() + i, hex.data() + i + 2, v, 16);
        if (ec != std::errc() || last != hex.data() + i + 2)
            return std::nullopt;
        out.append(static_cast<char>(v));
    }
    return out;
}

QString fileArg(const char* arg)
{
    return QString::fromLocal8Bit(arg);
}

std::string readError(TReadError e, const char* name)
{
    switch (e) {
    case TReadError::TooLarge:
        return std::string(name) + ": too large";
    case TReadError::ReadFailed:
        return std::string(name) + ": read error";
    default:
        return std::string(name) + ": cannot open";
    }
}

int save(const char* name, const QByteArray& data)
{
    QString why;
    if (!SaveFileAtomically(fileArg(name), data, &why))
        return failure(std::string(name) + ": cannot write (" + why.toStdString() + ")");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage("no command");
    const std::string_view command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const bool scrambling = command == "scramble" || command == "descramble";
    const bool encrypting = command == "encrypt" || command == "decrypt";
    if (!scrambling && !encrypting)
        return usage("unknown command");

    std::optional<QByteArray> key;
    std::optional<std::uint32_t> seed;
    std::vector<const char*> files;
    for (int i = 2; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--key" || a == "--key-hex") {
            if (!scrambling)
                return usage("a key belongs to scramble and descramble");
            if (key)
                return usage("more than one key");
            if (++i >= argc)
                return usage("the key is missing");
            if (a == "--key") {
                key = QByteArray(argv[i]);
            } else {
                key = parseHex(argv[i]);
                if (!key)
                    return usage("--key-hex wants pairs of hexadecimal digits");
            }
            if (!IsValidFileKey(*key))
                return usage("a key is 1 to 49 bytes");
        } else if (a == "--seed") {
            if (command != "encrypt")
                return usage("a seed belongs to encrypt");
            if (++i >= argc)
                return usage("the seed is missing");
            const std::string_view s = argv[i];
            std::uint32_t v = 0;
            const auto [last, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
            if (s.empty() || ec != std::errc() || last != s.data() + s.size())
                return usage("the seed is a number from 0 to 4294967295");
            seed = v;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return usage("unknown option");
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.size() != 2)
        return usage("IN and OUT are needed");

    const TReadResult in = ReadWholeFile(fileArg(files[0]));
    if (!in.Ok())
        return failure(readError(in.error, files[0]));

    if (scrambling) {
        const QByteArray k = key ? *key : QByteArray(qz::FileKeyString());
        if (command == "scramble")
            return save(files[1], ScrambleBytes(in.data, k));
        QByteArray plain = QByteArray(kDecryptedHeaderWord) + "\r\n";
        plain += DescrambleBytes(in.data, k, TScrambledSource::File);
        return save(files[1], plain);
    }
    if (command == "encrypt")
        return save(files[1], EncryptContainer(in.data, seed.value_or(0)));
    const TContainerResult r = DecryptContainer(in.data, true);
    switch (r.error) {
    case TContainerError::None:
        return save(files[1], r.body);
    case TContainerError::TooShort:
        return failure(std::string(files[0]) + ": shorter than a container header (166 bytes)");
    case TContainerError::BadHeader:
        return failure(std::string(files[0]) + ": not an ENCRYPTED_FILE_V_01.01 container");
    default:
        return failure(std::string(files[0]) + ": cannot read");
    }
}
