// The three sheets that are never shown: Filtro, Iniezione+ and Dati di
// test. Their editors keep their bindings.
#include "../FormConfigParts.h"

#include "editors/NumericEdit.h"

#include <QCheckBox>
#include <QLabel>

using namespace cfgwin;

const TFormConfig::BindingTable& cfgwin::SequenzaRows()
{
    using F = TFormConfig;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {.member = &F::EditSafetyTime, .name = "EditSafetyTime", .code = 122, .caption = 151,
         .captionName = "LabelSafetyTime", .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditTInjBenzMaxPerCambio, .name = "EditTInjBenzMaxPerCambio", .code = 0x292, .caption = 161,
         .captionName = "LabelTInjBenzMaxPerCambio", .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditCorrenteCutoff, .name = "EditCorrenteCutoff", .code = 0x249, .limits = kItemLimits,
         .flags = kByCode},
        {.member = &F::EditValPercHoldingCurrent, .name = "EditValPercHoldingCurrent", .code = 119, .caption = 149,
         .captionName = "LabelValPercHoldingCurrent", .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditSafeDelay, .name = "EditSafeDelay", .code = 0x28E, .caption = 155,
         .captionName = "LabelSafeDelay", .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditIniezioneContinua, .name = "EditIniezioneContinua", .code = 54, .caption = 317,
         .captionName = "LabelIniezioneContinua", .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditScartoMinAlMin, .name = "EditScartoMinAlMin", .code = 0x293, .caption = 160,
         .captionName = "LabelScartoMinAlMin", .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditDeltaK, .name = "EditDeltaK", .code = 151, .index = 0, .limits = kItemLimits,
         .flags = kByCode},
        {.member = &F::EditNumControlli, .name = "EditNumControlli", .code = 151, .index = 1, .limits = kItemLimits,
         .flags = kByCode},
        {.member = &F::EditNumControlliOk, .name = "EditNumControlliOk", .code = 151, .index = 2,
         .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditAperturaExtra, .name = "EditAperturaExtra", .code = 0x29B, .index = 2, .caption = 306,
         .captionName = "LabelAperturaExtra", .limits = kItemLimits, .flags = kByCode},
    };
    return rows;
}

const TFormConfig::BindingTable& cfgwin::TestRows()
{
    using F = TFormConfig;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {.member = &F::EditRiccoForzato, .name = "EditRiccoForzato", .code = 70, .caption = 225,
         .captionName = "LabelRiccoForzato", .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditTestWord, .name = "EditTestWord", .code = 0x212, .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditTestByte, .name = "EditTestByte", .code = 23, .limits = kItemLimits, .flags = kByCode},
        {.member = &F::EditTestTempo, .name = "EditTestTempo", .code = 0x218, .limits = kItemLimits,
         .flags = kByCode},
    };
    return rows;
}

void TFormConfig::BuildUnshownPages()
{
    {
        Builder b(this, TabFiltroBenzina);
        DrawGridFiltro = new QWidget(TabFiltroBenzina);
        DrawGridFiltro->setObjectName(QStringLiteral("DrawGridFiltro"));
        DrawGridSgancio = new QWidget(TabFiltroBenzina);
        DrawGridSgancio->setObjectName(QStringLiteral("DrawGridSgancio"));
        b.place(DrawGridFiltro, 0, 0);
        b.place(DrawGridSgancio, 1, 0);
    }
    {
        Builder b(this, TabSequenza, &SequenzaRows());
        auto f = b.frame(0, 0);
        for (const Binding& r : SequenzaRows())
            f.row(r);
        f.line(b.check("CheckTempoMaxCorrente", f.widget()));
        f.line(b.check("CheckIniezioneContinua", f.widget()));
        f.line(b.label("LabelScartoMinFuoriMin", f.widget()));
        b.finish(1, 1);
    }
    {
        Builder b(this, TabTest, &TestRows());
        auto f = b.frame(0, 0);
        for (const Binding& r : TestRows())
            f.row(r);
        f.line(b.label("LabelCorrezioniPressioneColl", f.widget()));
        b.finish(1, 1);
    }
}

void TFormConfig::TabSequenzaShow() { LoadByCode(cfgwin::PageSequenza); }
void TFormConfig::TabTestShow() { LoadByCode(cfgwin::PageTest); }
