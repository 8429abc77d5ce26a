#include "EncryptedContainer.h"

#include "SaveFile.h"

#include <nettle/arcfour.h>
#include <nettle/md5.h>

#include <random>

namespace qz::files {

TMd5Digest Md5(QByteArrayView data)
{
    md5_ctx ctx;
    md5_init(&ctx);
    md5_update(&ctx, static_cast<std::size_t>(data.size()), reinterpret_cast<const std::uint8_t*>(data.data()));
    TMd5Digest digest{};
    md5_digest(&ctx, digest.size(), digest.data());
    return digest;
}

QByteArray Rc4(QByteArrayView key, QByteArrayView data)
{
    if (key.size() < ARCFOUR_MIN_KEY_SIZE || key.size() > ARCFOUR_MAX_KEY_SIZE)
        return {};
    arcfour_ctx ctx;
    arcfour_set_key(&ctx, static_cast<std::size_t>(key.size()), reinterpret_cast<const std::uint8_t*>(key.data()));
    QByteArray out(data.size(), Qt::Uninitialized);
    if (!data.isEmpty())
        arcfour_crypt(&ctx, static_cast<std::size_t>(data.size()), reinterpret_cast<std::uint8_t*>(out.data()),
                      reinterpret_cast<const std::uint8_t*>(data.data()));
    return out;
}

QByteArray ContainerKeyMaterial(QByteArrayView container)
{
    QByteArray material;
    if (container.size() < kContainerBodyOffset)
        return material;
    for (int i = 0; i < 16; ++i) {
        const auto s = static_cast<std::uint8_t>(container[kContainerSelectorsOffset + i]);
        for (int j = 0; j < 8; ++j)
            if ((s >> j) & 1)
                material.append(container[kContainerGroupsOffset + 8 * i + j]);
    }
    return material;
}

TContainerResult DecryptContainer(QByteArrayView container, bool checkHeader)
{
    TContainerResult result;
    if (container.size() < kContainerBodyOffset) {
        result.error = TContainerError::TooShort;
        return result;
    }
    if (checkHeader && container.first(kContainerHeaderLength) != QByteArrayView(kContainerHeader)) {
        result.error = TContainerError::BadHeader;
        return result;
    }
    const TMd5Digest key = Md5(ContainerKeyMaterial(container));
    result.body = Rc4(QByteArrayView(reinterpret_cast<const char*>(key.data()), key.size()),
                      container.sliced(kContainerBodyOffset));
    return result;
}

bool DecryptContainerFile(const QString& fileName, QByteArray& out)
{
    const TReadResult file = ReadWholeFile(fileName);
    if (!file.Ok())
        return false;
    const TContainerResult r = DecryptContainer(file.data, false);
    if (!r.Ok())
        return false;
    const auto n = static_cast<std::uint32_t>(r.body.size());
    QByteArray buffer;
    buffer.reserve(4 + r.body.size());
    for (int i = 0; i < 4; ++i)
        buffer.append(static_cast<char>((n >> (8 * i)) & 0xFF));
    buffer.append(r.body);
    out = std::move(buffer);
    return true;
}

TContainerResult DecryptContainerResource(QByteArrayView data)
{
    return DecryptContainer(data, true);
}

QByteArray EncryptContainer(QByteArrayView plain, std::span<const std::uint8_t, 16> selectors,
                            std::span<const std::uint8_t, 128> groups)
{
    QByteArray out(kContainerHeader, kContainerHeaderLength);
    out.append(reinterpret_cast<const char*>(selectors.data()), 16);
    out.append(reinterpret_cast<const char*>(groups.data()), 128);
    const TMd5Digest key = Md5(ContainerKeyMaterial(out));
    out.append(Rc4(QByteArrayView(reinterpret_cast<const char*>(key.data()), key.size()), plain));
    return out;
}

QByteArray EncryptContainer(QByteArrayView plain, std::uint32_t seed)
{
    // mt19937's output sequence is fixed by the standard, so a seed gives the
    // same bytes on every platform (the distributions are not, hence none).
    std::mt19937 gen(seed);
    std::array<std::uint8_t, 16> selectors{};
    std::array<std::uint8_t, 128> groups{};
    for (auto& s : selectors)
        s = static_cast<std::uint8_t>(gen() >> 24);
    for (auto& g : groups)
        g = static_cast<std::uint8_t>(gen() >> 24);
    return EncryptContainer(plain, selectors, groups);
}

} // namespace qz::files
