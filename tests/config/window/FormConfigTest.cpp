// The configuration window's frame against the data module on the simulated
// ECU, with scripted message boxes and virtual time.
#include "config/window/FormConfig.h"
#include "config/mapk/FormModificaMappa.h"
#include "config/tables/CorrectionGrids.h"
#include "config/window/FormConfigParts.h"
#include "live/diagnostics/FormDiagnosi.h"
#include "tests/support/rig/DataModuleRig.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"
#include "config/window/pages/PageAdatta.h"
#include "config/window/pages/PageCommutazione.h"
#include "config/window/pages/PageConfigurazione.h"
#include "config/window/pages/PageCorrezioni.h"
#include "config/window/pages/PageEmissioni.h"
#include "config/window/pages/PageIniezione.h"
#include "config/window/pages/PagePressione.h"
#include "config/window/pages/PageSensori.h"
#include "config/window/pages/PageSequenza.h"
#include "config/window/pages/PageTaratura.h"
#include "config/window/pages/PageTemp.h"
#include "config/window/pages/PageTest.h"
#include "config/window/pages/PageVariatore.h"
#include "plat/Colors.h"
#include "plat/PictureButton.h"
#include "plat/Prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using protovyx::CallRecord;

class FormConfigTest : public ::testing::Test {
protected:
    explicit FormConfigTest(const std::string& profile = "type=30") : r({.profile = profile}) {}

    void SetUp() override { r.dm().EcuInfo.EcuType = static_cast<std::uint8_t>(r.sim().CurrentProfile().type); }

    std::unique_ptr<TFormConfig> make()
    {
        auto w = std::make_unique<TFormConfig>(nullptr);
        w->SetMainHooks({.connect = [this] { ++connects; }, .disconnect = [this] { ++disconnects; }, .extraInjectionSeen = &extraSeen});
        w->LoadTexts();
        return w;
    }

    // Every write the ECU received since the last ClearCalls.
    std::vector<CallRecord> writes()
    {
        std::vector<CallRecord> out;
        for (const auto& c : r.sim().Calls())
            if (c.op == protovyx::Op::WriteValue || c.op == protovyx::Op::WriteElement ||
                c.op == protovyx::Op::WriteItem || c.op == protovyx::Op::WriteCell || c.op == protovyx::Op::WriteRow)
                out.push_back(c);
        return out;
    }

    static void enter(TNumericEdit* e, const QString& typed)
    {
        e->setText(typed);
        QTest::keyClick(e, Qt::Key_Return);
    }

    // Closes the modal window that opens next.
    static void closeNextModal(QString* seen)
    {
        QTimer::singleShot(0, [seen] {
            QWidget* m = QApplication::activeModalWidget();
            if (m) {
                *seen = QString::fromLatin1(m->metaObject()->className());
                m->close();
            }
        });
    }

    rig::DataModuleRig r;
    int connects = 0;
    int disconnects = 0;
    bool extraSeen = false;
};

TEST_F(FormConfigTest, ConstructionPagesInOrderWithTheBarOnTheFirst)
{
    auto w = make();
    ASSERT_EQ(w->PageControl->count(), cfgwin::kPageCount);
    for (int p = 0; p < cfgwin::kPageCount; ++p)
        EXPECT_EQ(w->PageControl->widget(p)->objectName(), QString::fromLatin1(cfgwin::PageName(p)));
    EXPECT_EQ(w->PageControl->widget(cfgwin::PageTemp), w->TabTemp);
    EXPECT_EQ(w->ActivePage(), cfgwin::PageConfigurazione);
    EXPECT_EQ(w->PageControl->currentIndex(), cfgwin::PageConfigurazione);
    EXPECT_EQ(w->PanelBarra->parentWidget(), w->TabConfigurazione);
    // Pages 6 to 15 start hidden, the others visible.
    for (int p = 0; p < cfgwin::kPageCount; ++p)
        EXPECT_EQ(w->PageTabVisible(p), p < cfgwin::PageAdatta || p > cfgwin::PageTest) << p;
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w->FormModificaMappa != nullptr);
    EXPECT_FALSE(w->TimerDati->isActive());
}

