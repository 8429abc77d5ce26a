// The OBD adaptivity: sign and range are independent parts of one byte, and
// the sensitivity steps by 10 within 100..250.
#include "config/rules/AdattaRules.h"
#include "RulesRig.h"

#include <gtest/gtest.h>

namespace {

using rulestest::RulesRig;

TEST(AdattaRules, SignAndRangeChangeOnlyTheirBits)
{
    struct Case {
        int bits;
        bool sign; // else range
        int tag;
        int result;
    };
    for (const Case c : {Case{0, true, 1, 1},
                         {1, true, 0, 0},
                         {5, true, 0, 4},
                         {4, true, 1, 5},
                         {0, false, 1, 2},
                         {1, false, 2, 5},
                         {7, false, 1, 3},
                         {3, false, 0, 1},
                         {0xf8, false, 2, 0xfc},
                         {0xf9, true, 0, 0xf8}}) {
        const int r = c.sign ? cfgrules::WithSign(c.bits, c.tag) : cfgrules::WithRange(c.bits, c.tag);
        EXPECT_EQ(r, c.result) << c.bits << (c.sign ? " sign " : " range ") << c.tag;
    }
    EXPECT_EQ(cfgrules::SignTag(7), 1);
    EXPECT_EQ(cfgrules::SignTag(6), 0);
    struct Shown {
        int bits, range;
    };
    for (const Shown s : {Shown{0, 0}, {3, 1}, {5, 2}, {6, -1}, {7, -1}})
        EXPECT_EQ(cfgrules::RangeTag(s.bits), s.range) << s.bits;
}

TEST(AdattaRules, SensitivityStepsWithinItsRange)
{
    EXPECT_EQ(cfgrules::SensitivityStep(250, true), std::nullopt);
    EXPECT_EQ(cfgrules::SensitivityStep(240, true), 250);
    EXPECT_EQ(cfgrules::SensitivityStep(100, false), std::nullopt);
    EXPECT_EQ(cfgrules::SensitivityStep(105, false), 95);
    EXPECT_EQ(cfgrules::SensitivityStep(95, false), std::nullopt);
}

TEST(AdattaRules, SensitivityStepWritesTheEcu)
{
    RulesRig r;
    ASSERT_EQ(r.dm().SetElementByCode(185, 1, 240), 1);
    EXPECT_EQ(cfgrules::StepSensitivity(r.dm(), true), 250);
    EXPECT_EQ(r.ecu(0xb9)[1], 250);
    r.sim().ClearCalls();
    EXPECT_EQ(cfgrules::StepSensitivity(r.dm(), true), 250);
    EXPECT_TRUE(r.writtenItems().empty());
    // A refused write: the value the slider shows is the step's all the same.
    r.sim().AddFault({.op = protovyx::Op::WriteElement, .code = 0xb9});
    EXPECT_EQ(cfgrules::StepSensitivity(r.dm(), false), 240);
    EXPECT_EQ(r.ecu(0xb9)[1], 250);
}

} // namespace
