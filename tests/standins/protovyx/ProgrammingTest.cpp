// Firmware programming in the simulated ECU.
#include "protovyx/Simulator.h"

#include "plat/testing/Fakes.h"
#include "product/firmware/FirmwareMeta.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace protovyx;
using qz::firmware::TImageSpec;
using qz::firmware::WriteFirmwareImage;

namespace {

constexpr std::uint32_t kConnectionEvent = 0x8190;
constexpr std::uint32_t kWaitProgress = 0x8191;

class RecordingTarget final : public plat::NotifyTarget {
public:
    explicit RecordingTarget(plat::testing::FakeClock& clock) : clock_(clock) {}
    void Post(std::uint32_t m, std::uintptr_t w, std::intptr_t l) override { events.push_back({m, w, l, false}); }
    std::intptr_t Send(std::uint32_t m, std::uintptr_t w, std::intptr_t l) override
    {
        events.push_back({m, w, l, true});
        sendTimes.push_back(clock_.tickCount());
        if (onSend)
            onSend();
        return 0;
    }
    std::vector<std::uintptr_t> progress() const
    {
        std::vector<std::uintptr_t> out;
        for (const auto& n : events)
            if (n.message == kWaitProgress)
                out.push_back(n.wParam);
        return out;
    }
    std::vector<Notification> events;
    std::vector<std::uint32_t> sendTimes;
    std::function<void()> onSend;

private:
    plat::testing::FakeClock& clock_;
};

struct Bench {
    plat::testing::FakeClock clock;
    TickClock<plat::testing::FakeClock> simClock{clock};
    Simulator sim;
    RecordingTarget target{clock};
    TBootInfo boot{};

