#include "TableLimits.h"

#include "datamodule/core/Scaling.h"
#include "datamodule/core/SensorTables.h"
#include "datamodule/core/iodata.h"

#include <algorithm>
#include <cmath>

namespace tables {

namespace {

// The external MAP sensor's offset and slope (OffsetPendenza 2 and 3).
constexpr int kOffsetMapEsterno = 2;
constexpr int kPendenzaMapEsterno = 3;

Range ordered(double a, double b) { return a < b ? Range{a, b} : Range{b, a}; }

} // namespace

std::int32_t UnsignedUpTo(double v, std::int32_t limit)
{
    if (std::isnan(v) || v <= 0)
        return 0;
    if (v >= limit)
        return limit;
    return dm::TruncToInt(v);
}

double Within(double v, Range r)
{
    if (!(r.lo < r.hi))
        return v;
    if (std::isnan(v))
        return r.lo;
    return std::clamp(v, r.lo, r.hi);
}

Range RifMapVariatoreRange(const TStreamDati& d)
{
    const double offset = d.GetOffsetPendenza(kOffsetMapEsterno);
    const double slope = d.GetOffsetPendenza(kPendenzaMapEsterno);
    if (slope == 0)
        return {};
    // The setter's line: raw = (bar x 1020 x 100 - offset x 102) / (slope x 2).
    const auto barOf = [&](double raw) { return (raw * slope * 2 + offset * 102) / (1020.0 * 100); };
    return ordered(barOf(0), barOf(kRifMapVariatoreRawMax));
}

Range GasTemperatureRange()
{
    return ordered(static_cast<double>(dm::TemperaturaGasFromRaw(255)),
                   static_cast<double>(dm::TemperaturaGasFromRaw(0)));
}

Range EngineTemperatureRange()
{
    return ordered(static_cast<double>(dm::TempMotoreFromRaw(255)), static_cast<double>(dm::TempMotoreFromRaw(0)));
}

} // namespace tables
