// The Configurazione page: vehicle, fuel, injectors, cylinders, ignition and
// notes.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>
#include <QTextEdit>

void TFormConfig::BuildConfigurazione()
{
    PageBuilder b(this, TabConfigurazione, "TabConfigurazione");
    ComboCarburante = b.combo("ComboCarburante");
    ComboTipoIniettore = b.combo("ComboTipoIniettore");
    ComboFullGroup = b.combo("ComboFullGroup");
    ComboSegnaleGiri = b.combo("ComboSegnaleGiri");
    ComboCilindri = b.combo("ComboCilindri");
    ComboAccensione = b.combo("ComboAccensione");
    LabelNoteConfig = b.label("LabelNoteConfig");
    EditNoteConfig = b.add<QTextEdit>("EditNoteConfig");
    LabelNoteLow = b.label("LabelNoteLow");
    LabelNoteLow->hide();
    PanelPers = b.panel("PanelPers");
    // Hidden holders of the injector type and code.
    EditTipoIniettore = b.edit("EditTipoIniettore");
    EditTipoIniettore->hide();
    EditCodeIniettore = b.edit("EditCodeIniettore");
    EditCodeIniettore->hide();
    b.captions();
}

void TFormConfig::TabConfigurazioneShow() {}
