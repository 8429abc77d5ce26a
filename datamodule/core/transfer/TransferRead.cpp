// Reading the whole image from the ECU: the read rule, a block's item read
// whole or row by row, and the read steps of the note, the vehicle
// description and the pressure-difference coefficients.
#include "TransferWalk.h"

namespace {

constexpr std::int32_t kCilindrataCode = 0x24b;

} // namespace

// After a read: any status bit but "no such item" fails the pass. True
// when the ECU has the item.
bool TStreamDati::TransferWalk::readRule(bool ok) const
{
    const std::int32_t status = p()->GetLastStatus();
    if ((status & ~kNoItem) != 0 || (!ok && status == 0))
        fail(linkText());
    return (status & kNoItem) == 0;
}

void TStreamDati::TransferWalk::readEcu(const Block& b, std::int32_t code, std::int32_t* v, int rows, int stride)
{
    if (b.hook == Hook::Counter && (code == 0x23b || code == 0x23c))
        *v = 0;
    if (b.hook == Hook::ZeroBeforeRead || b.hook == Hook::EcuOnlyZero)
        *v = 0;
    bool present = true;
    if (b.ecu == Ecu::Rows) {
        for (int r = 0; r < rows; ++r)
            present = readRule(p()->ReadRow(code, v + r * stride, r)) && present;
    } else {
        present = readRule(p()->ReadItem(code, v));
    }
    if (b.hook == Hook::TipiLambda)
        present = present && s.GetItem15() >= 2;
    setPresence(b, present);

    switch (b.hook) {
    case Hook::Flags12: flags12(v); break;
    case Hook::MaxCurrent:
        if (fixMaxCurrent(v))
            writeRule(p()->WriteItem(code, v));
        break;
    case Hook::Item24f:
        if (replaceZeroTime(v))
            writeRule(p()->WriteValue(code, *v));
        break;
    default: break;
    }
}

void TStreamDati::TransferWalk::readNote() const
{
    std::int32_t bytes[kNoteBytes] = {};
    for (int i = 0; i < kNoteBytes; ++i) {
        const bool ok = p()->ReadRow(kNoteCode, &bytes[i], i);
        if (!readRule(ok)) {
            progress(kNoteProgress);
            break;
        }
        progress(kNoteCode);
    }
    unpackNote(bytes);
}

void TStreamDati::TransferWalk::readDescription(std::int32_t* e)
{
    readRule(p()->ReadItem(dm::kVehicleDescriptionCode, e));
    resetDescription();
    // The displacement as GetValueByCode(0x24b) gives it, from the copy.
    s.CentCubici = dm::TruncToInt(
        dm::ValueFromRaw(dm::FindValueCode(kCilindrataCode)->scale, *s.Item(kCilindrataCode), s.GetTimeBase()));
}

void TStreamDati::TransferWalk::readCoeffPressDiff(std::int32_t* v) const
{
    std::uint8_t& byteForm = s.CoeffPressDiffByte;
    const int format = p()->GetItemFormat(0x7c, 1);
    if (format <= 0)
        fail(linkText());
    if (format == 1) {
        byteForm = 1;
        readRule(p()->ReadItem(dm::kCoeffPressDiffByte, v));
    } else {
        byteForm = 0;
        readRule(p()->ReadItem(dm::kCoeffPressDiffWord, v));
    }
}
