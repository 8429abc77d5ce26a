#pragma once
// The rules behind the map-K grid, free of any window: which data cell a grid
// cell shows in each view, how values and axes are written, how a variation
// answer changes a cell, the breakpoint order check and the clipboard text.
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mapk {

// The three things the grid can show (radio buttons "mappa estesa",
// "target obd", "mappa ridotta").
enum class View { Extended, TargetObd, Reduced };

// Modes of the cell-variation dialog.
enum Mode : int { ModeSet = 0, ModeAdd = 1, ModePercent = 2 };

struct Cell {
    int row = 0;
    int col = 0;
    bool operator==(const Cell&) const = default;
};

struct GridShape {
    int rows = 0;
    int cols = 0;
    int fixedRows = 0;
    int fixedCols = 0;
    bool operator==(const GridShape&) const = default;
};

// Rows, columns and fixed lines of the grid in a view.
GridShape ShapeOf(View view, int numeroRighe, int numeroColonne);

// The data cell under grid cell (row, col); none for an axis cell.
std::optional<Cell> DataCellOf(View view, Cell grid);
// The grid cell that shows a data cell.
Cell GridCellOf(View view, Cell data);

// The text of a value ("%u" for map K, "%i" for the others).
QString FormatCellValue(View view, std::int32_t value);
// An rpm breakpoint, shown rounded down to a multiple of 10.
QString FormatRpmAxis(std::int32_t rpm);
// An injection-time breakpoint: rounded to 3 significant digits, shown with
// 2 decimals and the given decimal separator.
QString FormatTimeAxis(long double ms, QChar decimalSeparator);
// A whole number in plain decimal (no locale).
QString FormatInt(long long value);
// A real number written with the given decimal separator (no blanks, no
// thousands separators).
std::optional<double> ParseReal(QStringView text, QChar decimalSeparator);

// What a variation answer (value v, mode m) makes of one cell, worked out in
// 64 bits (the percentage in long double) and held within the item's range
// before it becomes a cell value.
inline constexpr std::int32_t kMapKMin = 0, kMapKMax = 255;
inline constexpr std::int32_t kTargetObdMin = -8, kTargetObdMax = 7;
// Map K: 0..255 (the setter would store a negative result as 255, the
// richest coefficient).
std::int32_t ExtendedCellValue(std::int32_t old, std::int32_t v, int mode);
// OBD target: -8..7.
std::int32_t TargetObdCellValue(std::int32_t old, std::int32_t v, int mode);
// Reduced view: the shift of the zone, so that old + shift lies in -50..50.
std::int32_t ReducedZoneShift(std::int32_t old, std::int32_t v, int mode);
// A pasted map-K value, held within 0..255 like a computed one.
std::int32_t MapKValue(long long v);

// Truncation toward zero of a real into the 32-bit range (NaN gives 0).
std::int32_t TruncSaturated(long double x);

// The index k - 1 of the first pair (k - 1, k) that does not increase
// strictly, or -1 when the whole series increases.
int FirstNotIncreasing(const std::vector<double>& points);

// ---- Clipboard text ----------------------------------------------------------

// Cells separated by a tab, rows by CR LF, nothing after the last ones.
QString FormatBlock(const std::vector<std::vector<QString>>& rows);

// A parsed block: rows x cols cells; an empty optional leaves the cell as it
// is (a cell text that is not a whole number, or a cell a short line does not
// reach).
struct PasteBlock {
    int rows = 0;
    int cols = 0;
    std::vector<std::vector<std::optional<std::int32_t>>> cells;
};

// Lines end with CR, LF or both; the columns are 1 + the tabs of the first
// line. In each line every column but the last takes the text before the next
// tab (empty when no tab is left); the last column takes the rest of the line.
// None for a text without a line.
std::optional<PasteBlock> ParseBlock(QStringView text);

// A whole decimal number with an optional sign and no blanks, in 32 bits.
std::optional<std::int32_t> ParseInt(QStringView text);

// The key filter of the cell dialog's value box: the character to insert,
// or none when it is dropped. selStart is the caret (or the selection's
// start), selected the selected text.
std::optional<QChar> FilterDataKey(QChar key, const QString& text, int selStart, const QString& selected, bool real,
                                   QChar decimalSeparator, QChar thousandsSeparator);

} // namespace mapk
