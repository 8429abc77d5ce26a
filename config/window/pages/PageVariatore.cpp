#include "PageVariatore.h"

#include "config/window/FormConfigParts.h"
#include "datamodule/core/ItemCodes.h"

#include "config/tables/CorrectionGrid.h"
#include "config/tables/CorrectionGrids.h"
#include "config/tables_rules/TablesRules.h"
#include "datamodule/core/iodata.h"

#include "plat/Shape.h"

#include <QCheckBox>
#include <QLabel>

using namespace cfgwin;

namespace {

constexpr int kFlagVariatore = 6;
// The ignition kind that reading the rpm from the variator takes (the
// second entry of the ignition list).
constexpr int kIgnitionVariatore = 1;

} // namespace

const TFormConfig::BindingTable& TPageVariatore::Rows()
{
    using F = TFormConfig;
    using Owner = TPageVariatore;
    static const F::BindingTable rows = {
        {QZ_BOUND(CheckVariatore), .caption = 552, .flags = kEnterClicks},
    };
    return rows;
}

void TPageVariatore::Build()
{
    TFormConfig::Builder b(&Form(), Sheet(), &Rows(), this);
    {
        auto f = b.FrameAt(0, 0, "ShapeMappaVariatore");
        f.Title("LabelVariatore");
        DrawGridVariatore = b.Table("DrawGridVariatore");
        f.Line(DrawGridVariatore);
    }
    {
        auto f = b.FrameAt(1, 0, "ShapeCheckVariatore");
        ShapeCheckVariatore = static_cast<plat::Shape*>(f.Widget());
        f.Row(&TPageVariatore::CheckVariatore);
    }
    b.RemainingRows();
    b.Finish(2, 1);
    connect(CheckVariatore, &QCheckBox::clicked, this, [this] { CheckVariatoreClick(); });
}

void TPageVariatore::TabVariatoreShow()
{
    // Two rows, or six when the ECU has the variator's MAP axis.
    Form().CorrectionGrids->UpdateVariatorLayout();
    FitVariatoreGrid();
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    // The page shows the option whatever the ECU's model.
    CheckVariatore->show();
    ShapeCheckVariatore->show();
    CheckVariatore->setChecked(dm().GetFlag(kFlagVariatore) != 0);
    LoadingControls = wasLoading;
}

void TPageVariatore::CheckVariatoreClick()
{
    if (LoadingControls)
        return;
    if (!CheckVariatore->isChecked()) {
        dm().SetFlag(kFlagVariatore, false);
        return;
    }
    dm().SetFlag(kFlagVariatore, true);
    dm().SetValueByCode(dm::kIgnitionCode, kIgnitionVariatore);
}

void TPageVariatore::FitVariatoreGrid()
{
    if (!DrawGridVariatore)
        return;
    const int rows = DrawGridVariatore->RowCount();
    const int columns = DrawGridVariatore->ColCount();
    const int width = ScaleWidth(Sheet()->width(), 0.8);
    int height = (DrawGridVariatore->fontMetrics().height() + 9) * rows;
    if (tables::VariatorHasMapAxis(dm()))
        height = VariatorClientHeight(rows, Form().WindowScreenHeight());
    FitGridWidget(DrawGridVariatore, FitGrid(width, height, rows, columns));
}
