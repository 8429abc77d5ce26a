// The Commutazione page: when the engine switches to gas and back.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "iodata.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

using namespace cfgwin;

const TFormConfig::BindingTable& cfgwin::CommutazioneRows()
{
    using F = TFormConfig;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {.member = &F::ComboCambio, .name = "ComboCambio", .caption = 112, .captionName = "LabelCambio"},
        {.member = &F::EditGiriCambio, .name = "EditGiriCambio", .code = 0x210, .caption = 116,
         .captionName = "LabelGiriCambio", .unit = 89, .unitName = "LabelRpm1", .limits = kItemLimits,
         .flags = kByCode},
        {.member = &F::EditTempRiduttore, .name = "EditTempRiduttore", .code = 15, .caption = 120,
         .captionName = "LabelTempRiduttore", .unit = 86, .unitName = "LabelT1", .limits = {-40, 120, 1},
         .flags = kByCode},
        {.member = &F::EditTempGasBassa, .name = "EditTempGasBassa", .caption = 585, .captionName = "LabelTempGasBassa",
         .unit = 86, .unitName = "LabTempGasBassa", .flags = kRangeHint},
        {.member = &F::EditRitMin, .name = "EditRitMin", .code = 17, .caption = 117, .captionName = "LabelRitardoCambio",
         .unit = 87, .unitName = "LabelS1", .flags = kRangeHint},
        // Hidden until a mode commit shows it.
        {.member = &F::EditTempGas, .name = "EditTempGas", .code = 117, .limits = kItemLimits,
         .flags = kByCode | kHidden},
        {.member = &F::CheckModificaSequenza2, .name = "CheckModificaSequenza2", .caption = 387,
         .captionName = "LabelModificaSequenza2", .flags = kEnterClicks},
        {.member = &F::CheckSpruzzata, .name = "CheckSpruzzata", .caption = 497, .captionName = "LabelSpruzzata",
         .flags = kEnterClicks},
        {.member = &F::RadioGas, .name = "RadioGas", .caption = 375, .captionName = "LabelGasMinimo"},
        {.member = &F::RadioRientro, .name = "RadioRientro", .caption = 376, .captionName = "LabelRientroBenzinaMinimo"},
        {.member = &F::RadioBenzina, .name = "RadioBenzina", .caption = 377, .captionName = "LabelBenzinaMinimo"},
        {.member = &F::RadioGasAltiGiri, .name = "RadioGasAltiGiri", .caption = 375, .captionName = "LabelGasAltiGiri"},
        {.member = &F::RadioContributoAltiGiri, .name = "RadioContributoAltiGiri", .caption = 500,
         .captionName = "LabelContributoAltiGiri"},
        {.member = &F::RadioBenzinaAltiGiri, .name = "RadioBenzinaAltiGiri", .caption = 377,
         .captionName = "LabelBenzinaAltiGiri"},
    };
    return rows;
}

void TFormConfig::BuildCommutazione()
{
    Builder b(this, TabCommutazione, &CommutazioneRows());
    {
        auto f = b.frame(0, 0, "ShapeTipoCommutazione");
        const auto m = f.row(&TFormConfig::ComboCambio);
        LabelCambio = m.caption;
        ShapeTipoCommutazione = static_cast<plat::Shape*>(f.widget());
    }
    {
        auto f = b.frame(1, 0, "ShapeSogliaCommutazione");
        const auto m = f.row(&TFormConfig::EditGiriCambio);
        LabelGiriCambio = m.caption;
        LabelRpm1 = m.unit;
        ShapeSogliaCommutazione = static_cast<plat::Shape*>(f.widget());
    }
    {
        auto f = b.frame(2, 0, "ShapeTempRiduttore");
        const auto m = f.row(&TFormConfig::EditTempRiduttore);
        LabelTempRiduttore = m.caption;
        LabelT1 = m.unit;
        ShapeTempRiduttore = static_cast<plat::Shape*>(f.widget());
    }
    {
        auto f = b.frame(3, 0, "ShapeTempGasBass");
        const auto m = f.row(&TFormConfig::EditTempGasBassa);
        LabelTempGasBassa = m.caption;
        LabTempGasBassa = m.unit;
        ShapeTempGasBass = static_cast<plat::Shape*>(f.widget());
    }
    {
        auto f = b.frame(4, 0, "ShapeRitardoCommutazione");
        const auto m = f.row(&TFormConfig::EditRitMin);
        LabelRitardoCambio = m.caption;
        LabelS1 = m.unit;
        ShapeRitardoCommutazione = static_cast<plat::Shape*>(f.widget());
    }
    {
        auto f = b.frame(0, 1, "PanelMinimo", 2);
        f.title("LabelMinimoBenzina");
        f.row(&TFormConfig::RadioGas);
        f.row(&TFormConfig::RadioRientro);
        f.row(&TFormConfig::RadioBenzina);
    }
    {
        auto f = b.frame(2, 1, "PanelAltiGiri", 2);
        f.title("LabelAltiGiriBenzina");
        f.row(&TFormConfig::RadioGasAltiGiri);
        f.row(&TFormConfig::RadioContributoAltiGiri);
        f.row(&TFormConfig::RadioBenzinaAltiGiri);
    }
    {
        auto f = b.frame(4, 1);
        f.row(&TFormConfig::CheckModificaSequenza2);
        f.row(&TFormConfig::CheckSpruzzata);
    }
    // Hidden holders of the pictures the tabs draw.
    ImageEsci = b.picture("ImageEsci");
    ImageEsci->setPicturePath(QStringLiteral(":/bmp/esci.png"));
    ImageEsci->hide();
    ImageConnected = b.picture("ImageConnected");
    ImageConnected->hide();
    b.remainingRows();
    b.unplacedCaptions("TabCommutazione");
    b.finish(5, 2);
    connect(CheckModificaSequenza2, &QCheckBox::clicked, this, [this] { CheckModificaSequenza2Click(); });
}

void TFormConfig::TabCommutazioneShow() { LoadByCode(cfgwin::PageCommutazione); }

// The page's visibility after a mode commit comes with its own handlers.
void TFormConfig::ApplySwitchPageVisibility(bool) {}
