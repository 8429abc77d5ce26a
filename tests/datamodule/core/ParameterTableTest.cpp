// The parameters the configuration window binds, each described once: what a
// description says, and that its limits are those the configuration file's
// values are checked against.
#include "datamodule/core/ParameterTable.h"
#include "datamodule/core/ItemCatalogue.h"
#include "datamodule/core/ItemCodes.h"
#include "datamodule/core/ItemLimits.h"
#include "datamodule/core/Scaling.h"
#include "datamodule/core/SensorTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

namespace {

using dm::ParamKind;

// The code the file check and a whole-image pass move the parameter's item
// with (the catalogue's), and its element in it.
std::pair<std::int32_t, int> fileCodeOf(const dm::Parameter& p)
{
    const dm::ItemDef* item = dm::FindItem(dm::ItemNumber(p.code));
    return {item ? item->code : p.code, p.index < 0 ? 0 : p.index};
}

// Representatives of every kind, with the numbers an editor shows them with.
TEST(ParameterTable, ADescriptionGivesItsKindLimitsDigitsAndTexts)
{
    struct Case {
        std::int32_t code;
        int index;
        ParamKind kind;
        dm::RawLimits raw;
        double min, max, step; // at time base 2560
        int decimals;
        int caption, unit;
    };
    const Case cases[] = {
        {dm::kLambdaReferenceCode, -1, ParamKind::Decimal, {0, 255}, 0, 5, 0.01, 2, 741, 85},
        {dm::kLambdaTypeCode, -1, ParamKind::List, {0, 255}, 0, 5, 1, 0, 380, 0},
        {dm::kHoldingCurrentCode, -1, ParamKind::Decimal, {0, 255}, 0, 25.5, 0.1, 1, 150, 0},
        {dm::kContinuousInjectionCode, -1, ParamKind::Decimal, {0, 255}, 0, 5.1, 0.02, 2, 317, 0},
        // Even rpm: the highest even raw, in steps of 2.
        {dm::kSwitchRpmCode, -1, ParamKind::Integer, {0, 65535}, 0, 65534, 2, 0, 116, 89},
        // Stored 100 above the value.
        {dm::kCutoffReturnLeaningCode, -1, ParamKind::Integer, {0, 255}, -100, 155, 1, 0, 580, 0},
        // A signed element of a vector.
        {dm::kSecondBankCode, -1, ParamKind::Integer, {-128, 127}, -128, 127, 1, 0, 348, 0},
        {dm::kCalibrationParamsCode, 2, ParamKind::Integer, {0, 255}, 0, 255, 1, 0, 0, 0},
        // Times through the time base: 65535 x 2560 x 10^-6 ms.
        {dm::kMaxCurrentTimesCode, 1, ParamKind::Time, {0, 65535}, 0, 167.7696, 0.01, 2, 147, 90},
        {dm::kExtraInjTimesCode, 0, ParamKind::Time, {0, 65535}, 0, 167.7696, 0.01, 2, 353, 90},
        {dm::kExtraInjTimesCode, 2, ParamKind::Time, {0, 65535}, 0, 167.7696, 0.01, 2, 306, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " element " << c.index);
        const dm::Parameter* p = dm::FindParameter(c.code, c.index);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->kind, c.kind);
        EXPECT_EQ(p->raw.lo, c.raw.lo);
        EXPECT_EQ(p->raw.hi, c.raw.hi);
        const auto range = p->Range(2560);
        ASSERT_TRUE(range.has_value());
        EXPECT_NEAR(range->min, c.min, 1e-9);
        EXPECT_NEAR(range->max, c.max, 1e-9);
        EXPECT_DOUBLE_EQ(range->step, c.step);
        EXPECT_EQ(p->decimals, c.decimals);
        EXPECT_EQ(p->caption, c.caption);
        EXPECT_EQ(p->unit, c.unit);
    }

