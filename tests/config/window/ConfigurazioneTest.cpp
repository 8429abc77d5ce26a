// The Configurazione page through its controls: the fuel change end to end,
// a refused option write, a set that does not load, the no-selection rule,
// the personalisation list,
// the note, and the injection sequence's wiring.
#include "config/rules/ConfigChanges.h"
#include "config/rules/SequenceRules.h"
#include "config/window/FormConfig.h"
#include "tests/support/rig/DataModuleRig.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"

#include "config/window/pages/PageCommutazione.h"
#include "config/window/pages/PageConfigurazione.h"
#include "config/window/pages/PageSensori.h"
#include "config/window/pages/PageTaratura.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kFlagsItem = 0x03;
constexpr int kMapKItem = 0x54;

class ConfigurazioneTest : public ::testing::Test {
protected:
    explicit ConfigurazioneTest(const std::string& profile = "type=30") : r({.profile = profile}) {}

    void SetUp() override
    {
        r.dm().EcuInfo.EcuType = static_cast<std::uint8_t>(r.sim().CurrentProfile().type);
        r.connectEcu();
        ASSERT_TRUE(r.dm().TransferData(TStreamDati::TRANSFER_READ_ECU, {}, 0, TStreamDati::TRANSFER_ALL_GROUPS, 0, 0));
        w = std::make_unique<TFormConfig>(nullptr);
        TConfigMainHooks hooks;
        hooks.extraInjectionSeen = &extraSeen;
        hooks.beginWait = [this](QWidget*, const QString& text) { waits.push_back("begin " + text.toStdString()); };
        hooks.endWait = [this] { waits.push_back("end"); };
        hooks.resetFromPc = [this] { ++resets; };
        w->SetMainHooks(std::move(hooks));
        w->LoadTexts();
        w->show();
        r.events();
        r.sim().ClearCalls();
    }

    void TearDown() override
    {
        if (w && w->isVisible())
            w->done(0);
    }

    std::set<int> writtenItems()
    {
        std::set<int> items;
        for (const auto& c : r.sim().Calls())
            if (c.name.rfind("Write", 0) == 0)
                items.insert(c.code & 0xFF);
        return items;
    }

    // The user's choice of an item with the list closed (wheel, letters),
    // which the list commits at once as Enter would.
    static void choose(TKeyComboBox* combo, int index)
    {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    rig::DataModuleRig r;
    std::unique_ptr<TFormConfig> w;
    bool extraSeen = false;
    std::vector<std::string> waits;
    int resets = 0;
};

TEST_F(ConfigurazioneTest, TheFuelChangeReplacesTheCalibrationUnderTheWaitForm)
{
    ASSERT_EQ(w->Page<TPageConfigurazione>().ComboCarburante->currentIndex(), 0);
    const std::int32_t cng = cfgrules::CurrentDefaultResource(r.dm()); // resource of the LPG set, for contrast
    r.prompts.script(plat::IDYES);
    choose(w->Page<TPageConfigurazione>().ComboCarburante, 1);
    // The question, the wait form with its text, the set written, the frame
    // closed and the page filled again.
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].text, rig::text(258));
    EXPECT_EQ(waits, (std::vector<std::string>{"begin " + rig::text(31).toStdString(), "end"}));
    EXPECT_EQ(r.dm().GetFlag(1), 1);
    EXPECT_EQ(r.sim().CurrentProfile().type, 30);
    std::vector<std::int32_t> flags;
    r.sim().PeekItem(kFlagsItem, flags);
    EXPECT_EQ(flags[0] & 0x2, 0x2);
    EXPECT_TRUE(writtenItems().count(kMapKItem));
    EXPECT_NE(cfgrules::CurrentDefaultResource(r.dm()), cng);
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboCarburante->currentIndex(), 1);
    EXPECT_TRUE(w->Page<TPageConfigurazione>().PreviousFuel);
    EXPECT_TRUE(w->TimerDati->isActive());
    bool refreshed = false;
    for (const auto& e : r.events())
        refreshed = refreshed || e.lParam == 2;
    EXPECT_TRUE(refreshed);
}

