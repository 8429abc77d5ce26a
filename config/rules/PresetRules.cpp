#include "PresetRules.h"

#include "config/tables_rules/TableLimits.h"
#include "datamodule/core/iodata.h"

#include <algorithm>
#include <cmath>

namespace cfgrules {

namespace {

// Slider position of each code 0..21; 15 (code 21) is no position at all.
constexpr std::array<int, kPresetCodeMax + 1> kPositionOfCode = {5, 6, 7, 8, 9, 10, 5, 5, 5, 5, 5,
                                                                 4, 3, 2, 1, 0, 5,  5, 5, 5, 5, 15};
constexpr std::array<int, kPresetPositions> kCodeOfPosition = {15, 14, 13, 12, 11, 0, 1, 2, 3, 4, 5};

using Profile = std::array<int, 9>;
constexpr std::array<Profile, kPresetPositions> kReducerProfiles = {{
    {0, 1, 2, 3, 4, 6, 7, 8, 9},
    {0, 1, 2, 3, 4, 5, 6, 7, 8},
    {0, 1, 2, 3, 3, 4, 5, 6, 6},
    {0, 1, 2, 2, 2, 3, 4, 4, 4},
    {0, 1, 1, 1, 1, 2, 2, 2, 2},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, -1, -1, -1, -2, -2, -2},
    {0, 0, -1, -2, -2, -3, -4, -4, -4},
    {0, 0, -2, -3, -4, -5, -6, -6, -6},
    {0, -1, -3, -5, -6, -7, -8, -8, -8},
    {0, -2, -5, -7, -8, -9, -10, -10, -10},
}};
constexpr std::array<Profile, kPresetPositions> kGasProfiles = {{
    {-7, -5, -3, -1, 0, 1, 3, 5, 7},
    {-6, -5, -3, -1, 0, 1, 3, 5, 6},
    {-4, -3, -2, -1, 0, 1, 2, 3, 4},
    {-2, -2, -1, 0, 0, 0, 1, 2, 2},
    {-1, -1, 0, 0, 0, 0, 0, 1, 1},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {1, 1, 0, 0, 0, 0, 0, -1, -1},
    {2, 2, 1, 0, 0, 0, -1, -2, -2},
    {4, 3, 2, 1, 0, -1, -2, -3, -4},
    {6, 5, 3, 2, 0, -2, -3, -5, -6},
    {8, 7, 5, 3, 0, -3, -5, -7, -8},
}};

constexpr int kLastPosition = kPresetPositions - 1;

int position(int p) { return std::clamp(p, 0, kLastPosition); }

} // namespace

std::int64_t PackedPresets(const TStreamDati& d)
{
    const long double raw = d.GetTInjFiltro(0);
    return static_cast<std::int64_t>(std::nearbyint(raw));
}

int PresetCode(std::int64_t packed, Preset preset)
{
    const std::int64_t code = preset == Preset::Reducer ? packed % 1000 : packed / 1000 - 1;
    return static_cast<int>(std::clamp<std::int64_t>(code, 0, kPresetCodeMax));
}

std::int64_t WithPresetCode(std::int64_t packed, Preset preset, int code)
{
    if (preset == Preset::Reducer)
        return packed / 1000 * 1000 + code;
    return packed % 1000 + static_cast<std::int64_t>(code) * 1000 + 1000;
}

int PresetPosition(int code)
{
    const int p = kPositionOfCode[static_cast<std::size_t>(std::clamp(code, 0, kPresetCodeMax))];
    return p > kLastPosition ? kPresetNeutral : p;
}

int CodeOfPosition(int p) { return kCodeOfPosition[static_cast<std::size_t>(position(p))]; }

const std::array<int, 9>& PresetProfile(Preset preset, int p)
{
    const auto& table = preset == Preset::Reducer ? kReducerProfiles : kGasProfiles;
    return table[static_cast<std::size_t>(position(p))];
}

int PresetPositionOf(const TStreamDati& d, Preset preset)
{
    return PresetPosition(PresetCode(PackedPresets(d), preset));
}

int StepPreset(TStreamDati& d, Preset preset, bool increase)
{
    const std::int64_t packed = PackedPresets(d);
    const int from = PresetPosition(PresetCode(packed, preset));
    if (increase ? from >= kLastPosition : from <= 0)
        return from;
    const int to = from + (increase ? 1 : -1);
    d.SetTInjFiltro(0, static_cast<double>(WithPresetCode(packed, preset, CodeOfPosition(to))));
    const auto& before = PresetProfile(preset, from);
    const auto& after = PresetProfile(preset, to);
    for (int i = 0; i < 9; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const int shift = after[k] - before[k];
        if (preset == Preset::Reducer)
            d.SetCoeffTemperatura(i, tables::UnsignedUpTo(d.GetCoeffTemperatura(i) + shift, tables::kCoeffMax));
        else
            d.SetCoeffMot(i, tables::UnsignedUpTo(d.GetCoeffMot(i) + shift, tables::kCoeffMax));
    }
    return to;
}

std::string PresetLabel(int p) { return std::to_string(position(p) * 10 - 50) + "%"; }

int SliderDotLeft(int numerator, int denominator, int trackWidth, int trackLeft, int dotWidth)
{
    if (denominator == 0)
        return trackLeft - dotWidth / 2;
    return static_cast<int>(static_cast<long long>(numerator) * trackWidth / denominator) + trackLeft - dotWidth / 2;
}

} // namespace cfgrules
