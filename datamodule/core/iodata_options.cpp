// Named accessors of the option words, the list-coded settings, the
// injection sequence and the texts of the parameter image.
#include "Accessors.h"

#include "plat/Messages.h"

#include <algorithm>
#include <cstring>

using dm::acc::clearMarker;
using dm::acc::finish;
using dm::acc::Order;

namespace {

constexpr std::int32_t kFlag12 = 0x2303; // Flag1, Flag2
constexpr std::int32_t kFlag34 = 0x23c0; // Flag3, Flag4
constexpr std::int32_t kTipoSensore = 0x24;
constexpr std::int32_t kRifSensore = 0x4125;
constexpr std::int32_t kGiriPerCambio = 0x210;
constexpr std::int32_t kTipoSensoreTemperaturaGas = 0x86;
constexpr std::int32_t kNumeroCilindri = 0x14;
constexpr std::int32_t kTipiLambda = 0xab;
constexpr std::int32_t kTipoDiLambda = 0x4;
constexpr std::int32_t kTipoIniezione = 0x34;
constexpr std::int32_t kSequenzaLetta = 0x810e;
constexpr std::int32_t kNoteElementCode = 0x1b;
constexpr std::int32_t kNameElementCode = 0x35;

constexpr std::int32_t kOneProbeBit = 0x4;
constexpr std::int32_t kModificaSequenzaBit = 0x20;
constexpr std::int32_t kFuelBit = 0x2;
constexpr std::int32_t kInvertedBit = 0x80;

// Option index -> word (0 Flag1, 1 Flag2) and bit.
struct FlagBit {
    int word;
    std::int32_t mask;
};
constexpr FlagBit kFlagBits[27] = {
    {0, 0x100},  {0, 0x2},    {0, 0x200},  {0, 0x400},  {0, 0x800},  {0, 0x1000},  {0, 0x4000},
    {0, 0x8000}, {1, 0x1},    {1, 0x2},    {1, 0x4},    {1, 0x8},    {0, 0x8},     {0, 0x2000},
    {0, 0x10},   {1, 0x10},   {1, 0x20},   {1, 0x400},  {0, 0x40},   {0, 0x80},    {1, 0x80},
    {1, 0x100},  {1, 0x1000}, {1, 0x2000}, {1, 0x4000}, {1, 0x8000}, {1, 0x800},
};
constexpr int kGasTemperatureOption = 9;
constexpr int kEngineSensorOption = 10;
constexpr int kFuelOption = 1;

// Level-sensor codes by position, and the threshold presets of positions 0..3.
constexpr std::int32_t kLevelSensorTypes[10] = {129, 2, 133, 0, 4, 131, 193, 66, 68, 195};
constexpr std::int32_t kLevelPresets[4][4] = {
    {199, 140, 93, 39}, {17, 44, 77, 100}, {190, 174, 148, 96}, {19, 36, 56, 69}};

// Lambda-type defaults by position, in the order they are written.
constexpr std::int32_t kLambdaDefaultCodes[7] = {5, 9, 8, 11, 10, 72, 71};
constexpr double kLambdaDefaults[7][6] = {
    {0.55, 2.5, 2.5, 1.35, 2.5, 3.0}, // RifLambda
    {0.3, 2.0, 2.0, 1.1, 2.0, 0.3},   // RifInfSondaFredda
    {0.6, 3.0, 3.0, 1.4, 3.0, 0.6},   // RifSupSondaFredda
    {0.3, 2.0, 2.0, 1.1, 2.0, 2.8},   // RifInfSondaCalda
    {0.6, 3.0, 3.0, 1.4, 3.0, 0.6},   // RifSupSondaCalda
    {0.1, 0.0, 0.0, 0.8, 0.0, 2.6},   // LivelloBasso
    {1.0, 4.9, 4.9, 1.6, 4.9, 3.4},   // LivelloAlto
};

// Default injection-sequence entry by injection type and slot; 0: slot unused.
constexpr std::int32_t kSequenceDefaults[8][8] = {
    {0, 1, 2, 3, 182, 182, 182, 182}, {1, 2, 4, 8, 0, 0, 0, 0},   {1, 2, 12, 0, 0, 0, 0, 0},
    {1, 2, 4, 8, 0, 0, 0, 0},         {1, 2, 12, 0, 16, 32, 0, 0}, {1, 2, 12, 0, 16, 32, 192, 0},
    {0, 0, 0, 0, 0, 0, 0, 0},         {1, 2, 4, 8, 16, 32, 64, 128},
};
constexpr std::int32_t kSlotUnused = 182;

// The tempo kinds 1..4.
constexpr std::int32_t kInjectorTimeCodes[4] = {0x253, 0x252, 0x27d, 0x27e};

// Characters a configuration name holds.
constexpr int kNameLength = 28;
constexpr int kNoteLength = 64;
constexpr int kNoteBytes = 48;

// Gas-temperature-dependent values kept in degrees C across a table rebuild.
constexpr std::int32_t kTemperaturaMotoreCambio = 117;
// Engine-temperature-dependent single values.
constexpr std::int32_t kEngineTemperatureCodes[3] = {15, 144, 102};

std::size_t boundedLength(std::string_view text, std::size_t max)
{
    const std::size_t nul = text.find('\0');
    return std::min(nul == std::string_view::npos ? text.size() : nul, max);
}

template <std::size_t N>
void storeText(std::array<char, N>& field, std::string_view text, std::size_t max)
{
    const std::size_t n = boundedLength(text, std::min(max, N - 1));
    field.fill('\0');
    std::memcpy(field.data(), text.data(), n);
}

// Order D: writes both words of an option item; on success marks the change
// and stores them.
bool writeOptionPair(TStreamDati& d, std::int32_t code, const std::int32_t (&words)[2])
{
    if (d.WriteThrough && !d.Protocol()->WriteItem(code, words))
        return false;
    d.Modified = 1;
    clearMarker(d);
    std::int32_t* stored = d.Item(code);
    stored[0] = words[0];
    stored[1] = words[1];
    return true;
}

bool setBits(TStreamDati& d, std::int32_t code, int word, std::int32_t mask, bool on)
{
    const std::int32_t* stored = d.Item(code);
    std::int32_t words[2] = {stored[0], stored[1]};
    words[word] = on ? (words[word] | mask) : (words[word] & ~mask);
    return writeOptionPair(d, code, words);
}

std::int32_t sequenceDefault(std::int32_t type, int slot)
{
    if (type < 0 || type > 7 || slot < 0 || slot > 7)
        return 0; // an injection type without a table uses no slot
    return kSequenceDefaults[type][slot];
}

int lambdaPosition(const TStreamDati& d)
{
    return dm::IndexOfValue(dm::kLambdaTypes, 6, *d.Item(kTipoDiLambda));
}

// The gas-temperature values in degrees C, read before and written after a
// rebuild of the gas table.
struct GasTemperatures {
    long double cambio = 0;
    std::int32_t rifMot[10]{};

