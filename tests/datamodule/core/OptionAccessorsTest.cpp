// Option words, list-coded settings, the injection sequence and the texts
// against the simulated ECU.
#include "AccessorTestSupport.h"

#include "plat/Messages.h"

#include <string>

namespace {

using acctest::Accessors;
using protovyx::Op;

constexpr std::int32_t kFlags = 0x2303;

TEST_F(Accessors, EveryOptionBitWritesThePair)
{
    struct Bit {
        int word;
        std::int32_t mask;
    };
    const Bit bits[27] = {
        {0, 0x100},  {0, 0x2},    {0, 0x200},  {0, 0x400},  {0, 0x800},  {0, 0x1000},  {0, 0x4000},
        {0, 0x8000}, {1, 0x1},    {1, 0x2},    {1, 0x4},    {1, 0x8},    {0, 0x8},     {0, 0x2000},
        {0, 0x10},   {1, 0x10},   {1, 0x20},   {1, 0x400},  {0, 0x40},   {0, 0x80},    {1, 0x80},
        {1, 0x100},  {1, 0x1000}, {1, 0x2000}, {1, 0x4000}, {1, 0x8000}, {1, 0x800},
    };
    item(kFlags)[0] = 0;
    item(kFlags)[1] = 0;
    for (int i = 0; i < 27; ++i) {
        SCOPED_TRACE(i);
        r.sim().ClearCalls();
        ASSERT_TRUE(dm().SetFlag(i, true));
        auto w = writes("WriteItem", kFlags);
        ASSERT_EQ(w.size(), 1u);
        std::vector<std::int32_t> expected{0, 0};
        expected[static_cast<std::size_t>(bits[i].word)] = bits[i].mask;
        EXPECT_EQ(w[0].in, expected);
        EXPECT_EQ(dm().GetFlag(i), 1);
        for (int k = 0; k < 27; ++k) {
            if (k != i) {
                EXPECT_EQ(dm().GetFlag(k), 0) << "option " << k;
            }
        }

        r.sim().ClearCalls();
        ASSERT_TRUE(dm().SetFlag(i, false));
        w = writes("WriteItem", kFlags);
        ASSERT_EQ(w.size(), 1u);
        EXPECT_EQ(w[0].in, (std::vector<std::int32_t>{0, 0}));
        EXPECT_EQ(dm().GetFlag(i), 0);
    }

    // An index outside the list writes the pair unchanged and reads 0.
    item(kFlags)[0] = 0x1234;
    r.sim().ClearCalls();
    EXPECT_TRUE(dm().SetFlag(27, true));
    EXPECT_EQ(writes("WriteItem", kFlags).at(0).in, (std::vector<std::int32_t>{0x1234, 0}));
    EXPECT_EQ(dm().GetFlag(27), 0);
    EXPECT_EQ(dm().GetFlag(-1), 0);
}

TEST_F(Accessors, OwnBitsOfTheFirstWord)
{
    item(kFlags)[0] = 0;
    EXPECT_EQ(dm().GetNumeroSonde(), 2);
    EXPECT_TRUE(dm().HasSecondaSonda());
    ASSERT_TRUE(dm().SetNumeroSonde(1));
    EXPECT_EQ(item(kFlags)[0], 0x4);
    EXPECT_EQ(dm().GetNumeroSonde(), 1);
    EXPECT_FALSE(dm().HasSecondaSonda());
    ASSERT_TRUE(dm().SetNumeroSonde(2));
    EXPECT_EQ(item(kFlags)[0], 0);
    ASSERT_TRUE(dm().SetNumeroSonde(3)); // anything but 2 means one probe
    EXPECT_EQ(dm().GetNumeroSonde(), 1);

    ASSERT_TRUE(dm().SetModificaSequenza(true));
    EXPECT_EQ(item(kFlags)[0], 0x24);
    EXPECT_EQ(dm().GetModificaSequenza(), 1);

    // Flag3 bits 0..3, written with Flag4 as a pair.
    item(0x23c0)[0] = 0;
    item(0x23c0)[1] = 0x55;
    r.sim().ClearCalls();
    ASSERT_TRUE(dm().SetFlag3(3, true));
    EXPECT_EQ(writes("WriteItem", 0x23c0).at(0).in, (std::vector<std::int32_t>{0x8, 0x55}));
    EXPECT_EQ(dm().GetFlag3(3), 1);
    EXPECT_EQ(dm().GetFlag3(2), 0);
    EXPECT_FALSE(dm().SetFlag3(4, true));
    EXPECT_EQ(dm().GetFlag3(4), 0);
}

TEST_F(Accessors, FuelOptionPostsTheOldBitFirst)
{
    item(kFlags)[0] = 0;
    ASSERT_TRUE(dm().SetFlag(1, true));
    EXPECT_EQ(dm().GetFlag(1), 1);
    auto ev = r.events();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].message, plat::WM_CONNECTIONEVENT);
    EXPECT_EQ(ev[0].lParam, 6);
    EXPECT_EQ(ev[0].wParam, 0u);

    // Posted also when the write is then refused; the bit stays.
    arm();
    refuse(Op::WriteItem, kFlags);
    EXPECT_FALSE(dm().SetFlag(1, false));
    EXPECT_EQ(dm().GetFlag(1), 1);
    EXPECT_EQ(dm().Modified, 0);
    EXPECT_TRUE(dm().GetUfficiale());
    ev = r.events();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].lParam, 6);
    EXPECT_EQ(ev[0].wParam, 1u);

    // Other options post nothing.
    ASSERT_TRUE(dm().SetFlag(2, true));
    EXPECT_THAT(r.events(), ::testing::IsEmpty());
}

