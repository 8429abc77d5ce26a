// What the simulated ECU does for the diagnostics window: the diagnostic
// start-up state of the profile, the reset item and the running-time
// counters that follow the clock.
#include "protovyx/Simulator.h"

#include <gtest/gtest.h>

namespace {

class ManualClock final : public protovyx::IClock {
public:
    std::uint32_t NowMs() override { return now; }
    void SleepMs(std::uint32_t ms) override { now += ms; }
    std::uint32_t now = 5000;
};

std::vector<std::int32_t> peek(protovyx::Simulator& sim, int item)
{
    std::vector<std::int32_t> v;
    EXPECT_TRUE(sim.PeekItem(item, v));
    return v;
}

TEST(SimulatorDiagnostics, ProfileSetsStatesAndFaultMasksAndTheResetClearsThem)
{
    protovyx::Simulator sim("type=53;errors=0x09,8;gasfaults=0x105;petrolfaults=0x02");
    EXPECT_TRUE(sim.Violations().empty());
    EXPECT_EQ(peek(sim, 0x1d), (std::vector<std::int32_t>{9, 8, 0, 0, 0}));
    EXPECT_EQ(peek(sim, 0x20)[0], 0x05);
    EXPECT_EQ(peek(sim, 0x22)[0], 0x01);
    EXPECT_EQ(peek(sim, 0x21)[0], 0x02);
    sim.SetComPort(sim.CurrentProfile().port);
    ASSERT_TRUE(sim.Connect());
    const std::int32_t zero[2] = {0, 0};
    EXPECT_TRUE(sim.WriteItem(0x2361, zero));
    for (int item : {0x20, 0x21, 0x22, 0x23})
        EXPECT_EQ(peek(sim, item)[0], 0) << item;
    EXPECT_EQ(peek(sim, 0x1d), (std::vector<std::int32_t>(5, 0)));
}

TEST(SimulatorDiagnostics, BadDiagnosticKeysAreRefused)
{
    for (const char* text : {"errors=1,2,3,4,5,6", "errors=256", "gasfaults=0x10000", "counters=maybe"}) {
        protovyx::Profile p;
        EXPECT_FALSE(protovyx::Profile::Parse(text, p)) << text;
    }
}

TEST(SimulatorDiagnostics, CountersFollowTheClockOnPetrolThenGas)
{
    ManualClock clock;
    protovyx::Simulator sim("counters=1;warmup=60");
    sim.SetClock(&clock);
    sim.SetComPort(sim.CurrentProfile().port);
    ASSERT_TRUE(sim.Connect());
    std::int32_t v[3] = {};
    // 50 s on petrol.
    clock.now += 50'000;
    ASSERT_TRUE(sim.ReadItem(0x23c, v));
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(peek(sim, 0x56), (std::vector<std::int32_t>{0, 0, 50}));
    // The switch to gas at 60 s counts one start; then 1250 s on gas carry
    // one 20-minute unit into the gas and maintenance counters.
    clock.now += 10'000 + 1'250'000;
    ASSERT_TRUE(sim.ReadItem(0x4e, v));
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(peek(sim, 0x3b)[0], 1);
    EXPECT_EQ(peek(sim, 0x55)[0], 1);
    EXPECT_EQ(peek(sim, 0x3c)[0], 0);
    EXPECT_EQ(peek(sim, 0x56), (std::vector<std::int32_t>{50, 50, 60}));
    // A reset of the maintenance counter starts it again from the clock.
    ASSERT_TRUE(sim.WriteValue(0x255, 0));
    ASSERT_TRUE(sim.WriteElement(0x256, 1, 0));
    clock.now += 30'000;
    ASSERT_TRUE(sim.ReadRow(0x256, v, 1));
    EXPECT_EQ(v[0], 30);
    EXPECT_EQ(peek(sim, 0x55)[0], 0);
    EXPECT_EQ(peek(sim, 0x4e)[0], 1);
    EXPECT_TRUE(sim.Violations().empty());
}

TEST(SimulatorDiagnostics, CountersStandStillUnlessAsked)
{
    ManualClock clock;
    protovyx::Simulator sim("warmup=1");
    sim.SetClock(&clock);
    sim.SetComPort(sim.CurrentProfile().port);
    ASSERT_TRUE(sim.Connect());
    clock.now += 3'600'000;
    std::int32_t v = -1;
    ASSERT_TRUE(sim.ReadItem(0x23b, &v));
    EXPECT_EQ(v, 0);
}

} // namespace
