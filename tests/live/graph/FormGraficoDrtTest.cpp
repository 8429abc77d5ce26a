// The real-time graph against the data module on the simulated ECU, with
// scripted file dialogs and message boxes, a fake printer and virtual time.
// The 20 ms tick is driven by calling its handler.
#include "live/graph/FormGraficoDrt.h"
#include "live/graph/GraficoPrint.h"
#include "tests/support/rig/DataModuleRig.h"

#include "complib/numbers/NumberText.h"
#include "complib/editors/NumericEdit.h"
#include "live/acquisition/AcquisitionReader.h"
#include "plat/Desktop.h"
#include "plat/PictureButton.h"
#include "plat/ProgramFolder.h"
#include "plat/Prompts.h"
#include "plat/testing/DesktopFakes.h"

#include "live/acquisition/AcquisitionFormat.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

const QString kFixtures = QStringLiteral(QZ_GRAPH_FIXTURES);

QString fixture(const char* name) { return kFixtures + QLatin1Char('/') + QLatin1String(name); }

class FakePrinter final : public grafico::ChartPrinter {
public:
    int ChooseCopies(QWidget*) override
    {
        ++dialogs;
        return copies;
    }
    void PrintOnce(QWidget* chart) override { printed.push_back(chart); }
    int copies = 1;
    int dialogs = 0;
    std::vector<QWidget*> printed;
};

class FormGraficoDrtTest : public ::testing::Test {
protected:
    explicit FormGraficoDrtTest(const rig::Options& options = {.profile = "type=30"}) : r(options) {}

    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        plat::SetProgramFolder(folder.path());
        ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Acquisition")));
        r.dm().EcuInfo.EcuType = 30;
        setProbes(1);
        // As the live view leaves them: poll item 1, poll timer stopped.
        r.dm().SetPollItem(1);
        if (r.dm().TimerIO)
            r.dm().TimerIO->stop();
        r.connectEcu();
    }

    void TearDown() override { plat::SetProgramFolder(QString()); }

    void setProbes(int n)
    {
        std::int32_t& flags = r.dm().Item(0x2303)[0];
        flags = n == 2 ? (flags & ~0x4) : (flags | 0x4);
        ASSERT_EQ(r.dm().HasSecondaSonda(), n == 2);
    }

    std::unique_ptr<TFormGraficoDrt> open(const QString& fileName = {})
    {
        return std::make_unique<TFormGraficoDrt>(nullptr, fileName);
    }

    // One tick dt ms after the previous one.
    void tick(TFormGraficoDrt& w, std::uint32_t dt = 20)
    {
        r.clock.advance(dt);
        w.TimerTimer();
    }

    // A tick at t ms after RUN.
    void tickAt(TFormGraficoDrt& w, std::uint32_t startTick, std::uint32_t ms)
    {
        r.clock.setNow(startTick + ms);
        w.TimerTimer();
    }

    static std::string shown(const TFormGraficoDrt& w)
    {
        std::string s;
        for (QCPGraph* series : w.Series)
            s += series->visible() ? 'x' : '.';
        return s;
    }

    static std::vector<qsizetype> counts(const TFormGraficoDrt& w)
    {
        std::vector<qsizetype> c;
        for (int i = 0; i < grafico::kSeriesCount; ++i)
            c.push_back(static_cast<qsizetype>(w.Store().Count(i)));
        return c;
    }

    QStringList acquisitionFiles() const
    {
        return QDir(folder.path() + QStringLiteral("/Acquisition")).entryList(QDir::Files, QDir::Name);
    }

    QTemporaryDir folder;
    rig::DataModuleRig r;
    plat::testing::FakeFileDialogs dialogs;
    plat::ScopedDesktop desktop{{&dialogs, nullptr, nullptr}};
    FakePrinter printer;
    grafico::ScopedChartPrinter scopedPrinter{printer};
};

// ---- Creation -----------------------------------------------------------------

