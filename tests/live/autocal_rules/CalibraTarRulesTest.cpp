// The auto-calibration rules as tables: progress phases, refusal texts, the
// click by state, the measuring step and the map-K correction.
#include "live/autocal_rules/CalibraTarRules.h"

#include "live/acquisition/AcquisitionFormat.h"

#include <gtest/gtest.h>

using namespace taratura;

TEST(CalibraTarRules, PhaseViews)
{
    struct Case { int phase; std::int32_t speed; PhaseView view; };
    const Case cases[] = {
        {0, 2000, {PhaseKind::Text, 274, 0}},       {1, 2000, {PhaseKind::Text, 274, 7}},
        {2, 1000, {PhaseKind::Text, 277, 14}},      {2, 1001, {PhaseKind::SpeedRange, 0, 14}},
        {3, 2000, {PhaseKind::Text, 278, 21}},      {7, 2000, {PhaseKind::Text, 278, 50}},
        {9, 2000, {PhaseKind::Text, 278, 64}},      {10, 2000, {PhaseKind::Text, 279, 71}},
        {11, 2000, {PhaseKind::Text, 280, 78}},     {12, 2000, {PhaseKind::Finished, 280, 95}},
        {13, 2000, {PhaseKind::Warming, 0, 10}},    {14, 2000, {}},
        {20, 2000, {}},                             {-1, 2000, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PhaseViewFor(c.phase, c.speed), c.view) << "phase " << c.phase << " speed " << c.speed;
}

TEST(CalibraTarRules, TextsOfThePhases)
{
    EXPECT_EQ(SpeedRangeText(2000, "Portare il motore tra i", "giri in folle"),
              "Portare il motore tra i 1700-2300 giri in folle");
    EXPECT_EQ(WarmingText(300, "Attesa riscaldamento", "sec."), "Attesa riscaldamento (300 sec.)");
    EXPECT_EQ(MeasuredText(18.456, "Valore acquisito: ", QLatin1Char(',')), "(Valore acquisito: 18,46)");
    const std::uint8_t reply[4] = {0xFD, 0x06, 0x01, 0x2C};
    const Progress p = DecodeProgress(reply);
    EXPECT_EQ(p.Phase, -3);
    EXPECT_EQ(p.Flags, 0x06);
    EXPECT_EQ(p.Seconds, 300);
}

TEST(CalibraTarRules, RefusalTextIsTheLastSetInOrder)
{
    const std::pair<std::uint8_t, int> cases[] = {
        {0x00, 0}, {0x01, 0}, {0x80, 0}, {0x04, 282}, {0x08, 283}, {0x0C, 283}, {0x06, 284},
        {0x02, 284}, {0x12, 285}, {0x40, 286}, {0x20, 287}, {0x60, 286}, {0xFF, 286}};
    for (const auto& [flags, string] : cases)
        EXPECT_EQ(RefusalString(flags), string) << int(flags);
}

TEST(CalibraTarRules, ClickByState)
{
    struct Case { std::int32_t state; bool cng; std::int32_t injector; ClickAction action; };
    const Case cases[] = {
        {Idle, true, 25, ClickAction::StartMeasuring},   {Idle, true, 35, ClickAction::StartMeasuring},
        {Idle, true, 26, ClickAction::StartCalibration}, {Idle, false, 25, ClickAction::StartCalibration},
        {Measuring, true, 25, ClickAction::EndStepThenIdle}, {Running, false, 0, ClickAction::AbortThenIdle},
        {Ended, false, 0, ClickAction::Nothing},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClickActionFor(c.state, c.cng, c.injector), c.action) << c.state << " " << c.cng << " " << c.injector;
}

TEST(CalibraTarRules, MeasuringChecks)
{
    struct Case { std::int32_t rpm, status; double raw; long double celsius; int end; };
    const Case cases[] = {
        {0, 0x80, 100, 80, 555},    {800, 0x00, 100, 80, 555}, {800, 0x88, 100, 80, 556},
        {800, 0x90, 100, 80, 556},  {800, 0x80, 100, 59, 557}, {800, 0x80, 0, -40, 0},
        {800, 0x80, 100, 60, 0},    {800, 0xA4, 100, 80, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MeasuringCheck(c.rpm, c.status, c.raw, c.celsius, 60), c.end) << c.rpm << " " << c.status;
}

TEST(CalibraTarRules, MeasurementLimits)
{
    MeasuringStep s;
    EXPECT_FALSE(TakeMeasurement(s, 7.0));
    EXPECT_TRUE(TakeMeasurement(s, 12.0));
    EXPECT_FALSE(TakeMeasurement(s, 11.0));
    EXPECT_DOUBLE_EQ(s.MeasuredPetrolTime, 12.0);
    for (const auto& [ms, ok] : {std::pair{7.0, false}, {7.01, true}, {39.99, true}, {40.0, false}})
        EXPECT_EQ(MeasurementApplicable(ms), ok) << ms;
    EXPECT_DOUBLE_EQ(ClampMeasurement(12), 15);
    EXPECT_DOUBLE_EQ(ClampMeasurement(30), 25);
    EXPECT_DOUBLE_EQ(ClampMeasurement(18), 18);
    for (const auto& [t, ok] : {std::pair{13.99L, false}, {14.0L, true}, {28.99L, true}, {29.0L, false}})
        EXPECT_EQ(OpenLoopAllowsCorrection(t), ok) << static_cast<double>(t);
}

TEST(CalibraTarRules, GuidanceThroughIdleRevAndBack)
{
    MeasuringStep s;
    EXPECT_EQ(MeasuringGuidance(s, 800, 1000), 0);  // t0 set
    EXPECT_EQ(s.T0, 1000u);
    EXPECT_EQ(MeasuringGuidance(s, 800, 4000), 0);  // not later than t0 + 3000
    EXPECT_EQ(s.T1, 0u);
    EXPECT_EQ(MeasuringGuidance(s, 800, 4001), 0);
    EXPECT_EQ(s.T1, 4001u);
    EXPECT_EQ(MeasuringGuidance(s, 800, 4100), 559);
    EXPECT_EQ(MeasuringGuidance(s, 1200, 4200), 0); // no measurement yet: t2 stays 0
    EXPECT_EQ(s.T0, 0u);
    s.MeasuredPetrolTime = 18;
    EXPECT_EQ(MeasuringGuidance(s, 1301, 4300), 560);
    EXPECT_EQ(s.T2, 4300u);
    // Back at idle the idle period runs again before the measurement counts.
    EXPECT_EQ(MeasuringGuidance(s, 800, 4400), 0);
    EXPECT_EQ(s.T0, 4400u);
    EXPECT_EQ(MeasuringGuidance(s, 800, 7401), 0);
    EXPECT_EQ(s.T1, 7401u);
    EXPECT_EQ(MeasuringGuidance(s, 800, 7500), 0);  // valid: waiting for Enter
    s.MeasuredPetrolTime = 41;
    EXPECT_EQ(MeasuringGuidance(s, 800, 7520), 272);

    MeasuringStep early; // revving before the idle period ended starts it again
    MeasuringGuidance(early, 800, 100);
    EXPECT_EQ(MeasuringGuidance(early, 2000, 200), 0);
    EXPECT_EQ(early.T0, 0u);
}

TEST(CalibraTarRules, MapCorrectionRows)
{
    const std::vector<std::int32_t> row4{200, 130, 100};
    // t = 20, measured 16: row 5 rises by trunc(4 x 2 x 20 x 0.01) = 1, row 11 by 8.
    EXPECT_EQ(CorrectedRow(5, 20, 16, std::vector<std::int32_t>{120, 120, 100}, row4),
              (std::vector<std::int32_t>{121, 121, 100}));
    EXPECT_EQ(CorrectedRow(11, 20, 16, std::vector<std::int32_t>{120, 125, 99}, row4),
              (std::vector<std::int32_t>{128, 130, 100})); // capped by row 4
    // A measurement above the open-loop time lowers the row; below 0 takes row 4.
    EXPECT_EQ(CorrectedRow(11, 15, 25, std::vector<std::int32_t>{120, 10, 100}, row4),
              (std::vector<std::int32_t>{100, 130, 80}));
    EXPECT_EQ(CorrectionRowEnd(12), 12);
    EXPECT_EQ(CorrectionRowEnd(16), 12); // no coefficient beyond row 11
    EXPECT_EQ(MapKRowCode(12), 0x154 + 12 * 4096);
}

TEST(CalibraTarRules, ReadoutsAndLamps)
{
    const QChar c(QLatin1Char(','));
    EXPECT_EQ(TimeText(3.14159, c), "3,14");
    EXPECT_EQ(TimeText(123.456, c), "123,50");
    EXPECT_EQ(PressureText(0, c, "n.d."), "n.d.");
    dm::TLiveValues live;
    live.ReducerTemp = 45.7;
    live.GasTemp = -3.5;
    EXPECT_EQ(SampleOf(live).ReducerTempC, 45.0); // the recording holds whole degrees
    EXPECT_EQ(SampleOf(live).GasTempC, -3.0);
    EXPECT_EQ(PressureText(125, c, "n.d."), "1,25");
    EXPECT_EQ(TemperatureText(0, 20, "n.d."), "n.d.");
    EXPECT_EQ(TemperatureText(90, 85.9L, "n.d."), "85");

    ProbeInput in;
    in.Volts = 0.3; in.Reference = 0.45; in.SignalBit = true;
    EXPECT_EQ(LambdaLook(in), (ProbeLook{kRich, true}));
    in.Inverted = true;
    EXPECT_EQ(LambdaLook(in), (ProbeLook{kLean, true}));
    in.TypesPresent = true; in.Type = 2; in.Volts = 0.5; in.Reference = 0.2;
    EXPECT_EQ(LambdaLook(in), (ProbeLook{kRich, true}));
    in.TypeEnabled = false; in.SignalBit = false;
    EXPECT_EQ(LambdaLook(in), (ProbeLook{kDisabledProbe, true}));

}
