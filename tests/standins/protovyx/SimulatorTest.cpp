#include "protovyx/Simulator.h"

#include "plat/testing/Fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace protovyx;

namespace {

constexpr std::uint32_t kConnectionEvent = 0x8190;

class RecordingTarget final : public plat::NotifyTarget {
public:
    void Post(std::uint32_t m, std::uintptr_t w, std::intptr_t l) override { posted.push_back({m, w, l, false}); }
    std::intptr_t Send(std::uint32_t m, std::uintptr_t w, std::intptr_t l) override
    {
        posted.push_back({m, w, l, true});
        return 0;
    }
    std::vector<std::intptr_t> connectionEvents() const
    {
        std::vector<std::intptr_t> out;
        for (const auto& n : posted)
            if (n.message == kConnectionEvent)
                out.push_back(n.lParam);
        return out;
    }
    std::vector<Notification> posted;
};

// A simulator on the test's virtual clock, optionally connected.
struct Bench {
    plat::testing::FakeClock clock;
    TickClock<plat::testing::FakeClock> simClock{clock};
    Simulator sim;
    RecordingTarget target;

    explicit Bench(std::string_view profile = {}, bool connect = true) : sim(profile)
    {
        sim.SetClock(&simClock);
        sim.SetNotifyWindow(&target);
        sim.SetTimeout(1200);
        if (connect) {
            TBootInfo boot{};
            EXPECT_TRUE(sim.DetectEcu(&boot));
        }
    }
};

std::vector<std::int32_t> peek(const Simulator& sim, int item)
{
    std::vector<std::int32_t> v;
    EXPECT_TRUE(sim.PeekItem(item, v)) << "item " << item;
    return v;
}

} // namespace

// --- Code rules ----------------------------------------------------------------

struct CodeCase {
    const char* rule;
    Op op;
    std::int32_t code;
    std::int32_t row, col, value;
    bool ok;
    std::int32_t status;
};

void PrintTo(const CodeCase& c, std::ostream* os) { *os << c.rule; }

class CodeRules : public ::testing::TestWithParam<CodeCase> {};

