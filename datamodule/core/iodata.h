#pragma once
// TStreamDati: the program's one data module. It owns the poll timer, the
// protocol library, the settings and the translator, holds the ECU parameter
// image and the identity of the connected ECU, runs the poll step and the
// whole-image transfer. QtCore only: the user, the clock and the windows are
// reached through the platform services.
//
// The named accessors of the image come in families, each declared in a
// header of its own and inherited publicly, so callers write dm.GetMappaK(r, c)
// or StreamDati->SetFlag(...) as on any member:
//   StreamMaps.h      K map, filter map, corrections, OBD target, emissions
//   StreamTables.h    correction tables (variator, delays, temperatures, pressures, advance)
//   StreamVectors.h   rows of single settings, diagnosis, injection sequence
//   StreamOptions.h   by item code, option words, coded settings
//   StreamSensors.h   level, temperature and lambda sensors, throttle, rpm signal
//   StreamIdentity.h  the ECU's identity, the configuration's name, note and mark
//   StreamLink.h      poll step, live block, progress, reconnect
// A family is an empty, non-virtual class that reaches the data module
// through a compile-time cast (StreamFamily.h): a call costs what a call of a
// member of this class costs, and the state stays here, in one place. Plain
// classes rather than templates over the module, so the definitions stay
// ordinary functions; no member objects with a pointer back, so no call pays
// an indirection. The family headers only declare; the definitions stay in
// iodata*.cpp beside the shared rows and helpers of Accessors.h.
#include "ItemCatalogue.h"
#include "LiveFrame.h"
#include "Scaling.h"
#include "SensorTables.h"
#include "StreamIdentity.h"
#include "StreamLink.h"
#include "StreamMaps.h"
#include "StreamOptions.h"
#include "StreamSensors.h"
#include "StreamTables.h"
#include "StreamVectors.h"

#include "complib/EcuProtocol.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace qz::files {
struct TReadResult;
}

class TVyxConnection;
class TVyxRegistryData;
class TTranslator;

