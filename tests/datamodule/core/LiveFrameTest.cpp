#include "LiveFrame.h"

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

} // namespace
