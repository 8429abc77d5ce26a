#include "shell/schemi/SchemiFiles.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Creates folder/name with a little content and the given last-write time.
void touch(const QString& folder, const QString& name, const QDateTime& modified = {})
{
    QDir().mkpath(folder);
    QFile f(QDir(folder).filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
    f.write("%PDF-1.4\n");
    f.flush(); // before the time is set: writing would change it
    if (modified.isValid()) {
        ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    f.close();
}

QStringList captions(const std::vector<TPdfRow>& rows)
{
    QStringList out;
    for (const TPdfRow& r : rows)
        out << r.Caption;
    return out;
}

QStringList fileNames(const std::vector<TPdfRow>& rows)
{
    QStringList out;
    for (const TPdfRow& r : rows)
        out << r.FileName;
    return out;
}

} // namespace

TEST(SchemiFiles, EachKindHasItsFolderAndUnknownKindsShowElectricalLpg)
{
    const struct {
        int kind;
        const char* sub;
    } cases[] = {
        {0, "Schematics/ElectricalCNG"}, {1, "Schematics/ElectricalLPG"}, {2, "Schematics/PneumaticCNG"},
        {3, "Schematics/PneumaticLPG"},  {4, "Schematics/ElectricalLPG"}, {5, "Schematics/ElectricalLPG"},
        {-1, "Schematics/ElectricalLPG"}, {1000, "Schematics/ElectricalLPG"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SchemiSubFolder(c.kind), QLatin1String(c.sub)) << c.kind;
        EXPECT_EQ(SchemiFolder(QStringLiteral("/opt/qz"), c.kind), QStringLiteral("/opt/qz/") + QLatin1String(c.sub))
            << c.kind;
    }
    EXPECT_EQ(SchemiFolder(QStringLiteral("/opt/qz/"), 2), QStringLiteral("/opt/qz/Schematics/PneumaticCNG"))
        << "a trailing separator in the application folder is not doubled";
}

TEST(SchemiFiles, PdfNamesMatchWithoutRegardToCaseAndLoseTheirLastFourCharacters)
{
    const struct {
        const char* name;
        bool pdf;
        const char* caption;
    } cases[] = {
        {"Fiat Punto.pdf", true, "Fiat Punto"},
        {"a.b.pdf", true, "a.b"},
        {"PANDA.PDF", true, "PANDA"},
        {"Mixed.Pdf", true, "Mixed"},
        {".pdf", true, ""},
        {"x.pdfx", false, nullptr},
        {"x.pdf.bak", false, nullptr},
        {"xpdf", false, nullptr},
        {"pdf", false, nullptr},
        {"x.txt", false, nullptr},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(IsPdfFileName(name), c.pdf) << c.name;
        if (c.caption) {
            EXPECT_EQ(PdfCaption(name), QString::fromUtf8(c.caption)) << c.name;
        }
    }
    EXPECT_EQ(PdfCaption(QStringLiteral("abc")), QString()) << "shorter than four characters: nothing left";
}

TEST(SchemiFiles, DateTextHasTwoDigitFieldsAFullYearAndTheGivenSeparators)
{
    const struct {
        QDateTime when;
        const char* date;
        const char* time;
        const char* text;
    } cases[] = {
        {QDateTime(QDate(2010, 3, 5), QTime(9, 7)), "/", ":", "05/03/2010 - 09:07"},
        {QDateTime(QDate(2010, 3, 5), QTime(9, 7)), ".", ".", "05.03.2010 - 09.07"},
        {QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)), "-", ":", "31-12-2024 - 23:59"},
        {QDateTime(QDate(2001, 1, 1), QTime(0, 0)), "/", ":", "01/01/2001 - 00:00"},
        {QDateTime(QDate(2015, 10, 20), QTime(14, 30)), "/", ":", "20/10/2015 - 14:30"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PdfDateText(c.when, QLatin1String(c.date), QLatin1String(c.time)), QLatin1String(c.text))
            << c.text;
}

