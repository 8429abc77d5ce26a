#include "CorrectionGrids.h"

#include "complib/numbers/NumberText.h"
#include "datamodule/core/iodata.h"
#include "plat/Colors.h"
#include "plat/ScreenCursor.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <cmath>

using tables::GridId;

namespace {

const QColor kGrey() { return plat::FromTColor(11119017); }
const QColor kLightGrey() { return plat::FromTColor(14671839); }
const QColor kLightYellow() { return plat::FromTColor(9630456); }
const QColor kBlue() { return plat::FromTColor(15112960); }
const QColor kWindow() { return plat::FromTColor(0xFF000005); }

enum class Align { Centre, Right };

void paintCell(QPainter& p, const QRect& rect, const QColor& fill, const QColor& ink, const QString& s, Align a)
{
    if (fill.isValid())
        p.fillRect(rect, fill);
    p.setPen(ink);
    if (a == Align::Centre)
        p.drawText(rect, Qt::AlignCenter, s);
    else
        p.drawText(rect.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, s);
}

} // namespace

TCorrectionGrids::TCorrectionGrids(TStreamDati& data, TablesHost host,
                                   const std::function<QWidget*(tables::Page)>& pageOf, QObject* owner)
    : QObject(owner), data_(data), host_(std::move(host))
{
    for (const auto& spec : tables::GridTable()) {
        auto* g = new TCorrectionGrid(pageOf ? pageOf(spec.page) : nullptr);
        g->setObjectName(QString::fromLatin1(spec.name));
        g->SetLayout(tables::RowCount(data_, spec.id), spec.cols, spec.fixedRows, spec.fixedCols);
        const GridId id = spec.id;
        g->OnDrawCell = [this, id](int c, int r, const QRect& rect, int state) { drawCell(id, c, r, rect, state); };
        g->OnKeyPress = [this, id](int& key) { keyPress(id, key); };
        g->OnDblClick = [this, id] { dblClick(id); };
        g->OnKeyDown = [this, g](int key, Qt::KeyboardModifiers m) {
            return host_.DrawGridKKeyDown && host_.DrawGridKKeyDown(g, key, m);
        };
        grids_[static_cast<std::size_t>(id)] = g;
    }
    DrawGridPressDiff = Grid(GridId::PressDiff);
    DrawGridTempGas = Grid(GridId::TempGas);
    DrawGridTempRid = Grid(GridId::TempRid);
    DrawGridEmissioni = Grid(GridId::Emissioni);
    DrawGridAnticipo = Grid(GridId::Anticipo);
    DrawGridVariatore = Grid(GridId::Variatore);
    DrawPressPassaggio = Grid(GridId::PressPassaggio);
    DrawDelayGasTemp = Grid(GridId::DelayGasTemp);
}

TCorrectionGrids::~TCorrectionGrids()
{
    // Grids without a page are ours.
    for (auto* g : grids_)
        if (g && !g->parent())
            delete g;
}

void TCorrectionGrids::UpdateVariatorLayout()
{
    const auto& spec = tables::GridSpecOf(GridId::Variatore);
    if (DrawGridVariatore->RowCount() != tables::RowCount(data_, GridId::Variatore))
        DrawGridVariatore->SetLayout(tables::RowCount(data_, GridId::Variatore), spec.cols, spec.fixedRows,
                                     spec.fixedCols);
    DrawGridVariatore->update();
}

bool TCorrectionGrids::active(const TCorrectionGrid* g) const { return g->hasFocus(); }

QString TCorrectionGrids::text(GridId id, int col, int row) const
{
    const tables::TextFn fallback = [](int) { return QString(); };
    return tables::CellText(data_, id, col, row, host_.Text ? host_.Text : fallback, complib::DecimalSeparator());
}

