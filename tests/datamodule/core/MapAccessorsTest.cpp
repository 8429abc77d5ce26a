// The named accessors of maps, tables and vectors against the simulated ECU:
// how each kind of setter finishes, and the families' bounds, limits and
// conversions.
#include "AccessorTestSupport.h"

namespace {

using acctest::Accessors;
using protovyx::Op;

// ---- How setters finish ------------------------------------------------------

struct OrderCase {
    const char* name;
    std::function<bool(TStreamDati&)> change;          // a valid change of one element
    std::function<std::int32_t(TStreamDati&)> stored;  // that element in the image
    Op op;
    std::int32_t code;
    bool modifiedAfterRefusal;
    bool markerClearedAfterRefusal;
    std::function<bool(TStreamDati&)> outside;         // the same setter outside its bounds
    bool modifiedOutside;
};

class SetterOrder : public Accessors {
protected:
    void run(const OrderCase& c)
    {
        SCOPED_TRACE(c.name);
        r.sim().ClearFaults();
        arm();
        const std::int32_t before = c.stored(dm());
        refuse(c.op, c.code);
        EXPECT_FALSE(c.change(dm()));
        EXPECT_EQ(writes(protovyx::OpName(c.op), c.code).size(), 1u);
        EXPECT_EQ(c.stored(dm()), before) << "a refused write changed the image";
        EXPECT_EQ(dm().Modified, c.modifiedAfterRefusal ? 1 : 0);
        EXPECT_EQ(dm().GetUfficiale(), !c.markerClearedAfterRefusal);

        arm();
        EXPECT_TRUE(c.change(dm()));
        EXPECT_NE(c.stored(dm()), before);
        const auto w = writes(protovyx::OpName(c.op), c.code);
        ASSERT_EQ(w.size(), 1u);
        if (c.op != Op::WriteItem) {
            EXPECT_EQ(w[0].in.back(), c.stored(dm()));
        }
        EXPECT_EQ(dm().Modified, 1);
        EXPECT_FALSE(dm().GetUfficiale());

        if (c.outside) {
            arm();
            EXPECT_FALSE(c.outside(dm()));
            EXPECT_THAT(r.callNames(), ::testing::IsEmpty());
            EXPECT_EQ(dm().Modified, c.modifiedOutside ? 1 : 0);
            EXPECT_TRUE(dm().GetUfficiale());
        }
    }
};

TEST_F(SetterOrder, WriteFirstThenMarkEvenWhenRefused)
{
    const OrderCase cases[] = {
        {"MappaK", [](TStreamDati& d) { return d.SetMappaK(1, 2, 77); },
         [](TStreamDati& d) { return d.Item(0xc154)[1 * 12 + 2]; }, Op::WriteCell, 0x54, true, true,
         [](TStreamDati& d) { return d.SetMappaK(13, 0, 1); }, false},
        {"RifTempiK", [](TStreamDati& d) { return d.SetRifTempiK(2, 2.56); },
         [](TStreamDati& d) { return d.Item(0xc737)[2]; }, Op::WriteElement, 0x637, true, true,
         [](TStreamDati& d) { return d.SetRifTempiK(12, 1); }, false},
        {"TargetObd", [](TStreamDati& d) { return d.SetTargetObd(0, 3, 5); },
         [](TStreamDati& d) { return d.Item(0x61ba)[1]; }, Op::WriteCell, 0xba, true, true,
         [](TStreamDati& d) { return d.SetTargetObd(0, 12, 1); }, false},
        {"TipiLambda", [](TStreamDati& d) { return d.SetTipiLambda(2, 1); },
         [](TStreamDati& d) { return d.Item(0xab)[0]; }, Op::WriteValue, 0xab, true, true,
         [](TStreamDati& d) { return d.SetTipiLambda(3, 1); }, false},
    };
    for (const auto& c : cases)
        run(c);
}

TEST_F(SetterOrder, FlagThenWriteStopsOnRefusal)
{
    const OrderCase cases[] = {
        {"RifGiri", [](TStreamDati& d) { return d.SetRifGiri(3, 2000); },
         [](TStreamDati& d) { return d.Item(0xc30c)[3]; }, Op::WriteElement, 0x20c, true, false,
         [](TStreamDati& d) { return d.SetRifGiri(12, 1); }, false},
        {"TipoIniettore", [](TStreamDati& d) { return d.SetTipoIniettore(1, 3); },
         [](TStreamDati& d) { return d.Item(0x2194)[1]; }, Op::WriteElement, 0x94, true, false,
         [](TStreamDati& d) { return d.SetTipoIniettore(2, 1); }, false},
        {"TInjDefault", [](TStreamDati& d) { return d.SetTInjDefault(7, 1, 2.56); },
         [](TStreamDati& d) { return d.Item(0x238f)[15]; }, Op::WriteCell, 0x28f, true, false,
         [](TStreamDati& d) { return d.SetTInjDefault(8, 0, 1); }, false},
    };
    for (const auto& c : cases)
        run(c);
}

TEST_F(SetterOrder, FlagFirstMarksEvenARejectedIndex)
{
    const OrderCase cases[] = {
        {"Azione", [](TStreamDati& d) { return d.SetAzione(1, 1, 5); },
         [](TStreamDati& d) { return d.Item(0x311f)[4]; }, Op::WriteCell, 0x1f, true, false,
         [](TStreamDati& d) { return d.SetAzione(3, 0, 1); }, true},
        {"RifSensore", [](TStreamDati& d) { return d.SetRifSensore(2, 80); },
         [](TStreamDati& d) { return d.Item(0x4125)[2]; }, Op::WriteElement, 0x25, true, false,
         [](TStreamDati& d) { return d.SetRifSensore(4, 1); }, true},
        {"Diagnosi enables", [](TStreamDati& d) { return d.SetDiagnosi(1, 2, 1); },
         [](TStreamDati& d) { return d.Item(0x511c)[1]; }, Op::WriteElement, 0x1c, true, false,
         [](TStreamDati& d) { return d.SetDiagnosi(5, 2, 1); }, true},
        {"CoeffMot", [](TStreamDati& d) { return d.SetCoeffMot(8, 150); },
         [](TStreamDati& d) { return d.Item(0x915d)[8]; }, Op::WriteElement, 0x5d, true, false,
         [](TStreamDati& d) { return d.SetCoeffMot(9, 1); }, true},
        {"TipoSensore", [](TStreamDati& d) { return d.SetTipoSensore(4); },
         [](TStreamDati& d) { return d.Item(0x24)[0]; }, Op::WriteValue, 0x24, true, false,
         [](TStreamDati& d) { return d.SetTipoSensore(10); }, true},
    };
    for (const auto& c : cases)
        run(c);
}

TEST_F(SetterOrder, WriteThenStoreAndMarkOnlyOnSuccess)
{
    const OrderCase cases[] = {
        {"RifMapEmissioni", [](TStreamDati& d) { return d.SetRifMapEmissioni(1, 1.5); },
         [](TStreamDati& d) { return d.Item(0x436f)[1]; }, Op::WriteElement, 0x26f, false, false,
         [](TStreamDati& d) { return d.SetRifMapEmissioni(4, 1); }, false},
        {"Sequenza", [](TStreamDati& d) { return d.SetSequenza(0, 4, 3); },
         [](TStreamDati& d) { return d.Item(0x810d)[4]; }, Op::WriteCell, 0x0d, false, false,
         [](TStreamDati& d) { return d.SetSequenza(2, 0, 1); }, false},
        {"CoeffPressColl", [](TStreamDati& d) { return d.SetCoeffPressColl(14, -12.5); },
         [](TStreamDati& d) { return d.Item(0xf760)[14]; }, Op::WriteElement, 0x660, false, false,
         [](TStreamDati& d) { return d.SetCoeffPressColl(15, 1); }, false},
        {"TipoCommutazione", [](TStreamDati& d) { return d.SetTipoCommutazione(1); },
         [](TStreamDati& d) { return d.Item(0x210)[0]; }, Op::WriteValue, 0x210, false, false,
         [](TStreamDati& d) { return d.SetTipoCommutazione(3); }, false},
    };
    for (const auto& c : cases)
        run(c);
}

TEST_F(SetterOrder, OptionWordsWriteThePairThenMark)
{
    const OrderCase cases[] = {
        {"SetFlag", [](TStreamDati& d) { return d.SetFlag(2, true); },
         [](TStreamDati& d) { return d.Item(0x2303)[0]; }, Op::WriteItem, 0x2303, false, false, nullptr, false},
        {"SetNumeroSonde", [](TStreamDati& d) { return d.SetNumeroSonde(1); },
         [](TStreamDati& d) { return d.Item(0x2303)[0]; }, Op::WriteItem, 0x2303, false, false, nullptr, false},
        {"SetModificaSequenza", [](TStreamDati& d) { return d.SetModificaSequenza(true); },
         [](TStreamDati& d) { return d.Item(0x2303)[0]; }, Op::WriteItem, 0x2303, false, false, nullptr, false},
    };
    for (const auto& c : cases)
        run(c);
}

TEST_F(Accessors, SettersWithEndingsOfTheirOwn)
{
    // The rpm-signal type: stored and flagged on success, the marker untouched.
    arm();
    refuse(Op::WriteValue, 0x14);
    EXPECT_FALSE(dm().SetSegnaleGiri(true));
    EXPECT_EQ(dm().GetSegnaleGiri(), 0);
    EXPECT_EQ(dm().Modified, 0);
    arm();
    EXPECT_TRUE(dm().SetSegnaleGiri(true));
    EXPECT_EQ(dm().GetSegnaleGiri(), 1);
    EXPECT_EQ(dm().Modified, 1);
    EXPECT_TRUE(dm().GetUfficiale());

    // The marker itself never sets the modified flag.
    arm();
    dm().SetUfficiale(false);
    EXPECT_FALSE(dm().GetUfficiale());
    EXPECT_EQ(dm().Modified, 0);

    // Injector times: a refusal changes nothing; an unknown kind writes
    // nothing yet counts as a change.
    arm();
    refuse(Op::WriteValue, 0x253);
    EXPECT_FALSE(dm().SetTempoIniettore(1, 2.56));
    EXPECT_EQ(dm().Modified, 0);
    EXPECT_TRUE(dm().GetUfficiale());
    arm();
    EXPECT_TRUE(dm().SetTempoIniettore(4, 2.56));
    EXPECT_EQ(lastValue("WriteValue", 0x27e), 1000);
    EXPECT_NEAR(static_cast<double>(dm().GetTempoIniettore(4)), 2.56, 1e-9);
    arm();
    EXPECT_FALSE(dm().SetTempoIniettore(5, 2.56));
    EXPECT_THAT(r.callsOf("WriteValue"), ::testing::IsEmpty());
    EXPECT_EQ(dm().Modified, 1);
    EXPECT_FALSE(dm().GetUfficiale());

    // Diagnostics of another kind: nothing written, flag and marker still.
    arm();
    EXPECT_FALSE(dm().SetDiagnosi(0, 3, 1));
    EXPECT_THAT(r.callsOf("WriteElement").size(), 1u); // the marker's own write
    EXPECT_EQ(dm().Modified, 1);
    EXPECT_FALSE(dm().GetUfficiale());

    // A description text: image only.
    arm();
    EXPECT_TRUE(dm().SetDescription(3, "1.6 16V"));
    EXPECT_STREQ(dm().Motore.data(), "1.6 16V");
    EXPECT_EQ(dm().Modified, 1);
    EXPECT_FALSE(dm().GetUfficiale());
    arm();
    EXPECT_FALSE(dm().SetDescription(6, "x"));
    EXPECT_EQ(dm().Modified, 0);

    // Gas-temperature sensor type: flag first, then stop on refusal.
    arm();
    refuse(Op::WriteValue, 0x86);
    EXPECT_FALSE(dm().SetTipoSensoreTemperaturaGas(2));
    EXPECT_EQ(dm().GetTipoSensoreTemperaturaGas(), 0);
    EXPECT_EQ(dm().Modified, 1);
    EXPECT_TRUE(dm().GetUfficiale());
}

TEST_F(Accessors, WithoutWriteThroughSettersStoreOnly)
{
    dm().WriteThrough = 0;
    arm();
    EXPECT_TRUE(dm().SetMappaK(0, 0, 9));
    EXPECT_TRUE(dm().SetRifMapEmissioni(0, 1.0));
    EXPECT_TRUE(dm().SetFlag(0, true));
    EXPECT_EQ(dm().GetMappaK(0, 0), 9);
    EXPECT_EQ(dm().GetFlag(0), 1);
    for (const auto& n : r.callNames())
        EXPECT_NE(n.rfind("Write", 0), 0u) << n;
}

// ---- Bounds, limits, conversions ---------------------------------------------

struct ConvCase {
    const char* name;
    std::function<bool(TStreamDati&)> set;
    const char* op;
    std::int32_t code;
    std::int32_t raw;                                  // written and stored
    std::function<long double(TStreamDati&)> get;
    double readBack;
};

TEST_F(Accessors, LimitsAndConversions)
{
    using D = TStreamDati;
    const ConvCase cases[] = {
        {"MappaK 300", [](D& d) { return d.SetMappaK(0, 0, 300); }, "WriteCell", 0x54, 255,
         [](D& d) { return d.GetMappaK(0, 0); }, 255},
        {"MappaK negative", [](D& d) { return d.SetMappaK(0, 1, -1); }, "WriteCell", 0x54, 0,
         [](D& d) { return d.GetMappaK(0, 1); }, 0},
        {"MappaK 13th row", [](D& d) { return d.SetMappaK(12, 11, 42); }, "WriteCell", 0x54, 42,
         [](D& d) { return d.GetMappaK(12, 11); }, 42},
        {"RifGiriK", [](D& d) { return d.SetRifGiriK(11, 6500); }, "WriteElement", 0x63d, 6500,
         [](D& d) { return d.GetRifGiriK(11); }, 6500},
        {"RifTempiK", [](D& d) { return d.SetRifTempiK(0, 2.56); }, "WriteElement", 0x637, 1000,
         [](D& d) { return d.GetRifTempiK(0); }, 2.56},
        {"TOpenLoop 40 ms", [](D& d) { return d.SetTOpenLoop(0, 40); }, "WriteElement", 0x27f, 11719,
         [](D& d) { return d.GetTOpenLoop(0); }, 11719 * 2560 * 0.000001},
        {"TOpenLoop negative", [](D& d) { return d.SetTOpenLoop(1, -3); }, "WriteElement", 0x27f, 0,
         [](D& d) { return d.GetTOpenLoop(1); }, 0},
        {"MappaFiltro 1.2", [](D& d) { return d.SetMappaFiltro(0, 0, 1.2); }, "WriteCell", 0x71, 6,
         [](D& d) { return d.GetMappaFiltro(0, 0); }, 1.2},
        {"MappaFiltro 60", [](D& d) { return d.SetMappaFiltro(0, 1, 60); }, "WriteCell", 0x71, 255,
         [](D& d) { return d.GetMappaFiltro(0, 1); }, 51},
        {"MappaFiltro half down to even", [](D& d) { return d.SetMappaFiltro(1, 0, 0.5); }, "WriteCell", 0x71, 2,
         [](D& d) { return d.GetMappaFiltro(1, 0); }, 0.4},
        {"MappaFiltro half up to even", [](D& d) { return d.SetMappaFiltro(1, 1, 1.5); }, "WriteCell", 0x71, 8,
         [](D& d) { return d.GetMappaFiltro(1, 1); }, 1.6},
        {"MappaFiltro negative", [](D& d) { return d.SetMappaFiltro(1, 2, -1); }, "WriteCell", 0x71, 0,
         [](D& d) { return d.GetMappaFiltro(1, 2); }, 0},
        {"RifFiltro", [](D& d) { return d.SetRifFiltro(0, 1.5); }, "WriteElement", 0x272, 1500,
         [](D& d) { return d.GetRifFiltro(0); }, 1.5},
        {"RifFiltro limit", [](D& d) { return d.SetRifFiltro(1, 3.5); }, "WriteElement", 0x272, 3000,
         [](D& d) { return d.GetRifFiltro(1); }, 3.0},
        {"Sgancio", [](D& d) { return d.SetSgancio(0, 12.9); }, "WriteElement", 0x73, 12,
         [](D& d) { return d.GetSgancio(0); }, 12},
        {"Sgancio limit", [](D& d) { return d.SetSgancio(1, 300); }, "WriteElement", 0x73, 255,
         [](D& d) { return d.GetSgancio(1); }, 255},
        {"MappaCorrAutotaratura low", [](D& d) { return d.SetMappaCorrAutotaratura(3, 3, -200); }, "WriteCell", 0x495,
         -128, [](D& d) { return d.GetMappaCorrAutotaratura(3, 3); }, -128},
        {"MappaCorrAutotaratura high", [](D& d) { return d.SetMappaCorrAutotaratura(0, 0, 200); }, "WriteCell",
         0x495, 127, [](D& d) { return d.GetMappaCorrAutotaratura(0, 0); }, 127},
        {"RifGiri 10000", [](D& d) { return d.SetRifGiri(0, 10000); }, "WriteElement", 0x20c, 10000,
         [](D& d) { return d.GetRifGiri(0); }, 10000},
        {"Lambda volts", [](D& d) { return d.SetRiferimentiSondaLambda(0, 1.0); }, "WriteElement", 0x82, 51,
         [](D& d) { return d.GetRiferimentiSondaLambda(0); }, 1.0},
        {"Lambda volts limit", [](D& d) { return d.SetMappaEmissioni(2, 11, 7); }, "WriteCell", 0x70, 255,
         [](D& d) { return d.GetMappaEmissioni(2, 11); }, 5.0},
        {"RifMapEmissioni rounded", [](D& d) { return d.SetRifMapEmissioni(0, 1.2346); }, "WriteElement", 0x26f, 1235,
         [](D& d) { return d.GetRifMapEmissioni(0); }, 1.235},
        {"RifMapEmissioni limit", [](D& d) { return d.SetRifMapEmissioni(3, 4); }, "WriteElement", 0x26f, 3000,
         [](D& d) { return d.GetRifMapEmissioni(3); }, 3.0},
        {"Anticipo limit", [](D& d) { return d.SetAnticipo(11, 400); }, "WriteElement", 0x283, 300,
         [](D& d) { return d.GetAnticipo(11); }, 300},
        {"Cutoff rpm", [](D& d) { return d.SetIniettateGasCutoff(0, 1500.7); }, "WriteElement", 0x232, 1500,
         [](D& d) { return d.GetIniettateGasCutoff(0); }, 1500},
        {"Cutoff ms", [](D& d) { return d.SetIniettateGasCutoff(1, 2.56); }, "WriteElement", 0x232, 1000,
         [](D& d) { return d.GetIniettateGasCutoff(1); }, 2.56},
        {"TInjFiltro raw", [](D& d) { return d.SetTInjFiltro(0, 5.9); }, "WriteElement", 0x298, 5,
         [](D& d) { return d.GetTInjFiltro(0); }, 5},
        {"TInjFiltro tenths", [](D& d) { return d.SetTInjFiltro(7, 25.6); }, "WriteElement", 0x298, 1000,
         [](D& d) { return d.GetTInjFiltro(7); }, 25.6},
        {"TInjFiltro ms", [](D& d) { return d.SetTInjFiltro(6, 2.56); }, "WriteElement", 0x298, 1000,
         [](D& d) { return d.GetTInjFiltro(6); }, 2.56},
        {"Variatore limit", [](D& d) { return d.SetVariatore(7, 40); }, "WriteElement", 0x27, 31,
         [](D& d) { return d.GetVariatore(7); }, 31},
        {"RifGiriVariatore limit", [](D& d) { return d.SetRifGiriVariatore(0, 12000); }, "WriteElement", 0x226,
         10000, [](D& d) { return d.GetRifGiriVariatore(0); }, 10000},
        {"MappaVariatore negative", [](D& d) { return d.SetMappaVariatore(4, 7, -2); }, "WriteCell", 0x2c, 0,
         [](D& d) { return d.GetMappaVariatore(4, 7); }, 0},
        {"DelayGasTemp row 0", [](D& d) { return d.SetDelayGasTemp(0, 0, 777); }, "WriteCell", 0x2e, 255,
         [](D& d) { return d.GetDelayGasTemp(0, 0); }, 510},
        {"DelayGasTemp row 1", [](D& d) { return d.SetDelayGasTemp(1, 8, 777); }, "WriteCell", 0x2e, 194,
         [](D& d) { return d.GetDelayGasTemp(1, 8); }, 776},
        {"PressPassaggio limit", [](D& d) { return d.SetPressPassaggio(0, 15); }, "WriteElement", 0x2bd, 12000,
         [](D& d) { return d.GetPressPassaggio(0); }, 12},
        {"PressPassaggio negative", [](D& d) { return d.SetPressPassaggio(1, -1); }, "WriteElement", 0x2bd, 0,
         [](D& d) { return d.GetPressPassaggio(1); }, 0},
        {"CoeffTemperatura limit", [](D& d) { return d.SetCoeffTemperatura(0, 250); }, "WriteElement", 0x2b, 200,
         [](D& d) { return d.GetCoeffTemperatura(0); }, 200},
        {"RifMot first end", [](D& d) { return d.SetRifMot(0, 40); }, "WriteElement", 0x5c, 0,
         [](D& d) { return d.GetRifMot(0); }, 0},
        {"RifMot last end", [](D& d) { return d.SetRifMot(9, 40); }, "WriteElement", 0x5c, 255,
         [](D& d) { return d.GetRifMot(9); }, 255},
        {"RifTemperatura last end", [](D& d) { return d.SetRifTemperatura(9, 40); }, "WriteElement", 0x2a, 255,
         [](D& d) { return d.GetRifTemperatura(9); }, 255},
        {"CoeffPressDiff word", [](D& d) { return d.SetCoeffPressDiff(0, 12.345); }, "WriteElement", 0x67c, 1234,
         [](D& d) { return d.GetCoeffPressDiff(0); }, 12.34},
        {"CoeffPressDiff limit", [](D& d) { return d.SetCoeffPressDiff(1, -150); }, "WriteElement", 0x67c, -9990,
         [](D& d) { return d.GetCoeffPressDiff(1); }, -99.9},
        {"RifPressDiff", [](D& d) { return d.SetRifPressDiff(14, 1.1); }, "WriteElement", 0x27b, 1100,
         [](D& d) { return d.GetRifPressDiff(14); }, 1.1},
        {"CoeffPressColl", [](D& d) { return d.SetCoeffPressColl(0, 99.95); }, "WriteElement", 0x660, 9990,
         [](D& d) { return d.GetCoeffPressColl(0); }, 99.9},
        {"RifPressColl", [](D& d) { return d.SetRifPressColl(0, 0.75); }, "WriteElement", 0x25f, 750,
         [](D& d) { return d.GetRifPressColl(0); }, 0.75},
        {"ScartoMinimoTaratura", [](D& d) { return d.SetScartoMinimoTaratura(1, 0.256); }, "WriteElement", 0x291,
         100, [](D& d) { return d.GetScartoMinimoTaratura(1); }, 0.256},
        {"OffsetPendenza signed", [](D& d) { return d.SetOffsetPendenza(4, -300); }, "WriteElement", 0x678, -300,
         [](D& d) { return d.GetOffsetPendenza(4); }, -300},
        // Typed decimals give the raw of the decimal, though their binary
        // products come out a hair below it.
        {"PressPassaggio 0.3", [](D& d) { return d.SetPressPassaggio(2, 0.3); }, "WriteElement", 0x2bd, 300,
         [](D& d) { return d.GetPressPassaggio(2); }, 0.3},
        {"RifFiltro 2.3", [](D& d) { return d.SetRifFiltro(2, 2.3); }, "WriteElement", 0x272, 2300,
         [](D& d) { return d.GetRifFiltro(2); }, 2.3},
        {"RifPressDiff 2.3", [](D& d) { return d.SetRifPressDiff(0, 2.3); }, "WriteElement", 0x27b, 2300,
         [](D& d) { return d.GetRifPressDiff(0); }, 2.3},
        {"RifPressColl 0.29", [](D& d) { return d.SetRifPressColl(1, 0.29); }, "WriteElement", 0x25f, 290,
         [](D& d) { return d.GetRifPressColl(1); }, 0.29},
        {"CoeffPressColl 0.57", [](D& d) { return d.SetCoeffPressColl(1, 0.57); }, "WriteElement", 0x660, 57,
         [](D& d) { return d.GetCoeffPressColl(1); }, 0.57},
        {"CoeffPressDiff -12.34", [](D& d) { return d.SetCoeffPressDiff(2, -12.34); }, "WriteElement", 0x67c, -1234,
         [](D& d) { return d.GetCoeffPressDiff(2); }, -12.34},
        {"RifMapEmissioni 1.2345", [](D& d) { return d.SetRifMapEmissioni(1, 1.2345); }, "WriteElement", 0x26f, 1235,
         [](D& d) { return d.GetRifMapEmissioni(1); }, 1.235},
        {"RifMapEmissioni 2.9995", [](D& d) { return d.SetRifMapEmissioni(2, 2.9995); }, "WriteElement", 0x26f, 3000,
         [](D& d) { return d.GetRifMapEmissioni(2); }, 3.0},
        {"MappaFiltro 0.7 half up to even", [](D& d) { return d.SetMappaFiltro(2, 0, 0.7); }, "WriteCell", 0x71, 4,
         [](D& d) { return d.GetMappaFiltro(2, 0); }, 0.8},
        {"MappaFiltro 0.3 half up to even", [](D& d) { return d.SetMappaFiltro(2, 1, 0.3); }, "WriteCell", 0x71, 2,
         [](D& d) { return d.GetMappaFiltro(2, 1); }, 0.4},
        {"RifTempiK half unit", [](D& d) { return d.SetRifTempiK(1, 0.288); }, "WriteElement", 0x637, 113,
         [](D& d) { return d.GetRifTempiK(1); }, 113 * 0.00256},
        {"TInjFiltro tenths half unit", [](D& d) { return d.SetTInjFiltro(3, 2.88); }, "WriteElement", 0x298, 113,
         [](D& d) { return d.GetTInjFiltro(3); }, 113 * 0.0256},
        {"TempDiagnosi gas 48.5", [](D& d) { return d.SetTempDiagnosi(2, 48.5); }, "WriteElement", 0x51, 76,
         [](D& d) { return d.GetTempDiagnosi(2); }, 48.5},
        {"TempAccensioneCambio 48.5", [](D& d) { return d.SetTempAccensioneCambio(0, 48.5); }, "WriteElement", 0x68,
         70, [](D& d) { return d.GetTempAccensioneCambio(0); }, 48.5},
        {"RifMot 48.5", [](D& d) { return d.SetRifMot(3, 48.5); }, "WriteElement", 0x5c, 76,
         [](D& d) { return d.GetRifMot(3); }, 49}, // read back + 0.5, truncated
    };
    for (const ConvCase& c : cases) {
        SCOPED_TRACE(c.name);
        r.sim().ClearCalls();
        EXPECT_TRUE(c.set(dm()));
        EXPECT_EQ(lastValue(c.op, c.code), c.raw);
        EXPECT_NEAR(static_cast<double>(c.get(dm())), c.readBack, 1e-6);
    }
}

TEST_F(Accessors, OutOfBoundsReadsZeroAndWritesNothing)
{
    item(0xc154)[12 * 12 + 11] = 99; // last cell of the thirteenth row
    item(0xc154)[0] = 7;
    EXPECT_EQ(dm().GetMappaK(12, 11), 99);
    EXPECT_EQ(dm().GetMappaK(13, 0), 0);
    EXPECT_EQ(dm().GetMappaK(0, 12), 0);
    EXPECT_EQ(dm().GetMappaK(-1, 0), 0);
    EXPECT_EQ(dm().GetTargetObd(12, 0), 0);
    EXPECT_EQ(dm().GetRifGiri(12), 0);
    EXPECT_EQ(dm().GetRifMot(10), 0);
    EXPECT_EQ(dm().GetDelayGasTemp(2, 0), 0);
    EXPECT_EQ(dm().GetTempDiagnosi(4), 0);
    EXPECT_EQ(dm().GetRiferimentiSondaLambda(12), 0);
    EXPECT_EQ(dm().GetRifMapVariatore(5), 0);

    arm();
    EXPECT_FALSE(dm().SetMappaCorrAutotaratura(4, 0, 5));
    EXPECT_FALSE(dm().SetTargetObd(0, 12, 1));
    EXPECT_FALSE(dm().SetMappaFiltro(12, 0, 1));
    EXPECT_FALSE(dm().SetRifDelayGasTemp(9, 20));
    EXPECT_FALSE(dm().SetDelayGasTemp(0, 9, 20));
    EXPECT_THAT(r.callNames(), ::testing::IsEmpty());

    // An rpm breakpoint above 10000, or below 0, is not a change at all.
    arm();
    EXPECT_FALSE(dm().SetRifGiri(0, 10001));
    EXPECT_FALSE(dm().SetRifGiri(0, -1));
    EXPECT_THAT(r.callNames(), ::testing::IsEmpty());
    EXPECT_EQ(dm().Modified, 0);
    EXPECT_TRUE(dm().GetUfficiale());
}

TEST_F(Accessors, ObdTargetCellsShareBytes)
{
    item(0x61ba)[5 * 6 + 1] = 0x9a; // row 5, columns 2 and 3
    EXPECT_EQ(dm().GetTargetObd(5, 2), 1);
    EXPECT_EQ(dm().GetTargetObd(5, 3), 2);

    r.sim().ClearCalls();
    EXPECT_TRUE(dm().SetTargetObd(5, 3, -8));
    auto w = r.callsOf("WriteCell");
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].code, 0xba);
    EXPECT_EQ(w[0].row, 5);
    EXPECT_EQ(w[0].column, 1);
    EXPECT_EQ(w[0].in.back(), 0x90);
    EXPECT_EQ(dm().GetTargetObd(5, 2), 1);
    EXPECT_EQ(dm().GetTargetObd(5, 3), -8);

    // Values beyond the nibble are held to -8..7; the even column takes the
    // high nibble.
    EXPECT_TRUE(dm().SetTargetObd(5, 2, 30));
    EXPECT_EQ(lastValue("WriteCell", 0xba), 0xf0);
    EXPECT_TRUE(dm().SetTargetObd(5, 2, -30));
    EXPECT_EQ(lastValue("WriteCell", 0xba), 0x00);
    EXPECT_EQ(dm().GetTargetObd(5, 2), -8);
}

