#include "DrawGridK.h"

#include "FormCentriCelleK.h"
#include "FormModificaMappa.h"
#include "complib/numbers/NumberText.h"
#include "complib/translator/Translator.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"
#include "windowkit/WindowText.h"

#include "plat/Colors.h"
#include "plat/Prompts.h"
#include "plat/Services.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

namespace {

constexpr std::uint32_t kFixedColour = 14671839;
constexpr std::uint32_t kActiveColour = 11119017;
constexpr std::uint32_t kObdColour = 11468799;
constexpr int kTextCopia = 83;
constexpr int kTextIncolla = 84;
constexpr int kTextPasteSizes = 180; // "Le aree di copia ed incolla hanno dimensioni diverse."
constexpr int kTextContinue = 181;   // "Continuare?"

// The map-K row that the grid does not show, kept equal to the last shown one.
constexpr int kLastShownRow = 11;
constexpr int kHiddenRow = 12;

} // namespace

bool GridKeyDownLeaves(QWidget* grid, int key, Qt::KeyboardModifiers modifiers, int row, int firstDataRow, int rowCount)
{
    if (modifiers & Qt::ShiftModifier)
        return false;
    const bool up = key == Qt::Key_Up && row == firstDataRow;
    const bool down = key == Qt::Key_Down && row == rowCount - 1;
    if (!up && !down)
        return false;
    QWidget* w = grid;
    for (int guard = 0; guard < 10000; ++guard) {
        w = up ? w->previousInFocusChain() : w->nextInFocusChain();
        if (!w || w == grid)
            return false;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(w->window())
            && w->parentWidget() == grid->parentWidget()) {
            w->setFocus(up ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            return true;
        }
    }
    return false;
}

DrawGridK::DrawGridK(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DrawGridK"));
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted by the cells.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont f(QStringLiteral("Tahoma"));
    f.setBold(true);
    f.setPointSize(12);
    setFont(f);

    PopupMenuGrid = new QMenu(this);
    PopupMenuGrid->setObjectName(QStringLiteral("PopupMenuGrid"));
    MenuCopia = PopupMenuGrid->addAction(wkit::Text(kTextCopia), this, &DrawGridK::MenuCopiaTaraturaClick);
    MenuCopia->setObjectName(QStringLiteral("MenuCopia"));
    MenuCopia->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    MenuIncolla = PopupMenuGrid->addAction(wkit::Text(kTextIncolla), this, &DrawGridK::MenuIncollaTaraturaClick);
    MenuIncolla->setObjectName(QStringLiteral("MenuIncolla"));
    MenuIncolla->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    for (QAction* a : {MenuCopia, MenuIncolla}) {
        a->setShortcutContext(Qt::WidgetShortcut);
        addAction(a);
    }
    connect(PopupMenuGrid, &QMenu::aboutToShow, this, [this] { PopupMenuGridPopup(); });
}

void DrawGridK::SetDotPicture(const QPixmap& picture)
{
    dot_ = picture;
    if (OperatingPointX != 0 && OperatingPointY != 0)
        update();
}

QSize DrawGridK::DotSize() const { return dot_.isNull() ? QSize(10, 10) : dot_.deviceIndependentSize().toSize(); }

int DrawGridK::FontSizeFor(mapk::View view, int ecuType)
{
    if (view == mapk::View::Reduced)
        return 26;
    return ecuType == qz::ECU_TYPE_4CIL_OBD || ecuType == qz::ECU_TYPE_8CIL_OBD ? 10 : 12;
}

void DrawGridK::RadioMapClick(mapk::View view)
{
    view_ = view;
    shape_ = mapk::ShapeOf(view, StreamDati ? StreamDati->GetNumeroRighe() : 12,
                           StreamDati ? StreamDati->GetNumeroColonne() : 12);
    QFont f = font();
    f.setPointSize(FontSizeFor(view, StreamDati ? StreamDati->EcuInfo.EcuType : 0));
    setFont(f);
    clampToData();
    FitCells();
    update();
}

void DrawGridK::FitCells()
{
    colWidth_ = std::max(1, width() / shape_.cols - 1);
    rowHeight_ = std::max(1, height() / shape_.rows - 1);
    resize((colWidth_ + 1) * shape_.cols, (rowHeight_ + 1) * shape_.rows);
}

void DrawGridK::clampToData()
{
    const auto clampCell = [this](mapk::Cell c) {
        return mapk::Cell{std::clamp(c.row, shape_.fixedRows, shape_.rows - 1),
                          std::clamp(c.col, shape_.fixedCols, shape_.cols - 1)};
    };
    current_ = clampCell(current_);
    anchor_ = clampCell(anchor_);
    const auto tl = clampCell({selection_.top, selection_.left});
    const auto br = clampCell({selection_.bottom, selection_.right});
    selection_ = {tl.col, tl.row, br.col, br.row};
}

