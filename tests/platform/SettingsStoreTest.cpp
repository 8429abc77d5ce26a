#include "plat/SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plat;

TEST(SettingsStore, KeyPathMapsToOneConfFileUnderTheRoot)
{
#ifndef Q_OS_WIN
    QtSettingsStore store("/tmp/root");
    EXPECT_EQ(store.locationOf("\\Software\\Quorin\\7304K"), "/tmp/root/Quorin/7304K.conf");
    EXPECT_EQ(store.locationOf(""), "");
#endif
}

TEST(SettingsStore, WritesReadBackAndSurviveReopening)
{
    QTemporaryDir dir;
    QtSettingsStore store(dir.path());
    {
        auto key = store.openKey("\\Software\\Quorin\\7304K");
        ASSERT_NE(key, nullptr);
        EXPECT_FALSE(key->valueExists("ComPort"));
        EXPECT_TRUE(key->writeInteger("ComPort", 3));
        EXPECT_TRUE(key->writeString("MainPath", "\"\""));
        EXPECT_TRUE(key->writeString("LanguageName", QString::fromUtf8("Italiano è")));
        EXPECT_TRUE(key->close());
    }
    EXPECT_TRUE(QFile::exists(dir.path() + "/Quorin/7304K.conf"));
    auto key = store.openKey("\\Software\\Quorin\\7304K");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->readInteger("ComPort"), 3);
    EXPECT_EQ(key->readString("MainPath"), "\"\"");
    EXPECT_EQ(key->readString("LanguageName"), QString::fromUtf8("Italiano è"));
    EXPECT_EQ(key->readString("Language"), std::nullopt);
}

TEST(SettingsStore, IntegerStoredAsTextMustBeDecimal)
{
    QTemporaryDir dir;
    QFile f(dir.path() + "/Quorin/7304K.conf");
    QDir().mkpath(dir.path() + "/Quorin");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[General]\nComPort=3\nLanguage=abc\nA=-7\nB=1.5\nC=99999999999\nD=4 x\n");
    f.close();
    QtSettingsStore store(dir.path());
    auto key = store.openKey("\\Software\\Quorin\\7304K");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->readInteger("ComPort"), 3);
    EXPECT_EQ(key->readInteger("A"), -7);
    EXPECT_TRUE(key->valueExists("Language"));
    for (const char* bad : {"Language", "B", "C", "D", "Missing"})
        EXPECT_EQ(key->readInteger(bad), std::nullopt) << bad;
}

TEST(SettingsStore, ParseDecimalIntTable)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"0", 0}, {"42", 42}, {"-3", -3}, {"+5", 5}, {"2147483647", 2147483647},
        {"2147483648", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt}, {"1e3", std::nullopt},
        {"0x10", std::nullopt}, {" 1", std::nullopt}, {"1 ", std::nullopt}, {"3,0", std::nullopt},
    };
    for (auto [text, expected] : cases)
        EXPECT_EQ(ParseDecimalInt(QString::fromLatin1(text)), expected) << text;
}
