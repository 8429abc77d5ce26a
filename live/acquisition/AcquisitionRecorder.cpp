#include "AcquisitionRecorder.h"

#include "plat/ProgramFolder.h"
#include "plat/Services.h"

#include <QDir>
#include <QFileInfo>

namespace qz::live {

namespace {

constexpr int kMaxTempNumber = 100000;

bool nameTaken(const QString& name)
{
    const QFileInfo info(name);
    return info.exists() || info.isSymLink();
}

// A free name beside target for the file being replaced.
QString asideName(const QString& target)
{
    for (int n = 0; n < kMaxTempNumber; ++n) {
        const QString name = target + QLatin1String(".old") + QString::number(n);
        if (!nameTaken(name))
            return name;
    }
    return {};
}

} // namespace

QString AcquisitionFolder()
{
    QString folder = plat::programFolder();
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
    startTick_ = plat::clock().tickCount();

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
        writeError_ = {TAcqError::WriteFailed, file_->errorString()};
    return writeError_;
}

void TAcquisitionRecorder::Append(const TAcquisitionSample& sample)
{
    if (!IsRecording() || !writeError_.ok())
        return;
    const std::uint32_t elapsed = plat::clock().tickCount() - startTick_;
    const QByteArray line = AcquisitionDataLine(elapsed, sample, bankCount_);
    if (file_->write(line) != line.size())
        writeError_ = {TAcqError::WriteFailed, file_->errorString()};
}

TAcqResult TAcquisitionRecorder::Stop()
{
    if (IsRecording()) {
        if (!file_->flush() && writeError_.ok())
            writeError_ = {TAcqError::WriteFailed, file_->errorString()};
        file_->close();
        if (file_->error() != QFileDevice::NoError && writeError_.ok())
            writeError_ = {TAcqError::WriteFailed, file_->errorString()};
    }
    file_.reset();
    return writeError_;
}

TAcqResult TAcquisitionRecorder::SaveAs(const QString& fileName)
{
    Stop();
    if (tempName_.isEmpty() || !QFileInfo::exists(tempName_))
        return {TAcqError::NothingRecorded, {}};

    const QFileInfo target(fileName);
    if (target.exists() && target.canonicalFilePath() == QFileInfo(tempName_).canonicalFilePath()) {
        tempName_.clear();
        return {};
    }
    if (target.isDir())
        return {TAcqError::TargetNotReplaceable, QStringLiteral("%1 is a folder").arg(fileName)};

    // The existing file is moved aside, not deleted, until the recording is
    // in its place.
    QString aside;
    if (nameTaken(fileName)) {
        aside = asideName(fileName);
        if (aside.isEmpty())
            return {TAcqError::TargetNotReplaceable, {}};
        QFile existing(fileName);
        if (!existing.rename(aside))
            return {TAcqError::TargetNotReplaceable, existing.errorString()};
    }
    QFile temp(tempName_);
    if (!temp.rename(fileName)) {
        TAcqResult failed{TAcqError::RenameFailed, temp.errorString()};
        if (!aside.isEmpty() && !QFile::rename(aside, fileName))
            failed.Detail += QStringLiteral("; the previous file is kept as %1").arg(aside);
        return failed;
    }
    if (!aside.isEmpty())
        QFile::remove(aside);
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
        if (r.ok())
            return TAcqSaveOutcome::Saved;
        showError(r);
        if (r.Error == TAcqError::NothingRecorded)
            return TAcqSaveOutcome::Failed;
    }
}

} // namespace qz::live