TEST_F(Accessors, GasTemperatureOptionKeepsDegrees)
{
    *item(0x86) = 0;
    dm().BuildTemperaturaGasTable(0);
    for (int i = 1; i < 9; ++i)
        ASSERT_TRUE(dm().SetRifMot(i, 10 + 10 * i));
    ASSERT_EQ(dm().SetValueByCode(117, 55), 1);
    const std::int32_t rawBefore = item(0xa15c)[4];
    const long double cambio = dm().GetValueByCode(117);

    *item(0x86) = 1; // the type the table is rebuilt for
    ASSERT_TRUE(dm().SetFlag(9, true));
    for (int i = 1; i < 9; ++i)
        EXPECT_NEAR(dm().GetRifMot(i), 10 + 10 * i, 1) << i;
    EXPECT_NEAR(static_cast<double>(dm().GetValueByCode(117)), static_cast<double>(cambio), 1.0);
    EXPECT_EQ(item(0xa15c)[0], 0);
    EXPECT_EQ(item(0xa15c)[9], 255);
    EXPECT_NE(item(0xa15c)[4], rawBefore) << "the counts follow the new table";
    EXPECT_EQ(lastValue("WriteElement", 0x5c), 255);

    // The sensor type's own setter does the same.
    const std::int32_t raw1 = item(0xa15c)[4];
    ASSERT_TRUE(dm().SetTipoSensoreTemperaturaGas(0));
    EXPECT_EQ(dm().GetTipoSensoreTemperaturaGas(), 0);
    EXPECT_NEAR(dm().GetRifMot(4), 50, 1);
    EXPECT_NE(item(0xa15c)[4], raw1);
}