TEST_F(Accessors, VariatorMapAxisFollowsTheExternalSensorLine)
{
    ASSERT_TRUE(dm().SetOffsetPendenza(2, 100));
    ASSERT_TRUE(dm().SetOffsetPendenza(3, 250));
    item(0x512d)[1] = 100;
    // (100 x 0.1 + 100 x 2 x 250 / 1020) x 0.01
    EXPECT_NEAR(static_cast<double>(dm().GetRifMapVariatore(1)), (10 + 50000.0 / 1020) * 0.01, 1e-12);

    r.sim().ClearCalls();
    // (0.59 x 102000 - 100 x 102) / 500 = 99.96, truncated.
    EXPECT_TRUE(dm().SetRifMapVariatore(2, 0.59));
    EXPECT_EQ(lastValue("WriteElement", 0x2d), 99);
    EXPECT_TRUE(dm().SetRifMapVariatore(3, 9));
    EXPECT_EQ(lastValue("WriteElement", 0x2d), 255);
    EXPECT_TRUE(dm().SetRifMapVariatore(4, 0));
    EXPECT_EQ(lastValue("WriteElement", 0x2d), 0);

    // Without a slope there is no line to invert: nothing is written.
    ASSERT_TRUE(dm().SetOffsetPendenza(3, 0));
    arm();
    EXPECT_FALSE(dm().SetRifMapVariatore(2, 0.59));
    EXPECT_THAT(r.callNames(), ::testing::IsEmpty());
    EXPECT_NEAR(static_cast<double>(dm().GetRifMapVariatore(2)), 0.1, 1e-12); // the offset alone
}

