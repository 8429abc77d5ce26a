// The whole-image transfer: one pass over the block table between the image,
// the ECU, a configuration file or built-in set and a hex script. This file
// holds the entry point with its retries, the pass (the working copy taken
// and handed back, the ECU session, the progress), the walk over the block
// table and the blocks' own steps. The steps of each transfer kind are in
// TransferRead.cpp, TransferWrite.cpp, TransferFile.cpp (load and save) and
// TransferScript.cpp.
#include "datamodule/core/iodata.h"

#include "BlockTable.h"
#include "TransferState.h"
#include "TransferWalk.h"

#include "complib/connection/VyxConnection.h"
#include "complib/translator/Translator.h"
#include "product/constants/BuildConstants.h"

#include "datamodule/files/HexScript.h"

#include "plat/Messages.h"
#include "plat/Services.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace {

// "The ECU holds a partly written configuration; the data in memory are kept."
constexpr int kTextPartlyWritten = 780;
constexpr std::uint32_t kSettleMs = 650;
constexpr int kReconnectTimeoutMs = 20000;

} // namespace

// ---- the walk -------------------------------------------------------------

void TStreamDati::TransferWalk::RunBlock(const Block& b)
{
    const bool selected = (b.groups & mask) != 0;
    switch (b.hook) {
    case Hook::MapSize: return MapSize(b, selected);
    case Hook::Identity: return Identity(selected);
    case Hook::Item1: return Item1(selected);
    case Hook::Note: return Note(selected);
    case Hook::Closing: return Closing();
    default: break;
    }
    if (selected) {
        switch (b.hook) {
        case Hook::TimeBase: TimeBaseBlock(); break;
        case Hook::Description: Description(b); break;
        case Hook::DiagStates: DiagStates(b); break;
        case Hook::CoeffPressDiff: CoeffPressDiff(b); break;
        case Hook::Injector: Injector(b); break;
        default: Generic(b); break;
        }
    }
    if (b.ecu == Ecu::Rows) {
        const std::int32_t code = CodeOf(b);
        for (int r = 0, n = RowsOf(b); r < n; ++r)
            Progress(code);
    } else {
        Progress(b.progress ? b.progress : CodeOf(b));
    }
    if (b.pause)
        Pause();
}

void TStreamDati::TransferWalk::Generic(const Block& b)
{
    const std::int32_t code = CodeOf(b);
    std::int32_t* v = s.Item(code);
    if (!v)
        return;
    const bool isTable = b.ecu == Ecu::Rows;
    const int rows = isTable ? RowsOf(b) : 1;
    const int stride = isTable ? StrideOf(b) : 0;
    const int elements = b.ecu == Ecu::Value ? 1 : dm::CodeElements(code);

    // Load: defaults, then the keys.
    const bool loads = load && !b.defaults.empty() && (!b.fileLoadOnly || loadFile);
    if (loads) {
        LoadDefaults(b, v, rows, stride, elements);
        if (b.hook == Hook::EngineSensor)
            s.BuildTempMotoreTable(false);
        ReadKeys(b, code, v, rows, stride, elements);
        if (std::uint8_t* f = PresenceFlag(b.presence))
            *f = b.presenceLoad;
        AfterLoad(b, v);
    }

    if (read && b.ecu != Ecu::None)
        ReadEcu(b, code, v, rows, stride);
    else if (write && online && b.hook == Hook::Item15)
        ReadEcu(b, code, v, rows, stride);

    if (save && b.keys != Keys::None) {
        if (b.hook == Hook::Flags12)
            Flags12(v);
        WriteKeys(b, v, rows, stride, elements);
    }

    if (write && b.ecu != Ecu::None && b.ecu != Ecu::Read)
        WriteEcu(b, code, v, rows, stride);

    if (script && b.record != Record::None && (!b.scriptAllOnly || scriptAll))
        WriteRecord(b, code, v, rows, stride);

    if (b.hook == Hook::GasSensor)
        s.BuildTemperaturaGasTable(*v);
    else if (b.hook == Hook::EngineSensor)
        s.BuildTempMotoreTable(VehicleEngineSensor());
}

// ---- the blocks' own steps ---------------------------------------------------
// Each runs the kinds in the walk's order: load, read, save, write, script. A
// kind's part longer than one statement is a step in that kind's file.

void TStreamDati::TransferWalk::Flags12(std::int32_t* v) const
{
    if (d.EcuInfo.EcuType == qz::ECU_TYPE_53)
        v[0] &= ~0x20;
}

// Injector type 23: the maximum-current time of 3.8 ms becomes 6.0 ms,
// one of 6.0 ms becomes 4.4 ms on the older hardware. True when changed.
bool TStreamDati::TransferWalk::FixMaxCurrent(std::int32_t* v) const
{
    if (InjectorType() != 23)
        return false;
    const long long tenths = std::llround(Ms(v[0]) * 10.0);
    if (tenths == 38) {
        v[0] = TimeUnits(6);
        return true;
    }
    if (tenths == 60 && s.GetItem15() < 2) {
        v[0] = TimeUnits(4.4);
        return true;
    }
    return false;
}

