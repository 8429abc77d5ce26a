// The Commutazione, Sensori and Pressione pages and the multi-element
// handlers of the sensor and injector pages, in the window against the
// simulated ECU's log.
#include "config/window/FormConfig.h"
#include "datamodule/core/Scaling.h"
#include "tests/support/rig/DataModuleRig.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Prompts.h"

#include "config/window/pages/PageCommutazione.h"
#include "config/window/pages/PageEmissioni.h"
#include "config/window/pages/PageIniezione.h"
#include "config/window/pages/PagePressione.h"
#include "config/window/pages/PageSensori.h"
#include "config/window/pages/PageTaratura.h"
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using protovyx::CallRecord;
using protovyx::Op;

constexpr std::int32_t kOptionWords = 0x2303;
constexpr std::int32_t kMarkerCode = 0x35;

class PageSwitchSensorTest : public ::testing::Test {
protected:
    explicit PageSwitchSensorTest(const std::string& profile = "type=30") : r({.profile = profile})
    {
        r.dm().EcuInfo.EcuType = static_cast<std::uint8_t>(r.sim().CurrentProfile().type);
        *r.dm().Item(0x15) = r.sim().CurrentProfile().hwVariant; // as the ECU's read gives it
        r.connectEcu();
        w = std::make_unique<TFormConfig>(nullptr);
        w->LoadTexts();
    }

    // The image as a file or an earlier read left it: no write.
    template <class F>
    void held(F&& change)
    {
        r.dm().WriteThrough = 0;
        change(r.dm());
        r.dm().WriteThrough = 1;
    }

    // The ECU's writes since the last ClearCalls, the marker's left out.
    std::vector<CallRecord> writes(Op op = Op::Any, std::int32_t code = -1)
    {
        std::vector<CallRecord> out;
        for (const auto& c : r.sim().Calls()) {
            const bool write = c.op == Op::WriteValue || c.op == Op::WriteElement || c.op == Op::WriteItem ||
                               c.op == Op::WriteCell || c.op == Op::WriteRow;
            if (write && c.code != kMarkerCode && (op == Op::Any || c.op == op) && (code < 0 || c.code == code))
                out.push_back(c);
        }
        return out;
    }
    void clear()
    {
        r.sim().ClearCalls();
        r.prompts.clear();
    }

    static void enter(TNumericEdit* e, const QString& typed)
    {
        e->setText(typed);
        QTest::keyClick(e, Qt::Key_Return);
    }
    // A choice committed as the closed list's Enter does.
    void choose(TKeyComboBox* c, int item)
    {
        c->setCurrentIndex(item);
        const QChar enter(13);
        if (c == w->Page<TPageCommutazione>().ComboCambio)
            w->Page<TPageCommutazione>().ComboCambioKeyPress(enter);
        else if (c == w->Page<TPageSensori>().ComboSensore)
            w->Page<TPageSensori>().ComboSensoreKeyPress(enter);
        else
            w->Page<TPageSensori>().ComboSonda1KeyPress(c, enter);
    }
    // Whether the control shows whenever its page does.
    bool visible(const char* name) const
    {
        const QWidget* c = w->Control(QString::fromLatin1(name));
        if (!c) {
            ADD_FAILURE() << "no control " << name;
            return false;
        }
        for (; c && !isSheet(c); c = c->parentWidget())
            if (c->isHidden())
                return false;
        return true;
    }
    bool isSheet(const QWidget* c) const
    {
        for (int p = 0; p < cfgwin::kPageCount; ++p)
            if (w->Page(p) == c)
                return true;
        return false;
    }

    rig::DataModuleRig r;
    std::unique_ptr<TFormConfig> w;
};

// ---------------------------------------------------------------------------
// Commutazione

