#pragma once
// The real-time graph's samples: every point of every curve, kept while the
// window is open however long the recording runs, in one time column and a
// 4-byte value column per curve. The chart never holds them: each redraw
// takes the visible time span from here, cut down to about two points per
// pixel column.
#include "GraficoRules.h"

#include <QPointF>
#include <array>
#include <cstddef>
#include <vector>

namespace grafico {

class TSampleStore {
public:
    void Clear();
    void Reserve(std::size_t rows);

    // One row at t seconds: curves 0 .. curves-1 take their value, the
    // others get no point (a one-bank tick leaves the second-bank curves
    // without one).
    void Append(double t, const CurveValues& values, int curves);

    std::size_t Rows() const { return time_.size(); }
    // How many points the curve holds.
    std::size_t Count(int curve) const { return count_.at(static_cast<std::size_t>(curve)); }
    // The index-th point of the curve (index < Count(curve)), in the order
    // they came. Walks the rows: for tests and the odd look-up, not for
    // drawing.
    QPointF Point(int curve, std::size_t index) const;
    const std::array<Extent, kSeriesCount>& Extents() const { return extent_; }
    // Whether every time is at or after the one before (a live run always
    // is; a file need not be).
    bool TimesAscending() const { return ascending_; }
    // Bytes held for the samples (capacity included).
    std::size_t MemoryBytes() const;

    // The points of the curve to draw for the time span [x0, x1] across
    // `columns` pixel columns, in the order they came: for each column in
    // which more than two points fall, its lowest and its highest point
    // (so that no spike is lost), otherwise the points themselves; and the
    // last point before the span and the first after it, so that the line
    // runs out to the edges. Replaces out.
    void Decimate(int curve, double x0, double x1, int columns, std::vector<QPointF>& out) const;

private:
    std::vector<double> time_;
    std::array<std::vector<float>, kSeriesCount> value_;
    std::array<std::size_t, kSeriesCount> count_{};
    std::array<Extent, kSeriesCount> extent_{};
    bool ascending_ = true;
};

} // namespace grafico
