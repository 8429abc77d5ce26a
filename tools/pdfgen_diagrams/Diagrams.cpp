#include "Diagrams.h"

#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>

namespace pdfgen {

const std::vector<Diagram>& Catalogue()
{
    // One electrical LPG diagram carries an upper-case extension, as files
    // copied from other systems often do; the browser lists it all the same.
    static const std::vector<Diagram> diagrams = {
        {QStringLiteral("ElectricalLPG/LPG 4 cylinders.pdf"), Drawing::Electrical, Fuel::Lpg, 4},
        {QStringLiteral("ElectricalLPG/LPG 6-8 cylinders.PDF"), Drawing::Electrical, Fuel::Lpg, 8},
        {QStringLiteral("ElectricalCNG/CNG 4 cylinders.pdf"), Drawing::Electrical, Fuel::Cng, 4},
        {QStringLiteral("ElectricalCNG/CNG 6-8 cylinders.pdf"), Drawing::Electrical, Fuel::Cng, 8},
        {QStringLiteral("PneumaticLPG/LPG 4 cylinders.pdf"), Drawing::Pneumatic, Fuel::Lpg, 4},
        {QStringLiteral("PneumaticLPG/LPG 6-8 cylinders.pdf"), Drawing::Pneumatic, Fuel::Lpg, 8},
        {QStringLiteral("PneumaticCNG/CNG 4 cylinders.pdf"), Drawing::Pneumatic, Fuel::Cng, 4},
        {QStringLiteral("PneumaticCNG/CNG 6-8 cylinders.pdf"), Drawing::Pneumatic, Fuel::Cng, 8},
    };
    return diagrams;
}

const Diagram* Find(const QString& name)
{
    for (const Diagram& d : Catalogue())
        if (d.name == name)
            return &d;
    return nullptr;
}

namespace {

// A4 landscape at 72 dots per inch: one unit is one point.
constexpr int kResolution = 72;
constexpr qreal kPageW = 842;
constexpr qreal kPageH = 595;

const QColor kInk(30, 40, 60);
const QColor kBox(236, 242, 248);
const QColor kRed(200, 30, 30);
const QColor kBlack(20, 20, 20);
const QColor kBrown(130, 80, 30);
const QColor kGrey(120, 120, 120);
const QColor kViolet(120, 60, 160);
const QColor kGreen(40, 130, 70);
const QColor kBlue(30, 90, 180);
const QColor kYellow(200, 160, 0);
const QColor kOrange(220, 120, 20);

QFont sans(qreal size, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(1, static_cast<int>(size)));
    f.setBold(bold);
    return f;
}

QString fuelName(Fuel fuel)
{
    return fuel == Fuel::Lpg ? QStringLiteral("LPG") : QStringLiteral("CNG");
}

void text(QPainter& p, const QRectF& r, const QString& s, qreal size = 8, bool bold = false,
          int flags = Qt::AlignCenter | Qt::TextWordWrap)
{
    p.setFont(sans(size, bold));
    p.setPen(kInk);
    p.drawText(r, flags, s);
}

void box(QPainter& p, const QRectF& r, const QString& label, qreal size = 8)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kBox);
    p.drawRoundedRect(r, 4, 4);
    text(p, r.adjusted(3, 2, -3, -2), label, size);
}

