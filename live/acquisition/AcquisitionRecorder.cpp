#include "AcquisitionRecorder.h"

#include "datamodule/files/SaveFile.h"

#include "plat/ProgramFolder.h"
#include "plat/Services.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <system_error>

namespace qz::live {

namespace {

constexpr int kMaxTempNumber = 100000;

bool nameTaken(const QString& name)
{
    const QFileInfo info(name);
    return info.exists() || info.isSymLink();
}

// Why a write of the recording failed. A write the disk takes only in part
// leaves the reason unsaid ("Unknown error"); writing what is left meets the
// failure again, and then the system says it (no space left, an I/O error).
QString writeFailure(QFile& file)
{
    QString why = file.errorString();
    for (qint64 left = file.bytesToWrite(); left > 0;) {
        if (file.flush())
            break;
        why = file.errorString();
        const qint64 now = file.bytesToWrite();
        if (now >= left)
            break;
        left = now;
    }
    return QStringLiteral("cannot write %1: %2").arg(file.fileName(), why);
}

// The system refused to replace the file (permission, a read-only disk, a
// file in use), as against a disk that is full or broken.
bool replaceRefused(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY: return true;
    default: return false;
    }
}

} // namespace

QString AcquisitionFolder()
{
    QString folder = plat::ProgramFolder();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + QLatin1String("Acquisition");
}

QString AcquisitionTempName(const QString& folder, int n)
{
    return folder + QLatin1String("/__acqtmp") + QString::number(n) + QLatin1String(".tmp");
}

QString FreeAcquisitionTempName(const QString& folder)
{
    for (int n = 0; n < kMaxTempNumber; ++n) {
        const QString name = AcquisitionTempName(folder, n);
        if (!nameTaken(name))
            return name;
    }
    return {};
}

TAcquisitionRecorder::TAcquisitionRecorder(QString folder) : folder_(std::move(folder)) {}

TAcquisitionRecorder::~TAcquisitionRecorder()
{
    if (file_)
        file_->close();
}

TAcqResult TAcquisitionRecorder::Start(int bankCount, const QByteArray& stamp)
{
    Discard();
    bankCount_ = bankCount == 2 ? 2 : 1;
    writeError_ = {};
    startTick_ = plat::CurrentClock().tickCount();

    if (!QDir().mkpath(folder_))
        return {TAcqError::CannotCreate, QStringLiteral("cannot create the folder %1").arg(folder_)};
    const QString name = FreeAcquisitionTempName(folder_);
    if (name.isEmpty())
        return {TAcqError::NoFreeName, {}};
    if (QDir::toNativeSeparators(name).toLocal8Bit().size() > kAcqMaxTempNameBytes)
        return {TAcqError::NameTooLong, name};

    auto file = std::make_unique<QFile>(name);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {TAcqError::CannotCreate, file->errorString()};
    tempName_ = name;
    file_ = std::move(file);
    const QByteArray header = AcquisitionHeader(bankCount_, stamp);
    if (file_->write(header) != header.size())
        writeError_ = {TAcqError::WriteFailed, writeFailure(*file_)};
    return writeError_;
}

void TAcquisitionRecorder::Append(const TAcquisitionSample& sample)
{
    if (!IsRecording() || !writeError_.Ok())
        return;
    const std::uint32_t elapsed = plat::CurrentClock().tickCount() - startTick_;
    const QByteArray line = AcquisitionDataLine(elapsed, sample, bankCount_);
    if (file_->write(line) != line.size())
        writeError_ = {TAcqError::WriteFailed, writeFailure(*file_)};
}

TAcqResult TAcquisitionRecorder::Stop()
{
    if (IsRecording()) {
        if (!file_->flush() && writeError_.Ok())
            writeError_ = {TAcqError::WriteFailed, writeFailure(*file_)};
        file_->close();
        if (file_->error() != QFileDevice::NoError && writeError_.Ok())
            writeError_ = {TAcqError::WriteFailed,
                           QStringLiteral("cannot close %1: %2").arg(file_->fileName(), file_->errorString())};
    }
    file_.reset();
    return writeError_;
}

