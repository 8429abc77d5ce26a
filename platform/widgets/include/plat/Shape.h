#pragma once
// A rectangle or rounded rectangle drawn with a pen and a brush, as the
// window layouts place frames and panels. Decoration only: mouse events pass
// through it to whatever lies below.
#include "plat/Colors.h"

#include <QBrush>
#include <QPen>
#include <QWidget>

namespace plat {

class Shape : public QWidget {
    Q_OBJECT

public:
    enum class Kind { Rectangle, RoundRect };

    // A white rectangle with a black pen of width 1.
    explicit Shape(QWidget* parent = nullptr);

    Kind kind() const { return kind_; }
    void setKind(Kind kind);
    QPen pen() const { return pen_; }
    // Pen width 0 draws no outline.
    void setPen(const QPen& pen);
    QBrush brush() const { return brush_; }
    // Qt::NoBrush leaves the inside transparent (a frame).
    void setBrush(const QBrush& brush);

    // The outline the pen is centred on: inset by half the pen width so that
    // the stroke stays inside the widget.
    QRectF outline() const;
    // Corner radius of a rounded rectangle: an eighth of the shorter side.
    qreal cornerRadius() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind kind_ = Kind::Rectangle;
    QPen pen_;
    QBrush brush_;
};

} // namespace plat
