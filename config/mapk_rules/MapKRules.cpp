#include "MapKRules.h"

#include "complib/numbers/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace mapk {

namespace {

constexpr long long kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr long long kMax32 = std::numeric_limits<std::int32_t>::max();

std::int32_t saturate(long long v)
{
    return static_cast<std::int32_t>(v < kMin32 ? kMin32 : (v > kMax32 ? kMax32 : v));
}

QString fromChars(const char* begin, const char* end) { return QString::fromLatin1(begin, end - begin); }

} // namespace

GridShape ShapeOf(View view, int numeroRighe, int numeroColonne)
{
    if (view == View::Reduced)
        return {4, 4, 0, 0};
    return {numeroRighe + 1, numeroColonne + 1, 1, 1};
}

std::optional<Cell> DataCellOf(View view, Cell grid)
{
    if (view == View::Reduced)
        return grid;
    if (grid.row < 1 || grid.col < 1)
        return std::nullopt;
    return Cell{grid.row - 1, grid.col - 1};
}

Cell GridCellOf(View view, Cell data)
{
    if (view == View::Reduced)
        return data;
    return {data.row + 1, data.col + 1};
}

QString FormatInt(long long value)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return fromChars(buf, r.ptr);
}

QString FormatCellValue(View view, std::int32_t value)
{
    if (view == View::Extended)
        return FormatInt(static_cast<std::uint32_t>(value));
    return FormatInt(value);
}

QString FormatRpmAxis(std::int32_t rpm) { return FormatInt(rpm / 10 * 10); }

QString FormatTimeAxis(long double ms, QChar decimalSeparator) { return complib::FormatFixed(static_cast<double>(ms), 3, 2, decimalSeparator); }

std::optional<double> ParseReal(QStringView text, QChar decimalSeparator)
{
    if (text.isEmpty() || text.size() > 40)
        return std::nullopt;
    std::string ascii;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == decimalSeparator)
            ascii += '.';
        else if (ch == QLatin1Char('-') || ch == QLatin1Char('+') || (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')))
            ascii += static_cast<char>(ch.unicode());
        else
            return std::nullopt;
    }
    const char* begin = ascii.data();
    const char* end = begin + ascii.size();
    if (*begin == '+')
        ++begin;
    double value = 0;
    const auto r = std::from_chars(begin, end, value, std::chars_format::fixed);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::int32_t TruncSaturated(long double x)
{
    if (std::isnan(x))
        return 0;
    if (x <= static_cast<long double>(kMin32))
        return static_cast<std::int32_t>(kMin32);
    if (x >= static_cast<long double>(kMax32))
        return static_cast<std::int32_t>(kMax32);
    return static_cast<std::int32_t>(std::trunc(x));
}

namespace {

long long percentOf(long long old, long long v)
{
    const long double r = std::trunc(static_cast<long double>(old) * (1 + v * 0.01L));
    return r < -1e15L ? -1000000000000000LL : (r > 1e15L ? 1000000000000000LL : static_cast<long long>(r));
}

long long varied(std::int32_t old, std::int32_t v, int mode, bool absoluteSet)
{
    switch (mode) {
    case ModeSet: return absoluteSet ? std::llabs(static_cast<long long>(v)) : v;
    case ModeAdd: return static_cast<long long>(old) + v;
    case ModePercent: return percentOf(old, v);
    default: return old;
    }
}

} // namespace

std::int32_t MapKValue(long long v) { return static_cast<std::int32_t>(std::clamp<long long>(v, kMapKMin, kMapKMax)); }

std::int32_t ExtendedCellValue(std::int32_t old, std::int32_t v, int mode)
{
    return MapKValue(varied(old, v, mode, true));
}

std::int32_t TargetObdCellValue(std::int32_t old, std::int32_t v, int mode)
{
    return static_cast<std::int32_t>(std::clamp<long long>(varied(old, v, mode, false), kTargetObdMin, kTargetObdMax));
}

std::int32_t ReducedZoneShift(std::int32_t old, std::int32_t v, int mode)
{
    long long d = 0;
    switch (mode) {
    case ModeSet: d = static_cast<long long>(v) - old; break;
    case ModeAdd: d = v; break;
    case ModePercent: d = TruncSaturated(static_cast<long double>(static_cast<long long>(old) * v) * 0.01L); break;
    default: return 0;
    }
    if (old + d < -50)
        d = -50 - static_cast<long long>(old);
    if (old + d > 50)
        d = 50 - static_cast<long long>(old);
    return saturate(d);
}

int FirstNotIncreasing(const std::vector<double>& points)
{
    for (std::size_t k = 1; k < points.size(); ++k)
        if (!(points[k - 1] < points[k]))
            return static_cast<int>(k - 1);
    return -1;
}

QString FormatBlock(const std::vector<std::vector<QString>>& rows)
{
    QString out;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r > 0)
            out += QLatin1String("\r\n");
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            if (c > 0)
                out += QLatin1Char('\t');
            out += rows[r][c];
        }
    }
    return out;
}

