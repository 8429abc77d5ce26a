// The Mappa and Emissioni pages of the configuration window against the
// simulated ECU: the three map views, the step buttons with their limits, the
// boxes behind the sliders and the auto-calibration limit, the breakpoints
// dialogs opened from the titles and the axis cells, and the page loaders.
#include "config/mapk/DrawGridK.h"
#include "config/mapk/FormCentriCelle.h"
#include "config/mapk/FormCentriCelleK.h"
#include "config/mapk/FormModificaMappa.h"
#include "config/tables/CorrectionGrids.h"
#include "config/window/FormConfig.h"
#include "tests/support/rig/DataModuleRig.h"
#include "tests/support/rig/MapAxes.h"

#include "complib/editors/NumericEdit.h"
#include "config/window/pages/PageEmissioni.h"
#include "config/window/pages/PageMappa.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kEnrichment = 1140;
constexpr int kExtraInj = 667;

class PageMappaTest : public ::testing::Test {
protected:
    explicit PageMappaTest(const std::string& profile = "type=30") : r({.profile = profile})
    {
        r.dm().EcuInfo.EcuType = static_cast<std::uint8_t>(r.sim().CurrentProfile().type);
        r.connectEcu();
        rig::LoadMapAxes(r.dm());
        r.dm().Flag34Present = 1;
        w = std::make_unique<TFormConfig>(nullptr);
        w->LoadTexts();
        w->show();
        w->TimerDati->stop();
        w->PageControl->setCurrentIndex(cfgwin::PageMappa);
        r.sim().ClearCalls();
    }
    ~PageMappaTest() override { w->done(0); }

    // Writes of one item (by its number) since the last ClearCalls.
    std::vector<protovyx::CallRecord> writesOf(int code)
    {
        std::vector<protovyx::CallRecord> out;
        for (const auto& c : r.sim().Calls())
            if (c.name.rfind("Write", 0) == 0 && (c.code & 0xFF) == (code & 0xFF))
                out.push_back(c);
        return out;
    }

    // Runs the next modal window with `act`, then closes it if still open.
    static void onNextModal(std::function<void(QWidget*)> act)
    {
        QTimer::singleShot(0, [act = std::move(act)] {
            if (QWidget* m = QApplication::activeModalWidget()) {
                act(m);
                if (m->isVisible())
                    m->close();
            }
        });
    }

    rig::DataModuleRig r;
    std::unique_ptr<TFormConfig> w;
};

TEST_F(PageMappaTest, ThreeViewsOfTheMap)
{
    EXPECT_TRUE(w->Page<TPageMappa>().RadioMapK->isChecked()); // on at start
    for (QRadioButton* b :
         {w->Page<TPageMappa>().RadioMapK, w->Page<TPageMappa>().RadioMapAdatta, w->Page<TPageMappa>().RadioMapCorr})
        EXPECT_TRUE(b->isVisibleTo(w->TabMappa)) << b->objectName().toStdString();
    EXPECT_EQ(w->Page<TPageMappa>().DrawGridK->View(), mapk::View::Extended);
    EXPECT_EQ(w->Page<TPageMappa>().DrawGridK->RowCount(), 13);
    EXPECT_TRUE(w->Page<TPageMappa>().LabelGiriMappa->isVisibleTo(w->TabMappa));

    w->Page<TPageMappa>().RadioMapAdatta->click();
    EXPECT_EQ(w->Page<TPageMappa>().DrawGridK->View(), mapk::View::TargetObd);
    EXPECT_EQ(w->Page<TPageMappa>().DrawGridK->RowCount(), 13);
    EXPECT_TRUE(w->Page<TPageMappa>().ShapeTempoIniezione->isVisibleTo(w->TabMappa));

    w->Page<TPageMappa>().RadioMapCorr->click();
    EXPECT_EQ(w->Page<TPageMappa>().DrawGridK->View(), mapk::View::Reduced);
    EXPECT_EQ(w->Page<TPageMappa>().DrawGridK->RowCount(), 4);
    // No axes in the reduced view: the axis titles go; the band with the
    // radio buttons spans the whole grid.
    EXPECT_FALSE(w->Page<TPageMappa>().LabelGiriMappa->isVisibleTo(w->TabMappa));
    EXPECT_FALSE(w->Page<TPageMappa>().LabelTempiMappa->isVisibleTo(w->TabMappa));
    EXPECT_FALSE(w->Page<TPageMappa>().ShapeTempoIniezione->isVisibleTo(w->TabMappa));
    EXPECT_EQ(w->Page<TPageMappa>().ShapeGiri->x(), w->Page<TPageMappa>().DrawGridK->x() - 1);

    w->Page<TPageMappa>().RadioMapK->click();
    EXPECT_EQ(w->Page<TPageMappa>().DrawGridK->View(), mapk::View::Extended);
    // The grid fits its cells and ends before the column of controls.
    EXPECT_EQ(w->Page<TPageMappa>().DrawGridK->width(), (w->Page<TPageMappa>().DrawGridK->DefaultColWidth() + 1) * 13);
    EXPECT_LE(w->Page<TPageMappa>().PanelMappaK->x() + w->Page<TPageMappa>().DrawGridK->x() +
                  w->Page<TPageMappa>().DrawGridK->width(),
              w->Page<TPageMappa>().ShapeTarget->x());
    // The row axis's shape: one column and 2 pixels wide, as tall as the
    // grid and the band over it.
    EXPECT_EQ(w->Page<TPageMappa>().ShapeTempoIniezione->width(),
              w->Page<TPageMappa>().DrawGridK->DefaultColWidth() + 2);
    EXPECT_EQ(w->Page<TPageMappa>().ShapeTempoIniezione->height(),
              w->Page<TPageMappa>().DrawGridK->height() + w->Page<TPageMappa>().DrawGridK->y());
}