TEST_F(FormGraficoDrtTest, CreationSetsTitlesAxesAndShownCurves)
{
    auto w = open();
    for (int i = 0; i < grafico::kSeriesCount; ++i)
        EXPECT_EQ(w->Series[i]->name(), rig::text(479 + i)) << i;
    EXPECT_EQ(w->LabelZoom->text(), rig::text(470));
    EXPECT_EQ(w->LabelPrint->text(), rig::text(471));
    EXPECT_EQ(w->LabelRunStop->text(), QStringLiteral("RUN"));
    EXPECT_EQ(w->ValueAxis(), (grafico::AxisRange{0, 15}));
    EXPECT_EQ(w->TimeAxis(), (grafico::AxisRange{0, 30}));
    EXPECT_FALSE(w->CheckAutoRange->isChecked());
    EXPECT_TRUE(w->CheckLegend->isChecked());
    EXPECT_EQ(w->EditResolution->GetAsFloat(), 30.0);
    EXPECT_EQ(shown(*w), "xxxxxxxx...");
    EXPECT_FALSE(w->Timer->isActive());
    EXPECT_EQ(w->ImageRunStop->currentId(), 10085);
    EXPECT_EQ(r.prompts.shown().size(), 0u);
}

TEST_F(FormGraficoDrtTest, MonoplugWithTwoProbesHidesLambdaMapAndReducer)
{
    r.dm().EcuInfo.EcuType = 79;
    setProbes(2);
    auto w = open();
    EXPECT_EQ(shown(*w), "x.xxx..xxxx");
    w->ImageRunStopClick();
    tick(*w);
    EXPECT_EQ(shown(*w), "x.xxx..xxxx");
    EXPECT_EQ(counts(*w), std::vector<qsizetype>(11, 1));
    w->ImageRunStopClick();
}

// ---- RUN, ticks, STOP and SAVE ------------------------------------------------

TEST_F(FormGraficoDrtTest, RunTicksPlotTheLiveFrameAndRecordIt)
{
    auto w = open();
    w->ImageRunStopClick();
    ASSERT_TRUE(w->Running());
    EXPECT_TRUE(w->Timer->isActive());
    EXPECT_EQ(w->LabelRunStop->text(), QStringLiteral("STOP"));
    EXPECT_EQ(w->ImageRunStop->currentId(), 10087);
    for (QWidget* p : {static_cast<QWidget*>(w->ImageSaveFile), static_cast<QWidget*>(w->ImageLoadFile),
                       static_cast<QWidget*>(w->ImageZoom), static_cast<QWidget*>(w->ImagePrint),
                       static_cast<QWidget*>(w->ImageExit)})
        EXPECT_FALSE(p->isEnabled()) << p->objectName().toStdString();
    ASSERT_TRUE(w->Recorder().HasUnsaved());
    const QString temp = w->Recorder().TempFileName();
    EXPECT_TRUE(temp.endsWith(QStringLiteral("/Acquisition/__acqtmp0.tmp"))) << temp.toStdString();

    r.sim().ClearCalls();
    std::vector<int> rpms;
    for (int i = 0; i < 5; ++i) {
        tick(*w);
        rpms.push_back(r.dm().DecodedLiveBlock().Rpm);
        // Each tick ran the poll step and left the timer running again.
        EXPECT_TRUE(w->Timer->isActive());
    }
    EXPECT_EQ(r.callsOf("ReadBlock").size(), 5u);
    EXPECT_EQ(counts(*w), (std::vector<qsizetype>{5, 5, 5, 5, 5, 5, 5, 5, 0, 0, 0}));
    for (int i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(w->Store().Point(0, i).x(), 0.02 * (i + 1));
        EXPECT_FLOAT_EQ(w->Store().Point(0, i).y(), rpms[i] * 0.001);
    }
    EXPECT_EQ(w->Elapsed(), 100u);

    w->ImageRunStopClick();
    EXPECT_FALSE(w->Running());
    EXPECT_FALSE(w->Timer->isActive());
    EXPECT_EQ(w->LabelRunStop->text(), QStringLiteral("RUN"));
    EXPECT_EQ(w->ImageRunStop->currentId(), 10085);
    EXPECT_TRUE(w->ImageExit->isEnabled());
    EXPECT_TRUE(w->Recorder().HasUnsaved());

    const auto read = qz::live::ReadAcquisitionFile(temp);
    ASSERT_TRUE(read.Ok()) << read.Line;
    EXPECT_EQ(read.BankCount, 1);
    ASSERT_EQ(read.Rows.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(read.Rows[i].TimeMs, 20 * (i + 1));
        EXPECT_EQ(read.Rows[i].Rpm, rpms[i]);
    }
}