TEST_P(CodeRules, EveryCallResolvesItsCodeByOneRule)
{
    const CodeCase& c = GetParam();
    Bench b; // type 30, fw 30.4: item 0x7c is 16-bit
    std::vector<std::int32_t> buf(200, -7);
    bool result = false;
    switch (c.op) {
    case Op::ReadItem: result = b.sim.ReadItem(c.code, buf.data()); break;
    case Op::ReadRow: result = b.sim.ReadRow(c.code, buf.data(), c.row); break;
    case Op::WriteItem: result = b.sim.WriteItem(c.code, std::vector<std::int32_t>(200, c.value).data()); break;
    case Op::WriteValue: result = b.sim.WriteValue(c.code, c.value); break;
    case Op::WriteElement: result = b.sim.WriteElement(c.code, c.row, c.value); break;
    case Op::WriteCell: result = b.sim.WriteCell(c.code, c.row, c.col, c.value); break;
    case Op::WriteRow: result = b.sim.WriteRow(c.code, std::vector<std::int32_t>(200, c.value).data(), c.row); break;
    default: FAIL();
    }
    EXPECT_EQ(result, c.ok) << c.rule;
    EXPECT_EQ(b.sim.GetLastStatus(), c.status) << c.rule;
    // Every refusal of a malformed call is on record; accepted calls leave none.
    EXPECT_EQ(b.sim.Violations().empty(), c.status != 0x10) << c.rule;
    if (!c.ok) {
        EXPECT_TRUE(std::all_of(buf.begin(), buf.end(), [](int v) { return v == -7; })) << c.rule;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CodeRules, ::testing::Values(
    CodeCase{"vector read whole", Op::ReadItem, 0x2303, -1, -1, 0, true, 0},
    CodeCase{"identity: 20 elements", Op::ReadItem, 0x14100, -1, -1, 0, true, 0},
    CodeCase{"negative code", Op::ReadItem, -1, -1, -1, 0, false, 0x10},
    CodeCase{"bit 11 is never set", Op::ReadItem, 0x2b03, -1, -1, 0, false, 0x10},
    CodeCase{"absent on this type (OBD map)", Op::ReadItem, 0x61ba, -1, -1, 0, false, 4},
    CodeCase{"8-bit code on 16-bit item", Op::ReadItem, 0x79, -1, -1, 0, false, 0x10},
    CodeCase{"16-bit code on 8-bit item", Op::ReadItem, 0x224, -1, -1, 0, false, 0x10},
    CodeCase{"8-bit 0x47c on the 16-bit 0x7c", Op::WriteElement, 0x47c, 0, -1, 1, false, 0x10},
    CodeCase{"16-bit 0x67c on the 16-bit 0x7c", Op::WriteElement, 0x67c, 0, -1, -900, true, 0},
    CodeCase{"unsigned code on signed item", Op::WriteValue, 0x74, -1, -1, 0, false, 0x10},
    CodeCase{"signed code on unsigned item", Op::WriteValue, 0x424, -1, -1, 0, false, 0x10},
    CodeCase{"count differs from the vector", Op::ReadItem, 0x3303, -1, -1, 0, false, 0x10},
    CodeCase{"count without the array bit", Op::ReadItem, 0x2203, -1, -1, 0, false, 0x10},
    CodeCase{"single-value code on a vector", Op::ReadItem, 0x203, -1, -1, 0, false, 0x10},
    CodeCase{"single-value write on a vector", Op::WriteValue, 0x1c, -1, -1, 0, false, 0x10},
    CodeCase{"K map last row (13 rows)", Op::ReadRow, 0xc154, 12, -1, 0, true, 0},
    CodeCase{"K map row past the end", Op::ReadRow, 0xc154, 13, -1, 0, false, 0x10},
    CodeCase{"K map negative row", Op::WriteRow, 0xc154, -1, -1, 100, false, 0x10},
    CodeCase{"row length differs", Op::ReadRow, 0xb154, 0, -1, 0, false, 0x10},
    CodeCase{"note element 47", Op::ReadRow, 0x1b, 47, -1, 0, true, 0},
    CodeCase{"note element 48", Op::ReadRow, 0x1b, 48, -1, 0, false, 0x10},
    CodeCase{"element read of a table", Op::ReadRow, 0x54, 0, -1, 0, false, 0x10},
    CodeCase{"diagnostic state element 4", Op::WriteElement, 0x1d, 4, -1, 0, true, 0},
    CodeCase{"element index past the end", Op::WriteElement, 0x1d, 5, -1, 0, false, 0x10},
    CodeCase{"array code in an element write", Op::WriteElement, 0x511d, 0, -1, 0, false, 0x10},
    CodeCase{"K map cell 12/11", Op::WriteCell, 0x54, 12, 11, 100, true, 0},
    CodeCase{"array code in a cell write", Op::WriteCell, 0x154, 0, 0, 100, false, 0x10},
    CodeCase{"K map column past the end", Op::WriteCell, 0x54, 0, 12, 100, false, 0x10},
    CodeCase{"u8 255", Op::WriteValue, 0x24, -1, -1, 255, true, 0},
    CodeCase{"u8 256", Op::WriteValue, 0x24, -1, -1, 256, false, 0x10},
    CodeCase{"u8 -1", Op::WriteValue, 0x24, -1, -1, -1, false, 0x10},
    CodeCase{"s8 -128", Op::WriteValue, 0x474, -1, -1, -128, true, 0},
    CodeCase{"s8 128", Op::WriteValue, 0x474, -1, -1, 128, false, 0x10},
    CodeCase{"u16 65535", Op::WriteValue, 0x210, -1, -1, 65535, true, 0},
    CodeCase{"u16 65536", Op::WriteValue, 0x210, -1, -1, 65536, false, 0x10},
    CodeCase{"s16 -32768", Op::WriteElement, 0x660, 0, -1, -32768, true, 0},
    CodeCase{"s16 32768", Op::WriteElement, 0x660, 0, -1, 32768, false, 0x10},
    CodeCase{"s16 vector write", Op::WriteItem, 0xf760, -1, -1, -5, true, 0},
    CodeCase{"bit-field code, whole byte", Op::WriteValue, 0x150001a, -1, -1, 0xA0, true, 0},
    CodeCase{"bit-field code 0x300001a", Op::WriteValue, 0x300001a, -1, -1, 7, true, 0},
    CodeCase{"bit-field value over a byte", Op::WriteValue, 0x230001a, -1, -1, 256, false, 0x10},
    CodeCase{"bit-field code in a read", Op::ReadItem, 0x150001a, -1, -1, 0, false, 0x10},
    CodeCase{"bit-field code on another item", Op::WriteValue, 0x1500024, -1, -1, 1, false, 0x10},
    CodeCase{"read-only time base", Op::WriteValue, 0x279, -1, -1, 2560, false, 0x10},
    CodeCase{"read-only hardware variant", Op::WriteValue, 0x15, -1, -1, 2, false, 0x10},
    CodeCase{"read-only identity", Op::WriteItem, 0x14100, -1, -1, 0, false, 0x10},
    CodeCase{"write-only clear trigger: read", Op::ReadItem, 0x2361, -1, -1, 0, false, 0x10},
    CodeCase{"write-only clear trigger: write", Op::WriteItem, 0x2361, -1, -1, 0, true, 0},
    CodeCase{"ECU-only 0x43 is writable", Op::WriteValue, 0x43, -1, -1, 0, true, 0},
    CodeCase{"model byte is writable", Op::WriteValue, 0x40, -1, -1, 5, true, 0}));

TEST(Simulator, UnknownItemIsNoSuchItemAndOnRecord)
{
    Bench b;
    std::int32_t v = -7;
    EXPECT_FALSE(b.sim.ReadItem(0x13, &v));
    EXPECT_EQ(b.sim.GetLastStatus(), 4);
    EXPECT_EQ(v, -7);
    ASSERT_EQ(b.sim.Violations().size(), 1u);
    EXPECT_NE(b.sim.Violations()[0].find("unknown item"), std::string::npos);
}

TEST(Simulator, WritesLandWhereTheCodeSays)
{
    Bench b;
    ASSERT_TRUE(b.sim.WriteCell(0x54, 3, 5, 99));
    EXPECT_EQ(peek(b.sim, 0x54)[3 * 12 + 5], 99);
    std::vector<std::int32_t> row(12, 77);
    ASSERT_TRUE(b.sim.WriteRow(0xc154, row.data(), 12));
    const auto k = peek(b.sim, 0x54);
    EXPECT_EQ(std::count(k.begin() + 12 * 12, k.end(), 77), 12);
    EXPECT_NE(k[11 * 12], 77);
    ASSERT_TRUE(b.sim.WriteElement(0x94, 1, 82));
    std::int32_t v = 0;
    ASSERT_TRUE(b.sim.ReadRow(0x94, &v, 1));
    EXPECT_EQ(v, 82);
    // The bit-field codes carry the whole byte of item 0x1a.
    ASSERT_TRUE(b.sim.WriteValue(0x230001a, 0x98));
    EXPECT_EQ(peek(b.sim, 0x1a)[0], 0x98);
    // Signed items keep negative values.
    ASSERT_TRUE(b.sim.WriteElement(0x48a, 3, -40));
    std::array<std::int32_t, 5> t{};
    ASSERT_TRUE(b.sim.ReadItem(0x558a, t.data()));
    EXPECT_EQ(t[3], -40);
    // A table read whole with its row-length code moves every cell.
    std::vector<std::int32_t> all(16, -1);
    ASSERT_TRUE(b.sim.ReadItem(0x810d, all.data()));
    EXPECT_EQ(all[8], 1);
    EXPECT_EQ(all[11], 8);
}

TEST(Simulator, UserModeStoresOutOfRangeValuesMasked)
{
    Bench b("strict=0");
    EXPECT_TRUE(b.sim.WriteValue(0x24, 0x1FF));
    EXPECT_EQ(b.sim.GetLastStatus(), 0);
    EXPECT_EQ(peek(b.sim, 0x24)[0], 0xFF);
    EXPECT_TRUE(b.sim.WriteElement(0x660, 0, 40000));
    EXPECT_EQ(peek(b.sim, 0x60)[0], 40000 - 65536);
    EXPECT_EQ(b.sim.Violations().size(), 2u); // still on record
    // Shape errors are refused in either mode.
    EXPECT_FALSE(b.sim.WriteValue(0x224, 1));
    EXPECT_EQ(b.sim.GetLastStatus(), 0x10);
}

// --- Status, buffers, offline ------------------------------------------------------

TEST(Simulator, StatusIsResetByEveryItemCall)
{
    Bench b;
    std::int32_t v = 0;
    EXPECT_FALSE(b.sim.ReadItem(0x61ba, &v));
    EXPECT_EQ(b.sim.GetLastStatus(), 4);
    EXPECT_TRUE(b.sim.ReadItem(0x233, &v));
    EXPECT_EQ(b.sim.GetLastStatus(), 0);
    EXPECT_EQ(v, 1);
    EXPECT_FALSE(b.sim.WriteValue(0x279, 0));
    EXPECT_EQ(b.sim.GetLastStatus(), 0x10);
    EXPECT_TRUE(b.sim.WriteValue(0x24, 1));
    EXPECT_EQ(b.sim.GetLastStatus(), 0);
}

TEST(Simulator, FailedCallsLeaveTheCallersBuffersUntouched)
{
    struct Case {
        const char* what;
        std::function<void(Bench&)> arrange;
    };
    const Case cases[] = {
        {"link closed", [](Bench& b) { b.sim.Disconnect(); }},
        {"item absent", [](Bench& b) { b.sim.SetItemPresent(0x33, false); b.sim.SetItemPresent(0x56, false); b.sim.SetItemPresent(0x1b, false); }},
        {"injected fault", [](Bench& b) { b.sim.AddFault({.op = Op::Any, .times = -1}); }},
        {"silent ECU", [](Bench& b) { b.sim.SetSilent(true); }},
        {"latency over the time-out", [](Bench& b) { b.sim.SetLatency(1500); }},
    };
    for (const auto& c : cases) {
        Bench b;
        c.arrange(b);
        std::int32_t copy = 0;
        std::int32_t element = 0;
        std::uint8_t frame[50];
        std::fill(std::begin(frame), std::end(frame), 0xEE);
        std::int32_t len = 50;
        EXPECT_FALSE(b.sim.ReadItem(0x233, &copy)) << c.what;
        EXPECT_EQ(copy, 0) << c.what;
        EXPECT_NE(b.sim.GetLastStatus(), 0) << c.what;
        EXPECT_FALSE(b.sim.ReadRow(0x256, &element, 0)) << c.what;
        EXPECT_EQ(element, 0) << c.what;
        if (std::string(c.what) != "item absent") {
            EXPECT_FALSE(b.sim.ReadBlock(1, frame, &len)) << c.what;
            EXPECT_EQ(len, 50) << c.what;
            EXPECT_EQ(frame[0], 0xEE) << c.what;
            std::uint8_t cmd[5] = {9, 9, 9, 9, 9};
            std::int32_t cl = 1;
            EXPECT_FALSE(b.sim.SendCommand(0x11, cmd, &cl, 5)) << c.what;
            EXPECT_EQ(cl, 1) << c.what;
            EXPECT_EQ(cmd[0], 9) << c.what;
        }
    }
}

TEST(Simulator, WritesWhileNotConnectedSucceedAndChangeNothing)
{
    Bench b({}, /*connect=*/false);
    const auto before = peek(b.sim, 0x54);
    EXPECT_TRUE(b.sim.WriteCell(0x54, 0, 0, 1));
    EXPECT_EQ(b.sim.GetLastStatus(), 0);
    EXPECT_TRUE(b.sim.WriteValue(0x24, 7));
    EXPECT_TRUE(b.sim.WriteItem(0xc30c, std::vector<std::int32_t>(12, 1).data()));
    EXPECT_EQ(peek(b.sim, 0x54), before);
    EXPECT_EQ(peek(b.sim, 0x24)[0], 129);
    // Reads, commands and the format do need the ECU.
    std::int32_t v = 0;
    EXPECT_FALSE(b.sim.ReadItem(0x24, &v));
    EXPECT_EQ(b.sim.GetLastStatus(), 1);
    EXPECT_EQ(b.sim.GetItemFormat(0x7c, 1), 0);
    TEcuInfo info{};
    EXPECT_FALSE(b.sim.GetEcuInfo(&info));
    // A malformed offline write still succeeds but is on record.
    EXPECT_TRUE(b.sim.WriteValue(0x224, 1));
    EXPECT_EQ(b.sim.Violations().size(), 1u);
    EXPECT_TRUE(b.target.posted.empty());
}

// --- Link states and notifications -------------------------------------------------

TEST(Simulator, LinkChangesPostConnectionEvents)
{
    Bench b({}, false);
    EXPECT_FALSE(b.sim.IsConnected());
    EXPECT_EQ(b.sim.GetComPort(), 0);
    EXPECT_FALSE(b.sim.Connect()) << "the ECU is not on port 0";
    EXPECT_EQ(b.sim.GetLastStatus(), 1);
    EXPECT_FALSE(b.sim.IsConnected());
    TBootInfo boot{};
    ASSERT_TRUE(b.sim.DetectEcu(&boot));
    EXPECT_EQ(boot.BootId, 0x1E05u);
    EXPECT_EQ(b.sim.GetComPort(), 1);
    EXPECT_TRUE(b.sim.IsConnected());
    EXPECT_TRUE(b.sim.Connect()); // already open: no second event
    b.sim.Disconnect();
    b.sim.Disconnect(); // closed: nothing
    EXPECT_TRUE(b.sim.Connect());
    b.sim.Shutdown();
    EXPECT_EQ(b.target.connectionEvents(), (std::vector<std::intptr_t>{1, 0, 1, 0}));
    EXPECT_TRUE(std::none_of(b.target.posted.begin(), b.target.posted.end(),
                             [](const Notification& n) { return n.sent; }));
}

TEST(Simulator, SilentEcuFailsAfterTheTimeOutAndKeepsTheLinkOpen)
{
    Bench b;
    b.sim.SetSilent(true);
    const auto t0 = b.clock.tickCount();
    std::int32_t v = 0;
    EXPECT_FALSE(b.sim.ReadItem(0x14100, std::array<std::int32_t, 20>{}.data()));
    EXPECT_EQ(b.sim.GetLastStatus(), 1);
    EXPECT_EQ(b.clock.tickCount() - t0, 1200u);
    EXPECT_TRUE(b.sim.IsConnected());
    EXPECT_FALSE(b.sim.Connect());
    EXPECT_TRUE(b.sim.IsConnected()) << "a failed connect leaves an open link open";
    b.sim.SetSilent(false);
    EXPECT_TRUE(b.sim.ReadItem(0x24, &v));
    EXPECT_EQ(b.target.connectionEvents(), (std::vector<std::intptr_t>{1}));
}

TEST(Simulator, LostLinkClosesPostsZeroAndRefusesConnectUntilRestored)
{
    Bench b;
    b.sim.LoseLink();
    EXPECT_FALSE(b.sim.IsConnected());
    EXPECT_FALSE(b.sim.Connect());
    EXPECT_FALSE(b.sim.DetectEcu(nullptr));
    b.sim.RestoreLink();
    EXPECT_TRUE(b.sim.Connect());
    EXPECT_EQ(b.target.connectionEvents(), (std::vector<std::intptr_t>{1, 0, 1}));
}

TEST(Simulator, EndOfWriteRebootsTheEcuForAWhile)
{
    Bench b("rebootms=3000");
    std::uint8_t buf[5] = {};
    std::int32_t len = 1;
    ASSERT_TRUE(b.sim.SendCommand(0x11, buf, &len, 5));
    EXPECT_EQ(len, 1);
    len = 1;
    ASSERT_TRUE(b.sim.SendCommand(0x12, buf, &len, 5));
    b.sim.Disconnect();
    b.clock.sleep(650);
    EXPECT_TRUE(b.sim.Rebooting());
    EXPECT_FALSE(b.sim.IsApplicationRunning());
    EXPECT_FALSE(b.sim.Connect()); // costs the time-out
    EXPECT_FALSE(b.sim.Connect());
    EXPECT_TRUE(b.sim.Connect()) << "3000 ms after the command";
    std::int32_t ready = 0;
    EXPECT_TRUE(b.sim.ReadItem(2, &ready));
    EXPECT_EQ(ready, 172);
}

TEST(Simulator, NeverReadyEcuConnectsButIsNotReady)
{
    Bench b("neverready=1");
    std::int32_t ready = -1;
    EXPECT_TRUE(b.sim.ReadItem(2, &ready));
    EXPECT_NE(ready, 172);
}

TEST(Simulator, AbsentEcuAndBootMode)
{
    {
        Bench b("present=0", false);
        EXPECT_FALSE(b.sim.DetectEcu(nullptr));
        EXPECT_FALSE(b.sim.IsConnected());
    }
    {
        Bench b("boot=1;type=31;model=5");
        TEcuInfo info{};
        ASSERT_TRUE(b.sim.GetEcuInfo(&info));
        EXPECT_EQ(info.EcuType, 3);
        EXPECT_EQ(info.BootEcuType, 31);
        EXPECT_FALSE(b.sim.IsApplicationRunning());
    }
}

// --- Commands, blocks, formats ------------------------------------------------------

TEST(Simulator, CommandReplies)
{
    struct Case {
        const char* profile;
        int command;
        std::int32_t length, size;
        bool ok;
        std::vector<std::uint8_t> reply;
    };
    const Case cases[] = {
        {"", 0x04, 2, 1, true, {12, 13}},
        {"mapcols=8;maprows=10", 0x04, 2, 2, true, {8, 11}},
        {"", 0x11, 1, 5, true, {0}},
        {"", 0x12, 1, 5, true, {0}},
        {"", 0x55, 1, 5, false, {}}, // not a command of this ECU
    };
    for (const auto& c : cases) {
        Bench b(c.profile);
        std::uint8_t buf[8] = {0, 0, 0, 0, 0, 0xEE, 0xEE, 0xEE};
        std::int32_t len = c.length;
        EXPECT_EQ(b.sim.SendCommand(c.command, buf, &len, c.size), c.ok) << c.command;
        if (c.ok) {
            EXPECT_EQ(std::vector<std::uint8_t>(buf, buf + len), c.reply) << c.command;
            EXPECT_EQ(buf[5], 0xEE);
        } else {
            EXPECT_EQ(b.sim.GetLastStatus(), 0x10);
            EXPECT_EQ(len, c.length);
        }
    }
}

TEST(Simulator, ReplyLargerThanTheBufferIsRefused)
{
    Bench b;
    b.sim.SetCommandOverride(0x11, std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}, true);
    std::uint8_t buf[5] = {};
    std::int32_t len = 1;
    EXPECT_FALSE(b.sim.SendCommand(0x11, buf, &len, 5));
    EXPECT_EQ(b.sim.GetLastStatus(), 0x10);
    EXPECT_EQ(len, 1);
    EXPECT_EQ(buf[0], 0);
}

