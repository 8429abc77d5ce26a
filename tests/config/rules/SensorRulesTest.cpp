// The sensors' rules against the simulated ECU: the level-sensor list by
// fuel and its mapping, the threshold series, the return to petrol, the bank
// rules, the pressure page's selectors and the injector times.
#include "config/rules/SensorRules.h"
#include "RulesRig.h"
#include "datamodule/core/ItemCodes.h"

#include "product/constants/BuildConstants.h"

#include <map>

namespace {

using protovyx::CallRecord;
using protovyx::Op;
using rulestest::RulesRig;

constexpr std::int32_t kTypeCode = 0x24;
constexpr std::int32_t kThresholdCode = 0x25;

std::vector<CallRecord> writesOf(RulesRig& r, Op op, std::int32_t code)
{
    std::vector<CallRecord> out;
    for (const CallRecord& c : r.sim().Calls())
        if (c.op == op && c.code == code)
            out.push_back(c);
    return out;
}

TEST(SensorRules, LevelSensorListsByFuel)
{
    EXPECT_EQ(cfgrules::LevelSensorItems(true, rig::text), (QStringList{"Quorin/VYX 417", "T133", "T134"}));
    EXPECT_EQ(cfgrules::LevelSensorItems(false, rig::text),
              (QStringList{"Quorin/VYX 2093", "Quorin 318470", "0 - 90 ohm", "T133", "T134"}));
}

TEST(SensorRules, LevelSensorMappingByFuel)
{
    struct Case {
        bool cng;
        int item;
        std::int32_t code;                       // written to the type item
        std::vector<std::int32_t> thresholdsRaw; // written to the threshold item, in order
        bool panel;
        cfgrules::LevelThresholds shown;
    };
    const Case cases[] = {
        // The presets of positions 0 and 1 come with the type (inverted for 129).
        {true, 0, 129, {56, 115, 162, 216}, false, {199, 140, 93, 39}},
        {true, 1, 4, {}, true, {}},
        {true, 2, 131, {}, true, {}},
        {false, 0, 129, {56, 115, 162, 216}, false, {199, 140, 93, 39}},
        {false, 1, 131, {32, 82, 113, 139}, false, {223, 173, 142, 116}},
        {false, 2, 2, {17, 44, 77, 100}, false, {17, 44, 77, 100}},
        {false, 3, 4, {}, true, {}},
        {false, 4, 131, {}, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << (c.cng ? "CNG" : "LPG") << " item " << c.item);
        RulesRig r;
        // Thresholds that no preset has, stored plain.
        ASSERT_TRUE(r.dm().SetTipoSensore(4));
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(r.dm().SetRifSensore(i, 10 + i));
        r.sim().ClearCalls();
        const auto sensor = cfgrules::CommitLevelSensor(r.dm(), c.cng, c.item);
        ASSERT_TRUE(sensor);
        EXPECT_EQ(sensor->thresholds, c.panel);
        const auto type = writesOf(r, Op::WriteValue, kTypeCode);
        ASSERT_EQ(type.size(), 1u);
        EXPECT_EQ(type[0].in, std::vector<std::int32_t>{c.code});
        std::vector<std::int32_t> raw;
        for (const auto& w : writesOf(r, Op::WriteElement, kThresholdCode)) {
            EXPECT_EQ(w.row, static_cast<std::int32_t>(raw.size()));
            raw.push_back(w.in.at(0));
        }
        EXPECT_EQ(raw, c.thresholdsRaw);
        if (!c.thresholdsRaw.empty()) {
            EXPECT_EQ(cfgrules::StoredThresholds(r.dm()), c.shown);
        }
        // Showing the page again selects the same item.
        EXPECT_EQ(cfgrules::LevelSensorItemOf(c.cng, r.dm().GetTipoSensore(), cfgrules::StoredThresholds(r.dm())),
                  c.item);
    }
}

TEST(SensorRules, ChangedPresetThresholdsShowTheInvertedNonStandardItem)
{
    RulesRig r;
    ASSERT_TRUE(cfgrules::CommitLevelSensor(r.dm(), false, 1));
    ASSERT_EQ(cfgrules::LevelSensorItemOf(false, r.dm().GetTipoSensore(), cfgrules::StoredThresholds(r.dm())), 1);
    ASSERT_TRUE(cfgrules::ConfirmLevelThresholds(r.dm(), {223, 173, 142, 110}));
    EXPECT_EQ(cfgrules::LevelSensorItemOf(false, r.dm().GetTipoSensore(), cfgrules::StoredThresholds(r.dm())), 4);
    // Positions that neither list holds select nothing.
    for (const int position : {2, 3, 6, 9, -1}) {
        EXPECT_EQ(cfgrules::LevelSensorItemOf(false, position, {}), -1) << position;
        EXPECT_EQ(cfgrules::LevelSensorItemOf(true, position, {}), -1) << position;
    }
    EXPECT_EQ(cfgrules::LevelSensorItemOf(true, 1, {}), -1); // "0 - 90 ohm" is LPG's
    // An item outside the list writes nothing.
    r.sim().ClearCalls();
    EXPECT_FALSE(cfgrules::CommitLevelSensor(r.dm(), true, 3));
    EXPECT_FALSE(cfgrules::CommitLevelSensor(r.dm(), false, -1));
    EXPECT_TRUE(r.writtenItems().empty());
}

TEST(SensorRules, ThresholdSeries)
{
    struct Case {
        cfgrules::LevelThresholds l;
        bool inverted;
        bool valid;
    };
    const Case cases[] = {
        {{10, 20, 30, 40}, false, true},    {{10, 20, 20, 40}, false, false}, // not strictly rising
        {{40, 30, 20, 10}, false, false},   {{40, 30, 20, 10}, true, true},
        {{40, 30, 30, 10}, true, false}, // not strictly falling
        {{0, 1, 2, 255}, false, true},      {{255, 254, 1, 0}, true, true},
        {{10, 20, 300, 400}, false, false}, // rising, but beyond a byte
        {{-1, 20, 30, 40}, false, false},   {{400, 300, 20, 10}, true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cfgrules::LevelThresholdsValid(c.l, c.inverted), c.valid)
            << c.l[0] << " " << c.l[1] << " " << c.l[2] << " " << c.l[3] << (c.inverted ? " inverted" : "");
}

TEST(SensorRules, ConfirmWritesAValidSeriesAndRefusesAnyOther)
{
    RulesRig r;
    ASSERT_TRUE(r.dm().SetTipoSensore(4)); // plain thresholds
    const cfgrules::LevelThresholds before = cfgrules::StoredThresholds(r.dm());
    for (const cfgrules::LevelThresholds& wrong :
         {cfgrules::LevelThresholds{10, 20, 300, 400}, cfgrules::LevelThresholds{10, 20, 20, 40}}) {
        r.sim().ClearCalls();
        r.prompts.clear();
        EXPECT_FALSE(cfgrules::ConfirmLevelThresholds(r.dm(), wrong));
        ASSERT_EQ(r.prompts.texts(), QStringList{"T177"});
        EXPECT_EQ(r.prompts.shown()[0].icon, plat::PromptIcon::Error);
        EXPECT_EQ(r.prompts.shown()[0].caption, QString::fromUtf8(qz::ProductTitle()));
        EXPECT_TRUE(r.writtenItems().empty());
        EXPECT_EQ(cfgrules::StoredThresholds(r.dm()), before);
    }
    r.sim().ClearCalls();
    r.prompts.clear();
    EXPECT_TRUE(cfgrules::ConfirmLevelThresholds(r.dm(), {10, 20, 30, 40}));
    EXPECT_TRUE(r.prompts.shown().empty());
    EXPECT_EQ(writesOf(r, Op::WriteElement, kThresholdCode).size(), 4u);
    EXPECT_EQ(r.ecu(kThresholdCode), (std::vector<std::int32_t>{10, 20, 30, 40}));
}

TEST(SensorRules, ReturnToPetrolRemembersItsTime)
{
    RulesRig r;
    ASSERT_EQ(r.dm().SetValueByCode(dm::kPetrolReturnTimeCode, 3), 1);
    int remembered = -1;
    // Loading writes nothing either way.
    r.sim().ClearCalls();
    EXPECT_EQ(cfgrules::ApplyReturnToPetrol(r.dm(), true, true, remembered), 3);
    EXPECT_FALSE(cfgrules::ApplyReturnToPetrol(r.dm(), false, true, remembered));
    EXPECT_TRUE(r.writtenItems().empty());
    EXPECT_EQ(remembered, -1);
    // Off writes 255 and remembers 3; on again writes 3.
    EXPECT_FALSE(cfgrules::ApplyReturnToPetrol(r.dm(), false, false, remembered));
    EXPECT_EQ(r.ecu(62).at(0), 255);
    EXPECT_EQ(remembered, 3);
    EXPECT_FALSE(cfgrules::ReturnToPetrolOn(r.dm()));
    EXPECT_EQ(cfgrules::ApplyReturnToPetrol(r.dm(), true, false, remembered), 3);
    EXPECT_EQ(r.ecu(62).at(0), 3);
    // A refused write of the time leaves the off value, which is never
    // remembered as a time.
    r.sim().AddFault({.op = Op::WriteValue, .code = 62, .skip = 1});
    EXPECT_FALSE(cfgrules::ApplyReturnToPetrol(r.dm(), false, false, remembered));
    EXPECT_EQ(cfgrules::ApplyReturnToPetrol(r.dm(), true, false, remembered), 255);
    EXPECT_FALSE(cfgrules::ApplyReturnToPetrol(r.dm(), false, false, remembered));
    EXPECT_EQ(remembered, 3);
    // Nothing remembered (a new run): on writes 0 seconds.
    int fresh = -1;
    EXPECT_EQ(cfgrules::ApplyReturnToPetrol(r.dm(), true, false, fresh), 0);
    EXPECT_EQ(r.ecu(62).at(0), 0);
}

TEST(SensorRules, BankRules)
{
    struct Case {
        int type;
        bool secondBank, lambdaTypes;
        bool probe2, bank2, correction;
    };
    const Case cases[] = {
        {qz::ECU_TYPE_4CIL, false, false, false, false, false},  {qz::ECU_TYPE_4CIL, false, true, true, false, false},
        {qz::ECU_TYPE_4CIL, true, false, true, true, true},      {qz::ECU_TYPE_VANT, true, true, false, true, true},
        {qz::ECU_TYPE_MONOPLUG, true, false, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.type << " " << c.secondBank << " " << c.lambdaTypes);
        std::map<std::string, bool> shown;
        for (const auto& rule : cfgrules::BankVisibility(c.type, c.secondBank, c.lambdaTypes, c.secondBank ? 2 : 1))
            for (const char* name : rule.names)
                shown[name] = rule.visible;
        EXPECT_TRUE(shown.at("LabLambda"));
        EXPECT_EQ(shown.at("ImageLambda2"), c.probe2);
        EXPECT_EQ(shown.at("LabLambda2"), c.probe2);
        EXPECT_EQ(shown.at("LabApMot2"), c.bank2);
        EXPECT_EQ(shown.at("LabelTarget2"), c.bank2);
        EXPECT_EQ(shown.at("EditCorrBancata2"), c.correction);
        EXPECT_EQ(shown.at("ShapeCorrettore"), c.correction);
    }
}

TEST(SensorRules, PressureSelectors)
{
    for (const auto& [internal, differential, visible] :
         {std::tuple{false, true, true}, {false, false, false}, {true, true, false}, {true, false, false}})
        EXPECT_EQ(cfgrules::ExternalMapPairVisible(internal, differential), visible) << internal << differential;
    EXPECT_EQ(cfgrules::PressureMeterItem(true), 1);
    EXPECT_EQ(cfgrules::PressureReadingItem(false, true), 1);
    EXPECT_EQ(cfgrules::PressureReadingItem(true, true), 0);
    EXPECT_EQ(cfgrules::PressureReadingItem(true, false), 1);
    EXPECT_EQ(cfgrules::MapSensorItem(-108, 542), 0);
    EXPECT_EQ(cfgrules::MapSensorItem(35, 826), 1);
    EXPECT_EQ(cfgrules::MapSensorItem(35, 542), -1);
}

TEST(SensorRules, DefaultInjectionTimeGoesToEveryRowOfTheFuelsColumn)
{
    for (const bool cng : {false, true}) {
        SCOPED_TRACE(cng ? "CNG" : "LPG");
        RulesRig r;
        ASSERT_TRUE(r.dm().SetFlag(cfgrules::kFuelOption, cng));
        ASSERT_TRUE(r.dm().SetTInjDefault(0, cng ? 1 : 0, 3));
        const double before = cfgrules::DefaultInjectionTime(r.dm());
        // Row 0 is refused: the other rows still get the value typed.
        r.sim().AddFault({.op = Op::WriteCell, .code = 0x28f, .row = 0});
        r.sim().ClearCalls();
        EXPECT_DOUBLE_EQ(cfgrules::CommitDefaultInjectionTime(r.dm(), 4.5), before);
        const auto cells = writesOf(r, Op::WriteCell, 0x28f);
        ASSERT_EQ(cells.size(), 8u);
        for (int row = 0; row < 8; ++row) {
            EXPECT_EQ(cells[static_cast<std::size_t>(row)].row, row);
            EXPECT_EQ(cells[static_cast<std::size_t>(row)].column, cng ? 1 : 0);
            EXPECT_EQ(cells[static_cast<std::size_t>(row)].in, cells[0].in);
        }
        for (int row = 1; row < 8; ++row)
            EXPECT_NEAR(static_cast<double>(r.dm().GetTInjDefault(row, cng ? 1 : 0)), 4.5, 0.01) << row;
    }
}

} // namespace
