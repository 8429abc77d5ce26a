// The Sensori page: lambda probes, banks, level sensor, return to petrol.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "iodata.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QLabel>

using namespace cfgwin;

const TFormConfig::BindingTable& cfgwin::SensoriRows()
{
    using F = TFormConfig;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {.member = &F::ComboTipoLambda, .name = "ComboTipoLambda", .code = 4, .caption = 380,
         .captionName = "LabelTipoLambda", .flags = kCommit | kLoadByCode},
        {.member = &F::EditRifLambda, .name = "EditRifLambda", .code = 5, .unit = 85, .unitName = "LabelV10",
         .limits = kItemLimits, .flags = kByCode},
        {.member = &F::ComboNumeroSonde, .name = "ComboNumeroSonde", .caption = 381, .captionName = "LabelNumeroSonde"},
        {.member = &F::EditCorrBancata2, .name = "EditCorrBancata2", .code = 0x49E, .caption = 348,
         .captionName = "LabelCorrBancata2", .limits = {-20, 20, 1}, .flags = kRangeHint},
        {.member = &F::ComboSonda1, .name = "ComboSonda1", .caption = 382, .captionName = "LabelTipoSonda1"},
        {.member = &F::ComboSonda2, .name = "ComboSonda2", .caption = 383, .captionName = "LabelTipoSonda2"},
        {.member = &F::ComboCommutatore, .name = "ComboCommutatore"},
        {.member = &F::EditLivello1, .name = "EditLivello1", .caption = 138, .captionName = "LabelSensore1",
         .limits = {0, 255, 1}, .flags = kRangeHint},
        {.member = &F::EditLivello2, .name = "EditLivello2", .caption = 139, .captionName = "LabelSensore2",
         .limits = {0, 255, 1}, .flags = kRangeHint},
        {.member = &F::EditLivello3, .name = "EditLivello3", .caption = 140, .captionName = "LabelSensore3",
         .limits = {0, 255, 1}, .flags = kRangeHint},
        {.member = &F::EditLivello4, .name = "EditLivello4", .caption = 141, .captionName = "LabelSensore4",
         .limits = {0, 255, 1}, .flags = kRangeHint},
        {.member = &F::CheckRitornoBenzina, .name = "CheckRitornoBenzina", .caption = 135,
         .captionName = "LabelCheckRitornoBenzina", .flags = kEnterClicks},
        {.member = &F::EditRitornoBenzina, .name = "EditRitornoBenzina", .code = 62, .caption = 136,
         .captionName = "LabelRitornoBenzina", .unit = 87, .unitName = "LabelS12", .limits = {0, 254, 1},
         .flags = kCommit | kRangeHint},
        {.member = &F::CheckElettrovalvole, .name = "CheckElettrovalvole", .caption = 363,
         .captionName = "LabelElettrovalvole", .flags = kEnterClicks},
        {.member = &F::CheckAlimentazione, .name = "CheckAlimentazione", .caption = 496,
         .captionName = "LabelAlimentazione", .flags = kEnterClicks},
    };
    return rows;
}

void TFormConfig::BuildSensori()
{
    Builder b(this, TabSensori, &SensoriRows());
    {
        auto f = b.frame(0, 0, "ShapeTipoLambda");
        f.row(&TFormConfig::ComboTipoLambda);
        f.row(&TFormConfig::EditRifLambda);
        f.row(&TFormConfig::ComboNumeroSonde);
        const auto corr = f.row(&TFormConfig::EditCorrBancata2);
        Q_UNUSED(corr);
    }
    {
        auto f = b.frame(1, 0);
        f.row(&TFormConfig::ComboSonda1);
        f.row(&TFormConfig::ComboSonda2);
    }
    {
        auto f = b.frame(0, 1);
        f.title("LabelSensoreLivello");
        f.row(&TFormConfig::ComboCommutatore);
        f.title("LabelRifSensore");
        f.row(&TFormConfig::EditLivello1);
        f.row(&TFormConfig::EditLivello2);
        f.row(&TFormConfig::EditLivello3);
        f.row(&TFormConfig::EditLivello4);
        ImageConferma = b.picture("ImageConferma", f.widget());
        f.line(ImageConferma, Qt::AlignRight);
    }
    {
        auto f = b.frame(2, 0, "ShapeRitorno");
        ShapeRitorno = static_cast<plat::Shape*>(f.widget());
        auto c = f.frame("ShapeCheckRitorno");
        ShapeCheckRitorno = static_cast<plat::Shape*>(c.widget());
        const auto check = c.row(&TFormConfig::CheckRitornoBenzina);
        LabelCheckRitornoBenzina = check.caption;
        const auto time = f.row(&TFormConfig::EditRitornoBenzina);
        LabelRitornoBenzina = time.caption;
        LabelS12 = time.unit;
    }
    {
        auto f = b.frame(1, 1, nullptr, 2);
        f.row(&TFormConfig::CheckElettrovalvole);
        f.row(&TFormConfig::CheckAlimentazione);
    }
    b.remainingRows();
    b.unplacedCaptions("TabSensori");
    b.finish(3, 2);
}

void TFormConfig::TabSensoriShow() { LoadByCode(cfgwin::PageSensori); }

// The bank rules come with this page's own change.
void TFormConfig::ApplyBankVisibility() {}