    void read(TStreamDati& d)
    {
        cambio = d.GetValueByCode(kTemperaturaMotoreCambio);
        for (int i = 0; i < 10; ++i)
            rifMot[i] = d.GetRifMot(i);
    }
    void write(TStreamDati& d) const
    {
        d.SetValueByCode(kTemperaturaMotoreCambio, static_cast<double>(cambio));
        for (int i = 0; i < 10; ++i)
            d.SetRifMot(i, rifMot[i]);
    }
};

} // namespace

// ---- Option words ------------------------------------------------------------

std::int32_t TStreamDati::GetFlag(int index) const
{
    if (index < 0 || index > 26)
        return 0;
    const FlagBit& b = kFlagBits[index];
    return (Item(kFlag12)[b.word] & b.mask) != 0 ? 1 : 0;
}

bool TStreamDati::SetFlag(int index, bool on)
{
    const std::int32_t* stored = Item(kFlag12);
    std::int32_t words[2] = {stored[0], stored[1]};
    if (index >= 0 && index <= 26) {
        const FlagBit& b = kFlagBits[index];
        words[b.word] = on ? (words[b.word] | b.mask) : (words[b.word] & ~b.mask);
    }
    if (index == kFuelOption)
        plat::postMessage(MainWindow(), plat::WM_CONNECTIONEVENT, (stored[0] & kFuelBit) != 0 ? 1 : 0, 6);
    if (!writeOptionPair(*this, kFlag12, words))
        return false;

    if (index == kGasTemperatureOption) {
        GasTemperatures t;
        t.read(*this);
        BuildTemperaturaGasTable(*Item(kTipoSensoreTemperaturaGas));
        t.write(*this);
    } else if (index == kEngineSensorOption) {
        long double single[3];
        for (int k = 0; k < 3; ++k)
            single[k] = GetValueByCode(kEngineTemperatureCodes[k]);
        std::int32_t rif[10];
        for (int i = 0; i < 10; ++i)
            rif[i] = GetRifTemperatura(i);
        const std::int32_t accensione[2] = {dm::TruncToInt(GetTempAccensioneCambio(0)),
                                            dm::TruncToInt(GetTempAccensioneCambio(1))};
        BuildTempMotoreTable(on);
        for (int k = 0; k < 3; ++k)
            SetValueByCode(kEngineTemperatureCodes[k], static_cast<double>(single[k]));
        for (int i = 0; i < 10; ++i)
            SetRifTemperatura(i, rif[i]);
        for (int i = 0; i < 2; ++i)
            SetTempAccensioneCambio(i, accensione[i]);
    }
    return true;
}

