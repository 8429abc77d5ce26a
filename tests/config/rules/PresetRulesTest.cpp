// The temperature-correction presets: the packed value P and its two codes,
// the slider positions of the codes, and a step through the simulated ECU
// (P and the nine coefficients it shifts).
#include "config/rules/PresetRules.h"
#include "RulesRig.h"

#include <gtest/gtest.h>

namespace {

using cfgrules::Preset;
using rulestest::RulesRig;

TEST(PresetRules, CodesOfThePackedValue)
{
    struct Case {
        std::int64_t p;
        int reducer, gas;
    };
    // The gas code is the thousands less one, counted 0 below 0; both codes
    // at most 21.
    for (const Case c : {Case{0, 0, 0},
                         {1, 1, 0},
                         {12001, 1, 11},
                         {1000, 0, 0},
                         {6015, 15, 5},
                         {999, 21, 0},
                         {40000, 0, 21},
                         {-5, 0, 0}})
        EXPECT_EQ(std::pair(cfgrules::PresetCode(c.p, Preset::Reducer), cfgrules::PresetCode(c.p, Preset::Gas)),
                  std::pair(c.reducer, c.gas))
            << c.p;
    EXPECT_EQ(cfgrules::WithPresetCode(12001, Preset::Reducer, 14), 12014);
    EXPECT_EQ(cfgrules::WithPresetCode(12001, Preset::Gas, 3), 4001);
}

TEST(PresetRules, PositionsOfTheCodes)
{
    // Every code the slider writes comes back to its position.
    for (int p = 0; p < cfgrules::kPresetPositions; ++p)
        EXPECT_EQ(cfgrules::PresetPosition(cfgrules::CodeOfPosition(p)), p) << p;
    // Codes the slider never writes are 0 %: 6..10, 16..20, and 21, whose
    // position (15) lies outside the eleven.
    for (int code : {6, 7, 10, 16, 20, 21, 30, -1})
        EXPECT_EQ(cfgrules::PresetPosition(code), cfgrules::kPresetNeutral) << code;
    EXPECT_EQ(cfgrules::PresetPosition(15), 0);
    EXPECT_EQ(cfgrules::PresetPosition(5), 10);
    EXPECT_EQ(cfgrules::PresetLabel(0), "-50%");
    EXPECT_EQ(cfgrules::PresetLabel(5), "0%");
    EXPECT_EQ(cfgrules::PresetLabel(10), "50%");
    // Beyond the table's rows its last ones: no row 14 or 15.
    EXPECT_EQ(cfgrules::PresetProfile(Preset::Reducer, 15), cfgrules::PresetProfile(Preset::Reducer, 10));
    EXPECT_EQ(cfgrules::PresetProfile(Preset::Gas, -1), cfgrules::PresetProfile(Preset::Gas, 0));
}

TEST(PresetRules, DotOfASlider)
{
    // Track 200 pixels from 10, dot 20 wide.
    EXPECT_EQ(cfgrules::SliderDotLeft(0, 10, 200, 10, 20), 0);
    EXPECT_EQ(cfgrules::SliderDotLeft(5, 10, 200, 10, 20), 100);
    EXPECT_EQ(cfgrules::SliderDotLeft(10, 10, 200, 10, 20), 200);
    // The sensitivity slider: (d - 100) of 150.
    EXPECT_EQ(cfgrules::SliderDotLeft(145, 150, 200, 10, 20), 193);
    EXPECT_EQ(cfgrules::SliderDotLeft(-5, 150, 200, 10, 20), -6);
}

class PresetSteps : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 9; ++i) {
            ASSERT_TRUE(r.dm().SetCoeffTemperatura(i, 100));
            ASSERT_TRUE(r.dm().SetCoeffMot(i, 100));
        }
        setP(0);
    }
    void setP(std::int64_t p) { ASSERT_TRUE(r.dm().SetTInjFiltro(0, static_cast<double>(p))); }
    std::int32_t ecuP() { return r.ecu(0x98)[0]; }
    std::vector<std::int32_t> shifts(int item)
    {
        std::vector<std::int32_t> v = r.ecu(item);
        for (auto& x : v)
            x -= 100;
        return v;
    }

    RulesRig r;
};