TEST_F(FormGraficoDrtTest, TwoProbesPlotAndRecordTheSecondBank)
{
    setProbes(2);
    auto w = open();
    w->ImageRunStopClick();
    tick(*w);
    tick(*w);
    w->ImageRunStopClick();
    EXPECT_EQ(counts(*w), std::vector<qsizetype>(11, 2));
    const auto read = qz::live::ReadAcquisitionFile(w->Recorder().TempFileName());
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.BankCount, 2);
    EXPECT_EQ(read.Rows.size(), 2u);
}

TEST_F(FormGraficoDrtTest, SaveAfterStopMovesTheRecordingToTheChosenName)
{
    auto w = open();
    w->ImageRunStopClick();
    tick(*w);
    tick(*w);
    w->ImageRunStopClick();
    const QString temp = w->Recorder().TempFileName();

    // Cancelled: the recording stays to be saved later.
    w->ImageSaveFileClick();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const plat::FileDialogRequest& request = dialogs.shown[0].request;
    EXPECT_TRUE(dialogs.shown[0].save);
    EXPECT_EQ(request.title, rig::text(475));
    EXPECT_EQ(request.filter, rig::text(477) + QStringLiteral("|*.txt"));
    EXPECT_EQ(request.defaultExt, QStringLiteral("txt"));
    EXPECT_EQ(QDir(request.initialDir).canonicalPath(), QDir(folder.path() + "/Acquisition").canonicalPath());
    EXPECT_TRUE(QFile::exists(temp));

    const QString chosen = folder.path() + QStringLiteral("/run.txt");
    dialogs.script(chosen);
    w->ImageSaveFileClick();
    EXPECT_FALSE(QFile::exists(temp));
    EXPECT_FALSE(w->Recorder().HasUnsaved());
    const auto read = qz::live::ReadAcquisitionFile(chosen);
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.Rows.size(), 2u);

    // Nothing left to save: no dialog.
    w->ImageSaveFileClick();
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(r.prompts.shown().size(), 0u);
}

TEST_F(FormGraficoDrtTest, SaveOverAFolderSaysSoAndAsksAgain)
{
    auto w = open();
    w->ImageRunStopClick();
    tick(*w);
    w->ImageRunStopClick();
    const QString blocked = folder.path() + QStringLiteral("/blocked.txt");
    ASSERT_TRUE(QDir().mkdir(blocked));
    const QString chosen = folder.path() + QStringLiteral("/second.txt");
    dialogs.script(blocked);
    dialogs.script(chosen);
    w->ImageSaveFileClick();

    ASSERT_EQ(r.prompts.shown().size(), 1u);
    const plat::PromptRequest& box = r.prompts.shown()[0];
    // The save's own text (a folder is no file that cannot be overwritten),
    // then the reason on a line of its own.
    EXPECT_TRUE(box.text.startsWith(rig::text(qz::live::kAcqStringCannotSave) + QLatin1Char('\n')))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(blocked));
    EXPECT_EQ(box.caption, w->windowTitle());
    EXPECT_EQ(box.icon, plat::PromptIcon::Error);
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(QFile::exists(chosen));
}

TEST_F(FormGraficoDrtTest, NewRunDiscardsTheUnsavedRecordingAndClearsTheCurves)
{
    auto w = open();
    w->ImageRunStopClick();
    tick(*w);
    tick(*w);
    w->ImageRunStopClick();
    w->ImageRunStopClick();
    // The first recording is gone, so the new one takes its number again.
    EXPECT_EQ(acquisitionFiles(), QStringList{QStringLiteral("__acqtmp0.tmp")});
    EXPECT_EQ(counts(*w), std::vector<qsizetype>(11, 0));
    EXPECT_EQ(w->TimeAxis(), (grafico::AxisRange{0, 30}));
    w->ImageRunStopClick();
}

// ---- The time window ------------------------------------------------------------

