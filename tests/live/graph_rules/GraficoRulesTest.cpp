// The graph's rules as tables: the curve values of a tick and of a file
// line, which curves are shown, the time axis and the
// automatic ranges.
#include "live/graph_rules/GraficoRules.h"

#include <gtest/gtest.h>

namespace {

using grafico::AxisRange;
using qz::live::TAcquisitionRow;
using qz::live::TAcquisitionSample;

TEST(GraficoRules, CurveValuesOfATickAndOfAFileLineAgree)
{
    TAcquisitionSample s;
    s.Rpm = 2500;
    s.Lambda1Volts = 0.5;
    s.GasMs1 = 3.5;
    s.PetrolMs1 = 4.25;
    s.GasPressureHundredths = 110;
    s.MapPressureHundredths = 40;
    s.ReducerTempC = 46;
    s.GasTempC = 33;
    s.Lambda2Volts = 0.25;
    s.GasMs2 = 2.5;
    s.PetrolMs2 = 3.75;
    const grafico::CurveValues expected = {2.5, 0.5, 3.5, 4.25, 1.1, 0.4, 4.6, 3.3, 0.25, 2.5, 3.75};

    const grafico::CurveValues tick = grafico::CurvesOfSample(s);
    TAcquisitionRow row;
    row.TimeMs = 1540;
    row.Rpm = 2500;
    row.Values = {0.5f, 3.5f, 4.25f, 1.1f, 0.4f, 46, 33, 0.25f, 2.5f, 3.75f};
    const grafico::CurveValues line = grafico::CurvesOfRow(row);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(tick[i], expected[i], 1e-12) << "series " << i;
        EXPECT_NEAR(line[i], expected[i], 1e-6) << "series " << i;
    }
}

TEST(GraficoRules, SeriesShownByEcuTypeAndProbes)
{
    struct Case {
        int ecuType;
        bool secondProbe;
        std::string shown;  // one letter per series: x shown, . hidden
    };
    const Case cases[] = {
        {30, false, "xxxxxxxx..."},
        {30, true, "xxxxxxxxxxx"},
        {79, false, "x.xxx..x..."},
        {79, true, "x.xxx..xxxx"},
    };
    for (const Case& c : cases) {
        std::string got;
        for (int i = 0; i < grafico::kSeriesCount; ++i)
            got += grafico::SeriesShown(i, c.ecuType, c.secondProbe) ? 'x' : '.';
        EXPECT_EQ(got, c.shown) << "type " << c.ecuType << " second probe " << c.secondProbe;
    }
}

TEST(GraficoRules, TimeAxisScrollsOncePastTheWindow)
{
    struct Case {
        AxisRange current;
        double t;
        double window;
        AxisRange expected;
    };
    const Case cases[] = {
        {{0, 30}, 0.02, 30, {0, 30}},
        {{0, 30}, 30.0, 30, {0, 30}},            // exactly the window: still 0 to 30
        {{0, 30}, 30.02, 30, {30.02 - 30, 30.02}},
        {{15, 25}, 45.02, 10, {35.02, 45.02}},   // after a narrower window was entered
        {{0, 60}, 45.0, 60, {0, 60}},            // a wider window waits for the data
    };
    for (const Case& c : cases) {
        const AxisRange r = grafico::TimeAxisAfterTick(c.current, c.t, c.window);
        EXPECT_DOUBLE_EQ(r.Min, c.expected.Min) << "t " << c.t;
        EXPECT_DOUBLE_EQ(r.Max, c.expected.Max) << "t " << c.t;
    }
    // A new window keeps the minimum.
    EXPECT_EQ(grafico::TimeAxisForWindow({15, 45}, 10), (AxisRange{15, 25}));
    EXPECT_EQ(grafico::TimeAxisForWindow({0, 30}, 0.1), (AxisRange{0, 0.1}));
}

TEST(GraficoRules, ElapsedSecondsAcrossTheTickCountWrap)
{
    EXPECT_DOUBLE_EQ(grafico::ElapsedSeconds(31000, 1000), 30.0);
    EXPECT_DOUBLE_EQ(grafico::ElapsedSeconds(5, 0xFFFFFFFFu - 994), 1.0);
}

TEST(GraficoRules, FilesFillTheSecondBankCurvesOnlyWithTwoBanks)
{
    EXPECT_EQ(grafico::CurvesOfBanks(1), 8);
    EXPECT_EQ(grafico::CurvesOfBanks(2), grafico::kSeriesCount);
    EXPECT_EQ(grafico::CurvesOfBanks(3), 8);
}

TEST(GraficoRules, TimeLabelsStepInOneTwoFiveAtLeastEightyPixelsApart)
{
    struct Case {
        double span;
        int pixels;
        double step;
    };
    const Case cases[] = {
        {30, 1000, 5},       // 2.4 s would be the least: 5
        {30, 2400, 1},       // exactly 80 pixels a second
        {30, 400, 10},       // 6 s least
        {3600, 1000, 500},   // 288 s least
        {0.5, 1000, 0.05},   // 0.04 s least
        {100, 800, 10},      // exactly 10
    };
    for (const Case& c : cases)
        EXPECT_NEAR(grafico::TimeLabelStep(c.span, c.pixels), c.step, c.step * 1e-9) << c.span << " s on " << c.pixels;
    // An empty span or no width still gives a step.
    EXPECT_GT(grafico::TimeLabelStep(0, 1000), 0);
    EXPECT_GT(grafico::TimeLabelStep(30, 0), 0);
}

TEST(GraficoRules, AutomaticRangeCoversOnlyShownCurves)
{
    std::array<grafico::Extent, grafico::kSeriesCount> e{};
    e[0].Add(1, 2.5);
    e[0].Add(3, 0.9);
    e[4].Add(0.5, 1.1);
    e[7].Add(2, 12);
    e[7].Add(9, 4);
    std::array<bool, grafico::kSeriesCount> shown{};
    shown.fill(true);

    EXPECT_EQ(grafico::AutomaticRange(e, shown, false), (AxisRange{0.9, 12}));
    EXPECT_EQ(grafico::AutomaticRange(e, shown, true), (AxisRange{0.5, 9}));
    shown[7] = false;
    EXPECT_EQ(grafico::AutomaticRange(e, shown, false), (AxisRange{0.9, 2.5}));
    // A single value still gives an axis with some height.
    shown[0] = false;
    const auto single = grafico::AutomaticRange(e, shown, false);
    ASSERT_TRUE(single.has_value());
    EXPECT_NEAR(single->Min, 0.6, 1e-12);
    EXPECT_NEAR(single->Max, 1.6, 1e-12);
    shown[4] = false;
    EXPECT_FALSE(grafico::AutomaticRange(e, shown, false).has_value());
}

} // namespace
