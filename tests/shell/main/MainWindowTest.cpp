#include "MainTestSupport.h"
#include "shell/main/MainQuorin.h"
#include "shell/main/MainRules.h"

#include "live/autocal/FormCalibraTar.h"
#include "live/view/FormVisualizza.h"
#include "product/constants/BuildConstants.h"
#include "shell/schemi/Schemi.h"
#include "shell/windows/Splash.h"
#include "tests/support/rig/DataModuleRig.h"

#include "plat/PictureButton.h"
#include "plat/SerialPortWatcher.h"
#include "plat/Shape.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

int resourceFor(int type, bool cng = false, bool option = false)
{
    return qz::DefaultConfigResourceId(static_cast<std::uint8_t>(type), cng, option,
                                       static_cast<std::uint8_t>(qz::CustomerInjectorCode(0)),
                                       static_cast<std::uint8_t>(qz::CustomerId()));
}

struct Load {
    int resource;
    int ecuType;
    QString ecuTypeLabel;
    bool labelShown;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qz::InitBuildConstants();
        window = std::make_unique<TFormMain>();
        window->DefaultSetLoader = [this](int resource) {
            loads.push_back({resource, StreamDati->EcuInfo.EcuType, window->LabelEcuType->text(),
                             !window->LabelEcuType->isHidden()});
            return true;
        };
        window->FlagReader = [this](int n) { return flags.contains(n); };
        rig.prompts.clear();
    }
    void TearDown() override
    {
        window.reset();
        QApplication::processEvents();
    }

    void connectEcu()
    {
        rig.connectEcu();
        QApplication::processEvents(); // the link's event 1
    }
    void event(int code, std::uintptr_t wParam = 0)
    {
        plat::SendWindowMessage(window.get(), plat::WM_CONNECTIONEVENT, wParam, code);
    }
    QPoint framePosFor(int index) const
    {
        return mainrules::FramePosition(window->Pictures()[index]->geometry(), window->ShapeSelected->size());
    }
    int calls(const char* name) const { return static_cast<int>(rig.callsOf(name).size()); }

    rig::DataModuleRig rig;
    std::unique_ptr<TFormMain> window;
    std::vector<Load> loads;
    QList<int> flags;
};

