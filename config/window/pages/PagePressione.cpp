// The Pressione page: pressure sensors and the MAP sensor.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildPressione()
{
    PageBuilder b(this, TabPressione, "TabPressione");
    b.combo("ComboMisuratorePressione");
    b.combo("ComboPressioneMisurata");
    RadioMapInterno = b.radio("RadioMapInterno");
    RadioMapEsterno = b.radio("RadioMapEsterno");
    EditOffset = b.edit("EditOffset");
    EditOffset->setProperty("Tag", 2);
    EditPendenza = b.edit("EditPendenza");
    EditPendenza->setProperty("Tag", 3);
    EditOffsetDiff = b.edit("EditOffsetDiff");
    EditOffsetDiff->setProperty("Tag", 4);
    EditPendenzaDiff = b.edit("EditPendenzaDiff");
    EditPendenzaDiff->setProperty("Tag", 5);
    b.captions();
}

void TFormConfig::TabPressioneShow() {}
