// The correction-table grids against the data module on the simulated ECU:
// what they show, which values an edit writes (the ECU's call log) and what
// they do from the cells that refuse an edit.
#include "config/tables/CorrectionGrids.h"
#include "tests/support/rig/DataModuleRig.h"

#include "complib/numbers/NumberText.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

using tables::GridId;

// The marker that every change of the image clears.
constexpr std::int32_t kUfficiale = 0x35;

struct Dialog {
    int result = 1;
    double value = 0;
    int mode = 0;
    int opened = 0;
    double prefill = 0;
    bool real = false;
};

class CorrectionGridsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        r.connectEcu();
        for (int item : {0x2d, 0x2e, 0x2f, 0x27, 0x26, 0x2c})
            r.sim().SetItemPresent(item, true);
        r.dm().BuildTemperaturaGasTable(0);
        r.dm().BuildTempMotoreTable(false);
        TablesHost host;
        host.EditInteger = [this](int* v, int* m) {
            ++dialog.opened;
            dialog.real = false;
            dialog.prefill = *v;
            *v = static_cast<int>(dialog.value);
            *m = dialog.mode;
            return dialog.result;
        };
        host.EditReal = [this](double* v, int* m) {
            ++dialog.opened;
            dialog.real = true;
            dialog.prefill = *v;
            *v = dialog.value;
            *m = dialog.mode;
            return dialog.result;
        };
        host.StopTimerDati = [this] { ++timerStops; };
        host.StartTimerDati = [this] { ++timerStarts; };
        host.BuildPressDiffCellBounds = [this] { ++pressBounds; };
        host.BuildEmissionCellBounds = [this] { ++emissionBounds; };
        host.ShowCentriCelle = [this] { ++centres; };
        host.Text = rig::text;
        grids = std::make_unique<TCorrectionGrids>(r.dm(), host, nullptr);
    }
    void TearDown() override { EXPECT_TRUE(r.sim().Violations().empty()); }

    void answer(double value, int mode, int result = 1)
    {
        dialog = {};
        dialog.value = value;
        dialog.mode = mode;
        dialog.result = result;
        r.sim().ClearCalls();
    }
    // Every write the ECU received: (code, row, column, value).
    std::vector<std::vector<std::int32_t>> writes()
    {
        std::vector<std::vector<std::int32_t>> out;
        for (const auto& c : r.sim().Calls())
            if (c.name.rfind("Write", 0) == 0 && c.code != kUfficiale)
                out.push_back({c.code, c.row, c.column, c.in.empty() ? 0 : c.in.back()});
        return out;
    }
    void enter(GridId id)
    {
        int key = 13;
        grids->Grid(id)->OnKeyPress(key);
    }
    void doubleClick(GridId id, int col, int row)
    {
        auto* g = grids->Grid(id);
        const QRect cell = g->CellRect(col, row);
        QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(cell.center()), QPointF(cell.center()), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(g, &e);
    }
    QString shown(GridId id, int c, int row)
    {
        return tables::CellText(r.dm(), id, c, row, rig::text, complib::DecimalSeparator());
    }
    QString fixed(const char* text) const { return QString::fromLatin1(text).replace('.', complib::DecimalSeparator()); }

    rig::DataModuleRig r;
    std::unique_ptr<TCorrectionGrids> grids;
    Dialog dialog;
    int timerStops = 0, timerStarts = 0, pressBounds = 0, emissionBounds = 0, centres = 0;
};

TEST_F(CorrectionGridsTest, GridsHaveTheirLayoutAndNames)
{
    for (const auto& s : tables::GridTable()) {
        auto* g = grids->Grid(s.id);
        EXPECT_EQ(g->objectName(), QString::fromLatin1(s.name));
        EXPECT_EQ(g->RowCount(), s.rows);
        EXPECT_EQ(g->ColCount(), s.cols);
        EXPECT_EQ(g->FixedCols(), s.fixedCols);
    }
    EXPECT_EQ(grids->DrawGridVariatore, grids->Grid(GridId::Variatore));
    r.dm().RifMapVariatorePresent = 1;
    grids->UpdateVariatorLayout();
    EXPECT_EQ(grids->DrawGridVariatore->RowCount(), 6);
}

