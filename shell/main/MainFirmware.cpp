// "Nuovo firmware": downloads a firmware image into the ECU, then reconnects
// and writes the configuration held in memory back, since programming leaves
// the ECU without its parameters.
#include "MainQuorin.h"
#include "windowkit/WindowText.h"

#include "MainTexts.h"
#include "complib/translator/Translator.h"
#include "datamodule/core/ItemCatalogue.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"
#include "shell/firmware/FirmwareImage.h"
#include "shell/windows/Attesa.h"

#include "plat/AnimationPlayer.h"
#include "plat/Desktop.h"
#include "plat/Messages.h"
#include "plat/Prompts.h"
#include "plat/ScreenCursor.h"
#include "plat/Services.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace fw = qz::firmware;
using namespace mainrules; // the window's texts

namespace {

TEcuProtocol* protocol() { return StreamDati->Protocol(); }

QString title() { return QString::fromUtf8(qz::ProductTitle()); }

QString ext(unsigned type) { return QString::fromLatin1(qz::FirmwareFileExtension(type)); }

bool isSixCylinderFamily(int type) { return type == 31 || type == 53 || type == 56; }

// Where the protocol library reports while the image goes down: the wait
// panel, then the main window again. Restores the main window however the
// procedure ends.
class NotifyDuringProgramming {
public:
    NotifyDuringProgramming(QObject* panel, plat::NotifyTarget* mainTarget)
        : panel_(panel), main_(mainTarget)
    {
        protocol()->SetNotifyWindow(&panel_);
    }
    ~NotifyDuringProgramming() { restore(); }
    void restore()
    {
        if (!restored_)
            protocol()->SetNotifyWindow(main_);
        restored_ = true;
    }

private:
    plat::ObjectNotifyTarget panel_;
    plat::NotifyTarget* main_;
    bool restored_ = false;
};

} // namespace

bool TFormMain::FirmwareFileMatchesEcu(const QString& extension, std::uint32_t bootId, std::uint16_t bootExtra)
{
    return fw::FirmwareFileMatchesEcu(extension, bootId, bootExtra);
}

int TFormMain::CheckFirmwareImage(int pers, QByteArrayView image, std::uint32_t bootId,
                                  std::uint16_t bootExtra) const
{
    return fw::CheckFirmwareImage(
        pers, image, bootId, bootExtra, [] { return fw::ReadHardwareVariant(protocol(), StreamDati->GetItem15()); },
        fw::ProgramVersionNumber());
}

plat::FileDialogRequest TFormMain::FirmwareDialogRequest(bool connected) const
{
    plat::FileDialogRequest request;
    request.initialDir = QDir(applicationFolder_).filePath(QStringLiteral("Firmware"));
    request.filterIndex = 1;
    const int type = StreamDati->EcuInfo.EcuType;
    if (connected) {
        switch (type) {
        case 31: case 53:
        case 56:
            request.filter =
                wkit::Text(kTextFirmwareFilesFiveToTen) + QStringLiteral("|*.") + ext(static_cast<unsigned>(type));
            break;
        case 30: case 50: case 54: case 55:
        case 79:
            request.filter =
                wkit::Text(kTextFirmwareFilesThreeFour) + QStringLiteral("|*.") + ext(static_cast<unsigned>(type));
            break;
        default: request.filter = wkit::Text(kTextFirmwareFilesThreeFour) + QStringLiteral("|*.") + ext(30); break;
        }
    } else {
        request.filter = wkit::Text(kTextFirmwareFilesThreeFour) + QStringLiteral("|*.") + ext(30) +
                         QStringLiteral(";*.") + ext(54) + QStringLiteral(";*.") + ext(55) + QLatin1Char('|') +
                         wkit::Text(kTextFirmwareFilesFiveToTen) + QStringLiteral("|*.") + ext(31) +
                         QStringLiteral(";*.") + ext(53) + QStringLiteral(";*.") + ext(56);
        if (isSixCylinderFamily(type))
            request.filterIndex = 2;
    }
    return request;
}

