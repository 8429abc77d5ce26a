// The connect and identification sequence against the simulated ECU, with
// scripted prompts and file dialogs, in virtual time.
#include "MainTestSupport.h"
#include "shell/main/MainQuorin.h"
#include "shell/main/MainRules.h"

#include "complib/settings/VyxRegistryData.h"
#include "product/constants/BuildConstants.h"
#include "shell/windows/Attesa.h"
#include "tests/support/rig/DataModuleRig.h"

#include "plat/PictureButton.h"
#include "plat/ProgramVersion.h"
#include "plat/testing/DesktopFakes.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

int resourceFor(int type, int injector = 25, bool cng = false, bool option = false)
{
    return qz::DefaultConfigResourceId(static_cast<std::uint8_t>(type), cng, option,
                                       static_cast<std::uint8_t>(injector),
                                       static_cast<std::uint8_t>(qz::CustomerId()));
}

const QString kTitle = QString::fromUtf8(qz::ProductTitle());

// A main window on a data module wired to a simulated ECU of the given
// profile. Default sets are recorded, not loaded.
class Connect {
public:
    explicit Connect(const std::string& profile) : rig({.profile = profile})
    {
        qz::InitBuildConstants();
        window = std::make_unique<TFormMain>();
        window->DefaultSetLoader = [this](int resource) {
            loads.push_back(resource);
            return true;
        };
        rig.prompts.clear();
        rig.sim().ClearCalls();
    }
    ~Connect()
    {
        window.reset();
        QApplication::processEvents();
    }

    void run()
    {
        window->ActionConnettiExecute();
        QApplication::processEvents(); // the link's events
    }
    int calls(const char* name) const { return static_cast<int>(rig.callsOf(name).size()); }
    std::int32_t item(int number, std::size_t element = 0)
    {
        std::vector<std::int32_t> v;
        EXPECT_TRUE(rig.sim().PeekItem(number, v));
        return v.size() > element ? v[element] : -1;
    }
    QStringList prompts() const { return rig.prompts.texts(); }

    plat::testing::FakeFileDialogs dialogs;
    plat::ScopedDesktop desktopGuard{{.fileDialogs = &dialogs}};
    rig::DataModuleRig rig;
    std::unique_ptr<TFormMain> window;
    std::vector<int> loads;
};

class ProgramVersion {
public:
    explicit ProgramVersion(const QString& v) { plat::SetProgramVersionOverride(v); }
    ~ProgramVersion() { plat::SetProgramVersionOverride(std::nullopt); }
};

TEST(ConnectSequence, ReadsTheImageOfASupportedEcuWithProgress)
{
    Connect c("type=55;fw=7.2;port=3");
    c.run();
    EXPECT_TRUE(c.rig.sim().LinkOpen());
    EXPECT_TRUE(c.prompts().isEmpty()) << c.prompts().join(" | ").toStdString();
    // The default set of the ECU's own type first, then the whole image read.
    ASSERT_EQ(c.loads.size(), 1u);
    EXPECT_EQ(c.loads[0], resourceFor(55));
    EXPECT_GT(c.calls("ReadRow"), 20);
    EXPECT_EQ(c.calls("WriteRow"), 0);
    bool progress = false;
    for (const auto& m : c.rig.windows.broadcast)
        progress = progress || m.message == plat::WM_WAITPROGRESS;
    EXPECT_TRUE(progress);
    EXPECT_EQ(StreamDati->EcuInfo.EcuType, 55);
    EXPECT_TRUE(StreamDati->TimerIO->isActive());
    EXPECT_EQ(StreamDati->VyxRegistryData->GetInteger(QStringLiteral("ComPort")), 3);
    EXPECT_EQ(c.window->ImageBase->currentId(), mainrules::EcuPictureId(55));
    EXPECT_EQ(c.window->ImageConnected->currentId(), 10001);
    EXPECT_TRUE(c.window->LabelVersioneFw->text().startsWith(QStringLiteral("T13: 7.2")))
        << c.window->LabelVersioneFw->text().toStdString();
    EXPECT_FALSE(c.window->ActionConnetti->isEnabled());
    // No wait form is left behind.
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TFormAttesa*>(w), nullptr);
}