TEST(SchemiFiles, ListsOnlyPdfFilesSortedByCaptionKeepingTheRealNames)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = tmp.filePath(QStringLiteral("d"));
    const QDateTime when(QDate(2010, 3, 5), QTime(9, 7));
    for (const char* name : {"b.pdf", "A.PDF", "c.Pdf", "Fiat Punto.pdf", "a.b.pdf", "notes.txt", "x.pdfx",
                             "old.pdf.bak", ".hidden.pdf"})
        touch(dir, QString::fromUtf8(name), when);
    ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("/folder.pdf"))) << "a folder is not a diagram";

    const std::vector<TPdfRow> rows = ListPdfRows(dir, QStringLiteral("/"), QStringLiteral(":"));

    EXPECT_EQ(captions(rows), (QStringList{".hidden", "A", "a.b", "b", "c", "Fiat Punto"}));
    EXPECT_EQ(fileNames(rows), (QStringList{".hidden.pdf", "A.PDF", "a.b.pdf", "b.pdf", "c.Pdf", "Fiat Punto.pdf"}));
    for (const TPdfRow& r : rows)
        EXPECT_EQ(r.Date, QStringLiteral("05/03/2010 - 09:07")) << r.FileName.toStdString();
}

TEST(SchemiFiles, NamesDifferingOnlyInCaseAreBothListedInAFixedOrder)
{
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    for (const char* name : {"punto.pdf", "Punto.pdf", "Punto.PDF", "Alfa.pdf"})
        touch(dir, QString::fromUtf8(name));

    const std::vector<TPdfRow> rows = ListPdfRows(dir, QStringLiteral("/"), QStringLiteral(":"));

    EXPECT_EQ(captions(rows), (QStringList{"Alfa", "Punto", "Punto", "punto"}));
    EXPECT_EQ(fileNames(rows), (QStringList{"Alfa.pdf", "Punto.PDF", "Punto.pdf", "punto.pdf"}));
}

TEST(SchemiFiles, RowsCarryEachFilesOwnLocalDate)
{
    QTemporaryDir tmp;
    const QDateTime first(QDate(2010, 3, 5), QTime(9, 7), Qt::LocalTime);
    const QDateTime second(QDate(2023, 11, 28), QTime(17, 45), Qt::LocalTime);
    touch(tmp.path(), QStringLiteral("one.pdf"), first);
    touch(tmp.path(), QStringLiteral("two.pdf"), second.toUTC()); // stored in UTC, shown in local time

    const std::vector<TPdfRow> rows = ListPdfRows(tmp.path(), QStringLiteral("."), QStringLiteral("h"));

    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Date, QStringLiteral("05.03.2010 - 09h07"));
    EXPECT_EQ(rows[1].Date, QStringLiteral("28.11.2023 - 17h45"));
}

TEST(SchemiFiles, MissingFolderListsNothingAndIsCreatedWithItsParents)
{
    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("app/Schematics/PneumaticLPG"));
    EXPECT_TRUE(ListPdfRows(dir, QStringLiteral("/"), QStringLiteral(":")).empty());

    EXPECT_TRUE(ForceSchemiFolder(dir));
    EXPECT_TRUE(QFileInfo(dir).isDir());
    EXPECT_TRUE(ForceSchemiFolder(dir)) << "an existing folder is fine";
    EXPECT_TRUE(ListPdfRows(dir, QStringLiteral("/"), QStringLiteral(":")).empty());

    touch(tmp.path(), QStringLiteral("file"));
    EXPECT_FALSE(ForceSchemiFolder(tmp.filePath(QStringLiteral("file/below")))) << "a file in the way";
}

TEST(SchemiFiles, PathToOpenIsTheRealFileAndEmptyWhenItHasGone)
{
    QTemporaryDir tmp;
    touch(tmp.path(), QStringLiteral("Panda.PDF"));
    std::vector<TPdfRow> rows = ListPdfRows(tmp.path(), QStringLiteral("/"), QStringLiteral(":"));
    ASSERT_EQ(rows.size(), 1u);

    EXPECT_EQ(PdfPathToOpen(tmp.path(), rows[0]), tmp.filePath(QStringLiteral("Panda.PDF")));

    ASSERT_TRUE(QFile::remove(tmp.filePath(QStringLiteral("Panda.PDF"))));
    EXPECT_EQ(PdfPathToOpen(tmp.path(), rows[0]), QString());

    ASSERT_TRUE(QDir().mkpath(tmp.filePath(QStringLiteral("Panda.PDF"))));
    EXPECT_EQ(PdfPathToOpen(tmp.path(), rows[0]), QString()) << "a folder of that name is not opened";
    EXPECT_EQ(PdfPathToOpen(tmp.path(), TPdfRow{}), QString());
}
