// The connect and identification sequence of the main window, the support
// and version tests, the save-changes question, the configuration-file
// dialogs and the disconnect action.
#include "MainQuorin.h"
#include "datamodule/core/ItemCodes.h"
#include "windowkit/WindowText.h"

#include "MainRules.h"
#include "MainTexts.h"
#include "complib/connection/VyxConnection.h"
#include "complib/settings/VyxRegistryData.h"
#include "complib/translator/Translator.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"
#include "shell/firmware/FirmwareImage.h"
#include "shell/windows/Attesa.h"

#include "plat/Desktop.h"
#include "plat/PictureButton.h"
#include "plat/Prompts.h"
#include "plat/ScreenCursor.h"
#include "plat/Services.h"

#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <memory>

using namespace mainrules; // the window's texts

namespace {

TEcuProtocol* protocol() { return StreamDati->Protocol(); }

QString title() { return QString::fromUtf8(qz::ProductTitle()); }

bool isSupportedType(int t)
{
    switch (t) {
    case 30: case 31: case 50: case 53: case 54: case 55: case 56: case 79:
        return true;
    default:
        return false;
    }
}

// Shown after loading when the ECU runs an old firmware; not translated.
const char kFirmwareAdvice[] =
    "                                ATTENZIONE !!! - WARNING !!! \n\n"
    "   E' opportuno aggiornare il firmware della centralina con l'ultima versione! \n"
    "   Con la versione attuale del firmware si hanno alcune funzionalit\u00e0 ridotte. \n\n"
    "       It's better to upgrade the ECU's firmware with the latest version! \n"
    "With the present version of firmware you have some reduced functionalities.\n";

std::unique_ptr<TFormAttesa> openWaitForm(QWidget* owner, const QString& text)
{
    auto wait = std::make_unique<TFormAttesa>(
        owner, [](int n) { return StreamDati->Translator ? StreamDati->Translator->GetString(n) : QString(); });
    wait->Begin(text);
    wait->repaint();
    return wait;
}

void setWaitText(TFormAttesa* wait, const QString& text)
{
    wait->Label->setText(text);
    wait->repaint();
}

} // namespace

QString TFormMain::FirmwareAdviceText() { return QString::fromUtf8(kFirmwareAdvice); }

void TFormMain::connectError(const QString& body, const char* code) const
{
    errorBox(qz::firmware::WithErrorCode(body, QLatin1String(code)));
}

void TFormMain::offlineFallback()
{
    protocol()->Disconnect();
    LoadType30DefaultSet();
    plat::SetScreenCursor(plat::ScreenCursor::Default);
}

