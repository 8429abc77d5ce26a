#pragma once
// Whole-file reading with a size limit, and the one way the program and its
// tools save a file: the new contents go to a new file in the target's own
// folder, every write is checked, the file is flushed to disk and closed, and
// only then does it replace the target in one rename. A save that fails at any
// point removes the new file and leaves the previous one as it was.
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
    bool Ok() const { return error == TReadError::None; }
};

// The whole file as bytes, at most maxSize of them.
TReadResult ReadWholeFile(const QString& fileName, qint64 maxSize = kMaxInputFileSize);

// Replaces fileName with data. False (and the reason, with the system's
// error text, in error when given) when the new file cannot be created,
// written, flushed or renamed into place.
bool SaveFileAtomically(const QString& fileName, QByteArrayView data, QString* error = nullptr);

// The same for contents produced piecewise: write gets the new file (every
// write on it reaches the disk or fails at once) and answers false to abandon
// the save. errorNumber, when given, gets the system's error number of a
// failure (ENOSPC, EACCES, EROFS, EISDIR, ...; ECANCELED when write gave up),
// for callers that word their message by the cause.
bool SaveFileAtomically(const QString& fileName, const std::function<bool(QIODevice&)>& write, QString* error = nullptr,
                        int* errorNumber = nullptr);

// Moves the file from to the name to, replacing an existing file there in one
// step, and never by copying: a move to another file system is refused
// (OtherFileSystem), and the caller copies with SaveFileAtomically instead.
// errorNumber as for SaveFileAtomically.
enum class TRenameResult { Renamed, OtherFileSystem, Failed };
TRenameResult RenameFileAtomically(const QString& from, const QString& to, QString* error = nullptr,
                                   int* errorNumber = nullptr);

// Flushes a file written by other means (a recording) to disk before it is
// renamed into place; false, with the system's reason, when that fails.
bool SyncFileToDisk(const QString& fileName, QString* error = nullptr);

// Test seam: makes the system calls of the saves fail as a full or broken
// disk would. Installed for the lifetime of a TScopedSaveFaults; the counts
// start at its construction.
struct TSaveFaults {
    int failWrite = 0;       // the n-th write (from 1) fails with "no space left"; 0: none
    bool failFlush = false;  // flushing a new file to disk fails with an I/O error
    int renameError = 0;     // the next rename fails with this error number (EXDEV: another
                             // file system); 0: renames work
};

class TScopedSaveFaults {
public:
    explicit TScopedSaveFaults(const TSaveFaults& faults);
    ~TScopedSaveFaults();
    TScopedSaveFaults(const TScopedSaveFaults&) = delete;
    TScopedSaveFaults& operator=(const TScopedSaveFaults&) = delete;
    // Writes made since construction.
    int Writes() const;
};

} // namespace qz::files