TEST_F(MainWindowTest, BuildsTheEightButtonsPicturesAndActionsAsDesigned)
{
    const char* names[8] = {"ImageConfig", "ImageTara", "ImageVisualizza", "ImageLingua",
                            "ImageCarica", "ImageSalva", "ImageProgramma", "ImageSchemi"};
    const int released[8] = {10005, 10007, 10009, 10011, 10014, 10016, 10018, 10020};
    const int pressed[8] = {10006, 10008, 10010, 10013, 10015, 10017, 10019, 10021};
    ASSERT_EQ(window->Pictures().size(), 8);
    ASSERT_EQ(window->Labels().size(), 8);
    for (int i = 0; i < 8; ++i) {
        plat::PictureButton* p = window->Pictures()[i];
        EXPECT_EQ(p->objectName(), QLatin1String(names[i]));
        EXPECT_EQ(p->tag(), i);
        EXPECT_EQ(window->Labels()[i]->property("Tag").toInt(), i);
        EXPECT_EQ(p->releasedId(), released[i]);
        EXPECT_EQ(p->pressedId(), pressed[i]);
        EXPECT_FALSE(p->currentPicture().isNull()) << names[i];
    }
    EXPECT_EQ(window->ImageExit->releasedId(), 10003);
    EXPECT_EQ(window->ImageExit->pressedId(), 10004);
    EXPECT_EQ(window->ImageBase->currentId(), 10077);
    EXPECT_EQ(window->ImageConnected->currentId(), 10002);
    EXPECT_FALSE(window->ImageQuorin->isHidden());
    EXPECT_TRUE(window->ImageKoa->isHidden());
    EXPECT_TRUE(window->LabelEcuType->isHidden());
    EXPECT_EQ(window->SelectedIndex(), 0);
    EXPECT_EQ(window->ShapeSelected->pos(), framePosFor(0));
    // Texts by string number (the fake language library gives "T<n>").
    EXPECT_EQ(window->LabelConfig->text(), QStringLiteral("T3"));
    EXPECT_EQ(window->LabelSchemi->text(), QStringLiteral("T535"));
    EXPECT_EQ(window->MenuElectricalLPG->text(), QStringLiteral("T536"));
    EXPECT_EQ(window->LabelVersioneFw->text(), QStringLiteral("T13 n.d."));
    EXPECT_EQ(window->ApplicationFolder(), QDir::currentPath());
    EXPECT_FALSE(window->ExtraInjectionSeen);

    struct ActionRow { const char* name; QKeySequence key; bool enabled, visible; } rows[] = {
        {"ActionConnetti", QKeySequence(Qt::CTRL | Qt::Key_C), true, true},
        {"ActionDisconnetti", QKeySequence(Qt::CTRL | Qt::Key_D), false, true},
        {"ActionAzzeraId", QKeySequence(Qt::CTRL | Qt::Key_A), true, true},
        {"ActionResetDaPc", {}, true, true},
        {"ActionResetCentralina", {}, false, false},
        {"ActionConf", {}, true, true}, {"ActionTara", {}, true, true}, {"ActionVisualizza", {}, true, true},
        {"ActionLingua", {}, true, true}, {"ActionApriConf", {}, true, true}, {"ActionSalvaConf", {}, true, true},
        {"ActionProgramma", {}, true, false}, {"ActionEsci", {}, true, true},
        {"ActionApri", {}, true, false}, {"ActionSalva", {}, true, false}, {"ActionBloccoNote", {}, true, false},
        {"ActionProgrammaCliente", {}, true, false}, {"ActionInternet", {}, true, false},
    };
    EXPECT_EQ(window->MainActionList.size(), static_cast<qsizetype>(std::size(rows)));
    for (const auto& r : rows) {
        auto* a = window->findChild<QAction*>(QLatin1String(r.name));
        ASSERT_NE(a, nullptr) << r.name;
        EXPECT_EQ(a->shortcut(), r.key) << r.name;
        EXPECT_EQ(a->isVisible(), r.visible) << r.name;
        // Qt keeps an invisible action disabled: it cannot be triggered.
        if (r.visible) {
            EXPECT_EQ(a->isEnabled(), r.enabled) << r.name;
        }
    }
    // The splash is on show from construction until the window is shown.
    ASSERT_NE(window->Splash(), nullptr);
    EXPECT_TRUE(window->Splash()->isVisible());
}

TEST_F(MainWindowTest, ArrowKeysMoveTheSelectionAndStopAtTheEnds)
{
    struct Step { int key; int expected; } steps[] = {
        {Qt::Key_Left, 0}, {Qt::Key_Up, 0}, {Qt::Key_Right, 1}, {Qt::Key_Down, 2}, {Qt::Key_Right, 3},
        {Qt::Key_Right, 4}, {Qt::Key_Right, 5}, {Qt::Key_Right, 6}, {Qt::Key_Right, 7}, {Qt::Key_Right, 7},
        {Qt::Key_Down, 7}, {Qt::Key_Up, 6}, {Qt::Key_Left, 5}, {Qt::Key_Space, 5},
    };
    for (const auto& s : steps) {
        window->ShapeSelected->move(0, 0); // the frame is placed again after every arrow
        QTest::keyClick(window.get(), static_cast<Qt::Key>(s.key));
        EXPECT_EQ(window->SelectedIndex(), s.expected) << s.key;
        if (s.key != Qt::Key_Space) {
            EXPECT_EQ(window->ShapeSelected->pos(), framePosFor(s.expected)) << s.key;
        }
    }
}

TEST_F(MainWindowTest, MouseOverAPictureSelectsItAndPressShowsThePressedPicture)
{
    plat::PictureButton* p = window->Pictures()[5];
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), p->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(p, &move);
    EXPECT_EQ(window->SelectedIndex(), 5);
    EXPECT_EQ(window->ShapeSelected->pos(), framePosFor(5));

    QTest::mousePress(p, Qt::LeftButton);
    EXPECT_EQ(p->currentId(), 10017);
    QTest::mouseRelease(p, Qt::LeftButton);
    EXPECT_EQ(p->currentId(), 10016);
}

