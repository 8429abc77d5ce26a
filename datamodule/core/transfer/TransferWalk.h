#pragma once
// What the kinds of whole-image transfer share: the walk over the block table
// (TStreamDati::TransferWalk) with its state, the shapes of a block, the
// presence flags, the progress, and the failure that ends a pass. Internal to
// the transfer files; the data module's users call TStreamDati::TransferData.
#include "datamodule/core/iodata.h"

#include "BlockTable.h"
#include "TransferState.h"

#include "datamodule/files/HexScript.h"

#include "plat/Services.h"

#include <QByteArrayView>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace dm::transfer {

// A failure of the pass: ends it at once and carries the text to show.
// Named, not in an anonymous namespace: the failure a kind's file throws is
// the one the entry point in TransferData.cpp catches.
struct TransferFailure {
    QString text;
};

inline constexpr std::int32_t kNoItem = ECU_STATUS_NO_ITEM;
inline constexpr int kNoteBytes = 48;
inline constexpr int kNoteChars = 64;
inline constexpr std::int32_t kNoteProgress = 0x3011b;
inline constexpr std::int32_t kNoteCode = 0x1b;

template <std::size_t N>
void SetText(std::array<char, N>& to, QByteArrayView from)
{
    to.fill('\0');
    std::memcpy(to.data(), from.data(), static_cast<std::size_t>(std::min<qsizetype>(from.size(), N - 1)));
}

} // namespace dm::transfer

using dm::transfer::Block;
using dm::transfer::Default;
using dm::transfer::Ecu;
using dm::transfer::Hook;
using dm::transfer::Keys;
using dm::transfer::Presence;
using dm::transfer::Record;
using dm::transfer::SetText;
using dm::transfer::Size;
using dm::transfer::TransferFailure;
using dm::transfer::kNoItem;
using dm::transfer::kNoteBytes;
using dm::transfer::kNoteChars;
using dm::transfer::kNoteCode;
using dm::transfer::kNoteProgress;

// One pass over the block table. The walk, the blocks' own steps and the
// pass are in TransferData.cpp; the steps of a read from the ECU in
// TransferRead.cpp, those of a write to the ECU in TransferWrite.cpp, those
// of a load from and a save to a configuration file or built-in set in
// TransferFile.cpp, those of the hex script in TransferScript.cpp.
struct TStreamDati::TransferWalk {
    TStreamDati& d; // the protocol object, the container, the texts, the progress
    WorkingCopy& s; // what the pass changes, until it hands it back
    std::uint32_t flags;
    std::int32_t mask;
    bool notify;
    std::uint32_t pauseMs;

    bool loadFile = false;   // TRANSFER_LOAD
    bool load = false;       // TRANSFER_LOAD or TRANSFER_LOAD_RES2
    bool read = false;
    bool save = false;
    bool write = false;
    bool script = false;
    bool scriptAll = false;
    bool online = false;     // decided once, when the pass starts
    bool retrying = false;   // a rerun after the retry question
    bool startedOnline = false; // the first try was connected
    // A write of this call (any try) reached the connected ECU: after a
    // failure the ECU holds part of the image.
    mutable bool ecuWritten = false;
    // This try has handed its copy back to the data module.
    mutable bool handedBack = false;
    qz::files::THexScript* hex = nullptr;

    TEcuProtocol* Protocol() const { return d.Protocol(); }
    QString LinkText() const { return d.MessageText(MSG_TRANSFER_FAILED) + u' ' + d.MessageText(MSG_RETRY); }
    [[noreturn]] void Fail(const QString& text) const { throw TransferFailure{text}; }

    // ---- shapes -------------------------------------------------------------
    std::int32_t Sized(Size size) const
    {
        switch (size) {
        case Size::Rows: return s.NumeroRighe;
        case Size::RowsPlusOne: return s.NumeroRighe + 1;
        case Size::Cols: return s.NumeroColonne;
        case Size::Fixed: break;
        }
        return 0;
    }
    std::int32_t CodeOf(const Block& b) const
    {
        if (b.codeSize == Size::Fixed)
            return b.code;
        return (Sized(b.codeSize) << 12) | (b.code & 0xFFF);
    }
    int RowsOf(const Block& b) const { return b.rowCount == Size::Fixed ? b.rows : Sized(b.rowCount); }
    // The image's row length of a table.
    static int StrideOf(const Block& b)
    {
        const dm::ItemDef* def = dm::FindItem(dm::ItemNumber(b.code));
        return def ? def->cols : dm::CodeElements(b.code);
    }
    // The shapes of a block's keys and defaults in a file.
    int DefaultCount(const Block& b, int elements) const;
    int KeyCount(const Block& b, int elements) const;
    int CellsLoaded(const Block& b) const;
    int CellsSaved(const Block& b) const;
    const char* SectionOf(const Block& b, int element) const;

    std::int32_t TimeBase() const { return s.GetTimeBase(); }
    std::int32_t TimeUnits(double ms) const { return dm::transfer::TimeUnits(ms, TimeBase()); }
    double Ms(std::int32_t raw) const { return raw * static_cast<double>(TimeBase()) * 0.000001; }

    std::int32_t DefaultValue(const Default& def) const;