class TStreamDati : public QObject,
                    public TStreamMaps,
                    public TStreamTables,
                    public TStreamVectors,
                    public TStreamOptions,
                    public TStreamSensors,
                    public TStreamIdentity,
                    public TStreamLink {
    Q_OBJECT

public:
    explicit TStreamDati(QObject* owner = nullptr);
    ~TStreamDati() override;

    TStreamDati(const TStreamDati&) = delete;
    TStreamDati& operator=(const TStreamDati&) = delete;

    // ---- Components -------------------------------------------------------
    QTimer* TimerIO = nullptr;                   // 2000 ms; runs the poll step
    TVyxConnection* VyxConnection = nullptr;     // the protocol library
    TVyxRegistryData* VyxRegistryData = nullptr; // Tag: the start-up flag (1 = ok)
    TTranslator* Translator = nullptr;

    // The protocol object, read afresh (never null; the null object while no
    // library is loaded).
    TEcuProtocol* Protocol() const;

    // Where the connection events go (the main window); posted events are
    // dropped while none is set.
    void SetMainWindow(QObject* window) { mainWindow_ = window; }
    QObject* MainWindow() const { return mainWindow_; }

    // ---- The parameter image ----------------------------------------------
    dm::ParameterImage Image;
    std::int32_t NumeroRighe = 12; // K-map size
    std::int32_t NumeroColonne = 12;
    // Elements of an item in the image (any code of the item); null when the
    // image does not hold it.
    std::int32_t* Item(std::int32_t code) { return Image.Item(code); }
    const std::int32_t* Item(std::int32_t code) const { return Image.Item(code); }
    std::int32_t GetTimeBase() const;
    std::int32_t GetItem15() const;

    // How the setters treat a change: written to the ECU too (WriteThrough
    // 1) or to the image only; Modified is set by every change.
    std::uint8_t WriteThrough = 1;
    std::uint8_t Modified = 0;
    std::int32_t RememberedSwitchRpm = 0; // kept while switch-over is "start on gas"

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

    // ---- The connected ECU and the poll step ------------------------------
    TEcuInfo EcuInfo{};
    std::uint32_t CustomerCode = 0;                  // item 0x233, 0x10000 when the ECU has none
    std::array<std::int32_t, 20> Identity{};         // current reading of 0x14100
    std::array<std::int32_t, 20> PreviousIdentity{}; // the one before
    std::uint8_t IdentityChanged = 0;
    std::int32_t PollItem = dm::kIdentityCode; // the identity (idle) or a live block
    std::int32_t PreviousPollItem = 0;
    std::array<std::uint8_t, dm::kLiveFrameSize> LiveBlock{};
    std::int32_t LiveLength = dm::kLiveFrameSize;
    std::uint8_t DiagnosticErrorState = 0;

    // ---- The configuration's texts ----------------------------------------
    std::array<char, 29> NomeConfigurazione{}; // filled by GetNomeConfigurazione
    std::array<char, 65> NoteConfig{};
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
    // The three version texts a configuration file records (section
    // "Sez0000"): the ECU firmware, the program, the operating system.
    std::array<char, 81> VersioneFirmware{"xxx.xx"};
    std::array<char, 81> VersioneProgramma{"xx.xx.xx.xxxx"};
    std::array<char, 81> VersioneWindows{"Windows xxxx"};

    // ---- Message texts ----------------------------------------------------
    static constexpr int kMessageTextCount = 11;
    // Slot numbers of MessageTexts.
    enum : int {
        MSG_FILE_READ = 0,
        MSG_RESOURCE_READ = 1,
        MSG_TRANSFER_FAILED = 2,
        MSG_TRANSFER_INCOMPLETE = 3,
        MSG_DISCONNECTED = 4,
        MSG_INJECTORS_CONFIG = 5,
        MSG_INJECTORS_ECU = 6,
        MSG_CANNOT_CONNECT = 7,
        MSG_RETRY = 8,
        MSG_CONTINUE = 9,
        MSG_INJECTOR_CHANGE = 10,
    };
    std::array<QString, kMessageTextCount> MessageTexts;
    // The eleven message texts in the current language; the protocol
    // library's caption and its six link-error texts.
    void LoadMessageTexts();

    // The fixed start-up texts.
    static const char* const kSettingsMissingText;
    static const char* const kCommunicationMissingText;

    // ---- Whole-image transfer ---------------------------------------------
    // The moves of one whole-image pass (any combination).
    static constexpr std::uint32_t TRANSFER_LOAD = 0x01; // file, or built-in set when resource != 0
    static constexpr std::uint32_t TRANSFER_READ_ECU = 0x02;
    static constexpr std::uint32_t TRANSFER_SAVE = 0x04;      // configuration file
    static constexpr std::uint32_t TRANSFER_WRITE_ECU = 0x08; // also stamps today's date
    static constexpr std::uint32_t TRANSFER_CHECK_INJECTOR = 0x10;
    static constexpr std::uint32_t TRANSFER_CLEAR_ITEM1_BIT0 = 0x20;
    static constexpr std::uint32_t TRANSFER_LOAD_RES2 = 0x40;  // built-in set, second format
    static constexpr std::uint32_t TRANSFER_SCRIPT_ALL = 0x80; // with TRANSFER_SCRIPT only
    static constexpr std::uint32_t TRANSFER_SCRIPT = 0x100;    // hex script file
    static constexpr std::int32_t TRANSFER_ALL_GROUPS = 0x7fffffff;

    // One pass over every item block. True unless a failure was not retried.
    bool TransferData(std::uint32_t flags, const QString& fileName, std::int32_t resourceNumber,
                      std::int32_t groupMask, std::uint8_t progress, std::int32_t pauseMs);

    // Progress of a pass, in bytes (AddProgress).
    static constexpr std::uint32_t kTransferTotal = 1406;
    std::uint32_t TransferTotal = kTransferTotal;
    std::uint32_t TransferCount = 0;

    // ---- The configuration-file container ---------------------------------
    // One open INI text at a time, from a configuration file or a built-in
    // default set. The container owns the file key. Opens and closes throw
    // qz::files::TFileContainerError.
    std::array<char, 251> FileName{};      // "default"
    void SetFileName(const QString& name); // also kept, cut to 249 characters, in FileName
    bool SetFileKey(QByteArrayView key);   // 1 to 49 bytes; any other is refused
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

private:
    friend class TStreamLink; // the poll step posts and guards itself

    void post(std::uintptr_t wParam, std::intptr_t lParam);

    QPointer<QObject> mainWindow_;
    bool inPollStep_ = false;

    // Whole-image transfer: the walk and the container it drives.
    struct TransferWalk;
    struct WorkingCopy;
    struct ContainerState;
    ContainerState& container() const;
    QString MessageText(int slot) const;
    mutable std::shared_ptr<ContainerState> containerState_;
};

// The families' reads of the data module's state, inline as the members they
// read.
inline std::int32_t TStreamMaps::GetNumeroRighe() const { return self().NumeroRighe; }
inline std::int32_t TStreamMaps::GetNumeroColonne() const { return self().NumeroColonne; }
inline const char* TStreamIdentity::GetNoteConfig() const { return self().NoteConfig.data(); }
inline void TStreamLink::SetPollItem(std::int32_t code) { self().PollItem = code; }
inline std::uint8_t* TStreamLink::GetLiveBlock() { return self().LiveBlock.data(); }
inline dm::TLiveFrame TStreamLink::DecodedLiveBlock() const
{
    return dm::DecodeLiveFrame(self().LiveBlock.data(), self().LiveLength);
}

// The data module every window reaches (the first one constructed, until it
// is destroyed).
extern TStreamDati* StreamDati;
