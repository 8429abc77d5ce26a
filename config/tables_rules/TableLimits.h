#pragma once
// What the correction tables' setters can store, for the values the window
// computes before it hands them over. A setter whose value is an unsigned
// whole number takes a negative value as a huge one and stores its upper
// limit, so the window keeps such values within 0..limit itself; an axis
// point is kept within what its setter can store before the increasing
// rule compares it with its neighbours.
#include "datamodule/core/ItemLimits.h"

#include <cstdint>

class TStreamDati;

namespace tables {

// Upper limits of the setters whose values are unsigned.
inline constexpr std::int32_t kCoeffMax = dm::kCoeffMax;                       // SetCoeffMot, SetCoeffTemperatura
inline constexpr std::int32_t kAnticipoMax = dm::kAnticipoMax;                 // SetAnticipo
inline constexpr std::int32_t kVariatoreMax = dm::kVariatoreMax;               // SetVariatore, SetMappaVariatore
inline constexpr std::int32_t kDelayGasTempMax[2] = {510, 1020};               // SetDelayGasTemp, rows 0 and 1
inline constexpr std::int32_t kRifGiriVariatoreMax = dm::kRifGiriVariatoreMax; // SetRifGiriVariatore, rpm
inline constexpr std::int32_t kRifMapVariatoreRawMax = 255;      // SetRifMapVariatore, raw
inline constexpr double kRifPressDiffMax = 65.535;               // SetRifPressDiff, bar (16-bit thousandths)

// A computed value for one of those setters: truncated toward zero and kept
// within 0..limit.
std::int32_t UnsignedUpTo(double v, std::int32_t limit);

// A range of engineering values. An empty one (lo >= hi) is not known and
// limits nothing.
struct Range {
    double lo = 0;
    double hi = 0;
};
// v within r (NaN: the lower end).
double Within(double v, Range r);

// The bar values of the variator's MAP axis for raw 0..255 along the external
// MAP sensor's line (empty when the line has no slope).
Range RifMapVariatoreRange(const TStreamDati& d);
// The temperatures of the counts 255..0 on the gas and the engine sensor
// tables (empty while a table cannot convert).
Range GasTemperatureRange();
Range EngineTemperatureRange();

} // namespace tables
