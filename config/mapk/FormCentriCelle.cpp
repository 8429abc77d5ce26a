#include "FormCentriCelle.h"
#include "FormModificaMappa.h"

#include "complib/editors/NumericEdit.h"
#include "datamodule/core/iodata.h"
#include "windowkit/WindowText.h"

#include <QGroupBox>
#include <QPushButton>

namespace {

constexpr int kTextWrongMap = 358; // "Attenzione: i riferimenti MAP non sono corretti!"

TCellCentresDialog::Axis mapAxis()
{
    TCellCentresDialog::Axis a;
    a.used = TFormCentriCelle::kMapPoints;
    a.max = 3.0;
    a.precision = 0.001;
    a.characters = 6;
    a.message = wkit::Text(kTextWrongMap);
    a.read = [](int i) { return StreamDati ? static_cast<double>(StreamDati->GetRifMapEmissioni(i)) : 0.0; };
    a.write = [](int i, double v) { StreamDati->SetRifMapEmissioni(i, v); };
    return a;
}

} // namespace

TFormCentriCelle::TFormCentriCelle(QWidget* owner)
    : TCellCentresDialog(owner, {"FormCentriCelle", "Centri celle per le emissioni", 61, "GroupRifMap", 359},
                         RpmAxis(
                             kMaxPoints, [](int i) { return StreamDati ? StreamDati->GetRifGiri(i) : 0.0; },
                             [](int i, double v) { StreamDati->SetRifGiri(i, static_cast<std::int32_t>(v)); }),
                         mapAxis(), kMapPoints)
{
    GroupRifMap = secondGroup();
    steerFocus(ButtonAnnulla, std::nullopt, nullptr, EditRifGiri.front());
}