void wire(QPainter& p, QPointF a, QPointF b, const QColor& colour, const QString& label = {},
          Qt::PenStyle style = Qt::SolidLine, qreal width = 1.6)
{
    QPen pen(colour, width, style, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.drawLine(a, b);
    if (!label.isEmpty()) {
        const QRectF r(std::min(a.x(), b.x()), std::min(a.y(), b.y()) - 11, std::abs(b.x() - a.x()), 10);
        text(p, r, label, 6.5, false, Qt::AlignCenter);
    }
}

void ground(QPainter& p, QPointF top)
{
    p.setPen(QPen(kBlack, 1.4));
    p.drawLine(top, top + QPointF(0, 6));
    for (int i = 0; i < 3; ++i) {
        const qreal half = 8 - i * 3;
        const qreal y = top.y() + 6 + i * 3;
        p.drawLine(QPointF(top.x() - half, y), QPointF(top.x() + half, y));
    }
}

void battery(QPainter& p, QPointF centre)
{
    // The long plate is the positive one, on the right.
    p.setPen(QPen(kBlack, 3));
    p.drawLine(centre + QPointF(-3, -6), centre + QPointF(-3, 6));
    p.setPen(QPen(kBlack, 1.6));
    p.drawLine(centre + QPointF(3, -12), centre + QPointF(3, 12));
    text(p, QRectF(centre.x() - 14, centre.y() - 24, 10, 10), QStringLiteral("-"), 9, true);
    text(p, QRectF(centre.x() + 4, centre.y() - 24, 10, 10), QStringLiteral("+"), 9, true);
}

void fuse(QPainter& p, QPointF centre, const QString& rating)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(centre.x() - 10, centre.y() - 4, 20, 8));
    p.drawLine(centre + QPointF(-10, 0), centre + QPointF(10, 0));
    text(p, QRectF(centre.x() - 20, centre.y() + 5, 40, 10), rating, 6.5);
}

void injector(QPainter& p, QPointF top, const QString& label, qreal scale = 1)
{
    p.setPen(QPen(kInk, 1.1));
    p.setBrush(kBox);
    const QRectF body(top.x() - 6 * scale, top.y(), 12 * scale, 18 * scale);
    p.drawRect(body);
    const QPointF nozzle[] = {{body.left() + 3 * scale, body.bottom()},
                              {body.right() - 3 * scale, body.bottom()},
                              {body.center().x(), body.bottom() + 6 * scale}};
    p.drawPolygon(nozzle, 3);
    text(p, QRectF(top.x() - 12, body.bottom() + 6 * scale, 24, 10), label, 6.5);
}

void sensor(QPainter& p, QPointF centre, const QString& letter)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 9, 9);
    text(p, QRectF(centre.x() - 9, centre.y() - 9, 18, 18), letter, 8, true);
}

void coil(QPainter& p, QPointF centre)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    const QRectF r(centre.x() - 10, centre.y() - 7, 20, 14);
    p.drawRect(r);
    p.drawLine(r.bottomLeft(), r.topRight());
}

void frame(QPainter& p, const Diagram& d, const QString& title)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(20, 20, kPageW - 40, kPageH - 40));
    const QRectF block(kPageW - 330, kPageH - 95, 310, 75);
    p.drawRect(block);
    p.drawLine(QPointF(block.left(), block.top() + 26), QPointF(block.right(), block.top() + 26));
    text(p, QRectF(block.left() + 6, block.top() + 3, block.width() - 12, 22), title, 11, true,
         Qt::AlignLeft | Qt::AlignVCenter);
    text(p, QRectF(block.left() + 6, block.top() + 28, block.width() - 12, 44),
         QStringLiteral("Generic sequential %1 injection, %2 cylinders\n"
                        "Demo drawing of the Quorin Zelkon program: shows how the diagram "
                        "browser works. Not for fitting a kit.")
             .arg(fuelName(d.fuel), d.cylinders == 8 ? QStringLiteral("6-8") : QString::number(d.cylinders)),
         7, false, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
}

// ---- electrical ----

