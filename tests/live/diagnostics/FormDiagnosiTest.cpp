// The diagnostics window against the data module on the simulated ECU, with
// scripted message boxes and virtual time. The 4000 ms timer is driven by
// calling its handler.
#include "live/diagnostics/FormDiagnosi.h"
#include "datamodule/core/ItemCatalogue.h"
#include "live/diagnostics/DiagnosiPlacements.h"
#include "tests/support/rig/DataModuleRig.h"
#include "tests/support/PlacementCheck.h"

#include "plat/PictureButton.h"
#include "plat/Prompts.h"
#include "plat/Shape.h"
#include "product/constants/BuildConstants.h"

#include <QCheckBox>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using protovyx::CallRecord;

struct Row {
    QString code;
    QString description;
    QString status;
    int index;
    bool operator==(const Row&) const = default;
};

void PrintTo(const Row& r, std::ostream* os)
{
    *os << r.code.toStdString() << " '" << r.description.toStdString() << "' " << r.status.toStdString() << " #"
        << r.index;
}

class FormDiagnosiTest : public ::testing::Test {
protected:
    explicit FormDiagnosiTest(const std::string& profile = "type=30") : r({.profile = profile}) {}

    void SetUp() override
    {
        r.dm().EcuInfo.EcuType = static_cast<std::uint8_t>(r.sim().CurrentProfile().type);
        setCylinders(4);
        *r.dm().Item(0x15) = 2;
    }

    void setCylinders(int n) { *r.dm().Item(0x34) = n - 1; }

    void poke(int item, std::vector<std::int32_t> values) { ASSERT_TRUE(r.sim().PokeItem(item, values)); }

    std::unique_ptr<TFormDiagnosi> open(bool activate = true)
    {
        auto w = std::make_unique<TFormDiagnosi>(nullptr);
        if (activate) {
            w->FormShow();
            w->FormActivate();
        }
        return w;
    }

    static std::vector<Row> rows(const TFormDiagnosi& w)
    {
        std::vector<Row> out;
        EXPECT_EQ(w.ListCode->topLevelItemCount(), w.ListDiagnosi->topLevelItemCount());
        for (int i = 0; i < w.ListDiagnosi->topLevelItemCount(); ++i) {
            const auto* d = w.ListDiagnosi->topLevelItem(i);
            out.push_back({w.ListCode->topLevelItem(i)->text(0), d->text(0), d->text(1), d->data(0, Qt::UserRole).toInt()});
        }
        return out;
    }

    static Row row(int index, const QString& description)
    {
        return {QStringLiteral("S%1").arg(100 + index), description, rig::text(428), index};
    }

    std::vector<CallRecord> writesOf(int code)
    {
        std::vector<CallRecord> out;
        for (const auto& c : r.sim().Calls())
            if (c.code == code && c.name.rfind("Write", 0) == 0)
                out.push_back(c);
        return out;
    }

    std::vector<std::int32_t> peek(int item)
    {
        std::vector<std::int32_t> v;
        EXPECT_TRUE(r.sim().PeekItem(item, v));
        return v;
    }

    static std::string visibleLetters(const TFormDiagnosi& w, plat::PictureButton* TFormDiagnosi::LetterControls::*picture)
    {
        std::string s;
        for (const auto& l : w.Letters)
            if (!(l.*picture)->isHidden())
                s += l.letter.control;
        return s;
    }

    rig::DataModuleRig r;
};

using Letter = TFormDiagnosi::LetterControls;

// ---- Error rows -----------------------------------------------------------

TEST_F(FormDiagnosiTest, FirstRefreshPutsTheNewestErrorOnTopWithItsLetters)
{
    r.connectEcu();
    poke(0x1d, {0x09, 0x08, 0, 0, 0});
    poke(0x20, {0x05});
    auto w = open();
    EXPECT_EQ(rows(*w), (std::vector<Row>{row(11, rig::text(583)), row(3, rig::text(441)),
                                          row(0, rig::text(438) + QStringLiteral(" (A, C)"))}));
    EXPECT_EQ(w->ListDiagnosi->currentItem(), w->ListDiagnosi->topLevelItem(0));
    EXPECT_FALSE(w->RefreshAll());
}

