#include "FormCentriCelle.h"
#include "FormModificaMappa.h"

#include "editors/NumericEdit.h"
#include "iodata.h"

#include <QGroupBox>
#include <QPushButton>

namespace {

QString text(int number) { return mapk::Text(number); }

TCellCentresDialog::Axis rpmAxis()
{
    return {.used = TCellCentresDialog::kMaxPoints,
            .min = 200,
            .max = 8000,
            .precision = 1,
            .characters = 4,
            .whole = true,
            .message = text(62),
            .read = [](int i) { return StreamDati ? StreamDati->GetRifGiri(i) : 0.0; },
            .write = [](int i, double v) { StreamDati->SetRifGiri(i, static_cast<std::int32_t>(v)); }};
}

TCellCentresDialog::Axis mapAxis()
{
    return {.used = TFormCentriCelle::kMapPoints,
            .min = 0,
            .max = 3.0,
            .precision = 0.001,
            .characters = 6,
            .whole = false,
            .message = text(358),
            .read = [](int i) { return StreamDati ? static_cast<double>(StreamDati->GetRifMapEmissioni(i)) : 0.0; },
            .write = [](int i, double v) { StreamDati->SetRifMapEmissioni(i, v); }};
}

} // namespace

TFormCentriCelle::TFormCentriCelle(QWidget* owner)
    : TCellCentresDialog(owner, "FormCentriCelle", rpmAxis(), mapAxis(), kMapPoints)
{
    setWindowTitle(QStringLiteral("Centri celle per le emissioni"));
    GroupRifMap = secondGroup();
    GroupRifMap->setObjectName(QStringLiteral("GroupRifMap"));
    setWindowTitle(text(61));
    GroupRifGiri->setTitle(text(63));
    GroupRifMap->setTitle(text(359));
    ButtonOk->setText(text(64));
    ButtonAnnulla->setText(text(65));
    steerFocus(ButtonAnnulla, std::nullopt, nullptr, EditRifGiri.front());
}
