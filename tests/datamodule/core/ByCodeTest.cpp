// GetValueByCode / SetValueByCode and the element pair against the simulated ECU.
#include "tests/support/rig/DataModuleRig.h"

#include <gmock/gmock.h>
#include <cmath>

namespace {

using rig::DataModuleRig;

class ByCode : public ::testing::Test {
protected:
    void SetUp() override
    {
        r.connectEcu();
        r.dm().BuildTemperaturaGasTable(0);
        r.dm().BuildTempMotoreTable(false);
    }
    void TearDown() override { EXPECT_THAT(r.sim().Violations(), ::testing::IsEmpty()); }

    // The value of the last write call of that operation.
    std::optional<std::int32_t> lastWritten(const std::string& op)
    {
        const auto w = r.callsOf(op);
        if (w.empty() || w.back().in.empty())
            return std::nullopt;
        return w.back().in.back();
    }
    std::int32_t& stored(std::int32_t code) { return *r.dm().Item(code); }

    DataModuleRig r;
};

TEST_F(ByCode, SingleCodesWriteTheirRawValueAndReadItBack)
{
    struct Case {
        std::int32_t code;
        std::int32_t before; // raw in the image before the write
        double value;
        std::int32_t raw;    // what the ECU receives and the image then holds
        double readBack;
    };
    const Case cases[] = {
        {5, 0, 1.0, 51, 1.0},
        {8, 0, 2.5, 128, 2.50980392},
        {6, 0, 7.9, 7, 7},
        {118, 0, 1.99, 19, 1.9},   // x 10 truncated, not rounded
        {54, 0, 1.0, 50, 1.0},
        {109, 0, 0.3, 15, 0.3},
        {136, 7, -100, 0, -100},
        {122, 0, 15, 15, 15},
        {528, 1601, 2001, 2001, 2000}, // bit 0 kept from the stored value
        {528, 1600, 2001, 2000, 2000},
        {20, 0x41, 3, 0x44, 3},        // weak-signal bit 6 kept
        {4, 0, 4, 136, 4},
        {52, 0, 3, 2, 3},
        {188, 0, 1.0, 128, 1.0},
        {188, 0, 3.0, 42, 128.0 / 42},
        {587, 0, 1599.5, 1600, 1600},
        {591, 0, 2.56, 1000, 2.56},
        {640, 0, 0.6, 234, 0.59904},
        {1140, 0, -12, -12, -12},
        {26, 0x11, 0xf0, 0xf0, 0xf0},
        {0x300001a, 0xf0, 5, 0xf5, 5},
        {0x230001a, 0xff, 0, 0xe7, 0},
        {0x150001a, 0x00, 1, 0x20, 1},
        {0x170001a, 0x01, 1, 0x81, 1},
        {0x300001a, 0x00, 12, 0x04, 4}, // a value wider than the field keeps to it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "code 0x" << std::hex << c.code << std::dec << " value " << c.value);
        stored(c.code & 0xFF) = c.before;
        r.dm().Modified = 0;
        r.sim().ClearCalls();
        EXPECT_EQ(r.dm().SetValueByCode(c.code, c.value), 1);
        const auto w = r.callsOf("WriteValue");
        ASSERT_EQ(w.size(), 1u);
        EXPECT_EQ(w[0].code, c.code);
        EXPECT_EQ(w[0].in.back(), c.raw);
        EXPECT_EQ(stored(c.code & 0xFF), c.raw);
        EXPECT_EQ(r.dm().Modified, 1);
        EXPECT_NEAR(static_cast<double>(r.dm().GetValueByCode(c.code)), c.readBack, 1e-6);
    }
}

// A decimal typed into an editor reaches the ECU as the raw the scale's
// formula gives for that decimal, although its binary form lies a hair
// beside it (0.3 x 10, 4.35 x 50 + 0.5 and 0.3 x 100 all come out just
// below the whole number).
TEST_F(ByCode, TypedDecimalsWriteTheRawOfTheirDecimal)
{
    struct Case {
        std::int32_t code;
        double value;
        std::int32_t raw; // in the ECU's own item after the write
        double readBack;
    };
    const Case cases[] = {
        {56, 0.3, 3, 0.3},   // x 0.1, truncated
        {56, 2.3, 23, 2.3},
        {56, 19.9, 199, 19.9},
        {56, 25.5, 255, 25.5},
        {118, 0.3, 3, 0.3},
        {118, 2.3, 23, 2.3},
        {118, 19.9, 199, 19.9},
        {118, 1.99, 19, 1.9}, // a second decimal is cut off, as the scale says
        {54, 0.03, 2, 0.04}, // x 0.02, rounded: 1.5 + 0.5
        {54, 1.99, 100, 2.0},
        {54, 4.35, 218, 4.36},
        {188, 2.5, 51, 128.0 / 51},   // 12800 / 250
        {188, 1.7, 75, 128.0 / 75},   // 12800 / 170, not / 169
        {188, 0.6, 213, 128.0 / 213}, // 12800 / 60, not / 59
        {591, 0.288, 113, 113 * 0.00256}, // ms at time base 2560: 112.5 + 0.5
        {536, 0.608, 238, 238 * 0.00256},
        {117, 48.5, 76, 48.5}, // Tgas, sensor type 0: 83 + 0.7 x (73 - 83)
        {15, 48.5, 70, 48.5},  // Tmot, default sensor: 100 + 0.7 x (88 - 100)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "code " << c.code << " value " << c.value);
        r.sim().ClearCalls();
        ASSERT_EQ(r.dm().SetValueByCode(c.code, c.value), 1);
        EXPECT_EQ(lastWritten("WriteValue"), c.raw);
        std::vector<std::int32_t> ecu;
        ASSERT_TRUE(r.sim().PeekItem(c.code & 0xFF, ecu));
        EXPECT_EQ(ecu[0], c.raw);
        EXPECT_EQ(stored(c.code & 0xFF), c.raw);
        EXPECT_NEAR(static_cast<double>(r.dm().GetValueByCode(c.code)), c.readBack, 1e-9);
    }
}

TEST_F(ByCode, EveryTenthOnTheHoldingCurrentCodesReadsBackAsTyped)
{
    for (std::int32_t code : {56, 118}) {
        for (int tenths = 0; tenths <= 255; ++tenths) {
            const double typed = tenths / 10.0;
            SCOPED_TRACE(::testing::Message() << "code " << code << " value " << typed);
            ASSERT_EQ(r.dm().SetValueByCode(code, typed), 1);
            EXPECT_EQ(stored(code & 0xFF), tenths);
            const double back = static_cast<double>(r.dm().GetValueByCode(code));
            EXPECT_EQ(std::lround(back * 10), tenths);
            EXPECT_NEAR(back, typed, 1e-12);
        }
    }
}

TEST_F(ByCode, TypedDecimalsOnElementCodes)
{
    struct Case {
        std::int32_t code;
        int index;
        double value;
        std::int32_t raw;
    };
    const Case cases[] = {
        {586, 1, 0.288, 113}, // ms
        {617, 2, 0.608, 238}, // ms element of a mixed item
        {667, 0, 0.352, 138},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "code " << c.code << " index " << c.index << " value " << c.value);
        r.sim().ClearCalls();
        ASSERT_EQ(r.dm().SetElementByCode(c.code, c.index, c.value), 1);
        const auto w = r.callsOf("WriteElement"); // then the marker's own write
        ASSERT_FALSE(w.empty());
        EXPECT_EQ(w[0].code, c.code);
        EXPECT_EQ(w[0].row, c.index);
        EXPECT_EQ(w[0].in.back(), c.raw);
        EXPECT_EQ(r.dm().Item(c.code)[c.index], c.raw);
        EXPECT_NEAR(static_cast<double>(r.dm().GetElementByCode(c.code, c.index)), c.raw * 0.00256, 1e-12);
    }
}

