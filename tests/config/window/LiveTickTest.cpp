// The configuration window's live tick against the simulated ECU in virtual
// time: what one frame puts on the live bar, the second bank of a short
// frame, the OBD reads of their pages, the diagnosis lamp's rhythm and the
// operating point in the grids.
#include "config/mapk/DrawGridK.h"
#include "config/tables/CorrectionGrids.h"
#include "config/window/FormConfig.h"
#include "product/constants/BuildConstants.h"
#include "tests/support/rig/DataModuleRig.h"
#include "tests/support/rig/MapAxes.h"

#include "config/window/pages/PageAdatta.h"
#include "config/window/pages/PageCorrezioni.h"
#include "config/window/pages/PageEmissioni.h"
#include "config/window/pages/PageMappa.h"
#include "config/window/pages/PageSensori.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QFrame>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class LiveTickTest : public ::testing::Test {
protected:
    explicit LiveTickTest(const std::string& profile = "type=56;warmup=1") : r({.profile = profile})
    {
        r.dm().EcuInfo.EcuType = static_cast<std::uint8_t>(r.sim().CurrentProfile().type);
        r.connectEcu();
        rig::LoadMapAxes(r.dm());
        // The engine drives on gas from here on.
        r.clock.advance(5000);
        w = std::make_unique<TFormConfig>(nullptr);
        TConfigMainHooks hooks;
        hooks.extraInjectionSeen = &extraSeen;
        w->SetMainHooks(hooks);
        w->LoadTexts();
        w->show();
        w->TimerDati->stop();
    }
    ~LiveTickTest() override { w->done(0); }

    void showPage(int page) { w->PageControl->setCurrentIndex(page); }

    // One tick, 20 ms after the one before.
    void tick()
    {
        r.clock.advance(20);
        w->TimerDatiTimer();
    }

    // The frame the last tick read, decoded on its own.
    dm::TLiveValues lastFrame()
    {
        const auto reads = r.callsOf("ReadBlock");
        std::vector<std::uint8_t> bytes;
        for (auto it = reads.rbegin(); it != reads.rend(); ++it)
            if (it->code == 1) {
                bytes.assign(it->out.begin(), it->out.end());
                break;
            }
        dm::TLiveValues v;
        dm::DecodeLiveValues(dm::DecodeLiveFrame(bytes.data(), static_cast<int>(bytes.size())), r.dm().GetTimeBase(),
                             bytes.size() >= 20, v);
        return v;
    }

    int blockReads(int block)
    {
        int n = 0;
        for (const auto& c : r.callsOf("ReadBlock"))
            n += c.code == block;
        return n;
    }

    rig::DataModuleRig r;
    bool extraSeen = false;
    std::unique_ptr<TFormConfig> w;
};

TEST_F(LiveTickTest, OneFrameOnTheLiveBar)
{
    r.sim().ClearCalls();
    tick();
    EXPECT_EQ(blockReads(1), 1);
    EXPECT_TRUE(w->TimerDati->isActive()); // started again after the read
    const dm::TLiveValues v = lastFrame();
    ASSERT_GT(v.Rpm, 0u);
    EXPECT_EQ(w->LiveRpm, v.Rpm);
    EXPECT_EQ(w->LiveStatusFlags, v.StatusFlags);
    EXPECT_EQ(w->LabGiri->text(), QString::number(v.Rpm));
    EXPECT_EQ(w->LabApMotBenz->text(), cfglive::BarTimeText(v.PetrolTime1, QLatin1Char('.')));
    EXPECT_EQ(w->LabPressioneColl->text(), QString::number(v.MapPressure * 0.01, 'f', 2));
    EXPECT_EQ(w->Page<TPageSensori>().LabLivello->text(), QString::number(v.Level)); // the Sensori page's level
    // On gas: the gas pictures and text.
    EXPECT_EQ(w->ImageCommutatore->currentId(), cfglive::PicGas);
    EXPECT_EQ(w->LabelBenzina->text(), rig::text(175));
    EXPECT_NE(w->Page<TPageMappa>().DrawGridK, nullptr);
}

TEST_F(LiveTickTest, TheFuelStateOnTheMappaPage)
{
    showPage(cfgwin::PageMappa);
    const TPageMappa& page = w->Page<TPageMappa>();
    ASSERT_EQ(page.ImagePallino->currentId(), cfglive::PicDotPetrol); // as the window starts
    tick();
    // The first frame's changes, as the window's bar state took them.
    const dm::TLiveValues v = lastFrame();
    ASSERT_NE(v.StatusFlags & dm::LIVE_ON_GAS, 0);
    cfglive::BarState fresh;
    bool seen = false;
    const cfglive::BarChanges c = cfglive::StepBar(fresh, v.StatusFlags, v.StatusLow, {}, seen);
    ASSERT_TRUE(c.fuel);
    EXPECT_EQ(page.ImagePallino->currentId(), c.fuel->pallino);
    EXPECT_NE(page.ImagePallino->currentId(), cfglive::PicDotPetrol);
    EXPECT_EQ(page.DrawGridK->DotSize(), page.ImagePallino->currentPicture().deviceIndependentSize().toSize());
    // The enrichment bar follows bit 0 of the low status.
    EXPECT_EQ(page.ImageBar2->currentId(),
              (v.StatusLow & 0x01) ? cfglive::PicEmissionsDot : cfglive::PicEmissionsDotGas);
}

