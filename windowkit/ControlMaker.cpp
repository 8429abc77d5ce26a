#include "ControlMaker.h"

#include "plat/Controls.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QLabel>
#include <QPalette>

#include <utility>

namespace wkit {

ControlMaker::ControlMaker(plat::Placements placements, const QColor& ink, QStringList families)
    : placements_(placements), ink_(ink), families_(std::move(families))
{}

QFont ControlMaker::Font(int pixels, bool bold) const { return plat::SansFont(pixels, bold, families_); }

QRect ControlMaker::PlaceOf(const char* name) const { return plat::PlacementRect(placements_, name); }

QLabel* ControlMaker::Label(QWidget* parent, const char* name, int pixels, bool bold, Qt::Alignment align) const
{
    return Label(parent, name, PlaceOf(name), pixels, bold, align);
}

QLabel* ControlMaker::Label(QWidget* parent, const char* name, const QRect& r, int pixels, bool bold,
                            Qt::Alignment align) const
{
    return plat::MakeLabel(parent, name, r, Font(pixels, bold), align, ink_);
}

QLabel* ControlMaker::PlainLabel(QWidget* parent, const char* name, const QString& text) const
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(PlaceOf(name));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, ink_);
    l->setPalette(pal);
    return l;
}

plat::PictureButton* ControlMaker::Picture(QWidget* parent, const char* name, const char* path) const
{
    plat::PictureButton* p = Picture(parent, name, PlaceOf(name));
    if (path)
        p->setPicturePath(QLatin1String(path));
    return p;
}

plat::PictureButton* ControlMaker::Picture(QWidget* parent, const char* name, const QRect& r) const
{
    auto* p = new plat::PictureButton(parent);
    p->setObjectName(QLatin1String(name));
    p->setGeometry(r);
    return p;
}

plat::Shape* ControlMaker::Shape(QWidget* parent, const char* name, const QColor& fill) const
{
    auto* s = new plat::Shape(parent);
    s->setObjectName(QLatin1String(name));
    s->setGeometry(PlaceOf(name));
    s->setBrush(fill);
    return s;
}

} // namespace wkit
