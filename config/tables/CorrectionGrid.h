#pragma once
// An owner-drawn grid of cells: it paints a plain background and grid lines
// and leaves each cell's look and text to its OnDrawCell handler. It keeps a
// current cell and a rectangular selection in the non-fixed part, moves them
// with the arrow keys (Shift extends) and the mouse, and hands Enter and
// double clicks to its handlers. Cells are never edited in place.
#include "config/tables_rules/TablesRules.h"

#include <QColor>
#include <QWidget>
#include <functional>

class QPainter;

class TCorrectionGrid : public QWidget {
    Q_OBJECT

public:
    enum DrawState { Selected = 1, Focused = 2, Fixed = 4 };

    explicit TCorrectionGrid(QWidget* parent = nullptr);

    // Size and fixed part; the current cell goes to the first non-fixed cell.
    void SetLayout(int rows, int cols, int fixedRows, int fixedCols);
    int RowCount() const { return rows_; }
    int ColCount() const { return cols_; }
    int FixedRows() const { return fixedRows_; }
    int FixedCols() const { return fixedCols_; }

    int Col() const { return col_; }
    int Row() const { return row_; }
    // The current cell, and the selection reduced to it.
    void SetCurrent(int col, int row);
    tables::Selection Selection() const;
    // A selection from the anchor cell to the current cell (col, row), kept
    // inside the non-fixed part.
    void SelectRange(int anchorCol, int anchorRow, int col, int row);

    int DefaultColWidth = 60;
    int DefaultRowHeight = 24;
    QColor FixedColor;   // light grey
    QColor Color;        // the grid's own background (the window colour)

    QRect CellRect(int col, int row) const;
    // The cell under a point of the grid, -1 for a coordinate outside.
    void MouseToCell(QPoint p, int& col, int& row) const;
    // Where the mouse was at the last press or double click.
    QPoint LastMouse() const { return lastMouse_; }

    // The painter while a cell is drawn.
    QPainter* Canvas() const { return canvas_; }

    std::function<void(int col, int row, const QRect& rect, int state)> OnDrawCell;
    std::function<void(int& key)> OnKeyPress;                     // characters (13: Enter)
    std::function<void()> OnDblClick;
    std::function<bool(int qtKey, Qt::KeyboardModifiers)> OnKeyDown; // true: handled

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent*) override { update(); }
    void focusOutEvent(QFocusEvent*) override { update(); }

private:
    void moveTo(int col, int row, bool extend);

    int rows_ = 1, cols_ = 1, fixedRows_ = 0, fixedCols_ = 0;
    int col_ = 0, row_ = 0;
    int anchorCol_ = 0, anchorRow_ = 0;
    QPoint lastMouse_;
    QPainter* canvas_ = nullptr;
};