TEST(ConnectSequence, RefusedEcusLeaveTheType30SetOffline)
{
    struct Case {
        const char* profile;
        const char* version;
        QString text;
    } cases[] = {
        {"present=0", "1.5.0.0", QStringLiteral("T17\nT19\n(ERR.CODE: C01)")},
        {"type=37", "1.5.0.0", QStringLiteral("T33\nT17\n(ERR.CODE: C03)")},
        {"type=38", "1.5.0.0", QStringLiteral("T33\nT17\n(ERR.CODE: C03)")},
        {"model=0", "1.5.0.0", QStringLiteral("T33\nT17\n(ERR.CODE: C03)")},
        {"model=4", "1.5.0.0", QStringLiteral("T33\nT17\n(ERR.CODE: C03)")},
        {"pcmin=1.6", "1.5.0.0", QStringLiteral("T17\nT34\n(ERR.CODE: C04)")},
        {"pcmin=1.0", "", QStringLiteral("T17\nT34\n(ERR.CODE: C04)")}, // no version: 0
        {"boot=1", "1.5.0.0", QStringLiteral("T17\nT366\n(ERR.CODE: C05)")},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.profile);
        ProgramVersion version(QString::fromLatin1(k.version));
        Connect c(k.profile);
        StreamDati->EcuInfo.EcuType = 55;
        c.run();
        ASSERT_EQ(c.rig.prompts.shown().size(), 1u);
        const auto& box = c.rig.prompts.shown()[0];
        EXPECT_EQ(box.text, k.text);
        EXPECT_EQ(box.caption, kTitle);
        EXPECT_EQ(box.icon, plat::PromptIcon::Error);
        EXPECT_EQ(box.buttons, plat::PromptButtons::Ok);
        EXPECT_FALSE(c.rig.sim().LinkOpen());
        ASSERT_EQ(c.loads.size(), 1u);
        EXPECT_EQ(c.loads[0], resourceFor(30));
        EXPECT_EQ(StreamDati->EcuInfo.EcuType, 30);
        EXPECT_TRUE(StreamDati->TimerIO->isActive());
        EXPECT_EQ(c.calls("ReadRow"), 0); // nothing read from a refused ECU
    }
}

TEST(ConnectSequence, AnUnreadableIdentityIsAFailedConnection)
{
    Connect c("type=55");
    StreamDati->EcuInfo.EcuType = 55;
    c.rig.sim().AddFault({.op = protovyx::Op::GetEcuInfo});
    c.run();
    EXPECT_EQ(c.prompts(), QStringList{QStringLiteral("T17\nT19\n(ERR.CODE: C01)")});
    EXPECT_FALSE(c.rig.sim().LinkOpen());
    EXPECT_EQ(c.loads, std::vector<int>{resourceFor(30)});
    EXPECT_EQ(c.calls("ReadRow"), 0);
}

TEST(ConnectSequence, VersionBelowTheRecommendedWarnsAndConnects)
{
    ProgramVersion version(QStringLiteral("1.5.0.0"));
    for (const char* profile : {"pcmin=1.5;pcrec=1.6", "pcmin=1.5;pcrec=1.5", "pcmin=1.4;pcrec=2.0"}) {
        SCOPED_TRACE(profile);
        Connect c(profile);
        const bool warned = std::string(profile) != "pcmin=1.5;pcrec=1.5";
        c.run();
        EXPECT_TRUE(c.rig.sim().LinkOpen());
        EXPECT_EQ(c.loads, std::vector<int>{resourceFor(30)});
        if (warned) {
            ASSERT_EQ(c.rig.prompts.shown().size(), 1u);
            EXPECT_EQ(c.rig.prompts.shown()[0].text, QStringLiteral("T35\nT34"));
            EXPECT_EQ(c.rig.prompts.shown()[0].icon, plat::PromptIcon::Warning);
        } else {
            EXPECT_TRUE(c.prompts().isEmpty());
        }
    }
}

