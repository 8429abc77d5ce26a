#include "live/acquisition/AcquisitionRecorder.h"
#include "ExampleSample.h"
#include "live/acquisition/AcquisitionReader.h"
#include "tests/support/SmallDisk.h"

#include "datamodule/files/SaveFile.h"

#include "plat/ProgramFolder.h"
#include "plat/Services.h"
#include "plat/testing/Fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <optional>
#include <system_error>

using namespace qz::live;

namespace {

const QByteArray kStamp = "Thursday, 15 January 2026 09:05:07";

QByteArray readAll(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& name, const QByteArray& data)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

// Takes the write permission of folder away; false when it can still be
// written into (as it can for root).
bool makeUnwritable(const QString& folder)
{
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(folder + QLatin1String("/probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return true;
    probe.remove();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return false;
}

class Recorder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        plat::SetProgramFolder(dir_.path());
    }
    void TearDown() override { plat::SetProgramFolder({}); }
    QString folder() const { return dir_.path() + QLatin1String("/Acquisition"); }
    QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }

    QTemporaryDir dir_;
    plat::testing::FakeClock clock_;
    plat::ScopedServices services_{{.clock = &clock_}};
};

// A finished recording of one line in folder(), its temporary name returned.
QString recordOneLine(TAcquisitionRecorder& r)
{
    EXPECT_TRUE(r.Start(1, kStamp).Ok());
    TAcquisitionSample s;
    s.Rpm = 800;
    r.Append(s);
    EXPECT_TRUE(r.Stop().Ok());
    return r.TempFileName();
}

} // namespace

TEST_F(Recorder, WritesTheFixtureBytesAndReadsThemBack)
{
    struct Tick {
        std::uint32_t now;
        TAcquisitionSample sample;
    };
    const TAcquisitionSample a = ExampleSample();
    TAcquisitionSample b;
    b.ReducerTempC = -3.7;
    TAcquisitionSample c{900, 0.9, 2.5, 3.0, 100, 25, 60, 40, 0.1, 2.25, 3.5};

    const struct {
        const char* fixture;
        int banks;
        std::uint32_t start;
        std::vector<Tick> ticks;
    } cases[] = {
        {"one-bank.txt", 1, 5000, {{6520, a}, {6540, b}}},
        // The tick count wraps during the recording.
        {"two-bank.txt", 2, 0xFFFFFFF0u, {{4, c}}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.fixture);
        TAcquisitionRecorder r;
        clock_.setNow(k.start);
        ASSERT_TRUE(r.Start(k.banks, kStamp).Ok());
        EXPECT_TRUE(r.IsRecording());
        for (const Tick& t : k.ticks) {
            clock_.setNow(t.now);
            r.Append(t.sample);
        }
        ASSERT_TRUE(r.Stop().Ok());
        const QByteArray expected = readAll(QStringLiteral(QZ_ACQ_FIXTURES "/") + QLatin1String(k.fixture));
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(readAll(r.TempFileName()), expected);

        const TAcquisitionReadResult back = ReadAcquisitionFile(r.TempFileName());
        ASSERT_TRUE(back.Ok()) << int(back.Error) << " line " << back.Line;
        EXPECT_EQ(back.BankCount, k.banks);
        ASSERT_EQ(back.Rows.size(), k.ticks.size());
        const TAcquisitionRow& first = back.Rows[0];
        EXPECT_EQ(first.TimeMs, static_cast<std::int32_t>(k.ticks[0].now - k.start));
        EXPECT_EQ(first.Rpm, k.ticks[0].sample.Rpm);
        EXPECT_FLOAT_EQ(first.Values[1], static_cast<float>(k.ticks[0].sample.GasMs1));
        EXPECT_FLOAT_EQ(first.Values[3], static_cast<float>(k.ticks[0].sample.GasPressureHundredths * 0.01));
        EXPECT_FLOAT_EQ(first.Values[9], k.banks == 2 ? 3.5f : 0.f);
        r.Discard();
    }
}

TEST_F(Recorder, StoppedBeforeTheFirstTickHoldsHeaderAndColumnsOnly)
{
    TAcquisitionRecorder r;
    ASSERT_TRUE(r.Start(2, kStamp).Ok());
    ASSERT_TRUE(r.Stop().Ok());
    const QByteArray bytes = readAll(r.TempFileName());
    EXPECT_EQ(bytes, AcquisitionHeader(2, kStamp));
    EXPECT_FALSE(bytes.endsWith('\n'));
    const TAcquisitionReadResult back = ReadAcquisitionFile(r.TempFileName());
    EXPECT_TRUE(back.Ok());
    EXPECT_TRUE(back.Rows.empty());
}

