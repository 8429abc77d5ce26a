#pragma once
// The controls of a window laid out by hand: each named and placed by its
// entry in the window's placement table (or at a rectangle given), in the
// window's sans-serif font and ink.
#include "plat/Placement.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

class QLabel;
class QWidget;

namespace plat {
class PictureButton;
class Shape;
} // namespace plat

namespace wkit {

class ControlMaker {
public:
    // placements may be empty for a window that gives every rectangle itself.
    ControlMaker(plat::Placements placements, const QColor& ink,
                 QStringList families = {QStringLiteral("DejaVu Sans")});

    // The window's sans-serif font at a pixel size.
    QFont Font(int pixels, bool bold) const;
    // The design-size rectangle of name in the table.
    QRect PlaceOf(const char* name) const;

    // A label in the window's font at pixels, in the ink.
    QLabel* Label(QWidget* parent, const char* name, int pixels, bool bold, Qt::Alignment align) const;
    QLabel* Label(QWidget* parent, const char* name, const QRect& r, int pixels, bool bold, Qt::Alignment align) const;
    // A label in its parent's font, in the ink, showing text.
    QLabel* PlainLabel(QWidget* parent, const char* name, const QString& text = {}) const;

    // A picture button; with path, the picture file it shows.
    plat::PictureButton* Picture(QWidget* parent, const char* name, const char* path = nullptr) const;
    plat::PictureButton* Picture(QWidget* parent, const char* name, const QRect& r) const;

    // A rectangle filled with fill.
    plat::Shape* Shape(QWidget* parent, const char* name, const QColor& fill) const;

private:
    plat::Placements placements_;
    QColor ink_;
    QStringList families_;
};

} // namespace wkit