void DrawGridK::SetSelection(Rect r)
{
    selection_ = r;
    current_ = {r.top, r.left};
    anchor_ = current_;
    clampToData();
    update();
}

QRect DrawGridK::CellRect(int col, int row) const
{
    return {col * (colWidth_ + 1), row * (rowHeight_ + 1), colWidth_, rowHeight_};
}

mapk::Cell DrawGridK::MouseToCell(QPoint p) const
{
    const int col = p.x() >= 0 ? p.x() / (colWidth_ + 1) : -1;
    const int row = p.y() >= 0 ? p.y() / (rowHeight_ + 1) : -1;
    return {row < shape_.rows ? row : -1, col < shape_.cols ? col : -1};
}

QString DrawGridK::CellText(int col, int row) const
{
    if (!StreamDati)
        return {};
    if (view_ != mapk::View::Reduced) {
        if (col == 0 && row == 0)
            return QStringLiteral("inj");
        if (row == 0)
            return mapk::FormatRpmAxis(StreamDati->GetRifGiriK(col - 1));
        if (col == 0)
            return mapk::FormatTimeAxis(StreamDati->GetRifTempiK(row - 1), complib::DecimalSeparator());
    }
    const auto data = mapk::DataCellOf(view_, {row, col});
    switch (view_) {
    case mapk::View::Extended: return mapk::FormatCellValue(view_, StreamDati->GetMappaK(data->row, data->col));
    case mapk::View::TargetObd: return mapk::FormatCellValue(view_, StreamDati->GetTargetObd(data->row, data->col));
    case mapk::View::Reduced:
        return mapk::FormatCellValue(view_, StreamDati->GetMappaCorrAutotaratura(data->row, data->col));
    }
    return {};
}

void DrawGridK::DrawGridKDrawCell(QPainter& painter, int col, int row, const QRect& rect, int state)
{
    const bool active = hasFocus();
    const QColor plain = view_ == mapk::View::TargetObd ? plat::FromTColor(kObdColour) : palette().color(QPalette::Base);
    QColor fill = plain;
    QColor ink = palette().color(QPalette::Text);
    if (state & Fixed) {
        fill = plat::FromTColor(kFixedColour);
        ink = Qt::black;
    } else if ((state & (Focused | Selected)) && active) {
        // Only a grid that holds the focus marks its current cell and its
        // selection; otherwise they look like every other cell of the view.
        fill = plat::FromTColor(kActiveColour);
        ink = Qt::black;
    }
    painter.fillRect(rect, fill);
    painter.setPen(ink);
    painter.drawText(rect, Qt::AlignCenter, CellText(col, row));
}

void DrawGridK::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect dirty = event->rect();
    p.fillRect(dirty, palette().color(QPalette::Mid));
    p.setFont(font());
    // Only the cells the repaint reaches.
    const int firstCol = std::max(0, dirty.left() / (colWidth_ + 1));
    const int lastCol = std::min(shape_.cols - 1, dirty.right() / (colWidth_ + 1));
    const int firstRow = std::max(0, dirty.top() / (rowHeight_ + 1));
    const int lastRow = std::min(shape_.rows - 1, dirty.bottom() / (rowHeight_ + 1));
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstCol; c <= lastCol; ++c) {
            int state = 0;
            if (r < shape_.fixedRows || c < shape_.fixedCols)
                state |= Fixed;
            else {
                if (r == current_.row && c == current_.col)
                    state |= Focused;
                if (c >= selection_.left && c <= selection_.right && r >= selection_.top && r <= selection_.bottom)
                    state |= Selected;
            }
            DrawGridKDrawCell(p, c, r, CellRect(c, r), state);
        }
    }
    // The operating point goes over the cells, whichever of them were painted.
    if (OperatingPointX != 0 && OperatingPointY != 0) {
        const QPoint at(OperatingPointX, OperatingPointY);
        if (!dot_.isNull()) {
            const QSize size = DotSize();
            p.drawPixmap(at - QPoint(size.width() / 2, size.height() / 2), dot_);
        } else {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::black);
            p.setBrush(Qt::red);
            p.drawEllipse(at, 5, 5);
        }
    }
}

void DrawGridK::moveCurrent(int col, int row, bool extend)
{
    current_ = {std::clamp(row, shape_.fixedRows, shape_.rows - 1), std::clamp(col, shape_.fixedCols, shape_.cols - 1)};
    if (!extend)
        anchor_ = current_;
    selection_ = {std::min(anchor_.col, current_.col), std::min(anchor_.row, current_.row),
                  std::max(anchor_.col, current_.col), std::max(anchor_.row, current_.row)};
    update();
}

