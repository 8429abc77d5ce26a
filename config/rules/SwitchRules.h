#pragma once
// The switch-over page's rules: the mode list and what it shows, the idle and
// high-rpm behaviour choices with the values they preset, the values the ECU
// keeps split over two byte items, and the fuel switch asked from the PC.
// Plain writes on the data module; the window reads its controls, calls
// these and shows what they answer.
#include "config/layout/ConfigWindowRules.h"
#include "datamodule/core/ItemCodes.h"

#include <cstdint>
#include <vector>

class TStreamDati;

namespace cfgrules {

// ---- Switch-over mode ----------------------------------------------------------

// The mode list's items: 0 accelerating, 1 decelerating, 2 start on gas, then
// "Monofuel", which stands for the gas-only option.
constexpr int kMonofuelItem = 3;
constexpr int kGasOnlyOption = 0;

// The item the mode list shows.
int SwitchModeItem(const TStreamDati& dm);
// Enter on the mode list: "Monofuel" (or any item after it) sets the gas-only
// option and writes no mode; a mode item writes the mode and clears the
// option. No selection (-1) writes nothing.
void CommitSwitchMode(TStreamDati& dm, int item);

// What the page shows again after a mode commit: the window's rules for the
// mode, threshold, temperature and delay groups, the overlap or shot editor
// of the Emissioni page, and the switch-over gas temperature with the return
// to petrol, shown only while the engine also runs on petrol.
std::vector<cfgwin::ControlRule> SwitchPageVisibility(const cfgwin::EcuState& s);
// The caption of the overlap editor: "Tempo di cicchetto" when gas-only.
int OverlapCaption(bool gasOnly);

// ---- Idle and high-rpm behaviour -----------------------------------------------

// The choices by the radio buttons' Tag.
enum IdleChoice : int { IdleGas = 0, IdleReturn = 1, IdlePetrol = 2 };
enum HighRpmChoice : int { HighRpmGas = 0, HighRpmPetrol = 1, HighRpmContribution = 2 };

// Items of the petrol behaviour (element codes; elements by editor Tag).
constexpr std::int32_t kPetrolRpmCode = 673;     // 0 idle speed limit, 1 rpm limit for petrol
constexpr std::int32_t kPetrolTimeCode = 672;    // 0..3 petrol injection times (ms)
constexpr std::int32_t kStabilisationCode = 163; // 0 injections, 1 exit
constexpr int kPetrolAtIdleOption = 21;
constexpr int kContributionOption = 20;
constexpr int kSprayOption = 24; // inverted by its check box
constexpr int kGasOnlyHighRpm = 8500;
constexpr double kGasOnlyPetrolTime = 30;

// The choice the page shows for what the ECU holds.
int IdleChoiceOf(bool petrolAtIdle, int idleRpm);
int HighRpmChoiceOf(bool contribution, int petrolRpm, double petrolTime3);

// Writes the option and the rpm of an idle choice; a Tag outside 0..2
// writes nothing.
void ApplyIdleChoice(TStreamDati& dm, int tag);
// Writes a high-rpm choice in its order: the option; for petrol and the
// contribution the spray box is ticked, which clears the spray option when
// the box was not ticked before (sprayTicked); then the rpm limit and the
// petrol times 1 and 3. A Tag outside 0..2 writes nothing.
void ApplyHighRpmChoice(TStreamDati& dm, int tag, bool sprayTicked);
// Whether a high-rpm choice ticks the spray box.
bool ChoiceTicksSpray(int tag);

// What the page shows for the choices.
struct IdleView {
    bool rpmEditor;     // "Giri per identificazione del minimo"
    bool stabilisation; // the stabilisation injections and exit
};
IdleView IdleVisibility(int idleTag);
struct HighRpmView {
    bool spray;       // the spray box with its caption, note and frame
    bool petrolBlock; // rpm, times and the contribution value
    int rpmCaption;   // text of LabelGiriPerBenzina
    int timeCaption;  // text of LabelTempiBenzina
};
HighRpmView HighRpmVisibility(int highRpmTag, int ecuType);
// The page's controls for the choices: the idle rpm editor and the
// stabilisation injections and exit; the spray box with its caption, note
// and frame and the petrol block (rpm, times and the contribution value).
std::vector<cfgwin::ControlRule> IdleControlVisibility(const IdleView& view);
std::vector<cfgwin::ControlRule> HighRpmControlVisibility(const HighRpmView& view);
// The contribution choice with its caption and frame: on every ECU but VANT.
std::vector<cfgwin::ControlRule> ContributionVisibility(int ecuType);
// Whether the page forces the gas choices (an ECU whose hardware variant
// cannot run petrol at idle or at high rpm).
bool ForcesGasChoices(std::int32_t item15);

// One element of the behaviour items: writes it (whole values truncated) and
// answers what the module then holds (truncated when whole).
double CommitBehaviourElement(TStreamDati& dm, std::int32_t code, int index, double value, bool whole);

// ---- Values split over two byte items ------------------------------------------

struct SplitItem {
    std::int32_t low;
    std::int32_t high;
};
constexpr SplitItem kWarmEngineDelay{dm::kWarmEngineDelayLowCode, dm::kWarmEngineDelayHighCode}; // EditRitMin
constexpr SplitItem kEmulationDelay{dm::kEmulationDelayLowCode,
                                    dm::kEmulationDelayHighCode}; // EditRitardoGiriEmulazione

// low + high x 256, truncated.
int SplitValue(TStreamDati& dm, SplitItem item);
// low := v mod 256 (sign kept), high := v / 256, both written; answers the
// value read back.
int CommitSplitValue(TStreamDati& dm, SplitItem item, int value);

// ---- Low gas temperature -----------------------------------------------------

constexpr int kLowGasTemperature = 2; // element of the diagnostic temperatures
int LowGasTemperature(const TStreamDati& dm);
int CommitLowGasTemperature(TStreamDati& dm, double celsius);

// ---- Fuel switch from the PC -----------------------------------------------------

constexpr int kSwitchRequestOption = 4; // the PC's request
constexpr int kSwitchFuelOption = 5;    // the fuel it asks for
constexpr std::uint32_t kSwitchStepMs = 300;

// The pulse that asks the ECU for the other fuel: the fuel the live flags
// show (on gas or change-over pending) with the request raised, the fuel
// flipped, the request released, 300 ms after each step. A step that fails
// does not stop the sequence; a refused release is tried once more, so that
// the request does not stay raised in the ECU. True when the request ended
// released.
bool SwitchFuelFromPc(TStreamDati& dm, int liveStatusFlags);

} // namespace cfgrules
