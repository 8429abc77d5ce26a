// The lamps the live windows light from the live values.
#include "datamodule/core/LiveLamps.h"
#include "tests/support/rig/DataModuleRig.h"

#include <gtest/gtest.h>

TEST(LevelLamps, ThresholdsBothWaysAndOnlyWithKeyOnGas)
{
    using Lamps = std::array<bool, 5>;
    const std::array<std::int32_t, 4> rising{50, 100, 150, 200};
    // Riserva, 1/4, 2/4, 3/4, 4/4.
    EXPECT_EQ(dm::LevelLamps(0x90, 150, rising, false), (Lamps{false, true, true, true, false}));
    EXPECT_EQ(dm::LevelLamps(0x88, 40, rising, false), (Lamps{true, false, false, false, false}));
    // A sensor whose count falls as the tank fills.
    const std::array<std::int32_t, 4> falling{200, 150, 100, 50};
    EXPECT_EQ(dm::LevelLamps(0x90, 150, falling, true), (Lamps{false, true, true, false, false}));
    EXPECT_EQ(dm::LevelLamps(0x90, 201, falling, true), (Lamps{true, false, false, false, false}));
    EXPECT_EQ(dm::LevelLamps(0x90, 150, falling, false), (Lamps{true, false, true, true, true}));
    EXPECT_EQ(dm::LevelLamps(0x10, 150, rising, false), Lamps{}) << "key off";
    EXPECT_EQ(dm::LevelLamps(0x80, 150, rising, false), Lamps{}) << "on petrol";
    // Low thresholds; a change-over pending counts as on gas.
    const std::array<std::int32_t, 4> t{10, 20, 30, 40};
    EXPECT_EQ(dm::LevelLamps(0x90, 25, t, false), (Lamps{false, true, true, false, false}));
    EXPECT_EQ(dm::LevelLamps(0x90, 5, t, false), (Lamps{true, false, false, false, false}));
    EXPECT_EQ(dm::LevelLamps(0x10, 25, t, false), Lamps{});
    EXPECT_EQ(dm::LevelLamps(0x88, 25, t, true), (Lamps{true, false, false, true, true}));
}

TEST(ProbeReadsRich, ByTheReferenceOrTheRearProbesOwnVoltage)
{
    struct Case {
        double volts, reference;
        bool inverted, rear, rich;
    };
    const Case cases[] = {
        {0.30, 0.45, false, false, true},  {0.60, 0.45, false, false, false},
        {0.30, 0.45, true, false, false},  {0.60, 0.45, true, false, true},
        {0.45, 0.45, false, false, false}, {0.45, 0.45, true, false, false},
        {0.50, 0.20, false, true, true},   {0.55, 0.90, false, true, false},
        {0.50, 0.20, true, true, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dm::ProbeReadsRich(c.volts, c.reference, c.inverted, c.rear), c.rich)
            << c.volts << " V against " << c.reference << (c.inverted ? " inverted" : "") << (c.rear ? " rear" : "");
}

TEST(LevelLamps, TheSimulatedEcusSenderReadsBackAsItsPreset)
{
    // The simulated ECU's own image: sender type 129 and its thresholds, read
    // as a connect reads them.
    rig::DataModuleRig r({.profile = "type=30"});
    r.connectEcu();
    ASSERT_TRUE(
        r.dm().TransferData(TStreamDati::TRANSFER_READ_ECU, QString(), 0, TStreamDati::TRANSFER_ALL_GROUPS, 0, 0));
    EXPECT_EQ(r.dm().GetTipoSensore(), 0);
    ASSERT_TRUE(r.dm().GetTipoSensoreBit7());
    std::array<std::int32_t, 4> thresholds{};
    for (int i = 0; i < 4; ++i)
        thresholds[static_cast<std::size_t>(i)] = r.dm().GetRifSensore(i);
    EXPECT_EQ(thresholds, (std::array<std::int32_t, 4>{199, 140, 93, 39}));

    // From full (the ECU's count 20) to reserve (220) the quarters go out
    // one by one, and the reserve lamp is lit alone at the end.
    using Lamps = std::array<bool, 5>;
    const struct {
        std::int32_t level;
        Lamps lamps; // reserve, 1/4, 2/4, 3/4, 4/4
    } cases[] = {
        {20, {false, true, true, true, true}},
        {120, {false, true, true, false, false}},
        {150, {false, true, false, false, false}},
        {220, {true, false, false, false, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dm::LevelLamps(0x90, c.level, thresholds, r.dm().GetTipoSensoreBit7()), c.lamps) << c.level;
}
