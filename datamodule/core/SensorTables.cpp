#include "SensorTables.h"

#include "Scaling.h"

#include <algorithm>

namespace dm {
namespace {

constexpr float kA[] = {24.6964f, 18.459f, 13.9228f, 10.572f, 8.096f, 6.255f, 4.868f, 3.8308f, 3.0296f, 2.3928f,
                        1.904f, 1.5268f, 1.232f, 1.0f, 0.8164f, 0.6708f, 0.5546f, 0.4598f, 0.3828f, 0.3214f,
                        0.2712f, 0.2298f, 0.1956f, 0.1668f, 0.1428f, 0.1224f, 0.1054f, 0.0912f, 0.0792f, 0.0692f,
                        0.0604f, 0.053f, 0.0464f, 0.041f};
constexpr float kB[] = {97.578f, 67.65f, 47.538f, 33.831f, 24.359f, 17.753f, 13.067f, 9.7228f, 7.3006f, 5.5361f,
                        4.2332f, 3.266f, 2.5392f, 1.9902f, 1.5709f, 1.2492f, 1.0f, 0.805f, 0.65326f, 0.5329f,
                        0.4371f, 0.36f, 0.299f, 0.2493f, 0.2088f, 0.1757f, 0.148f, 0.1262f, 0.1076f, 0.09215f,
                        0.07922f, 0.0683f, 0.05924f, 0.05153f, 0.04492f, 0.0392f, 0.0343f, 0.03018f, 0.02665f,
                        0.023594f, 0.0209f, 0.0186f, 0.0166f, 0.01486f, 0.01332f, 0.01198f, 0.01079f, 0.00974f};
constexpr float kC[] = {4.56f, 3.78f, 3.01f, 2.41f, 1.92f, 1.54f, 1.25f, 1.0f, 0.856f, 0.687f, 0.582f, 0.493f,
                        0.41f, 0.345f, 0.295f, 0.254f, 0.217f, 0.183f, 0.159f, 0.138f, 0.12f, 0.105f, 0.091f,
                        0.082f, 0.071f, 0.062f, 0.055f};
constexpr float kD[] = {48153.0f, 35763.0f, 26855.0f, 20376.0f, 15614.0f, 12078.0f, 9426.0f, 7419.0f, 5886.7f,
                        4706.9f, 3791.1f, 3074.9f, 2510.6f, 2062.9f, 1715.4f, 1431.8f, 1199.6f, 1008.6f, 851.1f,
                        720.65f, 612.27f, 521.91f, 446.33f, 382.89f, 329.48f, 284.06f, 246.15f, 213.68f, 186.0f,
                        162.35f, 142.08f, 124.66f, 109.65f, 96.68f, 85.45f};
constexpr float kE[] = {60880.0f, 47560.0f, 37450.0f, 29710.0f, 23730.0f, 19090.0f, 15450.0f, 12580.0f, 10310.0f,
                        8495.0f, 7037.0f, 5860.0f, 4905.0f, 4125.0f, 3485.0f, 2957.0f, 2521.0f, 2157.0f, 1853.0f,
                        1598.0f, 1384.0f, 1202.0f, 1048.0f, 916.4f, 804.1f, 707.7f, 624.7f, 553.1f, 491.1f};
constexpr float kG[] = {31.618f, 23.006f, 16.9149f, 12.5546f, 9.4143f, 7.1172f, 5.4308f, 4.1504f, 3.2013f, 2.501f,
                        1.969f, 1.5618f, 1.2473f, 1.0f, 0.808f, 0.6569f, 0.5372f, 0.4423f, 0.3661f, 0.3039f,
                        0.2536f, 0.2128f, 0.1794f, 0.1518f, 0.129f, 0.11f, 0.0942f, 0.0809f, 0.0697f, 0.0604f,
                        0.0525f, 0.0457f, 0.04f, 0.035f, 0.0308f};
constexpr float kH[] = {21.51f, 16.29f, 12.33f, 9.492f, 7.307f, 5.718f, 4.476f, 3.556f, 2.825f, 2.274f,
                        1.83f, 1.492f, 1.216f, 1.0f, 0.8265f, 0.689f, 0.574f, 0.4832f, 0.4067f, 0.3456f,
                        0.2937f, 0.2519f, 0.216f, 0.1868f, 0.1615f, 0.1409f, 0.1229f, 0.1089f, 0.0946f, 0.0837f,
                        0.074f, 0.0658f, 0.0585f, 0.0525f};

static_assert(std::size(kA) == 34 && std::size(kB) == 48 && std::size(kC) == 27 && std::size(kD) == 35
              && std::size(kE) == 29 && std::size(kG) == 35 && std::size(kH) == 34);

constexpr SensorCharacteristic kCharA{34, -40, 5, 4700, 5000, kA};
constexpr SensorCharacteristic kCharB{48, -55, 5, 4700, 4700, kB};
constexpr SensorCharacteristic kCharC{27, -10, 5, 1000, 1000, kC};
constexpr SensorCharacteristic kCharD{35, -40, 5, 2200, 1, kD};
constexpr SensorCharacteristic kCharE{29, -20, 5, 4700, 1, kE};
constexpr SensorCharacteristic kCharG{35, -40, 5, 4700, 10000, kG};
constexpr SensorCharacteristic kCharH{34, -40, 5, 4700, 2000, kH};

} // namespace

const SensorCharacteristic* GasSensorCharacteristic(int type)
{
    switch (type) {
    case 0: return &kCharA;
    case 1: return &kCharC;
    case 2: return &kCharD;
    case 3: return &kCharE;
    case 4:
    case 5: return &kCharG;
    case 6: return &kCharH;
    default: return nullptr;
    }
}

const SensorCharacteristic& DefaultEngineSensorCharacteristic() { return kCharB; }

void SensorTable::Build(const SensorCharacteristic& c)
{
    points = std::clamp(c.points, 0, kMaxPoints);
    first = c.first;
    step = c.step;
    pullUp = c.pullUp;
    k = c.k;
    counts.fill(0);
    for (int i = 0; i < points; ++i) {
        const long double r = static_cast<long double>(c.k) * c.resistance[i];
        counts[static_cast<std::size_t>(i)] = TruncToInt(255.0L * r / (r + c.pullUp));
    }
}

void SensorTable::BuildFromVehicle(const std::int32_t (&p)[5], const std::int32_t* points30)
{
    points = std::clamp(p[4], 0, kVehiclePoints);
    first = p[3];
    step = p[2];
    pullUp = VehiclePullUpOhm(p[0], p[1]);
    k = 1;
    counts.fill(0);
    for (int i = 0; i < points; ++i)
        counts[static_cast<std::size_t>(i)] = points30[i];
}

long double SensorTable::ToCelsius(int count) const
{
    if (!usable())
        return 0;
    const auto T = [this](int i) { return static_cast<long double>(counts[static_cast<std::size_t>(i)]); };
    int i = 0;
    while (i < points && count < counts[static_cast<std::size_t>(i)])
        ++i;
    if (i == points)
        i = points - 1;
    const long double F = first, S = step, c = count;
    if (i == 0) {
        if (T(1) == T(0))
            return F - 0.5L * S;
        return F - S * (c - T(0)) / (T(0) - T(1));
    }
    if (T(i) == T(i - 1))
        return F + S * (i - 0.5L);
    return F + S * (i - (c - T(i)) / (T(i - 1) - T(i)));
}

int SensorTable::ToCount(double t) const
{
    if (!usable())
        return 0;
    // In double: a temperature typed with a decimal keeps it (a float of
    // 25.1 does not), and TruncToInt takes a count that lands a hair below
    // a whole number to that number.
    const auto T = [this](int i) { return static_cast<double>(counts[static_cast<std::size_t>(i)]); };
    const double b = (t - first) / step;
    const std::int32_t j = TruncToInt(b);
    double c;
    if (j < 0)
        c = T(0) + (T(1) - T(0)) * b;
    else if (j >= points - 1)
        c = (b - points + 1) * (T(points - 1) - T(points - 2)) + T(points - 1);
    else
        c = (b - j) * (T(j + 1) - T(j)) + T(j);
    return std::clamp(TruncToInt(c), 0, 255);
}

SensorTable& GasSensorTable()
{
    static SensorTable t;
    return t;
}

SensorTable& EngineSensorTable()
{
    static SensorTable t;
    return t;
}

void BuildGasSensorTable(SensorTable& table, int type)
{
    if (const SensorCharacteristic* c = GasSensorCharacteristic(type))
        table.Build(*c);
}

void BuildEngineSensorTable(SensorTable& table, bool useVehicleSensor, const std::int32_t* parameters,
                            const std::int32_t* points30)
{
    if (!useVehicleSensor) {
        table.Build(DefaultEngineSensorCharacteristic());
        return;
    }
    const std::int32_t p[5] = {parameters[0], parameters[1], parameters[2], parameters[3], parameters[4]};
    table.BuildFromVehicle(p, points30);
}

long double TemperaturaGasFromRaw(int count) { return GasSensorTable().ToCelsius(count); }
int TemperaturaGasToRaw(double celsius) { return GasSensorTable().ToCount(celsius); }
long double TempMotoreFromRaw(int count) { return EngineSensorTable().ToCelsius(count); }
int TempMotoreToRaw(double celsius) { return EngineSensorTable().ToCount(celsius); }

} // namespace dm
