#include "live/gauges/NeedleGauges.h"

#include <QImage>
#include <QPainter>
#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace qz::live;

namespace {

double degrees(double radians)
{
    return radians * 180 / std::numbers::pi;
}

// The injector picture is 80 wide: circular dials get r1 = 20 / r2 = 76
// (engine speed) and 13 / 40 (temperatures).
TGaugeLayout layout()
{
    TGaugeLayout l;
    l.Giri = QRect(10, 20, 201, 150);
    l.TempRid = QRect(250, 10, 100, 50);
    l.TempGas = QRect(-11, 200, 5, 101);  // left of the client area: trunc, not floor
    l.Iniettori = QRect(300, 200, 80, 60);
    return l;
}

} // namespace

TEST(NeedleGauges, GeometryFromPictureBounds)
{
    const struct {
        TGaugeDial dial;
        QPoint centre;
        int r1, r2, pen;
    } cases[] = {
        // (10 + 100.5, 20 + 75), trunc(0.25 x 80), trunc(0.96 x 80) = trunc(76.8)
        {TGaugeDial::EngineSpeed, {110, 95}, 20, 76, 8},
        // (250 + 33, 10 + 33), 80 div 6, 80 div 2
        {TGaugeDial::ReducerTemp, {283, 43}, 13, 40, 6},
        // (trunc(-11 + 1.7) = -9, trunc(200 + 66.66) = 266)
        {TGaugeDial::GasTemp, {-9, 266}, 13, 40, 6},
        // (300 + trunc(40.8), 200 + trunc(56.4)), trunc(0.13 x 60) = 7, trunc(0.49 x 60) = 29
        {TGaugeDial::InjectorSize, {340, 256}, 7, 29, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.dial));
        const TGaugeGeometry g = GaugeGeometry(layout(), c.dial);
        EXPECT_EQ(g.Centre, c.centre);
        EXPECT_EQ(g.InnerRadius, c.r1);
        EXPECT_EQ(g.OuterRadius, c.r2);
        EXPECT_EQ(g.PenWidth, c.pen);
    }
}