TEST_F(PageMappaTest, EnrichmentStepsWriteAtOnceWithinTheirLimits)
{
    struct Case {
        double stored;
        bool up;
        std::optional<int> written;
    } cases[] = {{-45, false, -50}, {-50, false, std::nullopt}, {45, true, 50}, {50, true, std::nullopt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        r.dm().SetValueByCode(kEnrichment, c.stored);
        w->Page<TPageMappa>().TabMappaShow();
        const int before = w->Page<TPageMappa>().ImageBar2->x();
        r.sim().ClearCalls();
        (c.up ? w->Page<TPageMappa>().ImagePlus : w->Page<TPageMappa>().ImageMinus)->clicked();
        const auto written = writesOf(kEnrichment);
        if (!c.written) {
            EXPECT_TRUE(written.empty());
            EXPECT_EQ(w->Page<TPageMappa>().ImageBar2->x(), before);
            continue;
        }
        ASSERT_EQ(written.size(), 1u);
        EXPECT_EQ(static_cast<int>(r.dm().GetValueByCode(kEnrichment)), *c.written);
        EXPECT_EQ(w->Page<TPageMappa>().ImageBar2->x() > before, c.up); // the bar moved the step's way
    }
}

TEST_F(PageMappaTest, ExtraInjectionStepsAndTheirBoxes)
{
    r.dm().SetElementByCode(kExtraInj, 1, 3.8);
    w->Page<TPageMappa>().TabMappaShow();
    ASSERT_TRUE(w->Page<TPageMappa>().CheckExtraInj->isChecked());
    w->Page<TPageMappa>().ImageMinusExtraInj->clicked();                                // 3.8 counts as step 18
    EXPECT_NEAR(static_cast<double>(r.dm().GetElementByCode(kExtraInj, 1)), 3.4, 0.01); // in time-base units
    // Extra injection off: the step buttons are disabled.
    w->Page<TPageMappa>().CheckExtraInj->click();
    EXPECT_NE(r.dm().GetFlag(2), 0);
    EXPECT_FALSE(w->Page<TPageMappa>().ImagePlusExtraInj->isEnabled());
    w->Page<TPageMappa>().CheckExtraInj->click();
    EXPECT_TRUE(w->Page<TPageMappa>().ImagePlusExtraInj->isEnabled());
    // Cutting the extra injections hides the sensitivity and its box.
    w->Page<TPageMappa>().CheckTagliaExtraIniettate->click();
    EXPECT_NE(r.dm().GetFlag3(0), 0);
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             w->Page<TPageMappa>().LabelExtraInj, w->Page<TPageMappa>().CheckExtraInj, w->Page<TPageMappa>().ImageBar1,
             w->Page<TPageMappa>().ImageBarra1, w->Page<TPageMappa>().ImagePlusExtraInj})
        EXPECT_FALSE(hidden->isVisibleTo(w->TabMappa)) << hidden->objectName().toStdString();
    EXPECT_TRUE(w->Page<TPageMappa>().CheckTagliaExtraIniettate->isVisibleTo(w->TabMappa));
}

