// The Adattività OBD page.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildAdatta()
{
    PageBuilder b(this, TabAdatta, "TabAdatta");
    CheckAdattativita = b.check("CheckAdattativita");
    ImagePlusAdatta = b.picture("ImagePlusAdatta");
    ImageMinusAdatta = b.picture("ImageMinusAdatta");
    b.captions();
}

void TFormConfig::TabAdattaShow() {}
