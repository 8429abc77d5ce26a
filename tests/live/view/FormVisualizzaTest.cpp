// The live view against the data module on the simulated ECU, with fake
// dialogs, scripted message boxes and virtual time. Ticks are driven by
// calling the tick handler.
#include "live/view/FormVisualizza.h"
#include "datamodule/core/ItemCatalogue.h"
#include "live/diagnostics/FormDiagnosi.h"
#include "live/view/VisualizzaPlacements.h"
#include "tests/support/rig/DataModuleRig.h"
#include "tests/support/PlacementCheck.h"

#include "live/acquisition/AcquisitionRecorder.h"
#include "plat/PictureButton.h"
#include "plat/ProgramFolder.h"
#include "plat/Shape.h"
#include "plat/testing/DesktopFakes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <map>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class FormVisualizzaTest : public ::testing::Test {
protected:
    FormVisualizzaTest() : desktop_({&dialogs, nullptr, nullptr})
    {
        plat::SetProgramFolder(folder.path());
        QDir(folder.path()).mkdir(QStringLiteral("Acquisition"));
    }
    ~FormVisualizzaTest() override
    {
        TFormVisualizza::GraphWindowOpener() = nullptr;
        plat::SetProgramFolder(QString());
    }

    std::unique_ptr<TFormVisualizza> open(bool* seen = nullptr)
    {
        auto w = std::make_unique<TFormVisualizza>(nullptr, seen, folder.path());
        w->FormShow();
        return w;
    }

    // A live block as the ECU would send it (the link stays closed, so the
    // poll step leaves it alone).
    void frame(std::uint8_t status, int length = 50)
    {
        r.dm().LiveBlock.fill(0);
        r.dm().LiveBlock[11] = status;
        r.dm().LiveLength = length;
    }

    static bool shown(const QWidget* w) { return !w->isHidden(); }

    std::vector<std::int32_t> optionWrites()
    {
        std::vector<std::int32_t> words;
        for (const auto& c : r.sim().Calls())
            if ((c.code & 0xFFFF) == 0x2303 && c.name.rfind("Write", 0) == 0 && !c.in.empty())
                words.push_back(c.in[0]);
        return words;
    }

    QString acquisition(const char* name) const { return QDir(folder.path()).filePath(QLatin1String(name)); }

    rig::DataModuleRig r;
    plat::testing::FakeFileDialogs dialogs;
    QTemporaryDir folder;

private:
    plat::ScopedDesktop desktop_;
};

TEST_F(FormVisualizzaTest, OpeningTakesOverThePollingAndClosingGivesItBack)
{
    r.dm().TimerIO->start();
    auto w = open();
    EXPECT_EQ(r.dm().PollItem, dm::kLiveBlock);
    EXPECT_FALSE(r.dm().TimerIO->isActive());
    EXPECT_TRUE(w->Timer->isActive());
    EXPECT_EQ(w->Timer->interval(), 20);
    EXPECT_TRUE(w->TimerRedraw->isActive());
    EXPECT_EQ(w->TimerRedraw->interval(), 1000);
    EXPECT_EQ(w->PreviousStatus(), -1);
    EXPECT_TRUE(w->RedrawPending());
    EXPECT_EQ(w->LabelExit->text(), rig::text(410));
    EXPECT_EQ(w->SaveDialogDrt.Filter, rig::text(477) + QStringLiteral("|*.txt"));
    EXPECT_EQ(w->SaveDialogDrt.InitialDir, acquisition("Acquisition"));

    EXPECT_TRUE(w->FormKeyPress(27));
    EXPECT_EQ(w->result(), TFormVisualizza::mrCancel);
    EXPECT_EQ(r.dm().PollItem, dm::kIdentityCode);
    EXPECT_TRUE(r.dm().TimerIO->isActive());
    EXPECT_FALSE(w->Timer->isActive());
}

