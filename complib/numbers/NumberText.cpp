#include "NumberText.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace complib {

QChar DecimalSeparator()
{
    const QString s = QLocale().decimalPoint();
    return s.isEmpty() ? QChar('.') : s.at(0);
}

QChar ThousandSeparator()
{
    const QString s = QLocale().groupSeparator();
    return s.isEmpty() ? QChar() : s.at(0);
}

QString FormatGeneral(double v, QChar sep)
{
    if (std::isnan(v))
        return QStringLiteral("NAN");
    if (std::isinf(v))
        return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (v == 0)
        return QStringLiteral("0");

    // d.dddddddddddddde+xx: 15 significant digits, locale-independent.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    const std::string sci(buf, res.ptr);
    std::size_t pos = 0;
    const bool negative = sci[0] == '-';
    if (negative)
        pos = 1;
    std::string digits;
    for (; pos < sci.size() && sci[pos] != 'e'; ++pos)
        if (sci[pos] != '.')
            digits += sci[pos];
    const int exponent = std::atoi(sci.c_str() + pos + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int n = static_cast<int>(digits.size());

    QString out;
    if (negative)
        out += QLatin1Char('-');
    if (exponent >= -5 && exponent < 15) {
        if (exponent >= 0) {
            for (int i = 0; i <= exponent; ++i)
                out += QLatin1Char(i < n ? digits[i] : '0');
            if (n > exponent + 1) {
                out += sep;
                for (int i = exponent + 1; i < n; ++i)
                    out += QLatin1Char(digits[i]);
            }
        } else {
            out += QLatin1Char('0');
            out += sep;
            for (int i = 0; i < -exponent - 1; ++i)
                out += QLatin1Char('0');
            out += QString::fromLatin1(digits.data(), n);
        }
    } else {
        out += QLatin1Char(digits[0]);
        if (n > 1) {
            out += sep;
            out += QString::fromLatin1(digits.data() + 1, n - 1);
        }
        out += QLatin1Char('E');
        out += QString::number(exponent);
    }
    return out;
}

QString FormatGeneral(double v)
{
    return FormatGeneral(v, DecimalSeparator());
}

QString FormatFixed(double v, int significant, int decimals, QChar sep)
{
    if (std::isnan(v))
        return QStringLiteral("NAN");
    if (std::isinf(v))
        return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    significant = std::clamp(significant, 1, 18);
    decimals = std::clamp(decimals, 0, 18);

    // The exact decimal expansion of the double (767 digits hold any of
    // them), so that the one rounding below sees the true value.
    std::string digits;
    int exponent = 0; // of the first digit
    bool negative = false;
    if (v != 0) {
        char buf[800];
        const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 767);
        const std::string sci(buf, res.ptr);
        std::size_t pos = 0;
        negative = sci[0] == '-';
        if (negative)
            pos = 1;
        for (; pos < sci.size() && sci[pos] != 'e'; ++pos)
            if (sci[pos] != '.')
                digits += sci[pos];
        exponent = std::atoi(sci.c_str() + pos + 1);
    }

    // Digits kept: the significant ones, or fewer when the decimals end
    // first. Digit i stands for 10^(exponent - i).
    const int keep = std::min(significant, exponent + 1 + decimals);
    std::string kept; // the rounded digits, first one for 10^top
    int top = exponent;
    if (keep >= 0 && !digits.empty()) {
        kept = digits.substr(0, static_cast<std::size_t>(keep));
        const bool up = static_cast<std::size_t>(keep) < digits.size() && digits[static_cast<std::size_t>(keep)] >= '5';
        if (up) {
            int i = keep - 1;
            for (; i >= 0 && kept[static_cast<std::size_t>(i)] == '9'; --i)
                kept[static_cast<std::size_t>(i)] = '0';
            if (i >= 0) {
                ++kept[static_cast<std::size_t>(i)];
            } else {
                kept.insert(kept.begin(), '1');
                ++top;
            }
        }
    }
    const bool zero = kept.find_first_not_of('0') == std::string::npos;
    const auto digitAt = [&](int power) {
        const int i = top - power;
        return i >= 0 && i < static_cast<int>(kept.size()) ? kept[static_cast<std::size_t>(i)] : '0';
    };

    QString out;
    if (negative && !zero)
        out += QLatin1Char('-');
    for (int p = std::max(top, 0); p >= 0; --p)
        out += QLatin1Char(zero ? '0' : digitAt(p));
    if (decimals > 0) {
        out += sep;
        for (int p = -1; p >= -decimals; --p)
            out += QLatin1Char(zero ? '0' : digitAt(p));
    }
    return out;
}

