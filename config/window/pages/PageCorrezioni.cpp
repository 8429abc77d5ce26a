// The Correzioni page: the correction tables and the return from cut-off.
#include "../FormConfigParts.h"

#include "CorrectionGrid.h"
#include "editors/NumericEdit.h"
#include "iodata.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QLabel>

using namespace cfgwin;

const TFormConfig::BindingTable& cfgwin::CorrezioniRows()
{
    using F = TFormConfig;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {.member = &F::EditIniettateBenzina, .name = "EditIniettateBenzina", .code = 106, .caption = 498,
         .captionName = "LabelInettateBenzina", .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditSmagrRientroCutoff, .name = "EditSmagrRientroCutoff", .code = 136, .caption = 580,
         .captionName = "LabelSmagrRientroCutoff", .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditNumeroIniettateSmagr, .name = "EditNumeroIniettateSmagr", .code = 137, .caption = 581,
         .captionName = "LabelNumeroIniettateSmagr", .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditGiriCutoff, .name = "EditGiriCutoff", .caption = 672, .captionName = "LabelGiriCutoff"},
        {.member = &F::EditTempoCutoff, .name = "EditTempoCutoff", .caption = 673, .captionName = "LabelTempoCutoff"},
    };
    return rows;
}

void TFormConfig::BuildCorrezioni()
{
    Builder b(this, TabCorrezioni, &CorrezioniRows());
    {
        auto f = b.frame(0, 0);
        f.title("LabelRientroCutoff");
        f.row(&TFormConfig::EditIniettateBenzina);
        f.row(&TFormConfig::EditSmagrRientroCutoff);
        f.row(&TFormConfig::EditNumeroIniettateSmagr);
        LabelGiriTempoCutoff = f.title("LabelGiriTempoCutoff");
        const auto giri = f.row(&TFormConfig::EditGiriCutoff);
        LabelGiriCutoff = giri.caption;
        const auto tempo = f.row(&TFormConfig::EditTempoCutoff);
        LabelTempoCutoff = tempo.caption;
    }
    {
        auto f = b.frame(0, 1);
        f.title("LabelRiferimentiRid");
        DrawGridTempRid = b.table("DrawGridTempRid");
        f.line(DrawGridTempRid);
        ImageMinusRid = b.picture("ImageMinusRid", f.widget());
        ImagePlusRid = b.picture("ImagePlusRid", f.widget());
        f.row(ImageMinusRid, ImagePlusRid);
        f.title("LabelRiferimentiGas");
        DrawGridTempGas = b.table("DrawGridTempGas");
        f.line(DrawGridTempGas);
        ImageMinusGas = b.picture("ImageMinusGas", f.widget());
        ImagePlusGas = b.picture("ImagePlusGas", f.widget());
        f.row(ImageMinusGas, ImagePlusGas);
    }
    {
        auto f = b.frame(1, 0, "ShapePressDiff", 1, 2);
        ShapePressDiff = static_cast<plat::Shape*>(f.widget());
        LabelCorrezioniPressione = f.title("LabelCorrezioniPressione");
        DrawGridPressDiff = b.table("DrawGridPressDiff");
        f.line(DrawGridPressDiff);
    }
    {
        auto f = b.frame(2, 0, "ShapeDelayGasTemp");
        ShapeDelayGasTemp = static_cast<plat::Shape*>(f.widget());
        LabelDelayGasTemp = f.title("LabelDelayGasTemp");
        DrawDelayGasTemp = b.table("DrawDelayGasTemp");
        f.line(DrawDelayGasTemp);
        ShapeLineDown = b.shape("ShapeLineDown", f.widget());
        ShapeLineDown->setFixedHeight(1);
        f.line(ShapeLineDown);
    }
    {
        auto f = b.frame(2, 1, "ShapePresPassaggio");
        ShapePresPassaggio = static_cast<plat::Shape*>(f.widget());
        LabelPressPassaggio = f.title("LabelPressPassaggio");
        DrawPressPassaggio = b.table("DrawPressPassaggio");
        f.line(DrawPressPassaggio);
        ShapeLineUp = b.shape("ShapeLineUp", f.widget());
        ShapeLineUp->setFixedHeight(1);
        f.line(ShapeLineUp);
    }
    b.remainingRows();
    b.unplacedCaptions("TabCorrezioni");
    b.finish(3, 2);
}

void TFormConfig::TabCorrezioniShow() { LoadByCode(cfgwin::PageCorrezioni); }