TEST_F(PageSwitchSensorTest, SwitchPageLoadsTheChoicesTheEcuHoldsAndWritesNothing)
{
    struct Case {
        const char* name;
        bool petrolAtIdle, contribution;
        int idleRpm, petrolRpm;
        double time3;
        QRadioButton* TPageCommutazione::*idle;
        QRadioButton* TPageCommutazione::*high;
        bool rpmEditor, stabilisation, spray, petrolBlock;
        QString rpmCaption;
    };
    const Case cases[] = {
        {"gas", false, false, 0, 8500, 30, &TPageCommutazione::RadioGas, &TPageCommutazione::RadioGasAltiGiri, false,
         false, true, false, "T371"},
        {"return", false, false, 1100, 4500, 15, &TPageCommutazione::RadioRientro,
         &TPageCommutazione::RadioBenzinaAltiGiri, true, true, false, true, "T371"},
        {"petrol", true, true, 1100, 4500, 15, &TPageCommutazione::RadioBenzina,
         &TPageCommutazione::RadioContributoAltiGiri, true, false, false, true, "T502"},
        {"petrol time short", true, false, 0, 8500, 29, &TPageCommutazione::RadioRientro,
         &TPageCommutazione::RadioBenzinaAltiGiri, true, true, false, true, "T371"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        held([&](TStreamDati& d) {
            d.SetFlag(21, c.petrolAtIdle);
            d.SetFlag(20, c.contribution);
            d.SetElementByCode(673, 0, c.idleRpm);
            d.SetElementByCode(673, 1, c.petrolRpm);
            d.SetElementByCode(672, 3, c.time3);
        });
        clear();
        w->Page<TPageCommutazione>().TabCommutazioneShow();
        EXPECT_TRUE(writes().empty());
        EXPECT_EQ(w->LoadingControls, 0);
        EXPECT_TRUE((w->Page<TPageCommutazione>().*c.idle)->isChecked());
        EXPECT_TRUE((w->Page<TPageCommutazione>().*c.high)->isChecked());
        EXPECT_EQ(visible("EditGiriMinimoPerBenzina"), c.rpmEditor);
        EXPECT_EQ(visible("EditIniettate"), c.stabilisation);
        EXPECT_EQ(visible("CheckSpruzzata"), c.spray);
        EXPECT_EQ(visible("EditGiriPerBenzina"), c.petrolBlock);
        EXPECT_EQ(visible("EditTempoBenzina1"), c.petrolBlock);
        EXPECT_EQ(w->Page<TPageCommutazione>().LabelGiriPerBenzina->text(), c.rpmCaption);
        // Every behaviour editor shows what the module holds.
        EXPECT_EQ(w->Page<TPageCommutazione>().EditGiriMinimoPerBenzina->text(), QString::number(c.idleRpm));
        EXPECT_EQ(w->Page<TPageCommutazione>().EditGiriPerBenzina->text(), QString::number(c.petrolRpm));
        EXPECT_NEAR(w->Page<TPageCommutazione>().EditTempoBenzina3->LastValue(), c.time3, 0.01);
        for (auto [edit, element] : {std::pair{w->Page<TPageCommutazione>().EditIniettate, 0},
                                     std::pair{w->Page<TPageCommutazione>().EditUscita, 1}})
            EXPECT_EQ(edit->text(), QString::number(dm::TruncToInt(r.dm().GetElementByCode(163, element))))
                << edit->objectName().toStdString();
        EXPECT_TRUE(w->Page<TPageCommutazione>().RadioGas->isEnabled());
    }
    // EditRitMin shows one value from two bytes; the mode list the mode.
    held([](TStreamDati& d) {
        d.SetValueByCode(17, 44);
        d.SetValueByCode(178, 1);
        d.SetTipoCommutazione(1);
    });
    w->Page<TPageCommutazione>().TabCommutazioneShow();
    EXPECT_EQ(w->Page<TPageCommutazione>().EditRitMin->text(), QStringLiteral("300"));
    EXPECT_EQ(w->Page<TPageCommutazione>().ComboCambio->currentIndex(), 1);
    EXPECT_EQ(w->Page<TPageCommutazione>().EditGiriCambio->text(), QStringLiteral("1600")); // the mode bit is not rpm
    EXPECT_TRUE(w->Page<TPageCommutazione>().EditTempGas->isHidden());
}

TEST_F(PageSwitchSensorTest, OldHardwareForcesTheGasChoicesOfTheConnectedEcu)
{
    *r.dm().Item(0x15) = 1;
    held([](TStreamDati& d) {
        d.SetFlag(21, true);
        d.SetElementByCode(673, 0, 1100);
        d.SetElementByCode(673, 1, 4500);
    });
    clear();
    w->Page<TPageCommutazione>().TabCommutazioneShow();
    EXPECT_TRUE(w->Page<TPageCommutazione>().RadioGas->isChecked());
    EXPECT_TRUE(w->Page<TPageCommutazione>().RadioGasAltiGiri->isChecked());
    for (QRadioButton* b :
         {w->Page<TPageCommutazione>().RadioGas, w->Page<TPageCommutazione>().RadioRientro,
          w->Page<TPageCommutazione>().RadioBenzina, w->Page<TPageCommutazione>().RadioGasAltiGiri,
          w->Page<TPageCommutazione>().RadioBenzinaAltiGiri, w->Page<TPageCommutazione>().RadioContributoAltiGiri})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    // The gas choices are written: the ECU cannot run otherwise.
    EXPECT_EQ(r.dm().GetFlag(21), 0);
    EXPECT_EQ(static_cast<int>(r.dm().GetElementByCode(673, 0)), 0);
    EXPECT_EQ(static_cast<int>(r.dm().GetElementByCode(673, 1)), 8500);
    // Shown again, nothing more is written.
    clear();
    w->Page<TPageCommutazione>().TabCommutazioneShow();
    EXPECT_TRUE(writes().empty());

    // Without an ECU the variant is not known: a configuration prepared
    // offline keeps its choices.
    r.sim().Disconnect();
    held([](TStreamDati& d) { d.SetFlag(21, true); });
    clear();
    w->Page<TPageCommutazione>().TabCommutazioneShow();
    EXPECT_TRUE(writes().empty());
    EXPECT_TRUE(w->Page<TPageCommutazione>().RadioRientro->isChecked());
    EXPECT_EQ(r.dm().GetFlag(21), 1);
    EXPECT_FALSE(w->Page<TPageCommutazione>().RadioRientro->isEnabled());
}

TEST_F(PageSwitchSensorTest, RadioClicksWriteTheirPresetsAndLoadingOnlyRefreshes)
{
    w->Page<TPageCommutazione>().TabCommutazioneShow();
    ASSERT_TRUE(w->Page<TPageCommutazione>().RadioGas->isChecked());
    clear();
    w->Page<TPageCommutazione>().RadioRientro->click();
    EXPECT_EQ(writes(Op::WriteElement, 0x2a1).size(), 1u);
    EXPECT_EQ(static_cast<int>(r.dm().GetElementByCode(673, 0)), 1100);
    EXPECT_EQ(w->Page<TPageCommutazione>().EditGiriMinimoPerBenzina->text(), QStringLiteral("1100"));
    EXPECT_TRUE(visible("EditIniettate"));

    // The contribution ticks the spray box, writes its values and relabels.
    held([](TStreamDati& d) { d.SetFlag(24, true); });
    w->Page<TPageCommutazione>().CheckSpruzzata->setChecked(false);
    clear();
    w->Page<TPageCommutazione>().RadioContributoAltiGiri->click();
    EXPECT_TRUE(w->Page<TPageCommutazione>().CheckSpruzzata->isChecked());
    EXPECT_EQ(r.dm().GetFlag(20), 1);
    EXPECT_EQ(r.dm().GetFlag(24), 0);
    EXPECT_EQ(static_cast<int>(r.dm().GetElementByCode(673, 1)), 4500);
    EXPECT_NEAR(static_cast<double>(r.dm().GetElementByCode(672, 1)), 2, 0.01);
    EXPECT_NEAR(static_cast<double>(r.dm().GetElementByCode(672, 3)), 15, 0.01);
    EXPECT_EQ(w->Page<TPageCommutazione>().LabelGiriPerBenzina->text(), QStringLiteral("T502"));
    EXPECT_EQ(w->Page<TPageCommutazione>().LabelTempiBenzina->text(), QStringLiteral("T503"));
    EXPECT_EQ(w->Page<TPageCommutazione>().EditGiriPerBenzina->text(), QStringLiteral("4500"));

    // The spray box writes its option inverted.
    clear();
    w->Page<TPageCommutazione>().CheckSpruzzata->click();
    EXPECT_EQ(r.dm().GetFlag(24), 1);

    // While loading a click refreshes the page only.
    w->LoadingControls = 1;
    clear();
    w->Page<TPageCommutazione>().RadioGas->click();
    w->Page<TPageCommutazione>().RadioGasAltiGiri->click();
    w->Page<TPageCommutazione>().CheckSpruzzata->click();
    EXPECT_TRUE(writes().empty());
    EXPECT_FALSE(visible("EditGiriMinimoPerBenzina"));
    EXPECT_FALSE(visible("EditGiriPerBenzina"));
    EXPECT_EQ(w->Page<TPageCommutazione>().LabelGiriPerBenzina->text(), QStringLiteral("T371"));
    w->LoadingControls = 0;
}

TEST_F(PageSwitchSensorTest, EditorsOfTheSwitchPageCommitTheirOwnWay)
{
    r.dm().BuildTemperaturaGasTable(r.dm().GetTipoSensoreTemperaturaGas());
    w->Page<TPageCommutazione>().TabCommutazioneShow();
    w->Page<TPageEmissioni>().TabEmissioniShow();
    struct Case {
        TNumericEdit* edit;
        QString typed;
        std::vector<std::pair<std::int32_t, std::int32_t>> written; // (code, element or -1)
        QString shown;
    };
    const Case cases[] = {
        {w->Page<TPageCommutazione>().EditRitMin, "300", {{17, -1}, {178, -1}}, "300"},
        {w->Page<TPageEmissioni>().EditRitardoGiriEmulazione, "900", {{135, -1}, {107, -1}}, "500"}, // its limit
        {w->Page<TPageCommutazione>().EditTempGasBassa, "5", {{0x51, 2}}, "5"},
        {w->Page<TPageCommutazione>().EditGiriMinimoPerBenzina, "900", {{0x2a1, 0}}, "900"},
        {w->Page<TPageCommutazione>().EditGiriPerBenzina, "6000", {{0x2a1, 1}}, "6000"},
        {w->Page<TPageCommutazione>().EditTempoBenzina3, "12.5", {{0x2a0, 3}}, "12.5"},
        {w->Page<TPageCommutazione>().EditUscita, "4", {{0xa3, 1}}, "4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit->objectName().toStdString() + " " + c.typed.toStdString());
        clear();
        enter(c.edit, c.typed);
        std::vector<std::pair<std::int32_t, std::int32_t>> seen;
        for (const auto& x : writes())
            seen.emplace_back(x.code, x.row);
        EXPECT_EQ(seen, c.written);
        EXPECT_EQ(c.edit->text(), c.shown);
        // Enter again on what is shown writes nothing.
        clear();
        QTest::keyClick(c.edit, Qt::Key_Return);
        EXPECT_TRUE(writes().empty());
    }
    std::vector<std::int32_t> v;
    r.sim().PeekItem(17, v);
    EXPECT_EQ(v.at(0), 44);
    r.sim().PeekItem(178, v);
    EXPECT_EQ(v.at(0), 1);
}

TEST_F(PageSwitchSensorTest, ModeCommitShowsTheGroupsOfTheMode)
{
    held([](TStreamDati& d) {
        d.SetFlag(0, true);
        d.SetValueByCode(0x210, 2200);
    });
    w->show();
    w->SetActivePage(cfgwin::PageCommutazione, true);
    ASSERT_EQ(w->Page<TPageCommutazione>().ComboCambio->currentIndex(), 3);
    EXPECT_EQ(w->Page<TPageCommutazione>().ComboCambio->currentText(), QStringLiteral("Monofuel"));
    EXPECT_FALSE(visible("EditGiriCambio"));
    EXPECT_FALSE(visible("EditRitMin"));

    // Monofuel again: the option stays and no mode is written.
    clear();
    choose(w->Page<TPageCommutazione>().ComboCambio, 3);
    EXPECT_TRUE(writes(Op::WriteValue, 0x210).empty());
    EXPECT_EQ(r.dm().GetFlag(0), 1);
    EXPECT_FALSE(visible("EditTempGas"));
    EXPECT_FALSE(w->Page<TPageEmissioni>().EditCicchetto->isHidden());

    // "in accelerazione": the mode is written, the option cleared and the
    // groups come back, the switch-over gas temperature with them.
    clear();
    choose(w->Page<TPageCommutazione>().ComboCambio, 0);
    EXPECT_EQ(writes(Op::WriteValue, 0x210).size(), 1u);
    EXPECT_EQ(r.dm().GetFlag(0), 0);
    EXPECT_EQ(w->Page<TPageCommutazione>().ComboCambio->currentIndex(), 0);
    for (const char* name : {"EditGiriCambio", "EditTempRiduttore", "EditRitMin", "EditTempGas", "LabelTempGasCambio"})
        EXPECT_TRUE(visible(name)) << name;
    EXPECT_EQ(w->Page<TPageCommutazione>().EditGiriCambio->text(), QStringLiteral("2200"));
    EXPECT_EQ(w->Page<TPageEmissioni>().LabelSovrapposizione->text(), QStringLiteral("T118"));
    // "partenza a gas" hides the threshold.
    choose(w->Page<TPageCommutazione>().ComboCambio, 2);
    EXPECT_FALSE(visible("EditGiriCambio"));
    w->done(0);
}

TEST_F(PageSwitchSensorTest, SwitchButtonOnTheLiveBarAsksForTheOtherFuel)
{
    ASSERT_EQ(w->ImageCommutatore->parentWidget(), w->PanelBarra);
    w->LiveStatusFlags = 0x90; // key on, on gas
    clear();
    emit w->ImageCommutatore->clicked();
    const auto options = writes(Op::WriteItem, kOptionWords);
    ASSERT_EQ(options.size(), 4u);
    EXPECT_EQ(options[0].in[0] & 0x1800, 0x1000);
    EXPECT_EQ(options[1].in[0] & 0x1800, 0x1800);
    EXPECT_EQ(options[2].in[0] & 0x1800, 0x0800);
    EXPECT_EQ(options[3].in[0] & 0x1800, 0);
    EXPECT_EQ(options[3].timeMs - options[1].timeMs, 600u);
    EXPECT_TRUE(w->ImageCommutatore->isEnabled());
}

// ---------------------------------------------------------------------------
// Sensori

TEST_F(PageSwitchSensorTest, LevelSensorListAndThresholds)
{
    w->Page<TPageSensori>().TabSensoriShow();
    ASSERT_EQ(w->Page<TPageSensori>().ComboSensore->count(), 5);
    EXPECT_EQ(w->Page<TPageSensori>().ComboSensore->itemText(1), QStringLiteral("Quorin 318470"));

    // "Quorin 318470": the inverted type and its thresholds, no panel.
    w->Page<TPageSensori>().PanelRifSensore->show();
    clear();
    choose(w->Page<TPageSensori>().ComboSensore, 1);
    EXPECT_EQ(writes(Op::WriteValue, 0x24).size(), 1u);
    EXPECT_EQ(writes(Op::WriteElement, 0x25).size(), 4u);
    EXPECT_TRUE(w->Page<TPageSensori>().PanelRifSensore->isHidden());
    EXPECT_EQ(w->Page<TPageSensori>().EditLivello1->text(), QStringLiteral("223"));
    EXPECT_EQ(w->Page<TPageSensori>().EditLivello4->text(), QStringLiteral("116"));
    w->Page<TPageSensori>().TabSensoriShow();
    EXPECT_EQ(w->Page<TPageSensori>().ComboSensore->currentIndex(), 1);

    // "non standard invertito": the panel; a wrong series is refused.
    choose(w->Page<TPageSensori>().ComboSensore, 4);
    EXPECT_FALSE(w->Page<TPageSensori>().PanelRifSensore->isHidden());
    const std::array levels{w->Page<TPageSensori>().EditLivello1, w->Page<TPageSensori>().EditLivello2,
                            w->Page<TPageSensori>().EditLivello3, w->Page<TPageSensori>().EditLivello4};
    const auto type = [&](std::array<const char*, 4> l) {
        for (std::size_t i = 0; i < 4; ++i)
            levels[i]->setText(QString::fromLatin1(l[i]));
    };
    clear();
    type({"10", "20", "300", "400"});
    emit w->Page<TPageSensori>().ImageConferma->clicked();
    EXPECT_EQ(r.prompts.texts(), QStringList{"T177"});
    EXPECT_TRUE(writes().empty());
    // A falling series of an inverted sender is written; the page then shows
    // the inverted non-standard item.
    clear();
    type({"200", "150", "100", "50"});
    emit w->Page<TPageSensori>().ImageConferma->clicked();
    EXPECT_TRUE(r.prompts.shown().empty());
    EXPECT_EQ(writes(Op::WriteElement, 0x25).size(), 4u);
    w->Page<TPageSensori>().TabSensoriShow();
    EXPECT_EQ(w->Page<TPageSensori>().ComboSensore->currentIndex(), 4);
    EXPECT_EQ(w->Page<TPageSensori>().EditLivello2->text(), QStringLiteral("150"));
}

TEST_F(PageSwitchSensorTest, ReturnToPetrolRemembersItsTimeWhileTheWindowLives)
{
    held([](TStreamDati& d) { d.SetValueByCode(62, 3); });
    w->show();
    w->SetActivePage(cfgwin::PageSensori, true);
    ASSERT_TRUE(w->Page<TPageSensori>().CheckRitornoBenzina->isChecked());
    EXPECT_TRUE(visible("EditRitornoBenzina"));
    EXPECT_EQ(w->Page<TPageSensori>().EditRitornoBenzina->text(), QStringLiteral("3"));
    clear();
    w->Page<TPageSensori>().CheckRitornoBenzina->click();
    EXPECT_EQ(writes(Op::WriteValue, 62).at(0).in, std::vector<std::int32_t>{255});
    EXPECT_FALSE(visible("EditRitornoBenzina"));
    clear();
    w->Page<TPageSensori>().CheckRitornoBenzina->click();
    EXPECT_EQ(writes(Op::WriteValue, 62).at(0).in, std::vector<std::int32_t>{3});
    EXPECT_EQ(w->Page<TPageSensori>().EditRitornoBenzina->text(), QStringLiteral("3"));
    w->Page<TPageSensori>().CheckRitornoBenzina->click();
    w->done(0);
    // A new run of the program: on again means 0 seconds.
    w = std::make_unique<TFormConfig>(nullptr);
    w->LoadTexts();
    w->Page<TPageSensori>().TabSensoriShow();
    ASSERT_FALSE(w->Page<TPageSensori>().CheckRitornoBenzina->isChecked());
    clear();
    w->Page<TPageSensori>().CheckRitornoBenzina->click();
    EXPECT_EQ(writes(Op::WriteValue, 62).at(0).in, std::vector<std::int32_t>{0});
}

// ---------------------------------------------------------------------------
// The handlers of several elements and with side effects

TEST_F(PageSwitchSensorTest, SecondBankCorrectionGoesToAllTwelveElements)
{
    held([](TStreamDati& d) { d.SetNumeroSonde(2); });
    w->Page<TPageSensori>().TabSensoriShow();
    EXPECT_TRUE(visible("EditCorrBancata2"));
    clear();
    enter(w->Page<TPageSensori>().EditCorrBancata2, QStringLiteral("-5"));
    const auto elements = writes(Op::WriteElement, 0x49E);
    ASSERT_EQ(elements.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(elements[static_cast<std::size_t>(i)].row, i);
        EXPECT_EQ(static_cast<int>(r.dm().GetElementByCode(0x49E, i)), -5) << i;
    }
    EXPECT_EQ(w->Page<TPageSensori>().EditCorrBancata2->text(), QStringLiteral("-5"));
    // One bank: the corrector goes.
    held([](TStreamDati& d) { d.SetNumeroSonde(1); });
    w->ApplyBankVisibility();
    EXPECT_FALSE(visible("EditCorrBancata2"));
    EXPECT_FALSE(visible("ShapeCorrettore"));
}

TEST_F(PageSwitchSensorTest, ProbeRolesStoreAndReapplyTheBankRules)
{
    // The live bar's second-probe reading.
    QLabel* probe2 = w->LabLambda2;
    ASSERT_TRUE(probe2);
    r.dm().TipiLambdaPresent = 1;
    held([](TStreamDati& d) {
        d.SetNumeroSonde(1);
        d.SetTipiLambda(2, 2);
    });
    w->Page<TPageSensori>().TabSensoriShow();
    EXPECT_EQ(w->Page<TPageSensori>().ComboSonda2->currentIndex(), 2);
    probe2->hide();
    clear();
    choose(w->Page<TPageSensori>().ComboSonda2, 0);
    const auto roles = writes(Op::WriteValue, 0xab);
    ASSERT_EQ(roles.size(), 1u);
    EXPECT_EQ(roles[0].in.at(0) & 0x30, 0);
    EXPECT_EQ(r.dm().GetTipiLambda(2), 0);
    EXPECT_EQ(w->Page<TPageSensori>().ComboSonda2->currentIndex(), 0);
    EXPECT_FALSE(probe2->isHidden()); // the bank rules ran again
    // Probe 1 to "Posteriore".
    clear();
    choose(w->Page<TPageSensori>().ComboSonda1, 2);
    EXPECT_EQ(writes(Op::WriteValue, 0xab).at(0).in.at(0) & 0x3, 0x3);
}

TEST_F(PageSwitchSensorTest, OptionBoxesOfTheSensoriPage)
{
    w->Page<TPageSensori>().TabSensoriShow();
    ASSERT_FALSE(w->Page<TPageSensori>().CheckElettrovalvole->isChecked());
    // Fuel-line filling: ticking warns, clearing does not.
    clear();
    w->Page<TPageSensori>().CheckElettrovalvole->click();
    ASSERT_EQ(writes(Op::WriteItem, kOptionWords).size(), 1u);
    EXPECT_EQ(r.dm().GetFlag(19), 1);
    EXPECT_EQ(r.prompts.texts(), QStringList{"T364"});
    EXPECT_EQ(r.prompts.shown()[0].icon, plat::PromptIcon::Information);
    clear();
    w->Page<TPageSensori>().CheckElettrovalvole->click();
    EXPECT_EQ(r.dm().GetFlag(19), 0);
    EXPECT_TRUE(r.prompts.shown().empty());

    // The dedicated wire switches its diagnosis off; clearing leaves it.
    held([](TStreamDati& d) { d.SetDiagnosi(0, 2, 0x0F); });
    clear();
    w->Page<TPageSensori>().CheckAlimentazione->click();
    EXPECT_EQ(r.dm().GetFlag(26), 1);
    const auto enables = writes(Op::WriteElement, 0x1c);
    ASSERT_EQ(enables.size(), 1u);
    EXPECT_EQ(enables[0].row, 0);
    EXPECT_EQ(enables[0].in.at(0), 0x0B);
    clear();
    w->Page<TPageSensori>().CheckAlimentazione->click();
    EXPECT_EQ(r.dm().GetFlag(26), 0);
    EXPECT_TRUE(writes(Op::WriteElement, 0x1c).empty());
    EXPECT_EQ(r.dm().GetDiagnosi(0, 2), 0x0B);

    // Loading the page writes nothing and shows no box.
    clear();
    w->Page<TPageSensori>().TabSensoriShow();
    EXPECT_TRUE(writes().empty());
    EXPECT_TRUE(r.prompts.shown().empty());
}

TEST_F(PageSwitchSensorTest, MaximumInjectionTimeIsFilterElementSix)
{
    w->Page<TPageIniezione>().TabIniezioneShow();
    clear();
    enter(w->Page<TPageIniezione>().EditTInjSup22, QStringLiteral("12.5"));
    const auto filter = writes(Op::WriteElement, 0x298);
    ASSERT_EQ(filter.size(), 1u);
    EXPECT_EQ(filter[0].row, 6);
    EXPECT_NEAR(static_cast<double>(r.dm().GetTInjFiltro(6)), 12.5, 0.01);
    EXPECT_EQ(w->Page<TPageIniezione>().EditTInjSup22->text(), QStringLiteral("12.5"));
}

TEST_F(PageSwitchSensorTest, InjectorTimesWriteTheirOwnItemOncePerTyping)
{
    TPageIniezione& page = w->Page<TPageIniezione>();
    const struct {
        TNumericEdit* edit;
        std::int32_t code;
        int kind;
    } times[] = {{page.EditAperturaInj, 0x253, 1},
                 {page.EditChiusuraInj, 0x252, 2},
                 {page.EditTempoMortoBenz, 0x27d, 3},
                 {page.EditTempoMortoGas, 0x27e, 4}};
    const QString typed = QStringLiteral("1.37");
    // Editors the page never loaded write nothing.
    clear();
    for (const auto& t : times)
        enter(t.edit, typed);
    EXPECT_TRUE(writes().empty());

    page.TabIniezioneShow();
    for (const auto& t : times) {
        SCOPED_TRACE(t.edit->objectName().toStdString());
        ASSERT_NE(t.edit->text(), typed);
        clear();
        enter(t.edit, typed);
        const auto written = writes();
        ASSERT_EQ(written.size(), 1u);
        EXPECT_EQ(written[0].op, Op::WriteValue);
        EXPECT_EQ(written[0].code, t.code);
        EXPECT_NEAR(static_cast<double>(r.dm().GetTempoIniettore(t.kind)), 1.37, 0.05);
        EXPECT_EQ(t.edit->text(), typed);
        // What was typed is now what the module holds: Enter again writes
        // nothing until the editor is typed in again.
        clear();
        QTest::keyClick(t.edit, Qt::Key_Return);
        EXPECT_TRUE(writes().empty());
    }
}

class DefaultInjectionTimeTest : public PageSwitchSensorTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DefaultInjectionTimeTest, GoesToEveryRowOfTheFuelsColumn)
{
    const bool cng = GetParam();
    held([cng](TStreamDati& d) { d.SetFlag(1, cng); });
    w->Page<TPageTaratura>().TabTaraturaShow();
    // A refused row 0 leaves it as it was; the other rows get the value typed.
    r.sim().AddFault({.op = Op::WriteCell, .code = 0x28f, .row = 0});
    const QString before = w->Page<TPageTaratura>().EditTInjDefault->text();
    clear();
    enter(w->Page<TPageTaratura>().EditTInjDefault, QStringLiteral("4.5"));
    const auto cells = writes(Op::WriteCell, 0x28f);
    ASSERT_EQ(cells.size(), 8u);
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(cells[static_cast<std::size_t>(row)].row, row);
        EXPECT_EQ(cells[static_cast<std::size_t>(row)].column, cng ? 1 : 0);
        if (row > 0) {
            EXPECT_NEAR(static_cast<double>(r.dm().GetTInjDefault(row, cng ? 1 : 0)), 4.5, 0.01);
        }
    }
    EXPECT_EQ(w->Page<TPageTaratura>().EditTInjDefault->text(), before);
}

