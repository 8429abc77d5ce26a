#include "SensorRules.h"
#include "datamodule/core/ItemCodes.h"
#include "datamodule/core/LiveLamps.h"

#include "RulesPrompt.h"
#include "datamodule/core/Scaling.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

namespace cfgrules {

namespace {

constexpr int kTextNonStandard = 133;         // "non standard"
constexpr int kTextNonStandardInverted = 134; // "non standard invertito"

// The level-sensor lists, item by item.
constexpr LevelSensorItem kCngLevelSensors[] = {{0, false, false}, {4, false, true}, {5, false, true}};
constexpr LevelSensorItem kLpgLevelSensors[] = {
    {0, false, false}, {5, true, false}, {1, false, false}, {4, false, true}, {5, false, true}};

template <std::size_t N>
std::optional<LevelSensorItem> itemOf(const LevelSensorItem (&list)[N], int item)
{
    if (item < 0 || item >= static_cast<int>(N))
        return std::nullopt;
    return list[item];
}

template <std::size_t N>
int indexOf(const LevelSensorItem (&list)[N], int position, bool presets)
{
    for (std::size_t i = 0; i < N; ++i)
        if (list[i].position == position && list[i].presets == presets)
            return static_cast<int>(i);
    return -1;
}

constexpr std::int32_t kDiagnosticEnables = 2;
constexpr std::int32_t kDedicatedWireDiagnosis = 0x4;
constexpr int kDefaultInjectionRows = 8;

} // namespace

// ---- Lambda banks ----------------------------------------------------------------

std::vector<cfgwin::ControlRule> BankVisibility(int ecuType, bool secondBank, bool lambdaTypes, int banks)
{
    const bool twoInputs = ecuType != qz::ECU_TYPE_VANT && ecuType != qz::ECU_TYPE_MONOPLUG;
    return {
        {{"ImageLambdaValue", "ImageLambda1", "LabLambda"}, true},
        {{"ImageLambda2", "ImageLambda2Value", "LabLambda2"}, twoInputs && (secondBank || lambdaTypes)},
        {{"LabApMot2", "ImageApMot2", "LabApMot2Benz", "ImageApMot2Benz", "LabelTarget2", "LabTarget2", "ImageTarget2",
          "LabelMsTarget2"},
         secondBank},
        {{"LabelCorrBancata2", "EditCorrBancata2", "ShapeCorrettore"}, banks == 2},
    };
}

std::vector<cfgwin::ControlRule> ProbeSelectorVisibility()
{
    return {{{"ComboSonda1", "LabelTipoSonda1", "ShapeSonda1", "ComboSonda2", "LabelTipoSonda2", "ShapeSonda2",
              "ShapeTipoLambda", "LabelTipoLambda", "ComboTipoLambda"},
             true}};
}

int SecondBankCorrection(TStreamDati& dm) { return dm::TruncToInt(dm.GetElementByCode(dm::kSecondBankCode, 0)); }

int CommitSecondBankCorrection(TStreamDati& dm, int value)
{
    for (int i = 0; i < kSecondBankElements; ++i)
        dm.SetElementByCode(dm::kSecondBankCode, i, value);
    return SecondBankCorrection(dm);
}

int CommitProbeRole(TStreamDati& dm, int probe, int role)
{
    if (role >= 0)
        dm.SetTipiLambda(probe, role);
    return dm.GetTipiLambda(probe);
}

// ---- Gas level sensor ------------------------------------------------------------

QStringList LevelSensorItems(bool cng, const TextOf& text)
{
    if (cng)
        return {QStringLiteral("Quorin/VYX 417"), text(kTextNonStandard), text(kTextNonStandardInverted)};
    return {QStringLiteral("Quorin/VYX 2093"), QStringLiteral("Quorin 318470"), QStringLiteral("0 - 90 ohm"),
            text(kTextNonStandard), text(kTextNonStandardInverted)};
}

std::optional<LevelSensorItem> LevelSensorOfItem(bool cng, int item)
{
    return cng ? itemOf(kCngLevelSensors, item) : itemOf(kLpgLevelSensors, item);
}

int LevelSensorItemOf(bool cng, int position, const LevelThresholds& thresholds)
{
    if (cng)
        return indexOf(kCngLevelSensors, position, false);
    // The preset sender shares its type with the non-standard inverted one:
    // its thresholds tell them apart.
    const int preset = indexOf(kLpgLevelSensors, position, true);
    if (preset >= 0 && thresholds == kQuorin318470)
        return preset;
    return indexOf(kLpgLevelSensors, position, false);
}

LevelThresholds StoredThresholds(const TStreamDati& dm) { return dm::StoredLevelThresholds(dm); }

std::optional<LevelSensorItem> CommitLevelSensor(TStreamDati& dm, bool cng, int item)
{
    const auto sensor = LevelSensorOfItem(cng, item);
    if (!sensor)
        return std::nullopt;
    dm.SetTipoSensore(sensor->position);
    if (sensor->presets)
        for (int i = 0; i < 4; ++i)
            dm.SetRifSensore(i, kQuorin318470[static_cast<std::size_t>(i)]);
    return sensor;
}

bool LevelThresholdsValid(const LevelThresholds& l, bool inverted)
{
    for (const std::int32_t v : l)
        if (v < 0 || v > 255)
            return false;
    for (std::size_t i = 1; i < l.size(); ++i)
        if (inverted ? !(l[i - 1] > l[i]) : !(l[i - 1] < l[i]))
            return false;
    return true;
}

bool ConfirmLevelThresholds(TStreamDati& dm, const LevelThresholds& l)
{
    if (!LevelThresholdsValid(l, dm.GetTipoSensoreBit7())) {
        ShowRuleBox(dm, kThresholdsWrongText, plat::PromptIcon::Error);
        return false;
    }
    for (int i = 0; i < 4; ++i)
        dm.SetRifSensore(i, l[static_cast<std::size_t>(i)]);
    return true;
}

// ---- Return to petrol ------------------------------------------------------------

bool ReturnToPetrolOn(TStreamDati& dm)
{
    return dm::TruncToInt(dm.GetValueByCode(dm::kPetrolReturnTimeCode)) != kReturnOff;
}

std::optional<int> ApplyReturnToPetrol(TStreamDati& dm, bool on, bool loading, int& remembered)
{
    if (!on) {
        if (!loading) {
            // The off value itself (left by a refused write) is no time to
            // come back to.
            const int time = dm::TruncToInt(dm.GetValueByCode(dm::kPetrolReturnTimeCode));
            if (time != kReturnOff)
                remembered = time;
            dm.SetValueByCode(dm::kPetrolReturnTimeCode, kReturnOff);
        }
        return std::nullopt;
    }
    if (!loading)
        dm.SetValueByCode(dm::kPetrolReturnTimeCode, remembered > 0 ? remembered : 0);
    return dm::TruncToInt(dm.GetValueByCode(dm::kPetrolReturnTimeCode));
}

// ---- Option boxes of the Sensori page ----------------------------------------------

void ApplyFuelLineFilling(TStreamDati& dm, bool on)
{
    dm.SetFlag(kFuelLineFillingOption, on);
    if (on)
        ShowRuleBox(dm, kFuelLineFillingText, plat::PromptIcon::Information);
}

void ApplyDedicatedWire(TStreamDati& dm, bool on)
{
    dm.SetFlag(kDedicatedWireOption, on);
    if (dm.GetFlag(kDedicatedWireOption))
        dm.SetDiagnosi(0, kDiagnosticEnables, dm.GetDiagnosi(0, kDiagnosticEnables) & ~kDedicatedWireDiagnosis);
}

bool HasDedicatedWire(int ecuType) { return ecuType != qz::ECU_TYPE_VANT && ecuType != qz::ECU_TYPE_MONOPLUG; }

std::vector<cfgwin::ControlRule> DedicatedWireVisibility(int ecuType)
{
    return {{{"ShapeAlimentazione", "LabelAlimentazione", "ShapeCheckAlimentazione", "CheckAlimentazione"},
             HasDedicatedWire(ecuType)}};
}

// ---- Injector times ----------------------------------------------------------------

double CommitMaxInjectionTime(TStreamDati& dm, double ms)
{
    dm.SetTInjFiltro(kMaxInjectionTime, ms);
    return static_cast<double>(dm.GetTInjFiltro(kMaxInjectionTime));
}

double DefaultInjectionTime(const TStreamDati& dm)
{
    return static_cast<double>(dm.GetTInjDefault(0, dm.GetFlag(kFuelOption) ? 1 : 0));
}

double CommitDefaultInjectionTime(TStreamDati& dm, double ms)
{
    // The value typed goes to every row, whatever row 0's write did.
    const int column = dm.GetFlag(kFuelOption) ? 1 : 0;
    for (int row = 0; row < kDefaultInjectionRows; ++row)
        dm.SetTInjDefault(row, column, ms);
    return DefaultInjectionTime(dm);
}

// ---- Pressure sensors ------------------------------------------------------------

bool ExternalMapPairVisible(bool internalMap, bool differential) { return !internalMap && differential; }

int PressureMeterItem(bool meter) { return meter ? 1 : 0; }

int PressureReadingItem(bool meter, bool differential) { return (meter ? !differential : differential) ? 1 : 0; }

QStringList MapSensorItems() { return {QStringLiteral("VYX371"), QStringLiteral("VYX352")}; }

int MapSensorItem(std::int32_t offset, std::int32_t slope)
{
    if (offset == -108 && slope == 542)
        return 0;
    if (offset == 35 && slope == 826)
        return 1;
    return -1;
}

} // namespace cfgrules
