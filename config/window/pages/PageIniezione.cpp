// The Iniettori page: injector parameters.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildIniezione()
{
    PageBuilder b(this, TabIniezione, "TabIniezione");
    EditTempoMassimaCorrente = b.edit("EditTempoMassimaCorrente");
    EditTempoInterSpegnimento = b.edit("EditTempoInterSpegnimento");
    EditParamInj = b.edit("EditParamInj");
    EditImpedenzaIniettori = b.edit("EditImpedenzaIniettori");
    EditCorrente = b.edit("EditCorrente");
    EditTempoBenzExtra = b.edit("EditTempoBenzExtra");
    EditTempoGasExtra = b.edit("EditTempoGasExtra");
    EditTMaxExtraInjBenz = b.edit("EditTMaxExtraInjBenz");
    EditAperturaInj = b.edit("EditAperturaInj");
    EditChiusuraInj = b.edit("EditChiusuraInj");
    EditTempoMortoBenz = b.edit("EditTempoMortoBenz");
    EditTempoMortoGas = b.edit("EditTempoMortoGas");
    b.captions();
}

void TFormConfig::TabIniezioneShow() {}
