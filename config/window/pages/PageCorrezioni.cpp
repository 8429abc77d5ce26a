// The Correzioni page: the correction tables and the cut-off return.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildCorrezioni()
{
    PageBuilder b(this, TabCorrezioni, "TabCorrezioni");
    EditIniettateBenzina = b.edit("EditIniettateBenzina");
    EditSmagrRientroCutoff = b.edit("EditSmagrRientroCutoff");
    EditNumeroIniettateSmagr = b.edit("EditNumeroIniettateSmagr");
    LabelGiriTempoCutoff = b.label("LabelGiriTempoCutoff");
    LabelGiriCutoff = b.label("LabelGiriCutoff");
    EditGiriCutoff = b.edit("EditGiriCutoff");
    LabelTempoCutoff = b.label("LabelTempoCutoff");
    EditTempoCutoff = b.edit("EditTempoCutoff");
    LabelCorrezioniPressione = b.label("LabelCorrezioniPressione");
    DrawGridPressDiff = b.table("DrawGridPressDiff");
    DrawGridTempGas = b.table("DrawGridTempGas");
    DrawGridTempRid = b.table("DrawGridTempRid");
    ShapePressDiff = b.shape("ShapePressDiff");
    LabelDelayGasTemp = b.label("LabelDelayGasTemp");
    DrawDelayGasTemp = b.table("DrawDelayGasTemp");
    ShapeDelayGasTemp = b.shape("ShapeDelayGasTemp");
    ShapeLineDown = b.shape("ShapeLineDown");
    LabelPressPassaggio = b.label("LabelPressPassaggio");
    DrawPressPassaggio = b.table("DrawPressPassaggio");
    ShapePresPassaggio = b.shape("ShapePresPassaggio");
    ShapeLineUp = b.shape("ShapeLineUp");
    ImagePlusRid = b.picture("ImagePlusRid");
    ImageMinusRid = b.picture("ImageMinusRid");
    ImagePlusGas = b.picture("ImagePlusGas");
    ImageMinusGas = b.picture("ImageMinusGas");
    b.captions();
}

void TFormConfig::TabCorrezioniShow() {}
