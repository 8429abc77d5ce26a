#include "BlockTable.h"

#include "datamodule/core/Scaling.h"

#include <initializer_list>

namespace dm::transfer {
namespace {

Default R(double v) { return {Default::Raw, v}; }
Default Tm(double ms) { return {Default::Ms, ms}; }
Default U(double ms) { return {Default::TenthMs, ms}; }
Default G(double c) { return {Default::GasC, c}; }
Default En(double c) { return {Default::EngineC, c}; }

std::vector<Default> raws(std::initializer_list<double> v)
{
    std::vector<Default> out;
    for (double x : v)
        out.push_back(R(x));
    return out;
}

std::vector<Default> ramp(int n, double first, double step)
{
    std::vector<Default> out;
    for (int i = 0; i < n; ++i)
        out.push_back(R(first + step * i));
    return out;
}

// Row builders; the modifiers below refine them.
struct B : Block {
    B& hook(Hook h) { Block::hook = h; return *this; }
    B& all() { scriptAllOnly = true; return *this; }
    B& zero() { scriptZero = true; return *this; }
    B& fileOnly() { fileLoadOnly = true; return *this; }
    B& present(Presence p, std::uint8_t loadValue) { presence = p; presenceLoad = loadValue; return *this; }
    B& prog(std::int32_t code, bool pauses = true) { progress = code; pause = pauses; return *this; }
    B& noPause() { pause = false; return *this; }
    B& codeFrom(Size s) { codeSize = s; return *this; }
    B& rowsFrom(Size s) { rowCount = s; return *this; }
    B& ecuMode(Ecu e) { ecu = e; return *this; }
    B& rec(Record r) { record = r; return *this; }
};

B make(int no, const char* section, Keys keys, const char* key, std::vector<const char*> listed, std::int32_t code,
       std::uint8_t groups, std::vector<Default> defaults, Ecu ecu, Record record, int rows = 1)
{
    B b{};
    b.no = no;
    b.section = section;
    b.keys = keys;
    b.key = key;
    b.listed = std::move(listed);
    b.code = code;
    b.groups = groups;
    b.defaults = std::move(defaults);
    b.ecu = ecu;
    b.record = record;
    b.rows = rows;
    return b;
}

// A single value with one key.
B Val(int no, const char* section, const char* key, std::int32_t code, std::uint8_t groups, Default d)
{
    return make(no, section, Keys::Listed, key, {key}, code, groups, {d}, Ecu::Value, Record::F0);
}
// An array with keys stem + i.
B Arr(int no, const char* section, const char* stem, std::int32_t code, std::uint8_t groups,
      std::vector<Default> d)
{
    return make(no, section, Keys::Indexed, stem, {}, code, groups, std::move(d), Ecu::Array, Record::F3);
}
// An array with one named key per element.
B Lst(int no, const char* section, std::vector<const char*> keys, std::int32_t code, std::uint8_t groups,
      std::vector<Default> d)
{
    const char* first = keys.front();
    return make(no, section, Keys::Listed, first, std::move(keys), code, groups, std::move(d), Ecu::Array,
                Record::F3);
}
// A table moved row by row with keys stem + r + "_" + c.
B Tab(int no, const char* section, const char* stem, std::int32_t code, int rows, std::uint8_t groups,
      std::vector<Default> d)
{
    return make(no, section, Keys::Table, stem, {}, code, groups, std::move(d), Ecu::Rows, Record::F4, rows);
}
// An ECU-only item.
B Ecu1(int no, std::int32_t code, std::uint8_t groups, std::vector<Default> d, Ecu ecu, Record record)
{
    return make(no, "", Keys::None, "", {}, code, groups, std::move(d), ecu, record);
}

constexpr std::uint8_t G1 = 1, G2 = 2, G4 = 4, G8 = 8;

std::vector<Block> build()
{
    std::vector<B> b;
    // ---- blocks 1 to 77 ----
    b.push_back(Lst(1, "Generale", {"Flag1", "Flag2"}, 0x2303, G2, raws({1044, 1})).hook(Hook::Flags12));
    b.push_back(Lst(2, "Generale", {"Flag3", "Flag4"}, 0x23c0, G2, raws({0, 0})).present(Presence::Flag34, 1));
    b.push_back(Ecu1(3, 0x279, G1, raws({2560}), Ecu::Read, Record::None).hook(Hook::TimeBase));
    b.push_back(Val(4, "Temperatura", "TipoSensoreTemperaturaGas", 0x86, G2, R(0)).hook(Hook::GasSensor));
    b.push_back(Arr(5, "Temperatura", "ParametriTempMotore", 0x558a, G1, raws({18, 92, 5, -20, 30})));
    b.push_back(Arr(6, "Temperatura", "EcuTempMotore", 0x1e18b, G1,
                    raws({231, 224, 216, 206, 195, 183, 170, 156, 142, 128, 114, 101, 89, 78, 68,
                          59,  51,  44,  38,  33,  29,  25,  22,  19,  16,  14,  12,  11, 10, 8}))
                    .hook(Hook::EngineSensor));
    b.push_back(make(7, "MappaCoefficientiK", Keys::Listed, "NumeroRighe", {"NumeroRighe", "NumeroColonne"}, 0, G2,
                     raws({12, 12}), Ecu::None, Record::None)
                    .hook(Hook::MapSize));
    b.push_back(Arr(8, "RiferimentiTempiK", "RifTempiK", 0x737, G2 | G4 | G8,
                    {Tm(2.0), Tm(2.5), Tm(3.0), Tm(3.5), Tm(4.5), Tm(6.0), Tm(8.0), Tm(10.0), Tm(12.0), Tm(14.0),
                     Tm(16.0), Tm(18.0)})
                    .codeFrom(Size::Rows));
    b.push_back(Arr(9, "RiferimentiGiriK", "RifGiriK", 0x73d, G2 | G8, raws({0}))
                    .codeFrom(Size::Cols)
                    .hook(Hook::MapRpmAxis));
    b.push_back(Arr(10, "TempiKOpenLoop", "TOpenLoop", 0x37f, G2, {Tm(30)}).codeFrom(Size::Cols));
    b.push_back(Tab(11, "MappaCoefficientiK", "MappaK", 0x154, 13, G2 | G8, raws({0}))
                    .codeFrom(Size::Cols)
                    .rowsFrom(Size::RowsPlusOne)
                    .hook(Hook::MapK));
    b.push_back(Ecu1(1150, 0x14100, G1, {}, Ecu::Read, Record::None).hook(Hook::Identity));
    b.push_back(Ecu1(12, 0x1, G1, {}, Ecu::None, Record::F0).zero().hook(Hook::Item1).noPause());
    b.push_back(make(13, "Generale", Keys::Listed, "NoteConfig", {"NoteConfig"}, 0x1b, G1, raws({0}), Ecu::None,
                     Record::None)
                    .hook(Hook::Note)
                    .noPause());
    b.push_back(Val(14, "Lambda", "TipoDiLambda", 0x4, G2, R(2)));
    b.push_back(Val(15, "Lambda", "RifLambda", 0x5, G1, R(28)));
    b.push_back(Val(16, "Lambda", "RitardoLetturaSonda", 0x6, G1, R(0)));
    b.push_back(Val(17, "Lambda", "TempoSondaFredda", 0x7, G1, R(5)));
    b.push_back(Val(18, "Lambda", "RifSupSondaFredda", 0x8, G1, R(31)));
    b.push_back(Val(19, "Lambda", "RifInfSondaFredda", 0x9, G1, R(15)));
    b.push_back(Val(20, "Lambda", "RifSupSondaCalda", 0xa, G1, R(31)));
    b.push_back(Val(21, "Lambda", "RifInfSondaCalda", 0xb, G1, R(15)));
    b.push_back(Arr(22, "RiferimentiGiri", "RifGiri", 0xc30c, G2, ramp(12, 500, 500)));
    b.push_back(Tab(23, "Sez0001", "Prt0000", 0x810d, 2, G1,
                    raws({0, 1, 2, 3, 182, 182, 182, 182, 1, 2, 4, 8, 0, 0, 0, 0})));
    b.push_back(Ecu1(24, 0x810e, G1, raws({0, 1, 2, 3, 182, 182, 182, 182}), Ecu::None, Record::None));
    b.push_back(Val(25, "Accensione-Cambio", "TemperaturaMotoreCambio", 0x75, G2, G(25)));
    b.push_back(Val(26, "Accensione-Cambio", "GiriPerCambio", 0x210, G2, R(1600)));
    b.push_back(Val(27, "Accensione-Cambio", "RitardoMinimoCambio", 0x11, G2, R(60)));
    b.push_back(Ecu1(28, 0x212, G1, raws({0}), Ecu::Value, Record::F0).all());
    b.push_back(Val(29, "Accensione-Cambio", "NumeroCilindri", 0x14, G1, R(2)));
    b.push_back(Ecu1(30, 0x15, G1, raws({2}), Ecu::Read, Record::None).hook(Hook::Item15));
    b.push_back(Val(31, "MappaCoefficientiK", "SmagrimentoExtra", 0x16, G2, R(0)));
    b.push_back(Ecu1(32, 0x17, G1, raws({0}), Ecu::Value, Record::F0).all());
    b.push_back(Ecu1(33, 0x218, G1, raws({0}), Ecu::Value, Record::F0).all());
    b.push_back(Ecu1(34, 0xa119, G1, raws({0}), Ecu::Array, Record::F3).all());
    b.push_back(Val(35, "TPS", "TipoDiTps", 0x1a, G2, R(0)));
    b.push_back(Val(36, "SensoreDiLivello", "TipoSensore", 0x24, G2, R(129)));
    b.push_back(Arr(37, "SensoreDiLivello", "RifSensore", 0x4125, G2, raws({199, 140, 93, 39})));
    b.push_back(Arr(38, "Iniezione", "Prt0003", 0x8326, G2, raws({950, 1250, 1750, 2250, 2750, 3250, 4750, 5250})));
    b.push_back(Arr(39, "Iniezione", "Prt0004", 0x8127, G2, raws({0})).present(Presence::Variatore, 0));
    b.push_back(Arr(40, "Temperatura", "RifMot", 0xa15c, G2,
                    {R(0), G(70), G(60), G(50), G(40), G(35), G(30), G(25), G(20), R(255)}));
    b.push_back(Arr(41, "Temperatura", "CoeffMot", 0x915d, G2, raws({100, 99, 97, 94, 92, 90, 88, 86, 84})));
    b.push_back(Tab(42, "Iniezione", "Prt0006", 0x812c, 5, G2, raws({0})));
    b.push_back(Arr(43, "Iniezione", "Prt0005", 0x512d, G2, raws({0, 21, 41, 62, 82}))
                    .present(Presence::RifMapVariatore, 0));
    b.push_back(Tab(44, "Accensione-Cambio", "Prt0017", 0x912e, 2, G1,
                    raws({225, 180, 120, 90, 60, 45, 30, 15, 10, 225, 225, 180, 150, 120, 90, 60, 45, 45})));
    b.push_back(Arr(45, "Accensione-Cambio", "Prt0018", 0x912f, G1,
                    {G(0), G(5), G(10), G(15), G(20), G(25), G(30), G(35), G(40)})
                    .present(Presence::RifDelayGasTemp, 0));
    b.push_back(Val(46, "Accensione-Cambio", "Prt0014", 0x230, G1, R(0)));
    b.push_back(Tab(47, "Diagnosi", "Azione", 0x311f, 3, G1, raws({0})));
    b.push_back(Lst(48, "Iniezione", {"Prt0014", "Prt0015"}, 0x2332, G2, raws({0, 0}))
                    .fileOnly()
                    .present(Presence::IniettateGasCutoff, 0));
    b.push_back(Val(49, "Arricchimento", "TipoIniezione", 0x34, G1, R(3)));
    b.push_back(make(50, "Generale", Keys::Listed, "DescrizAuto", {"DescrizAuto"}, 0x1e135, G2, raws({0}),
                     Ecu::Array, Record::F3)
                    .hook(Hook::Description));
    b.push_back(Val(51, "Iniezione", "TempoInjContinua", 0x36, G2, R(255)));
    b.push_back(Val(52, "Arricchimento", "CorrenteMantenimento", 0x38, G2, R(10)));
    b.push_back(Ecu1(53, 0x511d, G1, raws({0}), Ecu::Array, Record::F3).all().hook(Hook::DiagStates));
    b.push_back(Arr(54, "Diagnosi", "Abilitazione", 0x511c, G1, raws({0})));
    b.push_back(Ecu1(55, 0x255, G1, {}, Ecu::Value, Record::F0).all().zero().hook(Hook::Counter));
    b.push_back(Ecu1(56, 0x23b, G1, {}, Ecu::Value, Record::F0).all().zero().hook(Hook::Counter));
    b.push_back(Ecu1(57, 0x23c, G1, {}, Ecu::Value, Record::F0).all().zero().hook(Hook::Counter));
    b.push_back(Val(58, "SensoreDiLivello", "TempoRitBenzina", 0x3e, G2, R(0)));
    b.push_back(Ecu1(59, 0x43, G1, raws({0}), Ecu::Read, Record::None));
    b.push_back(Ecu1(60, 0x44, G1, raws({0}), Ecu::Read, Record::None));
    b.push_back(Val(61, "Emulazione", "Prt0002", 0x46, G2, R(51)));
    b.push_back(Val(62, "Emulazione", "LivelloAlto", 0x47, G2, R(51)));
    b.push_back(Val(63, "Emulazione", "LivelloBasso", 0x48, G2, R(5)));
    b.push_back(Val(64, "Arricchimento", "TempoMaxCorrenteCutoff", 0x249, G2, Tm(5.5)));
    b.push_back(Val(65, "Generale", "Cilindrata", 0x24b, G2, R(1600)));
    b.push_back(Ecu1(66, 0x4e, G1, {}, Ecu::Read, Record::None).hook(Hook::ZeroBeforeRead));
    b.push_back(Arr(67, "Diagnosi", "TempDiagnosi", 0x4151, G2, {En(-40), En(180), G(-40), G(180)}));
    b.push_back(Val(68, "Iniezione", "TempoAperturaIniettore", 0x253, G2, Tm(1.5)));
    b.push_back(Val(69, "Iniezione", "TempoChiusuraIniettore", 0x252, G2, R(0)));
    b.push_back(Arr(70, "Accensione-Cambio", "Prt0019", 0xc3bd, G2, raws({0})).fileOnly().hook(Hook::RailPressure));
    b.push_back(Arr(71, "Temperatura", "Rif", 0xa12a, G2,
                    {R(0), En(68), En(56), En(45), En(32), En(20), En(10), En(5), En(0), R(255)}));
    b.push_back(Arr(72, "Temperatura", "Coeff", 0x912b, G2, raws({109, 106, 103, 100, 97, 94, 91, 88, 85})));
    b.push_back(Arr(73, "Sez0002", "Prt0000", 0xf35f, G2, ramp(15, 300, 100)));
    b.push_back(Arr(74, "Sez0002", "Prt0001", 0xf760, G2, raws({0})));
    b.push_back(Val(75, "Accensione-Cambio", "Prt0015", 0x262, G1, Tm(30)));
    b.push_back(Lst(76, "Emulazione", {"Prt0005", "Prt0006"}, 0x2365, G2, raws({0, 0})));
    b.push_back(Val(77, "Emulazione", "Prt0007", 0x66, G2, En(-40)));

    // ---- blocks 78 to 147 ----
    b.push_back(Tab(78, "Emulazione", "Prt0003", 0xc367, 4, G2, raws({0})));
    b.push_back(Arr(79, "Accensione-Cambio", "Prt0012", 0x2168, G1, {En(5), En(15)}));
    b.push_back(Arr(80, "Accensione-Cambio", "Prt0013", 0x4369, G1, {R(300), R(200), Tm(4.5), Tm(7)}));
    b.push_back(Val(81, "Emulazione", "Prt0012", 0x6a, G2, R(0)));
    b.push_back(Val(82, "Emulazione", "Prt0013", 0x6b, G2, R(0)));
    b.push_back(Val(83, "Accensione-Cambio", "Prt0016", 0x6c, G1, R(0)));
    b.push_back(Val(84, "Accensione-Cambio", "TempoSovrapposizione", 0x6d, G2, R(0)));
    b.push_back(Val(85, "Accensione-Cambio", "TempoCicchetto", 0x6e, G2, R(75)));
    b.push_back(Arr(86, "Emulazione", "Prt0001", 0x436f, G2, raws({2000, 2100, 2200, 2300})));
    b.push_back(Tab(87, "Emulazione", "Prt0000", 0xc170, 3, G2, raws({26})));
    b.push_back(Tab(88, "Sez0003", "Prt0000", 0x171, 12, G2, raws({0}))
                    .codeFrom(Size::Cols)
                    .rowsFrom(Size::Rows)
                    .hook(Hook::PetrolFilter));
    b.push_back(Arr(89, "Sez0003", "Prt0001", 0xc372, G2, ramp(12, 450, 50)));
    b.push_back(Arr(90, "Sez0003", "Prt0002", 0x173, G2, raws({0})).codeFrom(Size::Cols));
    b.push_back(Val(91, "Sez0003", "Prt0003", 0x474, G2, R(0)));
    b.push_back(Val(92, "Accensione-Cambio", "TemperaturaCambio", 0xf, G2, En(0)));
    b.push_back(Val(93, "Arricchimento", "FreqHoldingCurrent", 0x76, G2, R(50)));
    b.push_back(Val(94, "Arricchimento", "ValPercHoldingCurrent", 0x77, G2, R(45)));
    b.push_back(Lst(95, "Generale",
                    {"OffsetMapInterno", "PendenzaMapInterno", "OffsetMapEsterno", "PendenzaMapEsterno", "OffsetDiff",
                     "PendenzaDiff"},
                    0x6778, G2, raws({100, 500, 100, 500, 35, 826})));
    b.push_back(Val(96, "Arricchimento", "SafetyTime", 0x7a, G1, R(20)));
    b.push_back(Arr(97, "PressioneDifferenziale", "RifPressDiff", 0xf37b, G2,
                    raws({500, 550, 590, 630, 670, 710, 750, 790, 830, 870, 910, 950, 1000, 1050, 1100})));
    b.push_back(Arr(98, "PressioneDifferenziale", "CoeffPressDiff", 0xf77c, G2,
                    raws({114, 99, 88, 77, 66, 56, 46, 36, 27, 17, 8, 0, -10, -21, -31}))
                    .hook(Hook::CoeffPressDiff)
                    .prog(0xf57c));
    b.push_back(Val(99, "Iniezione", "TempoMortoIniettoreBenzina", 0x27d, G2, Tm(0.3)));
    b.push_back(Val(100, "Iniezione", "TempoMortoIniettoreGas", 0x27e, G2, Tm(1.1)));
    b.push_back(Val(101, "Iniezione", "TempoFuoriStabilizzato", 0x280, G2, Tm(0.6)));
    b.push_back(Lst(102, "Iniezione", {"KFiltro", "TempoEmulazioneMagra1", "KFiltro2"}, 0x3181, G2,
                    raws({128, 128, 128}))
                    .hook(Hook::KFiltro));
    b.push_back(Arr(103, "Emulazione", "RiferimentiSondaLambda", 0xc182, G2, raws({26})));
    b.push_back(Arr(104, "Emulazione", "RitardoEmulazioneRicca", 0xc383, G2, raws({0})));
    b.push_back(Arr(105, "Emulazione", "Prt0004", 0x4384, G2, {Tm(5), Tm(10), Tm(15), Tm(20)}));
    b.push_back(Lst(106, "Emulazione", {"Opzione1", "Opzione2"}, 0x2385, G2, raws({0, 0})));
    b.push_back(Val(107, "Emulazione", "RitardoGiriEmulazione", 0x87, G2, R(150)));
    b.push_back(Val(108, "Emulazione", "SmagrimentoRientroCutoff", 0x88, G2, R(100)));
    b.push_back(Val(109, "Emulazione", "NumeroIniettateSmagrimento", 0x89, G2, R(0)));
    b.push_back(Val(110, "Emulazione", "TempoEmulazioneMagra0", 0x28d, G2, R(8000)));
    b.push_back(Val(111, "Arricchimento", "SafeDelay", 0x28e, G1, Tm(2)).hook(Hook::SafeDelay));
    {
        std::vector<Default> d;
        for (int r = 0; r < 8; ++r) {
            d.push_back(Tm(2.5 + 0.1 * r));
            d.push_back(Tm(2.5 + 0.1 * r));
        }
        b.push_back(Tab(112, "TInjDefault", "TInjDefault", 0x238f, 8, G2 | G4, std::move(d)));
    }
    b.push_back(Val(113, "Accensione-Cambio", "TemperaturaAutotaratura", 0x90, G2, En(60)));
    b.push_back(Arr(114, "AutoTaratura", "ScartoMinimoTaratura", 0x2391, G2, {Tm(0.2), R(0)}));
    b.push_back(Val(115, "Accensione-Cambio", "TInjBenzMaxCambio", 0x292, G2, Tm(12)));
    b.push_back(Val(116, "AutoTaratura", "SpostamentoTaratura", 0x293, G2, R(0)));
    b.push_back(make(117, "Iniezione", Keys::Listed, "TipoIniettoreSoftware", {"TipoIniettoreSoftware"}, 0x2194, G2,
                     raws({0, 0}), Ecu::Array, Record::None)
                    .hook(Hook::Injector));
    b.push_back(Lst(118, "Arricchimento", {"TempoMaxCorrente", "TempoMaxCorrente1"}, 0x234a, G2, {Tm(3), R(0)})
                    .hook(Hook::MaxCurrent));
    b.push_back(Val(119, "Iniezione", "Prt0000", 0x24f, G2, R(0)).hook(Hook::Item24f));
    b.push_back(Val(120, "Sez0004", "Prt0003", 0x264, G2, R(9000)).present(Presence::Item264, 1));
    b.push_back(Tab(121, "AutoTaratura", "MappaCorrAutotaratura", 0x4595, 4, G2, raws({0})));
    b.push_back(Val(122, "AutoTaratura", "GiriAutotaratura", 0x296, G2, R(2800)));
    b.push_back(Arr(123, "AutoTaratura", "ParametriAutotaratura", 0x3197, G2, raws({1, 5, 2})));
    b.push_back(Arr(124, "TInjFiltro", "TInjFiltro", 0x8398, G2,
                    {R(1000), Tm(2.5), Tm(8), U(200), Tm(3), Tm(12), Tm(23), U(200)}));
    b.push_back(Ecu1(125, 0xa399, G1, raws({0}), Ecu::Array, Record::F3).all());
    b.push_back(Ecu1(126, 0xa39a, G1, raws({0}), Ecu::Array, Record::F3).all());
    b.push_back(Arr(127, "Iniezione", "TempiExtraIniettate", 0x339b, G2, raws({0})));
    b.push_back(Val(128, "Iniezione", "TempoMaxExtraInjBenz", 0x29c, G2 | G4, Tm(2)));
    b.push_back(Arr(129, "Iniezione", "CorrSecondaBancata", 0xc59e, G2, raws({0})));
    b.push_back(Arr(130, "Sez0004", "Prt0001", 0x43a0, G2, {Tm(30), R(0), R(0), Tm(30)}));
    b.push_back(Arr(131, "Sez0004", "Prt0000", 0x23a1, G2, raws({0, 8500})));
    b.push_back(Arr(132, "Sez0004", "Prt0002", 0x21a3, G2, raws({20, 5})));
    b.push_back(Val(133, "Emulazione", "TipiLambda", 0xab, G1, R(0))
                    .present(Presence::TipiLambda, 1)
                    .hook(Hook::TipiLambda));
    b.push_back(Arr(134, "Emulazione", "EmulazionePosteriore", 0x21aa, G1, raws({5, 36})));
    b.push_back(Ecu1(135, 0x2ac, G1, raws({0}), Ecu::Value, Record::F0));
    b.push_back(Val(136, "Emulazione", "LambdaOffset", 0xb0, G1, R(0)));
    b.push_back(Arr(137, "Emulazione", "DifMaxLevel", 0xc1b1, G1, raws({23})));
    b.push_back(Val(138, "Accensione-Cambio", "RitardoMinimoCambioHigh", 0xb2, G2, R(0)));
    b.push_back(Lst(139, "Emulazione", {"Prt0008", "Prt0009"}, 0x23b3, G2, raws({0, 0})));
    b.push_back(Val(140, "Emulazione", "SmagrimentoMin", 0xb4, G2, R(0)));
    b.push_back(Ecu1(141, 0xb5, G2, {}, Ecu::Value, Record::F0)
                    .zero()
                    .present(Presence::ItemB5, 0)
                    .hook(Hook::EcuOnlyZero));
    b.push_back(Ecu1(142, 0x2b6, G2, {}, Ecu::Value, Record::F0).zero().hook(Hook::EcuOnlyZero));
    b.push_back(Lst(143, "Emulazione", {"Prt0010", "Prt0011"}, 0x21b9, G2, raws({0, 100})));
    b.push_back(Tab(144, "Sez0005", "Prt0000", 0x61ba, 12, G2, raws({136})).present(Presence::TargetObd, 0));
    b.push_back(Val(145, "Sez0005", "Prt0001", 0xbb, G1, R(0)).fileOnly());
    b.push_back(Val(146, "Sez0005", "Prt0002", 0xbc, G2, R(128))
                    .fileOnly()
                    .present(Presence::ItemBC, 0)
                    .hook(Hook::KNeutral));
    b.push_back(make(147, "Sez0000", Keys::Listed, "Prt0000", {"Prt0000", "Prt0001", "Prt0002"}, 0x21e, 0,
                     raws({36526}), Ecu::Value, Record::None)
                    .hook(Hook::Closing));

    return std::vector<Block>(b.begin(), b.end());
}

// The K map's rows: four leading cells, then one value for columns 4 to 11.
constexpr std::int32_t kMapK[13][5] = {
    {120, 123, 123, 123, 123}, {124, 126, 126, 128, 130}, {134, 136, 136, 139, 139}, {141, 143, 143, 147, 149},
    {141, 143, 143, 147, 149}, {142, 143, 143, 147, 149}, {138, 140, 140, 143, 145}, {124, 126, 126, 129, 130},
    {119, 121, 121, 125, 125}, {114, 115, 115, 119, 120}, {113, 114, 114, 118, 118}, {113, 114, 114, 118, 118},
    {113, 114, 114, 118, 118}};

constexpr double kPetrolFilter[12][5] = {
    {8.22, 8.91, 9.82, 10.27, 9.73},    {9.07, 9.94, 10.75, 11.14, 10.65},  {9.92, 10.88, 11.69, 12.09, 11.61},
    {10.76, 11.74, 12.65, 13.11, 12.58}, {11.5, 12.6, 13.52, 14.24, 13.67},  {12.25, 13.45, 14.4, 15.41, 14.76},
    {13.06, 14.29, 15.33, 16.62, 15.81}, {13.92, 15.32, 16.46, 18.03, 17.14}, {14.84, 16.41, 17.67, 19.47, 18.56},
    {15.95, 17.35, 18.82, 20.56, 19.7},  {17, 18.32, 19.77, 21.39, 20.53},   {18, 19.33, 20.56, 22, 21.12}};

} // namespace

std::span<const Block> Blocks()
{
    static const std::vector<Block> blocks = build();
    return blocks;
}

std::int32_t TimeUnits(double ms, std::int32_t timeBase) { return MsToRaw(ms, timeBase); }

std::int32_t TenthTimeUnits(double ms, std::int32_t timeBase) { return MsToRaw(ms / 10, timeBase); }

std::int32_t DefaultMapK(int row, int col)
{
    if (row < 0 || row > 12 || col < 0)
        return 0;
    return kMapK[row][col < 4 ? col : 4];
}

std::int32_t DefaultPetrolFilter(int row, int col)
{
    if (row < 0 || row > 11 || col < 0)
        return 0;
    return RoundToInt(kPetrolFilter[row][col < 4 ? col : 4] * 5);
}

} // namespace dm::transfer