TEST_F(FormDiagnosiTest, ClearedBitRemovesItsRowAndASetBitComesBackOnTop)
{
    r.connectEcu();
    poke(0x1d, {0x0d, 0, 0, 0, 0}); // S100, S102, S103
    auto w = open();
    ASSERT_EQ(rows(*w).size(), 3u);
    poke(0x1d, {0x09, 0, 0, 0, 0}); // S102 clears
    w->RefreshDiagnostics();
    EXPECT_EQ(rows(*w), (std::vector<Row>{row(3, rig::text(441)), row(0, rig::text(438) + QStringLiteral(" ()"))}));
    poke(0x1d, {0x0d, 0, 0, 0, 0});
    w->RefreshDiagnostics();
    EXPECT_EQ(rows(*w).front(), row(2, rig::text(440)));
}

TEST_F(FormDiagnosiTest, ErrorsWithoutDescriptionHaveCodeAndStatus)
{
    r.connectEcu();
    poke(0x1d, {0, 0x10, 0, 0, 0x80}); // S112, S139
    auto w = open();
    EXPECT_EQ(rows(*w), (std::vector<Row>{row(39, QString()), row(12, QString())}));
}

TEST_F(FormDiagnosiTest, PetrolInjectorRowFollowsItem21WhileConnected)
{
    r.connectEcu();
    poke(0x21, {0x02});
    auto w = open();
    EXPECT_EQ(rows(*w), (std::vector<Row>{row(1, rig::text(439) + QStringLiteral(" (B)"))}));
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageKo), "B");
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageOk), "ACD");
    poke(0x21, {0});
    w->RefreshDiagnostics();
    EXPECT_TRUE(rows(*w).empty());
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageOk), "ABCD");
}

TEST_F(FormDiagnosiTest, SevenCylindersGiveEmptyLettersAndNoFaultPicture)
{
    setCylinders(7);
    r.connectEcu();
    poke(0x1d, {0x01, 0, 0, 0, 0});
    poke(0x20, {0x05});
    poke(0x21, {0x05});
    auto w = open();
    EXPECT_EQ(rows(*w), (std::vector<Row>{row(1, rig::text(439) + QStringLiteral(" ()")),
                                          row(0, rig::text(438) + QStringLiteral(" ()"))}));
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageKo), "");
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageOk), "ABCEFG");
}

TEST_F(FormDiagnosiTest, NotConnectedShowsEveryInjectorOkAndCommanded)
{
    poke(0x21, {0x03});
    poke(0xac, {0x01});
    auto w = open();
    EXPECT_TRUE(rows(*w).empty());
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageOk), "ABCD");
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageKo), "");
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageOn), "ABCD");
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageOff), "");
    // Both tabs stay without a connection.
    EXPECT_TRUE(w->PageControl->isTabVisible(1));
    EXPECT_TRUE(w->PageControl->isTabVisible(2));
}

class FormDiagnosiType53Test : public FormDiagnosiTest {
protected:
    FormDiagnosiType53Test() : FormDiagnosiTest("type=53") {}
};

TEST_F(FormDiagnosiType53Test, TenCylindersTakeTheHighByteAndLetterOrder)
{
    setCylinders(10);
    r.connectEcu();
    poke(0x23, {0x01}); // ECU bit 8: the first bank's fifth injector
    auto w = open();
    EXPECT_EQ(rows(*w), (std::vector<Row>{row(1, rig::text(439) + QStringLiteral(" (E)"))}));
    // The test pictures are in the ECU's order: the first bank's fifth is control I.
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageKo), "I");
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageOk), "ABCDEFGHL");
}

// ---- Reset and options ------------------------------------------------------

