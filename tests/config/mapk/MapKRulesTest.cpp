// The map-K grid's plain rules: coordinates, texts, the variation arithmetic,
// the breakpoint order and the clipboard text.
#include "config/mapk_rules/MapKRules.h"

#include <gtest/gtest.h>
#include <limits>

using namespace mapk;

TEST(MapKRules, ShapesAndCoordinates)
{
    EXPECT_EQ(ShapeOf(View::Extended, 12, 12), (GridShape{13, 13, 1, 1}));
    EXPECT_EQ(ShapeOf(View::TargetObd, 12, 6), (GridShape{13, 7, 1, 1}));
    EXPECT_EQ(ShapeOf(View::Reduced, 12, 12), (GridShape{4, 4, 0, 0}));
    EXPECT_EQ(DataCellOf(View::Extended, {1, 1}), (Cell{0, 0}));
    EXPECT_EQ(DataCellOf(View::TargetObd, {12, 5}), (Cell{11, 4}));
    EXPECT_FALSE(DataCellOf(View::Extended, {0, 3}));
    EXPECT_FALSE(DataCellOf(View::TargetObd, {3, 0}));
    EXPECT_EQ(DataCellOf(View::Reduced, {0, 3}), (Cell{0, 3}));
    EXPECT_EQ(GridCellOf(View::Extended, {11, 11}), (Cell{12, 12}));
    EXPECT_EQ(GridCellOf(View::Reduced, {2, 1}), (Cell{2, 1}));
}

TEST(MapKRules, Texts)
{
    EXPECT_EQ(FormatCellValue(View::Extended, 200), "200");
    EXPECT_EQ(FormatCellValue(View::TargetObd, -8), "-8");
    EXPECT_EQ(FormatCellValue(View::Reduced, -50), "-50");
    EXPECT_EQ(FormatRpmAxis(1567), "1560");
    EXPECT_EQ(FormatRpmAxis(800), "800");
    EXPECT_EQ(FormatTimeAxis(2.5, QChar(',')), "2,50");
    EXPECT_EQ(FormatTimeAxis(12.345, QChar('.')), "12.30"); // 3 significant digits first
    EXPECT_EQ(FormatTimeAxis(1.236, QChar('.')), "1.24");
}

TEST(MapKRules, VariationTable)
{
    struct Case {
        const char* what;
        std::int32_t (*f)(std::int32_t, std::int32_t, int);
        std::int32_t old, v;
        int mode;
        std::int32_t expected;
    };
    const std::int32_t max = std::numeric_limits<std::int32_t>::max();
    const Case cases[] = {
        {"map K set takes |v|", ExtendedCellValue, 10, -30, ModeSet, 30},
        {"map K add", ExtendedCellValue, 100, 7, ModeAdd, 107},
        {"map K add below 0 stays at 0, not the richest 255", ExtendedCellValue, 5, -10, ModeAdd, 0},
        {"map K -10 % of 57", ExtendedCellValue, 57, -10, ModePercent, 51},
        {"map K +10 % of 57", ExtendedCellValue, 57, 10, ModePercent, 62},
        {"map K below -100 % stays at 0", ExtendedCellValue, 57, -150, ModePercent, 0},
        {"map K add stops at 255", ExtendedCellValue, 200, max, ModeAdd, 255},
        {"map K percent stops at 255", ExtendedCellValue, 255, max, ModePercent, 255},
        {"map K set of the lowest int", ExtendedCellValue, 0, std::numeric_limits<std::int32_t>::min(), ModeSet, 255},
        {"OBD set keeps the sign, within -8..7", TargetObdCellValue, 3, -20, ModeSet, -8},
        {"OBD add stops at 7", TargetObdCellValue, 6, max, ModeAdd, 7},
        {"OBD add", TargetObdCellValue, -3, 2, ModeAdd, -1},
        {"OBD percent truncates toward zero", TargetObdCellValue, -7, 10, ModePercent, -7},
        {"zone add limited at 50", ReducedZoneShift, 40, 20, ModeAdd, 10},
        {"zone set limited at -50", ReducedZoneShift, 40, -70, ModeSet, -90},
        {"zone set", ReducedZoneShift, 10, 25, ModeSet, 15},
        {"zone percent", ReducedZoneShift, 30, 50, ModePercent, 15},
        {"zone percent of a big value", ReducedZoneShift, 40, max, ModePercent, 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.f(c.old, c.v, c.mode), c.expected) << c.what;
}

TEST(MapKRules, BreakpointOrder)
{
    EXPECT_EQ(FirstNotIncreasing({800, 1200, 1500}), -1);
    EXPECT_EQ(FirstNotIncreasing({800, 1500, 1500, 2000}), 1);
    EXPECT_EQ(FirstNotIncreasing({3.0, 2.5}), 0);
    EXPECT_EQ(FirstNotIncreasing({}), -1);
}

TEST(MapKRules, ParseIntTable)
{
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"12", 12}, {"-8", -8}, {"+5", 5}, {"0", 0}, {"2147483647", 2147483647},
        {"2147483648", std::nullopt}, {"", std::nullopt}, {" 5", std::nullopt}, {"5 ", std::nullopt},
        {"1.5", std::nullopt}, {"-", std::nullopt}, {"0x10", std::nullopt}, {"1e3", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseInt(QString::fromLatin1(text)), expected) << text;
    EXPECT_EQ(ParseReal(u"2,5", QChar(',')), 2.5);
    EXPECT_EQ(ParseReal(u"-0.25", QChar('.')), -0.25);
    EXPECT_FALSE(ParseReal(u"2.5", QChar(',')));
    EXPECT_FALSE(ParseReal(u"-", QChar('.')));
}