TEST(NeedleGauges, AnglesAtTheEdgesOfEveryRange)
{
    const struct {
        TGaugeDial dial;
        int value;
        double degrees;
    } cases[] = {
        {TGaugeDial::EngineSpeed, INT_MIN, -28}, {TGaugeDial::EngineSpeed, 0, -28},
        {TGaugeDial::EngineSpeed, 499, -28},     {TGaugeDial::EngineSpeed, 500, -28},
        {TGaugeDial::EngineSpeed, 527, -28},     {TGaugeDial::EngineSpeed, 528, -27},  // q steps at 527.08
        {TGaugeDial::EngineSpeed, 3750, 92},     {TGaugeDial::EngineSpeed, 6999, 211},
        {TGaugeDial::EngineSpeed, 7000, -28},    {TGaugeDial::EngineSpeed, INT_MAX, -28},
        {TGaugeDial::ReducerTemp, -40, 90},      {TGaugeDial::ReducerTemp, 29, 90},
        {TGaugeDial::ReducerTemp, 30, 90},       {TGaugeDial::ReducerTemp, 31, 91},
        {TGaugeDial::ReducerTemp, 109, 169},     {TGaugeDial::ReducerTemp, 110, 170},
        {TGaugeDial::ReducerTemp, INT_MAX, 170}, {TGaugeDial::GasTemp, 19, 90},
        {TGaugeDial::GasTemp, 20, 90},           {TGaugeDial::GasTemp, 99, 169},
        {TGaugeDial::GasTemp, 100, 170},         {TGaugeDial::InjectorSize, 0, 45},
        {TGaugeDial::InjectorSize, 1, 45},       {TGaugeDial::InjectorSize, 2, 46},
        {TGaugeDial::InjectorSize, -1, 45},      {TGaugeDial::InjectorSize, -3, 43},
        {TGaugeDial::InjectorSize, 50, 90},      {TGaugeDial::InjectorSize, 100, 135},
        {TGaugeDial::InjectorSize, 200, 225},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(degrees(GaugeAngle(c.dial, c.value)), c.degrees, 1e-6)
            << static_cast<int>(c.dial) << " at " << c.value;
    // Any percentage, without overflowing: q = 2147483647 x 90 div 100.
    EXPECT_NEAR(degrees(GaugeAngle(TGaugeDial::InjectorSize, INT_MAX)), 1932735282.0 + 45, 1e-3);
    EXPECT_EQ(GaugeAngle(TGaugeDial::GasTemp, 100), 2.9670597283903604);
    EXPECT_EQ(GaugeAngle(TGaugeDial::ReducerTemp, 29), std::numbers::pi / 2);
}

TEST(NeedleGauges, NeedleEndsTruncateTowardZero)
{
    TGaugeGeometry g;
    g.Centre = {100, 100};
    g.InnerRadius = 10;
    g.OuterRadius = 50;
    const double pi = std::numbers::pi;
    const struct {
        double angle;
        QLine line;
    } cases[] = {
        {0, {90, 100, 50, 100}},               // left
        {pi / 2, {100, 90, 100, 50}},          // up
        {pi, {110, 100, 150, 100}},            // right
        // -28 degrees: 10 cos = 8.83, 10 sin = -4.69, 50 cos = 44.15, 50 sin = -23.47
        {-56 * pi / 360, {92, 104, 56, 123}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NeedleLine(g, c.angle), c.line) << c.angle;
}

TEST(NeedleGauges, TemperatureHubArcRunsCounterClockwiseFromStartToEnd)
{
    // Picture (0, 0, 100, 100), centre (33, 66): the start point (68, 100)
    // lies at -44.17 degrees, the end point (0, 32) at 134.14.
    const TArcSpan arc = TemperatureHubArc(QRect(0, 0, 100, 100), QPoint(33, 66));
    EXPECT_NEAR(arc.Start16 / 16.0, -44.17, 0.1);
    EXPECT_NEAR(arc.Span16 / 16.0, 178.31, 0.1);
    // End point before the start point in angle: the span still goes counter-clockwise.
    const TArcSpan wide = TemperatureHubArc(QRect(0, 0, 100, 100), QPoint(90, 10));
    EXPECT_GT(wide.Span16, 0);
    EXPECT_LE(wide.Span16, 360 * 16);
}

TEST(NeedleGauges, NeedlesAndHubsPaintOnlyInsideTheAreaTheWindowRepaints)
{
    const QColor window(Qt::white);
    const QRgb blue = qRgb(0, 0, 255);
    TGaugeLayout l;
    l.Giri = QRect(0, 0, 200, 200);     // centre (100, 100), r1 20, r2 76
    l.TempRid = QRect(200, 0, 100, 100);  // centre (233, 66), r1 13, r2 40
    l.TempGas = QRect(0, 200, 100, 100);
    l.Iniettori = QRect(200, 200, 80, 100);  // centre (240, 294), r1 13, r2 49

    auto midpoint = [&](TGaugeDial dial, int value) {
        const QLine n = NeedleLine(GaugeGeometry(l, dial), GaugeAngle(dial, value));
        return (n.p1() + n.p2()) / 2;
    };
    const struct {
        TGaugeDial dial;
        std::vector<int> values;
    } dials[] = {
        {TGaugeDial::EngineSpeed, {0, 500, 1800, 3750, 6999}},
        {TGaugeDial::ReducerTemp, {0, 30, 70, 109, 200}},
        {TGaugeDial::GasTemp, {20, 60, 100}},
        {TGaugeDial::InjectorSize, {0, 50, 100}},
    };
    for (const auto& d : dials) {
        for (int v : d.values) {
            SCOPED_TRACE(testing::Message() << "dial " << int(d.dial) << " value " << v);
            QImage image(320, 320, QImage::Format_RGB32);
            image.fill(window);
            {
                QPainter p(&image);
                p.setRenderHint(QPainter::Antialiasing, true);  // the routine turns it off
                DrawGaugeNeedle(p, l, d.dial, v, window);
            }
            EXPECT_EQ(image.pixel(midpoint(d.dial, v)), blue);
            const QRect area = GaugeNeedleArea(l, d.dial, v);
            int outside = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    outside += image.pixel(x, y) != window.rgb() && !area.contains(x, y);
            EXPECT_EQ(outside, 0);
        }
    }

    // The engine-speed hub: filled with the window colour, outlined in blue;
    // drawn alone it leaves the needle out.
    QImage image(320, 320, QImage::Format_RGB32);
    image.fill(Qt::red);
    {
        QPainter p(&image);
        DrawGaugeHub(p, l, TGaugeDial::EngineSpeed, window);
        DrawGaugeHub(p, l, TGaugeDial::InjectorSize, window);  // has none
    }
    EXPECT_EQ(image.pixel(100, 100), window.rgb());
    EXPECT_EQ(image.pixel(80, 100), blue);
    EXPECT_EQ(image.pixel(midpoint(TGaugeDial::EngineSpeed, 3750)), qRgb(255, 0, 0));
    EXPECT_TRUE(GaugeHubArea(l, TGaugeDial::EngineSpeed).contains(QRect(80, 80, 41, 41)));
    EXPECT_TRUE(GaugeHubArea(l, TGaugeDial::InjectorSize).isEmpty());
    EXPECT_EQ(image.pixel(240, 294 - 30), qRgb(255, 0, 0));
}
