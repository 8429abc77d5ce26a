// The auto-calibration window against the data module on the simulated ECU,
// with scripted message boxes and virtual time: the 20 ms tick is driven by
// calling its handler.
#include "live/autocal/FormCalibraTar.h"
#include "datamodule/core/ItemCatalogue.h"
#include "live/acquisition/AcquisitionRecorder.h"
#include "live/autocal/CalibraTarPlacements.h"
#include "tests/support/rig/DataModuleRig.h"
#include "tests/support/PlacementCheck.h"

#include "plat/Desktop.h"
#include "plat/PictureButton.h"
#include "plat/ProgramFolder.h"
#include "plat/Shape.h"
#include "plat/testing/DesktopFakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using taratura::Ended;
using taratura::Idle;
using taratura::Running;

class FormCalibraTarTest : public ::testing::Test {
protected:
    explicit FormCalibraTarTest(const std::string& profile = "type=30;autocalms=1200")
        : r({.profile = profile})
    {
        r.connectEcu();
        r.dm().TimerIO->start();
    }

    std::unique_ptr<TFormCalibraTar> open(const QString& folder = {})
    {
        return std::make_unique<TFormCalibraTar>(nullptr, &extraSeen, folder);
    }

    // Ticks until pred holds (at most n ticks of 20 ms).
    template <typename P>
    bool tickUntil(TFormCalibraTar& w, P pred, int n = 400)
    {
        for (int i = 0; i < n; ++i) {
            r.clock.advance(20);
            w.TimerBlinkTimer();
            if (pred())
                return true;
        }
        return false;
    }

    std::vector<std::int32_t> ecuMapK()
    {
        std::vector<std::int32_t> v;
        EXPECT_TRUE(r.sim().PeekItem(0x54, v));
        return v;
    }
    std::vector<std::int32_t> imageMapK()
    {
        std::vector<std::int32_t> v;
        for (int row = 0; row <= r.dm().GetNumeroRighe(); ++row)
            for (int c = 0; c < r.dm().GetNumeroColonne(); ++c)
                v.push_back(r.dm().GetMappaK(row, c));
        return v;
    }
    std::vector<std::int32_t> commands()
    {
        std::vector<std::int32_t> out;
        for (const auto& c : r.callsOf("SendCommand"))
            out.push_back(c.code);
        return out;
    }
    static bool has(const std::vector<std::int32_t>& v, std::int32_t x) { return std::find(v.begin(), v.end(), x) != v.end(); }

    void expectClosedCleanly(TFormCalibraTar& w)
    {
        w.ImageExitClick();
        EXPECT_EQ(r.dm().PollItem, dm::kIdentityCode);
        EXPECT_TRUE(r.dm().TimerIO->isActive());
        EXPECT_TRUE(r.sim().Violations().empty());
    }

    bool extraSeen = false;
    rig::DataModuleRig r;
};

TEST_F(FormCalibraTarTest, OpeningTakesOverThePolling)
{
    auto w = open();
    EXPECT_EQ(r.dm().PollItem, dm::kLiveBlock);
    EXPECT_FALSE(r.dm().TimerIO->isActive());
    EXPECT_TRUE(w->TimerBlink->isActive());
    EXPECT_EQ(w->LabelOperazione->text(), rig::text(271));
    EXPECT_EQ(w->ImageInit->releasedId(), 10071);
    w->TimerBlinkTimer();
    EXPECT_GT(w->Values().Rpm, 0);
    EXPECT_EQ(w->LabGiri->text(), QString::number(w->Values().Rpm));
    expectClosedCleanly(*w);
}

TEST_F(FormCalibraTarTest, EveryControlStandsAtItsTableEntryScaledToTheScreen)
{
    const auto w = open();
    rig::ExpectPlacedFromTable(*w, taratura::kPlacements);

    // The speed scale: 500 to 3500 rpm, each mark one step right of the one
    // before.
    const QList<QLabel*> marks = w->PanelGiri->findChildren<QLabel*>(QStringLiteral("LabelScala"));
    ASSERT_EQ(marks.size(), taratura::kScaleMarks);
    const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    const plat::ScaleFactor f = plat::ScreenScaleFactor(screen->geometry().size());
    for (int i = 0; i < marks.size(); ++i) {
        const QRect design =
            plat::PlacementRect(taratura::kPlacements, "LabelScala").translated(i * taratura::kScaleStep, 0);
        EXPECT_EQ(marks[i]->geometry(), plat::ScaledRect(design, f.num, f.den)) << i;
        EXPECT_EQ(marks[i]->text(), QString::number(500 + i * 500)) << i;
    }
}