TEST_F(FormGraficoDrtTest, TimeWindowScrollsWithTheDataAndFollowsTheResolution)
{
    auto w = open();
    const std::uint32_t start = r.clock.tickCount();
    w->ImageRunStopClick();
    tickAt(*w, start, 30000);
    EXPECT_EQ(w->TimeAxis(), (grafico::AxisRange{0, 30}));
    tickAt(*w, start, 30020);
    EXPECT_NEAR(w->TimeAxis().Min, 0.02, 1e-9);
    EXPECT_NEAR(w->TimeAxis().Max, 30.02, 1e-9);
    tickAt(*w, start, 45000);
    EXPECT_NEAR(w->TimeAxis().Min, 15, 1e-9);

    // 10 s entered while running at 45 s: 10 s from the current minimum...
    w->EditResolution->setFocus();
    w->EditResolution->selectAll();
    QTest::keyClicks(w->EditResolution, QStringLiteral("10"));
    QTest::keyClick(w->EditResolution, Qt::Key_Return);
    EXPECT_EQ(w->TimeWindow(), 10.0);
    EXPECT_NEAR(w->TimeAxis().Min, 15, 1e-9);
    EXPECT_NEAR(w->TimeAxis().Max, 25, 1e-9);
    // ... until the next tick moves it to the data.
    tickAt(*w, start, 45020);
    EXPECT_NEAR(w->TimeAxis().Min, 35.02, 1e-9);
    EXPECT_NEAR(w->TimeAxis().Max, 45.02, 1e-9);
    w->ImageRunStopClick();

    // The next RUN shows the window entered.
    w->ImageRunStopClick();
    EXPECT_EQ(w->TimeAxis(), (grafico::AxisRange{0, 10}));
    EXPECT_EQ(w->EditResolution->GetAsFloat(), 10.0);
    w->ImageRunStopClick();
}

TEST_F(FormGraficoDrtTest, ValueRangeFromTheEditsOrAutomatic)
{
    auto w = open(fixture("one-bank.txt"));
    w->EditMaxRange->setFocus();
    w->EditMaxRange->selectAll();
    QTest::keyClicks(w->EditMaxRange, QStringLiteral("8"));
    QTest::keyClick(w->EditMaxRange, Qt::Key_Return);
    EXPECT_EQ(w->ValueAxis(), (grafico::AxisRange{0, 8}));

    w->CheckAutoRange->click();
    ASSERT_TRUE(w->ValueAxisAutomatic());
    // The shown curves of one-bank.txt span 0.1 (lambda) to 4.25 (petrol).
    EXPECT_NEAR(w->ValueAxis().Min, 0.1, 1e-6);
    EXPECT_NEAR(w->ValueAxis().Max, 6.0, 1e-6);  // T.RID 60 x 0.1
    // Enter in a range edit changes nothing while auto range is on.
    w->EditMinRange->setFocus();
    QTest::keyClick(w->EditMinRange, Qt::Key_Return);
    EXPECT_TRUE(w->ValueAxisAutomatic());

    w->CheckAutoRange->click();
    EXPECT_EQ(w->ValueAxis(), (grafico::AxisRange{0, 8}));
}

// ---- LOAD -------------------------------------------------------------------------

