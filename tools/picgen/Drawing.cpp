#include "Drawing.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QtMath>

#include <cmath>
#include <functional>
#include <tuple>

namespace picgen {

namespace {

// The program's colours.
const QColor kBlue(32, 96, 143);   // 9396256 in the layouts
const QColor kSky(152, 203, 224);  // 14732184
const QColor kRed(225, 31, 38);    // 2498529
const QColor kGreen(46, 150, 88);
const QColor kAmber(238, 162, 36);
const QColor kSteel(196, 203, 210);
const QColor kInk(40, 48, 58);

QFont sans(int pixels, bool bold = true)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The largest font up to maxPixels in which text fits into width.
QFont fitted(const QString& text, qreal width, int maxPixels, bool bold = true)
{
    for (int px = maxPixels; px > 6; --px) {
        const QFont f = sans(px, bold);
        if (QFontMetricsF(f).horizontalAdvance(text) <= width)
            return f;
    }
    return sans(6, bold);
}

QPen stroke(const QColor& c, qreal w)
{
    QPen p(c, w);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

// ---- glyphs, drawn white in a 64 x 64 box centred on the origin ----

void gear(QPainter& p)
{
    QPainterPath body;
    body.addEllipse(QPointF(0, 0), 20, 20);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-5.5, -29, 11, 14), 2, 2);
        body = body.united(QTransform().rotate(i * 45).map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(body.subtracted(hole));
}

void gauge(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(stroke(Qt::white, 5));
    const QRectF dial(-27, -27, 54, 54);
    p.drawArc(dial, -30 * 16, 240 * 16);
    p.setPen(stroke(Qt::white, 3));
    for (int i = 0; i <= 6; ++i) {
        const qreal a = qDegreesToRadians(210.0 - i * 40.0);
        p.drawLine(QPointF(std::cos(a) * 17, -std::sin(a) * 17), QPointF(std::cos(a) * 21, -std::sin(a) * 21));
    }
    p.setPen(stroke(kAmber, 4));
    const qreal a = qDegreesToRadians(50.0);
    p.drawLine(QPointF(0, 0), QPointF(std::cos(a) * 19, -std::sin(a) * 19));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, 0), 5, 5);
    p.drawRoundedRect(QRectF(-12, 18, 24, 7), 2, 2);
}