TEST_F(FormCalibraTarTest, CalibrationRunsToTheEndAndTheImageHoldsTheEcuMap)
{
    auto w = open();
    const auto before = ecuMapK();
    r.dm().Modified = 0;
    r.sim().ClearCalls();
    EXPECT_TRUE(w->FormKeyPress(13)); // Enter while idle starts it
    EXPECT_EQ(w->AutoCalibrationState, Running);
    EXPECT_EQ(w->ImageInit->releasedId(), 10069);
    ASSERT_TRUE(tickUntil(*w, [&] { return w->ProgressBar->value() == 50; }));
    EXPECT_EQ(w->LabelOperazione->text(), rig::text(278));
    ASSERT_TRUE(tickUntil(*w, [&] { return w->AutoCalibrationState == Ended; }));
    EXPECT_EQ(w->LabelOperazione->text(), rig::text(281));
    EXPECT_TRUE(w->ImageInit->isHidden());
    EXPECT_FALSE(w->LabelEnd->isHidden());
    const auto after = ecuMapK();
    EXPECT_NE(after, before);
    EXPECT_EQ(imageMapK(), after);
    EXPECT_EQ(r.dm().Modified, 1); // the image read back counts as unsaved
    const auto cmds = commands();
    EXPECT_TRUE(has(cmds, 0x12));
    EXPECT_FALSE(has(cmds, 0x15));
    // Ended lasts: Enter does nothing more.
    r.sim().ClearCalls();
    w->FormKeyPress(13);
    EXPECT_FALSE(has(commands(), 0x13));
    expectClosedCleanly(*w);
}

TEST_F(FormCalibraTarTest, FinishReadsTheImageOnceWhileItsRetryQuestionIsOpen)
{
    auto w = open();
    w->ImageInitClick();
    ASSERT_EQ(w->AutoCalibrationState, Running);
    ASSERT_TRUE(tickUntil(*w, [&] { return w->ProgressBar->value() == 78; })); // phase 11
    // From now on the ECU answers every progress poll with the end phase,
    // and the final read fails once, so that its retry question opens.
    r.sim().SetCommandOverride(0x14, std::vector<std::uint8_t>{12, 0, 0, 0}, true);
    r.sim().AddFault({.op = protovyx::Op::ReadRow, .code = 0xc154, .row = 3});
    r.sim().ClearCalls();
    // The question runs the message loop: ticks arrive while it is open,
    // and the ECU answers them (the link up again meanwhile).
    int questions = 0;
    r.prompts.onAsk([&](const plat::PromptRequest& box) {
        if (box.buttons != plat::PromptButtons::YesNo)
            return;
        ++questions;
        r.dm().Protocol()->Connect();
        for (int i = 0; i < 5; ++i) {
            r.clock.advance(20);
            w->TimerBlinkTimer();
        }
    });
    r.prompts.script(plat::IDNO);
    r.clock.advance(20);
    w->TimerBlinkTimer();
    r.prompts.onAsk(nullptr);

    EXPECT_EQ(questions, 1);
    EXPECT_EQ(w->AutoCalibrationState, Ended);
    EXPECT_EQ(w->LabelOperazione->text(), rig::text(281));
    // One finish: one close command, one read of the image (map K's first
    // row read once).
    const auto cmds = commands();
    EXPECT_EQ(std::count(cmds.begin(), cmds.end(), 0x12), 1);
    int mapRowReads = 0;
    for (const auto& c : r.callsOf("ReadRow"))
        mapRowReads += c.code == 0xc154 && c.row == 0;
    EXPECT_EQ(mapRowReads, 1);
}