bool TStreamDati::TransferWalk::ReplaceZeroTime(std::int32_t* v) const
{
    if (*v != 0)
        return false;
    switch (InjectorType()) {
    case 23: *v = TimeUnits(2.5); return true;
    case 82: *v = TimeUnits(1.3); return true;
    case 80: *v = TimeUnits(0.8); return true;
    default: return false;
    }
}

void TStreamDati::TransferWalk::TimeBaseBlock() const
{
    std::int32_t* tb = s.Item(dm::kTimeBaseCode);
    if (load)
        *tb = 2560;
    if (read && !Protocol()->ReadItem(dm::kTimeBaseCode, tb))
        *tb = 2560;
}

// A size outside the tables would move cells past their ends.
bool TStreamDati::TransferWalk::MapSizeFits(std::int32_t n) { return n >= 1 && n <= 12; }

void TStreamDati::TransferWalk::TakeMapSize(std::int32_t cols, std::int32_t rows) const
{
    if (MapSizeFits(cols) && MapSizeFits(rows)) {
        s.NumeroColonne = cols;
        s.NumeroRighe = rows;
    }
}

void TStreamDati::TransferWalk::MapSize(const Block& b, bool selected) const
{
    if (!selected)
        return;
    if (load)
        LoadMapSize(b);
    if (save)
        SaveMapSize(b);
    if (read || write) {
        std::uint8_t answer[2] = {0, 0};
        std::int32_t length = 1;
        if (Protocol()->SendCommand(0x04, answer, &length, 2) && length >= 2)
            TakeMapSize(answer[0], static_cast<std::int32_t>(answer[1]) - 1);
    }
}

void TStreamDati::TransferWalk::Identity(bool selected) const
{
    if (read && selected)
        ReadRule(Protocol()->ReadItem(dm::kIdentityCode, s.Identity.data()));
    Progress(dm::kIdentityCode);
    Pause();
}

void TStreamDati::TransferWalk::Item1(bool selected) const
{
    if (script && selected)
        qz::files::WriteScriptF0(hex, 1, 0);
    Progress(1);
}

void TStreamDati::TransferWalk::Note(bool selected) const
{
    if (!selected)
        return;
    if (load)
        LoadNote();
    if (read)
        ReadNote();
    if (save)
        SaveNote();
    std::int32_t packed[kNoteBytes];
    PackNote(packed);
    if (write)
        WriteNote(packed);
    if (script)
        for (int i = 0; i < kNoteBytes; ++i)
            qz::files::WriteScriptF1(hex, kNoteCode, i, packed[i]);
}

void TStreamDati::TransferWalk::UnpackNote(const std::int32_t (&b)[kNoteBytes]) const
{
    s.NoteConfig.fill('\0');
    for (int g = 0; g < 16; ++g) {
        const std::int32_t b0 = b[3 * g], b1 = b[3 * g + 1], b2 = b[3 * g + 2];
        const int c[4] = {((b0 & 0xC0) >> 6) + ((b1 & 0xC0) >> 4) + ((b2 & 0xC0) >> 2), b0 & 0x3F, b1 & 0x3F,
                          b2 & 0x3F};
        for (int k = 0; k < 4; ++k)
            s.NoteConfig[static_cast<std::size_t>(4 * g + k)] = static_cast<char>(c[k] + 32);
    }
}

void TStreamDati::TransferWalk::PackNote(std::int32_t (&out)[kNoteBytes]) const
{
    int c[kNoteChars] = {};
    const std::size_t len = strnlen(s.NoteConfig.data(), kNoteChars);
    for (std::size_t i = 0; i < len; ++i) {
        const int ch = static_cast<unsigned char>(s.NoteConfig[i]);
        c[i] = ch != 0 ? ch - 32 : 0;
    }
    for (int g = 0; g < 16; ++g) {
        const int c0 = c[4 * g], c1 = c[4 * g + 1], c2 = c[4 * g + 2], c3 = c[4 * g + 3];
        out[3 * g] = (((c0 & 3) << 6) | (c1 & 0x3F)) & 0xFF;
        out[3 * g + 1] = (((c0 & 0x0C) << 4) | (c2 & 0x3F)) & 0xFF;
        out[3 * g + 2] = (((c0 & 0x30) << 2) | (c3 & 0x3F)) & 0xFF;
    }
}

// The configuration name: elements 2 to 29 of the description item.
QByteArray TStreamDati::TransferWalk::ConfigurationName() const
{
    const std::int32_t* e = s.Item(dm::kVehicleDescriptionCode);
    QByteArray name;
    for (int i = 2; i < 30 && e[i] != 0; ++i)
        name.append(static_cast<char>(e[i]));
    return name;
}

