// The three sheets that are never shown: Filtro (the window's placeholder
// grids), and the Iniezione+ and Dati di test pages, whose editors keep their
// bindings.
#include "PageSequenza.h"
#include "PageTest.h"

#include "config/window/FormConfigParts.h"
#include "datamodule/core/ItemCodes.h"

#include "complib/editors/NumericEdit.h"

#include <QCheckBox>
#include <QLabel>

using namespace cfgwin;

const TFormConfig::BindingTable& TPageSequenza::Rows()
{
    using F = TFormConfig;
    using Owner = TPageSequenza;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {QZ_BOUND(EditSafetyTime), .code = dm::kSafetyTimeCode, .captionName = "LabelSafetyTime", .limits = kItemLimits,
         .flags = kByCode},
        {QZ_BOUND(EditTInjBenzMaxPerCambio), .code = dm::kSwitchPetrolMaxCode,
         .captionName = "LabelTInjBenzMaxPerCambio", .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditCorrenteCutoff), .code = dm::kCutoffMaxCurrentCode, .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditValPercHoldingCurrent), .code = dm::kHoldingPercentCode,
         .captionName = "LabelValPercHoldingCurrent", .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditSafeDelay), .code = dm::kSafeDelayCode, .captionName = "LabelSafeDelay", .limits = kItemLimits,
         .flags = kByCode},
        {QZ_BOUND(EditIniezioneContinua), .code = dm::kContinuousInjectionCode, .captionName = "LabelIniezioneContinua",
         .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditScartoMinAlMin), .code = dm::kCalibrationShiftCode, .captionName = "LabelScartoMinAlMin",
         .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditDeltaK), .code = dm::kCalibrationParamsCode, .index = 0, .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditNumControlli), .code = dm::kCalibrationParamsCode, .index = 1, .limits = kItemLimits,
         .flags = kByCode},
        {QZ_BOUND(EditNumControlliOk), .code = dm::kCalibrationParamsCode, .index = 2, .limits = kItemLimits,
         .flags = kByCode},
        {QZ_BOUND(EditAperturaExtra), .code = dm::kExtraInjTimesCode, .index = 2, .captionName = "LabelAperturaExtra",
         .limits = kItemLimits, .flags = kByCode},
    };
    return rows;
}

const TFormConfig::BindingTable& TPageTest::Rows()
{
    using F = TFormConfig;
    using Owner = TPageTest;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {QZ_BOUND(EditRiccoForzato), .code = dm::kForcedRichCode, .captionName = "LabelRiccoForzato",
         .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditTestWord), .code = dm::kTestWordCode, .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditTestByte), .code = dm::kTestByteCode, .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditTestTempo), .code = dm::kTestTimeCode, .limits = kItemLimits, .flags = kByCode},
    };
    return rows;
}

void TFormConfig::BuildFiltro()
{
    Builder b(this, TabFiltroBenzina);
    DrawGridFiltro = new QWidget(TabFiltroBenzina);
    DrawGridFiltro->setObjectName(QStringLiteral("DrawGridFiltro"));
    DrawGridSgancio = new QWidget(TabFiltroBenzina);
    DrawGridSgancio->setObjectName(QStringLiteral("DrawGridSgancio"));
    b.Place(DrawGridFiltro, 0, 0);
    b.Place(DrawGridSgancio, 1, 0);
}

void TPageSequenza::Build()
{
    TFormConfig::Builder b(&Form(), Sheet(), &Rows(), this);
    auto f = b.FrameAt(0, 0);
    for (const TFormConfig::Binding& r : Rows())
        f.Row(r);
    f.Line(b.Check("CheckTempoMaxCorrente", f.Widget()));
    f.Line(b.Check("CheckIniezioneContinua", f.Widget()));
    f.Line(b.Label("LabelScartoMinFuoriMin", f.Widget()));
    b.Finish(1, 1);
}

void TPageSequenza::TabSequenzaShow() { Form().LoadByCode(kIndex); }

void TPageTest::Build()
{
    TFormConfig::Builder b(&Form(), Sheet(), &Rows(), this);
    auto f = b.FrameAt(0, 0);
    for (const TFormConfig::Binding& r : Rows())
        f.Row(r);
    f.Line(b.Label("LabelCorrezioniPressioneColl", f.Widget()));
    b.Finish(1, 1);
}

void TPageTest::TabTestShow() { Form().LoadByCode(kIndex); }
