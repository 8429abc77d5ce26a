#include "shell/main/MainRules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mainrules;

TEST(OfflineTypeCycle, SevenStepsFromEachTypeComeBackAndOthersStay)
{
    const int cycle[] = {30, 55, 79, 50, 54, 31, 56};
    for (int start : cycle) {
        int t = start;
        for (int i = 0; i < 7; ++i) {
            t = NextOfflineEcuType(t);
            if (i < 6) {
                EXPECT_NE(t, start) << start << " step " << i;
            }
        }
        EXPECT_EQ(t, start);
    }
    EXPECT_EQ(NextOfflineEcuType(30), 55);
    EXPECT_EQ(NextOfflineEcuType(56), 30);
    for (int other : {0, 3, 37, 38, 53})
        EXPECT_EQ(NextOfflineEcuType(other), other);
}

TEST(SelectionFrame, CentredOnThePictureWithHalvesTruncatedTowardZero)
{
    EXPECT_EQ(FramePosition(QRect(100, 200, 150, 120), QSize(178, 148)), QPoint(86, 186));
    // Odd difference: 29 / 2 = 14.
    EXPECT_EQ(FramePosition(QRect(100, 200, 150, 120), QSize(179, 149)), QPoint(86, 186));
    // A frame smaller than the picture: -3 / 2 = -1 (toward zero), not -2.
    EXPECT_EQ(FramePosition(QRect(10, 10, 50, 50), QSize(47, 47)), QPoint(11, 11));
}

TEST(SelectionKeys, StopAtBothEnds)
{
    struct Case { int selected, key, expected; } cases[] = {
        {0, Qt::Key_Left, 0}, {0, Qt::Key_Up, 0}, {3, Qt::Key_Left, 2}, {3, Qt::Key_Up, 2},
        {7, Qt::Key_Right, 7}, {7, Qt::Key_Down, 7}, {3, Qt::Key_Right, 4}, {3, Qt::Key_Down, 4},
        {3, Qt::Key_Space, 3}, {3, Qt::Key_Return, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SelectionAfterKey(c.selected, 8, c.key), c.expected) << c.selected << " " << c.key;
    EXPECT_EQ(SelectionAfterKey(0, 1, Qt::Key_Right), 0);
}

TEST(VersionText, MajorMinorReleaseOrNotAvailable)
{
    struct Case { const char* in; const char* out; } cases[] = {
        {"1.0.0.0", "1.0.0"}, {"2.5.17.300", "2.5.17"}, {"3", "3.0.0"}, {"4.1", "4.1.0"},
        {"", "n.d."}, {"x.1.2.3", "n.d."}, {" ", "n.d."},
        // %i reads a leading 0 as octal: "010" is 8.
        {"1.010.0.0", "1.8.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionText(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}

TEST(FirmwareLabel, FormatsByStateTypeAndCustomer)
{
    const QString t = QStringLiteral("FW");
    EXPECT_EQ(FirmwareLabel(t, false, QStringLiteral(": "), 30, 4, 50, 2), QStringLiteral("FW n.d."));
    EXPECT_EQ(FirmwareLabel(t, true, QStringLiteral(": "), 30, 4, 30, 1), QStringLiteral("FW: 30.4"));
    EXPECT_EQ(FirmwareLabel(t, true, QStringLiteral(" "), 7, 12, 50, 1), QStringLiteral("FW 7.12 (VANT)"));
    EXPECT_EQ(FirmwareLabel(t, true, QStringLiteral(": "), 1, 0, 79, 2), QStringLiteral("FW: 1.0 (ORSEL) (Tolvi)"));
    EXPECT_EQ(FirmwareLabel(t, true, QStringLiteral(": "), 22, 0, 55, 2), QStringLiteral("FW: 22.0 (Tolvi)"));
}

TEST(EcuPicture, ByType)
{
    struct Case { int type, id; } cases[] = {{50, 10078}, {54, 10079}, {55, 10080}, {56, 10080}, {79, 10089},
                                             {30, 10077}, {31, 10077}, {53, 10077}, {3, 10077}};
    for (const auto& c : cases)
        EXPECT_EQ(EcuPictureId(c.type), c.id) << c.type;
}

namespace {
void touch(const QString& path, bool readOnly = false)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    if (readOnly)
        f.setPermissions(QFileDevice::ReadOwner);
}
} // namespace

TEST(LeftoverFiles, TemporaryAndUpdateFilesGoTheRestStays)
{
    QTemporaryDir temp, app, outside;
    QDir t(temp.path()), a(app.path());
    ASSERT_TRUE(a.mkdir(QStringLiteral("Update")));
    for (const char* n : {"_mp1.tmp", "_mtA77.tmp", "_mp.tmp", "keep.tmp", "_mp1.txt", "x_mp1.tmp"})
        touch(t.filePath(QLatin1String(n)));
    touch(t.filePath(QStringLiteral("_mpRO.tmp")), true);
    ASSERT_TRUE(t.mkdir(QStringLiteral("_mpdir.tmp")));
    touch(outside.filePath(QStringLiteral("target")), true);
    ASSERT_TRUE(QFile::link(outside.filePath(QStringLiteral("target")), t.filePath(QStringLiteral("_mplink.tmp"))));
    for (const char* n : {"new.exe", "notes.txt", "data.dat", "a.exe", "archive.zip"})
        touch(a.filePath(QStringLiteral("Update/") + QLatin1String(n)));

    const QStringList deleted = DeleteLeftoverFiles(temp.path(), app.path());

    for (const char* n : {"_mp1.tmp", "_mtA77.tmp", "_mp.tmp", "_mpRO.tmp", "_mplink.tmp"})
        EXPECT_FALSE(QFileInfo::exists(t.filePath(QLatin1String(n)))) << n;
    for (const char* n : {"keep.tmp", "_mp1.txt", "x_mp1.tmp", "_mpdir.tmp"})
        EXPECT_TRUE(QFileInfo::exists(t.filePath(QLatin1String(n)))) << n;
    // The link went; what it pointed to is untouched, read-only as it was.
    const QFileInfo target(outside.filePath(QStringLiteral("target")));
    EXPECT_TRUE(target.exists());
    EXPECT_FALSE(target.permissions() & QFileDevice::WriteOwner);
    for (const char* n : {"new.exe", "notes.txt", "a.exe"})
        EXPECT_FALSE(QFileInfo::exists(a.filePath(QStringLiteral("Update/") + QLatin1String(n)))) << n;
    for (const char* n : {"data.dat", "archive.zip"})
        EXPECT_TRUE(QFileInfo::exists(a.filePath(QStringLiteral("Update/") + QLatin1String(n)))) << n;
    EXPECT_EQ(deleted.size(), 8);
}

TEST(LeftoverFiles, MissingFoldersAreNoError)
{
    EXPECT_TRUE(DeleteLeftoverFiles(QStringLiteral("/nonexistent/qz"), QStringLiteral("/nonexistent/qz")).isEmpty());
}

TEST(MainRules, FirstConnectReportForTheHeadlessRun)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("report"));
    mainrules::ReportFirstConnect(true, 30); // no variable: nothing written
    EXPECT_FALSE(QFile::exists(path));
    qputenv("QZ_STARTUP_REPORT", path.toLocal8Bit());
    mainrules::ReportFirstConnect(true, 55);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("connected 55\n"));
    f.close();
    mainrules::ReportFirstConnect(false, 30);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("offline\n"));
    qunsetenv("QZ_STARTUP_REPORT");
}
