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
#include <string>

namespace plat {

namespace {

// The verdict lines a probe writes on stdout.
constexpr const char* kPassedLine = "probe passed";
constexpr const char* kRefusedPrefix = "probe refused: ";

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

[[noreturn]] void endProbe(const QString& why)
{
    const QByteArray line = why.isEmpty() ? QByteArray(kPassedLine) : QByteArray(kRefusedPrefix) + why.toUtf8();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    // Nothing of the process's own end runs: the verdict is out, and what the
    // library left behind is not the probe's business.
    std::_Exit(why.isEmpty() ? 0 : 1);
}

QString runProbe(const char* kind, const QString& file)
{
    const auto it = registry().find(kind);
    if (it == registry().end())
        return QStringLiteral("no probe for libraries of kind \"%1\"").arg(QString::fromUtf8(kind));
    QString why;
    std::unique_ptr<DynamicLibrary> library = mapLibraryFile(file, &why);
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

bool registerLibraryProbe(const char* kind, LibraryProbeCalls calls)
{
    registry()[kind] = calls;
    return true;
}

void serveLibraryProbe(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], kProbeLibraryOption) != 0) {
        servesProbes() = true;
        return;
    }
    if (argc < 4)
        endProbe(QStringLiteral("the probe needs a kind and a file"));
    endProbe(runProbe(argv[2], QFile::decodeName(argv[3])));
}

struct ProcessLibraryProbe::Running {
    QProcess process;
    QElapsedTimer since;
};

ProcessLibraryProbe::ProcessLibraryProbe() = default;
ProcessLibraryProbe::~ProcessLibraryProbe() = default;

void ProcessLibraryProbe::start(const QString& kind, const QString& file)
{
    if (!servesProbes() || !QCoreApplication::instance())
        return;
    std::unique_ptr<Running>& running = running_[{kind, file}];
    if (running)
        return;
    running = std::make_unique<Running>();
    running->since.start();
    running->process.setProgram(QCoreApplication::applicationFilePath());
    running->process.setArguments({QString::fromLatin1(kProbeLibraryOption), kind, file});
    running->process.setStandardInputFile(QProcess::nullDevice());
    running->process.start();
}

QString ProcessLibraryProbe::probe(const QString& kind, const QString& file)
{
    start(kind, file);
    const auto it = running_.find({kind, file});
    if (it == running_.end())
        return {}; // this program cannot be its own probe
    const std::unique_ptr<Running> running = std::move(it->second);
    running_.erase(it);
    QProcess& process = running->process;
    auto left = [&] { return std::max(0, kLibraryProbeTimeoutMs - static_cast<int>(running->since.elapsed())); };
    if (!process.waitForStarted(left()))
        return QStringLiteral("the probe could not be started: ") + process.errorString();
    if (!process.waitForFinished(left())) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("the probe did not end within %1 ms").arg(kLibraryProbeTimeoutMs);
    }
    if (process.exitStatus() == QProcess::CrashExit)
        return signalText(process.exitCode());
    const QString verdict = lastLine(process.readAllStandardOutput());
    if (process.exitCode() == 0 && verdict == QLatin1String(kPassedLine))
        return {};
    if (process.exitCode() == 1 && verdict.startsWith(QLatin1String(kRefusedPrefix)))
        return verdict.mid(static_cast<qsizetype>(std::strlen(kRefusedPrefix)));
    // Ended on its own without a verdict: the library ended the process.
    QString why = QStringLiteral("the probe ended with code %1 and no verdict").arg(process.exitCode());
    const QString said = lastLine(process.readAllStandardError());
    if (!said.isEmpty())
        why += QStringLiteral(" (its last words: %1)").arg(said);
    return why;
}

} // namespace plat
