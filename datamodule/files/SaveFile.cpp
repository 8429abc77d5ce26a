#include "SaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <system_error>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace qz::files {

TReadResult ReadWholeFile(const QString& fileName, qint64 maxSize)
{
    TReadResult result;
    if (fileName.isEmpty() || QFileInfo(fileName).isDir()) {
        result.error = TReadError::CannotOpen;
        return result;
    }
    QFile file(fileName);
    // The pieces below are the buffer: no second one in between.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.error = TReadError::CannotOpen;
        return result;
    }
    if (!file.isSequential() && file.size() > maxSize) {
        result.error = TReadError::TooLarge;
        return result;
    }
    // Read in pieces so that a file growing while it is read, or a device
    // without a size, still cannot exceed the limit. A file of known size is
    // read in one piece one byte longer than it, which finds its end.
    constexpr qint64 kPiece = 64 * 1024;
    const qint64 known = file.isSequential() ? -1 : file.size();
    QByteArray data;
    for (;;) {
        const qint64 room = maxSize + 1 - data.size();
        if (room <= 0) {
            result.error = TReadError::TooLarge;
            return result;
        }
        const qint64 old = data.size();
        const qint64 piece = known >= old ? std::max<qint64>(known - old + 1, 1) : kPiece;
        const qint64 want = std::min(piece, room);
        data.resize(old + want);
        const qint64 got = file.read(data.data() + old, want);
        if (got < 0) {
            result.error = TReadError::ReadFailed;
            return result;
        }
        data.resize(old + got);
        if (got == 0)
            break;
    }
    if (data.size() > maxSize) {
        result.error = TReadError::TooLarge;
        return result;
    }
    result.data = std::move(data);
    return result;
}

