#pragma once
// The main window's rules that need no window: the offline type cycle, the
// selection frame, the status texts, the ECU picture and the start-up
// clean-up of leftover files.
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

namespace mainrules {

// The type Ctrl+A steps to while offline: 30 -> 55 -> 79 -> 50 -> 54 -> 31
// -> 56 -> 30; any other type stays as it is.
int NextOfflineEcuType(int type);

// Where the selection frame of the given size goes to sit centred on a
// picture: picture.left - (frame.width - picture.width) / 2 (and the same
// downwards), the halves truncated toward zero.
QPoint FramePosition(const QRect& picture, const QSize& frame);

// The selection after one of the arrow keys (Qt::Key_Left, Key_Up: back one
// unless at the first; Key_Right, Key_Down: on one unless at the last).
// Any other key leaves it.
int SelectionAfterKey(int selected, int count, int qtKey);

// The program's version for the labels: "major.minor.release" of a
// "%i.%i.%i.%i" version text (the build number dropped), "n.d." when the
// text is empty or not even its first number reads.
QString VersionText(const QString& fileVersion);

// LabelVersioneFw. Not connected: text13 + " n.d."; connected: text13, then
// separator (" " after a language change, ": " after the connection
// event), major "." minor, " (VANT)" / " (ORSEL)" for types 50 / 79, and
// " (Tolvi)" when the customer-code copy (item 0x233) is 2.
QString FirmwareLabel(const QString& text13, bool connected, const QString& separator, int major, int minor,
                      int ecuType, unsigned customerCode);

// LabelConfigurazione: text12 + " " + name + " (" + fuel + ")".
QString ConfigurationLabel(const QString& text12, const QString& name, const QString& fuel);

// The ECU picture of a type: 50 -> 10078, 54 -> 10079, 55 and 56 -> 10080,
// 79 -> 10089, any other 10077.
int EcuPictureId(int ecuType);

// The leftovers of earlier runs: the data module's temporary files
// "_mp*.tmp" and "_mt*.tmp" in tempFolder, then the "*.?x?" files of
// appFolder's "Update" folder. Read-only files go too; files of other users,
// folders and whatever cannot be deleted stay; a link is removed without
// touching what it points to. Returns the paths deleted.
QStringList DeleteLeftoverFiles(const QString& tempFolder, const QString& appFolder);

// When the environment names a file in QZ_STARTUP_REPORT, writes into it how
// the program's own first connect ended ("connected <ECU type>" or
// "offline"), so that a script running the program without a display knows
// what its screenshot shows. Does nothing otherwise.
void ReportFirstConnect(bool connected, int ecuType);

} // namespace mainrules
