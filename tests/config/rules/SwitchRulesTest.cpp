// The switch-over page's rules against the simulated ECU: the mode list, what
// a mode commit shows, the idle and high-rpm choices with their writes, the
// split values and the fuel switch asked from the PC.
#include "config/rules/SwitchRules.h"
#include "RulesRig.h"

#include "datamodule/core/Scaling.h"
#include "product/constants/BuildConstants.h"

#include <algorithm>
#include <map>

namespace {

using protovyx::CallRecord;
using protovyx::Op;
using rulestest::RulesRig;

constexpr int kOptionWords = 0x2303;
constexpr std::int32_t kGasOnlyBit = 0x100;      // Flag1
constexpr std::int32_t kRequestBit = 0x800;      // Flag1, option 4
constexpr std::int32_t kFuelAskedBit = 0x1000;   // Flag1, option 5
constexpr std::int32_t kContributionBit = 0x80;  // Flag2, option 20
constexpr std::int32_t kPetrolAtIdleBit = 0x100; // Flag2, option 21
constexpr std::int32_t kSprayBit = 0x4000;       // Flag2, option 24

constexpr std::int32_t kMarkerCode = 0x35; // the official-set marker, cleared by the first change

// The writes of the ECU's log, as (operation, code, index, value) lines,
// without the marker's.
struct Write {
    Op op;
    std::int32_t code;
    std::int32_t index;
    std::vector<std::int32_t> values;
    bool operator==(const Write&) const = default;
};
std::vector<Write> writes(RulesRig& r)
{
    std::vector<Write> out;
    for (const CallRecord& c : r.sim().Calls())
        if ((c.op == Op::WriteItem || c.op == Op::WriteValue || c.op == Op::WriteElement) && c.code != kMarkerCode)
            out.push_back({c.op, c.code, c.row, c.in});
    return out;
}
std::vector<CallRecord> optionWrites(RulesRig& r)
{
    std::vector<CallRecord> out;
    for (const CallRecord& c : r.sim().Calls())
        if (c.op == Op::WriteItem && c.code == kOptionWords)
            out.push_back(c);
    return out;
}

std::map<std::string, bool> visibility(const cfgwin::EcuState& s)
{
    std::map<std::string, bool> out;
    for (const auto& rule : cfgrules::SwitchPageVisibility(s))
        for (const char* name : rule.names)
            out[name] = rule.visible;
    return out;
}

TEST(SwitchRules, ModeListShowsMonofuelForGasOnly)
{
    RulesRig r;
    ASSERT_EQ(r.dm().SetValueByCode(0x210, 2200), 1);
    EXPECT_EQ(cfgrules::SwitchModeItem(r.dm()), 0);
    ASSERT_TRUE(r.dm().SetFlag(cfgrules::kGasOnlyOption, true));
    EXPECT_EQ(cfgrules::SwitchModeItem(r.dm()), cfgrules::kMonofuelItem);

    // Enter on "Monofuel": the option stays set and no mode is written.
    r.sim().ClearCalls();
    cfgrules::CommitSwitchMode(r.dm(), cfgrules::kMonofuelItem);
    for (const Write& w : writes(r))
        EXPECT_NE(w.code, 0x210);
    EXPECT_EQ(r.dm().GetFlag(cfgrules::kGasOnlyOption), 1);

    // "in decelerazione": the mode is written, then the option cleared.
    r.sim().ClearCalls();
    cfgrules::CommitSwitchMode(r.dm(), 1);
    const auto w = writes(r);
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0], (Write{Op::WriteValue, 0x210, -1, {2201}}));
    EXPECT_EQ(w[1].code, kOptionWords);
    EXPECT_EQ(w[1].values[0] & kGasOnlyBit, 0);
    EXPECT_EQ(cfgrules::SwitchModeItem(r.dm()), 1);

    // No selection writes nothing.
    r.sim().ClearCalls();
    cfgrules::CommitSwitchMode(r.dm(), -1);
    EXPECT_TRUE(writes(r).empty());
}

