#pragma once
// What an element of an ECU item can hold, as raw values: the width and sign
// of the item, the codes a list-coded item stands for (ValueRangeOfCode gives
// their positions), and the upper limits of the setters that keep a table
// below its width. The setters store the nearest value they can hold; a value
// from a configuration file that its element cannot hold is damaged and never
// reaches the image.
#include <cstdint>

namespace dm {

// Upper limits of the table setters whose values are unsigned whole numbers.
inline constexpr std::int32_t kCoeffMax = 200;              // SetCoeffMot, SetCoeffTemperatura
inline constexpr std::int32_t kAnticipoMax = 300;           // SetAnticipo
inline constexpr std::int32_t kVariatoreMax = 31;           // SetVariatore, SetMappaVariatore
inline constexpr std::int32_t kRifGiriVariatoreMax = 10000; // SetRifGiriVariatore, rpm

struct RawLimits {
    std::int32_t lo = 0;
    std::int32_t hi = 0;
    constexpr bool Contains(std::int32_t v) const { return v >= lo && v <= hi; }
};

// The raw values of the code's width and sign: 0..255, -128..127, 0..65535
// or -32768..32767.
constexpr RawLimits RawLimitsOfCode(std::int32_t code)
{
    const bool word = (code & 0x200) != 0;
    if ((code & 0x400) != 0)
        return word ? RawLimits{-32768, 32767} : RawLimits{-128, 127};
    return word ? RawLimits{0, 65535} : RawLimits{0, 255};
}

// The raw values element `index` of the item of `code` (the code a
// whole-image pass moves it with: a value, an array or a table row; index
// within the row) can hold, lowest and highest: the code's width and sign,
// below the upper limit of its setter, never negative for a time or a count.
// The one home of these limits: the file check below and the editors' ranges
// (ValueRangeOfCode, through the code's scale) both take them from here.
RawLimits ElementRawLimits(std::int32_t code, int index);

// Whether that element can hold raw: within ElementRawLimits and, for a
// list-coded element, one of its list's codes.
bool ElementCanHold(std::int32_t code, int index, std::int32_t raw);

} // namespace dm