void TFormMain::ActionProgrammaExecute()
{
    TEcuProtocol* p = protocol();

    // The file.
    const QString fileName =
        plat::Desktop().fileDialogs->getOpenFileName(FirmwareDialogRequest(p->IsConnected()));
    if (fileName.isEmpty())
        return;
    repaint();

    const QString cannotProgram = wkit::Text(kTextCannotProgram);

    // The boot identity decides which files fit.
    TBootInfo boot{};
    if (!p->DetectEcu(&boot)) {
        errorBox(fw::WithErrorCode(cannotProgram, QLatin1String(fw::kErrDetectFailed)));
        return;
    }
    if (!FirmwareFileMatchesEcu(fw::FirmwareExtensionOf(fileName), boot.BootId, boot.BootExtra)) {
        errorBox(fw::WithErrorCode(cannotProgram, QLatin1String(fw::kErrWrongExtension)));
        return;
    }

    // The personalisation the ECU has now, to give it back afterwards.
    std::uint32_t pers = 0;
    if (p->Connect()) {
        std::int32_t value = 0;
        if (p->ReadItem(dm::kCustomerCode, &value))
            pers = static_cast<std::uint32_t>(value);
        if (p->GetLastStatus() & ECU_STATUS_NO_ITEM)
            pers = 0x10000;
    }
    QCoreApplication::processEvents();

    // The image and its metadata.
    fw::TFirmwareLoad load = fw::LoadFirmwareFile(fileName);
    if (!load.Ok()) {
        errorBox(fw::WithErrorCode(cannotProgram, QLatin1String(load.Code())));
        return;
    }
    const int verdict = CheckFirmwareImage(static_cast<int>(pers), load.image, boot.BootId, boot.BootExtra);
    if (verdict != 0) {
        load.image.clear();
        errorBox(fw::WithErrorCode(wkit::Text(kTextWrongFirmware), fw::ImageCheckErrorCode(verdict)));
        return;
    }
    // The records as a whole: an image that would leave the ECU without its
    // application is refused like a damaged file, and the log says why.
    const fw::TWholeImageCheck whole = fw::CheckWholeFirmwareImage(load.image, boot.BootId, boot.BootExtra);
    if (!whole.Ok()) {
        load.image.clear();
        std::fprintf(stderr, "firmware file \"%s\" refused: %s\n", qUtf8Printable(QDir::toNativeSeparators(fileName)),
                     whole.Reason().c_str());
        errorBox(fw::WithErrorCode(cannotProgram, QLatin1String(fw::kErrNotAContainer)));
        return;
    }

    // The download, under the wait panel, which the library now reports to.
    auto wait = std::make_unique<TFormAttesa>(this, [this](int n) { return wkit::Text(n); });
    FormAttesa = wait.get();
    wait->Begin(wkit::Text(kTextProgramming));
    wait->setFocus();
    plat::SetScreenCursor(plat::ScreenCursor::Hourglass);
    StreamDati->TimerIO->stop();
    p->Prepare();
    auto notify = std::make_unique<NotifyDuringProgramming>(wait.get(), notifyTarget_.get());

    int result = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt > 0) {
            if (result == 1)
                errorBox(fw::WithErrorCode(wkit::Text(kTextLowBattery), fw::ProgrammingErrorCode(1)));
            else
                errorBox(fw::WithErrorCode(failedAttemptText_, fw::ProgrammingErrorCode(result)));
        }
        result = p->ProgramFirmwareImage(load.image.constData(), 2, 0, 1);
        if (result == 0)
            break;
    }

    plat::CurrentClock().sleep(2000);
    notify->restore();
    StreamDati->TimerIO->start();
    load.image.clear();

    auto leave = [&] {
        wait.reset();
        raise();
        activateWindow();
        plat::SetScreenCursor(plat::ScreenCursor::Default);
    };

    if (result != 0) {
        leave();
        errorBox(fw::WithErrorCode(cannotProgram, fw::ProgrammingErrorCode(result)));
        p->Disconnect();
        return;
    }

    // The ECU restarts with its new firmware and no parameters.
    wait->Animate->stop();
    wait->Animate->play();
    wait->ProgressBar->setVisible(false);
    wait->repaint();
    wait->Label->setText(wkit::Text(kTextWritingConfiguration));
    wait->SetProgress(0, true);
    wait->repaint();
    plat::CurrentClock().sleep(3000);
    StreamDati->Reconnect(20000);

    while (!p->Connect()) {
        const int answer = plat::CurrentPrompts().ask(
            {title(), fw::WithErrorCode(wkit::Text(kTextRestoreFailed), QStringLiteral("C01")), plat::PromptIcon::Error,
             plat::PromptButtons::YesNo, 0});
        if (answer != plat::IDYES) {
            p->Disconnect();
            leave();
            return;
        }
    }

    if (!StreamDati->ReadEcuIdentity()) {
        plat::SetScreenCursor(plat::ScreenCursor::Default);
        errorBox(fw::WithErrorCode(wkit::Text(kTextIdentificationError), QStringLiteral("C02")));
        p->Disconnect();
        leave();
        return;
    }

    wait->ProgressBar->setVisible(true);
    wait->repaint();
    plat::CurrentClock().sleep(200);

    if (StreamDati->EcuInfo.EcuStatus == 253)
        StreamDati->WriteEcuType(fw::ModelByteOf(boot.BootId));

    if (pers > 0 && pers < 0x10000 && StreamDati->CustomerCode < 0x10000)
        StreamDati->SetPers(pers);
    if (StreamDati->CustomerCode == 0)
        StreamDati->SetPers(1);

    StreamDati->TransferData(TStreamDati::TRANSFER_WRITE_ECU, QString(), 0, TStreamDati::TRANSFER_ALL_GROUPS, 1, 0);

    leave();
}