TEST_F(FormCalibraTarTest, UserAbortLeavesEcuAndImageAsTheyWere)
{
    auto w = open();
    const auto before = ecuMapK();
    const auto image = imageMapK();
    w->ImageInitClick();
    ASSERT_TRUE(tickUntil(*w, [&] { return w->ProgressBar->value() >= 21; }));
    r.dm().Modified = 1;
    r.sim().ClearCalls();
    w->ImageInitClick();
    EXPECT_EQ(w->AutoCalibrationState, Idle);
    EXPECT_EQ(w->LabelOperazione->text(), rig::text(271));
    EXPECT_EQ(w->ImageInit->releasedId(), 10071);
    EXPECT_TRUE(w->ProgressBar->isHidden());
    EXPECT_TRUE(has(commands(), 0x15));
    EXPECT_EQ(r.dm().Modified, 0);
    EXPECT_TRUE(r.sim().LinkOpen());
    // The ECU no longer calibrates, and map K is what it was everywhere.
    tickUntil(*w, [] { return false; }, 100);
    EXPECT_EQ(ecuMapK(), before);
    EXPECT_EQ(imageMapK(), image);
    expectClosedCleanly(*w);
}

TEST_F(FormCalibraTarTest, ClosingWhileRunningAborts)
{
    auto w = open();
    w->ImageInitClick();
    ASSERT_TRUE(tickUntil(*w, [&] { return w->ProgressBar->value() >= 21; }));
    r.sim().ClearCalls();
    const auto before = r.clock.tickCount();
    w->ImageExitClick();
    EXPECT_TRUE(has(commands(), 0x15));
    EXPECT_GE(r.clock.tickCount() - before, 3000u);
    EXPECT_EQ(w->AutoCalibrationState, Idle);
    EXPECT_EQ(r.dm().PollItem, dm::kIdentityCode);
    EXPECT_TRUE(r.dm().TimerIO->isActive());
}

TEST_F(FormCalibraTarTest, NotConnectedShowsTheBoxOnly)
{
    auto w = open();
    r.dm().Protocol()->Disconnect();
    r.sim().ClearCalls();
    w->ImageInitClick();
    EXPECT_EQ(r.prompts.texts(), QStringList{rig::text(53)});
    EXPECT_EQ(w->AutoCalibrationState, Idle);
    EXPECT_TRUE(commands().empty());
}

class FormCalibraTarRefusedTest : public FormCalibraTarTest {
protected:
    FormCalibraTarRefusedTest()
        : FormCalibraTarTest("type=30;autocalfault=refuse;autocalflags=0x06;fail=SendCommand:0x13:skip2")
    {
    }
};

TEST_F(FormCalibraTarRefusedTest, RefusalsRestartUntilTheRestartIsRefused)
{
    auto w = open();
    const auto before = ecuMapK();
    w->ImageInitClick();
    ASSERT_EQ(w->AutoCalibrationState, Running);
    w->TimerBlinkTimer(); // refusal, restart accepted
    EXPECT_EQ(w->LabelOperazione->text(), rig::text(284));
    EXPECT_EQ(w->AutoCalibrationState, Running);
    EXPECT_TRUE(r.prompts.shown().empty());
    w->TimerBlinkTimer(); // refusal, restart refused
    EXPECT_EQ(w->AutoCalibrationState, Idle);
    EXPECT_EQ(r.prompts.texts(), QStringList{rig::text(272)});
    EXPECT_EQ(w->ImageInit->releasedId(), 10071);
    EXPECT_EQ(ecuMapK(), before);
    expectClosedCleanly(*w);
}

class FormCalibraTarDropTest : public FormCalibraTarTest {
protected:
    FormCalibraTarDropTest() : FormCalibraTarTest("type=30;autocalms=1200;autocalfault=drop") {}
};

