// The Adattività OBD and Variatore pages against the simulated ECU: the
// adaptivity's box and what it shows, the correctors' sign and range as two
// independent choices, the sensitivity's steps, the OBD protocol list, and
// the rpm read from the variator.
#include "PageRig.h"
#include "config/window/pages/SliderTrack.h"

#include "complib/editors/KeyComboBox.h"
#include "config/window/pages/PageAdatta.h"
#include "config/window/pages/PageVariatore.h"
#include "plat/PictureButton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

namespace {

constexpr int kAdatta = 0xb9;
constexpr int kFlagWords = 0x03;

class PageAdatta : public pagetest::PageRig {
protected:
    // Element 0 (sign and range) and 1 (sensitivity) of item code 185 as the
    // ECU holds them when the page opens.
    void openWith(std::int32_t bits, std::int32_t sensitivity)
    {
        open(cfgwin::PageAdatta, [this, bits, sensitivity] {
            const std::int32_t v[] = {bits, sensitivity};
            ASSERT_TRUE(r.sim().PokeItem(kAdatta, v));
        });
    }
    std::vector<QRadioButton*> checked() const
    {
        std::vector<QRadioButton*> on;
        for (QRadioButton* b : {w->Page<TPageAdatta>().RadioAdattaDiritti, w->Page<TPageAdatta>().RadioAdattaInvertiti,
                                w->Page<TPageAdatta>().RadioAdatta25, w->Page<TPageAdatta>().RadioAdatta50,
                                w->Page<TPageAdatta>().RadioAdatta100})
            if (b->isChecked())
                on.push_back(b);
        return on;
    }
};

TEST_F(PageAdatta, SignAndRangeAreTwoChoices)
{
    openWith(0, 100);
    EXPECT_EQ(checked(), (std::vector<QRadioButton*>{w->Page<TPageAdatta>().RadioAdattaDiritti,
                                                     w->Page<TPageAdatta>().RadioAdatta25}));
    EXPECT_NE(w->Page<TPageAdatta>().RadioAdattaDiritti->group(), w->Page<TPageAdatta>().RadioAdatta25->group());
    const std::pair<QRadioButton*, std::int32_t> steps[] = {{w->Page<TPageAdatta>().RadioAdattaInvertiti, 1},
                                                            {w->Page<TPageAdatta>().RadioAdatta50, 3},
                                                            {w->Page<TPageAdatta>().RadioAdatta100, 5},
                                                            {w->Page<TPageAdatta>().RadioAdattaDiritti, 4},
                                                            {w->Page<TPageAdatta>().RadioAdatta25, 0}};
    for (auto [radio, bits] : steps) {
        radio->click();
        EXPECT_EQ(ecu(kAdatta)[0], bits) << radio->objectName().toStdString();
    }
    w->Page<TPageAdatta>().RadioAdattaInvertiti->click();
    w->Page<TPageAdatta>().RadioAdatta50->click();
    EXPECT_EQ(checked(), (std::vector<QRadioButton*>{w->Page<TPageAdatta>().RadioAdattaInvertiti,
                                                     w->Page<TPageAdatta>().RadioAdatta50}));
    EXPECT_EQ(w->Page<TPageAdatta>().RadioAdattaInvertiti->property("Tag").toInt(), 1);
    EXPECT_EQ(w->Page<TPageAdatta>().RadioAdatta100->property("Tag").toInt(), 2);
}

TEST_F(PageAdatta, ARangeNoButtonSetsShowsNone)
{
    // Inverted, range bits 6.
    openWith(7, 100);
    EXPECT_EQ(checked(), (std::vector<QRadioButton*>{w->Page<TPageAdatta>().RadioAdattaInvertiti}));
    EXPECT_TRUE(writes(kAdatta).empty());
    w->Page<TPageAdatta>().RadioAdatta50->click();
    EXPECT_EQ(ecu(kAdatta)[0], 3);
}

TEST_F(PageAdatta, SensitivityStepsByTenWithinItsRange)
{
    openWith(0, 250);
    EXPECT_EQ(w->Page<TPageAdatta>().LabelValueAdatta->text(), QStringLiteral("250%"));
    auto* track = static_cast<TSliderTrack*>(w->Page<TPageAdatta>().ImagePallinoAdatta->parentWidget());
    const int top = track->DotLeft();
    QTest::mouseClick(w->Page<TPageAdatta>().ImagePlusAdatta, Qt::LeftButton);
    EXPECT_TRUE(writes(kAdatta).empty());
    QTest::mouseClick(w->Page<TPageAdatta>().ImageMinusAdatta, Qt::LeftButton);
    EXPECT_EQ(ecu(kAdatta)[1], 240);
    EXPECT_EQ(w->Page<TPageAdatta>().LabelValueAdatta->text(), QStringLiteral("240%"));
    EXPECT_LT(track->DotLeft(), top);
}

TEST_F(PageAdatta, TheProtocolListWritesAChoiceAndShowsTheEcusValue)
{
    openWith(0, 100);
    ASSERT_EQ(w->Page<TPageAdatta>().ComboTipoObd->count(), 8);
    EXPECT_EQ(w->Page<TPageAdatta>().ComboTipoObd->itemText(4), QStringLiteral("6: CAN Standard 250 kbps"));
    EXPECT_EQ(w->Page<TPageAdatta>().ComboTipoObd->currentIndex(), 0);
    w->Page<TPageAdatta>().ComboTipoObd->setCurrentIndex(-1);
    w->Page<TPageAdatta>().ComboTipoObdKeyPress(QChar(13));
    EXPECT_TRUE(writes(0xbb).empty());
    w->Page<TPageAdatta>().ComboTipoObd->setCurrentIndex(4);
    w->Page<TPageAdatta>().ComboTipoObdKeyPress(QChar(13));
    EXPECT_EQ(ecu(0xbb), (std::vector<std::int32_t>{4}));
    r.sim().AddFault({.op = protovyx::Op::WriteValue, .code = 0xbb});
    w->Page<TPageAdatta>().ComboTipoObd->setCurrentIndex(6);
    w->Page<TPageAdatta>().ComboTipoObdKeyPress(QChar(13));
    EXPECT_EQ(w->Page<TPageAdatta>().ComboTipoObd->currentIndex(), 4);
}

TEST_F(PageAdatta, TheBoxShowsTheCorrectorsKindAndTheLiveGasCorrector)
{
    openWith(0, 100);
    QWidget* live = w->Control(QStringLiteral("LabelAdattaGas"));
    ASSERT_NE(live, nullptr);
    EXPECT_FALSE(w->Page<TPageAdatta>().CheckAdattativita->isChecked());
    EXPECT_FALSE(w->Page<TPageAdatta>().PanelAdatta->isVisibleTo(w->TabAdatta));
    EXPECT_FALSE(live->isVisibleTo(w.get()));
    EXPECT_FALSE(w->ImageAdataGas->isVisibleTo(w.get()));
    EXPECT_TRUE(w->Page<TPageAdatta>().LabelSensAdatta->isVisibleTo(w->TabAdatta));
    EXPECT_TRUE(w->Page<TPageAdatta>().LabCorrMinimo->isVisibleTo(w->TabAdatta));
    w->Page<TPageAdatta>().CheckAdattativita->click();
    EXPECT_EQ(r.dm().GetFlag(25), 1);
    EXPECT_TRUE(w->Page<TPageAdatta>().PanelAdatta->isVisibleTo(w->TabAdatta));
    EXPECT_TRUE(live->isVisibleTo(w.get()));
    EXPECT_TRUE(w->ImageAdataGas->isVisibleTo(w.get()));
    // A refused write: what the module holds decides.
    r.sim().AddFault({.op = protovyx::Op::WriteItem, .code = 0x2303});
    w->Page<TPageAdatta>().CheckAdattativita->click();
    EXPECT_EQ(r.dm().GetFlag(25), 1);
    EXPECT_TRUE(w->Page<TPageAdatta>().PanelAdatta->isVisibleTo(w->TabAdatta));
}

TEST_F(PageAdatta, ShowingTheWindowLoadsTheBoxAndTheLiveGasCorrector)
{
    // The adaptivity on in the ECU; the window opens on another page.
    open(cfgwin::PageConfigurazione, [this] {
        std::vector<std::int32_t> flags = ecu(kFlagWords);
        flags[1] |= 0x8000; // flag 25
        ASSERT_TRUE(r.sim().PokeItem(kFlagWords, flags));
    });
    ASSERT_EQ(r.dm().GetFlag(25), 1);
    EXPECT_TRUE(w->Page<TPageAdatta>().CheckAdattativita->isChecked());
    EXPECT_TRUE(w->Page<TPageAdatta>().PanelAdatta->isVisibleTo(w->TabAdatta));
    // The live bar, on the page shown, with its gas corrector.
    EXPECT_TRUE(w->Control(QStringLiteral("LabelAdattaGas"))->isVisibleTo(w.get()));
    EXPECT_TRUE(w->ImageAdataGas->isVisibleTo(w.get()));
    EXPECT_EQ(w->LoadingControls, 0);
}

class PageVariatore : public pagetest::PageRig {};

TEST_F(PageVariatore, ThePageShowsTheBoxAndLoadsItWithoutWriting)
{
    // Type 30 with item 0x15 at 2: the model's rule hides the box; the page
    // shows it.
    open(cfgwin::PageConfigurazione, [this] {
        std::vector<std::int32_t> flags = ecu(kFlagWords);
        flags[0] |= 0x4000;
        ASSERT_TRUE(r.sim().PokeItem(kFlagWords, flags));
    });
    EXPECT_FALSE(w->Page<TPageVariatore>().CheckVariatore->isVisibleTo(w->TabVariatore));
    w->SetActivePage(cfgwin::PageVariatore, true);
    EXPECT_TRUE(w->Page<TPageVariatore>().CheckVariatore->isVisibleTo(w->TabVariatore));
    EXPECT_TRUE(w->Page<TPageVariatore>().CheckVariatore->isChecked());
    EXPECT_TRUE(writes(kFlagWords).empty());
}

TEST_F(PageVariatore, TickingReadsTheRpmFromTheVariatorWithItsIgnition)
{
    open(cfgwin::PageVariatore);
    ASSERT_FALSE(w->Page<TPageVariatore>().CheckVariatore->isChecked());
    w->Page<TPageVariatore>().CheckVariatore->click();
    EXPECT_EQ(r.dm().GetFlag(6), 1);
    EXPECT_EQ(static_cast<int>(r.dm().GetValueByCode(20)), 1);
    EXPECT_EQ(writes(0x14).size(), 1u);
    r.sim().ClearCalls();
    w->Page<TPageVariatore>().CheckVariatore->click();
    EXPECT_EQ(r.dm().GetFlag(6), 0);
    EXPECT_TRUE(writes(0x14).empty());
}

} // namespace
