#include "CorrectionGrid.h"

#include "plat/Colors.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

TCorrectionGrid::TCorrectionGrid(QWidget* parent)
    : QWidget(parent), FixedColor(plat::FromTColor(14671839)), Color(plat::FromTColor(0xFF000005))
{
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted by the cells.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCorrectionGrid::SetLayout(int rows, int cols, int fixedRows, int fixedCols)
{
    rows_ = std::max(rows, 1);
    cols_ = std::max(cols, 1);
    fixedRows_ = std::clamp(fixedRows, 0, rows_ - 1);
    fixedCols_ = std::clamp(fixedCols, 0, cols_ - 1);
    SetCurrent(fixedCols_, fixedRows_);
    updateGeometry();
}

void TCorrectionGrid::SetCurrent(int col, int row)
{
    col_ = anchorCol_ = std::clamp(col, fixedCols_, cols_ - 1);
    row_ = anchorRow_ = std::clamp(row, fixedRows_, rows_ - 1);
    update();
}

tables::Selection TCorrectionGrid::Selection() const
{
    return {std::min(col_, anchorCol_), std::min(row_, anchorRow_), std::max(col_, anchorCol_),
            std::max(row_, anchorRow_)};
}

void TCorrectionGrid::SelectRange(int anchorCol, int anchorRow, int col, int row)
{
    SetCurrent(anchorCol, anchorRow);
    moveTo(col, row, true);
}

QRect TCorrectionGrid::CellRect(int col, int row) const
{
    return {col * (DefaultColWidth + 1), row * (DefaultRowHeight + 1), DefaultColWidth, DefaultRowHeight};
}

void TCorrectionGrid::MouseToCell(QPoint p, int& col, int& row) const
{
    col = p.x() >= 0 ? p.x() / (DefaultColWidth + 1) : -1;
    row = p.y() >= 0 ? p.y() / (DefaultRowHeight + 1) : -1;
    if (col >= cols_)
        col = -1;
    if (row >= rows_)
        row = -1;
}

QSize TCorrectionGrid::sizeHint() const
{
    return {cols_ * (DefaultColWidth + 1), rows_ * (DefaultRowHeight + 1)};
}

void TCorrectionGrid::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    const QRect dirty = e->rect();
    p.fillRect(dirty, palette().color(QPalette::Mid));
    const auto sel = Selection();
    // Only the cells the repaint reaches.
    const int firstCol = std::max(0, dirty.left() / (DefaultColWidth + 1));
    const int lastCol = std::min(cols_ - 1, dirty.right() / (DefaultColWidth + 1));
    const int firstRow = std::max(0, dirty.top() / (DefaultRowHeight + 1));
    const int lastRow = std::min(rows_ - 1, dirty.bottom() / (DefaultRowHeight + 1));
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstCol; c <= lastCol; ++c) {
            const QRect cell = CellRect(c, r);
            const bool fixed = r < fixedRows_ || c < fixedCols_;
            int state = fixed ? Fixed : 0;
            if (!fixed && c >= sel.left && c <= sel.right && r >= sel.top && r <= sel.bottom)
                state |= Selected;
            if (!fixed && c == col_ && r == row_)
                state |= Focused;
            p.save();
            p.fillRect(cell, fixed ? FixedColor : Color);
            p.setPen(palette().color(QPalette::WindowText));
            canvas_ = &p;
            if (OnDrawCell)
                OnDrawCell(c, r, cell, state);
            canvas_ = nullptr;
            p.restore();
        }
    }
}

void TCorrectionGrid::moveTo(int col, int row, bool extend)
{
    col_ = std::clamp(col, fixedCols_, cols_ - 1);
    row_ = std::clamp(row, fixedRows_, rows_ - 1);
    if (!extend) {
        anchorCol_ = col_;
        anchorRow_ = row_;
    }
    update();
}

void TCorrectionGrid::keyPressEvent(QKeyEvent* e)
{
    if (OnKeyDown && OnKeyDown(e->key(), e->modifiers()))
        return;
    const bool extend = e->modifiers() & Qt::ShiftModifier;
    switch (e->key()) {
    case Qt::Key_Left: moveTo(col_ - 1, row_, extend); return;
    case Qt::Key_Right: moveTo(col_ + 1, row_, extend); return;
    case Qt::Key_Up: moveTo(col_, row_ - 1, extend); return;
    case Qt::Key_Down: moveTo(col_, row_ + 1, extend); return;
    case Qt::Key_Home: moveTo(fixedCols_, row_, extend); return;
    case Qt::Key_End: moveTo(cols_ - 1, row_, extend); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        int key = 13;
        if (OnKeyPress)
            OnKeyPress(key);
        return;
    }
    default:
        break;
    }
    const QString t = e->text();
    if (t.size() == 1 && OnKeyPress) {
        int key = t.at(0).unicode();
        OnKeyPress(key);
        return;
    }
    QWidget::keyPressEvent(e);
}

void TCorrectionGrid::mousePressEvent(QMouseEvent* e)
{
    lastMouse_ = e->position().toPoint();
    if (e->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    int c = 0, r = 0;
    MouseToCell(lastMouse_, c, r);
    if (c >= fixedCols_ && r >= fixedRows_)
        moveTo(c, r, e->modifiers() & Qt::ShiftModifier);
}

void TCorrectionGrid::mouseMoveEvent(QMouseEvent* e)
{
    if (!(e->buttons() & Qt::LeftButton))
        return;
    int c = 0, r = 0;
    MouseToCell(e->position().toPoint(), c, r);
    if (c >= fixedCols_ && r >= fixedRows_)
        moveTo(c, r, true);
}

void TCorrectionGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    lastMouse_ = e->position().toPoint();
    if (e->button() == Qt::LeftButton && OnDblClick)
        OnDblClick();
}
