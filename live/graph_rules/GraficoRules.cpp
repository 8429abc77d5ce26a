#include "GraficoRules.h"

#include <algorithm>
#include <cmath>

namespace grafico {

using qz::live::TAcqReadError;
using qz::live::TAcquisitionRow;
using qz::live::TAcquisitionSample;

const std::array<SeriesDef, kSeriesCount> kSeries = {{
    {"Series1", 479, 0x000000, ShownRule::Always},
    {"Series5", 480, 0x8080ff, ShownRule::NotMonoplug},
    {"Series6", 481, 0x80ff00, ShownRule::Always},
    {"Series7", 482, 0xff00ff, ShownRule::Always},
    {"Series9", 483, 0x00ffff, ShownRule::Always},
    {"Series3", 484, 0xffff00, ShownRule::NotMonoplug},
    {"Series11", 485, 0xe0601c, ShownRule::NotMonoplug},
    {"Series2", 486, 0x0080ff, ShownRule::Always},
    {"Series12", 487, 0x808080, ShownRule::SecondProbe},
    {"Series13", 488, 0x800080, ShownRule::SecondProbe},
    {"Series14", 489, 0x008080, ShownRule::SecondProbe},
}};

bool SeriesShown(int index, int ecuType, bool secondProbe)
{
    switch (kSeries.at(static_cast<std::size_t>(index)).Shown) {
    case ShownRule::Always:
        return true;
    case ShownRule::NotMonoplug:
        return ecuType != kMonoplugEcuType;
    case ShownRule::SecondProbe:
        return secondProbe;
    }
    return true;
}

CurveValues CurvesOfSample(const TAcquisitionSample& s)
{
    return {s.Rpm * 0.001,
            s.Lambda1Volts,
            s.GasMs1,
            s.PetrolMs1,
            s.GasPressureHundredths * 0.01,
            s.MapPressureHundredths * 0.01,
            s.ReducerTempC * 0.1,
            s.GasTempC * 0.1,
            s.Lambda2Volts,
            s.GasMs2,
            s.PetrolMs2};
}

CurveValues CurvesOfRow(const TAcquisitionRow& r)
{
    // Values are in column order: LAMBDA, GAS, BENZ, PRESS, MAP, T.RID,
    // T.GAS, LAMBDA2, GAS2, BENZ2.
    CurveValues c{};
    c[0] = r.Rpm * 0.001;
    for (int i = 0; i < 10; ++i)
        c[static_cast<std::size_t>(i + 1)] = r.Values[static_cast<std::size_t>(i)];
    c[6] *= 0.1;
    c[7] *= 0.1;
    return c;
}

double ElapsedSeconds(std::uint32_t nowTick, std::uint32_t startTick)
{
    const std::uint32_t elapsed = nowTick - startTick;
    return elapsed * 0.001;
}

AxisRange TimeAxisAfterTick(AxisRange current, double t, double window)
{
    if (t > window)
        return {t - window, t};
    return current;
}

AxisRange TimeAxisForWindow(AxisRange current, double window) { return {current.Min, current.Min + window}; }

void Extent::Add(double x, double y)
{
    if (Empty) {
        MinX = MaxX = x;
        MinY = MaxY = y;
        Empty = false;
        return;
    }
    MinX = std::min(MinX, x);
    MaxX = std::max(MaxX, x);
    MinY = std::min(MinY, y);
    MaxY = std::max(MaxY, y);
}

std::optional<AxisRange> AutomaticRange(const std::array<Extent, kSeriesCount>& extents,
                                        const std::array<bool, kSeriesCount>& shown, bool timeAxis)
{
    std::optional<AxisRange> range;
    for (std::size_t i = 0; i < extents.size(); ++i) {
        const Extent& e = extents[i];
        if (!shown[i] || e.Empty)
            continue;
        const AxisRange r = timeAxis ? AxisRange{e.MinX, e.MaxX} : AxisRange{e.MinY, e.MaxY};
        range = range ? AxisRange{std::min(range->Min, r.Min), std::max(range->Max, r.Max)} : r;
    }
    if (range && range->Max <= range->Min)
        range = AxisRange{range->Min - 0.5, range->Max + 0.5};
    return range;
}

int CurvesOfBanks(int bankCount) { return bankCount == 2 ? kSeriesCount : 8; }

double TimeLabelStep(double span, int pixels, int minSpacing)
{
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    const double least = span * std::max(1, minSpacing) / std::max(1, pixels);
    double power = std::pow(10.0, std::floor(std::log10(least)));
    for (;;) {
        for (const double m : {1.0, 2.0, 5.0})
            if (m * power >= least * (1 - 1e-9))
                return m * power;
        power *= 10;
    }
}

int ReadErrorString(TAcqReadError error)
{
    switch (error) {
    case TAcqReadError::None:
        return 0;
    case TAcqReadError::FileNotFound:
    case TAcqReadError::CannotOpen:
        return qz::live::kAcqStringBadPath;
    case TAcqReadError::BadHeader:
    case TAcqReadError::BadLine:
    case TAcqReadError::LineTooLong:
    case TAcqReadError::ReadFailed:
        return qz::live::kAcqStringBadFormat;
    }
    return qz::live::kAcqStringBadFormat;
}

} // namespace grafico
