#pragma once
// The sensors' rules of the configuration window: the lambda banks and what
// they show, the gas level sensor's list by fuel with its thresholds, the
// return to petrol, the pressure sensors' page, and the values the sensor
// and injector pages write to several elements or with side effects. Plain
// writes on the data module.
#include "ConfigControls.h"
#include "config/layout/ConfigWindowRules.h"

#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class TStreamDati;

namespace cfgrules {

// ---- Lambda banks ----------------------------------------------------------------

// The bank rules of the live bar, the Mappa page and the Sensori page: probe
// 1 always; probe 2 on ECUs with two probe inputs when there are two banks or
// per-probe lambda types; the second bank's fields with two banks; the
// second-bank correction with two banks counted.
std::vector<cfgwin::ControlRule> BankVisibility(int ecuType, bool secondBank, bool lambdaTypes, int banks);
// The Sensori page's probe selectors and lambda type, shown on every ECU.
std::vector<cfgwin::ControlRule> ProbeSelectorVisibility();

// The second-bank correction (dm::kSecondBankCode): all twelve elements of
// its item, in order.
constexpr int kSecondBankElements = 12;
int SecondBankCorrection(TStreamDati& dm);
int CommitSecondBankCorrection(TStreamDati& dm, int value);

// A probe's role (0 not connected, 1 front, 2 rear); no selection writes
// nothing. Answers the role the module then holds.
int CommitProbeRole(TStreamDati& dm, int probe, int role);

// ---- Gas level sensor ------------------------------------------------------------

constexpr int kFuelOption = 1; // set for CNG
using LevelThresholds = std::array<std::int32_t, 4>;
// The thresholds of the LPG "Quorin 318470" sender (inverted type).
constexpr LevelThresholds kQuorin318470{223, 173, 142, 116};
constexpr int kThresholdsWrongText = 177;

// One item of the level-sensor list.
struct LevelSensorItem {
    int position;    // the data module's list position of the sensor type
    bool presets;    // the item writes kQuorin318470 as its thresholds
    bool thresholds; // the threshold editors are shown
};
// The list by fuel; "non standard" entries by string number.
QStringList LevelSensorItems(bool cng, const TextOf& text);
// The item's mapping; none outside the list.
std::optional<LevelSensorItem> LevelSensorOfItem(bool cng, int item);
// The item the list shows for a stored position and thresholds (-1 none).
int LevelSensorItemOf(bool cng, int position, const LevelThresholds& thresholds);
LevelThresholds StoredThresholds(const TStreamDati& dm);
// Enter on the list: the type (with its presets), and the LPG "Quorin
// 318470" its thresholds. Answers the mapping of the item written, none (and
// nothing written) outside the list.
std::optional<LevelSensorItem> CommitLevelSensor(TStreamDati& dm, bool cng, int item);

// Every threshold within 0..255 and strictly falling for an inverted sensor,
// strictly rising otherwise.
bool LevelThresholdsValid(const LevelThresholds& l, bool inverted);
// The confirm button: a valid series is written, element by element; any
// other is refused with message 177 and nothing written. True when written.
bool ConfirmLevelThresholds(TStreamDati& dm, const LevelThresholds& l);

// ---- Return to petrol ------------------------------------------------------------

constexpr std::int32_t kReturnOff = 255;
bool ReturnToPetrolOn(TStreamDati& dm);
// The check box's click. remembered is the time in force when the return
// was last switched off (-1 none); while loading nothing is written. Answers
// the time to show when on.
std::optional<int> ApplyReturnToPetrol(TStreamDati& dm, bool on, bool loading, int& remembered);

// ---- Option boxes of the Sensori page ----------------------------------------------

constexpr int kFuelLineFillingOption = 19;
constexpr int kDedicatedWireOption = 26;
constexpr int kFuelLineFillingText = 364;
// The fuel-line filling option; ticking it shows message 364.
void ApplyFuelLineFilling(TStreamDati& dm, bool on);
// The variator's dedicated supply wire; once set, the diagnosis of that wire
// (bit 2 of enable 0) is switched off. Clearing leaves the enable as it is.
void ApplyDedicatedWire(TStreamDati& dm, bool on);
// Whether the ECU type has the dedicated wire.
bool HasDedicatedWire(int ecuType);
// The dedicated wire's box with its caption and frames: where the ECU has it.
std::vector<cfgwin::ControlRule> DedicatedWireVisibility(int ecuType);

// ---- Injector times ----------------------------------------------------------------

constexpr int kMaxInjectionTime = 6; // element of the filter times
double CommitMaxInjectionTime(TStreamDati& dm, double ms);
// The default injection time of the current fuel's column, row 0.
double DefaultInjectionTime(const TStreamDati& dm);
// The value typed goes to rows 0..7 of the current fuel's column; answers
// row 0 as read back.
double CommitDefaultInjectionTime(TStreamDati& dm, double ms);

// ---- Pressure sensors ------------------------------------------------------------

constexpr int kInternalMapOption = 12;
constexpr int kDifferentialOption = 13;
constexpr int kPressureMeterOption = 14;
// The external MAP sensor's pair shows for an external sensor read
// differentially.
bool ExternalMapPairVisible(bool internalMap, bool differential);
// The hidden selectors' items.
int PressureMeterItem(bool meter);
int PressureReadingItem(bool meter, bool differential);
// The known external MAP sensors by the pressure sensor's calibration: 0
// "VYX371", 1 "VYX352", -1 none.
QStringList MapSensorItems();
int MapSensorItem(std::int32_t offset, std::int32_t slope);

} // namespace cfgrules
