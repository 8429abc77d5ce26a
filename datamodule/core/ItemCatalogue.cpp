#include "ItemCatalogue.h"

#include <array>
#include <cstring>

namespace dm {
namespace {

// An item of the image: vectors and single values take their element count
// from the code; tables give their rows.
constexpr ItemDef I(std::int32_t code, const char* key, std::uint8_t groups, std::uint8_t rows = 1)
{
    return ItemDef{code, key, groups, rows, static_cast<std::uint8_t>(CodeElements(code)), true};
}
// An item whose code has no count but that holds several elements.
constexpr ItemDef V(std::int32_t code, const char* key, std::uint8_t groups, std::uint8_t elements)
{
    return ItemDef{code, key, groups, 1, elements, true};
}
// An ECU-side item the image does not hold.
constexpr ItemDef E(std::int32_t code, std::uint8_t groups, std::uint8_t elements)
{
    return ItemDef{code, "", groups, 1, elements, false};
}

constexpr std::uint8_t G1 = GROUP_1, G2 = GROUP_2, G4 = GROUP_4, G8 = GROUP_8;

constexpr ItemDef kItems[] = {
    I(0xc30c, "RifGiri", G2),
    I(0x24, "TipoSensore", G2),
    I(0x4125, "RifSensore", G2),
    I(0xc154, "MappaK", G2 | G8, 13),
    I(0xc73d, "RifGiriK", G2 | G8),
    I(0xc737, "RifTempiK", G2 | G4 | G8),
    I(0xc37f, "TOpenLoop", G2),
    I(0x4595, "MappaCorrAutotaratura", G2, 4),
    I(0x61ba, "Prt0000", G2, 12),
    I(0x238f, "TInjDefault", G2 | G4, 8),
    I(0x8398, "TInjFiltro", G2),
    I(0xc171, "Prt0000", G2, 12),
    I(0xc372, "Prt0001", G2),
    I(0xc173, "Prt0002", G2),
    I(0x1e135, "DescrizAuto", G2),
    I(0x21e, "Prt0000", 0),
    I(0x511d, "", G1),
    I(0x511c, "Abilitazione", G1),
    I(0x311f, "Azione", G1, 3),
    I(0x4151, "TempDiagnosi", G2),
    I(0xa15c, "RifMot", G2),
    I(0x915d, "CoeffMot", G2),
    I(0xa12a, "Rif", G2),
    I(0x912b, "Coeff", G2),
    I(0xf37b, "RifPressDiff", G2),
    I(kCoeffPressDiffWord, "CoeffPressDiff", G2),
    I(0xf35f, "Prt0000", G2),
    I(0xf760, "Prt0001", G2),
    I(0x2168, "Prt0012", G1),
    I(0x8326, "Prt0003", G2),
    I(0x8127, "Prt0004", G2),
    I(0x812c, "Prt0006", G2, 5),
    I(0x512d, "Prt0005", G2),
    I(0x912e, "Prt0017", G1, 2),
    I(0x912f, "Prt0018", G1),
    I(0xc3bd, "Prt0019", G2),
    I(0xb5, "", G2),
    I(0x2b6, "", G2),
    I(0x6778, "OffsetMapInterno", G2),
    I(0xc182, "RiferimentiSondaLambda", G2),
    I(0xc170, "Prt0000", G2, 3),
    I(0x436f, "Prt0001", G2),
    I(0xc367, "Prt0003", G2, 4),
    I(0x4384, "Prt0004", G2),
    I(0x2365, "Prt0005", G2),
    I(0x66, "Prt0007", G2),
    I(0x23b3, "Prt0008", G2),
    I(0xc383, "RitardoEmulazioneRicca", G2),
    I(0xc1b1, "DifMaxLevel", G1),
    I(0x2385, "Opzione1", G2),
    I(0x2332, "Prt0014", G2),
    I(0x15, "", G1),
    I(0x253, "TempoAperturaIniettore", G2),
    I(0x252, "TempoChiusuraIniettore", G2),
    I(0x27d, "TempoMortoIniettoreBenzina", G2),
    I(0x27e, "TempoMortoIniettoreGas", G2),
    I(0x280, "TempoFuoriStabilizzato", G2),
    I(0x3181, "KFiltro", G2),
    I(0x2303, "Flag1", G2),
    I(0x23c0, "Flag3", G2),
    I(0x4, "TipoDiLambda", G2),
    I(0x5, "RifLambda", G1),
    I(0x6, "RitardoLetturaSonda", G1),
    I(0x7, "TempoSondaFredda", G1),
    I(0x8, "RifSupSondaFredda", G1),
    I(0x9, "RifInfSondaFredda", G1),
    I(0xa, "RifSupSondaCalda", G1),
    I(0xb, "RifInfSondaCalda", G1),
    I(0x75, "TemperaturaMotoreCambio", G2),
    I(0xf, "TemperaturaCambio", G2),
    I(0x90, "TemperaturaAutotaratura", G2),
    I(0x296, "GiriAutotaratura", G2),
    I(0xbb, "Prt0001", G1),
    I(0xbc, "Prt0002", G2),
    I(0x474, "Prt0003", G2),
    I(0x292, "TInjBenzMaxCambio", G2),
    I(0x24f, "Prt0000", G2),
    I(0x210, "GiriPerCambio", G2),
    I(0x11, "RitardoMinimoCambio", G2),
    I(0xb2, "RitardoMinimoCambioHigh", G2),
    I(0x6d, "TempoSovrapposizione", G2),
    I(0x6e, "TempoCicchetto", G2),
    I(0x87, "RitardoGiriEmulazione", G2),
    I(0x6b, "Prt0013", G2),
    I(0x6a, "Prt0012", G2),
    I(0xb4, "SmagrimentoMin", G2),
    I(kTipoDiTpsCode, "TipoDiTps", G2),
    I(0x14, "NumeroCilindri", G1),
    I(0x34, "TipoIniezione", G1),
    I(0x38, "CorrenteMantenimento", G2),
    I(0x255, "", G1),
    I(0x23b, "", G1),
    I(0x23c, "", G1),
    I(0x4e, "", G1),
    V(0x256, "", 0, 3),
    I(0x3e, "TempoRitBenzina", G2),
    I(0x43, "", G1),
    I(0x44, "", G1),
    I(0xb0, "LambdaOffset", G1),
    I(0x47, "LivelloAlto", G2),
    I(0x48, "LivelloBasso", G2),
    I(0x234a, "TempoMaxCorrente", G2),
    I(0x249, "TempoMaxCorrenteCutoff", G2),
    I(0x76, "FreqHoldingCurrent", G2),
    I(0x77, "ValPercHoldingCurrent", G2),
    I(0x7a, "SafetyTime", G1),
    I(0x28e, "SafeDelay", G1),
    I(0x293, "SpostamentoTaratura", G2),
    I(0x3197, "ParametriAutotaratura", G2),
    I(0x16, "SmagrimentoExtra", G2),
    I(0x17, "", G1),
    I(0x212, "", G1),
    I(0x218, "", G1),
    I(0xa119, "", G1),
    I(0xa399, "", G1),
    I(0xa39a, "", G1),
    I(0x339b, "TempiExtraIniettate", G2),
    I(0x29c, "TempoMaxExtraInjBenz", G2 | G4),
    I(0x36, "TempoInjContinua", G2),
    I(0xc59e, "CorrSecondaBancata", G2),
    I(0x43a0, "Prt0001", G2),
    I(0x23a1, "Prt0000", G2),
    I(0x264, "Prt0003", G2),
    I(0x21a3, "Prt0002", G2),
    I(0x21b9, "Prt0010", G2),
    I(0x4369, "Prt0013", G1),
    I(0x230, "Prt0014", G1),
    I(0x262, "Prt0015", G1),
    I(0x6c, "Prt0016", G1),
    I(kTimeBaseCode, "", G1),
    I(0x24b, "Cilindrata", G2),
    I(kStatusWordCode, "", G1),
    I(0x86, "TipoSensoreTemperaturaGas", G2),
    I(0x88, "SmagrimentoRientroCutoff", G2),
    I(0x89, "NumeroIniettateSmagrimento", G2),
    I(0x46, "Prt0002", G2),
    I(0xab, "TipiLambda", G1),
    I(0x21aa, "EmulazionePosteriore", G1),
    I(0x558a, "ParametriTempMotore", G1),
    I(0x1e18b, "EcuTempMotore", G1),
    I(0x2391, "ScartoMinimoTaratura", G2),
    I(0x2194, "TipoIniettoreSoftware", G2),
    I(0x28d, "TempoEmulazioneMagra", G2),
    I(0x810e, "", G1),
    I(0x810d, "Prt0000", G1, 2),

    // ECU-side items held elsewhere or not at all.
    E(kIdentityCode, G1, 20),
    E(0x1, G1, 1),
    E(kReadyCode, 0, 1),
    E(kEcuStatusCode, 0, 1),
    E(kCustomerCode, 0, 1),
    E(0x3011b, G1, 48),
};

struct Index {
    std::array<std::int16_t, 256> entry{};   // catalogue index + 1; 0 = unknown
    std::array<std::int16_t, 256> offset{};  // first element in the image
    int imageSize = 0;
    bool duplicate = false;