TEST_F(FormVisualizzaTest, EveryControlStandsAtItsTableEntryScaledToTheScreen)
{
    const auto w = open();
    rig::ExpectPlacedFromTable(*w, visualizza::kPlacements);
}

TEST_F(FormVisualizzaTest, OneTickShowsTheEngineModel)
{
    r.connectEcu();
    r.clock.sleep(70000); // warmed up: on gas
    r.dm().BuildTempMotoreTable(false);
    r.dm().BuildTemperaturaGasTable(*r.dm().Item(0x86));
    auto w = open();
    r.sim().ClearCalls();
    w->TimerTimer();

    const auto reads = r.callsOf("ReadBlock");
    ASSERT_EQ(reads.size(), 1u);
    const auto& b = reads[0].out;
    ASSERT_GE(b.size(), 20u);
    const int rpm = b[0] | (b[1] << 8);
    EXPECT_GT(rpm, 800);
    EXPECT_EQ(w->Values().Rpm, rpm);
    EXPECT_EQ(w->LabelGiri->text(), QString::number(rpm / 10 * 10));
    EXPECT_EQ(w->Values().StatusFlags, b[11]);
    EXPECT_DOUBLE_EQ(w->Values().ReducerTemp, static_cast<double>(dm::TempMotoreFromRaw(b[12])));
    EXPECT_NE(w->LabTempRid->text(), rig::text(91));
    EXPECT_NE(w->LabPressione->text(), rig::text(91));
    EXPECT_GT(w->ShapePressione->width(), 0);
    EXPECT_GT(w->ShapeInjBenzina->width(), 0);
    EXPECT_TRUE(shown(w->ImageGasOn));
    EXPECT_TRUE(shown(w->ImageBenzinaOff));
    EXPECT_FALSE(shown(w->ImageBenzinaOn));
    EXPECT_TRUE(shown(w->ImageKeyOn));
    EXPECT_FALSE(shown(w->ImageKeyOff));
    EXPECT_FALSE(shown(w->ImageRidGray));
    EXPECT_FALSE(w->RedrawPending());
    EXPECT_TRUE(w->Timer->isActive());
    EXPECT_EQ(w->TickCount(), 1);
    // The needles stand at this tick's values.
    EXPECT_EQ(w->NeedleAt(qz::live::TGaugeDial::EngineSpeed), rpm);
    EXPECT_EQ(w->NeedleAt(qz::live::TGaugeDial::ReducerTemp), dm::TruncToInt(w->Values().ReducerTemp));
    EXPECT_EQ(w->NeedleAt(qz::live::TGaugeDial::InjectorSize), w->InjectorPercent());
    EXPECT_TRUE(r.sim().Violations().empty());
}

