#include "NeedleGauges.h"

#include <QPainter>
#include <QPen>
#include <cmath>
#include <numbers>

namespace qz::live {

namespace {

constexpr double kPi = std::numbers::pi;
// Temperature needles at or above the upper bound: 170 degrees.
constexpr double kTempTopAngle = 2.9670597283903604;

int truncInt(double v)
{
    return static_cast<int>(std::trunc(v));
}

QPoint truncPoint(double x, double y)
{
    return {truncInt(x), truncInt(y)};
}

const QRect& pictureOf(const TGaugeLayout& layout, TGaugeDial dial)
{
    switch (dial) {
    case TGaugeDial::EngineSpeed: return layout.Giri;
    case TGaugeDial::ReducerTemp: return layout.TempRid;
    case TGaugeDial::GasTemp: return layout.TempGas;
    case TGaugeDial::InjectorSize: break;
    }
    return layout.Iniettori;
}

// A temperature needle: the range [low, high) maps to 90..169 degrees.
double temperatureAngle(long long v, long long low, long long high)
{
    if (v < low)
        return kPi / 2;
    if (v >= high)
        return kTempTopAngle;
    const long long q = (v * 80 - low * 80) / 80;
    return (q * 2 + 180) * kPi / 360;
}

QPen needlePen(const QColor& colour, int width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

double radialAngleDegrees(QPoint centre, QPoint p)
{
    // Screen y grows downward; QPainter angles grow counter-clockwise.
    return std::atan2(double(centre.y() - p.y()), double(p.x() - centre.x())) * 180 / kPi;
}

} // namespace

TGaugeGeometry GaugeGeometry(const TGaugeLayout& layout, TGaugeDial dial)
{
    const QRect& p = pictureOf(layout, dial);
    const double L = p.left(), T = p.top(), W = p.width(), H = p.height();
    const int wi = layout.Iniettori.width();
    switch (dial) {
    case TGaugeDial::EngineSpeed:
        return {truncPoint(L + 0.5 * W, T + 0.5 * H), truncInt(0.25 * wi), truncInt(0.96 * wi), 8};
    case TGaugeDial::ReducerTemp:
        return {truncPoint(L + 0.33 * W, T + 0.66 * H), wi / 6, wi / 2, 6};
    case TGaugeDial::GasTemp:
        return {truncPoint(L + 0.34 * W, T + 0.66 * H), wi / 6, wi / 2, 6};
    case TGaugeDial::InjectorSize:
        break;
    }
    return {truncPoint(L + 0.51 * W, T + 0.94 * H), truncInt(0.13 * H), truncInt(0.49 * H), 4};
}

double GaugeAngle(TGaugeDial dial, int value)
{
    // 64-bit products: no value overflows them.
    const long long v = value;
    switch (dial) {
    case TGaugeDial::EngineSpeed: {
        if (v < 500 || v >= 7000)
            return -56 * kPi / 360;
        const long long q = (v * 240 - 120000) / 6500;
        return (q * 2 - 56) * kPi / 360;
    }
    case TGaugeDial::ReducerTemp: return temperatureAngle(v, 30, 110);
    case TGaugeDial::GasTemp: return temperatureAngle(v, 20, 100);
    case TGaugeDial::InjectorSize: {
        return ((v * 90) / 100 * 2 + 90) * kPi / 360;
    }
    }
    return 0;
}

QLine NeedleLine(const TGaugeGeometry& g, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const QPoint inner(g.Centre.x() - truncInt(g.InnerRadius * c), g.Centre.y() - truncInt(g.InnerRadius * s));
    const QPoint outer(g.Centre.x() - truncInt(g.OuterRadius * c), g.Centre.y() - truncInt(g.OuterRadius * s));
    return {inner, outer};
}

TArcSpan TemperatureHubArc(const QRect& picture, QPoint centre)
{
    const double L = picture.left(), T = picture.top(), W = picture.width(), H = picture.height();
    const QPoint start(truncInt(L + 0.68 * W), picture.top() + picture.height());
    const QPoint end(picture.left(), truncInt(T + 0.32 * H));
    const double a0 = radialAngleDegrees(centre, start);
    double span = radialAngleDegrees(centre, end) - a0;
    while (span <= 0)
        span += 360;
    while (span > 360)
        span -= 360;
    return {static_cast<int>(std::lround(a0 * 16)), static_cast<int>(std::lround(span * 16))};
}

namespace {

// The hub's bounds: the circle of the inner radius.
QRect hubRect(const TGaugeGeometry& g)
{
    return {g.Centre.x() - g.InnerRadius, g.Centre.y() - g.InnerRadius, 2 * g.InnerRadius, 2 * g.InnerRadius};
}

// Half the widest pen and a pixel of rounding on every side.
QRect grown(const QRect& r, int penWidth)
{
    const int m = penWidth / 2 + 2;
    return r.adjusted(-m, -m, m, m);
}

constexpr int kHubPenWidth = 4;

} // namespace

void DrawGaugeHub(QPainter& painter, const TGaugeLayout& layout, TGaugeDial dial, const QColor& windowColour)
{
    if (dial == TGaugeDial::InjectorSize)
        return;
    const TGaugeGeometry g = GaugeGeometry(layout, dial);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(needlePen(kGaugeNeedleColour, kHubPenWidth));
    const QRect hub = hubRect(g);
    if (dial == TGaugeDial::EngineSpeed) {
        painter.setBrush(windowColour);
        painter.drawEllipse(hub);
    } else {
        const TArcSpan arc = TemperatureHubArc(pictureOf(layout, dial), g.Centre);
        painter.drawArc(hub, arc.Start16, arc.Span16);
    }
    painter.restore();
}

void DrawGaugeNeedle(QPainter& painter, const TGaugeLayout& layout, TGaugeDial dial, int value,
                     const QColor& windowColour)
{
    const TGaugeGeometry g = GaugeGeometry(layout, dial);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(needlePen(kGaugeNeedleColour, g.PenWidth));
    painter.drawLine(NeedleLine(g, GaugeAngle(dial, value)));
    painter.restore();
    DrawGaugeHub(painter, layout, dial, windowColour);
}

QRect GaugeHubArea(const TGaugeLayout& layout, TGaugeDial dial)
{
    if (dial == TGaugeDial::InjectorSize)
        return {};
    return grown(hubRect(GaugeGeometry(layout, dial)), kHubPenWidth);
}

QRect GaugeNeedleArea(const TGaugeLayout& layout, TGaugeDial dial, int value)
{
    const TGaugeGeometry g = GaugeGeometry(layout, dial);
    const QLine n = NeedleLine(g, GaugeAngle(dial, value));
    const QRect line = grown(QRect(n.p1(), n.p2()).normalized(), g.PenWidth);
    return line.united(GaugeHubArea(layout, dial));
}

} // namespace qz::live
