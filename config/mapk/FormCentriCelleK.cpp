#include "FormCentriCelleK.h"
#include "FormModificaMappa.h"

#include "complib/editors/NumericEdit.h"
#include "datamodule/core/iodata.h"
#include "windowkit/WindowText.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace {

constexpr int kTextWrongTimes = 67; // "Attenzione: i riferimenti tempi iniezione non sono corretti!"

int columns() { return StreamDati ? std::clamp(StreamDati->GetNumeroColonne(), 0, 12) : 12; }
int rows() { return StreamDati ? std::clamp(StreamDati->GetNumeroRighe(), 0, 12) : 12; }

TCellCentresDialog::Axis timeAxis()
{
    TCellCentresDialog::Axis a;
    a.used = rows();
    a.max = 30;
    a.precision = 0.01;
    a.characters = 5;
    a.message = wkit::Text(kTextWrongTimes);
    a.read = [](int i) { return StreamDati ? static_cast<double>(StreamDati->GetRifTempiK(i)) : 0.0; };
    a.write = [](int i, double v) { StreamDati->SetRifTempiK(i, v); };
    return a;
}

} // namespace

TFormCentriCelleK::TFormCentriCelleK(QWidget* owner)
    : TCellCentresDialog(owner, {"FormCentriCelleK", "Centri celle mappa dei coefficienti k", 66, "GroupRifTempi", 68},
                         RpmAxis(
                             columns(), [](int i) { return StreamDati ? StreamDati->GetRifGiriK(i) : 0.0; },
                             [](int i, double v) { StreamDati->SetRifGiriK(i, static_cast<std::int32_t>(v)); }),
                         timeAxis(), kMaxPoints)
{
    GroupRifTempi = secondGroup();
    // A map of fewer than twelve columns keeps the first six rpm editors.
    if (columns() < kMaxPoints)
        for (std::size_t i = 6; i < kMaxPoints; ++i) {
            LabelGiri[i]->hide();
            EditRifGiri[i]->hide();
        }
    NumEditRifMap.front()->SetPrevControl(EditRifGiri[5]);
    steerFocus(ButtonOk, Qt::BacktabFocusReason, GroupRifTempi, NumEditRifMap.back());
    steerFocus(ButtonAnnulla, Qt::TabFocusReason, GroupRifGiri, EditRifGiri.front());
}

void TFormCentriCelleK::showEvent(QShowEvent* event)
{
    TCellCentresDialog::showEvent(event);
    FormShow();
}

void TFormCentriCelleK::FormShow() { EditRifGiri[0]->setFocus(); }
