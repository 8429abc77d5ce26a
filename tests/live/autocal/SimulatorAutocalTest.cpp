// The simulated ECU's auto-calibration commands, without the window.
#include "protovyx/Simulator.h"
#include "plat/testing/Fakes.h"

#include <gtest/gtest.h>

namespace {

struct Ecu {
    explicit Ecu(const std::string& profile) : sim(profile)
    {
        sim.SetClock(&simClock);
        sim.SetComPort(sim.CurrentProfile().port);
        EXPECT_TRUE(sim.Connect());
    }
    bool send(int command, std::vector<std::uint8_t> data, std::vector<std::uint8_t>& reply, int size = 4)
    {
        std::vector<std::uint8_t> buf(static_cast<std::size_t>(std::max<int>(size, static_cast<int>(data.size()))));
        std::copy(data.begin(), data.end(), buf.begin());
        std::int32_t len = static_cast<std::int32_t>(data.size());
        const bool ok = sim.SendCommand(command, buf.data(), &len, size);
        reply.assign(buf.begin(), buf.begin() + (ok ? len : 0));
        return ok;
    }
    std::vector<std::uint8_t> poll()
    {
        std::vector<std::uint8_t> r;
        EXPECT_TRUE(send(0x14, {}, r));
        return r;
    }
    plat::testing::FakeClock clock;
    protovyx::TickClock<plat::testing::FakeClock> simClock{clock};
    protovyx::Simulator sim;
};

TEST(SimulatorAutocal, PhasesRunToTheEndAndScaleMapK)
{
    Ecu e("type=30;autocalms=1200;autocalwarm=2;autocalk=110");
    std::vector<std::int32_t> before, after;
    ASSERT_TRUE(e.sim.PeekItem(0x54, before));
    EXPECT_EQ(e.poll(), (std::vector<std::uint8_t>{0xFF, 0, 0, 0})); // nothing running
    std::vector<std::uint8_t> r;
    ASSERT_TRUE(e.send(0x13, {}, r, 2));
    EXPECT_EQ(e.poll(), (std::vector<std::uint8_t>{13, 0, 0, 2}));
    e.clock.advance(2000 + 700);
    EXPECT_EQ(e.poll()[0], 7);
    e.clock.advance(500);
    EXPECT_EQ(e.poll()[0], 12);
    ASSERT_TRUE(e.sim.PeekItem(0x54, after));
    for (std::size_t i = 0; i < before.size(); ++i)
        ASSERT_EQ(after[i], std::min(255, before[i] * 110 / 100));
    EXPECT_EQ(e.poll()[0], 12); // finished, applied once
    ASSERT_TRUE(e.send(0x12, {0}, r, 2));
    EXPECT_TRUE(e.sim.Rebooting());
    EXPECT_TRUE(e.sim.Violations().empty());
}

TEST(SimulatorAutocal, FaultModes)
{
    std::vector<std::uint8_t> r;
    {
        Ecu e("autocalms=1200;autocalfault=never");
        ASSERT_TRUE(e.send(0x13, {}, r, 2));
        e.clock.advance(60000);
        EXPECT_EQ(e.poll()[0], 11);
    }
    {
        Ecu e("autocalfault=refuse;autocalflags=0x06");
        ASSERT_TRUE(e.send(0x13, {}, r, 2));
        EXPECT_EQ(e.poll(), (std::vector<std::uint8_t>{0, 0x06, 0, 0}));
    }
    {
        Ecu e("autocalms=1200;autocalfault=drop");
        std::vector<std::int32_t> before, after;
        e.sim.PeekItem(0x54, before);
        ASSERT_TRUE(e.send(0x13, {}, r, 2));
        e.clock.advance(500);
        EXPECT_EQ(e.poll()[0], 5);
        e.clock.advance(100);
        EXPECT_FALSE(e.send(0x14, {}, r));
        EXPECT_FALSE(e.sim.LinkOpen());
        e.clock.advance(5000);
        e.sim.RestoreLink();
        e.sim.Connect();
        EXPECT_EQ(e.poll()[0], 0xFF); // the ECU gave the calibration up
        e.sim.PeekItem(0x54, after);
        EXPECT_EQ(after, before);
    }
    {
        Ecu e("autocalfault=nostart");
        EXPECT_FALSE(e.send(0x13, {}, r, 2));
    }
    {
        Ecu e("autocalfault=nomeasure");
        EXPECT_FALSE(e.send(0x1B, {0}, r, 2));
    }
    protovyx::Profile p;
    EXPECT_FALSE(protovyx::Profile::Parse("autocalfault=sometimes", p));
}

TEST(SimulatorAutocal, AbortLeavesMapKAndRestarts)
{
    Ecu e("autocalms=1200");
    std::vector<std::int32_t> before, after;
    e.sim.PeekItem(0x54, before);
    std::vector<std::uint8_t> r;
    ASSERT_TRUE(e.send(0x13, {}, r, 2));
    e.clock.advance(600);
    e.poll();
    ASSERT_TRUE(e.send(0x15, {}, r, 2));
    EXPECT_TRUE(e.sim.Rebooting());
    e.clock.advance(2000);
    EXPECT_EQ(e.poll()[0], 0xFF);
    e.sim.PeekItem(0x54, after);
    EXPECT_EQ(after, before);
}

TEST(SimulatorAutocal, MeasuringStepShowsPetrolAndMeasuresTheRev)
{
    Ecu e("type=30;warmup=1;autocalpetrol=20");
    e.clock.advance(5000); // warm and on gas
    std::vector<std::uint8_t> r;
    ASSERT_TRUE(e.send(0x1B, {0}, r, 2));
    auto frame = [&] {
        std::array<std::uint8_t, 50> f{};
        std::int32_t len = 50;
        EXPECT_TRUE(e.sim.ReadBlock(1, f.data(), &len));
        return f;
    };
    auto f = frame();
    EXPECT_EQ(f[0] | (f[1] << 8), 800);
    EXPECT_EQ(f[11] & 0x18, 0);     // on petrol
    EXPECT_NE(f[11] & 0x80, 0);     // key on
    e.clock.advance(6500);
    f = frame();
    EXPECT_EQ(f[0] | (f[1] << 8), 3200);
    ASSERT_TRUE(e.send(0x1B, {1}, r, 2));
    ASSERT_EQ(r.size(), 2u);
    EXPECT_NEAR((r[0] | (r[1] << 8)) * 2560 * 1e-6, 20.0, 0.01);
    ASSERT_TRUE(e.send(0x1B, {2}, r, 2));
    EXPECT_NE(frame()[11] & 0x18, 0); // back to the engine model: on gas
}

} // namespace
