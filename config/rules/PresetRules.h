#pragma once
// The temperature-correction presets of the Correzioni page and the step
// sliders that show them. Each temperature grid (gas, reducer) has a preset
// of eleven positions, -50 % to +50 % in steps of 10 %; a step moves all
// nine coefficients of its grid by the difference between two rows of a
// fixed profile and records the preset's code in one packed ECU value P
// (element 0 of TInjFiltro): the reducer code is P modulo 1000, the gas code
// the thousands of P minus 1.
#include <array>
#include <cstdint>
#include <string>

class TStreamDati;

namespace cfgrules {

inline constexpr int kPresetPositions = 11;
// Position of a code that names no position: 0 %.
inline constexpr int kPresetNeutral = 5;
inline constexpr int kPresetCodeMax = 21;

enum class Preset { Reducer, Gas };

// P as stored: the nearest whole number (halves to even) of element 0.
std::int64_t PackedPresets(const TStreamDati& d);
// The preset's code in P, within 0..21.
int PresetCode(std::int64_t packed, Preset preset);
// P with the preset's code replaced.
std::int64_t WithPresetCode(std::int64_t packed, Preset preset, int code);

// The slider position of a code (0..10). Codes that the code table never
// gives, and codes whose position lies outside the eleven, are 0 % (5).
int PresetPosition(int code);
// The code of a slider position (taken within 0..10).
int CodeOfPosition(int position);
// The nine coefficient offsets of a position (taken within 0..10), for the
// coefficients 0..8 of the grid.
const std::array<int, 9>& PresetProfile(Preset preset, int position);

// The position P gives a preset.
int PresetPositionOf(const TStreamDati& d, Preset preset);
// One step down (increase false) or up: writes P and shifts the nine
// coefficients (each kept within 0..200) by the profiles' difference.
// Returns the position to show: the new one, or the old one at an end.
int StepPreset(TStreamDati& d, Preset preset, bool increase);

// The value label of a position: "-50%" .. "50%".
std::string PresetLabel(int position);

// The left edge of a slider's dot: numerator x W / denominator + L - w / 2,
// whole divisions (W, L the track's width and left, w the dot's width).
int SliderDotLeft(int numerator, int denominator, int trackWidth, int trackLeft, int dotWidth);

} // namespace cfgrules