TEST_F(FormConfigTest, TheStepButtonsAndTheMapsDotHaveTheirPictures)
{
    auto w = make();
    const auto picture = [&w](const char* name) {
        auto* p = qobject_cast<plat::PictureButton*>(w->Control(QString::fromLatin1(name)));
        EXPECT_NE(p, nullptr) << name;
        return p ? std::pair{p->releasedId(), p->pressedId()} : std::pair{0, 0};
    };
    // Released and pressed: the plus buttons, the minus buttons.
    for (const char* plus : {"ImagePlus", "ImagePlusExtraInj", "ImagePlusRid", "ImagePlusGas", "ImagePlusAdatta"})
        EXPECT_EQ(picture(plus), (std::pair{10035, 10036})) << plus;
    for (const char* minus : {"ImageMinus", "ImageMinusExtraInj", "ImageMinusRid", "ImageMinusGas", "ImageMinusAdatta"})
        EXPECT_EQ(picture(minus), (std::pair{10037, 10038})) << minus;
    EXPECT_EQ(picture("ImageTarget"), (std::pair{10033, 10034}));
    // The map's dot starts with the petrol picture, which the map draws.
    auto* dot = qobject_cast<plat::PictureButton*>(w->Control(QStringLiteral("ImagePallino")));
    ASSERT_NE(dot, nullptr);
    EXPECT_EQ(dot->currentId(), cfglive::PicDotPetrol);
}

TEST_F(FormConfigTest, BoundEditorsCarryTheirItemCodes)
{
    auto w = make();
    struct Case {
        TNumericEdit* edit;
        int code, index;
    } cases[] = {{w->Page<TPageSensori>().EditRifLambda, 5, -1},
                 {w->Page<TPageSensori>().EditCorrBancata2, 0x49E, -1},
                 {w->Page<TPageCommutazione>().EditGiriCambio, 0x210, -1},
                 {w->Page<TPageEmissioni>().EditLivEmulStabilizzato, 170, 1},
                 {w->Page<TPageEmissioni>().EditLivEmulCutoff, 170, 0},
                 {w->Page<TPageIniezione>().EditTempoMassimaCorrente, 0x24A, 0},
                 {w->Page<TPageIniezione>().EditTempoInterSpegnimento, 0x24A, 1},
                 {w->Page<TPageSequenza>().EditDeltaK, 151, 0},
                 {w->Page<TPageSequenza>().EditNumControlliOk, 151, 2},
                 {w->Page<TPageSequenza>().EditAperturaExtra, 0x29B, 2},
                 {w->Page<TPageIniezione>().EditTMaxExtraInjBenz, 0x29C, -1},
                 {w->Page<TPageTest>().EditTestTempo, 0x218, -1},
                 {w->Page<TPageConfigurazione>().EditCodeIniettore, 148, 1},
                 // Unbound.
                 {w->Page<TPageSensori>().EditLivello1, -1, -1},
                 {w->Page<TPageTaratura>().EditTInjDefault, -1, -1},
                 {w->Page<TPagePressione>().EditOffset, -1, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.edit->DataCode(), c.code) << c.edit->objectName().toStdString();
        EXPECT_EQ(c.edit->DataIndex(), c.index) << c.edit->objectName().toStdString();
    }
    EXPECT_EQ(w->Page<TPageSensori>().ComboTipoLambda->DataCode(), 4);
}

struct Profile {
    const char* profile;
    bool variator;
    bool emissioni, variatore;
    bool tempRiduttore, pressDiff, pressPassaggio;
};

// "type=55 with a variator, shows Emissioni, Variatore, ..."
void PrintTo(const Profile& p, std::ostream* os)
{
    *os << p.profile << (p.variator ? " with a variator" : "") << ", shows";
    const std::pair<bool, const char*> parts[] = {{p.emissioni, "Emissioni"},
                                                  {p.variatore, "Variatore"},
                                                  {p.tempRiduttore, "the reducer temperature"},
                                                  {p.pressDiff, "the pressure-difference grid"},
                                                  {p.pressPassaggio, "the switch-back pressures"}};
    const char* sep = " ";
    for (const auto& [shown, part] : parts)
        if (shown) {
            *os << sep << part;
            sep = ", ";
        }
    if (*sep == ' ')
        *os << " none of its optional parts";
}

class FormConfigProfiles : public FormConfigTest, public ::testing::WithParamInterface<Profile> {
protected:
    FormConfigProfiles() : FormConfigTest(GetParam().profile) {}
};