    Index()
    {
        int next = 0;
        for (std::size_t i = 0; i < std::size(kItems); ++i) {
            const ItemDef& d = kItems[i];
            auto& e = entry[static_cast<std::size_t>(d.Number())];
            if (e != 0)
                duplicate = true;
            e = static_cast<std::int16_t>(i + 1);
            if (d.inImage) {
                offset[static_cast<std::size_t>(d.Number())] = static_cast<std::int16_t>(next);
                next += d.Elements();
            }
        }
        imageSize = next;
    }
};

const Index& index()
{
    static const Index idx;
    return idx;
}

} // namespace

std::span<const ItemDef> ItemCatalogue() { return kItems; }

const ItemDef* FindItem(int itemNumber)
{
    if (itemNumber < 0 || itemNumber > 0xFF)
        return nullptr;
    const int e = index().entry[static_cast<std::size_t>(itemNumber)];
    return e ? &kItems[e - 1] : nullptr;
}

ParameterImage::ParameterImage()
{
    size_ = index().imageSize;
    if (index().duplicate || size_ > kMaxElements)
        size_ = 0; // a broken catalogue leaves an empty image; the catalogue test fails on it
    Clear();
}

std::int32_t* ParameterImage::Item(std::int32_t code)
{
    return const_cast<std::int32_t*>(static_cast<const ParameterImage*>(this)->Item(code));
}

const std::int32_t* ParameterImage::Item(std::int32_t code) const
{
    const ItemDef* d = FindItem(ItemNumber(code));
    if (!d || !d->inImage || size_ == 0)
        return nullptr;
    return values_ + index().offset[static_cast<std::size_t>(d->Number())];
}

int ParameterImage::Elements(std::int32_t code) const
{
    const ItemDef* d = FindItem(ItemNumber(code));
    return (d && d->inImage && size_ != 0) ? d->Elements() : 0;
}

void ParameterImage::Clear() { std::memset(values_, 0, sizeof values_); }

} // namespace dm
