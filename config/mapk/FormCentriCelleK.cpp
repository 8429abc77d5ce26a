#include "FormCentriCelleK.h"
#include "FormModificaMappa.h"

#include "editors/NumericEdit.h"
#include "iodata.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace {

QString text(int number) { return mapk::Text(number); }

int columns() { return StreamDati ? std::clamp(StreamDati->GetNumeroColonne(), 0, 12) : 12; }
int rows() { return StreamDati ? std::clamp(StreamDati->GetNumeroRighe(), 0, 12) : 12; }

TCellCentresDialog::Axis rpmAxis()
{
    return {.used = columns(),
            .min = 200,
            .max = 8000,
            .precision = 1,
            .characters = 4,
            .whole = true,
            .message = text(62),
            .read = [](int i) { return StreamDati ? StreamDati->GetRifGiriK(i) : 0.0; },
            .write = [](int i, double v) { StreamDati->SetRifGiriK(i, static_cast<std::int32_t>(v)); }};
}

TCellCentresDialog::Axis timeAxis()
{
    return {.used = rows(),
            .min = 0,
            .max = 30,
            .precision = 0.01,
            .characters = 5,
            .whole = false,
            .message = text(67),
            .read = [](int i) { return StreamDati ? static_cast<double>(StreamDati->GetRifTempiK(i)) : 0.0; },
            .write = [](int i, double v) { StreamDati->SetRifTempiK(i, v); }};
}

} // namespace

TFormCentriCelleK::TFormCentriCelleK(QWidget* owner)
    : TCellCentresDialog(owner, "FormCentriCelleK", rpmAxis(), timeAxis(), kMaxPoints)
{
    setWindowTitle(QStringLiteral("Centri celle mappa dei coefficienti k"));
    GroupRifTempi = secondGroup();
    GroupRifTempi->setObjectName(QStringLiteral("GroupRifTempi"));
    // A map of fewer than twelve columns keeps the first six rpm editors.
    if (columns() < kMaxPoints)
        for (std::size_t i = 6; i < kMaxPoints; ++i) {
            LabelGiri[i]->hide();
            EditRifGiri[i]->hide();
        }
    NumEditRifMap.front()->SetPrevControl(EditRifGiri[5]);

    setWindowTitle(text(66));
    GroupRifGiri->setTitle(text(63));
    GroupRifTempi->setTitle(text(68));
    ButtonOk->setText(text(64));
    ButtonAnnulla->setText(text(65));

    steerFocus(ButtonOk, Qt::BacktabFocusReason, GroupRifTempi, NumEditRifMap.back());
    steerFocus(ButtonAnnulla, Qt::TabFocusReason, GroupRifGiri, EditRifGiri.front());
}

void TFormCentriCelleK::showEvent(QShowEvent* event)
{
    TCellCentresDialog::showEvent(event);
    FormShow();
}

void TFormCentriCelleK::FormShow() { EditRifGiri[0]->setFocus(); }
