#include "PageEmissioni.h"

#include "config/window/FormConfigParts.h"
#include "config/window/PageWidgets.h"
#include "datamodule/core/ItemCodes.h"

#include "complib/editors/NumericEdit.h"
#include "config/mapk/FormCentriCelle.h"
#include "config/rules/SwitchRules.h"
#include "config/tables/CorrectionGrid.h"
#include "config/tables/CorrectionGrids.h"
#include "config/tables_rules/TablesRules.h"
#include "datamodule/core/iodata.h"
#include "windowkit/WindowText.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kEmissionRows = 5;
constexpr int kEmissionColumns = 13;

} // namespace

using namespace cfgwin;

const TFormConfig::BindingTable& TPageEmissioni::Rows()
{
    using F = TFormConfig;
    using Owner = TPageEmissioni;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {QZ_BOUND(EditSovrapposizione), .code = dm::kOverlapTimeCode, .unitName = "LabelS15", .limits = kItemLimits,
         .flags = kByCode},
        {QZ_BOUND(EditCicchetto), .code = dm::kPrimingTimeCode, .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditLivEmulAlto), .code = dm::kEmulationHighCode, .captionName = "LabelLivEmulAlto",
         .unitName = "LabelV11", .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditLivEmulBasso), .code = dm::kEmulationLowCode, .captionName = "LabelLivEmulBasso",
         .unitName = "LabelVLivEmulBasso", .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditLivEmulStabilizzato), .code = dm::kRearEmulationCode, .index = 1, .limits = kItemLimits,
         .flags = kByCode},
        {QZ_BOUND(EditLivEmulCutoff), .code = dm::kRearEmulationCode, .index = 0, .limits = kItemLimits,
         .flags = kByCode},
        // One value of two bytes (item 107 high, item 135 low): its own
        // loader and commit.
        {QZ_BOUND(EditRitardoGiriEmulazione), .code = dm::kEmulationDelayLowCode,
         .captionName = "LabelRitardoGiriEmulazione", .limits = {0, 500, 1}, .flags = kRangeHint},
    };
    return rows;
}

