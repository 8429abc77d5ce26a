#include "VisualizzaRules.h"

#include "AcquisitionFormat.h"
#include "Scaling.h"
#include "SensorTables.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

namespace visualizza {

namespace {

constexpr int kSecondBankLength = dm::kLiveFrameSecondBankLength;

double volts(std::uint8_t raw) { return raw * 5.0 / 255.0; }

double ms(std::uint16_t raw, std::int32_t timeBase) { return raw * static_cast<double>(timeBase) * 0.00025 * 0.004; }

std::string toChars(double value, std::chars_format format, int precision)
{
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string();
}

} // namespace

void DecodeLive(const dm::TLiveFrame& f, int receivedLength, std::int32_t timeBase, LiveValues& v)
{
    v.Rpm = f.Rpm;
    v.Lambda1 = volts(f.Lambda1);
    v.GasPressure = f.GasPressure / 10;
    v.MapPressure = f.MapPressure / 10;
    v.GasTime1 = ms(f.GasTime1, timeBase);
    v.PetrolTime1 = ms(f.PetrolTime1, timeBase);
    v.Status = f.StatusFlags;
    v.ReducerTemp = f.ReducerTemp == 0 ? 0.0 : static_cast<double>(dm::TempMotoreFromRaw(f.ReducerTemp));
    v.GasTemp = f.GasTemp == 0 ? 0.0 : static_cast<double>(dm::TemperaturaGasFromRaw(f.GasTemp));
    v.GasLevel = f.GasLevel;
    if (receivedLength >= kSecondBankLength) {
        v.Lambda2 = volts(f.Lambda2);
        v.GasTime2 = ms(f.GasTime2, timeBase);
        v.PetrolTime2 = ms(f.PetrolTime2, timeBase);
    }
}

std::int32_t RpmShown(std::int32_t rpm) { return rpm / 10 * 10; }

QString FormatFixed(double value, int decimals, int significant, QChar separator)
{
    if (!std::isfinite(value))
        return QString();
    // The decimal exponent after rounding to the significant digits tells
    // how many decimals those digits leave.
    const std::string sci = toChars(value, std::chars_format::scientific, significant - 1);
    const auto e = sci.find('e');
    int exponent = 0;
    if (e != std::string::npos)
        std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exponent);
    std::string text;
    if (significant - 1 - exponent >= decimals) {
        text = toChars(value, std::chars_format::fixed, decimals);
    } else {
        // The significant digits are the coarser rounding: take them as
        // rounded and pad the decimals with zeros.
        double rounded = 0;
        std::from_chars(sci.data(), sci.data() + sci.size(), rounded, std::chars_format::scientific);
        text = toChars(rounded, std::chars_format::fixed, decimals);
    }
    QString out = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    out.replace(QLatin1Char('.'), separator);
    return out;
}

QString TemperatureText(double celsius, QChar separator, const QString& notAvailable)
{
    return celsius == 0 ? notAvailable : FormatFixed(celsius, 1, 3, separator);
}

QString PressureText(std::int32_t hundredths, QChar separator, const QString& notAvailable)
{
    return hundredths == 0 ? notAvailable : FormatFixed(hundredths * 0.01, 2, 3, separator);
}

QString InjectionText(double ms, QChar separator) { return FormatFixed(ms, 2, 4, separator); }

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
    const bool rich = p.Inverted ? p.Volts > p.Reference : p.Volts < p.Reference;
    const BarColour byReference = rich ? BarColour::Green : BarColour::Red;
    if (p.TypesPresent) {
        if (!p.TypeEnabled)
            return {BarColour::ButtonFace, 0};
        BarColour colour = BarColour::ButtonFace;
        if (p.SignalActive)
            colour = p.Type == 2 ? (p.Volts < 0.55 ? BarColour::Green : BarColour::Red) : byReference;
        return {colour, LambdaBar(p.Volts, range, panelWidth)};
    }
    if (!p.SignalActive)
        return {BarColour::ButtonFace, 0};
    return {byReference, LambdaBar(p.Volts, range, panelWidth)};
}

LevelLamps LevelLampsFor(std::int32_t status, std::uint32_t gasLevel, const std::array<std::int32_t, 4>& thresholds,
                         bool thresholdsDescending)
{
    LevelLamps lamps{};
    const bool keyOn = (status & dm::LIVE_KEY_ON) != 0;
    const bool gas = (status & (dm::LIVE_CHANGEOVER_PENDING | dm::LIVE_ON_GAS)) != 0;
    if (!keyOn || !gas)
        return lamps;
    const long long level = gasLevel;
    for (std::size_t i = 0; i < thresholds.size(); ++i)
        lamps[i + 1] = thresholdsDescending ? thresholds[i] >= level : thresholds[i] <= level;
    lamps[0] = !lamps[1];
    return lamps;
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
        return 407;
    if (percent >= 40 && percent <= 74)
        return 408;
    if (percent >= 75 && percent <= 100)
        return 409;
    return 0;
}

qz::live::TAcquisitionSample SampleOf(const LiveValues& v)
{
    qz::live::TAcquisitionSample s;
    s.Rpm = v.Rpm;
    s.Lambda1Volts = v.Lambda1;
    s.GasMs1 = v.GasTime1;
    s.PetrolMs1 = v.PetrolTime1;
    s.GasPressureHundredths = v.GasPressure;
    s.MapPressureHundredths = v.MapPressure;
    s.ReducerTempC = v.ReducerTemp;
    s.GasTempC = v.GasTemp;
    s.Lambda2Volts = v.Lambda2;
    s.GasMs2 = v.GasTime2;
    s.PetrolMs2 = v.PetrolTime2;
    return s;
}

} // namespace visualizza
