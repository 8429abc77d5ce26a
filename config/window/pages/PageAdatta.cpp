#include "PageAdatta.h"

#include "SliderTrack.h"
#include "config/window/FormConfigParts.h"
#include "datamodule/core/ItemCodes.h"

#include "complib/editors/KeyComboBox.h"
#include "config/rules/AdattaRules.h"
#include "datamodule/core/Scaling.h"
#include "datamodule/core/iodata.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

using namespace cfgwin;

namespace {

constexpr char16_t kEnter = 13;
constexpr int kFlagAdattativita = 25;
// The sensitivity buttons' pictures, released and pressed.
constexpr int kPicturePlus = 10035, kPicturePlusDown = 10036;
constexpr int kPictureMinus = 10037, kPictureMinusDown = 10038;
// The OBD protocols, by the ECU's index (item code 187).
const char* const kObdProtocols[] = {"Auto",
                                     "1: ISO9141-2",
                                     "2: KWP-2000 Fast Init",
                                     "3: KWP-2000 Slow Init",
                                     "6: CAN Standard 250 kbps",
                                     "7: CAN Extended 250 kbps",
                                     "8: CAN Standard 500 kbps",
                                     "9: CAN Extended 500 kbps"};

// Checks the radio of that Tag in the group, or none.
void checkTag(QButtonGroup* group, int tag)
{
    for (QAbstractButton* b : group->buttons())
        if (b->property("Tag").toInt() == tag) {
            b->setChecked(true);
            return;
        }
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

} // namespace

const TFormConfig::BindingTable& TPageAdatta::Rows()
{
    using F = TFormConfig;
    using Owner = TPageAdatta;
    static const F::BindingTable rows = {
        {QZ_BOUND(CheckAdattativita), .caption = 564, .flags = kEnterClicks},
        {QZ_BOUND(RadioAdattaDiritti), .caption = 569},
        {QZ_BOUND(RadioAdattaInvertiti), .caption = 570},
        {QZ_BOUND(RadioAdatta25), .caption = 566},
        {QZ_BOUND(RadioAdatta50), .caption = 567},
        {QZ_BOUND(RadioAdatta100), .caption = 568},
        {QZ_BOUND(ComboTipoObd), .code = dm::kObdProtocolCode, .captionName = "LabelTipoObd", .flags = kLoadByCode},
    };
    return rows;
}

void TPageAdatta::Build()
{
    TFormConfig::Builder b(&Form(), Sheet(), &Rows(), this);
    {
        auto f = b.FrameAt(0, 0);
        f.Row(&TPageAdatta::CheckAdattativita);
        PanelAdatta = b.Panel("PanelAdatta", f.Widget());
        f.Line(PanelAdatta);
        TFormConfig::Builder::Frame pf(&b, PanelAdatta);
        pf.Grid()->setContentsMargins(0, 0, 0, 0);
        pf.Title("LabelTipoCorrettori");
        // Sign and range are two settings: two groups of their own.
        auto sign = pf.InnerFrame();
        auto* signGroup = new QButtonGroup(PanelAdatta);
        signGroup->setObjectName(QStringLiteral("GroupAdattaSegno"));
        int line = 0;
        for (auto [member, note] : {std::pair{&TPageAdatta::RadioAdattaDiritti, "LabelAdattaNota1"},
                                    std::pair{&TPageAdatta::RadioAdattaInvertiti, "LabelAdattaNota2"}}) {
            auto* radio = static_cast<QRadioButton*>(b.Bound(member, sign.Widget()).control);
            radio->setProperty("Tag", line);
            signGroup->addButton(radio);
            sign.Grid()->addWidget(radio, line, 0);
            sign.Grid()->addWidget(b.Note(note, sign.Widget()), line, 1);
            ++line;
            connect(radio, &QRadioButton::clicked, this, [this, radio] { RadioAdattaDirittiClick(radio); });
        }
        auto range = pf.InnerFrame();
        auto* rangeGroup = new QButtonGroup(PanelAdatta);
        rangeGroup->setObjectName(QStringLiteral("GroupAdattaRange"));
        int tag = 0;
        for (auto member : {&TPageAdatta::RadioAdatta25, &TPageAdatta::RadioAdatta50, &TPageAdatta::RadioAdatta100}) {
            auto* radio = static_cast<QRadioButton*>(range.Row(member).control);
            radio->setProperty("Tag", tag++);
            rangeGroup->addButton(radio);
            connect(radio, &QRadioButton::clicked, this, [this, radio] { RadioAdatta25Click(radio); });
        }
    }
    {
        auto f = b.FrameAt(1, 0);
        LabelSensAdatta = f.Title("LabelSensAdatta");
        ImageMinusAdatta = b.Picture("ImageMinusAdatta", f.Widget());
        ImagePlusAdatta = b.Picture("ImagePlusAdatta", f.Widget());
        ImageBarraAdatta = b.Shape("ImageBarraAdatta");
        ImagePallinoAdatta = b.Picture("ImagePallinoAdatta");
        auto* track = new TSliderTrack(f.Widget(), ImageBarraAdatta, ImagePallinoAdatta);
        QGridLayout* g = f.Grid();
        g->setColumnStretch(0, 0);
        g->setColumnStretch(1, 1);
        const int at = f.NextRow();
        g->addWidget(ImageMinusAdatta, at, 0, Qt::AlignCenter);
        g->addWidget(track, at, 1);
        g->addWidget(ImagePlusAdatta, at, 2, Qt::AlignCenter);
        LabelValueAdatta = b.Label("LabelValueAdatta", f.Widget());
        g->addWidget(LabelValueAdatta, at + 1, 1, Qt::AlignHCenter);
    }
    {
        auto f = b.FrameAt(2, 0);
        f.Row(&TPageAdatta::ComboTipoObd);
        for (const char* protocol : kObdProtocols)
            ComboTipoObd->addItem(QString::fromLatin1(protocol));
    }
    {
        // The slow OBD correctors, live.
        auto f = b.FrameAt(0, 1);
        LabelCorrettoriGas = f.Title("LabelCorrettoriGas");
        LabelCorrettoriGas->setWordWrap(false);
        LabelCorrMinimo = b.Label("LabelCorrMinimo", f.Widget());
        LabCorrMinimo = b.Label("LabCorrMinimo", f.Widget());
        f.Row(LabelCorrMinimo, LabCorrMinimo);
        LabelCorrFuoriMinimo = b.Label("LabelCorrFuoriMinimo", f.Widget());
        LabCorrFuoriMinimo = b.Label("LabCorrFuoriMinimo", f.Widget());
        f.Row(LabelCorrFuoriMinimo, LabCorrFuoriMinimo);
        for (QLabel* value : {LabCorrMinimo, LabCorrFuoriMinimo})
            value->setText(QStringLiteral("-"));
    }
    b.RemainingRows();
    b.Finish(3, 2);

    connect(CheckAdattativita, &QCheckBox::clicked, this, [this] { CheckAdattativitaClick(); });
    connect(ImageMinusAdatta, &plat::PictureButton::clicked, this, [this] { ImageMinusAdattaClick(); });
    connect(ImagePlusAdatta, &plat::PictureButton::clicked, this, [this] { ImagePlusAdattaClick(); });
    connect(ComboTipoObd, &TKeyComboBox::keyPressed, this, [this](QChar c) { ComboTipoObdKeyPress(c); });
}

void TPageAdatta::TabAdattaShow()
{
    ShowAdaptationBox();
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    const int bits = dm::TruncToInt(dm().GetElementByCode(cfgrules::kAdattaCode, cfgrules::kAdattaBits));
    checkTag(RadioAdattaDiritti->group(), cfgrules::SignTag(bits));
    checkTag(RadioAdatta25->group(), cfgrules::RangeTag(bits));
    LoadingControls = wasLoading;
    showSensitivity(dm::TruncToInt(dm().GetElementByCode(cfgrules::kAdattaCode, cfgrules::kAdattaSensitivity)));
    // The protocol by its code.
    Form().LoadByCode(cfgwin::PageAdatta);
}

void TPageAdatta::showSensitivity(int sensitivity)
{
    if (auto* track = dynamic_cast<TSliderTrack*>(ImagePallinoAdatta->parentWidget()))
        track->SetFraction(sensitivity - cfgrules::kSensitivityMin,
                           cfgrules::kSensitivityMax - cfgrules::kSensitivityMin);
    LabelValueAdatta->setText(QString::number(sensitivity) + QLatin1Char('%'));
}

void TPageAdatta::CheckAdattativitaClick()
{
    if (!LoadingControls)
        dm().SetFlag(kFlagAdattativita, CheckAdattativita->isChecked());
    // The gas corrector of the live bar and the correctors' kind follow
    // the flag as the module holds it.
    const bool on = dm().GetFlag(kFlagAdattativita) != 0;
    for (QWidget* w :
         std::initializer_list<QWidget*>{Form().LabelAdattaGas, Form().LabAdattaGas, Form().ImageAdataGas, PanelAdatta})
        w->setVisible(on);
    for (QWidget* w : std::initializer_list<QWidget*>{
             ImageMinusAdatta, ImagePlusAdatta, ImagePallinoAdatta, ImageBarraAdatta, LabelValueAdatta, LabelSensAdatta,
             LabelCorrettoriGas, LabelCorrMinimo, LabCorrMinimo, LabelCorrFuoriMinimo, LabCorrFuoriMinimo})
        w->setVisible(true);
}

void TPageAdatta::RadioAdattaDirittiClick(QRadioButton* radio)
{
    if (!LoadingControls)
        cfgrules::ChooseSign(dm(), radio->property("Tag").toInt());
}

void TPageAdatta::RadioAdatta25Click(QRadioButton* radio)
{
    if (!LoadingControls)
        cfgrules::ChooseRange(dm(), radio->property("Tag").toInt());
}

void TPageAdatta::ImageMinusAdattaClick() { showSensitivity(cfgrules::StepSensitivity(dm(), false)); }

void TPageAdatta::ImagePlusAdattaClick() { showSensitivity(cfgrules::StepSensitivity(dm(), true)); }

void TPageAdatta::ComboTipoObdKeyPress(QChar key)
{
    if (key.unicode() != kEnter || ComboTipoObd->IsDroppedDown())
        return;
    // No selection, no write.
    const int index = ComboTipoObd->currentIndex();
    if (index < 0)
        return;
    dm().SetValueByCode(dm::kObdProtocolCode, index);
    const int held = static_cast<int>(dm().GetValueByCode(dm::kObdProtocolCode));
    ComboTipoObd->setCurrentIndex(held >= 0 && held < ComboTipoObd->count() ? held : -1);
}

// ---------------------------------------------------------------------------
// What the window asks of the page

void TPageAdatta::LoadPictures()
{
    ImagePlusAdatta->setPictures(kPicturePlus, kPicturePlusDown);
    ImageMinusAdatta->setPictures(kPictureMinus, kPictureMinusDown);
}

void TPageAdatta::ShowAdaptationBox()
{
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    CheckAdattativita->setChecked(dm().GetFlag(kFlagAdattativita) != 0);
    CheckAdattativitaClick();
    LoadingControls = wasLoading;
}

void TPageAdatta::ShowIdleCorrectors(const cfglive::ObdIdleView& view)
{
    // Written only when they change: an unchanged reading repaints nothing.
    if (LabCorrMinimo->text() != view.idle)
        LabCorrMinimo->setText(view.idle);
    if (LabCorrFuoriMinimo->text() != view.offIdle)
        LabCorrFuoriMinimo->setText(view.offIdle);
}