TEST_F(ConfigurazioneTest, ARefusedFuelWriteLoadsNothingAndShowsTheStoredFuel)
{
    r.sim().AddFault({.op = protovyx::Op::WriteItem, .code = kFlagsItem, .matchItem = true, .status = 0x10});
    r.prompts.script(plat::IDYES);
    choose(w->Page<TPageConfigurazione>().ComboCarburante, 1);
    EXPECT_TRUE(waits.empty()); // no wait form
    EXPECT_EQ(writtenItems(), std::set<int>{kFlagsItem});
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboCarburante->currentIndex(), 0);
    EXPECT_TRUE(w->TimerDati->isActive());
    // The user is told why the list went back.
    ASSERT_EQ(r.prompts.shown().size(), 2u);
    EXPECT_EQ(r.prompts.shown().back().text, rig::text(cfgrules::kChangeNotMadeText));
}

TEST_F(ConfigurazioneTest, AFuelSetThatDoesNotLoadIsNotWrittenAndTheUserIsTold)
{
    r.dm().SetDefaultSetSource([](int) -> std::optional<QByteArray> { return std::nullopt; });
    r.prompts.script({plat::IDYES, plat::IDNO});
    choose(w->Page<TPageConfigurazione>().ComboCarburante, 1);
    EXPECT_FALSE(writtenItems().count(kMapKItem));
    EXPECT_EQ(r.dm().GetFlag(1), 0);
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboCarburante->currentIndex(), 0);
    EXPECT_EQ(waits, (std::vector<std::string>{"begin " + rig::text(31).toStdString(), "end"}));
    ASSERT_FALSE(r.prompts.shown().empty());
    EXPECT_EQ(r.prompts.shown().back().text, rig::text(cfgrules::kChangeNotMadeText));
    EXPECT_TRUE(w->TimerDati->isActive());
}

TEST_F(ConfigurazioneTest, NoSelectionWritesNothingAndNoIsUndone)
{
    for (TKeyComboBox* c :
         {w->Page<TPageConfigurazione>().ComboCarburante, w->Page<TPageConfigurazione>().ComboFullGroup,
          w->Page<TPageConfigurazione>().ComboTipoIniettore, w->Page<TPageConfigurazione>().ComboCilindri,
          w->Page<TPageConfigurazione>().ComboAccensione, w->Page<TPageConfigurazione>().ComboSegnaleGiri,
          w->Page<TPageConfigurazione>().ComboPers}) {
        SCOPED_TRACE(c->objectName().toStdString());
        choose(c, -1);
    }
    EXPECT_TRUE(writtenItems().empty());
    EXPECT_TRUE(r.prompts.shown().empty());
    // No to the question: the list shows the fuel that stays.
    r.prompts.script(plat::IDNO);
    choose(w->Page<TPageConfigurazione>().ComboCarburante, 1);
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboCarburante->currentIndex(), 0);
    EXPECT_TRUE(writtenItems().empty());
}

TEST_F(ConfigurazioneTest, CylindersAndIgnitionWriteTheirCodes)
{
    choose(w->Page<TPageConfigurazione>().ComboCilindri, 0);
    EXPECT_EQ(static_cast<int>(r.dm().GetValueByCode(52)), 3);
    w->Page<TPageConfigurazione>().ComboAccensione->setCurrentIndex(2);
    choose(w->Page<TPageConfigurazione>().ComboCilindri, 1);
    EXPECT_EQ(static_cast<int>(r.dm().GetValueByCode(52)), 4);
    EXPECT_EQ(static_cast<int>(r.dm().GetValueByCode(20)), 3);
}