    std::uint8_t* PresenceFlag(Presence pr) const
    {
        switch (pr) {
        case Presence::Flag34: return &s.Flag34Present;
        case Presence::Variatore: return &s.VariatorePresent;
        case Presence::RifMapVariatore: return &s.RifMapVariatorePresent;
        case Presence::RifDelayGasTemp: return &s.RifDelayGasTempPresent;
        case Presence::IniettateGasCutoff: return &s.IniettateGasCutoffPresent;
        case Presence::Item264: return &s.Item264Present;
        case Presence::TipiLambda: return &s.TipiLambdaPresent;
        case Presence::ItemB5: return &s.ItemB5Present;
        case Presence::TargetObd: return &s.TargetObdPresent;
        case Presence::ItemBC: return &s.ItemBCPresent;
        case Presence::None: break;
        }
        return nullptr;
    }
    void SetPresence(const Block& b, std::optional<bool> present) const
    {
        if (!present)
            return;
        if (std::uint8_t* f = PresenceFlag(b.presence))
            *f = *present ? 1 : 0;
    }

    // Option bits the blocks consult (Flag1 0x2: CNG; Flag2 0x4: the
    // vehicle's engine sensor).
    bool FuelIsCng() const { return (s.Item(0x2303)[0] & 0x2) != 0; }
    bool VehicleEngineSensor() const { return (s.Item(0x2303)[1] & 0x4) != 0; }
    std::int32_t InjectorType() const { return s.Item(0x2194)[1]; }

    void Progress(std::int32_t code) const { d.AddProgress(code, d.TransferTotal, notify); }
    void Pause() const
    {
        if (pauseMs)
            plat::CurrentClock().sleep(pauseMs);
    }

    // ---- the walk and the blocks' own steps ---------------------------------
    void RunBlock(const Block& b);
    void Generic(const Block& b);
    void Flags12(std::int32_t* v) const;
    bool FixMaxCurrent(std::int32_t* v) const;
    bool ReplaceZeroTime(std::int32_t* v) const;
    void TimeBaseBlock() const;
    static bool MapSizeFits(std::int32_t n);
    void TakeMapSize(std::int32_t cols, std::int32_t rows) const;
    void MapSize(const Block& b, bool selected) const;
    void Identity(bool selected) const;
    void Item1(bool selected) const;
    void Note(bool selected) const;
    void UnpackNote(const std::int32_t (&b)[kNoteBytes]) const;
    void PackNote(std::int32_t (&out)[kNoteBytes]) const;
    QByteArray ConfigurationName() const;
    void Description(const Block& b);
    void ResetDescription() const;
    void DiagStates(const Block& b) const;
    void CoeffPressDiff(const Block& b) const;
    void CoeffPressDiffToWord(std::int32_t* v) const;
    void Injector(const Block& b) const;
    void Closing() const;

    // ---- load from and save to a configuration file or built-in set ---------
    void OpenContainers(const QString& fileName, std::int32_t resource) const;
    void CloseContainers(const QString& fileName, std::int32_t resource) const;
    void LoadDefaults(const Block& b, std::int32_t* v, int rows, int stride, int elements) const;
    bool ReadValue(std::int32_t& to, QAnyStringView key, const char* section, std::int32_t code, int index) const;
    void ReadKeys(const Block& b, std::int32_t code, std::int32_t* v, int rows, int stride, int elements) const;
    void WriteKeys(const Block& b, const std::int32_t* v, int rows, int stride, int elements) const;
    void AfterLoad(const Block& b, std::int32_t* v) const;
    void LoadMapSize(const Block& b) const;
    void SaveMapSize(const Block& b) const;
    void LoadNote() const;
    void SaveNote() const;
    void LoadDescription(std::int32_t* e);
    void SaveDescription(const std::int32_t* e);
    void LoadCoeffPressDiff(const Block& b, std::int32_t* v) const;
    void SaveCoeffPressDiff(const Block& b, const std::int32_t* v) const;
    void LoadInjector(const Block& b, std::int32_t* v) const;
    void ResetVersionTexts() const;
    void LoadClosing(std::int32_t* date) const;
    void SaveClosing() const;

    // ---- read from the ECU --------------------------------------------------
    bool ReadRule(bool ok) const;
    void ReadEcu(const Block& b, std::int32_t code, std::int32_t* v, int rows, int stride);
    void ReadNote() const;
    void ReadDescription(std::int32_t* e);
    void ReadCoeffPressDiff(std::int32_t* v) const;

    // ---- write to the ECU ---------------------------------------------------
    std::optional<bool> WriteRule(bool ok) const;
    void CheckInjector() const;
    void WriteEcu(const Block& b, std::int32_t code, std::int32_t* v, int rows, int stride);
    void ReadRuleOnWritePath(bool ok) const;
    void WriteNote(const std::int32_t (&packed)[kNoteBytes]) const;
    void WriteDiagStates(std::int32_t* v) const;
    void WriteCoeffPressDiff(std::int32_t* v) const;
    void WriteInjector(const std::int32_t* v) const;
    void WriteClosing(std::int32_t* date) const;
    void ClearItem1Bit0() const;

    // ---- the hex script -----------------------------------------------------
    void WriteScriptHeader() const;
    void WriteRecord(const Block& b, std::int32_t code, const std::int32_t* v, int rows, int stride) const;
    void ScriptDiagStates(const Block& b, std::int32_t* v) const;
    void ScriptCoeffPressDiff(const Block& b, std::int32_t* v) const;

    // ---- the pass -----------------------------------------------------------
    void Run(const QString& fileName, std::int32_t resource, qz::files::THexScript& scriptText);
    void HandBack() const;
    void Finish(bool timerWasRunning, const QString& fileName, std::int32_t resource,
                const qz::files::THexScript& scriptText) const;
};
