// Saves onto a full disk: every file the program and its tools write keeps
// its previous contents when the new ones do not fit, and the writer says so.
// A real 64 KiB tmpfs (skipped where it cannot be mounted), and the save's
// seam for the failures a real disk seldom shows on demand.
#include "TransferSupport.h"
#include "tests/support/SmallDisk.h"

#include "datamodule/files/SaveFile.h"

#include <QProcess>
#include <QStringList>

#include <cerrno>
#include <functional>
#include <system_error>

namespace {

using tx::TransferRig;
using T = TStreamDati;

QByteArray contents(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString systemText(int error) { return QString::fromStdString(std::generic_category().message(error)); }

// What a writer reported.
struct Outcome {
    bool failed = false;
    QString message; // the box's text, or the tool's error output
};

Outcome runTool(const char* tool, const QStringList& args)
{
    QProcess p;
    p.start(QString::fromLocal8Bit(tool), args);
    if (!p.waitForFinished(30000))
        return {true, QStringLiteral("did not finish")};
    return {p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0, QString::fromLocal8Bit(p.readAllStandardError())};
}

// A pass of the data module that saves a file; the retry question is
// answered No.
Outcome savePass(TransferRig& r, std::uint32_t flags, const QString& target)
{
    r.prompts.clear();
    r.prompts.script(plat::IDNO);
    const bool ok = r.transfer(flags, target);
    return {!ok, r.prompts.shown().empty() ? QString() : r.prompts.shown().back().text};
}

struct Writer {
    const char* name;
    const char* file;
    // Writes the file; second: with other contents than the first time.
    std::function<Outcome(TransferRig&, const QString& target, bool second)> write;
    QString expected; // in the message of the failure
};

TEST(FullDisk, EveryWriterKeepsThePreviousFileAndSaysSo)
{
    QTemporaryDir work;
    // The tools' input: about 13 KB, below the 16 KiB a buffered writer may
    // hold back until it closes the file.
    const QString plain = work.filePath(QStringLiteral("plain.ini"));
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 420; ++i)
            f.write("[MappaCoefficientiK]\r\nMappaK" + QByteArray::number(i) + "=77\r\n");
    }
    const QString noSpace = systemText(ENOSPC);
    const Writer writers[] = {
        {"hex script", "out.ehcf",
         [](TransferRig& r, const QString& target, bool second) {
             r.dm().Item(0x5)[0] = second ? 29 : 28;
             return savePass(r, T::TRANSFER_SCRIPT, target);
         },
         rig::text(304)},
        {"configuration file", "car.zc4",
         [](TransferRig& r, const QString& target, bool second) {
             r.dm().Item(0x5)[0] = second ? 29 : 28;
             return savePass(r, T::TRANSFER_SAVE, target);
         },
         rig::text(304)},
        {"vyxfile scramble", "scrambled.zc4",
         [&](TransferRig&, const QString& target, bool second) {
             return runTool(QZ_VYXFILE, second ? QStringList{"scramble", "--key", "other", plain, target}
                                               : QStringList{"scramble", plain, target});
         },
         noSpace},
        {"vyxfile encrypt", "container.bin",
         [&](TransferRig&, const QString& target, bool second) {
             return runTool(QZ_VYXFILE, {"encrypt", "--seed", second ? "2" : "1", plain, target});
         },
         noSpace},
        {"mkfirmware", "image.zp4",
         [](TransferRig&, const QString& target, bool second) {
             return runTool(QZ_MKFIRMWARE, {"--type", second ? "31" : "30", target});
         },
         noSpace},
    };
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.name);
        rig::SmallDisk disk(64);
        if (!disk.mounted())
            GTEST_SKIP() << disk.why().toStdString();
        TransferRig r;
        const QString target = disk.filePath(QLatin1String(w.file));
        const Outcome first = w.write(r, target, false);
        ASSERT_FALSE(first.failed) << first.message.toStdString();
        const QByteArray before = contents(target);
        ASSERT_GT(before.size(), 1000);

        ASSERT_TRUE(disk.fill());
        const Outcome full = w.write(r, target, true);
        EXPECT_TRUE(full.failed) << "a full disk reported as success";
        EXPECT_TRUE(full.message.contains(w.expected)) << full.message.toStdString();
        EXPECT_EQ(contents(target), before) << "the previous file was damaged";
        // Nothing half-written stays beside it.
        EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{QStringLiteral(".filler"), QLatin1String(w.file)}));
    }
}

// The save itself, at every step that can fail.
TEST(SaveFileAtomically, AFailureAtAnyStepKeepsThePreviousFile)
{
    const QByteArray data(13 * 1024, 'n'); // four writes of at most 4 KiB
    const struct {
        const char* name;
        qz::files::TSaveFaults faults;
        int error;
    } cases[] = {
        {"the first write", {.failWrite = 1}, ENOSPC},
        {"the third write", {.failWrite = 3}, ENOSPC},
        {"the last write", {.failWrite = 4}, ENOSPC},
        {"the flush", {.failFlush = true}, EIO},
        {"the rename", {.renameError = EACCES}, EACCES},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("target"));
        ASSERT_TRUE(qz::files::SaveFileAtomically(target, QByteArrayView("old contents")));
        QString why;
        {
            qz::files::TScopedSaveFaults faults(c.faults);
            EXPECT_FALSE(qz::files::SaveFileAtomically(target, data, &why));
        }
        EXPECT_TRUE(why.contains(systemText(c.error))) << why.toStdString();
        EXPECT_TRUE(why.contains(target)) << why.toStdString();
        EXPECT_EQ(contents(target), QByteArray("old contents"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"target"});
    }
    // Without faults the same save goes through, in four checked writes.
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target"));
    qz::files::TScopedSaveFaults none({});
    ASSERT_TRUE(qz::files::SaveFileAtomically(target, data));
    EXPECT_EQ(none.Writes(), 4);
    EXPECT_EQ(contents(target), data);
}

// The data module's saves give text 304 whatever step failed.
TEST(SaveFileAtomically, TheTransfersReport304)
{
    for (const std::uint32_t flags : {T::TRANSFER_SAVE, T::TRANSFER_SCRIPT}) {
        for (const qz::files::TSaveFaults& f :
             {qz::files::TSaveFaults{.failWrite = 2}, qz::files::TSaveFaults{.failFlush = true},
              qz::files::TSaveFaults{.renameError = EIO}}) {
            TransferRig r;
            const QString target = r.path(QStringLiteral("old.file"));
            ASSERT_TRUE(qz::files::SaveFileAtomically(target, QByteArrayView("old")));
            qz::files::TScopedSaveFaults faults(f);
            const Outcome o = savePass(r, flags, target);
            EXPECT_TRUE(o.failed);
            EXPECT_EQ(o.message, rig::text(304));
            EXPECT_EQ(contents(target), QByteArray("old"));
        }
    }
}

} // namespace
