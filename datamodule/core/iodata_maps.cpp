// Named accessors of the maps, tables and vectors of the parameter image.
// Each family is a row below; the setters differ only in their limits and
// conversions.
#include "Accessors.h"
#include "ItemLimits.h"

#include <cmath>

using dm::acc::Extent;
using dm::acc::Family;
using dm::acc::Order;

namespace {

constexpr Extent F = Extent::Fixed;

// item, code, table, rows, cols, order
constexpr Family kMappaK{0xc154, 0x54, true, Extent::RPlusOne, 0, Extent::C, 0, Order::A};
constexpr Family kRifGiriK{0xc73d, 0x63d, false, F, 1, Extent::C, 0, Order::A};
constexpr Family kRifTempiK{0xc737, 0x637, false, F, 1, Extent::R, 0, Order::A};
constexpr Family kTOpenLoop{0xc37f, 0x27f, false, F, 1, Extent::C, 0, Order::A};
constexpr Family kMappaFiltro{0xc171, 0x71, true, Extent::R, 0, Extent::C, 0, Order::A};
constexpr Family kRifFiltro{0xc372, 0x272, false, F, 1, Extent::R, 0, Order::A};
constexpr Family kSgancio{0xc173, 0x73, false, F, 1, Extent::C, 0, Order::A};
constexpr Family kMappaCorrAutotaratura{0x4595, 0x495, true, F, 4, F, 4, Order::A};
constexpr Family kRifGiri{0xc30c, 0x20c, false, F, 1, F, 12, Order::B};
constexpr Family kRiferimentiSondaLambda{0xc182, 0x82, false, F, 1, F, 12, Order::C};
constexpr Family kMappaEmissioni{0xc170, 0x70, true, F, 3, F, 12, Order::C};
constexpr Family kRifMapEmissioni{0x436f, 0x26f, false, F, 1, F, 4, Order::C};
constexpr Family kAnticipo{0xc383, 0x283, false, F, 1, F, 12, Order::C};
constexpr Family kIniettateGasCutoff{0x2332, 0x232, false, F, 1, F, 2, Order::C};
constexpr Family kScartoMinimoTaratura{0x2391, 0x291, false, F, 1, F, 2, Order::B};
constexpr Family kTipoIniettore{0x2194, 0x94, false, F, 1, F, 2, Order::B};
constexpr Family kTInjDefault{0x238f, 0x28f, true, F, 8, F, 2, Order::B};
constexpr Family kTInjFiltro{0x8398, 0x298, false, F, 1, F, 8, Order::B};
constexpr Family kParametriTempMotore{0x558a, 0x48a, false, F, 1, F, 5, Order::B};
constexpr Family kEcuTempMotore{0x1e18b, 0x8b, false, F, 1, F, 30, Order::B};
constexpr Family kOffsetPendenza{0x6778, 0x678, false, F, 1, F, 6, Order::B};
constexpr Family kDiagnosiStati{0x511d, 0x1d, false, F, 1, F, 5, Order::FlagFirst};
constexpr Family kDiagnosiAbilitazioni{0x511c, 0x1c, false, F, 1, F, 5, Order::FlagFirst};
constexpr Family kAzione{0x311f, 0x1f, true, F, 3, F, 3, Order::FlagFirst};
constexpr Family kTempDiagnosi{0x4151, 0x51, false, F, 1, F, 4, Order::FlagFirst};
constexpr Family kTempAccensioneCambio{0x2168, 0x68, false, F, 1, F, 2, Order::FlagFirst};
constexpr Family kVariatore{0x8127, 0x27, false, F, 1, F, 8, Order::FlagFirst};
constexpr Family kRifGiriVariatore{0x8326, 0x226, false, F, 1, F, 8, Order::FlagFirst};
constexpr Family kMappaVariatore{0x812c, 0x2c, true, F, 5, F, 8, Order::FlagFirst};
constexpr Family kRifMapVariatore{0x512d, 0x2d, false, F, 1, F, 5, Order::FlagFirst};
constexpr Family kDelayGasTemp{0x912e, 0x2e, true, F, 2, F, 9, Order::FlagFirst};
constexpr Family kRifDelayGasTemp{0x912f, 0x2f, false, F, 1, F, 9, Order::FlagFirst};
constexpr Family kPressPassaggio{0xc3bd, 0x2bd, false, F, 1, F, 12, Order::FlagFirst};
constexpr Family kCoeffMot{0x915d, 0x5d, false, F, 1, F, 9, Order::FlagFirst};
constexpr Family kCoeffTemperatura{0x912b, 0x2b, false, F, 1, F, 9, Order::FlagFirst};
constexpr Family kRifMot{0xa15c, 0x5c, false, F, 1, F, 10, Order::FlagFirst};
constexpr Family kRifTemperatura{0xa12a, 0x2a, false, F, 1, F, 10, Order::FlagFirst};
constexpr Family kCoeffPressDiffWord{dm::kCoeffPressDiffWord, 0x67c, false, F, 1, F, 15, Order::C};
constexpr Family kCoeffPressDiffByte{dm::kCoeffPressDiffByte, 0x47c, false, F, 1, F, 15, Order::C};
constexpr Family kRifPressDiff{0xf37b, 0x27b, false, F, 1, F, 15, Order::FlagFirst};
constexpr Family kCoeffPressColl{0xf760, 0x660, false, F, 1, F, 15, Order::C};
constexpr Family kRifPressColl{0xf35f, 0x25f, false, F, 1, F, 15, Order::C};
constexpr Family kSequenza{0x810d, 0x0d, true, F, 2, F, 8, Order::C};

constexpr std::int32_t kTipoDiLambda = 0x4;
constexpr std::int32_t kInvertedLambdaBit = 0x80;

using Raw = std::optional<std::int32_t>;

// Setters by conversion, in double as the values arrive (TruncToInt and
// RoundToInt take the products of typed decimals to their whole numbers).
Raw same(std::int32_t v) { return v; }
Raw wholeRaw(double v) { return dm::TruncToInt(v); }
Raw upTo(std::int32_t v, std::int32_t hi) { return dm::acc::AtMost(v, hi); }
// bar to thousandths, truncated.
Raw milli(double bar) { return dm::TruncToInt(bar * 1000); }

long double bar(std::int32_t raw) { return raw * 0.001L; }

bool invertedLambda(const TStreamDati& d) { return (*d.Item(kTipoDiLambda) & kInvertedLambdaBit) != 0; }

long double lambdaFromRaw(const TStreamDati& d, std::int32_t raw)
{
    return invertedLambda(d) ? static_cast<long double>(127 - raw) : dm::VoltsFromRaw(raw);
}

Raw lambdaToRaw(const TStreamDati& d, double value)
{
    if (invertedLambda(d))
        return dm::TruncToInt(127 - dm::acc::ClampTo(value, -127.0, 127.0));
    return dm::VoltsToRaw(dm::acc::ClampTo(value, 0.0, 5.0));
}

// Elements 0 and 9 of the two reference rows are the fixed ends.
Raw referenceEnd(int i)
{
    if (i == 0)
        return 0;
    if (i == 9)
        return 255;
    return std::nullopt;
}

// Zone (row x 4 + column) of every K-map cell: three rows per zone row (the
// thirteenth row with the last), three columns per zone column.
int zoneOf(int row, int col) { return std::min(row / 3, 3) * 4 + std::min(col / 3, 3); }

} // namespace