TEST(Simulator, LiveBlockHonoursTheCapacityAndTheFrameLength)
{
    struct Case {
        const char* profile;
        std::int32_t capacity, expected;
    };
    for (const Case& c : {Case{"", 50, 50}, Case{"", 20, 20}, Case{"framelen=19", 50, 19}}) {
        Bench b(c.profile);
        std::uint8_t buf[60];
        std::fill(std::begin(buf), std::end(buf), 0xEE);
        std::int32_t len = c.capacity;
        ASSERT_TRUE(b.sim.ReadBlock(1, buf, &len)) << c.profile;
        EXPECT_EQ(len, c.expected);
        EXPECT_EQ(buf[c.expected], 0xEE) << "nothing past what was asked for";
    }
}

namespace {
struct Frame {
    int rpm, gasTime, petrolTime, status, reducer;
};
Frame decode(const std::uint8_t* f)
{
    return {f[0] | f[1] << 8, f[6] | f[7] << 8, f[8] | f[9] << 8, f[11], f[12]};
}
} // namespace

TEST(Simulator, EngineWarmsUpOnPetrolThenRunsOnGasFollowingTheKMap)
{
    Bench b("warmup=60");
    std::uint8_t buf[50];
    std::int32_t len = 50;
    ASSERT_TRUE(b.sim.ReadBlock(1, buf, &len));
    const Frame cold = decode(buf);
    EXPECT_GT(cold.rpm, 700);
    EXPECT_EQ(cold.gasTime, 0);
    EXPECT_EQ(cold.status & 0x10, 0);
    EXPECT_NE(cold.status & 0x80, 0);

    b.clock.advance(70000);
    len = 50;
    ASSERT_TRUE(b.sim.ReadBlock(1, buf, &len));
    const Frame warm = decode(buf);
    EXPECT_NE(warm.status & 0x10, 0);
    EXPECT_LT(warm.reducer, cold.reducer) << "the count falls as the reducer warms";
    EXPECT_GT(warm.gasTime, 0);

    // The gas time is the petrol time scaled by the K cell (128 neutral).
    std::vector<std::int32_t> k(13 * 12, 192);
    ASSERT_TRUE(b.sim.PokeItem(0x54, k));
    len = 50;
    ASSERT_TRUE(b.sim.ReadBlock(1, buf, &len));
    const Frame rich = decode(buf);
    EXPECT_EQ(rich.gasTime, rich.petrolTime * 192 / 128);
}

