#pragma once
// The toolkit's change of scale, which every window applies at creation to
// fit its 1024 x 768 design to the screen.
#include <QRect>
#include <QSize>

class QWidget;

namespace plat {

struct ScaleFactor {
    long long num = 1;
    long long den = 1;
};

// The rule for a screen of width x height (device-independent pixels):
// narrow screens (10 x width <= 13 x height) scale by width / 1024, the others
// by height / 768. Exact, in integers.
ScaleFactor ScreenScaleFactor(QSize screen);

// A widget that has more to move than its own geometry (decorations, unit
// labels) implements this; the scaling walk calls it after scaling the widget.
class Scalable {
public:
    virtual void changeScale(long long num, long long den) = 0;

protected:
    ~Scalable() = default;
};

// Multiplies the position, size and font size of root's children (and of
// root itself when it is not a top-level window) by num / den, each rounded
// to the nearest whole pixel; widths and heights come from the scaled right
// and bottom edges, so controls that touch keep touching. Fonts set on a
// widget are scaled (root's own font always, so that what inherits it grows
// too); pen widths and other drawing details are left to Scalable.
void ScaleWidgetTree(QWidget* root, long long num, long long den);

// value x num / den rounded to the nearest integer, halves away from zero.
long long MulDivRound(long long value, long long num, long long den);

// r scaled as ScaleWidgetTree scales a widget's geometry: its left, top,
// right and bottom edges each rounded by MulDivRound.
QRect ScaledRect(const QRect& r, long long num, long long den);

// The rule applied to a window: the factor for the screen the window is on
// (its size in device-independent pixels, the device pixel ratio being Qt's
// own business), applied with ScaleWidgetTree. Returns the factor used.
ScaleFactor ApplyScreenScale(QWidget* window);

} // namespace plat
