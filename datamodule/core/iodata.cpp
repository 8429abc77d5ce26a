#include "iodata.h"

#include "complib/connection/VyxConnection.h"
#include "complib/settings/VyxRegistryData.h"
#include "complib/translator/Translator.h"
#include "product/constants/BuildConstants.h"

#include "plat/Messages.h"
#include "plat/Services.h"

#include <QTimer>
#include <algorithm>
#include <cstring>

TStreamDati* StreamDati = nullptr;

const char* const TStreamDati::kSettingsMissingText =
    "It is not possible to start the program,\n  very important settings missing.\nReinstall the program and tray again.";
const char* const TStreamDati::kCommunicationMissingText =
    "It is not possible to start the program,\nvery important communication files missing.\nReinstall the program "
    "and tray again.";

namespace {

// The identity both buffers hold until the first reading of the ECU's.
constexpr char kInitialIdentity[21] = "QZ-7304K-NO-ECU-0000";

// String numbers of the eleven message texts, by slot.
constexpr int kMessageStrings[TStreamDati::kMessageTextCount] = {301, 302, 303, 304, 296, 342,
                                                                 343, 17,  47,  181, 261};
// String numbers of the protocol library's link-error texts 0..5.
constexpr int kProtocolTextFirstString = 295;

template <std::size_t N>
void copyText(std::array<char, N>& to, const char* from)
{
    to.fill('\0');
    std::strncpy(to.data(), from, N - 1);
}

void errorBox(const char* text)
{
    plat::CurrentPrompts().ask({QString::fromUtf8(qz::ProductTitle()), QString::fromUtf8(text), plat::PromptIcon::Error,
                                plat::PromptButtons::Ok, 0});
}

} // namespace

TStreamDati::TStreamDati(QObject* owner) : QObject(owner)
{
    if (!StreamDati)
        StreamDati = this;

    // The components with their settings.
    TimerIO = new QTimer(this);
    TimerIO->setInterval(2000);
    TimerIO->setSingleShot(false);
    connect(TimerIO, &QTimer::timeout, this, [this] { TimerIOTimer(TimerIO); });

    VyxConnection = new TVyxConnection(this);
    VyxConnection->SetDllName(QStringLiteral("ProtoVyx.dll"));

    VyxRegistryData = new TVyxRegistryData(this);
    VyxRegistryData->SetTag(1);
    VyxRegistryData->SetStringDataList({QStringLiteral("MainPath=\"\""), QStringLiteral("LanguageName=\"\"")});
    VyxRegistryData->SetIntegerDataList({QStringLiteral("ComPort=0"), QStringLiteral("Language=0")});

    Translator = new TTranslator(this);
    Translator->SetDllName(QStringLiteral("Languages.dll"));
    // Both libraries are probed before they are mapped, by one probe process.
    Translator->PrepareDll();
    VyxConnection->PrepareDll();

    // Settings.
    VyxRegistryData->SetRootKey(TRegistryRoot::CurrentUser);
    VyxRegistryData->SetKeyName(QStringLiteral("\\Software\\") + QString::fromUtf8(qz::RegistrySubkey()));
    if (!VyxRegistryData->LoadFromRegistry()) {
        errorBox(kSettingsMissingText);
        VyxRegistryData->SetTag(0);
    }

    // Language; a missing library is no error.
    Translator->LoadDll();

    // Protocol library and its start-up settings.
    if (!VyxConnection->LoadDll()) {
        errorBox(kCommunicationMissingText);
        VyxRegistryData->SetTag(0);
    } else {
        TEcuProtocol* p = Protocol();
        p->SetComPort(VyxRegistryData->GetInteger(QStringLiteral("ComPort")));
        p->SetLinkOptionA(5);
        p->SetTimeout(1200);
        p->SetLinkOptionC(0);
        p->SetLinkOptionB(0);
        p->Prepare();
    }

    copyText(FileName, "default");
    // The file key: the configuration-file container starts with the build's key.
    WriteThrough = 1;
    TransferTotal = kTransferTotal;
    TransferCount = 0;

    for (std::size_t i = 0; i < Identity.size(); ++i)
        Identity[i] = static_cast<unsigned char>(kInitialIdentity[i]);
    PreviousIdentity = Identity;

    // Image defaults.
    std::int32_t* descr = Item(dm::kVehicleDescriptionCode);
    descr[0] = 0x80;
    descr[1] = 0;
    const char* name = "Standard";
    for (int i = 0; i < 28; ++i)
        descr[2 + i] = i < static_cast<int>(std::strlen(name)) ? name[i] : 0;
    NoteConfig.fill('\0');
    NumeroRighe = qz::NumeroRigheMappaK();
    NumeroColonne = qz::NumeroColonneMappaK();
    *Item(dm::kTimeBaseCode) = 2560;

    // State defaults.
    DiagnosticErrorState = 0;
    ItemB5Present = 0;
    TargetObdPresent = 0;
    IniettateGasCutoffPresent = 0;
    LiveLength = dm::kLiveFrameSize;
    LiveBlock.fill(0);
    IdentityChanged = 0;
    PollItem = dm::kIdentityCode;
    PreviousPollItem = 0;

    TimerIO->start();
}