TEST(Simulator, TwoBankProfileReportsTheSecondProbeAndItsBank)
{
    struct Case {
        const char* profile;
        bool secondProbe;   // item 3 element 0 bit 2 clear
        bool secondBank;    // frame bytes 21.. and the probe-2 signal bit
    };
    for (const Case& c : {Case{"warmup=1", false, false}, Case{"warmup=1;banks=2", true, true},
                          Case{"warmup=1;type=56", false, true}, Case{"warmup=1;type=56;banks=1", false, false}}) {
        SCOPED_TRACE(c.profile);
        Bench b(c.profile);
        std::vector<std::int32_t> flags;
        ASSERT_TRUE(b.sim.PeekItem(0x03, flags));
        EXPECT_EQ((flags[0] & 0x4) == 0, c.secondProbe);
        std::vector<std::int32_t> probes;
        ASSERT_TRUE(b.sim.PeekItem(0xab, probes));
        EXPECT_EQ(probes[0], c.secondProbe ? 0x11 : 0x01);
        b.clock.advance(5000); // on gas
        std::uint8_t buf[50];
        std::int32_t len = 50;
        ASSERT_TRUE(b.sim.ReadBlock(1, buf, &len));
        const Frame f = decode(buf);
        EXPECT_NE(f.status & 0x20, 0);
        EXPECT_EQ((f.status & 0x40) != 0, c.secondBank);
        const int gas2 = buf[24] | buf[25] << 8, petrol2 = buf[28] | buf[29] << 8;
        if (c.secondBank) {
            EXPECT_GT(buf[21], 0);
            EXPECT_EQ(petrol2, f.petrolTime * 103 / 100);
            EXPECT_EQ(gas2, f.gasTime * 103 / 100);
        } else {
            EXPECT_EQ(buf[21] | gas2 | petrol2, 0);
        }
    }
    std::string error;
    Profile p;
    EXPECT_FALSE(Profile::Parse("banks=3", p, &error));
    EXPECT_EQ(error, "banks");
}