void chart(QPainter& p)
{
    p.setPen(stroke(Qt::white, 4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(-29, -24, 58, 40), 4, 4);
    p.drawLine(QPointF(0, 16), QPointF(0, 24));
    p.drawLine(QPointF(-12, 26), QPointF(12, 26));
    p.setPen(stroke(kAmber, 3.5));
    const QPointF line[] = {{-22, 6}, {-13, -2}, {-6, 3}, {3, -12}, {11, -5}, {21, -16}};
    p.drawPolyline(line, 6);
}

void globe(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(stroke(Qt::white, 4));
    p.drawEllipse(QPointF(0, 0), 26, 26);
    p.setPen(stroke(Qt::white, 3));
    p.drawEllipse(QPointF(0, 0), 11, 26);
    p.drawLine(QPointF(0, -26), QPointF(0, 26));
    p.drawLine(QPointF(-26, 0), QPointF(26, 0));
    const qreal y = 13, x = std::sqrt(26.0 * 26.0 - y * y);
    p.drawLine(QPointF(-x, -y), QPointF(x, -y));
    p.drawLine(QPointF(-x, y), QPointF(x, y));
}

QPainterPath folderPath()
{
    QPainterPath f;
    f.moveTo(-28, -14);
    f.lineTo(-28, 22);
    f.lineTo(28, 22);
    f.lineTo(28, -8);
    f.lineTo(-2, -8);
    f.lineTo(-8, -14);
    f.closeSubpath();
    return f;
}

void folderArrow(QPainter& p, bool out)
{
    p.setPen(stroke(Qt::white, 4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(folderPath().translated(0, 6));
    // The arrow leaves the folder upwards (load) or goes into it (save).
    QPainterPath arrow;
    if (out) {
        arrow.moveTo(-9, -16);
        arrow.lineTo(0, -28);
        arrow.lineTo(9, -16);
        arrow.moveTo(0, -28);
        arrow.lineTo(0, 12);
    } else {
        arrow.moveTo(0, -30);
        arrow.lineTo(0, 10);
        arrow.moveTo(-9, -2);
        arrow.lineTo(0, 10);
        arrow.lineTo(9, -2);
    }
    p.setPen(stroke(kAmber, 5));
    p.drawPath(arrow);
}

void chip(QPainter& p)
{
    p.setPen(stroke(Qt::white, 3.5));
    for (int i = 0; i < 5; ++i) {
        const qreal c = -16 + i * 8;
        p.drawLine(QPointF(c, -26), QPointF(c, -19));
        p.drawLine(QPointF(c, 19), QPointF(c, 26));
        p.drawLine(QPointF(-26, c), QPointF(-19, c));
        p.drawLine(QPointF(19, c), QPointF(26, c));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(-19, -19, 38, 38), 4, 4);
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(-10, -10), 4, 4);
}

void schematic(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(stroke(Qt::white, 3.5));
    QPainterPath wire;
    wire.moveTo(-26, -18);
    wire.lineTo(-10, -18);
    // a zigzag element
    for (int i = 0; i < 4; ++i) {
        wire.lineTo(-7 + i * 6, i % 2 ? -12 : -24);
    }
    wire.lineTo(17, -18);
    wire.lineTo(26, -18);
    wire.lineTo(26, 20);
    wire.moveTo(-26, -18);
    wire.lineTo(-26, 20);
    wire.lineTo(-6, 20);
    wire.moveTo(6, 20);
    wire.lineTo(26, 20);
    p.drawPath(wire);
    // a two-plate element on the bottom wire
    p.drawLine(QPointF(-6, 11), QPointF(-6, 29));
    p.drawLine(QPointF(6, 11), QPointF(6, 29));
    p.setPen(Qt::NoPen);
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(-26, -18), 4.5, 4.5);
    p.drawEllipse(QPointF(26, 20), 4.5, 4.5);
}

void power(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(stroke(Qt::white, 5));
    p.drawArc(QRectF(-17, -15, 34, 34), 120 * 16, 300 * 16);
    p.drawLine(QPointF(0, -20), QPointF(0, 1));
}

void envelope(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(stroke(Qt::white, 3.5));
    p.drawRoundedRect(QRectF(-24, -16, 48, 32), 3, 3);
    const QPointF v[] = {{-24, -14}, {0, 4}, {24, -14}};
    p.drawPolyline(v, 3);
}

void check(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(stroke(Qt::white, 6));
    const QPointF v[] = {{-18, 0}, {-5, 13}, {19, -13}};
    p.drawPolyline(v, 3);
}

void cross(QPainter& p)
{
    p.setPen(stroke(Qt::white, 6));
    p.drawLine(QPointF(-14, -14), QPointF(14, 14));
    p.drawLine(QPointF(-14, 14), QPointF(14, -14));
}

// A circular arrow: start again from zero.
void resetArrow(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(stroke(Qt::white, 5));
    p.drawArc(QRectF(-17, -17, 34, 34), 60 * 16, 280 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const QPointF head[] = {{2, -26}, {14, -15}, {0, -8}};
    p.drawPolygon(head, 3);
}

// ---- tiles ----

using Glyph = void (*)(QPainter&);

// A rounded tile with its glyph; pressed: darker and moved 2 pixels down and
// right, as a button pushed in.
void tile(QPainter& p, QSizeF size, const QColor& colour, Glyph glyph, bool pressed, qreal glyphScale = 1)
{
    p.setRenderHint(QPainter::Antialiasing);
    const qreal shift = pressed ? 2 : 0;
    const QRectF r = QRectF(QPointF(0, 0), size).adjusted(3 + shift, 3 + shift, -5 + shift, -5 + shift);
    const qreal radius = std::min(r.width(), r.height()) / 6;
    if (!pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 45));
        p.drawRoundedRect(r.translated(2, 2), radius, radius);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(pressed ? colour.darker(135) : colour);
    p.drawRoundedRect(r, radius, radius);
    // a lighter top band gives the tile its face
    p.setBrush(QColor(255, 255, 255, pressed ? 18 : 30));
    p.drawRoundedRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.45), radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, pressed ? 60 : 110), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(3, 3, -3, -3), radius - 2, radius - 2);
    p.save();
    p.translate(r.center());
    const qreal s = glyphScale * std::min(r.width(), r.height()) / 86.0;
    p.scale(s, s);
    glyph(p);
    p.restore();
}

// ---- icons ----

void connection(QPainter& p, bool connected)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(connected ? kGreen : QColor(150, 156, 162));
    p.drawEllipse(QRectF(3, 3, 58, 58));
    p.save();
    p.translate(32, 32);
    p.rotate(-45);
    const qreal gap = connected ? 0 : 7;
    // plug: body with two prongs; socket: body with a cable
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(-20 - gap, -8, 14, 16), 3, 3);
    p.drawRect(QRectF(-6 - gap, -6, 7, 3));
    p.drawRect(QRectF(-6 - gap, 3, 7, 3));
    p.drawRoundedRect(QRectF(1 + gap, -9, 15, 18), 3, 3);
    p.setPen(stroke(Qt::white, 3.5));
    p.drawLine(QPointF(-20 - gap, 0), QPointF(-27, 0));
    p.drawLine(QPointF(16 + gap, 0), QPointF(27, 0));
    p.restore();
    if (!connected) {
        p.setPen(stroke(kRed, 4));
        p.drawLine(QPointF(18, 46), QPointF(46, 18));
    }
}