std::int32_t TStreamDati::GetFlag3(int index) const
{
    if (index < 0 || index > 3)
        return 0;
    return (Item(kFlag34)[0] & (1 << index)) != 0 ? 1 : 0;
}

bool TStreamDati::SetFlag3(int index, bool on)
{
    if (index < 0 || index > 3)
        return false;
    return setBits(*this, kFlag34, 0, 1 << index, on);
}

std::int32_t TStreamDati::GetNumeroSonde() const { return (Item(kFlag12)[0] & kOneProbeBit) != 0 ? 1 : 2; }
bool TStreamDati::SetNumeroSonde(int n) { return setBits(*this, kFlag12, 0, kOneProbeBit, n != 2); }
bool TStreamDati::HasSecondaSonda() const { return (Item(kFlag12)[0] & kOneProbeBit) == 0; }

std::int32_t TStreamDati::GetModificaSequenza() const { return (Item(kFlag12)[0] & kModificaSequenzaBit) != 0 ? 1 : 0; }
bool TStreamDati::SetModificaSequenza(bool on) { return setBits(*this, kFlag12, 0, kModificaSequenzaBit, on); }

// ---- Level sensor --------------------------------------------------------------

std::int32_t TStreamDati::GetTipoSensore() const { return dm::IndexOfValue(kLevelSensorTypes, 10, *Item(kTipoSensore)); }

bool TStreamDati::SetTipoSensore(int position)
{
    Modified = 1;
    if (position < 0 || position > 9)
        return false;
    const std::int32_t code = kLevelSensorTypes[position];
    std::int32_t& stored = *Item(kTipoSensore);
    if (!finish(*this, Order::B, [&] { return Protocol()->WriteValue(kTipoSensore, code); }, [&] { stored = code; }))
        return false;
    bool ok = true;
    if (position <= 3)
        for (int i = 0; i < 4; ++i)
            ok = SetRifSensore(i, kLevelPresets[position][i]) && ok;
    return ok;
}

bool TStreamDati::GetTipoSensoreBit7() const { return (*Item(kTipoSensore) & kInvertedBit) != 0; }

std::int32_t TStreamDati::GetRifSensore(int i) const
{
    if (i < 0 || i > 3)
        return 0;
    const std::int32_t raw = Item(kRifSensore)[i];
    return GetTipoSensoreBit7() ? 255 - raw : raw;
}

bool TStreamDati::SetRifSensore(int i, std::int32_t value)
{
    Modified = 1;
    if (i < 0 || i > 3 || value < 0 || value > 255)
        return false;
    const std::int32_t raw = GetTipoSensoreBit7() ? 255 - value : value;
    std::int32_t& stored = Item(kRifSensore)[i];
    return finish(*this, Order::B, [&] { return Protocol()->WriteElement(0x25, i, raw); }, [&] { stored = raw; });
}