INSTANTIATE_TEST_SUITE_P(Fuels, DefaultInjectionTimeTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "CNG" : "LPG"; });

// ---------------------------------------------------------------------------
// Pressione

TEST_F(PageSwitchSensorTest, ShowingTheMapSelectorWritesNothingClickingItWrites)
{
    for (const bool internal : {true, false}) {
        SCOPED_TRACE(internal ? "internal" : "external");
        held([internal](TStreamDati& d) {
            d.SetFlag(12, internal);
            d.SetFlag(13, true);
        });
        r.dm().Item(0x1e135)[0] |= 0x80; // an official configuration
        r.dm().Modified = 0;
        for (const int page : {cfgwin::PageConfigurazione, cfgwin::PagePressione}) {
            w->SetActivePage(page, false);
            clear();
            w->show();
            w->SetActivePage(cfgwin::PagePressione, true);
            EXPECT_TRUE(writes().empty()) << page;
            EXPECT_EQ(r.dm().Modified, 0) << page;
            EXPECT_TRUE(r.dm().GetUfficiale()) << page;
            EXPECT_EQ(w->Page<TPagePressione>().RadioMapInterno->isChecked(), internal);
            EXPECT_EQ(visible("PanelParametri"), !internal);
            EXPECT_TRUE(visible("PanelMisuratorePressione"));
            for (const char* hidden : {"RadioMapInterno", "RadioMapEsterno", "ComboMisuratorePressione",
                                       "ComboPressioneMisurata", "ComboSensoreMap"})
                EXPECT_FALSE(visible(hidden)) << hidden;
            w->done(0);
        }
    }
    // A click writes the option and applies the visibility.
    w->show();
    w->SetActivePage(cfgwin::PagePressione, true);
    clear();
    w->Page<TPagePressione>().RadioMapInterno->click();
    const auto options = writes(Op::WriteItem, kOptionWords);
    ASSERT_EQ(options.size(), 1u);
    EXPECT_EQ(r.dm().GetFlag(12), 1);
    EXPECT_FALSE(visible("PanelParametri"));
    w->done(0);
}