TEST_F(FormDiagnosiTest, ResetClearsTheStatesWritesTheResetItemAndRebuilds)
{
    r.connectEcu();
    poke(0x1d, {0x09, 0x08, 0, 0, 0});
    poke(0x21, {0x01});
    auto w = open();
    ASSERT_FALSE(rows(*w).empty());
    r.sim().ClearCalls();
    w->ImageResetClick();
    const auto resets = writesOf(TFormDiagnosi::kResetCode);
    ASSERT_EQ(resets.size(), 1u);
    EXPECT_EQ(resets[0].in, (std::vector<std::int32_t>{0, 0}));
    EXPECT_EQ(peek(0x1d), (std::vector<std::int32_t>(5, 0)));
    EXPECT_TRUE(rows(*w).empty()); // the reset also cleared the injector masks
    for (std::int32_t v : w->CurrentErrors())
        EXPECT_EQ(v, 0);
}

TEST_F(FormDiagnosiTest, EnableDiagnosticsWritesEnablesAndActionsAndShowsTheRearValve)
{
    r.connectEcu();
    poke(0x1f, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    auto w = open();
    EXPECT_FALSE(w->CheckDiagnosi->isChecked());
    EXPECT_TRUE(w->CheckPosteriore->isHidden());
    w->CheckDiagnosi->click();
    EXPECT_EQ(r.dm().GetFlag(11), 1);
    EXPECT_EQ(peek(0x1c), (std::vector<std::int32_t>{0xF9, 9, 0, 0, 0}));
    EXPECT_EQ(peek(0x1f), (std::vector<std::int32_t>{255, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(w->CheckPosteriore->isHidden());
    EXPECT_TRUE(w->CheckPosteriore->isEnabled());

    w->CheckPosteriore->click();
    EXPECT_EQ(peek(0x1c)[0], 0xFD);
    w->CheckPosteriore->click();
    EXPECT_EQ(peek(0x1c)[0], 0xF9);
    w->CheckPosteriore->click();

    w->CheckDiagnosi->click();
    EXPECT_EQ(r.dm().GetFlag(11), 0);
    EXPECT_EQ(peek(0x1c), (std::vector<std::int32_t>(5, 0)));
    EXPECT_EQ(peek(0x1f), (std::vector<std::int32_t>(9, 0)));
    EXPECT_FALSE(w->CheckPosteriore->isChecked());
    EXPECT_TRUE(w->CheckPosteriore->isHidden());
    EXPECT_TRUE(w->LabelPosteriore->isHidden());
}

TEST_F(FormDiagnosiTest, OptionsAtShowAndTheVariatorOption)
{
    r.connectEcu();
    ASSERT_TRUE(r.dm().SetFlag(11, true));
    ASSERT_TRUE(r.dm().SetFlag(26, true));
    ASSERT_TRUE(r.dm().SetDiagnosi(0, 2, 0x04));
    auto w = open();
    EXPECT_TRUE(w->CheckDiagnosi->isChecked());
    EXPECT_TRUE(w->CheckPosteriore->isChecked());
    EXPECT_FALSE(w->CheckPosteriore->isHidden());
    EXPECT_FALSE(w->CheckPosteriore->isEnabled());
    // Showing writes nothing.
    EXPECT_TRUE(writesOf(0x511c).empty());
}

// ---- Exclusion panel --------------------------------------------------------

TEST_F(FormDiagnosiTest, ExclusionTogglesTheMaskAndClosingCommandsEveryInjectorAgain)
{
    r.connectEcu();
    auto w = open();
    const auto& b = w->Letter('B');
    const auto& d = w->Letter('D');
    b.ImageOn->clicked();
    EXPECT_EQ(peek(0xac)[0], 0x02);
    d.ImageOn->clicked();
    EXPECT_EQ(peek(0xac)[0], 0x0A);
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageOff), "BD");
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageOn), "AC");
    b.ImageOff->clicked();
    EXPECT_EQ(peek(0xac)[0], 0x08);
    EXPECT_EQ(visibleLetters(*w, &Letter::ImageOff), "D");

    r.sim().ClearCalls();
    w->done(TFormDiagnosi::mrCancel);
    const auto writes = writesOf(TFormDiagnosi::kExclusionCode);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].in, (std::vector<std::int32_t>{0}));
    EXPECT_EQ(r.dm().PollItem, dm::kIdentityCode);
    EXPECT_TRUE(r.dm().TimerIO->isActive());
    EXPECT_FALSE(w->Timer->isActive());
}