void electrical(QPainter& p, const Diagram& d)
{
    frame(p, d, QStringLiteral("ELECTRICAL WIRING - %1").arg(fuelName(d.fuel)));

    const QRectF ecu(330, 60, 130, 420);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(214, 226, 240));
    p.drawRoundedRect(ecu, 6, 6);
    text(p, QRectF(ecu.left(), ecu.top() + 8, ecu.width(), 30), QStringLiteral("GAS ECU"), 14, true);
    text(p, QRectF(ecu.left(), ecu.bottom() - 40, ecu.width(), 30),
         QStringLiteral("%1 cylinders").arg(d.cylinders), 9);

    auto pin = [&](bool right, qreal y, int number) {
        const qreal x = right ? ecu.right() : ecu.left();
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(x - 4, y - 4, 8, 8));
        text(p, QRectF(right ? x - 30 : x + 8, y - 6, 22, 12), QString::number(number), 7, false,
             right ? (Qt::AlignRight | Qt::AlignVCenter) : (Qt::AlignLeft | Qt::AlignVCenter));
        return QPointF(right ? x + 4 : x - 4, y);
    };

    // Left: supply, signals and the links to the driver.
    const qreal lx = 230; // where the wires leave the parts
    {
        const QPointF a = pin(false, 100, 1);
        battery(p, QPointF(90, 100));
        wire(p, QPointF(93, 100), QPointF(190, 100), kRed);
        fuse(p, QPointF(200, 100), QStringLiteral("F1 15 A"));
        wire(p, QPointF(210, 100), a, kRed, QStringLiteral("red  +12 V permanent"));
        wire(p, QPointF(87, 100), QPointF(50, 100), kBlack);
        wire(p, QPointF(50, 100), QPointF(50, 104), kBlack);
        ground(p, QPointF(50, 104));
        text(p, QRectF(60, 116, 70, 12), QStringLiteral("Battery 12 V"), 7);
    }
    {
        const QPointF a = pin(false, 165, 2);
        box(p, QRectF(60, 150, 110, 30), QStringLiteral("Ignition key (+15)"));
        fuse(p, QPointF(200, 165), QStringLiteral("F2 5 A"));
        wire(p, QPointF(170, 165), QPointF(190, 165), kBrown);
        wire(p, QPointF(210, 165), a, kBrown, QStringLiteral("brown  +12 V under key"));
    }
    {
        const QPointF a = pin(false, 220, 3);
        wire(p, QPointF(lx, 220), a, kBlack, QStringLiteral("black  ground"));
        wire(p, QPointF(lx, 220), QPointF(lx, 226), kBlack);
        ground(p, QPointF(lx, 226));
        text(p, QRectF(60, 212, 150, 16), QStringLiteral("Ground on the engine block"), 7, false,
             Qt::AlignRight | Qt::AlignVCenter);
    }
    {
        const QPointF a = pin(false, 275, 4);
        box(p, QRectF(60, 260, 150, 30), QStringLiteral("Engine speed signal\n(ignition coil or petrol ECU)"), 7);
        wire(p, QPointF(210, 275), a, kGrey, QStringLiteral("grey  rpm"));
    }
    {
        const QPointF a = pin(false, 330, 5);
        box(p, QRectF(60, 315, 150, 30), QStringLiteral("Lambda probe signal\n(in parallel, not cut)"), 7);
        wire(p, QPointF(210, 330), a, kViolet, QStringLiteral("violet  lambda"));
    }
    {
        const QPointF a = pin(false, 385, 6);
        const QPointF b = pin(false, 397, 7);
        box(p, QRectF(60, 373, 150, 36), QStringLiteral("Diagnostic socket\n(serial link to the PC)"), 7);
        wire(p, QPointF(210, 385), a, kGreen, QStringLiteral("green / white  TX RX"));
        wire(p, QPointF(210, 397), b, kGreen, {}, Qt::DashLine);
    }
    {
        const QPointF a = pin(false, 445, 8);
        box(p, QRectF(60, 428, 150, 34), QStringLiteral("Changeover switch\nwith fuel level LEDs and buzzer"), 7);
        wire(p, QPointF(210, 445), a, kBlue, QStringLiteral("blue  switch cable"), Qt::SolidLine, 3);
    }

    // Right: gas injectors, the petrol injectors' harness, sensors, valves.
    const qreal rx = 570;
    const qreal rw = 240;
    {
        const QPointF a = pin(true, 90, 10);
        box(p, QRectF(rx, 62, rw, 18), QStringLiteral("Gas injectors (one driver each, common +12 V)"), 7);
        wire(p, a, QPointF(rx, 90), kYellow, QStringLiteral("yellow  injector drivers"), Qt::SolidLine, 3);
        p.setPen(QPen(kYellow, 1.6));
        p.drawLine(QPointF(rx, 90), QPointF(rx + rw, 90));
        const qreal step = rw / d.cylinders;
        const qreal scale = d.cylinders > 4 ? 0.8 : 1.0;
        for (int i = 0; i < d.cylinders; ++i) {
            const qreal x = rx + step * (i + 0.5);
            p.setPen(QPen(kYellow, 1.4));
            p.drawLine(QPointF(x, 90), QPointF(x, 98));
            injector(p, QPointF(x, 98), QStringLiteral("G%1").arg(i + 1), scale);
        }
    }
    {
        const QPointF a = pin(true, 175, 11);
        const QRectF r(rx, 155, rw, 40);
        box(p, r, {});
        text(p, QRectF(r.left() + 4, r.top() + 2, r.width() - 8, 12),
             QStringLiteral("Petrol injectors: cut and emulated while on gas"), 7);
        const qreal step = rw / d.cylinders;
        for (int i = 0; i < d.cylinders; ++i) {
            const qreal x = rx + step * (i + 0.5);
            p.setPen(QPen(kInk, 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(x - 7, r.top() + 18, 14, 10));
            text(p, QRectF(x - 10, r.top() + 28, 20, 10), QStringLiteral("P%1").arg(i + 1), 6);
        }
        wire(p, a, QPointF(rx, 175), kOrange, QStringLiteral("orange  petrol harness"), Qt::SolidLine, 3);
    }
    auto part = [&](qreal y, int number, const QString& label, const QColor& colour, const QString& wireLabel) {
        const QPointF a = pin(true, y, number);
        box(p, QRectF(rx + 30, y - 16, rw - 30, 32), label, 7.5);
        wire(p, a, QPointF(rx + 10, y), colour, wireLabel);
        return QPointF(rx + 10, y);
    };
    sensor(p, part(245, 12, QStringLiteral("Gas pressure and manifold pressure sensor"), kViolet,
                   QStringLiteral("violet / black  pressures")),
           QStringLiteral("P"));
    sensor(p, part(300, 13,
                   d.fuel == Fuel::Lpg ? QStringLiteral("Reducer temperature sensor")
                                       : QStringLiteral("Pressure regulator temperature sensor"),
                   kGrey, QStringLiteral("grey / black  temperature")),
           QStringLiteral("T"));
    coil(p, part(355, 14,
                 d.fuel == Fuel::Lpg ? QStringLiteral("Solenoid valves: reducer and multivalve")
                                     : QStringLiteral("Solenoid valves: regulator and cylinder valves"),
                 kRed, QStringLiteral("red / black  valves")));
    sensor(p, part(410, 15,
                   d.fuel == Fuel::Lpg ? QStringLiteral("Tank level sensor on the multivalve")
                                       : QStringLiteral("High-pressure sensor (cylinder level)"),
                   kGreen, QStringLiteral("green  level")),
           QStringLiteral("L"));
}

