#include "SaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qz::files {

TReadResult ReadWholeFile(const QString& fileName, qint64 maxSize)
{
    TReadResult result;
    if (fileName.isEmpty() || QFileInfo(fileName).isDir()) {
        result.error = TReadError::CannotOpen;
        return result;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = TReadError::CannotOpen;
        return result;
    }
    if (!file.isSequential() && file.size() > maxSize) {
        result.error = TReadError::TooLarge;
        return result;
    }
    // Read in pieces so that a file growing while it is read, or a device
    // without a size, still cannot exceed the limit.
    constexpr qint64 kPiece = 64 * 1024;
    QByteArray data;
    for (;;) {
        const qint64 room = maxSize + 1 - data.size();
        if (room <= 0) {
            result.error = TReadError::TooLarge;
            return result;
        }
        const qint64 old = data.size();
        const qint64 want = std::min(kPiece, room);
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

bool SaveFileAtomically(const QString& fileName, const std::function<bool(QIODevice&)>& write, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (fileName.isEmpty())
        return fail(QStringLiteral("no file name"));
    if (QFileInfo(fileName).isDir())
        return fail(QStringLiteral("%1 is a folder").arg(fileName));
    QSaveFile file(fileName);
    // Never fall back to writing the target in place: that is exactly what
    // could leave a half-written file behind.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (!write(file)) {
        file.cancelWriting();
        return fail(file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("writing abandoned"));
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

bool SaveFileAtomically(const QString& fileName, QByteArrayView data, QString* error)
{
    return SaveFileAtomically(
        fileName,
        [&](QIODevice& out) { return out.write(data.data(), data.size()) == data.size(); },
        error);
}

} // namespace qz::files
