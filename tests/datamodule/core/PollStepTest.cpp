// The poll step in idle and live mode, its reconnect, and the transfer progress.
#include "tests/support/rig/DataModuleRig.h"

#include <QTimer>
#include <gmock/gmock.h>

namespace {

using rig::DataModuleRig;
using ::testing::ElementsAre;

class PollStep : public ::testing::Test {
protected:
    void SetUp() override
    {
        r.dm().LoadMessageTexts();
        r.connectEcu();
    }
    void TearDown() override { EXPECT_THAT(r.sim().Violations(), ::testing::IsEmpty()); }

    std::vector<plat::testing::RecordedMessage> ticks()
    {
        std::vector<plat::testing::RecordedMessage> out;
        for (const auto& e : r.events())
            if (e.lParam == 7)
                out.push_back(e);
        return out;
    }
    QString disconnectedText() const { return rig::text(296) + QStringLiteral(" 2."); }
    void exchangeEcu()
    {
        std::array<std::uint8_t, 20> other{};
        other.fill(0x5a);
        r.sim().SwapIdentity(other);
    }

    DataModuleRig r;
};

TEST_F(PollStep, NotConnectedDoesNothing)
{
    r.sim().Disconnect();
    r.sim().ClearCalls();
    r.dm().TimerIOTimer();
    EXPECT_THAT(r.callNames(), ElementsAre("IsConnected"));
    EXPECT_TRUE(r.events().empty());
    EXPECT_EQ(r.dm().PreviousPollItem, 0);
}

TEST_F(PollStep, IdleStepReadsIdentityDiagnosticsAndStatusWord)
{
    ASSERT_TRUE(r.sim().PokeItem(0xac, std::vector<std::int32_t>{0x1234}));
    r.dm().TimerIOTimer();
    const auto reads = r.callsOf("ReadItem");
    ASSERT_EQ(reads.size(), 7u); // identity, five diagnostic re-reads, status word
    EXPECT_EQ(reads.front().code, 0x14100);
    EXPECT_EQ(reads[1].code, 0x511d);
    EXPECT_EQ(reads.back().code, 0x2ac);
    std::vector<std::int32_t> identity;
    ASSERT_TRUE(r.sim().PeekItem(0, identity));
    EXPECT_TRUE(std::equal(identity.begin(), identity.end(), r.dm().Identity.begin()));
    // The first idle step after a connect: the identity changed, no notice.
    EXPECT_EQ(r.dm().IdentityChanged, 1);
    EXPECT_TRUE(r.prompts.shown().empty());
    const auto t = ticks();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].wParam, 0x1234u);
    EXPECT_FALSE(t[0].sent);
    EXPECT_EQ(r.dm().PreviousPollItem, 0x14100);

    r.dm().TimerIOTimer(); // same ECU again
    EXPECT_EQ(r.dm().IdentityChanged, 0);
    EXPECT_EQ(ticks().size(), 1u);
    EXPECT_TRUE(r.sim().IsConnected());
}

TEST_F(PollStep, ExchangedEcuBetweenTwoIdleStepsDisconnectsWithOneNotice)
{
    r.dm().TimerIOTimer();
    ticks();
    exchangeEcu();
    r.sim().ClearCalls();
    r.dm().TimerIOTimer();

    EXPECT_THAT(r.callNames(), ElementsAre("IsConnected", "ReadItem", "Disconnect"));
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].text, disconnectedText());
    EXPECT_EQ(r.prompts.shown()[0].caption, QStringLiteral("Quorin Zelkon"));
    EXPECT_EQ(r.prompts.shown()[0].icon, plat::PromptIcon::Information);
    EXPECT_TRUE(ticks().empty());
    EXPECT_EQ(r.dm().PreviousPollItem, 0x14100);
    EXPECT_FALSE(r.sim().IsConnected());
    // Later steps find the link closed.
    r.dm().TimerIOTimer();
    EXPECT_EQ(r.prompts.shown().size(), 1u);
}

TEST_F(PollStep, LiveStepBetweenIdleStepsSuppressesTheExchangeNotice)
{
    r.dm().TimerIOTimer();
    r.dm().SetPollItem(1);
    r.dm().TimerIOTimer();
    EXPECT_EQ(r.dm().PreviousPollItem, 1);
    exchangeEcu();
    r.dm().SetPollItem(0x14100);
    r.dm().TimerIOTimer();
    EXPECT_EQ(r.dm().IdentityChanged, 1);
    EXPECT_TRUE(r.prompts.shown().empty());
    EXPECT_TRUE(r.sim().IsConnected());
    EXPECT_EQ(ticks().size(), 3u);
}

TEST_F(PollStep, LiveModeAsksForTheWholeBlockEveryTime)
{
    r.dm().SetPollItem(1);
    r.sim().SetLiveFrameLength(20);
    r.dm().TimerIOTimer();
    EXPECT_EQ(r.dm().LiveLength, 20);
    r.sim().SetLiveFrameLength(50);
    r.dm().TimerIOTimer();
    EXPECT_EQ(r.dm().LiveLength, 50);

    const auto blocks = r.callsOf("ReadBlock");
    ASSERT_EQ(blocks.size(), 2u);
    for (const auto& b : blocks) {
        EXPECT_EQ(b.code, 1);
        EXPECT_EQ(b.row, 50); // the capacity offered
    }
    EXPECT_TRUE(std::equal(blocks[1].out.begin(), blocks[1].out.end(), r.dm().LiveBlock.begin()));
    EXPECT_EQ(r.dm().DecodedLiveBlock().Length, 50);
    // No identity read and no diagnostics in live mode.
    const auto reads = r.callsOf("ReadItem");
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[0].code, 0x2ac);
    EXPECT_EQ(ticks().size(), 2u);
}

