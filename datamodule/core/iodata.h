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
#include <functional>
#include <optional>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qz::files {
struct TReadResult;
}

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
    // Getters give 0 for an index outside the item; setters answer whether
    // the ECU took the write (false also for a rejected index or value).
    // R and C are NumeroRighe and NumeroColonne; the K map has R + 1 rows.
    std::int32_t GetMappaK(int row, int col) const;
    bool SetMappaK(int row, int col, std::int32_t value);              // 0..255
    std::int32_t GetRifGiriK(int i) const;
    bool SetRifGiriK(int i, std::int32_t rpm);
    long double GetRifTempiK(int i) const;                             // ms
    bool SetRifTempiK(int i, double ms);
    long double GetTOpenLoop(int i) const;                             // ms
    bool SetTOpenLoop(int i, double ms);                               // 0..30 ms
    long double GetMappaFiltro(int row, int col) const;                // raw x 0.2
    bool SetMappaFiltro(int row, int col, double value);
    long double GetRifFiltro(int i) const;                             // bar
    bool SetRifFiltro(int i, double bar);
    std::int32_t GetSgancio(int i) const;
    bool SetSgancio(int i, double value);
    std::int32_t GetMappaCorrAutotaratura(int row, int col) const;     // signed
    bool SetMappaCorrAutotaratura(int row, int col, std::int32_t value);
    std::int32_t GetTargetObd(int row, int col) const;                 // -8..7
    bool SetTargetObd(int row, int col, std::int32_t value);
    std::int32_t GetRifGiri(int i) const;
    bool SetRifGiri(int i, std::int32_t rpm);                          // above 10000: ignored
    long double GetRiferimentiSondaLambda(int i) const;                // V, or 127 - raw
    bool SetRiferimentiSondaLambda(int i, double value);
    long double GetMappaEmissioni(int row, int col) const;
    bool SetMappaEmissioni(int row, int col, double value);
    long double GetRifMapEmissioni(int i) const;                       // bar
    bool SetRifMapEmissioni(int i, double bar);
    std::int32_t GetAnticipo(int i) const;
    bool SetAnticipo(int i, std::int32_t value);
    long double GetIniettateGasCutoff(int i) const;                    // 0 rpm, 1 ms
    bool SetIniettateGasCutoff(int i, double value);
    long double GetScartoMinimoTaratura(int i) const;                  // ms
    bool SetScartoMinimoTaratura(int i, double ms);
    std::int32_t GetTipoIniettore(int i);                              // re-reads the item
    bool SetTipoIniettore(int i, std::int32_t value);
    long double GetTInjDefault(int row, int col) const;                // ms
    bool SetTInjDefault(int row, int col, double ms);
    long double GetTInjFiltro(int i) const;                            // 0 raw, 3 and 7 ms x 10, else ms
    bool SetTInjFiltro(int i, double value);
    std::int32_t GetParametriTempMotore(int i) const;
    bool SetParametriTempMotore(int i, std::int32_t value);
    std::int32_t GetEcuTempMotore(int i) const;
    bool SetEcuTempMotore(int i, std::int32_t value);
    std::int32_t GetOffsetPendenza(int i) const;
    bool SetOffsetPendenza(int i, std::int32_t value);
    // Kind 1 error states (code 0x1d), kind 2 enables (code 0x1c).
    bool SetDiagnosi(int index, int kind, std::int32_t value);
    std::int32_t GetAzione(int row, int col) const;
    bool SetAzione(int row, int col, std::int32_t value);
    long double GetTempDiagnosi(int i) const;                          // 0, 1 Tmot; 2, 3 Tgas
    bool SetTempDiagnosi(int i, double celsius);
    long double GetTempAccensioneCambio(int i) const;                  // Tmot
    bool SetTempAccensioneCambio(int i, double celsius);
    std::int32_t GetVariatore(int i) const;
    bool SetVariatore(int i, std::int32_t value);                      // at most 31
    std::int32_t GetRifGiriVariatore(int i) const;
    bool SetRifGiriVariatore(int i, std::int32_t rpm);                 // at most 10000
    std::int32_t GetMappaVariatore(int row, int col) const;
    bool SetMappaVariatore(int row, int col, std::int32_t value);      // at most 31
    long double GetRifMapVariatore(int i) const;                       // bar, by the external MAP line
    bool SetRifMapVariatore(int i, double bar);
    std::int32_t GetDelayGasTemp(int row, int col) const;              // row 0 x 2, row 1 x 4
    bool SetDelayGasTemp(int row, int col, std::int32_t value);
    std::int32_t GetRifDelayGasTemp(int i) const;                      // Tgas, whole degrees
    bool SetRifDelayGasTemp(int i, std::int32_t celsius);
    long double GetPressPassaggio(int i) const;                        // bar
    bool SetPressPassaggio(int i, double bar);                         // 0..12
    std::int32_t GetCoeffMot(int i) const;
    bool SetCoeffMot(int i, std::int32_t value);                       // at most 200
    std::int32_t GetCoeffTemperatura(int i) const;
    bool SetCoeffTemperatura(int i, std::int32_t value);               // at most 200
    std::int32_t GetRifMot(int i) const;                               // 0 and 9 raw, else Tgas
    bool SetRifMot(int i, double celsius);
    std::int32_t GetRifTemperatura(int i) const;                       // 0 and 9 raw, else Tmot
    bool SetRifTemperatura(int i, double celsius);
    long double GetCoeffPressDiff(int i) const;
    bool SetCoeffPressDiff(int i, double value);
    long double GetRifPressDiff(int i) const;                          // bar
    bool SetRifPressDiff(int i, double bar);
    long double GetCoeffPressColl(int i) const;
    bool SetCoeffPressColl(int i, double value);
    long double GetRifPressColl(int i) const;                          // bar
    bool SetRifPressColl(int i, double bar);
    std::int32_t GetSequenza(int row, int col) const;
    bool SetSequenza(int row, int col, std::int32_t value);
    // Adds delta to the K-map cells of one of the 4 x 4 zones (cells that
    // would leave 0..255 keep their value) and to its correction cell.
    void ShiftMappaKZone(int zoneRow, int zoneCol, int delta);

    // Options 0..26 of Flag1 and Flag2; bits 0..3 of Flag3.
    std::int32_t GetFlag(int index) const;
    bool SetFlag(int index, bool on);
    std::int32_t GetFlag3(int index) const;
    bool SetFlag3(int index, bool on);
    std::int32_t GetNumeroSonde() const;                               // 1 or 2
    bool SetNumeroSonde(int n);
    bool HasSecondaSonda() const;
    std::int32_t GetModificaSequenza() const;
    bool SetModificaSequenza(bool on);
    // Level sensor: position in the list of types, -1 for an unknown code.
    std::int32_t GetTipoSensore() const;
    bool SetTipoSensore(int position);
    std::int32_t GetRifSensore(int i) const;
    bool SetRifSensore(int i, std::int32_t value);
    bool GetTipoSensoreBit7() const;
    // 0 switch-over while accelerating, 1 while decelerating, 2 start on gas.
    std::int32_t GetTipoCommutazione() const;
    bool SetTipoCommutazione(int mode);
    std::int32_t GetTipoSensoreTemperaturaGas() const;
    bool SetTipoSensoreTemperaturaGas(int type);
    std::int32_t GetSegnaleGiri() const;                               // 1 weak
    bool SetSegnaleGiri(bool weak);
    // Kind 1 opening, 2 closing, 3 petrol dead time, 4 gas dead time (ms).
    long double GetTempoIniettore(int kind) const;
    bool SetTempoIniettore(int kind, double ms);
    std::int32_t GetTipiLambdaEnabled(int probe) const;
    std::int32_t GetTipiLambda(int probe) const;
    bool SetTipiLambda(int probe, int kind);
    std::int32_t GetTipoDiLambdaBit0() const;
    std::int32_t GetTipoDiTpsBit0() const;
    // Defaults that follow a change of the lambda type.
    void ApplyTipoDiLambdaEmulazione();
    bool ApplyTipoDiLambdaDefaults();
    // Injection sequence.
    bool IsSequenzaSlotUsed(int slot) const;
    bool SetSequenzaDefault();
    // 0; -1 read failed, -2 no such item, -3 a cylinder twice, -4 a cylinder
    // above 7, -5 an unused slot that the injection type uses.
    int ReadSequenzaFromEcu();
    bool RotateSequenza(int steps);
    // Texts.
    const char* GetNomeConfigurazione();                               // at most 28 characters
    bool SetNomeConfigurazione(std::string_view text);
    const char* GetNoteConfig() const { return NoteConfig.data(); }    // at most 64 characters
    bool SetNoteConfig(std::string_view text);
    // 1 DescrizAuto, 2 Euro, 3 Motore, 4 Centralina, 5 Cambio; image only.
    bool SetDescription(int kind, std::string_view text);
    // Saves the image into a configuration file (a whole-image pass with
    // progress) under a new name: the file holds the name as its vehicle
    // description and no official mark. Only after the save has succeeded
    // does the image take them (configuration name, official mark cleared,
    // description); a failed save leaves the image as it was. The save's
    // result.
    bool SaveConfigurationAs(const QString& fileName, std::string_view name);

    // ---- Whole-image transfer and the configuration-file container --------
    // The moves of one whole-image pass (any combination).
    static constexpr std::uint32_t TRANSFER_LOAD = 0x01;             // file, or built-in set when resource != 0
    static constexpr std::uint32_t TRANSFER_READ_ECU = 0x02;
    static constexpr std::uint32_t TRANSFER_SAVE = 0x04;             // configuration file
    static constexpr std::uint32_t TRANSFER_WRITE_ECU = 0x08;        // also stamps today's date
    static constexpr std::uint32_t TRANSFER_CHECK_INJECTOR = 0x10;
    static constexpr std::uint32_t TRANSFER_CLEAR_ITEM1_BIT0 = 0x20;
    static constexpr std::uint32_t TRANSFER_LOAD_RES2 = 0x40;        // built-in set, second format
    static constexpr std::uint32_t TRANSFER_SCRIPT_ALL = 0x80;       // with TRANSFER_SCRIPT only
    static constexpr std::uint32_t TRANSFER_SCRIPT = 0x100;          // hex script file
    static constexpr std::int32_t TRANSFER_ALL_GROUPS = 0x7fffffff;

    // One pass over every item block. True unless a failure was not retried.
    bool TransferData(std::uint32_t flags, const QString& fileName, std::int32_t resourceNumber,
                      std::int32_t groupMask, std::uint8_t progress, std::int32_t pauseMs);

    // The three version texts a configuration file records (section
    // "Sez0000"): the ECU firmware, the program, the operating system.
    std::array<char, 81> VersioneFirmware{"xxx.xx"};
    std::array<char, 81> VersioneProgramma{"xx.xx.xx.xxxx"};
    std::array<char, 81> VersioneWindows{"Windows xxxx"};

    // The configuration-file container: one open INI text at a time, from a
    // configuration file or a built-in default set. The container owns the
    // file key. Opens and closes throw qz::files::TFileContainerError.
    void SetFileName(const QString& name);   // also kept, cut to 249 characters, in FileName
    bool SetFileKey(QByteArrayView key);     // 1 to 49 bytes; any other is refused
    QByteArray FileKey() const;
    void OpenFileContainer(bool read);
    void CloseFileContainer(bool discard);
    void DeleteTempFile();
    // A built-in set; one stored as an encrypted container is recognised by
    // its header and decrypted.
    void OpenResourceContainer(std::int32_t number);
    void OpenResourceContainer2(std::int32_t number);
    // Where the built-in default sets come from (the program's resources;
    // tests put in their own).
    void SetDefaultSetSource(std::function<std::optional<QByteArray>(int number)> source);
    // Where configuration files are read from (the disk; the fuzz target
    // hands over its inputs).
    void SetConfigurationFileSource(std::function<qz::files::TReadResult(const QString& fileName)> source);
    void DeleteTempFile2();
    // A value that is no integer, or one that fits refuses, is damaged:
    // counted, the destination unchanged, false (as for a missing key).
    bool ReadIniInteger(std::int32_t& dest, QAnyStringView key, QAnyStringView section,
                        const std::function<bool(std::int32_t)>& fits = {}) const;
    bool ReadIniBool(std::uint8_t& dest, QAnyStringView key, QAnyStringView section) const;
    bool ReadIniRow(std::span<char> dest, QAnyStringView key, QAnyStringView section, int maxLength) const;
    void WriteIniByte(std::uint8_t value, QAnyStringView key, QAnyStringView section);
    void WriteIniInteger(std::int32_t value, QAnyStringView key, QAnyStringView section);
    void WriteIniString(QByteArrayView text, QAnyStringView key, QAnyStringView section);
    bool IsContainerOpen() const;
    // The values the last load took from the defaults because the file or
    // set lacked their keys (each key counted once).
    int MissingValueCount() const;
    // The values the last load took from the defaults because the file or
    // set held damaged ones: no number of their item's kind, or a number
    // their item cannot hold (dm::ElementCanHold). Each key once, the keys
    // in the order the load read them.
    int DamagedValueCount() const;
    const std::vector<QByteArray>& DamagedValueKeys() const;

    // The fixed start-up texts.
    static const char* const kSettingsMissingText;
    static const char* const kCommunicationMissingText;

private:
    void post(std::uintptr_t wParam, std::intptr_t lParam);
    void showDisconnectedBox(bool error);
    void storeAndMark(std::int32_t& field, std::int32_t raw);

    QPointer<QObject> mainWindow_;
    bool inPollStep_ = false;

    // Whole-image transfer: the walk and the container it drives.
    struct TransferWalk;
    struct WorkingCopy;
    struct ContainerState;
    ContainerState& container() const;
    QString messageText(int slot) const;
    mutable std::shared_ptr<ContainerState> containerState_;
};

// The data module every window reaches (the first one constructed, until it
// is destroyed).
extern TStreamDati* StreamDati;
