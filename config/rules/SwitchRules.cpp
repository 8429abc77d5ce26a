#include "SwitchRules.h"

#include "datamodule/core/Scaling.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include "plat/Services.h"

#include <cstring>
#include <initializer_list>

namespace cfgrules {

namespace {

constexpr int kIdleReturnRpm = 1100;
constexpr int kPetrolHighRpm = 4500;
constexpr double kPetrolTime3 = 15;
constexpr double kContributionTime1 = 2;

bool isOneOf(const char* name, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (std::strcmp(name, n) == 0)
            return true;
    return false;
}

} // namespace

// ---- Switch-over mode ----------------------------------------------------------

int SwitchModeItem(const TStreamDati& dm)
{
    return dm.GetFlag(kGasOnlyOption) ? kMonofuelItem : dm.GetTipoCommutazione();
}

void CommitSwitchMode(TStreamDati& dm, int item)
{
    if (item < 0)
        return;
    if (item >= kMonofuelItem) {
        dm.SetFlag(kGasOnlyOption, true);
        return;
    }
    dm.SetTipoCommutazione(item);
    dm.SetFlag(kGasOnlyOption, false);
}

std::vector<cfgwin::ControlRule> SwitchPageVisibility(const cfgwin::EcuState& s)
{
    std::vector<cfgwin::ControlRule> rules;
    // The window's own rows for these groups, as it applies them when shown.
    for (auto& rule : cfgwin::ControlVisibility(s))
        if (!rule.names.empty() &&
            isOneOf(rule.names.front(), {"LabelCambio", "LabelGiriCambio", "LabelTempRiduttore", "ShapeTempGasBass",
                                         "LabelRitardoCambio", "LabelSovrapposizione", "EditCicchetto",
                                         "EditSovrapposizione", "CheckRitornoBenzina", "LabelRitornoBenzina"}))
            rules.push_back(std::move(rule));
    rules.push_back({{"ShapeTempGasCambio", "LabelTempGasCambio", "EditTempGas", "LabelT2"}, !s.gasOnly});
    return rules;
}

int OverlapCaption(bool gasOnly) { return gasOnly ? 325 : 118; }

// ---- Idle and high-rpm behaviour -----------------------------------------------

int IdleChoiceOf(bool petrolAtIdle, int idleRpm)
{
    if (petrolAtIdle)
        return idleRpm != 0 ? IdlePetrol : IdleReturn;
    return idleRpm != 0 ? IdleReturn : IdleGas;
}

int HighRpmChoiceOf(bool contribution, int petrolRpm, double petrolTime3)
{
    if (contribution)
        return HighRpmContribution;
    if (petrolRpm < kGasOnlyHighRpm || petrolTime3 < kGasOnlyPetrolTime)
        return HighRpmPetrol;
    return HighRpmGas;
}

void ApplyIdleChoice(TStreamDati& dm, int tag)
{
    if (tag < IdleGas || tag > IdlePetrol)
        return;
    dm.SetFlag(kPetrolAtIdleOption, tag == IdlePetrol);
    dm.SetElementByCode(kPetrolRpmCode, 0, tag == IdleGas ? 0 : kIdleReturnRpm);
}

bool ChoiceTicksSpray(int tag) { return tag == HighRpmPetrol || tag == HighRpmContribution; }

void ApplyHighRpmChoice(TStreamDati& dm, int tag, bool sprayTicked)
{
    if (tag < HighRpmGas || tag > HighRpmContribution)
        return;
    dm.SetFlag(kContributionOption, tag == HighRpmContribution);
    // Ticking the box is its click: the option follows it.
    if (ChoiceTicksSpray(tag) && !sprayTicked)
        dm.SetFlag(kSprayOption, false);
    const bool gas = tag == HighRpmGas;
    dm.SetElementByCode(kPetrolRpmCode, 1, gas ? kGasOnlyHighRpm : kPetrolHighRpm);
    dm.SetElementByCode(kPetrolTimeCode, 1, tag == HighRpmContribution ? kContributionTime1 : 0);
    dm.SetElementByCode(kPetrolTimeCode, 3, gas ? kGasOnlyPetrolTime : kPetrolTime3);
}

IdleView IdleVisibility(int idleTag) { return {idleTag != IdleGas, idleTag == IdleReturn}; }

HighRpmView HighRpmVisibility(int highRpmTag, int ecuType)
{
    const bool contribution = highRpmTag == HighRpmContribution;
    return {highRpmTag == HighRpmGas && ecuType != qz::ECU_TYPE_VANT, highRpmTag != HighRpmGas,
            contribution ? 502 : 371, contribution ? 503 : 372};
}

std::vector<cfgwin::ControlRule> IdleControlVisibility(const IdleView& view)
{
    return {{{"LabelGiriMinimoPerBenzina", "EditGiriMinimoPerBenzina", "LabGiriMinimoPerBenzina"}, view.rpmEditor},
            {{"LabelIniettate", "EditIniettate", "LabelUscita", "EditUscita", "LabelS5"}, view.stabilisation}};
}

std::vector<cfgwin::ControlRule> HighRpmControlVisibility(const HighRpmView& view)
{
    return {{{"LabelSpruzzata", "LabelNoteSpruzzata", "CheckSpruzzata", "ShapeCheckSpruzzata"}, view.spray},
            {{"LabelGiriPerBenzina", "EditGiriPerBenzina", "LabGiriPerBenzina", "LabelTempiBenzina",
              "EditTempoBenzina3", "LabTempiBenzina", "EditTempoBenzina0", "EditTempoBenzina2", "LabelTempoBenzina1",
              "EditTempoBenzina1", "LabTempoBenzina1"},
             view.petrolBlock}};
}

std::vector<cfgwin::ControlRule> ContributionVisibility(int ecuType)
{
    return {
        {{"LabelContributoAltiGiri", "ShapeContributoAlti", "RadioContributoAltiGiri"}, ecuType != qz::ECU_TYPE_VANT}};
}

bool ForcesGasChoices(std::int32_t item15) { return item15 < 2; }

double CommitBehaviourElement(TStreamDati& dm, std::int32_t code, int index, double value, bool whole)
{
    dm.SetElementByCode(code, index, whole ? dm::TruncToInt(value) : value);
    const long double held = dm.GetElementByCode(code, index);
    return whole ? dm::TruncToInt(held) : static_cast<double>(held);
}

// ---- Values split over two byte items ------------------------------------------

int SplitValue(TStreamDati& dm, SplitItem item)
{
    return dm::TruncToInt(dm.GetValueByCode(item.low) + dm.GetValueByCode(item.high) * 256);
}

int CommitSplitValue(TStreamDati& dm, SplitItem item, int value)
{
    dm.SetValueByCode(item.low, value % 256);
    dm.SetValueByCode(item.high, value / 256);
    return SplitValue(dm, item);
}

// ---- Low gas temperature -----------------------------------------------------

int LowGasTemperature(const TStreamDati& dm) { return dm::TruncToInt(dm.GetTempDiagnosi(kLowGasTemperature)); }

int CommitLowGasTemperature(TStreamDati& dm, double celsius)
{
    dm.SetTempDiagnosi(kLowGasTemperature, celsius);
    return LowGasTemperature(dm);
}

// ---- Fuel switch from the PC -----------------------------------------------------

bool SwitchFuelFromPc(TStreamDati& dm, int liveStatusFlags)
{
    const bool onGas = (liveStatusFlags & (dm::LIVE_ON_GAS | dm::LIVE_CHANGEOVER_PENDING)) != 0;
    dm.SetFlag(kSwitchFuelOption, onGas);
    dm.SetFlag(kSwitchRequestOption, true);
    plat::CurrentClock().sleep(kSwitchStepMs);
    dm.SetFlag(kSwitchFuelOption, dm.GetFlag(kSwitchFuelOption) == 0);
    plat::CurrentClock().sleep(kSwitchStepMs);
    const bool released = dm.SetFlag(kSwitchRequestOption, false) || dm.SetFlag(kSwitchRequestOption, false);
    plat::CurrentClock().sleep(kSwitchStepMs);
    return released;
}

} // namespace cfgrules
