// The time from the start of the program's process to the first paint of its
// main window, with the run-time libraries probed before they are mapped and
// without the probes: each run is a fresh process of this program, started
// the program's way (offline, the program folder of the build, settings in
// memory, the offscreen platform unless another is chosen), and the figure is
// the median of the runs (10 unless given: startup_first_paint [RUNS]).
#include "shell/main/MainQuorin.h"
#include "shell/main/Startup.h"

#include "plat/LibraryProbe.h"
#include "plat/ProgramFolder.h"
#include "plat/Services.h"
#include "plat/testing/Fakes.h"
#include "product/constants/BuildConstants.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kRunOption = "--first-paint-run";

std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Notes the time of the first paint the watched window receives.
class FirstPaint : public QObject {
public:
    std::int64_t at = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && at == 0)
            at = nowNs();
        return QObject::eventFilter(watched, event);
    }
};

// One start of the program; prints the time of the main window's first paint.
int runOnce(int argc, char** argv, bool probes)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    plat::SetProgramFolder(QStringLiteral(QZ_APP_DIR));
    plat::testing::FakeSettingsStore settings;
    auto& key = settings.keys[QStringLiteral("\\Software\\") + QString::fromUtf8(qz::RegistrySubkey())];
    key[QStringLiteral("MainPath")] = QStringLiteral("\"\"");
    key[QStringLiteral("LanguageName")] = QStringLiteral("\"\"");
    key[QStringLiteral("ComPort")] = QStringLiteral("1");
    key[QStringLiteral("Language")] = QStringLiteral("0");
    plat::testing::FakePrompts prompts;
    plat::testing::FakeLibraryProbe noProbe;
    plat::ScopedServices services(
        plat::Services{.prompts = &prompts, .settings = &settings, .libraryProbe = probes ? nullptr : &noProbe});

    FirstPaint paint;
    StartupHooks hooks;
    hooks.created = [&](const char* name) {
        if (std::strcmp(name, "FormMain") == 0 && FormMain)
            FormMain->installEventFilter(&paint);
    };
    hooks.exec = [&] {
        QElapsedTimer waited;
        waited.start();
        while (paint.at == 0 && !waited.hasExpired(10000))
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        return 0;
    };
    RunProgram({.offline = true}, hooks);
    if (paint.at == 0 || !prompts.shown().empty()) {
        std::fprintf(stderr, "startup_first_paint: no paint, or a message box at start\n");
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(paint.at));
    return 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    plat::ServeLibraryProbe(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], kRunOption) == 0)
        return runOnce(argc, argv, std::strcmp(argv[2], "probes") == 0);

    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 10;
    QCoreApplication app(argc, argv);
    std::vector<double> with, without;
    // Alternating, so that a busy moment of the machine falls on both.
    for (int i = 0; i < runs; ++i) {
        for (const bool probes : {true, false}) {
            QProcess run;
            const std::int64_t started = nowNs();
            run.start(QCoreApplication::applicationFilePath(),
                      {QString::fromLatin1(kRunOption), probes ? QStringLiteral("probes") : QStringLiteral("none")});
            if (!run.waitForFinished(30000) || run.exitCode() != 0) {
                std::fprintf(stderr, "startup_first_paint: a run failed: %s\n", run.readAllStandardError().constData());
                return 1;
            }
            const double ms = double(run.readAllStandardOutput().trimmed().toLongLong() - started) / 1e6;
            (probes ? with : without).push_back(ms);
        }
    }
    std::printf("time to the main window's first paint, median of %d runs\n", runs);
    std::printf("  with the library probes     %7.1f ms\n", median(with));
    std::printf("  without them                %7.1f ms\n", median(without));
    std::printf("  the probes' cost            %7.1f ms\n", median(with) - median(without));
    return 0;
}