TEST(Simulator, FuelSweepRunsTheGasLevelFromFullToReserveAndBack)
{
    auto levelAt = [](const char* profile, std::uint32_t ms) {
        Bench b(profile);
        b.clock.advance(ms);
        std::uint8_t buf[50];
        std::int32_t len = 50;
        EXPECT_TRUE(b.sim.ReadBlock(1, buf, &len));
        return int(buf[13]);
    };
    EXPECT_EQ(levelAt("", 0), 150);
    EXPECT_EQ(levelAt("", 33000), 150);
    EXPECT_EQ(levelAt("fuelsweep=60", 0), 20);        // full
    EXPECT_EQ(levelAt("fuelsweep=60", 15000), 120);   // halfway down
    EXPECT_EQ(levelAt("fuelsweep=60", 30000), 220);   // reserve
    EXPECT_EQ(levelAt("fuelsweep=60", 45000), 120);   // on its way back
    EXPECT_EQ(levelAt("fuelsweep=60", 60000), 20);
}

TEST(Simulator, ItemFormatFollowsTheProfile)
{
    struct Case {
        const char* profile;
        int format;
    };
    for (const Case& c : {Case{"", 2}, Case{"fw=22.9", 1}, Case{"type=31;fw=32.0", 1}, Case{"type=50", 1},
                          Case{"type=55", 2}}) {
        Bench b(c.profile);
        EXPECT_EQ(b.sim.GetItemFormat(0x7c, 1), c.format) << c.profile;
        // The code of the other width is refused.
        std::vector<std::int32_t> v(15);
        EXPECT_TRUE(b.sim.ReadItem(c.format == 2 ? 0xf77c : 0xf57c, v.data())) << c.profile;
        EXPECT_FALSE(b.sim.ReadItem(c.format == 2 ? 0xf57c : 0xf77c, v.data())) << c.profile;
    }
}