TEST_F(Accessors, EngineSensorOptionKeepsDegrees)
{
    // The vehicle's own sensor: 4000 ohm pull-up, 12 points from -20 C in
    // steps of 10.
    const std::int32_t parameters[5] = {0x0f, 0xa0, 10, -20, 12};
    for (int i = 0; i < 5; ++i)
        item(0x558a)[i] = parameters[i];
    for (int i = 0; i < 30; ++i)
        item(0x1e18b)[i] = i < 12 ? 230 - 15 * i : 0;

    dm().BuildTempMotoreTable(false);
    for (int i = 1; i < 9; ++i)
        ASSERT_TRUE(dm().SetRifTemperatura(i, 10 + 8 * i));
    ASSERT_TRUE(dm().SetTempAccensioneCambio(0, 30.7));
    ASSERT_TRUE(dm().SetTempAccensioneCambio(1, 45));
    ASSERT_EQ(dm().SetValueByCode(15, 40), 1);
    ASSERT_EQ(dm().SetValueByCode(144, 60), 1);
    ASSERT_EQ(dm().SetValueByCode(102, 70), 1);
    const long double before15 = dm().GetValueByCode(15);
    const long double accensione0 = dm().GetTempAccensioneCambio(0);
    const std::int32_t rawBefore = item(0xa12a)[3];

    ASSERT_TRUE(dm().SetFlag(10, true));
    EXPECT_NE(item(0xa12a)[3], rawBefore);
    for (int i = 1; i < 9; ++i)
        EXPECT_NEAR(dm().GetRifTemperatura(i), 10 + 8 * i, 1) << i;
    EXPECT_NEAR(static_cast<double>(dm().GetValueByCode(15)), static_cast<double>(before15), 1.5);
    EXPECT_NEAR(static_cast<double>(dm().GetValueByCode(144)), 60, 1.5);
    EXPECT_NEAR(static_cast<double>(dm().GetValueByCode(102)), 70, 1.5);
    // Read back whole, so the fraction of the switch-on temperature is lost.
    EXPECT_NEAR(static_cast<double>(dm().GetTempAccensioneCambio(0)), std::trunc(static_cast<double>(accensione0)), 1.5);
    EXPECT_NEAR(static_cast<double>(dm().GetTempAccensioneCambio(1)), 45, 1.5);

    ASSERT_TRUE(dm().SetFlag(10, false));
    for (int i = 1; i < 9; ++i)
        EXPECT_NEAR(dm().GetRifTemperatura(i), 10 + 8 * i, 2) << i;
}

TEST_F(Accessors, SwitchOverModeRemembersTheRpm)
{
    auto giri = [this] { return *item(0x210); };
    *item(0x210) = 2201;
    EXPECT_EQ(dm().GetTipoCommutazione(), 1);
    r.sim().ClearCalls();
    ASSERT_TRUE(dm().SetTipoCommutazione(2));
    EXPECT_EQ(lastValue("WriteValue", 0x210), 0);
    EXPECT_EQ(giri(), 0);
    EXPECT_EQ(dm().GetTipoCommutazione(), 2);
    EXPECT_EQ(dm().RememberedSwitchRpm, 2201);

    ASSERT_TRUE(dm().SetTipoCommutazione(0));
    EXPECT_EQ(lastValue("WriteValue", 0x210), 2200);
    EXPECT_EQ(dm().GetTipoCommutazione(), 0);
    EXPECT_EQ(dm().RememberedSwitchRpm, 0);

    // From start-on-gas to decelerating with the rpm remembered.
    *item(0x210) = 0;
    dm().RememberedSwitchRpm = 2201;
    ASSERT_TRUE(dm().SetTipoCommutazione(1));
    EXPECT_EQ(lastValue("WriteValue", 0x210), 2201);

    // Nothing stored, nothing remembered.
    *item(0x210) = 0;
    dm().RememberedSwitchRpm = 0;
    ASSERT_TRUE(dm().SetTipoCommutazione(1));
    EXPECT_EQ(lastValue("WriteValue", 0x210), 1601);
    *item(0x210) = 0;
    ASSERT_TRUE(dm().SetTipoCommutazione(0));
    EXPECT_EQ(lastValue("WriteValue", 0x210), 1600);

    // A refused start-on-gas keeps both.
    *item(0x210) = 1800;
    refuse(Op::WriteValue, 0x210);
    EXPECT_FALSE(dm().SetTipoCommutazione(2));
    EXPECT_EQ(giri(), 1800);
    EXPECT_EQ(dm().RememberedSwitchRpm, 0);

    arm();
    EXPECT_FALSE(dm().SetTipoCommutazione(3));
    EXPECT_THAT(r.callNames(), ::testing::IsEmpty());
    EXPECT_EQ(dm().Modified, 0);
}