TEST_F(FormCalibraTarDropTest, LinkDropKeepsPollingAndClosingReconnects)
{
    auto w = open();
    const auto before = ecuMapK();
    const auto image = imageMapK();
    w->ImageInitClick();
    ASSERT_TRUE(tickUntil(*w, [&] { return w->LabelOperazione->text() == rig::text(273); }));
    EXPECT_EQ(w->AutoCalibrationState, Running);
    EXPECT_TRUE(w->ProgressBar->isHidden());
    EXPECT_FALSE(r.dm().Protocol()->IsConnected());
    // Without the link a click only says so.
    w->ImageInitClick();
    EXPECT_EQ(r.prompts.texts().last(), rig::text(53));
    EXPECT_EQ(w->AutoCalibrationState, Running);
    r.sim().RestoreLink();
    w->ImageExitClick(); // aborts: reconnects, the modified flag cleared
    EXPECT_TRUE(r.sim().LinkOpen());
    EXPECT_EQ(r.dm().Modified, 0);
    EXPECT_EQ(ecuMapK(), before);
    EXPECT_EQ(imageMapK(), image);
    EXPECT_EQ(r.dm().PollItem, dm::kIdentityCode);
    EXPECT_TRUE(r.dm().TimerIO->isActive());
}

class FormCalibraTarDiagnosticTest : public FormCalibraTarTest {
protected:
    FormCalibraTarDiagnosticTest() : FormCalibraTarTest("type=30;autocalms=60000;errors=0,4") {}
};

TEST_F(FormCalibraTarDiagnosticTest, DiagnosticErrorStopsARunningCalibration)
{
    auto w = open();
    w->ImageInitClick();
    ASSERT_EQ(w->AutoCalibrationState, Running);
    r.sim().ClearCalls();
    ASSERT_TRUE(tickUntil(*w, [&] { return w->AutoCalibrationState == Ended; }, 20));
    EXPECT_EQ(w->LabelOperazione->text(), rig::text(288));
    EXPECT_TRUE(has(commands(), 0x15));
    EXPECT_FALSE(w->ImageDiagnosiOn->isHidden());
    expectClosedCleanly(*w);
}

TEST_F(FormCalibraTarTest, RecordingWritesAndSavesTheAcquisition)
{
    QTemporaryDir dir;
    plat::SetProgramFolder(dir.path());
    plat::testing::FakeFileDialogs dialogs;
    plat::ScopedDesktop desktop({.fileDialogs = &dialogs});
    {
        auto w = open(dir.path());
        w->ImageRecClick();
        EXPECT_TRUE(w->Recording());
        EXPECT_TRUE(w->ImageStop->isEnabled());
        for (int i = 0; i < 5; ++i) {
            r.clock.advance(20);
            w->TimerBlinkTimer();
        }
        const QString target = dir.filePath(QStringLiteral("run.txt"));
        dialogs.script(target);
        w->ImageStopClick();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].request.title, rig::text(475));
        // The dialog starts in the program's own folder, not the current one.
        EXPECT_EQ(dialogs.shown[0].request.initialDir, dir.filePath(QStringLiteral("Acquisition")));
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll().count("\r\n"), 6); // header + column line + 5 data lines
        // A recording running at close is stopped and offered first.
        w->ImageRecClick();
        w->ImageExitClick();
        EXPECT_EQ(dialogs.shown.size(), 2u);
        EXPECT_FALSE(w->Recorder().HasUnsaved()); // cancelled: discarded

        // A chosen name that cannot be replaced: the error box, then the
        // dialog again.
        const QString folderInTheWay = dir.filePath(QStringLiteral("taken.txt"));
        ASSERT_TRUE(QDir().mkdir(folderInTheWay));
        w = open(dir.path());
        w->ImageRecClick();
        dialogs.script(folderInTheWay);
        w->ImageStopClick();
        ASSERT_EQ(r.prompts.shown().size(), 1u);
        EXPECT_EQ(r.prompts.shown()[0].icon, plat::PromptIcon::Error);
        // The window's own text for the cause (a folder is no file that
        // cannot be overwritten), then the system's reason on a line of its own.
        EXPECT_TRUE(r.prompts.shown()[0].text.startsWith(rig::text(qz::live::kAcqStringCannotSave) + QLatin1Char('\n')))
            << r.prompts.shown()[0].text.toStdString();
        EXPECT_TRUE(r.prompts.shown()[0].text.contains(folderInTheWay));
        EXPECT_EQ(dialogs.shown.size(), 4u);
    }
    plat::SetProgramFolder(QString());
}

