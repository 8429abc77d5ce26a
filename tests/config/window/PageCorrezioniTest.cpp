// The Correzioni page against the simulated ECU: the preset sliders shown
// from the packed value and stepped by their buttons, the gas injections in
// cut-off, and what the page shows for each ECU.
#include "PageRig.h"
#include "config/window/pages/SliderTrack.h"

#include "complib/editors/NumericEdit.h"
#include "config/tables/CorrectionGrid.h"
#include "config/window/pages/PageCorrezioni.h"
#include "plat/PictureButton.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>

namespace {

constexpr int kPacked = 0x98;
constexpr int kCoeffTemperatura = 0x2b;

class PageCorrezioni : public pagetest::PageRig {
protected:
    // The packed presets as the ECU holds them when the page opens.
    void openWith(std::int32_t packed)
    {
        open(cfgwin::PageCorrezioni, [this, packed] {
            std::vector<std::int32_t> v = ecu(kPacked);
            v[0] = packed;
            ASSERT_TRUE(r.sim().PokeItem(kPacked, v));
        });
    }
    int dot(plat::PictureButton* d) const { return static_cast<TSliderTrack*>(d->parentWidget())->DotLeft(); }
    static void enter(TNumericEdit* e, const QString& typed)
    {
        e->setFocus();
        if (!typed.isEmpty())
            e->setText(typed);
        QTest::keyClick(e, Qt::Key_Return);
    }
};

TEST_F(PageCorrezioni, SlidersShowThePresetsOfThePackedValue)
{
    // Reducer code 1 (+10 %), gas code 11 (-10 %).
    openWith(12001);
    EXPECT_EQ(w->Page<TPageCorrezioni>().LabelValueRid->text(), QStringLiteral("10%"));
    EXPECT_EQ(w->Page<TPageCorrezioni>().LabelValueGas->text(), QStringLiteral("-10%"));
    EXPECT_GT(dot(w->Page<TPageCorrezioni>().ImagePallinoRid), dot(w->Page<TPageCorrezioni>().ImagePallinoGas));
    EXPECT_TRUE(writes(kPacked).empty());
}

TEST_F(PageCorrezioni, StepButtonsWriteThePresetAndShiftTheCoefficients)
{
    openWith(1000);
    const std::vector<std::int32_t> before = ecu(kCoeffTemperatura);
    const int left = dot(w->Page<TPageCorrezioni>().ImagePallinoRid);
    QTest::mouseClick(w->Page<TPageCorrezioni>().ImagePlusRid, Qt::LeftButton);
    EXPECT_EQ(ecu(kPacked)[0], 1001);
    EXPECT_EQ(w->Page<TPageCorrezioni>().LabelValueRid->text(), QStringLiteral("10%"));
    EXPECT_GT(dot(w->Page<TPageCorrezioni>().ImagePallinoRid), left);
    const std::vector<std::int32_t> after = ecu(kCoeffTemperatura);
    const int shift[] = {0, 0, 0, -1, -1, -1, -2, -2, -2};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(after[static_cast<std::size_t>(i)], before[static_cast<std::size_t>(i)] + shift[i]) << i;
    QTest::mouseClick(w->Page<TPageCorrezioni>().ImageMinusGas, Qt::LeftButton);
    EXPECT_EQ(ecu(kPacked)[0], 12001);
    EXPECT_EQ(w->Page<TPageCorrezioni>().LabelValueGas->text(), QStringLiteral("-10%"));
}

TEST_F(PageCorrezioni, AtTheEndAStepOnlyShowsThePreset)
{
    openWith(1005); // reducer +50 %
    w->Page<TPageCorrezioni>().LabelValueRid->clear();
    QTest::mouseClick(w->Page<TPageCorrezioni>().ImagePlusRid, Qt::LeftButton);
    EXPECT_TRUE(writes(kPacked).empty());
    EXPECT_TRUE(writes(kCoeffTemperatura).empty());
    EXPECT_EQ(w->Page<TPageCorrezioni>().LabelValueRid->text(), QStringLiteral("50%"));
}

TEST_F(PageCorrezioni, CutOffInjectionsCommitWhatWasTyped)
{
    openWith(1000);
    ASSERT_TRUE(w->Page<TPageCorrezioni>().EditGiriCutoff->isVisibleTo(w->TabCorrezioni));
    enter(w->Page<TPageCorrezioni>().EditGiriCutoff, {});
    enter(w->Page<TPageCorrezioni>().EditTempoCutoff, {});
    EXPECT_TRUE(writes(0x32).empty());
    enter(w->Page<TPageCorrezioni>().EditGiriCutoff, QStringLiteral("2500"));
    EXPECT_EQ(ecu(0x32)[0], 2500);
    EXPECT_EQ(w->Page<TPageCorrezioni>().EditGiriCutoff->text(), QStringLiteral("2500"));
    // Above its limit: the limit.
    enter(w->Page<TPageCorrezioni>().EditGiriCutoff, QStringLiteral("9999"));
    EXPECT_EQ(ecu(0x32)[0], 4000);
    enter(w->Page<TPageCorrezioni>().EditTempoCutoff, QStringLiteral("1.5"));
    EXPECT_NEAR(static_cast<double>(r.dm().GetIniettateGasCutoff(1)), 1.5, 0.003);
    EXPECT_EQ(w->Page<TPageCorrezioni>().EditTempoCutoff->LastValue(), 1.5);
    // A refused write shows what the ECU kept.
    r.sim().AddFault({.op = protovyx::Op::WriteElement, .code = 0x232});
    enter(w->Page<TPageCorrezioni>().EditGiriCutoff, QStringLiteral("100"));
    EXPECT_EQ(w->Page<TPageCorrezioni>().EditGiriCutoff->text(), QStringLiteral("4000"));
}

struct Ecu {
    const char* profile;
    bool stabilisation; // the petrol stabilisation injections
    bool reducer;       // the reducer's grid with its preset
    bool pressAbs;      // the absolute-pressure correction
};

// "type=55: stabilisation injections, reducer grid"
void PrintTo(const Ecu& e, std::ostream* os)
{
    *os << e.profile << ':' << (e.stabilisation ? " stabilisation injections" : " no stabilisation injections")
        << (e.reducer ? ", reducer grid" : ", no reducer grid") << (e.pressAbs ? ", absolute-pressure correction" : "");
}

class PageCorrezioniByEcu : public pagetest::PageRig, public ::testing::WithParamInterface<Ecu> {
protected:
    PageCorrezioniByEcu() : PageRig(GetParam().profile) {}
};

TEST_P(PageCorrezioniByEcu, ShowsWhatTheEcuHas)
{
    open(cfgwin::PageCorrezioni);
    const Ecu& e = GetParam();
    QWidget* page = w->TabCorrezioni;
    EXPECT_EQ(w->Page<TPageCorrezioni>().EditIniettateBenzina->isVisibleTo(page), e.stabilisation);
    EXPECT_EQ(w->Page<TPageCorrezioni>().LabelInettateBenzina->isVisibleTo(page), e.stabilisation);
    EXPECT_TRUE(w->Page<TPageCorrezioni>().EditIniettateBenzina->isEnabled());
    for (QWidget* c : {static_cast<QWidget*>(w->Page<TPageCorrezioni>().DrawGridTempRid),
                       static_cast<QWidget*>(w->Page<TPageCorrezioni>().ImagePlusRid),
                       static_cast<QWidget*>(w->Page<TPageCorrezioni>().ImageMinusRid),
                       static_cast<QWidget*>(w->Page<TPageCorrezioni>().LabelRiferimentiRid)})
        EXPECT_EQ(c->isVisibleTo(page), e.reducer) << c->objectName().toStdString();
    EXPECT_EQ(w->Page<TPageCorrezioni>().PanelCorrPressAbs->isVisibleTo(page), e.pressAbs);
    EXPECT_TRUE(w->Page<TPageCorrezioni>().DrawGridTempGas->isVisibleTo(page));
    // The grids fit the page: fitting them again leaves the window's size.
    const QSize size = w->size();
    for (int i = 0; i < 3; ++i) {
        w->FormResize();
        QApplication::processEvents();
    }
    EXPECT_EQ(w->size(), size);
    // While the injection sequence is being modified the stabilisation
    // injections take no typing.
    ASSERT_TRUE(r.dm().SetModificaSequenza(true));
    w->Page<TPageCorrezioni>().TabCorrezioniShow();
    EXPECT_FALSE(w->Page<TPageCorrezioni>().EditIniettateBenzina->isEnabled());
}

// A group the ECU lacks leaves no hole: the gas temperature's group heads
// its column without the reducer's, and the tables below come up to the
// taller of the two columns; every group lies inside the page.
TEST_P(PageCorrezioniByEcu, TheGroupsCloseUpOverWhatTheEcuHides)
{
    open(cfgwin::PageCorrezioni);
    QApplication::processEvents();
    const Ecu& e = GetParam();
    QWidget* page = w->TabCorrezioni;
    const auto rect = [page](const QWidget* c) { return QRect(c->mapTo(page, QPoint(0, 0)), c->size()); };
    const QRect rientro = rect(w->Control(QStringLiteral("ShapeRientroCutoff")));
    const QRect gas = rect(w->Page<TPageCorrezioni>().ShapeTempGas);
    if (e.reducer) {
        EXPECT_EQ(rect(w->Page<TPageCorrezioni>().ShapeTempRid).top(), rientro.top());
        EXPECT_GT(gas.top(), rect(w->Page<TPageCorrezioni>().ShapeTempRid).bottom());
    } else {
        EXPECT_EQ(gas.top(), rientro.top());
    }
    const int columns =
        std::max({rientro.bottom(), gas.bottom(),
                  e.pressAbs ? rect(w->Page<TPageCorrezioni>().PanelCorrPressAbs).bottom() : rientro.bottom()});
    QWidget* firstTable = e.pressAbs ? static_cast<QWidget*>(w->Page<TPageCorrezioni>().ShapeDelayGasTemp)
                                     : w->Page<TPageCorrezioni>().ShapePressDiff;
    const int gap = rect(firstTable).top() - columns - 1;
    EXPECT_GE(gap, 0);
    EXPECT_LE(gap, 8);
    for (const char* name : {"ShapeRientroCutoff", "PanelCorrPressAbs", "ShapeTempRid", "ShapeTempGas",
                             "ShapePressDiff", "ShapeDelayGasTemp", "ShapePresPassaggio"}) {
        QWidget* group = w->Control(QString::fromLatin1(name));
        ASSERT_NE(group, nullptr) << name;
        if (group->isVisibleTo(page)) {
            EXPECT_TRUE(page->rect().contains(rect(group))) << name << " reaches past the page";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Ecus, PageCorrezioniByEcu,
                         ::testing::Values(Ecu{"type=30", false, true, false}, Ecu{"type=55", true, true, false},
                                           Ecu{"type=79", true, false, true}),
                         [](const ::testing::TestParamInfo<Ecu>& info) {
                             std::string name = info.param.profile;
                             name.erase(name.find('='), 1);
                             return name;
                         });

} // namespace
