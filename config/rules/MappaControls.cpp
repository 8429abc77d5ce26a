#include "MappaControls.h"

#include "datamodule/core/Scaling.h"

#include <algorithm>
#include <cmath>

namespace cfgrules {

std::optional<int> EnrichmentStep(double stored, bool up)
{
    const int a = dm::TruncToInt(stored);
    if (up ? a >= kEnrichmentLimit : a <= -kEnrichmentLimit)
        return std::nullopt;
    const int next = up ? a + kEnrichmentStep : a - kEnrichmentStep;
    return std::clamp(next, -kEnrichmentLimit, kEnrichmentLimit);
}

int EnrichmentBarLeft(int value, int trackLeft, int trackWidth, int barWidth)
{
    return value * trackWidth / (2 * kEnrichmentLimit) + trackLeft + trackWidth / 2 - barWidth / 2;
}

int ExtraInjSteps(double stored)
{
    const int s = dm::TruncToInt(std::nearbyint(dm::SnapToWhole(static_cast<long double>(stored) * 5)));
    return std::min(s, kExtraInjSteps);
}

std::optional<double> ExtraInjStep(double stored, bool up)
{
    const int s = ExtraInjSteps(stored);
    if (up ? s >= kExtraInjSteps : s <= 0)
        return std::nullopt;
    return (up ? s + 1 : s - 1) * kExtraInjStepValue;
}

int ExtraInjBarLeft(int steps, int trackLeft, int trackWidth, int barWidth)
{
    return steps * trackWidth / kExtraInjSteps + trackLeft - barWidth / 2;
}

AutotaraturaChange AutotaraturaClick(bool ticked, double remembered, double stored)
{
    if (ticked)
        return {remembered > 0 ? remembered : kAutotaraturaDefault, remembered};
    return {kAutotaraturaOff, stored};
}

} // namespace cfgrules