TEST_F(ConfigurazioneTest, ThePersonalisationListOffersItsEntriesAndCommitsTheChosenOne)
{
    w->SetActivePage(cfgwin::PageConfigurazione, true);
    ASSERT_TRUE(w->Page<TPageConfigurazione>().ComboPers->isVisibleTo(w->TabConfigurazione));
    const QStringList entries = {QStringLiteral("Nessuna"), QStringLiteral("Quorin"), QStringLiteral("Tolvi"),
                                 QStringLiteral("Pomrel"), QStringLiteral("KTD")};
    ASSERT_EQ(w->Page<TPageConfigurazione>().ComboPers->count(), entries.size());
    for (int i = 0; i < entries.size(); ++i)
        EXPECT_EQ(w->Page<TPageConfigurazione>().ComboPers->itemText(i), entries[i]);
    // The list stands at the ECU's value.
    const int stored = static_cast<int>(r.dm().CustomerCode);
    ASSERT_GE(stored, 0);
    ASSERT_LT(stored, entries.size());
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboPers->currentIndex(), stored);

    // Another entry: the value written, the ECU told to take it and the link
    // opened again; the list shows what the module holds.
    const int chosen = stored == 3 ? 2 : 3;
    choose(w->Page<TPageConfigurazione>().ComboPers, chosen);
    const auto writes = r.callsOf("WriteValue");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].code, 0x233);
    ASSERT_FALSE(writes[0].in.empty());
    EXPECT_EQ(writes[0].in[0], chosen);
    const auto commands = r.callsOf("SendCommand");
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].code, 0x12);
    EXPECT_EQ(r.callsOf("Disconnect").size(), 1u);
    EXPECT_EQ(r.callsOf("Connect").size(), 1u);
    EXPECT_EQ(r.dm().CustomerCode, static_cast<std::uint32_t>(chosen));
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboPers->currentIndex(), chosen);

    // A language change keeps the entry shown.
    w->LoadTexts();
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboPers->count(), entries.size());
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboPers->currentIndex(), chosen);
}

TEST_F(ConfigurazioneTest, TheNoteTakesOnlyWhatItCanHold)
{
    w->SetActivePage(0, true);
    w->Page<TPageConfigurazione>().EditNoteConfig->setFocus();
    w->Page<TPageConfigurazione>().EditNoteConfig->clear();
    QTest::keyClicks(w->Page<TPageConfigurazione>().EditNoteConfig, QStringLiteral("ab{c_1"));
    EXPECT_EQ(w->Page<TPageConfigurazione>().EditNoteConfig->text(), QStringLiteral("ABC_1"));
    // A paste goes through the same rule.
    w->Page<TPageConfigurazione>().EditNoteConfig->insert(QStringLiteral("x~y"));
    EXPECT_EQ(w->Page<TPageConfigurazione>().EditNoteConfig->text(), QStringLiteral("ABC_1"));
    w->Page<TPageConfigurazione>().EditNoteConfig->insert(QStringLiteral("zz"));
    QTest::keyClick(w->Page<TPageConfigurazione>().EditNoteConfig, Qt::Key_Return);
    EXPECT_EQ(QString::fromLatin1(r.dm().GetNoteConfig()).trimmed(), QStringLiteral("ABC_1ZZ"));
    EXPECT_EQ(w->Page<TPageConfigurazione>().EditNoteConfig->maxLength(), 64);
}