TEST_F(FormDiagnosiTest, ExclusionNeedsHardwareAndNoSequenceChange)
{
    r.connectEcu();
    *r.dm().Item(0x15) = 1;
    auto w = open();
    EXPECT_TRUE(w->PanelEsclusione->isHidden());
    w->Letter('A').ImageOn->clicked();
    EXPECT_TRUE(writesOf(TFormDiagnosi::kExclusionCode).empty());
    w->done(TFormDiagnosi::mrCancel);
    EXPECT_TRUE(writesOf(TFormDiagnosi::kExclusionCode).empty());
}

TEST_F(FormDiagnosiTest, ClosingWithNothingExcludedWritesNothing)
{
    r.connectEcu();
    auto w = open();
    w->done(TFormDiagnosi::mrCancel);
    EXPECT_TRUE(writesOf(TFormDiagnosi::kExclusionCode).empty());
    EXPECT_TRUE(w->Closed());
}

// ---- Counters ---------------------------------------------------------------

TEST_F(FormDiagnosiTest, CountersShowHoursAndMinutes)
{
    r.connectEcu();
    poke(0x3b, {3});               // 60 minutes
    poke(0x55, {0});
    poke(0x3c, {37});              // 740 minutes
    poke(0x56, {900, 300, 600});   // 15, 5, 10 minutes
    poke(0x4e, {7});
    auto w = open();
    EXPECT_EQ(w->LabAssolutoGas->text(), QStringLiteral("1:15"));
    EXPECT_EQ(w->LabParzialeGas->text(), QStringLiteral("0:05"));
    EXPECT_EQ(w->LabAssolutoBenzina->text(), QStringLiteral("12:30"));
    EXPECT_EQ(w->LabAvviamenti->text(), QStringLiteral("7"));
}

TEST_F(FormDiagnosiTest, CounterResetAsksThenWritesItsCodes)
{
    struct Case {
        plat::PictureButton* TFormDiagnosi::*picture;
        QLabel* TFormDiagnosi::*label;
        const char* shown;
        std::int32_t valueCode;
        int element; // of 0x256, -1 none
    };
    const Case cases[] = {
        {&TFormDiagnosi::ImageResetParzialeGas, &TFormDiagnosi::LabParzialeGas, "0:00", 0x255, 1},
        {&TFormDiagnosi::ImageResetPartenzeGas, &TFormDiagnosi::LabAvviamenti, "0", 0x4e, -1},
        {&TFormDiagnosi::ImageResetAssolutoGas, &TFormDiagnosi::LabAssolutoGas, "0:00", 0x23b, 0},
        {&TFormDiagnosi::ImageResetAssolutoBenzina, &TFormDiagnosi::LabAssolutoBenzina, "0:00", 0x23c, 2},
    };
    r.connectEcu();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.valueCode);
        poke(0x3b, {3});
        poke(0x55, {4});
        poke(0x3c, {5});
        poke(0x56, {60, 120, 180});
        poke(0x4e, {9});
        auto w = open();
        EXPECT_FALSE((w.get()->*c.picture)->isHidden());
        const QString before = (w.get()->*c.label)->text();
        r.sim().ClearCalls();
        r.prompts.clear();

        // No: nothing changes and the timer keeps running.
        r.prompts.script(plat::IDNO);
        (w.get()->*c.picture)->clicked();
        EXPECT_EQ((w.get()->*c.label)->text(), before);
        EXPECT_TRUE(writesOf(c.valueCode).empty());
        EXPECT_TRUE(w->Timer->isActive());

        r.prompts.script(plat::IDYES);
        (w.get()->*c.picture)->clicked();
        ASSERT_EQ(r.prompts.shown().size(), 2u);
        const auto& box = r.prompts.shown()[1];
        EXPECT_EQ(box.caption, QString::fromUtf8(qz::ProductTitle()));
        EXPECT_EQ(box.text, rig::text(429));
        EXPECT_EQ(box.icon, plat::PromptIcon::Warning);
        EXPECT_EQ(box.buttons, plat::PromptButtons::YesNo);
        EXPECT_EQ((w.get()->*c.label)->text(), QString::fromLatin1(c.shown));
        const auto values = writesOf(c.valueCode);
        ASSERT_EQ(values.size(), 1u);
        EXPECT_EQ(values[0].in, (std::vector<std::int32_t>{0}));
        const auto elements = writesOf(0x256);
        if (c.element < 0) {
            EXPECT_TRUE(elements.empty());
        } else {
            ASSERT_EQ(elements.size(), 1u);
            EXPECT_EQ(elements[0].row, c.element);
            EXPECT_EQ(elements[0].in, (std::vector<std::int32_t>{0}));
        }
        EXPECT_TRUE(w->Timer->isActive());
        w->done(TFormDiagnosi::mrCancel);
    }
}

