// Reading the whole image from the ECU: the read rule, a block's item read
// whole or row by row, and the read steps of the note, the vehicle
// description and the pressure-difference coefficients.
#include "TransferWalk.h"

namespace {

constexpr std::int32_t kCilindrataCode = 0x24b;

} // namespace

// After a read: any status bit but "no such item" fails the pass. True
// when the ECU has the item.
bool TStreamDati::TransferWalk::ReadRule(bool ok) const
{
    const std::int32_t status = Protocol()->GetLastStatus();
    if ((status & ~kNoItem) != 0 || (!ok && status == 0))
        Fail(LinkText());
    return (status & kNoItem) == 0;
}

void TStreamDati::TransferWalk::ReadEcu(const Block& b, std::int32_t code, std::int32_t* v, int rows, int stride)
{
    if (b.hook == Hook::Counter && (code == 0x23b || code == 0x23c))
        *v = 0;
    if (b.hook == Hook::ZeroBeforeRead || b.hook == Hook::EcuOnlyZero)
        *v = 0;
    bool present = true;
    if (b.ecu == Ecu::Rows) {
        for (int r = 0; r < rows; ++r)
            present = ReadRule(Protocol()->ReadRow(code, v + r * stride, r)) && present;
    } else {
        present = ReadRule(Protocol()->ReadItem(code, v));
    }
    if (b.hook == Hook::TipiLambda)
        present = present && s.GetItem15() >= 2;
    SetPresence(b, present);

    switch (b.hook) {
    case Hook::Flags12: Flags12(v); break;
    case Hook::MaxCurrent:
        if (FixMaxCurrent(v))
            WriteRule(Protocol()->WriteItem(code, v));
        break;
    case Hook::Item24f:
        if (ReplaceZeroTime(v))
            WriteRule(Protocol()->WriteValue(code, *v));
        break;
    default: break;
    }
}

void TStreamDati::TransferWalk::ReadNote() const
{
    std::int32_t bytes[kNoteBytes] = {};
    for (int i = 0; i < kNoteBytes; ++i) {
        const bool ok = Protocol()->ReadRow(kNoteCode, &bytes[i], i);
        if (!ReadRule(ok)) {
            Progress(kNoteProgress);
            break;
        }
        Progress(kNoteCode);
    }
    UnpackNote(bytes);
}

void TStreamDati::TransferWalk::ReadDescription(std::int32_t* e)
{
    ReadRule(Protocol()->ReadItem(dm::kVehicleDescriptionCode, e));
    ResetDescription();
    // The displacement as GetValueByCode(0x24b) gives it, from the copy.
    s.CentCubici = dm::TruncToInt(
        dm::ValueFromRaw(dm::FindValueCode(kCilindrataCode)->scale, *s.Item(kCilindrataCode), s.GetTimeBase()));
}

void TStreamDati::TransferWalk::ReadCoeffPressDiff(std::int32_t* v) const
{
    std::uint8_t& byteForm = s.CoeffPressDiffByte;
    const int format = Protocol()->GetItemFormat(0x7c, 1);
    if (format <= 0)
        Fail(LinkText());
    if (format == 1) {
        byteForm = 1;
        ReadRule(Protocol()->ReadItem(dm::kCoeffPressDiffByte, v));
    } else {
        byteForm = 0;
        ReadRule(Protocol()->ReadItem(dm::kCoeffPressDiffWord, v));
    }
}
