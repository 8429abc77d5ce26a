// The Emissioni page: lambda emulation.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildEmissioni()
{
    PageBuilder b(this, TabEmissioni, "TabEmissioni");
    LabelSovrapposizione = b.label("LabelSovrapposizione");
    ShapeSovrapposizione = b.shape("ShapeSovrapposizione");
    EditSovrapposizione = b.edit("EditSovrapposizione");
    EditCicchetto = b.edit("EditCicchetto");
    LabelS15 = b.label("LabelS15");
    EditLivEmulAlto = b.edit("EditLivEmulAlto");
    EditLivEmulBasso = b.edit("EditLivEmulBasso");
    EditLivEmulStabilizzato = b.edit("EditLivEmulStabilizzato");
    EditLivEmulCutoff = b.edit("EditLivEmulCutoff");
    EditRitardoGiriEmulazione = b.edit("EditRitardoGiriEmulazione");
    ShapeMap = b.shape("ShapeMap");
    DrawGridEmissioni = b.table("DrawGridEmissioni");
    DrawGridAnticipo = b.table("DrawGridAnticipo");
    ShapeGiriEmissioni = b.shape("ShapeGiriEmissioni");
    LabelGiriEmissioni = b.label("LabelGiriEmissioni");
    ImageEmissioni = b.picture("ImageEmissioni");
    b.captions();
}

void TFormConfig::TabEmissioniShow() {}
