#pragma once
// The live view's rules, without a window: decoding the live frame into the
// values shown, the label texts, the bar widths and colours, the level lamps
// and the injector size rating.
#include "datamodule/core/LiveFrame.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

namespace visualizza {

// The engine speed label: cut down to a multiple of 10.
std::int32_t RpmShown(std::int32_t rpm);

// The label texts; notAvailable for an exact 0 where 0 means not available.
QString TemperatureText(double celsius, QChar separator, const QString& notAvailable);
QString PressureText(std::int32_t hundredths, QChar separator, const QString& notAvailable);
QString InjectionText(double ms, QChar separator);

// A computed bar width against a panel of width W: larger than W - 2 fills
// the whole panel (W); below zero shows nothing (0).
int FitBar(long long computed, int panelWidth);
// Gas pressure (full scale 5 bar) and MAP (2.5 bar) bars.
int GasPressureBar(std::int32_t hundredths, int panelWidth);
int MapBar(std::int32_t hundredths, int panelWidth);
// Injection time bar, full scale 20 ms.
int InjectionBar(double ms, int panelWidth);

struct LambdaRange {
    double Minimum = 0.0;
    double Maximum = 1.0;
};
// By TipoDiLambda (the integer part of item code 4).
LambdaRange LambdaRangeFor(int tipoDiLambda);
int LambdaBar(double volts, const LambdaRange& range, int panelWidth);

enum class BarColour { ButtonFace, Green, Red };

// What one probe's bar needs to know.
struct ProbeInput {
    bool TypesPresent = false;  // the data module holds per-probe lambda types
    bool TypeEnabled = true;    // GetTipiLambdaEnabled of the probe
    int Type = 0;               // GetTipiLambda of the probe
    bool SignalActive = false;  // the probe's status bit
    double Volts = 0;
    float Reference = 0;        // RifLambda
    bool Inverted = false;      // bit 0 of TipoDiLambda
};

struct BarState {
    BarColour Colour = BarColour::ButtonFace;
    int Width = 0;
    bool operator==(const BarState&) const = default;
};

BarState LambdaBarState(const ProbeInput& probe, const LambdaRange& range, int panelWidth);

// The injector size percentage: the average of the rows x columns cells of
// map K (integer division) x 100 / 255. -1 when the map has no cells.
int InjectorSizePercent(int rows, int columns, const std::function<std::int32_t(int, int)>& cell);
// The ratings' texts (string numbers), in this order.
inline constexpr int kTextInjectorsTooBig = 407;   // "Troppo grandi"
inline constexpr int kTextInjectorsRight = 408;    // "Corretti"
inline constexpr int kTextInjectorsTooSmall = 409; // "Troppo piccoli"
// String number of the rating (kTextInjectorsTooBig, kTextInjectorsRight,
// kTextInjectorsTooSmall), 0 for none.
int InjectorRatingString(int percent);

} // namespace visualizza
