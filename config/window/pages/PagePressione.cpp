#include "PagePressione.h"

#include "config/window/FormConfigParts.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"
#include "config/rules/SensorRules.h"
#include "datamodule/core/iodata.h"

#include "plat/Shape.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace cfgwin;

namespace {

constexpr char16_t kEnter = 13;

} // namespace

const TFormConfig::BindingTable& TPagePressione::Rows()
{
    using F = TFormConfig;
    using Owner = TPagePressione;
    static const F::BindingTable rows = {
        {QZ_BOUND(EditOffsetDiff), .caption = 211, .captionName = "LabelOffsetDiff", .unitName = "LabelMbarOffsetDiff",
         .limits = {-2000, 2000, 1}, .flags = kRangeHint},
        {QZ_BOUND(EditPendenzaDiff), .caption = 212, .captionName = "LabelPendenzaDiff",
         .unitName = "LabelMbarVPendenzaDiff", .limits = {0, 3000, 1}, .flags = kRangeHint},
        {QZ_BOUND(EditOffset), .caption = 211, .captionName = "LabelOffset", .unitName = "LabelMbarOffset",
         .limits = {-2000, 2000, 1}, .flags = kRangeHint},
        {QZ_BOUND(EditPendenza), .caption = 212, .captionName = "LabelPendenza", .unitName = "LabelMbarVPendenza",
         .limits = {0, 2000, 1}, .flags = kRangeHint},
        // Kept in step with the data module, never shown.
        {QZ_BOUND(RadioMapInterno), .caption = 208, .flags = kHidden},
        {QZ_BOUND(RadioMapEsterno), .caption = 209, .flags = kHidden},
        {QZ_BOUND(ComboMisuratorePressione), .caption = 252, .captionName = "LabelTipoMisuratorePressione",
         .flags = kHidden},
        {QZ_BOUND(ComboPressioneMisurata), .caption = 255, .captionName = "LabelTipoPressioneMisurata",
         .flags = kHidden},
        {QZ_BOUND(ComboSensoreMap), .flags = kHidden},
    };
    return rows;
}

void TPagePressione::Build()
{
    TFormConfig::Builder b(&Form(), Sheet(), &Rows(), this);
    for (auto [row, shape, title, offset, slope] :
         {std::tuple{0, "PanelMisuratorePressione", "LabelMisuratorePressione", &TPagePressione::EditOffsetDiff,
                     &TPagePressione::EditPendenzaDiff},
          std::tuple{1, "PanelParametri", "LabelParametri", &TPagePressione::EditOffset,
                     &TPagePressione::EditPendenza}}) {
        auto f = b.FrameAt(row, 0, shape);
        f.Title(title);
        f.Row(offset).unit->setText(QStringLiteral("mbar"));
        f.Row(slope).unit->setText(QStringLiteral("mbar/V"));
        (row == 0 ? PanelMisuratorePressione : PanelParametri) = static_cast<plat::Shape*>(f.Widget());
    }
    // The selectors' captions and the guided search have no place on the
    // page: made for their texts, never shown.
    b.Label("LabelTipoMap")->hide();
    auto* search = new QPushButton(Sheet());
    search->setObjectName(QStringLiteral("ButtonRicercaParametri"));
    search->hide();
    b.RemainingRows();
    b.Finish(2, 1);
    const std::pair<TNumericEdit*, int> tags[] = {{EditOffset, 2}, {EditPendenza, 3}, {EditOffsetDiff, 4},
                                                  {EditPendenzaDiff, 5}};
    for (auto [e, tag] : tags) {
        e->setProperty("Tag", tag);
        connect(e, &TNumericEdit::keyPressed, this, [this, e](QChar c) { EditOffsetKeyPress(e, c); });
    }
    ComboSensoreMap->addItems(cfgrules::MapSensorItems());
    RadioMapInterno->setProperty("Tag", 1);
    RadioMapEsterno->setProperty("Tag", 0);
    // A click runs whenever a button becomes checked, by the user or by the
    // program.
    for (QRadioButton* r : {RadioMapInterno, RadioMapEsterno})
        connect(r, &QRadioButton::toggled, this, [this, r](bool on) {
            if (on)
                RadioMapInternoClick(r);
        });
}

void TPagePressione::ApplyPressurePageVisibility()
{
    PanelParametri->setVisible(cfgrules::ExternalMapPairVisible(dm().GetFlag(cfgrules::kInternalMapOption) != 0,
                                                                dm().GetFlag(cfgrules::kDifferentialOption) != 0));
}

void TPagePressione::LoadMapSelector()
{
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    QRadioButton* r = dm().GetFlag(cfgrules::kInternalMapOption) ? RadioMapInterno : RadioMapEsterno;
    if (r->isChecked())
        RadioMapInternoClick(r);
    else
        r->setChecked(true);
    LoadingControls = wasLoading;
}

void TPagePressione::TabPressioneShow()
{
    const bool meter = dm().GetFlag(cfgrules::kPressureMeterOption) != 0;
    ComboMisuratorePressione->setCurrentIndex(cfgrules::PressureMeterItem(meter));
    ComboPressioneMisurata->setCurrentIndex(
        cfgrules::PressureReadingItem(meter, dm().GetFlag(cfgrules::kDifferentialOption) != 0));
    LoadMapSelector();
    ComboSensoreMap->setCurrentIndex(cfgrules::MapSensorItem(dm().GetOffsetPendenza(4), dm().GetOffsetPendenza(5)));
    for (TNumericEdit* e : {EditOffset, EditPendenza, EditOffsetDiff, EditPendenzaDiff})
        Form().ShowLoadedInteger(e, dm().GetOffsetPendenza(e->property("Tag").toInt()));
    ApplyPressurePageVisibility();
}

void TPagePressione::RadioMapInternoClick(QRadioButton* button)
{
    if (!LoadingControls)
        dm().SetFlag(cfgrules::kInternalMapOption, button->property("Tag").toInt() != 0);
    ApplyPressurePageVisibility();
}

void TPagePressione::EditOffsetKeyPress(TNumericEdit* edit, QChar key)
{
    if (key.unicode() != kEnter)
        return;
    const int tag = edit->property("Tag").toInt();
    if (Form().Touched(edit))
        dm().SetOffsetPendenza(tag, edit->GetAsInteger());
    Form().ShowLoadedInteger(edit, dm().GetOffsetPendenza(tag));
}