QString FormatGroupedFixed(double v, int integerDigits, int decimals, QChar decimalSeparator,
                           QChar thousandSeparator)
{
    QString text = FormatFixed(v, 18, decimals, decimalSeparator);
    if (!std::isfinite(v))
        return text;
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        text.remove(0, 1);
    qsizetype point = text.indexOf(decimalSeparator);
    if (decimals == 0 || point < 0)
        point = text.size();
    QString integer = text.left(point);
    const QString fraction = text.mid(point);
    integerDigits = std::clamp(integerDigits, 1, 40);
    if (integer.size() < integerDigits)
        integer.prepend(QString(integerDigits - integer.size(), QLatin1Char('0')));
    if (!thousandSeparator.isNull())
        for (qsizetype at = integer.size() - 3; at > 0; at -= 3)
            integer.insert(at, thousandSeparator);
    return (negative ? QStringLiteral("-") : QString()) + integer + fraction;
}

QString FormatInteger(int n)
{
    return QString::number(n);
}

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

bool ParseNumber(const QString& text, QChar sep, double* out)
{
    const QString t = text.trimmed();
    std::string plain; // the same number with '.' as separator, for from_chars
    int i = 0;
    const int len = static_cast<int>(t.size());
    if (i < len && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        if (t[i] == QLatin1Char('-'))
            plain += '-';
        ++i;
    }
    int mantissaDigits = 0;
    for (; i < len && isDigit(t[i]); ++i, ++mantissaDigits)
        plain += static_cast<char>(t[i].unicode());
    if (i < len && t[i] == sep) {
        plain += '.';
        for (++i; i < len && isDigit(t[i]); ++i, ++mantissaDigits)
            plain += static_cast<char>(t[i].unicode());
    }
    if (mantissaDigits == 0)
        return false;
    if (i < len && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        plain += 'e';
        ++i;
        if (i < len && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
            plain += static_cast<char>(t[i++].unicode());
        int expDigits = 0;
        for (; i < len && isDigit(t[i]); ++i, ++expDigits)
            plain += static_cast<char>(t[i].unicode());
        if (expDigits == 0)
            return false;
    }
    if (i != len)
        return false;

    double v = 0;
    const auto res = std::from_chars(plain.data(), plain.data() + plain.size(), v);
    if (res.ec != std::errc() || res.ptr != plain.data() + plain.size() || !std::isfinite(v))
        return false;
    *out = v;
    return true;
}

bool ParseNumber(const QString& text, double* out)
{
    return ParseNumber(text, DecimalSeparator(), out);
}

bool ParseInteger(const QString& text, int* out)
{
    const QString t = text.trimmed();
    std::string plain;
    int i = 0;
    const int len = static_cast<int>(t.size());
    if (i < len && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        if (t[i] == QLatin1Char('-'))
            plain += '-';
        ++i;
    }
    if (i == len)
        return false;
    for (; i < len; ++i) {
        if (!isDigit(t[i]))
            return false;
        plain += static_cast<char>(t[i].unicode());
    }
    int v = 0;
    const auto res = std::from_chars(plain.data(), plain.data() + plain.size(), v);
    if (res.ec != std::errc() || res.ptr != plain.data() + plain.size())
        return false;
    *out = v;
    return true;
}

} // namespace complib
