#pragma once
// Conversions between the raw values the ECU stores and the engineering
// values the user sees, and the tables of the item codes the by-code
// accessors accept. Plain functions; the temperature conversions use the
// program's two sensor tables (SensorTables.h).
#include <cstdint>
#include <optional>

namespace dm {

// A value typed as a decimal seldom has an exact binary form, so the product
// that turns it into raw units can land a hair beside the whole number the
// decimal gives: 0.3 x 10 just below 3, 4.35 x 50 + 0.5 just below 218. A
// quantity within a few ulps of a whole number (of double precision) is that
// whole number; anything farther is returned as it is.
long double SnapToWhole(long double x);

// Every conversion of a value to an integer goes through these two: snapped
// to a nearby whole number, then toward zero, saturating at the int32 range;
// NaN gives 0.
std::int32_t TruncToInt(long double x);
// "Rounded": 0.5 added, then as TruncToInt (the sum is what is snapped).
std::int32_t RoundToInt(long double x);

// Time base: ms = raw x TB x 0.00025 x 0.004; raw = ms / (TB x 0.00025 x
// 0.004) + 0.5, truncated. A time base of 0 gives raw 0.
long double MsFromRaw(std::int32_t raw, std::int32_t timeBase);
std::int32_t MsToRaw(double ms, std::int32_t timeBase);
// Volts of an 8-bit ADC value: raw x 5 / 255; raw = volts x 255 x 0.2, rounded.
long double VoltsFromRaw(std::int32_t raw);
std::int32_t VoltsToRaw(double volts);

// Position of key in list, -1 when absent.
int IndexOfValue(const std::int32_t* list, int count, std::int32_t key);

// The lists behind the list-coded items 4 (TipoDiLambda) and 20 (NumeroCilindri).
inline constexpr std::int32_t kLambdaTypes[6] = {2, 40, 25, 4, 136, 64};
inline constexpr std::int32_t kCylinderCodes[8] = {1, 2, 3, 4, 5, 6, 8, 10};
inline constexpr std::int32_t kWeakRpmSignalBit = 0x40;

enum class Scale : std::uint8_t {
    Raw,          // unchanged; setter truncates
    Volts,        // V
    X002,         // raw x 0.02; raw = value x 50, rounded
    X01,          // raw x 0.1; raw = value x 10, truncated (not rounded)
    Tgas,         // gas-temperature sensor table
    Tmot,         // engine-temperature sensor table
    LambdaList,   // position in kLambdaTypes
    CylinderList, // position in kCylinderCodes, bit 6 kept
    PlusOne,      // raw + 1; raw = value - 1
    Minus100,     // raw - 100; raw = value + 100
    Inverse128,   // 128 / raw (128 for raw 0); raw = 12800 / (value x 100 truncated)
    EvenRpm,      // bit 0 cleared; the setter keeps the stored bit 0
    Ms,           // time base
    Counter,      // raw x 20; raw = value / (TB x 0.00025 x 20), rounded
    Rounded,      // raw; raw = value rounded
    Minutes,      // element / 60 (unsigned); the setter writes 0 (counter reset)
    RawRawMsMs,   // elements 0 and 1 raw, 2 and 3 ms
};

struct CodeDef {
    std::int32_t code;
    Scale scale;
    bool readFirst; // the getter reads the item from the ECU before converting
};

// The single-item codes of GetValueByCode / SetValueByCode (without the
// bit-field codes); null when the code is not one of them.
const CodeDef* FindValueCode(std::int32_t code);
// The element codes of GetElementByCode / SetElementByCode.
const CodeDef* FindElementCode(std::int32_t code);

// A bit field of TipoDiTps (item 0x1a): bits 20-23 of the code its lowest
// bit, bits 24-27 its width.
struct BitField {
    int low;
    int width;
    std::int32_t Mask() const { return ((1 << width) - 1) << low; }
};
// The four bit-field codes 0x150001a, 0x170001a, 0x230001a, 0x300001a.
std::optional<BitField> FindBitField(std::int32_t code);

// Raw to engineering for one element.
long double ValueFromRaw(Scale scale, std::int32_t raw, std::int32_t timeBase);
// Engineering to raw; `stored` is the element as the image holds it (the
// scales that keep bits of it). Empty when the value cannot be expressed
// (a list position outside the list, a divisor of 0): nothing is written.
std::optional<std::int32_t> ValueToRaw(Scale scale, double value, std::int32_t stored, std::int32_t timeBase);

// The scale of element `index` of an element code's item.
Scale ElementScale(const CodeDef& def, int index);

// What an editor bound to a code can hold: what the item's element can hold
// (ElementRawLimits; a bit field's width) through the code's scale, lowest
// first, and the step of one raw unit rounded to what the value is shown
// with (0.01 for volts and times). Empty for a code that is neither a value
// code, an element code nor a bit field.
struct ValueRange {
    double min = 0;
    double max = 0;
    double step = 1;
};
std::optional<ValueRange> ValueRangeOfCode(std::int32_t code, int index, std::int32_t timeBase);

} // namespace dm