// --- Profiles --------------------------------------------------------------------

TEST(Simulator, DefaultProfileAnswersTheStartUpSequence)
{
    Bench b({}, false);
    b.sim.SetComPort(0);
    TBootInfo boot{};
    ASSERT_TRUE(b.sim.DetectEcu(&boot));
    EXPECT_EQ(boot.BootId, 0x1E05u);
    EXPECT_TRUE(b.sim.IsApplicationRunning());
    std::int32_t v = 0;
    ASSERT_TRUE(b.sim.ReadItem(0x233, &v));
    EXPECT_EQ(v, 1);
    TEcuInfo info{};
    ASSERT_TRUE(b.sim.GetEcuInfo(&info));
    EXPECT_EQ(info.EcuStatus, 5);
    EXPECT_EQ(info.EcuType, 30);
    EXPECT_EQ(info.FirmwareMinor, 4);
    EXPECT_EQ(info.FirmwareMajor, 30);
    EXPECT_EQ(info.BootEcuType, 0);
    ASSERT_TRUE(b.sim.ReadItem(0x24C, &v));
    EXPECT_LE(v, 0x0100) << "at most the program's own 1.0";
    ASSERT_TRUE(b.sim.ReadItem(0x25B, &v));
    EXPECT_LE(v, 0x0100);
    ASSERT_TRUE(b.sim.ReadItem(1, &v));
    EXPECT_EQ(v, 0);
    ASSERT_TRUE(b.sim.ReadItem(2, &v));
    EXPECT_EQ(v, 172);
    std::array<std::int32_t, 2> flags{};
    ASSERT_TRUE(b.sim.ReadItem(0x2303, flags.data()));
    EXPECT_EQ(flags, (std::array<std::int32_t, 2>{1044, 1}));
    ASSERT_TRUE(b.sim.ReadItem(0x15, &v));
    EXPECT_EQ(v, 2);
    ASSERT_TRUE(b.sim.ReadItem(0x279, &v));
    EXPECT_EQ(v, 2560);
    EXPECT_EQ(b.sim.GetComPort(), 1);
    EXPECT_TRUE(b.sim.Violations().empty());
}