using dm::acc::RawAt;
using dm::acc::Set;

// ---- Order A -----------------------------------------------------------------

std::int32_t TStreamMaps::GetMappaK(int row, int col) const { return RawAt(self(), kMappaK, row, col); }
bool TStreamMaps::SetMappaK(int row, int col, std::int32_t value)
{
    return Set(self(), kMappaK, row, col, [&](std::int32_t) { return upTo(value, 255); });
}

std::int32_t TStreamMaps::GetRifGiriK(int i) const { return RawAt(self(), kRifGiriK, 0, i); }
bool TStreamMaps::SetRifGiriK(int i, std::int32_t rpm)
{
    return Set(self(), kRifGiriK, 0, i, [&](std::int32_t) { return same(rpm); });
}

long double TStreamMaps::GetRifTempiK(int i) const
{
    return dm::MsFromRaw(RawAt(self(), kRifTempiK, 0, i), self().GetTimeBase());
}
bool TStreamMaps::SetRifTempiK(int i, double ms)
{
    return Set(self(), kRifTempiK, 0, i, [&](std::int32_t) { return Raw(dm::MsToRaw(ms, self().GetTimeBase())); });
}

long double TStreamMaps::GetTOpenLoop(int i) const
{
    return dm::MsFromRaw(RawAt(self(), kTOpenLoop, 0, i), self().GetTimeBase());
}
bool TStreamMaps::SetTOpenLoop(int i, double ms)
{
    return Set(self(), kTOpenLoop, 0, i,
               [&](std::int32_t) { return Raw(dm::MsToRaw(dm::acc::ClampTo(ms, 0.0, 30.0), self().GetTimeBase())); });
}

