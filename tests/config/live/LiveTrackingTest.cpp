// The configuration window's cell bounds and trackers without a window:
// where a value falls, where the dot stands, and what is repainted.
#include "config/live/LiveTracking.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace cfglive;

namespace {

// A table's breakpoints as the data module gives them.
Breakpoint points(std::vector<double> v)
{
    return [v = std::move(v)](int i) {
        return i >= 0 && i < static_cast<int>(v.size()) ? v[static_cast<std::size_t>(i)] : 0.0;
    };
}

const std::vector<double> kRpm{500, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500, 5000, 5500, 6000};
const std::vector<double> kTimes{2, 2.5, 3, 3.5, 4.5, 6, 8, 10, 12, 14, 16, 18};

MapKTracker mapK()
{
    MapKTracker t;
    t.columnBounds = RpmCellBounds(12, points(kRpm));
    t.rowBounds = RealCellBounds(12, points(kTimes), 2.5);
    return t;
}

// Cells of 40 x 20 pixels; column c spans c x 41 .. c x 41 + 40.
const MapKView kView{{40, 20}, false, {10, 10}};

} // namespace

TEST(CellBounds, HalfwayBetweenBreakpoints)
{
    const auto rpm = RpmCellBounds(3, points({1000, 1501, 2000}));
    EXPECT_EQ(rpm, (std::vector<double>{0, 1250, 1750, 2750})); // (1000 + 1501) >> 1 = 1250
    const auto times = RealCellBounds(2, points({2, 3}), 2.5);
    EXPECT_EQ(times, (std::vector<double>{0, 2.5, 5}));
    EXPECT_EQ(Midpoints(3, points({0.1, 0.2, 0.4})), (std::vector<double>{0.15000000000000002, 0.30000000000000004}));
}