// What the screen shows of the window: its backing store, with every
// partial repaint in it (a fresh render would hide a needle left behind).
QImage onScreen(QWidget* w)
{
    QCoreApplication::processEvents();
    return w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

TEST_F(FormVisualizzaTest, AMinuteOfSweepingNeedlesLeavesTheDialsIntact)
{
    // Half a minute of warming up (the temperatures climb), then the drive
    // cycle (the engine speed sweeps).
    r.sim().SetProfile("warmup=30");
    r.sim().SetComPort(r.sim().CurrentProfile().port);
    r.connectEcu();
    r.dm().BuildTempMotoreTable(false);
    r.dm().BuildTemperaturaGasTable(*r.dm().Item(0x86));
    auto w = open();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const QImage before = onScreen(w.get());

    using qz::live::TGaugeDial;
    const TGaugeDial dials[] = {TGaugeDial::EngineSpeed, TGaugeDial::ReducerTemp, TGaugeDial::GasTemp};
    std::map<TGaugeDial, std::pair<int, int>> swept;
    for (int i = 0; i < 3000; ++i) {
        r.clock.advance(20);
        if (i % 50 == 0)
            w->TimerRedrawTimer();
        w->TimerTimer();
        w->Timer->stop();
        QCoreApplication::processEvents();
        for (TGaugeDial d : dials) {
            const int v = w->NeedleAt(d).value_or(0);
            auto [it, fresh] = swept.try_emplace(d, v, v);
            it->second = {std::min(it->second.first, v), std::max(it->second.second, v)};
        }
    }
    EXPECT_GT(swept[TGaugeDial::EngineSpeed].second - swept[TGaugeDial::EngineSpeed].first, 1500);
    EXPECT_GT(swept[TGaugeDial::ReducerTemp].second - swept[TGaugeDial::ReducerTemp].first, 30);
    const QImage after = onScreen(w.get());
    ASSERT_EQ(after.size(), before.size());

    // Every pixel of each dial picture is as it was, but where the needle
    // and its hub stand now and under the readouts drawn over the dials.
    const qz::live::TGaugeLayout layout{w->ImageGiri->geometry(), w->ImageTempRid->geometry(),
                                        w->ImageTempGas->geometry(), w->ImageIniettori->geometry()};
    QRegion changing;
    for (QWidget* readout : std::initializer_list<QWidget*>{w->LabelGiri, w->LabTempRid, w->LabTempGas, w->ImageRidGray,
                                                          w->LabelTempRid, w->LabelTempGas})
        changing += readout->geometry();
    for (TGaugeDial d : dials) {
        SCOPED_TRACE(static_cast<int>(d));
        const QRect face = d == TGaugeDial::EngineSpeed ? layout.Giri : d == TGaugeDial::ReducerTemp ? layout.TempRid : layout.TempGas;
        const QRegion now = changing + qz::live::GaugeNeedleArea(layout, d, *w->NeedleAt(d));
        int damaged = 0;
        for (int y = face.top(); y <= face.bottom(); ++y)
            for (int x = face.left(); x <= face.right(); ++x)
                if (!now.contains(QPoint(x, y)) && after.pixel(x, y) != before.pixel(x, y))
                    ++damaged;
        EXPECT_EQ(damaged, 0);
    }
    w->done(TFormVisualizza::mrCancel);
}

TEST_F(FormVisualizzaTest, TemperatureCaptionsStandClearOfTheirScales)
{
    auto w = open();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    // The Italian and English captions: every pixel of their text lies on
    // the dial's blank face, none on a scale mark or the frame.
    const struct {
        QLabel* caption;
        QWidget* dial;
        const char* text;
    } cases[] = {
        {w->LabelTempRid, w->ImageTempRid, "T rid \u00b0C"},
        {w->LabelTempRid, w->ImageTempRid, "Red. T \u00b0C"},
        {w->LabelTempGas, w->ImageTempGas, "T gas \u00b0C"},
        {w->LabelTempGas, w->ImageTempGas, "Gas T \u00b0C"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        c.caption->setText(QString::fromUtf8(c.text));
        const QImage with = onScreen(w.get());
        c.caption->hide();
        const QImage face = onScreen(w.get());
        c.caption->show();
        int inked = 0;
        int onMarks = 0;
        const QRect area = c.caption->geometry();
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (with.pixel(x, y) != face.pixel(x, y)) {
                    ++inked;
                    onMarks += qGray(face.pixel(x, y)) < 235 || !c.dial->geometry().contains(x, y);
                }
        EXPECT_GT(inked, 20);
        EXPECT_EQ(onMarks, 0);
    }
    w->done(TFormVisualizza::mrCancel);
}

// The area that the widgets of a window paint.
class PaintedArea : public QObject {
public:
    explicit PaintedArea(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    ~PaintedArea() override { qApp->removeEventFilter(this); }
    QRegion region;  // in window coordinates
    QStringList widgets;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w == window_ || window_->isAncestorOf(w)) {
                region += static_cast<QPaintEvent*>(event)->region().translated(w->mapTo(window_, QPoint(0, 0)));
                widgets << w->objectName();
            }
        }
        return false;
    }

private:
    QWidget* window_;
};

qint64 pixels(const QRegion& region)
{
    qint64 n = 0;
    for (const QRect& r : region)
        n += qint64(r.width()) * r.height();
    return n;
}

