#include "datamodule/files/Scrambler.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <random>

using namespace qz::files;
using testutil::toHex;

namespace {

const QByteArray kHeader = QByteArray("ENCRYPTED_MLTP_FILE\r\n");

TEST(Scrambler, KnownBodies)
{
    struct Case {
        const char* plain;
        const char* body;
    } cases[] = {
        // "Prt0003=5" CR LF: P r t 0 simple, from the next 0 through CR LF
        // chained, then CR LF once more: 13 bytes for 11.
        {"Prt0003=5\r\n", "1b b8 90 68 50 86 6b 67 3c 73 98 ff 26"},
        // The chain state depends on the position.
        {"[A]\r\nPrt0003=5\r\n", "10 8b b9 55 5a 29 e4 e0 f8 b0 9a 0f df dc 53 b6 c7 ee"},
    };
    for (const Case& c : cases) {
        const QByteArray file = ScrambleBytes(c.plain, "Key");
        ASSERT_TRUE(file.startsWith(kHeader)) << c.plain;
        EXPECT_EQ(toHex(file.mid(kHeader.size())), c.body) << c.plain;
        EXPECT_EQ(DescrambleBytes(file, "Key", TScrambledSource::File), QByteArray(c.plain));
        EXPECT_EQ(DescrambleBytes(file, "Key", TScrambledSource::Resource), QByteArray(c.plain));
    }
}

TEST(Scrambler, PlainCopyHeaderWordIsLeftOut)
{
    const QByteArray withWord = ScrambleBytes("DECRYPTED_MLTP_FILE\r\n\r\n \t[A]\r\nx=1\r\n", "Key");
    EXPECT_EQ(withWord, ScrambleBytes("[A]\r\nx=1\r\n", "Key"));
    // Only the word itself: a longer first word is plain text.
    const QByteArray longer = ScrambleBytes("DECRYPTED_MLTP_FILEX\r\n", "Key");
    EXPECT_EQ(DescrambleBytes(longer, "Key", TScrambledSource::File), QByteArray("DECRYPTED_MLTP_FILEX\r\n"));
}

TEST(Scrambler, BodyStartingWithBlankLosesOnlyTheHeaderLineEnd)
{
    // Under "Key" k(0) is 0x4B: 'k' scrambles to a blank, 'B' to a tab, so
    // the body's first byte is white space that must not be skipped.
    for (const char* plain : {"k=1\r\n", "B=2\r\n"}) {
        const QByteArray file = ScrambleBytes(plain, "Key");
        ASSERT_TRUE(file[kHeader.size()] == ' ' || file[kHeader.size()] == '\t');
        EXPECT_EQ(DescrambleBytes(file, "Key", TScrambledSource::File), QByteArray(plain));
    }
}

TEST(Scrambler, FileWithoutHeaderIsDescrambledFromItsFirstByte)
{
    const QByteArray file = ScrambleBytes("[A]\r\nx=1\r\n", "Key");
    const QByteArray body = file.mid(kHeader.size());
    EXPECT_EQ(DescrambleBytes(body, "Key", TScrambledSource::File), QByteArray("[A]\r\nx=1\r\n"));
    EXPECT_EQ(DescrambleBytes(body, "Key", TScrambledSource::Resource), QByteArray("[A]\r\nx=1\r\n"));
}

TEST(Scrambler, BodyStartRules)
{
    struct Case {
        QByteArray data;
        qsizetype file, resource;
    } cases[] = {
        {"ENCRYPTED_MLTP_FILE\r\nabc", 21, 21},
        {"ENCRYPTED_MLTP_FILE", 19, 19},         // header only: empty body
        {"ENCRYPTED_MLTP_FILE\r", 20, 20},
        {"  ENCRYPTED_MLTP_FILE\r\nabc", 23, 0}, // a file's first word may follow blanks
        {"ENCRYPTED_MLTP_FILEX\r\n", 0, 21},     // the resource compares 19 bytes only
        {"ENCRYPTED", 0, 0},
        {"", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScrambledBodyStart(c.data, TScrambledSource::File), c.file) << c.data.constData();
        EXPECT_EQ(ScrambledBodyStart(c.data, TScrambledSource::Resource), c.resource) << c.data.constData();
    }
}

TEST(Scrambler, BodyEndingInsideTheRepeatedLineEndStops)
{
    const QByteArray file = ScrambleBytes("Prt0003=5\r\n", "Key");
    // Without the two repeated bytes and with one of them.
    for (int cut : {2, 1}) {
        EXPECT_EQ(DescrambleBytes(file.left(file.size() - cut), "Key", TScrambledSource::File),
                  QByteArray("Prt0003=5\r\n"));
    }
}

TEST(Scrambler, KeysOutsideOneToFortyNineBytesAreNotUsed)
{
    EXPECT_FALSE(IsValidFileKey(""));
    EXPECT_TRUE(IsValidFileKey("k"));
    EXPECT_TRUE(IsValidFileKey(QByteArray(49, 'k')));
    EXPECT_FALSE(IsValidFileKey(QByteArray(50, 'k')));
    EXPECT_TRUE(ScrambleBytes("[A]\r\n", "").isEmpty());
    EXPECT_TRUE(DescrambleBytes(kHeader + "abc", "", TScrambledSource::File).isEmpty());
}

// Random INI texts with "Prt0" keys and values, lone LF and CR lines, any
// byte values, under random keys of 1 to 49 bytes.
TEST(Scrambler, RoundTripsOverRandomIniTexts)
{
    std::mt19937 gen(7304);
    auto pick = [&](int n) { return static_cast<int>(gen() % static_cast<unsigned>(n)); };
    const char* ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r"};
    for (int round = 0; round < 2000; ++round) {
        QByteArray plain;
        const int lines = pick(30);
        for (int l = 0; l < lines; ++l) {
            switch (pick(5)) {
            case 0: plain += "[Sez000" + QByteArray::number(pick(6)) + "]"; break;
            case 1: plain += "Prt00" + QByteArray::number(pick(20)) + "=" + QByteArray::number(pick(70000) - 35000); break;
            case 2: plain += "Prt000" + QByteArray::number(pick(5)) + "_" + QByteArray::number(pick(12)) + "=Prt0" ; break;
            case 3: plain += "Flag" + QByteArray::number(pick(4)) + "=" + QByteArray::number(pick(1000)); break;
            default:
                for (int i = pick(20); i > 0; --i)
                    plain += static_cast<char>(gen());
            }
            plain += ends[pick(5)];
        }
        QByteArray key;
        for (int i = 1 + pick(49); i > 0; --i)
            key += static_cast<char>(gen());
        const QByteArray file = ScrambleBytes(plain, key);
        ASSERT_TRUE(file.startsWith(kHeader));
        // A random text that starts with the plain copy's word would lose it;
        // these never do.
        ASSERT_EQ(DescrambleBytes(file, key, TScrambledSource::File), plain) << "round " << round;
        ASSERT_EQ(DescrambleBytes(file, key, TScrambledSource::Resource), plain) << "round " << round;
    }
}

TEST(Scrambler, FileFormsWriteAndRefuse)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plain = dir.filePath("plain.ini");
    const QString scrambled = dir.filePath("conf.zc4");
    const QString copy = dir.filePath("copy.ini");
    ASSERT_TRUE(testutil::writeFile(plain, "[A]\r\nPrt0000=1\r\n"));