void wireless(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(10, 24, 28, 20), 4, 4);
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(17, 34), 2.5, 2.5);
    p.setPen(stroke(kBlue, 3));
    p.drawLine(QPointF(31, 24), QPointF(31, 15));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 2; ++i) {
        const qreal r = 5.0 * i;
        p.drawArc(QRectF(31 - r, 13 - r, 2 * r, 2 * r), 20 * 16, 140 * 16);
    }
}

void listIcon(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath page;
    page.moveTo(9, 4);
    page.lineTo(32, 4);
    page.lineTo(42, 14);
    page.lineTo(42, 51);
    page.lineTo(9, 51);
    page.closeSubpath();
    p.setPen(QPen(kBlue, 2));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(kSky);
    const QPointF fold[] = {{32, 4}, {32, 14}, {42, 14}};
    p.drawPolygon(fold, 3);
    p.setPen(stroke(kBlue, 2.5));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(15, 22 + i * 7), QPointF(i == 3 ? 27 : 36, 22 + i * 7));
    p.setPen(Qt::NoPen);
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(35, 44), 4, 4);
}

// ---- the ECU ----

void ecu(QPainter& p, const QString& caption)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(30, 40, 300, 170);
    // mounting ears
    p.setPen(QPen(kInk, 2));
    p.setBrush(kSteel.darker(110));
    for (qreal y : {52.0, 172.0}) {
        p.drawRoundedRect(QRectF(12, y, 30, 26), 6, 6);
        p.drawRoundedRect(QRectF(318, y, 30, 26), 6, 6);
    }
    p.setBrush(Qt::white);
    for (qreal y : {65.0, 185.0}) {
        p.drawEllipse(QPointF(22, y), 4, 4);
        p.drawEllipse(QPointF(338, y), 4, 4);
    }
    // the case
    p.setPen(QPen(kInk, 2.5));
    p.setBrush(kSteel);
    p.drawRoundedRect(body, 14, 14);
    // cooling fins along the top
    p.setPen(QPen(kSteel.darker(125), 3));
    for (int i = 0; i < 12; ++i) {
        const qreal x = 52 + i * 22;
        p.drawLine(QPointF(x, 50), QPointF(x, 74));
    }
    // the connector on the right
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(58, 62, 70));
    p.drawRoundedRect(QRectF(330, 82, 52, 88), 6, 6);
    p.setBrush(kAmber);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 2; ++c)
            p.drawEllipse(QPointF(346 + c * 20, 97 + r * 15), 3.5, 3.5);
    // the label plate
    const QRectF plate(58, 90, 244, 100);
    p.setPen(QPen(kBlue, 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(plate, 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(plate.left(), plate.top(), plate.width(), 30), 8, 8);
    p.drawRect(QRectF(plate.left(), plate.top() + 20, plate.width(), 10));
    p.setPen(Qt::white);
    p.setFont(sans(16));
    p.drawText(QRectF(plate.left(), plate.top(), plate.width(), 30), Qt::AlignCenter,
               QStringLiteral("GAS INJECTION"));
    p.setPen(kBlue);
    p.setFont(fitted(caption, plate.width() - 20, 34));
    p.drawText(QRectF(plate.left(), plate.top() + 32, plate.width(), 66), Qt::AlignCenter, caption);
    // status lamp
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(52, 196), 5, 5);
}

// An injector lamp: a round badge in the colour of its state with a glyph.
void lamp(QPainter& p, QSizeF size, const QColor& colour, Glyph glyph)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(size.width() / 2, size.height() / 2);
    const qreal r = std::min(size.width(), size.height()) / 2 - 2;
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(colour);
    p.drawEllipse(c, r, r);
    p.save();
    p.translate(c);
    p.scale(r / 30, r / 30);
    glyph(p);
    p.restore();
}

// A gas injector nozzle, driven (spraying) or excluded (greyed, crossed).
void injector(QPainter& p, QSizeF size, bool driven)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QColor body = driven ? kBlue : kSteel;
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(size.width() * 0.32, 3, size.width() * 0.36, size.height() * 0.5), 4, 4);
    const QPointF tip[] = {{size.width() * 0.4, size.height() * 0.53}, {size.width() * 0.6, size.height() * 0.53},
                           {size.width() * 0.5, size.height() * 0.68}};
    p.drawPolygon(tip, 3);
    if (driven) {
        p.setPen(stroke(kSky, 3));
        for (int i = -1; i <= 1; ++i)
            p.drawLine(QPointF(size.width() * 0.5, size.height() * 0.72),
                       QPointF(size.width() * (0.5 + 0.18 * i), size.height() - 4));
    } else {
        p.setPen(stroke(kRed, 4));
        p.drawLine(QPointF(6, 6), QPointF(size.width() - 6, size.height() - 6));
        p.drawLine(QPointF(6, size.height() - 6), QPointF(size.width() - 6, 6));
    }
}

