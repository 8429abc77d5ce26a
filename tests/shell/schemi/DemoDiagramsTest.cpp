// The demo diagrams the build lays into the program folder.
#include "QtPrinters.h"
#include "shell/schemi/SchemiFiles.h"
#include "tools/pdfgen_diagrams/Diagrams.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(DemoDiagrams, EveryKindGetsSmallValidPdfsThatTheBrowserLists)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString schematics = tmp.filePath(QStringLiteral("Schematics"));

    QSet<QString> names;
    for (const pdfgen::Diagram& d : pdfgen::Catalogue()) {
        EXPECT_FALSE(names.contains(d.name.toLower())) << "twice: " << d.name.toStdString();
        names.insert(d.name.toLower());
        const QString path = QDir(schematics).filePath(d.name);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QString why;
        ASSERT_TRUE(pdfgen::write(d, path, &why)) << d.name.toStdString() << ": " << why.toStdString();

        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        EXPECT_TRUE(bytes.startsWith("%PDF-")) << d.name.toStdString();
        EXPECT_TRUE(bytes.right(16).contains("%%EOF")) << d.name.toStdString();
        EXPECT_GT(bytes.size(), 2000) << "something is drawn: " << d.name.toStdString();
        EXPECT_LT(bytes.size(), 200 * 1024) << "small: " << d.name.toStdString();
        EXPECT_EQ(pdfgen::Find(d.name), &d);
    }
    EXPECT_EQ(pdfgen::Find(QStringLiteral("ElectricalLPG/none.pdf")), nullptr);

    const QString app = tmp.path();
    for (int kind = 0; kind < 4; ++kind) {
        const std::vector<TPdfRow> rows = ListPdfRows(SchemiFolder(app, kind), QStringLiteral("/"), QStringLiteral(":"));
        EXPECT_GE(rows.size(), 2u) << "kind " << kind;
    }
    const std::vector<TPdfRow> lpg = ListPdfRows(SchemiFolder(app, 1), QStringLiteral("/"), QStringLiteral(":"));
    ASSERT_EQ(lpg.size(), 2u);
    EXPECT_EQ(lpg[1].Caption, QStringLiteral("LPG 6-8 cylinders"));
    EXPECT_EQ(lpg[1].FileName, QStringLiteral("LPG 6-8 cylinders.PDF"));
}

TEST(DemoDiagrams, AnUnwritablePlaceIsReported)
{
    QTemporaryDir tmp;
    QString why;
    EXPECT_FALSE(pdfgen::write(pdfgen::Catalogue().front(), tmp.filePath(QStringLiteral("no/such/folder/x.pdf")), &why));
    EXPECT_FALSE(why.isEmpty());
}