TEST_F(MainWindowTest, EnterOnTheDiagramsPictureOpensItsMenuAtThePictureCentre)
{
    window->show();
    QApplication::processEvents();
    for (int i = 0; i < 7; ++i)
        QTest::keyClick(window.get(), Qt::Key_Right);
    ASSERT_EQ(window->Pictures()[window->SelectedIndex()], window->ImageSchemi);
    QTest::keyClick(window.get(), Qt::Key_Return);
    ASSERT_TRUE(window->PopupSchemi->isVisible());
    const QRect r = window->ImageSchemi->geometry();
    const QPoint centre = window->Content->mapToGlobal(QPoint(r.x() + r.width() / 2, r.y() + r.height() / 2));
    // Moved to fit the screen, it still opens over the centre.
    EXPECT_TRUE(window->PopupSchemi->geometry().contains(centre));
    window->PopupSchemi->close();

    // A click on the picture does the same.
    QTest::mouseClick(window->ImageSchemi, Qt::LeftButton);
    EXPECT_TRUE(window->PopupSchemi->isVisible());
    window->PopupSchemi->close();
}

TEST_F(MainWindowTest, DiagramMenuItemsOpenTheBrowserOfTheirKindModally)
{
    const struct { QAction* item; int kind; } items[] = {
        {window->MenuElectricalCNG, 0}, {window->MenuElectricalLPG, 1},
        {window->MenuPneumaticCNG, 2}, {window->MenuPneumaticLGP, 3},
    };
    for (const auto& i : items) {
        int kind = -1;
        QString folder;
        QTimer::singleShot(0, [&] {
            if (auto* w = qobject_cast<TFormSchemi*>(QApplication::activeModalWidget())) {
                kind = w->Kind();
                folder = w->Folder();
                w->reject();
            }
        });
        i.item->trigger();
        EXPECT_EQ(kind, i.kind);
        EXPECT_EQ(folder, window->ApplicationFolder());
        // The browser gives the caller's folder back as the current directory.
        EXPECT_EQ(QDir::currentPath(), window->ApplicationFolder());
    }
}

// The live view and the auto-calibration window: modal over the main window,
// freed when they close, and the poll timer given back.
TEST_F(MainWindowTest, TheLiveAndCalibrationPicturesOpenTheirWindowsModallyAndFreeThem)
{
    const struct {
        plat::PictureButton* picture;
        std::function<bool(QWidget*)> isIt;
    } cases[] = {
        {window->ImageVisualizza, [](QWidget* w) { return qobject_cast<TFormVisualizza*>(w) != nullptr; }},
        {window->ImageTara, [](QWidget* w) { return qobject_cast<TFormCalibraTar*>(w) != nullptr; }},
    };
    for (const auto& k : cases) {
        QPointer<QWidget> opened;
        QWidget* owner = nullptr;
        QTimer::singleShot(0, [&] {
            if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget()); w && k.isIt(w)) {
                opened = w;
                owner = w->parentWidget();
                w->reject();
            }
        });
        window->RunPicture(static_cast<int>(window->Pictures().indexOf(k.picture)));
        EXPECT_EQ(owner, window.get());
        EXPECT_TRUE(opened.isNull()); // freed when it closed
        EXPECT_TRUE(StreamDati->TimerIO->isActive());
    }
}

TEST_F(MainWindowTest, LinkEventsSetIconLabelsAndActions)
{
    StreamDati->EcuInfo.FirmwareMajor = 30;
    StreamDati->EcuInfo.FirmwareMinor = 4;
    StreamDati->EcuInfo.EcuType = 50;
    StreamDati->CustomerCode = 2;
    event(1);
    EXPECT_EQ(window->ImageConnected->currentId(), 10001);
    EXPECT_EQ(window->LabelVersioneFw->text(), QStringLiteral("T13: 30.4 (VANT) (Tolvi)"));
    EXPECT_TRUE(window->LabelVersioneSw->text().startsWith(QStringLiteral("T14 ")));
    EXPECT_FALSE(window->ActionConnetti->isEnabled());
    EXPECT_TRUE(window->ActionDisconnetti->isEnabled());

    event(0);
    EXPECT_EQ(window->ImageConnected->currentId(), 10002);
    EXPECT_EQ(window->LabelVersioneFw->text(), QStringLiteral("T13 n.d."));
    EXPECT_TRUE(window->ActionConnetti->isEnabled());
    EXPECT_FALSE(window->ActionDisconnetti->isEnabled());
}

