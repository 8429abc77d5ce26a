#include "EngineSensorRules.h"

#include "datamodule/core/Scaling.h"

#include <algorithm>
#include <cmath>

namespace cfgrules {

namespace {

constexpr int kCountMax = 255;
constexpr double kVoltsMax = 5.0;

int count8(int count) { return std::clamp(count, 0, kCountMax); }

} // namespace

PullUpBytes PullUpBytesOf(int ohm)
{
    const int r = std::clamp(ohm, 0, 0xffff);
    return {static_cast<std::int8_t>(r >> 8), static_cast<std::int8_t>(r & 0xff)};
}

double CountVolts(int count) { return static_cast<double>(dm::VoltsFromRaw(count8(count))); }

long long CountOhm(int count, int pullUp)
{
    const int c = count8(count);
    if (c > kCountMax - 1)
        return 0;
    return static_cast<long long>(pullUp) * c / (kCountMax - c);
}

int CountOfVolts(double volts)
{
    const double v = std::isnan(volts) ? 0.0 : std::clamp(volts, 0.0, kVoltsMax);
    return count8(dm::TruncToInt(v * 255 * 0.2));
}

int CountOfOhm(double ohm, int pullUp)
{
    const double r = std::isnan(ohm) ? 0.0 : std::max(ohm, 0.0);
    const double sum = r + std::max(pullUp, 0);
    if (!(sum > 0))
        return 0;
    return count8(dm::TruncToInt(r * 255 / sum));
}

double CountValue(int column, int count, int pullUp)
{
    if (column == kSensorColumnVolts)
        return CountVolts(count);
    if (column == kSensorColumnOhm)
        return static_cast<double>(CountOhm(count, pullUp));
    return 0;
}

int PointCount(int first, int highest, int step)
{
    if (step < 1)
        return 0;
    return std::clamp((highest - first) / step, 0, kSensorPointsMax);
}

int SensorRows(int storedPoints) { return std::clamp(storedPoints, 0, kSensorPointsMax) + 1; }

int RowTemperature(int row, int step, int first) { return (row - 1) * step + first; }

int HighestTemperature(int points, int step, int first)
{
    return std::clamp(points, 0, kSensorPointsMax) * step + first;
}

std::vector<std::pair<int, int>> SensorParameterWrites(int tag, SensorEditors& e)
{
    switch (tag) {
    case 0: {
        const PullUpBytes b = PullUpBytesOf(e.pullUp);
        return {{0, b.high}, {1, b.low}};
    }
    case 1: return {{2, e.step}};
    case 2: return {{3, e.first}};
    case 3:
        if (e.first >= e.highest)
            e.highest = e.first + e.step;
        return {{4, PointCount(e.first, e.highest, e.step)}};
    default: return {};
    }
}

int EnteredCount(int column, int mode, double v, int storedCount, int pullUp)
{
    const double stored = CountValue(column, storedCount, pullUp);
    double x = v;
    if (mode == 1)
        x = stored + v;
    else if (mode == 2)
        x = stored * (1 + v * 0.01);
    return column == kSensorColumnVolts ? CountOfVolts(x) : CountOfOhm(x, pullUp);
}

std::vector<cfgwin::ControlRule> EngineSensorParameterVisibility(bool on)
{
    return {{{"ShapeParametriTemp", "LabelParametriTemp", "LabelRPullUp", "EditRPullUp", "LabRPullUp", "LabelDeltaT",
              "EditDeltaT", "LabDeltaT", "LabelTMin", "EditTMin", "LabTMin", "LabelTMax", "EditTMax", "LabTMax",
              "ShapeCaratteristicaTemp", "LabelCaratteristicaTemp", "DrawGridTemp", "ButtonNuoviParametri"},
             on}};
}

} // namespace cfgrules