TEST_F(PresetSteps, AReducerStepThenAGasStep)
{
    EXPECT_EQ(cfgrules::PresetPositionOf(r.dm(), Preset::Reducer), 5);
    EXPECT_EQ(cfgrules::PresetPositionOf(r.dm(), Preset::Gas), 5);
    EXPECT_EQ(cfgrules::StepPreset(r.dm(), Preset::Reducer, true), 6);
    EXPECT_EQ(ecuP(), 1);
    EXPECT_EQ(shifts(0x2b), (std::vector<std::int32_t>{0, 0, 0, -1, -1, -1, -2, -2, -2}));
    EXPECT_EQ(cfgrules::StepPreset(r.dm(), Preset::Gas, false), 4);
    EXPECT_EQ(ecuP(), 12001);
    EXPECT_EQ(shifts(0x5d), (std::vector<std::int32_t>{-1, -1, 0, 0, 0, 0, 0, 1, 1}));
    // Back up: the same coefficients as before.
    EXPECT_EQ(cfgrules::StepPreset(r.dm(), Preset::Gas, true), 5);
    EXPECT_EQ(ecuP(), 1001);
    EXPECT_EQ(shifts(0x5d), std::vector<std::int32_t>(9, 0));
}

TEST_F(PresetSteps, CodesWithoutAPositionStepFromZeroPercent)
{
    // Code 7 is not one the slider writes: 0 %; up writes code 1 and applies
    // profile 6 less profile 5.
    setP(7);
    EXPECT_EQ(cfgrules::StepPreset(r.dm(), Preset::Reducer, true), 6);
    EXPECT_EQ(ecuP(), 1);
    EXPECT_EQ(shifts(0x2b), (std::vector<std::int32_t>{0, 0, 0, -1, -1, -1, -2, -2, -2}));
    // Code 21 stands for no position: down from 0 % to -10 % (code 11).
    setP(21);
    EXPECT_EQ(cfgrules::PresetPositionOf(r.dm(), Preset::Reducer), 5);
    EXPECT_EQ(cfgrules::StepPreset(r.dm(), Preset::Reducer, false), 4);
    EXPECT_EQ(ecuP(), 11);
    setP((21 + 1) * 1000);
    EXPECT_EQ(cfgrules::StepPreset(r.dm(), Preset::Gas, true), 6);
    EXPECT_EQ(ecuP(), 2000);
}

TEST_F(PresetSteps, AtAnEndNothingIsWritten)
{
    setP(5); // reducer +50 %
    r.sim().ClearCalls();
    EXPECT_EQ(cfgrules::StepPreset(r.dm(), Preset::Reducer, true), 10);
    EXPECT_TRUE(r.writtenItems().empty());
    setP(15); // -50 %
    r.sim().ClearCalls();
    EXPECT_EQ(cfgrules::StepPreset(r.dm(), Preset::Reducer, false), 0);
    EXPECT_TRUE(r.writtenItems().empty());
}

TEST_F(PresetSteps, CoefficientsStayWithinTheirRange)
{
    // Coefficients at 0 and 200: a shift below 0 stores 0, above 200 stores
    // 200 (not the other end).
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(r.dm().SetCoeffMot(i, i < 4 ? 0 : 200));
    setP(1000 + 1000 * 5); // gas code 5: +50 %, position 10
    EXPECT_EQ(cfgrules::StepPreset(r.dm(), Preset::Gas, false), 9);
    // profile 9 less profile 10: -2, -2, -2, -1, 0, +1, +2, +2, +2
    EXPECT_EQ(r.ecu(0x5d), (std::vector<std::int32_t>{0, 0, 0, 0, 200, 200, 200, 200, 200}));
}

TEST_F(PresetSteps, ARefusedWriteLeavesPAndTheCoefficientsGoOn)
{
    r.sim().AddFault({.op = protovyx::Op::WriteElement, .code = 0x298});
    EXPECT_EQ(cfgrules::StepPreset(r.dm(), Preset::Reducer, true), 6);
    EXPECT_EQ(ecuP(), 0);
    EXPECT_EQ(shifts(0x2b)[8], -2);
    // The next showing takes the position from P again.
    EXPECT_EQ(cfgrules::PresetPositionOf(r.dm(), Preset::Reducer), 5);
}

} // namespace