long double TStreamMaps::GetMappaFiltro(int row, int col) const
{
    return std::round(RawAt(self(), kMappaFiltro, row, col) * 0.2L * 100) / 100;
}
bool TStreamMaps::SetMappaFiltro(int row, int col, double value)
{
    // Five steps per unit; a half step goes to the even neighbour. The half
    // steps are the whole numbers of value x 10, snapped like any product.
    return Set(self(), kMappaFiltro, row, col, [&](std::int32_t) {
        return upTo(dm::TruncToInt(std::nearbyint(dm::SnapToWhole(value * 10) / 2)), 255);
    });
}

long double TStreamMaps::GetRifFiltro(int i) const { return bar(RawAt(self(), kRifFiltro, 0, i)); }
bool TStreamMaps::SetRifFiltro(int i, double b)
{
    return Set(self(), kRifFiltro, 0, i, [&](std::int32_t) { return upTo(*milli(b), 3000); });
}

std::int32_t TStreamMaps::GetSgancio(int i) const { return RawAt(self(), kSgancio, 0, i); }
bool TStreamMaps::SetSgancio(int i, double value)
{
    return Set(self(), kSgancio, 0, i, [&](std::int32_t) { return upTo(*wholeRaw(value), 255); });
}

std::int32_t TStreamMaps::GetMappaCorrAutotaratura(int row, int col) const
{
    return RawAt(self(), kMappaCorrAutotaratura, row, col);
}
bool TStreamMaps::SetMappaCorrAutotaratura(int row, int col, std::int32_t value)
{
    return Set(self(), kMappaCorrAutotaratura, row, col,
               [&](std::int32_t) { return Raw(dm::acc::ClampTo(value, -128, 127)); });
}

// Two cells per byte: the even column in the high nibble, the odd one in
// the low nibble, each stored as value + 8.
std::int32_t TStreamMaps::GetTargetObd(int row, int col) const
{
    if (row < 0 || row > 11 || col < 0 || col > 11)
        return 0;
    const std::int32_t byte = self().Item(0x61ba)[row * 6 + col / 2];
    const std::int32_t nibble = (col % 2 == 0) ? (byte >> 4) & 0xF : byte & 0xF;
    return nibble - 8;
}
bool TStreamMaps::SetTargetObd(int row, int col, std::int32_t value)
{
    if (row < 0 || row > 11 || col < 0 || col > 11)
        return false;
    std::int32_t& stored = self().Item(0x61ba)[row * 6 + col / 2];
    const std::int32_t nibble = dm::acc::ClampTo(value, -8, 7) + 8;
    const std::int32_t byte = (col % 2 == 0) ? ((stored & 0x0F) | (nibble << 4)) : ((stored & 0xF0) | nibble);
    return dm::acc::Finish(
        self(), Order::A, [&] { return self().Protocol()->WriteCell(0xba, row, col / 2, byte); },
        [&] { stored = byte; });
}

// ---- Order B -----------------------------------------------------------------

std::int32_t TStreamTables::GetRifGiri(int i) const { return RawAt(self(), kRifGiri, 0, i); }
bool TStreamTables::SetRifGiri(int i, std::int32_t rpm)
{
    return Set(self(), kRifGiri, 0, i, [&](std::int32_t) { return rpm < 0 || rpm > 10000 ? Raw() : Raw(rpm); });
}

