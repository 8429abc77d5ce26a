// The Mappa page: the K-coefficient map and its controls.
#include "../FormConfigParts.h"

#include "DrawGridK.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "iodata.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

using namespace cfgwin;

const TFormConfig::BindingTable& cfgwin::MappaRows()
{
    using F = TFormConfig;
    static const F::BindingTable rows = {
        {.member = &F::EditSmagrimento, .name = "EditSmagrimento", .code = 22, .caption = 328,
         .captionName = "LabelSmagrimento", .limits = kItemLimits, .flags = kCommit | kRangeHint | kLoadByCode},
        {.member = &F::RadioMapK, .name = "RadioMapK", .caption = 691},
        {.member = &F::RadioMapCorr, .name = "RadioMapCorr", .caption = 692},
        {.member = &F::CheckExtraInj, .name = "CheckExtraInj", .flags = kEnterClicks},
        {.member = &F::CheckTagliaExtraIniettate, .name = "CheckTagliaExtraIniettate", .caption = 693,
         .captionName = "LabelTagliaExtraIniettate", .flags = kEnterClicks},
        {.member = &F::CheckAutotaratura, .name = "CheckAutotaratura", .flags = kEnterClicks},
    };
    return rows;
}

void TFormConfig::BuildMappa()
{
    Builder b(this, TabMappa, &MappaRows());
    DrawGridK = new ::DrawGridK(TabMappa);
    DrawGridK->setObjectName(QStringLiteral("DrawGridK"));
    b.place(DrawGridK, 0, 0, 4, 1, Qt::AlignTop | Qt::AlignLeft);
    {
        auto f = b.frame(0, 1, "ShapeTarget");
        ShapeTarget = static_cast<plat::Shape*>(f.widget());
        ImageTarget = b.picture("ImageTarget", f.widget());
        f.line(ImageTarget);
        f.row(&TFormConfig::RadioMapK);
        f.row(&TFormConfig::RadioMapCorr);
    }
    {
        auto f = b.frame(1, 1);
        f.row(&TFormConfig::EditSmagrimento);
        f.row(&TFormConfig::CheckTagliaExtraIniettate);
        f.row(&TFormConfig::CheckExtraInj);
        ImagePlusExtraInj = b.picture("ImagePlusExtraInj", f.widget());
        ImageMinusExtraInj = b.picture("ImageMinusExtraInj", f.widget());
        f.row(ImageMinusExtraInj, ImagePlusExtraInj);
        ImagePlus = b.picture("ImagePlus", f.widget());
        ImageMinus = b.picture("ImageMinus", f.widget());
        f.row(ImageMinus, ImagePlus);
    }
    {
        PanelAutotaratura = b.panel("PanelAutotaratura");
        b.place(PanelAutotaratura, 2, 1, 1, 1, Qt::AlignTop);
        Builder::Frame f(&b, PanelAutotaratura);
        f.row(&TFormConfig::CheckAutotaratura);
    }
    b.remainingRows();
    b.unplacedCaptions("TabMappa");
    b.finish(4, 2);
}

void TFormConfig::TabMappaShow() { LoadByCode(cfgwin::PageMappa); }
