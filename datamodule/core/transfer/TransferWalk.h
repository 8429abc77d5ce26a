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
void setText(std::array<char, N>& to, QByteArrayView from)
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
using dm::transfer::Size;
using dm::transfer::TransferFailure;
using dm::transfer::kNoItem;
using dm::transfer::kNoteBytes;
using dm::transfer::kNoteChars;
using dm::transfer::kNoteCode;
using dm::transfer::kNoteProgress;
using dm::transfer::setText;

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

    TEcuProtocol* p() const { return d.Protocol(); }
    QString linkText() const { return d.messageText(MSG_TRANSFER_FAILED) + u' ' + d.messageText(MSG_RETRY); }
    [[noreturn]] void fail(const QString& text) const { throw TransferFailure{text}; }

    // ---- shapes -------------------------------------------------------------
    std::int32_t sized(Size size) const
    {
        switch (size) {
        case Size::Rows: return s.NumeroRighe;
        case Size::RowsPlusOne: return s.NumeroRighe + 1;
        case Size::Cols: return s.NumeroColonne;
        case Size::Fixed: break;
        }
        return 0;
    }
    std::int32_t codeOf(const Block& b) const
    {
        if (b.codeSize == Size::Fixed)
            return b.code;
        return (sized(b.codeSize) << 12) | (b.code & 0xFFF);
    }
    int rowsOf(const Block& b) const { return b.rowCount == Size::Fixed ? b.rows : sized(b.rowCount); }
    // The image's row length of a table.
    static int strideOf(const Block& b)
    {
        const dm::ItemDef* def = dm::FindItem(dm::ItemNumber(b.code));
        return def ? def->cols : dm::CodeElements(b.code);
    }
    // The shapes of a block's keys and defaults in a file.
    int defaultCount(const Block& b, int elements) const;
    int keyCount(const Block& b, int elements) const;
    int cellsLoaded(const Block& b) const;
    int cellsSaved(const Block& b) const;
    const char* sectionOf(const Block& b, int element) const;

    std::int32_t timeBase() const { return s.GetTimeBase(); }
    std::int32_t t(double ms) const { return dm::transfer::TimeUnits(ms, timeBase()); }
    double ms(std::int32_t raw) const { return raw * static_cast<double>(timeBase()) * 0.000001; }

    std::int32_t defaultValue(const Default& def) const;

    std::uint8_t* presenceFlag(Presence pr) const
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
    void setPresence(const Block& b, std::optional<bool> present) const
    {
        if (!present)
            return;
        if (std::uint8_t* f = presenceFlag(b.presence))
            *f = *present ? 1 : 0;
    }

    // Option bits the blocks consult (Flag1 0x2: CNG; Flag2 0x4: the
    // vehicle's engine sensor).
    bool fuelIsCng() const { return (s.Item(0x2303)[0] & 0x2) != 0; }
    bool vehicleEngineSensor() const { return (s.Item(0x2303)[1] & 0x4) != 0; }
    std::int32_t injectorType() const { return s.Item(0x2194)[1]; }

    void progress(std::int32_t code) const { d.AddProgress(code, d.TransferTotal, notify); }
    void pause() const
    {
        if (pauseMs)
            plat::CurrentClock().sleep(pauseMs);
    }

    // ---- the walk and the blocks' own steps ---------------------------------
    void runBlock(const Block& b);
    void generic(const Block& b);
    void flags12(std::int32_t* v) const;
    bool fixMaxCurrent(std::int32_t* v) const;
    bool replaceZeroTime(std::int32_t* v) const;
    void timeBaseBlock() const;
    static bool mapSizeFits(std::int32_t n);
    void takeMapSize(std::int32_t cols, std::int32_t rows) const;
    void mapSize(const Block& b, bool selected) const;
    void identity(bool selected) const;
    void item1(bool selected) const;
    void note(bool selected) const;
    void unpackNote(const std::int32_t (&b)[kNoteBytes]) const;
    void packNote(std::int32_t (&out)[kNoteBytes]) const;
    QByteArray configurationName() const;
    void description(const Block& b);
    void resetDescription() const;
    void diagStates(const Block& b) const;
    void coeffPressDiff(const Block& b) const;
    void coeffPressDiffToWord(std::int32_t* v) const;
    void injector(const Block& b) const;
    void closing() const;

    // ---- load from and save to a configuration file or built-in set ---------
    void openContainers(const QString& fileName, std::int32_t resource) const;
    void closeContainers(const QString& fileName, std::int32_t resource) const;
    void loadDefaults(const Block& b, std::int32_t* v, int rows, int stride, int elements) const;
    bool readValue(std::int32_t& to, QAnyStringView key, const char* section, std::int32_t code, int index) const;
    void readKeys(const Block& b, std::int32_t code, std::int32_t* v, int rows, int stride, int elements) const;
    void writeKeys(const Block& b, const std::int32_t* v, int rows, int stride, int elements) const;
    void afterLoad(const Block& b, std::int32_t* v) const;
    void loadMapSize(const Block& b) const;
    void saveMapSize(const Block& b) const;
    void loadNote() const;
    void saveNote() const;
    void loadDescription(std::int32_t* e);
    void saveDescription(const std::int32_t* e);
    void loadCoeffPressDiff(const Block& b, std::int32_t* v) const;
    void saveCoeffPressDiff(const Block& b, const std::int32_t* v) const;
    void loadInjector(const Block& b, std::int32_t* v) const;
    void resetVersionTexts() const;
    void loadClosing(std::int32_t* date) const;
    void saveClosing() const;

    // ---- read from the ECU --------------------------------------------------
    bool readRule(bool ok) const;
    void readEcu(const Block& b, std::int32_t code, std::int32_t* v, int rows, int stride);
    void readNote() const;
    void readDescription(std::int32_t* e);
    void readCoeffPressDiff(std::int32_t* v) const;

    // ---- write to the ECU ---------------------------------------------------
    std::optional<bool> writeRule(bool ok) const;
    void checkInjector() const;
    void writeEcu(const Block& b, std::int32_t code, std::int32_t* v, int rows, int stride);
    void readRuleOnWritePath(bool ok) const;
    void writeNote(const std::int32_t (&packed)[kNoteBytes]) const;
    void writeDiagStates(std::int32_t* v) const;
    void writeCoeffPressDiff(std::int32_t* v) const;
    void writeInjector(const std::int32_t* v) const;
    void writeClosing(std::int32_t* date) const;
    void clearItem1Bit0() const;

    // ---- the hex script -----------------------------------------------------
    void writeScriptHeader() const;
    void writeRecord(const Block& b, std::int32_t code, const std::int32_t* v, int rows, int stride) const;
    void scriptDiagStates(const Block& b, std::int32_t* v) const;
    void scriptCoeffPressDiff(const Block& b, std::int32_t* v) const;

    // ---- the pass -----------------------------------------------------------
    void run(const QString& fileName, std::int32_t resource, qz::files::THexScript& scriptText);
    void handBack() const;
    void finish(bool timerWasRunning, const QString& fileName, std::int32_t resource,
                const qz::files::THexScript& scriptText) const;
};