long double TStreamVectors::GetScartoMinimoTaratura(int i) const
{
    return dm::MsFromRaw(RawAt(self(), kScartoMinimoTaratura, 0, i), self().GetTimeBase());
}
bool TStreamVectors::SetScartoMinimoTaratura(int i, double ms)
{
    return Set(self(), kScartoMinimoTaratura, 0, i,
               [&](std::int32_t) { return Raw(dm::MsToRaw(ms, self().GetTimeBase())); });
}

std::int32_t TStreamVectors::GetTipoIniettore(int i)
{
    if (!dm::acc::Element(self(), kTipoIniettore, 0, i))
        return 0;
    self().Protocol()->ReadItem(kTipoIniettore.item, self().Item(kTipoIniettore.item));
    return RawAt(self(), kTipoIniettore, 0, i);
}
bool TStreamVectors::SetTipoIniettore(int i, std::int32_t value)
{
    return Set(self(), kTipoIniettore, 0, i, [&](std::int32_t) { return same(value); });
}

long double TStreamVectors::GetTInjDefault(int row, int col) const
{
    return dm::MsFromRaw(RawAt(self(), kTInjDefault, row, col), self().GetTimeBase());
}
bool TStreamVectors::SetTInjDefault(int row, int col, double ms)
{
    return Set(self(), kTInjDefault, row, col,
               [&](std::int32_t) { return Raw(dm::MsToRaw(ms, self().GetTimeBase())); });
}

long double TStreamVectors::GetTInjFiltro(int i) const
{
    const std::int32_t raw = RawAt(self(), kTInjFiltro, 0, i);
    if (i == 0)
        return raw;
    const long double ms = dm::MsFromRaw(raw, self().GetTimeBase());
    return (i == 3 || i == 7) ? ms * 10 : ms;
}
bool TStreamVectors::SetTInjFiltro(int i, double value)
{
    return Set(self(), kTInjFiltro, 0, i, [&](std::int32_t) -> Raw {
        if (i == 0)
            return dm::TruncToInt(value);
        if (i == 3 || i == 7) // tenths of the time-base step
            return dm::MsToRaw(value / 10, self().GetTimeBase());
        return dm::MsToRaw(value, self().GetTimeBase());
    });
}

std::int32_t TStreamVectors::GetParametriTempMotore(int i) const { return RawAt(self(), kParametriTempMotore, 0, i); }
bool TStreamVectors::SetParametriTempMotore(int i, std::int32_t value)
{
    return Set(self(), kParametriTempMotore, 0, i, [&](std::int32_t) { return same(value); });
}

std::int32_t TStreamVectors::GetEcuTempMotore(int i) const { return RawAt(self(), kEcuTempMotore, 0, i); }
bool TStreamVectors::SetEcuTempMotore(int i, std::int32_t value)
{
    return Set(self(), kEcuTempMotore, 0, i, [&](std::int32_t) { return same(value); });
}

std::int32_t TStreamVectors::GetOffsetPendenza(int i) const { return RawAt(self(), kOffsetPendenza, 0, i); }
bool TStreamVectors::SetOffsetPendenza(int i, std::int32_t value)
{
    return Set(self(), kOffsetPendenza, 0, i, [&](std::int32_t) { return same(value); });
}

bool TStreamVectors::SetDiagnosi(int index, int kind, std::int32_t value)
{
    if (kind == 1)
        return Set(self(), kDiagnosiStati, 0, index, [&](std::int32_t) { return same(value); });
    if (kind == 2)
        return Set(self(), kDiagnosiAbilitazioni, 0, index, [&](std::int32_t) { return same(value); });
    // Any other kind writes nothing but still counts as a change.
    self().Modified = 1;
    dm::acc::ClearMarker(self());
    return false;
}

std::int32_t TStreamVectors::GetAzione(int row, int col) const { return RawAt(self(), kAzione, row, col); }
bool TStreamVectors::SetAzione(int row, int col, std::int32_t value)
{
    return Set(self(), kAzione, row, col, [&](std::int32_t) { return same(value); });
}

