#include "plat/LibraryProbe.h"

#include "LibraryFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>

namespace plat {

namespace {

// The verdict lines a probe writes on stdout, one per file, numbered in the
// order of the command line: "probe 0 passed", "probe 1 refused: why".
constexpr const char* kVerdictPrefix = "probe ";
constexpr const char* kPassed = "passed";
constexpr const char* kRefused = "refused: ";

std::map<std::string, LibraryProbeCalls>& registry()
{
    static std::map<std::string, LibraryProbeCalls> calls;
    return calls;
}

bool& servesProbes()
{
    static bool serves = false;
    return serves;
}

void writeVerdict(int index, const QString& why)
{
    const QByteArray line = kVerdictPrefix + QByteArray::number(index) + ' ' +
                            (why.isEmpty() ? QByteArray(kPassed) : QByteArray(kRefused) + why.toUtf8()) + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    std::fflush(stdout);
}

QString runProbe(const char* kind, const QString& file)
{
    const auto it = registry().find(kind);
    if (it == registry().end())
        return QStringLiteral("no probe for libraries of kind \"%1\"").arg(QString::fromUtf8(kind));
    QString why;
    std::unique_ptr<DynamicLibrary> library = MapLibraryFile(file, &why);
    if (!library)
        return why;
    why = it->second(*library);
    // Unmapped here, as the program unmaps it at its end.
    library.reset();
    return why;
}

QString signalText(int number)
{
#ifdef Q_OS_UNIX
    static const std::map<int, const char*> names = {
        {SIGSEGV, "SIGSEGV"}, {SIGBUS, "SIGBUS"}, {SIGILL, "SIGILL"},   {SIGFPE, "SIGFPE"},   {SIGABRT, "SIGABRT"},
        {SIGTRAP, "SIGTRAP"}, {SIGSYS, "SIGSYS"}, {SIGKILL, "SIGKILL"}, {SIGTERM, "SIGTERM"}, {SIGPIPE, "SIGPIPE"}};
    QString text = QStringLiteral("the probe was ended by signal %1").arg(number);
    if (const auto it = names.find(number); it != names.end())
        text += QStringLiteral(" (%1)").arg(QLatin1String(it->second));
    return text;
#else
    // The exit code of a crashed process is the exception's code.
    return QStringLiteral("the probe crashed (exception 0x%1)")
        .arg(static_cast<quint32>(number), 8, 16, QLatin1Char('0'));
#endif
}

// The last line of a process's output that is not blank.
QString lastLine(const QByteArray& output)
{
    const QList<QByteArray> lines = output.split('\n');
    for (auto it = lines.crbegin(); it != lines.crend(); ++it)
        if (!it->trimmed().isEmpty())
            return QString::fromUtf8(it->trimmed());
    return {};
}

} // namespace

bool RegisterLibraryProbe(const char* kind, LibraryProbeCalls calls)
{
    registry()[kind] = calls;
    return true;
}

void ServeLibraryProbe(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], kProbeLibraryOption) != 0) {
        servesProbes() = true;
        return;
    }
    if (argc < 4 || argc % 2 != 0) {
        writeVerdict(0, QStringLiteral("the probe needs a kind and a file"));
        std::_Exit(1);
    }
    bool passed = true;
    for (int i = 2; i + 1 < argc; i += 2) {
        const QString why = runProbe(argv[i], QFile::decodeName(argv[i + 1]));
        writeVerdict((i - 2) / 2, why);
        passed = passed && why.isEmpty();
    }
    // Nothing of the process's own end runs: the verdicts are out, and what
    // the libraries left behind is not the probe's business.
    std::_Exit(passed ? 0 : 1);
}

// One probe process and the files it probes in turn.
struct ProcessLibraryProbe::Batch {
    std::vector<Request> requests;
    std::vector<std::optional<QString>> verdicts;
    std::vector<bool> taken;
    QProcess process;
    // Since the start or the last verdict: each file has its own time.
    QElapsedTimer sinceVerdict;
    QByteArray partialLine;
    // Why the process ended before every verdict was in, once it has.
    std::optional<QString> endedEarly;

    // The probe ends by itself right after its last verdict: it is given
    // that moment, not killed in the middle of it.
    ~Batch()
    {
        if (process.state() != QProcess::NotRunning && !process.waitForFinished(500)) {
            process.kill();
            process.waitForFinished();
        }
    }

    // Taken, or never to be had from this process: it ended before the
    // file's verdict, after another file (the first one takes the reason).
    bool settled(std::size_t i) const { return taken[i] || (endedEarly && !verdicts[i] && i != 0); }

