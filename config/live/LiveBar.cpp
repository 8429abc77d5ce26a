#include "LiveBar.h"

#include "complib/numbers/NumberText.h"
#include "datamodule/core/LiveLamps.h"

#include "complib/EcuProtocol.h"

#include <algorithm>
#include <cmath>

namespace cfglive {

namespace {

constexpr double kCorrectorStep = 0.78125; // percent per count
constexpr double kOxygenVoltsPerCount = 5 * 0.001;

QString integerText(long long v) { return QString::number(v); }

// A reading in hundredths of bar, "n.d." when it is 0.
QString pressureText(std::int32_t hundredths, const BarInput& in)
{
    return hundredths == 0 ? in.notAvailable : complib::FormatFixed(hundredths * 0.01, 3, 2, in.separator);
}

QString temperatureText(std::int32_t raw, double celsius, const QString& notAvailable)
{
    return raw == 0 ? notAvailable : integerText(static_cast<long long>(std::trunc(celsius)));
}

ProbeLabel probeLabel(const BarInput& in, int index)
{
    const bool probe1 = index == 0;
    const double volts = probe1 ? in.live.Lambda1 : in.live.Lambda2;
    const bool signal = (in.live.StatusFlags & (probe1 ? dm::LIVE_PROBE1_ACTIVE : dm::LIVE_PROBE2_ACTIVE)) != 0;
    const QString reading = complib::FormatFixed(volts, 3, 1, in.separator);
    const Probe& p = in.probes[static_cast<std::size_t>(index)];
    if (in.probeTypesPresent && !p.enabled)
        return {in.notAvailable, kGrey, true};
    const bool rear = in.probeTypesPresent && p.type == 2;
    const bool rich = dm::ProbeReadsRich(volts, in.reference, in.inverted, rear);
    return {reading, rich ? kGreen : kRed, signal};
}

QString corrector(std::uint8_t count, QChar separator)
{
    return complib::FormatFixed((count - 128) * kCorrectorStep, 8, 1, separator) + QLatin1Char('%');
}

ObdBank bank(std::uint8_t visibility, std::uint8_t flags, std::uint8_t slow, std::uint8_t fast, std::uint8_t oxygen,
             QChar separator)
{
    ObdBank b;
    b.labelColour = (flags & 0x04) ? kRed : kLightGrey;
    b.labelEnabled = (flags & 0x19) == 0;
    b.slow = corrector(slow, separator);
    b.fast = corrector(fast, separator);
    b.oxygen = complib::FormatFixed(oxygen * kOxygenVoltsPerCount, 8, 2, separator) + QLatin1Char('V');
    b.slowVisible = (visibility & 0x04) != 0;
    b.fastVisible = (visibility & 0x02) != 0;
    b.oxygenVisible = (visibility & 0x08) != 0;
    return b;
}

QString percent(std::uint8_t byte) { return integerText(static_cast<std::int8_t>(byte)) + QLatin1Char('%'); }

} // namespace

QString BarTimeText(double ms, QChar separator) { return complib::FormatFixed(ms, 4, 2, separator); }
QString TargetTimeText(double ms, QChar separator) { return complib::FormatFixed(ms, 4, 1, separator); }

BarTexts PresentBar(const BarInput& in)
{
    const dm::TLiveValues& v = in.live;
    BarTexts t;
    t.giri = integerText(v.Rpm);
    t.apMot = BarTimeText(v.GasTime1, in.separator);
    t.apMotBenz = BarTimeText(v.PetrolTime1, in.separator);
    t.livello = integerText(v.Level);
    if (in.twoBanks) {
        t.apMot2 = BarTimeText(v.GasTime2, in.separator);
        t.apMot2Benz = BarTimeText(v.PetrolTime2, in.separator);
    }
    t.lambda = {probeLabel(in, 0), probeLabel(in, 1)};
    t.pressione = pressureText(v.GasPressure, in);
    t.pressioneColl = pressureText(v.MapPressure, in);
    t.pressioneCollGrey = v.MapPressure == 0 && in.connected;
    t.temp = temperatureText(v.GasTempRaw, v.GasTemp, in.notAvailable);
    t.tempMot = temperatureText(v.ReducerTempRaw, v.ReducerTemp, in.notAvailable);
    t.tempMotGrey = v.ReducerTempRaw == 0 && in.connected;
    t.adattaGas = integerText(v.Adaptation) + QLatin1Char('%');
    return t;
}

BarChanges StepBar(BarState& s, std::int32_t flags, std::int32_t low, const LevelInput& level, bool& extraInjectionSeen)
{
    constexpr std::int32_t kFuelBits = dm::LIVE_CHANGEOVER_PENDING | dm::LIVE_ON_GAS;
    const std::int32_t changed = flags ^ s.previousStatusFlags;
    BarChanges c;

    if ((changed & kFuelBits) || ((low ^ s.previousStatusLow) & kFuelBits)) {
        FuelPictures f;
        if (flags & dm::LIVE_CHANGEOVER_PENDING)
            f = {PicGas, PicDotPetrol, PicEmissionsDot, kTextGas, kGreen};
        else if (flags & dm::LIVE_ON_GAS)
            f = {PicGas, PicDotGas, PicEmissionsDotGas, kTextGas, kGreen};
        if (low & 0x10)
            f.pallino = PicDotStatusLow;
        if (low & 0x08)
            f.pallino = PicDotPetrol;
        c.fuel = f;
    }
    if ((low ^ s.previousStatusLow) & 0x01)
        c.bar2 = (low & 0x01) ? PicEmissionsDot : PicEmissionsDotGas;
    s.previousStatusLow = low;

    s.benzinaVisible = (flags & dm::LIVE_CHANGEOVER_PENDING) ? !s.benzinaVisible : true;
    c.benzinaVisible = s.benzinaVisible;

    if (changed & dm::LIVE_CUTOFF)
        c.cutoff = (flags & dm::LIVE_CUTOFF) ? PicCutoffOn : PicCutoffOff;
    if (changed & dm::LIVE_EXTRA_INJECTION) {
        if (flags & dm::LIVE_EXTRA_INJECTION) {
            c.extraInjection = PicExtraInjOn;
            extraInjectionSeen = true;
        } else {
            c.extraInjection = extraInjectionSeen ? PicExtraInjSeen : PicExtraInjOff;
        }
    }
    c.levelLamps = dm::LevelLamps(flags, level.level, level.thresholds, level.descending);
    s.previousStatusFlags = flags;

    c.lampDue = ++s.lampTicks % kLampEveryTicks == 0;
    return c;
}

template <int N>
Block<N> ReadWholeBlock(TEcuProtocol& ecu, int block)
{
    Block<N> b;
    if (!ecu.IsConnected())
        return b;
    std::int32_t length = N;
    if (ecu.ReadBlock(block, b.bytes.data(), &length))
        b.received = std::clamp(length, 0, N);
    else
        b.bytes.fill(0);
    return b;
}
template Block<kObdBlockSize> ReadWholeBlock<kObdBlockSize>(TEcuProtocol&, int);
template Block<kObdIdleBlockSize> ReadWholeBlock<kObdIdleBlockSize>(TEcuProtocol&, int);

ObdView DecodeObdBlock(const std::array<std::uint8_t, kObdBlockSize>& b, QChar separator)
{
    ObdView v;
    const bool bit0 = (b[10] & 0x01) != 0;
    const bool bit1 = (b[10] & 0x02) != 0;
    v.info = bit0 && !bit1;
    v.ok = bit0 && bit1;
    v.ko = bit1 && !bit0;
    v.banks[0] = bank(b[0], b[2], b[5], b[4], b[8], separator);
    v.banks[1] = bank(b[1], b[3], b[7], b[6], b[9], separator);
    return v;
}

ObdIdleView DecodeObdIdleBlock(const std::array<std::uint8_t, kObdIdleBlockSize>& b)
{
    return {percent(b[0]), percent(b[1])};
}

QString AbsolutePressureCorrection(bool onGas, double pressDiffPoint10, std::int32_t pressureHundredths,
                                   QChar separator, const QString& notAvailable)
{
    if (!onGas)
        return QStringLiteral("0%");
    if (pressureHundredths == 0)
        return notAvailable;
    const double v = (pressDiffPoint10 * 100 + 50) * 100 / pressureHundredths - 100;
    return complib::FormatFixed(v, 3, 2, separator) + QLatin1Char('%');
}

} // namespace cfglive
