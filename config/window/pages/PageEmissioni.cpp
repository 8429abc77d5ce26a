// The Emissioni page: the lambda emulation, its map and the advance row.
#include "../FormConfigParts.h"

#include "CorrectionGrid.h"
#include "editors/NumericEdit.h"
#include "iodata.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QLabel>

using namespace cfgwin;

const TFormConfig::BindingTable& cfgwin::EmissioniRows()
{
    using F = TFormConfig;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {.member = &F::EditSovrapposizione, .name = "EditSovrapposizione", .code = 109, .unit = 87,
         .unitName = "LabelS15", .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditCicchetto, .name = "EditCicchetto", .code = 110, .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditLivEmulAlto, .name = "EditLivEmulAlto", .code = 71, .caption = 129,
         .captionName = "LabelLivEmulAlto", .unit = 85, .unitName = "LabelV11", .limits = kItemLimits,
         .flags = kByCode},
        {.member = &F::EditLivEmulBasso, .name = "EditLivEmulBasso", .code = 72, .caption = 130,
         .captionName = "LabelLivEmulBasso", .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditLivEmulStabilizzato, .name = "EditLivEmulStabilizzato", .code = 170, .index = 1,
         .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditLivEmulCutoff, .name = "EditLivEmulCutoff", .code = 170, .index = 0,
         .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditRitardoGiriEmulazione, .name = "EditRitardoGiriEmulazione", .code = 135, .caption = 221,
         .captionName = "LabelRitardoGiriEmulazione", .flags = kRangeHint},
    };
    return rows;
}

void TFormConfig::BuildEmissioni()
{
    Builder b(this, TabEmissioni, &EmissioniRows());
    {
        auto f = b.frame(0, 0, "ShapeSovrapposizione");
        ShapeSovrapposizione = static_cast<plat::Shape*>(f.widget());
        LabelSovrapposizione = b.note("LabelSovrapposizione", f.widget());
        const auto over = b.bound(&TFormConfig::EditSovrapposizione, f.widget());
        const auto shot = b.bound(&TFormConfig::EditCicchetto, f.widget());
        LabelS15 = over.unit;
        auto* both = new QHBoxLayout;
        both->addWidget(over.control);
        both->addWidget(shot.control);
        f.grid()->addWidget(LabelSovrapposizione, 0, 0);
        f.grid()->addLayout(both, 0, 1);
        f.grid()->addWidget(LabelS15, 0, 2);
    }
    {
        auto f = b.frame(1, 0);
        f.row(&TFormConfig::EditLivEmulAlto);
        f.row(&TFormConfig::EditLivEmulBasso);
        f.row(&TFormConfig::EditLivEmulStabilizzato);
        f.row(&TFormConfig::EditLivEmulCutoff);
        f.row(&TFormConfig::EditRitardoGiriEmulazione);
        f.line(b.note("LabelNotaEmiss", f.widget()));
    }
    {
        auto f = b.frame(2, 0);
        ShapeGiriEmissioni = b.shape("ShapeGiriEmissioni", f.widget());
        ShapeGiriEmissioni->setFixedHeight(1);
        LabelGiriEmissioni = b.label("LabelGiriEmissioni", f.widget());
        LabelGiriEmissioni->setAlignment(Qt::AlignCenter);
        f.line(LabelGiriEmissioni);
        ShapeMap = b.shape("ShapeMap", f.widget());
        ShapeMap->setFixedHeight(1);
        f.line(ShapeMap);
        DrawGridEmissioni = b.table("DrawGridEmissioni");
        f.line(DrawGridEmissioni);
        DrawGridAnticipo = b.table("DrawGridAnticipo");
        f.line(DrawGridAnticipo);
        f.line(ShapeGiriEmissioni);
    }
    ImageEmissioni = b.picture("ImageEmissioni");
    ImageEmissioni->hide();
    b.remainingRows();
    b.unplacedCaptions("TabEmissioni");
    b.finish(3, 1);
}

void TFormConfig::TabEmissioniShow() { LoadByCode(cfgwin::PageEmissioni); }
