// The vehicle engine sensor's table: counts to volts and ohm and back, with
// the inputs kept in range, the pull-up's two bytes, the point count and
// what leaving a parameter editor writes.
#include "config/rules/EngineSensorRules.h"
#include "datamodule/core/SensorTables.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace cfgrules;

TEST(EngineSensorRules, CountsInVoltsAndOhm)
{
    struct Case {
        int count;
        double volts;
        long long ohm;
    };
    // Pull-up 4700 ohm.
    for (const Case c : {Case{0, 0.0, 0},
                         {127, 127 * 5.0 / 255, 4700LL * 127 / 128},
                         {200, 200 * 5.0 / 255, 17090},
                         {254, 254 * 5.0 / 255, 4700LL * 254},
                         {255, 5.0, 0},
                         {300, 5.0, 0},
                         {-3, 0.0, 0}}) {
        EXPECT_NEAR(CountVolts(c.count), c.volts, 1e-12) << c.count;
        EXPECT_EQ(CountOhm(c.count, 4700), c.ohm) << c.count;
    }
}

TEST(EngineSensorRules, EntriesBecomeCountsWithinTheirRanges)
{
    struct Case {
        double value;
        int fromVolts, fromOhm;
    };
    // Pull-up 2200 ohm; no entry gives a count outside 0..255 or divides by 0.
    for (const Case c : {Case{2.5, 127, 0},
                         {5.0, 255, 0},
                         {7.0, 255, 0},
                         {-1.0, 0, 0},
                         {2200, 255, 127},
                         {-2200, 0, 0},
                         {-2199.5, 0, 0},
                         {1e9, 255, 254},
                         {std::nan(""), 0, 0}}) {
        EXPECT_EQ(CountOfVolts(c.value), c.fromVolts) << c.value;
        EXPECT_EQ(CountOfOhm(c.value, 2200), c.fromOhm) << c.value;
    }
    // Without a pull-up a resistance of 0 is a count of 0.
    EXPECT_EQ(CountOfOhm(0, 0), 0);
}

TEST(EngineSensorRules, PullUpTravelsAsTwoBytes)
{
    // 2200 ohm: 8 and 152, which the signed item holds as -104.
    const PullUpBytes b = PullUpBytesOf(2200);
    EXPECT_EQ(b.high, 8);
    EXPECT_EQ(b.low, -104);
    EXPECT_EQ(dm::VehiclePullUpOhm(b.high, b.low), 2200);
    EXPECT_EQ(dm::VehiclePullUpOhm(8, 152), 2200);
    EXPECT_EQ(dm::VehiclePullUpOhm(18, 92), 4700);
    EXPECT_EQ(dm::VehiclePullUpOhm(PullUpBytesOf(5000).high, PullUpBytesOf(5000).low), 5000);
}

TEST(EngineSensorRules, PointsFromTheTemperatureRange)
{
    struct Case {
        int first, highest, step, points;
    };
    for (const Case c : {Case{-20, 130, 10, 15},
                         {-20, 180, 5, 30},
                         {-40, 120, 7, 22},
                         {20, 20, 5, 0},
                         {50, 20, 5, 0},
                         {0, 100, 0, 0},
                         {0, 100, -5, 0}})
        EXPECT_EQ(PointCount(c.first, c.highest, c.step), c.points) << c.first << " " << c.highest << " " << c.step;
    EXPECT_EQ(SensorRows(30), 31);
    EXPECT_EQ(SensorRows(48), 31);
    EXPECT_EQ(SensorRows(-2), 1);
    EXPECT_EQ(RowTemperature(1, 5, -20), -20);
    EXPECT_EQ(RowTemperature(4, 5, -20), -5);
    EXPECT_EQ(HighestTemperature(30, 5, -20), 130);
}

TEST(EngineSensorRules, LeavingAnEditorWritesItsParameters)
{
    using Writes = std::vector<std::pair<int, int>>;
    SensorEditors e{2200, 10, -20, 130};
    EXPECT_EQ(SensorParameterWrites(0, e), (Writes{{0, 8}, {1, -104}}));
    EXPECT_EQ(SensorParameterWrites(1, e), (Writes{{2, 10}}));
    EXPECT_EQ(SensorParameterWrites(2, e), (Writes{{3, -20}}));
    EXPECT_EQ(SensorParameterWrites(3, e), (Writes{{4, 15}}));
    // A highest temperature not above the first: first + step, one point.
    e.highest = -20;
    EXPECT_EQ(SensorParameterWrites(3, e), (Writes{{4, 1}}));
    EXPECT_EQ(e.highest, -10);
    e.step = 5;
    e.highest = 180;
    EXPECT_EQ(SensorParameterWrites(3, e), (Writes{{4, 30}}));
    EXPECT_TRUE(SensorParameterWrites(4, e).empty());
}

TEST(EngineSensorRules, AnEntrySetsAddsToOrScalesThePoint)
{
    // The stored count 127 is 2.490 V and 4663 ohm (pull-up 4700).
    struct Case {
        int column, mode;
        double v;
        int count;
    };
    for (const Case c : {Case{kSensorColumnVolts, 0, 1.0, 51},
                         {kSensorColumnVolts, 1, 1.0, 178},
                         {kSensorColumnVolts, 2, 50, 190},
                         {kSensorColumnVolts, 1, -9, 0},
                         {kSensorColumnOhm, 0, 4700, 127},
                         {kSensorColumnOhm, 1, -10000, 0},
                         {kSensorColumnOhm, 2, -100, 0},
                         {kSensorColumnOhm, 2, 100, 169}})
        EXPECT_EQ(EnteredCount(c.column, c.mode, c.v, 127, 4700), c.count) << c.column << " " << c.mode << " " << c.v;
}

} // namespace
