#include "datamodule/core/LiveFrame.h"

#include "datamodule/core/SensorTables.h"

#include <gtest/gtest.h>
#include <array>

namespace {

std::array<std::uint8_t, 50> sampleFrame()
{
    std::array<std::uint8_t, 50> b{};
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>(0xA0 + i);
    b[0] = 0x34; b[1] = 0x12;          // rpm 0x1234
    b[4] = 0xFE; b[5] = 0xFF;          // -2
    b[10] = 0x80;                      // StatusLow -128
    b[14] = 0x0C; b[15] = 0xFE;        // gas pressure -500
    b[17] = 0xE8; b[18] = 0x03;        // MAP 1000 at an odd offset
    b[20] = 0xF6;                      // adaptation -10
    b[28] = 0x01; b[29] = 0x80;        // petrol time 2 = 0x8001
    return b;
}

TEST(LiveFrame, DecodesLittleEndianFieldsAtTheirOffsets)
{
    const auto b = sampleFrame();
    const dm::TLiveFrame f = dm::DecodeLiveFrame(b.data(), 50);
    EXPECT_EQ(f.Length, 50);
    EXPECT_EQ(f.Rpm, 0x1234);
    EXPECT_EQ(f.Lambda1, 0xA2);
    EXPECT_EQ(f.Raw3, 0xA3);
    EXPECT_EQ(f.Raw4, -2);
    EXPECT_EQ(f.GasTime1, 0xA7A6);
    EXPECT_EQ(f.PetrolTime1, 0xA9A8);
    EXPECT_EQ(f.StatusLow, -128);
    EXPECT_EQ(f.StatusFlags, 0xAB);
    EXPECT_EQ(f.ReducerTemp, 0xAC);
    EXPECT_EQ(f.GasLevel, 0xAD);
    EXPECT_EQ(f.GasPressure, -500);
    EXPECT_EQ(f.GasTemp, 0xB0);
    EXPECT_EQ(f.MapPressure, 1000);
    EXPECT_EQ(f.Raw19, 0xB3);
    EXPECT_EQ(f.GasAdaptation, -10);
    EXPECT_EQ(f.Lambda2, 0xB5);
    EXPECT_EQ(f.Raw22, static_cast<std::int16_t>(0xB7B6));
    EXPECT_EQ(f.GasTime2, 0xB9B8);
    EXPECT_EQ(f.Raw26, static_cast<std::int16_t>(0xBBBA));
    EXPECT_EQ(f.PetrolTime2, 0x8001);
    EXPECT_DOUBLE_EQ(dm::LivePressureBar(f.GasPressure), -0.5);
    EXPECT_DOUBLE_EQ(dm::LivePressureBar(1009), 1.0);
}

TEST(LiveFrame, ShortFrameReadsZeroBeyondWhatArrived)
{
    const auto b = sampleFrame();
    const dm::TLiveFrame f = dm::DecodeLiveFrame(b.data(), 18); // MAP needs bytes 17 and 18
    EXPECT_EQ(f.Length, 18);
    EXPECT_EQ(f.GasTemp, 0xB0);
    EXPECT_EQ(f.MapPressure, 0);
    EXPECT_EQ(f.Lambda2, 0);
    EXPECT_EQ(f.PetrolTime2, 0);

    EXPECT_EQ(dm::DecodeLiveFrame(b.data(), 99).Length, 50);
    EXPECT_EQ(dm::DecodeLiveFrame(b.data(), -3).Rpm, 0);
    EXPECT_EQ(dm::DecodeLiveFrame(nullptr, 50).Length, 0);
}

std::array<std::uint8_t, 50> liveBytes()
{
    std::array<std::uint8_t, 50> b{};
    auto put16 = [&](int at, int v) {
        b[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(v & 0xFF);
        b[static_cast<std::size_t>(at) + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    };
    put16(0, 2487);       // rpm
    b[2] = 51;            // 1.0 V
    put16(6, 1000);       // gas time
    put16(8, 2000);       // petrol time
    b[10] = 0xF1;         // StatusLow -15
    b[11] = 0x98;
    b[13] = 150;
    put16(14, -1239);     // gas pressure: -123 hundredths (division toward zero)
    put16(17, 359);       // MAP: 35 hundredths
    b[20] = 0xF6;         // adaptation -10 %
    b[21] = 102;          // 2.0 V
    put16(24, 500);
    put16(28, 700);
    return b;
}

// The one decoding of the live values that every live window uses: the
// units, the signs, and which lengths carry the second bank.
TEST(LiveValues, UnitsSignsAndTheSecondBank)
{
    const auto bytes = liveBytes();
    dm::TLiveValues v;
    v.Lambda2 = 9;
    v.GasTime2 = 8;
    v.PetrolTime2 = 7;
    const dm::TLiveFrame short19 = dm::DecodeLiveFrame(bytes.data(), 19);
    EXPECT_FALSE(dm::CarriesSecondBank(short19));
    dm::DecodeLiveValues(short19, 2560, dm::CarriesSecondBank(short19), v);
    EXPECT_EQ(v.Rpm, 2487u);
    EXPECT_DOUBLE_EQ(v.Lambda1, 1.0);
    EXPECT_DOUBLE_EQ(v.GasTime1, 1000 * 2560 * 0.00025 * 0.004);
    EXPECT_DOUBLE_EQ(v.PetrolTime1, 2000 * 2560 * 0.00025 * 0.004);
    EXPECT_EQ(v.GasPressure, -123);
    EXPECT_EQ(v.StatusFlags, 0x98);
    EXPECT_EQ(v.StatusLow, -15);
    EXPECT_EQ(v.Level, 150);
    EXPECT_EQ(v.ReducerTemp, 0); // count 0: not available
    EXPECT_EQ(v.GasTemp, 0);
    EXPECT_EQ(v.MapPressure, 35); // the MAP at 17..18 arrived in 19 bytes
    // Bank 2 kept its values.
    EXPECT_EQ(v.Lambda2, 9);
    EXPECT_EQ(v.GasTime2, 8);
    EXPECT_EQ(v.PetrolTime2, 7);
    EXPECT_EQ(v.Adaptation, 0); // offset 20 did not arrive

    const dm::TLiveFrame full = dm::DecodeLiveFrame(bytes.data(), 50);
    ASSERT_TRUE(dm::CarriesSecondBank(dm::DecodeLiveFrame(bytes.data(), 20)));
    dm::DecodeLiveValues(full, 1280, true, v);
    EXPECT_EQ(v.Adaptation, -10);
    EXPECT_DOUBLE_EQ(v.Lambda2, 2.0);
    EXPECT_DOUBLE_EQ(v.GasTime1, 1000 * 1280 * 0.00025 * 0.004); // the time base scales both banks
    EXPECT_DOUBLE_EQ(v.GasTime2, 500 * 1280 * 0.00025 * 0.004);
    EXPECT_DOUBLE_EQ(v.PetrolTime2, 700 * 1280 * 0.00025 * 0.004);

    // A window that takes bank 2 by another rule (the graph: a second probe).
    dm::TLiveValues kept = v;
    kept.Lambda2 = 0.7;
    dm::DecodeLiveValues(full, 2560, false, kept);
    EXPECT_EQ(kept.Lambda2, 0.7);
}

TEST(LiveValues, TemperatureCountsGoThroughTheSensorTables)
{
    auto bytes = liveBytes();
    bytes[12] = 120;
    bytes[16] = 90;
    dm::TLiveValues v;
    dm::DecodeLiveValues(dm::DecodeLiveFrame(bytes.data(), 50), 2560, true, v);
    EXPECT_EQ(v.ReducerTempRaw, 120);
    EXPECT_EQ(v.GasTempRaw, 90);
    EXPECT_DOUBLE_EQ(v.ReducerTemp, static_cast<double>(dm::TempMotoreFromRaw(120)));
    EXPECT_DOUBLE_EQ(v.GasTemp, static_cast<double>(dm::TemperaturaGasFromRaw(90)));
}

} // namespace
