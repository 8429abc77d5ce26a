// The live view's rules without a window.
#include "live/view_rules/VisualizzaRules.h"

#include "datamodule/core/SensorTables.h"
#include "live/acquisition/AcquisitionFormat.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace visualizza;

TEST(LiveTexts, RpmIsCutDownToTens)
{
    for (auto [rpm, shown] : std::vector<std::pair<int, int>>{{0, 0}, {9, 0}, {10, 10}, {2487, 2480}, {6999, 6990}})
        EXPECT_EQ(RpmShown(rpm), shown) << rpm;
}

TEST(LiveTexts, ZeroMeansNotAvailable)
{
    const QString nd = QStringLiteral("n.d.");
    EXPECT_EQ(TemperatureText(0, QLatin1Char('.'), nd), nd);
    EXPECT_EQ(TemperatureText(45.26, QLatin1Char('.'), nd), QStringLiteral("45.3"));
    EXPECT_EQ(PressureText(0, QLatin1Char('.'), nd), nd);
    EXPECT_EQ(PressureText(112, QLatin1Char('.'), nd), QStringLiteral("1.12"));
    EXPECT_EQ(InjectionText(0, QLatin1Char('.')), QStringLiteral("0.00"));
}

TEST(Bars, WidthsAndTheFullPanelRule)
{
    struct Case {
        const char* what;
        int width, expected;
    };
    const int W = 362;  // W - 2 = 360
    const Case cases[] = {
        {"5 bar fills the inner width", GasPressureBar(500, W), 360},
        {"2.5 bar", GasPressureBar(250, W), 180},
        {"6 bar: the whole panel", GasPressureBar(600, W), W},
        {"5.01 bar still fits", GasPressureBar(501, W), 360},
        {"5.02 bar: the whole panel", GasPressureBar(502, W), W},
        {"MAP 1.25 bar", MapBar(125, W), 180},
        {"MAP 2.6 bar", MapBar(260, W), W},
        {"negative pressure shows nothing", GasPressureBar(-50, W), 0},
        {"10 ms", InjectionBar(10.0, W), 180},
        {"20 ms", InjectionBar(20.0, W), 360},
        {"25 ms", InjectionBar(25.0, W), W},
        {"3.3 ms truncates", InjectionBar(3.3, W), 59},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.width, c.expected) << c.what;
}

TEST(Bars, LambdaRangeByTypeAndWidth)
{
    struct Case {
        int type;
        double min, max;
    };
    for (const Case& c : {Case{1, 0.0, 5.0}, Case{2, 5.0, 0.0}, Case{3, 0.8, 1.6}, Case{4, -127.0, 128.0},
                          Case{0, 0.0, 1.0}, Case{5, 0.0, 1.0}}) {
        const LambdaRange r = LambdaRangeFor(c.type);
        EXPECT_EQ(r.Minimum, c.min) << c.type;
        EXPECT_EQ(r.Maximum, c.max) << c.type;
    }
    const int W = 102;
    EXPECT_EQ(LambdaBar(0.5, LambdaRangeFor(0), W), 50);
    EXPECT_EQ(LambdaBar(1.0, LambdaRangeFor(0), W), 100);
    EXPECT_EQ(LambdaBar(1.2, LambdaRangeFor(0), W), W);
    // Type 2 runs from 5 down to 0: a lower voltage gives a longer bar.
    EXPECT_EQ(LambdaBar(1.0, LambdaRangeFor(2), W), 80);
    EXPECT_EQ(LambdaBar(4.0, LambdaRangeFor(2), W), 20);
    EXPECT_EQ(LambdaBar(0.5, LambdaRangeFor(3), W), 0);  // below the range
}

TEST(Bars, LambdaColourRules)
{
    const LambdaRange range = LambdaRangeFor(1);
    const int W = 102;
    auto probe = [](bool present, bool enabled, int type, bool active, double volts, bool inverted) {
        ProbeInput p;
        p.TypesPresent = present;
        p.TypeEnabled = enabled;
        p.Type = type;
        p.SignalActive = active;
        p.Volts = volts;
        p.Reference = 0.45f;
        p.Inverted = inverted;
        return p;
    };
    const int w1 = LambdaBar(0.3, range, W);
    const int w2 = LambdaBar(0.6, range, W);
    struct Case {
        const char* what;
        ProbeInput in;
        BarState expected;
    };
    const Case cases[] = {
        {"below the reference: green", probe(false, true, 0, true, 0.3, false), {BarColour::Green, w1}},
        {"above the reference: red", probe(false, true, 0, true, 0.6, false), {BarColour::Red, w2}},
        {"inverted: above is green", probe(false, true, 0, true, 0.6, true), {BarColour::Green, w2}},
        {"inverted: below is red", probe(false, true, 0, true, 0.3, true), {BarColour::Red, w1}},
        {"no signal: empty", probe(false, true, 0, false, 0.3, false), {BarColour::ButtonFace, 0}},
        {"types: disabled probe is empty", probe(true, false, 1, true, 0.3, false), {BarColour::ButtonFace, 0}},
        {"types: no signal keeps the width", probe(true, true, 1, false, 0.6, false), {BarColour::ButtonFace, w2}},
        {"types: type 1 follows the reference", probe(true, true, 1, true, 0.3, false), {BarColour::Green, w1}},
        {"types: type 2 below 0.55 V is green", probe(true, true, 2, true, 0.5, false),
         {BarColour::Green, LambdaBar(0.5, range, W)}},
        {"types: type 2 at 0.55 V is red", probe(true, true, 2, true, 0.55, true),
         {BarColour::Red, LambdaBar(0.55, range, W)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LambdaBarState(c.in, range, W), c.expected) << c.what;
}

TEST(InjectorRating, AverageOfTheMapAndTheBands)
{
    auto flat = [](int v) { return [v](int, int) { return v; }; };
    EXPECT_EQ(InjectorSizePercent(12, 12, flat(102)), 40);
    EXPECT_EQ(InjectorSizePercent(12, 12, flat(101)), 39);
    EXPECT_EQ(InjectorSizePercent(12, 12, flat(255)), 100);
    EXPECT_EQ(InjectorSizePercent(0, 12, flat(100)), -1);
    EXPECT_EQ(InjectorSizePercent(12, 0, flat(100)), -1);
    // The average is the sum divided by the cells, in integers: 407 / 4 is 101.
    const int cells[2][2] = {{101, 101}, {101, 104}};
    EXPECT_EQ(InjectorSizePercent(2, 2, [&](int r, int c) { return cells[r][c]; }), 39);
    const int more[2][2] = {{101, 101}, {101, 105}};
    EXPECT_EQ(InjectorSizePercent(2, 2, [&](int r, int c) { return more[r][c]; }), 40);

    const std::pair<int, int> bands[] = {{-1, 0},   {0, 407},   {39, 407},  {40, 408}, {74, 408},
                                         {75, 409}, {100, 409}, {101, 0}};
    for (auto [percent, string] : bands)
        EXPECT_EQ(InjectorRatingString(percent), string) << percent;
}

} // namespace