// ---- Switch-over ---------------------------------------------------------------

std::int32_t TStreamDati::GetTipoCommutazione() const
{
    const std::int32_t rpm = *Item(kGiriPerCambio);
    return rpm == 0 ? 2 : (rpm & 1);
}

bool TStreamDati::SetTipoCommutazione(int mode)
{
    std::int32_t& stored = *Item(kGiriPerCambio);
    std::int32_t value = 0;
    if (mode == 0 || mode == 1) {
        value = RememberedSwitchRpm != 0 ? RememberedSwitchRpm : (stored != 0 ? stored : (mode == 0 ? 1600 : 1601));
        value = (value & ~1) | mode;
        if (WriteThrough && !Protocol()->WriteValue(kGiriPerCambio, value))
            return false;
        RememberedSwitchRpm = 0;
    } else if (mode == 2) {
        if (WriteThrough && !Protocol()->WriteValue(kGiriPerCambio, 0))
            return false;
        RememberedSwitchRpm = stored;
    } else {
        return false;
    }
    stored = value;
    Modified = 1;
    clearMarker(*this);
    return true;
}

// ---- Gas-temperature sensor, rpm signal, injector times -------------------------

std::int32_t TStreamDati::GetTipoSensoreTemperaturaGas() const { return *Item(kTipoSensoreTemperaturaGas); }

bool TStreamDati::SetTipoSensoreTemperaturaGas(int type)
{
    Modified = 1;
    if (WriteThrough && !Protocol()->WriteValue(kTipoSensoreTemperaturaGas, type))
        return false;
    *Item(kTipoSensoreTemperaturaGas) = type;
    GasTemperatures t;
    t.read(*this);
    BuildTemperaturaGasTable(type);
    t.write(*this);
    clearMarker(*this);
    return true;
}

std::int32_t TStreamDati::GetSegnaleGiri() const { return (*Item(kNumeroCilindri) & dm::kWeakRpmSignalBit) != 0 ? 1 : 0; }

bool TStreamDati::SetSegnaleGiri(bool weak)
{
    std::int32_t& stored = *Item(kNumeroCilindri);
    const std::int32_t value = weak ? (stored | dm::kWeakRpmSignalBit) : (stored & ~dm::kWeakRpmSignalBit);
    if (WriteThrough && !Protocol()->WriteValue(kNumeroCilindri, value))
        return false;
    stored = value;
    Modified = 1; // the marker is left as it is
    return true;
}

long double TStreamDati::GetTempoIniettore(int kind) const
{
    if (kind < 1 || kind > 4)
        return 0;
    return dm::MsFromRaw(*Item(kInjectorTimeCodes[kind - 1]), GetTimeBase());
}

bool TStreamDati::SetTempoIniettore(int kind, double ms)
{
    bool written = false;
    if (kind >= 1 && kind <= 4) {
        const std::int32_t code = kInjectorTimeCodes[kind - 1];
        const std::int32_t raw = dm::MsToRaw(ms, GetTimeBase());
        if (WriteThrough && !Protocol()->WriteValue(code, raw))
            return false;
        *Item(code) = raw;
        written = true;
    }
    Modified = 1;
    clearMarker(*this);
    return written;
}

// ---- Lambda probes ---------------------------------------------------------------

std::int32_t TStreamDati::GetTipiLambdaEnabled(int probe) const
{
    const std::int32_t b = *Item(kTipiLambda);
    if (probe == 1)
        return TipiLambdaPresent ? (b & 0x1) : 1;
    if (probe == 2)
        return TipiLambdaPresent ? ((b >> 4) & 0x1) : (HasSecondaSonda() ? 1 : 0);
    return 0;
}

std::int32_t TStreamDati::GetTipiLambda(int probe) const
{
    if (probe != 1 && probe != 2)
        return 0;
    const std::int32_t bits = (*Item(kTipiLambda) >> (probe == 1 ? 0 : 4)) & 0x3;
    if ((bits & 0x1) == 0)
        return 0;
    return (bits & 0x2) != 0 ? 2 : 1;
}

