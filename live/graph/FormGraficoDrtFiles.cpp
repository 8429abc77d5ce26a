// TFormGraficoDrt: SAVE and LOAD, the recordings written to and read back
// from the program's "Acquisition" folder.
#include "FormGraficoDrt.h"
#include "windowkit/WindowText.h"

#include "live/acquisition/AcquisitionReader.h"
#include "product/constants/BuildConstants.h"

#include "plat/Desktop.h"
#include "plat/PictureButton.h"
#include "plat/Prompts.h"
#include "plat/Services.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressBar>

namespace {

using grafico::kSeriesCount;

// While a recording loads, the window shows its progress this often.
constexpr int kLoadProgressMs = 50;

} // namespace

// Both dialogs start in the program's "Acquisition" folder.
plat::FileDialogRequest TFormGraficoDrt::acquisitionDialog(int titleString) const
{
    plat::FileDialogRequest request;
    request.title = wkit::Text(titleString);
    request.initialDir = qz::live::AcquisitionFolder();
    request.filter =
        wkit::Text(qz::live::kAcqStringFilter) + QStringLiteral("|*.") + QLatin1String(qz::live::kAcqDefaultExtension);
    request.defaultExt = QLatin1String(qz::live::kAcqDefaultExtension);
    return request;
}

// ---------------------------------------------------------------------------
// SAVE and LOAD

void TFormGraficoDrt::ImageSaveFileClick()
{
    if (!recorder_.HasUnsaved())
        return;
    const plat::FileDialogRequest request = acquisitionDialog(qz::live::kAcqStringSaveTitle);
    qz::live::RunAcquisitionSave(
        recorder_, [&] { return plat::Desktop().fileDialogs->getSaveFileName(request); },
        [this](const qz::live::TAcqResult& failed) {
            // The existing file could not be replaced, or the recording could
            // not be moved there: either way it is still here to be saved.
            plat::CurrentPrompts().ask({windowTitle(),
                                        qz::live::AcquisitionSaveErrorText(overwriteText_, cannotSaveText_, failed),
                                        plat::PromptIcon::Error, plat::PromptButtons::Ok});
        });
}

void TFormGraficoDrt::ImageLoadFileClick()
{
    const QString name = plat::Desktop().fileDialogs->getOpenFileName(acquisitionDialog(qz::live::kAcqStringOpenTitle));
    if (name.isEmpty())
        return;
    recorder_.Discard();
    LoadAcquisitionFile(name);
}

void TFormGraficoDrt::showReadError(int stringNumber) const
{
    const QString& message = stringNumber == qz::live::kAcqStringBadPath ? missingText_ : formatText_;
    plat::CurrentPrompts().ask(
        {QString::fromUtf8(qz::ProductTitle()), message, plat::PromptIcon::Error, plat::PromptButtons::Ok});
}

void TFormGraficoDrt::LoadAcquisitionFile(const QString& fileName)
{
    if (loading_ || running_)
        return;
    // The rows go straight into a store of their own, which replaces the
    // chart's once the file could be opened. The progress shows and the
    // window repaints while it reads; the user's input waits.
    loading_ = true;
    lockControls(true);
    ImageRunStop->setEnabled(false);
    ProgressLoad->setValue(0);
    ProgressLoad->show();
    const qint64 size = std::max<qint64>(1, QFileInfo(fileName).size());
    grafico::TSampleStore loaded;
    bool headerSeen = false;
    QElapsedTimer shown;
    shown.start();
    std::size_t rows = 0;
    const qz::live::TAcquisitionReadResult read =
        qz::live::ReadAcquisitionFile(fileName, [&](const qz::live::TAcquisitionRow& row, int bankCount, qint64 bytesRead) {
            if (!headerSeen) {
                headerSeen = true;
                // Rows of about 40 bytes and more: the store need not grow
                // step by step.
                loaded.Reserve(static_cast<std::size_t>(size / 40));
            }
            loaded.Append(row.TimeMs * 0.001, grafico::CurvesOfRow(row), grafico::CurvesOfBanks(bankCount));
            if ((++rows & 0xFFF) == 0 && shown.elapsed() >= kLoadProgressMs) {
                ProgressLoad->setValue(static_cast<int>(std::min<qint64>(100, bytesRead * 100 / size)));
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                shown.start();
            }
        });
    ProgressLoad->hide();
    lockControls(false);
    ImageRunStop->setEnabled(true);
    loading_ = false;

    if (read.Error == qz::live::TAcqReadError::FileNotFound || read.Error == qz::live::TAcqReadError::CannotOpen) {
        // The chart keeps what it shows.
        showReadError(grafico::ReadErrorString(read.Error));
        return;
    }
    store_ = std::move(loaded);
    requestRedraw();
    if (!read.Ok()) {
        // The rows before the bad line stay plotted.
        showReadError(grafico::ReadErrorString(read.Error));
        return;
    }

    if (read.BankCount != 2)
        for (int i = 0; i < kSeriesCount; ++i)
            if (grafico::kSeries[static_cast<std::size_t>(i)].Shown == grafico::ShownRule::SecondProbe)
                setSeriesShown(i, false);
    setShownStates(false);
    bottomAuto_ = true;
    refreshAutomaticAxes();
    requestRedraw();
}