TEST_F(FormVisualizzaTest, ATickRepaintsOnlyWhatChanged)
{
    r.sim().SetProfile("warmup=5");
    r.sim().SetComPort(r.sim().CurrentProfile().port);
    r.connectEcu();
    auto w = open();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    auto tick = [&](int ms) {
        r.clock.advance(ms);
        w->TimerTimer();
        w->Timer->stop();
    };
    // The once-a-second full redraw runs on the wall clock: kept out of the
    // ticks measured here (a slow run would let it in).
    w->TimerRedraw->stop();
    for (int i = 0; i < 400; ++i)  // warm, on gas, driving
        tick(20);
    QCoreApplication::processEvents();

    {
        // The same frame again: nothing to repaint.
        PaintedArea painted(w.get());
        tick(0);
        QCoreApplication::processEvents();
        EXPECT_TRUE(painted.region.isEmpty()) << painted.widgets.join(QLatin1Char(' ')).toStdString();
    }
    {
        // A tick of driving: the needles' old and new places and the
        // readouts that changed, a small part of the window.
        PaintedArea painted(w.get());
        tick(20);
        QCoreApplication::processEvents();
        EXPECT_FALSE(painted.region.isEmpty());
        EXPECT_LT(pixels(painted.region), qint64(w->width()) * w->height() / 5);
        const QRegion dial(w->ImageGiri->geometry());
        EXPECT_NE(painted.region.intersected(dial), dial) << "not the whole dial";
        EXPECT_LT(pixels(painted.region.intersected(dial)), pixels(dial) / 2);
    }
    w->done(TFormVisualizza::mrCancel);
}

TEST_F(FormVisualizzaTest, IndicatorsFollowChangesFromTheAllSetStart)
{
    auto w = open();
    struct Step {
        std::uint8_t status;
        bool cutoff, extra;
        QColor extraColour;
    };
    const QColor green(0, 255, 0), yellow(255, 255, 0);
    // Cut-off already on at opening shows nothing until it begins again;
    // extra injection likewise, and then stays yellow once seen.
    const Step steps[] = {
        {0x05, false, false, {}}, {0x00, false, false, {}}, {0x05, true, true, green},
        {0x00, false, true, yellow}, {0x01, false, true, green},
    };
    int n = 0;
    for (const Step& s : steps) {
        frame(s.status);
        w->TimerTimer();
        EXPECT_EQ(shown(w->ShapeCutoff), s.cutoff) << "step " << n;
        EXPECT_EQ(shown(w->ShapeExtraInj), s.extra) << "step " << n;
        if (s.extra) {
            EXPECT_EQ(w->ShapeExtraInj->brush().color(), s.extraColour) << "step " << n;
        }
        ++n;
    }
}

TEST_F(FormVisualizzaTest, ExtraInjectionSeenIsTheOwnersFlag)
{
    bool seen = false;
    {
        auto w = open(&seen);
        EXPECT_FALSE(shown(w->ShapeExtraInj));
        frame(0x00);
        w->TimerTimer();
        frame(0x01);
        w->TimerTimer();
        EXPECT_TRUE(seen);
    }
    auto later = open(&seen);
    EXPECT_TRUE(shown(later->ShapeExtraInj));
    EXPECT_EQ(later->ShapeExtraInj->brush().color(), QColor(255, 255, 0));
}

TEST_F(FormVisualizzaTest, PendingChangeOverBlinksTheGasLamp)
{
    auto w = open();
    // Design state until the first update.
    EXPECT_TRUE(shown(w->ImageGasOff));
    EXPECT_TRUE(shown(w->ImageBenzinaOn));
    EXPECT_FALSE(shown(w->ImageGasOn));
    frame(0x88);
    bool previous = false;
    for (int i = 0; i < 4; ++i) {
        w->TimerTimer();
        const bool on = shown(w->ImageGasOn);
        EXPECT_NE(on, shown(w->ImageGasOff));
        if (i > 0) {
            EXPECT_NE(on, previous) << "tick " << i;
        }
        previous = on;
        EXPECT_TRUE(shown(w->ImageBenzinaOn));
    }
    frame(0x90);
    w->TimerTimer();
    EXPECT_TRUE(shown(w->ImageGasOn));
    EXPECT_FALSE(shown(w->ImageGasOff));
    EXPECT_TRUE(shown(w->ImageBenzinaOff));
}

