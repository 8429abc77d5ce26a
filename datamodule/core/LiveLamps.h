#pragma once
// The lamps that the live windows light from the same live values: which
// side of the reference a lambda probe reads, the gas-level lamps and the
// diagnosis lamp.
#include <array>
#include <cstdint>

class TStreamDati;

namespace dm {

// A rear probe (lambda type 2) reads rich below this voltage, whatever the
// reference.
inline constexpr double kRearProbeRichBelowVolts = 0.55;

// Whether a probe reads on the rich side: below the reference for a normal
// probe, above it for an inverted one (bit 0 of the lambda type); a rear
// probe by its own fixed voltage.
bool ProbeReadsRich(double volts, double reference, bool inverted, bool rearProbe);

// The gas-level lamps: [0] the reserve lamp, [1..4] the quarters. All dark
// unless the key is on (LIVE_KEY_ON) and the engine is on gas or going there
// (LIVE_ON_GAS, LIVE_CHANGEOVER_PENDING). A quarter is lit when the level
// reaches its threshold (for descending thresholds, when the threshold
// reaches the level); the reserve lamp is lit exactly when the first quarter
// is not.
std::array<bool, 5> LevelLamps(std::int32_t statusFlags, std::int32_t level,
                               const std::array<std::int32_t, 4>& thresholds, bool descending);
// The level sender's four thresholds as the data module holds them.
std::array<std::int32_t, 4> StoredLevelThresholds(const TStreamDati& data);

// The diagnosis lamp: an error state among the five the ECU reports (each
// read again from the ECU, the first one set ends the search), or, while
// connected, petrol-injector faults (item 0x21).
bool DiagnosisLampOn(TStreamDati& data);

} // namespace dm
