#pragma once
// Small builders for the controls the windows lay out by hand at their
// design coordinates.
#include <QFont>
#include <QRect>
#include <QStringList>

class QColor;
class QLabel;
class QWidget;

namespace plat {

// A sans-serif font of the given pixel size; the first family the system
// has is taken.
QFont SansFont(int pixels, bool bold, const QStringList& families = {QStringLiteral("DejaVu Sans")});

// A label named `name` at r with the font, alignment and text colour given.
QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& r, const QFont& font, Qt::Alignment align,
                  const QColor& ink);

} // namespace plat