TEST_F(FormCalibraTarTest, TopBarUnitsAndPicturesAndTheWindowFitsItsScaledControls)
{
    auto w = open();
    const std::pair<const char*, const char*> units[] = {
        {"LabelGradi", "\u00b0C"}, {"LabelGradi1", "\u00b0C"}, {"LabelMsTGas", "ms"},
        {"LabelMsTBenz", "ms"},    {"LabelGasBar", "bar"},     {"LabelMapBar", "bar"},
    };
    for (const auto& [name, unit] : units) {
        const auto* l = w->PanelBarra->findChild<QLabel*>(QLatin1String(name));
        ASSERT_NE(l, nullptr) << name;
        EXPECT_EQ(l->text(), QString::fromUtf8(unit)) << name;
    }
    for (plat::PictureButton* p : {w->ImageLambda1, w->ImageLambda2, w->ImageLambdaValue, w->ImageLambda2Value})
        EXPECT_FALSE(p->currentPicture().isNull()) << p->objectName().toStdString();
    // The window has the scale of its controls: every one lies inside it,
    // and they reach across it as in the design (the exit picture at the
    // right edge, the top bar as wide as the window).
    for (const QWidget* c : w->findChildren<QWidget*>()) {
        if (c->parentWidget() != w.get())
            continue;
        EXPECT_TRUE(w->rect().contains(c->geometry())) << c->objectName().toStdString();
    }
    EXPECT_GT(w->ImageExit->geometry().right(), w->width() * 95 / 100);
    EXPECT_EQ(w->PanelBarra->width(), w->width());
    // The diagnostics caption has room for its longest text.
    const auto* diagnosi = w->LabelDiagnosi;
    EXPECT_GE(diagnosi->width(), diagnosi->fontMetrics().horizontalAdvance(QStringLiteral("DIAGNOSTICS")));
}

// The visible "ms" label on the row of a time readout, right after it.
const QLabel* msBeside(const QLabel* value)
{
    for (const QLabel* l : value->parentWidget()->findChildren<QLabel*>()) {
        const QRect g = l->geometry();
        if (l != value && l->isVisibleTo(value->window()) && l->text() == QLatin1String("ms") &&
            g.center().y() >= value->geometry().top() && g.center().y() <= value->geometry().bottom() &&
            g.left() >= value->geometry().right() && g.left() <= value->geometry().right() + 12)
            return l;
    }
    return nullptr;
}

class FormCalibraTarTwoBankTest : public FormCalibraTarTest {
protected:
    FormCalibraTarTwoBankTest() : FormCalibraTarTest("type=30;banks=2") {}
};

TEST_F(FormCalibraTarTwoBankTest, EveryInjectionTimeHasItsUnitBesideIt)
{
    auto w = open();
    w->TimerBlinkTimer();
    for (const QLabel* value : {w->LabApMot, w->LabApMot2, w->LabApMotBenz, w->LabApMot2Benz}) {
        SCOPED_TRACE(value->objectName().toStdString());
        ASSERT_TRUE(value->isVisibleTo(w.get()));
        EXPECT_FALSE(value->text().isEmpty());
        EXPECT_NE(msBeside(value), nullptr);
    }
}

TEST_F(FormCalibraTarTest, OneBankShowsNoSecondBankUnit)
{
    r.dm().Item(0x2303)[0] |= 0x4; // one lambda probe
    auto w = open();
    ASSERT_FALSE(r.dm().HasSecondaSonda());
    ASSERT_TRUE(w->LabApMot2->isHidden());
    for (const QLabel* value : {w->LabApMot, w->LabApMotBenz})
        EXPECT_NE(msBeside(value), nullptr) << value->objectName().toStdString();
    int units = 0;
    for (const QLabel* l : w->PanelBarra->findChildren<QLabel*>())
        units += l->isVisibleTo(w.get()) && l->text() == QLatin1String("ms");
    EXPECT_EQ(units, 2);
}

} // namespace
