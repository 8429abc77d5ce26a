// The live view window's recording: the panel of recording buttons, starting
// and stopping a recording, and saving it under a name the user picks.

#include "FormVisualizza.h"

#include "datamodule/core/iodata.h"
#include "live/acquisition/AcquisitionRecorder.h"

#include "plat/Desktop.h"
#include "plat/PictureButton.h"
#include "plat/Prompts.h"
#include "plat/Services.h"
#include "plat/Shape.h"

#include <QLabel>

#include <initializer_list>

void TFormVisualizza::LabelAcquisizioniClick()
{
    const bool show = ShapeAcquisizioni->isHidden();
    for (QWidget* w : std::initializer_list<QWidget*>{ShapeAcquisizioni, LabelRec, ImageRec, LabelStop, ImageStop,
                                                      LabelView, ImageView})
        w->setVisible(show);
}

void TFormVisualizza::ImageRecClick()
{
    // A temporary file that cannot be created leaves a recording that
    // writes nothing, without a message.
    recorder_->Start(dm().HasSecondaSonda() ? 2 : 1);
    ImageStop->setEnabled(true);
    ImageRec->setEnabled(false);
    ImageView->setEnabled(false);
    ShapeAcquisisciOn->show();
    recording_ = true;
}

QString TFormVisualizza::askSaveName()
{
    plat::FileDialogRequest request;
    request.title = SaveDialogDrt.Title;
    request.initialDir = SaveDialogDrt.InitialDir;
    request.filter = SaveDialogDrt.Filter;
    request.defaultExt = SaveDialogDrt.DefaultExt;
    const QString name = plat::Desktop().fileDialogs->getSaveFileName(request);
    if (!name.isEmpty())
        SaveDialogDrt.FileName = name;
    return name;
}

void TFormVisualizza::ImageStopClick()
{
    recorder_->Stop();
    ImageStop->setEnabled(false);
    ImageRec->setEnabled(true);
    ImageView->setEnabled(true);
    ShapeAcquisisciOn->hide();
    repaint();
    recording_ = false;

    // Without a temporary file there is nothing to save.
    if (!recorder_->HasUnsaved())
        return;
    const auto outcome = qz::live::RunAcquisitionSave(
        *recorder_, [this] { return askSaveName(); },
        [this](const qz::live::TAcqResult& failed) {
            plat::CurrentPrompts().ask(
                {windowTitle(), qz::live::AcquisitionSaveErrorText(overwriteMessage_, cannotSaveMessage_, failed),
                 plat::PromptIcon::Error, plat::PromptButtons::Ok});
        });
    if (outcome == qz::live::TAcqSaveOutcome::Cancelled)
        recorder_->Discard();
}
