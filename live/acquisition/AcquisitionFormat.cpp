#include "AcquisitionFormat.h"

#include "resources/strings_format/StringTable.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace qz::live {

namespace {

constexpr char kColumns1[] = "TEMPO\tGIRI\tLAMBDA\tGAS\tBENZ\tPRESS\tMAP\tT.RID\tT.GAS";
constexpr char kColumns2[] = "\tLAMBDA2\tGAS2\tBENZ2";

template <typename T>
void appendInteger(QByteArray& out, T value)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr - buf);
}

// Truncation toward zero into an int, saturating at the int range (a sensor
// reading never comes near it; a NaN counts as 0).
std::int32_t truncToInt(double value)
{
    if (!(value == value))
        return 0;
    const double t = std::trunc(value);
    if (t >= 2147483647.0)
        return 2147483647;
    if (t <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<std::int32_t>(t);
}

} // namespace

QByteArray AcquisitionStamp(const QDateTime& local, const QLocale& locale)
{
    const QString text = locale.toString(local.date(), QLocale::LongFormat) + QLatin1Char(' ')
                         + locale.toString(local.time(), QLocale::LongFormat);
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text)
        out.append(qz::strings::UnicodeToCp1252(c.unicode()));
    return out;
}

QByteArray CurrentAcquisitionStamp()
{
    return AcquisitionStamp(QDateTime::currentDateTime(), QLocale::system());
}

QByteArray AcquisitionReal(double value)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
    if (r.ec != std::errc())
        return QByteArray("0");
    return QByteArray(buf, r.ptr - buf);
}

double AcquisitionLambda(double volts)
{
    return std::trunc(volts * 100) * 0.01;
}

double AcquisitionPressure(std::int32_t hundredths)
{
    return hundredths == 0 ? 0.0 : hundredths * 0.01;
}

QByteArray AcquisitionHeader(int bankCount, const QByteArray& stamp)
{
    const bool two = bankCount == 2;
    QByteArray out("Ver. 1 ");
    out.append(two ? '2' : '1');
    out.append(" real time data, ");
    out.append(stamp);
    out.append("\r\n");
    out.append(kColumns1);
    if (two)
        out.append(kColumns2);
    return out;
}

QByteArray AcquisitionDataLine(std::uint32_t elapsedMs, const TAcquisitionSample& s, int bankCount)
{
    QByteArray out;
    out.reserve(120);
    out.append("\r\n");
    appendInteger(out, elapsedMs);
    auto integer = [&out](auto value) {
        out.append('\t');
        appendInteger(out, value);
    };
    auto real = [&out](double value) {
        out.append('\t');
        out.append(AcquisitionReal(value));
    };
    integer(s.Rpm);
    real(AcquisitionLambda(s.Lambda1Volts));
    real(s.GasMs1);
    real(s.PetrolMs1);
    real(AcquisitionPressure(s.GasPressureHundredths));
    real(AcquisitionPressure(s.MapPressureHundredths));
    integer(truncToInt(s.ReducerTempC));
    integer(truncToInt(s.GasTempC));
    if (bankCount == 2) {
        real(AcquisitionLambda(s.Lambda2Volts));
        real(s.GasMs2);
        real(s.PetrolMs2);
    }
    return out;
}

TAcquisitionSample SampleOfLive(const dm::TLiveValues& v)
{
    TAcquisitionSample s;
    s.Rpm = static_cast<std::int32_t>(v.Rpm);
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

} // namespace qz::live
