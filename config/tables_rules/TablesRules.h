#pragma once
// The correction-table grids of the configuration window without a window:
// which grid shows what, the texts of their cells, what an edit may start on
// and the loop that writes an edit through the data module's accessors.
#include <QChar>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

class TStreamDati;

namespace tables {

enum class GridId { PressDiff, TempGas, TempRid, Emissioni, Anticipo, Variatore, PressPassaggio, DelayGasTemp };
enum class Page { Correzioni, Emissioni, Variatore };

struct GridSpec {
    GridId id;
    const char* name; // the grid's object name
    Page page;
    int rows;         // the variator's row count without its MAP axis
    int cols;
    int fixedRows;
    int fixedCols;
};

// Every correction-table grid, in this order.
std::span<const GridSpec> GridTable();
const GridSpec& GridSpecOf(GridId id);

// Bit 7 of the lambda type (item 0x4): the emission references are signed
// whole numbers instead of volts.
bool TipoDiLambdaBit7(const TStreamDati& d);
// The variator with its MAP axis (the ECU has item 0x512d).
bool VariatorHasMapAxis(const TStreamDati& d);
// Rows of a grid as the data module stands (the variator has 2 or 6).
int RowCount(const TStreamDati& d, GridId id);

// A cell's text. text(n) gives string n in the current language.
using TextFn = std::function<QString(int)>;
QString CellText(const TStreamDati& d, GridId id, int col, int row, const TextFn& text, QChar separator);

// Strictly increasing axis: n may replace point k of `points` when it lies
// above the point before and below the point after (where they exist).
bool BreakpointFits(std::span<const double> points, int k, double n);

// The new value of a cell from the dialog's value v and mode m (0 set,
// 1 add, 2 by a percentage); `truncate` truncates the percentage result.
// Set mode is the caller's (it differs by grid).
double Varied(double old, double v, int mode, bool truncate);

// What an edit started on the current cell opens: the dialog's number kind
// and its pre-fill; none when the grid refuses to edit from that cell.
struct EditSetup {
    bool real = false;
    double prefill = 0;
};
std::optional<EditSetup> EditSetupAt(const TStreamDati& d, GridId id, int col, int row);

// A selection as the grid holds it (columns left..right, rows top..bottom).
struct Selection {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Writes an edit: every value the grid's edit visits, from the current cell
// (col, row), the selection and the dialog's answers. Each new value is kept
// within what its setter can store (TableLimits.h) before an axis compares
// it with its neighbours. `axisWritten` runs
// after each breakpoint of the differential-pressure axis is written.
void ApplyEdit(TStreamDati& d, GridId id, int col, int row, const Selection& sel, double value, int mode,
               const std::function<void()>& axisWritten = {});

// What a double click on cell (col, row) (-1 outside) does.
enum class ClickAction { Nothing, Edit, CellCentres };
ClickAction DoubleClickAction(GridId id, int col, int row);

// The live tracker's marks that the grids paint (-1: none; the dot is drawn
// only when both its coordinates are non-zero).
struct TrackedCells {
    int PressDiffColumn = -1;
    int TempGasColumn = -1;
    int TempRidColumn = -1;
    int VariatorColumn = -1;
    int VariatorRow = -1;
    int MapKRow = -1;
    int OperatingPointX = 0;
    int OperatingPointY = 0;
};
// The tracked breakpoint column of a grid (row 0), -1 when it tracks none.
int TrackedColumn(GridId id, const TrackedCells& t);

} // namespace tables