TEST_F(FormVisualizzaTest, ShortFrameKeepsTheSecondBank)
{
    auto w = open();
    frame(0x80);
    r.dm().LiveBlock[21] = 102;
    w->TimerTimer();
    EXPECT_DOUBLE_EQ(w->Values().Lambda2, 2.0);
    frame(0x80, 19);
    r.dm().LiveBlock[21] = 51;
    w->TimerTimer();
    EXPECT_DOUBLE_EQ(w->Values().Lambda2, 2.0);
}

TEST_F(FormVisualizzaTest, InjectorRatingFromMapK)
{
    for (auto [cell, string] : {std::pair{102, 408}, std::pair{101, 407}, std::pair{200, 409}}) {
        for (int row = 0; row < r.dm().GetNumeroRighe(); ++row)
            for (int col = 0; col < r.dm().GetNumeroColonne(); ++col)
                r.dm().Item(0x54)[row * r.dm().GetNumeroColonne() + col] = cell;
        auto w = open();
        EXPECT_EQ(w->PanelIniettori->text(), rig::text(string)) << cell;
    }
}

TEST_F(FormVisualizzaTest, DiagnosticIndicatorOnceEveryTwentyTicks)
{
    r.connectEcu();
    ASSERT_TRUE(r.sim().PokeItem(0x21, std::vector<std::int32_t>{0x01}));
    auto w = open();
    for (int i = 1; i < 20; ++i)
        w->TimerTimer();
    EXPECT_FALSE(shown(w->ShapeDiagnosi));
    w->TimerTimer();
    EXPECT_TRUE(shown(w->ShapeDiagnosi));
}

TEST_F(FormVisualizzaTest, SwitchPressWritesTheFlagSequenceOverNineHundredMs)
{
    r.connectEcu();
    auto w = open();
    w->TimerTimer(); // cold engine: on petrol
    ASSERT_EQ(w->Values().StatusFlags & 0x18, 0);
    r.sim().ClearCalls();
    const auto start = r.clock.tickCount();
    w->ImageCommutatoreClick();
    EXPECT_EQ(r.clock.tickCount() - start, 900u);
    EXPECT_TRUE(w->ImageCommutatore->isEnabled());
    const auto words = optionWrites();
    ASSERT_EQ(words.size(), 4u);
    constexpr std::int32_t press = 0x800, state = 0x1000;
    EXPECT_EQ(words[0] & state, 0);      // flag 5 off: on petrol
    EXPECT_EQ(words[1] & press, press);  // flag 4 pressed
    EXPECT_EQ(words[2] & state, state);  // flag 5 inverted
    EXPECT_EQ(words[3] & press, 0);      // flag 4 released
    std::vector<std::int32_t> stored;
    ASSERT_TRUE(r.sim().PeekItem(0x03, stored));
    EXPECT_EQ(stored[0] & (press | state), state);
}

