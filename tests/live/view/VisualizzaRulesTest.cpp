// The live view's rules without a window.
#include "VisualizzaRules.h"

#include "AcquisitionFormat.h"
#include "SensorTables.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace visualizza;

std::vector<std::uint8_t> frameBytes()
{
    std::vector<std::uint8_t> b(50, 0);
    auto put16 = [&](int at, int v) {
        b[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(v & 0xFF);
        b[static_cast<std::size_t>(at) + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    };
    put16(0, 2487);       // rpm
    b[2] = 51;            // 1.0 V
    put16(6, 1000);       // gas time
    put16(8, 2000);       // petrol time
    b[11] = 0x98;
    b[13] = 150;
    put16(14, -1239);     // gas pressure: -123 hundredths (division toward zero)
    put16(17, 359);       // MAP: 35 hundredths
    b[21] = 102;          // 2.0 V
    put16(24, 500);
    put16(28, 700);
    return b;
}

TEST(DecodeLive, LongFrameTakesBothBanksAndShortFrameKeepsTheSecond)
{
    const auto bytes = frameBytes();
    LiveValues v;
    v.Lambda2 = 9;
    v.GasTime2 = 8;
    v.PetrolTime2 = 7;
    DecodeLive(dm::DecodeLiveFrame(bytes.data(), 19), 19, 2560, v);
    EXPECT_EQ(v.Rpm, 2487);
    EXPECT_DOUBLE_EQ(v.Lambda1, 1.0);
    EXPECT_DOUBLE_EQ(v.GasTime1, 1000 * 2560 * 0.00025 * 0.004);
    EXPECT_DOUBLE_EQ(v.PetrolTime1, 2000 * 2560 * 0.00025 * 0.004);
    EXPECT_EQ(v.GasPressure, -123);
    EXPECT_EQ(v.Status, 0x98);
    EXPECT_EQ(v.GasLevel, 150u);
    EXPECT_EQ(v.ReducerTemp, 0);  // count 0: not available
    EXPECT_EQ(v.GasTemp, 0);
    // 19 bytes: the MAP at 17..18 arrived, bank 2 kept its values.
    EXPECT_EQ(v.MapPressure, 35);
    EXPECT_EQ(v.Lambda2, 9);
    EXPECT_EQ(v.GasTime2, 8);
    EXPECT_EQ(v.PetrolTime2, 7);

    DecodeLive(dm::DecodeLiveFrame(bytes.data(), 20), 20, 2560, v);
    EXPECT_DOUBLE_EQ(v.Lambda2, 0.0);  // offset 21 did not arrive in 20 bytes
    DecodeLive(dm::DecodeLiveFrame(bytes.data(), 50), 50, 2560, v);
    EXPECT_DOUBLE_EQ(v.Lambda2, 2.0);
    EXPECT_DOUBLE_EQ(v.GasTime2, 500 * 2560 * 0.00025 * 0.004);
    EXPECT_DOUBLE_EQ(v.PetrolTime2, 700 * 2560 * 0.00025 * 0.004);
}

TEST(DecodeLive, TemperatureCountsGoThroughTheSensorTables)
{
    auto bytes = frameBytes();
    bytes[12] = 120;
    bytes[16] = 90;
    LiveValues v;
    DecodeLive(dm::DecodeLiveFrame(bytes.data(), 50), 50, 2560, v);
    EXPECT_DOUBLE_EQ(v.ReducerTemp, static_cast<double>(dm::TempMotoreFromRaw(120)));
    EXPECT_DOUBLE_EQ(v.GasTemp, static_cast<double>(dm::TemperaturaGasFromRaw(90)));
}

TEST(LiveTexts, RpmIsCutDownToTens)
{
    for (auto [rpm, shown] : std::vector<std::pair<int, int>>{{0, 0}, {9, 0}, {10, 10}, {2487, 2480}, {6999, 6990}})
        EXPECT_EQ(RpmShown(rpm), shown) << rpm;
}

TEST(LiveTexts, FixedNotationRoundsOnceToTheCoarserLimit)
{
    struct Case {
        double value;
        int decimals, significant;
        const char* text;
    };
    const Case cases[] = {
        {123.46, 1, 3, "123,0"}, {12.34, 2, 3, "12,30"}, {5.46, 1, 3, "5,5"},
        {5.449, 1, 3, "5,4"},    // one rounding, not 5.45 then 5.5
        {99.96, 1, 3, "100,0"},  {1234.5, 1, 3, "1230,0"}, {-12.34, 1, 3, "-12,3"},
        {3.27936, 2, 4, "3,28"}, {12.345, 2, 4, "12,35"}, {123.456, 2, 4, "123,50"}, {0.0, 2, 4, "0,00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.decimals, c.significant, QLatin1Char(',')), QLatin1String(c.text)) << c.value;
}

TEST(LiveTexts, ZeroMeansNotAvailable)
{
    const QString nd = QStringLiteral("n.d.");
    EXPECT_EQ(TemperatureText(0, QLatin1Char('.'), nd), nd);
    EXPECT_EQ(TemperatureText(45.26, QLatin1Char('.'), nd), QStringLiteral("45.3"));
    EXPECT_EQ(PressureText(0, QLatin1Char('.'), nd), nd);
    EXPECT_EQ(PressureText(112, QLatin1Char('.'), nd), QStringLiteral("1.12"));
    EXPECT_EQ(InjectionText(0, QLatin1Char('.')), QStringLiteral("0.00"));
}

TEST(Bars, WidthsAndTheFullPanelRule)
{
    struct Case {
        const char* what;
        int width, expected;
    };
    const int W = 362;  // W - 2 = 360
    const Case cases[] = {
        {"5 bar fills the inner width", GasPressureBar(500, W), 360},
        {"2.5 bar", GasPressureBar(250, W), 180},
        {"6 bar: the whole panel", GasPressureBar(600, W), W},
        {"5.01 bar still fits", GasPressureBar(501, W), 360},
        {"5.02 bar: the whole panel", GasPressureBar(502, W), W},
        {"MAP 1.25 bar", MapBar(125, W), 180},
        {"MAP 2.6 bar", MapBar(260, W), W},
        {"negative pressure shows nothing", GasPressureBar(-50, W), 0},
        {"10 ms", InjectionBar(10.0, W), 180},
        {"20 ms", InjectionBar(20.0, W), 360},
        {"25 ms", InjectionBar(25.0, W), W},
        {"3.3 ms truncates", InjectionBar(3.3, W), 59},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.width, c.expected) << c.what;
}

TEST(Bars, LambdaRangeByTypeAndWidth)
{
    struct Case {
        int type;
        double min, max;
    };
    for (const Case& c : {Case{1, 0.0, 5.0}, Case{2, 5.0, 0.0}, Case{3, 0.8, 1.6}, Case{4, -127.0, 128.0},
                          Case{0, 0.0, 1.0}, Case{5, 0.0, 1.0}}) {
        const LambdaRange r = LambdaRangeFor(c.type);
        EXPECT_EQ(r.Minimum, c.min) << c.type;
        EXPECT_EQ(r.Maximum, c.max) << c.type;
    }
    const int W = 102;
    EXPECT_EQ(LambdaBar(0.5, LambdaRangeFor(0), W), 50);
    EXPECT_EQ(LambdaBar(1.0, LambdaRangeFor(0), W), 100);
    EXPECT_EQ(LambdaBar(1.2, LambdaRangeFor(0), W), W);
    // Type 2 runs from 5 down to 0: a lower voltage gives a longer bar.
    EXPECT_EQ(LambdaBar(1.0, LambdaRangeFor(2), W), 80);
    EXPECT_EQ(LambdaBar(4.0, LambdaRangeFor(2), W), 20);
    EXPECT_EQ(LambdaBar(0.5, LambdaRangeFor(3), W), 0);  // below the range
}

TEST(Bars, LambdaColourRules)
{
    const LambdaRange range = LambdaRangeFor(1);
    const int W = 102;
    auto probe = [](bool present, bool enabled, int type, bool active, double volts, bool inverted) {
        ProbeInput p;
        p.TypesPresent = present;
        p.TypeEnabled = enabled;
        p.Type = type;
        p.SignalActive = active;
        p.Volts = volts;
        p.Reference = 0.45f;
        p.Inverted = inverted;
        return p;
    };
    const int w1 = LambdaBar(0.3, range, W);
    const int w2 = LambdaBar(0.6, range, W);
    struct Case {
        const char* what;
        ProbeInput in;
        BarState expected;
    };
    const Case cases[] = {
        {"below the reference: green", probe(false, true, 0, true, 0.3, false), {BarColour::Green, w1}},
        {"above the reference: red", probe(false, true, 0, true, 0.6, false), {BarColour::Red, w2}},
        {"inverted: above is green", probe(false, true, 0, true, 0.6, true), {BarColour::Green, w2}},
        {"inverted: below is red", probe(false, true, 0, true, 0.3, true), {BarColour::Red, w1}},
        {"no signal: empty", probe(false, true, 0, false, 0.3, false), {BarColour::ButtonFace, 0}},
        {"types: disabled probe is empty", probe(true, false, 1, true, 0.3, false), {BarColour::ButtonFace, 0}},
        {"types: no signal keeps the width", probe(true, true, 1, false, 0.6, false), {BarColour::ButtonFace, w2}},
        {"types: type 1 follows the reference", probe(true, true, 1, true, 0.3, false), {BarColour::Green, w1}},
        {"types: type 2 below 0.55 V is green", probe(true, true, 2, true, 0.5, false),
         {BarColour::Green, LambdaBar(0.5, range, W)}},
        {"types: type 2 at 0.55 V is red", probe(true, true, 2, true, 0.55, true),
         {BarColour::Red, LambdaBar(0.55, range, W)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LambdaBarState(c.in, range, W), c.expected) << c.what;
}

TEST(LevelLamps, ThresholdsBothWaysAndOnlyWithKeyOnGas)
{
    const std::array<std::int32_t, 4> rising{50, 100, 150, 200};
    // Riserva, 1/4, 2/4, 3/4, 4/4.
    EXPECT_EQ(LevelLampsFor(0x90, 150, rising, false), (LevelLamps{false, true, true, true, false}));
    EXPECT_EQ(LevelLampsFor(0x88, 40, rising, false), (LevelLamps{true, false, false, false, false}));
    // A sensor whose count falls as the tank fills.
    const std::array<std::int32_t, 4> falling{200, 150, 100, 50};
    EXPECT_EQ(LevelLampsFor(0x90, 150, falling, true), (LevelLamps{false, true, true, false, false}));
    EXPECT_EQ(LevelLampsFor(0x90, 201, falling, true), (LevelLamps{true, false, false, false, false}));
    EXPECT_EQ(LevelLampsFor(0x90, 150, falling, false), (LevelLamps{true, false, true, true, true}));
    EXPECT_EQ(LevelLampsFor(0x10, 150, rising, false), LevelLamps{}) << "key off";
    EXPECT_EQ(LevelLampsFor(0x80, 150, rising, false), LevelLamps{}) << "on petrol";
}

TEST(InjectorRating, AverageOfTheMapAndTheBands)
{
    auto flat = [](int v) { return [v](int, int) { return v; }; };
    EXPECT_EQ(InjectorSizePercent(12, 12, flat(102)), 40);
    EXPECT_EQ(InjectorSizePercent(12, 12, flat(101)), 39);
    EXPECT_EQ(InjectorSizePercent(12, 12, flat(255)), 100);
    EXPECT_EQ(InjectorSizePercent(0, 12, flat(100)), -1);
    EXPECT_EQ(InjectorSizePercent(12, 0, flat(100)), -1);
    // The average is the sum divided by the cells, in integers: 407 / 4 is 101.
    const int cells[2][2] = {{101, 101}, {101, 104}};
    EXPECT_EQ(InjectorSizePercent(2, 2, [&](int r, int c) { return cells[r][c]; }), 39);
    const int more[2][2] = {{101, 101}, {101, 105}};
    EXPECT_EQ(InjectorSizePercent(2, 2, [&](int r, int c) { return more[r][c]; }), 40);

    const std::pair<int, int> bands[] = {{-1, 0},   {0, 407},   {39, 407},  {40, 408}, {74, 408},
                                         {75, 409}, {100, 409}, {101, 0}};
    for (auto [percent, string] : bands)
        EXPECT_EQ(InjectorRatingString(percent), string) << percent;
}

TEST(Sample, CarriesTheTickValues)
{
    LiveValues v;
    v.Rpm = 2480;
    v.Lambda1 = 0.45;
    v.GasPressure = 112;
    v.MapPressure = 35;
    v.ReducerTemp = 45.7;
    v.GasTime2 = 3.5;
    const auto s = SampleOf(v);
    EXPECT_EQ(s.Rpm, 2480);
    EXPECT_EQ(s.Lambda1Volts, 0.45);
    EXPECT_EQ(s.GasPressureHundredths, 112);
    EXPECT_EQ(s.MapPressureHundredths, 35);
    EXPECT_EQ(s.ReducerTempC, 45.7);
    EXPECT_EQ(s.GasMs2, 3.5);
}

} // namespace
