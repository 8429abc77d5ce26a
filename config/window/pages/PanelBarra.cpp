// The live-data bar, moved onto whichever page is active.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildPanelBarra()
{
    PanelBarra = new QFrame(TabConfigurazione);
    PanelBarra->setObjectName(QStringLiteral("PanelBarra"));
    PanelBarra->setFrameShape(QFrame::Box);
    PageBuilder b(this, PanelBarra, "PanelBarra", 8);
    PanelBarra->layout()->setContentsMargins(2, 2, 2, 2);
    ImageExtraInj = b.picture("ImageExtraInj");
    ImageCutoff = b.picture("ImageCutoff");
    ImagePallino = b.picture("ImagePallino");
    b.captions();
}