TEST(Simulator, ItemsAbsentByTypeAndFirmware)
{
    struct Case {
        const char* profile;
        std::vector<int> present, absent;
    };
    const Case cases[] = {
        {"", {0x27, 0x32, 0xc0, 0xbc, 0x64, 0xab, 0x1b, 0x33, 0xac, 0x0e}, {0xba, 0x2d, 0x2f, 0xb5, 0x22}},
        {"fw=21.9", {0x64, 0xac}, {0x27, 0x32, 0xc0, 0xbc, 0xab, 0x1b, 0x33}},
        {"type=50", {0x1b, 0x33}, {0x27, 0x32, 0xc0, 0xbc, 0x64, 0xab, 0x82, 0x84}},
        {"type=53", {0x22, 0x23, 0xb5, 0xab}, {0x0e, 0xbc, 0xba}},
        {"type=55", {0xba, 0x2d, 0x27, 0xbc}, {0xb5, 0x2f}},
        {"type=79", {0x2e, 0x2f, 0xbc}, {0xac, 0x55, 0x27, 0xab}},
        {"absent=0xab,0x2332;customer=absent", {0x27}, {0xab, 0x32, 0x33}},
    };
    for (const auto& c : cases) {
        Simulator sim(c.profile);
        std::vector<std::int32_t> v;
        for (int item : c.present)
            EXPECT_TRUE(sim.PeekItem(item, v)) << c.profile << " item " << item;
        for (int item : c.absent)
            EXPECT_FALSE(sim.PeekItem(item, v)) << c.profile << " item " << item;
        EXPECT_TRUE(sim.Violations().empty()) << c.profile;
    }
}

TEST(Simulator, CatalogueSizesTheKMapItemsFromTheProfile)
{
    Profile p;
    ASSERT_TRUE(Profile::Parse("mapcols=8;maprows=10", p));
    std::map<int, ItemInfo> byNumber;
    for (const auto& i : Catalogue(p))
        byNumber.emplace(i.number, i);
    EXPECT_EQ(byNumber.at(0x54).rows, 11);
    EXPECT_EQ(byNumber.at(0x54).cols, 8);
    EXPECT_EQ(byNumber.at(0x37).cols, 10);
    EXPECT_EQ(byNumber.at(0x3d).cols, 8);
    EXPECT_EQ(byNumber.at(0x7f).cols, 8);
    EXPECT_EQ(byNumber.at(0x71).rows, 10);
    EXPECT_EQ(byNumber.at(0x73).cols, 8);

    Bench b("mapcols=8;maprows=10");
    std::vector<std::int32_t> row(8);
    EXPECT_TRUE(b.sim.ReadRow(0x8154, row.data(), 10));
    EXPECT_FALSE(b.sim.ReadRow(0xc154, row.data(), 0));
}

TEST(Simulator, CatalogueHoldsEveryItemNumberOnce)
{
    Profile p;
    ASSERT_TRUE(Profile::Parse("type=56", p));
    auto items = Catalogue(p);
    std::vector<int> numbers, absent;
    for (const auto& i : items) {
        numbers.push_back(i.number);
        if (!i.present)
            absent.push_back(i.number);
    }
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(std::adjacent_find(numbers.begin(), numbers.end()), numbers.end());
    EXPECT_EQ(items.size(), 158u);
    std::sort(absent.begin(), absent.end());
    EXPECT_EQ(absent, (std::vector<int>{0x22, 0x23, 0x2e, 0x2f, 0xb5}));
}

TEST(Simulator, ProfileTextParses)
{
    Profile p;
    ASSERT_TRUE(Profile::Parse("type=55; fw=7.2;customer=absent;pcmin=1.2;tb=3200;"
                               "fail=ReadRow:0xc154:row3:skip1:times2:status5:lose", p));
    EXPECT_EQ(p.type, 55);
    EXPECT_EQ(p.hwVariant, 3);
    EXPECT_FALSE(p.customer.has_value());
    EXPECT_EQ(p.pcMin, 0x0102);
    EXPECT_EQ(p.timeBase, 3200);
    ASSERT_EQ(p.faults.size(), 1u);
    EXPECT_EQ(p.faults[0].op, Op::ReadRow);
    EXPECT_EQ(p.faults[0].code, 0xc154);
    EXPECT_EQ(p.faults[0].row, 3);
    EXPECT_EQ(p.faults[0].skip, 1);
    EXPECT_EQ(p.faults[0].times, 2);
    EXPECT_EQ(p.faults[0].status, 5);
    EXPECT_TRUE(p.faults[0].thenLoseLink);
    std::string bad;
    EXPECT_FALSE(Profile::Parse("type=x", p, &bad));
    EXPECT_EQ(bad, "type");
    // A profile that does not parse is on record, and the default is used.
    Simulator sim("tb=zero");
    EXPECT_EQ(sim.CurrentProfile().timeBase, 2560);
    EXPECT_EQ(sim.Violations().size(), 1u);
}

TEST(Simulator, ProfileSetsItemValuesAtKeyOn)
{
    // Only as many elements as the item has (four thresholds).
    Simulator sim("set=0x24:131;set=0x25:32,82,113,139,200");
    EXPECT_EQ(peek(sim, 0x24), std::vector<std::int32_t>{131});
    EXPECT_EQ(peek(sim, 0x25), (std::vector<std::int32_t>{32, 82, 113, 139}));
    EXPECT_TRUE(sim.Violations().empty());
    Profile p;
    std::string bad;
    for (const char* text : {"set=0x24", "set=0x24:x", "set=300:1", "set=:1"}) {
        EXPECT_FALSE(Profile::Parse(text, p, &bad)) << text;
        EXPECT_EQ(bad, "set") << text;
    }
}

