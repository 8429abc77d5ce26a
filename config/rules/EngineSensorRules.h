#pragma once
// The vehicle's own engine-temperature sensor as the Temperatura page edits
// it: its five parameters (pull-up resistance in two bytes, temperature
// step, first temperature, point count), the measured count of each point,
// and the conversions between counts, volts and ohm. Plain functions; the
// data module's sensor table (SensorTables.h) turns the counts into degrees.
#include "config/layout/ConfigWindowRules.h"
#include "datamodule/core/SensorTables.h"

#include <array>
#include <cstdint>
#include <vector>

namespace cfgrules {

// Points of the characteristic (elements of item 0x1e18b), as many as the
// data module's table of the vehicle's sensor takes.
inline constexpr int kSensorPointsMax = dm::SensorTable::kVehiclePoints;
// The table's columns: index, temperature, voltage, resistance.
inline constexpr int kSensorColumnIndex = 0;
inline constexpr int kSensorColumnTemperature = 1;
inline constexpr int kSensorColumnVolts = 2;
inline constexpr int kSensorColumnOhm = 3;
inline constexpr int kSensorColumns = 4;
// The header texts of the four columns.
inline constexpr std::array<int, kSensorColumns> kSensorHeaderTexts = {234, 235, 236, 237};

// The pull-up resistance as its two parameter bytes (high, low), each given
// as the signed byte the item holds (2200 ohm: 8 and 152, which the item
// takes as -104); the data module reads them back as unsigned bytes
// (dm::VehiclePullUpOhm).
struct PullUpBytes {
    int high = 0;
    int low = 0;
};
PullUpBytes PullUpBytesOf(int ohm);

// A count (taken within 0..255) in volts: count x 5 / 255.
double CountVolts(int count);
// A count in ohm through the pull-up: R x count / (255 - count), whole; 0
// for a count above 254.
long long CountOhm(int count, int pullUp);
// The count of a voltage (taken within 0..5 V): v x 255 x 0.2, truncated.
int CountOfVolts(double volts);
// The count of a resistance (taken at 0 or more): r x 255 / (r + R),
// truncated, within 0..255; 0 when both are 0.
int CountOfOhm(double ohm, int pullUp);
// A column's value (volts or ohm) of a count; 0 for the other columns.
double CountValue(int column, int count, int pullUp);

// The points from the first temperature up to the highest one in steps:
// (highest - first) / step, whole, within 0..30; 0 for a step below 1.
int PointCount(int first, int highest, int step);
// The table's rows for a stored point count: the count within 0..30, and
// the header row.
int SensorRows(int storedPoints);
// The temperature of table row r (r >= 1 shows point r - 1).
int RowTemperature(int row, int step, int first);
// The highest temperature the page shows: points x step + first.
int HighestTemperature(int points, int step, int first);

// The four editors of the parameters, by their Tag: 0 pull-up, 1 step,
// 2 first temperature, 3 highest temperature.
struct SensorEditors {
    int pullUp = 0;
    int step = 0;
    int first = 0;
    int highest = 0;
};
// What leaving editor `tag` writes: (parameter index, value) pairs. For the
// highest temperature, one not above the first becomes first + step (in e).
std::vector<std::pair<int, int>> SensorParameterWrites(int tag, SensorEditors& e);

// The count an entry stores in a point: the dialog's value v in the
// column's unit, set (mode 0), added (1) or a percentage (2) of the point's
// stored value.
int EnteredCount(int column, int mode, double v, int storedCount, int pullUp);

// The sensor's parameters and characteristic on the page, with the button
// of new parameters: shown while the vehicle's own sensor is ticked.
std::vector<cfgwin::ControlRule> EngineSensorParameterVisibility(bool on);

} // namespace cfgrules
