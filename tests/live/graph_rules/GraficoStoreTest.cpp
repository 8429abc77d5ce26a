// The graph's sample store: what it keeps per curve and what a redraw takes
// from it for a time span.
#include "live/graph_rules/GraficoStore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using grafico::CurveValues;
using grafico::TSampleStore;

CurveValues all(double v)
{
    CurveValues c{};
    c.fill(v);
    return c;
}

// A store of one curve's values at 0, 1, 2, ... seconds.
TSampleStore ramp(const std::vector<double>& values)
{
    TSampleStore s;
    for (std::size_t i = 0; i < values.size(); ++i)
        s.Append(static_cast<double>(i), all(values[i]), grafico::kSeriesCount);
    return s;
}

std::vector<QPointF> decimate(const TSampleStore& s, double x0, double x1, int columns, int curve = 0)
{
    std::vector<QPointF> out{{-1, -1}};  // replaced, not appended to
    s.Decimate(curve, x0, x1, columns, out);
    return out;
}

TEST(GraficoStore, KeepsEveryPointPerCurveWithTheSecondBankOnlyWhenGiven)
{
    TSampleStore s;
    s.Append(0.02, all(1.5), 8);
    s.Append(0.04, all(2.5), grafico::kSeriesCount);
    CurveValues odd = all(3);
    odd[2] = std::numeric_limits<double>::quiet_NaN();
    odd[3] = std::numeric_limits<double>::infinity();
    s.Append(0.06, odd, grafico::kSeriesCount);

    EXPECT_EQ(s.Rows(), 3u);
    EXPECT_EQ(s.Count(0), 3u);
    EXPECT_EQ(s.Count(8), 2u);   // the one-bank row gave it none
    EXPECT_EQ(s.Count(2), 2u);   // not-a-number and infinities are no points
    EXPECT_EQ(s.Count(3), 2u);
    EXPECT_EQ(s.Point(8, 0), QPointF(0.04, 2.5));
    EXPECT_EQ(s.Point(0, 2), QPointF(0.06, 3.0));
    EXPECT_EQ(s.Point(2, 1), QPointF(0.04, 2.5));
    const grafico::Extent& e = s.Extents()[8];
    EXPECT_FALSE(e.Empty);
    EXPECT_DOUBLE_EQ(e.MinX, 0.04);
    EXPECT_DOUBLE_EQ(e.MaxX, 0.06);
    EXPECT_DOUBLE_EQ(e.MaxY, 3.0);
    EXPECT_TRUE(s.Extents()[2].MaxY == 2.5);

    // About 52 bytes a row: a time and eleven 4-byte values.
    s.Clear();
    s.Reserve(1000);
    EXPECT_EQ(s.MemoryBytes(), 1000u * (8 + 4 * grafico::kSeriesCount));
    EXPECT_EQ(s.Rows(), 0u);
    EXPECT_TRUE(s.Extents()[0].Empty);
}

TEST(GraficoStore, FewPointsAreDrawnAsTheyAreWithOneNeighbourOutsideEachEdge)
{
    const TSampleStore s = ramp({5, 6, 7, 8, 9, 10, 11, 12});
    // Span 2..5 over 100 columns: the points 2..5 and the neighbours 1 and 6.
    EXPECT_EQ(decimate(s, 2, 5, 100),
              (std::vector<QPointF>{{1, 6}, {2, 7}, {3, 8}, {4, 9}, {5, 10}, {6, 11}}));
    // Between two points: only the two neighbours.
    EXPECT_EQ(decimate(s, 2.2, 2.8, 100), (std::vector<QPointF>{{2, 7}, {3, 8}}));
    // Past the end: the last point; before the start: the first.
    EXPECT_EQ(decimate(s, 20, 30, 100), (std::vector<QPointF>{{7, 12}}));
    EXPECT_EQ(decimate(s, -9, -1, 100), (std::vector<QPointF>{{0, 5}}));
    // Nothing to draw: no columns, an empty span, an empty curve.
    EXPECT_TRUE(decimate(s, 0, 5, 0).empty());
    EXPECT_TRUE(decimate(s, 5, 5, 100).empty());
    TSampleStore oneBank;
    oneBank.Append(0, all(1), 8);
    EXPECT_TRUE(decimate(oneBank, 0, 1, 100, 9).empty());
}

TEST(GraficoStore, ManyPointsGiveTheLowestAndHighestOfEachColumnSoNoSpikeIsLost)
{
    std::vector<double> v(10000, 1.0);
    v[4321] = 50;   // one spike up
    v[7777] = -20;  // one spike down
    for (std::size_t i = 0; i < v.size(); ++i)
        if (i % 2)
            v[i] += 0.5;  // a fast ripple
    const TSampleStore s = ramp(v);
    const std::vector<QPointF> out = decimate(s, 0, 9999, 100);
    // Two points a column at most.
    EXPECT_LE(out.size(), 200u);
    EXPECT_GE(out.size(), 190u);
    auto has = [&](QPointF p) { return std::find(out.begin(), out.end(), p) != out.end(); };
    EXPECT_TRUE(has({4321, 50.5}));
    EXPECT_TRUE(has({7777, -19.5}));
    // In time order, and every column keeps its ripple's height.
    for (std::size_t i = 1; i < out.size(); ++i)
        EXPECT_LT(out[i - 1].x(), out[i].x());
    double low = 1e9, high = -1e9;
    for (const QPointF& p : out) {
        low = std::min(low, p.y());
        high = std::max(high, p.y());
    }
    EXPECT_EQ(low, -19.5);
    EXPECT_EQ(high, 50.5);
}

TEST(GraficoStore, GapsAndTimesOutOfOrder)
{
    // A curve with rows that carry no point: the neighbours skip them.
    TSampleStore gaps;
    for (int i = 0; i < 10; ++i)
        gaps.Append(i, all(i), (i >= 3 && i <= 6) ? 8 : grafico::kSeriesCount);
    EXPECT_EQ(decimate(gaps, 4, 5, 100, 9), (std::vector<QPointF>{{2, 2}, {7, 7}}));

    // Times that go back (a file may): every row in its order, each run in
    // one column cut to its lowest and highest.
    TSampleStore back;
    const double times[] = {0, 1, 2, 1.5, 1.6, 1.7, 3};
    const double values[] = {1, 2, 3, 9, 4, 8, 5};
    for (int i = 0; i < 7; ++i)
        back.Append(times[i], all(values[i]), grafico::kSeriesCount);
    EXPECT_FALSE(back.TimesAscending());
    EXPECT_TRUE(ramp({1, 2}).TimesAscending());
    // Three columns over 0..3: 0 | 1 | 2 | 1.5 1.6 1.7 (one run: 9 and 4) | 3
    EXPECT_EQ(decimate(back, 0, 3, 3),
              (std::vector<QPointF>{{0, 1}, {1, 2}, {2, 3}, {1.5, 9}, {1.6, 4}, {3, 5}}));
}

} // namespace
