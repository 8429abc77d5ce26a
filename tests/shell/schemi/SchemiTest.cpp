#include "shell/schemi/Schemi.h"
#include "QtPrinters.h"

#include "complib/translator/Translator.h"

#include "plat/AnimationPlayer.h"
#include "plat/Desktop.h"
#include "plat/PictureButton.h"
#include "plat/ScreenCursor.h"
#include "plat/Shape.h"
#include "plat/testing/DesktopFakes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <gtest/gtest.h>

namespace {

QString canonical(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}

// An application folder in a temporary place, a fake document opener, and
// the test's current directory put back afterwards.
class SchemiWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp_.isValid());
        app = tmp_.filePath(QStringLiteral("app"));
        elsewhere = tmp_.filePath(QStringLiteral("elsewhere"));
        ASSERT_TRUE(QDir().mkpath(app));
        ASSERT_TRUE(QDir().mkpath(elsewhere));
        savedCwd_ = QDir::currentPath();
    }
    void TearDown() override { QDir::setCurrent(savedCwd_); }

    void diagram(int kind, const QString& name, const QDateTime& modified = {})
    {
        const QString folder = SchemiFolder(app, kind);
        QDir().mkpath(folder);
        QFile f(QDir(folder).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n");
        f.flush(); // before the time is set: writing would change it
        if (modified.isValid()) {
            ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
        }
    }

    // Shown and activated, as the main window's modal show does it.
    static void open(TFormSchemi& form)
    {
        form.show();
        QCoreApplication::processEvents();
        form.FormActivate(); // no-op when the show already ran it
    }

    static QStringList column(const TFormSchemi& form, int c)
    {
        QStringList out;
        for (int i = 0; i < form.ListPdfFile->topLevelItemCount(); ++i)
            out << form.ListPdfFile->topLevelItem(i)->text(c);
        return out;
    }

    // Runs the browser modally; `during` acts on it once it is up.
    static int exec(TFormSchemi& form, std::function<void()> during)
    {
        QTimer::singleShot(0, &form, [&form, during] {
            form.FormActivate();
            during();
            if (form.isVisible())
                form.done(99); // the test forgot to close it
        });
        return form.exec();
    }

    plat::testing::FakeDocumentOpener opener;
    plat::ScopedDesktop desktopGuard{{.opener = &opener}};
    QString app;
    QString elsewhere;

private:
    QTemporaryDir tmp_;
    QString savedCwd_;
};

} // namespace

TEST_F(SchemiWindow, EachKindListsItsOwnFolderSortedWithDates)
{
    const QDateTime when(QDate(2010, 3, 5), QTime(9, 7));
    diagram(0, QStringLiteral("Zafira CNG.pdf"), when);
    diagram(0, QStringLiteral("astra cng.PDF"), when);
    diagram(1, QStringLiteral("Fiat Punto.pdf"), when);
    diagram(1, QStringLiteral("a.b.pdf"), when);
    diagram(1, QStringLiteral("readme.txt"), when);
    diagram(2, QStringLiteral("Reducer CNG.Pdf"), when);
    diagram(3, QStringLiteral("Multivalve.pdf"), when);
    diagram(3, QStringLiteral("Base.pdf"), when);
    const QString date = PdfDateText(when, plat::LocaleDateSeparator(), plat::LocaleTimeSeparator());

    const struct {
        int kind;
        QStringList captions;
    } cases[] = {
        {0, {"astra cng", "Zafira CNG"}}, {1, {"a.b", "Fiat Punto"}}, {2, {"Reducer CNG"}},
        {3, {"Base", "Multivalve"}},      {5, {"a.b", "Fiat Punto"}},
    };
    for (const auto& c : cases) {
        TFormSchemi form(nullptr, c.kind, app);
        open(form);
        EXPECT_EQ(column(form, 0), c.captions) << c.kind;
        EXPECT_EQ(column(form, 1), QStringList(c.captions.size(), date)) << c.kind;
        ASSERT_EQ(form.Rows().size(), static_cast<size_t>(c.captions.size()));
        EXPECT_EQ(form.ListPdfFile->currentItem(), form.ListPdfFile->topLevelItem(0)) << c.kind;
        EXPECT_TRUE(form.ListPdfFile->topLevelItem(0)->isSelected()) << c.kind;
        EXPECT_EQ(form.ListPdfFile->selectedItems().size(), 1) << c.kind;
        EXPECT_FALSE(form.ListPdfFile->topLevelItem(0)->icon(0).isNull());
        form.done(TFormSchemi::mrCancel);
    }
}