// The exit tab's picture: an arrow leaving through a door.
void exitDoor(QPainter& p, QSizeF size)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(stroke(kInk, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(3, 3, size.width() * 0.5, size.height() - 6));
    p.setPen(stroke(kRed, 3));
    const qreal y = size.height() / 2;
    p.drawLine(QPointF(size.width() * 0.3, y), QPointF(size.width() - 4, y));
    const QPointF head[] = {{size.width() - 11, y - 7}, {size.width() - 4, y}, {size.width() - 11, y + 7}};
    p.drawPolyline(head, 3);
}

// ---- the name ----

void emblem(QPainter& p, QPointF centre, qreal radius)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(centre, radius, radius);
    // three rising waves, the gas
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        p.setPen(stroke(i == 1 ? kAmber : kSky, radius * 0.13));
        QPainterPath w;
        const qreal y = centre.y() + radius * (0.38 - i * 0.36);
        w.moveTo(centre.x() - radius * 0.62, y);
        w.cubicTo(centre.x() - radius * 0.25, y - radius * 0.32, centre.x() + radius * 0.05, y + radius * 0.28,
                  centre.x() + radius * 0.62, y - radius * 0.12);
        p.drawPath(w);
    }
}

void logo(QPainter& p, QSizeF size)
{
    p.setRenderHint(QPainter::Antialiasing);
    const qreal h = size.height();
    emblem(p, QPointF(h / 2, h / 2), h * 0.42);
    p.setPen(kBlue);
    const QString name = QStringLiteral("Quorin Zelkon");
    p.setFont(fitted(name, size.width() - h * 1.1, static_cast<int>(h * 0.42)));
    p.drawText(QRectF(h * 1.05, 0, size.width() - h * 1.05, h), Qt::AlignVCenter | Qt::AlignLeft,
               name);
}

void splash(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    emblem(p, QPointF(92, 92), 74);
    p.setPen(kBlue);
    p.setFont(fitted(QStringLiteral("Quorin Zelkon"), 450, 60));
    p.drawText(QRectF(190, 22, 460, 96), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quorin Zelkon"));
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawRect(QRectF(194, 122, 150, 6));
    p.setBrush(kSky);
    p.drawRect(QRectF(350, 122, 290, 6));
    p.setPen(kInk);
    p.setFont(sans(20, false));
    p.drawText(QRectF(194, 136, 450, 34), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("LPG  \u00b7  CNG"));
}

// ---- animations ----

// A gas cylinder filling up, frame 0 empty .. frame 6 full.
void cylinder(QPainter& p, int f, int frames)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF shell(10, 32, 96, 46);
    const qreal r = shell.height() / 2;
    QPainterPath capsule;
    capsule.addRoundedRect(shell, r, r);
    const qreal level = shell.height() * f / (frames - 1);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(capsule);
    p.save();
    p.setClipPath(capsule);
    p.setBrush(kSky);
    p.drawRect(QRectF(shell.left(), shell.bottom() - level, shell.width(), level));
    p.restore();
    p.setPen(QPen(kBlue, 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(capsule);
    // valve and pipe
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(106, 48, 8, 14));
    p.drawRoundedRect(QRectF(113, 44, 9, 22), 2, 2);
    // the flow arrow moves along with the frames
    p.setBrush(kAmber);
    const qreal x = 22 + f * 11;
    const QPointF arrow[] = {{x, 12}, {x + 12, 20}, {x, 28}};
    p.drawPolygon(arrow, 3);
}

// A magnifier passing over a folder.
void magnifier(QPainter& p, int f, int frames)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kBlue, 2));
    p.setBrush(QColor(250, 214, 120));
    p.save();
    p.translate(34, 34);
    p.scale(0.75, 0.75);
    p.drawPath(folderPath());
    p.restore();
    const qreal t = static_cast<qreal>(f) / frames * 2 * M_PI;
    const QPointF c(48 + 22 * std::cos(t), 28 + 9 * std::sin(t));
    p.setPen(stroke(kInk, 5));
    p.drawLine(c + QPointF(8, 8), c + QPointF(17, 17));
    p.setPen(QPen(kInk, 3));
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(c, 11, 11);
}


// ---- live view pictures ----

// A dial face: a sweep of scale marks on the window colour, which is also
// the colour a needle is erased with.
void dialFace(QPainter& p, QSizeF size, qreal fromDeg, qreal spanDeg, int marks, QPointF centre, qreal radius)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(QPointF(1, 1), size - QSizeF(2, 2)), 8, 8);
    p.setPen(stroke(kInk, 3));
    for (int i = 0; i <= marks; ++i) {
        const qreal a = qDegreesToRadians(fromDeg + spanDeg * i / marks);
        const QPointF d(-std::cos(a), -std::sin(a));
        p.drawLine(centre + d * radius * 0.82, centre + d * radius);
    }
    p.setPen(stroke(kRed, 4));
    const qreal a = qDegreesToRadians(fromDeg + spanDeg);
    const QPointF d(-std::cos(a), -std::sin(a));
    p.drawLine(centre + d * radius * 0.82, centre + d * radius);
}

