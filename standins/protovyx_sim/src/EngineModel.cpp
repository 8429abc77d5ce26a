#include "EngineModel.h"

#include "Catalogue.h"

#include <algorithm>
#include <cmath>

namespace protovyx::detail {

namespace {

void put8(std::array<std::uint8_t, 50>& f, int at, int v) { f[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(v); }

void put16(std::array<std::uint8_t, 50>& f, int at, int v)
{
    const auto u = static_cast<std::uint16_t>(v);
    f[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(u & 0xFF);
    f[static_cast<std::size_t>(at) + 1] = static_cast<std::uint8_t>(u >> 8);
}

// Index of the axis cell the value falls in (the first breakpoint at or above).
int axisIndex(const std::vector<std::int32_t>* axis, int value)
{
    if (!axis || axis->empty())
        return 0;
    for (std::size_t i = 0; i < axis->size(); ++i)
        if (value <= (*axis)[i])
            return static_cast<int>(i);
    return static_cast<int>(axis->size()) - 1;
}

constexpr double kPi = 3.14159265358979323846;

// The gas level count: fixed, or running from full (20) to reserve (220) and
// back over the profile's sweep period.
int levelCount(const Profile& p, double t)
{
    if (p.fuelSweepS <= 0)
        return 150;
    const double phase = std::fmod(t, p.fuelSweepS) / p.fuelSweepS; // 0..1
    const double fromFull = phase < 0.5 ? 2 * phase : 2 * (1 - phase);
    return static_cast<int>(20 + 200 * fromFull);
}

} // namespace

void buildLiveFrame(const EngineInputs& in, std::array<std::uint8_t, 50>& f)
{
    f.fill(0);
    const Profile& p = *in.profile;
    const double t = in.elapsedMs / 1000.0;
    const double warmup = std::max(1, p.warmupS);
    const double warm = std::min(1.0, t / warmup);
    const bool onGas = t >= warmup;

    // Idle while warming up, then a 30-second drive cycle.
    double load = 0.15;
    double rpm = 850 + 150 * (1.0 - warm); // fast idle when cold
    if (onGas) {
        const double phase = 0.5 - 0.5 * std::cos(2 * kPi * (t - warmup) / 30.0);
        rpm = 850 + 2400 * phase;
        load = 0.15 + 0.6 * phase;
    }
    const double petrolMs = 2.5 + 9.0 * load;
    const int petrolRaw = timeUnits(petrolMs, p.timeBase);

    // The gas time follows the K map at the operating point (128 = neutral).
    int k = 128;
    if (in.kMap && !in.kMap->empty()) {
        const int cols = p.mapCols;
        const int r = axisIndex(in.timeAxis, petrolRaw);
        const int c = axisIndex(in.rpmAxis, static_cast<int>(rpm));
        const std::size_t at = static_cast<std::size_t>(r * cols + c);
        if (at < in.kMap->size())
            k = (*in.kMap)[at];
    }
    const int gasRaw = onGas ? petrolRaw * k / 128 : 0;

    const double reducerC = 20 + 65 * warm;
    const double gasC = 15 + 10 * warm;
    const double mapBar = 0.3 + 0.6 * load;
    const double gasBar = onGas ? mapBar + 1.2 : 0.0;
    const double lambdaV = 0.45 + 0.35 * std::sin(2 * kPi * t / 1.3);

    put16(f, 0, static_cast<int>(rpm));
    put8(f, 2, static_cast<int>(lambdaV * 255 / 5));
    put8(f, 3, static_cast<int>(load * 255));
    put16(f, 4, 0);
    put16(f, 6, gasRaw);
    put16(f, 8, petrolRaw);
    put8(f, 10, onGas ? 0x10 : 0x08);
    const bool twoBanks = bankCount(p) > 1;
    int status = 0x80;               // key on
    if (onGas)
        status |= 0x10 | 0x20;       // on gas, probe 1 active
    if (onGas && twoBanks)
        status |= 0x40;              // probe 2 active
    put8(f, 11, status);
    put8(f, 12, engineCount(reducerC));
    put8(f, 13, levelCount(p, t));
    put16(f, 14, static_cast<int>(gasBar * 1000));
    put8(f, 16, gasCount(gasC));
    put16(f, 17, static_cast<int>(mapBar * 1000));
    put8(f, 19, 0);
    put8(f, 20, 0);
    if (twoBanks) {
        put8(f, 21, static_cast<int>((0.9 - lambdaV + 0.1) * 255 / 5));
        // The second bank runs a little richer, so that the two can be told
        // apart.
        put16(f, 24, gasRaw * 103 / 100);
        put16(f, 28, petrolRaw * 103 / 100);
    }
}

bool answersObd(const Profile& p)
{
    if (p.obd >= 0)
        return p.obd != 0;
    return p.type == 55 || p.type == 56;
}

void buildObdBlock(const EngineInputs& in, std::array<std::uint8_t, 50>& b)
{
    b.fill(0);
    const Profile& p = *in.profile;
    const double t = in.elapsedMs / 1000.0;
    if (t < std::max(1, p.warmupS)) {
        b[10] = 0x01;
        return;
    }
    const bool twoBanks = typeInfo(p.type).banks > 1;
    const double wave = std::sin(2 * kPi * t / 4.0);
    const auto count = [](double v) {
        return static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(v)), 0, 255));
    };
    b[0] = 0x0E;
    b[1] = twoBanks ? 0x0E : 0;
    b[4] = count(128 + 10 * wave);
    b[5] = count(128 - 4 + 2 * std::sin(2 * kPi * t / 30.0));
    b[8] = count((0.45 + 0.3 * wave) / 0.005);
    if (twoBanks) {
        b[6] = count(128 - 8 * wave);
        b[7] = count(128 + 3);
        b[9] = count((0.45 - 0.25 * wave) / 0.005);
    }
    b[10] = 0x03;
}

void buildObdIdleBlock(const EngineInputs& in, std::array<std::uint8_t, 10>& b)
{
    b.fill(0);
    const double t = in.elapsedMs / 1000.0;
    if (t < std::max(1, in.profile->warmupS))
        return;
    b[0] = static_cast<std::uint8_t>(static_cast<std::int8_t>(-3));
    b[1] = static_cast<std::uint8_t>(static_cast<std::int8_t>(std::lround(4 + 2 * std::sin(2 * kPi * t / 30.0))));
}

} // namespace protovyx::detail
