// The live windows on an offscreen 1280 x 1024 screen, in virtual time
// against the simulated ECU:
//   BM_GraphTick/N     one tick of the real-time graph with N samples per
//                      curve already stored (eleven curves): the poll step,
//                      the append, the recording, and a redraw of the visible
//                      time window painted on the window
//   BM_GraphMemory/N   resident memory that N samples per curve take
//   BM_GraphLoad       loading a 100 MB two-bank recording, painted
//   BM_LiveViewTick    one tick of the live view and the painting it causes
// Run with --benchmark_counters_tabular=true.
#include "FormGraficoDrt.h"
#include "FormVisualizza.h"
#include "GraphBenchData.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QTemporaryFile>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// Runs what the event loop has queued: the queued replot, the paint.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// A graph window running, shown full screen, with `samples` ticks taken.
struct RunningGraph {
    bench::LiveRig rig;
    TFormGraficoDrt window{nullptr, QString()};
    explicit RunningGraph(std::int64_t samples)
    {
        window.show();
        settle();
        window.ImageRunStopClick();
        for (std::int64_t i = 0; i < samples; ++i)
            tick();
        window.Redraw();
        settle();
    }
    void tick()
    {
        rig.step();
        window.TimerTimer();
        // The benchmark drives the ticks itself.
        window.Timer->stop();
    }
};

void BM_GraphTick(benchmark::State& state)
{
    RunningGraph g(state.range(0));
    int replots = 0;
    QObject::connect(g.window.ChartDrt, &QCustomPlot::afterReplot, [&] { ++replots; });
    for (auto _ : state) {
        g.tick();
        g.window.Redraw();
        settle();
    }
    state.counters["replots"] = benchmark::Counter(replots, benchmark::Counter::kAvgIterations);
    state.counters["stored"] = static_cast<double>(g.window.Store().Count(0));
    g.window.ImageRunStopClick();
}
BENCHMARK(BM_GraphTick)->Arg(1000)->Arg(60000)->Arg(180000)->Iterations(300)->Unit(benchmark::kMillisecond);

void BM_GraphMemory(benchmark::State& state)
{
    for (auto _ : state) {
        bench::LiveRig rig;
        TFormGraficoDrt window(nullptr, QString());
        window.show();
        settle();
        window.ImageRunStopClick();
        const std::int64_t before = bench::ResidentBytes();
        for (std::int64_t i = 0; i < state.range(0); ++i) {
            rig.step();
            window.TimerTimer();
            window.Timer->stop();
        }
        window.Redraw();
        settle();
        state.counters["MiB"] = static_cast<double>(bench::ResidentBytes() - before) / kMiB;
        state.counters["store_MiB"] = static_cast<double>(window.Store().MemoryBytes()) / kMiB;
        window.ImageRunStopClick();
    }
}
BENCHMARK(BM_GraphMemory)->Arg(180000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_GraphLoad(benchmark::State& state)
{
    const QString file = bench::LongRecording(100LL * 1000 * 1000);
    for (auto _ : state) {
        bench::LiveRig rig;
        TFormGraficoDrt window(nullptr, QString());
        window.show();
        settle();
        bench::ResetPeak();
        const std::int64_t before = bench::ResidentBytes();
        window.LoadAcquisitionFile(file);
        window.Redraw();
        settle();
        state.counters["rows"] = static_cast<double>(window.Store().Rows());
        state.counters["peak_MiB"] = static_cast<double>(bench::PeakResidentBytes()) / kMiB;
        state.counters["peak_growth_MiB"] = static_cast<double>(bench::PeakResidentBytes() - before) / kMiB;
    }
    state.counters["file_MB"] = static_cast<double>(QFileInfo(file).size()) / 1e6;
}
BENCHMARK(BM_GraphLoad)->Iterations(1)->Unit(benchmark::kMillisecond);

// Counts the pixels that the widgets of one window paint.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    std::int64_t pixels = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w == window_ || window_->isAncestorOf(w))
                for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                    pixels += static_cast<std::int64_t>(r.width()) * r.height();
        }
        return false;
    }

private:
    QWidget* window_;
};

void BM_LiveViewTick(benchmark::State& state)
{
    bench::LiveRig rig;
    bool seen = false;
    TFormVisualizza view(nullptr, &seen, rig.folder());
    view.show();
    settle();
    // A minute of sweeping first: every needle has moved.
    for (int i = 0; i < 3000; ++i) {
        rig.step();
        view.TimerTimer();
        view.Timer->stop();
        if (i % 50 == 0)
            view.TimerRedrawTimer();
    }
    settle();
    PaintCounter counter(&view);
    QElapsedTimer painting;
    std::int64_t paintNs = 0;
    std::int64_t ticks = 0;
    for (auto _ : state) {
        rig.step();
        // The one-second forced redraw, as its timer gives it.
        if (++ticks % 50 == 0)
            view.TimerRedrawTimer();
        view.TimerTimer();
        view.Timer->stop();
        painting.start();
        settle();
        paintNs += painting.nsecsElapsed();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["painted_kpx"] = static_cast<double>(counter.pixels) / 1000.0 / n;
    state.counters["window_kpx"] = view.width() * view.height() / 1000.0;
    state.counters["paint_ms"] = static_cast<double>(paintNs) / 1e6 / n;
}
BENCHMARK(BM_LiveViewTick)->Iterations(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // The harness's screen: 1280 x 1024 offscreen.
    QTemporaryFile screens(QDir::tempPath() + QStringLiteral("/qz-bench-XXXXXX.json"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && screens.open()) {
        screens.write(R"({"screens":[{"name":"bench","x":0,"y":0,"width":1280,"height":1024,)"
                      R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.fileName()).toLocal8Bit());
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
