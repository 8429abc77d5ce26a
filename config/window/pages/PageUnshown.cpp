// The three sheets that are never shown: Filtro, Iniezione+ and Dati di
// test. Their editors keep their bindings.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

void TFormConfig::BuildUnshownPages()
{
    {
        PageBuilder b(this, TabFiltroBenzina, "TabFiltroBenzina");
        DrawGridFiltro = b.grid("DrawGridFiltro");
        DrawGridSgancio = b.grid("DrawGridSgancio");
        b.captions();
    }
    {
        PageBuilder b(this, TabSequenza, "TabSequenza");
        EditSafetyTime = b.edit("EditSafetyTime");
        EditTInjBenzMaxPerCambio = b.edit("EditTInjBenzMaxPerCambio");
        EditCorrenteCutoff = b.edit("EditCorrenteCutoff");
        EditValPercHoldingCurrent = b.edit("EditValPercHoldingCurrent");
        EditSafeDelay = b.edit("EditSafeDelay");
        EditIniezioneContinua = b.edit("EditIniezioneContinua");
        EditScartoMinAlMin = b.edit("EditScartoMinAlMin");
        EditDeltaK = b.edit("EditDeltaK");
        EditNumControlli = b.edit("EditNumControlli");
        EditNumControlliOk = b.edit("EditNumControlliOk");
        EditAperturaExtra = b.edit("EditAperturaExtra");
        b.captions();
    }
    {
        PageBuilder b(this, TabTest, "TabTest");
        EditRiccoForzato = b.edit("EditRiccoForzato");
        EditTestWord = b.edit("EditTestWord");
        EditTestByte = b.edit("EditTestByte");
        EditTestTempo = b.edit("EditTestTempo");
        b.captions();
    }
}

void TFormConfig::TabSequenzaShow() {}
void TFormConfig::TabTestShow() {}