    void readVerdicts()
    {
        partialLine += process.readAllStandardOutput();
        qsizetype end;
        while ((end = partialLine.indexOf('\n')) >= 0) {
            const QByteArray line = partialLine.left(end).trimmed();
            partialLine.remove(0, end + 1);
            if (!line.startsWith(kVerdictPrefix))
                continue;
            const QByteArray rest = line.mid(qsizetype(std::strlen(kVerdictPrefix)));
            const qsizetype space = rest.indexOf(' ');
            bool ok = false;
            const int index = rest.left(space).toInt(&ok);
            if (!ok || space < 0 || index < 0 || std::size_t(index) >= verdicts.size() || verdicts[index])
                continue;
            const QByteArray said = rest.mid(space + 1);
            if (said == kPassed)
                verdicts[index] = QString();
            else if (said.startsWith(kRefused))
                verdicts[index] = QString::fromUtf8(said.mid(qsizetype(std::strlen(kRefused))));
            else
                continue;
            sinceVerdict.restart();
        }
    }

    void noteEnd()
    {
        readVerdicts();
        if (std::all_of(verdicts.begin(), verdicts.end(), [](const auto& v) { return v.has_value(); }))
            return;
        if (process.error() == QProcess::FailedToStart) {
            endedEarly = QStringLiteral("the probe could not be started: ") + process.errorString();
        } else if (process.exitStatus() == QProcess::CrashExit) {
            endedEarly = signalText(process.exitCode());
        } else {
            // Ended on its own: a library ended the process.
            QString why = QStringLiteral("the probe ended with code %1 and no verdict").arg(process.exitCode());
            const QString said = lastLine(process.readAllStandardError());
            if (!said.isEmpty())
                why += QStringLiteral(" (its last words: %1)").arg(said);
            endedEarly = why;
        }
    }

    // Until the verdict of request `index` is in, or the process has ended.
    void waitFor(std::size_t index)
    {
        while (!verdicts[index] && !endedEarly) {
            if (process.state() == QProcess::NotRunning) {
                noteEnd();
                return;
            }
            const qint64 left = kLibraryProbeTimeoutMs - sinceVerdict.elapsed();
            if (left <= 0) {
                process.kill();
                process.waitForFinished();
                readVerdicts();
                if (!verdicts[index])
                    endedEarly = QStringLiteral("the probe did not end within %1 ms").arg(kLibraryProbeTimeoutMs);
                return;
            }
            if (process.state() == QProcess::Starting)
                process.waitForStarted(static_cast<int>(left));
            else
                process.waitForReadyRead(static_cast<int>(left));
            readVerdicts();
        }
    }
};

ProcessLibraryProbe::ProcessLibraryProbe() = default;
ProcessLibraryProbe::~ProcessLibraryProbe() = default;

std::shared_ptr<ProcessLibraryProbe::Batch> ProcessLibraryProbe::launch(std::vector<Request> requests)
{
    auto batch = std::make_shared<Batch>();
    QStringList arguments{QString::fromLatin1(kProbeLibraryOption)};
    for (const Request& r : requests)
        arguments << r.first << r.second;
    batch->verdicts.resize(requests.size());
    batch->taken.resize(requests.size());
    batch->requests = std::move(requests);
    batch->process.setProgram(QCoreApplication::applicationFilePath());
    batch->process.setArguments(arguments);
    batch->process.setStandardInputFile(QProcess::nullDevice());
    batch->sinceVerdict.start();
    batch->process.start();
    batches_.push_back(batch);
    return batch;
}

ProcessLibraryProbe::Found ProcessLibraryProbe::find(const Request& request) const
{
    for (const auto& batch : batches_)
        for (std::size_t i = 0; i < batch->requests.size(); ++i)
            if (batch->requests[i] == request && !batch->settled(i))
                return {batch, i};
    return {};
}

void ProcessLibraryProbe::announce(const QString& kind, const QString& file)
{
    if (!servesProbes() || !QCoreApplication::instance())
        return;
    const Request request{kind, file};
    if (find(request).batch || std::find(waiting_.begin(), waiting_.end(), request) != waiting_.end())
        return;
    waiting_.push_back(request);
}

QString ProcessLibraryProbe::probe(const QString& kind, const QString& file)
{
    if (!servesProbes() || !QCoreApplication::instance())
        return {}; // this program cannot be its own probe
    const Request request{kind, file};
    Found found = find(request);
    if (!found.batch) {
        // Every file announced ahead goes into the process, this one among them.
        if (std::find(waiting_.begin(), waiting_.end(), request) == waiting_.end())
            waiting_.push_back(request);
        launch(std::exchange(waiting_, {}));
        found = find(request);
    }
    Batch& batch = *found.batch;
    batch.waitFor(found.index);
    batch.taken[found.index] = true;
    std::optional<QString> verdict = batch.verdicts[found.index];
    if (!verdict && found.index == 0)
        verdict = batch.endedEarly;
    bool done = true;
    for (std::size_t i = 0; i < batch.requests.size(); ++i)
        done = done && batch.settled(i);
    if (done)
        std::erase(batches_, found.batch);
    if (verdict)
        return *verdict;
    // The process ended before this file's verdict, at or after another
    // library: this one is probed alone.
    return probe(kind, file);
}

} // namespace plat
