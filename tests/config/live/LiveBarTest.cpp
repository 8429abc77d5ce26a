// The live bar and the OBD blocks without a window: texts, colours, the
// status pictures, the blinking fuel label, and the OBD reads.
#include "config/live/LiveBar.h"

#include "protovyx/Simulator.h"

#include <gtest/gtest.h>

using namespace cfglive;

namespace {

BarInput input()
{
    BarInput in;
    in.reference = 0.45;
    in.notAvailable = QStringLiteral("n.d.");
    in.connected = true;
    return in;
}

constexpr std::int32_t kKeyOn = dm::LIVE_KEY_ON;

} // namespace

TEST(LiveBar, LambdaColours)
{
    struct Case {
        const char* what;
        bool typesPresent;
        Probe probe;
        bool inverted;
        double volts;
        std::int32_t flags;
        ProbeLabel expected;
    } cases[] = {
        {"normal probe below the reference", false, {}, false, 0.30, dm::LIVE_PROBE1_ACTIVE, {"0.3", kGreen, true}},
        {"inverted probe below the reference", false, {}, true, 0.30, dm::LIVE_PROBE1_ACTIVE, {"0.3", kRed, true}},
        {"no signal: disabled", false, {}, false, 0.30, 0, {"0.3", kGreen, false}},
        {"without types the rear rule does not apply", false, {true, 2}, false, 0.50, 0, {"0.5", kRed, false}},
        {"rear probe at 0.50 V", true, {true, 2}, false, 0.50, dm::LIVE_PROBE1_ACTIVE, {"0.5", kGreen, true}},
        {"rear probe at 0.60 V", true, {true, 2}, true, 0.60, dm::LIVE_PROBE1_ACTIVE, {"0.6", kRed, true}},
        {"front probe with types", true, {true, 1}, false, 0.60, 0, {"0.6", kRed, false}},
        {"probe not connected", true, {false, 0}, false, 0.30, 0, {"n.d.", kGrey, true}},
    };
    for (const auto& c : cases) {
        BarInput in = input();
        in.probeTypesPresent = c.typesPresent;
        in.probes[0] = c.probe;
        in.inverted = c.inverted;
        in.live.Lambda1 = c.volts;
        in.live.StatusFlags = c.flags;
        EXPECT_EQ(PresentBar(in).lambda[0], c.expected) << c.what;
    }
    // Probe 2 reads its own status bit.
    BarInput in = input();
    in.live.Lambda2 = 0.2;
    in.live.StatusFlags = dm::LIVE_PROBE2_ACTIVE;
    EXPECT_TRUE(PresentBar(in).lambda[1].enabled);
    EXPECT_FALSE(PresentBar(in).lambda[0].enabled);
}

TEST(LiveBar, ReadingsAndWhatIsNotThere)
{
    BarInput in = input();
    in.live.Rpm = 2480;
    in.live.GasTime1 = 7.8249;
    in.live.PetrolTime1 = 12.346;
    in.live.GasPressure = 179;
    in.live.MapPressure = 0;
    in.live.GasTempRaw = 0;
    in.live.ReducerTempRaw = 80;
    in.live.ReducerTemp = 72.9;
    in.live.Adaptation = -3;
    in.live.Level = 150;
    BarTexts t = PresentBar(in);
    EXPECT_EQ(t.giri, "2480");
    EXPECT_EQ(t.apMot, "7.82");
    EXPECT_EQ(t.apMotBenz, "12.35");
    EXPECT_EQ(t.pressione, "1.79");
    EXPECT_EQ(t.pressioneColl, "n.d.");
    EXPECT_TRUE(t.pressioneCollGrey); // connected, and no MAP reading
    EXPECT_EQ(t.temp, "n.d.");
    EXPECT_EQ(t.tempMot, "72");
    EXPECT_FALSE(t.tempMotGrey);
    EXPECT_EQ(t.adattaGas, "-3%");
    EXPECT_EQ(t.livello, "150");
    EXPECT_FALSE(t.apMot2); // one bank: the second bank's labels keep what they show

    in.connected = false;
    in.twoBanks = true;
    in.live.PetrolTime2 = 3;
    t = PresentBar(in);
    EXPECT_FALSE(t.pressioneCollGrey); // a disconnected ECU keeps the plain look
    ASSERT_TRUE(t.apMot2Benz);
    EXPECT_EQ(*t.apMot2Benz, "3.00");
}