long double TStreamVectors::GetTempDiagnosi(int i) const
{
    const std::int32_t raw = RawAt(self(), kTempDiagnosi, 0, i);
    if (i < 0 || i > 3)
        return 0;
    return i < 2 ? dm::TempMotoreFromRaw(raw) : dm::TemperaturaGasFromRaw(raw);
}
bool TStreamVectors::SetTempDiagnosi(int i, double celsius)
{
    return Set(self(), kTempDiagnosi, 0, i, [&](std::int32_t) {
        return Raw(i < 2 ? dm::TempMotoreToRaw(celsius) : dm::TemperaturaGasToRaw(celsius));
    });
}

long double TStreamVectors::GetTempAccensioneCambio(int i) const
{
    if (!dm::acc::Element(self(), kTempAccensioneCambio, 0, i))
        return 0;
    return dm::TempMotoreFromRaw(RawAt(self(), kTempAccensioneCambio, 0, i));
}
bool TStreamVectors::SetTempAccensioneCambio(int i, double celsius)
{
    return Set(self(), kTempAccensioneCambio, 0, i, [&](std::int32_t) { return Raw(dm::TempMotoreToRaw(celsius)); });
}

std::int32_t TStreamTables::GetVariatore(int i) const { return RawAt(self(), kVariatore, 0, i); }
bool TStreamTables::SetVariatore(int i, std::int32_t value)
{
    return Set(self(), kVariatore, 0, i, [&](std::int32_t) { return upTo(value, dm::kVariatoreMax); });
}

std::int32_t TStreamTables::GetRifGiriVariatore(int i) const { return RawAt(self(), kRifGiriVariatore, 0, i); }
bool TStreamTables::SetRifGiriVariatore(int i, std::int32_t rpm)
{
    return Set(self(), kRifGiriVariatore, 0, i, [&](std::int32_t) { return upTo(rpm, dm::kRifGiriVariatoreMax); });
}

std::int32_t TStreamTables::GetMappaVariatore(int row, int col) const
{
    return RawAt(self(), kMappaVariatore, row, col);
}
bool TStreamTables::SetMappaVariatore(int row, int col, std::int32_t value)
{
    return Set(self(), kMappaVariatore, row, col, [&](std::int32_t) { return upTo(value, dm::kVariatoreMax); });
}

// The MAP axis of the variator follows the external MAP sensor's line
// (offset in tenths, slope per 1020 counts, result in hundredths of a bar).
long double TStreamTables::GetRifMapVariatore(int i) const
{
    if (!dm::acc::Element(self(), kRifMapVariatore, 0, i))
        return 0;
    const std::int32_t raw = RawAt(self(), kRifMapVariatore, 0, i);
    const std::int32_t offset = self().GetOffsetPendenza(2);
    const std::int32_t slope = self().GetOffsetPendenza(3);
    const auto product = static_cast<std::uint32_t>(raw) * 2u * static_cast<std::uint32_t>(slope);
    return (offset * 0.1L + static_cast<long double>(product) / 1020) * 0.01L;
}
bool TStreamTables::SetRifMapVariatore(int i, double b)
{
    return Set(self(), kRifMapVariatore, 0, i, [&](std::int32_t) -> Raw {
        const std::int32_t offset = self().GetOffsetPendenza(2);
        const std::int32_t slope = self().GetOffsetPendenza(3);
        if (slope == 0)
            return std::nullopt; // no line to invert
        const double raw = (b * 1020 * 100 - offset * 102.0) / (slope * 2.0);
        return upTo(dm::TruncToInt(raw), 255);
    });
}

std::int32_t TStreamTables::GetDelayGasTemp(int row, int col) const
{
    return RawAt(self(), kDelayGasTemp, row, col) * (row == 0 ? 2 : 4);
}
bool TStreamTables::SetDelayGasTemp(int row, int col, std::int32_t value)
{
    return Set(self(), kDelayGasTemp, row, col, [&](std::int32_t) {
        return row == 0 ? Raw(upTo(value, 510).value() / 2) : Raw(upTo(value, 1020).value() / 4);
    });
}