TEST_F(SchemiWindow, ChosenRowIsOpenedByItsRealFileNameAndTheBrowserStaysOpen)
{
    diagram(1, QStringLiteral("Alfa.pdf"));
    diagram(1, QStringLiteral("Panda.PDF"));
    const QString folder = SchemiFolder(app, 1);
    TFormSchemi form(nullptr, 1, app);
    open(form);
    ASSERT_EQ(column(form, 0), (QStringList{"Alfa", "Panda"}));

    form.ImageOkClick();
    EXPECT_EQ(opener.opened, QStringList{folder + QStringLiteral("/Alfa.pdf")});

    form.ListPdfFile->setCurrentItem(form.ListPdfFile->topLevelItem(1));
    QTest::keyClick(form.ListPdfFile, Qt::Key_Return);
    QTest::keyClick(form.ListPdfFile, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(opener.opened.size(), 3);
    EXPECT_EQ(opener.opened[1], folder + QStringLiteral("/Panda.PDF")) << "not Panda.pdf, which does not exist";
    EXPECT_EQ(opener.opened[2], folder + QStringLiteral("/Panda.PDF"));

    QTest::mouseClick(form.ImageOk, Qt::LeftButton);
    EXPECT_EQ(opener.opened.size(), 4) << "a click on the open picture";

    const QRect r = form.ListPdfFile->visualItemRect(form.ListPdfFile->topLevelItem(0));
    QWidget* viewport = form.ListPdfFile->viewport();
    // What the system sends for a double click: press, release, double click, release.
    QTest::mousePress(viewport, Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, r.center());
    ASSERT_EQ(opener.opened.size(), 5) << "a double click on a row";
    EXPECT_EQ(opener.opened.last(), folder + QStringLiteral("/Alfa.pdf"));

    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(canonical(QDir::currentPath()), canonical(folder)) << "still browsing";
}

TEST_F(SchemiWindow, NothingIsOpenedWithoutASelectionOrWhenTheFileHasGone)
{
    {
        TFormSchemi empty(nullptr, 2, app);
        open(empty);
        EXPECT_EQ(empty.ListPdfFile->topLevelItemCount(), 0);
        empty.ImageOkClick();
        QTest::keyClick(empty.ListPdfFile, Qt::Key_Return);
        EXPECT_TRUE(opener.opened.isEmpty());
        EXPECT_TRUE(empty.isVisible());
    }

    diagram(3, QStringLiteral("Tank.pdf"));
    diagram(3, QStringLiteral("Valve.pdf"));
    TFormSchemi form(nullptr, 3, app);
    open(form);
    form.ListPdfFile->clearSelection();
    form.ImageOkClick();
    EXPECT_TRUE(opener.opened.isEmpty()) << "no row selected";

    form.ListPdfFile->topLevelItem(0)->setSelected(true);
    ASSERT_TRUE(QFile::remove(QDir(SchemiFolder(app, 3)).filePath(QStringLiteral("Tank.pdf"))));
    form.ImageOkClick();
    EXPECT_TRUE(opener.opened.isEmpty()) << "vanished since the list was filled";

    opener.result = false; // the viewer failed: its own affair, no message, no crash
    form.ListPdfFile->clearSelection();
    form.ListPdfFile->topLevelItem(1)->setSelected(true);
    form.ImageOkClick();
    EXPECT_EQ(opener.opened.size(), 1);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(SchemiWindow, EveryWayOfCancellingOpensNothingAndGivesTheCallersFolderBack)
{
    diagram(0, QStringLiteral("Kit.pdf"));
    const struct {
        const char* how;
        std::function<void(TFormSchemi&)> cancel;
    } cases[] = {
        {"Esc on the list", [](TFormSchemi& f) { QTest::keyClick(f.ListPdfFile, Qt::Key_Escape); }},
        {"Esc on the window", [](TFormSchemi& f) { QTest::keyClick(&f, Qt::Key_Escape); }},
        {"cancel picture", [](TFormSchemi& f) { QTest::mouseClick(f.ImageAnnulla, Qt::LeftButton); }},
        {"window closed", [](TFormSchemi& f) { f.close(); }},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(QDir::setCurrent(elsewhere));
        TFormSchemi form(nullptr, 0, app);
        EXPECT_EQ(canonical(QDir::currentPath()), canonical(SchemiFolder(app, 0))) << c.how;

        const int result = exec(form, [&] {
            EXPECT_EQ(form.ListPdfFile->topLevelItemCount(), 1) << c.how;
            c.cancel(form);
        });

        EXPECT_EQ(result, TFormSchemi::mrCancel) << c.how;
        EXPECT_FALSE(form.isVisible()) << c.how;
        EXPECT_TRUE(opener.opened.isEmpty()) << c.how;
        EXPECT_EQ(canonical(QDir::currentPath()), canonical(app))
            << c.how << ": the folder the caller passed, not the one current before";
    }
}

TEST_F(SchemiWindow, EnterDuringTheModalShowOpensAndEscThenCloses)
{
    diagram(2, QStringLiteral("Rail.pdf"));
    TFormSchemi form(nullptr, 2, app);
    const int result = exec(form, [&] {
        QTest::keyClick(form.ListPdfFile, Qt::Key_Return);
        QTest::keyClick(form.ListPdfFile, Qt::Key_Escape);
    });
    EXPECT_EQ(result, TFormSchemi::mrCancel);
    EXPECT_EQ(opener.opened, QStringList{SchemiFolder(app, 2) + QStringLiteral("/Rail.pdf")});
}

TEST_F(SchemiWindow, MissingFoldersAreCreatedAndTheDiagramFolderIsCurrentUntilTheBrowserGoes)
{
    for (int kind : {0, 1, 2, 3, 7}) {
        const QString folder = SchemiFolder(app, kind);
        ASSERT_TRUE(QDir::setCurrent(elsewhere));
        {
            TFormSchemi form(nullptr, kind, app);
            EXPECT_TRUE(QFileInfo(folder).isDir()) << kind;
            EXPECT_EQ(form.DiagramFolder(), folder);
            EXPECT_EQ(canonical(QDir::currentPath()), canonical(folder)) << kind;
            open(form);
            EXPECT_EQ(form.ListPdfFile->topLevelItemCount(), 0) << kind;
        } // deleted without being closed
        EXPECT_EQ(canonical(QDir::currentPath()), canonical(app)) << kind;
        QDir(app).removeRecursively();
        QDir().mkpath(app);
    }
}

TEST_F(SchemiWindow, ARelativeApplicationFolderStillListsOpensAndComesBack)
{
    diagram(3, QStringLiteral("Tank.pdf"));
    ASSERT_TRUE(QDir::setCurrent(QFileInfo(app).absolutePath()));
    const QString absolute = QDir::current().absoluteFilePath(QStringLiteral("app"));
    {
        TFormSchemi form(nullptr, 3, QStringLiteral("app"));
        EXPECT_EQ(form.Folder(), absolute);
        open(form);
        ASSERT_EQ(column(form, 0), QStringList{"Tank"}) << "not app/Schematics/... below the diagram folder";
        form.ImageOkClick();
        EXPECT_EQ(opener.opened, QStringList{absolute + QStringLiteral("/Schematics/PneumaticLPG/Tank.pdf")});
        form.done(TFormSchemi::mrCancel);
        EXPECT_EQ(canonical(QDir::currentPath()), canonical(absolute));
    }
    EXPECT_EQ(canonical(QDir::currentPath()), canonical(absolute));
}

TEST_F(SchemiWindow, TextsComeFromTheSourceOrTheProgramsOwnTable)
{
    {
        TFormSchemi form(nullptr, 1, app, [](int n) { return QStringLiteral("en%1").arg(n); });
        EXPECT_EQ(form.LabelCarica->text(), QStringLiteral("en455"));
        EXPECT_EQ(form.LabelAnnulla->text(), QStringLiteral("en452"));
        EXPECT_EQ(form.ListPdfFile->headerItem()->text(0), QStringLiteral("en456"));
        EXPECT_EQ(form.ListPdfFile->headerItem()->text(1), QStringLiteral("en457"));
    }
    TTranslator withoutLibrary;
    TFormSchemi viaTranslator(nullptr, 1, app, &withoutLibrary);
    TFormSchemi ownTable(nullptr, 1, app);
    for (TFormSchemi* form : {&viaTranslator, &ownTable}) {
        EXPECT_EQ(form->LabelCarica->text(), QStringLiteral("CARICA"));
        EXPECT_EQ(form->LabelAnnulla->text(), QStringLiteral("ANNULLA"));
        EXPECT_EQ(form->ListPdfFile->headerItem()->text(0), QStringLiteral("Files disponibili"));
        EXPECT_EQ(form->ListPdfFile->headerItem()->text(1), QStringLiteral("Data"));
    }
}

TEST_F(SchemiWindow, PicturesAndTheFindAnimationAreLoaded)
{
    TFormSchemi form(nullptr, 1, app);
    EXPECT_EQ(form.ImageOk->releasedId(), 10051);
    EXPECT_EQ(form.ImageOk->pressedId(), 10052);
    EXPECT_EQ(form.ImageAnnulla->releasedId(), 10053);
    EXPECT_EQ(form.ImageAnnulla->pressedId(), 10054);
    EXPECT_FALSE(form.ImageOk->currentPicture().isNull());
    EXPECT_FALSE(form.ImageAnnulla->currentPicture().isNull());
    EXPECT_TRUE(form.AnimateFind->isOpen());
    EXPECT_FALSE(form.ImageListConfig.isNull());
}

TEST_F(SchemiWindow, FillingLeavesTheDefaultCursorAndHidesTheFindPanel)
{
    diagram(1, QStringLiteral("One.pdf"));
    TFormSchemi form(nullptr, 1, app);
    open(form);
    EXPECT_EQ(plat::CurrentScreenCursor(), plat::ScreenCursor::Default);
    EXPECT_FALSE(form.PanelFind->isVisible());
    EXPECT_FALSE(form.AnimateFind->isPlaying());

    diagram(1, QStringLiteral("Two.pdf"));
    form.FillPdfList();
    EXPECT_EQ(column(form, 0), (QStringList{"One", "Two"})) << "a refill starts from an empty list";
    EXPECT_FALSE(form.PanelFind->isVisible());
}

TEST_F(SchemiWindow, FillsTheScreenWithTheListAboveThePictures)
{
    diagram(1, QStringLiteral("One.pdf"));
    TFormSchemi form(nullptr, 1, app);
    open(form);
    const QRect screen = form.screen()->geometry();
    EXPECT_EQ(form.geometry(), screen);
    EXPECT_EQ(form.ListPdfFile->width(), form.ShapeBottom->width());
    EXPECT_EQ(form.ListPdfFile->height(), form.height() * 68 / 100);
    EXPECT_EQ(form.ListPdfFile->x(), form.ShapeBottom->x());
    EXPECT_LT(form.ListPdfFile->geometry().bottom(), form.ShapeBottom->geometry().top());
    for (QWidget* w : {static_cast<QWidget*>(form.ShapeBottom), static_cast<QWidget*>(form.ImageOk),
                       static_cast<QWidget*>(form.ImageAnnulla), static_cast<QWidget*>(form.LabelCarica),
                       static_cast<QWidget*>(form.LabelAnnulla), static_cast<QWidget*>(form.ListPdfFile)})
        EXPECT_TRUE(form.rect().contains(w->geometry())) << w->objectName().toStdString();
    for (QWidget* w : {static_cast<QWidget*>(form.ImageOk), static_cast<QWidget*>(form.ImageAnnulla)})
        EXPECT_TRUE(form.ShapeBottom->geometry().contains(w->geometry())) << w->objectName().toStdString();

    const int client = form.ListPdfFile->viewport()->width();
    EXPECT_EQ(form.ListPdfFile->columnWidth(0), client * 7 / 10);
    EXPECT_LE(form.ListPdfFile->columnWidth(0) + form.ListPdfFile->columnWidth(1), client + 1)
        << "no horizontal scrolling";
}
