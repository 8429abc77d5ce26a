#include "datamodule/files/EncryptedContainer.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

using namespace qz::files;
using testutil::fromHex;
using testutil::toHex;

namespace {

QByteArrayView view(const TMd5Digest& d)
{
    return QByteArrayView(reinterpret_cast<const char*>(d.data()), d.size());
}

TEST(EncryptedContainer, Md5AndRc4KnownAnswers)
{
    EXPECT_EQ(toHex(view(Md5("")).toByteArray()), toHex(fromHex("d41d8cd98f00b204e9800998ecf8427e")));
    EXPECT_EQ(toHex(view(Md5("abc")).toByteArray()), toHex(fromHex("900150983cd24fb0d6963f7d28e17f72")));
    EXPECT_EQ(toHex(Rc4("Key", "Plaintext")), toHex(fromHex("BBF316E8D940AF0AD3")));
    EXPECT_TRUE(Rc4("", "x").isEmpty());
}

// Selectors 0x81, 0, ..., 0, 0x02 over groups 00 01 ... 7F.
QByteArray knownContainer(const QByteArray& plain)
{
    std::array<std::uint8_t, 16> s{};
    s[0] = 0x81;
    s[15] = 0x02;
    std::array<std::uint8_t, 128> g{};
    for (int i = 0; i < 128; ++i)
        g[i] = static_cast<std::uint8_t>(i);
    return EncryptContainer(plain, s, g);
}

TEST(EncryptedContainer, KnownContainer)
{
    const QByteArray plain = "[Generale]\r\nFlag1=1044\r\n";
    const QByteArray c = knownContainer(plain);
    ASSERT_EQ(c.size(), 190);
    EXPECT_TRUE(c.startsWith("ENCRYPTED_FILE_V_01.01"));
    EXPECT_EQ(toHex(ContainerKeyMaterial(c)), "00 07 79");
    EXPECT_EQ(toHex(view(Md5(ContainerKeyMaterial(c))).toByteArray()),
              toHex(fromHex("74e46e743438a9da01fd1a4c9bd01fb2")));
    EXPECT_EQ(toHex(c.mid(166)), "97 56 65 0d 9e 22 3d 79 30 b8 5f d0 b4 8b 2c 35 2e 8e 8c 41 d4 b5 fc 03");
    const TContainerResult r = DecryptContainer(c, true);
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.body, plain);
}

TEST(EncryptedContainer, AllSelectorsZeroHashEmptyMaterial)
{
    std::array<std::uint8_t, 16> s{};
    std::array<std::uint8_t, 128> g{};
    g.fill(0xAA);
    const QByteArray c = EncryptContainer(QByteArray(8, '\0'), s, g);
    EXPECT_TRUE(ContainerKeyMaterial(c).isEmpty());
    // The body of eight zero bytes is the key stream itself.
    EXPECT_EQ(toHex(c.mid(166)), "65 6c d3 7b b4 99 01 24");
}

TEST(EncryptedContainer, BodyLengths)
{
    for (int n : {0, 1, 254, 255, 256, 511, 4096}) {
        QByteArray plain(n, Qt::Uninitialized);
        for (int i = 0; i < n; ++i)
            plain[i] = static_cast<char>(i * 7 + 3);
        const QByteArray c = EncryptContainer(plain, static_cast<std::uint32_t>(n));
        ASSERT_EQ(c.size(), 166 + n);
        const TContainerResult r = DecryptContainer(c, true);
        ASSERT_TRUE(r.Ok()) << n;
        EXPECT_EQ(r.body, plain) << n;
        // One continuous key stream: the body's tail is the tail of a
        // one-piece encryption.
        const TMd5Digest key = Md5(ContainerKeyMaterial(c));
        EXPECT_EQ(c.mid(166), Rc4(view(key), plain)) << n;
    }
}

TEST(EncryptedContainer, SeedsAreReproducible)
{
    EXPECT_EQ(EncryptContainer("abc", 5), EncryptContainer("abc", 5));
    EXPECT_NE(EncryptContainer("abc", 5).mid(22, 144), EncryptContainer("abc", 6).mid(22, 144));
}

TEST(EncryptedContainer, ShortAndForeignData)
{
    const QByteArray c = knownContainer("[A]\r\n");
    EXPECT_EQ(DecryptContainer(c.left(165), false).error, TContainerError::TooShort);
    EXPECT_EQ(DecryptContainer(QByteArray(), false).error, TContainerError::TooShort);
    EXPECT_TRUE(ContainerKeyMaterial(c.left(100)).isEmpty());
    QByteArray other = c;
    other[21] = '2';
    EXPECT_EQ(DecryptContainerResource(other).error, TContainerError::BadHeader);
    EXPECT_TRUE(DecryptContainer(other, false).Ok()); // the file reader leaves the header to its caller
    const TContainerResult empty = DecryptContainerResource(c.left(166));
    ASSERT_TRUE(empty.Ok());
    EXPECT_TRUE(empty.body.isEmpty());
}

TEST(EncryptedContainer, FileReader)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("fw.zp4");
    const QByteArray plain = "S00600004844521B\r\nS9030000FC\r\n";
    ASSERT_TRUE(testutil::writeFile(name, knownContainer(plain)));
    QByteArray out;
    ASSERT_TRUE(DecryptContainerFile(name, out));
    ASSERT_EQ(out.size(), 4 + plain.size());
    EXPECT_EQ(toHex(out.left(4)), toHex(QByteArray("\x1e\x00\x00\x00", 4)));
    EXPECT_EQ(out.mid(4), plain);

    // A container of exactly 166 bytes: a count of 0.
    ASSERT_TRUE(testutil::writeFile(name, knownContainer("")));
    ASSERT_TRUE(DecryptContainerFile(name, out));
    EXPECT_EQ(out, QByteArray(4, '\0'));

    // Failures leave the buffer alone.
    out = "untouched";
    EXPECT_FALSE(DecryptContainerFile(dir.filePath("missing.zp4"), out));
    ASSERT_TRUE(testutil::writeFile(name, knownContainer("").left(165)));
    EXPECT_FALSE(DecryptContainerFile(name, out));
    EXPECT_EQ(out, QByteArray("untouched"));
}

} // namespace