TEST_P(FormConfigProfiles, ShowingAppliesTheEcuRules)
{
    const Profile& p = GetParam();
    r.dm().VariatorePresent = p.variator ? 1 : 0;
    auto w = make();
    w->show();
    EXPECT_EQ(w->PageTabVisible(cfgwin::PageEmissioni), p.emissioni);
    EXPECT_EQ(w->PageTabVisible(cfgwin::PageVariatore), p.variatore);
    for (int page : {cfgwin::PageAdatta, cfgwin::PagePressione, cfgwin::PageTemp, cfgwin::PageIniezione,
                     cfgwin::PageTaratura})
        EXPECT_TRUE(w->PageTabVisible(page)) << page;
    for (int page : {cfgwin::PageFiltroBenzina, cfgwin::PageSequenza, cfgwin::PageTest})
        EXPECT_FALSE(w->PageTabVisible(page)) << page;
    EXPECT_EQ(!w->Page<TPageCommutazione>().EditTempRiduttore->isHidden(), p.tempRiduttore);
    EXPECT_EQ(!w->Page<TPageCorrezioni>().DrawGridPressDiff->isHidden(), p.pressDiff);
    EXPECT_EQ(!w->Page<TPageCorrezioni>().DrawPressPassaggio->isHidden(), p.pressPassaggio);
    EXPECT_FALSE(w->Page<TPageEmissioni>().EditSovrapposizione->isHidden());
    EXPECT_TRUE(w->Page<TPageEmissioni>().EditCicchetto->isHidden());
    EXPECT_EQ(w->Page<TPageEmissioni>().LabelSovrapposizione->text(), rig::text(118));
    EXPECT_EQ(w->Page<TPageSensori>().ComboTipoLambda->count(), p.emissioni ? 5 : 4); // "UEGO" with Emissioni
    // Whatever the layout said, the reducer threshold takes 20 to 90.
    EXPECT_EQ(w->Page<TPageCommutazione>().EditTempRiduttore->MinValue(), 20);
    EXPECT_EQ(w->Page<TPageCommutazione>().EditTempRiduttore->MaxValue(), 90);
    w->done(0);
}

INSTANTIATE_TEST_SUITE_P(Types, FormConfigProfiles,
                         ::testing::Values(Profile{"type=30", false, true, false, true, true, false},
                                           Profile{"type=50", false, false, false, true, true, false},
                                           Profile{"type=79", false, false, false, false, false, true},
                                           Profile{"type=55", true, true, true, true, true, false},
                                           Profile{"type=53", false, true, false, true, true, false}),
                         [](const ::testing::TestParamInfo<Profile>& info) {
                             std::string name = info.param.profile;
                             name.erase(name.find('='), 1);
                             return name;
                         });

TEST_F(FormConfigTest, ShowingSwitchesToLivePollingAndClosingBack)
{
    auto w = make();
    r.dm().TimerIO->start();
    w->show();
    EXPECT_EQ(r.dm().PollItem, 1);
    EXPECT_FALSE(r.dm().TimerIO->isActive());
    EXPECT_TRUE(w->TimerDati->isActive());
    EXPECT_EQ(w->TimerDati->interval(), 20);
    w->done(0);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(r.dm().PollItem, 0x14100);
    EXPECT_TRUE(r.dm().TimerIO->isActive());
    EXPECT_FALSE(w->TimerDati->isActive());
}

TEST_F(FormConfigTest, ShowingWritesNothingToTheEcu)
{
    r.connectEcu();
    // Flags 8, 9, 10 and 25 set: the check boxes load checked.
    r.dm().WriteThrough = 0;
    for (int flag : {8, 9, 10, 25})
        r.dm().SetFlag(flag, true);
    r.dm().WriteThrough = 1;
    auto w = make();
    std::vector<int> clicks;
    for (QCheckBox* c : {w->Page<TPageTemp>().CheckTempRiduttore, w->Page<TPageAdatta>().CheckAdattativita})
        QObject::connect(c, &QCheckBox::toggled, w.get(), [&clicks, &w] { clicks.push_back(w->LoadingControls); });
    r.sim().ClearCalls();
    w->show();
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(w->LoadingControls, 0);
    // The check boxes changed while LoadingControls was set.
    EXPECT_EQ(clicks, (std::vector<int>{1, 1}));
    w->done(0);
}