TEST_F(ByCode, TemperatureCodesGoThroughTheSensorTables)
{
    ASSERT_EQ(r.dm().SetValueByCode(117, 25.0), 1); // Tgas
    EXPECT_EQ(lastWritten("WriteValue"), dm::TemperaturaGasToRaw(25.0f));
    EXPECT_NEAR(static_cast<double>(r.dm().GetValueByCode(117)), 25.0, 2.5);
    ASSERT_EQ(r.dm().SetValueByCode(15, 25.0), 1); // Tmot
    EXPECT_EQ(lastWritten("WriteValue"), 127);
    EXPECT_EQ(static_cast<double>(r.dm().GetValueByCode(15)), 25.0);
}

TEST_F(ByCode, CodesThatWriteNothing)
{
    struct Case {
        std::int32_t code;
        double value;
        int result;
    };
    const Case cases[] = {
        {0x279, 1000, 0},   // not a by-code item
        {0x19, 1, 0},       // an element code
        {-1, 1, -1},
        {4, 6, 0},          // beyond the lambda list
        {4, -1, 0},
        {20, 8, 0},         // beyond the cylinder list
        {188, 0.0, 0},      // 12800 / 0
        {188, 0.009, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "code " << c.code << " value " << c.value);
        r.dm().Modified = 0;
        r.sim().ClearCalls();
        const auto before = std::vector<std::int32_t>(r.dm().Image.All().begin(), r.dm().Image.All().end());
        EXPECT_EQ(r.dm().SetValueByCode(c.code, c.value), c.result);
        EXPECT_EQ(r.dm().Modified, 1);
        EXPECT_TRUE(r.sim().Calls().empty());
        EXPECT_TRUE(std::equal(before.begin(), before.end(), r.dm().Image.All().begin()));
    }
    EXPECT_EQ(r.dm().GetValueByCode(0x279), TStreamDati::kUnknownCode);
    EXPECT_EQ(r.dm().GetValueByCode(-1), TStreamDati::kUnknownCode);
    EXPECT_EQ(r.dm().GetValueByCode(188), 128); // raw 0
    stored(4) = 5;
    EXPECT_EQ(r.dm().GetValueByCode(4), -1);
}

