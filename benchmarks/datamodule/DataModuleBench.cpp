// What one tick of a live window costs the data module: the by-code
// accessors a page reads and writes, and one poll step. The live windows run
// every 20 ms, so these are the baseline for that budget.
#include "benchmarks/ecu_rig/EcuBenchRig.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <iterator>

namespace {

// A data module on the simulated ECU, with the link open and no waits.
struct Bench : bench::EcuRig {
    Bench()
    {
        dm->BuildTemperaturaGasTable(0);
        dm->BuildTempMotoreTable(false);
        sim.Connect();
    }
};

void BM_GetValueByCode(benchmark::State& state)
{
    Bench b;
    const std::int32_t codes[] = {5, 56, 117, 15, 528, 591, 0x300001a, 20};
    for (auto _ : state)
        for (std::int32_t c : codes)
            benchmark::DoNotOptimize(b.dm->GetValueByCode(c));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(std::size(codes)));
}
BENCHMARK(BM_GetValueByCode);

void BM_GetElementByCode(benchmark::State& state)
{
    Bench b;
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.dm->GetElementByCode(151, 1));
        benchmark::DoNotOptimize(b.dm->GetElementByCode(667, 2));
        benchmark::DoNotOptimize(b.dm->GetElementByCode(617, 3));
    }
    state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(BM_GetElementByCode);

void BM_SetValueByCode(benchmark::State& state)
{
    Bench b;
    double v = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.dm->SetValueByCode(5, v));
        v = v > 4.9 ? 0 : v + 0.1;
        b.trim();
    }
}
BENCHMARK(BM_SetValueByCode);

void BM_PollStepLive(benchmark::State& state)
{
    Bench b;
    b.dm->SetPollItem(1);
    for (auto _ : state) {
        b.dm->TimerIOTimer();
        benchmark::DoNotOptimize(b.dm->DecodedLiveBlock());
        b.trim();
    }
}
BENCHMARK(BM_PollStepLive);

void BM_PollStepIdle(benchmark::State& state)
{
    Bench b;
    for (auto _ : state) {
        b.dm->TimerIOTimer();
        b.trim();
    }
}
BENCHMARK(BM_PollStepIdle);

// One whole-image pass against the simulated ECU with zero latency: what the
// program itself adds to the link time of a real ECU.
void BM_TransferReadEcu(benchmark::State& state)
{
    Bench b;
    if (!b.dm->TransferData(TStreamDati::TRANSFER_READ_ECU, QString(), 0, TStreamDati::TRANSFER_ALL_GROUPS, 0, 0)
        || !b.prompts.shown().empty()) {
        state.SkipWithError("the read pass failed");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.dm->TransferData(TStreamDati::TRANSFER_READ_ECU, QString(), 0,
                                                    TStreamDati::TRANSFER_ALL_GROUPS, 0, 0));
        b.sim.ClearCalls();
    }
}
BENCHMARK(BM_TransferReadEcu)->Unit(benchmark::kMillisecond);

void BM_TransferWriteEcu(benchmark::State& state)
{
    Bench b;
    if (!b.dm->TransferData(TStreamDati::TRANSFER_WRITE_ECU, QString(), 0, TStreamDati::TRANSFER_ALL_GROUPS, 0, 0)
        || !b.prompts.shown().empty()) {
        state.SkipWithError("the write pass failed");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.dm->TransferData(TStreamDati::TRANSFER_WRITE_ECU, QString(), 0,
                                                    TStreamDati::TRANSFER_ALL_GROUPS, 0, 0));
        b.sim.ClearCalls();
    }
}
BENCHMARK(BM_TransferWriteEcu)->Unit(benchmark::kMillisecond);

void BM_TransferSaveFile(benchmark::State& state)
{
    Bench b;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.zc4"));
    for (auto _ : state)
        benchmark::DoNotOptimize(b.dm->TransferData(TStreamDati::TRANSFER_SAVE, file, 0,
                                                    TStreamDati::TRANSFER_ALL_GROUPS, 0, 0));
}
BENCHMARK(BM_TransferSaveFile)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