TEST(LiveBar, FuelStates)
{
    struct Case {
        const char* what;
        std::int32_t flags, low;
        FuelPictures expected;
    } cases[] = {
        {"petrol", kKeyOn, 0, {PicPetrol, PicDotPetrol, PicEmissionsDot, kTextPetrol, kRed}},
        {"change-over pending",
         kKeyOn | dm::LIVE_CHANGEOVER_PENDING,
         0,
         {PicGas, PicDotPetrol, PicEmissionsDot, kTextGas, kGreen}},
        {"on gas", kKeyOn | dm::LIVE_ON_GAS, 0, {PicGas, PicDotGas, PicEmissionsDotGas, kTextGas, kGreen}},
        {"on gas, low bit 4",
         kKeyOn | dm::LIVE_ON_GAS,
         0x10,
         {PicGas, PicDotStatusLow, PicEmissionsDotGas, kTextGas, kGreen}},
        {"low bits 3 and 4: bit 3 wins",
         kKeyOn | dm::LIVE_ON_GAS,
         0x18,
         {PicGas, PicDotPetrol, PicEmissionsDotGas, kTextGas, kGreen}},
    };
    for (const auto& c : cases) {
        BarState s;
        bool seen = false;
        const BarChanges ch = StepBar(s, c.flags, c.low, {}, seen);
        ASSERT_TRUE(ch.fuel) << c.what;
        EXPECT_EQ(*ch.fuel, c.expected) << c.what;
    }
    // Only a change of the fuel bits changes the pictures.
    BarState s;
    bool seen = false;
    StepBar(s, dm::LIVE_ON_GAS, 0, {}, seen);
    EXPECT_FALSE(StepBar(s, dm::LIVE_ON_GAS | dm::LIVE_CUTOFF, 0, {}, seen).fuel);
    EXPECT_TRUE(StepBar(s, dm::LIVE_ON_GAS | dm::LIVE_CUTOFF, 0x10, {}, seen).fuel);
}

TEST(LiveBar, BenzinaBlinksWhileTheChangeOverIsPending)
{
    BarState s;
    bool seen = false;
    std::vector<bool> shown;
    for (int tick = 0; tick < 4; ++tick)
        shown.push_back(StepBar(s, dm::LIVE_CHANGEOVER_PENDING, 0, {}, seen).benzinaVisible);
    EXPECT_EQ(shown, (std::vector<bool>{false, true, false, true}));
    shown.clear();
    for (int tick = 0; tick < 3; ++tick)
        shown.push_back(StepBar(s, dm::LIVE_ON_GAS, 0, {}, seen).benzinaVisible);
    EXPECT_EQ(shown, (std::vector<bool>{true, true, true}));
}

TEST(LiveBar, CutoffExtraInjectionAndTheFirstTick)
{
    BarState s;
    bool seen = false;
    // First tick: every clear bit counts as changed.
    BarChanges c = StepBar(s, 0, 0, {}, seen);
    EXPECT_EQ(c.cutoff, PicCutoffOff);
    EXPECT_EQ(c.extraInjection, PicExtraInjOff);
    EXPECT_FALSE(c.bar2); // the low byte starts at 0
    c = StepBar(s, dm::LIVE_EXTRA_INJECTION | dm::LIVE_CUTOFF, 0x01, {}, seen);
    EXPECT_EQ(c.cutoff, PicCutoffOn);
    EXPECT_EQ(c.extraInjection, PicExtraInjOn);
    EXPECT_TRUE(seen);
    EXPECT_EQ(c.bar2, PicEmissionsDot);
    c = StepBar(s, dm::LIVE_EXTRA_INJECTION | dm::LIVE_CUTOFF, 0x01, {}, seen);
    EXPECT_FALSE(c.cutoff);
    EXPECT_FALSE(c.extraInjection);
    c = StepBar(s, 0, 0, {}, seen);
    EXPECT_EQ(c.extraInjection, PicExtraInjSeen); // an extra injection was seen since the connect
    EXPECT_EQ(c.bar2, PicEmissionsDotGas);
}

TEST(LiveBar, LevelLampsAndTheDiagnosisLampsRhythm)
{
    BarState s;
    bool seen = false;
    const LevelInput level{120, {100, 130, 160, 190}, false};
    BarChanges c = StepBar(s, kKeyOn | dm::LIVE_ON_GAS, 0, level, seen);
    EXPECT_EQ(c.levelLamps, (std::array<bool, 5>{false, true, false, false, false}));
    c = StepBar(s, dm::LIVE_ON_GAS, 0, level, seen); // key off: all dark
    EXPECT_EQ(c.levelLamps, (std::array<bool, 5>{}));
    c = StepBar(s, kKeyOn | dm::LIVE_ON_GAS, 0, {120, {190, 160, 130, 100}, true}, seen);
    EXPECT_EQ(c.levelLamps, (std::array<bool, 5>{false, true, true, true, false}));

    BarState lamp;
    int due = 0;
    for (int tick = 1; tick <= 60; ++tick)
        if (StepBar(lamp, 0, 0, {}, seen).lampDue) {
            ++due;
            EXPECT_EQ(tick % kLampEveryTicks, 0) << tick;
        }
    EXPECT_EQ(due, 3);
}

