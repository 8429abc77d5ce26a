// Reconnect with the wait for the ready ECU, and the ECU identity.
#include "tests/support/rig/DataModuleRig.h"

#include <QTimer>
#include <gmock/gmock.h>

namespace {

using rig::DataModuleRig;
using ::testing::ElementsAre;

std::size_t count(const std::vector<std::string>& names, const std::string& name)
{
    return static_cast<std::size_t>(std::count(names.begin(), names.end(), name));
}

TEST(Reconnect, EcuAnsweringAtOnce)
{
    DataModuleRig r;
    r.connectEcu();
    bool timerOffInside = true;
    r.clock.onSleep([&](std::uint32_t) { timerOffInside = timerOffInside && !r.dm().TimerIO->isActive(); });
    EXPECT_TRUE(r.dm().Reconnect(20000));
    EXPECT_THAT(r.callNames(), ElementsAre("Disconnect", "BeginReconnect", "Connect", "EndReconnect", "ReadItem"));
    EXPECT_EQ(r.sim().Calls().back().code, 2);
    EXPECT_EQ(r.clock.sleeps(), std::vector<std::uint32_t>{800});
    EXPECT_TRUE(timerOffInside);
    EXPECT_TRUE(r.dm().TimerIO->isActive());
    EXPECT_THAT(r.sim().Violations(), ::testing::IsEmpty());
}

TEST(Reconnect, RetriesEvery500msUntilTheLinkOpens)
{
    DataModuleRig r;
    r.sim().AddFault({.op = protovyx::Op::Connect, .times = 3});
    EXPECT_TRUE(r.dm().Reconnect(20000));
    EXPECT_EQ(count(r.callNames(), "Connect"), 4u);
    EXPECT_EQ(r.clock.sleeps(), (std::vector<std::uint32_t>{800, 500, 500, 500}));
}

TEST(Reconnect, LinkThatNeverOpensGivesUpAtTheTimeOutWithoutWaitingForReady)
{
    DataModuleRig r;
    r.sim().AddFault({.op = protovyx::Op::Connect, .times = -1});
    r.dm().TimerIO->stop();
    EXPECT_FALSE(r.dm().Reconnect(2000));
    EXPECT_EQ(count(r.callNames(), "Connect"), 5u); // 0, 500, ... 2000 ms
    EXPECT_EQ(count(r.callNames(), "ReadItem"), 0u);
    EXPECT_EQ(r.callNames().back(), "EndReconnect");
    EXPECT_FALSE(r.dm().TimerIO->isActive()); // stopped before, stopped after
}

TEST(Reconnect, EcuNeverReadyFailsAfterThirtySeconds)
{
    rig::Options o;
    o.profile = "neverready=1";
    DataModuleRig r(o);
    ASSERT_TRUE(r.dm().TimerIO->isActive());
    const auto start = r.clock.tickCount();
    EXPECT_FALSE(r.dm().Reconnect(20000));
    EXPECT_EQ(count(r.callNames(), "ReadItem"), 61u); // at once, then every 500 ms for 30 s
    EXPECT_GE(r.clock.tickCount() - start, 30800u);
    EXPECT_TRUE(r.dm().TimerIO->isActive());
}

TEST(Reconnect, WaitEcuReadyStopsAt172)
{
    DataModuleRig r;
    r.connectEcu();
    r.sim().SetNeverReady(true);
    int sleeps = 0;
    r.clock.onSleep([&](std::uint32_t) {
        if (++sleeps == 3)
            r.sim().SetNeverReady(false);
    });
    EXPECT_TRUE(r.dm().WaitEcuReady(30000));
    EXPECT_EQ(count(r.callNames(), "ReadItem"), 4u);
}

TEST(Identity, ReadEcuIdentity)
{
    rig::Options o;
    o.profile = "type=55;fw=7.2;customer=2";
    DataModuleRig r(o);
    r.connectEcu();
    EXPECT_TRUE(r.dm().ReadEcuIdentity());
    EXPECT_EQ(r.dm().CustomerCode, 2u);
    EXPECT_EQ(r.dm().EcuInfo.EcuType, 55);
    EXPECT_EQ(r.dm().EcuInfo.FirmwareMajor, 7);
    EXPECT_EQ(r.dm().EcuInfo.FirmwareMinor, 2);
    EXPECT_THAT(r.callNames(), ElementsAre("ReadItem", "GetEcuInfo"));
    EXPECT_EQ(r.sim().Calls()[0].code, 0x233);

    // A link failure on the customer code leaves the copy at 0.
    r.sim().AddFault({.op = protovyx::Op::ReadItem, .code = 0x233});
    EXPECT_TRUE(r.dm().ReadEcuIdentity());
    EXPECT_EQ(r.dm().CustomerCode, 0u);
    // Not connected: GetEcuInfo's failure is the result.
    r.sim().Disconnect();
    EXPECT_FALSE(r.dm().ReadEcuIdentity());
}

TEST(Identity, EcuWithoutCustomerCode)
{
    rig::Options o;
    o.profile = "customer=absent";
    DataModuleRig r(o);
    r.connectEcu();
    EXPECT_TRUE(r.dm().ReadEcuIdentity());
    EXPECT_EQ(r.dm().CustomerCode, 0x10000u);
}

TEST(Identity, SetEcuTypeMakesAnOfflineImage)
{
    DataModuleRig r;
    TStreamDati& d = r.dm();
    d.EcuInfo = {253, 30, 4, 30, 31, {}};
    d.CustomerCode = 2;
    d.ItemB5Present = 1;
    *d.Item(0x23b) = 9;
    EXPECT_EQ(d.SetEcuType(79), 1);
    EXPECT_EQ(d.EcuInfo.EcuType, 79);
    EXPECT_EQ(d.EcuInfo.EcuStatus, 5);
    EXPECT_EQ(d.EcuInfo.FirmwareMajor, 0);
    EXPECT_EQ(d.EcuInfo.FirmwareMinor, 0);
    EXPECT_EQ(d.EcuInfo.BootEcuType, 31);
    EXPECT_EQ(d.CustomerCode, 0u);
    EXPECT_EQ(d.ItemB5Present, 0);
    EXPECT_EQ(d.Modified, 1);
    EXPECT_EQ(*d.Item(0x23b), 0);
    std::vector<std::int32_t> codes;
    for (const auto& c : r.callsOf("WriteValue")) {
        codes.push_back(c.code);
        EXPECT_EQ(c.in.back(), 0);
    }
    EXPECT_THAT(codes, ElementsAre(0x255, 0x23b, 0x23c, 0x4e, 0xb5, 0x2b6));
    // The last write decides the result.
    r.connectEcu();
    r.sim().AddFault({.op = protovyx::Op::WriteValue, .code = 0x2b6});
    EXPECT_EQ(d.SetEcuType(30), 0);
}

TEST(Identity, WriteEcuTypeAndSetPersStoreOnlyWhatTheEcuTook)
{
    DataModuleRig r;
    r.connectEcu();
    TStreamDati& d = r.dm();
    d.EcuInfo.EcuStatus = 253;
    d.WriteEcuType(5);
    EXPECT_EQ(d.EcuInfo.EcuStatus, 5);
    d.SetPers(2);
    EXPECT_EQ(d.CustomerCode, 2u);
    std::vector<std::int32_t> ecu;
    ASSERT_TRUE(r.sim().PeekItem(0x33, ecu));
    EXPECT_EQ(ecu[0], 2);

    r.sim().AddFault({.op = protovyx::Op::WriteValue, .times = 2});
    d.WriteEcuType(37);
    d.SetPers(7);
    EXPECT_EQ(d.EcuInfo.EcuStatus, 5);
    EXPECT_EQ(d.CustomerCode, 2u);
    EXPECT_EQ(d.Modified, 0);
}

} // namespace