    explicit Bench(std::string_view profile) : sim(profile)
    {
        sim.SetClock(&simClock);
        sim.SetNotifyWindow(&target);
        sim.SetTimeout(1200);
        EXPECT_TRUE(sim.DetectEcu(&boot));
        target.events.clear();
    }
    int program(const std::vector<char>& image) { return sim.ProgramFirmwareImage(image.data(), 2, 0, 1); }
    TEcuInfo info()
    {
        TEcuInfo e{};
        EXPECT_TRUE(sim.GetEcuInfo(&e));
        return e;
    }
    std::int32_t item(int number)
    {
        std::vector<std::int32_t> v;
        EXPECT_TRUE(sim.PeekItem(number, v));
        return v.empty() ? -1 : v[0];
    }
};

// For type 30, variants 2 and 3, version 30.7.
TImageSpec spec30()
{
    TImageSpec s;
    s.meta = {.type = 30, .variantMask = 0x0C, .version = 0x1E07, .minProgramVersion = 0x0100, .salt = 9};
    s.dataBytes = 1024;
    return s;
}

// The buffer exactly as large as the count says, unless stated says otherwise.
std::vector<char> image(std::string_view text, std::optional<std::uint32_t> stated = std::nullopt)
{
    const std::uint32_t n = stated.value_or(static_cast<std::uint32_t>(text.size()));
    std::vector<char> out;
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

std::vector<char> image(const TImageSpec& s) { return image(WriteFirmwareImage(s)); }

} // namespace

TEST(SimProgramming, SuccessSendsProgressAdoptsTheImageAndRestartsTheLink)
{
    Bench b("type=30;fw=30.4;hw=2;customer=7;programms=2000;rebootms=1500");
    ASSERT_TRUE(b.sim.WriteValue(0x05, 40));
    const auto t0 = b.clock.tickCount();
    bool linkOpenDuringProgress = false;
    b.target.onSend = [&] { linkOpenDuringProgress = b.sim.LinkOpen(); }; // no dead lock inside a send

    ASSERT_EQ(b.program(image(spec30())), 0);

    std::vector<std::uintptr_t> expected;
    for (std::uintptr_t p = 0; p <= 100; p += 5)
        expected.push_back(p);
    EXPECT_EQ(b.target.progress(), expected);
    for (const auto& n : b.target.events)
        if (n.message == kWaitProgress) {
            EXPECT_TRUE(n.sent) << "progress is sent, not posted";
            EXPECT_EQ(n.lParam, 0);
        }
    EXPECT_TRUE(linkOpenDuringProgress);
    EXPECT_EQ(b.target.sendTimes.front(), t0);
    EXPECT_EQ(b.target.sendTimes.back() - t0, 2000u) << "the progress spreads over the programming time";
    // The link restarts after the last progress step.
    ASSERT_EQ(b.target.events.back().message, kConnectionEvent);
    EXPECT_EQ(b.target.events.back().lParam, 0);
    EXPECT_FALSE(b.sim.IsConnected());

    // Parameters back at their defaults, no model byte, no personalisation.
    EXPECT_EQ(b.item(0x05), 28);
    EXPECT_EQ(b.item(0x40), 253);
    EXPECT_EQ(b.item(0x33), 0);
    EXPECT_EQ(b.item(0x15), 2) << "the hardware stays";

    EXPECT_FALSE(b.sim.Connect()) << "restarting";
    b.clock.advance(1500);
    ASSERT_TRUE(b.sim.Connect());
    EXPECT_TRUE(b.sim.IsApplicationRunning());
    const TEcuInfo e = b.info();
    EXPECT_EQ(e.EcuType, 30);
    EXPECT_EQ(e.FirmwareMajor, 30);
    EXPECT_EQ(e.FirmwareMinor, 7);
    EXPECT_EQ(e.EcuStatus, 253);
    TBootInfo boot{};
    ASSERT_TRUE(b.sim.DetectEcu(&boot));
    EXPECT_EQ(boot.BootId, 0x1E05u) << "the boot identity is the hardware's";
    EXPECT_TRUE(b.sim.Violations().empty());
}

TEST(SimProgramming, ScriptedResultsOnePerAttempt)
{
    Bench b("type=30;program=1,1,0;rebootms=0");
    const auto img = image(spec30());
    EXPECT_EQ(b.program(img), 1);
    EXPECT_EQ(b.target.progress(), (std::vector<std::uintptr_t>{0}));
    EXPECT_TRUE(b.sim.IsApplicationRunning());
    EXPECT_EQ(b.info().FirmwareMinor, 4) << "unchanged";
    EXPECT_EQ(b.program(img), 1);
    EXPECT_EQ(b.program(img), 0);
    EXPECT_EQ(b.program(img), 0) << "the script is used up: the image decides";
    b.sim.SetProgramResults({-1002});
    EXPECT_EQ(b.program(img), -1002);
}

TEST(SimProgramming, FailuresDuringTheWriteLeaveTheEcuInBootMode)
{
    struct Case {
        int result;
        bool boot;
        int lastProgress; // -1: none
    };
    const Case cases[] = {
        {1, false, 0}, {2, false, 0}, {-1, false, -1}, {-2, false, 0}, {-3, false, 0},
        {-4, true, 50}, {-5, true, 50}, {-1002, true, 50}, {3, true, 50}, {-7, true, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        Bench b("type=55;hw=3;model=5;program=" + std::to_string(c.result));
        TImageSpec s = spec30();
        s.meta.type = 55;
        EXPECT_EQ(b.program(image(s)), c.result);
        const auto progress = b.target.progress();
        EXPECT_EQ(progress.empty() ? -1 : static_cast<int>(progress.back()), c.lastProgress);
        EXPECT_EQ(b.sim.IsApplicationRunning(), !c.boot);
        if (!c.boot)
            continue;
        EXPECT_FALSE(b.sim.Connect());
        std::int32_t v = 0;
        EXPECT_FALSE(b.sim.ReadItem(0x24, &v)) << "the boot loader has no items";
        TBootInfo boot{};
        ASSERT_TRUE(b.sim.DetectEcu(&boot));
        EXPECT_EQ(boot.BootId, 0x0305u);
        EXPECT_EQ(boot.BootExtra, 55);
        EXPECT_EQ(b.info().EcuType, 3);
        EXPECT_EQ(b.info().BootEcuType, 55);
        // The next programming brings the application back.
        EXPECT_EQ(b.program(image(s)), 0);
        b.clock.advance(2000);
        EXPECT_TRUE(b.sim.IsApplicationRunning());
        EXPECT_TRUE(b.sim.Connect());
    }
}

TEST(SimProgramming, TheEcuChecksTheImageItself)
{
    auto edited = [](void (*edit)(TImageSpec&)) {
        TImageSpec s = spec30();
        edit(s);
        return WriteFirmwareImage(s);
    };
    const std::string good = WriteFirmwareImage(spec30());
    const auto end = good.rfind("S8");
    struct Case {
        const char* name;
        std::string text;
        int result;
    };
    const Case cases[] = {
        {"record checksum", edited([](TImageSpec& s) { s.breakChecksum = true; }), -2},
        {"two S0 records", edited([](TImageSpec& s) { s.s0Records = 2; }), -2},
        {"four S0 records", edited([](TImageSpec& s) { s.s0Records = 4; }), -2},
        {"metadata broken", edited([](TImageSpec& s) { s.breakConsistency = true; }), -2},
        {"no data", edited([](TImageSpec& s) { s.dataBytes = 0; }), -2},
        {"no end record", good.substr(0, end), -2},
        {"a record after the end", good + "S1050000AABB95\r\n", -2},
        {"an S0 among the data", good.substr(0, end) + "S0030000FC\r\n" + good.substr(end), -2},
        {"not a record", good.substr(0, end) + "hello\r\n" + good.substr(end), -2},
        {"wrong record count", good.substr(0, good.find("S5")) + "S5030007F5\r\n" + good.substr(end), -2},
        {"LF line ends", [&] {
             std::string t = good;
             for (auto p = t.find('\r'); p != std::string::npos; p = t.find('\r'))
                 t.erase(p, 1);
             return t;
         }(), 0},
        {"another type", edited([](TImageSpec& s) { s.meta.type = 31; }), -3},
        {"variant not supported", edited([](TImageSpec& s) { s.meta.variantMask = 0x01; }), -3},
        {"below the flash", edited([](TImageSpec& s) { s.loadAddress = 0x3F00; }), -4},
        {"beyond the flash", edited([](TImageSpec& s) { s.loadAddress = 0x3FF00; s.dataBytes = 512; }), -4},
        {"up to the flash end", edited([](TImageSpec& s) { s.loadAddress = 0x3FC00; }), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench b("type=30;hw=2;rebootms=0");
        ASSERT_TRUE(b.sim.WriteValue(0x05, 40));
        EXPECT_EQ(b.program(image(c.text)), c.result);
        if (c.result == -2 || c.result == -3) {
            EXPECT_TRUE(b.sim.IsApplicationRunning());
            EXPECT_EQ(b.item(0x05), 40) << "checked before anything is erased";
        }
        EXPECT_TRUE(b.sim.Violations().empty());
    }
}

TEST(SimProgramming, ReadsOnlyWhatTheLengthPrefixCounts)
{
    const std::string good = WriteFirmwareImage(spec30());
    {
        // A count far beyond the buffer (and beyond 4 MiB): refused unread.
        Bench b("type=30");
        EXPECT_EQ(b.program(image(good.substr(0, 40), 0x7FFFFFFFu)), -2);
        EXPECT_EQ(b.program(image("", 4u * 1024 * 1024 + 1)), -2);
    }
    {
        // The text beyond the count is not the image: here it loses its end record.
        Bench b("type=30");
        EXPECT_EQ(b.program(image(good, static_cast<std::uint32_t>(good.rfind("S8")))), -2);
    }
    {
        // Garbage after the counted text does not matter.
        Bench b("type=30");
        EXPECT_EQ(b.program(image(good + "garbage", static_cast<std::uint32_t>(good.size()))), 0);
    }
}

TEST(SimProgramming, MalformedCallsAndAbsentEcu)
{
    {
        Bench b("type=30");
        EXPECT_EQ(b.sim.ProgramFirmwareImage(nullptr, 2, 0, 1), -2);
        EXPECT_EQ(b.sim.Violations().size(), 1u);
        b.sim.ClearViolations();
        EXPECT_EQ(b.sim.ProgramFirmwareImage(image(spec30()).data(), 1, 0, 0), 0);
        EXPECT_EQ(b.sim.Violations().size(), 1u) << "the constant arguments are 2, 0, 1";
    }
    {
        Bench b("type=30;program=-5");
        b.sim.LoseLink();
        b.target.events.clear();
        EXPECT_EQ(b.program(image(spec30())), -1);
        EXPECT_TRUE(b.target.progress().empty());
        b.sim.RestoreLink();
        EXPECT_EQ(b.program(image(spec30())), 0) << "the scripted entry went with the failed attempt";
    }
}

TEST(SimProgramming, BootModeProfile)
{
    Bench b("type=3;boottype=55;hw=3;model=5;rebootms=0");
    EXPECT_EQ(b.boot.BootId, 0x0305u);
    EXPECT_EQ(b.boot.BootExtra, 55);
    EXPECT_FALSE(b.sim.IsApplicationRunning());
    EXPECT_FALSE(b.sim.Connect());
    TImageSpec s = spec30();
    s.meta.type = 55;
    s.meta.version = 0x0709;
    ASSERT_EQ(b.program(image(s)), 0);
    EXPECT_TRUE(b.sim.IsApplicationRunning());
    ASSERT_TRUE(b.sim.Connect());
    EXPECT_EQ(b.info().EcuType, 55);
    EXPECT_EQ(b.info().FirmwareMajor, 7);
    EXPECT_EQ(b.info().FirmwareMinor, 9);
    TBootInfo boot{};
    ASSERT_TRUE(b.sim.DetectEcu(&boot));
    EXPECT_EQ(boot.BootId, 0x3705u);

    Simulator plain("type=3");
    TBootInfo pb{};
    plain.SetTimeout(0);
    ASSERT_TRUE(plain.DetectEcu(&pb));
    EXPECT_EQ(pb.BootId, 0x0305u);
    EXPECT_EQ(pb.BootExtra, 30) << "boot type 30 when not given";
}
