#pragma once
// The parts the configuration-file dialog and the wiring-diagram browser
// share: the list of files with its find panel, the captions, and the keys
// of the window (Esc cancels, Enter confirms).
#include "SchemiFiles.h"

#include <QFont>
#include <QIcon>
#include <QRect>
#include <Qt>
#include <functional>
#include <vector>

class QEvent;
class QFrame;
class QLabel;
class QTreeWidget;
class QWidget;
namespace plat {
class AnimationPlayer;
class Shape;
} // namespace plat

namespace filelist {

// The item data role under which each row keeps its real file name.
inline constexpr int FileNameRole = Qt::UserRole;

// The face of the windows' texts.
QFont Font(int pixels, bool bold);

// A bold caption in the windows' ink.
QLabel* MakeCaption(QWidget* parent, const char* name, const QRect& geometry, Qt::Alignment align, int pixels);

// A rounded frame filled light grey, drawn in the ink.
plat::Shape* MakeFrame(QWidget* parent, const char* name, const QRect& geometry);

// The list in report style: two columns, read-only, one whole row selected at
// a time, the rows in the order given, 50 x 55 icons, and the selection kept
// visible while the list has no focus.
QTreeWidget* MakeList(QWidget* parent, const char* name, const QRect& geometry);

// The panel with the find animation, hidden until a list is filled.
struct FindPanel {
    QFrame* panel = nullptr;
    plat::AnimationPlayer* animation = nullptr;
};
FindPanel MakeFindPanel(QWidget* parent, const QRect& panel, const QRect& animation);

// Empties the list and fills it with what listRows gives (under the
// hourglass, the find panel on show while it runs), one row each with the
// icon; the first column takes 70 % of the client width, the second the
// rest. Returns the rows, in list order.
std::vector<TPdfRow> Fill(QTreeWidget* list, const FindPanel& find, const QIcon& icon,
                          const std::function<std::vector<TPdfRow>()>& listRows);

// Esc (27) runs cancel, Enter (13) confirm; true when the key was taken.
bool RunKey(int key, const std::function<void()>& confirm, const std::function<void()>& cancel);

// A key press as the window's key handler sees it (plat::KeyCharOf): true,
// and the event accepted, when formKeyPress took it; false for any other
// event or key.
bool TakeKeyPress(QEvent* event, const std::function<bool(int key)>& formKeyPress);

} // namespace filelist
