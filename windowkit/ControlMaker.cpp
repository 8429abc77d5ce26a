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

QFont ControlMaker::font(int pixels, bool bold) const { return plat::SansFont(pixels, bold, families_); }

QRect ControlMaker::placeOf(const char* name) const { return plat::PlacementRect(placements_, name); }

QLabel* ControlMaker::label(QWidget* parent, const char* name, int pixels, bool bold, Qt::Alignment align) const
{
    return label(parent, name, placeOf(name), pixels, bold, align);
}

QLabel* ControlMaker::label(QWidget* parent, const char* name, const QRect& r, int pixels, bool bold,
                            Qt::Alignment align) const
{
    return plat::MakeLabel(parent, name, r, font(pixels, bold), align, ink_);
}

QLabel* ControlMaker::plainLabel(QWidget* parent, const char* name, const QString& text) const
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(placeOf(name));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, ink_);
    l->setPalette(pal);
    return l;
}

plat::PictureButton* ControlMaker::picture(QWidget* parent, const char* name, const char* path) const
{
    plat::PictureButton* p = picture(parent, name, placeOf(name));
    if (path)
        p->setPicturePath(QLatin1String(path));
    return p;
}

plat::PictureButton* ControlMaker::picture(QWidget* parent, const char* name, const QRect& r) const
{
    auto* p = new plat::PictureButton(parent);
    p->setObjectName(QLatin1String(name));
    p->setGeometry(r);
    return p;
}

plat::Shape* ControlMaker::shape(QWidget* parent, const char* name, const QColor& fill) const
{
    auto* s = new plat::Shape(parent);
    s->setObjectName(QLatin1String(name));
    s->setGeometry(placeOf(name));
    s->setBrush(fill);
    return s;
}

} // namespace wkit
