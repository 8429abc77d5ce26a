// The Variatore page: the ignition-advance variator's map.
#include "../FormConfigParts.h"

#include "CorrectionGrid.h"
#include "CorrectionGrids.h"

#include "plat/Shape.h"

#include <QCheckBox>
#include <QLabel>

using namespace cfgwin;

const TFormConfig::BindingTable& cfgwin::VariatoreRows()
{
    using F = TFormConfig;
    static const F::BindingTable rows = {
        {.member = &F::CheckVariatore, .name = "CheckVariatore", .caption = 552, .flags = kEnterClicks},
    };
    return rows;
}

void TFormConfig::BuildVariatore()
{
    Builder b(this, TabVariatore, &VariatoreRows());
    {
        auto f = b.frame(0, 0, "ShapeMappaVariatore");
        f.title("LabelVariatore");
        DrawGridVariatore = b.table("DrawGridVariatore");
        f.line(DrawGridVariatore);
    }
    {
        auto f = b.frame(1, 0, "ShapeCheckVariatore");
        ShapeCheckVariatore = static_cast<plat::Shape*>(f.widget());
        f.row(&TFormConfig::CheckVariatore);
    }
    b.remainingRows();
    b.finish(2, 1);
}

void TFormConfig::TabVariatoreShow()
{
    // Two rows, or six when the ECU has the variator's MAP axis.
    CorrectionGrids->UpdateVariatorLayout();
}
