#include "LiveTracking.h"

#include <algorithm>
#include <cmath>

namespace cfglive {

namespace {

constexpr double kRpmBeyondLast = 1000;
// The Filtro grid repaints a square of 20 / 3 pixels around its point.
constexpr double kFilterHalfSquare = 20.0 / 3.0;

long long asInt(double v) { return static_cast<long long>(std::llround(v)); }

// The cell's edges in the grids' drawing: the far edge one past the last pixel.
Span across(const QRect& r) { return {r.left(), r.left() + r.width()}; }
Span down(const QRect& r) { return {r.top(), r.top() + r.height()}; }

double boundAt(const std::vector<double>& b, int i)
{
    return i >= 0 && i < static_cast<int>(b.size()) ? b[static_cast<std::size_t>(i)] : 0.0;
}

// A tracked column moved: the old and the new header cells of its grid.
Repaint moveColumn(int& tracked, Grid grid, int column)
{
    if (column == tracked)
        return {};
    Repaint out{Dirty::Cell(grid, tracked, 0), Dirty::Cell(grid, column, 0)};
    tracked = column;
    return out;
}

// The dot of a cell from its bounds and the breakpoints at its centre.
QPoint placeDot(double x, double y, int column, int row, const std::vector<double>& columnBounds,
                const std::vector<double>& rowBounds, double cx, double cy, const QRect& cell)
{
    return {DotAlong(x, boundAt(columnBounds, column), cx, boundAt(columnBounds, column + 1), across(cell)),
            DotAlong(y, boundAt(rowBounds, row), cy, boundAt(rowBounds, row + 1), down(cell))};
}

// An rpm and MAP map's cell and its dot, the grid's axes in row 0 and column 0.
void placeMapPoint(MapTracker& t, std::uint32_t rpm, std::int32_t mapHundredths, CellSize cells,
                   const Breakpoint& rpmAxis, const Breakpoint& mapAxis)
{
    const double bar = mapHundredths * 0.01;
    t.column = Locate(rpm, t.columnBounds);
    t.row = Locate(bar, t.rowBounds);
    t.dot = placeDot(rpm, bar, t.column, t.row, t.columnBounds, t.rowBounds, rpmAxis(t.column), mapAxis(t.row),
                     CellRect(cells, t.column + 1, t.row + 1));
}

} // namespace

// ---- Cell bounds ------------------------------------------------------------------

std::vector<double> RpmCellBounds(int count, const Breakpoint& rpm)
{
    const int n = std::max(count, 1);
    std::vector<double> b(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 1; i < n; ++i)
        b[static_cast<std::size_t>(i)] = static_cast<double>((asInt(rpm(i)) + asInt(rpm(i - 1))) >> 1);
    b[static_cast<std::size_t>(n)] = b[static_cast<std::size_t>(n) - 1] + kRpmBeyondLast;
    return b;
}

std::vector<double> RealCellBounds(int count, const Breakpoint& point, double beyondLast)
{
    const int n = std::max(count, 1);
    std::vector<double> b(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 1; i < n; ++i)
        b[static_cast<std::size_t>(i)] = (point(i) + point(i - 1)) * 0.5;
    b[static_cast<std::size_t>(n)] = b[static_cast<std::size_t>(n) - 1] + beyondLast;
    return b;
}

std::vector<double> Midpoints(int count, const Breakpoint& point)
{
    std::vector<double> b;
    for (int i = 0; i + 1 < count; ++i)
        b.push_back((point(i) + point(i + 1)) * 0.5);
    return b;
}

int Locate(double value, std::span<const double> bounds)
{
    const int n = static_cast<int>(bounds.size()) - 1;
    if (n < 1)
        return 0;
    for (int k = 0; k < n; ++k)
        if (value < bounds[static_cast<std::size_t>(k) + 1])
            return k;
    return n - 1;
}

// ---- The dot ----------------------------------------------------------------------

int DotAlong(double value, double lo, double c, double hi, Span cell)
{
    if (value >= hi)
        return cell.to;
    const int half = (cell.to - cell.from) / 2;
    double x = 0;
    if (value > c)
        x = hi == c ? cell.from + half : cell.from + half + (value - c) * half / (hi - c);
    else
        x = c == lo ? cell.from + half : cell.from + half * (value - lo) / (c - lo);
    return static_cast<int>(std::trunc(x));
}

QRect CellRect(CellSize cells, int col, int row)
{
    return {col * (cells.width + 1), row * (cells.height + 1), cells.width, cells.height};
}

QRect DotArea(QPoint p, QSize picture)
{
    return {p.x() - picture.width() / 2 - 1, p.y() - picture.height() / 2 - 1, picture.width() + 2,
            picture.height() + 2};
}

// ---- Trackers ---------------------------------------------------------------------

Repaint TrackMapKPoint(MapKTracker& t, std::uint32_t rpm, double petrolMs, const MapKView& view,
                       const Breakpoint& rpmAxis, const Breakpoint& timeAxis)
{
    if (rpm == t.previousRpm && petrolMs == t.previousTime && t.repaintCounter++ < MapKTracker::kRepaintThreshold)
        return {};
    t.previousRpm = rpm;
    t.previousTime = petrolMs;
    t.repaintCounter = 0;

    Repaint out;
    out.push_back(Dirty::Cell(Grid::PressPassaggio, t.row + 1, 0));
    if (!t.dot.isNull())
        out.push_back(Dirty::Area(Grid::MapK, DotArea(t.dot, view.dot)));

    t.column = Locate(rpm, t.columnBounds);
    t.row = Locate(petrolMs, t.rowBounds);
    QRect cell;
    if (view.reduced) {
        const QRect zone = CellRect(view.cells, t.column / 3, t.row / 3);
        const int w = zone.width() / 3;
        const int h = zone.height() / 3;
        cell = QRect(zone.left() + (t.column % 3) * w, zone.top() + (t.row % 3) * h, w, h);
    } else {
        cell = CellRect(view.cells, t.column + 1, t.row + 1);
    }
    t.dot =
        placeDot(rpm, petrolMs, t.column, t.row, t.columnBounds, t.rowBounds, rpmAxis(t.column), timeAxis(t.row), cell);

    out.push_back(Dirty::Area(Grid::MapK, DotArea(t.dot, view.dot)));
    out.push_back(Dirty::Cell(Grid::PressPassaggio, t.row + 1, 0));
    return out;
}

Repaint TrackEmissionPoint(MapTracker& t, std::uint32_t rpm, std::int32_t mapHundredths, CellSize cells, QSize dot,
                           const Breakpoint& rpmAxis, const Breakpoint& mapAxis)
{
    if (rpm == t.previousRpm && mapHundredths == t.previousMap)
        return {};
    Repaint out;
    if (!t.dot.isNull())
        out.push_back(Dirty::Area(Grid::Emissioni, DotArea(t.dot, dot)));
    out.push_back(Dirty::Cell(Grid::Anticipo, t.column + 1, 0));
    t.previousRpm = rpm;
    t.previousMap = mapHundredths;

    placeMapPoint(t, rpm, mapHundredths, cells, rpmAxis, mapAxis);

    out.push_back(Dirty::Area(Grid::Emissioni, DotArea(t.dot, dot)));
    out.push_back(Dirty::Cell(Grid::Anticipo, t.column + 1, 0));
    return out;
}

Repaint TrackFilterPoint(MapTracker& t, std::uint32_t rpm, std::int32_t mapHundredths, CellSize cells,
                         const Breakpoint& rpmAxis, const Breakpoint& mapAxis)
{
    if (rpm == t.previousRpm && mapHundredths == t.previousMap)
        return {};
    const auto square = [](QPoint p) {
        const QPoint from(static_cast<int>(std::trunc(p.x() - kFilterHalfSquare)),
                          static_cast<int>(std::trunc(p.y() - kFilterHalfSquare)));
        const QPoint to(static_cast<int>(std::trunc(p.x() + kFilterHalfSquare)),
                        static_cast<int>(std::trunc(p.y() + kFilterHalfSquare)));
        return QRect(from, to);
    };
    Repaint out;
    if (!t.dot.isNull())
        out.push_back(Dirty::Area(Grid::Filtro, square(t.dot)));
    out.push_back(Dirty::Cell(Grid::Sgancio, t.column + 1, 1));
    t.previousMap = mapHundredths;

    placeMapPoint(t, rpm, mapHundredths, cells, rpmAxis, mapAxis);

    out.push_back(Dirty::Area(Grid::Filtro, square(t.dot)));
    out.push_back(Dirty::Cell(Grid::Sgancio, t.column + 1, 1));
    return out;
}

Repaint TrackTemperatureColumn(TemperatureTracker& t, Grid grid, std::int32_t raw,
                               const std::function<double(std::int32_t)>& celsius, const Breakpoint& breakpoint)
{
    if (raw == t.previousRaw)
        return {};
    t.previousRaw = raw;
    const double degrees = std::trunc(celsius(raw));
    int column = 9;
    if (!(breakpoint(1) < degrees)) {
        for (int p = 1; p <= 8; ++p) {
            if (breakpoint(9 - p) >= degrees) {
                column = p;
                break;
            }
        }
    }
    return moveColumn(t.column, grid, column);
}

Repaint TrackPressureColumn(PressureTracker& t, Grid grid, std::int32_t pressureHundredths)
{
    if (pressureHundredths == t.previousPressure)
        return {};
    t.previousPressure = pressureHundredths;
    const double bar = pressureHundredths * 0.01;
    const int n = static_cast<int>(t.bounds.size());
    int column = n;
    for (int p = 0; p < n; ++p) {
        if (bar < t.bounds[static_cast<std::size_t>(p)]) {
            column = p;
            break;
        }
    }
    return moveColumn(t.column, grid, column);
}

Repaint TrackVariatorPoint(VariatorTracker& t, std::uint32_t rpm, std::int32_t mapHundredths, bool hasMapAxis,
                           const Breakpoint& rpmAxis, const Breakpoint& mapAxis)
{
    if (rpm == t.previousRpm && mapHundredths == t.previousMap)
        return {};
    t.previousRpm = rpm;
    t.previousMap = mapHundredths;
    const auto rpmEdge = [&rpmAxis](int p) {
        return static_cast<double>((asInt(rpmAxis(p + 1)) + asInt(rpmAxis(p))) >> 1);
    };
    int column = 7;
    if (rpm < rpmEdge(6)) {
        for (int p = 0; p < 7; ++p) {
            if (rpm < rpmEdge(p)) {
                column = p;
                break;
            }
        }
    }
    int row = -1;
    if (hasMapAxis) {
        const double bar = mapHundredths * 0.01;
        row = 4;
        if (bar < (mapAxis(3) + mapAxis(4)) * 0.5) {
            for (int q = 0; q < 4; ++q) {
                if (bar < (mapAxis(q) + mapAxis(q + 1)) * 0.5) {
                    row = q;
                    break;
                }
            }
        }
    }
    if (column == t.column && row == t.row)
        return {};
    Repaint out{Dirty::Cell(Grid::Variatore, t.column + 1, t.row + 1),
                Dirty::Cell(Grid::Variatore, column + 1, row + 1)};
    t.column = column;
    t.row = row;
    return out;
}

} // namespace cfglive