TStreamDati::~TStreamDati()
{
    TimerIO->stop();
    if (StreamDati == this)
        StreamDati = nullptr;
    // The components go with their owner: the protocol library is unloaded,
    // the settings are saved.
}

TEcuProtocol* TStreamDati::Protocol() const { return VyxConnection->Protocol(); }

void TStreamDati::post(std::uintptr_t wParam, std::intptr_t lParam)
{
    plat::PostWindowMessage(mainWindow_.data(), plat::WM_CONNECTIONEVENT, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Texts and diagnostics

void TStreamDati::LoadMessageTexts()
{
    for (int i = 0; i < kMessageTextCount; ++i)
        MessageTexts[static_cast<std::size_t>(i)] = Translator->GetString(kMessageStrings[i]);
    TEcuProtocol* p = Protocol();
    p->SetMessageCaption(qz::ProductTitle());
    for (int i = 0; i < 6; ++i) {
        const QByteArray text = Translator->GetString(kProtocolTextFirstString + i).toUtf8();
        Protocol()->SetMessageText(text.constData(), i);
    }
}

std::int32_t TStreamVectors::GetDiagnosi(int index, int kind)
{
    if (index < 0 || index > 4)
        return 0;
    if (kind == 1) {
        std::int32_t* states = self().Item(dm::kDiagnosticStatesCode);
        self().Protocol()->ReadItem(dm::kDiagnosticStatesCode, states);
        return states[index];
    }
    if (kind == 2)
        return self().Item(dm::kDiagnosticEnablesCode)[index];
    return 0;
}

void TStreamLink::CheckDiagnosticErrors()
{
    if (!self().Protocol()->IsConnected())
        return;
    std::uint8_t state = 0;
    for (int i = 0; i < 5; ++i) {
        if (self().GetDiagnosi(i, 1) != 0) {
            state = 1;
            break;
        }
    }
    if (state != self().DiagnosticErrorState) {
        self().post(state, 9);
        self().DiagnosticErrorState = state;
    }
}

// ---------------------------------------------------------------------------
// Plain accessors

std::int32_t TStreamDati::GetTimeBase() const { return *Item(dm::kTimeBaseCode); }
std::int32_t TStreamDati::GetItem15() const { return *Item(qz::kHardwareVariantCode); }

bool TStreamIdentity::GetUfficiale() const
{
    return (self().Item(dm::kVehicleDescriptionCode)[0] & dm::kOfficialMark) != 0;
}

void TStreamIdentity::SetUfficiale(bool on)
{
    std::int32_t& e0 = self().Item(dm::kVehicleDescriptionCode)[0];
    const std::int32_t b = on ? (e0 | dm::kOfficialMark) : (e0 & ~dm::kOfficialMark);
    if (self().WriteThrough && !self().Protocol()->WriteElement(0x35, 0, b))
        return;
    e0 = b;
}

void TStreamOptions::storeAndMark(std::int32_t& field, std::int32_t raw)
{
    if (raw == field)
        return;
    field = raw;
    if (self().GetUfficiale())
        self().SetUfficiale(false);
}

// ---------------------------------------------------------------------------
// By item code

long double TStreamOptions::GetValueByCode(std::int32_t code)
{
    if (const auto bf = dm::FindBitField(code)) {
        const auto stored = static_cast<std::uint32_t>(*self().Item(dm::kTipoDiTpsCode));
        return (stored >> bf->low) & ((1u << bf->width) - 1u);
    }
    const dm::CodeDef* d = dm::FindValueCode(code);
    std::int32_t* field = d ? self().Item(code) : nullptr;
    if (!field)
        return kUnknownCode;
    if (d->readFirst)
        self().Protocol()->ReadItem(code, field);
    return dm::ValueFromRaw(d->scale, *field, self().GetTimeBase());
}

int TStreamOptions::SetValueByCode(std::int32_t code, double value)
{
    self().Modified = 1;
    if (code < 0)
        return -1;
    std::int32_t* field = nullptr;
    std::int32_t raw = 0;
    if (const auto bf = dm::FindBitField(code)) {
        field = self().Item(dm::kTipoDiTpsCode);
        const auto mask = static_cast<std::uint32_t>(bf->Mask());
        const auto bits = static_cast<std::uint32_t>(dm::TruncToInt(value)) << bf->low;
        raw = static_cast<std::int32_t>((static_cast<std::uint32_t>(*field) & ~mask) | (bits & mask));
    } else {
        const dm::CodeDef* d = dm::FindValueCode(code);
        field = d ? self().Item(code) : nullptr;
        if (!field)
            return 0;
        const auto r = dm::ValueToRaw(d->scale, value, *field, self().GetTimeBase());
        if (!r)
            return 0;
        raw = *r;
    }
    if (!self().Protocol()->WriteValue(code, raw))
        return 0;
    storeAndMark(*field, raw);
    return 1;
}

long double TStreamOptions::GetElementByCode(std::int32_t code, int index)
{
    const dm::CodeDef* d = dm::FindElementCode(code);
    std::int32_t* elements = d ? self().Item(code) : nullptr;
    if (!elements || index < 0 || index >= self().Image.Elements(code))
        return kUnknownCode;
    std::int32_t& e = elements[index];
    if (d->readFirst) {
        e = 0;
        self().Protocol()->ReadRow(code, &e, index);
    }
    return dm::ValueFromRaw(dm::ElementScale(*d, index), e, self().GetTimeBase());
}

int TStreamOptions::SetElementByCode(std::int32_t code, int index, double value)
{
    self().Modified = 1;
    const dm::CodeDef* d = dm::FindElementCode(code);
    std::int32_t* elements = d ? self().Item(code) : nullptr;
    if (!elements || index < 0 || index >= self().Image.Elements(code))
        return 0;
    std::int32_t& e = elements[index];
    const auto r = dm::ValueToRaw(dm::ElementScale(*d, index), value, e, self().GetTimeBase());
    if (!r)
        return 0;
    if (!self().Protocol()->WriteElement(code, index, *r))
        return 0;
    storeAndMark(e, *r);
    return 1;
}

// ---------------------------------------------------------------------------
// Sensor tables

void TStreamSensors::BuildTemperaturaGasTable(int type) { dm::BuildGasSensorTable(dm::GasSensorTable(), type); }

void TStreamSensors::BuildTempMotoreTable(bool useVehicleSensor)
{
    dm::BuildEngineSensorTable(dm::EngineSensorTable(), useVehicleSensor, self().Item(0x558a), self().Item(0x1e18b));
}