// ---- Tabs, keys, poll -------------------------------------------------------

TEST_F(FormDiagnosiTest, FailedReadsAtCreationHideTheirTabs)
{
    r.connectEcu();
    r.sim().AddFault({.op = protovyx::Op::ReadItem, .code = 0x2ac});
    {
        auto w = open(false);
        EXPECT_FALSE(w->PageControl->isTabVisible(w->PageControl->indexOf(w->TabIniettori)));
        EXPECT_TRUE(w->PageControl->isTabVisible(w->PageControl->indexOf(w->TabContatori)));
    }
    r.sim().AddFault({.op = protovyx::Op::ReadItem, .code = 0x255});
    auto w = open();
    EXPECT_TRUE(w->PageControl->isTabVisible(w->PageControl->indexOf(w->TabIniettori)));
    EXPECT_FALSE(w->PageControl->isTabVisible(w->PageControl->indexOf(w->TabContatori)));
}

class FormDiagnosiType79Test : public FormDiagnosiTest {
protected:
    FormDiagnosiType79Test() : FormDiagnosiTest("type=79") {}
};

TEST_F(FormDiagnosiType79Test, AnEcuWithoutExclusionAndServiceCounterShowsNeitherTab)
{
    r.connectEcu();
    auto w = open();
    EXPECT_FALSE(w->PageControl->isTabVisible(1));
    EXPECT_FALSE(w->PageControl->isTabVisible(2));
    EXPECT_TRUE(w->FormKeyDown(Qt::Key_F2, Qt::NoModifier)); // the exit tab
    EXPECT_TRUE(w->Closed());
}

TEST_F(FormDiagnosiTest, FunctionKeysStepOverHiddenTabsAndTheExitTabCloses)
{
    r.connectEcu();
    r.sim().AddFault({.op = protovyx::Op::ReadItem, .code = 0x2ac});
    auto w = open();
    EXPECT_TRUE(w->FormKeyDown(Qt::Key_F2, Qt::NoModifier));
    EXPECT_EQ(w->PageControl->currentWidget(), w->TabContatori);
    EXPECT_TRUE(w->FormKeyDown(Qt::Key_PageUp, Qt::NoModifier));
    EXPECT_EQ(w->PageControl->currentWidget(), w->TabErrori);
    EXPECT_FALSE(w->FormKeyDown(Qt::Key_A, Qt::NoModifier));
    EXPECT_FALSE(w->Closed());
    EXPECT_TRUE(w->FormKeyDown(Qt::Key_F3, Qt::NoModifier));
    EXPECT_TRUE(w->Closed());
    EXPECT_EQ(w->result(), TFormDiagnosi::mrCancel);
    EXPECT_EQ(w->PageControl->currentWidget(), w->TabErrori);
}

TEST_F(FormDiagnosiTest, EscapeCancels)
{
    auto w = open();
    EXPECT_TRUE(w->FormKeyDown(Qt::Key_Escape, Qt::NoModifier));
    EXPECT_TRUE(w->Closed());
    EXPECT_EQ(w->result(), TFormDiagnosi::mrCancel);
}

