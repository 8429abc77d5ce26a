#include "PageTaratura.h"

#include "PageCommutazione.h"
#include "config/window/FormConfigParts.h"
#include "datamodule/core/ItemCodes.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"
#include "config/rules/SensorRules.h"
#include "config/rules/SequenceRules.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include "plat/Colors.h"
#include "plat/ScreenCursor.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace {

// The fixed row and column of the sequence grid.
constexpr std::uint32_t kFixedColour = 15112960;

} // namespace

using namespace cfgwin;

const TFormConfig::BindingTable& TPageTaratura::Rows()
{
    using F = TFormConfig;
    using Owner = TPageTaratura;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {QZ_BOUND(EditGiriAutotaratura), .code = dm::kCalibrationRpmCode, .captionName = "LabelGiriAutotaratura",
         .unitName = "LabGiriAutotaratura", .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditTempTaratura), .code = dm::kCalibrationTempCode, .captionName = "LabelTempTaratura",
         .unitName = "LabelT3", .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditTInjDefault), .caption = 289, .captionName = "LabelTInjDefault", .unit = 90,
         .unitName = "LabelMsInjDefault", .limits = {1, 10, 0.01}, .flags = kRangeHint},
        {QZ_BOUND(CheckModificaSequenza), .caption = 387, .flags = kEnterClicks},
    };
    return rows;
}

void TPageTaratura::Build()
{
    TFormConfig::Builder b(&Form(), Sheet(), &Rows(), this);
    {
        auto f = b.FrameAt(0, 0, "ShapeGiriTaratura");
        ShapeGiriTaratura = static_cast<plat::Shape*>(f.Widget());
        const auto giri = f.Row(&TPageTaratura::EditGiriAutotaratura);
        const auto temp = f.Row(&TPageTaratura::EditTempTaratura);
        LabelTempTaratura = temp.caption;
        LabelT3 = temp.unit;
        f.Row(&TPageTaratura::CheckModificaSequenza);

        GridSequenza = new QTableWidget(cfgrules::kSequenceGridRows, cfgrules::kSequenceGridColumns, f.Widget());
        GridSequenza->setObjectName(QStringLiteral("GridSequenza"));
        GridSequenza->horizontalHeader()->hide();
        GridSequenza->verticalHeader()->hide();
        GridSequenza->setEditTriggers(QAbstractItemView::NoEditTriggers);
        GridSequenza->setSelectionMode(QAbstractItemView::SingleSelection);
        GridSequenza->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        GridSequenza->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        GridSequenza->hide();
        f.Line(GridSequenza);
        ComboSequenza = b.Combo("ComboSequenza", GridSequenza->viewport());
        ComboSequenza->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
        ComboSequenza->hide();
        connect(GridSequenza, &QTableWidget::currentCellChanged, this,
                [this](int row, int column, int, int) { GridSequenzaSelectCell(column, row); });
        connect(ComboSequenza, &QComboBox::activated, this, [this](int i) { ComboSequenzaChange(i); });
        connect(CheckModificaSequenza, &QCheckBox::clicked, this, [this] { CheckModificaSequenzaClick(); });
        Q_UNUSED(giri);
    }
    {
        auto f = b.FrameAt(1, 0);
        const auto d = f.Row(&TPageTaratura::EditTInjDefault);
        LabelTInjDefault = d.caption;
        LabelMsInjDefault = d.unit;
    }
    b.RemainingRows();
    b.Finish(2, 1);
    connect(EditTInjDefault, &TNumericEdit::keyPressed, this, [this](QChar c) { EditTInjDefaultKeyPress(c); });
}

void TPageTaratura::TabTaraturaShow()
{
    Form().LoadByCode(kIndex);
    const bool monoplug = dm().EcuInfo.EcuType == qz::ECU_TYPE_MONOPLUG;
    for (QWidget* w : {static_cast<QWidget*>(LabelTempTaratura), static_cast<QWidget*>(EditTempTaratura),
                       static_cast<QWidget*>(LabelT3)})
        w->setVisible(!monoplug);
    Form().ShowLoaded(EditTInjDefault, cfgrules::DefaultInjectionTime(dm()));
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    const bool on = dm().GetModificaSequenza() != 0;
    if (CheckModificaSequenza->isChecked() != on)
        CheckModificaSequenza->setChecked(on);
    CheckModificaSequenzaClick();
    LoadingControls = wasLoading;
}

// ---------------------------------------------------------------------------
// The advanced injection sequence

namespace {

void refreshSequenceGrid(QTableWidget* grid, const TStreamDati& d)
{
    const QColor fixed = plat::FromTColor(kFixedColour);
    const QColor unused = grid->palette().color(QPalette::Button);
    for (int r = 0; r < grid->rowCount(); ++r) {
        for (int c = 0; c < grid->columnCount(); ++c) {
            auto* item = grid->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                grid->setItem(r, c, item);
            }
            item->setText(cfgrules::SequenceCellText(d, c, r));
            item->setTextAlignment(Qt::AlignCenter);
            const bool isFixed = r == 0 || c == 0;
            if (isFixed)
                item->setBackground(fixed);
            else if (cfgrules::SequenceCellUnused(d, c, r))
                item->setBackground(unused);
            else
                item->setBackground(Qt::white);
            Qt::ItemFlags flags = Qt::ItemIsEnabled;
            if (cfgrules::SequenceCellSelectable(d, c, r))
                flags |= Qt::ItemIsSelectable;
            item->setFlags(flags);
        }
    }
    grid->viewport()->update();
}

} // namespace