TEST_F(CorrectionGridsTest, CellsShowTheDataModuleValues)
{
    ASSERT_TRUE(r.dm().SetRifPressDiff(1, 0.25));
    ASSERT_TRUE(r.dm().SetCoeffMot(8, 110));
    ASSERT_TRUE(r.dm().SetAnticipo(2, 7));
    ASSERT_TRUE(r.dm().SetDelayGasTemp(1, 3, 8));
    ASSERT_TRUE(r.dm().SetVariatore(0, 12));
    ASSERT_TRUE(r.dm().SetPressPassaggio(4, 1.5));
    struct Case { GridId id; int c, row; QString text; };
    for (const Case& c : {Case{GridId::PressDiff, 1, 0, fixed("0.25")}, {GridId::TempGas, 1, 1, "10"},
                          {GridId::TempGas, 0, 0, QString::fromUtf8("°C")}, {GridId::TempGas, 9, 0, rig::text(198)},
                          {GridId::Anticipo, 3, 0, "7"}, {GridId::Anticipo, 0, 0, rig::text(220)},
                          {GridId::DelayGasTemp, 4, 2, QString::number(r.dm().GetDelayGasTemp(1, 3))},
                          {GridId::DelayGasTemp, 0, 1, rig::text(679)}, {GridId::Variatore, 1, 1, "12"},
                          {GridId::Variatore, 0, 0, rig::text(530)}, {GridId::Variatore, 0, 1, rig::text(531)},
                          {GridId::PressPassaggio, 5, 1, fixed("1.50")}, {GridId::PressPassaggio, 0, 1, "P.rail"},
                          {GridId::Emissioni, 0, 0, "MAP"}, {GridId::Emissioni, 1, 0, QString::number(r.dm().GetRifGiri(0))}}) {
        EXPECT_EQ(shown(c.id, c.c, c.row), c.text) << static_cast<int>(c.id) << " " << c.c << "," << c.row;
    }
    r.dm().RifMapVariatorePresent = 1;
    EXPECT_EQ(shown(GridId::Variatore, 0, 0), rig::text(326) + "\\" + rig::text(530));
    // Painting every grid runs each cell's drawing.
    for (const auto& s : tables::GridTable())
        grids->Grid(s.id)->grab();
}

TEST_F(CorrectionGridsTest, PressDiffBreakpointKeepsTheAxisIncreasing)
{
    for (int i = 0; i < 15; ++i)
        ASSERT_TRUE(r.dm().SetRifPressDiff(i, 0.1 * (i + 1)));
    auto* g = grids->DrawGridPressDiff;
    g->SetCurrent(1, 0);
    answer(0.35, 0);
    enter(GridId::PressDiff);
    EXPECT_TRUE(dialog.real);
    EXPECT_NEAR(dialog.prefill, 0.2, 1e-9);
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(pressBounds, 0);
    EXPECT_EQ(timerStops, 1);
    EXPECT_EQ(timerStarts, 1);

    answer(0.25, 0);
    enter(GridId::PressDiff);
    EXPECT_EQ(writes().size(), 1u);
    EXPECT_NEAR(static_cast<double>(r.dm().GetRifPressDiff(1)), 0.25, 1e-9);
    EXPECT_EQ(pressBounds, 1);

    // Three breakpoints given one value: at most one is written.
    g->SelectRange(3, 0, 5, 0);
    answer(0.55, 0);
    enter(GridId::PressDiff);
    EXPECT_EQ(writes().size(), 1u);
    EXPECT_NEAR(static_cast<double>(r.dm().GetRifPressDiff(4)), 0.55, 1e-9);
    EXPECT_NEAR(static_cast<double>(r.dm().GetRifPressDiff(3)), 0.4, 1e-9);
}

TEST_F(CorrectionGridsTest, CancelWritesNothingAndLeavesTheTimer)
{
    grids->DrawGridAnticipo->SetCurrent(2, 0);
    answer(5, 0, 2);
    enter(GridId::Anticipo);
    EXPECT_EQ(dialog.opened, 1);
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(timerStops, 0);
}

TEST_F(CorrectionGridsTest, TempGasCoefficientsAreShownLessAHundred)
{
    ASSERT_TRUE(r.dm().SetCoeffMot(8, 110));
    auto* g = grids->DrawGridTempGas;
    g->SetCurrent(1, 1);
    answer(10, 0);
    enter(GridId::TempGas);
    EXPECT_EQ(dialog.prefill, 10);
    EXPECT_EQ(r.dm().GetCoeffMot(8), 110);
    ASSERT_EQ(writes().size(), 1u);
    answer(5, 1);
    enter(GridId::TempGas);
    EXPECT_EQ(r.dm().GetCoeffMot(8), 115);

    // The reserved coefficient of each table opens no dialog.
    g->SetCurrent(5, 1);
    answer(1, 0);
    enter(GridId::TempGas);
    EXPECT_EQ(dialog.opened, 0);
    grids->DrawGridTempRid->SetCurrent(5, 1);
    enter(GridId::TempRid);
    EXPECT_EQ(dialog.opened, 1);
    grids->DrawGridTempRid->SetCurrent(9, 1);
    enter(GridId::TempRid);
    EXPECT_EQ(dialog.opened, 1);
}

TEST_F(CorrectionGridsTest, TempGasSelectionFromTheTitleWritesOnlyShownPoints)
{
    const std::int32_t hidden = r.dm().GetRifMot(9);
    auto* g = grids->DrawGridTempGas;
    g->SelectRange(2, 0, 9, 0); // through the "over" title
    answer(5, 1);
    enter(GridId::TempGas);
    for (const auto& w : writes())
        EXPECT_NE(w[1], 0) << "element 0 lies under column 9";
    EXPECT_EQ(r.dm().GetRifMot(9), hidden);
}

