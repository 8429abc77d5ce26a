// The cell-centre dialogs of the emissions map and of map K against the data
// module on the simulated ECU: what OK checks and writes, what Annulla leaves,
// and where the focus goes.
#include "complib/editors/NumericEdit.h"
#include "config/mapk/FormCentriCelle.h"
#include "config/mapk/FormCentriCelleK.h"
#include "config/mapk_rules/MapKRules.h"
#include "tests/support/rig/DataModuleRig.h"

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class CellCentresTest : public ::testing::Test {
protected:
    explicit CellCentresTest(const std::string& profile = "type=30") : r({.profile = profile})
    {
        r.connectEcu();
        for (int i = 0; i < 12; ++i)
            r.dm().SetRifGiri(i, 500 + i * 500);
        for (int i = 0; i < 4; ++i)
            r.dm().SetRifMapEmissioni(i, 0.5 + i * 0.25);
        r.sim().ClearCalls();
    }

    static void type(TNumericEdit* e, const QString& text) { e->setText(text); }
    static void showActive(QWidget& w)
    {
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }

    std::vector<int> writtenCodes()
    {
        std::vector<int> codes;
        for (const auto& c : r.callsOf("WriteElement"))
            codes.push_back(c.code);
        return codes;
    }

    rig::DataModuleRig r;
};

TEST_F(CellCentresTest, EmissionsDialogLoadsBothAxes)
{
    TFormCentriCelle d;
    EXPECT_EQ(d.NumEditRifMap.size(), 4u);
    EXPECT_EQ(d.EditRifGiri[0]->text(), "500");
    EXPECT_EQ(d.EditRifGiri[11]->text(), "6000");
    EXPECT_EQ(d.NumEditRifMap[3]->GetAsFloat(), 1.25);
    EXPECT_EQ(d.windowTitle(), rig::text(61));
    EXPECT_EQ(d.GroupRifMap->title(), rig::text(359));
    // The chain: rpm 1..12, MAP 1..4, OK; the first rpm editor goes back to Annulla.
    EXPECT_EQ(d.EditRifGiri[11]->NextControl(), d.NumEditRifMap[0]);
    EXPECT_EQ(d.NumEditRifMap[3]->NextControl(), d.ButtonOk);
    EXPECT_EQ(d.EditRifGiri[0]->PrevControl(), d.ButtonAnnulla);
}

