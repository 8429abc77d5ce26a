#pragma once
// The ECU parameters the configuration window binds to its editors and lists,
// each described once: the item and element it is, its kind, what it can
// hold, the digits it is shown with and the numbers of its caption and unit
// texts. A binding row names its parameter by code and element; the limits
// are never written here but taken from what the item's element can hold
// (ElementRawLimits), through the code's scale (ValueRangeOfCode), the same
// limits the configuration file's values are checked against.
#include "ItemLimits.h"
#include "Scaling.h"

#include <cstdint>
#include <optional>
#include <span>

namespace dm {

enum class ParamKind : std::uint8_t {
    Integer,     // a whole number: raw, or shifted (+1, -100), even rpm, counts of 20
    Decimal,     // raw times a fixed factor: volts, x 0.02, x 0.1, 128 / raw
    Time,        // ms through the time base
    Temperature, // degrees through a sensor table (raw 0: no sensor)
    List,        // a position in a list of codes (kLambdaTypes, kCylinderCodes)
    Flag,        // a bit field of one bit
};

struct Parameter {
    std::int32_t code; // the by-code accessors' code: a value code, or an element code
    int index;         // the element; -1 a single value
    int caption;       // text number of its caption; 0 none
    int unit;          // text number of its unit; 0 none
    ParamKind kind;
    // The raw values its element can hold (ElementRawLimits of the item as
    // the catalogue moves it); a list-coded element holds its list's codes
    // among them only.
    RawLimits raw;
    int decimals; // digits after the point of one step of its value

    // What an editor of it can hold in the units it is shown in, lowest
    // first, with its step; times follow the time base. Empty for an element
    // that has no by-code scale (a value the window keeps, not an editor's).
    std::optional<ValueRange> Range(std::int32_t timeBase) const { return ValueRangeOfCode(code, index, timeBase); }
};

// Every parameter the configuration window binds, once each.
std::span<const Parameter> Parameters();
// The parameter of that code and element; null when none is described.
const Parameter* FindParameter(std::int32_t code, int index = -1);

} // namespace dm