TEST_F(Recorder, TakesTheSmallestFreeNumberAndCreatesTheFolder)
{
    EXPECT_EQ(AcquisitionFolder(), folder());
    TAcquisitionRecorder first;
    ASSERT_TRUE(first.Start(1, kStamp).Ok());  // the folder did not exist
    EXPECT_EQ(first.TempFileName(), folder() + "/__acqtmp0.tmp");

    // A file left behind keeps its number; a gap is filled first.
    writeFile(folder() + "/__acqtmp2.tmp", "left behind");
    TAcquisitionRecorder second, third;
    ASSERT_TRUE(second.Start(1, kStamp).Ok());
    ASSERT_TRUE(third.Start(1, kStamp).Ok());
    EXPECT_EQ(second.TempFileName(), folder() + "/__acqtmp1.tmp");
    EXPECT_EQ(third.TempFileName(), folder() + "/__acqtmp3.tmp");
    EXPECT_EQ(readAll(folder() + "/__acqtmp2.tmp"), "left behind");

    // A new start discards the recorder's own unsaved file.
    const QString old = first.TempFileName();
    first.Stop();
    ASSERT_TRUE(first.Start(1, kStamp).Ok());
    EXPECT_EQ(first.TempFileName(), old);  // number 0 was freed and taken again
    second.Discard();
    EXPECT_FALSE(QFile::exists(folder() + "/__acqtmp1.tmp"));
    EXPECT_FALSE(second.HasUnsaved());
}

TEST_F(Recorder, UncreatableFileIsReportedAndLeavesNothingToSave)
{
    writeFile(folder(), "a file where the folder should be");
    TAcquisitionRecorder r;
    const TAcqResult started = r.Start(1, kStamp);
    EXPECT_EQ(started.Error, TAcqError::CannotCreate);
    EXPECT_FALSE(r.IsRecording());
    r.Append(TAcquisitionSample{});  // the recording runs on without a file
    EXPECT_TRUE(r.Stop().Ok());
    EXPECT_EQ(r.SaveAs(path("out.txt")).Error, TAcqError::NothingRecorded);
    EXPECT_FALSE(QFile::exists(path("out.txt")));
}

TEST_F(Recorder, SaveRenamesAndReplacesAnExistingFile)
{
    for (bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "over an existing file" : "new name");
        const QString target = path("saved.txt");
        QFile::remove(target);
        if (existing)
            writeFile(target, "previous contents");
        TAcquisitionRecorder r;
        const QString temp = recordOneLine(r);
        const QByteArray recorded = readAll(temp);
        const TAcqResult saved = r.SaveAs(target);
        ASSERT_TRUE(saved.Ok()) << saved.Detail.toStdString();
        EXPECT_EQ(readAll(target), recorded);
        EXPECT_FALSE(QFile::exists(temp));
        EXPECT_FALSE(r.HasUnsaved());
        EXPECT_EQ(QDir(dir_.path()).entryList({"saved.txt*"}, QDir::Files), QStringList{"saved.txt"});
    }
}

TEST_F(Recorder, SaveWhileRecordingStopsFirst)
{
    TAcquisitionRecorder r;
    ASSERT_TRUE(r.Start(1, kStamp).Ok());
    r.Append(TAcquisitionSample{});
    ASSERT_TRUE(r.SaveAs(path("live.txt")).Ok());
    EXPECT_FALSE(r.IsRecording());
    const TAcquisitionReadResult back = ReadAcquisitionFile(path("live.txt"));
    EXPECT_TRUE(back.Ok());
    EXPECT_EQ(back.Rows.size(), 1u);
}

TEST_F(Recorder, FailedSavesKeepTheRecordingAndThePreviousFile)
{
    TAcquisitionRecorder r;
    const QString temp = recordOneLine(r);
    const QByteArray recorded = readAll(temp);

    // A folder of the chosen name is no file to replace: the move fails.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("taken.txt"));
    EXPECT_EQ(r.SaveAs(path("taken.txt")).Error, TAcqError::RenameFailed);
    EXPECT_TRUE(QFileInfo(path("taken.txt")).isDir());

    // The move itself fails: the chosen folder does not exist.
    const TAcqResult moved = r.SaveAs(path("no-such-folder/x.txt"));
    EXPECT_EQ(moved.Error, TAcqError::RenameFailed);
    EXPECT_FALSE(moved.Detail.isEmpty());

    EXPECT_TRUE(r.HasUnsaved());
    EXPECT_EQ(readAll(temp), recorded);
    EXPECT_TRUE(r.SaveAs(path("finally.txt")).Ok());
    EXPECT_EQ(readAll(path("finally.txt")), recorded);
}