// ---- pneumatic ----

void pipe(QPainter& p, const QList<QPointF>& points, const QColor& colour, qreal width,
          Qt::PenStyle style = Qt::SolidLine)
{
    p.setPen(QPen(colour, width, style, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(points.constData(), static_cast<int>(points.size()));
}

void cylinderTank(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(225, 232, 238));
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
}

void pneumatic(QPainter& p, const Diagram& d)
{
    frame(p, d, QStringLiteral("GAS CIRCUIT - %1").arg(fuelName(d.fuel)));
    const bool lpg = d.fuel == Fuel::Lpg;
    const QColor high = lpg ? kInk : kRed; // liquid LPG or high-pressure CNG
    const qreal lineY = 245;

    // The tank side.
    QPointF tankOut;
    if (lpg) {
        const QRectF tank(40, 200, 180, 90);
        cylinderTank(p, tank);
        text(p, tank, QStringLiteral("LPG tank"), 10, true);
        sensor(p, QPointF(tank.right() - 30, tank.top()), QStringLiteral("M"));
        text(p, QRectF(tank.right() - 150, tank.top() - 14, 100, 12), QStringLiteral("Multivalve with level"), 7, false,
             Qt::AlignRight | Qt::AlignVCenter);
        tankOut = QPointF(tank.right() - 21, tank.top());
        pipe(p, {tankOut, QPointF(tankOut.x(), 170), QPointF(250, 170), QPointF(250, lineY)}, high, 2.5);
        box(p, QRectF(40, 360, 130, 32), QStringLiteral("Refuelling point"));
        pipe(p, {QPointF(105, 360), QPointF(105, tank.bottom())}, high, 2.5);
    } else {
        for (int i = 0; i < 2; ++i) {
            const QRectF tank(40, 150 + i * 90, 180, 56);
            cylinderTank(p, tank);
            text(p, tank, QStringLiteral("CNG cylinder %1").arg(i + 1), 9, true);
            coil(p, QPointF(tank.right() + 12, tank.center().y()));
            pipe(p, {QPointF(tank.right() + 22, tank.center().y()), QPointF(250, tank.center().y())}, high, 2);
        }
        pipe(p, {QPointF(250, 178), QPointF(250, 340)}, high, 2);
        text(p, QRectF(40, 312, 180, 12), QStringLiteral("Cylinder valves with solenoid"), 7);
        box(p, QRectF(40, 360, 130, 32), QStringLiteral("Refuelling valve"));
        pipe(p, {QPointF(170, 376), QPointF(250, 376), QPointF(250, 340)}, high, 2);
        sensor(p, QPointF(250, 300), QStringLiteral("H"));
        text(p, QRectF(262, 294, 80, 12), QStringLiteral("High pressure"), 7, false, Qt::AlignLeft);
    }

    // Solenoid valve, reducer, filter.
    pipe(p, {QPointF(250, lineY), QPointF(275, lineY)}, high, 2.5);
    coil(p, QPointF(285, lineY));
    text(p, QRectF(255, lineY + 10, 60, 20), QStringLiteral("Solenoid\nvalve"), 7);
    pipe(p, {QPointF(295, lineY), QPointF(340, lineY)}, high, 2.5);
    const QRectF reducer(340, 195, 120, 100);
    box(p, reducer, lpg ? QStringLiteral("Reducer /\nvaporizer") : QStringLiteral("Pressure\nregulator"), 9);
    const QRectF coolant(340, 400, 120, 34);
    box(p, coolant, QStringLiteral("Engine cooling circuit"));
    pipe(p, {QPointF(370, reducer.bottom()), QPointF(370, coolant.top())}, kOrange, 2, Qt::DashLine);
    pipe(p, {QPointF(430, reducer.bottom()), QPointF(430, coolant.top())}, kOrange, 2, Qt::DashLine);
    text(p, QRectF(300, 340, 66, 12), QStringLiteral("coolant in"), 6.5, false, Qt::AlignRight);
    text(p, QRectF(434, 340, 66, 12), QStringLiteral("coolant out"), 6.5, false, Qt::AlignLeft);

    pipe(p, {QPointF(reducer.right(), lineY), QPointF(500, lineY)}, kBlue, 3);
    const QRectF filter(500, lineY - 14, 40, 28);
    box(p, filter, QStringLiteral("Filter"), 7);

    // Rails and injectors.
    const int rails = d.cylinders > 4 ? 2 : 1;
    const int perRail = d.cylinders / rails;
    const QRectF manifold(580, 420, 230, 40);
    box(p, manifold, {});
    text(p, QRectF(manifold.left(), manifold.bottom() - 14, manifold.width(), 12),
         QStringLiteral("Intake manifold: one nozzle per cylinder"), 7);
    const qreal nozzleStep = manifold.width() / d.cylinders;
    // Both banks' rails side by side, fed from a line above them.
    const qreal railY = 200;
    const qreal feedY = 178;
    const qreal gap = 20;
    const qreal railW = (190 - gap * (rails - 1)) / rails;
    pipe(p, {QPointF(filter.right(), lineY), QPointF(565, lineY), QPointF(565, feedY)}, kBlue, 3);
    for (int r = 0; r < rails; ++r) {
        const QRectF rail(600 + r * (railW + gap), railY, railW, 16);
        pipe(p, {QPointF(565, feedY), QPointF(rail.center().x(), feedY), QPointF(rail.center().x(), rail.top())}, kBlue,
             3);
        p.setPen(QPen(kInk, 1.3));
        p.setBrush(QColor(200, 214, 228));
        p.drawRect(rail);
        text(p, QRectF(rail.left(), rail.top() - 36, rail.width(), 12),
             rails == 1 ? QStringLiteral("Injector rail") : QStringLiteral("Rail, bank %1").arg(r + 1), 7);
        const qreal step = rail.width() / perRail;
        for (int i = 0; i < perRail; ++i) {
            const int n = r * perRail + i;
            const qreal x = rail.left() + step * (i + 0.5);
            injector(p, QPointF(x, rail.bottom()), QStringLiteral("G%1").arg(n + 1), 0.8);
            const qreal nx = manifold.left() + nozzleStep * (n + 0.5);
            pipe(p, {QPointF(x, rail.bottom() + 30), QPointF(x, rail.bottom() + 60), QPointF(nx, manifold.top() - 30),
                     QPointF(nx, manifold.top() + 8)},
                 kBlue, 1.2);
        }
    }

    // The pressure sensor: gas from the filter, vacuum from the manifold.
    sensor(p, QPointF(520, 150), QStringLiteral("P"));
    text(p, QRectF(470, 118, 100, 20), QStringLiteral("Gas / manifold\npressure sensor"), 7);
    pipe(p, {QPointF(520, 159), QPointF(520, filter.top())}, kBlue, 1.2);
    pipe(p, {QPointF(511, 150), QPointF(480, 150), QPointF(480, manifold.center().y()),
             QPointF(manifold.left(), manifold.center().y())},
         kGrey, 1.2, Qt::DashLine);

    // Legend.
    const qreal ly = kPageH - 88;
    struct Key {
        QColor colour;
        qreal width;
        Qt::PenStyle style;
        QString label;
    };
    const Key keys[] = {
        {high, 2.5, Qt::SolidLine, lpg ? QStringLiteral("liquid LPG") : QStringLiteral("high-pressure CNG (200 bar)")},
        {kBlue, 3, Qt::SolidLine, QStringLiteral("gas at injection pressure")},
        {kOrange, 2, Qt::DashLine, QStringLiteral("engine coolant")},
        {kGrey, 1.2, Qt::DashLine, QStringLiteral("manifold pressure hose")},
    };
    for (int i = 0; i < 4; ++i) {
        const qreal y = ly + i * 16;
        pipe(p, {QPointF(40, y), QPointF(80, y)}, keys[i].colour, keys[i].width, keys[i].style);
        text(p, QRectF(88, y - 7, 240, 14), keys[i].label, 7.5, false, Qt::AlignLeft | Qt::AlignVCenter);
    }
}

} // namespace

bool write(const Diagram& diagram, const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(kResolution);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
        pdf.setTitle(QStringLiteral("Demo diagram: %1").arg(diagram.name));
        pdf.setCreator(QStringLiteral("Quorin Zelkon qz-pdfgen"));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            if (error)
                *error = QStringLiteral("cannot paint on the PDF");
            return false;
        }
        painter.setRenderHint(QPainter::Antialiasing);
        if (diagram.drawing == Drawing::Electrical)
            electrical(painter, diagram);
        else
            pneumatic(painter, diagram);
        painter.end();
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace pdfgen