TEST_F(ByCode, RefusedWriteKeepsTheImageButSetsModified)
{
    stored(5) = 10;
    r.sim().AddFault({.op = protovyx::Op::WriteValue, .code = 5});
    EXPECT_EQ(r.dm().SetValueByCode(5, 1.0), 0);
    EXPECT_EQ(stored(5), 10);
    EXPECT_EQ(r.dm().Modified, 1);
    EXPECT_TRUE(r.dm().GetUfficiale());
}

TEST_F(ByCode, OnlyAChangedValueClearsTheOfficialMarker)
{
    ASSERT_EQ(r.dm().SetValueByCode(122, 0), 1); // already 0: written, marker kept
    EXPECT_TRUE(r.dm().GetUfficiale());
    EXPECT_TRUE(r.callsOf("WriteElement").empty());
    ASSERT_EQ(r.dm().SetValueByCode(122, 20), 1);
    EXPECT_FALSE(r.dm().GetUfficiale());
    const auto w = r.callsOf("WriteElement");
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].code, 0x35);
    EXPECT_EQ(w[0].in.back(), 0x00);
    std::vector<std::int32_t> ecu;
    ASSERT_TRUE(r.sim().PeekItem(0x7a, ecu));
    EXPECT_EQ(ecu[0], 20);
}

TEST_F(ByCode, GettersThatReadTheEcuFirst)
{
    ASSERT_TRUE(r.sim().PokeItem(0x43, std::vector<std::int32_t>{77}));
    ASSERT_TRUE(r.sim().PokeItem(0x3b, std::vector<std::int32_t>{7}));
    EXPECT_EQ(r.dm().GetValueByCode(67), 77);
    EXPECT_EQ(stored(0x43), 77);
    EXPECT_EQ(r.dm().GetValueByCode(571), 140); // counter: raw x 20
    // A failed read converts what the image holds.
    r.sim().AddFault({.op = protovyx::Op::ReadItem, .code = 0x43});
    stored(0x43) = 9;
    EXPECT_EQ(r.dm().GetValueByCode(67), 9);
    // A plain getter reads nothing.
    r.sim().ClearCalls();
    r.dm().GetValueByCode(5);
    EXPECT_TRUE(r.sim().Calls().empty());
}

TEST_F(ByCode, TimeBaseZeroWritesRawZero)
{
    stored(0x279) = 0;
    EXPECT_EQ(r.dm().SetValueByCode(591, 2.0), 1);
    EXPECT_EQ(lastWritten("WriteValue"), 0);
    EXPECT_EQ(r.dm().SetValueByCode(597, 100), 1);
    EXPECT_EQ(lastWritten("WriteValue"), 0);
    EXPECT_EQ(r.dm().SetElementByCode(586, 0, 3.0), 1);
    EXPECT_EQ(lastWritten("WriteElement"), 0);
}

TEST_F(ByCode, ElementCodes)
{
    struct Case {
        std::int32_t code;
        int index;
        double value;
        std::int32_t raw;
        double readBack;
    };
    const Case cases[] = {
        {25, 9, 200, 200, 200},
        {151, 2, 4, 4, 4},
        {170, 1, 1.0, 51, 1.0},
        {586, 0, 2.56, 1000, 2.56},
        {617, 1, 300, 300, 300},
        {617, 3, 2.56, 1000, 2.56},
        {667, 2, 1.0, 391, 1.00096},
        {1182, 11, -5, -5, -5},
        {691, 1, 9, 9, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "code " << c.code << " index " << c.index);
        r.sim().ClearCalls();
        EXPECT_EQ(r.dm().SetElementByCode(c.code, c.index, c.value), 1);
        const auto w = r.callsOf("WriteElement");
        ASSERT_FALSE(w.empty());
        EXPECT_EQ(w[0].code, c.code);
        EXPECT_EQ(w[0].row, c.index);
        EXPECT_EQ(w[0].in.back(), c.raw);
        EXPECT_EQ(r.dm().Item(c.code)[c.index], c.raw);
        EXPECT_NEAR(static_cast<double>(r.dm().GetElementByCode(c.code, c.index)), c.readBack, 1e-6);
    }
}