TEST_F(FormGraficoDrtTest, FileNamedAtCreationIsPlottedWhole)
{
    auto w = open(fixture("one-bank.txt"));
    EXPECT_EQ(r.prompts.shown().size(), 0u);
    EXPECT_EQ(counts(*w), (std::vector<qsizetype>{3, 3, 3, 3, 3, 3, 3, 3, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(w->Store().Point(0, 0).x(), 1.52);
    EXPECT_FLOAT_EQ(w->Store().Point(0, 0).y(), 2.48);
    EXPECT_NEAR(w->Store().Point(6, 0).y(), 4.5, 1e-6);
    EXPECT_NEAR(w->Store().Point(4, 0).y(), 1.12, 1e-6);
    EXPECT_EQ(shown(*w), "xxxxxxxx...");
    EXPECT_TRUE(w->TimeAxisAutomatic());
    EXPECT_NEAR(w->TimeAxis().Min, 1.52, 1e-9);
    EXPECT_NEAR(w->TimeAxis().Max, 61.0, 1e-9);
}

TEST_F(FormGraficoDrtTest, TwoBankFileWithOneProbeStaysHiddenUntilTicked)
{
    auto w = open(fixture("two-bank.txt"));
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    EXPECT_EQ(counts(*w), std::vector<qsizetype>(11, 2));
    EXPECT_EQ(shown(*w), "xxxxxxxx...");

    // A hidden curve keeps its legend entry: a click on it ticks it.
    w->ChartDrt->replot(QCustomPlot::rpImmediateRefresh);
    QCPAbstractLegendItem* item = w->ChartDrt->LegendItem(8);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(w->ChartDrt->legend->itemCount(), grafico::kSeriesCount);
    const QPoint at = item->rect().center();
    QTest::mouseClick(w->ChartDrt, Qt::LeftButton, {}, at);
    EXPECT_EQ(shown(*w), "xxxxxxxxx..");
    QTest::mouseClick(w->ChartDrt, Qt::LeftButton, {}, at);
    EXPECT_EQ(shown(*w), "xxxxxxxx...");
    EXPECT_EQ(w->ChartDrt->LegendItem(8), item);
}

TEST_F(FormGraficoDrtTest, MonoplugHidesLambdaMapAndReducerAfterLoading)
{
    r.dm().EcuInfo.EcuType = 79;
    setProbes(2);
    auto w = open(fixture("one-bank.txt"));
    EXPECT_EQ(shown(*w), "x.xxx..x...");
}

TEST_F(FormGraficoDrtTest, ReaderFailuresShowTheirBoxAndKeepWhatWasRead)
{
    struct Case {
        const char* file;
        int string;
        std::vector<qsizetype> counts;
    };
    const std::vector<qsizetype> before{3, 3, 3, 3, 3, 3, 3, 3, 0, 0, 0};
    const Case cases[] = {
        {"bad-line.txt", 474, {2, 2, 2, 2, 2, 2, 2, 2, 0, 0, 0}},  // the two lines before the bad one
        {"bad-header.txt", 474, std::vector<qsizetype>(11, 0)},
        {"missing.txt", 473, before},                               // the chart keeps its content
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        r.prompts.clear();
        auto w = open(fixture("one-bank.txt"));
        w->LoadAcquisitionFile(fixture(c.file));
        ASSERT_EQ(r.prompts.shown().size(), 1u);
        const plat::PromptRequest& box = r.prompts.shown()[0];
        EXPECT_EQ(box.text, rig::text(c.string));
        EXPECT_EQ(box.icon, plat::PromptIcon::Error);
        EXPECT_EQ(box.buttons, plat::PromptButtons::Ok);
        EXPECT_EQ(counts(*w), c.counts);
    }
}

TEST_F(FormGraficoDrtTest, LoadAfterAnUnsavedRecordingDeletesIt)
{
    auto w = open();
    w->ImageRunStopClick();
    tick(*w);
    w->ImageRunStopClick();
    const QString temp = w->Recorder().TempFileName();

    // Cancelled: nothing changes.
    w->ImageLoadFileClick();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_FALSE(dialogs.shown[0].save);
    EXPECT_EQ(dialogs.shown[0].request.title, rig::text(476));
    EXPECT_TRUE(QFile::exists(temp));
    EXPECT_EQ(counts(*w)[0], 1);

    dialogs.script(fixture("two-bank.txt"));
    w->ImageLoadFileClick();
    EXPECT_FALSE(QFile::exists(temp));
    EXPECT_EQ(counts(*w)[0], 2);
    w->ImageSaveFileClick();
    EXPECT_EQ(dialogs.shown.size(), 2u);  // SAVE did nothing
}

// ---- Drawing, loading at length, zoom ---------------------------------------------

// A two-bank recording of `rows` lines, 20 ms apart, with one rpm spike.
QString writeRecording(const QString& folder, int rows, int spikeRow)
{
    const QString name = folder + QStringLiteral("/long.txt");
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    QByteArray text = qz::live::AcquisitionHeader(2, "stamp");
    for (int i = 0; i < rows; ++i) {
        qz::live::TAcquisitionSample s;
        s.Rpm = i == spikeRow ? 9000 : 800 + (i % 7) * 10;
        s.Lambda1Volts = 0.45;
        s.GasMs1 = 3.2;
        s.PetrolMs1 = 3.0;
        s.GasPressureHundredths = 120;
        s.ReducerTempC = 60;
        s.GasTempC = 30;
        s.Lambda2Volts = 0.5;
        text += qz::live::AcquisitionDataLine(static_cast<std::uint32_t>(20 * i), s, 2);
        if (text.size() > (1 << 20)) {
            f.write(text);
            text.clear();
        }
    }
    f.write(text);
    return name;
}

TEST_F(FormGraficoDrtTest, RedrawDrawsTheVisibleSpanWithAtMostTwoPointsAColumn)
{
    auto w = open(writeRecording(folder.path(), 20000, 12345));
    w->resize(1000, 700);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    EXPECT_EQ(counts(*w), std::vector<qsizetype>(11, 20000));
    w->Redraw();
    const int columns = w->ChartDrt->axisRect()->width();
    ASSERT_GT(columns, 100);
    const auto data = w->Series[0]->data();
    EXPECT_LE(data->size(), 2 * columns + 2);
    EXPECT_GE(data->size(), columns);
    // The whole recording is shown, its one spike included.
    bool spike = false;
    for (auto it = data->constBegin(); it != data->constEnd(); ++it)
        spike = spike || it->value == 9.0f;
    EXPECT_TRUE(spike);
    // A hidden curve holds no points in the chart.
    EXPECT_EQ(w->Series[8]->data()->size(), 0);

    // Zoomed into one second, the chart draws the samples themselves.
    w->ChartDrt->xAxis->setRange(9.99, 11.01);
    w->Redraw();
    EXPECT_EQ(w->Series[0]->data()->size(), 51 + 2);
    EXPECT_EQ(counts(*w)[0], 20000);  // the store keeps them all
}

TEST_F(FormGraficoDrtTest, ALongRecordingLoadsWithProgressAndTheWindowStillPainting)
{
    const int rows = 300000;
    const QString name = writeRecording(folder.path(), rows, 7);
    auto w = open();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    // Watch the window while it loads: timers still run.
    std::vector<int> progress;
    bool locked = true;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (w->Loading() && w->ProgressLoad->isVisible()) {
            progress.push_back(w->ProgressLoad->value());
            locked = locked && !w->ImageLoadFile->isEnabled() && !w->ImageExit->isEnabled() &&
                     !w->ImageRunStop->isEnabled() && !w->FormCloseQuery();
        }
    });
    watch.start();
    w->LoadAcquisitionFile(name);
    watch.stop();

    EXPECT_EQ(r.prompts.shown().size(), 0u);
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_TRUE(locked);
    EXPECT_FALSE(w->Loading());
    EXPECT_FALSE(w->ProgressLoad->isVisible());
    EXPECT_TRUE(w->ImageLoadFile->isEnabled());
    EXPECT_TRUE(w->ImageRunStop->isEnabled());
    EXPECT_EQ(counts(*w), std::vector<qsizetype>(11, rows));
    // A few bytes a value: a time and eleven floats a row, and no more than
    // the room the load reserved from the file size.
    EXPECT_LT(w->Store().MemoryBytes(), static_cast<std::size_t>(QFileInfo(name).size()) * 2);
    EXPECT_NEAR(w->TimeAxis().Max, (rows - 1) * 0.02, 1e-9);
}

// The window with the program's own texts, as long as the user reads them.
class FormGraficoDrtOwnTextsTest : public FormGraficoDrtTest {
protected:
    FormGraficoDrtOwnTextsTest() : FormGraficoDrtTest({.profile = "type=30", .languageLibrary = false}) {}

    // Where a control lies in the window.
    static QRect inWindow(const QWidget* w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }
};

TEST_F(FormGraficoDrtOwnTextsTest, LoadKeepsTheWindowOnTheScreen)
{
    auto w = open();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const QRect screen = w->screen()->geometry();
    // The window fits from the design size up; ctest gives this binary a
    // screen of that size.
    if (screen.width() < 1024 || screen.height() < 768)
        GTEST_SKIP() << "a screen of 1024x768 at least is needed, this one is " << screen.width() << "x"
                     << screen.height();
    SCOPED_TRACE(QStringLiteral("screen %1x%2").arg(screen.width()).arg(screen.height()).toStdString());
    ASSERT_EQ(w->LabelZoom->text(), QStringLiteral("ANNULLA ZOOM"));
    const QSize before = w->size();
    EXPECT_LE(before.width(), screen.width());

    // A recording long enough for the progress to show while it loads.
    dialogs.script(writeRecording(folder.path(), 200000, 7));
    bool progressShown = false;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] { progressShown = progressShown || w->ProgressLoad->isVisible(); });
    watch.start();
    w->ImageLoadFileClick();
    watch.stop();
    QCoreApplication::processEvents();
    ASSERT_TRUE(progressShown);
    ASSERT_EQ(counts(*w)[0], 200000);

    EXPECT_EQ(w->size(), before);
    EXPECT_LE(w->minimumSizeHint().width(), screen.width());
    // Every control of the bottom row and the whole legend lie inside it.
    for (const QWidget* c :
         std::initializer_list<const QWidget*>{w->GroupAcquisition, w->GroupSettings, w->ImageZoom, w->LabelZoom,
                                               w->ImagePrint, w->ImageExit, w->ChartDrt})
        EXPECT_TRUE(w->rect().contains(inWindow(c))) << c->objectName().toStdString();
    EXPECT_LE(w->ChartDrt->legend->outerRect().right(), w->ChartDrt->width());
}

