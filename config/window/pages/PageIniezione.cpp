#include "PageIniezione.h"

#include "config/window/FormConfigParts.h"
#include "datamodule/core/ItemCodes.h"

#include "complib/editors/NumericEdit.h"
#include "config/rules/SensorRules.h"
#include "datamodule/core/Scaling.h"
#include "datamodule/core/iodata.h"

#include <QFrame>
#include <QLabel>

using namespace cfgwin;

namespace {

constexpr char16_t kEnter = 13;

} // namespace

const TFormConfig::BindingTable& TPageIniezione::Rows()
{
    using F = TFormConfig;
    using Owner = TPageIniezione;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {QZ_BOUND(EditTempoMassimaCorrente), .code = dm::kMaxCurrentTimesCode, .index = 0,
         .captionName = "LabelTempoMaxCorr", .unitName = "LabelMsTempoMaxCorr", .limits = kItemLimits,
         .flags = kByCode},
        {QZ_BOUND(EditTempoInterSpegnimento), .code = dm::kMaxCurrentTimesCode, .index = 1,
         .captionName = "LabelTempoInterSpegnimento", .unitName = "LabelMsTempoInterSpegnimento", .limits = kItemLimits,
         .flags = kByCode},
        {QZ_BOUND(EditImpedenzaIniettori), .code = dm::kHoldingFrequencyCode, .captionName = "LabelImpedenzaIniettori",
         .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditCorrente), .code = dm::kHoldingCurrentCode, .captionName = "LabelCorrente", .limits = kItemLimits,
         .flags = kByCode},
        {QZ_BOUND(EditParamInj), .code = dm::kInjectorParameterCode, .captionName = "LabelParamInj",
         .unitName = "LabelMsParamInj", .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditTMaxExtraInjBenz), .code = dm::kExtraInjPetrolMaxCode, .captionName = "LabelTMaxExtraInjBenz",
         .unitName = "LabelMsTMaxExtraInjBenz", .limits = kItemLimits, .flags = kByCode},
        // The injector times through their own accessor (no read-back).
        {QZ_BOUND(EditAperturaInj), .caption = 152, .captionName = "LabelTAperturaInj", .unit = 90,
         .unitName = "LabelMsTAperturaInj", .limits = {0, 0, 0.01}, .flags = kRangeHint},
        {QZ_BOUND(EditChiusuraInj), .caption = 153, .captionName = "LabelTChiusuraInj", .unit = 90,
         .unitName = "LabelMsTChiusuraInj", .limits = {0, 0, 0.01}, .flags = kRangeHint},
        {QZ_BOUND(EditTempoMortoBenz), .caption = 200, .captionName = "LabelTempoMortoBenz", .unit = 90,
         .unitName = "LabelMsTempoMortoBenz", .limits = {0, 0, 0.01}, .flags = kRangeHint},
        {QZ_BOUND(EditTempoMortoGas), .caption = 201, .captionName = "LabelTempoMortoGas", .unit = 90,
         .unitName = "LabelMsTempoMortoGas", .limits = {0, 0, 0.01}, .flags = kRangeHint},
        // The extra injections beside the offsets.
        {QZ_BOUND(EditTempoBenzExtra), .code = dm::kExtraInjTimesCode, .index = 0, .captionName = "LabelExtraIniettate",
         .unitName = "LabelMsTempoBenzExtra", .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditTempoGasExtra), .code = dm::kExtraInjTimesCode, .index = 1, .captionName = "LabelExtraIniettate2",
         .unitName = "LabelMsTempoGasExtra", .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditTInjSup22), .caption = 400, .captionName = "LabelTInjSup22", .unit = 90,
         .unitName = "LabelMsTInjSup22", .limits = {0.02, 30, 0.02}, .flags = kRangeHint},
    };
    return rows;
}