TEST_F(ByCode, ElementIndexOutsideTheItem)
{
    for (int index : {-1, 3, 1000}) {
        r.sim().ClearCalls();
        r.dm().Modified = 0;
        EXPECT_EQ(r.dm().GetElementByCode(151, index), TStreamDati::kUnknownCode);
        EXPECT_EQ(r.dm().SetElementByCode(151, index, 1), 0);
        EXPECT_EQ(r.dm().Modified, 1);
        EXPECT_TRUE(r.sim().Calls().empty());
    }
    EXPECT_EQ(r.dm().GetElementByCode(5, 0), TStreamDati::kUnknownCode);
    EXPECT_EQ(r.dm().SetElementByCode(5, 0, 1), 0);
}

TEST_F(ByCode, CounterElementsReadInMinutesAndResetToZero)
{
    ASSERT_TRUE(r.sim().PokeItem(0x56, std::vector<std::int32_t>{120, 3600, 59}));
    EXPECT_EQ(r.dm().GetElementByCode(598, 0), 2);
    EXPECT_EQ(r.dm().GetElementByCode(598, 1), 60);
    EXPECT_EQ(r.dm().GetElementByCode(598, 2), 0);
    const auto reads = r.callsOf("ReadRow");
    ASSERT_EQ(reads.size(), 3u);
    EXPECT_EQ(reads[1].code, 0x256);
    EXPECT_EQ(reads[1].row, 1);

    EXPECT_EQ(r.dm().SetElementByCode(598, 1, 99), 1);
    EXPECT_EQ(lastWritten("WriteElement"), 0);
    std::vector<std::int32_t> ecu;
    ASSERT_TRUE(r.sim().PeekItem(0x56, ecu));
    EXPECT_EQ(ecu[1], 0);

    // A failed read yields 0: the element is cleared before it.
    r.sim().AddFault({.op = protovyx::Op::ReadRow, .code = 0x256});
    EXPECT_EQ(r.dm().GetElementByCode(598, 0), 0);
}

TEST_F(ByCode, SensorTablesBuildFromTheSensorTypeAndTheImage)
{
    const auto gas = dm::GasSensorTable().counts;
    r.dm().BuildTemperaturaGasTable(7); // not a sensor type: the table stays
    EXPECT_EQ(dm::GasSensorTable().counts, gas);
    EXPECT_EQ(dm::GasSensorTable().points, 34);
    r.dm().BuildTemperaturaGasTable(1);
    EXPECT_EQ(dm::GasSensorTable().points, 27);
    EXPECT_EQ(dm::GasSensorTable().first, -10);

    // The vehicle's own engine sensor, from ParametriTempMotore and EcuTempMotore.
    const std::int32_t parameters[5] = {18, 92, 5, -20, 30};
    const std::int32_t points[30] = {231, 224, 216, 206, 195, 183, 170, 156, 142, 128, 114, 101, 89, 78, 68,
                                     59,  51,  44,  38,  33,  29,  25,  22,  19,  16,  14,  12,  11,  10, 8};
    std::copy(std::begin(parameters), std::end(parameters), r.dm().Item(0x558a));
    std::copy(std::begin(points), std::end(points), r.dm().Item(0x1e18b));
    r.dm().BuildTempMotoreTable(true);
    const dm::SensorTable& engine = dm::EngineSensorTable();
    EXPECT_EQ(engine.points, 30);
    EXPECT_EQ(engine.first, -20);
    EXPECT_EQ(engine.step, 5);
    EXPECT_EQ(engine.pullUp, 18 * 256 + 92);
    EXPECT_EQ(engine.k, 1);
    EXPECT_EQ(engine.counts[9], 128);
    stored(0xf) = 128;
    EXPECT_EQ(static_cast<double>(r.dm().GetValueByCode(15)), 25.0);
    EXPECT_EQ(r.dm().SetValueByCode(15, 0.0), 1);
    EXPECT_EQ(lastWritten("WriteValue"), 195);

    r.dm().BuildTempMotoreTable(false);
    EXPECT_EQ(dm::EngineSensorTable().points, 48);
}

} // namespace