TEST_F(FormConfigTest, EnterCommitsOnceAndShowsWhatTheModuleHolds)
{
    r.connectEcu();
    auto w = make();
    // Only a loaded editor commits.
    w->Page<TPageSensori>().TabSensoriShow();
    w->Page<TPageEmissioni>().TabEmissioniShow();
    w->Page<TPageSequenza>().TabSequenzaShow();
    struct Case {
        TNumericEdit* edit;
        double min, max;
        QString typed;
        protovyx::Op op;
        int code, element;
        QString shown;
    } cases[] = {
        {w->Page<TPageSensori>().EditRifLambda, 0, 5, QStringLiteral("1"), protovyx::Op::WriteValue, 5, -1,
         QStringLiteral("1")},
        // Above the limit: the limit is committed.
        {w->Page<TPageSensori>().EditRifLambda, 0, 2, QStringLiteral("4"), protovyx::Op::WriteValue, 5, -1,
         QStringLiteral("2")},
        {w->Page<TPageEmissioni>().EditLivEmulStabilizzato,
         0,
         5,
         QStringLiteral("1"),
         protovyx::Op::WriteElement,
         170,
         1,
         {}},
        {w->Page<TPageEmissioni>().EditLivEmulCutoff,
         0,
         5,
         QStringLiteral("1"),
         protovyx::Op::WriteElement,
         170,
         0,
         {}},
        {w->Page<TPageSequenza>().EditNumControlli, 0, 100, QStringLiteral("7"), protovyx::Op::WriteElement, 151, 1,
         QStringLiteral("7")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit->objectName().toStdString());
        c.edit->SetMinValue(c.min);
        c.edit->SetMaxValue(c.max);
        r.sim().ClearCalls();
        enter(c.edit, c.typed);
        // The first change of the image also clears the official-set marker;
        // only the item's own writes count here.
        std::vector<CallRecord> w2;
        for (const auto& x : writes())
            if (x.code == c.code)
                w2.push_back(x);
        ASSERT_EQ(w2.size(), 1u);
        EXPECT_EQ(w2[0].op, c.op);
        EXPECT_EQ(w2[0].code, c.code);
        if (c.element >= 0) {
            EXPECT_EQ(w2[0].row, c.element);
        }
        const double held = c.element < 0
                                ? static_cast<double>(r.dm().GetValueByCode(c.code))
                                : static_cast<double>(r.dm().GetElementByCode(c.code, c.element));
        EXPECT_DOUBLE_EQ(c.edit->LastValue(), held);
        if (!c.shown.isEmpty()) {
            EXPECT_EQ(c.edit->text(), c.shown);
        }
    }
}

TEST_F(FormConfigTest, RefusedWriteShowsTheOldValueAndUnboundWritesNothing)
{
    r.connectEcu();
    auto w = make();
    w->Page<TPageSensori>().TabSensoriShow();
    w->Page<TPageTaratura>().TabTaraturaShow();
    w->Page<TPageSensori>().EditRifLambda->SetMaxValue(5);
    enter(w->Page<TPageSensori>().EditRifLambda, QStringLiteral("1"));
    r.sim().AddFault({.op = protovyx::Op::WriteValue, .code = 5});
    enter(w->Page<TPageSensori>().EditRifLambda, QStringLiteral("3"));
    EXPECT_EQ(w->Page<TPageSensori>().EditRifLambda->text(), QStringLiteral("1"));
    EXPECT_DOUBLE_EQ(static_cast<double>(r.dm().GetValueByCode(5)), 1.0);

    r.sim().ClearCalls();
    // The thresholds commit through their confirm button only.
    w->Page<TPageSensori>().EditLivello1->SetMaxValue(5);
    enter(w->Page<TPageSensori>().EditLivello1, QStringLiteral("2"));
    EXPECT_TRUE(writes().empty());
}

TEST_F(FormConfigTest, LambdaTypeCommitGreysTheReferenceUntilTheNextTick)
{
    r.connectEcu();
    auto w = make();
    w->show();
    const QColor window = w->Page<TPageSensori>().EditRifLambda->palette().color(QPalette::Base);
    w->Page<TPageSensori>().ComboTipoLambda->setCurrentIndex(1);
    r.sim().ClearCalls();
    w->ComboTipoLambdaKeyPress(w->Page<TPageSensori>().ComboTipoLambda, QChar(13));
    const auto wr = writes();
    ASSERT_FALSE(wr.empty());
    EXPECT_EQ(wr[0].code, 4);
    EXPECT_TRUE(w->LambdaRefreshPending);
    EXPECT_NE(w->Page<TPageSensori>().EditRifLambda->palette().color(QPalette::Base), window);
    w->TimerDatiTimer();
    EXPECT_FALSE(w->LambdaRefreshPending);
    EXPECT_EQ(w->Page<TPageSensori>().EditRifLambda->palette().color(QPalette::Base), window);
    EXPECT_DOUBLE_EQ(w->Page<TPageSensori>().EditRifLambda->LastValue(), static_cast<double>(r.dm().GetValueByCode(5)));
    w->done(0);
}

