// The Variatore page: the ignition-advance variator map.
#include "../FormConfigParts.h"

#include "CorrectionGrids.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildVariatore()
{
    PageBuilder b(this, TabVariatore, "TabVariatore");
    DrawGridVariatore = b.table("DrawGridVariatore");
    CheckVariatore = b.check("CheckVariatore");
    ShapeCheckVariatore = b.shape("ShapeCheckVariatore");
    b.captions();
}

void TFormConfig::TabVariatoreShow()
{
    // Two rows, or six when the ECU has the variator's MAP axis.
    CorrectionGrids->UpdateVariatorLayout();
}
