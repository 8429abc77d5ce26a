// The Temperatura page: temperature sensors.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildTemp()
{
    PageBuilder b(this, TabTemp, "TabTemp");
    ComboTempRiduttore = b.combo("ComboTempRiduttore");
    CheckTempRiduttore = b.check("CheckTempRiduttore");
    CheckTempGas = b.check("CheckTempGas");
    CheckTempMotore = b.check("CheckTempMotore");
    b.grid("DrawGridTemp");
    b.captions();
}

void TFormConfig::TabTempShow() {}

// Starts and ends the sensor-parameter editing; applying the parameters
// comes with this page's own change.
void TFormConfig::ButtonNuoviParametriClick() { SensorEditing = !SensorEditing; }
