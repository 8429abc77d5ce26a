// The grids' plain rules: the increasing-axis rule, number texts, what a
// double click does and from which cells an edit may start.
#include "config/tables_rules/TablesRules.h"
#include "tests/support/rig/DataModuleRig.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using tables::ClickAction;
using tables::GridId;

TEST(TablesRules, BreakpointMustStayStrictlyBetweenItsNeighbours)
{
    const std::vector<double> axis{0.10, 0.20, 0.30};
    struct Case { int k; double n; bool fits; };
    for (const Case c : {Case{1, 0.35, false}, {1, 0.25, true}, {1, 0.10, false}, {1, 0.30, false},
                         {0, 0.05, true}, {0, -5, true}, {0, 0.20, false}, {2, 9.0, true}, {2, 0.20, false},
                         {3, 1.0, false}, {-1, 0.0, false}}) {
        EXPECT_EQ(tables::BreakpointFits(axis, c.k, c.n), c.fits) << c.k << " " << c.n;
    }
}

TEST(TablesRules, VariedAppliesAddAndPercentage)
{
    EXPECT_EQ(tables::Varied(57, -10, 2, true), 51);
    EXPECT_DOUBLE_EQ(tables::Varied(57, -10, 2, false), 51.3);
    EXPECT_EQ(tables::Varied(110, 5, 1, true), 115);
    EXPECT_EQ(tables::Varied(110, 5, 0, true), 5);
}

TEST(TablesRules, DoubleClickByCell)
{
    struct Case { GridId id; int c, r; ClickAction a; };
    for (const Case c : {Case{GridId::PressDiff, 0, 0, ClickAction::Edit}, {GridId::PressDiff, -1, 0, ClickAction::Nothing},
                         {GridId::TempGas, 0, 1, ClickAction::Nothing}, {GridId::TempGas, 1, 0, ClickAction::Edit},
                         {GridId::Anticipo, 1, -1, ClickAction::Edit}, {GridId::Anticipo, 0, 0, ClickAction::Nothing},
                         {GridId::PressPassaggio, 3, 0, ClickAction::Nothing}, {GridId::PressPassaggio, 3, 1, ClickAction::Edit},
                         {GridId::Emissioni, 0, 0, ClickAction::Nothing}, {GridId::Emissioni, 0, 2, ClickAction::CellCentres},
                         {GridId::Emissioni, 4, 0, ClickAction::CellCentres}, {GridId::Emissioni, -1, 2, ClickAction::Nothing},
                         {GridId::Emissioni, 2, 2, ClickAction::Edit}, {GridId::Variatore, 0, 0, ClickAction::Edit}}) {
        EXPECT_EQ(tables::DoubleClickAction(c.id, c.c, c.r), c.a) << static_cast<int>(c.id) << " " << c.c << "," << c.r;
    }
}

TEST(TablesRules, GridTableMatchesItsIds)
{
    for (const auto& s : tables::GridTable())
        EXPECT_EQ(&tables::GridSpecOf(s.id), &s) << s.name;
    EXPECT_EQ(tables::GridTable().size(), 8u);
}

class TablesRulesRig : public ::testing::Test {
protected:
    rig::DataModuleRig r;
};

TEST_F(TablesRulesRig, EditRefusedFromTitleAndReservedCells)
{
    struct Case { GridId id; int c, r; bool opens; bool real; };
    for (const Case c : {Case{GridId::TempGas, 5, 1, false, false}, {GridId::TempGas, 9, 0, false, false},
                         {GridId::TempGas, 0, 1, false, false}, {GridId::TempGas, 9, 1, true, false},
                         {GridId::TempRid, 5, 1, true, false}, {GridId::TempRid, 9, 1, false, false},
                         {GridId::Variatore, 0, 1, false, false}, {GridId::Variatore, 3, 0, true, false},
                         {GridId::PressDiff, 0, 0, true, true}, {GridId::PressPassaggio, 2, 0, true, true},
                         {GridId::Anticipo, 2, 0, true, false}, {GridId::DelayGasTemp, 1, 2, true, false}}) {
        const auto s = tables::EditSetupAt(r.dm(), c.id, c.c, c.r);
        EXPECT_EQ(s.has_value(), c.opens) << static_cast<int>(c.id) << " " << c.c << "," << c.r;
        if (s) {
            EXPECT_EQ(s->real, c.real) << static_cast<int>(c.id);
        }
    }
    r.dm().RifMapVariatorePresent = 1;
    EXPECT_FALSE(tables::EditSetupAt(r.dm(), GridId::Variatore, 0, 0));
    ASSERT_TRUE(tables::EditSetupAt(r.dm(), GridId::Variatore, 0, 2));
    EXPECT_TRUE(tables::EditSetupAt(r.dm(), GridId::Variatore, 0, 2)->real);
    EXPECT_EQ(tables::RowCount(r.dm(), GridId::Variatore), 6);
}

} // namespace
