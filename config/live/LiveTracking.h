#pragma once
// Where the engine runs in the maps and correction tables of the
// configuration window, without a window: the edges between the cells of
// each table (halfway between its breakpoints), the cell a live value falls
// in, the dot's place inside a map cell, and the trackers, which keep what
// they last found and answer which cells and dot areas the grids must
// repaint.
#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace cfglive {

// A table's breakpoint i (an rpm, an injection time in ms, a pressure in bar).
using Breakpoint = std::function<double(int)>;

// ---- Cell bounds --------------------------------------------------------------

// n + 1 edges for n rpm breakpoints: 0, then the halved integer sum of each
// neighbouring pair (rounded down), then the last edge + 1000.
std::vector<double> RpmCellBounds(int count, const Breakpoint& rpm);
// n + 1 edges for n real breakpoints: 0, the midpoints, then the last
// midpoint + beyondLast (2.5 ms for injection times, 0.5 bar for pressures).
std::vector<double> RealCellBounds(int count, const Breakpoint& point, double beyondLast);
// n - 1 midpoints of n breakpoints, for the correction curves whose columns
// are the breakpoints themselves.
std::vector<double> Midpoints(int count, const Breakpoint& point);

// The cell of value among the edges b[0..n]: the smallest k with
// value < b[k + 1]; at or above b[n] the last cell, n - 1. 0 without cells.
int Locate(double value, std::span<const double> bounds);

// ---- The dot inside a cell ------------------------------------------------------

// A cell as the grids draw it: its left (top) edge and its right (bottom)
// edge, the latter one past the last pixel.
struct Span {
    int from = 0;
    int to = 0;
};

// One coordinate of the dot: the cell's first edge stands for lo, its middle
// for the breakpoint c at the cell's centre, its far edge for hi; a value at
// or above hi lies on the far edge. Between two equal values that bound a
// half cell the dot stands at the cell's middle. Truncated toward zero.
int DotAlong(double value, double lo, double c, double hi, Span cell);

// A grid's cells: (col, row) at col x (width + 1), row x (height + 1).
struct CellSize {
    int width = 0;
    int height = 0;
};
QRect CellRect(CellSize cells, int col, int row);
// The area repainted for a dot picture centred on p: the picture's rectangle
// grown by one pixel on every side.
QRect DotArea(QPoint p, QSize picture);

// ---- What the trackers ask to repaint -------------------------------------------

enum class Grid {
    MapK,
    PressPassaggio,
    Emissioni,
    Anticipo,
    Filtro,
    Sgancio,
    TempGas,
    TempRid,
    PressDiff,
    PressColl,
    Variatore
};

// A cell (col, row) of a grid, or an area of it in grid pixels.
struct Dirty {
    Grid grid = Grid::MapK;
    int col = -1; // -1: area
    int row = -1;
    QRect area;

    static Dirty Cell(Grid g, int col, int row) { return {g, col, row, {}}; }
    static Dirty Area(Grid g, QRect r) { return {g, -1, -1, r}; }
    bool IsCell() const { return col >= 0; }
    bool operator==(const Dirty&) const = default;
};
using Repaint = std::vector<Dirty>;

// ---- Trackers ---------------------------------------------------------------------

// Map K: the cell of (rpm, petrol time) and the dot over DrawGridK. The same
// point, placed again, is placed only on the 51st unchanged tick.
struct MapKTracker {
    static constexpr int kRepaintThreshold = 50;
    std::vector<double> columnBounds{0, 1000}; // rpm
    std::vector<double> rowBounds{0, 2.5};     // ms
    int column = 0;
    int row = 0;
    QPoint dot; // 0 on either axis: no dot
    std::uint32_t previousRpm = 0;
    double previousTime = 0;
    int repaintCounter = kRepaintThreshold;
};
struct MapKView {
    CellSize cells;
    bool reduced = false; // the 4 x 4 zone view: the cell is a ninth of its zone
    QSize dot;            // the dot picture's size
};
// rpmAxis(i) and timeAxis(i) are the map's breakpoints (GetRifGiriK,
// GetRifTempiK). DrawPressPassaggio's tracked column follows the row.
Repaint TrackMapKPoint(MapKTracker& t, std::uint32_t rpm, double petrolMs, const MapKView& view,
                       const Breakpoint& rpmAxis, const Breakpoint& timeAxis);

