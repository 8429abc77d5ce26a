#include "AcquisitionReader.h"

#include <QFile>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <system_error>

namespace qz::live {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Whether a decimal number text (sign, digits with one point, exponent) is
// below 1 in magnitude: the order of its first significant digit plus its
// exponent is negative. Decides whether a number out of a float's range
// underflowed or overflowed.
bool belowOne(std::string_view t)
{
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    long long wholeDigits = 0;
    long long zerosAfterPoint = 0;
    bool point = false;
    bool significant = false;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '.') {
            point = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        if (!significant && c == '0') {
            if (point)
                ++zerosAfterPoint;
            continue;
        }
        significant = true;
        if (!point)
            ++wholeDigits;
    }
    if (!significant)
        return true;
    long long order = wholeDigits > 0 ? wholeDigits - 1 : -(zerosAfterPoint + 1);
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        const char* b = t.data() + i + 1;
        const char* e = t.data() + t.size();
        const bool negative = b != e && *b == '-';
        if (b != e && (*b == '+' || *b == '-'))
            ++b;
        long long exponent = 0;
        if (std::from_chars(b, e, exponent).ec == std::errc::result_out_of_range)
            exponent = std::numeric_limits<long long>::max() / 2;
        order += negative ? -exponent : exponent;
    }
    return order < 0;
}

// A left-to-right scanner over one line, field by field like a scanf format
// of numbers separated by white space.
class Scanner {
public:
    explicit Scanner(QByteArrayView text) : p_(text.data()), end_(text.data() + text.size()) {}

    bool literal(const char* word)
    {
        for (; *word; ++word, ++p_)
            if (p_ == end_ || *p_ != *word)
                return false;
        return true;
    }

    // saturate: accept a number outside the range (for a skipped field).
    // A real is finite: "nan" and "inf" are no numbers of the format, nor is
    // one too large for a float; one too small for it reads as 0.
    template <typename T>
    bool number(T& value, bool saturate = false)
    {
        skipSpace();
        if (p_ != end_ && *p_ == '+' && p_ + 1 != end_ && *(p_ + 1) != '-' && *(p_ + 1) != '+')
            ++p_;
        std::from_chars_result r;
        if constexpr (std::is_floating_point_v<T>)
            r = std::from_chars(p_, end_, value, std::chars_format::general);
        else
            r = std::from_chars(p_, end_, value);
        if (r.ptr == p_)
            return false;
        const std::string_view token(p_, static_cast<std::size_t>(r.ptr - p_));
        p_ = r.ptr;
        if constexpr (std::is_floating_point_v<T>) {
            // An exponent left after the number is one without digits
            // ("1.5E-", "1e", "32e+"): the number is damaged, wherever it
            // stands on the line.
            if (p_ != end_ && (*p_ == 'e' || *p_ == 'E'))
                return false;
            if (r.ec == std::errc::result_out_of_range && belowOne(token)) {
                value = 0;
                return true;
            }
            if (r.ec == std::errc() && !std::isfinite(value))
                return false;
        }
        return r.ec == std::errc() || (saturate && r.ec == std::errc::result_out_of_range);
    }

private:
    void skipSpace()
    {
        while (p_ != end_ && isSpace(*p_))
            ++p_;
    }

    const char* p_;
    const char* end_;
};

enum class LineRead { Line, LastLine, TooLong, Failed };

// One line up to LF (not included), its CRs before the LF dropped. LastLine:
// the file ended without a LF after it. A line longer than kAcqMaxLineLength
// is TooLong, whichever line of the file it is.
LineRead readLine(QIODevice& in, QByteArray& line)
{
    line.clear();
    constexpr qint64 kChunk = 256;
    bool overflow = false;
    bool broken = false;
    for (;;) {
        QByteArray part = in.readLine(kChunk);
        if (part.isEmpty()) {
            if (!in.atEnd())
                return LineRead::Failed;
            break;
        }
        broken = part.endsWith('\n');
        if (broken)
            part.chop(1);
        if (line.size() < kChunk)
            line.append(part);
        else
            overflow = true;
        if (broken)
            break;
    }
    while (line.endsWith('\r'))
        line.chop(1);
    if (overflow || line.size() > kAcqMaxLineLength)
        return LineRead::TooLong;
    return broken ? LineRead::Line : LineRead::LastLine;
}

} // namespace

