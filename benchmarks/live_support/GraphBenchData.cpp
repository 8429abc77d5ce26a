#include "GraphBenchData.h"

#include "live/acquisition/AcquisitionFormat.h"

#include "plat/ProgramFolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

namespace bench {

namespace {

std::int64_t statusKiB(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == key) {
            std::int64_t kib = 0;
            status >> kib;
            return kib;
        }
    }
    return 0;
}

} // namespace

LiveRig::LiveRig(const char* profile, bool realClock) : EcuRig(profile, realClock)
{
    dm->EcuInfo.EcuType = 30;
    // Two probes: all eleven curves.
    dm->Item(0x2303)[0] &= ~0x4;
    dm->SetPollItem(1);
    sim.Connect();
    plat::SetProgramFolder(folder_.path());
    QDir(folder_.path()).mkdir(QStringLiteral("Acquisition"));
}

LiveRig::~LiveRig() { plat::SetProgramFolder(QString()); }

void LiveRig::step(std::uint32_t ms)
{
    clock.advance(ms);
    trim();
}

QString LongRecording(std::int64_t bytes)
{
    static QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("long-two-bank.txt"));
    if (QFile::exists(name))
        return name;
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    QByteArray text = qz::live::AcquisitionHeader(2, "Monday, 1 January 2024 10:00:00");
    std::int64_t written = 0;
    for (std::uint64_t row = 0; written + text.size() < bytes; ++row) {
        const grafico::CurveValues c = CurvesAt(row);
        qz::live::TAcquisitionSample s;
        s.Rpm = static_cast<std::int32_t>(c[0] * 1000);
        s.Lambda1Volts = c[1];
        s.GasMs1 = c[2];
        s.PetrolMs1 = c[3];
        s.GasPressureHundredths = static_cast<std::int32_t>(c[4] * 100);
        s.MapPressureHundredths = static_cast<std::int32_t>(c[5] * 100);
        s.ReducerTempC = c[6] * 10;
        s.GasTempC = c[7] * 10;
        s.Lambda2Volts = c[8];
        s.GasMs2 = c[9];
        s.PetrolMs2 = c[10];
        text += qz::live::AcquisitionDataLine(static_cast<std::uint32_t>(row * 20), s, 2);
        if (text.size() > (1 << 22)) {
            written += f.write(text);
            text.clear();
        }
    }
    f.write(text);
    return name;
}

int RunWindowBenchmarks(int argc, char** argv)
{
    QTemporaryFile screens;
    UseOffscreenScreen(screens);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

void UseOffscreenScreen(QTemporaryFile& config)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    config.setFileTemplate(QDir::tempPath() + QStringLiteral("/qz-bench-XXXXXX.json"));
    if (!config.open())
        return;
    config.write(R"({"screens":[{"name":"bench","x":0,"y":0,"width":1280,"height":1024,)"
                 R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
    config.flush();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.fileName()).toLocal8Bit());
}

std::int64_t ResidentBytes() { return statusKiB("VmRSS:") * 1024; }
std::int64_t PeakResidentBytes() { return statusKiB("VmHWM:") * 1024; }

void ResetPeak()
{
    // Writing 5 resets the peak resident size to the current one.
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace bench