TEST_F(CellCentresTest, EmissionsChecks)
{
    struct Case {
        const char* what;
        int rpmEditor = -1;
        const char* rpm = nullptr;
        int mapEditor = -1;
        const char* map = nullptr;
        int message = 0; // 0: accepted
        int focus = -1;  // the editor with the focus after a refusal
        bool mapFocus = false;
        bool rpmWritten = false;
        bool mapWritten = false;
    };
    const Case cases[] = {
        {"all rising", -1, nullptr, -1, nullptr, 0, -1, false, true, true},
        {"two equal rpm points", 4, "2000", -1, nullptr, 62, 3, false, false, false},
        {"rpm right, MAP wrong", -1, nullptr, 2, "0.5", 358, 1, true, true, false},
        // 9000 is read as the editor's limit 8000: the check sees what would
        // be written, equal to the point before it.
        {"a typed value beyond the limit", 11, "9000", -1, nullptr, 62, 10, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        r.sim().ClearCalls();
        r.prompts.clear();
        TFormCentriCelle d;
        showActive(d);
        if (c.what == cases[3].what)
            type(d.EditRifGiri[10], "8000");
        if (c.rpm)
            type(d.EditRifGiri[static_cast<std::size_t>(c.rpmEditor)], QString::fromLatin1(c.rpm));
        if (c.map)
            type(d.NumEditRifMap[static_cast<std::size_t>(c.mapEditor)], QString::fromLatin1(c.map));
        r.prompts.script(plat::IDOK);
        d.ButtonOkClick();
        const auto codes = writtenCodes();
        const auto wrote = [&codes](int code) { return std::count(codes.begin(), codes.end(), code); };
        EXPECT_EQ(wrote(0x20c), c.rpmWritten ? 12 : 0);
        EXPECT_EQ(wrote(0x26f), c.mapWritten ? 4 : 0);
        if (c.message == 0) {
            EXPECT_TRUE(r.prompts.shown().empty());
            EXPECT_EQ(d.result(), 1);
            continue;
        }
        ASSERT_EQ(r.prompts.shown().size(), 1u);
        EXPECT_EQ(r.prompts.shown()[0].text, rig::text(c.message));
        EXPECT_EQ(r.prompts.shown()[0].icon, plat::PromptIcon::Error);
        EXPECT_TRUE(d.isVisible()); // the dialog stays open
        QWidget* focus = c.mapFocus ? static_cast<QWidget*>(d.NumEditRifMap[static_cast<std::size_t>(c.focus)])
                                    : d.EditRifGiri[static_cast<std::size_t>(c.focus)];
        EXPECT_TRUE(focus->hasFocus());
    }
}

TEST_F(CellCentresTest, WrittenValuesAreTheCheckedOnes)
{
    TFormCentriCelle d;
    type(d.EditRifGiri[11], "9000"); // above 5500: accepted as 8000
    d.ButtonOkClick();
    EXPECT_EQ(r.dm().GetRifGiri(11), 8000);
    EXPECT_EQ(r.dm().GetRifGiri(10), 5500);
}

TEST_F(CellCentresTest, AnnullaWritesNothing)
{
    TFormCentriCelle d;
    type(d.EditRifGiri[0], "700");
    d.ButtonAnnulla->click();
    EXPECT_TRUE(r.callsOf("WriteElement").empty());
    EXPECT_EQ(d.result(), 2);
}

TEST_F(CellCentresTest, EmissionsFocusLeavingAnnullaGoesToTheFirstRpm)
{
    TFormCentriCelle d;
    showActive(d);
    d.ButtonAnnulla->setFocus(Qt::OtherFocusReason);
    d.ButtonOk->setFocus(Qt::BacktabFocusReason);
    QApplication::processEvents();
    EXPECT_TRUE(d.EditRifGiri[0]->hasFocus());
}

TEST_F(CellCentresTest, MapKFocusSteering)
{
    TFormCentriCelleK d;
    showActive(d);
    QApplication::processEvents();
    EXPECT_TRUE(d.EditRifGiri[0]->hasFocus()); // on show
    // Backwards from OK into the time group: its last editor.
    d.ButtonOk->setFocus(Qt::OtherFocusReason);
    d.NumEditRifMap[4]->setFocus(Qt::BacktabFocusReason);
    QApplication::processEvents();
    EXPECT_TRUE(d.NumEditRifMap[11]->hasFocus());
    // Forwards from Annulla into the rpm group: its first editor.
    d.ButtonAnnulla->setFocus(Qt::OtherFocusReason);
    d.EditRifGiri[3]->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_TRUE(d.EditRifGiri[0]->hasFocus());
    // A click elsewhere is no steering.
    d.ButtonOk->setFocus(Qt::OtherFocusReason);
    d.NumEditRifMap[4]->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_TRUE(d.NumEditRifMap[4]->hasFocus());
}

class CellCentresSixColumns : public CellCentresTest {
protected:
    CellCentresSixColumns() : CellCentresTest("type=30;mapcols=6") {}
};

TEST_F(CellCentresSixColumns, MapKDialogUsesTheMapsColumnsOnly)
{
    r.dm().NumeroColonne = 6;
    for (int i = 0; i < 6; ++i)
        r.dm().SetRifGiriK(i, 1000 + i * 1000);
    r.sim().ClearCalls();
    TFormCentriCelleK d;
    EXPECT_FALSE(d.EditRifGiri[6]->isVisibleTo(&d));
    EXPECT_TRUE(d.EditRifGiri[5]->isVisibleTo(&d));
    EXPECT_EQ(d.EditRifGiri[5]->text(), "6000");
    // The seventh editor is neither compared nor written.
    d.EditRifGiri[6]->setText("200");
    d.ButtonOkClick();
    EXPECT_EQ(r.dm().GetRifGiriK(5), 6000);
    int rpmWrites = 0;
    for (const auto& c : r.callsOf("WriteElement"))
        rpmWrites += c.code == 0x63d;
    EXPECT_EQ(rpmWrites, 6);
    EXPECT_EQ(d.NumEditRifMap[0]->PrevControl(), d.EditRifGiri[5]);
}

} // namespace