void TPageIniezione::Build()
{
    TFormConfig::Builder b(&Form(), Sheet(), &Rows(), this);
    {
        auto f = b.FrameAt(0, 0);
        f.Row(&TPageIniezione::EditTempoMassimaCorrente);
        f.Row(&TPageIniezione::EditTempoInterSpegnimento);
        f.Row(&TPageIniezione::EditImpedenzaIniettori);
        f.Row(&TPageIniezione::EditCorrente);
        f.Row(&TPageIniezione::EditParamInj);
    }
    {
        auto f = b.FrameAt(1, 0);
        f.Row(&TPageIniezione::EditAperturaInj);
        f.Row(&TPageIniezione::EditChiusuraInj);
        f.Row(&TPageIniezione::EditTMaxExtraInjBenz);
    }
    {
        // Each offset with its extra injection on the same line, room for
        // their range hints between the lines.
        auto f = b.FrameAt(0, 1);
        QGridLayout* g = f.Grid();
        int line = 0;
        QWidget* above = nullptr;
        for (auto [offset, extra] :
             {std::pair{&TPageIniezione::EditTempoMortoBenz, &TPageIniezione::EditTempoBenzExtra},
              std::pair{&TPageIniezione::EditTempoMortoGas, &TPageIniezione::EditTempoGasExtra}}) {
            const auto o = b.Bound(offset, f.Widget());
            if (above)
                g->addItem(b.RowGap({above}, o.control), line++, 0, 1, 6);
            above = o.control;
            const auto e = b.Bound(extra, f.Widget());
            g->addWidget(o.caption, line, 0, Qt::AlignVCenter);
            g->addWidget(o.control, line, 1);
            g->addWidget(o.unit, line, 2);
            g->addWidget(e.caption, line, 3, Qt::AlignRight | Qt::AlignVCenter);
            g->addWidget(e.control, line, 4);
            g->addWidget(e.unit, line, 5);
            ++line;
        }
    }
    {
        auto f = b.PanelFrame(&PanelMaxTempo, "PanelMaxTempo", 1, 1);
        f.Row(&TPageIniezione::EditTInjSup22);
    }
    b.RemainingRows();
    b.Finish(2, 2);

    for (TNumericEdit* e : {EditAperturaInj, EditChiusuraInj})
        connect(e, &TNumericEdit::keyPressed, this, [this, e](QChar c) { EditAperturaInjKeyPress(e, c); });
    for (TNumericEdit* e : {EditTempoMortoBenz, EditTempoMortoGas})
        connect(e, &TNumericEdit::keyPressed, this, [this, e](QChar c) { EditTempoMortoBenzKeyPress(e, c); });
    connect(EditTInjSup22, &TNumericEdit::keyPressed, this, [this](QChar c) { EditTInjSup22KeyPress(c); });
}

void TPageIniezione::TabIniezioneShow()
{
    TFormConfig& form = Form();
    form.LoadByCode(kIndex);
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    // The injector times are unsigned 16-bit time-base units.
    const double longest = static_cast<double>(dm::MsFromRaw(65535, dm().GetTimeBase()));
    for (TNumericEdit* e : {EditAperturaInj, EditChiusuraInj, EditTempoMortoBenz, EditTempoMortoGas}) {
        e->SetMinValue(0);
        e->SetMaxValue(longest);
    }
    form.ShowLoaded(EditAperturaInj, static_cast<double>(dm().GetTempoIniettore(1)));
    form.ShowLoaded(EditChiusuraInj, static_cast<double>(dm().GetTempoIniettore(2)));
    form.ShowLoaded(EditTempoMortoBenz, static_cast<double>(dm().GetTempoIniettore(3)));
    form.ShowLoaded(EditTempoMortoGas, static_cast<double>(dm().GetTempoIniettore(4)));
    form.ShowLoaded(EditTInjSup22, static_cast<double>(dm().GetTInjFiltro(6)));
    LoadingControls = wasLoading;
}

void TPageIniezione::EditAperturaInjKeyPress(TNumericEdit* edit, QChar key)
{
    if (key.unicode() == kEnter && Form().Touched(edit)) {
        dm().SetTempoIniettore(edit == EditAperturaInj ? 1 : 2, edit->GetAsFloat());
        Form().MarkLoaded(edit);
    }
}

void TPageIniezione::EditTempoMortoBenzKeyPress(TNumericEdit* edit, QChar key)
{
    if (key.unicode() == kEnter && Form().Touched(edit)) {
        dm().SetTempoIniettore(edit == EditTempoMortoBenz ? 3 : 4, edit->GetAsFloat());
        Form().MarkLoaded(edit);
    }
}

void TPageIniezione::EditTInjSup22KeyPress(QChar key)
{
    Form().CommitOwnEditor(
        EditTInjSup22, key, false, [this](double v) { return cfgrules::CommitMaxInjectionTime(dm(), v); },
        [this] { return static_cast<double>(dm().GetTInjFiltro(cfgrules::kMaxInjectionTime)); });
}
