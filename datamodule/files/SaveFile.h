#pragma once
// Whole-file reading with a size limit, and the one way the program saves a
// file: the new contents go to a new file beside the target, which then
// replaces the target in one rename. A save that fails at any point leaves the
// previous file as it was.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

class QIODevice;

namespace qz::files {

// The largest file the readers take in. Configuration files, default sets and
// firmware containers are far smaller; anything bigger is not one of them.
inline constexpr qint64 kMaxInputFileSize = 64 * 1024 * 1024;

enum class TReadError { None, CannotOpen, TooLarge, ReadFailed };

struct TReadResult {
    TReadError error = TReadError::None;
    QByteArray data;
    bool ok() const { return error == TReadError::None; }
};

// The whole file as bytes, at most maxSize of them.
TReadResult ReadWholeFile(const QString& fileName, qint64 maxSize = kMaxInputFileSize);

// Replaces fileName with data. False (and the reason in error, when given)
// when the new file cannot be created, written or renamed into place.
bool SaveFileAtomically(const QString& fileName, QByteArrayView data, QString* error = nullptr);

// The same for contents produced piecewise: write gets the new file and
// answers false to abandon the save.
bool SaveFileAtomically(const QString& fileName, const std::function<bool(QIODevice&)>& write,
                        QString* error = nullptr);

} // namespace qz::files
