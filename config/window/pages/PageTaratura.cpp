// The Altri parametri page: auto-calibration parameters and the injection
// sequence.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildTaratura()
{
    PageBuilder b(this, TabTaratura, "TabTaratura");
    EditTempTaratura = b.edit("EditTempTaratura");
    EditGiriAutotaratura = b.edit("EditGiriAutotaratura");
    PanelAutotaratura = b.panel("PanelAutotaratura");
    LabelTInjDefault = b.label("LabelTInjDefault");
    EditTInjDefault = b.edit("EditTInjDefault");
    LabelMsInjDefault = b.label("LabelMsInjDefault");
    b.check("CheckAutotaratura");
    b.captions();
}

void TFormConfig::TabTaraturaShow() {}
