#pragma once
// The live bar of the configuration window and the live OBD values of its
// pages, without a window: the texts and colours of one frame's values, what
// changes when the status bits change (the fuel-state pictures, the blinking
// fuel label, the cut-off and extra-injection pictures, the level lamps), the
// OBD blocks 8 and 9 and the absolute-pressure correction.
#include "datamodule/core/LiveFrame.h"

#include <QChar>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class TEcuProtocol;

namespace cfglive {

// Toolkit colours (blue-green-red).
inline constexpr std::uint32_t kGreen = 65280;
inline constexpr std::uint32_t kRed = 255;
inline constexpr std::uint32_t kGrey = 11119017;      // a reading that is not there
inline constexpr std::uint32_t kLightGrey = 14671839; // a corrector without a fault

// Pictures of the live bar and of the dots.
enum Picture : int {
    PicExtraInjOff = 10022,
    PicExtraInjOn = 10023,
    PicExtraInjSeen = 10024,
    PicCutoffOff = 10025,
    PicCutoffOn = 10026,
    PicPetrol = 10027,
    PicGas = 10028,
    PicDotPetrol = 10039,
    PicDotGas = 10040,
    PicEmissionsDot = 10041,
    PicEmissionsDotGas = 10042,
    PicDotStatusLow = 10076,
};

// String numbers the bar shows.
inline constexpr int kTextNotAvailable = 91; // "n.d."
inline constexpr int kTextPetrol = 174;      // "BENZINA"
inline constexpr int kTextGas = 175;         // "GAS"

// ---- One frame's values ---------------------------------------------------------

struct Probe {
    bool enabled = true; // GetTipiLambdaEnabled (with the per-probe types)
    int type = 0;        // GetTipiLambda: 2 a rear probe
};

struct BarInput {
    dm::TLiveValues live;
    bool twoBanks = false;          // HasSecondaSonda
    bool probeTypesPresent = false; // the ECU has the per-probe lambda types
    std::array<Probe, 2> probes{};
    double reference = 0;  // the lambda reference (code 5), volts
    bool inverted = false; // GetTipoDiLambdaBit0
    bool connected = false;
    QChar separator = QLatin1Char('.');
    QString notAvailable; // text 91
};

// A lambda label: its text, its colour and whether it is enabled.
struct ProbeLabel {
    QString text;
    std::uint32_t colour = kRed;
    bool enabled = false;
    bool operator==(const ProbeLabel&) const = default;
};

struct BarTexts {
    QString giri, apMot, apMotBenz, livello;
    std::optional<QString> apMot2, apMot2Benz; // with two banks only
    std::array<ProbeLabel, 2> lambda;
    QString pressione, pressioneColl, temp, tempMot, adattaGas;
    // A connected ECU without the reading: the label's own grey shows.
    bool pressioneCollGrey = false;
    bool tempMotGrey = false;
};
BarTexts PresentBar(const BarInput& in);

// ---- What the status bits change ----------------------------------------------------

// What the bar remembers from tick to tick.
struct BarState {
    std::int32_t previousStatusFlags = -1; // every clear bit counts as changed at first
    std::int32_t previousStatusLow = 0;
    bool benzinaVisible = true;
    int lampTicks = 0;
};

struct FuelPictures {
    int commutatore = PicPetrol;
    int pallino = PicDotPetrol;
    int emissioni = PicEmissionsDot;
    int text = kTextPetrol; // LabelBenzina's text number
    std::uint32_t colour = kRed;
    bool operator==(const FuelPictures&) const = default;
};

struct LevelInput {
    std::int32_t level = 0;
    std::array<std::int32_t, 4> thresholds{};
    bool descending = false; // GetTipoSensoreBit7
};

struct BarChanges {
    std::optional<FuelPictures> fuel;
    std::optional<int> bar2;    // ImageBar2's picture (StatusLow bit 0)
    bool benzinaVisible = true; // LabelBenzina, repainted at once
    std::optional<int> cutoff;  // ImageCutoff's picture
    std::optional<int> extraInjection;
    std::array<bool, 5> levelLamps{}; // reserve, then the quarters
    bool lampDue = false;             // the diagnosis lamp is looked at on this tick
};

// One tick's changes from the status bits; extraInjectionSeen is the main
// window's record, set when an extra injection starts.
BarChanges StepBar(BarState& state, std::int32_t statusFlags, std::int32_t statusLow, const LevelInput& level,
                   bool& extraInjectionSeen);

// Every how many ticks the diagnosis lamp is looked at.
inline constexpr int kLampEveryTicks = 20;

// ---- OBD blocks --------------------------------------------------------------------

inline constexpr int kObdBlock = 8;
inline constexpr int kObdBlockSize = 50;
inline constexpr int kObdIdleBlock = 9;
inline constexpr int kObdIdleBlockSize = 10;

// A block as read: every byte the library did not fill is 0, so a failed or
// short read shows zeros; received is the count it reported.
template <int N>
struct Block {
    std::array<std::uint8_t, N> bytes{};
    int received = 0;
};
// Reads a block while connected, offering the whole buffer every time (a
// short reply never shortens the next read).
template <int N>
Block<N> ReadWholeBlock(TEcuProtocol& ecu, int block);

struct ObdBank {
    std::uint32_t labelColour = kLightGrey; // LabelCorrettori0 / 1
    bool labelEnabled = true;
    QString slow, fast, oxygen;
    bool slowVisible = false, fastVisible = false, oxygenVisible = false;
    bool CorrectorsVisible() const { return slowVisible || fastVisible; }
    bool operator==(const ObdBank&) const = default;
};
struct ObdView {
    bool info = false, ok = false, ko = false; // ImageObdInfo, ImageObdOk, ImageObdKo
    std::array<ObdBank, 2> banks;
};
ObdView DecodeObdBlock(const std::array<std::uint8_t, kObdBlockSize>& b, QChar separator);

// LabCorrMinimo and LabCorrFuoriMinimo.
struct ObdIdleView {
    QString idle, offIdle;
};
ObdIdleView DecodeObdIdleBlock(const std::array<std::uint8_t, kObdIdleBlockSize>& b);

// ---- The absolute-pressure correction (Correzioni, one-plug ECU) ---------------

// On gas: (breakpoint 10 of the pressure correction x 100 + 50) x 100 / the
// gas pressure - 100, in percent; "0%" off gas; notAvailable while the gas
// pressure reads 0.
QString AbsolutePressureCorrection(bool onGas, double pressDiffPoint10, std::int32_t pressureHundredths,
                                   QChar separator, const QString& notAvailable);

// ---- Number texts --------------------------------------------------------------------

// An injection time on the bar (4 significant digits, 2 decimals).
QString BarTimeText(double ms, QChar separator);
// A target petrol time on the Mappa page (4 significant digits, 1 decimal).
QString TargetTimeText(double ms, QChar separator);

} // namespace cfglive