TEST_F(Recorder, SaveProcedureAsksAgainAfterAFailureAndReportsCancel)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir("taken.txt"));
    TAcquisitionRecorder r;
    recordOneLine(r);

    QStringList answers{path("taken.txt"), path("ok.txt")};
    std::vector<TAcqError> shown;
    auto ask = [&] { return answers.isEmpty() ? QString() : answers.takeFirst(); };
    auto show = [&](const TAcqResult& e) { shown.push_back(e.Error); };
    EXPECT_EQ(RunAcquisitionSave(r, ask, show), TAcqSaveOutcome::Saved);
    EXPECT_EQ(shown, std::vector<TAcqError>{TAcqError::RenameFailed});
    EXPECT_TRUE(QFile::exists(path("ok.txt")));

    // Cancelled: the temporary file is the window's to keep or discard.
    recordOneLine(r);
    EXPECT_EQ(RunAcquisitionSave(r, ask, show), TAcqSaveOutcome::Cancelled);
    EXPECT_TRUE(r.HasUnsaved());
    EXPECT_TRUE(QFile::exists(r.TempFileName()));

    // Nothing recorded: reported once, no endless dialog.
    r.Discard();
    answers = {path("again.txt")};
    shown.clear();
    EXPECT_EQ(RunAcquisitionSave(r, ask, show), TAcqSaveOutcome::Failed);
    EXPECT_EQ(shown, std::vector<TAcqError>{TAcqError::NothingRecorded});
}