void TFormMain::ActionConnettiExecute()
{
    if (AskSaveChanges() == plat::IDCANCEL)
        return;

    plat::SetScreenCursor(plat::ScreenCursor::AppStart);
    StreamDati->TimerIO->stop();
    protocol()->Disconnect();

    const QString cannotConnect = wkit::Text(kTextCannotConnect);
    const QString checkLink = cannotConnect + QLatin1Char('\n') + wkit::Text(kTextCheckLink);

    TBootInfo boot{};
    if (!protocol()->DetectEcu(&boot)) {
        LoadType30DefaultSet();
        plat::SetScreenCursor(plat::ScreenCursor::Default);
        connectError(checkLink, "C01");
        StreamDati->TimerIO->start();
        return;
    }

    if (!protocol()->IsApplicationRunning()) {
        offlineFallback();
        connectError(cannotConnect + QLatin1Char('\n') + wkit::Text(kTextReprogram), "C05");
        StreamDati->TimerIO->start();
        ActionProgrammaExecute();
        return;
    }

    // Support, version and default set must not be decided on the identity
    // of an earlier ECU: an unreadable identity is a failed connection.
    if (!StreamDati->ReadEcuIdentity()) {
        offlineFallback();
        connectError(checkLink, "C01");
        StreamDati->TimerIO->start();
        return;
    }

    if (StreamDati->EcuInfo.EcuStatus == 253)
        StreamDati->WriteEcuType(static_cast<std::uint8_t>(qz::CustomerId()));

    if (IsEcuSupported() == 0) {
        offlineFallback();
        connectError(wkit::Text(kTextIncompatibleEcu) + QLatin1Char('\n') + cannotConnect, "C03");
        StreamDati->TimerIO->start();
        return;
    }
    if (!CheckPcSoftwareVersion()) {
        offlineFallback();
        connectError(cannotConnect + QLatin1Char('\n') + wkit::Text(kTextAskForUpdate), "C04");
        StreamDati->TimerIO->start();
        return;
    }

    if (StreamDati->CustomerCode == 0)
        StreamDati->SetPers(1);

    std::unique_ptr<TFormAttesa> wait = openWaitForm(this, wkit::Text(kTextInitialising));

    std::int32_t status = 0;
    if (!protocol()->ReadItem(dm::kResetFlagsCode, &status))
        status = 0;

    StreamDati->Reconnect(20000);
    StreamDati->ReadEcuIdentity();

    std::int32_t options[2] = {0, 0};
    if (!protocol()->ReadItem(dm::kFlag12Code, options))
        options[0] = options[1] = 0;
    std::int32_t item15 = 0;
    if (!protocol()->ReadItem(qz::kHardwareVariantCode, &item15))
        item15 = 0;

    std::int32_t injector = qz::CustomerInjectorCode(0);
    if (item15 != 0 && resetInProgress_) {
        std::int32_t fromEcu = injector;
        if (protocol()->ReadRow(dm::kEcuInjectorTypeCode, &fromEcu, 1))
            injector = fromEcu;
    }

    const std::uint8_t type = StreamDati->EcuInfo.EcuType;
    LoadDefaultSet(type, flag(1), flag(16), static_cast<std::uint8_t>(injector & 0xFF));

    if (status & 1) {
        // A freshly reset ECU waits for its default set.
        setWaitText(wait.get(), QStringLiteral("! ") + wkit::Text(kTextLoading));
        const double injection = type == 53 ? 10.0 : (type == 31 || type == 38 || type == 56) ? 6.0 : 4.0;
        StreamDati->SetValueByCode(dm::kCylindersCode, injection);
        if (options[0] & 0x10) {
            StreamDati->SetOffsetPendenza(2, 100);
            StreamDati->SetOffsetPendenza(3, 500);
            StreamDati->SetOffsetPendenza(4, -108);
            StreamDati->SetOffsetPendenza(5, 542);
            StreamDati->SetFlag(14, true);
            StreamDati->SetFlag(13, false);
        }
        if (!StreamDati->TransferData(TStreamDati::TRANSFER_WRITE_ECU | TStreamDati::TRANSFER_CLEAR_ITEM1_BIT0,
                                      QString(), 0, TStreamDati::TRANSFER_ALL_GROUPS, 1, 0))
            connectError(checkLink, "C01");
    } else {
        setWaitText(wait.get(), wkit::Text(kTextLoading));
        StreamDati->TransferData(TStreamDati::TRANSFER_READ_ECU, QString(), 0, TStreamDati::TRANSFER_ALL_GROUPS, 1, 0);
    }

    StreamDati->VyxRegistryData->SetInteger(QStringLiteral("ComPort"), protocol()->GetComPort());

    SetLabelConfigurazione();
    wait.reset();
    plat::SetScreenCursor(plat::ScreenCursor::Default);
    StreamDati->TimerIO->start();

    ImageBase->setPictures(mainrules::EcuPictureId(type));
    repaint();

    const TEcuInfo& info = StreamDati->EcuInfo;
    if (protocol()->IsConnected() &&
        ((info.EcuType == 30 && info.FirmwareMajor < 22) || (info.EcuType == 31 && info.FirmwareMajor < 32)))
        plat::CurrentPrompts().ask(
            {windowTitle(), FirmwareAdviceText(), plat::PromptIcon::Information, plat::PromptButtons::Ok, 0});
}

void TFormMain::ActionDisconnettiExecute()
{
    protocol()->Disconnect();
    ExtraInjectionSeen = false;
}