TEST_F(FormConfigTest, RangeHintBesideTheFocusedEditor)
{
    auto w = make();
    w->show();
    w->EditEnter(w->Page<TPageCommutazione>().EditTempRiduttore);
    EXPECT_TRUE(w->LabelLimite->isVisibleTo(w->TabCommutazione));
    // On the editor's page, so that it may stand beyond the editor's frame.
    EXPECT_EQ(w->LabelLimite->parentWidget(), w->TabCommutazione);
    EXPECT_TRUE(w->LabelLimite->text() == QStringLiteral("[20;90]"));
    w->EditExit(w->Page<TPageCommutazione>().EditTempRiduttore);
    EXPECT_TRUE(w->LabelLimite->isHidden());
    w->done(0);
}

TEST_F(FormConfigTest, EnterOnACheckBoxClicksIt)
{
    auto w = make();
    int clicked = 0;
    QObject::connect(w->Page<TPageSensori>().CheckRitornoBenzina, &QCheckBox::clicked, w.get(),
                     [&clicked] { ++clicked; });
    w->Page<TPageSensori>().CheckRitornoBenzina->setChecked(true);
    w->CheckTpsBlocKeyPress(w->Page<TPageSensori>().CheckRitornoBenzina, Qt::Key_Return);
    EXPECT_FALSE(w->Page<TPageSensori>().CheckRitornoBenzina->isChecked());
    EXPECT_EQ(clicked, 1);
}

TEST_F(FormConfigTest, DiagnosticsTabOpensTheWindowAndReturnsToThePage)
{
    auto w = make();
    w->show();
    w->PageControl->setCurrentIndex(cfgwin::PageMappa);
    ASSERT_EQ(w->ActivePage(), cfgwin::PageMappa);
    QString seen;
    bool pageUnder = false;
    QTimer::singleShot(0, [&] { pageUnder = w->ActivePage() == cfgwin::PageMappa && !w->TimerDati->isActive(); });
    closeNextModal(&seen);
    w->PageControl->setCurrentIndex(cfgwin::PageDiagnosi);
    EXPECT_EQ(seen, QStringLiteral("TFormDiagnosi"));
    EXPECT_TRUE(pageUnder);
    EXPECT_EQ(w->ActivePage(), cfgwin::PageMappa);
    EXPECT_EQ(w->PageControl->currentIndex(), cfgwin::PageMappa);
    EXPECT_EQ(w->PanelBarra->parentWidget(), w->TabMappa);
    // Live polling again after the diagnostics window's idle poll.
    EXPECT_EQ(r.dm().PollItem, 1);
    EXPECT_FALSE(r.dm().TimerIO->isActive());
    EXPECT_TRUE(w->TimerDati->isActive());
    w->done(0);
}

TEST_F(FormConfigTest, ExitTabClosesOnTheFirstPage)
{
    auto w = make();
    w->show();
    w->PageControl->setCurrentIndex(cfgwin::PageSensori);
    w->PageControl->setCurrentIndex(cfgwin::PageEsci);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->ActivePage(), cfgwin::PageConfigurazione);
    EXPECT_EQ(w->PanelBarra->parentWidget(), w->TabConfigurazione);
    EXPECT_EQ(r.dm().PollItem, 0x14100);
}