TEST_F(CorrectionGridsTest, PressPassaggioWritesOnlyThePressureRow)
{
    auto* g = grids->DrawPressPassaggio;
    g->SelectRange(3, 1, 2, 0); // the current cell in the injection-time row
    answer(2.5, 0);
    enter(GridId::PressPassaggio);
    EXPECT_TRUE(dialog.real);
    const auto w = writes();
    ASSERT_EQ(w.size(), 2u);
    EXPECT_NEAR(static_cast<double>(r.dm().GetPressPassaggio(1)), 2.5, 1e-9);
    EXPECT_NEAR(static_cast<double>(r.dm().GetPressPassaggio(2)), 2.5, 1e-9);
    // The injection-time row is the map's axis and stays as it was.
    for (const auto& x : w)
        EXPECT_NE(x[0], 0xc737);
}

TEST_F(CorrectionGridsTest, EmissioniAxisDoubleClickOpensCellCentres)
{
    doubleClick(GridId::Emissioni, 0, 0);
    EXPECT_EQ(centres, 0);
    EXPECT_EQ(dialog.opened, 0);
    doubleClick(GridId::Emissioni, 3, 0);
    doubleClick(GridId::Emissioni, 0, 2);
    EXPECT_EQ(centres, 2);
    EXPECT_EQ(emissionBounds, 2);
    EXPECT_EQ(dialog.opened, 0);
    answer(0.5, 0);
    doubleClick(GridId::Emissioni, 2, 2);
    EXPECT_EQ(dialog.opened, 1);
}

TEST_F(CorrectionGridsTest, EmissioniSignedInLambdaBit7AbsoluteInVolts)
{
    auto* g = grids->DrawGridEmissioni;
    g->SelectRange(1, 1, 2, 3); // a rectangle: 2 columns x 3 rows
    *r.dm().Item(0x4) = 136;    // bit 7
    answer(-20, 0);
    enter(GridId::Emissioni);
    EXPECT_FALSE(dialog.real);
    EXPECT_EQ(writes().size(), 6u);
    EXPECT_EQ(static_cast<int>(r.dm().GetRiferimentiSondaLambda(0)), -20);
    EXPECT_EQ(static_cast<int>(r.dm().GetMappaEmissioni(1, 1)), -20);

    *r.dm().Item(0x4) = 2;
    g->SelectRange(3, 1, 3, 1);
    answer(-1.5, 0);
    enter(GridId::Emissioni);
    EXPECT_TRUE(dialog.real);
    ASSERT_EQ(writes().size(), 1u);
    EXPECT_NEAR(static_cast<double>(r.dm().GetRiferimentiSondaLambda(2)), 1.5, 0.02);
}

TEST_F(CorrectionGridsTest, DelayRectangleWritesExactlyItsCells)
{
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(r.dm().SetRifDelayGasTemp(i, 10 * i));
    auto* g = grids->DrawDelayGasTemp;
    g->SelectRange(2, 1, 3, 2);
    answer(4, 0);
    enter(GridId::DelayGasTemp);
    const auto w = writes();
    ASSERT_EQ(w.size(), 4u);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 9; ++col) {
            if (col == 1 || col == 2) {
                EXPECT_EQ(r.dm().GetDelayGasTemp(row, col), 4) << row << "," << col;
            }
        }
    // Breakpoints: the rule keeps the axis increasing.
    g->SelectRange(2, 0, 2, 0);
    answer(25, 0);
    enter(GridId::DelayGasTemp);
    EXPECT_TRUE(writes().empty());
    answer(15, 0);
    enter(GridId::DelayGasTemp);
    EXPECT_EQ(r.dm().GetRifDelayGasTemp(1), 15);
}

TEST_F(CorrectionGridsTest, VariatorAxisAddsOnceToEachPoint)
{
    r.dm().RifMapVariatorePresent = 1;
    grids->UpdateVariatorLayout();
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(r.dm().SetRifGiriVariatore(i, 1000 * (i + 1)));
    auto* g = grids->DrawGridVariatore;
    g->SelectRange(3, 3, 2, 0); // the current cell (2, 0) in the rpm row, three more rows
    answer(100, 1);
    enter(GridId::Variatore);
    EXPECT_EQ(writes().size(), 2u);
    EXPECT_EQ(r.dm().GetRifGiriVariatore(1), 2100);
    EXPECT_EQ(r.dm().GetRifGiriVariatore(2), 3100);

    g->SelectRange(1, 1, 2, 2);
    answer(7, 0);
    enter(GridId::Variatore);
    EXPECT_EQ(writes().size(), 4u);
    EXPECT_EQ(r.dm().GetMappaVariatore(1, 1), 7);
}

TEST_F(CorrectionGridsTest, RefusedWriteLeavesTheShownValue)
{
    ASSERT_TRUE(r.dm().SetAnticipo(0, 3));
    r.sim().AddFault({.op = protovyx::Op::WriteElement, .code = 0x283, .times = 5});
    grids->DrawGridAnticipo->SetCurrent(1, 0);
    answer(9, 0);
    enter(GridId::Anticipo);
    EXPECT_EQ(writes().size(), 1u);
    EXPECT_EQ(shown(GridId::Anticipo, 1, 0), "3");
}

} // namespace