    ASSERT_TRUE(ScrambleFile(plain, scrambled, "Key"));
    ASSERT_TRUE(DescrambleFile(scrambled, copy, "Key"));
    EXPECT_EQ(testutil::readFile(copy), QByteArray("DECRYPTED_MLTP_FILE\r\n[A]\r\nPrt0000=1\r\n"));
    // The plain copy scrambles to the same file again.
    ASSERT_TRUE(ScrambleFile(copy, dir.filePath("again.zc4"), "Key"));
    EXPECT_EQ(testutil::readFile(dir.filePath("again.zc4")), testutil::readFile(scrambled));

    const QByteArray data = testutil::readFile(scrambled);
    ASSERT_TRUE(DescrambleResource(&data, dir.filePath("res.ini"), "Key"));
    EXPECT_EQ(testutil::readFile(dir.filePath("res.ini")), QByteArray("[A]\r\nPrt0000=1\r\n"));

    EXPECT_FALSE(ScrambleFile(dir.filePath("missing"), scrambled, "Key"));
    EXPECT_FALSE(DescrambleFile(dir.filePath("missing"), copy, "Key"));
    EXPECT_FALSE(DescrambleResource(nullptr, copy, "Key"));
    EXPECT_FALSE(DescrambleResource(&data, QString(), "Key"));
    EXPECT_FALSE(ScrambleFile(plain, dir.filePath("no/such/folder/x"), "Key"));
    EXPECT_FALSE(ScrambleFile(plain, scrambled, ""));
    // The failed writes left the target as it was.
    EXPECT_EQ(testutil::readFile(scrambled), data);
}

} // namespace