// A map with an rpm axis and a MAP axis (Emissioni, Filtro): the cell and
// its own dot.
struct MapTracker {
    std::vector<double> columnBounds{0, 1000}; // rpm
    std::vector<double> rowBounds{0, 0.5};     // bar
    int column = 0;
    int row = 0;
    QPoint dot;
    std::uint32_t previousRpm = 0;
    std::int32_t previousMap = 0; // hundredths of bar
};
// DrawGridEmissioni, with DrawGridAnticipo's column under the dot.
// Placed again only when the rpm or the MAP changed.
Repaint TrackEmissionPoint(MapTracker& t, std::uint32_t rpm, std::int32_t mapHundredths, CellSize cells, QSize dot,
                           const Breakpoint& rpmAxis, const Breakpoint& mapAxis);
// DrawGridFiltro (its columns are map K's), with DrawGridSgancio's column;
// only a change of the MAP is remembered, so it places the point on every
// tick of a running engine. The repainted area is a 20/3-pixel square.
Repaint TrackFilterPoint(MapTracker& t, std::uint32_t rpm, std::int32_t mapHundredths, CellSize cells,
                         const Breakpoint& rpmAxis, const Breakpoint& mapAxis);

// The temperature corrections: the column of DrawGridTempGas (or
// DrawGridTempRid) for a sensor count. Columns 1..8 show the breakpoints in
// falling element order (column c is element 9 - c), column 9 is "beyond".
struct TemperatureTracker {
    int column = 0;
    std::int32_t previousRaw = 0;
};
// celsius converts a sensor count; breakpoint(i) is element i (1..8).
Repaint TrackTemperatureColumn(TemperatureTracker& t, Grid grid, std::int32_t raw,
                               const std::function<double(std::int32_t)>& celsius, const Breakpoint& breakpoint);
// The gas temperature (its sensor table, GetRifMot) and the reducer's (the
// engine sensor table, GetRifTemperatura).
inline Repaint TrackTempGasColumn(TemperatureTracker& t, std::int32_t raw,
                                  const std::function<double(std::int32_t)>& celsius, const Breakpoint& rifMot)
{
    return TrackTemperatureColumn(t, Grid::TempGas, raw, celsius, rifMot);
}
inline Repaint TrackTempRidColumn(TemperatureTracker& t, std::int32_t raw,
                                  const std::function<double(std::int32_t)>& celsius, const Breakpoint& rifTemperatura)
{
    return TrackTemperatureColumn(t, Grid::TempRid, raw, celsius, rifTemperatura);
}

// A pressure correction curve (DrawGridPressDiff, DrawGridPressColl): its
// column among the 15 breakpoints, from the 14 midpoints.
struct PressureTracker {
    std::vector<double> bounds; // midpoints, bar
    int column = 0;
    std::int32_t previousPressure = 0; // hundredths of bar
};
Repaint TrackPressureColumn(PressureTracker& t, Grid grid, std::int32_t pressureHundredths);
// The gas pressure on DrawGridPressDiff, the MAP on DrawGridPressColl.
inline Repaint TrackPressDiffColumn(PressureTracker& t, std::int32_t gasPressureHundredths)
{
    return TrackPressureColumn(t, Grid::PressDiff, gasPressureHundredths);
}
inline Repaint TrackPressCollColumn(PressureTracker& t, std::int32_t mapHundredths)
{
    return TrackPressureColumn(t, Grid::PressColl, mapHundredths);
}

// The advance variator: the cell of (rpm, MAP) among its 8 rpm and 5 MAP
// breakpoints; the row is -1 without the MAP axis.
struct VariatorTracker {
    int column = 0;
    int row = -1;
    std::uint32_t previousRpm = 0;
    std::int32_t previousMap = 0;
};
Repaint TrackVariatorPoint(VariatorTracker& t, std::uint32_t rpm, std::int32_t mapHundredths, bool hasMapAxis,
                           const Breakpoint& rpmAxis, const Breakpoint& mapAxis);

} // namespace cfglive
