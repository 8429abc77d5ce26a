#pragma once
// TStreamDati: the program's one data module. It owns the poll timer, the
// protocol library, the settings and the translator, holds the ECU parameter
// image and the identity of the connected ECU, converts values by item code,
// runs the poll step and reconnects. QtCore only: the user, the clock and the
// windows are reached through the platform services.
#include "ItemCatalogue.h"
#include "LiveFrame.h"
#include "Scaling.h"
#include "SensorTables.h"

#include "complib/EcuProtocol.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>

class TVyxConnection;
class TVyxRegistryData;
class TTranslator;

class TStreamDati : public QObject {
    Q_OBJECT

public:
    explicit TStreamDati(QObject* owner = nullptr);
    ~TStreamDati() override;

    TStreamDati(const TStreamDati&) = delete;
    TStreamDati& operator=(const TStreamDati&) = delete;

    // ---- Components -------------------------------------------------------
    QTimer* TimerIO = nullptr;                  // 2000 ms; runs the poll step
    TVyxConnection* VyxConnection = nullptr;    // the protocol library
    TVyxRegistryData* VyxRegistryData = nullptr;// Tag: the start-up flag (1 = ok)
    TTranslator* Translator = nullptr;

    // The protocol object, read afresh (never null; the null object while no
    // library is loaded).
    TEcuProtocol* Protocol() const;

    // Where the connection events go (the main window); posted events are
    // dropped while none is set.
    void SetMainWindow(QObject* window) { mainWindow_ = window; }
    QObject* MainWindow() const { return mainWindow_; }

    // ---- State ------------------------------------------------------------
    static constexpr std::uint32_t kTransferTotal = 1406;
    static constexpr int kMessageTextCount = 11;
    // Slot numbers of MessageTexts.
    enum : int {
        MSG_FILE_READ = 0, MSG_RESOURCE_READ = 1, MSG_TRANSFER_FAILED = 2, MSG_TRANSFER_INCOMPLETE = 3,
        MSG_DISCONNECTED = 4, MSG_INJECTORS_CONFIG = 5, MSG_INJECTORS_ECU = 6, MSG_CANNOT_CONNECT = 7,
        MSG_RETRY = 8, MSG_CONTINUE = 9, MSG_INJECTOR_CHANGE = 10,
    };

    std::array<char, 251> FileName{};           // "default"
    std::array<char, 50> FileKey{};
    std::array<QString, kMessageTextCount> MessageTexts;
    std::uint8_t WriteThrough = 1;
    std::uint32_t TransferTotal = kTransferTotal;
    std::uint32_t TransferCount = 0;
    std::uint8_t DiagnosticErrorState = 0;

    dm::ParameterImage Image;
    std::int32_t RememberedSwitchRpm = 0;       // kept while switch-over is "start on gas"
    std::int32_t NumeroRighe = 12;
    std::int32_t NumeroColonne = 12;

    // Item-present flags, set by the transfer when it reads the ECU.
    std::uint8_t TargetObdPresent = 0;          // 0x61ba
    std::uint8_t CoeffPressDiffByte = 0;        // 1: 8-bit form 0xf57c, 0: 16-bit form 0xf77c
    std::uint8_t VariatorePresent = 0;          // 0x8127
    std::uint8_t RifMapVariatorePresent = 0;    // 0x512d
    std::uint8_t RifDelayGasTempPresent = 0;    // 0x912f
    std::uint8_t ItemB5Present = 0;             // 0xb5
    std::uint8_t IniettateGasCutoffPresent = 0; // 0x2332
    std::uint8_t Flag34Present = 0;             // 0x23c0
    std::uint8_t ItemBCPresent = 0;             // 0xbc
    std::uint8_t Item264Present = 0;            // 0x264
    std::uint8_t TipiLambdaPresent = 0;         // 0xab

    std::array<char, 65> NoteConfig{};
    std::array<std::int32_t, 20> Identity{};         // current reading of 0x14100
    std::array<std::int32_t, 20> PreviousIdentity{}; // the one before
    std::array<char, 29> NomeConfigurazione{};
    std::array<std::uint8_t, dm::kLiveFrameSize> LiveBlock{};
    std::int32_t PollItem = dm::kIdentityCode;
    std::int32_t PreviousPollItem = 0;
    std::uint8_t IdentityChanged = 0;
    std::int32_t LiveLength = dm::kLiveFrameSize;