TEST(LiveBar, AbsolutePressureCorrection)
{
    EXPECT_EQ(AbsolutePressureCorrection(false, 1.2, 150, '.', "n.d."), "0%");
    EXPECT_EQ(AbsolutePressureCorrection(true, 1.2, 0, '.', "n.d."), "n.d."); // no gas pressure: no division
    // (1.2 x 100 + 50) x 100 / 150 - 100 = 13.33
    EXPECT_EQ(AbsolutePressureCorrection(true, 1.2, 150, ',', "n.d."), "13,30%");
}

TEST(ObdBlocks, DecodeBlock8)
{
    std::array<std::uint8_t, kObdBlockSize> b{};
    b[0] = 0x06; // bank 1: fast and slow, no oxygen
    b[1] = 0x08; // bank 2: oxygen only
    b[2] = 0x04; // bank 1 fault: red, still enabled
    b[3] = 0x01; // bank 2: disabled
    b[4] = 128 + 10;
    b[5] = 128 - 4;
    b[9] = 150;
    b[10] = 0x03;
    const ObdView v = DecodeObdBlock(b, '.');
    EXPECT_TRUE(v.ok);
    EXPECT_FALSE(v.info);
    EXPECT_FALSE(v.ko);
    EXPECT_EQ(v.banks[0].fast, "7.8%");
    EXPECT_EQ(v.banks[0].slow, "-3.1%");
    EXPECT_TRUE(v.banks[0].CorrectorsVisible());
    EXPECT_FALSE(v.banks[0].oxygenVisible);
    EXPECT_EQ(v.banks[0].labelColour, kRed);
    EXPECT_TRUE(v.banks[0].labelEnabled);
    EXPECT_EQ(v.banks[1].oxygen, "0.75V");
    EXPECT_TRUE(v.banks[1].oxygenVisible);
    EXPECT_FALSE(v.banks[1].CorrectorsVisible());
    EXPECT_FALSE(v.banks[1].labelEnabled);
    EXPECT_EQ(v.banks[1].labelColour, kLightGrey);

    const std::pair<std::uint8_t, std::array<bool, 3>> states[] = {{0x00, {false, false, false}},
                                                                   {0x01, {true, false, false}},
                                                                   {0x02, {false, false, true}},
                                                                   {0x03, {false, true, false}}};
    for (const auto& [state, expected] : states) {
        b[10] = state;
        const ObdView s = DecodeObdBlock(b, '.');
        EXPECT_EQ((std::array<bool, 3>{s.info, s.ok, s.ko}), expected) << int(state);
    }
    std::array<std::uint8_t, kObdIdleBlockSize> idle{};
    idle[0] = 0xFD;
    idle[1] = 5;
    EXPECT_EQ(DecodeObdIdleBlock(idle).idle, "-3%");
    EXPECT_EQ(DecodeObdIdleBlock(idle).offIdle, "5%");
}

TEST(ObdBlocks, EveryReadOffersTheWholeBlock)
{
    protovyx::Simulator sim("type=55");
    sim.SetComPort(sim.CurrentProfile().port);
    ASSERT_TRUE(sim.Connect());
    sim.SetBlockReplyLength(kObdBlock, 0); // an empty reply
    const auto empty = ReadWholeBlock<kObdBlockSize>(sim, kObdBlock);
    EXPECT_EQ(empty.received, 0);
    EXPECT_EQ(empty.bytes, (std::array<std::uint8_t, kObdBlockSize>{}));
    sim.SetBlockReplyLength(kObdBlock, -1);
    const auto full = ReadWholeBlock<kObdBlockSize>(sim, kObdBlock);
    EXPECT_EQ(full.received, kObdBlockSize);
    EXPECT_EQ(full.bytes[10], 0x01); // warming up: the state only
    const auto idle = ReadWholeBlock<kObdIdleBlockSize>(sim, kObdIdleBlock);
    EXPECT_EQ(idle.received, kObdIdleBlockSize);
    // What each read offered: the whole buffer, whatever came before.
    std::vector<int> offered;
    for (const auto& c : sim.Calls())
        if (c.name == "ReadBlock")
            offered.push_back(c.row);
    EXPECT_EQ(offered, (std::vector<int>{kObdBlockSize, kObdBlockSize, kObdIdleBlockSize}));
    for (const auto& v : sim.Violations())
        ADD_FAILURE() << v;

    // Not connected: nothing is read and the block stays zeros.
    sim.Disconnect();
    sim.ClearCalls();
    EXPECT_EQ(ReadWholeBlock<kObdBlockSize>(sim, kObdBlock).received, 0);
    EXPECT_TRUE(sim.Calls().empty() || sim.Calls().back().name != "ReadBlock");
}