    // Temperatures run over the sensor's table from raw 1 (0: no sensor).
    const dm::Parameter* reducer = dm::FindParameter(dm::kSwitchReducerTempCode);
    ASSERT_NE(reducer, nullptr);
    EXPECT_EQ(reducer->kind, ParamKind::Temperature);
    const auto degrees = reducer->Range(2560);
    ASSERT_TRUE(degrees.has_value());
    const double a = static_cast<double>(dm::TempMotoreFromRaw(1));
    const double b = static_cast<double>(dm::TempMotoreFromRaw(255));
    EXPECT_DOUBLE_EQ(degrees->min, std::min(a, b));
    EXPECT_DOUBLE_EQ(degrees->max, std::max(a, b));

    // A value the window keeps for itself: no by-code scale, no editor range.
    const dm::Parameter* injector = dm::FindParameter(dm::kInjectorPairCode, 1);
    ASSERT_NE(injector, nullptr);
    EXPECT_FALSE(injector->Range(2560).has_value());

    // The element is part of the key.
    EXPECT_EQ(dm::FindParameter(dm::kExtraInjTimesCode), nullptr);
    EXPECT_EQ(dm::FindParameter(dm::kInjectorPairCode, 0), nullptr);
    EXPECT_EQ(dm::FindParameter(0x7fff), nullptr);
}

TEST(ParameterTable, EveryParameterIsDescribedOnce)
{
    std::set<std::pair<std::int32_t, int>> seen;
    for (const dm::Parameter& p : dm::Parameters()) {
        EXPECT_TRUE(seen.insert({p.code, p.index}).second) << "code " << p.code << " element " << p.index;
        EXPECT_NE(dm::FindItem(dm::ItemNumber(p.code)), nullptr) << "code " << p.code << ": an item no one moves";
        EXPECT_EQ(dm::FindParameter(p.code, p.index), &p);
    }
    EXPECT_GE(seen.size(), 40u);
}

// What a description says its element can hold is what a configuration
// file's value may be: the file check takes the value at either bound and
// counts one beyond as damaged; an editor's range, turned into raw values,
// never leaves it.
TEST(ParameterTable, TheLimitsAreThoseTheFileCheckHolds)
{
    for (const dm::Parameter& p : dm::Parameters()) {
        SCOPED_TRACE(testing::Message() << "code " << p.code << " element " << p.index);
        const auto [code, element] = fileCodeOf(p);
        EXPECT_FALSE(dm::ElementCanHold(code, element, p.raw.lo - 1));
        EXPECT_FALSE(dm::ElementCanHold(code, element, p.raw.hi + 1));
        EXPECT_EQ(dm::ElementRawLimits(code, element).lo, p.raw.lo);
        EXPECT_EQ(dm::ElementRawLimits(code, element).hi, p.raw.hi);
        if (p.kind == ParamKind::List) {
            // Only the list's codes, each at its position.
            const auto range = p.Range(2560);
            ASSERT_TRUE(range.has_value());
            const dm::CodeDef* def = dm::FindValueCode(p.code);
            ASSERT_NE(def, nullptr);
            for (int pos = 0; pos <= static_cast<int>(range->max); ++pos) {
                const auto raw = dm::ValueToRaw(def->scale, pos, 0, 2560);
                ASSERT_TRUE(raw.has_value()) << pos;
                EXPECT_TRUE(dm::ElementCanHold(code, element, *raw)) << pos;
            }
            EXPECT_FALSE(dm::ValueToRaw(def->scale, range->max + 1, 0, 2560).has_value());
            continue;
        }
        EXPECT_TRUE(dm::ElementCanHold(code, element, p.raw.lo));
        EXPECT_TRUE(dm::ElementCanHold(code, element, p.raw.hi));
        const dm::CodeDef* def = dm::FindValueCode(p.code);
        if (!def)
            def = dm::FindElementCode(p.code);
        if (!def)
            continue;
        const dm::Scale scale = dm::ElementScale(*def, element);
        for (const std::int32_t timeBase : {1000, 2560, 40000}) {
            const auto range = p.Range(timeBase);
            ASSERT_TRUE(range.has_value());
            for (const double end : {range->min, range->max}) {
                const auto raw = dm::ValueToRaw(scale, end, 0, timeBase);
                ASSERT_TRUE(raw.has_value()) << end;
                EXPECT_TRUE(p.raw.Contains(*raw)) << end << " at time base " << timeBase << " is raw " << *raw;
            }
        }
    }
}

} // namespace
