#include "ItemLimits.h"

#include "ItemCatalogue.h"
#include "Scaling.h"

namespace dm {

namespace {

// The by-code scale of an element: value codes for single items, element
// codes (the code without the array bit and the count) for the others.
const CodeDef* codeDefOf(std::int32_t code)
{
    return IsArrayCode(code) ? FindElementCode(code & 0x6FF) : FindValueCode(code);
}

} // namespace

bool ElementCanHold(std::int32_t code, int index, std::int32_t raw)
{
    if (!RawLimitsOfCode(code).contains(raw))
        return false;
    switch (ItemNumber(code)) {
    case 0x5d: // CoeffMot
    case 0x2b: // Coeff (temperature)
        return raw <= kCoeffMax;
    case 0x83: return raw <= kAnticipoMax;
    case 0x27: // Variatore
    case 0x2c: // MappaVariatore
        return raw <= kVariatoreMax;
    case 0x26: return raw <= kRifGiriVariatoreMax;
    default: break;
    }
    const CodeDef* def = codeDefOf(code);
    if (!def)
        return true;
    switch (ElementScale(*def, index)) {
    case Scale::LambdaList: return IndexOfValue(kLambdaTypes, 6, raw) >= 0;
    case Scale::CylinderList: return IndexOfValue(kCylinderCodes, 8, raw & ~kWeakRpmSignalBit) >= 0;
    // Times and counts are never negative.
    case Scale::Ms:
    case Scale::Counter: return raw >= 0;
    default: return true;
    }
}

} // namespace dm
