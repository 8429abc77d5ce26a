#include "datamodule/files/HexScript.h"
#include "datamodule/files/Scrambler.h"

#include "TestUtil.h"
#include "product/constants/BuildConstants.h"

#include <gtest/gtest.h>

using namespace qz::files;

namespace {

std::string text(const THexScript& s)
{
    return s.Text().toStdString();
}

TEST(HexScript, KeyHasFortyEightNonZeroBytes)
{
    const QByteArrayView key = HexScriptKey();
    ASSERT_EQ(key.size(), 48);
    EXPECT_EQ(key.indexOf('\0'), -1);
    EXPECT_TRUE(IsValidFileKey(key));
}

TEST(HexScript, NumberRule)
{
    EXPECT_EQ(ScriptHex(0), QByteArray("0"));
    EXPECT_EQ(ScriptHex(28), QByteArray("1C"));
    EXPECT_EQ(ScriptHex(0x2303), QByteArray("2303"));
    EXPECT_EQ(ScriptHex(static_cast<std::uint32_t>(-40)), QByteArray("FFFFFFD8"));
    EXPECT_EQ(ScriptHex(0xFFFFFFFFu), QByteArray("FFFFFFFF"));
}

TEST(HexScript, DataRecords)
{
    struct Case {
        std::function<bool(THexScript*)> write;
        const char* line;
    } cases[] = {
        {[](THexScript* s) { return WriteScriptF0(s, 0x5, 28); }, "F0 5 1C\r\n"},
        {[](THexScript* s) { return WriteScriptF0(s, 0x405, -1); }, "F0 405 FFFFFFFF\r\n"},
        {[](THexScript* s) { return WriteScriptF1(s, 0x1b, 7, 0); }, "F1 1B 7 0\r\n"},
        {[](THexScript* s) {
             const std::int32_t v[] = {1044, 1};
             return WriteScriptF3(s, 0x2303, v);
         },
         "F3 2303 414 1\r\n"},
        {[](THexScript* s) {
             const std::int32_t v[] = {0, 1, 2, 3, 182, 182, 182, 182, 99}; // only the code's 8 count
             return WriteScriptF4(s, 0x810d, 0, v);
         },
         "F4 810D 0 0 1 2 3 B6 B6 B6 B6\r\n"},
        {[](THexScript* s) { return WriteScriptF3(s, 0x105, {}); }, "F3 105\r\n"}, // a count of 0
    };
    for (const Case& c : cases) {
        THexScript s;
        ASSERT_TRUE(c.write(&s));
        EXPECT_EQ(text(s), c.line);
        EXPECT_FALSE(c.write(nullptr));
    }
}

TEST(HexScript, TooFewValuesWriteNothing)
{
    THexScript s;
    const std::int32_t one[] = {1044};
    EXPECT_FALSE(WriteScriptF3(&s, 0x2303, one));
    EXPECT_FALSE(WriteScriptF4(&s, 0x810d, 1, one));
    EXPECT_TRUE(s.Text().isEmpty());
}

TEST(HexScript, HeaderRecords)
{
    THexScript s;
    ASSERT_TRUE(WriteScriptC0(&s, qz::CustomerId(), qz::DefaultEcuCustomerCode()));
    EXPECT_EQ(text(s), "C0 5 0 \r\n");

    THexScript masks;
    ASSERT_TRUE(WriteScriptC0(&masks, 0x1234, 0x123456));
    EXPECT_EQ(text(masks), "C0 34 3456 \r\n");

    THexScript l0;
    const int thresholds[] = {56, 115, 162, 216};
    ASSERT_TRUE(WriteScriptL0(&l0, true, thresholds));
    EXPECT_EQ(text(l0), "L0 1 38 73 A2 D8 \r\n");

    // A gas table of 34 points from -40 degrees C in steps of 5.
    std::vector<int> points(34);
    for (int i = 0; i < 34; ++i)
        points[i] = 250 - 7 * i;
    THexScript t0;
    ASSERT_TRUE(WriteScriptT0(&t0, -40, 5, points));
    EXPECT_TRUE(t0.Text().startsWith("T0 22 FFFFFFD8 5 FA F3 "));
    EXPECT_TRUE(t0.Text().endsWith(" 13 \r\n"));
    THexScript t1;
    ASSERT_TRUE(WriteScriptT1(&t1, -55, 5, std::span<const int>(points).first(2)));
    EXPECT_EQ(text(t1), "T1 2 FFFFFFC9 5 FA F3 \r\n");

    const int four[] = {0, 0, 0, 0};
    EXPECT_FALSE(WriteScriptC0(nullptr, 5, 0));
    EXPECT_FALSE(WriteScriptL0(nullptr, false, four));
    EXPECT_FALSE(WriteScriptT0(nullptr, 0, 0, points));
    EXPECT_FALSE(WriteScriptT1(nullptr, 0, 0, points));
}

TEST(HexScript, SavedScriptIsScrambledByteForByte)
{
    THexScript s;
    WriteScriptC0(&s, 5, 0);
    const int thresholds[] = {223, 173, 142, 116};
    WriteScriptL0(&s, false, thresholds);
    WriteScriptF0(&s, 0x5, 28);
    WriteScriptF1(&s, 0x1b, 7, 0);

    QTemporaryDir dir;
    const QString name = dir.filePath("out.ehcf");
    ASSERT_TRUE(s.Save(name));
    const QByteArray file = testutil::readFile(name);
    ASSERT_TRUE(file.startsWith("ENCRYPTED_MLTP_FILE\r\n"));
    const QByteArray body = file.mid(21);
    const QByteArray plain = s.Text();
    ASSERT_EQ(body.size(), plain.size()); // never chained: no "Prt" in a script
    for (qsizetype j = 0; j < plain.size(); ++j)
        ASSERT_EQ(static_cast<unsigned char>(body[j]),
                  static_cast<unsigned char>(plain[j]) ^ ScrambleKeyByte(HexScriptKey(), j))
            << j;
    // Only the script is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"out.ehcf"});

    // A script that cannot be saved says so and leaves the old file.
    EXPECT_FALSE(s.Save(dir.filePath("none/out.ehcf")));
    EXPECT_FALSE(s.Save(dir.path()));
    EXPECT_FALSE(s.Save(name, ""));
    EXPECT_EQ(testutil::readFile(name), file);
}

} // namespace
