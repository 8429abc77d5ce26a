#include "LiveLamps.h"

#include "LiveFrame.h"
#include "iodata.h"

namespace dm {

namespace {
constexpr std::int32_t kPetrolInjectorFaults = 0x21;
constexpr int kErrorStates = 1; // GetDiagnosi kind
constexpr int kErrorWords = 5;
} // namespace

std::array<std::int32_t, 4> StoredLevelThresholds(const TStreamDati& data)
{
    std::array<std::int32_t, 4> thresholds{};
    for (int i = 0; i < 4; ++i)
        thresholds[static_cast<std::size_t>(i)] = data.GetRifSensore(i);
    return thresholds;
}

bool ProbeReadsRich(double volts, double reference, bool inverted, bool rearProbe)
{
    if (rearProbe)
        return volts < kRearProbeRichBelowVolts;
    return inverted ? volts > reference : volts < reference;
}

std::array<bool, 5> LevelLamps(std::int32_t statusFlags, std::int32_t level,
                               const std::array<std::int32_t, 4>& thresholds, bool descending)
{
    std::array<bool, 5> lamps{};
    const bool keyOn = (statusFlags & LIVE_KEY_ON) != 0;
    const bool gas = (statusFlags & (LIVE_CHANGEOVER_PENDING | LIVE_ON_GAS)) != 0;
    if (!keyOn || !gas)
        return lamps;
    for (std::size_t i = 0; i < thresholds.size(); ++i)
        lamps[i + 1] = descending ? thresholds[i] >= level : level >= thresholds[i];
    lamps[0] = !lamps[1];
    return lamps;
}

bool DiagnosisLampOn(TStreamDati& data)
{
    for (int i = 0; i < kErrorWords; ++i)
        if (data.GetDiagnosi(i, kErrorStates) != 0)
            return true;
    TEcuProtocol* ecu = data.Protocol();
    if (!ecu->IsConnected())
        return false;
    std::int32_t faults = 0;
    return ecu->ReadItem(kPetrolInjectorFaults, &faults) && faults != 0;
}

} // namespace dm