TEST_F(FormConfigTest, ConnectTabConnectsOrDisconnectsAndStays)
{
    auto w = make();
    w->show();
    w->PageControl->setCurrentIndex(cfgwin::PageSensori);
    w->PageControl->setCurrentIndex(cfgwin::PageConnect);
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(disconnects, 0);
    EXPECT_EQ(w->ActivePage(), cfgwin::PageSensori);
    r.connectEcu();
    // Ctrl+Page Down lands on the connect tab: it disconnects at once and
    // returns to the page it came from.
    w->FormKeyDown(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(w->ActivePage(), cfgwin::PageSensori);
    w->done(0);
}

TEST_F(FormConfigTest, KeysStepOverVisibleTabs)
{
    auto w = make();
    w->show(); // type 30: Adattività and Emissioni show, Variatore not
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        int from, to;
    } cases[] = {
        {Qt::Key_F3, {}, cfgwin::PageMappa, cfgwin::PageSensori},
        {Qt::Key_F8, {}, cfgwin::PageConfigurazione, cfgwin::PagePressione},
        {Qt::Key_F10, {}, cfgwin::PageConfigurazione, cfgwin::PageIniezione},
        {Qt::Key_PageDown, {}, cfgwin::PageEmissioni, cfgwin::PagePressione},
        {Qt::Key_PageDown, {}, cfgwin::PageTemp, cfgwin::PageIniezione},
        {Qt::Key_PageUp, {}, cfgwin::PageIniezione, cfgwin::PageTemp},
        {Qt::Key_PageUp, Qt::ControlModifier, cfgwin::PageTaratura, cfgwin::PageConfigurazione},
    };
    for (const auto& c : cases) {
        w->SetActivePage(c.from, false);
        EXPECT_TRUE(w->FormKeyDown(c.key, c.mods));
        EXPECT_EQ(w->ActivePage(), c.to) << c.key;
        EXPECT_EQ(w->PanelBarra->parentWidget(), w->Page(c.to));
    }
    // Through the window's key preview as well.
    w->SetActivePage(cfgwin::PageConfigurazione, false);
    QTest::keyClick(w.get(), Qt::Key_F2);
    EXPECT_EQ(w->ActivePage(), cfgwin::PageCommutazione);
    EXPECT_FALSE(w->FormKeyDown(Qt::Key_A, {}));
    w->FormKeyDown(Qt::Key_Escape, {});
    EXPECT_FALSE(w->isVisible());
}

TEST_F(FormConfigTest, LeavingTemperaturaWhileEditingAsksFirst)
{
    auto w = make();
    w->show();
    w->SetActivePage(cfgwin::PageTemp, false);
    w->Page<TPageTemp>().SensorEditing = true;
    r.prompts.script(plat::IDNO);
    EXPECT_TRUE(w->FormKeyDown(Qt::Key_F1, {}));
    EXPECT_EQ(w->ActivePage(), cfgwin::PageTemp);
    EXPECT_TRUE(w->Page<TPageTemp>().SensorEditing);
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].text, rig::text(193));
    // Closing asks the same.
    r.prompts.script(plat::IDNO);
    w->done(0);
    EXPECT_TRUE(w->isVisible());
    r.prompts.script(plat::IDYES);
    w->FormKeyDown(Qt::Key_F1, {});
    EXPECT_EQ(w->ActivePage(), cfgwin::PageConfigurazione);
    EXPECT_FALSE(w->Page<TPageTemp>().SensorEditing);
    // A click on another tab applies the parameters without asking.
    w->SetActivePage(cfgwin::PageTemp, false);
    w->Page<TPageTemp>().SensorEditing = true;
    w->PageControl->setCurrentIndex(cfgwin::PageMappa);
    EXPECT_FALSE(w->Page<TPageTemp>().SensorEditing);
    EXPECT_EQ(r.prompts.shown().size(), 3u);
    w->done(0);
}

TEST_F(FormConfigTest, TextsFollowTheLanguage)
{
    auto w = make();
    for (const auto& c : cfgwin::Captions()) {
        const QString name = QString::fromLatin1(c.name);
        if (qstrcmp(c.owner, c.name) == 0) {
            int page = -1;
            for (int p = 0; p < cfgwin::kPageCount; ++p)
                if (name == QLatin1String(cfgwin::PageName(p)))
                    page = p;
            ASSERT_GE(page, 0) << c.name;
            EXPECT_EQ(w->PageControl->tabText(page), rig::text(c.number)) << c.name;
            continue;
        }
        QObject* o = w->findChild<QObject*>(name);
        ASSERT_TRUE(o) << c.name;
        const QVariant t = o->property("text");
        EXPECT_EQ(t.toString(), rig::text(c.number)) << c.name;
    }
    EXPECT_EQ(w->PageControl->tabText(cfgwin::PageSequenza), rig::text(77) + QStringLiteral("+"));
    EXPECT_EQ(w->PageControl->tabText(cfgwin::PageDiagnosi), QStringLiteral(" ") + rig::text(492) + QStringLiteral(" "));
    EXPECT_EQ(w->Message(193), rig::text(193));
    EXPECT_EQ(w->Message(31), rig::text(31));
    EXPECT_EQ(w->Page<TPageCommutazione>().ComboCambio->itemText(3), QStringLiteral("Monofuel"));
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboAccensione->itemText(3), rig::text(111) + QStringLiteral(" 2"));
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboCilindri->count(), 2);
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboTipoIniettore->count(), 4);
    EXPECT_EQ(w->FormModificaMappa->windowTitle(), rig::text(183));

    // Another language: the Esci tab is padded again at its next drawing.
    w->TabEsciTag = 1;
    r.dm().EcuInfo.EcuType = 53;
    w->LoadTexts();
    EXPECT_EQ(w->TabEsciTag, 0);
    EXPECT_EQ(w->Page<TPageConfigurazione>().ComboCilindri->count(), 6);
    w->show();
    (void)w->PageControl->tabBar()->grab();
    EXPECT_EQ(w->TabEsciTag, 1);
    EXPECT_TRUE(w->PageControl->tabText(cfgwin::PageEsci).startsWith(rig::text(80) + QStringLiteral("          ")));
    w->done(0);
}