void TPageEmissioni::Build()
{
    using Builder = TFormConfig::Builder;
    Builder b(&Form(), Sheet(), &Rows(), this);
    {
        auto f = b.FrameAt(0, 0, "ShapeSovrapposizione");
        ShapeSovrapposizione = static_cast<plat::Shape*>(f.Widget());
        LabelSovrapposizione = b.Note("LabelSovrapposizione", f.Widget());
        const auto over = b.Bound(&TPageEmissioni::EditSovrapposizione, f.Widget());
        const auto shot = b.Bound(&TPageEmissioni::EditCicchetto, f.Widget());
        LabelS15 = over.unit;
        auto* both = new QHBoxLayout;
        both->addWidget(over.control);
        both->addWidget(shot.control);
        f.Grid()->addWidget(LabelSovrapposizione, 0, 0);
        f.Grid()->addLayout(both, 0, 1);
        f.Grid()->addWidget(LabelS15, 0, 2);
    }
    {
        // The emulation levels: the front probe's and the rear probe's side
        // by side.
        auto f = b.FrameAt(1, 0);
        QGridLayout* g = f.Grid();
        QLabel* front = b.Label("LabelLivelloAnteriore", f.Widget());
        QLabel* rear = b.Label("LabelLivelloPosteriore", f.Widget());
        for (QLabel* l : {front, rear}) {
            cfgwin::Bold(l);
            l->setAlignment(Qt::AlignCenter);
        }
        g->addWidget(front, 0, 1);
        g->addWidget(rear, 0, 2);
        const auto high = b.Bound(&TPageEmissioni::EditLivEmulAlto, f.Widget());
        const auto low = b.Bound(&TPageEmissioni::EditLivEmulBasso, f.Widget());
        const auto steady = b.Bound(&TPageEmissioni::EditLivEmulStabilizzato, f.Widget());
        const auto cutoff = b.Bound(&TPageEmissioni::EditLivEmulCutoff, f.Widget());
        // Between the lines of editors, room for their range hints.
        g->addWidget(high.caption, 1, 0, Qt::AlignVCenter);
        g->addWidget(high.control, 1, 1);
        g->addWidget(steady.control, 1, 2);
        g->addWidget(high.unit, 1, 3);
        g->addItem(b.RowGap({high.control}, low.control), 2, 0, 1, 4);
        g->addWidget(low.caption, 3, 0, Qt::AlignVCenter);
        g->addWidget(low.control, 3, 1);
        g->addWidget(cutoff.control, 3, 2);
        g->addWidget(low.unit, 3, 3);
        const auto delay = b.Bound(&TPageEmissioni::EditRitardoGiriEmulazione, f.Widget());
        g->addItem(b.RowGap({high.control, low.control}, delay.control), 4, 0, 1, 4);
        g->addWidget(delay.caption, 5, 0, Qt::AlignVCenter);
        g->addWidget(delay.control, 5, 1);
        QLabel* note = b.Note("LabelNotaEmiss", f.Widget());
        g->addWidget(note, 6, 0, 1, 4);
    }
    {
        // The rear probes' oxygen readings, while the ECU reports them.
        auto* obd = new QWidget(Sheet());
        obd->setObjectName(QStringLiteral("PanelObdEmissioni"));
        b.Place(obd, 0, 1, 2, 1, Qt::AlignTop);
        Builder::Frame f(&b, obd);
        f.Grid()->setContentsMargins(0, 0, 0, 0);
        for (int bank = 0; bank < 2; ++bank) {
            const QByteArray n = QByteArray::number(bank);
            QFrame* panel = b.Panel(("PanelLambdaObd" + n).constData(), f.Widget());
            cfgwin::WhitePanel(panel);
            auto* line = new QHBoxLayout(panel);
            line->setContentsMargins(10, 6, 10, 6);
            line->addWidget(b.Label(("LabelOxigen" + n).constData(), panel), 1);
            QLabel* value = b.Label(("LabOxigen" + n).constData(), panel);
            cfgwin::Bold(value);
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            value->setFixedSize(value->fontMetrics().horizontalAdvance(QStringLiteral("0.00V")) + 8,
                                value->fontMetrics().height());
            line->addWidget(value);
            cfgwin::KeepPlace(panel);
            panel->hide();
            f.Line(panel);
            (bank == 0 ? PanelLambdaObd0 : PanelLambdaObd1) = panel;
            (bank == 0 ? LabOxigen0 : LabOxigen1) = value;
        }
    }
    {
        // The map and the advance row, with the rpm title over the rpm
        // columns and the MAP axis framed; LayoutEmissioniGrids places them.
        auto f = b.FrameAt(2, 0, nullptr, 1, 2);
        PanelEmissioniGrids = new QWidget(f.Widget());
        PanelEmissioniGrids->setObjectName(QStringLiteral("PanelEmissioniGrids"));
        auto* column = new QVBoxLayout(PanelEmissioniGrids);
        column->setContentsMargins(1, 0, 1, 1);
        column->setSpacing(0);
        // The band over the rpm columns.
        auto* band = new QWidget(PanelEmissioniGrids);
        ShapeGiriEmissioni = b.Shape("ShapeGiriEmissioni", band);
        ShapeGiriEmissioni->setBrush(plat::FromTColor(14671839));
        LabelGiriEmissioni = b.Label("LabelGiriEmissioni", band);
        LabelGiriEmissioni->setAlignment(Qt::AlignCenter);
        cfgwin::Bold(LabelGiriEmissioni);
        column->addWidget(band, 0, Qt::AlignLeft);
        DrawGridEmissioni = b.Table("DrawGridEmissioni");
        DrawGridAnticipo = b.Table("DrawGridAnticipo");
        DrawGridEmissioni->setParent(PanelEmissioniGrids);
        DrawGridAnticipo->setParent(PanelEmissioniGrids);
        column->addWidget(DrawGridEmissioni, 0, Qt::AlignLeft);
        column->addWidget(DrawGridAnticipo, 0, Qt::AlignLeft);
        // An outline over the MAP axis: the clicks go through to its cells.
        ShapeMap = b.Shape("ShapeMap", PanelEmissioniGrids);
        ShapeMap->setBrush(Qt::NoBrush);
        ShapeMap->setAttribute(Qt::WA_TransparentForMouseEvents);
        f.Line(PanelEmissioniGrids);
        // The outline follows the grid wherever the layout puts it.
        cfgwin::OnGeometry(DrawGridEmissioni, [this] { LayoutEmissioniGrids(); });
    }
    // The grids follow the page's width.
    cfgwin::OnGeometry(Sheet(), [this] { LayoutEmissioniGrids(); });
    ImageEmissioni = b.Picture("ImageEmissioni");
    ImageEmissioni->hide();
    b.RemainingRows();
    b.Finish(3, 2);
    // The emulation delay commits through its own handler.
    connect(EditRitardoGiriEmulazione, &TNumericEdit::keyPressed, this,
            [this](QChar c) { EditRitardoGiriEmulazioneKeyPress(c); });
    EditRitardoGiriEmulazione->SetMinValue(0);
    EditRitardoGiriEmulazione->SetMaxValue(500);
    EditRitardoGiriEmulazione->SetPrecision(1);
}