TEST_F(FormGraficoDrtOwnTextsTest, HidingTheLegendWidensThePlot)
{
    auto w = open();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const int chart = w->ChartDrt->width();
    const int withLegend = w->ChartDrt->axisRect()->outerRect().width();
    ASSERT_LT(withLegend, chart - 100);

    w->CheckLegend->click();
    QCoreApplication::processEvents();
    w->ChartDrt->replot();
    EXPECT_FALSE(w->ChartDrt->legend->visible());
    // The plot takes the legend's room: only the margins are left.
    EXPECT_GE(w->ChartDrt->axisRect()->outerRect().width(), chart - 8);
    // A click where a legend entry stood toggles no curve.
    const std::string before = shown(*w);
    QTest::mouseClick(w->ChartDrt, Qt::LeftButton, {}, QPoint(chart - 20, 20));
    EXPECT_EQ(shown(*w), before);

    // Shown again, the legend is back with every entry, where a click reaches it.
    w->CheckLegend->click();
    QCoreApplication::processEvents();
    w->ChartDrt->replot();
    EXPECT_TRUE(w->ChartDrt->legend->visible());
    EXPECT_EQ(w->ChartDrt->axisRect()->outerRect().width(), withLegend);
    ASSERT_EQ(w->ChartDrt->legend->itemCount(), grafico::kSeriesCount);
    const QRect entry = w->ChartDrt->LegendItem(0)->rect();
    QTest::mouseClick(w->ChartDrt, Qt::LeftButton, {}, entry.center());
    EXPECT_FALSE(w->Series[0]->visible());
}