TEST_F(FormConfigTest, TabsAreFilledWithTheirGroupColours)
{
    auto w = make();
    w->show();
    w->SetActivePage(cfgwin::PagePressione, false);
    auto* bar = w->PageControl->tabBar();
    const QImage image = bar->grab().toImage();
    auto colourAt = [&](int page) {
        const QRect r = bar->tabRect(page);
        return image.pixelColor(r.left() + 3, r.bottom() - 3);
    };
    EXPECT_EQ(colourAt(cfgwin::PagePressione), plat::FromTColor(848376));        // C, active
    EXPECT_EQ(colourAt(cfgwin::PageConfigurazione), plat::FromTColor(14732184)); // A, inactive
    EXPECT_EQ(colourAt(cfgwin::PageEmissioni), plat::FromTColor(8314043));       // B, inactive
    w->done(0);
}

} // namespace

TEST_F(FormConfigTest, CorrectionGridsSitOnTheirPagesAndFitOnResize)
{
    auto w = make();
    struct Case { const char* name; QWidget* page; TCorrectionGrid* member; };
    for (const Case& c : {Case{"DrawGridPressDiff", w->TabCorrezioni, w->Page<TPageCorrezioni>().DrawGridPressDiff},
                          {"DrawGridTempGas", w->TabCorrezioni, w->Page<TPageCorrezioni>().DrawGridTempGas},
                          {"DrawGridTempRid", w->TabCorrezioni, w->Page<TPageCorrezioni>().DrawGridTempRid},
                          {"DrawPressPassaggio", w->TabCorrezioni, w->Page<TPageCorrezioni>().DrawPressPassaggio},
                          {"DrawDelayGasTemp", w->TabCorrezioni, w->Page<TPageCorrezioni>().DrawDelayGasTemp},
                          {"DrawGridEmissioni", w->TabEmissioni, w->Page<TPageEmissioni>().DrawGridEmissioni},
                          {"DrawGridAnticipo", w->TabEmissioni, w->Page<TPageEmissioni>().DrawGridAnticipo},
                          {"DrawGridVariatore", w->TabVariatore, w->Page<TPageVariatore>().DrawGridVariatore}}) {
        auto* g = c.page->findChild<TCorrectionGrid*>(QString::fromLatin1(c.name));
        ASSERT_NE(g, nullptr) << c.name;
        EXPECT_EQ(g, c.member) << c.name;
        EXPECT_TRUE(c.page->isAncestorOf(g)) << c.name;
        // One grid of that name in the whole window: no placeholder left behind.
        EXPECT_EQ(w->findChildren<QWidget*>(QString::fromLatin1(c.name)).size(), 1) << c.name;
        // Laid out in its frame.
        EXPECT_GE(g->parentWidget()->layout()->indexOf(g), 0) << c.name;
    }
    // The Emissioni grids span 0.96 of their page and fit their cells.
    w->resize(1200, 900);
    w->TabEmissioni->resize(1000, 700);
    w->FormResize();
    const int colWidth = 1000 * 96 / 100 / 13 - 1;
    for (TCorrectionGrid* g :
         {w->Page<TPageEmissioni>().DrawGridEmissioni, w->Page<TPageEmissioni>().DrawGridAnticipo}) {
        EXPECT_EQ(g->DefaultColWidth, colWidth);
        EXPECT_EQ(g->width(), (colWidth + 1) * 13);
        EXPECT_EQ(g->height(), (g->DefaultRowHeight + 1) * g->RowCount());
    }
    w->TabCorrezioni->resize(1000, 700);
    w->FormResize();
    EXPECT_EQ(w->Page<TPageCorrezioni>().DrawGridPressDiff->width(), (1000 * 97 / 100 / 15) * 15);
    // The variator page follows the ECU's MAP axis when it loads.
    r.dm().RifMapVariatorePresent = 1;
    w->Page<TPageVariatore>().TabVariatoreShow();
    EXPECT_EQ(w->Page<TPageVariatore>().DrawGridVariatore->RowCount(), 6);
}

