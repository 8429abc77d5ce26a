// The grids keep every value they hand to a setter within what the setter
// can store: a negative value for an unsigned setter is stored as 0 (not as
// the setter's upper limit), an axis point outside its setter's range is
// taken to the range's end before the increasing rule looks at it.
#include "config/tables_rules/TableLimits.h"
#include "config/tables_rules/TablesRules.h"
#include "tests/support/rig/DataModuleRig.h"

#include <gtest/gtest.h>

namespace {

using tables::GridId;

class TableLimits : public ::testing::Test {
protected:
    void SetUp() override
    {
        r.connectEcu();
        for (int item : {0x2d, 0x2e, 0x2f, 0x27, 0x26, 0x2c})
            r.sim().SetItemPresent(item, true);
        // The image as the ECU holds it.
        ASSERT_TRUE(r.dm().TransferData(TStreamDati::TRANSFER_READ_ECU, {}, 0, TStreamDati::TRANSFER_ALL_GROUPS, 0, 0));
    }
    void TearDown() override { EXPECT_TRUE(r.sim().Violations().empty()); }

    std::int32_t ecu(int item, int index)
    {
        std::vector<std::int32_t> v;
        EXPECT_TRUE(r.sim().PeekItem(item, v));
        return index < static_cast<int>(v.size()) ? v[static_cast<std::size_t>(index)] : -1;
    }

    rig::DataModuleRig r;
};

TEST_F(TableLimits, EverySetterStoresTheNearestValueItCanHold)
{
    // grid cell (c, r), the dialog's value and mode; the ECU's raw element.
    struct Case {
        const char* setter;
        GridId grid;
        int c, r;
        bool mapAxis;
        double value;
        int mode;
        int item, index;
        std::int32_t stored;
    };
    const Case cases[] = {
        // -101 % is coefficient -1: none, not +100 %.
        {"SetCoeffMot", GridId::TempGas, 1, 1, false, -101, 0, 0x5d, 8, 0},
        {"SetCoeffMot", GridId::TempGas, 1, 1, false, 150, 0, 0x5d, 8, 200},
        {"SetCoeffTemperatura", GridId::TempRid, 2, 1, false, -500, 1, 0x2b, 7, 0},
        {"SetCoeffTemperatura", GridId::TempRid, 2, 1, false, 300, 1, 0x2b, 7, 200},
        {"SetAnticipo", GridId::Anticipo, 1, 0, false, -50, 1, 0x83, 0, 0},
        {"SetAnticipo", GridId::Anticipo, 1, 0, false, 400, 0, 0x83, 0, 300},
        {"SetVariatore", GridId::Variatore, 3, 1, false, -40, 1, 0x27, 2, 0},
        {"SetVariatore", GridId::Variatore, 3, 1, false, 40, 0, 0x27, 2, 31},
        {"SetMappaVariatore", GridId::Variatore, 2, 3, true, -3, 0, 0x2c, 2 * 8 + 1, 0},
        {"SetMappaVariatore", GridId::Variatore, 2, 3, true, 99, 0, 0x2c, 2 * 8 + 1, 31},
        {"SetDelayGasTemp row 0", GridId::DelayGasTemp, 4, 1, false, -10, 0, 0x2e, 3, 0},
        {"SetDelayGasTemp row 0", GridId::DelayGasTemp, 4, 1, false, 700, 0, 0x2e, 3, 255},
        {"SetDelayGasTemp row 1", GridId::DelayGasTemp, 4, 2, false, -4, 0, 0x2e, 9 + 3, 0},
        {"SetDelayGasTemp row 1", GridId::DelayGasTemp, 4, 2, false, 2000, 0, 0x2e, 9 + 3, 255},
        // The axes: the first point below 0, the last one beyond the top.
        {"SetRifGiriVariatore", GridId::Variatore, 1, 0, false, -50, 0, 0x26, 0, 0},
        {"SetRifGiriVariatore", GridId::Variatore, 8, 0, false, 20000, 0, 0x26, 7, 10000},
        {"SetRifMapVariatore", GridId::Variatore, 0, 1, true, -1, 0, 0x2d, 0, 0},
        {"SetRifMapVariatore", GridId::Variatore, 0, 5, true, 40, 0, 0x2d, 4, 255},
        {"SetRifPressDiff", GridId::PressDiff, 0, 0, false, -1, 0, 0x7b, 0, 0},
        {"SetRifPressDiff", GridId::PressDiff, 14, 0, false, 99, 0, 0x7b, 14, 65535},
    };
    // Values that a step down from would cross 0.
    ASSERT_TRUE(r.dm().SetAnticipo(0, 7));
    ASSERT_TRUE(r.dm().SetVariatore(2, 5));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.setter) + " " + std::to_string(c.value));
        r.dm().RifMapVariatorePresent = c.mapAxis ? 1 : 0;
        tables::ApplyEdit(r.dm(), c.grid, c.c, c.r, {c.c, c.r, c.c, c.r}, c.value, c.mode);
        EXPECT_EQ(ecu(c.item, c.index), c.stored);
    }
}

