#include "Scaling.h"

#include "ItemCatalogue.h"
#include "ItemLimits.h"

#include "SensorTables.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dm {

namespace {

// How near a whole number counts as on it, relative to that number: 4 x
// epsilon x |n| spans four to eight ulps of n in double. The products of a
// typed decimal miss by two at most; a decimal of twelve significant digits
// that is not whole lies more than a thousand times farther from one.
constexpr long double kWholeTolerance = 4 * std::numeric_limits<double>::epsilon();

} // namespace

long double SnapToWhole(long double x)
{
    const long double n = std::nearbyint(x);
    return std::fabs(x - n) <= kWholeTolerance * std::fabs(n) ? n : x; // NaN and infinities fall through
}

std::int32_t TruncToInt(long double x)
{
    x = SnapToWhole(x);
    if (std::isnan(x))
        return 0;
    if (x >= 2147483647.0L)
        return std::numeric_limits<std::int32_t>::max();
    if (x <= -2147483648.0L)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(x); // in range: the cast truncates toward zero
}

std::int32_t RoundToInt(long double x) { return TruncToInt(x + 0.5L); }

long double MsFromRaw(std::int32_t raw, std::int32_t timeBase)
{
    return static_cast<long double>(raw) * timeBase * 0.00025L * 0.004L;
}

std::int32_t MsToRaw(double ms, std::int32_t timeBase)
{
    if (timeBase == 0)
        return 0;
    // TB x 0.00025 x 0.004 is TB / 10^6: dividing by the whole time base
    // instead of by a product of two inexact constants keeps the quotient
    // within an ulp of the decimal one.
    return RoundToInt(ms * 1e6 / timeBase);
}

long double VoltsFromRaw(std::int32_t raw) { return static_cast<long double>(raw) * 5.0L / 255.0L; }

std::int32_t VoltsToRaw(double volts) { return RoundToInt(volts * 255 / 5); }

int IndexOfValue(const std::int32_t* list, int count, std::int32_t key)
{
    for (int i = 0; i < count; ++i)
        if (list[i] == key)
            return i;
    return -1;
}

namespace {

using S = Scale;

constexpr CodeDef kValueCodes[] = {
    {0x4, S::LambdaList, false},
    {0x5, S::Volts, false},
    {0x6, S::Raw, false},
    {0x7, S::Raw, false},
    {0x8, S::Volts, false},
    {0x9, S::Volts, false},
    {0xa, S::Volts, false},
    {0xb, S::Volts, false},
    {0xf, S::Tmot, false},
    {0x11, S::Raw, false},
    {0x14, S::CylinderList, false},
    {0x16, S::Raw, false},
    {0x17, S::Raw, false},
    {0x1a, S::Raw, false},
    {0x34, S::PlusOne, false},
    {0x36, S::X002, false},
    {0x38, S::X01, false},
    {0x3e, S::Raw, false},
    {0x43, S::Raw, true},
    {0x44, S::Raw, true},
    {0x46, S::Volts, false},
    {0x47, S::Volts, false},
    {0x48, S::Volts, false},
    {0x4e, S::Raw, true},
    {0x66, S::Tmot, false},
    {0x6a, S::Raw, false},
    {0x6b, S::Raw, false},
    {0x6c, S::Raw, false},
    {0x6d, S::X002, false},
    {0x6e, S::X002, false},
    {0x75, S::Tgas, false},
    {0x76, S::X01, false},
    {0x77, S::Raw, false},
    {0x7a, S::Raw, false},
    {0x87, S::Raw, false},
    {0x88, S::Minus100, false},
    {0x89, S::Raw, false},
    {0x90, S::Tmot, false},
    {0xab, S::Raw, false},
    {0xb0, S::Volts, false},
    {0xb2, S::Raw, false},
    {0xb4, S::Raw, false},
    {0xb5, S::Raw, true},
    {0xbb, S::Raw, false},
    {0xbc, S::Inverse128, false},
    {0x210, S::EvenRpm, false},
    {0x212, S::Raw, false},
    {0x218, S::Ms, false},
    {0x230, S::Raw, false},
    {0x23b, S::Counter, true},
    {0x23c, S::Counter, true},
    {0x249, S::Ms, false},
    {0x24b, S::Rounded, false},
    {0x24f, S::Ms, false},
    {0x255, S::Counter, true},
    {0x262, S::Ms, false},
    {0x264, S::Raw, false},
    {0x280, S::Ms, false},
    {0x28d, S::Raw, false},
    {0x28e, S::Ms, false},
    {0x292, S::Ms, false},
    {0x293, S::Ms, false},
    {0x296, S::Raw, false},
    {0x29c, S::Ms, false},
    {0x2b6, S::Raw, true},
    {0x474, S::Raw, false},
};

constexpr CodeDef kElementCodes[] = {
    {0x19, S::Raw, false},
    {0x97, S::Raw, false},
    {0xa3, S::Raw, false},
    {0xaa, S::Volts, false},
    {0xb9, S::Raw, false},
    {0x24a, S::Ms, false},
    {0x256, S::Minutes, true},
    {0x269, S::RawRawMsMs, false},
    {0x299, S::Raw, false},
    {0x29a, S::Ms, false},
    {0x29b, S::Ms, false},
    {0x2a0, S::Ms, false},
    {0x2a1, S::Raw, false},
    {0x2b3, S::Raw, false},
    {0x49e, S::Raw, false},
};

template <std::size_t N>
const CodeDef* find(const CodeDef (&table)[N], std::int32_t code)
{
    for (const CodeDef& d : table)
        if (d.code == code)
            return &d;
    return nullptr;
}

} // namespace