TEST_F(Accessors, LevelSensorPresetsAndInvertedThresholds)
{
    r.sim().ClearCalls();
    ASSERT_TRUE(dm().SetTipoSensore(0));
    EXPECT_EQ(lastValue("WriteValue", 0x24), 129);
    EXPECT_EQ(dm().GetTipoSensore(), 0);
    EXPECT_TRUE(dm().GetTipoSensoreBit7());
    std::vector<std::int32_t> sent;
    for (const auto& w : writes("WriteElement", 0x25))
        sent.push_back(w.in.back());
    EXPECT_EQ(sent, (std::vector<std::int32_t>{56, 115, 162, 216}));
    EXPECT_EQ(dm().GetRifSensore(0), 199);
    EXPECT_EQ(dm().GetRifSensore(3), 39);

    // A type that is not inverted, with presets.
    ASSERT_TRUE(dm().SetTipoSensore(1));
    EXPECT_EQ(*item(0x24), 2);
    EXPECT_EQ(item(0x4125)[0], 17);
    EXPECT_EQ(dm().GetRifSensore(0), 17);

    // Positions from 4 on keep the thresholds.
    r.sim().ClearCalls();
    ASSERT_TRUE(dm().SetTipoSensore(9));
    EXPECT_EQ(lastValue("WriteValue", 0x24), 195);
    EXPECT_THAT(writes("WriteElement", 0x25), ::testing::IsEmpty());
    EXPECT_EQ(dm().GetRifSensore(0), 255 - 17);

    // A value above 255 (or below 0) is ignored, though counted as a change.
    arm();
    EXPECT_FALSE(dm().SetRifSensore(0, 256));
    EXPECT_FALSE(dm().SetRifSensore(0, -1));
    EXPECT_THAT(r.callNames(), ::testing::IsEmpty());
    EXPECT_EQ(dm().Modified, 1);

    *item(0x24) = 77;
    EXPECT_EQ(dm().GetTipoSensore(), -1);
}

TEST_F(Accessors, LambdaProbeKinds)
{
    *item(0xab) = 0;
    item(kFlags)[0] = 0;
    dm().TipiLambdaPresent = 0;
    EXPECT_EQ(dm().GetTipiLambdaEnabled(1), 1);
    EXPECT_EQ(dm().GetTipiLambdaEnabled(2), 1); // follows the number of probes
    item(kFlags)[0] = 0x4;
    EXPECT_EQ(dm().GetTipiLambdaEnabled(2), 0);
    EXPECT_EQ(dm().GetTipiLambdaEnabled(3), 0);

    dm().TipiLambdaPresent = 1;
    struct Step {
        int probe, kind;
        std::int32_t byte;
        int get1, get2;
    };
    const Step steps[] = {
        {1, 2, 0x03, 2, 0}, {2, 1, 0x13, 2, 1}, {2, 2, 0x33, 2, 2}, {1, 0, 0x30, 0, 2}, {1, 1, 0x31, 1, 2},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::Message() << s.probe << "/" << s.kind);
        ASSERT_TRUE(dm().SetTipiLambda(s.probe, s.kind));
        EXPECT_EQ(lastValue("WriteValue", 0xab), s.byte);
        EXPECT_EQ(dm().GetTipiLambda(1), s.get1);
        EXPECT_EQ(dm().GetTipiLambda(2), s.get2);
    }
    EXPECT_EQ(dm().GetTipiLambdaEnabled(1), 1);
    EXPECT_EQ(dm().GetTipiLambdaEnabled(2), 1);
    EXPECT_FALSE(dm().SetTipiLambda(1, 3));
    EXPECT_EQ(dm().GetTipiLambda(0), 0);

    *item(0x4) = 25;
    *item(0x1a) = 0x10;
    EXPECT_EQ(dm().GetTipoDiLambdaBit0(), 1);
    EXPECT_EQ(dm().GetTipoDiTpsBit0(), 0);
}