TEST_F(FormConfigTest, CorrectionGridEditGoesThroughTheWindowsDialogToTheEcu)
{
    r.connectEcu();
    for (int item : {0x2d, 0x2e, 0x2f, 0x27, 0x26, 0x2c})
        r.sim().SetItemPresent(item, true);
    ASSERT_TRUE(r.dm().SetAnticipo(2, 7));
    ASSERT_TRUE(r.dm().SetPressPassaggio(4, 1.5));
    auto w = make();
    struct Case {
        TCorrectionGrid* grid;
        int col, row;
        QString prefill, typed;
        std::function<double()> stored;
        double expected;
    };
    for (const Case& c : {Case{w->Page<TPageEmissioni>().DrawGridAnticipo, 3, 0, "7", "9",
                               [&] { return double(r.dm().GetAnticipo(2)); }, 9},
                          Case{w->Page<TPageCorrezioni>().DrawPressPassaggio, 5, 1, "", "2",
                               [&] { return double(r.dm().GetPressPassaggio(4)); }, 2}}) {
        QString prefill;
        int opened = 0;
        w->FormModificaMappa->SetModalRunner([&](TFormModificaMappa& d) {
            ++opened;
            prefill = d.EditData->text();
            d.EditData->setText(c.typed);
            d.SetItemIndex(0);
            d.ButtonOK->click();
            return d.result();
        });
        r.sim().ClearCalls();
        c.grid->SetCurrent(c.col, c.row);
        QTest::keyClick(c.grid, Qt::Key_Return);
        EXPECT_EQ(opened, 1) << c.grid->objectName().toStdString();
        if (!c.prefill.isEmpty()) {
            EXPECT_EQ(prefill, c.prefill);
        }
        EXPECT_EQ(writes().size(), 1u) << c.grid->objectName().toStdString();
        EXPECT_NEAR(c.stored(), c.expected, 1e-6) << c.grid->objectName().toStdString();
    }
    // Annulla writes nothing.
    w->FormModificaMappa->SetModalRunner([](TFormModificaMappa& d) {
        d.EditData->setText(QStringLiteral("3"));
        d.ButtonAnnulla->click();
        return d.result();
    });
    r.sim().ClearCalls();
    w->Page<TPageEmissioni>().DrawGridAnticipo->SetCurrent(3, 0);
    QTest::keyClick(w->Page<TPageEmissioni>().DrawGridAnticipo, Qt::Key_Return);
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(r.dm().GetAnticipo(2), 9);
}

TEST_F(FormConfigTest, ShowingLoadsTheTemperaturaBoxesAndGasSensorOnAnyPage)
{
    r.connectEcu();
    r.dm().WriteThrough = 0;
    r.dm().SetFlag(8, true);
    r.dm().SetFlag(9, false);
    r.dm().SetFlag(10, true);
    r.dm().WriteThrough = 1;
    auto w = make();
    TPageTemp& temp = w->Page<TPageTemp>();
    ASSERT_EQ(temp.ComboTempRiduttore->currentIndex(), -1);
    w->show();
    ASSERT_EQ(w->ActivePage(), cfgwin::PageConfigurazione);
    EXPECT_TRUE(temp.CheckTempRiduttore->isChecked());
    EXPECT_FALSE(temp.CheckTempGas->isChecked());
    EXPECT_TRUE(temp.CheckTempMotore->isChecked());
    // The engine sensor's block follows its box.
    EXPECT_TRUE(temp.DrawGridTemp->isVisibleTo(w->TabTemp));
    EXPECT_TRUE(temp.EditRPullUp->isVisibleTo(w->TabTemp));
    EXPECT_EQ(temp.ComboTempRiduttore->currentIndex(),
              cfgwin::GasSensorComboItem(r.dm().GetTipoSensoreTemperaturaGas()));
    EXPECT_NE(temp.ComboTempRiduttore->currentIndex(), -1);
    w->done(0);
}