TEST_F(LiveTickTest, AShortFrameKeepsTheSecondBank)
{
    ASSERT_TRUE(r.dm().HasSecondaSonda());
    tick();
    const QString second = w->LabApMot2Benz->text();
    ASSERT_FALSE(second.isEmpty());
    const QString first = w->LabApMotBenz->text();
    r.sim().SetLiveFrameLength(19);
    // Later in the drive cycle, where the petrol time has moved.
    r.clock.advance(4000);
    tick();
    EXPECT_NE(w->LabApMotBenz->text(), first);
    EXPECT_EQ(w->LabApMot2Benz->text(), second);
    r.sim().SetLiveFrameLength(50);
    tick();
    EXPECT_NE(w->LabApMot2Benz->text(), second);
}

TEST_F(LiveTickTest, ObdBlocksOnTheirPagesOnly)
{
    showPage(cfgwin::PageConfigurazione);
    r.sim().ClearCalls();
    tick();
    EXPECT_EQ(blockReads(8), 0);
    showPage(cfgwin::PageMappa);
    tick();
    EXPECT_EQ(blockReads(8), 1);
    EXPECT_EQ(blockReads(9), 0);
    EXPECT_TRUE(w->Page<TPageMappa>().PanelCorrettori0->isVisibleTo(w->TabMappa));
    EXPECT_TRUE(w->Page<TPageMappa>().PanelCorrettori1->isVisibleTo(w->TabMappa));
    EXPECT_TRUE(w->Page<TPageMappa>().ImageObdOk->isVisibleTo(w->TabMappa));
    EXPECT_TRUE(w->Page<TPageMappa>().LabCorrFast0->text().endsWith(QLatin1Char('%')));
    showPage(cfgwin::PageAdatta);
    r.sim().ClearCalls();
    tick();
    EXPECT_EQ(blockReads(8), 1);
    EXPECT_EQ(blockReads(9), 1);
    EXPECT_TRUE(w->Page<TPageAdatta>().LabCorrMinimo->text().endsWith(QLatin1Char('%')));
    EXPECT_TRUE(w->Page<TPageAdatta>().LabCorrFuoriMinimo->text().endsWith(QLatin1Char('%')));
    showPage(cfgwin::PageEmissioni);
    tick();
    EXPECT_TRUE(w->Page<TPageEmissioni>().PanelLambdaObd0->isVisibleTo(w->TabEmissioni));
    EXPECT_TRUE(w->Page<TPageEmissioni>().LabOxigen0->text().endsWith(QLatin1Char('V')));
}

TEST_F(LiveTickTest, AnEmptyObdReplyDoesNotShortenTheNextRead)
{
    showPage(cfgwin::PageMappa);
    r.sim().SetBlockReplyLength(8, 0);
    r.sim().ClearCalls();
    tick();
    EXPECT_EQ(w->ObdBlockLength, 0);
    EXPECT_FALSE(w->Page<TPageMappa>().PanelCorrettori0->isVisibleTo(w->TabMappa)); // all zeros: nothing to show
    r.sim().SetBlockReplyLength(8, -1);
    tick();
    EXPECT_EQ(w->ObdBlockLength, 50);
    EXPECT_TRUE(w->Page<TPageMappa>().PanelCorrettori0->isVisibleTo(w->TabMappa));
    for (const auto& c : r.callsOf("ReadBlock")) {
        if (c.code == 8) {
            EXPECT_EQ(c.row, 50); // the capacity offered
        }
    }
}

TEST_F(LiveTickTest, TheDiagnosisLampIsLookedAtEvery20Ticks)
{
    r.sim().ClearCalls();
    for (int i = 0; i < 45; ++i)
        tick();
    int lampReads = 0;
    for (const auto& c : r.callsOf("ReadItem"))
        lampReads += c.code == 0x21;
    EXPECT_EQ(lampReads, 2);
    EXPECT_TRUE(w->ImageDiagnosiOff->isVisibleTo(w->PanelBarra));
    EXPECT_FALSE(w->ImageDiagnosiOn->isVisibleTo(w->PanelBarra));
}

