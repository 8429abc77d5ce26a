#include "LiveFrame.h"

#include "Scaling.h"
#include "SensorTables.h"

#include <algorithm>

namespace dm {
namespace {

struct Reader {
    const std::uint8_t* data;
    int length;

    std::uint8_t u8(int at) const { return at < length ? data[at] : 0; }
    std::uint16_t u16(int at) const
    {
        if (at + 2 > length)
            return 0;
        return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
    }
    std::int8_t s8(int at) const { return static_cast<std::int8_t>(u8(at)); }
    std::int16_t s16(int at) const { return static_cast<std::int16_t>(u16(at)); }
};

} // namespace

TLiveFrame DecodeLiveFrame(const std::uint8_t* data, int length)
{
    TLiveFrame f;
    f.Length = data ? std::clamp(length, 0, kLiveFrameSize) : 0;
    const Reader r{data, f.Length};
    f.Rpm = r.u16(0);
    f.Lambda1 = r.u8(2);
    f.Raw3 = r.u8(3);
    f.Raw4 = r.s16(4);
    f.GasTime1 = r.u16(6);
    f.PetrolTime1 = r.u16(8);
    f.StatusLow = r.s8(10);
    f.StatusFlags = r.u8(11);
    f.ReducerTemp = r.u8(12);
    f.GasLevel = r.u8(13);
    f.GasPressure = r.s16(14);
    f.GasTemp = r.u8(16);
    f.MapPressure = r.s16(17);
    f.Raw19 = r.u8(19);
    f.GasAdaptation = r.s8(20);
    f.Lambda2 = r.u8(21);
    f.Raw22 = r.s16(22);
    f.GasTime2 = r.u16(24);
    f.Raw26 = r.s16(26);
    f.PetrolTime2 = r.u16(28);
    return f;
}

double LambdaVolts(std::uint8_t raw) { return static_cast<double>(VoltsFromRaw(raw)); }

void DecodeLiveValues(const TLiveFrame& f, std::int32_t timeBase, bool takeSecondBank, TLiveValues& v)
{
    const auto ms = [timeBase](std::uint16_t raw) { return static_cast<double>(MsFromRaw(raw, timeBase)); };
    v.Rpm = f.Rpm;
    v.Lambda1 = LambdaVolts(f.Lambda1);
    v.GasTime1 = ms(f.GasTime1);
    v.PetrolTime1 = ms(f.PetrolTime1);
    v.StatusLow = f.StatusLow;
    v.StatusFlags = f.StatusFlags;
    v.ReducerTempRaw = f.ReducerTemp;
    v.GasTempRaw = f.GasTemp;
    v.ReducerTemp = f.ReducerTemp == 0 ? 0.0 : static_cast<double>(TempMotoreFromRaw(f.ReducerTemp));
    v.GasTemp = f.GasTemp == 0 ? 0.0 : static_cast<double>(TemperaturaGasFromRaw(f.GasTemp));
    v.Level = f.GasLevel;
    v.GasPressure = f.GasPressure / 10;
    v.MapPressure = f.MapPressure / 10;
    v.Adaptation = f.GasAdaptation;
    if (takeSecondBank) {
        v.Lambda2 = LambdaVolts(f.Lambda2);
        v.GasTime2 = ms(f.GasTime2);
        v.PetrolTime2 = ms(f.PetrolTime2);
    }
}

} // namespace dm