// A fuel or key state lamp: a rounded badge, lit or dark, with its caption.
void stateLamp(QPainter& p, QSizeF size, const QColor& lit, bool on, const QString& caption)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(on ? lit : kSteel);
    p.drawRoundedRect(QRectF(QPointF(3, 3), size - QSizeF(6, 6)), 10, 10);
    p.setPen(on ? Qt::white : kInk);
    p.setFont(fitted(caption, size.width() - 16, 22));
    p.drawText(QRectF(QPointF(0, 0), size), Qt::AlignCenter, caption);
}

void record(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, 0), 16, 16);
}

void stopSquare(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(-14, -14, 28, 28));
}

void switchArrows(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(stroke(Qt::white, 4));
    p.drawLine(QPointF(-20, -8), QPointF(18, -8));
    p.drawLine(QPointF(20, 8), QPointF(-18, 8));
    const QPointF right[] = {{10, -16}, {18, -8}, {10, 0}};
    const QPointF left[] = {{-10, 0}, {-18, 8}, {-10, 16}};
    p.drawPolyline(right, 3);
    p.drawPolyline(left, 3);
}

void noSignal(QPainter& p, QSizeF size)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 120, 120), 3));
    p.setBrush(QColor(200, 200, 200));
    p.drawEllipse(QRectF(QPointF(3, 3), size - QSizeF(6, 6)));
    p.drawLine(QPointF(size.width() * 0.25, size.height() * 0.75), QPointF(size.width() * 0.75, size.height() * 0.25));
}

// ---- real-time graph pictures (begin) ----

// A magnifier with a minus: undo the zoom.
void zoomOut(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(stroke(Qt::white, 5));
    p.drawEllipse(QPointF(-6, -6), 17, 17);
    p.drawLine(QPointF(7, 7), QPointF(24, 24));
    p.setPen(stroke(kAmber, 5));
    p.drawLine(QPointF(-15, -6), QPointF(3, -6));
}

void printer(QPainter& p)
{
    p.setPen(stroke(Qt::white, 4));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(-14, -26, 28, 16));
    p.drawRoundedRect(QRectF(-28, -10, 56, 26), 4, 4);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(-14, 8, 28, 18));
    p.setPen(Qt::NoPen);
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(20, -2), 3, 3);
}

void play(QPainter& p)
{
    p.setPen(stroke(Qt::white, 3));
    p.setBrush(Qt::white);
    const QPointF triangle[] = {{-14, -22}, {22, 0}, {-14, 22}};
    p.drawPolygon(triangle, 3);
}

// (The stop picture uses the live view's stopSquare.)

// ---- real-time graph pictures (end) ----

// ---- auto-calibration window (begin) ----

void autocalStart(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const QPointF tri[] = {{-14, -20}, {22, 0}, {-14, 20}};
    p.drawPolygon(tri, 3);
}

void autocalStop(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(-17, -17, 34, 34), 3, 3);
}

void autocalDrop(QPainter& p)
{
    QPainterPath d;
    d.moveTo(0, -22);
    d.cubicTo(14, -4, 16, 4, 16, 8);
    d.arcTo(QRectF(-16, -8, 32, 32), 0, -180);
    d.cubicTo(-16, 4, -14, -4, 0, -22);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(d);
}

void autocalBar(QPainter& p)
{
    p.setPen(stroke(Qt::white, 9));
    p.drawLine(QPointF(-18, 0), QPointF(18, 0));
}

void autocalLetter(QPainter& p, const char* c)
{
    p.setPen(Qt::white);
    p.setFont(sans(40));
    p.drawText(QRectF(-32, -32, 64, 64), Qt::AlignCenter, QString::fromLatin1(c));
}
void autocalPetrol(QPainter& p) { autocalLetter(p, "B"); }
void autocalGas(QPainter& p) { autocalLetter(p, "G"); }

// The caption of a lambda readout: the Greek letter and the probe number.
void lambdaCaption(QPainter& p, QSizeF size, const QString& probe)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(kBlue);
    QFont letter = fitted(QStringLiteral("\u03bb"), size.width() * 0.5, static_cast<int>(size.height() * 0.9));
    p.setFont(letter);
    const QRectF all(QPointF(0, 0), size);
    const qreal letterWidth = QFontMetricsF(letter).horizontalAdvance(QStringLiteral("\u03bb"));
    p.drawText(all.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("\u03bb"));
    QFont number = letter;
    number.setPixelSize(std::max(6, letter.pixelSize() * 6 / 10));
    p.setFont(number);
    p.drawText(all.adjusted(2 + letterWidth + 1, 0, 0, -2), Qt::AlignLeft | Qt::AlignBottom, probe);
}