TEST_F(FormDiagnosiTest, TheWindowPollsItselfWhileOpen)
{
    r.connectEcu();
    r.dm().SetPollItem(1);
    auto w = open(false);
    EXPECT_TRUE(w->Timer->isActive());
    EXPECT_EQ(w->Timer->interval(), 4000);
    w->FormShow();
    w->FormActivate();
    EXPECT_EQ(r.dm().PollItem, dm::kIdentityCode);
    EXPECT_FALSE(r.dm().TimerIO->isActive());

    poke(0x1d, {0x04, 0, 0, 0, 0});
    r.sim().ClearCalls();
    w->TimerTimer();
    const auto names = r.callNames();
    const auto at = [&names](const std::string& n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
    // The poll step first: its identity read comes before the window's reconnect.
    const auto reads = r.callsOf("ReadItem");
    ASSERT_FALSE(reads.empty());
    EXPECT_EQ(reads.front().code, dm::kIdentityCode);
    EXPECT_LT(reads.front().seq, r.callsOf("BeginReconnect").at(0).seq);
    EXPECT_LT(at("BeginReconnect"), at("Connect"));
    EXPECT_LT(at("Connect"), at("EndReconnect"));
    EXPECT_EQ(rows(*w), (std::vector<Row>{row(2, rig::text(440))}));
    EXPECT_TRUE(w->Timer->isActive());
    EXPECT_FALSE(r.dm().TimerIO->isActive());
}

TEST_F(FormDiagnosiTest, TickRetriesConnectWhenTheEcuStopsAnswering)
{
    r.connectEcu();
    auto w = open();
    r.sim().SetSilent(true);
    poke(0x1d, {0x04, 0, 0, 0, 0});
    r.prompts.script(plat::IDOK); // the poll step's own message
    r.sim().ClearCalls();
    const auto sleepsBefore = r.clock.sleeps().size();
    w->TimerTimer();
    // Four seconds of attempts, 500 ms apart, none answered: the page keeps its contents.
    const auto& calls = r.sim().Calls();
    auto begin = std::find_if(calls.rbegin(), calls.rend(), [](const CallRecord& c) { return c.name == "BeginReconnect"; });
    ASSERT_NE(begin, calls.rend());
    int attempts = 0;
    for (auto it = begin.base(); it != calls.end(); ++it)
        if (it->name == "Connect") {
            ++attempts;
            EXPECT_FALSE(it->result);
        }
    EXPECT_GE(attempts, 2);
    EXPECT_EQ(calls.back().name, "EndReconnect");
    EXPECT_TRUE(rows(*w).empty());
    const auto& sleeps = r.clock.sleeps();
    EXPECT_GE(std::count(sleeps.begin() + static_cast<std::ptrdiff_t>(sleepsBefore), sleeps.end(), 500u), attempts - 1);

    // The ECU answers again during the retries: the pages are rebuilt.
    bool restored = false;
    r.clock.onSleep([&](std::uint32_t ms) {
        if (ms == 500 && !restored) {
            restored = true;
            r.sim().SetSilent(false);
        }
    });
    r.prompts.script(plat::IDOK);
    w->TimerTimer();
    r.clock.onSleep({});
    EXPECT_TRUE(restored);
    EXPECT_EQ(rows(*w), (std::vector<Row>{row(2, rig::text(440))}));
}

TEST_F(FormDiagnosiTest, FreedWithoutClosingStillRestartsThePollTimer)
{
    auto w = open();
    EXPECT_FALSE(r.dm().TimerIO->isActive());
    w.reset();
    EXPECT_TRUE(r.dm().TimerIO->isActive());
    EXPECT_EQ(r.dm().PollItem, dm::kIdentityCode);
}

TEST_F(FormDiagnosiTest, ActivationTextsAndDescriptions)
{
    auto w = open();
    EXPECT_EQ(w->PageControl->tabText(0), rig::text(509));
    EXPECT_EQ(w->LabelParzialeGas->text(), rig::text(514));
    ASSERT_EQ(w->Descriptions().size(), 12);
    EXPECT_EQ(w->Descriptions()[9], rig::text(551));
    EXPECT_TRUE(w->Descriptions()[10].isEmpty());
    EXPECT_FALSE(w->ListCode->isHidden());
    EXPECT_FALSE(w->ImageResetAssolutoGas->isHidden());
    EXPECT_EQ(w->ImageReset->releasedId(), 10045);
    EXPECT_EQ(w->ImageReset->pressedId(), 10046);
    // Activation runs once.
    w->ListDiagnosi->clear();
    w->ListCode->clear();
    const int width = w->ListDiagnosi->width();
    w->FormActivate();
    EXPECT_EQ(w->ListDiagnosi->width(), width);
}

} // namespace

