#pragma once
// Recording an acquisition: a temporary file "__acqtmp<N>.tmp" in the
// program's "Acquisition" folder, one data line per tick, and the save that
// renames it to the name the user chose. The live view, the real-time graph
// and the auto-calibration window each own one recorder.
#include "AcquisitionFormat.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace qz::live {

// The longest temporary name, in 8 bits, a recording takes.
inline constexpr int kAcqMaxTempNameBytes = 259;

enum class TAcqError {
    None,
    NameTooLong,           // the temporary name does not fit in kAcqMaxTempNameBytes
    NoFreeName,            // every temporary number is taken
    CannotCreate,          // the folder or the temporary file cannot be created
    WriteFailed,           // writing the recording failed (the file holds less than was recorded)
    NothingRecorded,       // no temporary file to save
    TargetNotReplaceable,  // the chosen file exists and the system refuses to replace it (strings 178, 179)
    RenameFailed,          // the temporary file could not be moved to the chosen name (a full or
                           // read-only disk, a folder of that name); it is kept
};

struct TAcqResult {
    TAcqError Error = TAcqError::None;
    QString Detail;  // the system's reason, when there is one
    bool Ok() const { return Error == TAcqError::None; }
};

// The program's "Acquisition" folder.
QString AcquisitionFolder();
// folder + "/__acqtmp" + n + ".tmp".
QString AcquisitionTempName(const QString& folder, int n);
// The name with the smallest n for which no file exists; empty when none is free.
QString FreeAcquisitionTempName(const QString& folder);

class TAcquisitionRecorder {
public:
    explicit TAcquisitionRecorder(QString folder = AcquisitionFolder());
    // Closes the file; the temporary file stays (the window discards it).
    ~TAcquisitionRecorder();
    TAcquisitionRecorder(const TAcquisitionRecorder&) = delete;
    TAcquisitionRecorder& operator=(const TAcquisitionRecorder&) = delete;

    // Discards a temporary file still held, takes a free temporary name
    // (creating the folder when missing), writes the header and the column
    // line (with stamp as its date and time) and stores the start tick.
    // bankCount is 2 when the ECU has a second probe, else 1. On failure the
    // recording runs without a file: Append does nothing and there is nothing
    // to save.
    TAcqResult Start(int bankCount, const QByteArray& stamp = CurrentAcquisitionStamp());
    // One data line stamped with the ms since Start. The second-bank fields
    // follow the bank count of the header.
    void Append(const TAcquisitionSample& sample);
    // Closes the file; reports a write that failed during the recording.
    TAcqResult Stop();
    // Stops a running recording and moves the temporary file to fileName,
    // replacing an existing file in one step: by a rename, or on another
    // file system by a copy through the safe save. A recording that lost
    // data while it was written is not saved (WriteFailed). On failure the
    // temporary file and any previous file are kept as they were.
    TAcqResult SaveAs(const QString& fileName);
    // Deletes the temporary file and forgets its name.
    void Discard();

    bool IsRecording() const { return file_ && file_->isOpen(); }
    // A temporary file exists that was not saved or discarded.
    bool HasUnsaved() const { return !tempName_.isEmpty(); }
    QString TempFileName() const { return tempName_; }
    int BankCount() const { return bankCount_; }

private:
    QString folder_;
    QString tempName_;
    std::unique_ptr<QFile> file_;
    std::uint32_t startTick_ = 0;
    int bankCount_ = 1;
    TAcqResult writeError_;
};

enum class TAcqSaveOutcome { Saved, Cancelled, Failed };

// The save procedure around the window's dialog: askFileName runs the save
// dialog (an empty name: cancelled); a file that cannot be replaced or a
// failed move is shown with showError and the dialog runs again. Cancelled
// leaves the temporary file to the window (the live view discards it, the
// graph keeps it); Failed: there was nothing to save, or the recording is
// incomplete (shown once).
TAcqSaveOutcome RunAcquisitionSave(TAcquisitionRecorder& recorder, const std::function<QString()>& askFileName,
                                   const std::function<void(const TAcqResult&)>& showError);

// The message of a failed save: the window's text for the cause
// (cannotOverwrite, strings 178 and 179, for a file that exists and cannot be
// replaced; cannotSave, string kAcqStringCannotSave, for any other failure)
// and, on a line of its own, the system's reason when there is one.
QString AcquisitionSaveErrorText(const QString& cannotOverwrite, const QString& cannotSave, const TAcqResult& result);

} // namespace qz::live
