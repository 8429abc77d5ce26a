#include "datamodule/core/Scaling.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

TEST(Scaling, TruncToIntSaturatesAndNeverMisbehaves)
{
    struct Case {
        long double in;
        std::int32_t out;
    };
    const Case cases[] = {
        {2.9L, 2},
        {-2.9L, -2},
        {0.49999L, 0},
        {1e30L, std::numeric_limits<std::int32_t>::max()},
        {-1e30L, std::numeric_limits<std::int32_t>::min()},
        {2147483647.5L, std::numeric_limits<std::int32_t>::max()},
        {std::numeric_limits<long double>::infinity(), std::numeric_limits<std::int32_t>::max()},
        {-std::numeric_limits<long double>::infinity(), std::numeric_limits<std::int32_t>::min()},
        {std::numeric_limits<long double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dm::TruncToInt(c.in), c.out) << static_cast<double>(c.in);
    // "Rounded" adds 0.5 and truncates: halves go up, negative halves toward zero.
    EXPECT_EQ(dm::RoundToInt(2.5L), 3);
    EXPECT_EQ(dm::RoundToInt(-2.5L), -2);
    EXPECT_EQ(dm::RoundToInt(-2.6L), -2);
}

// The products of typed decimals land a hair beside the whole number their
// decimal gives; within a few ulps they are that number, farther they are not.
TEST(Scaling, NearlyWholeProductsAreWhole)
{
    const double belowThree = std::nextafter(3.0, 0.0);
    struct Case {
        long double in;
        std::int32_t trunc;
    };
    const Case cases[] = {
        {static_cast<long double>(0.3) * 10, 3}, // the binary 0.3 times 10, in extended precision
        {belowThree, 3},
        {-static_cast<long double>(0.3) * 10, -3},
        {3.0L - 1e-12L, 2},                      // far more than a few ulps: truncated
        {1e9L - 1e-7L, 1000000000},              // the tolerance grows with the number
        {1e9L - 1e-5L, 999999999},
        {0.0L, 0},
        {1e-300L, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dm::TruncToInt(c.in), c.trunc) << static_cast<double>(c.in);
    // Rounded scales snap the sum: 4.35 x 50 = 217.49999999999997 in double.
    EXPECT_EQ(dm::RoundToInt(4.35 * 50), 218);
    EXPECT_EQ(dm::RoundToInt(217.4999), 217);
    EXPECT_EQ(dm::SnapToWhole(belowThree), 3.0L);
    EXPECT_EQ(dm::SnapToWhole(2.5L), 2.5L);
    EXPECT_TRUE(std::isnan(dm::SnapToWhole(std::numeric_limits<long double>::quiet_NaN())));
}

TEST(Scaling, TimeBaseAndVolts)
{
    EXPECT_NEAR(static_cast<double>(dm::MsFromRaw(1000, 2560)), 2.56, 1e-12);
    EXPECT_EQ(dm::MsToRaw(2.56L, 2560), 1000);
    EXPECT_EQ(dm::MsToRaw(5.0L, 1000), 5000);
    EXPECT_EQ(dm::MsToRaw(0.288, 2560), 113); // 112.5 + 0.5
    EXPECT_EQ(dm::MsToRaw(0.009, 2000), 5);   // 4.5 + 0.5
    EXPECT_EQ(dm::MsToRaw(-0.288, 2560), -112);
    // A time base of 0 converts to 0 instead of dividing by zero.
    EXPECT_EQ(dm::MsToRaw(5.0L, 0), 0);
    EXPECT_EQ(dm::VoltsToRaw(1.0L), 51);
    EXPECT_NEAR(static_cast<double>(dm::VoltsFromRaw(128)), 2.50980392, 1e-8);
}

// The setter side of every scale, with the cases at its edges.
TEST(Scaling, ValueToRawByScale)
{
    using S = dm::Scale;
    struct Case {
        S scale;
        double value;
        std::int32_t stored;
        std::optional<std::int32_t> raw;
    };
    const Case cases[] = {
        {S::Raw, 15.9, 0, 15},
        {S::X002, 1.0, 0, 50},
        {S::X002, 0.01, 0, 1},      // 0.5 + 0.5 rounds up
        {S::X01, 2.3, 0, 23},
        {S::X01, 1.99, 0, 19},      // truncated, not rounded
        {S::PlusOne, 3, 0, 2},
        {S::Minus100, -100, 0, 0},
        {S::Inverse128, 1.0, 0, 128},
        {S::Inverse128, 2.0, 0, 64},
        {S::Inverse128, 0.004, 0, std::nullopt}, // value x 100 truncates to 0
        {S::EvenRpm, 2001, 1601, 2001},
        {S::EvenRpm, 2001, 1600, 2000},
        {S::LambdaList, 0, 0, 2},
        {S::LambdaList, 5.7, 0, 64},
        {S::LambdaList, 6, 0, std::nullopt},
        {S::LambdaList, -1, 0, std::nullopt},
        {S::CylinderList, 3, 0x41, 0x44},
        {S::CylinderList, 7, 0, 10},
        {S::CylinderList, 8, 0, std::nullopt},
        {S::Rounded, 1599.5, 0, 1600},
        {S::Counter, 1.0, 0, 0},
        {S::Minutes, 1234, 99, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dm::ValueToRaw(c.scale, c.value, c.stored, 2560), c.raw)
            << "scale " << static_cast<int>(c.scale) << " value " << c.value;
    // Counters: value / (TB x 0.00025 x 20), rounded; with a time base of 0, 0.
    EXPECT_EQ(dm::ValueToRaw(S::Counter, 128.0, 0, 2560), 10);
    EXPECT_EQ(dm::ValueToRaw(S::Counter, 128.0, 0, 0), 0);
    EXPECT_EQ(dm::ValueToRaw(S::Ms, 128.0, 0, 0), 0);
}

TEST(Scaling, ValueFromRawByScale)
{
    using S = dm::Scale;
    EXPECT_EQ(dm::ValueFromRaw(S::LambdaList, 4, 2560), 3);
    EXPECT_EQ(dm::ValueFromRaw(S::LambdaList, 5, 2560), -1);
    EXPECT_EQ(dm::ValueFromRaw(S::CylinderList, 0x44, 2560), 3);
    EXPECT_EQ(dm::ValueFromRaw(S::CylinderList, 7, 2560), -1);
    EXPECT_EQ(dm::ValueFromRaw(S::Inverse128, 0, 2560), 128);
    EXPECT_EQ(dm::ValueFromRaw(S::Inverse128, 4, 2560), 32);
    EXPECT_EQ(dm::ValueFromRaw(S::EvenRpm, 2001, 2560), 2000);
    EXPECT_EQ(dm::ValueFromRaw(S::Minus100, 0, 2560), -100);
    EXPECT_EQ(dm::ValueFromRaw(S::Counter, 7, 2560), 140);
    EXPECT_EQ(dm::ValueFromRaw(S::Minutes, 125, 2560), 2);
    EXPECT_EQ(dm::ValueFromRaw(S::Minutes, -60, 2560), 0xFFFFFFC4u / 60u); // unsigned division
    EXPECT_NEAR(static_cast<double>(dm::ValueFromRaw(S::X01, 7, 2560)), 0.7, 1e-15);
}

TEST(Scaling, CodeTables)
{
    // Every single-item and element code names an item of the catalogue.
    for (std::int32_t code : {0x4, 0x5, 0xbc, 0x210, 0x23b, 0x474, 0x29c})
        EXPECT_NE(dm::FindValueCode(code), nullptr) << std::hex << code;
    EXPECT_EQ(dm::FindValueCode(0x279), nullptr);
    EXPECT_EQ(dm::FindValueCode(0x19), nullptr); // an element code
    EXPECT_NE(dm::FindElementCode(0x19), nullptr);

    const auto bf = dm::FindBitField(0x230001a);
    ASSERT_TRUE(bf);
    EXPECT_EQ(bf->low, 3);
    EXPECT_EQ(bf->width, 2);
    EXPECT_EQ(bf->Mask(), 0x18);
    EXPECT_FALSE(dm::FindBitField(0x1a));
    EXPECT_FALSE(dm::FindBitField(0x310001a));

    const dm::CodeDef* mixed = dm::FindElementCode(0x269);
    ASSERT_NE(mixed, nullptr);
    EXPECT_EQ(dm::ElementScale(*mixed, 1), dm::Scale::Raw);
    EXPECT_EQ(dm::ElementScale(*mixed, 2), dm::Scale::Ms);
}

} // namespace