// A save that cannot complete: onto another file system that is full (a real
// 64 KiB tmpfs where one can be mounted), or with the save's system calls
// failing. The chosen name keeps what it held, nothing half-copied stays
// beside it, the recording stays to be saved elsewhere, and the reason reaches
// the window's message.
TEST_F(Recorder, ASaveThatCannotCompleteKeepsThePreviousFileAndSaysWhy)
{
    const QString noSpace = QString::fromStdString(std::generic_category().message(ENOSPC));
    const struct {
        const char* name;
        bool fullDisk;                // the target on a full file system of its own
        qz::files::TSaveFaults faults; // otherwise these faults, on the same disk
        bool previous;                // a file of the chosen name exists
        TAcqError error;
        QString reason;
        const char* lead;             // the window's text for the cause
    } cases[] = {
        // A full disk is said as such, also over an existing file.
        {"another full file system, over a file", true, {}, true, TAcqError::RenameFailed, noSpace, "T800\n"},
        {"another full file system, a new name", true, {}, false, TAcqError::RenameFailed, noSpace, "T800\n"},
        {"another file system, the copy's third write fails", false, {.failWrite = 3, .renameError = EXDEV}, true,
         TAcqError::RenameFailed, noSpace, "T800\n"},
        {"the recording cannot be flushed", false, {.failFlush = true}, true, TAcqError::WriteFailed,
         QString::fromStdString(std::generic_category().message(EIO)), "T800\n"},
        {"the rename is refused", false, {.renameError = EACCES}, true, TAcqError::TargetNotReplaceable,
         QString::fromStdString(std::generic_category().message(EACCES)), "T178\nT179\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<rig::SmallDisk> disk;
        if (c.fullDisk) {
            disk.emplace(64);
            if (!disk->mounted()) {
                std::cout << "skipped: " << disk->why().toStdString() << '\n';
                continue;
            }
        }
        const QString folder = disk ? disk->path() : dir_.filePath(QStringLiteral("saved"));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString target = folder + QLatin1String("/run.txt");
        const QByteArray previous = "Ver. 1 1 an earlier run\r\nTEMPO\tGIRI";
        if (c.previous)
            writeFile(target, previous);

        // A recording several times the size of the small disk.
        TAcquisitionRecorder r;
        ASSERT_TRUE(r.Start(2, kStamp).Ok());
        for (int i = 0; i < 4000; ++i) {
            clock_.advance(20);
            r.Append(ExampleSample());
        }
        ASSERT_TRUE(r.Stop().Ok());
        const QByteArray recorded = readAll(r.TempFileName());
        ASSERT_GT(recorded.size(), 3 * 64 * 1024);
        if (disk) {
            ASSERT_TRUE(disk->fill());
        }

        TAcqResult saved;
        {
            std::optional<qz::files::TScopedSaveFaults> faults;
            if (!disk)
                faults.emplace(c.faults);
            saved = r.SaveAs(target);
        }
        EXPECT_EQ(saved.Error, c.error);
        EXPECT_TRUE(saved.Detail.contains(c.reason)) << saved.Detail.toStdString();
        const QString shown = AcquisitionSaveErrorText(QStringLiteral("T178\nT179"), QStringLiteral("T800"), saved);
        EXPECT_TRUE(shown.startsWith(QLatin1String(c.lead)) && shown.contains(c.reason)) << shown.toStdString();

        EXPECT_EQ(QFileInfo::exists(target), c.previous);
        if (c.previous) {
            EXPECT_EQ(readAll(target), previous);
        }
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(QStringLiteral(".filler"));
        EXPECT_EQ(left, c.previous ? QStringList{QStringLiteral("run.txt")} : QStringList{});
        EXPECT_TRUE(r.HasUnsaved());
        EXPECT_EQ(readAll(r.TempFileName()), recorded);
        r.Discard();
    }
}

// A save that fails says why, in the system's words, after the window's text
// for the cause: 178 and 179 only for a file that exists and may not be
// replaced, the save's own text for everything else.
TEST_F(Recorder, AFailedSaveSaysTheSystemsReason)
{
    const auto systemText = [](int e) { return QString::fromStdString(std::generic_category().message(e)); };
    enum class Place { RecordingOnFullDisk, ReadOnlyFolder, ReadOnlyFolderWithTheFile, FolderInTheWay };
    const struct {
        const char* name;
        Place place;
        TAcqError error;
        QStringList reasons; // any of them (a read-only disk, or a folder without write permission)
        const char* lead;
    } cases[] = {
        {"the recording's own disk fills up", Place::RecordingOnFullDisk, TAcqError::WriteFailed,
         {systemText(ENOSPC)}, "T800\n"},
        {"a read-only folder, a new name", Place::ReadOnlyFolder, TAcqError::RenameFailed,
         {systemText(EROFS), systemText(EACCES)}, "T800\n"},
        {"a read-only folder holding the file", Place::ReadOnlyFolderWithTheFile, TAcqError::TargetNotReplaceable,
         {systemText(EROFS), systemText(EACCES)}, "T178\nT179\n"},
        {"a folder where the file should be", Place::FolderInTheWay, TAcqError::RenameFailed, {systemText(EISDIR)},
         "T800\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The small disk holds the recording, or the folder saved into.
        rig::SmallDisk disk(64);
        const bool onDisk = c.place == Place::RecordingOnFullDisk || c.place == Place::ReadOnlyFolder ||
                            c.place == Place::ReadOnlyFolderWithTheFile;
        if (onDisk && !disk.mounted() && c.place == Place::RecordingOnFullDisk) {
            std::cout << "skipped: " << disk.why().toStdString() << '\n';
            continue;
        }
        const QString folder = disk.mounted() ? disk.path() : dir_.filePath(QStringLiteral("saved"));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString target = folder + QLatin1String("/run.txt");
        const QByteArray previous = "Ver. 1 1 an earlier run\r\nTEMPO\tGIRI";

        TAcquisitionRecorder r(c.place == Place::RecordingOnFullDisk ? folder + QLatin1String("/Acquisition")
                                                                     : this->folder());
        ASSERT_TRUE(r.Start(2, kStamp).Ok());
        // Several times what the small disk holds: it fills up part-way.
        for (int i = 0; i < 4000; ++i) {
            clock_.advance(20);
            r.Append(ExampleSample());
        }
        r.Stop();
        QString saveTo = target;
        switch (c.place) {
        case Place::RecordingOnFullDisk: saveTo = dir_.filePath(QStringLiteral("run.txt")); break;
        case Place::ReadOnlyFolderWithTheFile: writeFile(target, previous); [[fallthrough]];
        case Place::ReadOnlyFolder:
            if (!(disk.mounted() ? disk.makeReadOnly() : makeUnwritable(folder))) {
                std::cout << "skipped: the folder stays writable\n";
                continue;
            }
            break;
        case Place::FolderInTheWay: ASSERT_TRUE(QDir().mkpath(target)); break;
        }

        const TAcqResult saved = r.SaveAs(saveTo);
        EXPECT_EQ(saved.Error, c.error) << saved.Detail.toStdString();
        const QString shown = AcquisitionSaveErrorText(QStringLiteral("T178\nT179"), QStringLiteral("T800"), saved);
        EXPECT_TRUE(shown.startsWith(QLatin1String(c.lead))) << shown.toStdString();
        EXPECT_TRUE(std::any_of(c.reasons.begin(), c.reasons.end(), [&](const QString& why) {
            return shown.contains(why);
        })) << shown.toStdString();
        // Nothing is lost: the recording waits to be saved elsewhere, as far
        // as it reached its disk, and the previous file is as it was.
        EXPECT_TRUE(r.HasUnsaved());
        if (c.place == Place::ReadOnlyFolderWithTheFile) {
            EXPECT_EQ(readAll(target), previous);
        }
        r.Discard();
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}