TEST_F(MainWindowTest, TheProtocolLibrarysPostedEventsReachTheWindow)
{
    connectEcu();
    EXPECT_EQ(window->ImageConnected->currentId(), 10001);
    EXPECT_TRUE(window->ActionDisconnetti->isEnabled());
    rig.sim().LoseLink();
    QApplication::processEvents();
    EXPECT_EQ(window->ImageConnected->currentId(), 10002);
    EXPECT_TRUE(window->ActionConnetti->isEnabled());
}

TEST_F(MainWindowTest, ConfigurationEventsRefreshTheLabelAndTheOthersChangeNothing)
{
    EXPECT_TRUE(window->LabelConfigurazione->text().startsWith(QStringLiteral("T12 ")));
    EXPECT_TRUE(window->LabelConfigurazione->text().endsWith(QStringLiteral(" (T190)")));
    flags = {1}; // now CNG
    for (int code : {5, 7, 8, 9, 4, 99}) {
        event(code, 123);
        EXPECT_TRUE(window->LabelConfigurazione->text().endsWith(QStringLiteral(" (T190)"))) << code;
        EXPECT_EQ(window->ImageConnected->currentId(), 10002) << code;
        EXPECT_TRUE(window->ActionConnetti->isEnabled()) << code;
        EXPECT_FALSE(window->ActionDisconnetti->isEnabled()) << code;
    }
    event(2);
    EXPECT_TRUE(window->LabelConfigurazione->text().endsWith(QStringLiteral(" (T191)")));
    flags = {};
    plat::PostWindowMessage(window.get(), plat::WM_CONNECTIONEVENT, 1, 6);
    QApplication::processEvents();
    EXPECT_TRUE(window->LabelConfigurazione->text().endsWith(QStringLiteral(" (T190)")));
}

struct ListedPorts final : plat::PortLister {
    QList<plat::PortInfo> list;
    QList<plat::PortInfo> ports() override { return list; }
};

TEST_F(MainWindowTest, DeviceChangesShowAndHideTheWirelessAdapterIcon)
{
    auto owned = std::make_unique<ListedPorts>();
    ListedPorts* ports = owned.get();
    window->SetPortLister(std::move(owned));
    ports->list = {{QStringLiteral("ttyUSB0"), QStringLiteral("USB serial")}};
    window->WMDeviceChange(true);
    EXPECT_TRUE(window->ImageKoa->isHidden());
    ports->list.append({QStringLiteral("rfcomm0"), QStringLiteral("VYX KOA Wireless Port (COM7)")});
    window->WMDeviceChange(true);
    EXPECT_FALSE(window->ImageKoa->isHidden());
    // Another device coming does not hide it.
    ports->list = {{QStringLiteral("ttyUSB1"), QStringLiteral("USB serial")}};
    window->WMDeviceChange(true);
    EXPECT_FALSE(window->ImageKoa->isHidden());
    // A device going asks the protocol library (the simulated one has none).
    rig.sim().ClearCalls();
    window->WMDeviceChange(false);
    EXPECT_TRUE(window->ImageKoa->isHidden());
    EXPECT_EQ(calls("IsWirelessAdapterPresent"), 1);
}

