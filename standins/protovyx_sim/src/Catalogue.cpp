#include "Catalogue.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

namespace protovyx::detail {

namespace {

using Values = std::vector<std::int32_t>;

// Piecewise-linear sensor characteristics through the points the defaults use.
const std::pair<double, int> kEnginePoints[] = {
    {-40, 247}, {0, 195}, {5, 182}, {10, 169}, {15, 155}, {20, 141}, {32, 107},
    {45, 77}, {56, 56}, {60, 50}, {68, 40}, {180, 2}};
const std::pair<double, int> kGasPoints[] = {
    {-40, 245}, {0, 194}, {5, 183}, {10, 170}, {15, 157}, {20, 144}, {25, 131}, {30, 118},
    {35, 106}, {40, 94}, {50, 73}, {60, 57}, {70, 43}, {180, 0}};

template <std::size_t N>
int interpolate(const std::pair<double, int> (&pts)[N], double x)
{
    if (x <= pts[0].first)
        return pts[0].second;
    for (std::size_t i = 1; i < N; ++i) {
        if (x <= pts[i].first) {
            const auto& a = pts[i - 1];
            const auto& b = pts[i];
            const double f = (x - a.first) / (b.first - a.first);
            return static_cast<int>(std::lround(a.second + f * (b.second - a.second)));
        }
    }
    return pts[N - 1].second;
}

Values fill(int n, std::int32_t v) { return Values(static_cast<std::size_t>(n), v); }

Values ramp(int n, std::int32_t first, std::int32_t step)
{
    Values v;
    for (int i = 0; i < n; ++i)
        v.push_back(first + step * i);
    return v;
}

// The rows of a map given as four leading values and one value for the rest.
Values fourThenRest(const std::vector<std::array<std::int32_t, 5>>& rows, int nRows, int nCols)
{
    Values v;
    for (int r = 0; r < nRows; ++r) {
        const auto& src = rows[static_cast<std::size_t>(std::min<int>(r, static_cast<int>(rows.size()) - 1))];
        for (int c = 0; c < nCols; ++c)
            v.push_back(src[static_cast<std::size_t>(std::min(c, 4))]);
    }
    return v;
}

struct Shape {
    int number;
    int width;
    bool isSigned;
    int rows, cols;
    Access access;
    const char* name;
};

ItemDef make(const Shape& s, Values defaults)
{
    ItemDef d;
    d.number = s.number;
    d.width = s.width;
    d.isSigned = s.isSigned;
    d.rows = s.rows;
    d.cols = s.cols;
    d.access = s.access;
    d.name = s.name;
    defaults.resize(static_cast<std::size_t>(s.rows * s.cols), defaults.empty() ? 0 : defaults.back());
    d.defaults = std::move(defaults);
    return d;
}

bool fwAtLeast(const Profile& p, int major) { return p.fwMajor >= major; }

} // namespace

int engineCount(double celsius) { return interpolate(kEnginePoints, celsius); }
int gasCount(double celsius) { return interpolate(kGasPoints, celsius); }

int timeUnits(double ms, int timeBase)
{
    return static_cast<int>(ms / (timeBase * 0.000001) + 0.5);
}

TypeInfo typeInfo(int type)
{
    switch (type) {
    case 31: return {41, 2, 2, 2, 6};
    case 50: return {10, 21, 1, 1, 4};
    case 53: return {12, 3, 2, 2, 10};
    case 54: return {5, 10, 2, 1, 4};
    case 55: return {7, 2, 3, 1, 4};
    case 56: return {7, 2, 2, 2, 8};
    case 79: return {3, 8, 2, 1, 4};
    case 30: return {30, 4, 2, 1, 4};
    default: return {1, 0, 2, 1, 4}; // unsupported types (37, 38, ...)
    }
}

int bankCount(const Profile& p) { return p.banks != 0 ? p.banks : typeInfo(p.type).banks; }

int format7c(const Profile& p)
{
    switch (p.type) {
    case 30: return fwAtLeast(p, 23) ? 2 : 1;
    case 31: return fwAtLeast(p, 33) ? 2 : 1;
    case 50: return 1;
    default: return 2;
    }
}

bool itemPresentByType(const Profile& p, int item)
{
    if (std::find(p.absent.begin(), p.absent.end(), item) != p.absent.end())
        return false;
    const int t = p.type;
    // The firmware thresholds of the two older types (30 and 31, ten apart).
    auto since = [&](int fw30) {
        if (t == 30)
            return fwAtLeast(p, fw30);
        if (t == 31)
            return fwAtLeast(p, fw30 + 10);
        return true;
    };
    auto in = [t](std::initializer_list<int> types) {
        return std::find(types.begin(), types.end(), t) != types.end();
    };
    switch (item) {
    case 0xba: case 0x2d: return in({55, 56});
    case 0x27: return in({30, 31}) ? since(24) : in({54, 55, 56});
    case 0x2e: case 0x2f: return t == 79;
    case 0x32: case 0xc0: return t != 50 && since(item == 0x32 ? 23 : 25);
    case 0xbc: return in({30, 31}) ? since(25) : in({55, 56, 79});
    case 0x64: return t != 50;
    case 0xab: return in({30, 31}) ? since(24) : in({53, 55, 56});
    case 0xb5: return in({53, 54});
    case 0x1b: case 0x33: return since(22);
    case 0xac: case 0x55: return t != 79;
    case 0x0e: return t != 53;
    case 0x22: case 0x23: return t == 53;
    case 0x82: case 0x70: case 0x6f: case 0x67: case 0x84: return t != 50;
    default: return true;
    }
}

bool itemPresent(const Profile& p, int item)
{
    return itemPresentByType(p, item) && !(item == 0x33 && !p.customer);
}

std::vector<ItemDef> buildCatalogue(const Profile& p, bool includeAbsent)
{
    const int tb = p.timeBase;
    const int R = p.mapRows, C = p.mapCols;
    const TypeInfo ti = typeInfo(p.type);
    auto t = [tb](double ms) { return timeUnits(ms, tb); };
    auto e = [](double c) { return engineCount(c); };
    auto g = [](double c) { return gasCount(c); };
    const Access RW = Access::RW, RO = Access::RO, WO = Access::WO;

    std::vector<ItemDef> v;
    auto add = [&](Shape s, Values d) { v.push_back(make(s, std::move(d))); };

    add({0x00, 1, false, 1, 20, RO, "Identity"}, {});
    add({0x01, 1, false, 1, 1, RW, "ResetFlag"}, {p.fresh ? 1 : 0});
    add({0x02, 1, false, 1, 1, RO, "Ready"}, {172});
    // Flag1 bit 2: one lambda probe only (clear when the profile asks for a
    // two-bank engine).
    add({0x03, 2, false, 1, 2, RW, "Flag1Flag2"}, {(p.banks == 2 ? 1040 : 1044) | (p.cng ? 2 : 0), 1});
    add({0x04, 1, false, 1, 1, RW, "TipoDiLambda"}, {2});
    add({0x05, 1, false, 1, 1, RW, "RifLambda"}, {28});
    add({0x06, 1, false, 1, 1, RW, "RitardoLetturaSonda"}, {0});
    add({0x07, 1, false, 1, 1, RW, "TempoSondaFredda"}, {5});
    add({0x08, 1, false, 1, 1, RW, "RifSupSondaFredda"}, {31});
    add({0x09, 1, false, 1, 1, RW, "RifInfSondaFredda"}, {15});
    add({0x0a, 1, false, 1, 1, RW, "RifSupSondaCalda"}, {31});
    add({0x0b, 1, false, 1, 1, RW, "RifInfSondaCalda"}, {15});
    add({0x0c, 2, false, 1, 12, RW, "RifGiri"}, ramp(12, 500, 500));
    add({0x0d, 1, false, 2, 8, RW, "InjectionOrder"},
        {0, 1, 2, 3, 182, 182, 182, 182, 1, 2, 4, 8, 0, 0, 0, 0});
    {
        // Learned petrol firing order: a permutation of the used slots.
        Values order = fill(8, 182);
        const int used = std::min(ti.cylinders, 8);
        const int perm4[] = {0, 2, 3, 1};
        for (int i = 0; i < used; ++i)
            order[static_cast<std::size_t>(i)] = i < 4 && used == 4 ? perm4[i] : (i + 1) % used;
        add({0x0e, 1, false, 1, 8, RO, "LearnedSequence"}, order);
    }
    add({0x0f, 1, false, 1, 1, RW, "TemperaturaCambio"}, {e(0)});
    add({0x10, 2, false, 1, 1, RW, "GiriPerCambio"}, {1600});
    add({0x11, 1, false, 1, 1, RW, "RitardoMinimoCambio"}, {60});
    add({0x12, 2, false, 1, 1, RW, "TestWord"}, {0});
    add({0x14, 1, false, 1, 1, RW, "NumeroCilindri"}, {2});
    add({0x15, 1, false, 1, 1, RO, "HardwareVariant"}, {p.hwVariant});
    add({0x16, 1, false, 1, 1, RW, "SmagrimentoExtra"}, {0});
    add({0x17, 1, false, 1, 1, RW, "Item17"}, {0});
    add({0x18, 2, false, 1, 1, RW, "TestTime"}, {0});
    add({0x19, 1, false, 1, 10, RW, "Item19"}, fill(10, 0));
    add({0x1a, 1, false, 1, 1, RW, "TipoDiTps"}, {0});
    add({0x1b, 1, false, 1, 48, RW, "NoteConfig"}, fill(48, 0));
    add({0x1c, 1, false, 1, 5, RW, "DiagnosticEnables"}, fill(5, 0));
    add({0x1d, 1, false, 1, 5, RW, "DiagnosticStates"}, fill(5, 0));
    add({0x1e, 2, false, 1, 1, RW, "Date"}, {36526});
    add({0x1f, 1, false, 3, 3, RW, "DiagnosticActions"}, fill(9, 0));
    add({0x20, 1, false, 1, 1, RO, "GasInjectorFaults"}, {0});
    add({0x21, 1, false, 1, 1, RO, "PetrolInjectorFaults"}, {0});
    add({0x22, 1, false, 1, 1, RO, "GasInjectorFaultsHigh"}, {0});
    add({0x23, 1, false, 1, 1, RO, "PetrolInjectorFaultsHigh"}, {0});
    add({0x24, 1, false, 1, 1, RW, "TipoSensore"}, {129});
    // Sender type 129 with its preset: the thresholds 199, 140, 93, 39 stored
    // inverted (255 - value), as bit 7 of the type says.
    add({0x25, 1, false, 1, 4, RW, "RifSensore"}, {56, 115, 162, 216});
    add({0x26, 2, false, 1, 8, RW, "Prt0003"}, {950, 1250, 1750, 2250, 2750, 3250, 4750, 5250});
    add({0x27, 1, false, 1, 8, RW, "VariatorCurve"}, fill(8, 0));
    add({0x2a, 1, false, 1, 10, RW, "Rif"}, {0, e(68), e(56), e(45), e(32), e(20), e(10), e(5), e(0), 255});
    add({0x2b, 1, false, 1, 9, RW, "Coeff"}, ramp(9, 109, -3));
    add({0x2c, 1, false, 5, 8, RW, "Prt0006"}, fill(40, 0));
    add({0x2d, 1, false, 1, 5, RW, "VariatorMapAxis"}, {0, 21, 41, 62, 82});
    add({0x2e, 1, false, 2, 9, RW, "Prt0017"},
        {225, 180, 120, 90, 60, 45, 30, 15, 10, 225, 225, 180, 150, 120, 90, 60, 45, 45});
    add({0x2f, 1, false, 1, 9, RW, "GasTempDelayAxis"},
        {g(0), g(5), g(10), g(15), g(20), g(25), g(30), g(35), g(40)});
    add({0x30, 2, false, 1, 1, RW, "Prt0014"}, {0});
    add({0x32, 2, false, 1, 2, RW, "CutOffPair"}, {0, 0});
    add({0x33, 2, false, 1, 1, RW, "CustomerCode"}, {p.customer.value_or(0)});
    add({0x34, 1, false, 1, 1, RW, "TipoIniezione"}, {ti.cylinders - 1});
    {
        Values d = fill(30, 0);
        d[0] = 0x80;
        const char* name = "Standard";
        for (std::size_t i = 0; name[i]; ++i)
            d[2 + i] = static_cast<unsigned char>(name[i]);
        add({0x35, 1, false, 1, 30, RW, "Description"}, d);
    }
    add({0x36, 1, false, 1, 1, RW, "TempoInjContinua"}, {255});
    add({0x37, 2, true, 1, R, RW, "RifTempiK"},
        {t(2.0), t(2.5), t(3.0), t(3.5), t(4.5), t(6.0), t(8.0), t(10.0), t(12.0), t(14.0), t(16.0), t(18.0)});
    add({0x38, 1, false, 1, 1, RW, "CorrenteMantenimento"}, {10});
    add({0x3b, 2, false, 1, 1, RW, "GasTime20Min"}, {0});
    add({0x3c, 2, false, 1, 1, RW, "PetrolTime20Min"}, {0});
    {
        Values d;
        for (int i = 0; i < C; ++i)
            d.push_back(6000 * (i + 1) / C);
        add({0x3d, 2, true, 1, C, RW, "RifGiriK"}, d);
    }
    add({0x3e, 1, false, 1, 1, RW, "TempoRitBenzina"}, {0});
    add({0x40, 1, false, 1, 1, RW, "EcuStatus"}, {p.model});
    add({0x43, 1, false, 1, 1, RW, "EcuOnly43"}, {0});
    add({0x44, 1, false, 1, 1, RW, "EcuOnly44"}, {0});
    add({0x46, 1, false, 1, 1, RW, "Prt0002"}, {51});
    add({0x47, 1, false, 1, 1, RW, "LivelloAlto"}, {51});
    add({0x48, 1, false, 1, 1, RW, "LivelloBasso"}, {5});
    add({0x49, 2, false, 1, 1, RW, "TempoMaxCorrenteCutoff"}, {t(5.5)});
    add({0x4a, 2, false, 1, 2, RW, "Item4a"}, {t(3.0), 0});
    add({0x4b, 2, false, 1, 1, RW, "Cilindrata"}, {1600});
    add({0x4c, 2, false, 1, 1, RO, "MinimumPcVersion"}, {p.pcMin});
    add({0x4e, 1, false, 1, 1, RW, "GasStarts"}, {0});
    add({0x4f, 2, false, 1, 1, RW, "Item4f"}, {0});
    add({0x51, 1, false, 1, 4, RW, "TempDiagnosi"}, {e(-40), e(180), g(-40), g(180)});
    add({0x52, 2, false, 1, 1, RW, "TempoChiusuraIniettore"}, {0});
    add({0x53, 2, false, 1, 1, RW, "TempoAperturaIniettore"}, {t(1.5)});
    add({0x54, 1, false, R + 1, C, RW, "MappaK"},
        fourThenRest({{120, 123, 123, 123, 123}, {124, 126, 126, 128, 130}, {134, 136, 136, 139, 139},
                      {141, 143, 143, 147, 149}, {141, 143, 143, 147, 149}, {142, 143, 143, 147, 149},
                      {138, 140, 140, 143, 145}, {124, 126, 126, 129, 130}, {119, 121, 121, 125, 125},
                      {114, 115, 115, 119, 120}, {113, 114, 114, 118, 118}, {113, 114, 114, 118, 118},
                      {113, 114, 114, 118, 118}},
                     R + 1, C));
    add({0x55, 2, false, 1, 1, RW, "MaintenanceTime20Min"}, {0});
    add({0x56, 2, false, 1, 3, RW, "CounterSeconds"}, {0, 0, 0});
    add({0x5b, 2, false, 1, 1, RO, "RecommendedPcVersion"}, {p.pcRec});
    add({0x5c, 1, false, 1, 10, RW, "RifMot"}, {0, g(70), g(60), g(50), g(40), g(35), g(30), g(25), g(20), 255});
    add({0x5d, 1, false, 1, 9, RW, "CoeffMot"}, {100, 99, 97, 94, 92, 90, 88, 86, 84});
    add({0x5f, 2, false, 1, 15, RW, "Sez0002Prt0000"}, ramp(15, 300, 100));
    add({0x60, 2, true, 1, 15, RW, "Sez0002Prt0001"}, fill(15, 0));
    add({0x61, 2, false, 1, 2, WO, "ClearDiagnostics"}, {0, 0});
    add({0x62, 2, false, 1, 1, RW, "Item62"}, {t(30)});
    add({0x64, 2, false, 1, 1, RW, "Item264"}, {9000});
    add({0x65, 2, false, 1, 2, RW, "Item65"}, {0, 0});
    add({0x66, 1, false, 1, 1, RW, "Item66"}, {e(-40)});
    add({0x67, 2, false, 4, 12, RW, "Emission67"}, fill(48, 0));
    add({0x68, 1, false, 1, 2, RW, "Item68"}, {e(5), e(15)});
    add({0x69, 2, false, 1, 4, RW, "Item69"}, {300, 200, t(4.5), t(7.0)});
    add({0x6a, 1, false, 1, 1, RW, "Item6a"}, {0});
    add({0x6b, 1, false, 1, 1, RW, "Item6b"}, {0});
    add({0x6c, 1, false, 1, 1, RW, "Item6c"}, {0});
    add({0x6d, 1, false, 1, 1, RW, "Item6d"}, {0});
    add({0x6e, 1, false, 1, 1, RW, "Item6e"}, {75});
    add({0x6f, 2, false, 1, 4, RW, "Emission6f"}, {2000, 2100, 2200, 2300});
    add({0x70, 1, false, 3, 12, RW, "Emission70"}, fill(36, 26));
    {
        static const double filter[12][5] = {
            {8.22, 8.91, 9.82, 10.27, 9.73},   {9.07, 9.94, 10.75, 11.14, 10.65},
            {9.92, 10.88, 11.69, 12.09, 11.61}, {10.76, 11.74, 12.65, 13.11, 12.58},
            {11.5, 12.6, 13.52, 14.24, 13.67},  {12.25, 13.45, 14.4, 15.41, 14.76},
            {13.06, 14.29, 15.33, 16.62, 15.81}, {13.92, 15.32, 16.46, 18.03, 17.14},
            {14.84, 16.41, 17.67, 19.47, 18.56}, {15.95, 17.35, 18.82, 20.56, 19.7},
            {17, 18.32, 19.77, 21.39, 20.53},   {18, 19.33, 20.56, 22, 21.12}};
        Values d;
        for (int r = 0; r < R; ++r)
            for (int c = 0; c < C; ++c)
                d.push_back(static_cast<std::int32_t>(std::lround(filter[std::min(r, 11)][std::min(c, 4)] * 5)));
        add({0x71, 1, false, R, C, RW, "PetrolFilterMap"}, d);
    }
    add({0x72, 2, false, 1, 12, RW, "Item72"}, ramp(12, 450, 50));
    add({0x73, 1, false, 1, C, RW, "Item73"}, fill(C, 0));
    add({0x74, 1, true, 1, 1, RW, "Item74"}, {0});
    add({0x75, 1, false, 1, 1, RW, "TemperaturaMotoreCambio"}, {g(25)});
    add({0x76, 1, false, 1, 1, RW, "Item76"}, {50});
    add({0x77, 1, false, 1, 1, RW, "Item77"}, {45});
    add({0x78, 2, true, 1, 6, RW, "Item78"}, {100, 500, 100, 500, 35, 826});
    add({0x79, 2, false, 1, 1, RO, "TimeBase"}, {tb});
    add({0x7a, 1, false, 1, 1, RW, "Item7a"}, {20});
    add({0x7b, 2, false, 1, 15, RW, "RifPressDiff"},
        {500, 550, 590, 630, 670, 710, 750, 790, 830, 870, 910, 950, 1000, 1050, 1100});
    {
        Values d{114, 99, 88, 77, 66, 56, 46, 36, 27, 17, 8, 0, -10, -21, -31};
        const int fmt = format7c(p);
        if (fmt == 2)
            for (auto& x : d)
                x *= 30;
        add({0x7c, fmt, true, 1, 15, RW, "CoeffPressDiff"}, d);
    }
    add({0x7d, 2, false, 1, 1, RW, "Item7d"}, {t(0.3)});
    add({0x7e, 2, false, 1, 1, RW, "Item7e"}, {t(1.1)});
    add({0x7f, 2, false, 1, C, RW, "TOpenLoop"}, fill(C, t(30)));
    add({0x80, 2, false, 1, 1, RW, "Item80"}, {t(0.6)});
    add({0x81, 1, false, 1, 3, RW, "Item81"}, {128, 128, 128});
    add({0x82, 1, false, 1, 12, RW, "Emission82"}, fill(12, 26));
    add({0x83, 2, false, 1, 12, RW, "Item83"}, fill(12, 0));
    add({0x84, 2, false, 1, 4, RW, "Emission84"}, {1953, 3906, 5859, 7813});
    add({0x85, 2, false, 1, 2, RW, "Item85"}, {0, 0});
    add({0x86, 1, false, 1, 1, RW, "TipoSensoreTemperaturaGas"}, {0});
    add({0x87, 1, false, 1, 1, RW, "Item87"}, {150});
    add({0x88, 1, false, 1, 1, RW, "Item88"}, {100});
    add({0x89, 1, false, 1, 1, RW, "Item89"}, {0});
    add({0x8a, 1, true, 1, 5, RW, "ParametriTempMotore"}, {18, 92, 5, -20, 30});
    add({0x8b, 1, false, 1, 30, RW, "EcuTempMotore"},
        {231, 224, 216, 206, 195, 183, 170, 156, 142, 128, 114, 101, 89, 78, 68,
         59, 51, 44, 38, 33, 29, 25, 22, 19, 16, 14, 12, 11, 10, 8});
    add({0x8d, 2, false, 1, 1, RW, "Item8d"}, {8000});
    add({0x8e, 2, false, 1, 1, RW, "Item8e"}, {t(2.0)});
    {
        Values d;
        for (int r = 0; r < 8; ++r) {
            d.push_back(t(2.5 + 0.1 * r));
            d.push_back(t(2.5 + 0.1 * r));
        }
        add({0x8f, 2, false, 8, 2, RW, "Item8f"}, d);
    }
    add({0x90, 1, false, 1, 1, RW, "Item90"}, {e(60)});
    add({0x91, 2, false, 1, 2, RW, "Item91"}, {78, 0});
    add({0x92, 2, false, 1, 1, RW, "Item92"}, {4688});
    add({0x93, 2, false, 1, 1, RW, "Item93"}, {0});
    add({0x94, 1, false, 1, 2, RW, "InjectorTypes"}, {25, 25});
    add({0x95, 1, true, 4, 4, RW, "Item95"}, fill(16, 0));
    add({0x96, 2, false, 1, 1, RW, "CalibrationSpeed"}, {2800});
    add({0x97, 1, false, 1, 3, RW, "Item97"}, {1, 5, 2});
    add({0x98, 2, false, 1, 8, RW, "Item98"}, {1000, 977, 3125, 7813, 1172, 4688, 8984, 7813});
    add({0x99, 2, false, 1, 10, RW, "Item99"}, fill(10, 0));
    add({0x9a, 2, false, 1, 10, RW, "Item9a"}, fill(10, 0));
    add({0x9b, 2, false, 1, 3, RW, "Item9b"}, fill(3, 0));
    add({0x9c, 2, false, 1, 1, RW, "Item9c"}, {781});
    add({0x9e, 1, true, 1, 12, RW, "SecondBankCorrections"}, fill(12, 0));
    add({0xa0, 2, false, 1, 4, RW, "ItemA0"}, {11719, 0, 0, 11719});
    add({0xa1, 2, false, 1, 2, RW, "ItemA1"}, {0, 8500});
    add({0xa3, 1, false, 1, 2, RW, "ItemA3"}, {20, 5});
    add({0xaa, 1, false, 1, 2, RW, "ItemAa"}, {5, 36});
    // Bit 0 probe 1 in use, bit 4 probe 2 (a two-bank engine's).
    add({0xab, 1, false, 1, 1, RW, "TipiLambda"}, {p.banks == 2 ? 0x11 : 1});
    add({0xac, 2, false, 1, 1, RW, "StatusWord"}, {0});
    add({0xb0, 1, false, 1, 1, RW, "ItemB0"}, {0});
    add({0xb1, 1, false, 1, 12, RW, "ItemB1"}, fill(12, 23));
    add({0xb2, 1, false, 1, 1, RW, "RitardoMinimoCambioHigh"}, {0});
    add({0xb3, 2, false, 1, 2, RW, "ItemB3"}, {0, 0});
    add({0xb4, 1, false, 1, 1, RW, "ItemB4"}, {0});
    add({0xb5, 1, false, 1, 1, RW, "EcuOnlyB5"}, {0});
    add({0xb6, 2, false, 1, 1, RW, "EcuOnlyB6"}, {0});
    add({0xb9, 1, false, 1, 2, RW, "ObdCorrector"}, {0, 100});
    add({0xba, 1, false, 12, 6, RW, "ObdTargetMap"}, fill(72, 136));
    add({0xbb, 1, false, 1, 1, RW, "ObdProtocol"}, {0});
    add({0xbc, 1, false, 1, 1, RW, "KNeutral"}, {128});
    if (p.cng)
        add({0xbd, 2, false, 1, 12, RW, "RailPressure"},
            {1800, 1800, 1900, 2000, 2000, 2000, 2100, 2100, 2100, 2140, 2140, 2200});
    else
        add({0xbd, 2, false, 1, 12, RW, "RailPressure"},
            {1000, 1000, 1040, 1100, 1140, 1180, 1240, 1300, 1300, 1340, 1400, 1440});
    add({0xc0, 2, false, 1, 2, RW, "Flag3Flag4"}, {0, 0});

    if (includeAbsent)
        return v;
    std::vector<ItemDef> present;
    for (auto& d : v)
        if (itemPresent(p, d.number))
            present.push_back(std::move(d));
    return present;
}

} // namespace protovyx::detail

namespace protovyx {

using detail::Access;

std::vector<ItemInfo> Catalogue(const Profile& profile)
{
    std::vector<ItemInfo> out;
    for (const auto& d : detail::buildCatalogue(profile, true))
        out.push_back({d.number, d.width, d.isSigned, d.rows, d.cols, d.access == Access::RO,
                       d.access == Access::WO, d.name, detail::itemPresent(profile, d.number)});
    return out;
}

} // namespace protovyx
