#include "ItemLimits.h"

#include "ItemCatalogue.h"
#include "Scaling.h"

#include <algorithm>

namespace dm {

namespace {

// The by-code scale of an element: value codes for single items, element
// codes (the code without the array bit and the count) for the others.
const CodeDef* codeDefOf(std::int32_t code)
{
    return IsArrayCode(code) ? FindElementCode(code & 0x6FF) : FindValueCode(code);
}

} // namespace

RawLimits ElementRawLimits(std::int32_t code, int index)
{
    RawLimits limits = RawLimitsOfCode(code);
    const auto below = [&limits](std::int32_t max) {
        limits.hi = std::min(limits.hi, max);
        return limits;
    };
    switch (ItemNumber(code)) {
    case 0x5d: // CoeffMot
    case 0x2b: // Coeff (temperature)
        return below(kCoeffMax);
    case 0x83: return below(kAnticipoMax);
    case 0x27: // Variatore
    case 0x2c: // MappaVariatore
        return below(kVariatoreMax);
    case 0x26: return below(kRifGiriVariatoreMax);
    default: break;
    }
    const CodeDef* def = codeDefOf(code);
    if (!def)
        return limits;
    switch (ElementScale(*def, index)) {
    // Times and counts are never negative.
    case Scale::Ms:
    case Scale::Counter: limits.lo = std::max(limits.lo, 0); break;
    default: break;
    }
    return limits;
}

bool ElementCanHold(std::int32_t code, int index, std::int32_t raw)
{
    if (!ElementRawLimits(code, index).Contains(raw))
        return false;
    const CodeDef* def = codeDefOf(code);
    if (!def)
        return true;
    switch (ElementScale(*def, index)) {
    case Scale::LambdaList: return IndexOfValue(kLambdaTypes, 6, raw) >= 0;
    case Scale::CylinderList: return IndexOfValue(kCylinderCodes, 8, raw & ~kWeakRpmSignalBit) >= 0;
    default: return true;
    }
}

} // namespace dm
