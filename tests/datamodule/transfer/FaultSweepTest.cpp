// Fault injection over whole passes: the Nth ECU call of a read-and-save pass
// and of a load-and-write pass fails, for every N. Each run either goes on
// (the calls whose result is not tested) or ends with the one retry
// question; nothing is left open, no file is damaged, no temporary file stays.
#include "TransferSupport.h"

namespace {

using tx::TransferRig;
using T = TStreamDati;

constexpr char kConfig[] = "[Lambda]\r\nRifLambda=40\r\n[Generale]\r\nNoteConfig=SWEEP\r\n";

int eligibleCalls(const protovyx::Simulator& sim)
{
    int n = 0;
    for (const auto& c : sim.Calls())
        if (c.op != protovyx::Op::Other)
            ++n;
    return n;
}

void sweep(std::uint32_t flags)
{
    int total = 0;
    {
        TransferRig r;
        r.writeConfig(r.path("car.zc4"), kConfig);
        r.connectEcu();
        ASSERT_TRUE(r.transfer(flags, r.path("car.zc4")));
        total = eligibleCalls(r.sim());
    }
    ASSERT_GT(total, 100);
    int failed = 0;
    for (int n = 0; n < total; ++n) {
        TransferRig r;
        const QString file = r.path("car.zc4");
        r.writeConfig(file, kConfig);
        const auto before = r.plainOf(file);
        r.connectEcu();
        r.sim().AddFault({.op = protovyx::Op::Any, .skip = n, .times = 1});
        // No to the retry question (a poll step may show its own box first).
        r.prompts.script({plat::IDNO, plat::IDNO, plat::IDNO});
        const bool ok = r.transfer(flags, file);
        int retryQuestions = 0;
        for (const auto& box : r.prompts.shown())
            if (box.text.endsWith(QStringLiteral("T47")))
                ++retryQuestions;
        std::string failedCall;
        for (const auto& c : r.sim().Calls())
            if (!c.result && failedCall.empty())
                failedCall = c.name + " " + std::to_string(c.code) + " row " + std::to_string(c.row);
        EXPECT_EQ(retryQuestions, ok ? 0 : 1) << "call " << n << ": " << failedCall << " "
                                              << r.prompts.texts().join('|').toStdString();
        EXPECT_FALSE(r.dm().IsContainerOpen()) << "call " << n;
        EXPECT_EQ(r.scratchFiles(), QStringList{"car.zc4"}) << "call " << n;
        if (!ok) {
            ++failed;
            EXPECT_EQ(r.plainOf(file), before) << "call " << n;
        } else {
            const auto doc = r.readConfig(file);
            EXPECT_TRUE(doc.Value("Lambda", "RifLambda").has_value()) << "call " << n;
        }
    }
    // Most calls are under the read or write rule.
    EXPECT_GT(failed, total / 2);
}

TEST(FaultSweep, ReadAndSavePass) { sweep(T::TRANSFER_READ_ECU | T::TRANSFER_SAVE); }

TEST(FaultSweep, LoadAndWritePass) { sweep(T::TRANSFER_LOAD | T::TRANSFER_WRITE_ECU); }

} // namespace