TEST_F(PageMappaTest, AutoCalibrationLimitOffAndBackOn)
{
    r.dm().SetTOpenLoop(0, 12.5);
    w->Page<TPageMappa>().TabMappaShow();
    ASSERT_TRUE(w->Page<TPageMappa>().CheckAutotaratura->isChecked());
    EXPECT_TRUE(w->Page<TPageMappa>().EditAutotaratura->isVisibleTo(w->TabMappa));
    w->Page<TPageMappa>().CheckAutotaratura->click();
    EXPECT_NEAR(static_cast<double>(r.dm().GetTOpenLoop(0)), 30, 0.01);
    EXPECT_FALSE(w->Page<TPageMappa>().EditAutotaratura->isVisibleTo(w->TabMappa));
    w->Page<TPageMappa>().CheckAutotaratura->click();
    EXPECT_NEAR(static_cast<double>(r.dm().GetTOpenLoop(0)), 12.5, 0.01);

    // A map edit clears the box, which switches the limit off.
    w->FormModificaMappa->SetModalRunner([](TFormModificaMappa& d) {
        d.EditData->setText(QStringLiteral("1"));
        d.ButtonOK->click();
        return d.result();
    });
    w->Page<TPageMappa>().DrawGridK->EditGridKCells();
    EXPECT_FALSE(w->Page<TPageMappa>().CheckAutotaratura->isChecked());
    EXPECT_NEAR(static_cast<double>(r.dm().GetTOpenLoop(0)), 30, 0.01);
}

TEST_F(PageMappaTest, FirstTickOfTheLimitWithNothingRemembered)
{
    r.dm().SetTOpenLoop(0, 30);
    w->Page<TPageMappa>().TabMappaShow();
    ASSERT_FALSE(w->Page<TPageMappa>().CheckAutotaratura->isChecked());
    w->Page<TPageMappa>().CheckAutotaratura->click();
    EXPECT_NEAR(static_cast<double>(r.dm().GetTOpenLoop(0)), 15, 0.01);
}

TEST_F(PageMappaTest, EditorsOfThePage)
{
    // Enter on the limit writes what was typed, untouched it writes nothing.
    r.dm().SetTOpenLoop(0, 12.5);
    w->Page<TPageMappa>().TabMappaShow();
    r.sim().ClearCalls();
    w->Page<TPageMappa>().EditAutotaraturaKeyPress(QChar(13));
    EXPECT_TRUE(writesOf(0x27f).empty());
    w->Page<TPageMappa>().EditAutotaratura->setText(QStringLiteral("20"));
    w->Page<TPageMappa>().EditAutotaraturaKeyPress(QChar(13));
    EXPECT_NEAR(static_cast<double>(r.dm().GetTOpenLoop(0)), 20, 0.01);
    // The neutral K is only shown: Enter writes nothing, not even the value
    // it shows rounded (raw 52 shows 2.5, which would store 51).
    r.dm().Item(188)[0] = 52;
    w->Page<TPageMappa>().TabMappaShow();
    EXPECT_TRUE(w->Page<TPageMappa>().EditKMappaNeutro->isReadOnly());
    EXPECT_EQ(w->Page<TPageMappa>().EditKMappaNeutro->text(), QStringLiteral("2.5"));
    r.sim().ClearCalls();
    w->Page<TPageMappa>().EditKMappaNeutroKeyPress(QChar(13));
    EXPECT_TRUE(writesOf(188).empty());
    EXPECT_EQ(r.dm().Item(188)[0], 52);
    // The targets show the latest petrol times.
    w->LiveValues.PetrolTime1 = 3.26;
    w->Page<TPageMappa>().ImageTargetClick();
    EXPECT_EQ(w->Page<TPageMappa>().LabTarget1->text(), QStringLiteral("3.3"));
}

