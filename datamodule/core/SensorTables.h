#pragma once
// The two temperature-sensor tables (gas, engine): ADC counts of an NTC sensor
// in a voltage divider at evenly spaced temperatures, and the conversions
// between counts and degrees C through them.
#include <array>
#include <cstdint>

namespace dm {

// A sensor's resistance list R[i] for F + i x S, multiplied by k when used.
struct SensorCharacteristic {
    int points;
    int first;
    int step;
    int pullUp; // ohm
    int k;
    const float* resistance;
};

// Gas-temperature sensor types 0..6; null for any other type.
const SensorCharacteristic* GasSensorCharacteristic(int type);
// The engine sensor used unless the vehicle's own is chosen.
const SensorCharacteristic& DefaultEngineSensorCharacteristic();

class SensorTable {
public:
    static constexpr int kMaxPoints = 48;
    // Points of the vehicle's own engine sensor (item 0x1e18b).
    static constexpr int kVehiclePoints = 30;

    int points = 0;
    int first = 0;
    int step = 0;
    int pullUp = 0;
    int k = 0;
    std::array<int, kMaxPoints> counts{};

    // T[i] = 255 x k x R[i] / (k x R[i] + Rpu), truncated.
    void Build(const SensorCharacteristic& c);
    // From ParametriTempMotore (P[0], P[1] pull-up high and low byte, P[2]
    // step, P[3] first temperature, P[4] point count) and the counts of
    // EcuTempMotore; the point count is clamped to 0..30.
    void BuildFromVehicle(const std::int32_t (&parameters)[5], const std::int32_t* points30);
    void Reset() { *this = SensorTable{}; }

    // Count to degrees C, interpolated and extrapolated along the end
    // segments. A table of fewer than two points, or of step 0, gives 0.
    long double ToCelsius(int count) const;
    // Degrees C to count 0..255; the same tables give 0.
    int ToCount(double celsius) const;

private:
    bool usable() const { return points >= 2 && step != 0; }
};

// The vehicle sensor's pull-up resistance in ohm from its two parameter
// bytes (ParametriTempMotore elements 0 and 1), each taken as an unsigned
// byte whatever sign the item gives it.
inline int VehiclePullUpOhm(std::int32_t high, std::int32_t low) { return (high & 0xff) * 256 + (low & 0xff); }

// The program's tables, one of each, rebuilt by the data module.
SensorTable& GasSensorTable();
SensorTable& EngineSensorTable();

// A gas table for sensor type 0..6; any other type leaves the table as it is.
void BuildGasSensorTable(SensorTable& table, int type);
// An engine table: the default sensor's, or the vehicle's own from
// ParametriTempMotore (5 elements) and EcuTempMotore (30 elements).
void BuildEngineSensorTable(SensorTable& table, bool useVehicleSensor, const std::int32_t* parameters,
                            const std::int32_t* points30);

// Tgas and Tmot.
long double TemperaturaGasFromRaw(int count);
int TemperaturaGasToRaw(double celsius);
long double TempMotoreFromRaw(int count);
int TempMotoreToRaw(double celsius);

} // namespace dm