std::int32_t TStreamTables::GetRifDelayGasTemp(int i) const
{
    if (!dm::acc::Element(self(), kRifDelayGasTemp, 0, i))
        return 0;
    return dm::TruncToInt(dm::TemperaturaGasFromRaw(RawAt(self(), kRifDelayGasTemp, 0, i)));
}
bool TStreamTables::SetRifDelayGasTemp(int i, std::int32_t celsius)
{
    return Set(self(), kRifDelayGasTemp, 0, i, [&](std::int32_t) { return Raw(dm::TemperaturaGasToRaw(celsius)); });
}

long double TStreamTables::GetPressPassaggio(int i) const { return bar(RawAt(self(), kPressPassaggio, 0, i)); }
bool TStreamTables::SetPressPassaggio(int i, double b)
{
    return Set(self(), kPressPassaggio, 0, i, [&](std::int32_t) { return milli(dm::acc::ClampTo(b, 0.0, 12.0)); });
}

std::int32_t TStreamTables::GetCoeffMot(int i) const { return RawAt(self(), kCoeffMot, 0, i); }
bool TStreamTables::SetCoeffMot(int i, std::int32_t value)
{
    return Set(self(), kCoeffMot, 0, i, [&](std::int32_t) { return upTo(value, dm::kCoeffMax); });
}

std::int32_t TStreamTables::GetCoeffTemperatura(int i) const { return RawAt(self(), kCoeffTemperatura, 0, i); }
bool TStreamTables::SetCoeffTemperatura(int i, std::int32_t value)
{
    return Set(self(), kCoeffTemperatura, 0, i, [&](std::int32_t) { return upTo(value, dm::kCoeffMax); });
}

std::int32_t TStreamTables::GetRifMot(int i) const
{
    const std::int32_t raw = RawAt(self(), kRifMot, 0, i);
    if (i <= 0 || i >= 9)
        return raw;
    return dm::RoundToInt(dm::TemperaturaGasFromRaw(raw));
}
bool TStreamTables::SetRifMot(int i, double celsius)
{
    return Set(self(), kRifMot, 0, i, [&](std::int32_t) {
        const Raw end = referenceEnd(i);
        return end ? end : Raw(dm::TemperaturaGasToRaw(celsius));
    });
}

std::int32_t TStreamTables::GetRifTemperatura(int i) const
{
    const std::int32_t raw = RawAt(self(), kRifTemperatura, 0, i);
    if (i <= 0 || i >= 9)
        return raw;
    return dm::RoundToInt(dm::TempMotoreFromRaw(raw));
}
bool TStreamTables::SetRifTemperatura(int i, double celsius)
{
    return Set(self(), kRifTemperatura, 0, i, [&](std::int32_t) {
        const Raw end = referenceEnd(i);
        return end ? end : Raw(dm::TempMotoreToRaw(celsius));
    });
}

long double TStreamTables::GetRifPressDiff(int i) const { return bar(RawAt(self(), kRifPressDiff, 0, i)); }
bool TStreamTables::SetRifPressDiff(int i, double b)
{
    return Set(self(), kRifPressDiff, 0, i, [&](std::int32_t) { return milli(b); });
}

// ---- Order C -----------------------------------------------------------------

long double TStreamMaps::GetRiferimentiSondaLambda(int i) const
{
    if (!dm::acc::Element(self(), kRiferimentiSondaLambda, 0, i))
        return 0;
    return lambdaFromRaw(self(), RawAt(self(), kRiferimentiSondaLambda, 0, i));
}
bool TStreamMaps::SetRiferimentiSondaLambda(int i, double value)
{
    return Set(self(), kRiferimentiSondaLambda, 0, i, [&](std::int32_t) { return lambdaToRaw(self(), value); });
}

long double TStreamMaps::GetMappaEmissioni(int row, int col) const
{
    if (!dm::acc::Element(self(), kMappaEmissioni, row, col))
        return 0;
    return lambdaFromRaw(self(), RawAt(self(), kMappaEmissioni, row, col));
}
bool TStreamMaps::SetMappaEmissioni(int row, int col, double value)
{
    return Set(self(), kMappaEmissioni, row, col, [&](std::int32_t) { return lambdaToRaw(self(), value); });
}