void TPageEmissioni::LayoutEmissioniGrids()
{
    if (!PanelEmissioniGrids)
        return;
    const int screenHeight = Form().WindowScreenHeight();
    // Rows as tall as the cells' text, which follows the screen height.
    QFont f = DrawGridEmissioni->font();
    f.setPointSize(std::max(1, screenHeight * 10 / 817));
    const int rowHeight = QFontMetrics(f).height() + 8;
    // 96 % of the page, within what its frame leaves.
    const int width = std::min(cfgwin::ScaleWidth(Sheet()->width(), 0.96), Sheet()->width() - 44);
    const cfgwin::GridFit em = cfgwin::FitColumns(width, (rowHeight + 1) * kEmissionRows, kEmissionColumns, rowHeight);
    const cfgwin::GridFit an = cfgwin::FitColumns(width, rowHeight + 1, kEmissionColumns, rowHeight);
    const int column = std::max(1, em.columnWidth);
    const int band = LabelGiriEmissioni->sizeHint().height() + 6;

    DrawGridEmissioni->DefaultColWidth = column;
    DrawGridEmissioni->DefaultRowHeight = std::max(1, em.rowHeight);
    DrawGridEmissioni->setFixedSize(std::max(1, em.clientWidth), std::max(1, em.clientHeight));
    DrawGridAnticipo->DefaultColWidth = std::max(1, an.columnWidth);
    DrawGridAnticipo->DefaultRowHeight = std::max(1, an.rowHeight);
    DrawGridAnticipo->setFixedSize(std::max(1, an.clientWidth), std::max(1, an.clientHeight));
    QWidget* bandRow = ShapeGiriEmissioni->parentWidget();
    bandRow->setFixedSize(DrawGridEmissioni->width(), band);
    // The rpm title over the columns right of the MAP axis; the MAP axis's
    // column framed down to the advance row when it shows.
    ShapeGiriEmissioni->setGeometry(column + 1, 0, DrawGridEmissioni->width() - column - 1, band - 1);
    LabelGiriEmissioni->setGeometry(ShapeGiriEmissioni->geometry());
    const int anticipo = DrawGridAnticipo->isHidden() ? 0 : DrawGridAnticipo->DefaultRowHeight;
    const QRect grid = DrawGridEmissioni->geometry();
    ShapeMap->setGeometry(grid.left() - 1, grid.top() - 1, column + 2, grid.height() + anticipo + 2);
    ShapeMap->raise();
}

void TPageEmissioni::ShowCentriCelle()
{
    auto* dialog = new TFormCentriCelle(&Form());
    dialog->exec();
    delete dialog;
}

void TPageEmissioni::TabEmissioniShow()
{
    Form().CorrectionGrids->EmissioniDot = ImageEmissioni->currentPicture();
    // Signed lambda references: the two fixed emulation levels do not apply.
    const bool signedReferences = tables::TipoDiLambdaBit7(dm());
    EditLivEmulAlto->setEnabled(!signedReferences);
    EditLivEmulBasso->setEnabled(!signedReferences);
    EditLivEmulStabilizzato->setEnabled(true);
    EditLivEmulCutoff->setEnabled(true);
    Form().LoadByCode(cfgwin::PageEmissioni);
    // Items 107 and 135 are the high and the low byte of one value.
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    Form().ShowLoadedInteger(EditRitardoGiriEmulazione, cfgrules::SplitValue(dm(), cfgrules::kEmulationDelay));
    LoadingControls = wasLoading;
}

void TPageEmissioni::EditRitardoGiriEmulazioneKeyPress(QChar key)
{
    Form().CommitOwnEditor(
        EditRitardoGiriEmulazione, key, true,
        [this](double v) { return cfgrules::CommitSplitValue(dm(), cfgrules::kEmulationDelay, static_cast<int>(v)); },
        [this] { return cfgrules::SplitValue(dm(), cfgrules::kEmulationDelay); });
}

// ---------------------------------------------------------------------------
// What the window shows on the page

void TPageEmissioni::ShowOverlapCaption(bool gasOnly)
{
    LabelSovrapposizione->setText(wkit::Text(cfgrules::OverlapCaption(gasOnly)));
}

void TPageEmissioni::ShowFuelDot(int picture)
{
    if (ImageEmissioni->currentId() != picture)
        ImageEmissioni->setPicture(picture);
    Form().CorrectionGrids->EmissioniDot = ImageEmissioni->currentPicture();
    DrawGridEmissioni->update();
}

void TPageEmissioni::ShowOxygen(int bank, const QString& text, bool shown)
{
    QLabel* value = bank == 0 ? LabOxigen0 : LabOxigen1;
    QFrame* panel = bank == 0 ? PanelLambdaObd0 : PanelLambdaObd1;
    // What changed repaints itself.
    if (value->text() != text)
        value->setText(text);
    for (QWidget* w : {static_cast<QWidget*>(value), static_cast<QWidget*>(panel)})
        if (w->isHidden() == shown)
            w->setVisible(shown);
}

cfglive::Repaint TPageEmissioni::TrackOperatingPoint(cfglive::MapTracker& tracking, std::uint32_t rpm,
                                                     std::int32_t mapHundredths) const
{
    TStreamDati& d = dm();
    return cfglive::TrackEmissionPoint(
        tracking, rpm, mapHundredths, {DrawGridEmissioni->DefaultColWidth, DrawGridEmissioni->DefaultRowHeight},
        ImageEmissioni->currentPicture().deviceIndependentSize().toSize(),
        [&d](int i) { return static_cast<double>(d.GetRifGiri(i)); },
        [&d](int i) { return static_cast<double>(d.GetRifMapEmissioni(i)); });
}