TEST(CellBounds, LocateTable)
{
    const std::vector<double> b{0, 750, 1250, 6750};
    struct Case {
        double value;
        int cell;
    } cases[] = {{0, 0}, {749, 0}, {750, 1}, {1249.9, 1}, {1250, 2}, {6749, 2}, {6750, 2}, {99999, 2}, {-5, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(Locate(c.value, b), c.cell) << c.value;
    EXPECT_EQ(Locate(5, std::vector<double>{0}), 0);
}

TEST(DotPlace, AlongOneAxis)
{
    struct Case {
        const char* what;
        double value, lo, c, hi;
        int x;
    } cases[] = {
        {"the breakpoint: the middle", 2000, 1750, 2000, 2250, 120},
        {"the cell's low edge", 1750, 1750, 2000, 2250, 100},
        {"halfway to the high edge", 2125, 1750, 2000, 2250, 130},
        {"at the high edge: the far edge", 2250, 1750, 2000, 2250, 140},
        {"above the last edge", 9000, 5750, 6000, 6750, 140},
        {"truncated toward zero", 1999, 1750, 2000, 2250, 119},
        {"equal low edge and breakpoint: the middle", 1500, 1500, 1500, 1750, 120},
        {"equal breakpoint and high edge, above it: the far edge", 1600, 1500, 1600, 1600, 140},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DotAlong(c.value, c.lo, c.c, c.hi, {100, 140}), c.x) << c.what;
}

TEST(MapKTrack, LastBoundPutsTheDotOnTheLastCellsRightEdge)
{
    MapKTracker t = mapK();
    ASSERT_EQ(t.columnBounds.back(), 6750); // (5500 + 6000) >> 1 = 5750, + 1000
    TrackMapKPoint(t, 6750, 2, kView, points(kRpm), points(kTimes));
    EXPECT_EQ(t.column, 11);
    EXPECT_EQ(t.row, 0);
    const QRect cell = CellRect(kView.cells, 12, 1);
    EXPECT_EQ(t.dot.x(), cell.left() + cell.width()); // the right edge
    EXPECT_EQ(t.dot.y(), cell.top() + cell.height() / 2);
}

TEST(MapKTrack, EqualBreakpointsPutTheDotInTheMiddle)
{
    MapKTracker t;
    const auto rpm = points({1000, 1000, 2000});
    t.columnBounds = RpmCellBounds(3, rpm); // 0, 1000, 1500, 2500
    t.rowBounds = RealCellBounds(1, points({3}), 2.5);
    TrackMapKPoint(t, 1000, 3, kView, rpm, points({3}));
    EXPECT_EQ(t.column, 1); // the bound between the equal points is the point itself
    const QRect cell = CellRect(kView.cells, 2, 1);
    EXPECT_EQ(t.dot.x(), cell.left() + cell.width() / 2);
}

TEST(MapKTrack, AnUnchangedPointIsPlacedAgainOnlyOnThe51stTick)
{
    MapKTracker t = mapK();
    EXPECT_FALSE(TrackMapKPoint(t, 2100, 4, kView, points(kRpm), points(kTimes)).empty());
    for (int tick = 1; tick <= 50; ++tick)
        EXPECT_TRUE(TrackMapKPoint(t, 2100, 4, kView, points(kRpm), points(kTimes)).empty()) << tick;
    EXPECT_FALSE(TrackMapKPoint(t, 2100, 4, kView, points(kRpm), points(kTimes)).empty());
    // The page's show sets the counter to its threshold: placed on the next tick.
    t.repaintCounter = MapKTracker::kRepaintThreshold;
    EXPECT_FALSE(TrackMapKPoint(t, 2100, 4, kView, points(kRpm), points(kTimes)).empty());
}

TEST(MapKTrack, RepaintsTheOldAndNewDotAndThePetrolReturnColumns)
{
    MapKTracker t = mapK();
    TrackMapKPoint(t, 2000, 2.5, kView, points(kRpm), points(kTimes)); // column 3, row 1
    const QPoint old = t.dot;
    const Repaint r = TrackMapKPoint(t, 4000, 10, kView, points(kRpm), points(kTimes)); // column 7, row 7
    const Repaint expected{Dirty::Cell(Grid::PressPassaggio, 2, 0), Dirty::Area(Grid::MapK, DotArea(old, {10, 10})),
                           Dirty::Area(Grid::MapK, DotArea(t.dot, {10, 10})), Dirty::Cell(Grid::PressPassaggio, 8, 0)};
    EXPECT_EQ(r, expected);
    EXPECT_EQ(DotArea({50, 30}, {10, 10}), QRect(44, 24, 12, 12));
}

TEST(MapKTrack, ReducedViewPlacesTheDotInANinthOfTheZone)
{
    MapKTracker t = mapK();
    const MapKView reduced{{90, 60}, true, {10, 10}};
    TrackMapKPoint(t, 2500, 4.5, reduced, points(kRpm), points(kTimes)); // column 4, row 4: zone (1, 1), part (1, 1)
    const QRect zone = CellRect(reduced.cells, 1, 1);
    const QRect part(zone.left() + 30, zone.top() + 20, 30, 20);
    EXPECT_EQ(t.dot, QPoint(part.left() + 15, part.top() + 10));
}

TEST(EmissionTrack, PlacedOnlyWhenTheRpmOrTheMapChanges)
{
    MapTracker t;
    t.columnBounds = RpmCellBounds(12, points(kRpm));
    t.rowBounds = RealCellBounds(4, points({0.5, 0.75, 1.0, 1.25}), 0.5);
    const auto track = [&t](std::uint32_t rpm, std::int32_t map) {
        return TrackEmissionPoint(t, rpm, map, {40, 20}, {10, 10}, points(kRpm), points({0.5, 0.75, 1.0, 1.25}));
    };
    EXPECT_TRUE(track(0, 0).empty()); // nothing moved since the start
    const Repaint first = track(1000, 50);
    EXPECT_EQ(t.column, 1);
    EXPECT_EQ(t.row, 0);
    EXPECT_EQ(first.front(), Dirty::Cell(Grid::Anticipo, 1, 0)); // no old dot yet
    EXPECT_EQ(first.back(), Dirty::Cell(Grid::Anticipo, 2, 0));
    EXPECT_TRUE(track(1000, 50).empty());
    track(1000, 200); // 2 bar: beyond the last edge (1.125 + 0.5)
    EXPECT_EQ(t.row, 3);
    EXPECT_EQ(t.dot.y(), CellRect({40, 20}, 2, 4).bottom() + 1);
}

TEST(TemperatureTrack, ColumnsByTheBreakpoints)
{
    // Elements 1..8 fall from 80 to 10 degrees: column c shows element 9 - c.
    const auto rif = points({0, 80, 70, 60, 50, 40, 30, 20, 10, 255});
    const auto identity = [](std::int32_t raw) { return static_cast<double>(raw); };
    struct Case {
        std::int32_t degrees;
        int column;
    } cases[] = {{5, 1}, {10, 1}, {11, 2}, {45, 5}, {80, 8}, {81, 9}, {200, 9}};
    for (const auto& c : cases) {
        TemperatureTracker t;
        TrackTemperatureColumn(t, Grid::TempGas, c.degrees, identity, rif);
        EXPECT_EQ(t.column, c.column) << c.degrees;
    }
    TemperatureTracker t;
    EXPECT_EQ(TrackTemperatureColumn(t, Grid::TempRid, 45, identity, rif),
              (Repaint{Dirty::Cell(Grid::TempRid, 0, 0), Dirty::Cell(Grid::TempRid, 5, 0)}));
    EXPECT_TRUE(TrackTemperatureColumn(t, Grid::TempRid, 45, identity, rif).empty()); // same count
    EXPECT_TRUE(TrackTemperatureColumn(t, Grid::TempRid, 46, identity, rif).empty()); // same column
}

TEST(PressureTrack, ColumnsAndTheLastBound)
{
    PressureTracker t;
    std::vector<double> rif;
    for (int i = 0; i < 15; ++i)
        rif.push_back(0.1 * (i + 1));
    t.bounds = Midpoints(15, points(rif)); // 0.15 .. 1.45
    struct Case {
        std::int32_t hundredths;
        int column;
    } cases[] = {{10, 0}, {16, 1}, {20, 1}, {144, 13}, {146, 14}, {500, 14}};
    for (const auto& c : cases) {
        TrackPressureColumn(t, Grid::PressDiff, c.hundredths);
        EXPECT_EQ(t.column, c.column) << c.hundredths;
    }
}

TEST(VariatorTrack, CellsWithAndWithoutTheMapAxis)
{
    const auto rpm = points({1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500});
    const auto map = points({0.2, 0.4, 0.6, 0.8, 1.0});
    VariatorTracker t;
    const Repaint r = TrackVariatorPoint(t, 4250, 95, true, rpm, map); // rpm at the last edge, (4000 + 4500) >> 1
    EXPECT_EQ(t.column, 7);
    EXPECT_EQ(t.row, 4);
    EXPECT_EQ(r, (Repaint{Dirty::Cell(Grid::Variatore, 1, 0), Dirty::Cell(Grid::Variatore, 8, 5)}));
    TrackVariatorPoint(t, 1200, 10, true, rpm, map);
    EXPECT_EQ(t.column, 0);
    EXPECT_EQ(t.row, 0);
    TrackVariatorPoint(t, 1300, 50, false, rpm, map);
    EXPECT_EQ(t.column, 1);
    EXPECT_EQ(t.row, -1);
    // A move within the same cell repaints nothing.
    EXPECT_TRUE(TrackVariatorPoint(t, 1400, 60, false, rpm, map).empty());
}