TEST_F(PageMappaTest, TheTitlesOpenTheBreakpointsOfMapK)
{
    const int before = static_cast<int>(w->MapKTracking.columnBounds[1]);
    bool opened = false;
    onNextModal([&](QWidget* m) {
        auto* d = qobject_cast<TFormCentriCelleK*>(m);
        ASSERT_NE(d, nullptr);
        opened = true;
        d->EditRifGiri[0]->setText(QString::number(r.dm().GetRifGiriK(0) - 100));
        d->ButtonOkClick();
    });
    QTest::mouseDClick(w->Page<TPageMappa>().LabelGiriMappa, Qt::LeftButton);
    EXPECT_TRUE(opened);
    // The bounds follow the new breakpoint.
    EXPECT_EQ(static_cast<int>(w->MapKTracking.columnBounds[1]), before - 50);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(PageMappaTest, TheEmissionsAxisOpensItsCellCentres)
{
    w->PageControl->setCurrentIndex(cfgwin::PageEmissioni);
    const double before = w->EmissionTracking.columnBounds[1];
    bool opened = false;
    onNextModal([&](QWidget* m) {
        auto* d = qobject_cast<TFormCentriCelle*>(m);
        ASSERT_NE(d, nullptr);
        opened = true;
        d->EditRifGiri[1]->setText(QString::number(r.dm().GetRifGiri(1) + 100));
        d->ButtonOkClick();
    });
    // An rpm axis cell.
    TCorrectionGrid* g = w->Page<TPageEmissioni>().DrawGridEmissioni;
    QTest::mouseDClick(g, Qt::LeftButton, {}, g->CellRect(3, 0).center());
    EXPECT_TRUE(opened);
    EXPECT_EQ(w->EmissionTracking.columnBounds[1], before + 50);
    // The corner opens nothing.
    opened = false;
    onNextModal([&](QWidget*) { opened = true; });
    QTest::mouseDClick(g, Qt::LeftButton, {}, g->CellRect(0, 0).center());
    QApplication::processEvents();
    EXPECT_FALSE(opened);
}

TEST_F(PageMappaTest, EmissioniLoader)
{
    r.dm().SetValueByCode(107, 1);
    r.dm().SetValueByCode(135, 10);
    w->PageControl->setCurrentIndex(cfgwin::PageEmissioni);
    EXPECT_EQ(w->Page<TPageEmissioni>().EditRitardoGiriEmulazione->text(), QStringLiteral("266")); // 1 x 256 + 10
    EXPECT_TRUE(w->Page<TPageEmissioni>().EditLivEmulAlto->isEnabled());
    EXPECT_TRUE(w->Page<TPageEmissioni>().EditLivEmulStabilizzato->isEnabled());
}

TEST_F(PageMappaTest, TheGridsMenuCarriesTheClipboard)
{
    EXPECT_EQ(w->findChild<QMenu*>(QStringLiteral("PopupMenuK")), nullptr);
    auto* menu = w->findChild<QMenu*>(QStringLiteral("PopupMenuGrid"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu, w->Page<TPageMappa>().DrawGridK->PopupMenuGrid);
    EXPECT_EQ(w->Page<TPageMappa>().DrawGridK->MenuCopia->text(), rig::text(83));
    EXPECT_EQ(w->Page<TPageMappa>().DrawGridK->MenuIncolla->text(), rig::text(84));
    // Ctrl+V in the grid pastes into its selected cell.
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->Page<TPageMappa>().DrawGridK->setFocus();
    w->Page<TPageMappa>().DrawGridK->SetSelection({2, 3, 2, 3});
    QGuiApplication::clipboard()->setText(QStringLiteral("77"));
    r.sim().ClearCalls();
    QTest::keyClick(w->Page<TPageMappa>().DrawGridK, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(r.dm().GetMappaK(2, 1), 77);
}

class PageMappaNeutralK : public PageMappaTest {
protected:
    PageMappaNeutralK() : PageMappaTest("type=79") {}
};

TEST_F(PageMappaNeutralK, TheNeutralKShowsWhenTheEcuHasIt)
{
    r.dm().ItemBCPresent = 1;
    w->Page<TPageMappa>().TabMappaShow();
    EXPECT_TRUE(w->Page<TPageMappa>().PanelKMappaNeutro->isVisibleTo(w->TabMappa)); // one-plug ECU
    EXPECT_FALSE(w->Page<TPageMappa>().PanelArricchimentoAcc->isVisibleTo(w->TabMappa));
    r.dm().ItemBCPresent = 0;
    w->Page<TPageMappa>().TabMappaShow();
    EXPECT_FALSE(w->Page<TPageMappa>().PanelKMappaNeutro->isVisibleTo(w->TabMappa));
}

} // namespace