// The frame a readout's value sits on.
void valueFrame(QPainter& p, QSizeF size)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kSky.darker(140), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(QPointF(1, 1), size - QSizeF(2, 2)), 4, 4);
}

void autocalPictures(const std::function<void(QString, QSize, std::function<void(QPainter&)>)>& add)
{
    auto bmp = [](int id) { return QStringLiteral("bmp/%1").arg(id); };
    auto button = [&](int released, int pressed, QSize size, QColor colour, Glyph glyph) {
        add(bmp(released), size, [=](QPainter& p) { tile(p, size, colour, glyph, false); });
        add(bmp(pressed), size, [=](QPainter& p) { tile(p, size, colour, glyph, true); });
    };
    const QSize big(150, 120), small(96, 64), lampSize(40, 40);
    button(10071, 10072, big, kGreen, autocalStart);        // start
    button(10069, 10070, big, kRed, autocalStop);    // stop
    button(10047, 10048, small, kRed, cross);       // exit
    const std::tuple<int, QColor, Glyph> lamps[] = {
        {10022, kSteel, autocalDrop}, {10023, kAmber, autocalDrop}, {10024, kAmber.lighter(150), autocalDrop},
        {10025, kSteel, autocalBar},  {10026, kRed, autocalBar},    {10027, kRed, autocalPetrol}, {10028, kGreen, autocalGas}};
    for (const auto& [id, colour, glyph] : lamps)
        add(bmp(id), lampSize, [=](QPainter& p) { lamp(p, lampSize, colour, glyph); });
    const QSize caption(40, 20), value(55, 25);
    add(QStringLiteral("bmp/lambda1"), caption, [=](QPainter& p) { lambdaCaption(p, caption, QStringLiteral("1")); });
    add(QStringLiteral("bmp/lambda2"), caption, [=](QPainter& p) { lambdaCaption(p, caption, QStringLiteral("2")); });
    add(QStringLiteral("bmp/lambdavalue"), value, [=](QPainter& p) { valueFrame(p, value); });
}

// ---- auto-calibration window (end) ----

// ---- configuration window (begin) ----

void cfgPlus(QPainter& p)
{
    p.setPen(stroke(Qt::white, 7));
    p.drawLine(QPointF(-16, 0), QPointF(16, 0));
    p.drawLine(QPointF(0, -16), QPointF(0, 16));
}
void cfgMinus(QPainter& p)
{
    p.setPen(stroke(Qt::white, 7));
    p.drawLine(QPointF(-16, 0), QPointF(16, 0));
}
void cfgTarget(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(stroke(Qt::white, 4));
    p.drawEllipse(QPointF(0, 0), 18, 18);
    p.drawEllipse(QPointF(0, 0), 8, 8);
}

// The live operating point: a round dot with a dark rim.
void cfgPoint(QPainter& p, QSizeF size, const QColor& colour)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(colour);
    p.drawEllipse(QRectF(QPointF(0, 0), size).adjusted(1.5, 1.5, -1.5, -1.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(QRectF(size.width() * 0.28, size.height() * 0.22, size.width() * 0.22, size.height() * 0.22));
}

// A slider's track: a sunken groove with a tick in the middle and at the ends.
void cfgTrack(QPainter& p, QSizeF size)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF groove(1, size.height() / 2 - 3, size.width() - 2, 6);
    p.setPen(QPen(kInk, 1));
    p.setBrush(kSteel);
    p.drawRoundedRect(groove, 3, 3);
    p.setPen(QPen(kInk, 1.5));
    for (qreal x : {1.5, size.width() / 2, size.width() - 1.5})
        p.drawLine(QPointF(x, 1), QPointF(x, size.height() - 1));
}

void cfgInfo(QPainter& p)
{
    p.setPen(Qt::white);
    p.setFont(sans(40));
    p.drawText(QRectF(-32, -32, 64, 64), Qt::AlignCenter, QStringLiteral("i"));
}