TAcqResult TAcquisitionRecorder::SaveAs(const QString& fileName)
{
    const TAcqResult stopped = Stop();
    if (tempName_.isEmpty() || !QFileInfo::exists(tempName_))
        return {TAcqError::NothingRecorded, {}};

    const QFileInfo target(fileName);
    if (target.exists() && target.canonicalFilePath() == QFileInfo(tempName_).canonicalFilePath()) {
        tempName_.clear();
        return {};
    }
    // A folder in the way is no file that could be replaced.
    if (target.isDir())
        return {TAcqError::RenameFailed,
                QStringLiteral("cannot move the file to %1: %2")
                    .arg(fileName, QString::fromStdString(std::generic_category().message(EISDIR)))};
    // A recording that lost data on the way never takes the chosen name.
    if (!stopped.Ok())
        return stopped;

    // The recording reaches the disk before its name changes; the rename
    // replaces an existing file in one step or not at all. Only an existing
    // file that the system refuses to replace is one that "cannot be
    // overwritten"; a full disk or a read-only folder for a new name is said
    // as it is.
    QString why;
    if (!files::SyncFileToDisk(tempName_, &why))
        return {TAcqError::WriteFailed, why};
    const bool existed = nameTaken(fileName);
    const auto failure = [&](int errorNumber) {
        return TAcqResult{
            existed && replaceRefused(errorNumber) ? TAcqError::TargetNotReplaceable : TAcqError::RenameFailed, why};
    };
    int errorNumber = 0;
    switch (files::RenameFileAtomically(tempName_, fileName, &why, &errorNumber)) {
    case files::TRenameResult::Renamed:
        tempName_.clear();
        return {};
    case files::TRenameResult::Failed: return failure(errorNumber);
    case files::TRenameResult::OtherFileSystem: break;
    }

    // Another file system: a copy made by the safe save, which leaves the
    // chosen name as it was unless the whole recording got there.
    QFile in(tempName_);
    if (!in.open(QIODevice::ReadOnly))
        return {TAcqError::RenameFailed, in.errorString()};
    const bool copied = files::SaveFileAtomically(
        fileName,
        [&in](QIODevice& out) {
            char buffer[64 * 1024];
            for (;;) {
                const qint64 n = in.read(buffer, sizeof buffer);
                if (n < 0)
                    return false;
                if (n == 0)
                    return true;
                if (out.write(buffer, n) != n)
                    return false;
            }
        },
        &why, &errorNumber);
    if (!copied) {
        if (in.error() != QFileDevice::NoError)
            return {TAcqError::RenameFailed, in.errorString()};
        return failure(errorNumber);
    }
    in.close();
    QFile::remove(tempName_);
    tempName_.clear();
    return {};
}

void TAcquisitionRecorder::Discard()
{
    if (file_)
        file_->close();
    file_.reset();
    if (!tempName_.isEmpty())
        QFile::remove(tempName_);
    tempName_.clear();
    writeError_ = {};
}

TAcqSaveOutcome RunAcquisitionSave(TAcquisitionRecorder& recorder, const std::function<QString()>& askFileName,
                                   const std::function<void(const TAcqResult&)>& showError)
{
    for (;;) {
        const QString name = askFileName();
        if (name.isEmpty())
            return TAcqSaveOutcome::Cancelled;
        const TAcqResult r = recorder.SaveAs(name);
        if (r.Ok())
            return TAcqSaveOutcome::Saved;
        showError(r);
        if (r.Error == TAcqError::NothingRecorded || r.Error == TAcqError::WriteFailed)
            return TAcqSaveOutcome::Failed;
    }
}

QString AcquisitionSaveErrorText(const QString& cannotOverwrite, const QString& cannotSave, const TAcqResult& result)
{
    const QString& ownText = result.Error == TAcqError::TargetNotReplaceable ? cannotOverwrite : cannotSave;
    if (result.Detail.isEmpty())
        return ownText;
    return ownText + QLatin1Char('\n') + result.Detail;
}

} // namespace qz::live