TEST_F(TableLimits, AClampedAxisPointStillObeysTheIncreasingRule)
{
    // The second rpm point taken to 0 would lie below the first: skipped.
    tables::ApplyEdit(r.dm(), GridId::Variatore, 2, 0, {2, 0, 2, 0}, -100, 0);
    EXPECT_EQ(r.dm().GetRifGiriVariatore(1), 1250);
}

TEST_F(TableLimits, ASelectionFromTheTitleColumnStartsAtColumnOne)
{
    const std::int32_t before[2] = {r.dm().GetCoeffMot(8), r.dm().GetCoeffMot(7)};
    r.sim().ClearCalls();
    tables::ApplyEdit(r.dm(), GridId::TempGas, 0, 1, {0, 1, 2, 1}, 3, 1);
    EXPECT_EQ(r.dm().GetCoeffMot(8), before[0] + 3);
    EXPECT_EQ(r.dm().GetCoeffMot(7), before[1] + 3);
    std::vector<int> written;
    for (const auto& c : r.callsOf("WriteElement"))
        if (c.code == 0x5d)
            written.push_back(c.row);
    EXPECT_EQ(written, (std::vector<int>{8, 7}));
}

TEST(TableLimitsRules, UnsignedValuesAndRanges)
{
    struct Case {
        double v;
        std::int32_t limit, expected;
    };
    for (const Case c : {Case{-1, 200, 0},
                         {-0.4, 200, 0},
                         {0.9, 200, 0},
                         {199.99, 200, 199},
                         {200, 200, 200},
                         {1e12, 31, 31},
                         {std::nan(""), 31, 0}})
        EXPECT_EQ(tables::UnsignedUpTo(c.v, c.limit), c.expected) << c.v;
    EXPECT_DOUBLE_EQ(tables::Within(-3, {0, 10}), 0);
    EXPECT_DOUBLE_EQ(tables::Within(11, {0, 10}), 10);
    EXPECT_DOUBLE_EQ(tables::Within(std::nan(""), {0, 10}), 0);
    // A range not known limits nothing.
    EXPECT_DOUBLE_EQ(tables::Within(-3, {}), -3);
}

TEST_F(TableLimits, TheVariatorMapAxisRangeFollowsTheExternalMapLine)
{
    // Offset 100 and slope 500 (the simulated ECU's): raw 0 is 0.1 bar, raw
    // 255 2.6 bar.
    const tables::Range b = tables::RifMapVariatoreRange(r.dm());
    EXPECT_NEAR(b.lo, 0.1, 1e-9);
    EXPECT_NEAR(b.hi, 2.6, 1e-9);
    ASSERT_TRUE(r.dm().SetOffsetPendenza(3, 0));
    const tables::Range none = tables::RifMapVariatoreRange(r.dm());
    EXPECT_FALSE(none.lo < none.hi);
}

} // namespace