namespace {

// ---- the test seam ------------------------------------------------------------
std::atomic<const TSaveFaults*> g_faults{nullptr};
std::atomic<int> g_writes{0};
std::atomic<int> g_renameError{0};

QString systemText(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

QString failure(const char* what, const QString& name, int error)
{
    return QStringLiteral("%1 %2: %3").arg(QLatin1String(what), name, systemText(error));
}

bool failed(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

bool failed(QString* error, int* errorNumber, const QString& why, int number)
{
    if (errorNumber)
        *errorNumber = number;
    return failed(error, why);
}

// False, with the reason and its error number, when fileName can be no file
// to save.
bool saveableName(const QString& fileName, QString* error, int* errorNumber)
{
    if (fileName.isEmpty())
        return failed(error, errorNumber, QStringLiteral("no file name"), ENOENT);
    if (QFileInfo(fileName).isDir())
        return failed(error, errorNumber, QStringLiteral("%1 is a folder").arg(fileName), EISDIR);
    return true;
}

} // namespace

TScopedSaveFaults::TScopedSaveFaults(const TSaveFaults& faults)
{
    g_writes = 0;
    g_renameError = faults.renameError;
    g_faults = new TSaveFaults(faults);
}

TScopedSaveFaults::~TScopedSaveFaults()
{
    delete g_faults.exchange(nullptr);
    g_renameError = 0;
}

int TScopedSaveFaults::Writes() const { return g_writes; }

#ifdef Q_OS_UNIX

namespace {

// The system calls of a save, through the seam. -1 and errno on failure.
ssize_t sysWrite(int fd, const char* data, std::size_t size)
{
    const int n = ++g_writes;
    if (const TSaveFaults* f = g_faults.load(); f && f->failWrite == n) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(fd, data, size);
}

int sysSync(int fd)
{
    if (const TSaveFaults* f = g_faults.load(); f && f->failFlush) {
        errno = EIO;
        return -1;
    }
    return ::fsync(fd);
}

int sysRename(const QByteArray& from, const QByteArray& to)
{
    if (g_faults.load()) {
        if (const int e = g_renameError.exchange(0)) {
            errno = e;
            return -1;
        }
    }
    return ::rename(from.constData(), to.constData());
}

// The largest piece one system write gets, so that a failure shows at the
// write that met it.
constexpr std::size_t kWritePiece = 4096;

// The new file as the writer sees it: unbuffered, every write goes to the
// system at once and the first failure is kept.
class CheckedFile final : public QIODevice {
public:
    CheckedFile(int fd, QString name) : fd_(fd), name_(std::move(name)) {}

    bool isSequential() const override { return true; }
    int failedError() const { return error_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (error_ != 0)
            return -1;
        qint64 done = 0;
        while (done < size) {
            const auto piece = static_cast<std::size_t>(std::min<qint64>(size - done, kWritePiece));
            const ssize_t n = sysWrite(fd_, data + done, piece);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error_ = n < 0 ? errno : ENOSPC;
                setErrorString(failure("cannot write", name_, error_));
                return -1;
            }
            done += n;
        }
        return done;
    }

private:
    int fd_;
    QString name_;
    int error_ = 0;
};

// A new file beside target, created here and by nobody else.
int createBeside(const QString& target, QByteArray& name)
{
    const QFileInfo info(target);
    const QString stem = info.absolutePath() + QLatin1String("/.") + info.fileName() + u'.';
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = QFile::encodeName(stem + QString::number(QRandomGenerator::global()->generate(), 36) +
                                 QLatin1String(".new"));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// Flushes the folder's entry of a renamed file; the file is in place
// whatever this answers.
void syncFolder(const QString& target)
{
    const int dir = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

bool SaveFileAtomically(const QString& fileName, const std::function<bool(QIODevice&)>& write, QString* error,
                        int* errorNumber)
{
    if (!saveableName(fileName, error, errorNumber))
        return false;
    auto fail = [&](const QString& why, int number) { return failed(error, errorNumber, why, number); };
    const QFileInfo info(fileName);
    // A link is followed: the file it names is the one replaced.
    QString target = info.absoluteFilePath();
    if (info.isSymLink()) {
        const QString resolved = info.canonicalFilePath();
        target = resolved.isEmpty() ? QFileInfo(info.symLinkTarget()).absoluteFilePath() : resolved;
    }
    const QByteArray targetName = QFile::encodeName(target);

    QByteArray newName;
    const int fd = createBeside(target, newName);
    if (fd < 0) {
        const int e = errno;
        return fail(failure("cannot create a file in the folder of", target, e), e);
    }
    // An existing file keeps its permissions; a new one gets the usual ones.
    struct stat old {};
    if (::stat(targetName.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);

    // The reason is built, errno read, before the new file goes.
    auto discard = [&](const QString& why, int number) {
        ::unlink(newName.constData());
        return fail(why, number);
    };
    auto abandon = [&](const QString& why, int number) {
        ::close(fd);
        return discard(why, number);
    };
    auto systemFailure = [&](const char* what) {
        const int e = errno;
        return std::pair{failure(what, target, e), e};
    };

    CheckedFile file(fd, target);
    file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    const bool written = write(file);
    file.close();
    if (file.failedError() != 0)
        return abandon(file.errorString(), file.failedError());
    if (!written)
        return abandon(QStringLiteral("writing %1 abandoned").arg(target), ECANCELED);
    if (sysSync(fd) != 0) {
        const auto [why, e] = systemFailure("cannot flush");
        return abandon(why, e);
    }
    if (::close(fd) != 0) {
        const auto [why, e] = systemFailure("cannot close");
        return discard(why, e);
    }
    if (sysRename(newName, targetName) != 0) {
        const auto [why, e] = systemFailure("cannot replace");
        return discard(why, e);
    }
    syncFolder(target);
    return true;
}

TRenameResult RenameFileAtomically(const QString& from, const QString& to, QString* error, int* errorNumber)
{
    if (sysRename(QFile::encodeName(from), QFile::encodeName(to)) == 0) {
        syncFolder(to);
        return TRenameResult::Renamed;
    }
    const int e = errno;
    failed(error, errorNumber, failure("cannot move the file to", to, e), e);
    return e == EXDEV ? TRenameResult::OtherFileSystem : TRenameResult::Failed;
}

bool SyncFileToDisk(const QString& fileName, QString* error)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC);
    int e = fd < 0 ? errno : 0;
    if (fd >= 0) {
        if (sysSync(fd) != 0)
            e = errno;
        ::close(fd);
    }
    if (e != 0 && error)
        *error = failure("cannot flush", fileName, e);
    return e == 0;
}

#else // not Unix: the toolkit's save file, every write unbuffered and checked

namespace {

// The toolkit's error of a save file as a system error number.
int errorNumberOf(const QFileDevice& file)
{
    switch (file.error()) {
    case QFileDevice::NoError: return 0;
    case QFileDevice::ResourceError: return ENOSPC;
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError: return EACCES;
    default: return EIO;
    }
}

} // namespace

bool SaveFileAtomically(const QString& fileName, const std::function<bool(QIODevice&)>& write, QString* error,
                        int* errorNumber)
{
    if (!saveableName(fileName, error, errorNumber))
        return false;
    auto fail = [&](const QString& why, int number) { return failed(error, errorNumber, why, number); };
    QSaveFile file(fileName);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString(), errorNumberOf(file));
    if (!write(file) || file.error() != QFileDevice::NoError) {
        const bool systemError = file.error() != QFileDevice::NoError;
        const QString why = systemError ? file.errorString() : QStringLiteral("writing abandoned");
        const int number = systemError ? errorNumberOf(file) : ECANCELED;
        file.cancelWriting();
        return fail(why, number);
    }
    if (!file.commit())
        return fail(file.errorString(), errorNumberOf(file));
    return true;
}

TRenameResult RenameFileAtomically(const QString& from, const QString& to, QString* error, int* errorNumber)
{
    // Without a replacing rename, the copy through a save file is the safe way.
    failed(error, errorNumber, QStringLiteral("cannot move %1 to %2 in one step").arg(from, to), EXDEV);
    return TRenameResult::OtherFileSystem;
}

bool SyncFileToDisk(const QString& fileName, QString* error)
{
    QFile file(fileName);
    if (file.open(QIODevice::ReadWrite) && file.flush())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

#endif

bool SaveFileAtomically(const QString& fileName, QByteArrayView data, QString* error)
{
    return SaveFileAtomically(
        fileName,
        [&](QIODevice& out) { return out.write(data.data(), data.size()) == data.size(); },
        error);
}

} // namespace qz::files