    TEcuInfo EcuInfo{};
    std::uint32_t CustomerCode = 0;             // item 0x233, 0x10000 when the ECU has none

    // Vehicle description (section "Generale").
    std::array<char, 51> DescrizAuto{};
    std::array<char, 11> Euro{};
    std::int32_t CentCubici = 0;
    std::int32_t Valvole = 0;
    std::int32_t NCilindri = 0;
    float Potenza = 0;
    std::array<char, 51> Motore{};
    std::array<char, 51> Centralina{};
    std::array<char, 51> Cambio{};
    std::int32_t AnnoVettura = 0;

    std::uint8_t Modified = 0;

    // ---- Texts and diagnostics --------------------------------------------
    // The eleven message texts in the current language; the protocol
    // library's caption and its six link-error texts.
    void LoadMessageTexts();
    // Posts event 9 when the diagnostic-error state changes.
    void CheckDiagnosticErrors();
    // Element index 0..4 of the error states (kind 1, re-read from the ECU
    // first) or of the enables (kind 2); 0 otherwise.
    std::int32_t GetDiagnosi(int index, int kind);

    // ---- By item code -----------------------------------------------------
    static constexpr long double kUnknownCode = 800000.0L;
    long double GetValueByCode(std::int32_t code);
    // 1 written, 0 not written (unknown code, value that cannot be expressed,
    // refused write), -1 negative code. Sets Modified first in every case.
    int SetValueByCode(std::int32_t code, double value);
    long double GetElementByCode(std::int32_t code, int index);
    int SetElementByCode(std::int32_t code, int index, double value);

    // ---- A few plain accessors the above need ------------------------------
    std::int32_t GetTimeBase() const;
    std::int32_t GetItem15() const;
    std::int32_t GetNumeroRighe() const { return NumeroRighe; }
    std::int32_t GetNumeroColonne() const { return NumeroColonne; }
    // Bit 7 of element 0 of item 0x1e135.
    bool GetUfficiale() const;
    void SetUfficiale(bool on);
    // Elements of an item in the image (any code of the item); null when the
    // image does not hold it.
    std::int32_t* Item(std::int32_t code) { return Image.item(code); }
    const std::int32_t* Item(std::int32_t code) const { return Image.item(code); }

    // ---- Sensor tables ------------------------------------------------------
    void BuildTemperaturaGasTable(int type);
    void BuildTempMotoreTable(bool useVehicleSensor);

    // ---- Poll step, live block, progress -----------------------------------
    void TimerIOTimer(QObject* sender = nullptr);
    void SetPollItem(std::int32_t code) { PollItem = code; }
    std::uint8_t* GetLiveBlock() { return LiveBlock.data(); }
    dm::TLiveFrame DecodedLiveBlock() const { return dm::DecodeLiveFrame(LiveBlock.data(), LiveLength); }
    void AddProgress(std::int32_t code, std::uint32_t total, bool notify);

    // ---- Identity and reconnect ---------------------------------------------
    bool ReadEcuIdentity();
    int SetEcuType(std::uint8_t type);
    void WriteEcuType(std::uint8_t value);
    void SetPers(std::uint32_t value);
    bool Reconnect(int timeoutMs);
    bool WaitEcuReady(int timeoutMs);

    // ---- Maps, tables, vectors, option words, coded settings, texts --------

    // ---- Whole-image transfer and the configuration-file container --------

    // The fixed start-up texts.
    static const char* const kSettingsMissingText;
    static const char* const kCommunicationMissingText;

private:
    void post(std::uintptr_t wParam, std::intptr_t lParam);
    void showDisconnectedBox(bool error);
    void storeAndMark(std::int32_t& field, std::int32_t raw);

    QPointer<QObject> mainWindow_;
    bool inPollStep_ = false;
};

// The data module every window reaches (the first one constructed, until it
// is destroyed).
extern TStreamDati* StreamDati;
