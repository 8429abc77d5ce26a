// The Sensori page: lambda probes, banks, level sensor, return to petrol.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildSensori()
{
    PageBuilder b(this, TabSensori, "TabSensori");
    ComboTipoLambda = b.combo("ComboTipoLambda");
    EditRifLambda = b.edit("EditRifLambda");
    ComboNumeroSonde = b.combo("ComboNumeroSonde");
    EditCorrBancata2 = b.edit("EditCorrBancata2");
    ComboSonda1 = b.combo("ComboSonda1");
    ComboSonda2 = b.combo("ComboSonda2");
    ComboCommutatore = b.combo("ComboCommutatore");
    EditLivello1 = b.edit("EditLivello1");
    EditLivello2 = b.edit("EditLivello2");
    EditLivello3 = b.edit("EditLivello3");
    EditLivello4 = b.edit("EditLivello4");
    CheckRitornoBenzina = b.check("CheckRitornoBenzina");
    LabelCheckRitornoBenzina = b.label("LabelCheckRitornoBenzina");
    ShapeCheckRitorno = b.shape("ShapeCheckRitorno");
    ShapeRitorno = b.shape("ShapeRitorno");
    LabelRitornoBenzina = b.label("LabelRitornoBenzina");
    EditRitornoBenzina = b.edit("EditRitornoBenzina");
    LabelS12 = b.label("LabelS12");
    b.check("CheckElettrovalvole");
    b.check("CheckAlimentazione");
    b.captions();
}

void TFormConfig::TabSensoriShow() {}

// The bank rules come with this page's own change.
void TFormConfig::ApplyBankVisibility() {}