TEST(ConnectSequence, OldFirmwareGetsTheAdviceAfterLoading)
{
    struct Case { const char* profile; bool advice; } cases[] = {
        {"type=30;fw=21.9", true}, {"type=31;fw=31.5", true},
        {"type=30;fw=22.0", false}, {"type=31;fw=32.0", false}, {"type=55;fw=7.2", false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.profile);
        Connect c(k.profile);
        int readsWhenShown = -1;
        c.rig.prompts.onAsk([&](const plat::PromptRequest&) { readsWhenShown = c.calls("ReadRow"); });
        c.run();
        if (!k.advice) {
            EXPECT_TRUE(c.prompts().isEmpty());
            continue;
        }
        ASSERT_EQ(c.rig.prompts.shown().size(), 1u);
        const auto& box = c.rig.prompts.shown()[0];
        EXPECT_EQ(box.icon, plat::PromptIcon::Information);
        EXPECT_EQ(box.caption, c.window->windowTitle());
        EXPECT_TRUE(box.text.startsWith(QString(32, QLatin1Char(' ')) + QStringLiteral("ATTENZIONE !!! - WARNING !!! \n\n   E'")));
        EXPECT_TRUE(box.text.contains(QStringLiteral("\n\n       It's better")));
        EXPECT_TRUE(box.text.endsWith(QStringLiteral("reduced functionalities.\n")));
        EXPECT_GT(readsWhenShown, 20); // after the image was read
    }
}

TEST(ConnectSequence, ModelByte253IsWrittenAs5BeforeTheSupportTest)
{
    Connect c("model=253");
    c.run();
    EXPECT_EQ(c.item(0x40), 5);
    EXPECT_EQ(StreamDati->EcuInfo.EcuStatus, 5);
    EXPECT_TRUE(c.rig.sim().LinkOpen());
    EXPECT_TRUE(c.prompts().isEmpty());
}

TEST(ConnectSequence, CustomerCodeZeroBecomesOne)
{
    Connect c("customer=0");
    c.run();
    EXPECT_EQ(c.item(0x33), 1);
    EXPECT_EQ(StreamDati->CustomerCode, 1u);
}

TEST(ConnectSequence, AFreshlyResetEcuReceivesTheDefaultSet)
{
    struct Case { const char* profile; double injection; bool externalMap; } cases[] = {
        {"fresh=1;type=30", 4.0, false},
        {"fresh=1;type=53", 10.0, false},
        {"fresh=1;type=31", 6.0, true},
        {"fresh=1;type=56", 6.0, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.profile);
        Connect c(k.profile);
        const std::int32_t item1 = c.item(1);
        ASSERT_EQ(item1 & 1, 1);
        if (k.externalMap) {
            const std::int32_t options[] = {0x10, 0};
            ASSERT_TRUE(c.rig.sim().PokeItem(3, options));
        }
        c.rig.sim().ClearCalls();
        c.run();
        EXPECT_TRUE(c.prompts().isEmpty()) << c.prompts().join(" | ").toStdString();
        EXPECT_EQ(c.item(1), item1 & ~1); // bit 0 cleared, the others kept
        EXPECT_GT(c.calls("WriteRow") + c.calls("WriteItem"), 20);
        EXPECT_DOUBLE_EQ(static_cast<double>(StreamDati->GetValueByCode(0x34)), k.injection);
        if (k.externalMap) {
            EXPECT_EQ(StreamDati->GetOffsetPendenza(2), 100);
            EXPECT_EQ(StreamDati->GetOffsetPendenza(3), 500);
            EXPECT_EQ(StreamDati->GetOffsetPendenza(4), -108);
            EXPECT_EQ(StreamDati->GetOffsetPendenza(5), 542);
            EXPECT_NE(StreamDati->GetFlag(14), 0);
            EXPECT_EQ(StreamDati->GetFlag(13), 0);
        }
    }
}