TEST_F(Accessors, DefaultsAfterALambdaTypeChange)
{
    *item(0x4) = 4; // position 3
    r.sim().ClearCalls();
    EXPECT_TRUE(dm().ApplyTipoDiLambdaDefaults());
    std::vector<std::int32_t> codes;
    for (const auto& w : r.callsOf("WriteValue"))
        codes.push_back(w.code);
    EXPECT_EQ(codes, (std::vector<std::int32_t>{5, 9, 8, 11, 10, 72, 71}));
    EXPECT_NEAR(static_cast<double>(dm().GetValueByCode(5)), 1.35, 0.02);
    EXPECT_NEAR(static_cast<double>(dm().GetValueByCode(71)), 1.6, 0.02);

    struct Case {
        std::int32_t type;
        std::int32_t raw; // of every point and cell; -1: nothing written
    };
    const Case cases[] = {
        {2, 26},   // bit 1: 0.5 V
        {136, 127}, // bit 7: 0 on the inverted scale
        {40, 128}, // the RifLambda default, 2.5 V
        {64, 153}, // 3.0 V
        {5, -1},   // not a lambda type
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        *item(0x4) = c.type;
        r.sim().ClearCalls();
        dm().ApplyTipoDiLambdaEmulazione();
        const auto points = writes("WriteElement", 0x82);
        const auto cells = writes("WriteCell", 0x70);
        if (c.raw < 0) {
            EXPECT_THAT(r.callNames(), ::testing::IsEmpty());
            continue;
        }
        EXPECT_EQ(points.size(), 12u);
        EXPECT_EQ(cells.size(), 36u);
        for (const auto& w : points)
            EXPECT_EQ(w.in.back(), c.raw);
        for (const auto& w : cells)
            EXPECT_EQ(w.in.back(), c.raw);
    }

    *item(0x4) = 7;
    r.sim().ClearCalls();
    EXPECT_TRUE(dm().ApplyTipoDiLambdaDefaults());
    EXPECT_THAT(r.callNames(), ::testing::IsEmpty());
}

TEST_F(Accessors, InjectionSequenceDefaultsByType)
{
    const std::int32_t defaults[8][8] = {
        {0, 1, 2, 3, 182, 182, 182, 182}, {1, 2, 4, 8, 0, 0, 0, 0},   {1, 2, 12, 0, 0, 0, 0, 0},
        {1, 2, 4, 8, 0, 0, 0, 0},         {1, 2, 12, 0, 16, 32, 0, 0}, {1, 2, 12, 0, 16, 32, 192, 0},
        {0, 0, 0, 0, 0, 0, 0, 0},         {1, 2, 4, 8, 16, 32, 64, 128},
    };
    for (int type = 0; type <= 9; ++type) {
        if (type == 8)
            continue;
        SCOPED_TRACE(type);
        *item(0x34) = type;
        ASSERT_TRUE(dm().SetSequenzaDefault());
        for (int slot = 0; slot < 8; ++slot) {
            const std::int32_t def = type <= 7 ? defaults[type][slot] : 0; // 10 cylinders: no table
            EXPECT_EQ(dm().GetSequenza(1, slot), def) << slot;
            EXPECT_EQ(dm().GetSequenza(0, slot), def != 0 ? slot : 182) << slot;
            EXPECT_EQ(dm().IsSequenzaSlotUsed(slot), def != 0) << slot;
        }
    }
    EXPECT_FALSE(dm().IsSequenzaSlotUsed(8));
    EXPECT_FALSE(dm().IsSequenzaSlotUsed(-1));
}

