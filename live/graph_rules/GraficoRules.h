#pragma once
// The real-time graph's rules, without a window: what each of the eleven
// curves plots from a live tick and from a line of an acquisition file, which
// curves are shown, and how the time axis follows the data.
#include "datamodule/core/LiveFrame.h"
#include "live/acquisition/AcquisitionFormat.h"
#include "live/acquisition/AcquisitionReader.h"

#include <array>
#include <cstdint>
#include <optional>

namespace grafico {

inline constexpr int kSeriesCount = 11;
inline constexpr int kMonoplugEcuType = 79;
inline constexpr double kInitialTimeWindow = 30.0;

// When a curve is shown at creation, at RUN and after a load.
enum class ShownRule {
    Always,
    NotMonoplug,  // hidden for the monoplug ECU type
    SecondProbe,  // shown only when the ECU has a second lambda probe
};

struct SeriesDef {
    const char* Name;      // the component's name
    int Title;             // string number of the title
    std::uint32_t Colour;  // 0xRRGGBB
    ShownRule Shown;
};

// In chart order: index = position in the chart's series list.
extern const std::array<SeriesDef, kSeriesCount> kSeries;

bool SeriesShown(int index, int ecuType, bool secondProbe);

// The y value of each curve.
using CurveValues = std::array<double, kSeriesCount>;
CurveValues CurvesOfSample(const qz::live::TAcquisitionSample& sample);
CurveValues CurvesOfRow(const qz::live::TAcquisitionRow& row);

// Seconds since the start tick; the tick count wraps as unsigned 32-bit.
double ElapsedSeconds(std::uint32_t nowTick, std::uint32_t startTick);

struct AxisRange {
    double Min = 0;
    double Max = 0;
    bool operator==(const AxisRange&) const = default;
};

// The time axis after a point at t: once t passes the window the axis ends
// at t and spans the window; until then it stays where it was.
AxisRange TimeAxisAfterTick(AxisRange current, double t, double window);
// A new window width keeps the axis minimum.
AxisRange TimeAxisForWindow(AxisRange current, double window);

// The x and y extents of a curve's points.
struct Extent {
    bool Empty = true;
    double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
    void Add(double x, double y);
};

// An automatic axis: the span of the shown curves' points (x for the time
// axis, y for the value axis), one unit wide around a single value; none
// when no shown curve has points.
std::optional<AxisRange> AutomaticRange(const std::array<Extent, kSeriesCount>& extents,
                                        const std::array<bool, kSeriesCount>& shown, bool timeAxis);

// How many curves a row of a file with bankCount banks fills: the
// second-bank curves only from a two-bank file.
int CurvesOfBanks(int bankCount);

// The step between the time labels: the smallest of 1, 2 and 5 times a power
// of ten that puts at least minSpacing pixels between labels on an axis of
// `pixels` pixels showing `span` seconds.
inline constexpr int kTimeLabelSpacing = 80;
double TimeLabelStep(double span, int pixels, int minSpacing = kTimeLabelSpacing);

// The string number of the box a reading failure shows; 0 without one.
int ReadErrorString(qz::live::TAcqReadError error);

} // namespace grafico