const CodeDef* FindValueCode(std::int32_t code) { return find(kValueCodes, code); }
const CodeDef* FindElementCode(std::int32_t code) { return find(kElementCodes, code); }

std::optional<BitField> FindBitField(std::int32_t code)
{
    switch (code) {
    case 0x150001a: return BitField{5, 1};
    case 0x170001a: return BitField{7, 1};
    case 0x230001a: return BitField{3, 2};
    case 0x300001a: return BitField{0, 3};
    default: return std::nullopt;
    }
}

long double ValueFromRaw(Scale scale, std::int32_t raw, std::int32_t timeBase)
{
    switch (scale) {
    case S::Raw:
    case S::Rounded: return raw;
    case S::Volts: return VoltsFromRaw(raw);
    case S::X002: return raw * 0.02L;
    case S::X01: return raw * 0.1L;
    case S::Tgas: return TemperaturaGasFromRaw(raw);
    case S::Tmot: return TempMotoreFromRaw(raw);
    case S::LambdaList: return IndexOfValue(kLambdaTypes, 6, raw);
    case S::CylinderList: return IndexOfValue(kCylinderCodes, 8, raw & ~kWeakRpmSignalBit);
    case S::PlusOne: return static_cast<long double>(raw) + 1;
    case S::Minus100: return static_cast<long double>(raw) - 100;
    case S::Inverse128: return raw == 0 ? 128.0L : 128.0L / raw;
    case S::EvenRpm: return raw & ~1;
    case S::Ms: return MsFromRaw(raw, timeBase);
    case S::Counter: return static_cast<long double>(raw) * 20;
    case S::Minutes: return static_cast<std::uint32_t>(raw) / 60u;
    case S::RawRawMsMs: return raw; // resolved per element by ElementScale
    }
    return 0;
}

