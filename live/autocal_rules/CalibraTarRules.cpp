#include "CalibraTarRules.h"

#include "complib/numbers/NumberText.h"
#include "datamodule/core/LiveLamps.h"
#include "datamodule/core/Scaling.h"
#include "live/acquisition/AcquisitionFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace taratura {

QString TimeText(double ms, QChar separator) { return complib::FormatFixed(ms, 4, 2, separator); }

QString PressureText(std::int32_t hundredths, QChar separator, const QString& notAvailable)
{
    return hundredths == 0 ? notAvailable : complib::FormatFixed(hundredths * 0.01, 3, 2, separator);
}

QString TemperatureText(double raw, long double celsius, const QString& notAvailable)
{
    return raw == 0 ? notAvailable : QString::number(static_cast<long long>(std::trunc(celsius)));
}

ProbeLook LambdaLook(const ProbeInput& p)
{
    if (p.TypesPresent && !p.TypeEnabled)
        return {kDisabledProbe, true};
    // A rear probe counts only where the ECU reports the probes' types.
    const bool rich = dm::ProbeReadsRich(p.Volts, p.Reference, p.Inverted, p.TypesPresent && p.Type == 2);
    return {rich ? kRich : kLean, p.SignalBit};
}

ClickAction ClickActionFor(std::int32_t state, bool cng, std::int32_t injectorType)
{
    switch (state) {
    case Running: return ClickAction::AbortThenIdle;
    case Measuring: return ClickAction::EndStepThenIdle;
    case Idle:
        return cng && (injectorType == 25 || injectorType == 35) ? ClickAction::StartMeasuring
                                                                  : ClickAction::StartCalibration;
    default: return ClickAction::Nothing;
    }
}

int MeasuringCheck(std::int32_t rpm, std::int32_t status, double reducerRaw, long double reducerC, long double minimumC)
{
    if (rpm == 0 || !(status & 0x80))
        return 555;
    if (status & 0x18)
        return 556;
    if (reducerRaw != 0 && reducerC < minimumC)
        return 557;
    return 0;
}

bool TakeMeasurement(MeasuringStep& step, double petrolMs)
{
    if (petrolMs > 7 && petrolMs > step.MeasuredPetrolTime) {
        step.MeasuredPetrolTime = petrolMs;
        return true;
    }
    return false;
}

int MeasuringGuidance(MeasuringStep& s, std::int32_t rpm, std::uint32_t now)
{
    if (rpm < 1100) {
        if (s.T0 == 0) {
            s.T0 = now;
            s.T1 = 0;
            return 0;
        }
        if (s.T1 == 0) {
            if (static_cast<std::int32_t>(now - (s.T0 + s.IdleDelay)) > 0)
                s.T1 = now;
            return 0;
        }
        if (s.T2 == 0)
            return kTextRevNow;
        return s.MeasuredPetrolTime < 7 || s.MeasuredPetrolTime > 40 ? kTextMeasurementInvalid : 0;
    }
    if (s.T1 == 0 && s.T2 == 0) {
        s.T0 = 0;
        return 0;
    }
    int shown = 0;
    if (rpm > 1300 && s.MeasuredPetrolTime > 7) {
        s.T2 = now;
        s.IdleDelay = 3000;
        shown = kTextRepeatRev;
    }
    s.T0 = 0;
    return shown;
}

bool MeasurementApplicable(double ms) { return ms > 7 && ms < 40; }

double ClampMeasurement(double ms) { return std::clamp(ms, 15.0, 25.0); }

bool OpenLoopAllowsCorrection(long double t) { return t >= 14 && t < 29; }

int CorrectionRowEnd(int rows) { return std::min(rows, static_cast<int>(kRowCoefficients.size())); }

std::vector<std::int32_t> CorrectedRow(int row, long double openLoop, double measured,
                                       std::span<const std::int32_t> cells, std::span<const std::int32_t> row4)
{
    const int coefficient = row >= 0 && row < static_cast<int>(kRowCoefficients.size()) ? kRowCoefficients[static_cast<std::size_t>(row)] : 0;
    const auto delta = static_cast<std::int32_t>(std::trunc((openLoop - measured) * 2 * coefficient * 0.01L));
    std::vector<std::int32_t> out(cells.size());
    for (std::size_t c = 0; c < cells.size(); ++c) {
        std::int32_t v = cells[c] + delta;
        const std::int32_t limit = c < row4.size() ? row4[c] : 0;
        if (static_cast<std::uint32_t>(limit) < static_cast<std::uint32_t>(v))
            v = limit;
        out[c] = v;
    }
    return out;
}

std::int32_t MapKRowCode(int columns) { return 0x154 + columns * 4096; }

Progress DecodeProgress(const std::uint8_t* r)
{
    return {static_cast<std::int8_t>(r[0]), r[1], r[2] * 256 + r[3]};
}

int RefusalString(std::uint8_t flags)
{
    static constexpr std::pair<std::uint8_t, int> kOrder[] = {{0x04, 282}, {0x08, 283}, {0x02, 284},
                                                              {0x10, 285}, {0x20, 287}, {0x40, 286}};
    int shown = 0;
    for (const auto& [flag, text] : kOrder)
        if (flags & flag)
            shown = text;
    return shown;
}

PhaseView PhaseViewFor(int phase, std::int32_t speed)
{
    const int position = phase * 100 / 14;
    if (phase == 0 || phase == 1)
        return {PhaseKind::Text, 274, position};
    if (phase == 2)
        return speed > 1000 ? PhaseView{PhaseKind::SpeedRange, 0, position} : PhaseView{PhaseKind::Text, 277, position};
    if (phase >= 3 && phase <= 9)
        return {PhaseKind::Text, 278, position};
    if (phase == 10)
        return {PhaseKind::Text, 279, position};
    if (phase == 11)
        return {PhaseKind::Text, 280, position};
    if (phase == 12)
        return {PhaseKind::Finished, 280, 95};
    if (phase == 13)
        return {PhaseKind::Warming, 0, 10};
    return {};
}

QString SpeedRangeText(std::int32_t speed, const QString& before, const QString& after)
{
    return before + QLatin1Char(' ') + QString::number(speed - 300) + QLatin1Char('-') + QString::number(speed + 300) +
           QLatin1Char(' ') + after;
}

QString WarmingText(int seconds, const QString& text, const QString& unit)
{
    return text + QStringLiteral(" (") + QString::number(seconds) + QLatin1Char(' ') + unit + QLatin1Char(')');
}

QString MeasuredText(double ms, const QString& prefix, QChar separator)
{
    return QLatin1Char('(') + prefix + TimeText(ms, separator) + QLatin1Char(')');
}

qz::live::TAcquisitionSample SampleOf(const dm::TLiveValues& v)
{
    // The recording holds whole degrees.
    qz::live::TAcquisitionSample s = qz::live::SampleOfLive(v);
    s.ReducerTempC = std::trunc(s.ReducerTempC);
    s.GasTempC = std::trunc(s.GasTempC);
    return s;
}

} // namespace taratura
