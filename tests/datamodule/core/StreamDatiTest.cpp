// Construction, start-up failures, the message texts and the diagnostic watcher.
#include "tests/support/rig/DataModuleRig.h"

#include "complib/connection/VyxConnection.h"
#include "complib/settings/VyxRegistryData.h"
#include "complib/translator/Translator.h"
#include "product/constants/BuildConstants.h"

#include <QTimer>
#include <gmock/gmock.h>

namespace {

using rig::DataModuleRig;
using ::testing::ElementsAre;

TEST(StreamDati, ConstructionStateAndStartUpCalls)
{
    DataModuleRig r;
    TStreamDati& d = r.dm();
    EXPECT_EQ(StreamDati, &d);
    EXPECT_EQ(d.VyxRegistryData->Tag(), 1);
    EXPECT_TRUE(r.prompts.shown().empty());
    EXPECT_TRUE(d.VyxConnection->LibraryLoaded());
    EXPECT_TRUE(d.Translator->DllLoaded());
    EXPECT_EQ(d.VyxRegistryData->GetString(QStringLiteral("MainPath")), QStringLiteral("/opt/qz"));
    EXPECT_EQ(d.VyxRegistryData->KeyName(), QStringLiteral("\\Software\\Quorin\\7304K"));

    // The start-up settings, in their order, and nothing else.
    EXPECT_THAT(r.callNames(), ElementsAre("SetComPort", "SetLinkOptionA", "SetTimeout", "SetLinkOptionC",
                                           "SetLinkOptionB", "Prepare"));
    const auto calls = r.sim().Calls();
    EXPECT_EQ(calls[0].code, r.sim().CurrentProfile().port);
    EXPECT_EQ(calls[1].code, 5);
    EXPECT_EQ(r.sim().TimeoutMs(), 1200);

    EXPECT_EQ(d.NumeroRighe, 12);
    EXPECT_EQ(d.NumeroColonne, 12);
    EXPECT_EQ(d.GetTimeBase(), 2560);
    EXPECT_TRUE(d.GetUfficiale());
    const std::int32_t* descr = d.Item(dm::kVehicleDescriptionCode);
    std::string name;
    for (int i = 2; i < 30 && descr[i]; ++i)
        name += static_cast<char>(descr[i]);
    EXPECT_EQ(name, "Standard");
    EXPECT_EQ(d.Modified, 0);
    EXPECT_EQ(d.PollItem, 0x14100);
    EXPECT_EQ(d.PreviousPollItem, 0);
    EXPECT_EQ(d.LiveLength, 50);
    EXPECT_EQ(d.TransferTotal, 1406u);
    EXPECT_EQ(d.WriteThrough, 1);
    EXPECT_EQ(d.Identity, d.PreviousIdentity);
    EXPECT_STREQ(d.FileName.data(), "default");
    EXPECT_EQ(d.FileKey(), QByteArray(qz::FileKeyString()));
    EXPECT_TRUE(d.TimerIO->isActive());
    EXPECT_EQ(d.TimerIO->interval(), 2000);
    EXPECT_FALSE(d.TimerIO->isSingleShot());
    for (const QString& t : d.MessageTexts)
        EXPECT_TRUE(t.isEmpty());
}

TEST(StreamDati, MissingSettingsStillStartsTheProtocolLibrary)
{
    rig::Options o;
    o.settings = false;
    DataModuleRig r(o);
    TStreamDati& d = r.dm();
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    const auto& box = r.prompts.shown()[0];
    EXPECT_EQ(box.text, QString::fromUtf8(TStreamDati::kSettingsMissingText));
    EXPECT_EQ(box.caption, QStringLiteral("Quorin Zelkon"));
    EXPECT_EQ(box.icon, plat::PromptIcon::Error);
    EXPECT_EQ(d.VyxRegistryData->Tag(), 0);
    // The defaults are in place and the protocol object got its settings.
    EXPECT_EQ(d.VyxRegistryData->GetInteger(QStringLiteral("ComPort")), 0);
    EXPECT_EQ(r.callNames().size(), 6u);
    EXPECT_EQ(r.sim().Calls()[0].code, 0);
    EXPECT_EQ(d.GetTimeBase(), 2560);
}

TEST(StreamDati, MissingProtocolLibraryShowsBothBoxesAndCallsNothing)
{
    rig::Options o;
    o.protocolLibrary = false;
    DataModuleRig r(o);
    TStreamDati& d = r.dm();
    EXPECT_THAT(r.prompts.texts(), ElementsAre(QString::fromUtf8(TVyxConnection::kLoadFailedText),
                                               QString::fromUtf8(TStreamDati::kCommunicationMissingText)));
    EXPECT_EQ(d.VyxRegistryData->Tag(), 0);
    EXPECT_TRUE(r.sim().Calls().empty());
    // The module is still whole: the poll step finds no link and does nothing.
    d.TimerIOTimer();
    d.LoadMessageTexts();
    EXPECT_TRUE(r.events().empty());
    EXPECT_EQ(d.MessageTexts[4], rig::text(296));
}

TEST(StreamDati, LoadMessageTextsBySlotThenTheProtocolTexts)
{
    DataModuleRig r;
    r.sim().ClearCalls();
    r.dm().LoadMessageTexts();
    const int strings[] = {301, 302, 303, 304, 296, 342, 343, 17, 47, 181, 261};
    for (int slot = 0; slot < 11; ++slot)
        EXPECT_EQ(r.dm().MessageTexts[static_cast<std::size_t>(slot)], rig::text(strings[slot])) << slot;
    EXPECT_THAT(r.callNames(), ElementsAre("SetMessageCaption", "SetMessageText", "SetMessageText", "SetMessageText",
                                           "SetMessageText", "SetMessageText", "SetMessageText"));
    EXPECT_EQ(r.sim().MessageCaption(), "Quorin Zelkon");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(r.sim().MessageText(i), rig::text(295 + i).toStdString()) << i;
}

TEST(StreamDati, CheckDiagnosticErrorsPostsEachChangeOnce)
{
    DataModuleRig r;
    TStreamDati& d = r.dm();
    auto states = [&](std::vector<std::int32_t> v) { ASSERT_TRUE(r.sim().PokeItem(0x1d, v)); };

    states({0, 0, 0, 1, 0});
    d.CheckDiagnosticErrors(); // not connected: nothing
    EXPECT_TRUE(r.events().empty());
    EXPECT_EQ(d.DiagnosticErrorState, 0);

    r.connectEcu();
    d.CheckDiagnosticErrors();
    d.CheckDiagnosticErrors();
    states({0, 0, 0, 0, 0});
    d.CheckDiagnosticErrors();
    d.CheckDiagnosticErrors();
    states({0, 2, 0, 0, 0});
    d.CheckDiagnosticErrors();

    const auto ev = r.events();
    ASSERT_EQ(ev.size(), 3u);
    EXPECT_EQ(ev[0].lParam, 9);
    EXPECT_EQ(ev[0].wParam, 1u);
    EXPECT_FALSE(ev[0].sent);
    EXPECT_EQ(ev[1].wParam, 0u);
    EXPECT_EQ(ev[2].wParam, 1u);
    EXPECT_EQ(d.DiagnosticErrorState, 1);
    // Kind 1 re-reads the states on every call; kind 2 reads the image only.
    r.sim().ClearCalls();
    EXPECT_EQ(d.GetDiagnosi(1, 1), 2);
    EXPECT_EQ(d.GetDiagnosi(5, 1), 0);
    EXPECT_EQ(d.GetDiagnosi(0, 2), 0);
    EXPECT_EQ(d.GetDiagnosi(0, 3), 0);
    EXPECT_EQ(r.callsOf("ReadItem").size(), 1u);
}

TEST(StreamDati, DestructionUnloadsTheLibraryAndSavesTheSettings)
{
    DataModuleRig r;
    r.dm().VyxRegistryData->SetInteger(QStringLiteral("Language"), 3);
    r.connectEcu();
    r.destroyModule();
    EXPECT_EQ(StreamDati, nullptr);
    EXPECT_EQ(r.settings.keys[QStringLiteral("\\Software\\Quorin\\7304K")][QStringLiteral("Language")],
              QStringLiteral("3"));
    EXPECT_THAT(r.callNames(), ElementsAre("IsConnected", "Disconnect"));
    EXPECT_THAT(r.libraries.unloaded, ::testing::Contains(QStringLiteral("ProtoVyx.dll")));
}

} // namespace