TEST_F(PageSwitchSensorTest, PressurePageShowsTheCalibrationAndItsLimits)
{
    held([](TStreamDati& d) {
        d.SetOffsetPendenza(4, -108);
        d.SetOffsetPendenza(5, 542);
    });
    w->Page<TPagePressione>().TabPressioneShow();
    EXPECT_EQ(w->Page<TPagePressione>().EditOffsetDiff->text(), QStringLiteral("-108"));
    EXPECT_EQ(w->Page<TPagePressione>().ComboSensoreMap->currentIndex(), 0);
    EXPECT_EQ(w->Control(QStringLiteral("LabelMbarVPendenzaDiff"))->property("text").toString(), "mbar/V");
    struct Limits {
        TNumericEdit* edit;
        double min, max;
    };
    for (const auto& l : {Limits{w->Page<TPagePressione>().EditOffsetDiff, -2000, 2000},
                          Limits{w->Page<TPagePressione>().EditPendenzaDiff, 0, 3000},
                          Limits{w->Page<TPagePressione>().EditOffset, -2000, 2000},
                          Limits{w->Page<TPagePressione>().EditPendenza, 0, 2000}}) {
        EXPECT_EQ(l.edit->MinValue(), l.min) << l.edit->objectName().toStdString();
        EXPECT_EQ(l.edit->MaxValue(), l.max) << l.edit->objectName().toStdString();
    }
    clear();
    enter(w->Page<TPagePressione>().EditOffsetDiff, QStringLiteral("-2500"));
    const auto words = writes(Op::WriteElement, 0x678);
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].row, 4);
    EXPECT_EQ(words[0].in.at(0), -2000);
    EXPECT_EQ(w->Page<TPagePressione>().EditOffsetDiff->text(), QStringLiteral("-2000"));
    EXPECT_EQ(w->Page<TPagePressione>().ComboSensoreMap->currentIndex(), 0); // shown again only with the page
}

} // namespace