TEST_F(MainWindowTest, SaveEventRunsTheSaveAction)
{
    QSignalSpy spy(window->ActionSalva, &QAction::triggered);
    event(4);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(MainWindowTest, CtrlACyclesTheOfflineTypesLoadingEachDefaultSet)
{
    StreamDati->SetEcuType(30);
    const struct { int type; const char* label; } expected[] = {
        {55, "4cil obd"}, {79, "monoplug"}, {50, "vant"}, {54, "built in tap"},
        {31, "8cil"}, {56, "8cil obd"}, {30, "4cil"},
    };
    StreamDati->TimerIO->stop();
    for (const auto& e : expected) {
        window->ActionAzzeraId->trigger();
        EXPECT_EQ(StreamDati->EcuInfo.EcuType, e.type);
        EXPECT_EQ(window->LabelEcuType->text(), QLatin1String(e.label));
        EXPECT_TRUE(window->LabelEcuType->isHidden());
        EXPECT_TRUE(StreamDati->TimerIO->isActive());
    }
    ASSERT_EQ(loads.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(loads[i].resource, resourceFor(expected[i].type)) << i;
        EXPECT_EQ(loads[i].ecuType, expected[i].type) << i;
        // The new type's name is on show while its set loads.
        EXPECT_TRUE(loads[i].labelShown) << i;
        EXPECT_EQ(loads[i].ecuTypeLabel, QLatin1String(expected[i].label)) << i;
    }
}

TEST_F(MainWindowTest, CtrlAWithAnotherTypeReloadsItsSetAndWhileConnectedDoesNothing)
{
    window->LabelEcuType->setText(QStringLiteral("vant"));
    StreamDati->EcuInfo.EcuType = 53;
    window->ActionAzzeraIdExecute();
    EXPECT_EQ(StreamDati->EcuInfo.EcuType, 53);
    EXPECT_EQ(window->LabelEcuType->text(), QStringLiteral("vant"));
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].resource, resourceFor(53));

    connectEcu();
    StreamDati->EcuInfo.EcuType = 30;
    StreamDati->TimerIO->stop();
    window->ActionAzzeraIdExecute();
    EXPECT_EQ(StreamDati->EcuInfo.EcuType, 30);
    EXPECT_EQ(loads.size(), 1u);
    EXPECT_FALSE(StreamDati->TimerIO->isActive());
}

TEST_F(MainWindowTest, CtrlAShortcutWorksWithoutAVisibleMenu)
{
    window->OfflineStart = true;
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QApplication::processEvents(); // the first idle moment
    loads.clear();
    const int before = StreamDati->EcuInfo.EcuType;
    QTest::keyClick(window.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(StreamDati->EcuInfo.EcuType, mainrules::NextOfflineEcuType(before));
    EXPECT_EQ(loads.size(), 1u);
}

TEST_F(MainWindowTest, ResetFromThePcAnsweredNoDoesNothing)
{
    connectEcu();
    // Only the action's own calls count: the poll timer runs in real time.
    StreamDati->TimerIO->stop();
    rig.sim().ClearCalls();
    rig.prompts.script(plat::IDNO);
    window->ActionResetDaPcExecute();
    ASSERT_EQ(rig.prompts.shown().size(), 1u);
    EXPECT_EQ(rig.prompts.shown()[0].text, QStringLiteral("T55"));
    EXPECT_EQ(rig.prompts.shown()[0].buttons, plat::PromptButtons::YesNo);
    EXPECT_EQ(rig.prompts.shown()[0].icon, plat::PromptIcon::Question);
    EXPECT_EQ(calls("ReadItem") + calls("WriteValue") + calls("Disconnect"), 0);
    EXPECT_TRUE(loads.empty());
}

TEST_F(MainWindowTest, ResetFromThePcWhileConnectedSetsBitZeroKeepingTheOthersAndReconnects)
{
    const std::int32_t before[] = {0x40};
    ASSERT_TRUE(rig.sim().PokeItem(1, before));
    connectEcu();
    StreamDati->Modified = 1;
    window->ExtraInjectionSeen = true;
    rig.prompts.script(plat::IDYES);
    window->ActionResetDaPcExecute();
    // The reconnect writes the default set and clears bit 0 again: the
    // reset's own write is the first one to item 1.
    const auto writes = rig.callsOf("WriteValue");
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes[0].code, 1);
    EXPECT_EQ(writes[0].in, std::vector<std::int32_t>{0x41});
    EXPECT_FALSE(window->ExtraInjectionSeen); // the disconnect ran
    EXPECT_GE(calls("Disconnect"), 1);
    EXPECT_FALSE(window->ResetInProgress());
    EXPECT_EQ(rig.prompts.shown().size(), 1u); // only the question
}

