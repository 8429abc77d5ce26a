#pragma once
// DrawGridK: the owner-drawn grid of the Mappa page. It shows map K, the OBD
// target map or the reduced 4 x 4 zone map, changes a selected rectangle
// through the cell-variation dialog, opens the breakpoints dialog from an
// axis cell and copies and pastes blocks as text.
#include "config/mapk_rules/MapKRules.h"

#include <QPixmap>
#include <QWidget>
#include <functional>

class QAction;
class QMenu;
class QPainter;
class QTimer;
class TFormModificaMappa;
class TFormCentriCelleK;

// The keyboard rule of the window's grids: Up on the first data row (or Down
// on the last row) without Shift moves the focus to the previous (next)
// focusable control of the grid's container. True when the focus moved.
bool GridKeyDownLeaves(QWidget* grid, int key, Qt::KeyboardModifiers modifiers, int row, int firstDataRow,
                       int rowCount);

class DrawGridK : public QWidget {
    Q_OBJECT

public:
    enum CellState { Fixed = 1, Focused = 2, Selected = 4 };

    explicit DrawGridK(QWidget* parent = nullptr);

    // Wiring by the window.
    void SetModificaMappa(TFormModificaMappa* dialog) { modifica_ = dialog; }
    void SetTimerDati(QTimer* timer) { timerDati_ = timer; }
    using BreakpointsRunner = std::function<int(TFormCentriCelleK&)>;
    // How the breakpoints dialog is shown (exec() unless replaced).
    void SetBreakpointsRunner(BreakpointsRunner runner) { breakpointsRunner_ = std::move(runner); }

    // The view switch (the radio buttons): shape, font size, cell sizes.
    void RadioMapClick(mapk::View view);
    mapk::View View() const { return view_; }
    // Default column width and row height from the client size, then the
    // client size made to fit the cells exactly.
    void FitCells();
    // Font size of the grid in a view for the connected ECU type.
    static int FontSizeFor(mapk::View view, int ecuType);

    int RowCount() const { return shape_.rows; }
    int ColCount() const { return shape_.cols; }
    int FixedRows() const { return shape_.fixedRows; }
    int FixedCols() const { return shape_.fixedCols; }
    int DefaultColWidth() const { return colWidth_; }
    int DefaultRowHeight() const { return rowHeight_; }
    int Col() const { return current_.col; }
    int Row() const { return current_.row; }
    // Selection in grid cells (inclusive).
    struct Rect {
        int left = 0, top = 0, right = 0, bottom = 0;
        bool operator==(const Rect&) const = default;
    };
    Rect Selection() const { return selection_; }
    void SetSelection(Rect r);
    QRect CellRect(int col, int row) const;
    // The grid cell at a point; -1 on a coordinate outside the cells.
    mapk::Cell MouseToCell(QPoint p) const;

    // Live operating point in grid pixels; 0 in either means no dot.
    int OperatingPointX = 0;
    int OperatingPointY = 0;
    // The dot's picture (ImagePallino's), drawn centred on the point.
    void SetDotPicture(const QPixmap& picture);
    QSize DotSize() const;

    // Handlers the window forwards to.
    void DrawGridKDrawCell(QPainter& painter, int col, int row, const QRect& rect, int state);
    void DrawGridKKeyPress(QChar key);
    void DrawGridKDblClick(QPoint pos);
    bool DrawGridKKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void EditGridKCells();
    void EditGridKObdTargetCells();
    void EditGridKReducedCells();
    // Opens the breakpoints dialog (an axis cell, the titles "Giri" and "Tempo").
    void EditBreakpoints();

    // Clipboard: the grid's pop-up menu and its two items (Ctrl+C and
    // Ctrl+V while the grid has the focus).
    QMenu* PopupMenuGrid = nullptr;
    QAction* MenuCopia = nullptr;
    QAction* MenuIncolla = nullptr;
    QString CopyText() const;
    enum class PasteOutcome { Written, Declined, Nothing };
    // Pastes a block from its top-left cell: a cell text that is not a whole
    // number leaves its cell as it is; a text without a line does nothing.
    PasteOutcome PasteText(const QString& text);
    void MenuCopiaTaraturaClick();
    void MenuIncollaTaraturaClick();
    // OnPopup of the menu: "Incolla" is enabled exactly when the clipboard
    // holds text. Answers whether it is.
    bool PopupMenuGridPopup();

    // The cell text in the current view.
    QString CellText(int col, int row) const;

signals:
    // A map-K or zone edit: the window clears CheckAutotaratura.
    void AutotaraturaCleared();
    // After the breakpoints dialog: the window rebuilds the tracker's bounds.
    void BreakpointsDialogClosed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    template <class Apply> void editCells(int preFill, int presetMode, Apply apply, bool clearsAutotaratura);
    bool askVariation(int& value, int& mode, int preFill, int presetMode);
    void moveCurrent(int col, int row, bool extend);
    void clampToData();

    mapk::View view_ = mapk::View::Extended;
    mapk::GridShape shape_{13, 13, 1, 1};
    int colWidth_ = 40;
    int rowHeight_ = 20;
    mapk::Cell current_{1, 1};
    mapk::Cell anchor_{1, 1};
    Rect selection_{1, 1, 1, 1};
    TFormModificaMappa* modifica_ = nullptr;
    TFormModificaMappa* ownDialog_ = nullptr;
    QTimer* timerDati_ = nullptr;
    BreakpointsRunner breakpointsRunner_;
    QPixmap dot_;
};
