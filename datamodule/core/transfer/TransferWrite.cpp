// Writing the whole image to the ECU: the write rule, the injector check
// before a write, a block's item written whole or row by row, the write steps
// of the note, the diagnostic states, the pressure-difference coefficients,
// the injector pair and today's date, and bit 0 of item 1 cleared after a
// write.
#include "TransferWalk.h"

#include "product/constants/BuildConstants.h"

#include "plat/Messages.h"
#include "plat/Services.h"

#include <QDate>

// After a write: only a pass that started connected tests the result; a
// write that fails or a link that is gone then fails the pass. The
// presence of the item, or none for an offline pass.
std::optional<bool> TStreamDati::TransferWalk::WriteRule(bool ok) const
{
    if (!online)
        return std::nullopt;
    if (write)
        ecuWritten = true;
    const std::int32_t status = Protocol()->GetLastStatus();
    if ((status & ~kNoItem) != 0 || (!ok && status == 0) || !Protocol()->IsConnected())
        Fail(LinkText());
    return (status & kNoItem) == 0;
}

// Before a write (TRANSFER_CHECK_INJECTOR): an ECU with another injector type
// than the image's is written only when the user says so.
void TStreamDati::TransferWalk::CheckInjector() const
{
    std::int32_t ecuType = 0;
    if (!ReadRule(Protocol()->ReadRow(0x94, &ecuType, 1)))
        return; // the ECU has no injector pair: nothing to compare
    const std::int32_t modelType = InjectorType();
    if (ecuType == modelType)
        return;
    const QString text = d.MessageText(MSG_INJECTORS_CONFIG) + u' ' +
                         QString::fromLatin1(qz::InjectorTypeName(modelType)) + QStringLiteral("!!!\n") +
                         d.MessageText(MSG_INJECTORS_ECU) + u' ' +
                         QString::fromLatin1(qz::InjectorTypeName(ecuType)) + QStringLiteral("!!!");
    const int answer =
        plat::CurrentPrompts().ask({QString::fromUtf8(qz::ProductTitle()), text + u'\n' + d.MessageText(MSG_CONTINUE),
                                    plat::PromptIcon::Error, plat::PromptButtons::YesNo, plat::IDNO});
    if (answer != plat::IDYES)
        Fail(text);
}

void TStreamDati::TransferWalk::WriteEcu(const Block& b, std::int32_t code, std::int32_t* v, int rows, int stride)
{
    switch (b.hook) {
    case Hook::Flags12: Flags12(v); break;
    case Hook::MaxCurrent: FixMaxCurrent(v); break;
    case Hook::KNeutral: *v = std::min(*v, 85); break;
    default: break;
    }
    std::optional<bool> present = true;
    switch (b.ecu) {
    case Ecu::Value: present = WriteRule(Protocol()->WriteValue(code, *v)); break;
    case Ecu::Array: present = WriteRule(Protocol()->WriteItem(code, v)); break;
    case Ecu::Rows:
        for (int r = 0; r < rows; ++r) {
            const std::optional<bool> row = WriteRule(Protocol()->WriteRow(code, v + r * stride, r));
            present = row ? std::optional<bool>(*present && *row) : std::nullopt;
        }
        break;
    default: return;
    }
    if (b.hook == Hook::TipiLambda && present)
        present = *present && s.GetItem15() >= 2;
    SetPresence(b, present);
    if (b.hook == Hook::GasSensor)
        ReadRuleOnWritePath(Protocol()->ReadItem(code, v));
}

// A read made on the write path follows the write rule.
void TStreamDati::TransferWalk::ReadRuleOnWritePath(bool ok) const { WriteRule(ok); }

void TStreamDati::TransferWalk::WriteNote(const std::int32_t (&packed)[kNoteBytes]) const
{
    for (int i = 0; i < kNoteBytes; ++i) {
        const std::optional<bool> present = WriteRule(Protocol()->WriteElement(kNoteCode, i, packed[i]));
        if (present && !*present) {
            s.NoteConfig.fill('\0');
            Progress(kNoteProgress);
            break;
        }
        Progress(kNoteCode);
    }
}

void TStreamDati::TransferWalk::WriteDiagStates(std::int32_t* v) const
{
    std::fill_n(v, 5, 0);
    WriteRule(Protocol()->WriteItem(dm::kDiagnosticStatesCode, v));
}

void TStreamDati::TransferWalk::WriteCoeffPressDiff(std::int32_t* v) const
{
    std::uint8_t& byteForm = s.CoeffPressDiffByte;
    const int format = Protocol()->GetItemFormat(0x7c, 1);
    if (format <= 0)
        Fail(LinkText());
    if (format == 1) {
        if (byteForm == 0) {
            for (int i = 0; i < 15; ++i)
                v[i] = std::clamp(v[i] / 30, -128, 127);
            byteForm = 1;
        }
        WriteRule(Protocol()->WriteItem(dm::kCoeffPressDiffByte, v));
    } else {
        CoeffPressDiffToWord(v);
        WriteRule(Protocol()->WriteItem(dm::kCoeffPressDiffWord, v));
    }
}

void TStreamDati::TransferWalk::WriteInjector(const std::int32_t* v) const
{
    WriteRule(Protocol()->WriteElement(0x94, 0, v[1]));
    WriteRule(Protocol()->WriteElement(0x94, 1, v[1]));
}

// Today's date goes with every write.
void TStreamDati::TransferWalk::WriteClosing(std::int32_t* date) const
{
    *date = static_cast<std::int32_t>(QDate(1899, 12, 30).daysTo(plat::CurrentClock().today()));
    WriteRule(Protocol()->WriteValue(0x21e, *date));
}

void TStreamDati::TransferWalk::ClearItem1Bit0() const
{
    std::int32_t v = 0;
    ReadRule(Protocol()->ReadItem(1, &v));
    WriteRule(Protocol()->WriteValue(1, v & ~1));
}