TEST_F(Accessors, InjectionSequenceReadBack)
{
    *item(0x34) = 3; // slots 0..3: 1, 2, 4, 8
    struct Case {
        const char* name;
        std::vector<std::int32_t> learned;
        int result;
    };
    const Case cases[] = {
        {"a duplicate", {0, 0, 3, 1, 182, 182, 182, 182}, -3},
        {"above 7", {0, 9, 3, 1, 182, 182, 182, 182}, -4},
        {"a used slot without cylinder", {0, 2, 3, 182, 182, 182, 182, 182}, -5},
        {"good", {0, 2, 3, 1, 182, 182, 182, 182}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(r.sim().PokeItem(0x0e, c.learned));
        ASSERT_TRUE(dm().SetSequenzaDefault());
        r.sim().ClearCalls();
        EXPECT_EQ(dm().ReadSequenzaFromEcu(), c.result);
        if (c.result != 0) {
            EXPECT_THAT(r.callsOf("WriteCell"), ::testing::IsEmpty());
            continue;
        }
        const std::int32_t row1[8] = {1, 2, 4, 8, 0, 0, 0, 0};
        for (int slot = 0; slot < 8; ++slot) {
            EXPECT_EQ(dm().GetSequenza(0, slot), c.learned[static_cast<std::size_t>(slot)]);
            EXPECT_EQ(dm().GetSequenza(1, slot), row1[slot]);
        }
    }

    refuse(Op::ReadItem, 0x810e);
    EXPECT_EQ(dm().ReadSequenzaFromEcu(), -1);
    r.sim().SetItemPresent(0x0e, false);
    EXPECT_EQ(dm().ReadSequenzaFromEcu(), -2);
}

TEST_F(Accessors, InjectionSequenceRotates)
{
    auto row1 = [this] {
        std::vector<std::int32_t> v;
        for (int s = 0; s < 8; ++s)
            v.push_back(dm().GetSequenza(1, s));
        return v;
    };
    *item(0x34) = 7;
    ASSERT_TRUE(dm().SetSequenzaDefault());
    EXPECT_TRUE(dm().RotateSequenza(0));
    EXPECT_EQ(row1(), (std::vector<std::int32_t>{1, 2, 4, 8, 16, 32, 64, 128}));
    EXPECT_TRUE(dm().RotateSequenza(1));
    EXPECT_EQ(row1(), (std::vector<std::int32_t>{2, 4, 8, 16, 32, 64, 128, 1}));
    EXPECT_TRUE(dm().RotateSequenza(10));
    EXPECT_EQ(row1(), (std::vector<std::int32_t>{4, 8, 16, 32, 64, 128, 1, 2}));

    // Unused slots are skipped and cleared.
    *item(0x34) = 2;
    ASSERT_TRUE(dm().SetSequenzaDefault()); // row 0: 0, 1, 2, 182, ...
    EXPECT_TRUE(dm().RotateSequenza(1));
    EXPECT_EQ(row1(), (std::vector<std::int32_t>{2, 12, 1, 0, 0, 0, 0, 0}));

    // A cylinder that no slot holds.
    ASSERT_TRUE(dm().SetSequenza(0, 0, 5));
    EXPECT_FALSE(dm().RotateSequenza(1));
}

TEST_F(Accessors, NoteTravelsInSixBitCharacters)
{
    r.sim().ClearCalls();
    ASSERT_TRUE(dm().SetNoteConfig("AB"));
    auto w = writes("WriteElement", 0x1b);
    ASSERT_EQ(w.size(), 48u);
    std::vector<std::int32_t> bytes;
    for (std::size_t i = 0; i < w.size(); ++i) {
        EXPECT_EQ(w[i].row, static_cast<std::int32_t>(i));
        bytes.push_back(w[i].in.back());
    }
    std::vector<std::int32_t> expected(48, 0);
    expected[0] = 0x62;
    expected[2] = 0x80;
    EXPECT_EQ(bytes, expected);
    EXPECT_STREQ(dm().GetNoteConfig(), "AB");

    // The first character's six bits spread over the group's top bits.
    r.sim().ClearCalls();
    ASSERT_TRUE(dm().SetNoteConfig("_!\"#"));
    w = writes("WriteElement", 0x1b);
    ASSERT_EQ(w.size(), 48u);
    EXPECT_EQ(w[0].in.back(), 0xc1);
    EXPECT_EQ(w[1].in.back(), 0xc2);
    EXPECT_EQ(w[2].in.back(), 0xc3);

    // A longer note is cut to the field.
    const std::string longNote(70, 'X');
    ASSERT_TRUE(dm().SetNoteConfig(longNote));
    EXPECT_EQ(std::string(dm().GetNoteConfig()), std::string(64, 'X'));

    // A refused byte leaves the stored note.
    arm();
    r.sim().AddFault({.op = Op::WriteElement, .code = 0x1b, .skip = 10});
    EXPECT_FALSE(dm().SetNoteConfig("NEW NOTE"));
    EXPECT_EQ(writes("WriteElement", 0x1b).size(), 11u);
    EXPECT_EQ(std::string(dm().GetNoteConfig()), std::string(64, 'X'));
    EXPECT_EQ(dm().Modified, 0);
    EXPECT_TRUE(dm().GetUfficiale());
}

TEST_F(Accessors, ConfigurationName)
{
    const std::string full = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01";
    ASSERT_TRUE(dm().SetNomeConfigurazione(full));
    EXPECT_EQ(std::string(dm().GetNomeConfigurazione()), full);
    auto ev = r.events();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].lParam, 2);
    EXPECT_EQ(ev[0].wParam, 0u);

    arm();
    ASSERT_TRUE(dm().SetNomeConfigurazione("Alpha"));
    EXPECT_STREQ(dm().GetNomeConfigurazione(), "Alpha");
    for (int e = 7; e < 30; ++e)
        EXPECT_EQ(item(0x1e135)[e], 0) << e;
    EXPECT_EQ(writes("WriteElement", 0x35).size(), 5u + 23u + 1u); // and the marker
    EXPECT_EQ(dm().Modified, 1);
    EXPECT_FALSE(dm().GetUfficiale());
    std::vector<std::int32_t> ecu;
    ASSERT_TRUE(r.sim().PeekItem(0x35, ecu));
    EXPECT_EQ(ecu[2], 'A');
    EXPECT_EQ(ecu[7], 0);
    EXPECT_EQ(ecu[29], 0);

    // Cut to 28 characters.
    r.sim().ClearCalls();
    ASSERT_TRUE(dm().SetNomeConfigurazione(full + "TOO LONG"));
    EXPECT_EQ(std::string(dm().GetNomeConfigurazione()), full);
    for (const auto& w : writes("WriteElement", 0x35))
        EXPECT_LT(w.row, 30);

    // A refused character leaves the name and posts nothing.
    r.events();
    arm();
    r.sim().AddFault({.op = Op::WriteElement, .code = 0x35, .skip = 2});
    EXPECT_FALSE(dm().SetNomeConfigurazione("Beta"));
    EXPECT_EQ(std::string(dm().GetNomeConfigurazione()), full);
    EXPECT_THAT(r.events(), ::testing::IsEmpty());
    EXPECT_EQ(dm().Modified, 0);
}

TEST_F(Accessors, DescriptionTextsAreCutToTheirFields)
{
    const std::string sixty(60, 'd');
    struct Case {
        int kind;
        const char* (*field)(TStreamDati&);
        std::size_t size;
    };
    const Case cases[] = {
        {1, [](TStreamDati& d) -> const char* { return d.DescrizAuto.data(); }, 50},
        {2, [](TStreamDati& d) -> const char* { return d.Euro.data(); }, 10},
        {3, [](TStreamDati& d) -> const char* { return d.Motore.data(); }, 50},
        {4, [](TStreamDati& d) -> const char* { return d.Centralina.data(); }, 50},
        {5, [](TStreamDati& d) -> const char* { return d.Cambio.data(); }, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ASSERT_TRUE(dm().SetDescription(c.kind, sixty));
        EXPECT_EQ(std::string(c.field(dm())), sixty.substr(0, c.size));
        ASSERT_TRUE(dm().SetDescription(c.kind, "short"));
        EXPECT_STREQ(c.field(dm()), "short");
    }
}

} // namespace