bool DrawGridK::DrawGridKKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    return GridKeyDownLeaves(this, key, modifiers, current_.row, shape_.fixedRows, shape_.rows);
}

void DrawGridK::keyPressEvent(QKeyEvent* event)
{
    if (DrawGridKKeyDown(event->key(), event->modifiers()))
        return;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Up: moveCurrent(current_.col, current_.row - 1, extend); return;
    case Qt::Key_Down: moveCurrent(current_.col, current_.row + 1, extend); return;
    case Qt::Key_Left: moveCurrent(current_.col - 1, current_.row, extend); return;
    case Qt::Key_Right: moveCurrent(current_.col + 1, current_.row, extend); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: DrawGridKKeyPress(QChar(13)); return;
    default: QWidget::keyPressEvent(event);
    }
}

void DrawGridK::DrawGridKKeyPress(QChar key)
{
    if (key != QChar(13))
        return;
    switch (view_) {
    case mapk::View::Extended: EditGridKCells(); break;
    case mapk::View::TargetObd: EditGridKObdTargetCells(); break;
    case mapk::View::Reduced: EditGridKReducedCells(); break;
    }
}

void DrawGridK::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const auto cell = MouseToCell(event->position().toPoint());
    if (cell.row >= shape_.fixedRows && cell.col >= shape_.fixedCols)
        moveCurrent(cell.col, cell.row, event->modifiers() & Qt::ShiftModifier);
}

void DrawGridK::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const auto cell = MouseToCell(event->position().toPoint());
    if (cell.row >= shape_.fixedRows && cell.col >= shape_.fixedCols)
        moveCurrent(cell.col, cell.row, true);
}

void DrawGridK::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        DrawGridKDblClick(event->position().toPoint());
}

void DrawGridK::DrawGridKDblClick(QPoint pos)
{
    if (view_ == mapk::View::Reduced) {
        EditGridKReducedCells();
        return;
    }
    const auto cell = MouseToCell(pos);
    if (cell.col > 0 && cell.row > 0) {
        if (view_ == mapk::View::Extended)
            EditGridKCells();
        else
            EditGridKObdTargetCells();
        return;
    }
    if (cell.col == 0 || cell.row == 0)
        EditBreakpoints();
}

void DrawGridK::EditBreakpoints()
{
    auto* dialog = new TFormCentriCelleK(window());
    if (breakpointsRunner_)
        breakpointsRunner_(*dialog);
    else
        dialog->exec();
    delete dialog;
    emit BreakpointsDialogClosed();
    update();
}

void DrawGridK::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void DrawGridK::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

// ---- Cell edits -----------------------------------------------------------------

bool DrawGridK::askVariation(int& value, int& mode, int preFill, int presetMode)
{
    if (!modifica_) {
        ownDialog_ = ownDialog_ ? ownDialog_ : new TFormModificaMappa(this);
        modifica_ = ownDialog_;
    }
    value = preFill;
    mode = presetMode;
    repaint();
    modifica_->GroupModalita->setEnabled(true);
    modifica_->EditInteger(&value, &mode);
    return modifica_->ModalResult() == 1;
}

template <class Apply>
void DrawGridK::editCells(int preFill, int presetMode, Apply apply, bool clearsAutotaratura)
{
    int value = 0;
    int mode = 0;
    if (!StreamDati || !askVariation(value, mode, preFill, presetMode))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (timerDati_)
        timerDati_->stop();
    window()->repaint();
    for (int r = selection_.top; r <= selection_.bottom; ++r)
        for (int c = selection_.left; c <= selection_.right; ++c)
            if (const auto data = mapk::DataCellOf(view_, {r, c}))
                apply(*data, value, mode);
    if (clearsAutotaratura)
        emit AutotaraturaCleared();
    update();
    if (timerDati_)
        timerDati_->start();
    QApplication::restoreOverrideCursor();
}

void DrawGridK::EditGridKCells()
{
    if (!StreamDati)
        return;
    TStreamDati& dm = *StreamDati;
    const int preFill = dm.GetMappaK(selection_.top - 1, selection_.left - 1);
    editCells(preFill, mapk::ModeAdd, [&dm](mapk::Cell d, int v, int m) {
        dm.SetMappaK(d.row, d.col, mapk::ExtendedCellValue(dm.GetMappaK(d.row, d.col), v, m));
        if (d.row == kLastShownRow)
            dm.SetMappaK(kHiddenRow, d.col, dm.GetMappaK(kLastShownRow, d.col));
    }, true);
}