void TCorrectionGrids::drawCell(GridId id, int c, int r, const QRect& rect, int state)
{
    TCorrectionGrid* g = Grid(id);
    QPainter* canvas = g->Canvas();
    if (!canvas)
        return;
    QPainter& p = *canvas;
    const QString s = text(id, c, r);
    const bool marked = (state & (TCorrectionGrid::Focused | TCorrectionGrid::Selected)) != 0;
    const bool isActive = active(g);
    const QColor black(Qt::black);
    const QColor ink = g->palette().color(QPalette::WindowText);
    const int tracked = tables::TrackedColumn(id, Tracked);

    switch (id) {
    case GridId::PressDiff:
    case GridId::PressPassaggio:
        if (r == 0)
            paintCell(p, rect, c == tracked ? kGrey() : kLightGrey(), black, s, Align::Centre);
        else if (marked)
            paintCell(p, rect, isActive ? kGrey() : g->Color, black, s, Align::Centre);
        else
            paintCell(p, rect, {}, ink, s, Align::Centre);
        return;
    case GridId::TempGas:
    case GridId::TempRid:
        if (r == 0)
            paintCell(p, rect, c == tracked ? kGrey() : kLightGrey(), black, s, Align::Right);
        else if (marked && isActive)
            paintCell(p, rect, kGrey(), g->Color, s, Align::Centre);
        else
            paintCell(p, rect, g->Color, ink, s, Align::Centre);
        return;
    case GridId::Emissioni:
    case GridId::Anticipo: {
        const int screen = host_.ScreenHeight > 0 ? host_.ScreenHeight
                                                  : (g->screen() ? g->screen()->geometry().height() : 768);
        QFont f = p.font();
        // The size in points, as the rest of the window's text.
        f.setPointSize(std::max(1, screen * (c >= 1 ? 10 : 8) / 817));
        p.setFont(f);
        if (state & TCorrectionGrid::Fixed)
            paintCell(p, rect, kLightGrey(), black, s, Align::Centre);
        else if (marked)
            paintCell(p, rect, isActive ? kGrey() : kWindow(), black, s, Align::Centre);
        else
            paintCell(p, rect, {}, ink, s, Align::Centre);
        if (id == GridId::Emissioni && Tracked.OperatingPointX != 0 && Tracked.OperatingPointY != 0) {
            const QPoint at(Tracked.OperatingPointX, Tracked.OperatingPointY);
            if (!EmissioniDot.isNull()) {
                const QSize size = EmissioniDot.deviceIndependentSize().toSize();
                p.drawPixmap(at - QPoint(size.width() / 2, size.height() / 2), EmissioniDot);
            } else {
                p.setBrush(Qt::red);
                p.drawEllipse(at, 4, 4);
            }
        }
        return;
    }
    case GridId::Variatore:
        if (r == Tracked.VariatorRow + 1 && c == Tracked.VariatorColumn + 1 && Tracked.VariatorColumn >= 0)
            paintCell(p, rect, kBlue(), black, s, Align::Right);
        else if (r == 0 || c == 0)
            paintCell(p, rect, kLightGrey(), black, s, Align::Right);
        else if (marked)
            paintCell(p, rect, isActive ? kGrey() : kWindow(), black, s, Align::Right);
        else
            paintCell(p, rect, {}, ink, s, Align::Right);
        return;
    case GridId::DelayGasTemp:
        if (r == 0)
            paintCell(p, rect, kLightGrey(), black, s, Align::Centre);
        else if (r == 2)
            paintCell(p, rect, kLightYellow(), ink, s, Align::Centre);
        else if (marked && isActive)
            paintCell(p, rect, kGrey(), g->Color, s, Align::Centre);
        else
            paintCell(p, rect, {}, ink, s, Align::Centre);
        return;
    }
}

void TCorrectionGrids::editCells(GridId id)
{
    TCorrectionGrid* g = Grid(id);
    const auto setup = tables::EditSetupAt(data_, id, g->Col(), g->Row());
    if (!setup)
        return;
    int mode = 0;
    double value = 0;
    int result = 0;
    if (setup->real) {
        if (!host_.EditReal)
            return;
        value = setup->prefill;
        result = host_.EditReal(&value, &mode);
    } else {
        if (!host_.EditInteger)
            return;
        int v = static_cast<int>(setup->prefill);
        result = host_.EditInteger(&v, &mode);
        value = v;
    }
    if (result != 1)
        return;
    {
        plat::ScopedScreenCursor busy;
        if (host_.StopTimerDati)
            host_.StopTimerDati();
        if (host_.RepaintWindow)
            host_.RepaintWindow();
        tables::ApplyEdit(data_, id, g->Col(), g->Row(), g->Selection(), value, mode, host_.BuildPressDiffCellBounds);
        g->update();
        if (host_.StartTimerDati)
            host_.StartTimerDati();
    }
}

void TCorrectionGrids::keyPress(GridId id, int& key)
{
    if (key == 13)
        editCells(id);
}

void TCorrectionGrids::dblClick(GridId id)
{
    TCorrectionGrid* g = Grid(id);
    int c = -1, r = -1;
    g->MouseToCell(g->LastMouse(), c, r);
    switch (tables::DoubleClickAction(id, c, r)) {
    case tables::ClickAction::Edit:
        editCells(id);
        break;
    case tables::ClickAction::CellCentres:
        if (host_.ShowCentriCelle)
            host_.ShowCentriCelle();
        if (host_.BuildEmissionCellBounds)
            host_.BuildEmissionCellBounds();
        g->update();
        break;
    case tables::ClickAction::Nothing:
        break;
    }
}

#define QZ_GRID_HANDLERS(Name, Id)                                                                       \
    void TCorrectionGrids::Name##DrawCell(int col, int row, const QRect& rect, int state)                \
    {                                                                                                    \
        drawCell(GridId::Id, col, row, rect, state);                                                     \
    }                                                                                                    \
    void TCorrectionGrids::Name##KeyPress(int& key) { keyPress(GridId::Id, key); }                       \
    void TCorrectionGrids::Name##DblClick() { dblClick(GridId::Id); }

QZ_GRID_HANDLERS(DrawGridPressDiff, PressDiff)
QZ_GRID_HANDLERS(DrawGridTempGas, TempGas)
QZ_GRID_HANDLERS(DrawGridTempRid, TempRid)
QZ_GRID_HANDLERS(DrawGridEmissioni, Emissioni)
QZ_GRID_HANDLERS(DrawGridAnticipo, Anticipo)
QZ_GRID_HANDLERS(DrawGridVariatore, Variatore)
QZ_GRID_HANDLERS(DrawPressPassaggio, PressPassaggio)
QZ_GRID_HANDLERS(DrawDelayGasTemp, DelayGasTemp)