TEST_F(ConfigurazioneTest, TheSequenceBoxesShareOneProcedure)
{
    // No engine at idle on petrol: the box clears itself with message 390.
    w->SetActivePage(cfgwin::PageTaratura, true);
    w->LiveStatusFlags = 0x10; // on gas
    w->Page<TPageTaratura>().CheckModificaSequenza->click();
    EXPECT_FALSE(w->Page<TPageTaratura>().CheckModificaSequenza->isChecked());
    ASSERT_FALSE(r.prompts.shown().empty());
    EXPECT_EQ(r.prompts.shown().back().text, rig::text(390));
    EXPECT_FALSE(w->Page<TPageTaratura>().GridSequenza->isVisibleTo(w->TabTaratura));

    // On petrol at idle with a valid sequence: advanced, the grid shows.
    w->LiveStatusFlags = 0x80;
    w->LiveRpm = 800;
    w->Page<TPageTaratura>().CheckModificaSequenza->click();
    // The simulated ECU holds a valid sequence (an invalid one, message 391,
    // is the rules' own test).
    ASSERT_TRUE(w->Page<TPageTaratura>().CheckModificaSequenza->isChecked());
    EXPECT_EQ(r.prompts.shown().back().text, rig::text(392));
    EXPECT_TRUE(w->Page<TPageTaratura>().GridSequenza->isVisibleTo(w->TabTaratura));
    EXPECT_EQ(r.dm().GetModificaSequenza(), 1);
    EXPECT_FALSE(w->Page<TPageCommutazione>().RadioGas->isEnabled());
    // The page shown again keeps the state without writing.
    r.sim().ClearCalls();
    w->Page<TPageTaratura>().TabTaraturaShow();
    EXPECT_TRUE(writtenItems().empty());
    EXPECT_TRUE(w->Page<TPageTaratura>().CheckModificaSequenza->isChecked());
    // Off: the standard sequence, message 393.
    w->Page<TPageTaratura>().CheckModificaSequenza->click();
    EXPECT_EQ(r.prompts.shown().back().text, rig::text(393));
    EXPECT_FALSE(w->Page<TPageTaratura>().GridSequenza->isVisibleTo(w->TabTaratura));
    EXPECT_FALSE(w->Page<TPageTaratura>().CheckModificaSequenza->isChecked());
    EXPECT_EQ(r.dm().GetModificaSequenza() != 0, w->Page<TPageTaratura>().CheckModificaSequenza->isChecked());
}

TEST_F(ConfigurazioneTest, TheSwitchPagesSequenceBoxRunsTheSameProcedureAndTheGridEditsTheSequence)
{
    TPageTaratura& taratura = w->Page<TPageTaratura>();
    TPageCommutazione& commutazione = w->Page<TPageCommutazione>();
    w->SetActivePage(cfgwin::PageCommutazione, true);
    w->LiveStatusFlags = 0x80;
    w->LiveRpm = 800;
    commutazione.CheckModificaSequenza2->click();
    ASSERT_TRUE(commutazione.CheckModificaSequenza2->isChecked());
    EXPECT_EQ(r.prompts.shown().back().text, rig::text(392));
    EXPECT_EQ(r.dm().GetModificaSequenza(), 1);
    EXPECT_FALSE(commutazione.RadioGas->isEnabled());

    // The Altri parametri page shows the advance without writing, with its grid.
    r.sim().ClearCalls();
    w->SetActivePage(cfgwin::PageTaratura, true);
    EXPECT_TRUE(writtenItems().empty());
    EXPECT_TRUE(taratura.CheckModificaSequenza->isChecked());
    ASSERT_TRUE(taratura.GridSequenza->isVisibleTo(w->TabTaratura));

    // Another injector set for the first slot: the sequence takes it and the
    // grid shows it.
    const int column = 1;
    taratura.GridSequenza->setCurrentCell(cfgrules::kSequenceGasRow, column);
    const std::int32_t before = cfgrules::SequenceSetOfSlot(r.dm(), column - 1);
    int other = -1;
    for (int i = 0; i < taratura.ComboSequenza->count() && other < 0; ++i)
        if (taratura.ComboSequenza->itemData(i).toInt() != before)
            other = i;
    ASSERT_GE(other, 0);
    const std::int32_t chosen = taratura.ComboSequenza->itemData(other).toInt();
    taratura.ComboSequenza->setCurrentIndex(other);
    emit taratura.ComboSequenza->activated(other);
    EXPECT_EQ(cfgrules::SequenceSetOfSlot(r.dm(), column - 1), chosen);
    EXPECT_EQ(taratura.GridSequenza->item(cfgrules::kSequenceGasRow, column)->text(),
              cfgrules::SequenceCellText(r.dm(), column, cfgrules::kSequenceGasRow));

    // Off from the switch page: the standard sequence, message 393, and the
    // Altri parametri page follows.
    w->SetActivePage(cfgwin::PageCommutazione, true);
    commutazione.CheckModificaSequenza2->click();
    EXPECT_EQ(r.prompts.shown().back().text, rig::text(393));
    EXPECT_EQ(r.dm().GetModificaSequenza(), 0);
    EXPECT_TRUE(commutazione.RadioGas->isEnabled());
    w->SetActivePage(cfgwin::PageTaratura, true);
    EXPECT_FALSE(taratura.CheckModificaSequenza->isChecked());
    EXPECT_FALSE(taratura.GridSequenza->isVisibleTo(w->TabTaratura));
}