void configPictures(const std::function<void(QString, QSize, std::function<void(QPainter&)>)>& add)
{
    auto bmp = [](int id) { return QStringLiteral("bmp/%1").arg(id); };
    const QSize small(48, 48);
    // Picture buttons: released, then pressed.
    const std::tuple<int, QColor, Glyph> tiles[] = {{10029, kAmber, resetArrow},
                                                    {10031, kGreen, check},
                                                    {10033, kRed, cfgTarget},
                                                    {10035, kBlue, cfgPlus},
                                                    {10037, kBlue, cfgMinus}};
    for (const auto& [id, colour, glyph] : tiles) {
        add(bmp(id), small, [=](QPainter& p) { tile(p, small, colour, glyph, false); });
        add(bmp(id + 1), small, [=](QPainter& p) { tile(p, small, colour, glyph, true); });
    }
    // The dots of the operating point and the sliders' bars.
    const QSize dot(14, 14);
    const std::pair<int, QColor> dots[] = {
        {10039, kRed}, {10040, kGreen}, {10076, kAmber}, {10041, kGreen}, {10042, kBlue}};
    for (const auto& [id, colour] : dots)
        add(bmp(id), dot, [=](QPainter& p) { cfgPoint(p, QSizeF(dot), colour); });
    add(QStringLiteral("bmp/cfgtrack"), {120, 14}, [](QPainter& p) { cfgTrack(p, QSizeF(120, 14)); });
    const QSize lampSize(24, 24);
    add(QStringLiteral("bmp/obdinfo"), lampSize, [=](QPainter& p) { lamp(p, lampSize, kAmber, cfgInfo); });
    add(QStringLiteral("bmp/obdok"), lampSize, [=](QPainter& p) { lamp(p, lampSize, kGreen, check); });
    add(QStringLiteral("bmp/obdko"), lampSize, [=](QPainter& p) { lamp(p, lampSize, kRed, cross); });
    add(bmp(10043), {64, 64}, [](QPainter& p) { connection(p, true); });
    add(bmp(10044), {64, 64}, [](QPainter& p) { connection(p, false); });
}

// ---- configuration window (end) ----