TEST(SwitchRules, ModeCommitVisibility)
{
    struct Case {
        const char* name;
        cfgwin::EcuState state;
        std::map<std::string, bool> expected;
    };
    const Case cases[] = {
        {"accelerating",
         {.type = qz::ECU_TYPE_4CIL, .hasCustomerCode = true, .tipoCommutazione = 0, .ritornoChecked = true},
         {{"ComboCambio", true},
          {"EditGiriCambio", true},
          {"EditTempRiduttore", true},
          {"EditTempGasBassa", true},
          {"EditRitMin", true},
          {"EditSovrapposizione", true},
          {"EditCicchetto", false},
          {"EditTempGas", true},
          {"LabelTempGasCambio", true},
          {"CheckRitornoBenzina", true},
          {"EditRitornoBenzina", true}}},
        {"start on gas, no customer code, monoplug",
         {.type = qz::ECU_TYPE_MONOPLUG, .tipoCommutazione = 2},
         {{"EditGiriCambio", false},
          {"EditTempRiduttore", false},
          {"EditTempGasBassa", false},
          {"EditRitMin", true},
          {"EditTempGas", true},
          {"CheckRitornoBenzina", true},
          {"EditRitornoBenzina", false}}},
        {"gas only",
         {.type = qz::ECU_TYPE_4CIL, .gasOnly = true, .hasCustomerCode = true, .ritornoChecked = true},
         {{"ComboCambio", true},
          {"LabelCambio", true},
          {"EditGiriCambio", false},
          {"EditTempRiduttore", false},
          {"EditTempGasBassa", false},
          {"EditRitMin", false},
          {"EditSovrapposizione", false},
          {"EditCicchetto", true},
          {"EditTempGas", false},
          {"ShapeTempGasCambio", false},
          {"CheckRitornoBenzina", false},
          {"EditRitornoBenzina", false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto shown = visibility(c.state);
        for (const auto& [name, visible] : c.expected) {
            ASSERT_TRUE(shown.count(name)) << name;
            EXPECT_EQ(shown.at(name), visible) << name;
        }
    }
    EXPECT_EQ(cfgrules::OverlapCaption(true), 325);
    EXPECT_EQ(cfgrules::OverlapCaption(false), 118);
}

TEST(SwitchRules, ChoicesTheEcuHolds)
{
    // Idle: petrol flag and the idle speed limit.
    const std::tuple<bool, int, int> idle[] = {{true, 1100, cfgrules::IdlePetrol},
                                               {true, 0, cfgrules::IdleReturn},
                                               {false, 900, cfgrules::IdleReturn},
                                               {false, 0, cfgrules::IdleGas}};
    for (const auto& [flag, rpm, choice] : idle)
        EXPECT_EQ(cfgrules::IdleChoiceOf(flag, rpm), choice) << flag << " " << rpm;
    // High rpm: contribution flag, the rpm limit and petrol time 3.
    const std::tuple<bool, int, double, int> high[] = {{true, 8500, 30, cfgrules::HighRpmContribution},
                                                       {false, 8499, 30, cfgrules::HighRpmPetrol},
                                                       {false, 8500, 29.99, cfgrules::HighRpmPetrol},
                                                       {false, 8500, 30, cfgrules::HighRpmGas},
                                                       {false, 9000, 30, cfgrules::HighRpmGas}};
    for (const auto& [flag, rpm, time, choice] : high)
        EXPECT_EQ(cfgrules::HighRpmChoiceOf(flag, rpm, time), choice) << flag << " " << rpm << " " << time;
    EXPECT_TRUE(cfgrules::ForcesGasChoices(1));
    EXPECT_FALSE(cfgrules::ForcesGasChoices(2));
}

TEST(SwitchRules, IdleChoicesWriteTheirOptionAndSpeed)
{
    const std::tuple<int, bool, int> cases[] = {
        {cfgrules::IdleGas, false, 0}, {cfgrules::IdleReturn, false, 1100}, {cfgrules::IdlePetrol, true, 1100}};
    for (const auto& [tag, petrol, rpm] : cases) {
        SCOPED_TRACE(tag);
        RulesRig r;
        ASSERT_EQ(r.dm().SetElementByCode(cfgrules::kPetrolRpmCode, 0, 700), 1);
        ASSERT_TRUE(r.dm().SetFlag(cfgrules::kPetrolAtIdleOption, !petrol));
        r.sim().ClearCalls();
        cfgrules::ApplyIdleChoice(r.dm(), tag);
        const auto w = writes(r);
        ASSERT_EQ(w.size(), 2u);
        EXPECT_EQ(w[0].code, kOptionWords);
        EXPECT_EQ((w[0].values[1] & kPetrolAtIdleBit) != 0, petrol);
        EXPECT_EQ(w[1], (Write{Op::WriteElement, 0x2a1, 0, {rpm}}));
        const auto view = cfgrules::IdleVisibility(tag);
        EXPECT_EQ(view.rpmEditor, tag != cfgrules::IdleGas);
        EXPECT_EQ(view.stabilisation, tag == cfgrules::IdleReturn);
    }
    RulesRig r;
    r.sim().ClearCalls();
    cfgrules::ApplyIdleChoice(r.dm(), 3);
    EXPECT_TRUE(writes(r).empty());
}

TEST(SwitchRules, HighRpmChoicesWriteInTheirOrder)
{
    const std::int32_t tb = 2560;
    struct Case {
        int tag;
        bool sprayTicked;
        bool contribution;
        bool spraysCleared; // the option of the spray box is written clear
        int rpm;
        double time1, time3;
        int rpmCaption, timeCaption;
    };
    const Case cases[] = {
        {cfgrules::HighRpmGas, false, false, false, 8500, 0, 30, 371, 372},
        {cfgrules::HighRpmPetrol, false, false, true, 4500, 0, 15, 371, 372},
        {cfgrules::HighRpmPetrol, true, false, false, 4500, 0, 15, 371, 372},
        {cfgrules::HighRpmContribution, false, true, true, 4500, 2, 15, 502, 503},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.tag << " ticked " << c.sprayTicked);
        RulesRig r;
        ASSERT_TRUE(r.dm().SetFlag(cfgrules::kSprayOption, true));
        r.sim().ClearCalls();
        cfgrules::ApplyHighRpmChoice(r.dm(), c.tag, c.sprayTicked);
        const auto w = writes(r);
        ASSERT_EQ(w.size(), c.spraysCleared ? 5u : 4u);
        EXPECT_EQ((w[0].values[1] & kContributionBit) != 0, c.contribution);
        std::size_t next = 1;
        if (c.spraysCleared) {
            EXPECT_EQ(w[1].code, kOptionWords);
            EXPECT_EQ(w[1].values[1] & kSprayBit, 0);
            next = 2;
        }
        EXPECT_EQ(w[next], (Write{Op::WriteElement, 0x2a1, 1, {c.rpm}}));
        EXPECT_EQ(w[next + 1], (Write{Op::WriteElement, 0x2a0, 1, {dm::MsToRaw(c.time1, tb)}}));
        EXPECT_EQ(w[next + 2], (Write{Op::WriteElement, 0x2a0, 3, {dm::MsToRaw(c.time3, tb)}}));
        EXPECT_EQ(cfgrules::ChoiceTicksSpray(c.tag), c.tag != cfgrules::HighRpmGas);

        const auto view = cfgrules::HighRpmVisibility(c.tag, qz::ECU_TYPE_4CIL);
        EXPECT_EQ(view.spray, c.tag == cfgrules::HighRpmGas);
        EXPECT_EQ(view.petrolBlock, c.tag != cfgrules::HighRpmGas);
        EXPECT_EQ(view.rpmCaption, c.rpmCaption);
        EXPECT_EQ(view.timeCaption, c.timeCaption);
    }
    // No spray box on the ECU of type VANT.
    EXPECT_FALSE(cfgrules::HighRpmVisibility(cfgrules::HighRpmGas, qz::ECU_TYPE_VANT).spray);
}

TEST(SwitchRules, SplitValuesGoToTwoItems)
{
    struct Case {
        cfgrules::SplitItem item;
        int value, low, high;
    };
    const Case cases[] = {
        {cfgrules::kWarmEngineDelay, 300, 44, 1},  {cfgrules::kWarmEngineDelay, 1800, 8, 7},
        {cfgrules::kWarmEngineDelay, 255, 255, 0}, {cfgrules::kEmulationDelay, 500, 244, 1},
        {cfgrules::kEmulationDelay, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        RulesRig r;
        r.sim().ClearCalls();
        EXPECT_EQ(cfgrules::CommitSplitValue(r.dm(), c.item, c.value), c.value);
        EXPECT_EQ(writes(r), (std::vector<Write>{{Op::WriteValue, c.item.low, -1, {c.low}},
                                                 {Op::WriteValue, c.item.high, -1, {c.high}}}));
    }
    // A refused high byte: the editor shows what the ECU holds.
    RulesRig r;
    ASSERT_EQ(cfgrules::CommitSplitValue(r.dm(), cfgrules::kWarmEngineDelay, 300), 300);
    r.sim().AddFault({.op = Op::WriteValue, .code = 178});
    EXPECT_EQ(cfgrules::CommitSplitValue(r.dm(), cfgrules::kWarmEngineDelay, 600), 88 + 256);
}

TEST(SwitchRules, LowGasTemperatureIsTheThirdDiagnosticTemperature)
{
    RulesRig r;
    r.dm().BuildTemperaturaGasTable(r.dm().GetTipoSensoreTemperaturaGas());
    r.sim().ClearCalls();
    const int shown = cfgrules::CommitLowGasTemperature(r.dm(), 5);
    EXPECT_EQ(shown, 5);
    const auto w = writes(r);
    ASSERT_FALSE(w.empty());
    EXPECT_EQ(w.back().code, 0x51);
    EXPECT_EQ(w.back().index, 2);
    EXPECT_EQ(cfgrules::LowGasTemperature(r.dm()), 5);
}

TEST(SwitchRules, SwitchFromThePcPulsesTheRequest)
{
    struct Case {
        const char* name;
        int liveFlags;
        bool asksGasFirst; // option 5 while the request rises
    };
    const Case cases[] = {
        {"on gas", dm::LIVE_ON_GAS, true},
        {"change-over pending", dm::LIVE_CHANGEOVER_PENDING, true},
        {"on petrol", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RulesRig r;
        r.sim().ClearCalls();
        const auto start = r.clock.tickCount();
        EXPECT_TRUE(cfgrules::SwitchFuelFromPc(r.dm(), c.liveFlags));
        const auto w = optionWrites(r);
        ASSERT_EQ(w.size(), 4u);
        const auto bits = [&](std::size_t i) { return w[i].in[0] & (kRequestBit | kFuelAskedBit); };
        const std::int32_t first = c.asksGasFirst ? kFuelAskedBit : 0;
        const std::int32_t other = c.asksGasFirst ? 0 : kFuelAskedBit;
        EXPECT_EQ(bits(0), first);
        EXPECT_EQ(bits(1), first | kRequestBit);
        EXPECT_EQ(bits(2), other | kRequestBit);
        EXPECT_EQ(bits(3), other);
        // The request stays high for 600 ms; the whole pulse takes 900 ms.
        EXPECT_EQ(w[3].timeMs - w[1].timeMs, 600u);
        EXPECT_EQ(r.clock.tickCount() - start, 900u);
        EXPECT_EQ(r.dm().GetFlag(cfgrules::kSwitchRequestOption), 0);
    }
}

TEST(SwitchRules, SwitchRetriesARefusedRelease)
{
    struct Case {
        const char* name;
        int refusals; // of the release
        bool released;
        std::size_t writes;
    };
    for (const Case& c : {Case{"one refusal", 1, true, 5}, Case{"two refusals", 2, false, 5}}) {
        SCOPED_TRACE(c.name);
        RulesRig r;
        r.sim().AddFault({.op = Op::WriteItem, .code = kOptionWords, .skip = 3, .times = c.refusals});
        r.sim().ClearCalls();
        EXPECT_EQ(cfgrules::SwitchFuelFromPc(r.dm(), 0), c.released);
        EXPECT_EQ(optionWrites(r).size(), c.writes);
        EXPECT_EQ((r.ecu(3).at(0) & kRequestBit) == 0, c.released);
    }
    // A refused step before the release does not stop the pulse.
    RulesRig r;
    r.sim().AddFault({.op = Op::WriteItem, .code = kOptionWords, .skip = 1});
    r.sim().ClearCalls();
    EXPECT_TRUE(cfgrules::SwitchFuelFromPc(r.dm(), 0));
    EXPECT_EQ(optionWrites(r).size(), 4u);
    EXPECT_EQ(r.ecu(3).at(0) & kRequestBit, 0);
}

} // namespace