TEST_F(Accessors, InvertedLambdaReferences)
{
    *item(0x4) = 136; // bit 7: the references count down from 127
    r.sim().ClearCalls();
    EXPECT_TRUE(dm().SetRiferimentiSondaLambda(3, 27));
    EXPECT_EQ(lastValue("WriteElement", 0x82), 100);
    EXPECT_EQ(dm().GetRiferimentiSondaLambda(3), 27);
    EXPECT_TRUE(dm().SetMappaEmissioni(0, 0, 200));
    EXPECT_EQ(lastValue("WriteCell", 0x70), 0);
    EXPECT_TRUE(dm().SetMappaEmissioni(0, 1, -200));
    EXPECT_EQ(lastValue("WriteCell", 0x70), 254);
    EXPECT_EQ(dm().GetMappaEmissioni(0, 1), -127);
}

TEST_F(Accessors, TemperaturesGoThroughTheirSensorTable)
{
    dm().BuildTemperaturaGasTable(1); // differs from the engine table
    struct Case {
        const char* name;
        std::function<bool(TStreamDati&, double)> set;
        std::function<long double(TStreamDati&)> get;
        bool engine;
        std::int32_t code;
    };
    const Case cases[] = {
        {"TempDiagnosi 0", [](TStreamDati& d, double v) { return d.SetTempDiagnosi(0, v); },
         [](TStreamDati& d) { return d.GetTempDiagnosi(0); }, true, 0x51},
        {"TempDiagnosi 3", [](TStreamDati& d, double v) { return d.SetTempDiagnosi(3, v); },
         [](TStreamDati& d) { return d.GetTempDiagnosi(3); }, false, 0x51},
        {"TempAccensioneCambio", [](TStreamDati& d, double v) { return d.SetTempAccensioneCambio(1, v); },
         [](TStreamDati& d) { return d.GetTempAccensioneCambio(1); }, true, 0x68},
        {"RifMot", [](TStreamDati& d, double v) { return d.SetRifMot(4, v); },
         [](TStreamDati& d) { return d.GetRifMot(4); }, false, 0x5c},
        {"RifTemperatura", [](TStreamDati& d, double v) { return d.SetRifTemperatura(4, v); },
         [](TStreamDati& d) { return d.GetRifTemperatura(4); }, true, 0x2a},
        {"RifDelayGasTemp", [](TStreamDati& d, double v) { return d.SetRifDelayGasTemp(2, static_cast<int>(v)); },
         [](TStreamDati& d) { return d.GetRifDelayGasTemp(2); }, false, 0x2f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        r.sim().ClearCalls();
        EXPECT_TRUE(c.set(dm(), 60));
        const std::int32_t raw = c.engine ? dm::TempMotoreToRaw(60) : dm::TemperaturaGasToRaw(60);
        EXPECT_EQ(lastValue("WriteElement", c.code), raw);
        EXPECT_NEAR(static_cast<double>(c.get(dm())), 60, 1.0);
    }
    ASSERT_NE(dm::TempMotoreToRaw(60), dm::TemperaturaGasToRaw(60));
}

TEST_F(Accessors, TipoIniettoreIsReadFromTheEcu)
{
    r.sim().PokeItem(0x94, std::vector<std::int32_t>{3, 4});
    r.sim().ClearCalls();
    EXPECT_EQ(dm().GetTipoIniettore(1), 4);
    EXPECT_EQ(r.callsOf("ReadItem").size(), 1u);
    EXPECT_EQ(dm().GetTipoIniettore(2), 0);
    EXPECT_EQ(r.callsOf("ReadItem").size(), 1u);
}

TEST_F(Accessors, ZoneShiftMovesOnlyItsCells)
{
    for (int row = 0; row < 13; ++row)
        for (int col = 0; col < 12; ++col)
            item(0xc154)[row * 12 + col] = 100;
    item(0xc154)[4 * 12 + 7] = 250; // in zone (1, 2): would leave 0..255
    item(0x4595)[1 * 4 + 2] = 3;

    r.sim().ClearCalls();
    dm().ShiftMappaKZone(1, 2, 10);
    EXPECT_EQ(r.callsOf("WriteCell").size(), 8u + 1u); // 3 x 3 cells less one, and the correction cell
    for (int row = 0; row < 13; ++row) {
        for (int col = 0; col < 12; ++col) {
            const bool inZone = row >= 3 && row <= 5 && col >= 6 && col <= 8;
            const int expected = (row == 4 && col == 7) ? 250 : (inZone ? 110 : 100);
            EXPECT_EQ(dm().GetMappaK(row, col), expected) << row << "," << col;
        }
    }
    EXPECT_EQ(dm().GetMappaCorrAutotaratura(1, 2), 13);

    // The last zone row takes four rows, the thirteenth among them.
    dm().ShiftMappaKZone(3, 3, -5);
    EXPECT_EQ(dm().GetMappaK(12, 11), 95);
    EXPECT_EQ(dm().GetMappaK(9, 9), 95);
    EXPECT_EQ(dm().GetMappaK(8, 9), 100);

    r.sim().ClearCalls();
    dm().ShiftMappaKZone(4, 0, 1);
    EXPECT_THAT(r.callNames(), ::testing::IsEmpty());
}

TEST(CoeffPressDiffByteForm, UsesTheEightBitCode)
{
    rig::DataModuleRig r({.profile = "type=50"});
    r.connectEcu();
    r.dm().CoeffPressDiffByte = 1;
    r.sim().ClearCalls();
    EXPECT_TRUE(r.dm().SetCoeffPressDiff(0, 12));
    auto w = r.callsOf("WriteElement");
    ASSERT_FALSE(w.empty());
    EXPECT_EQ(w[0].code, 0x47c);
    EXPECT_EQ(w[0].in.back(), 40); // 12 x 10 / 3
    EXPECT_NEAR(static_cast<double>(r.dm().GetCoeffPressDiff(0)), 12.0, 1e-9);
    r.sim().ClearCalls();
    EXPECT_TRUE(r.dm().SetCoeffPressDiff(1, 99.9));
    w = r.callsOf("WriteElement");
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].in.back(), 127); // 333 held to the byte
    for (const auto& [value, raw] : {std::pair{0.3, 1}, std::pair{1.2, 4}, std::pair{-0.3, -1}}) {
        r.sim().ClearCalls();
        EXPECT_TRUE(r.dm().SetCoeffPressDiff(2, value));
        w = r.callsOf("WriteElement");
        ASSERT_FALSE(w.empty());
        EXPECT_EQ(w[0].in.back(), raw) << value; // value x 10 / 3 of the decimal
        EXPECT_NEAR(static_cast<double>(r.dm().GetCoeffPressDiff(2)), value, 1e-9);
    }
    EXPECT_THAT(r.sim().Violations(), ::testing::IsEmpty());
}

TEST(SmallerKMap, BoundsFollowTheMapSize)
{
    rig::DataModuleRig r({.profile = "mapcols=10;maprows=10"});
    r.connectEcu();
    r.dm().NumeroRighe = 10;
    r.dm().NumeroColonne = 10;
    EXPECT_TRUE(r.dm().SetMappaK(10, 9, 5)); // the extra row R
    EXPECT_EQ(r.dm().GetMappaK(10, 9), 5);
    EXPECT_TRUE(r.dm().SetRifGiriK(9, 6000));
    r.sim().ClearCalls();
    EXPECT_FALSE(r.dm().SetMappaK(11, 0, 1));
    EXPECT_FALSE(r.dm().SetMappaK(0, 10, 1));
    EXPECT_FALSE(r.dm().SetRifGiriK(10, 1));
    EXPECT_FALSE(r.dm().SetRifTempiK(10, 1));
    EXPECT_THAT(r.callNames(), ::testing::IsEmpty());
    EXPECT_EQ(r.dm().GetMappaK(0, 10), 0);
    EXPECT_THAT(r.sim().Violations(), ::testing::IsEmpty());
}

} // namespace
