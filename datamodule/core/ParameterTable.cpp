#include "ParameterTable.h"

#include "ItemCatalogue.h"
#include "ItemCodes.h"

#include <array>
#include <cmath>

namespace dm {

namespace {

// What only the table knows: which element, and its texts. Kind, limits and
// digits follow from the catalogue and the code's scale.
struct Entry {
    std::int32_t code;
    int index;
    int caption;
    int unit;
};

// Text numbers of the units.
constexpr int kVolts = 85;
constexpr int kDegrees = 86;
constexpr int kSeconds = 87;
constexpr int kRpm = 89;
constexpr int kMs = 90;

constexpr Entry kEntries[] = {
    // Configurazione: the configured injector (hidden holders).
    {kInjectorPairCode, 1, 0, 0},
    // Commutazione.
    {kSwitchRpmCode, -1, 116, kRpm},
    {kSwitchReducerTempCode, -1, 120, kDegrees},
    {kSwitchGasTempCode, -1, 740, kDegrees},
    {kWarmEngineDelayLowCode, -1, 117, kSeconds},
    // Sensori.
    {kLambdaTypeCode, -1, 380, 0},
    {kLambdaReferenceCode, -1, 741, kVolts},
    {kSecondBankCode, -1, 348, 0},
    {kPetrolReturnTimeCode, -1, 136, kSeconds},
    // Mappa.
    {kLeaningCode, -1, 328, 0},
    // Correzioni.
    {kPetrolStabilisationCode, -1, 498, 0},
    {kCutoffReturnLeaningCode, -1, 580, 0},
    {kCutoffReturnInjectionsCode, -1, 581, 0},
    // Adattività OBD.
    {kObdProtocolCode, -1, 674, 0},
    // Emissioni.
    {kOverlapTimeCode, -1, 0, kSeconds},
    {kPrimingTimeCode, -1, 0, 0},
    {kEmulationHighCode, -1, 129, kVolts},
    {kEmulationLowCode, -1, 130, kVolts},
    {kRearEmulationCode, 0, 0, 0},
    {kRearEmulationCode, 1, 0, 0},
    {kEmulationDelayLowCode, -1, 221, 0},
    // Taratura.
    {kCalibrationRpmCode, -1, 162, kRpm},
    {kCalibrationTempCode, -1, 158, kDegrees},
    // Iniezione.
    {kMaxCurrentTimesCode, 0, 145, kMs},
    {kMaxCurrentTimesCode, 1, 147, kMs},
    {kHoldingFrequencyCode, -1, 148, 0},
    {kHoldingCurrentCode, -1, 150, 0},
    {kInjectorParameterCode, -1, 704, kMs},
    {kExtraInjPetrolMaxCode, -1, 307, kMs},
    {kExtraInjTimesCode, 0, 353, kMs},
    {kExtraInjTimesCode, 1, 354, kMs},
    // Iniezione+ (never shown).
    {kSafetyTimeCode, -1, 151, 0},
    {kSwitchPetrolMaxCode, -1, 161, 0},
    {kCutoffMaxCurrentCode, -1, 0, 0},
    {kHoldingPercentCode, -1, 149, 0},
    {kSafeDelayCode, -1, 155, 0},
    {kContinuousInjectionCode, -1, 317, 0},
    {kCalibrationShiftCode, -1, 160, 0},
    {kCalibrationParamsCode, 0, 0, 0},
    {kCalibrationParamsCode, 1, 0, 0},
    {kCalibrationParamsCode, 2, 0, 0},
    {kExtraInjTimesCode, 2, 306, 0},
    // Dati di test (never shown).
    {kForcedRichCode, -1, 225, 0},
    {kTestWordCode, -1, 0, 0},
    {kTestByteCode, -1, 0, 0},
    {kTestTimeCode, -1, 0, 0},
};

constexpr std::size_t kCount = std::size(kEntries);

// The scale of the code's element, when the by-code accessors know it.
std::optional<Scale> scaleOf(std::int32_t code, int index)
{
    const CodeDef* def = FindValueCode(code);
    if (!def)
        def = FindElementCode(code);
    if (!def)
        return std::nullopt;
    return ElementScale(*def, index < 0 ? 0 : index);
}

ParamKind kindOf(std::int32_t code, int index)
{
    if (const auto field = FindBitField(code))
        return field->width == 1 ? ParamKind::Flag : ParamKind::Integer;
    const auto scale = scaleOf(code, index);
    if (!scale)
        return ParamKind::Integer;
    switch (*scale) {
    case Scale::Volts:
    case Scale::X002:
    case Scale::X01:
    case Scale::Inverse128: return ParamKind::Decimal;
    case Scale::Ms: return ParamKind::Time;
    case Scale::Tgas:
    case Scale::Tmot: return ParamKind::Temperature;
    case Scale::LambdaList:
    case Scale::CylinderList: return ParamKind::List;
    default: return ParamKind::Integer;
    }
}

Parameter describe(const Entry& e)
{
    const ItemDef* item = FindItem(ItemNumber(e.code));
    const int element = e.index < 0 ? 0 : e.index;
    Parameter p{e.code, e.index, e.caption, e.unit, kindOf(e.code, e.index), {}, 0};
    p.raw = ElementRawLimits(item ? item->code : e.code, element);
    // The step does not depend on the time base.
    if (const auto range = p.Range(1); range && range->step < 1)
        p.decimals = static_cast<int>(std::ceil(-std::log10(range->step) - 1e-9));
    return p;
}

const std::array<Parameter, kCount>& table()
{
    static const std::array<Parameter, kCount> parameters = [] {
        std::array<Parameter, kCount> out{};
        for (std::size_t i = 0; i < kCount; ++i)
            out[i] = describe(kEntries[i]);
        return out;
    }();
    return parameters;
}

} // namespace

std::span<const Parameter> Parameters() { return table(); }

const Parameter* FindParameter(std::int32_t code, int index)
{
    for (const Parameter& p : table())
        if (p.code == code && p.index == index)
            return &p;
    return nullptr;
}

} // namespace dm