bool TStreamDati::SetTipiLambda(int probe, int kind)
{
    if ((probe != 1 && probe != 2) || kind < 0 || kind > 2)
        return false;
    const int shift = probe == 1 ? 0 : 4;
    std::int32_t& stored = *Item(kTipiLambda);
    const std::int32_t bits = kind == 2 ? 0x3 : (kind == 1 ? 0x1 : 0x0);
    const std::int32_t value = (stored & ~(0x3 << shift)) | (bits << shift);
    return finish(*this, Order::A, [&] { return Protocol()->WriteValue(kTipiLambda, value); }, [&] { stored = value; });
}

std::int32_t TStreamDati::GetTipoDiLambdaBit0() const { return *Item(kTipoDiLambda) & 1; }
std::int32_t TStreamDati::GetTipoDiTpsBit0() const { return *Item(dm::kTipoDiTpsCode) & 1; }

void TStreamDati::ApplyTipoDiLambdaEmulazione()
{
    const std::int32_t type = *Item(kTipoDiLambda);
    double value = 0;
    if (type & 0x2) {
        value = 0.5;
    } else if (type & 0x80) {
        value = 0;
    } else {
        const int position = lambdaPosition(*this);
        if (position < 0)
            return; // a type outside the list has no default
        value = kLambdaDefaults[0][position];
    }
    for (int i = 0; i < 12; ++i)
        SetRiferimentiSondaLambda(i, value);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 12; ++c)
            SetMappaEmissioni(r, c, value);
}

bool TStreamDati::ApplyTipoDiLambdaDefaults()
{
    const int position = lambdaPosition(*this);
    if (position < 0)
        return true;
    for (int k = 0; k < 7; ++k)
        SetValueByCode(kLambdaDefaultCodes[k], kLambdaDefaults[k][position]);
    return true;
}

// ---- Injection sequence -----------------------------------------------------------

bool TStreamDati::IsSequenzaSlotUsed(int slot) const
{
    return slot >= 0 && slot <= 7 && sequenceDefault(*Item(kTipoIniezione), slot) != 0;
}

bool TStreamDati::SetSequenzaDefault()
{
    const std::int32_t type = *Item(kTipoIniezione);
    bool ok = true;
    for (int slot = 0; slot < 8; ++slot) {
        const std::int32_t def = sequenceDefault(type, slot);
        ok = SetSequenza(1, slot, def) && ok;
        ok = SetSequenza(0, slot, def != 0 ? slot : kSlotUnused) && ok;
    }
    return ok;
}

int TStreamDati::ReadSequenzaFromEcu()
{
    std::int32_t read[8] = {};
    if (!Protocol()->ReadItem(kSequenzaLetta, read))
        return (Protocol()->GetLastStatus() & ECU_STATUS_NO_ITEM) != 0 ? -2 : -1;
    const std::int32_t type = *Item(kTipoIniezione);
    for (int slot = 0; slot < 8; ++slot) {
        const std::int32_t v = read[slot];
        if (v != kSlotUnused && std::count(read, read + 8, v) > 1)
            return -3;
        if (v != kSlotUnused && (v < 0 || v > 7))
            return -4;
        if (v == kSlotUnused && sequenceDefault(type, slot) != 0)
            return -5;
    }
    for (int slot = 0; slot < 8; ++slot) {
        SetSequenza(0, slot, read[slot]);
        SetSequenza(1, slot, read[slot] != kSlotUnused ? sequenceDefault(type, slot) : 0);
    }
    return 0;
}

bool TStreamDati::RotateSequenza(int steps)
{
    const std::int32_t type = *Item(kTipoIniezione);
    for (int i = 0; i < 8; ++i) {
        if (GetSequenza(0, i) == kSlotUnused) {
            SetSequenza(1, i, 0);
            continue;
        }
        int j = 0;
        while (j < 8 && GetSequenza(0, j) != i)
            ++j;
        if (j == 8)
            return false;
        for (int passed = 0; passed < steps;) {
            j = (j + 1) % 8;
            if (GetSequenza(0, j) != kSlotUnused)
                ++passed;
        }
        const std::int32_t cylinder = GetSequenza(0, j);
        if (cylinder < 0 || cylinder > 7)
            return false;
        SetSequenza(1, i, sequenceDefault(type, cylinder));
    }
    return true;
}