void DrawGridK::EditGridKObdTargetCells()
{
    if (!StreamDati)
        return;
    TStreamDati& dm = *StreamDati;
    const int preFill = dm.GetTargetObd(selection_.top - 1, selection_.left - 1);
    editCells(preFill, mapk::ModeSet, [&dm](mapk::Cell d, int v, int m) {
        dm.SetTargetObd(d.row, d.col, mapk::TargetObdCellValue(dm.GetTargetObd(d.row, d.col), v, m));
    }, false);
}

void DrawGridK::EditGridKReducedCells()
{
    if (!StreamDati)
        return;
    TStreamDati& dm = *StreamDati;
    const int preFill = dm.GetMappaCorrAutotaratura(selection_.top, selection_.left);
    editCells(preFill, mapk::ModeAdd, [&dm](mapk::Cell d, int v, int m) {
        dm.ShiftMappaKZone(d.row, d.col, mapk::ReducedZoneShift(dm.GetMappaCorrAutotaratura(d.row, d.col), v, m));
    }, true);
}

// ---- Clipboard -------------------------------------------------------------------

QString DrawGridK::CopyText() const
{
    std::vector<std::vector<QString>> rows;
    for (int r = selection_.top; r <= selection_.bottom; ++r) {
        auto& line = rows.emplace_back();
        for (int c = selection_.left; c <= selection_.right; ++c)
            line.push_back(CellText(c, r));
    }
    return mapk::FormatBlock(rows);
}

DrawGridK::PasteOutcome DrawGridK::PasteText(const QString& clip)
{
    const auto parsed = mapk::ParseBlock(clip);
    if (!StreamDati || !parsed)
        return PasteOutcome::Nothing;
    const auto& block = *parsed;
    const int selRows = selection_.bottom - selection_.top + 1;
    const int selCols = selection_.right - selection_.left + 1;
    if ((selRows > 1 || selCols > 1) && (selRows != block.rows || selCols != block.cols)) {
        const int answer = plat::CurrentPrompts().ask(
            {QString::fromUtf8(qz::ProductTitle()),
             wkit::Text(kTextPasteSizes) + QStringLiteral("\n\n") + wkit::Text(kTextContinue),
             plat::PromptIcon::Warning, plat::PromptButtons::YesNo, plat::IDNO});
        if (answer != plat::IDYES)
            return PasteOutcome::Declined;
    }
    TStreamDati& dm = *StreamDati;
    const int top = selection_.top;
    const int left = selection_.left;
    // Only the cells the grid shows: a block hanging over the edge must not
    // reach the hidden row of map K.
    const int rows = std::min(block.rows, shape_.rows - top);
    const int cols = std::min(block.cols, shape_.cols - left);
    bool lastShownRow = false;
    for (int j = 0; j < rows; ++j) {
        for (int k = 0; k < cols; ++k) {
            const auto& value = block.cells[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)];
            if (!value)
                continue;
            const auto d = *mapk::DataCellOf(view_, {top + j, left + k});
            switch (view_) {
            case mapk::View::Extended:
                dm.SetMappaK(d.row, d.col, mapk::MapKValue(*value));
                lastShownRow = lastShownRow || d.row == kLastShownRow;
                break;
            case mapk::View::TargetObd: dm.SetTargetObd(d.row, d.col, *value); break;
            case mapk::View::Reduced:
                dm.ShiftMappaKZone(d.row, d.col,
                                   mapk::TruncSaturated(static_cast<long double>(*value)
                                                        - dm.GetMappaCorrAutotaratura(d.row, d.col)));
                break;
            }
        }
    }
    // The hidden row stays a copy of the last shown one, as after a cell edit.
    if (lastShownRow)
        for (int k = 0; k < cols; ++k) {
            const int col = left + k - 1;
            dm.SetMappaK(kHiddenRow, col, dm.GetMappaK(kLastShownRow, col));
        }
    if (view_ != mapk::View::TargetObd)
        emit AutotaraturaCleared();
    selection_ = {left, top, std::min(left + block.cols - 1, shape_.cols - 1),
                  std::min(top + block.rows - 1, shape_.rows - 1)};
    current_ = {top, left};
    anchor_ = current_;
    update();
    return PasteOutcome::Written;
}

void DrawGridK::MenuCopiaTaraturaClick() { QGuiApplication::clipboard()->setText(CopyText()); }

void DrawGridK::MenuIncollaTaraturaClick()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (mime && mime->hasText())
        PasteText(QGuiApplication::clipboard()->text());
}

bool DrawGridK::PopupMenuGridPopup()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const bool text = mime && mime->hasText();
    MenuIncolla->setEnabled(text);
    return text;
}

void DrawGridK::contextMenuEvent(QContextMenuEvent* event) { PopupMenuGrid->exec(event->globalPos()); }