TEST_F(PollStep, FailedReadReconnectsAndGoesOn)
{
    r.sim().AddFault({.op = protovyx::Op::ReadItem, .code = 0x14100});
    r.dm().TimerIOTimer();
    EXPECT_THAT(r.callNames(), ::testing::IsSupersetOf({"BeginReconnect", "Connect", "EndReconnect"}));
    EXPECT_EQ(r.callsOf("Connect").size(), 1u);
    EXPECT_EQ(r.callsOf("ReadItem").front().code, 0x14100);
    EXPECT_EQ(r.callsOf("ReadItem")[1].code, 0x14100);
    EXPECT_TRUE(r.clock.sleeps().empty());
    EXPECT_TRUE(r.prompts.shown().empty());
    EXPECT_EQ(ticks().size(), 1u);
}

TEST_F(PollStep, ReconnectGivesUpAfterFourSecondsWithOneErrorBox)
{
    r.dm().TimerIOTimer();
    ticks();
    r.sim().AddFault({.op = protovyx::Op::ReadBlock, .times = -1});
    r.sim().AddFault({.op = protovyx::Op::Connect, .times = -1});
    r.dm().SetPollItem(1);
    // The timers keep firing while the box is shown: those ticks do nothing.
    std::size_t callsInBox = 0;
    r.prompts.onAsk([&](const plat::PromptRequest&) {
        const auto before = r.sim().Calls().size();
        r.dm().TimerIOTimer();
        r.dm().TimerIOTimer();
        callsInBox = r.sim().Calls().size() - before;
    });
    r.sim().ClearCalls();
    r.dm().TimerIOTimer();

    EXPECT_EQ(r.callsOf("Connect").size(), 9u); // at once, then every 500 ms up to 4000 ms
    EXPECT_EQ(r.clock.sleeps(), std::vector<std::uint32_t>(8, 500));
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].text, disconnectedText());
    EXPECT_EQ(r.prompts.shown()[0].icon, plat::PromptIcon::Error);
    EXPECT_EQ(callsInBox, 0u);
    EXPECT_EQ(r.callNames().back(), "EndReconnect");
    EXPECT_TRUE(ticks().empty());
    EXPECT_EQ(r.dm().PreviousPollItem, 0x14100);

    // After the box the step runs again.
    r.prompts.onAsk({});
    r.sim().ClearFaults();
    r.dm().TimerIOTimer();
    EXPECT_EQ(ticks().size(), 1u);
    EXPECT_EQ(r.dm().PreviousPollItem, 1);
}

TEST_F(PollStep, StatusWordFailures)
{
    // Only "no such item": tolerated silently.
    r.sim().AddFault({.op = protovyx::Op::ReadItem, .code = 0x2ac, .status = ECU_STATUS_NO_ITEM});
    ASSERT_TRUE(r.sim().PokeItem(0xac, std::vector<std::int32_t>{55}));
    r.dm().TimerIOTimer();
    auto t = ticks();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].wParam, 0u);
    EXPECT_TRUE(r.prompts.shown().empty());
    EXPECT_TRUE(r.sim().IsConnected());

    // A link failure closes the link and says so; the tick is still posted.
    r.sim().AddFault({.op = protovyx::Op::ReadItem, .code = 0x2ac, .status = ECU_STATUS_LINK});
    r.dm().TimerIOTimer();
    EXPECT_FALSE(r.sim().IsConnected());
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].icon, plat::PromptIcon::Information);
    t = ticks();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].wParam, 0u);
}

TEST_F(PollStep, IdleStepPostsDiagnosticChanges)
{
    ASSERT_TRUE(r.sim().PokeItem(0x1d, std::vector<std::int32_t>{0, 0, 0, 0, 4}));
    r.dm().TimerIOTimer();
    const auto ev = r.events();
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[0].lParam, 9);
    EXPECT_EQ(ev[0].wParam, 1u);
    EXPECT_EQ(ev[1].lParam, 7);
}

TEST_F(PollStep, TheTimerRunsTheStep)
{
    r.dm().TimerIO->setInterval(0);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ticks().empty());
}

TEST(Progress, CountsBytesAndSendsPercentagesToEveryWindow)
{
    DataModuleRig r;
    TStreamDati& d = r.dm();
    d.TransferCount = 0;
    d.AddProgress(0xc154, d.TransferTotal, false);
    EXPECT_EQ(d.TransferCount, 12u);
    d.AddProgress(0x279, d.TransferTotal, false);
    EXPECT_EQ(d.TransferCount, 14u);
    d.AddProgress(0x24, d.TransferTotal, false);
    EXPECT_EQ(d.TransferCount, 15u);
    EXPECT_TRUE(r.windows.broadcast.empty());

    d.TransferCount = 1400;
    d.AddProgress(0x3011b, d.TransferTotal, true); // 1448 bytes of 1406
    d.AddProgress(0x24, 0, true);                  // no total: 0 %
    ASSERT_EQ(r.windows.broadcast.size(), 2u);
    EXPECT_EQ(r.windows.broadcast[0].message, plat::WM_WAITPROGRESS);
    EXPECT_EQ(r.windows.broadcast[0].wParam, 102u);
    EXPECT_EQ(r.windows.broadcast[0].lParam, 0);
    EXPECT_EQ(r.windows.broadcast[1].wParam, 0u);
    // Delivered synchronously to the windows.
    ASSERT_FALSE(r.mainWindow.messages.empty());
    EXPECT_TRUE(r.mainWindow.messages[0].sent);
}

} // namespace
