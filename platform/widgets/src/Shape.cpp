#include "plat/Shape.h"

#include <QPainter>

#include <algorithm>

namespace plat {

Shape::Shape(QWidget* parent) : QWidget(parent), pen_(Qt::black, 1), brush_(Qt::white)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setKind(Kind kind)
{
    if (kind_ == kind)
        return;
    kind_ = kind;
    update();
}

void Shape::setPen(const QPen& pen)
{
    if (pen_ == pen)
        return;
    pen_ = pen;
    update();
}

void Shape::setBrush(const QBrush& brush)
{
    // The live windows set their colours on every tick: only a change repaints.
    if (brush_ == brush)
        return;
    brush_ = brush;
    update();
}

QRectF Shape::outline() const
{
    const qreal w = pen_.style() == Qt::NoPen ? 0 : pen_.widthF();
    return QRectF(rect()).adjusted(w / 2, w / 2, -w / 2, -w / 2);
}

qreal Shape::cornerRadius() const
{
    const QRectF r = outline();
    return std::max<qreal>(0, std::min(r.width(), r.height()) / 8);
}

void Shape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, kind_ == Kind::RoundRect);
    QPen pen = pen_;
    if (pen.widthF() <= 0)
        pen = Qt::NoPen;
    else if (kind_ == Kind::Rectangle)
        pen.setJoinStyle(Qt::MiterJoin); // square corners
    p.setPen(pen);
    p.setBrush(brush_);
    if (kind_ == Kind::RoundRect)
        p.drawRoundedRect(outline(), cornerRadius(), cornerRadius());
    else
        p.drawRect(outline());
}

} // namespace plat
