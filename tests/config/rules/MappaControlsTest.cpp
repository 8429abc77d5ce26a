// The Mappa page's sliders and auto-calibration limit without a window.
#include "config/rules/MappaControls.h"

#include <gtest/gtest.h>

using namespace cfgrules;

TEST(MappaControls, EnrichmentStepsAndLimits)
{
    struct Case {
        double stored;
        bool up;
        std::optional<int> written;
    } cases[] = {
        {-45, false, -50}, {-50, false, std::nullopt}, {45, true, 50},   {50, true, std::nullopt}, {0, true, 5},
        {0, false, -5},    {12.7, true, 17}, // the stored value truncated first
        {-49, false, -50},                   // off the steps: held at the limit
        {48, true, 50},    {-60, false, std::nullopt}, {-60, true, -50},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EnrichmentStep(c.stored, c.up), c.written) << c.stored << (c.up ? " up" : " down");
}

TEST(MappaControls, ExtraInjectionStepsAndLimits)
{
    EXPECT_EQ(ExtraInjSteps(3.8), 18); // 19 limited to 18
    EXPECT_EQ(ExtraInjSteps(0.6), 3);
    EXPECT_EQ(ExtraInjSteps(0.5), 2); // 2.5: the even neighbour
    EXPECT_EQ(ExtraInjSteps(1.5), 8); // 7.5: the even neighbour
    const auto near = [](std::optional<double> v, double expected) { return v && std::abs(*v - expected) < 1e-9; };
    EXPECT_TRUE(near(ExtraInjStep(3.8, false), 3.4));
    EXPECT_FALSE(ExtraInjStep(3.6, true));
    EXPECT_TRUE(near(ExtraInjStep(3.4, true), 3.6));
    EXPECT_FALSE(ExtraInjStep(0, false));
    EXPECT_TRUE(near(ExtraInjStep(0, true), 0.2));
}

TEST(MappaControls, BarsOnTheirTracks)
{
    // Track at 7, 120 wide; bar 14 wide.
    EXPECT_EQ(EnrichmentBarLeft(0, 7, 120, 14), 7 + 60 - 7); // 0 in the middle
    EXPECT_EQ(EnrichmentBarLeft(-50, 7, 120, 14), 7 - 60 + 60 - 7);
    EXPECT_EQ(EnrichmentBarLeft(50, 7, 120, 14), 7 + 120 - 7);
    EXPECT_EQ(EnrichmentBarLeft(-5, 7, 120, 14), 7 - 6 + 60 - 7); // -600 / 100 toward zero
    EXPECT_EQ(ExtraInjBarLeft(0, 7, 120, 14), 0);
    EXPECT_EQ(ExtraInjBarLeft(18, 7, 120, 14), 120);
    EXPECT_EQ(ExtraInjBarLeft(5, 7, 120, 14), 33 + 7 - 7); // 600 / 18 = 33
}

TEST(MappaControls, AutotaraturaSwitchesTheLimitOffAndBack)
{
    // Clearing with 12.5 ms stored writes 30 and remembers 12.5.
    const auto off = AutotaraturaClick(false, 0, 12.5);
    EXPECT_EQ(off.write, kAutotaraturaOff);
    EXPECT_EQ(off.remembered, 12.5);
    // Ticking again writes it back; the first tick, with nothing remembered, 15.
    EXPECT_EQ(AutotaraturaClick(true, off.remembered, 30).write, 12.5);
    EXPECT_EQ(AutotaraturaClick(true, 0, 30).write, kAutotaraturaDefault);
    EXPECT_TRUE(AutotaraturaOn(29.99));
    EXPECT_FALSE(AutotaraturaOn(30));
}
