#include "GraficoStore.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace grafico {

namespace {

// A value column holds this where a row has no point for the curve.
constexpr float kNoPoint = std::numeric_limits<float>::quiet_NaN();

bool hasPoint(float v) { return std::isfinite(v); }

} // namespace

void TSampleStore::Clear()
{
    time_.clear();
    time_.shrink_to_fit();
    for (auto& column : value_) {
        column.clear();
        column.shrink_to_fit();
    }
    count_.fill(0);
    extent_.fill({});
    ascending_ = true;
}

void TSampleStore::Reserve(std::size_t rows)
{
    time_.reserve(rows);
    for (auto& column : value_)
        column.reserve(rows);
}

void TSampleStore::Append(double t, const CurveValues& values, int curves)
{
    if (!time_.empty() && t < time_.back())
        ascending_ = false;
    time_.push_back(t);
    for (std::size_t i = 0; i < value_.size(); ++i) {
        // Values that are not finite (a file may hold them) get no point.
        const float v = static_cast<int>(i) < curves ? static_cast<float>(values[i]) : kNoPoint;
        value_[i].push_back(hasPoint(v) ? v : kNoPoint);
        if (hasPoint(v)) {
            ++count_[i];
            extent_[i].Add(t, v);
        }
    }
}

QPointF TSampleStore::Point(int curve, std::size_t index) const
{
    const auto& column = value_.at(static_cast<std::size_t>(curve));
    if (count_[static_cast<std::size_t>(curve)] == column.size())
        return {time_.at(index), column.at(index)};
    for (std::size_t row = 0; row < column.size(); ++row)
        if (hasPoint(column[row]) && index-- == 0)
            return {time_[row], column[row]};
    return {};
}

std::size_t TSampleStore::MemoryBytes() const
{
    std::size_t bytes = time_.capacity() * sizeof(double);
    for (const auto& column : value_)
        bytes += column.capacity() * sizeof(float);
    return bytes;
}

void TSampleStore::Decimate(int curve, double x0, double x1, int columns, std::vector<QPointF>& out) const
{
    out.clear();
    const std::size_t c = static_cast<std::size_t>(curve);
    if (c >= value_.size() || count_[c] == 0 || columns < 1 || !(x1 > x0))
        return;
    const std::vector<float>& v = value_[c];

    // Sorted times: only the rows of the span, and the nearest point on
    // either side. Otherwise every row, in order.
    std::size_t begin = 0, end = time_.size();
    if (ascending_) {
        begin = static_cast<std::size_t>(std::lower_bound(time_.begin(), time_.end(), x0) - time_.begin());
        end = static_cast<std::size_t>(std::upper_bound(time_.begin(), time_.end(), x1) - time_.begin());
        while (begin > 0) {
            --begin;
            if (hasPoint(v[begin]))
                break;
        }
        while (end < time_.size()) {
            if (hasPoint(v[end++]))
                break;
        }
    }

    const double scale = columns / (x1 - x0);
    auto columnOf = [&](double t) -> long long {
        if (t < x0)
            return -1;
        if (t > x1)
            return columns;
        return std::min<long long>(columns - 1, static_cast<long long>((t - x0) * scale));
    };

    // The lowest and the highest point of the run of rows in one column.
    bool open = false;
    long long column = 0;
    std::size_t low = 0, high = 0;
    auto flush = [&] {
        if (!open)
            return;
        const std::size_t first = std::min(low, high), second = std::max(low, high);
        out.emplace_back(time_[first], v[first]);
        if (second != first)
            out.emplace_back(time_[second], v[second]);
    };
    for (std::size_t row = begin; row < end; ++row) {
        const float y = v[row];
        if (!hasPoint(y))
            continue;
        const long long at = columnOf(time_[row]);
        if (!open || at != column) {
            flush();
            open = true;
            column = at;
            low = high = row;
            continue;
        }
        if (y < v[low])
            low = row;
        if (y > v[high])
            high = row;
    }
    flush();
}

} // namespace grafico