void TPageTaratura::FillSequenceCombo()
{
    ComboSequenza->clear();
    for (const auto& item : cfgrules::SequenceComboItems(dm()))
        ComboSequenza->addItem(item.text, item.set);
}

void TPageTaratura::placeSequenceCombo(int column)
{
    const QRect cell = GridSequenza->visualRect(GridSequenza->model()->index(cfgrules::kSequenceGasRow, column));
    ComboSequenza->setGeometry(cell);
    const int set = cfgrules::SequenceSetOfSlot(dm(), column - 1);
    ComboSequenza->setCurrentIndex(ComboSequenza->findData(set));
}

bool TPageTaratura::CheckSequenceConditions()
{
    return cfgrules::CheckSequenceConditions(dm(), static_cast<int>(Form().LiveRpm),
                                             static_cast<std::uint8_t>(Form().LiveStatusFlags));
}

void TPageTaratura::SequenceBoxClicked(QCheckBox* box, bool taraturaBox)
{
    TFormConfig& form = Form();
    bool on = box->isChecked();
    if (!LoadingControls) {
        plat::SetScreenCursor(plat::ScreenCursor::Hourglass);
        const auto outcome = cfgrules::SetSequenceAdvance(dm(), on, static_cast<int>(form.LiveRpm),
                                                          static_cast<std::uint8_t>(form.LiveStatusFlags),
                                                          [&form] { form.Page<TPageCommutazione>().ChooseGas(); });
        plat::SetScreenCursor(plat::ScreenCursor::Default);
        if (outcome == cfgrules::SequenceOutcome::Cleared || outcome == cfgrules::SequenceOutcome::NotStored) {
            on = dm().GetModificaSequenza() != 0;
            LoadingControls = 1;
            box->setChecked(on);
            LoadingControls = 0;
        }
    }
    const bool editor = cfgrules::SequenceEditorVisible(on, CheckModificaSequenza->isVisibleTo(Sheet()));
    GridSequenza->setVisible(editor);
    ComboSequenza->setVisible(editor);
    form.Page<TPageCommutazione>().EnableFuelChoices(on);
    if (on) {
        FillSequenceCombo();
        refreshSequenceGrid(GridSequenza, dm());
        sizeSequenceGrid();
        if (taraturaBox || GridSequenza->isVisible()) {
            GridSequenza->setCurrentCell(cfgrules::kSequenceGasRow, 1);
            placeSequenceCombo(1);
        }
        GridSequenza->viewport()->update();
    }
}

void TPageTaratura::CheckModificaSequenzaClick() { SequenceBoxClicked(CheckModificaSequenza, true); }

void TPageTaratura::GridSequenzaSelectCell(int column, int row)
{
    if (!cfgrules::SequenceCellSelectable(dm(), column, row))
        return;
    ComboSequenza->show();
    placeSequenceCombo(column);
    ComboSequenza->setFocus();
}

void TPageTaratura::ComboSequenzaChange(int index)
{
    if (index < 0)
        return;
    const int column = GridSequenza->currentColumn();
    cfgrules::ChangeSequenceCell(dm(), column, ComboSequenza->itemData(index).toInt());
    refreshSequenceGrid(GridSequenza, dm());
}

void TPageTaratura::sizeSequenceGrid()
{
    // Column 0 is 100 pixels wide (scaled with the window); the slots share
    // the rest of 90 % of the frame.
    const int column0 = GridSequenza->fontMetrics().horizontalAdvance(QStringLiteral("Cil.benz")) + 16;
    const int width = std::max(column0 + 8 * 24, ShapeGiriTaratura->width() * 9 / 10);
    const int columnWidth = (width - column0) / (GridSequenza->columnCount() - 1) - 1;
    const int rowHeight = GridSequenza->fontMetrics().height() + 10;
    GridSequenza->setColumnWidth(0, column0);
    for (int c = 1; c < GridSequenza->columnCount(); ++c)
        GridSequenza->setColumnWidth(c, columnWidth);
    for (int r = 0; r < GridSequenza->rowCount(); ++r)
        GridSequenza->setRowHeight(r, rowHeight);
    GridSequenza->setFixedSize(column0 + (columnWidth + 1) * (GridSequenza->columnCount() - 1) + 2,
                               (rowHeight + 1) * GridSequenza->rowCount() + 2);
    ComboSequenza->resize(columnWidth + 2, rowHeight + 1);
}

void TPageTaratura::EditTInjDefaultKeyPress(QChar key)
{
    Form().CommitOwnEditor(
        EditTInjDefault, key, false, [this](double v) { return cfgrules::CommitDefaultInjectionTime(dm(), v); },
        [this] { return cfgrules::DefaultInjectionTime(dm()); });
}