std::optional<std::int32_t> ValueToRaw(Scale scale, double v, std::int32_t stored, std::int32_t timeBase)
{
    // In double, as the value arrives; TruncToInt and RoundToInt take the
    // product to the whole number the typed decimal gives.
    switch (scale) {
    case S::Raw:
    case S::RawRawMsMs: return TruncToInt(v);
    case S::Volts: return VoltsToRaw(v);
    case S::X002: return RoundToInt(v * 50);
    case S::X01: return TruncToInt(v * 10);
    case S::Tgas: return TemperaturaGasToRaw(v);
    case S::Tmot: return TempMotoreToRaw(v);
    case S::LambdaList: {
        const std::int32_t pos = TruncToInt(v);
        if (pos < 0 || pos >= 6)
            return std::nullopt;
        return kLambdaTypes[pos];
    }
    case S::CylinderList: {
        const std::int32_t pos = TruncToInt(v);
        if (pos < 0 || pos >= 8)
            return std::nullopt;
        return kCylinderCodes[pos] | (stored & kWeakRpmSignalBit);
    }
    case S::PlusOne: return TruncToInt(v - 1);
    case S::Minus100: return TruncToInt(v + 100);
    case S::Inverse128: {
        const std::int32_t d = TruncToInt(v * 100);
        if (d == 0)
            return std::nullopt;
        return 12800 / d;
    }
    case S::EvenRpm: return static_cast<std::int32_t>((static_cast<std::uint32_t>(TruncToInt(v)) & ~1u)
                                                      | (static_cast<std::uint32_t>(stored) & 1u));
    case S::Ms: return MsToRaw(v, timeBase);
    case S::Counter:
        // value / (TB x 0.00025 x 20), that is value x 200 / TB.
        if (timeBase == 0)
            return 0;
        return RoundToInt(v * 200 / timeBase);
    case S::Rounded: return RoundToInt(v);
    case S::Minutes: return 0;
    }
    return std::nullopt;
}

Scale ElementScale(const CodeDef& def, int index)
{
    if (def.scale == S::RawRawMsMs)
        return index < 2 ? S::Raw : S::Ms;
    return def.scale;
}

std::optional<ValueRange> ValueRangeOfCode(std::int32_t code, int index, std::int32_t timeBase)
{
    if (const auto field = FindBitField(code))
        return ValueRange{0, static_cast<double>((1 << field->width) - 1), 1};
    const CodeDef* def = FindValueCode(code);
    if (!def)
        def = FindElementCode(code);
    const ItemDef* item = FindItem(ItemNumber(code));
    if (!def || !item)
        return std::nullopt;
    const Scale scale = ElementScale(*def, index < 0 ? 0 : index);
    // What the item's element can hold (its width and sign; times and counts
    // from 0).
    const RawLimits raw = ElementRawLimits(item->code, index < 0 ? 0 : index);
    const std::int32_t rawMin = raw.lo;
    const std::int32_t rawMax = raw.hi;
    const auto through = [&](std::int32_t lo, std::int32_t hi, double step) {
        const double a = static_cast<double>(ValueFromRaw(scale, lo, timeBase));
        const double b = static_cast<double>(ValueFromRaw(scale, hi, timeBase));
        return ValueRange{std::min(a, b), std::max(a, b), step};
    };
    switch (scale) {
    case S::Raw:
    case S::Rounded:
    case S::RawRawMsMs:
    case S::PlusOne:
    case S::Minus100: return through(rawMin, rawMax, 1);
    case S::EvenRpm: return through(rawMin, rawMax & ~1, 2);
    case S::Volts: return ValueRange{0, 5, 0.01};
    case S::X002: return through(rawMin, rawMax, 0.02);
    case S::X01: return through(rawMin, rawMax, 0.1);
    case S::Ms: return through(rawMin, rawMax, 0.01);
    case S::Counter: return through(rawMin, rawMax, 20);
    case S::Minutes: return through(0, rawMax, 1);
    case S::Inverse128: return through(1, rawMax, 0.01);
    // A count of 0 means "no sensor": the range runs over the others.
    case S::Tgas:
    case S::Tmot: return through(1, rawMax, 1);
    case S::LambdaList: return ValueRange{0, 5, 1};
    case S::CylinderList: return ValueRange{0, 7, 1};
    }
    return std::nullopt;
}

} // namespace dm
