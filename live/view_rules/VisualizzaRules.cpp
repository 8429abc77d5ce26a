#include "VisualizzaRules.h"

#include "complib/numbers/NumberText.h"
#include "datamodule/core/LiveLamps.h"
#include "datamodule/core/Scaling.h"
#include "datamodule/core/SensorTables.h"
#include "live/acquisition/AcquisitionFormat.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace visualizza {

std::int32_t RpmShown(std::int32_t rpm) { return rpm / 10 * 10; }

QString TemperatureText(double celsius, QChar separator, const QString& notAvailable)
{
    return celsius == 0 ? notAvailable : complib::FormatFixed(celsius, 3, 1, separator);
}

QString PressureText(std::int32_t hundredths, QChar separator, const QString& notAvailable)
{
    return hundredths == 0 ? notAvailable : complib::FormatFixed(hundredths * 0.01, 3, 2, separator);
}

QString InjectionText(double ms, QChar separator) { return complib::FormatFixed(ms, 4, 2, separator); }

int FitBar(long long computed, int panelWidth)
{
    if (computed > panelWidth - 2)
        return panelWidth;
    return computed < 0 ? 0 : static_cast<int>(computed);
}

int GasPressureBar(std::int32_t hundredths, int panelWidth)
{
    return FitBar(dm::TruncToInt(hundredths * 0.01L * (panelWidth - 2) * 0.2L), panelWidth);
}

int MapBar(std::int32_t hundredths, int panelWidth)
{
    return FitBar(dm::TruncToInt(hundredths * 0.01L * (panelWidth - 2) * 0.4L), panelWidth);
}

int InjectionBar(double ms, int panelWidth)
{
    return FitBar(dm::TruncToInt(static_cast<long double>(panelWidth - 2) * ms * 0.05L), panelWidth);
}

LambdaRange LambdaRangeFor(int tipoDiLambda)
{
    switch (tipoDiLambda) {
    case 1: return {0.0, 5.0};
    case 2: return {5.0, 0.0};
    case 3: return {0.8, 1.6};
    case 4: return {-127.0, 128.0};
    default: return {0.0, 1.0};
    }
}

int LambdaBar(double v, const LambdaRange& range, int panelWidth)
{
    return FitBar(dm::TruncToInt((v - range.Minimum) * (panelWidth - 2) / (range.Maximum - range.Minimum)), panelWidth);
}

BarState LambdaBarState(const ProbeInput& p, const LambdaRange& range, int panelWidth)
{
    // A rear probe counts only where the ECU reports the probes' types.
    const bool rich = dm::ProbeReadsRich(p.Volts, p.Reference, p.Inverted, p.TypesPresent && p.Type == 2);
    const BarColour byReading = rich ? BarColour::Green : BarColour::Red;
    if (p.TypesPresent) {
        if (!p.TypeEnabled)
            return {BarColour::ButtonFace, 0};
        return {p.SignalActive ? byReading : BarColour::ButtonFace, LambdaBar(p.Volts, range, panelWidth)};
    }
    if (!p.SignalActive)
        return {BarColour::ButtonFace, 0};
    return {byReading, LambdaBar(p.Volts, range, panelWidth)};
}

int InjectorSizePercent(int rows, int columns, const std::function<std::int32_t(int, int)>& cell)
{
    if (rows <= 0 || columns <= 0)
        return -1;
    long long sum = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            sum += cell(r, c);
    const long long average = sum / (static_cast<long long>(rows) * columns);
    return static_cast<int>(average * 100 / 255);
}

int InjectorRatingString(int percent)
{
    if (percent >= 0 && percent <= 39)
        return kTextInjectorsTooBig;
    if (percent >= 40 && percent <= 74)
        return kTextInjectorsRight;
    if (percent >= 75 && percent <= 100)
        return kTextInjectorsTooSmall;
    return 0;
}


} // namespace visualizza