TEST_F(FormGraficoDrtTest, TimeLabelsReadLikeThreeDigitsAndOneDecimalAtLeastEightyPixelsApart)
{
    auto w = open();
    w->resize(1024, 708);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->ChartDrt->replot(QCustomPlot::rpImmediateRefresh);
    const QVector<double> ticks = w->BottomAxis->tickVector();
    const QVector<QString> labels = w->BottomAxis->tickVectorLabels();
    ASSERT_GE(ticks.size(), 3);
    ASSERT_EQ(labels.size(), ticks.size());
    const QChar point = complib::DecimalSeparator();
    EXPECT_EQ(labels[0], QStringLiteral("000") + point + QLatin1Char('0'));
    for (int i = 0; i < ticks.size(); ++i)
        EXPECT_EQ(labels[i], complib::FormatGroupedFixed(ticks[i], 3, 1, point, complib::ThousandSeparator()));
    const double apart = w->BottomAxis->coordToPixel(ticks[1]) - w->BottomAxis->coordToPixel(ticks[0]);
    EXPECT_GE(apart, 80);
    // No minor ticks on the time axis, four between labels on the value axis.
    QVector<double> major, minor;
    w->BottomAxis->ticker()->generate(w->BottomAxis->range(), QLocale::c(), 'g', 6, major, &minor, nullptr);
    EXPECT_TRUE(minor.isEmpty());
    w->LeftAxis->ticker()->generate(w->LeftAxis->range(), QLocale::c(), 'g', 6, major, &minor, nullptr);
    ASSERT_GE(major.size(), 2);
    EXPECT_EQ(minor.size(), (major.size() - 1) * 4);
}

