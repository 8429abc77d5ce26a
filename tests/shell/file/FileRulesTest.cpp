#include "shell/file/FileRules.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void touch(const QString& path, const QByteArray& content = "x")
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

TEST(FileRules, ProposedNameDropsDotsSlashesQuotesCommasSemicolons)
{
    EXPECT_EQ(CleanConfigName(QStringLiteral("Golf 1.6; GPL")), QStringLiteral("Golf 16 GPL"));
    EXPECT_EQ(CleanConfigName(QStringLiteral("a/b\\c\"d,e;f.g")), QStringLiteral("abcdefg"));
    EXPECT_EQ(CleanConfigName(QString()), QString());
}

TEST(FileRules, PathSeparatorsAreRefused)
{
    EXPECT_TRUE(NameHasPathSeparator(QStringLiteral("../x")));
    EXPECT_TRUE(NameHasPathSeparator(QStringLiteral("Fiat\\x")));
    EXPECT_TRUE(NameHasPathSeparator(QStringLiteral("/tmp/x")));
    EXPECT_FALSE(NameHasPathSeparator(QStringLiteral("Punto 1.2 .zc4")));
}

TEST(FileRules, SavePathAddsTheExtensionUnlessTheNameEndsWithIt)
{
    struct Case {
        const char* name;
        const char* ext;
        const char* file;
    };
    for (const Case& c : {Case{"Punto", "zc4", "Punto.zc4"}, Case{"Punto.ZC4", "zc4", "Punto.ZC4"},
                          Case{"Punto.zc4.bak", "zc4", "Punto.zc4.bak.zc4"}, Case{"zc4 Punto", "zc4", "zc4 Punto.zc4"},
                          Case{"Punto.zc8", "zc4", "Punto.zc8.zc4"}, Case{"eol", "ehcf", "eol.ehcf"},
                          Case{"eol.EHCF", "ehcf", "eol.EHCF"}}) {
        EXPECT_EQ(PathToSave(QStringLiteral("/w/ConfigLPG"), QLatin1String(c.name), QLatin1String(c.ext)),
                  QStringLiteral("/w/ConfigLPG/") + QLatin1String(c.file))
            << c.name;
    }
}

TEST(FileRules, OpenNameIsTheTypedOneWhenItIsAFileElseGetsTheExtension)
{
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("old zc4 golf")));
    touch(dir.filePath(QStringLiteral("Punto.ZC4")));
    QDir(dir.path()).mkdir(QStringLiteral("Fiat"));
    struct Case {
        const char* typed;
        const char* file;
    };
    for (const Case& c : {Case{"old zc4 golf", "old zc4 golf"}, // a file: used as given
                          Case{"zc4 golf", "zc4 golf.zc4"},     // merely contains the letters
                          Case{"Punto.ZC4", "Punto.ZC4"}, Case{"Punto.zc4", "Punto.zc4"},
                          Case{"Punto", "Punto.zc4"},
                          Case{"Fiat", "Fiat.zc4"}}) // a folder is no file
        EXPECT_EQ(FileNameToOpen(dir.path(), QLatin1String(c.typed), QStringLiteral("zc4")), QLatin1String(c.file))
            << c.typed;
}

TEST(FileRules, FoldersOfFuelAndMake)
{
    EXPECT_EQ(ConfigFuelFolder(QStringLiteral("/w"), false), QStringLiteral("/w/ConfigLPG"));
    EXPECT_EQ(ConfigFuelFolder(QStringLiteral("/w/"), true), QStringLiteral("/w/ConfigCNG"));
    EXPECT_EQ(ConfigMakeFolder(QStringLiteral("/w/ConfigLPG"), QStringLiteral(".")), QStringLiteral("/w/ConfigLPG"));
    EXPECT_EQ(ConfigMakeFolder(QStringLiteral("/w/ConfigLPG"), QStringLiteral("Fiat")),
              QStringLiteral("/w/ConfigLPG/Fiat"));

    QTemporaryDir dir;
    for (const char* make : {"opel", "Fiat", "Alfa Romeo"})
        QDir(dir.path()).mkdir(QLatin1String(make));
    touch(dir.filePath(QStringLiteral("Bmw"))); // a file is no make
    EXPECT_EQ(ListMakeFolders(dir.path()),
              QStringList({QStringLiteral("Alfa Romeo"), QStringLiteral("Fiat"), QStringLiteral("opel")}));
}