namespace {

TEST_F(FormDiagnosiTest, TheExitTabReachesAcrossTheBarWithItsPictureInSight)
{
    auto w = open();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QTabBar* bar = w->PageControl->tabBar();
    // Drawn once: the caption is padded to reach across.
    bar->repaint();
    QCoreApplication::processEvents();
    const int exit = w->PageControl->indexOf(w->TabEsci);
    const QRect tab = bar->tabRect(exit);
    const int width = w->PageControl->contentsRect().width();
    EXPECT_GT(bar->tabText(exit).size(), rig::text(80).size());  // the blanks went on
    EXPECT_LE(tab.right(), bar->width() - 1);                     // inside the bar: nothing to scroll
    EXPECT_GE(tab.right(), width * 95 / 100);                     // and right across it
    EXPECT_FALSE(bar->usesScrollButtons());
    for (int i = 0; i < exit; ++i)
        EXPECT_LT(bar->tabRect(i).right(), tab.left() + 1) << i;
    w->done(TFormDiagnosi::mrCancel);
}

} // namespace

// ---- Placement ------------------------------------------------------------

TEST_F(FormDiagnosiTest, EveryControlStandsAtItsTableEntryScaledToTheScreen)
{
    // Before the first showing, which moves the description list beside the
    // code column.
    const auto w = open(false);
    rig::ExpectPlacedFromTable(*w, diagnosi::kPlacements,
                               {{"ShapeAbilita", w->ShapeAbilita},
                                {"ShapeCheckAbilita", w->ShapeCheckAbilita},
                                {"ShapePosteriore", w->ShapePosteriore},
                                {"ShapeCheckPosteriore", w->ShapeCheckPosteriore},
                                // The legends' pictures have no name and no member.
                                {"ImageLabelOk", nullptr},
                                {"ImageLabelErrore", nullptr},
                                {"ImageLabelEsclusioneOk", nullptr},
                                {"ImageLabelEsclusioneErrore", nullptr}});
}

TEST_F(FormDiagnosiTest, EachInjectorsControlsStandAsInjectorAsInItsColumnAndBank)
{
    const auto w = open(false);
    const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    const plat::ScaleFactor f = plat::ScreenScaleFactor(screen->geometry().size());
    struct Case {
        char control;
        int column;
        int bank;
    };
    // The first and the last of each bank's row.
    const Case cases[] = {{'A', 0, 1}, {'I', 4, 1}, {'E', 0, 2}, {'L', 4, 2}};
    for (const Case& c : cases) {
        const Letter& l = w->Letter(c.control);
        const QPoint step(c.column * diagnosi::kInjectorStepX, (c.bank - 1) * diagnosi::kInjectorStepY);
        const std::pair<const QWidget*, const char*> controls[] = {
            {l.LabelInj, "LabelInjA"}, {l.ImageOk, "ImageOkA"}, {l.ImageKo, "ImageKoA"},
            {l.Label, "LabelA"},       {l.ImageOn, "ImageOnA"}, {l.ImageOff, "ImageOffA"},
        };
        for (const auto& [control, key] : controls) {
            const QRect design = plat::PlacementRect(diagnosi::kPlacements, key).translated(step);
            EXPECT_EQ(control->geometry(), plat::ScaledRect(design, f.num, f.den)) << c.control << " " << key;
            EXPECT_TRUE(control->objectName().endsWith(QLatin1Char(c.control))) << c.control << " " << key;
        }
    }
}
