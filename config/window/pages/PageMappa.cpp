// The Mappa page: the K-coefficient map and its controls.
#include "../FormConfigParts.h"

#include "DrawGridK.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildMappa()
{
    PageBuilder b(this, TabMappa, "TabMappa");
    DrawGridK = b.add<::DrawGridK>("DrawGridK");
    ShapeTarget = b.shape("ShapeTarget");
    ImageTarget = b.picture("ImageTarget");
    RadioMapK = b.radio("RadioMapK");
    RadioMapCorr = b.radio("RadioMapCorr");
    EditSmagrimento = b.edit("EditSmagrimento");
    ImagePlusExtraInj = b.picture("ImagePlusExtraInj");
    ImageMinusExtraInj = b.picture("ImageMinusExtraInj");
    ImagePlus = b.picture("ImagePlus");
    ImageMinus = b.picture("ImageMinus");
    ImageConferma = b.picture("ImageConferma");
    ImageReset = b.picture("ImageReset");
    b.check("CheckExtraInj");
    b.check("CheckTagliaExtraIniettate");
    b.captions();
}

void TFormConfig::TabMappaShow() {}