TEST(MapKClipboard, FormatHasNoTrailingSeparators)
{
    EXPECT_EQ(FormatBlock({{"1", "2", "3"}, {"4", "5", "6"}}), "1\t2\t3\r\n4\t5\t6");
    EXPECT_EQ(FormatBlock({{"7"}}), "7");
    EXPECT_EQ(FormatBlock({}), "");
}

TEST(MapKClipboard, ParseBlocks)
{
    const auto r = ParseBlock(u"1\t2\t3\r\n4\t5\t6\r\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rows, 2);
    EXPECT_EQ(r->cols, 3);
    EXPECT_EQ(r->cells[1][2], 6);

    // Bare CR and LF end lines too.
    const auto mixed = ParseBlock(u"1\r2\n3");
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->rows, 3);

    // A short line: the missing cells stay as they are and the rest of the
    // line goes into the last column.
    const auto shortLine = ParseBlock(u"1\t2\t3\r\n9");
    ASSERT_TRUE(shortLine);
    const std::vector<std::optional<std::int32_t>> expected{std::nullopt, std::nullopt, 9};
    EXPECT_EQ(shortLine->cells[1], expected);

    // An empty cell is left alone.
    const auto gap = ParseBlock(u"1\t\t3");
    ASSERT_TRUE(gap);
    EXPECT_FALSE(gap->cells[0][1]);
}

TEST(MapKClipboard, CellsThatAreNoNumberStayAsTheyAre)
{
    // The paste goes on past them.
    const auto bad = ParseBlock(u"1\t2\r\n3\tx7");
    ASSERT_TRUE(bad);
    const std::vector<std::optional<std::int32_t>> second{3, std::nullopt};
    EXPECT_EQ(bad->cells[0][1], 2);
    EXPECT_EQ(bad->cells[1], second);

    // Extra tabs in a later line end up in its last cell, which is no number.
    const auto extra = ParseBlock(u"1\t2\r\n3\t4\t5");
    ASSERT_TRUE(extra);
    EXPECT_EQ(extra->cols, 2);
    EXPECT_FALSE(extra->cells[1][1]);

    // Lines without a number are a block of cells left alone; only a text
    // without a line is none.
    const auto blank = ParseBlock(u"\t\r\n\t");
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->rows, 2);
    EXPECT_EQ(blank->cols, 2);
    EXPECT_FALSE(blank->cells[1][0]);
    EXPECT_FALSE(ParseBlock(u""));
}