// ---- Texts ---------------------------------------------------------------------

const char* TStreamDati::GetNomeConfigurazione()
{
    const std::int32_t* e = Item(dm::kVehicleDescriptionCode);
    for (int i = 0; i < kNameLength; ++i)
        NomeConfigurazione[static_cast<std::size_t>(i)] = static_cast<char>(e[2 + i]);
    NomeConfigurazione[kNameLength] = '\0';
    return NomeConfigurazione.data();
}

bool TStreamDati::SetNomeConfigurazione(std::string_view text)
{
    const int n = static_cast<int>(boundedLength(text, kNameLength));
    std::int32_t* e = Item(dm::kVehicleDescriptionCode);
    for (int i = 0; i < n; ++i) {
        const std::int32_t ch = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
        if (WriteThrough && !Protocol()->WriteElement(kNameElementCode, 2 + i, ch))
            return false;
    }
    for (int i = 0; i < n; ++i)
        e[2 + i] = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
    for (int k = n + 2; k < 2 + kNameLength; ++k)
        if (WriteThrough && !Protocol()->WriteElement(kNameElementCode, k, 0))
            return false;
    for (int k = n + 2; k < 2 + kNameLength; ++k)
        e[k] = 0;
    plat::postMessage(MainWindow(), plat::WM_CONNECTIONEVENT, 0, 2);
    Modified = 1;
    clearMarker(*this);
    return true;
}

// The note travels as 48 bytes: each group of four characters (space to
// underscore, six bits each) fills three bytes, the first character's bits
// spread over the top two bits of each.
bool TStreamDati::SetNoteConfig(std::string_view text)
{
    const std::size_t n = boundedLength(text, kNoteLength);
    int c[kNoteLength] = {};
    for (std::size_t i = 0; i < n; ++i)
        c[i] = static_cast<unsigned char>(text[i]) - 32;
    if (WriteThrough) {
        for (int g = 0; g < kNoteLength / 4; ++g) {
            const int* q = c + g * 4;
            const std::int32_t bytes[3] = {((q[0] & 0x3) << 6) | (q[1] & 0x3f), ((q[0] & 0xc) << 4) | (q[2] & 0x3f),
                                           ((q[0] & 0x30) << 2) | (q[3] & 0x3f)};
            for (int k = 0; k < 3; ++k)
                if (!Protocol()->WriteElement(kNoteElementCode, g * 3 + k, bytes[k]))
                    return false;
        }
    }
    storeText(NoteConfig, text, kNoteLength);
    Modified = 1;
    clearMarker(*this);
    return true;
}

bool TStreamDati::SetDescription(int kind, std::string_view text)
{
    switch (kind) {
    case 1: storeText(DescrizAuto, text, 50); break;
    case 2: storeText(Euro, text, 10); break;
    case 3: storeText(Motore, text, 50); break;
    case 4: storeText(Centralina, text, 50); break;
    case 5: storeText(Cambio, text, 50); break;
    default: return false;
    }
    Modified = 1;
    clearMarker(*this);
    return true;
}

bool TStreamDati::SaveConfigurationAs(const QString& fileName, std::string_view name)
{
    // The file carries the name as its vehicle description and no official
    // mark, as if they were stored already; the image takes them only once
    // the file is saved, so that a failed save leaves it as it was.
    const auto description = DescrizAuto;
    std::int32_t& mark = Item(dm::kVehicleDescriptionCode)[0];
    const std::int32_t markBefore = mark;
    storeText(DescrizAuto, name, DescrizAuto.size() - 1);
    mark &= ~dm::kOfficialMark;
    const bool saved = TransferData(TRANSFER_SAVE, fileName, 0, TRANSFER_ALL_GROUPS, 1, 0);
    DescrizAuto = description;
    mark = markBefore;
    if (!saved)
        return false;
    const bool named = SetNomeConfigurazione(name);
    SetUfficiale(false);
    SetDescription(1, name);
    // The image is now what the file holds, unless the ECU refused the name.
    if (named && !GetUfficiale())
        Modified = 0;
    return true;
}
