#include "datamodule/core/SensorTables.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <limits>
#include <vector>

namespace {

dm::SensorTable engineDefault()
{
    dm::SensorTable t;
    t.Build(dm::DefaultEngineSensorCharacteristic());
    return t;
}

TEST(SensorTables, EngineDefaultAt25Degrees)
{
    const auto t = engineDefault();
    EXPECT_EQ(t.points, 48);
    EXPECT_EQ(t.first, -55);
    EXPECT_EQ(t.counts[16], 127); // 255 x 4700 / 9400 = 127.5, truncated
    EXPECT_EQ(static_cast<double>(t.ToCelsius(127)), 25.0);
    EXPECT_EQ(t.ToCount(25.0f), 127);
}

// Every sensor type: counts fall as the temperature rises, and a count read
// back from the temperature of a point lands on that point.
TEST(SensorTables, EverySensorTypeBothWays)
{
    std::vector<const dm::SensorCharacteristic*> all;
    for (int type = 0; type <= 6; ++type)
        all.push_back(dm::GasSensorCharacteristic(type));
    all.push_back(&dm::DefaultEngineSensorCharacteristic());
    for (std::size_t n = 0; n < all.size(); ++n) {
        SCOPED_TRACE(testing::Message() << "characteristic " << n);
        ASSERT_NE(all[n], nullptr);
        dm::SensorTable t;
        t.Build(*all[n]);
        ASSERT_EQ(t.points, all[n]->points);
        for (int i = 0; i < t.points; ++i) {
            const int count = t.counts[static_cast<std::size_t>(i)];
            EXPECT_GE(count, 0);
            EXPECT_LE(count, 255);
            if (i > 0) {
                EXPECT_LE(count, t.counts[static_cast<std::size_t>(i - 1)]);
            }
            const float celsius = static_cast<float>(t.first + i * t.step);
            EXPECT_EQ(t.ToCount(celsius), count) << "point " << i;
            // Back: a temperature within the interval that holds the count.
            const double back = static_cast<double>(t.ToCelsius(count));
            EXPECT_LE(back, celsius + t.step / 2.0 + 1e-9) << "point " << i;
        }
        // Midway between two distinct counts the temperature is in between.
        for (int i = 1; i < t.points; ++i) {
            const int hi = t.counts[static_cast<std::size_t>(i - 1)], lo = t.counts[static_cast<std::size_t>(i)];
            if (hi - lo >= 2) {
                const double mid = static_cast<double>(t.ToCelsius((hi + lo) / 2));
                EXPECT_GT(mid, t.first + (i - 1) * t.step);
                EXPECT_LT(mid, t.first + i * t.step);
            }
        }
    }
    EXPECT_EQ(dm::GasSensorCharacteristic(7), nullptr);
    EXPECT_EQ(dm::GasSensorCharacteristic(-1), nullptr);
    EXPECT_EQ(dm::GasSensorCharacteristic(4), dm::GasSensorCharacteristic(5));
}

// The count of a temperature in tenths of a degree, in whole numbers: the
// interpolation c = T[j] + (b - j) x (T[j+1] - T[j]) with b = (t - F) / S
// over the common denominator 10 x S, truncated toward zero and clamped.
int exactCount(const dm::SensorTable& t, int tenths)
{
    const long long den = 10LL * t.step;
    const long long fromFirst = tenths - 10LL * t.first;
    const long long j = fromFirst / den; // toward zero, as b is truncated
    const auto T = [&t](long long i) { return static_cast<long long>(t.counts[static_cast<std::size_t>(i)]); };
    const long long seg = j < 0 ? 0 : std::min<long long>(j, t.points - 2); // the segment extrapolated beyond the ends
    const long long base = j >= t.points - 1 ? t.points - 1 : seg;
    const long long num = T(base) * den + (T(seg + 1) - T(seg)) * (fromFirst - den * base);
    return static_cast<int>(std::clamp<long long>(num / den, 0, 255));
}

// A temperature typed with one decimal gives the count of that decimal,
// also where the interpolation comes out on a whole count (48.5 degrees on
// the gas sensor of type 0: 83 + 0.7 x (73 - 83) = 76).
TEST(SensorTables, EveryTenthOfADegreeGivesTheCountOfItsDecimal)
{
    std::vector<dm::SensorTable> tables;
    for (int type = 0; type <= 6; ++type) {
        tables.emplace_back();
        tables.back().Build(*dm::GasSensorCharacteristic(type));
    }
    tables.emplace_back(engineDefault());
    const std::int32_t vehicle[5] = {0x12, 0x5c, 3, -21, 6}; // 3 degrees a point from -21
    const std::int32_t points[30] = {240, 201, 150, 120, 57, 30};
    tables.emplace_back();
    tables.back().BuildFromVehicle(vehicle, points);

    for (std::size_t n = 0; n < tables.size(); ++n) {
        const dm::SensorTable& t = tables[n];
        const int from = (t.first - 10) * 10, to = (t.first + (t.points - 1) * t.step + 10) * 10;
        int mismatches = 0;
        for (int tenths = from; tenths <= to; ++tenths) {
            const int count = t.ToCount(tenths / 10.0);
            if (count != exactCount(t, tenths) && ++mismatches <= 5)
                ADD_FAILURE() << "table " << n << ", " << tenths / 10.0 << " degrees: " << count << " instead of "
                              << exactCount(t, tenths);
        }
        EXPECT_EQ(mismatches, 0) << "table " << n;
    }
    EXPECT_EQ(tables[0].ToCount(48.5), 76);
    EXPECT_EQ(tables[7].ToCount(48.5), 70);
}

TEST(SensorTables, ExtrapolatesBeyondBothEndsAndClampsCounts)
{
    dm::SensorTable t;
    t.Build(*dm::GasSensorCharacteristic(0)); // 34 points from -40 by 5
    const int top = t.counts[0], bottom = t.counts[33];
    ASSERT_NE(bottom, t.counts[32]);
    EXPECT_LT(static_cast<double>(t.ToCelsius(top + 1)), -40.0);
    EXPECT_GT(static_cast<double>(t.ToCelsius(bottom - 1)), -40.0 + 33 * 5);
    // First segment: F - S x (count - T0) / (T0 - T1).
    const double expect = -40.0 - 5.0 * 1 / (top - t.counts[1]);
    EXPECT_NEAR(static_cast<double>(t.ToCelsius(top + 1)), expect, 1e-12);
    EXPECT_EQ(t.ToCount(-1000.0f), 255);
    EXPECT_EQ(t.ToCount(1000.0f), 0);
    EXPECT_EQ(t.ToCount(std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(t.ToCount(-std::numeric_limits<float>::infinity()), 255);
    EXPECT_EQ(t.ToCount(std::numeric_limits<float>::quiet_NaN()), 0);

    // The engine default ends in two equal counts: below them, the middle of
    // their interval.
    const auto e = engineDefault();
    ASSERT_EQ(e.counts[46], e.counts[47]);
    EXPECT_EQ(static_cast<double>(e.ToCelsius(e.counts[47] - 1)), -55.0 + 5 * 46.5);
}

TEST(SensorTables, EqualNeighboursGiveTheMiddleOfTheirInterval)
{
    const std::int32_t p[5] = {0x12, 0x5c, 10, -20, 4};
    const std::int32_t points[30] = {200, 150, 150, 100};
    dm::SensorTable t;
    t.BuildFromVehicle(p, points);
    EXPECT_EQ(t.pullUp, 0x125c);
    EXPECT_EQ(t.k, 1);
    EXPECT_EQ(t.points, 4);
    // count 150: first index with count >= T[i] is 1; T[1] != T[0].
    EXPECT_EQ(static_cast<double>(t.ToCelsius(150)), -10.0);
    // Interval 1..2 is flat: a count just below it interpolates on 2..3.
    EXPECT_EQ(static_cast<double>(t.ToCelsius(125)), 5.0);

    const std::int32_t flat[30] = {150, 150, 100};
    const std::int32_t p3[5] = {0, 0, 10, -20, 3};
    t.BuildFromVehicle(p3, flat);
    EXPECT_EQ(static_cast<double>(t.ToCelsius(150)), -25.0); // F - S/2 at the first point
}

TEST(SensorTables, DegenerateTablesConvertToZero)
{
    dm::SensorTable t; // never built
    EXPECT_EQ(static_cast<double>(t.ToCelsius(100)), 0.0);
    EXPECT_EQ(t.ToCount(20.0f), 0);

    const std::int32_t points[30] = {100};
    const std::int32_t one[5] = {0, 0, 5, 0, 1};
    t.BuildFromVehicle(one, points);
    EXPECT_EQ(static_cast<double>(t.ToCelsius(100)), 0.0);
    EXPECT_EQ(t.ToCount(0.0f), 0);

    const std::int32_t noStep[5] = {0, 0, 0, 0, 3};
    t.BuildFromVehicle(noStep, points);
    EXPECT_EQ(t.ToCount(10.0f), 0);

    // A point count above the 30 points the ECU holds is clamped.
    std::int32_t many[30];
    for (int i = 0; i < 30; ++i)
        many[i] = 250 - i * 8;
    const std::int32_t big[5] = {0, 0, 5, -20, 120};
    t.BuildFromVehicle(big, many);
    EXPECT_EQ(t.points, 30);
    EXPECT_EQ(t.counts[30], 0);
    const std::int32_t negative[5] = {0, 0, 5, -20, -4};
    t.BuildFromVehicle(negative, many);
    EXPECT_EQ(t.points, 0);
}

} // namespace