TEST_F(FormVisualizzaTest, RecordingIsSavedByNameOrDiscarded)
{
    auto w = open();
    w->LabelAcquisizioniClick();
    EXPECT_TRUE(shown(w->ImageRec));
    w->ImageRecClick();
    EXPECT_TRUE(w->Recording());
    EXPECT_TRUE(shown(w->ShapeAcquisisciOn));
    EXPECT_FALSE(w->ImageRec->isEnabled());
    const QString temp = w->Recorder().TempFileName();
    ASSERT_TRUE(QFile::exists(temp));
    frame(0x80);
    r.dm().LiveBlock[0] = 0xB0; // 2480 rpm
    r.dm().LiveBlock[1] = 0x09;
    for (int i = 0; i < 3; ++i)
        w->TimerTimer();

    dialogs.script(acquisition("a.txt"));
    w->ImageStopClick();
    EXPECT_FALSE(w->Recording());
    EXPECT_TRUE(w->ImageRec->isEnabled());
    EXPECT_FALSE(QFile::exists(temp));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].request.title, rig::text(475));
    QFile f(acquisition("a.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith("Ver. 1 "));
    EXPECT_TRUE(lines[2].startsWith("0\t2480\t"));

    // Cancelled: the temporary file goes.
    w->ImageRecClick();
    const QString second = w->Recorder().TempFileName();
    w->ImageStopClick();
    EXPECT_FALSE(QFile::exists(second));
    EXPECT_TRUE(r.prompts.shown().empty());

    // A folder where the file should be: the save's own text and the
    // system's reason, then the dialog again.
    const QString folderInTheWay = acquisition("taken.txt");
    ASSERT_TRUE(QDir().mkpath(folderInTheWay));
    w->ImageRecClick();
    dialogs.script(folderInTheWay);
    w->ImageStopClick();
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_TRUE(r.prompts.shown()[0].text.startsWith(rig::text(qz::live::kAcqStringCannotSave) + QLatin1Char('\n')))
        << r.prompts.shown()[0].text.toStdString();
    EXPECT_TRUE(r.prompts.shown()[0].text.contains(folderInTheWay));
    EXPECT_EQ(dialogs.shown.size(), 4u);
}

TEST_F(FormVisualizzaTest, ClosingWhileRecordingOffersTheSave)
{
    auto w = open();
    w->ImageRecClick();
    w->TimerTimer();
    dialogs.script(acquisition("c.txt"));
    w->done(TFormVisualizza::mrCancel);
    EXPECT_TRUE(QFile::exists(acquisition("c.txt")));
    EXPECT_EQ(r.dm().PollItem, dm::kIdentityCode);
}

TEST_F(FormVisualizzaTest, ViewKeepsTheRecordingItWasFirstGiven)
{
    QStringList opened;
    TFormVisualizza::GraphWindowOpener() = [&](QWidget* owner, QString& name) {
        EXPECT_NE(owner, nullptr);
        opened << QFileInfo(name).fileName();
    };
    auto w = open();
    auto record = [&](const char* name) {
        w->ImageRecClick();
        dialogs.script(acquisition(name));
        w->ImageStopClick();
    };
    // The saved name is handed on only while the open dialog has none: a
    // second recording saved later does not replace the first.
    record("a.txt");
    w->ImageViewClick();
    EXPECT_TRUE(w->Timer->isActive());
    record("b.txt");
    w->ImageViewClick();
    // The graph changes the name it was handed (a file it loaded); the next
    // view opens that one.
    TFormVisualizza::GraphWindowOpener() = [&](QWidget*, QString& name) {
        opened << QFileInfo(name).fileName();
        name = QStringLiteral("other.txt");
    };
    w->ImageViewClick();
    w->ImageViewClick();
    EXPECT_EQ(opened, (QStringList{"a.txt", "a.txt", "a.txt", "other.txt"}));
}

TEST_F(FormVisualizzaTest, DiagnosticsWindowRunsWithTheTickStopped)
{
    r.dm().EcuInfo.EcuType = 30;
    auto w = open();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<TFormDiagnosi*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        seen = true;
        EXPECT_FALSE(w->Timer->isActive());
        d->done(TFormDiagnosi::mrCancel);
    });
    w->LabelDiagnosiClick();
    EXPECT_TRUE(seen);
    EXPECT_EQ(r.dm().PollItem, dm::kLiveBlock);
    EXPECT_FALSE(r.dm().TimerIO->isActive());
    EXPECT_TRUE(w->Timer->isActive());
}

} // namespace
