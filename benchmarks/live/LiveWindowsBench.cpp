// The live windows on an offscreen 1280 x 1024 screen, in virtual time
// against the simulated ECU:
//   BM_GraphTick/N     one tick of the real-time graph with N samples per
//                      curve already stored (eleven curves): the poll step,
//                      the append, the recording, and a redraw of the visible
//                      time window painted on the window
//   BM_GraphMemory/N   resident memory that N samples per curve take
//   BM_GraphLoad       loading a 100 MB two-bank recording, painted
//   BM_LiveViewTick    one tick of the live view and the painting it causes
//   BM_CalibraTarTick  one tick of the auto-calibration window (idle: the
//                      live bar) and the painting it causes
// Run with --benchmark_counters_tabular=true.
//
// The graph is filled only through its own ticks on the simulated ECU, the
// way a run fills it, so that benchmarks/live/compare.sh, which builds each
// commit's own copy of this file, measures the same work on both sides. Only
// the recording that BM_GraphLoad loads is made of synthetic curves. A
// benchmark whose work changes takes a new name, so that a comparison never
// pairs two different measurements under one name.
#include "benchmarks/live_support/GraphBenchData.h"
#include "live/autocal/FormCalibraTar.h"
#include "live/graph/FormGraficoDrt.h"
#include "live/view/FormVisualizza.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPaintEvent>
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

// Paint events of one widget and its children.
class PaintEvents : public QObject {
public:
    explicit PaintEvents(QWidget* widget) : widget_(widget) { qApp->installEventFilter(this); }
    ~PaintEvents() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            (watched == widget_ || widget_->isAncestorOf(static_cast<QWidget*>(watched))))
            ++count;
        return false;
    }

private:
    QWidget* widget_;
};

// The samples per curve the graph holds.
std::int64_t stored(const TFormGraficoDrt& window) { return static_cast<std::int64_t>(window.Store().Count(0)); }

// Redraws now what the ticks changed and paints it.
void redraw(TFormGraficoDrt& window)
{
    window.Redraw();
    settle();
}

// A graph window running, shown full screen; fill runs `samples` ticks of
// the window (20 ms of virtual time each), one sample per curve a tick.
struct RunningGraph {
    bench::LiveRig rig;
    TFormGraficoDrt window{nullptr, QString()};
    RunningGraph()
    {
        window.show();
        settle();
        window.ImageRunStopClick();
    }
    void fill(std::int64_t samples)
    {
        for (std::int64_t i = 0; i < samples; ++i)
            tick();
        redraw(window);
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
    RunningGraph g;
    g.fill(state.range(0));
    PaintEvents paints(g.window.ChartDrt);
    for (auto _ : state) {
        g.tick();
        redraw(g.window);
    }
    state.counters["chart_paints"] = benchmark::Counter(paints.count, benchmark::Counter::kAvgIterations);
    state.counters["stored"] = static_cast<double>(stored(g.window));
    g.window.ImageRunStopClick();
}
BENCHMARK(BM_GraphTick)->Arg(1000)->Arg(60000)->Arg(180000)->Iterations(300)->Unit(benchmark::kMillisecond);

void BM_GraphMemory(benchmark::State& state)
{
    for (auto _ : state) {
        RunningGraph g;
        const std::int64_t before = bench::ResidentBytes();
        g.fill(state.range(0));
        state.counters["MiB"] = static_cast<double>(bench::ResidentBytes() - before) / kMiB;
        state.counters["store_MiB"] = static_cast<double>(g.window.Store().MemoryBytes()) / kMiB;
        state.counters["stored"] = static_cast<double>(stored(g.window));
        g.window.ImageRunStopClick();
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
        redraw(window);
        state.counters["rows"] = static_cast<double>(stored(window));
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

// One tick an iteration and the painting it causes, on a window already
// shown and settled: the pixels painted and the time the painting took.
template <typename Tick>
void measureTicks(benchmark::State& state, QWidget& window, Tick tick)
{
    PaintCounter counter(&window);
    QElapsedTimer painting;
    std::int64_t paintNs = 0;
    for (auto _ : state) {
        tick();
        painting.start();
        settle();
        paintNs += painting.nsecsElapsed();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["painted_kpx"] = static_cast<double>(counter.pixels) / 1000.0 / n;
    state.counters["window_kpx"] = window.width() * window.height() / 1000.0;
    state.counters["paint_ms"] = static_cast<double>(paintNs) / 1e6 / n;
}

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
    std::int64_t ticks = 0;
    measureTicks(state, view, [&] {
        rig.step();
        // The one-second forced redraw, as its timer gives it.
        if (++ticks % 50 == 0)
            view.TimerRedrawTimer();
        view.TimerTimer();
        view.Timer->stop();
    });
}
BENCHMARK(BM_LiveViewTick)->Iterations(1000)->Unit(benchmark::kMillisecond);

void BM_CalibraTarTick(benchmark::State& state)
{
    bench::LiveRig rig;
    bool seen = false;
    TFormCalibraTar window(nullptr, &seen);
    window.show();
    settle();
    auto tick = [&] {
        rig.step();
        window.TimerBlinkTimer();
        // The benchmark drives the ticks itself.
        window.TimerBlink->stop();
    };
    for (int i = 0; i < 500; ++i)
        tick();
    settle();
    measureTicks(state, window, tick);
}
BENCHMARK(BM_CalibraTarTick)->Iterations(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return bench::RunWindowBenchmarks(argc, argv); }
