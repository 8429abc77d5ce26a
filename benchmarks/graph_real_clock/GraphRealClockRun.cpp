// The real-time graph for minutes on the system clock: RUN against the
// simulated ECU (answering at once), the window's own 20 ms timer, the chart
// redrawn as it is on screen (offscreen, 1280 x 1024), then STOP. Reads the
// recording back and prints the samples of every minute.
//   graph_real_clock_run [SECONDS] [COPY]   600 s by default; COPY keeps the
//                                           recording under that name
// Exits with 0 when the recording holds at least 45 samples a second and the
// last full minute's rate is within 10 % of the first's.
#include "benchmarks/live_support/GraphBenchData.h"
#include "live/graph/FormGraficoDrt.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <charconv>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    QTemporaryFile screens;
    bench::UseOffscreenScreen(screens);
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
    const QString copy = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (seconds < 60) {
        std::fprintf(stderr, "graph_real_clock_run: at least 60 seconds\n");
        return 2;
    }

    bench::LiveRig rig("type=30", true);
    TFormGraficoDrt window(nullptr, QString());
    window.show();
    QCoreApplication::processEvents();
    window.ImageRunStopClick();
    // A loop of its own: quitting the application would close the window,
    // and the window deletes an unsaved recording when it closes.
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, [&] {
        window.ImageRunStopClick();
        loop.quit();
    });
    loop.exec();

    QFile file(window.Recorder().TempFileName());
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "graph_real_clock_run: no recording\n");
        return 1;
    }
    const QByteArray text = file.readAll();
    file.close();
    if (!copy.isEmpty()) {
        QFile::remove(copy);
        QFile::copy(file.fileName(), copy);
    }
    // Samples per minute from the TEMPO column of every data line.
    const int minutes = seconds / 60;
    std::vector<long> perMinute(static_cast<std::size_t>(minutes) + 1, 0);
    long samples = 0;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        std::uint32_t ms = 0;
        const auto r = std::from_chars(line.constData(), line.constData() + line.size(), ms);
        if (r.ec != std::errc())
            continue;
        ++samples;
        const std::size_t m = std::min<std::size_t>(ms / 60000, perMinute.size() - 1);
        ++perMinute[m];
    }
    std::printf("recorded %ld samples in %d s: %.1f a second\n", samples, seconds, samples / double(seconds));
    for (int m = 0; m < minutes; ++m)
        std::printf("minute %2d: %ld samples, %.1f a second\n", m + 1, perMinute[static_cast<std::size_t>(m)],
                    perMinute[static_cast<std::size_t>(m)] / 60.0);
    const double first = perMinute[0] / 60.0;
    const double last = perMinute[static_cast<std::size_t>(minutes) - 1] / 60.0;
    const bool enough = samples >= 45L * seconds;
    const bool steady = last >= 0.9 * first && last <= 1.1 * first;
    std::printf("at least 45 a second: %s; minute %d within 10 %% of minute 1: %s (%+.1f %%)\n", enough ? "yes" : "NO",
                minutes, steady ? "yes" : "NO", 100.0 * (last - first) / first);
    return enough && steady ? 0 : 1;
}