TEST_F(LiveTickTest, TheDotFollowsTheEngineThroughMapK)
{
    showPage(cfgwin::PageMappa);
    tick();
    const int firstColumn = w->MapKTracking.column;
    const QPoint first(w->Page<TPageMappa>().DrawGridK->OperatingPointX,
                       w->Page<TPageMappa>().DrawGridK->OperatingPointY);
    ASSERT_FALSE(first.isNull());
    // The dot lies in the cell of the tracked column and row.
    const QRect cell = w->Page<TPageMappa>().DrawGridK->CellRect(w->MapKTracking.column + 1, w->MapKTracking.row + 1);
    EXPECT_GE(first.x(), cell.left());
    EXPECT_LE(first.x(), cell.left() + cell.width());
    EXPECT_GE(first.y(), cell.top());
    EXPECT_LE(first.y(), cell.top() + cell.height());
    EXPECT_EQ(w->CorrectionGrids->Tracked.MapKRow, w->MapKTracking.row);
    // Half a drive cycle later the engine runs elsewhere.
    r.clock.advance(12000);
    tick();
    EXPECT_NE(w->MapKTracking.column, firstColumn);
    EXPECT_NE(
        QPoint(w->Page<TPageMappa>().DrawGridK->OperatingPointX, w->Page<TPageMappa>().DrawGridK->OperatingPointY),
        first);
    // The dot is the picture of ImagePallino.
    EXPECT_EQ(w->Page<TPageMappa>().DrawGridK->DotSize(),
              w->Page<TPageMappa>().ImagePallino->currentPicture().deviceIndependentSize().toSize());
}

TEST_F(LiveTickTest, TheEmissionsDotAndTheCorrectionColumns)
{
    showPage(cfgwin::PageEmissioni);
    tick();
    EXPECT_NE(w->CorrectionGrids->Tracked.OperatingPointX, 0);
    EXPECT_EQ(w->CorrectionGrids->Tracked.OperatingPointX, w->EmissionTracking.dot.x());
    showPage(cfgwin::PageCorrezioni);
    tick();
    EXPECT_EQ(w->CorrectionGrids->Tracked.PressDiffColumn, w->PressDiffTracking.column);
    EXPECT_GT(w->PressDiffTracking.column, 0);
    EXPECT_GT(w->TempRidTracking.column, 0);
}

TEST_F(LiveTickTest, BoundsFollowTheBreakpoints)
{
    // Built when the window shows.
    EXPECT_EQ(w->MapKTracking.columnBounds.size(), static_cast<std::size_t>(r.dm().GetNumeroColonne() + 1));
    EXPECT_EQ(w->MapKTracking.columnBounds[1], (r.dm().GetRifGiriK(0) + r.dm().GetRifGiriK(1)) >> 1);
    EXPECT_EQ(w->EmissionTracking.rowBounds.size(), 5u);
    EXPECT_EQ(w->PressDiffTracking.bounds.size(), 14u);
    r.dm().SetRifGiriK(1, r.dm().GetRifGiriK(1) + 100);
    w->BuildAllCellBounds();
    EXPECT_EQ(w->MapKTracking.columnBounds[1], (r.dm().GetRifGiriK(0) + r.dm().GetRifGiriK(1)) >> 1);
}

class LiveTickMonoplug : public LiveTickTest {
protected:
    LiveTickMonoplug() : LiveTickTest("type=79;warmup=1") {}
};

TEST_F(LiveTickMonoplug, TheAbsolutePressureCorrectionOnCorrezioni)
{
    ASSERT_EQ(r.dm().EcuInfo.EcuType, qz::ECU_TYPE_MONOPLUG);
    showPage(cfgwin::PageCorrezioni);
    tick();
    const dm::TLiveValues v = lastFrame();
    ASSERT_NE(v.StatusFlags & dm::LIVE_ON_GAS, 0);
    EXPECT_EQ(w->Page<TPageCorrezioni>().LabCorrPressAbs->text(),
              cfglive::AbsolutePressureCorrection(true, static_cast<double>(r.dm().GetRifPressDiff(10)), v.GasPressure,
                                                  QLatin1Char('.'), rig::text(91)));
    EXPECT_NE(w->Page<TPageCorrezioni>().LabCorrPressAbs->text(), QStringLiteral("0%"));
}

} // namespace

TEST_F(LiveTickTest, TheEmissionsMapDrawsTheDotOfTheFuelInUse)
{
    showPage(cfgwin::PageEmissioni);
    tick();
    const dm::TLiveValues v = lastFrame();
    ASSERT_NE(v.StatusFlags & dm::LIVE_ON_GAS, 0);
    ASSERT_EQ(v.StatusFlags & dm::LIVE_CHANGEOVER_PENDING, 0);
    const plat::PictureButton* dot = w->Page<TPageEmissioni>().ImageEmissioni;
    EXPECT_EQ(dot->currentId(), cfglive::PicEmissionsDotGas);
    // The map draws the picture the page shows.
    EXPECT_EQ(w->CorrectionGrids->EmissioniDot.cacheKey(), dot->currentPicture().cacheKey());
}
