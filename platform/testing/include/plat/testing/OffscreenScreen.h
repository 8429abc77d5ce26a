#pragma once
// Qt's offscreen platform with one screen of a chosen size (it has 800 x 800
// otherwise), for the GUI tests and the demonstration harness.
#include <QByteArray>
#include <QSize>
#include <QString>

namespace plat::testing {

// "1024x768" -> 1024 x 768; an empty size for anything else.
QSize ParseScreenSize(const QByteArray& text);

// Writes the platform's screen configuration for `size` into `file` and
// selects the offscreen platform with it (QT_QPA_PLATFORM), before the
// application object exists. False when the file cannot be written.
bool UseOffscreenScreen(QSize size, const QString& file);

} // namespace plat::testing