TEST_F(MainWindowTest, ResetFromThePcFailuresShowTheResetBoxAndWriteNothing)
{
    struct Case { const char* what; protovyx::FaultSpec fault; bool writeTried; } cases[] = {
        {"read fails", {.op = protovyx::Op::ReadItem, .code = 1}, false},
        {"write refused", {.op = protovyx::Op::WriteValue, .code = 1}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::int32_t before[] = {0x40};
        ASSERT_TRUE(rig.sim().PokeItem(1, before));
        connectEcu();
        StreamDati->TimerIO->stop(); // the poll step must not take the fault
        rig.sim().ClearCalls();
        rig.sim().AddFault(c.fault);
        rig.prompts.clear();
        rig.prompts.script(plat::IDYES);
        StreamDati->Modified = 1;
        window->ActionResetDaPcExecute();
        ASSERT_EQ(rig.prompts.shown().size(), 2u);
        EXPECT_EQ(rig.prompts.shown()[1].text, QStringLiteral("T56\nT19"));
        EXPECT_EQ(rig.prompts.shown()[1].icon, plat::PromptIcon::Error);
        EXPECT_EQ(calls("WriteValue"), c.writeTried ? 1 : 0);
        EXPECT_EQ(calls("Disconnect"), 0);
        std::vector<std::int32_t> item1;
        ASSERT_TRUE(rig.sim().PeekItem(1, item1));
        EXPECT_EQ(item1.at(0), 0x40);
        EXPECT_EQ(StreamDati->Modified, 1);
        rig.sim().ClearFaults();
    }
}

TEST_F(MainWindowTest, ResetFromThePcOfflineLoadsTheType30SetWithTheCurrentFlags)
{
    StreamDati->EcuInfo.EcuType = 55;
    flags = {1};
    rig.prompts.script(plat::IDYES);
    window->ActionResetDaPcExecute();
    EXPECT_EQ(StreamDati->EcuInfo.EcuType, 30);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].resource, resourceFor(30, true, false));
    EXPECT_EQ(rig.prompts.shown().size(), 1u); // nothing asked further
    EXPECT_TRUE(window->LabelConfigurazione->text().endsWith(QStringLiteral(" (T191)")));
}

TEST_F(MainWindowTest, OfflineStartLoadsTheType30SetAndStillSaysThereIsNoConnection)
{
    StreamDati->EcuInfo.EcuType = 79;
    StreamDati->TimerIO->stop();
    window->OfflineStart = true;
    window->show();
    EXPECT_EQ(window->Splash(), nullptr); // faded in and gone
    EXPECT_TRUE(loads.empty());           // the first idle moment is still to come
    QApplication::processEvents();
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].resource, resourceFor(30));
    EXPECT_EQ(StreamDati->EcuInfo.EcuType, 30);
    EXPECT_TRUE(StreamDati->TimerIO->isActive());
    EXPECT_GE(calls("Disconnect"), 1);
    ASSERT_EQ(rig.prompts.shown().size(), 1u);
    EXPECT_EQ(rig.prompts.shown()[0].text, QStringLiteral("T20\n\n- T21\n- T22"));
    EXPECT_EQ(rig.prompts.shown()[0].icon, plat::PromptIcon::Error);
    // Once only.
    QApplication::processEvents();
    EXPECT_EQ(loads.size(), 1u);
}

TEST_F(MainWindowTest, ClosingDisconnectsAndStopsTheLinkEvents)
{
    window->show();
    QApplication::processEvents();
    connectEcu();
    ASSERT_EQ(window->ImageConnected->currentId(), 10001);
    window->ExtraInjectionSeen = true;
    StreamDati->Modified = 0; // the connect's image read leaves it set
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(rig.sim().LinkOpen());
    EXPECT_FALSE(window->ExtraInjectionSeen);
    QApplication::processEvents(); // the link's event 0 goes nowhere
    EXPECT_EQ(window->ImageConnected->currentId(), 10001);
}

TEST_F(MainWindowTest, EscClosesTheWindow)
{
    window->show();
    QApplication::processEvents();
    StreamDati->Modified = 0; // the connect's image read leaves it set
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

} // namespace
