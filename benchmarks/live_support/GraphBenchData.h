#pragma once
// What the live-window benchmarks share: a data module on the simulated ECU
// in virtual time, as the live view leaves it for its windows (poll item 1,
// poll timer stopped, link open), a program folder with its "Acquisition"
// folder, synthetic curves and the process's memory figures.
#include "benchmarks/ecu_rig/EcuBenchRig.h"
#include "live/graph_rules/GraficoRules.h"

#include <QString>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace bench {

inline constexpr double kSampleSeconds = 0.02;

// Eleven curves that move the way a test drive does (a slow drive cycle, a
// fast lambda swing, noise), at 50 samples a second: the data of what is
// made rather than run (the recording BM_GraphLoad loads, the chart engines'
// store). A running graph is filled through its own ticks instead.
inline grafico::CurveValues CurvesAt(std::uint64_t row)
{
    const double t = row * kSampleSeconds;
    const double cycle = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * t / 30.0);
    const double lambda = 0.45 + 0.35 * std::sin(2 * std::numbers::pi * t / 1.3);
    // A cheap deterministic jitter.
    const double jitter = static_cast<double>((row * 2654435761u) % 1000) / 1000.0 - 0.5;
    const double petrol = 2.5 + 9.0 * (0.15 + 0.6 * cycle) + 0.2 * jitter;
    return {0.85 + 2.4 * cycle + 0.05 * jitter,
            lambda,
            petrol * 1.05,
            petrol,
            1.5 + 0.6 * cycle,
            0.3 + 0.6 * cycle,
            8.5 + 0.01 * jitter,
            2.5 + 0.01 * jitter,
            0.9 - lambda + 0.1,
            petrol * 1.04,
            petrol * 0.99};
}

// The data module on the simulator, two probes (eleven curves), ECU type 30,
// the link open; in virtual time, or with realClock on the system's clock.
class LiveRig : public EcuRig {
public:
    explicit LiveRig(const char* profile = "type=30", bool realClock = false);
    ~LiveRig();

    QString folder() const { return folder_.path(); }
    // One 20 ms step of virtual time; the call log is trimmed now and then.
    void step(std::uint32_t ms = 20);

private:
    QTemporaryDir folder_;
};

// A two-bank acquisition file of at least `bytes` bytes (made once per
// process, in a temporary folder).
QString LongRecording(std::int64_t bytes);

// main() of a benchmark of windows: the screen below, the application, then
// every benchmark registered.
int RunWindowBenchmarks(int argc, char** argv);

// Before the application: the harness's screen, 1280 x 1024 offscreen, with
// its description in `config` (unless QT_QPA_PLATFORM chooses another).
void UseOffscreenScreen(QTemporaryFile& config);

// Resident memory of the process, and its peak since the last ResetPeak.
std::int64_t ResidentBytes();
std::int64_t PeakResidentBytes();
void ResetPeak();

} // namespace bench
