// The probe of a run-time library: the program started as a process of its
// own that maps the file and makes the calls of its kind, and how the loader
// heeds its verdict.
#include "plat/LibraryProbe.h"
#include "plat/DynamicLibrary.h"
#include "plat/ProgramFolder.h"
#include "plat/Services.h"
#include "plat/testing/Fakes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace plat;

namespace {

// Kinds whose calls end the probe in each way it can end. The probe process
// is this test binary, so it has them too.
QString passes(DynamicLibrary& library) { return library.resolve("_MaxStrings") ? QString() : QStringLiteral("lost"); }
QString fails(DynamicLibrary&) { return QStringLiteral("_Start answered 0"); }
QString aborts(DynamicLibrary&) { std::abort(); }
QString exits(DynamicLibrary&) { std::_Exit(3); }
QString hangs(DynamicLibrary&)
{
    QThread::sleep(30);
    return {};
}
[[maybe_unused]] const bool kRegistered =
    RegisterLibraryProbe("test-passes", &passes) && RegisterLibraryProbe("test-fails", &fails) &&
    RegisterLibraryProbe("test-aborts", &aborts) && RegisterLibraryProbe("test-exits", &exits) &&
    RegisterLibraryProbe("test-hangs", &hangs);

const QString kLibrary = QStringLiteral(QZ_LANGUAGES_LIBRARY);

} // namespace

TEST(LibraryProbe, TheVerdictSaysHowTheProbeEnded)
{
    const struct {
        const char* kind;
        QString file;
        QString verdict; // the start of it
    } cases[] = {
        {"test-passes", kLibrary, QString()},
        {"test-fails", kLibrary, QStringLiteral("_Start answered 0")},
#ifdef Q_OS_UNIX
        {"test-aborts", kLibrary, QStringLiteral("the probe was ended by signal 6 (SIGABRT)")},
#endif
        {"test-exits", kLibrary, QStringLiteral("the probe ended with code 3 and no verdict")},
        {"no-such-kind", kLibrary, QStringLiteral("no probe for libraries of kind \"no-such-kind\"")},
        {"test-passes", QStringLiteral("/nonexistent/libNothing.so"), QStringLiteral("Cannot load library")},
    };
    ProcessLibraryProbe probe;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const QString verdict = probe.probe(QString::fromLatin1(c.kind), c.file);
        if (c.verdict.isEmpty())
            EXPECT_TRUE(verdict.isEmpty()) << verdict.toStdString();
        else
            EXPECT_TRUE(verdict.startsWith(c.verdict)) << verdict.toStdString();
    }
}

// Files announced ahead share one probe process, and each file gets its own verdict:
// a file after one that crashed or hung is probed again alone, and a hung
// probe is killed 2 s after the verdict before it.
TEST(LibraryProbe, FilesAnnouncedAheadShareAProcessAndEachGetsItsOwnVerdict)
{
    const QString timedOut = QStringLiteral("the probe did not end within 2000 ms");
    const QString aborted = QStringLiteral("the probe was ended by signal 6 (SIGABRT)");
    const struct {
        const char* first;
        const char* second;
        QString firstVerdict, secondVerdict;
    } cases[] = {
        {"test-passes", "test-fails", QString(), QStringLiteral("_Start answered 0")},
#ifdef Q_OS_UNIX
        {"test-aborts", "test-passes", aborted, QString()},
        {"test-passes", "test-aborts", QString(), aborted},
#endif
        {"test-hangs", "test-passes", timedOut, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.first) + ", " + c.second);
        ProcessLibraryProbe probe;
        QElapsedTimer took;
        took.start();
        probe.announce(QString::fromLatin1(c.first), kLibrary);
        probe.announce(QString::fromLatin1(c.second), kLibrary);
        EXPECT_EQ(probe.probe(QString::fromLatin1(c.first), kLibrary), c.firstVerdict);
        EXPECT_EQ(probe.probe(QString::fromLatin1(c.second), kLibrary), c.secondVerdict);
        if (c.firstVerdict == timedOut) {
            EXPECT_GE(took.elapsed(), kLibraryProbeTimeoutMs);
            EXPECT_LT(took.elapsed(), kLibraryProbeTimeoutMs + 1500);
        }
    }
}

// The loader asks the probe before it maps a file, and maps nothing the probe
// or the header check refuses; the log names the file and the reason.
TEST(LibraryProbe, TheLoaderMapsOnlyWhatPassesAndLogsEveryRefusal)
{
    QFile built(kLibrary);
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    const QByteArray whole = built.readAll();
    const struct {
        const char* name;
        QByteArray bytes;
        const char* kind;
        QString refusal; // what the probe answers
        bool loads;
        bool probed;
        QString logged; // the reason after the file
    } cases[] = {
        {"no kind: no probe", whole, "", QStringLiteral("never asked"), true, false, QString()},
        {"passed by the probe", whole, "language", QString(), true, true, QString()},
        {"refused by the probe", whole, "language", QStringLiteral("the probe was ended by signal 11 (SIGSEGV)"), false,
         true, QStringLiteral("the probe was ended by signal 11 (SIGSEGV)")},
        {"refused by the header check", whole.left(4096), "language", QString(), false, false,
         QStringLiteral("a loadable segment lies past the end of the file")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("libLanguages.so"));
        QFile copy(file);
        ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
        copy.write(c.bytes);
        copy.close();
        SetProgramFolder(folder.path());
        plat::testing::FakeLibraryProbe probe;
        probe.answer = [&](const QString&, const QString&) { return c.refusal; };
        plat::testing::FakeLog log;
        ScopedServices services({.libraryProbe = &probe, .log = &log});
        QtLibraryLoader loader;
        const QString kind = QString::fromLatin1(c.kind);
        loader.prepare(QStringLiteral("Languages.dll"), kind);
        const bool loaded = loader.load(QStringLiteral("Languages.dll"), kind) != nullptr;
        SetProgramFolder({});

        EXPECT_EQ(loaded, c.loads);
        const QStringList asked = c.probed ? QStringList{kind + u' ' + file} : QStringList{};
        EXPECT_EQ(probe.asked, asked);
        EXPECT_EQ(probe.announced, asked) << "the file announced is the one probed";
        EXPECT_EQ(log.lines, c.logged.isEmpty()
                                 ? QStringList{}
                                 : QStringList{QStringLiteral("run-time library %1 refused: %2").arg(file, c.logged)});
    }
}

// The first file found is the one loaded or refused: a library in the program
// folder that is refused is not replaced by another one on the search path.
TEST(LibraryProbe, ARefusedLibraryInTheProgramFolderIsNotReplacedByOneFoundFurther)
{
    QFile built(kLibrary);
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    QTemporaryDir programFolder, searched;
    const QString local = programFolder.filePath(QStringLiteral("libLanguages.so"));
    QFile cut(local);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(built.read(4096));
    cut.close();
    ASSERT_TRUE(QFile::copy(kLibrary, searched.filePath(QStringLiteral("libLanguages.so"))));
    const QByteArray savedPath = qgetenv("LD_LIBRARY_PATH");
    qputenv("LD_LIBRARY_PATH", QFile::encodeName(searched.path()));
    SetProgramFolder(programFolder.path());
    plat::testing::FakeLog log;
    ScopedServices services({.log = &log});
    QtLibraryLoader loader;
    EXPECT_EQ(loader.load(QStringLiteral("Languages.dll")), nullptr);
    SetProgramFolder({});
    qputenv("LD_LIBRARY_PATH", savedPath);
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("run-time library %1 refused: a loadable segment lies past the end "
                                                    "of the file")
                                         .arg(local)});
}
