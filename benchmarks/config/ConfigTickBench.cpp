// What one 20 ms tick of the configuration window costs: the poll step's read
// of the live frame, its decoding, the live bar, the trackers of the active
// page, the OBD reads of the OBD pages and the repaint of the cells and dot
// areas that changed, on an offscreen window against the in-process
// simulated ECU of a driving engine. The budget is 0.5 ms of CPU per tick.
#include "config/mapk/DrawGridK.h"
#include "config/tables/CorrectionGrid.h"
#include "config/window/FormConfig.h"
#include "config/window/pages/PageEmissioni.h"
#include "config/window/pages/PageMappa.h"
#include "tests/support/rig/DataModuleRig.h"
#include "tests/support/rig/MapAxes.h"

#include <QApplication>
#include <QEvent>
#include <QTabWidget>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// Counts the paints a widget receives.
class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget* w) { w->installEventFilter(this); }
    long long paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

void BM_ConfigTick(benchmark::State& state)
{
    const int page = static_cast<int>(state.range(0));
    rig::DataModuleRig r({.profile = "type=56;warmup=1"});
    r.dm().EcuInfo.EcuType = static_cast<std::uint8_t>(r.sim().CurrentProfile().type);
    r.connectEcu();
    rig::LoadMapAxes(r.dm());
    r.clock.advance(5000); // on gas, driving
    auto w = std::make_unique<TFormConfig>(nullptr);
    w->LoadTexts();
    w->show();
    w->PageControl->setCurrentIndex(page);
    QApplication::processEvents();
    PaintCount paints(page == cfgwin::PageEmissioni ? static_cast<QWidget*>(w->Page<TPageEmissioni>().DrawGridEmissioni)
                                                    : static_cast<QWidget*>(w->Page<TPageMappa>().DrawGridK));
    long long ticks = 0;
    for (auto _ : state) {
        r.clock.advance(20);
        w->TimerDatiTimer();
        // The repaint of what the tick invalidated.
        QApplication::processEvents();
        if (++ticks % 1024 == 0) {
            state.PauseTiming();
            r.sim().ClearCalls();
            state.ResumeTiming();
        }
    }
    state.counters["grid paints/tick"] = benchmark::Counter(static_cast<double>(paints.paints) / static_cast<double>(ticks));
    w->done(0);
}
BENCHMARK(BM_ConfigTick)
    ->Arg(cfgwin::PageMappa)
    ->Arg(cfgwin::PageEmissioni)
    ->Arg(cfgwin::PageCorrezioni)
    ->Arg(cfgwin::PageConfigurazione)
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
