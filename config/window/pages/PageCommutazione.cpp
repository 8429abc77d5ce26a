// The Commutazione page: switch-over to gas and back, idle and high-rpm
// behaviour.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildCommutazione()
{
    PageBuilder b(this, TabCommutazione, "TabCommutazione");
    LabelCambio = b.label("LabelCambio");
    ComboCambio = b.combo("ComboCambio");
    ShapeTipoCommutazione = b.shape("ShapeTipoCommutazione");
    LabelGiriCambio = b.label("LabelGiriCambio");
    EditGiriCambio = b.edit("EditGiriCambio");
    LabelRpm1 = b.label("LabelRpm1");
    ShapeSogliaCommutazione = b.shape("ShapeSogliaCommutazione");
    LabelTempRiduttore = b.label("LabelTempRiduttore");
    EditTempRiduttore = b.edit("EditTempRiduttore");
    EditTempRiduttore->SetMinValue(-40);
    EditTempRiduttore->SetMaxValue(120);
    LabelT1 = b.label("LabelT1");
    ShapeTempRiduttore = b.shape("ShapeTempRiduttore");
    ShapeTempGasBass = b.shape("ShapeTempGasBass");
    LabelTempGasBassa = b.label("LabelTempGasBassa");
    EditTempGasBassa = b.edit("EditTempGasBassa");
    LabTempGasBassa = b.label("LabTempGasBassa");
    LabelRitardoCambio = b.label("LabelRitardoCambio");
    EditRitMin = b.edit("EditRitMin");
    LabelS1 = b.label("LabelS1");
    ShapeRitardoCommutazione = b.shape("ShapeRitardoCommutazione");
    EditTempGas = b.edit("EditTempGas");
    // Hidden holders of the pictures the tabs draw.
    ImageEsci = b.picture("ImageEsci");
    ImageEsci->setPicturePath(QStringLiteral(":/bmp/esci.png"));
    ImageEsci->hide();
    ImageConnected = b.picture("ImageConnected");
    ImageConnected->hide();
    ImageCommutatore = b.picture("ImageCommutatore");
    b.check("CheckSpruzzata");
    b.check("CheckModificaSequenza2");
    b.captions();
}

void TFormConfig::TabCommutazioneShow() {}