bool ParseAcquisitionHeader(QByteArrayView line, int& bankCount)
{
    Scanner s(line);
    long long version = 0;
    int banks = 0;
    if (!s.literal("Ver.") || !s.number(version, true) || !s.number(banks))
        return false;
    bankCount = banks;
    return true;
}

bool ParseAcquisitionLine(QByteArrayView line, int bankCount, TAcquisitionRow& row)
{
    if (bankCount != 1 && bankCount != 2)
        return false;
    TAcquisitionRow r;
    Scanner s(line);
    if (!s.number(r.TimeMs) || !s.number(r.Rpm))
        return false;
    const int reals = bankCount == 2 ? 10 : 7;
    for (int i = 0; i < reals; ++i)
        if (!s.number(r.Values[i]))
            return false;
    row = r;
    return true;
}

TAcquisitionReadResult ReadAcquisition(QIODevice& in)
{
    std::vector<TAcquisitionRow> rows;
    TAcquisitionReadResult result = ReadAcquisition(in, [&rows](const TAcquisitionRow& row, int, qint64) { rows.push_back(row); });
    result.Rows = std::move(rows);
    return result;
}

TAcquisitionReadResult ReadAcquisition(QIODevice& in, const TAcqRowSink& onRow)
{
    TAcquisitionReadResult result;
    QByteArray line;
    auto fail = [&](TAcqReadError error, int lineNo) {
        result.Error = error;
        result.Line = lineNo;
        return result;
    };

    LineRead r = readLine(in, line);
    if (r == LineRead::Failed)
        return fail(TAcqReadError::ReadFailed, 1);
    if (r == LineRead::TooLong)
        return fail(TAcqReadError::LineTooLong, 1);
    if (!ParseAcquisitionHeader(line, result.BankCount))
        return fail(TAcqReadError::BadHeader, 1);
    if (r == LineRead::LastLine)
        return result;

    r = readLine(in, line); // the column line
    if (r == LineRead::Failed)
        return fail(TAcqReadError::ReadFailed, 2);
    if (r == LineRead::TooLong)
        return fail(TAcqReadError::LineTooLong, 2);

    // Blank lines may end the file (an editor's final line break); one that
    // data lines follow is a bad line.
    int firstBlank = 0;
    for (int lineNo = 3; r == LineRead::Line; ++lineNo) {
        r = readLine(in, line);
        if (r == LineRead::Failed)
            return fail(TAcqReadError::ReadFailed, lineNo);
        if (r == LineRead::TooLong)
            return fail(TAcqReadError::LineTooLong, lineNo);
        if (line.trimmed().isEmpty()) {
            if (firstBlank == 0)
                firstBlank = lineNo;
            continue;
        }
        if (firstBlank != 0)
            return fail(TAcqReadError::BadLine, firstBlank);
        TAcquisitionRow row;
        if (!ParseAcquisitionLine(line, result.BankCount, row))
            return fail(TAcqReadError::BadLine, lineNo);
        onRow(row, result.BankCount, in.pos());
    }
    return result;
}

TAcquisitionReadResult ReadAcquisitionFile(const QString& fileName)
{
    std::vector<TAcquisitionRow> rows;
    TAcquisitionReadResult result =
        ReadAcquisitionFile(fileName, [&rows](const TAcquisitionRow& row, int, qint64) { rows.push_back(row); });
    result.Rows = std::move(rows);
    return result;
}

TAcquisitionReadResult ReadAcquisitionFile(const QString& fileName, const TAcqRowSink& onRow)
{
    TAcquisitionReadResult result;
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir()) {
        result.Error = TAcqReadError::FileNotFound;
        return result;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        result.Error = TAcqReadError::CannotOpen;
        return result;
    }
    return ReadAcquisition(file, onRow);
}

} // namespace qz::live