long double TStreamMaps::GetRifMapEmissioni(int i) const { return bar(RawAt(self(), kRifMapEmissioni, 0, i)); }
bool TStreamMaps::SetRifMapEmissioni(int i, double b)
{
    return Set(self(), kRifMapEmissioni, 0, i, [&](std::int32_t) {
        // (bar + 0.0005) x 1000 truncated: thousandths, rounded.
        return Raw(dm::RoundToInt(dm::acc::ClampTo(b, 0.0, 3.0) * 1000));
    });
}

std::int32_t TStreamTables::GetAnticipo(int i) const { return RawAt(self(), kAnticipo, 0, i); }
bool TStreamTables::SetAnticipo(int i, std::int32_t value)
{
    return Set(self(), kAnticipo, 0, i, [&](std::int32_t) { return upTo(value, dm::kAnticipoMax); });
}

long double TStreamVectors::GetIniettateGasCutoff(int i) const
{
    const std::int32_t raw = RawAt(self(), kIniettateGasCutoff, 0, i);
    return i == 1 ? dm::MsFromRaw(raw, self().GetTimeBase()) : static_cast<long double>(raw);
}
bool TStreamVectors::SetIniettateGasCutoff(int i, double value)
{
    return Set(self(), kIniettateGasCutoff, 0, i,
               [&](std::int32_t) { return i == 0 ? wholeRaw(value) : Raw(dm::MsToRaw(value, self().GetTimeBase())); });
}

long double TStreamTables::GetCoeffPressDiff(int i) const
{
    const std::int32_t raw = RawAt(self(), kCoeffPressDiffWord, 0, i);
    return self().CoeffPressDiffByte ? raw * 0.3L : raw * 0.01L;
}
bool TStreamTables::SetCoeffPressDiff(int i, double value)
{
    const double v = dm::acc::ClampTo(value, -99.9, 99.9);
    if (self().CoeffPressDiffByte) // value x 10 x (1/3)
        return Set(self(), kCoeffPressDiffByte, 0, i,
                   [&](std::int32_t) { return Raw(dm::acc::ClampTo(dm::TruncToInt(v * 10 / 3), -128, 127)); });
    return Set(self(), kCoeffPressDiffWord, 0, i, [&](std::int32_t) { return wholeRaw(v * 100); });
}

long double TStreamTables::GetCoeffPressColl(int i) const { return RawAt(self(), kCoeffPressColl, 0, i) * 0.01L; }
bool TStreamTables::SetCoeffPressColl(int i, double value)
{
    return Set(self(), kCoeffPressColl, 0, i,
               [&](std::int32_t) { return wholeRaw(dm::acc::ClampTo(value, -99.9, 99.9) * 100); });
}

long double TStreamTables::GetRifPressColl(int i) const { return bar(RawAt(self(), kRifPressColl, 0, i)); }
bool TStreamTables::SetRifPressColl(int i, double b)
{
    return Set(self(), kRifPressColl, 0, i, [&](std::int32_t) { return milli(b); });
}

std::int32_t TStreamVectors::GetSequenza(int row, int col) const { return RawAt(self(), kSequenza, row, col); }
bool TStreamVectors::SetSequenza(int row, int col, std::int32_t value)
{
    return Set(self(), kSequenza, row, col, [&](std::int32_t) { return same(value); });
}

// ---- Zone shift --------------------------------------------------------------

void TStreamMaps::ShiftMappaKZone(int zoneRow, int zoneCol, int delta)
{
    if (zoneRow < 0 || zoneRow > 3 || zoneCol < 0 || zoneCol > 3)
        return;
    const int zone = zoneRow * 4 + zoneCol;
    const int rows = GetNumeroRighe() + 1;
    const int cols = GetNumeroColonne();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (zoneOf(r, c) != zone)
                continue;
            const long long shifted = static_cast<long long>(GetMappaK(r, c)) + delta;
            if (shifted >= 0 && shifted <= 255)
                SetMappaK(r, c, static_cast<std::int32_t>(shifted));
        }
    }
    SetMappaCorrAutotaratura(zoneRow, zoneCol, GetMappaCorrAutotaratura(zoneRow, zoneCol) + delta);
}
