#pragma once
// The Mappa page's controls without a window: the two sliders (the
// acceleration enrichment and the extra-injection sensitivity), where their
// bars stand on their tracks, and the auto-calibration limit that its check
// box switches off and on.
#include <optional>

namespace cfgrules {

// ---- Acceleration enrichment (item code 1140) ------------------------------------

inline constexpr int kEnrichmentCode = 1140;
inline constexpr int kEnrichmentStep = 5;
inline constexpr int kEnrichmentLimit = 50;

// The value a step writes from the stored value (truncated to a whole
// number), none when the step would leave -50..50. A value off the steps
// moves by 5 and stops at the limit.
std::optional<int> EnrichmentStep(double stored, bool up);
// The enrichment bar's left edge on its track (0 in the middle).
int EnrichmentBarLeft(int value, int trackLeft, int trackWidth, int barWidth);

// ---- Extra-injection sensitivity (element 1 of item code 667) ---------------------

inline constexpr int kExtraInjCode = 667;
inline constexpr int kExtraInjElement = 1;
inline constexpr int kExtraInjSteps = 18;
inline constexpr double kExtraInjStepValue = 0.2;

// The step count of a stored sensitivity: value x 5 rounded (halves to the
// even neighbour), at most 18.
int ExtraInjSteps(double stored);
// The value a step writes, none at the end of the track.
std::optional<double> ExtraInjStep(double stored, bool up);
int ExtraInjBarLeft(int steps, int trackLeft, int trackWidth, int barWidth);

// ---- Auto-calibration limit (element 0 of the open-loop times) --------------------

inline constexpr double kAutotaraturaOff = 30;     // ms: the limit switched off
inline constexpr double kAutotaraturaDefault = 15; // ms: on, with nothing remembered

// What ticking or clearing the box writes, and the limit it remembers.
struct AutotaraturaChange {
    double write = 0;
    double remembered = 0;
};
AutotaraturaChange AutotaraturaClick(bool ticked, double remembered, double stored);
// Whether the stored limit is on.
inline bool AutotaraturaOn(double stored) { return stored < kAutotaraturaOff; }

} // namespace cfgrules