std::vector<Picture> build()
{
    std::vector<Picture> v;
    auto add = [&v](QString name, QSize size, int frames, std::function<void(QPainter&, int)> draw) {
        v.push_back(Picture{std::move(name), size, frames, std::move(draw)});
    };
    auto bmp = [](int id) { return QStringLiteral("bmp/%1").arg(id); };
    auto button = [&](int released, int pressed, QSize size, QColor colour, Glyph glyph, qreal scale = 1) {
        add(bmp(released), size, 1, [=](QPainter& p, int) { tile(p, size, colour, glyph, false, scale); });
        add(bmp(pressed), size, 1, [=](QPainter& p, int) { tile(p, size, colour, glyph, true, scale); });
    };

    add(bmp(10001), {64, 64}, 1, [](QPainter& p, int) { connection(p, true); });
    add(bmp(10002), {64, 64}, 1, [](QPainter& p, int) { connection(p, false); });
    button(10003, 10004, {72, 72}, kRed, power, 1.2);
    const QSize big(150, 120);
    button(10005, 10006, big, kBlue, gear);
    button(10007, 10008, big, kBlue, gauge);
    button(10009, 10010, big, kBlue, chart);
    button(10011, 10013, big, kBlue, globe); // there is no 10012
    button(10014, 10015, big, kBlue, [](QPainter& p) { folderArrow(p, true); });
    button(10016, 10017, big, kBlue, [](QPainter& p) { folderArrow(p, false); });
    button(10018, 10019, big, kBlue, chip);
    button(10020, 10021, big, kBlue, schematic);
    const QSize small(96, 64);
    button(10049, 10050, small, kBlue, envelope, 1.3);
    button(10051, 10052, small, kGreen, check, 1.3);
    button(10053, 10054, small, kRed, cross, 1.3);
    button(10045, 10046, small, kAmber, resetArrow, 1.3);
    // ---- real-time graph pictures (begin) ----
    button(10065, 10066, small, kBlue, printer, 1.1);
    button(10067, 10068, small, kBlue, zoomOut, 1.1);
    button(10073, 10074, small, kRed, cross, 1.1);
    button(10081, 10082, small, kBlue, [](QPainter& p) { folderArrow(p, true); }, 1.1);
    button(10083, 10084, small, kBlue, [](QPainter& p) { folderArrow(p, false); }, 1.1);
    button(10085, 10086, small, kGreen, play, 1.1);
    button(10087, 10088, small, kRed, stopSquare, 1.1);
    // ---- real-time graph pictures (end) ----
    const QSize lampSize(48, 48);
    add(QStringLiteral("bmp/injok"), lampSize, 1, [=](QPainter& p, int) { lamp(p, lampSize, kGreen, check); });
    add(QStringLiteral("bmp/injko"), lampSize, 1, [=](QPainter& p, int) { lamp(p, lampSize, kRed, cross); });
    add(QStringLiteral("bmp/injon"), lampSize, 1, [=](QPainter& p, int) { injector(p, lampSize, true); });
    add(QStringLiteral("bmp/injoff"), lampSize, 1, [=](QPainter& p, int) { injector(p, lampSize, false); });
    add(QStringLiteral("bmp/esci"), {32, 32}, 1, [](QPainter& p, int) { exitDoor(p, QSizeF(32, 32)); });

    const QSize ecuSize(400, 250);
    const std::pair<int, const char*> ecus[] = {
        {10077, "ECU"}, {10078, "VANT"}, {10079, "BUILT-IN TAP"}, {10080, "OBD"}, {10089, "MONOPLUG"}};
    for (const auto& [id, caption] : ecus) {
        const QString text = QString::fromLatin1(caption);
        add(bmp(id), ecuSize, 1, [text](QPainter& p, int) { ecu(p, text); });
    }

    // ---- live view window ----
    button(10055, 10056, {110, 72}, kRed, [](QPainter&) {}); // the caption lies over it
    button(10057, 10058, {96, 64}, kBlue, switchArrows, 1.3);
    button(10059, 10060, {48, 48}, kRed, record, 1.0);
    button(10061, 10062, {48, 48}, kBlue, stopSquare, 1.0);
    button(10063, 10064, {48, 48}, kGreen, chart, 1.2);
    const QSize fuelSize(96, 64);
    add(QStringLiteral("bmp/gason"), fuelSize, 1, [=](QPainter& p, int) { stateLamp(p, fuelSize, kGreen, true, QStringLiteral("GAS")); });
    add(QStringLiteral("bmp/gasoff"), fuelSize, 1, [=](QPainter& p, int) { stateLamp(p, fuelSize, kGreen, false, QStringLiteral("GAS")); });
    add(QStringLiteral("bmp/benzinaon"), fuelSize, 1, [=](QPainter& p, int) { stateLamp(p, fuelSize, kAmber, true, QStringLiteral("BENZ")); });
    add(QStringLiteral("bmp/benzinaoff"), fuelSize, 1, [=](QPainter& p, int) { stateLamp(p, fuelSize, kAmber, false, QStringLiteral("BENZ")); });
    add(QStringLiteral("bmp/keyon"), fuelSize, 1, [=](QPainter& p, int) { stateLamp(p, fuelSize, kBlue, true, QStringLiteral("KEY")); });
    add(QStringLiteral("bmp/keyoff"), fuelSize, 1, [=](QPainter& p, int) { stateLamp(p, fuelSize, kBlue, false, QStringLiteral("KEY")); });
    add(QStringLiteral("bmp/nosignal"), {32, 32}, 1, [](QPainter& p, int) { noSignal(p, QSizeF(32, 32)); });
    add(QStringLiteral("bmp/dialgiri"), {330, 330}, 1,
        [](QPainter& p, int) { dialFace(p, QSizeF(330, 330), -28, 239, 13, QPointF(165, 165), 150); });
    add(QStringLiteral("bmp/dialtemp"), {200, 160}, 1,
        [](QPainter& p, int) { dialFace(p, QSizeF(200, 160), 90, 80, 8, QPointF(66, 105.6), 92); });
    add(QStringLiteral("bmp/dialiniettori"), {160, 120}, 1,
        [](QPainter& p, int) { dialFace(p, QSizeF(160, 120), 45, 90, 6, QPointF(81.6, 112.8), 58); });
    // ---- end of the live view window ----

    add(QStringLiteral("bmp/logo"), {260, 64}, 1, [](QPainter& p, int) { logo(p, QSizeF(260, 64)); });
    add(QStringLiteral("bmp/koa"), {48, 48}, 1, [](QPainter& p, int) { wireless(p); });
    add(QStringLiteral("bmp/listconfig"), {50, 55}, 1, [](QPainter& p, int) { listIcon(p); });
    add(QStringLiteral("bmp/splash"), {662, 184}, 1, [](QPainter& p, int) { splash(p); });

    autocalPictures([&](QString name, QSize size, std::function<void(QPainter&)> draw) {
        add(std::move(name), size, 1, [draw](QPainter& p, int) { draw(p); });
    });
    // ---- configuration window ----
    configPictures([&](QString name, QSize size, std::function<void(QPainter&)> draw) {
        add(std::move(name), size, 1, [draw](QPainter& p, int) { draw(p); });
    });

    add(QStringLiteral("anim/10000"), {130, 100}, 7, [](QPainter& p, int f) { cylinder(p, f, 7); });
    add(QStringLiteral("anim/find"), {96, 64}, 8, [](QPainter& p, int f) { magnifier(p, f, 8); });
    return v;
}

} // namespace

const std::vector<Picture>& Catalogue()
{
    static const std::vector<Picture> pictures = build();
    return pictures;
}

const Picture* Find(const QString& name)
{
    for (const Picture& p : Catalogue())
        if (p.name == name)
            return &p;
    return nullptr;
}

QImage render(const Picture& picture)
{
    const QSize frame = picture.size * kRatio;
    QImage image(frame.width() * picture.frames, frame.height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int f = 0; f < picture.frames; ++f) {
        QPainter p(&image);
        p.setClipRect(QRect(QPoint(f * frame.width(), 0), frame));
        p.translate(f * frame.width(), 0);
        p.scale(kRatio, kRatio);
        picture.draw(p, f);
    }
    image.setText(QStringLiteral("dpr"), QString::number(kRatio));
    image.setText(QStringLiteral("frames"), QString::number(picture.frames));
    return image;
}

} // namespace picgen