TEST_F(FormGraficoDrtTest, ZoomAndPanAreUndoneByTheZoomPicture)
{
    auto w = open(fixture("one-bank.txt"));
    w->resize(1024, 708);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->ChartDrt->replot(QCustomPlot::rpImmediateRefresh);
    const grafico::AxisRange time = w->TimeAxis(), value = w->ValueAxis();
    const QRect area = w->ChartDrt->axisRect()->rect();

    // A rectangle dragged with the left button zooms both axes into it.
    QTest::mousePress(w->ChartDrt, Qt::LeftButton, {}, area.topLeft() + QPoint(100, 50));
    QTest::mouseMove(w->ChartDrt, area.topLeft() + QPoint(200, 150));
    QTest::mouseRelease(w->ChartDrt, Qt::LeftButton, {}, area.topLeft() + QPoint(300, 250));
    EXPECT_GT(w->TimeAxis().Min, time.Min);
    EXPECT_LT(w->TimeAxis().Max - w->TimeAxis().Min, time.Max - time.Min);
    EXPECT_LT(w->ValueAxis().Max, value.Max);
    // The right button pans the time axis only.
    const grafico::AxisRange zoomed = w->TimeAxis();
    QTest::mousePress(w->ChartDrt, Qt::RightButton, {}, area.center());
    QTest::mouseMove(w->ChartDrt, area.center() + QPoint(-100, 40));
    QTest::mouseRelease(w->ChartDrt, Qt::RightButton, {}, area.center() + QPoint(-100, 40));
    EXPECT_GT(w->TimeAxis().Min, zoomed.Min);
    EXPECT_NEAR(w->TimeAxis().Max - w->TimeAxis().Min, zoomed.Max - zoomed.Min, 1e-9);

    w->ImageZoomClick();
    EXPECT_EQ(w->TimeAxis(), time);
    EXPECT_EQ(w->ValueAxis(), value);
    EXPECT_TRUE(w->TimeAxisAutomatic());
    // Nothing left to undo.
    w->ImageZoomClick();
    EXPECT_EQ(w->TimeAxis(), time);
}

// ---- Print, keys and closing -----------------------------------------------------------

TEST_F(FormGraficoDrtTest, PrintRunsTheDialogAndPrintsEachCopy)
{
    auto w = open();
    printer.copies = 3;
    w->ImagePrintClick();
    EXPECT_EQ(printer.dialogs, 1);
    EXPECT_EQ(printer.printed, (std::vector<QWidget*>(3, w->ChartDrt)));
    printer.copies = 0;  // cancelled
    w->ImagePrintClick();
    EXPECT_EQ(printer.printed.size(), 3u);
}

TEST_F(FormGraficoDrtTest, EscClosesOnlyWhileStoppedAndClosingDeletesTheRecording)
{
    auto w = open();
    w->show();
    w->ImageRunStopClick();
    tick(*w);
    const QString temp = w->Recorder().TempFileName();
    QTest::keyClick(w->EditMinRange, Qt::Key_Escape);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->close());
    EXPECT_FALSE(w->FormCloseQuery());
    EXPECT_TRUE(QFile::exists(temp));

    w->ImageRunStopClick();
    QTest::keyClick(w->EditMinRange, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->result(), TFormGraficoDrt::mrCancel);
    EXPECT_FALSE(QFile::exists(temp));
    EXPECT_TRUE(acquisitionFiles().isEmpty());
    // The poll item and the poll timer are left as the live view set them.
    EXPECT_EQ(r.dm().PollItem, 1);
    EXPECT_FALSE(r.dm().TimerIO && r.dm().TimerIO->isActive());
}

TEST_F(FormGraficoDrtTest, ExitPictureClosesWithCancel)
{
    auto w = open();
    w->show();
    w->ImageExitClick();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->result(), TFormGraficoDrt::mrCancel);
}

} // namespace