TEST(FileRules, ListingMatchesTheExtensionInAnyCaseAndKeepsTheRealName)
{
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("a.zc4")));
    touch(dir.filePath(QStringLiteral("B.ZC4")));
    touch(dir.filePath(QStringLiteral("c.zc8")));
    touch(dir.filePath(QStringLiteral("d.zc4.bak")));
    QDir(dir.path()).mkdir(QStringLiteral("e.zc4"));
    QFile f(dir.filePath(QStringLiteral("a.zc4")));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2010, 3, 5), QTime(9, 7, 30)), QFileDevice::FileModificationTime));
    f.close();

    const auto rows = ListConfigRows(dir.path(), QStringLiteral("zc4"), QStringLiteral("/"), QStringLiteral(":"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Caption, QStringLiteral("a"));
    EXPECT_EQ(rows[0].FileName, QStringLiteral("a.zc4"));
    EXPECT_EQ(rows[0].Date, QStringLiteral("05/03/2010 - 09:07"));
    EXPECT_EQ(rows[1].Caption, QStringLiteral("B"));
    EXPECT_EQ(rows[1].FileName, QStringLiteral("B.ZC4"));
    EXPECT_TRUE(AnyConfigFile(dir.path(), QStringLiteral("zc8")));
    EXPECT_FALSE(AnyConfigFile(dir.path(), QStringLiteral("zcs")));
    EXPECT_TRUE(ListConfigRows(dir.filePath(QStringLiteral("missing")), QStringLiteral("zc4"), QStringLiteral("/"),
                               QStringLiteral(":"))
                    .empty());
}

TEST(FileRules, EcuKindItems)
{
    for (const auto& [type, item] : {std::pair{30, 0}, {79, 1}, {31, 2}, {53, 2}, {56, 2}, {50, 0}})
        EXPECT_EQ(EcuKindItemOfType(type), item) << type;
    EXPECT_EQ(EcuTypeOfKindItem(0), 30);
    EXPECT_EQ(EcuTypeOfKindItem(1), 79);
    EXPECT_EQ(EcuTypeOfKindItem(2), 31);
}

TEST(FileRules, MailResultTexts)
{
    const std::vector<std::pair<int, const char*>> table = {
        {2, "One or more unspecified errors occurred. No message was sent."},
        {3, "There was no default logon, and the user failed to log on successfully \nwhen the logon dialog box was "
            "displayed. No message was sent."},
        {5, "There was insufficient memory to proceed. No message was sent."},
        {9, "There were too many file attachments. No message was sent."},
        {10, "There were too many recipients. No message was sent."},
        {11, "The specified attachment was not found. No message was sent."},
        {12, "The specified attachment could not be opened. No message was sent."},
        {14, "A recipient did not appear in the address list. No message was sent."},
        {15, "The type of a recipient was not MAPI_TO, MAPI_CC, \nor MAPI_BCC. No message was sent."},
        {18, "The text in the message was too large. No message was sent."},
        {21, "A recipient matched more than one of the recipient descriptor structures \nand MAPI_DIALOG was not set. "
             "No message was sent."},
        {25, "One or more recipients were invalid or did not resolve to any address."},
        {4, ""},
        {26, ""},
        {-1, ""},
    };
    for (const auto& [result, text] : table)
        EXPECT_EQ(MailResultText(result), QString::fromUtf8(text)) << result;
}

TEST(FileRules, DamagedValuesQuestionCountsAndNamesTheFirstThreeKeys)
{
    const QString text = QStringLiteral("%1 damaged (%2)?");
    const std::vector<QByteArray> keys = {"MappaK0_0", "RifLambda", "Flag1", "Prt00030"};
    EXPECT_EQ(DamagedValuesQuestion(text, 1, {keys.begin(), keys.begin() + 1}),
              QStringLiteral("1 damaged (MappaK0_0)?"));
    EXPECT_EQ(DamagedValuesQuestion(text, 3, {keys.begin(), keys.begin() + 3}),
              QStringLiteral("3 damaged (MappaK0_0, RifLambda, Flag1)?"));
    EXPECT_EQ(DamagedValuesQuestion(text, 4, keys), QStringLiteral("4 damaged (MappaK0_0, RifLambda, Flag1, ...)?"));
}

} // namespace