TEST(ConnectSequence, AFailedDefaultSetWriteSaysC01UnderTheResetText)
{
    Connect c("fresh=1");
    c.rig.sim().AddFault({.op = protovyx::Op::WriteRow, .times = -1});
    for (int i = 0; i < 20; ++i)
        c.rig.prompts.script(plat::IDNO); // no retry
    QStringList waitTexts;
    c.rig.prompts.onAsk([&](const plat::PromptRequest&) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* wait = qobject_cast<TFormAttesa*>(w))
                waitTexts << wait->Label->text();
    });
    c.run();
    ASSERT_FALSE(c.prompts().isEmpty());
    EXPECT_EQ(c.prompts().last(), QStringLiteral("T17\nT19\n(ERR.CODE: C01)"));
    EXPECT_TRUE(waitTexts.contains(QStringLiteral("! T30"))) << waitTexts.join(" | ").toStdString();
    EXPECT_TRUE(StreamDati->TimerIO->isActive());
}

TEST(ConnectSequence, TheResetFromThePcTakesTheEcusInjectorWhenItem15Allows)
{
    struct Case { const char* profile; bool reset; int injector; } cases[] = {
        {"hw=2", true, 28},
        {"hw=0", true, 25},
        {"hw=2", false, 25},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.profile) + (k.reset ? " reset" : " connect"));
        Connect c(k.profile);
        const std::int32_t injectors[] = {25, 28};
        ASSERT_TRUE(c.rig.sim().PokeItem(0x94, injectors));
        c.rig.connectEcu();
        if (k.reset) {
            c.rig.prompts.script(plat::IDYES);
            c.window->ActionResetDaPcExecute();
        } else {
            c.run();
        }
        ASSERT_FALSE(c.loads.empty());
        EXPECT_EQ(c.loads.back(), resourceFor(30, k.injector));
        EXPECT_FALSE(c.window->ResetInProgress());
    }
}