void TStreamDati::TransferWalk::Description(const Block& b)
{
    std::int32_t* e = s.Item(dm::kVehicleDescriptionCode);
    if (load)
        LoadDescription(e);
    if (read)
        ReadDescription(e);
    if (save)
        SaveDescription(e);
    if (write)
        WriteRule(Protocol()->WriteItem(dm::kVehicleDescriptionCode, e));
    if (script)
        WriteRecord(b, dm::kVehicleDescriptionCode, e, 1, 0);
}

void TStreamDati::TransferWalk::ResetDescription() const
{
    SetText(s.DescrizAuto, ConfigurationName());
    s.Euro.fill('\0');
    s.Motore.fill('\0');
    s.Centralina.fill('\0');
    s.Cambio.fill('\0');
    s.CentCubici = 1600;
    s.Valvole = 0;
    s.NCilindri = 0;
    s.Potenza = 0;
    s.AnnoVettura = 0;
}

void TStreamDati::TransferWalk::DiagStates(const Block& b) const
{
    std::int32_t* v = s.Item(dm::kDiagnosticStatesCode);
    if (load)
        std::fill_n(v, 5, 0);
    if (read)
        ReadRule(Protocol()->ReadItem(dm::kDiagnosticStatesCode, v));
    if (write)
        WriteDiagStates(v);
    if (script && scriptAll)
        ScriptDiagStates(b, v);
}

void TStreamDati::TransferWalk::CoeffPressDiff(const Block& b) const
{
    std::int32_t* v = s.Item(dm::kCoeffPressDiffWord);
    if (load)
        LoadCoeffPressDiff(b, v);
    if (read)
        ReadCoeffPressDiff(v);
    if (save)
        SaveCoeffPressDiff(b, v);
    if (write && online)
        WriteCoeffPressDiff(v);
    if (script)
        ScriptCoeffPressDiff(b, v);
}

// Coefficients held in their byte form go to the word form (x 30).
void TStreamDati::TransferWalk::CoeffPressDiffToWord(std::int32_t* v) const
{
    std::uint8_t& byteForm = s.CoeffPressDiffByte;
    if (byteForm == 1) {
        for (int i = 0; i < 15; ++i)
            v[i] *= 30;
        byteForm = 0;
    }
}

void TStreamDati::TransferWalk::Injector(const Block& b) const
{
    std::int32_t* v = s.Item(0x2194);
    if (load)
        LoadInjector(b, v);
    if (read)
        ReadRule(Protocol()->ReadItem(0x2194, v));
    if (save)
        d.WriteIniInteger(v[1], b.listed[0], b.section);
    if (write)
        WriteInjector(v);
    if (script)
        qz::files::WriteScriptF1(hex, 0x94, 1, v[1]);
}

void TStreamDati::TransferWalk::Closing() const
{
    std::int32_t* date = s.Item(0x21e);
    if (load)
        LoadClosing(date);
    if (read)
        ReadRule(Protocol()->ReadItem(0x21e, date));
    if (save)
        SaveClosing();
    if (write)
        WriteClosing(date);
}

// ---- the pass -----------------------------------------------------------------

void TStreamDati::TransferWalk::Run(const QString& fileName, std::int32_t resource, qz::files::THexScript& scriptText)
{
    // Containers.
    OpenContainers(fileName, resource);

    // The script's header records; the script is built in memory.
    scriptText = {};
    hex = script ? &scriptText : nullptr;
    if (hex)
        WriteScriptHeader();

    online = Protocol()->IsConnected();
    // A retry that could not reconnect is no offline pass: it fails again.
    if (!retrying)
        startedOnline = online;
    else if (startedOnline && !online)
        Fail(d.MessageText(MSG_CANNOT_CONNECT) + u' ' + d.MessageText(MSG_RETRY));
    if ((flags & TRANSFER_CHECK_INJECTOR) && online)
        CheckInjector();

    d.TransferCount = 0;
    if (notify)
        plat::CurrentServices().windows->sendToAll(plat::WM_WAITPROGRESS, 0, 0);

    if (online && (write || save)) {
        std::uint8_t buffer[5] = {};
        std::int32_t length = 1;
        if (!Protocol()->SendCommand(0x11, buffer, &length, 5))
            Fail(LinkText());
    }

    for (const Block& b : dm::transfer::Blocks())
        RunBlock(b);
}

void TStreamDati::TransferWalk::HandBack() const
{
    if (handedBack)
        return;
    s.HandTo(d);
    handedBack = true;
    // An image just read counts as unsaved, also when a save or write
    // of the same pass fails after this.
    if (read)
        d.Modified = 1;
}

