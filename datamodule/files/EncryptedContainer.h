#pragma once
// The encrypted container "ENCRYPTED_FILE_V_01.01" around firmware images and
// two of the built-in default sets:
//
//   offset   0, 22 bytes   the header text, no terminator
//   offset  22, 16 bytes   selectors s[0..15]
//   offset  38, 128 bytes  sixteen groups of 8 bytes, group i at 38 + 8 i
//   offset 166             the body, RC4-encrypted
//
// The key material is byte j of group i for every set bit j of s[i] (group
// order, lowest bit first); the RC4 key is the whole MD5 digest of it. The body
// is one continuous key stream, so its length is the plain length.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstdint>
#include <span>

namespace qz::files {

inline constexpr char kContainerHeader[] = "ENCRYPTED_FILE_V_01.01";
inline constexpr int kContainerHeaderLength = 22;
inline constexpr int kContainerSelectorsOffset = 22;
inline constexpr int kContainerGroupsOffset = 38;
inline constexpr int kContainerBodyOffset = 166;

using TMd5Digest = std::array<std::uint8_t, 16>;

TMd5Digest Md5(QByteArrayView data);
// RC4 with the given key (1 to 256 bytes), from the start of its key stream.
QByteArray Rc4(QByteArrayView key, QByteArrayView data);

// The key material of a container's first 166 bytes (at least that many are
// required; fewer give an empty material).
QByteArray ContainerKeyMaterial(QByteArrayView container);

enum class TContainerError {
    None,
    CannotOpen,   // the file cannot be opened or read
    TooShort,     // fewer than 166 bytes
    BadHeader,    // the header text differs (only where it is checked)
    TooLarge,     // beyond what the readers take in
};

struct TContainerResult {
    TContainerError error = TContainerError::None;
    QByteArray body; // the decrypted body
    bool Ok() const { return error == TContainerError::None; }
};

// Decrypts a container held in memory; checkHeader compares the header text.
TContainerResult DecryptContainer(QByteArrayView container, bool checkHeader);

// A container file for firmware programming. On success out holds the body
// length (32 bits, little-endian) followed by the body; on failure out is left
// as it was. The header text is not compared here (the caller checks it).
bool DecryptContainerFile(const QString& fileName, QByteArray& out);

// A built-in set in the container format, header compared.
TContainerResult DecryptContainerResource(QByteArrayView data);

// A container around plain, with the given selectors and groups.
QByteArray EncryptContainer(QByteArrayView plain, std::span<const std::uint8_t, 16> selectors,
                            std::span<const std::uint8_t, 128> groups);
// The same with selectors and filler drawn from a generator seeded with seed,
// so that the same seed always gives the same container.
QByteArray EncryptContainer(QByteArrayView plain, std::uint32_t seed);

} // namespace qz::files
