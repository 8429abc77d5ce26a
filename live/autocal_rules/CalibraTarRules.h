#pragma once
// The auto-calibration window's rules, without a window: decoding the live
// frame, the readout texts and colours, the gas-level lamps, and the
// sequence: what a click does in each state, the measuring step's checks and
// guidance, the map-K correction from the measured petrol time, and what
// the ECU's progress reply means for the operation text and the bar.
#include "datamodule/core/LiveFrame.h"

#include <QString>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace qz::live {
struct TAcquisitionSample;
}

namespace taratura {

// ---- Live values --------------------------------------------------------

// An injection time readout (4 significant digits, 2 decimals).
QString TimeText(double ms, QChar separator);
// Pressure readout: hundredths x 0.01 (3 significant, 2 decimals), or
// notAvailable for 0.
QString PressureText(std::int32_t hundredths, QChar separator, const QString& notAvailable);
// Temperature readout: the integer part of celsius, or notAvailable when
// the raw value is 0.
QString TemperatureText(double raw, long double celsius, const QString& notAvailable);

// ---- Lambda colours -------------------------------------------------------

inline constexpr std::uint32_t kRich = 65280; // green
inline constexpr std::uint32_t kLean = 255;   // red
inline constexpr std::uint32_t kDisabledProbe = 11119017;

struct ProbeInput {
    bool TypesPresent = false;  // the data module holds per-probe lambda types
    bool TypeEnabled = true;    // GetTipiLambdaEnabled
    int Type = 0;               // GetTipiLambda
    bool SignalBit = false;     // bit 5 (probe 1) or 6 (probe 2) of the status
    double Volts = 0;
    double Reference = 0;       // code 5
    bool Inverted = false;      // GetTipoDiLambdaBit0
};
struct ProbeLook {
    std::uint32_t Colour = kLean;
    bool Enabled = false;
    bool operator==(const ProbeLook&) const = default;
};
ProbeLook LambdaLook(const ProbeInput& probe);

// ---- The sequence -----------------------------------------------------------

enum State : std::int32_t { Idle = 0, Measuring = 1, Running = 2, Ended = 3 };

// Commands of the ECU.
inline constexpr std::int32_t kCmdClose = 0x12;
inline constexpr std::int32_t kCmdStart = 0x13;
inline constexpr std::int32_t kCmdProgress = 0x14;
inline constexpr std::int32_t kCmdAbort = 0x15;
inline constexpr std::int32_t kCmdMeasuring = 0x1B;
inline constexpr std::uint8_t kMeasureBegin = 0, kMeasureRead = 1, kMeasureEnd = 2;

// What ImageInitClick does in a state (connected).
enum class ClickAction { AbortThenIdle, EndStepThenIdle, Nothing, StartMeasuring, StartCalibration };
ClickAction ClickActionFor(std::int32_t state, bool cng, std::int32_t injectorType);

// The measuring step's values.
struct MeasuringStep {
    double MeasuredPetrolTime = 0; // ms
    std::uint32_t T0 = 0, T1 = 0, T2 = 0;
    std::uint32_t IdleDelay = 3000;
    int RowCounter = 5;
};

// The frame checks before a measurement: 0 when the step may go on, else
// the string that ends it (555 engine off, 556 on gas, 557 engine cold).
int MeasuringCheck(std::int32_t rpm, std::int32_t status, double reducerRaw, long double reducerC,
                   long double minimumC);

// Takes this tick's petrol time into the measurement: true when it became
// the new MeasuredPetrolTime (above 7 ms and above the one held).
bool TakeMeasurement(MeasuringStep& step, double petrolMs);

// The texts of the measuring step's guidance (string numbers).
inline constexpr int kTextRevNow = 559;             // "Premere a fondo il pedale acceleratore e rilasciare rapidamente"
inline constexpr int kTextRepeatRev = 560;          // "Ripetere l'operazione 4-5 volte e premere invio per proseguire"
inline constexpr int kTextMeasurementInvalid = 272; // "Impossibile avviare l'autotaratura, riprovare"

// The guidance by engine speed: 0 nothing to show, kTextRevNow,
// kTextRepeatRev, or kTextMeasurementInvalid (the step ends).
int MeasuringGuidance(MeasuringStep& step, std::int32_t rpm, std::uint32_t now);

// Enter in the measuring step takes a measurement within (7, 40) ms.
bool MeasurementApplicable(double ms);
// The measurement as the correction uses it: 15..25 ms.
double ClampMeasurement(double ms);
// The open-loop time that allows the correction: 14 <= t < 29 ms.
bool OpenLoopAllowsCorrection(long double t);
// Per-cent coefficients by map-K row.
inline constexpr std::array<int, 12> kRowCoefficients{0, 0, 0, 0, 0, 20, 30, 45, 60, 80, 90, 100};
// The rows the correction writes: from the row counter up to the map's row
// count, never beyond the coefficient table.
int CorrectionRowEnd(int rows);
// One corrected row: cell + trunc((t - measured) x 2 x coefficient x 0.01),
// replaced by the row-4 cell of the column when that is below it as
// unsigned 32-bit numbers (also a sum below 0).
std::vector<std::int32_t> CorrectedRow(int row, long double openLoop, double measured,
                                       std::span<const std::int32_t> cells, std::span<const std::int32_t> row4);
// Item code of a whole map-K row.
std::int32_t MapKRowCode(int columns);

// The ECU's progress reply.
struct Progress {
    int Phase = 0;        // signed
    std::uint8_t Flags = 0;
    int Seconds = 0;      // warm-up seconds left
};
Progress DecodeProgress(const std::uint8_t* reply);

// The text of the refusal flags: the last set in the order 0x04, 0x08,
// 0x02, 0x10, 0x20, 0x40; 0 when none of them is set.
int RefusalString(std::uint8_t flags);

enum class PhaseKind { Text, SpeedRange, Warming, Finished, Ignored };
struct PhaseView {
    PhaseKind Kind = PhaseKind::Ignored;
    int String = 0;   // for Text
    int Position = 0; // progress bar
    bool operator==(const PhaseView&) const = default;
};
PhaseView PhaseViewFor(int phase, std::int32_t calibrationSpeed);

// "Portare il motore tra i" + " " + (speed - 300) + "-" + (speed + 300) + " " + "giri in folle".
QString SpeedRangeText(std::int32_t speed, const QString& before, const QString& after);
// "Attesa riscaldamento" + " (" + seconds + " " + "sec." + ")".
QString WarmingText(int seconds, const QString& text, const QString& unit);
// "(" + "Valore acquisito: " + the time + ")".
QString MeasuredText(double ms, const QString& prefix, QChar separator);

// The acquisition line's values of this tick (temperatures already in C).
qz::live::TAcquisitionSample SampleOf(const dm::TLiveValues& values);

} // namespace taratura