// --- Fault injection and observation -------------------------------------------------

TEST(Simulator, FaultFailsTheNthMatchingCall)
{
    Bench b;
    b.sim.AddFault({.op = Op::ReadRow, .code = 0x54, .matchItem = true, .skip = 2, .times = 2, .status = 5});
    std::vector<std::int32_t> row(12);
    std::vector<bool> results;
    for (int r = 0; r < 6; ++r)
        results.push_back(b.sim.ReadRow(0xc154, row.data(), r));
    EXPECT_EQ(results, (std::vector<bool>{true, true, false, false, true, true}));
    const auto calls = b.sim.Calls();
    auto failed = std::find_if(calls.begin(), calls.end(), [](const CallRecord& c) { return !c.result; });
    ASSERT_NE(failed, calls.end());
    EXPECT_EQ(failed->row, 2);
    EXPECT_EQ(failed->status, 5);
}

TEST(Simulator, FaultCanLoseTheLink)
{
    Bench b;
    b.sim.AddFault({.op = Op::WriteValue, .code = 0x24, .thenLoseLink = true});
    EXPECT_FALSE(b.sim.WriteValue(0x24, 1));
    EXPECT_EQ(b.sim.GetLastStatus(), 1);
    EXPECT_FALSE(b.sim.IsConnected());
    EXPECT_EQ(b.target.connectionEvents(), (std::vector<std::intptr_t>{1, 0}));
    EXPECT_EQ(peek(b.sim, 0x24)[0], 129);
}

TEST(Simulator, CallLogRecordsArgumentsResultsAndTime)
{
    Bench b;
    b.sim.ClearCalls();
    b.clock.advance(500);
    ASSERT_TRUE(b.sim.WriteElement(0x1d, 2, 0));
    std::int32_t v = 0;
    EXPECT_FALSE(b.sim.ReadItem(0x61ba, &v));
    const auto calls = b.sim.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, "WriteElement");
    EXPECT_EQ(calls[0].code, 0x1d);
    EXPECT_EQ(calls[0].row, 2);
    EXPECT_EQ(calls[0].in, std::vector<std::int32_t>{0});
    EXPECT_TRUE(calls[0].result);
    EXPECT_EQ(calls[0].timeMs, b.clock.tickCount());
    EXPECT_EQ(calls[1].op, Op::ReadItem);
    EXPECT_FALSE(calls[1].result);
    EXPECT_EQ(calls[1].status, 4);
    EXPECT_LT(calls[0].seq, calls[1].seq);
}

TEST(Simulator, IdentityIsConstantUntilSwapped)
{
    Bench b;
    std::array<std::int32_t, 20> a{}, c{};
    ASSERT_TRUE(b.sim.ReadItem(0x14100, a.data()));
    std::uint8_t buf[5] = {};
    std::int32_t len = 1;
    ASSERT_TRUE(b.sim.SendCommand(0x12, buf, &len, 5));
    b.clock.advance(5000);
    ASSERT_TRUE(b.sim.ReadItem(0x14100, c.data()));
    EXPECT_EQ(a, c);
    std::array<std::uint8_t, 20> other{};
    other.fill(0x42);
    b.sim.SwapIdentity(other);
    ASSERT_TRUE(b.sim.ReadItem(0x14100, c.data()));
    EXPECT_EQ(c[7], 0x42);
}

TEST(Simulator, ClearTriggerClearsTheDiagnosticMemory)
{
    Bench b;
    const std::int32_t states[5] = {1, 2, 3, 4, 5};
    ASSERT_TRUE(b.sim.PokeItem(0x1d, states));
    const std::int32_t zero[2] = {0, 0};
    ASSERT_TRUE(b.sim.WriteItem(0x2361, zero));
    EXPECT_EQ(peek(b.sim, 0x1d), std::vector<std::int32_t>(5, 0));
}

TEST(Simulator, MessageTextsAreKept)
{
    Simulator sim;
    sim.SetMessageCaption("Quorin Zelkon");
    sim.SetMessageText("Errore di comunicazione", 4);
    EXPECT_EQ(sim.MessageCaption(), "Quorin Zelkon");
    EXPECT_EQ(sim.MessageText(4), "Errore di comunicazione");
    EXPECT_EQ(sim.MessageText(5), "");
}

TEST(Simulator, ProfileComesFromTheEnvironmentThenTheFileBesideTheLibrary)
{
    QTemporaryDir dir;
    QFile ini(QDir(dir.path()).filePath("protovyx-sim.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("# demo ECU\ntype=56\nfw=7.2\n");
    ini.close();
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    qunsetenv("PROTOVYX_SIM");
    qunsetenv("PROTOVYX_SIM_FILE");
    Profile p;
    ASSERT_TRUE(Profile::Parse(ProfileTextFromEnvironment(folder), p));
    EXPECT_EQ(p.type, 56);
    EXPECT_EQ(ProfileTextFromEnvironment(folder + "/nothing-here"), "");
    qputenv("PROTOVYX_SIM", "type=79");
    ASSERT_TRUE(Profile::Parse(ProfileTextFromEnvironment(folder), p));
    EXPECT_EQ(p.type, 79);
    qunsetenv("PROTOVYX_SIM");
}