TEST_F(ConfigurazioneTest, TheSwitchPagesSequenceBoxGoesOffWithAnotherProbeCount)
{
    // The Commutazione page's box runs the shared procedure: on petrol at
    // idle the sequence is advanced and the fuel choices give way to it.
    w->SetActivePage(cfgwin::PageCommutazione, true);
    TPageCommutazione& commutazione = w->Page<TPageCommutazione>();
    w->LiveStatusFlags = 0x80;
    w->LiveRpm = 800;
    commutazione.CheckModificaSequenza2->click();
    ASSERT_TRUE(commutazione.CheckModificaSequenza2->isChecked());
    EXPECT_EQ(r.prompts.shown().back().text, rig::text(392));
    EXPECT_EQ(r.dm().GetModificaSequenza(), 1);
    EXPECT_FALSE(commutazione.RadioGas->isEnabled());
    EXPECT_FALSE(commutazione.RadioContributoAltiGiri->isEnabled());

    // Another probe count on the Sensori page: written, and the standard
    // sequence again through the Commutazione page's box (message 393).
    w->SetActivePage(cfgwin::PageSensori, true);
    TKeyComboBox* probes = w->Page<TPageSensori>().ComboNumeroSonde;
    const int count = r.dm().GetNumeroSonde();
    probes->setCurrentIndex(2 - count);
    emit probes->keyPressed(QChar(13));
    EXPECT_EQ(r.dm().GetNumeroSonde(), 3 - count);
    EXPECT_FALSE(commutazione.CheckModificaSequenza2->isChecked());
    EXPECT_EQ(r.dm().GetModificaSequenza(), 0);
    EXPECT_EQ(r.prompts.shown().back().text, rig::text(393));
    EXPECT_TRUE(commutazione.RadioGas->isEnabled());
}

TEST_F(ConfigurazioneTest, TheResetPictureRunsTheMainWindowsResetAndFillsThePageAgain)
{
    // What the page shows without a commit is replaced by what the module holds.
    const int fuel = w->Page<TPageConfigurazione>().ComboCarburante->currentIndex();
    const int signal = w->Page<TPageConfigurazione>().ComboSegnaleGiri->currentIndex();
    const QString note = w->Page<TPageConfigurazione>().EditNoteConfig->text();
    w->Page<TPageConfigurazione>().ComboCarburante->setCurrentIndex(1 - fuel);
    w->Page<TPageConfigurazione>().ComboSegnaleGiri->setCurrentIndex(1 - signal);
    w->Page<TPageConfigurazione>().EditNoteConfig->setText(QStringLiteral("NOT KEPT"));
    w->Page<TPageConfigurazione>().ImageResetClick();
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboCarburante->currentIndex(), fuel);
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboSegnaleGiri->currentIndex(), signal);
    EXPECT_EQ(w->Page<TPageConfigurazione>().EditNoteConfig->text(), note);
    // The lists are at their loaded items again: Enter on them writes nothing.
    EXPECT_FALSE(w->ListTouched(w->Page<TPageConfigurazione>().ComboCarburante));
    EXPECT_TRUE(writtenItems().empty());
    EXPECT_TRUE(w->TimerDati->isActive());
}

} // namespace