TEST(ConnectSequence, TheSaveQuestionComesFirst)
{
    QTemporaryDir dir;
    struct Case {
        const char* what;
        int answer;
        QString file;    // the save dialog's answer; null: no dialog expected
        int result;
        bool connects;
    } cases[] = {
        {"no", plat::IDNO, QString(), plat::IDNO, true},
        {"cancel", plat::IDCANCEL, QString(), plat::IDCANCEL, false},
        {"yes, dialog cancelled", plat::IDYES, QStringLiteral(""), plat::IDCANCEL, false},
        {"yes, saved", plat::IDYES, dir.filePath(QStringLiteral("Golf 1.6.zc4")), plat::IDYES, true},
        {"yes, save fails", plat::IDYES, dir.filePath(QStringLiteral("missing/x.zc4")), plat::IDCANCEL, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        Connect c("type=30");
        StreamDati->Modified = 1;
        if (!k.file.isNull())
            c.dialogs.script(k.file);
        int answered = -1;
        c.rig.prompts.script({k.answer, plat::IDNO, plat::IDNO, plat::IDNO}); // no retry of a failed save
        c.rig.prompts.onAsk([&](const plat::PromptRequest& r) {
            if (r.text == QStringLiteral("T36"))
                answered = c.calls("Disconnect") + c.calls("DetectEcu");
        });
        // The question alone first, then through the connect.
        EXPECT_EQ(c.window->AskSaveChanges(), k.result);
        const auto& q = c.rig.prompts.shown().at(0);
        EXPECT_EQ(q.text, QStringLiteral("T36"));
        EXPECT_EQ(q.caption, kTitle);
        EXPECT_EQ(q.icon, plat::PromptIcon::Warning);
        EXPECT_EQ(q.buttons, plat::PromptButtons::YesNoCancel);
        if (k.answer == plat::IDYES) {
            ASSERT_EQ(c.dialogs.shown.size(), 1u);
            const auto& d = c.dialogs.shown[0];
            EXPECT_TRUE(d.save);
            EXPECT_EQ(d.request.filter, QStringLiteral("Configurazione T247 |*.zc4"));
            EXPECT_EQ(d.request.defaultExt, QStringLiteral("zc4"));
            EXPECT_TRUE(d.request.overwritePrompt);
        } else {
            EXPECT_TRUE(c.dialogs.shown.empty());
        }
        if (k.result == plat::IDYES) {
            EXPECT_TRUE(QFileInfo::exists(k.file));
            EXPECT_EQ(QString::fromLatin1(StreamDati->GetNomeConfigurazione()), QStringLiteral("Golf 1.6"));
        }

        c.rig.prompts.clear();
        c.rig.sim().ClearCalls();
        c.loads.clear();
        StreamDati->Modified = 1;
        if (!k.file.isNull())
            c.dialogs.script(k.file);
        c.rig.prompts.script({k.answer, plat::IDNO, plat::IDNO, plat::IDNO}); // no retry of a failed save
        c.run();
        EXPECT_EQ(answered, 0); // asked before anything else
        EXPECT_EQ(c.rig.sim().LinkOpen(), k.connects);
        EXPECT_EQ(c.calls("DetectEcu") > 0, k.connects);
        EXPECT_EQ(c.loads.empty(), !k.connects);
        if (!k.connects) {
            EXPECT_EQ(StreamDati->Modified, 1); // the unsaved image stays
        }
    }
}

TEST(ConnectSequence, NothingModifiedMeansNoQuestion)
{
    Connect c("type=30");
    StreamDati->Modified = 0;
    EXPECT_EQ(c.window->AskSaveChanges(), plat::IDNO);
    EXPECT_TRUE(c.prompts().isEmpty());
}

TEST(ConnectSequence, ClosingAsksAboutUnsavedChanges)
{
    struct Case { int answer; QString file; bool closes; } cases[] = {
        {plat::IDNO, QString(), true},
        {plat::IDCANCEL, QString(), false},
        {plat::IDYES, QStringLiteral("/nonexistent-folder/x.zc4"), false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.answer);
        Connect c("type=30");
        c.window->show();
        QApplication::processEvents();
        c.rig.prompts.clear();
        StreamDati->Modified = 1;
        c.rig.prompts.script({k.answer, plat::IDNO, plat::IDNO, plat::IDNO}); // no retry of a failed save
        if (!k.file.isNull())
            c.dialogs.script(k.file);
        EXPECT_EQ(c.window->close(), k.closes);
        EXPECT_EQ(c.rig.prompts.shown().at(0).text, QStringLiteral("T36"));
    }
}

TEST(ConnectSequence, DisconnectClosesTheLinkAndClearsTheLatch)
{
    Connect c("type=30");
    c.run();
    ASSERT_TRUE(c.rig.sim().LinkOpen());
    c.window->ExtraInjectionSeen = true;
    c.window->ActionDisconnetti->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(c.rig.sim().LinkOpen());
    EXPECT_FALSE(c.window->ExtraInjectionSeen);
    EXPECT_EQ(c.window->ImageConnected->currentId(), 10002);
    EXPECT_TRUE(c.window->ActionConnetti->isEnabled());
}

// The transfer engine posts 3 when the ECU's injectors do not match the
// image: the window reconnects with the whole sequence, the save question
// first, after the messages already waiting.
TEST(ConnectSequence, ReconnectEventRunsTheWholeConnectAfterPendingMessages)
{
    Connect c("type=55");
    StreamDati->Modified = 1;
    c.rig.prompts.script(plat::IDNO);
    plat::PostWindowMessage(c.window.get(), plat::WM_CONNECTIONEVENT, 0, 3);
    // Waiting behind it: handled before the connect, so the link ends open.
    plat::PostWindowMessage(c.window.get(), plat::WM_CONNECTIONEVENT, 0, 0);
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_FALSE(c.prompts().isEmpty());
    EXPECT_EQ(c.prompts().first(), QStringLiteral("T36"));
    EXPECT_EQ(c.calls("DetectEcu"), 1);
    EXPECT_TRUE(c.rig.sim().LinkOpen());
    EXPECT_EQ(StreamDati->EcuInfo.EcuType, 55);
    EXPECT_EQ(c.window->ImageConnected->currentId(), 10001);
    EXPECT_FALSE(c.window->ActionConnetti->isEnabled());
}

} // namespace