std::uint8_t TFormMain::IsEcuSupported() const
{
    const TEcuInfo& info = StreamDati->EcuInfo;
    switch (info.EcuStatus) {
    case 5: case 253: case 255: case 37:
        break;
    default:
        return 0;
    }
    int t = info.EcuType;
    if (t == 3)
        t = info.BootEcuType;
    return isSupportedType(t) ? static_cast<std::uint8_t>(t) : 0;
}

bool TFormMain::CheckPcSoftwareVersion()
{
    std::int32_t minimum = 0;
    if (!protocol()->ReadItem(dm::kMinimumProgramVersionCode, &minimum))
        minimum = 0;
    std::int32_t recommended = 0;
    if (!protocol()->ReadItem(dm::kRecommendedProgramVersionCode, &recommended))
        recommended = 0;

    char16_t buffer[20] = {};
    qz::GetExeFileVersion(buffer);
    const QString version = QString::fromUtf16(buffer);
    int pc = 0;
    if (!version.isEmpty()) {
        const int major = version.section(QLatin1Char('.'), 0, 0).toInt();
        const int minor = version.section(QLatin1Char('.'), 1, 1).toInt();
        pc = major * 256 + minor;
    }

    if (pc >= minimum && pc >= recommended)
        return true;
    if (pc < minimum)
        return false;
    plat::CurrentPrompts().ask({title(),
                                wkit::Text(kTextLoadErrorsPossible) + QLatin1Char('\n') + wkit::Text(kTextAskForUpdate),
                                plat::PromptIcon::Warning, plat::PromptButtons::Ok, 0});
    return true;
}

void TFormMain::SetConfigFileDialogs()
{
    const int type = StreamDati->EcuInfo.EcuType;
    const QString e = QString::fromLatin1(qz::ConfigFileExtension(type));
    const QString family = (type == 31 || type == 53 || type == 56) ? wkit::Text(kTextFiveToTenCylinders)
                                                                    : wkit::Text(kTextThreeFourCylinders);
    OpenDialog.defaultExt = e;
    OpenDialog.filter = QStringLiteral("Configurazione ") + family + QStringLiteral(" |*.") + e;
    SaveDialog.defaultExt = OpenDialog.defaultExt;
    SaveDialog.filter = OpenDialog.filter;
    SaveDialog.overwritePrompt = true;
    StreamDati->SetFileKey(QByteArrayView(qz::FileKeyString()));
}

int TFormMain::AskSaveChanges()
{
    if (StreamDati->Modified == 0)
        return plat::IDNO;

    const int answer = plat::CurrentPrompts().ask(
        {title(), wkit::Text(kTextSaveToFile), plat::PromptIcon::Warning, plat::PromptButtons::YesNoCancel, 0});
    if (answer != plat::IDYES)
        return answer;
    // A failed save keeps the unsaved image: whoever asked must not go on
    // and replace it.
    return SaveChangesToFile() ? plat::IDYES : plat::IDCANCEL;
}

bool TFormMain::SaveChangesToFile()
{
    SetConfigFileDialogs();
    plat::FileDialogs* dialogs = plat::Desktop().fileDialogs;
    const QString fileName = dialogs ? dialogs->getSaveFileName(SaveDialog) : QString();
    if (fileName.isEmpty())
        return false;

    plat::SetScreenCursor(plat::ScreenCursor::Hourglass);
    std::unique_ptr<TFormAttesa> wait = openWaitForm(this, wkit::Text(kTextSaving));
    FormAttesa = wait.get();

    // The image takes the file's name only once the file is saved.
    const QString base = QFileInfo(fileName).fileName();
    const QByteArray name = base.left(std::max<qsizetype>(0, base.size() - 4)).toLocal8Bit();
    const bool saved = StreamDati->SaveConfigurationAs(
        fileName, std::string_view(name.constData(), static_cast<std::size_t>(name.size())));

    wait.reset();
    raise();
    activateWindow();
    plat::SetScreenCursor(plat::ScreenCursor::Default);
    return saved;
}