void TStreamDati::TransferWalk::Finish(bool timerWasRunning, const QString& fileName, std::int32_t resource,
                                       const qz::files::THexScript& scriptText) const
{
    if ((flags & TRANSFER_CLEAR_ITEM1_BIT0) && online)
        ClearItem1Bit0();
    if (read || write || (flags & TRANSFER_CLEAR_ITEM1_BIT0))
        plat::CurrentClock().sleep(kSettleMs);
    // Every block has ended well: the data module takes the copy, before
    // the poll step below compares the identity the pass read.
    HandBack();
    if (online) {
        if (timerWasRunning && Protocol()->IsConnected())
            d.TimerIOTimer();
        if (write || save) {
            std::uint8_t buffer[5] = {};
            std::int32_t length = 1;
            if (!Protocol()->SendCommand(0x12, buffer, &length, 5))
                Fail(d.MessageText(MSG_TRANSFER_INCOMPLETE) + u' ' + d.MessageText(MSG_RETRY));
            Protocol()->Disconnect();
            plat::CurrentClock().sleep(kSettleMs);
            if (!d.Reconnect(kReconnectTimeoutMs))
                Fail(d.MessageText(MSG_CANNOT_CONNECT) + u' ' + d.MessageText(MSG_RETRY));
            d.TimerIO->stop();
        }
    }
    if (notify)
        plat::CurrentServices().windows->sendToAll(plat::WM_WAITPROGRESS, 100, 0);

    // Close: a save is scrambled into the file only now.
    CloseContainers(fileName, resource);
    if (hex)
        d.container().files.SaveHexScript(scriptText, fileName);
}

bool TStreamDati::TransferData(std::uint32_t flags, const QString& fileName, std::int32_t resourceNumber,
                               std::int32_t groupMask, std::uint8_t progress, std::int32_t pauseMs)
{
    WorkingCopy work;
    TransferWalk walk{*this, work, flags, groupMask, progress != 0, static_cast<std::uint32_t>(std::max(0, pauseMs))};
    walk.loadFile = (flags & TRANSFER_LOAD) != 0;
    walk.load = (flags & (TRANSFER_LOAD | TRANSFER_LOAD_RES2)) != 0;
    walk.read = (flags & TRANSFER_READ_ECU) != 0;
    walk.save = (flags & TRANSFER_SAVE) != 0;
    walk.write = (flags & TRANSFER_WRITE_ECU) != 0;
    walk.script = (flags & TRANSFER_SCRIPT) != 0;
    walk.scriptAll = walk.script && (flags & TRANSFER_SCRIPT_ALL) != 0;

    const bool timerWasRunning = TimerIO->isActive();
    TimerIO->stop();
    qz::files::THexScript scriptText;
    bool retry = false;
    for (;;) {
        if (retry) {
            retry = false;
            walk.retrying = true;
            Reconnect(kReconnectTimeoutMs);
            // The retried pass runs without poll steps, like the first one.
            TimerIO->stop();
        }
        QString error;
        work.TakeFrom(*this);
        walk.handedBack = false;
        try {
            walk.Run(fileName, resourceNumber, scriptText);
            walk.Finish(timerWasRunning, fileName, resourceNumber, scriptText);
            Modified = walk.read ? 1 : 0;
            if (timerWasRunning)
                TimerIO->start();
            return true;
        } catch (const TransferFailure& f) {
            error = f.text;
        } catch (const qz::files::TFileContainerError& e) {
            error = e.Text();
        }

        // One place for every failure: close without saving, then ask. A
        // read leaves the data module as it was, so no mix of the ECU's
        // values and the earlier ones remains; the other moves keep what
        // they changed, as the user may want to write it again.
        if (!walk.read)
            walk.HandBack();
        Protocol()->Disconnect();
        DeleteTempFile();
        walk.hex = nullptr;
        scriptText = {};
        if (timerWasRunning)
            TimerIO->start();
        // Before the first write the ECU still holds its own configuration:
        // the main window reconnects. Once writes went in, the user decides.
        if ((flags & TRANSFER_CHECK_INJECTOR) && !walk.ecuWritten) {
            QCoreApplication::sendPostedEvents();
            post(0, 3);
            return false;
        }
        const QString title = QString::fromUtf8(qz::ProductTitle());
        const int answer =
            plat::CurrentPrompts().ask({title, error, plat::PromptIcon::Error, plat::PromptButtons::YesNo, 0});
        if (answer != plat::IDYES) {
            if (walk.ecuWritten) {
                // The image stays in memory, and counts as unsaved, so that
                // nothing replaces it without asking.
                Modified = 1;
                plat::CurrentPrompts().ask({title, Translator ? Translator->GetString(kTextPartlyWritten) : QString(),
                                            plat::PromptIcon::Warning, plat::PromptButtons::Ok, 0});
            }
            return false;
        }
        retry = true;
    }
}