std::optional<std::int32_t> ParseInt(QStringView text)
{
    if (text.isEmpty() || text.size() > 20)
        return std::nullopt;
    char buf[24] = {};
    int n = 0;
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u > 0x7f)
            return std::nullopt;
        buf[n++] = static_cast<char>(u);
    }
    const char* begin = buf;
    const char* end = buf + n;
    bool negative = false;
    if (*begin == '+' || *begin == '-') {
        negative = *begin == '-';
        ++begin;
    }
    if (begin == end || *begin < '0' || *begin > '9')
        return std::nullopt;
    long long magnitude = 0;
    const auto r = std::from_chars(begin, end, magnitude);
    if (r.ec != std::errc() || r.ptr != end)
        return std::nullopt;
    const long long value = negative ? -magnitude : magnitude;
    if (value < kMin32 || value > kMax32)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

namespace {

std::vector<QStringView> splitLines(QStringView text)
{
    std::vector<QStringView> lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar ch = text[i];
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) {
            lines.push_back(text.mid(start, i - start));
            if (ch == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.push_back(text.mid(start));
    return lines;
}

} // namespace

std::optional<PasteBlock> ParseBlock(QStringView text)
{
    const auto lines = splitLines(text);
    if (lines.empty())
        return std::nullopt;
    PasteBlock block;
    block.rows = static_cast<int>(lines.size());
    block.cols = 1 + static_cast<int>(lines.front().count(QLatin1Char('\t')));
    for (int j = 0; j < block.rows; ++j) {
        QStringView rest = lines[static_cast<std::size_t>(j)];
        std::vector<std::optional<std::int32_t>> row(static_cast<std::size_t>(block.cols));
        for (int k = 0; k < block.cols; ++k) {
            QStringView cellText;
            if (k < block.cols - 1) {
                const qsizetype tab = rest.indexOf(QLatin1Char('\t'));
                if (tab >= 0) {
                    cellText = rest.left(tab);
                    rest = rest.mid(tab + 1);
                }
            } else {
                cellText = rest;
            }
            row[static_cast<std::size_t>(k)] = ParseInt(cellText);
        }
        block.cells.push_back(std::move(row));
    }
    return block;
}

std::optional<QChar> FilterDataKey(QChar key, const QString& text, int selStart, const QString& selected, bool real,
                                   QChar decimalSeparator, QChar thousandsSeparator)
{
    if (key.isDigit() && key.unicode() < 128)
        return key;
    if (key == QChar(8))
        return key;
    if (key == QLatin1Char('-')) {
        if (selStart == 0 && (!text.contains(key) || selected.contains(key)))
            return key;
        return std::nullopt;
    }
    if (key == thousandsSeparator)
        key = decimalSeparator;
    if (key == decimalSeparator) {
        if (real && (!text.contains(key) || selected.contains(key)))
            return key;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace mapk
