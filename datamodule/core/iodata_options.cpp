// Named accessors of the option words, the list-coded settings, the
// injection sequence and the texts of the parameter image.
#include "Accessors.h"
#include "ItemCodes.h"

#include "plat/Messages.h"

#include <algorithm>
#include <cstring>

using dm::acc::ClearMarker;
using dm::acc::Finish;
using dm::acc::Order;

namespace {

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
    ClearMarker(d);
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

std::int32_t TStreamOptions::GetFlag(int index) const
{
    if (index < 0 || index > 26)
        return 0;
    const FlagBit& b = kFlagBits[index];
    return (self().Item(dm::kFlag12Code)[b.word] & b.mask) != 0 ? 1 : 0;
}

bool TStreamOptions::SetFlag(int index, bool on)
{
    const std::int32_t* stored = self().Item(dm::kFlag12Code);
    std::int32_t words[2] = {stored[0], stored[1]};
    if (index >= 0 && index <= 26) {
        const FlagBit& b = kFlagBits[index];
        words[b.word] = on ? (words[b.word] | b.mask) : (words[b.word] & ~b.mask);
    }
    if (index == kFuelOption)
        plat::PostWindowMessage(self().MainWindow(), plat::WM_CONNECTIONEVENT, (stored[0] & kFuelBit) != 0 ? 1 : 0, 6);
    if (!writeOptionPair(self(), dm::kFlag12Code, words))
        return false;

    if (index == kGasTemperatureOption) {
        GasTemperatures t;
        t.read(self());
        self().BuildTemperaturaGasTable(*self().Item(kTipoSensoreTemperaturaGas));
        t.write(self());
    } else if (index == kEngineSensorOption) {
        long double single[3];
        for (int k = 0; k < 3; ++k)
            single[k] = GetValueByCode(kEngineTemperatureCodes[k]);
        std::int32_t rif[10];
        for (int i = 0; i < 10; ++i)
            rif[i] = self().GetRifTemperatura(i);
        const std::int32_t accensione[2] = {dm::TruncToInt(self().GetTempAccensioneCambio(0)),
                                            dm::TruncToInt(self().GetTempAccensioneCambio(1))};
        self().BuildTempMotoreTable(on);
        for (int k = 0; k < 3; ++k)
            SetValueByCode(kEngineTemperatureCodes[k], static_cast<double>(single[k]));
        for (int i = 0; i < 10; ++i)
            self().SetRifTemperatura(i, rif[i]);
        for (int i = 0; i < 2; ++i)
            self().SetTempAccensioneCambio(i, accensione[i]);
    }
    return true;
}

std::int32_t TStreamOptions::GetFlag3(int index) const
{
    if (index < 0 || index > 3)
        return 0;
    return (self().Item(kFlag34)[0] & (1 << index)) != 0 ? 1 : 0;
}

bool TStreamOptions::SetFlag3(int index, bool on)
{
    if (index < 0 || index > 3)
        return false;
    return setBits(self(), kFlag34, 0, 1 << index, on);
}

std::int32_t TStreamSensors::GetNumeroSonde() const
{
    return (self().Item(dm::kFlag12Code)[0] & kOneProbeBit) != 0 ? 1 : 2;
}
bool TStreamSensors::SetNumeroSonde(int n) { return setBits(self(), dm::kFlag12Code, 0, kOneProbeBit, n != 2); }
bool TStreamSensors::HasSecondaSonda() const { return (self().Item(dm::kFlag12Code)[0] & kOneProbeBit) == 0; }

std::int32_t TStreamOptions::GetModificaSequenza() const
{
    return (self().Item(dm::kFlag12Code)[0] & kModificaSequenzaBit) != 0 ? 1 : 0;
}
bool TStreamOptions::SetModificaSequenza(bool on)
{
    return setBits(self(), dm::kFlag12Code, 0, kModificaSequenzaBit, on);
}

// ---- Level sensor --------------------------------------------------------------

std::int32_t TStreamSensors::GetTipoSensore() const
{
    return dm::IndexOfValue(kLevelSensorTypes, 10, *self().Item(kTipoSensore));
}

bool TStreamSensors::SetTipoSensore(int position)
{
    self().Modified = 1;
    if (position < 0 || position > 9)
        return false;
    const std::int32_t code = kLevelSensorTypes[position];
    std::int32_t& stored = *self().Item(kTipoSensore);
    if (!Finish(
            self(), Order::B, [&] { return self().Protocol()->WriteValue(kTipoSensore, code); },
            [&] { stored = code; }))
        return false;
    bool ok = true;
    if (position <= 3)
        for (int i = 0; i < 4; ++i)
            ok = SetRifSensore(i, kLevelPresets[position][i]) && ok;
    return ok;
}

bool TStreamSensors::GetTipoSensoreBit7() const { return (*self().Item(kTipoSensore) & kInvertedBit) != 0; }

std::int32_t TStreamSensors::GetRifSensore(int i) const
{
    if (i < 0 || i > 3)
        return 0;
    const std::int32_t raw = self().Item(kRifSensore)[i];
    return GetTipoSensoreBit7() ? 255 - raw : raw;
}

bool TStreamSensors::SetRifSensore(int i, std::int32_t value)
{
    self().Modified = 1;
    if (i < 0 || i > 3 || value < 0 || value > 255)
        return false;
    const std::int32_t raw = GetTipoSensoreBit7() ? 255 - value : value;
    std::int32_t& stored = self().Item(kRifSensore)[i];
    return Finish(
        self(), Order::B, [&] { return self().Protocol()->WriteElement(0x25, i, raw); }, [&] { stored = raw; });
}

// ---- Switch-over ---------------------------------------------------------------

std::int32_t TStreamOptions::GetTipoCommutazione() const
{
    const std::int32_t rpm = *self().Item(kGiriPerCambio);
    return rpm == 0 ? 2 : (rpm & 1);
}

bool TStreamOptions::SetTipoCommutazione(int mode)
{
    std::int32_t& stored = *self().Item(kGiriPerCambio);
    std::int32_t value = 0;
    if (mode == 0 || mode == 1) {
        value = self().RememberedSwitchRpm != 0 ? self().RememberedSwitchRpm
                                                : (stored != 0 ? stored : (mode == 0 ? 1600 : 1601));
        value = (value & ~1) | mode;
        if (self().WriteThrough && !self().Protocol()->WriteValue(kGiriPerCambio, value))
            return false;
        self().RememberedSwitchRpm = 0;
    } else if (mode == 2) {
        if (self().WriteThrough && !self().Protocol()->WriteValue(kGiriPerCambio, 0))
            return false;
        self().RememberedSwitchRpm = stored;
    } else {
        return false;
    }
    stored = value;
    self().Modified = 1;
    ClearMarker(self());
    return true;
}

// ---- Gas-temperature sensor, rpm signal, injector times -------------------------

std::int32_t TStreamSensors::GetTipoSensoreTemperaturaGas() const { return *self().Item(kTipoSensoreTemperaturaGas); }

bool TStreamSensors::SetTipoSensoreTemperaturaGas(int type)
{
    self().Modified = 1;
    if (self().WriteThrough && !self().Protocol()->WriteValue(kTipoSensoreTemperaturaGas, type))
        return false;
    *self().Item(kTipoSensoreTemperaturaGas) = type;
    GasTemperatures t;
    t.read(self());
    BuildTemperaturaGasTable(type);
    t.write(self());
    ClearMarker(self());
    return true;
}

std::int32_t TStreamSensors::GetSegnaleGiri() const
{
    return (*self().Item(kNumeroCilindri) & dm::kWeakRpmSignalBit) != 0 ? 1 : 0;
}

bool TStreamSensors::SetSegnaleGiri(bool weak)
{
    std::int32_t& stored = *self().Item(kNumeroCilindri);
    const std::int32_t value = weak ? (stored | dm::kWeakRpmSignalBit) : (stored & ~dm::kWeakRpmSignalBit);
    if (self().WriteThrough && !self().Protocol()->WriteValue(kNumeroCilindri, value))
        return false;
    stored = value;
    self().Modified = 1; // the marker is left as it is
    return true;
}

long double TStreamOptions::GetTempoIniettore(int kind) const
{
    if (kind < 1 || kind > 4)
        return 0;
    return dm::MsFromRaw(*self().Item(kInjectorTimeCodes[kind - 1]), self().GetTimeBase());
}

bool TStreamOptions::SetTempoIniettore(int kind, double ms)
{
    bool written = false;
    if (kind >= 1 && kind <= 4) {
        const std::int32_t code = kInjectorTimeCodes[kind - 1];
        const std::int32_t raw = dm::MsToRaw(ms, self().GetTimeBase());
        if (self().WriteThrough && !self().Protocol()->WriteValue(code, raw))
            return false;
        *self().Item(code) = raw;
        written = true;
    }
    self().Modified = 1;
    ClearMarker(self());
    return written;
}

// ---- Lambda probes ---------------------------------------------------------------

std::int32_t TStreamSensors::GetTipiLambdaEnabled(int probe) const
{
    const std::int32_t b = *self().Item(kTipiLambda);
    if (probe == 1)
        return self().TipiLambdaPresent ? (b & 0x1) : 1;
    if (probe == 2)
        return self().TipiLambdaPresent ? ((b >> 4) & 0x1) : (HasSecondaSonda() ? 1 : 0);
    return 0;
}

std::int32_t TStreamSensors::GetTipiLambda(int probe) const
{
    if (probe != 1 && probe != 2)
        return 0;
    const std::int32_t bits = (*self().Item(kTipiLambda) >> (probe == 1 ? 0 : 4)) & 0x3;
    if ((bits & 0x1) == 0)
        return 0;
    return (bits & 0x2) != 0 ? 2 : 1;
}

bool TStreamSensors::SetTipiLambda(int probe, int kind)
{
    if ((probe != 1 && probe != 2) || kind < 0 || kind > 2)
        return false;
    const int shift = probe == 1 ? 0 : 4;
    std::int32_t& stored = *self().Item(kTipiLambda);
    const std::int32_t bits = kind == 2 ? 0x3 : (kind == 1 ? 0x1 : 0x0);
    const std::int32_t value = (stored & ~(0x3 << shift)) | (bits << shift);
    return Finish(
        self(), Order::A, [&] { return self().Protocol()->WriteValue(kTipiLambda, value); }, [&] { stored = value; });
}

std::int32_t TStreamSensors::GetTipoDiLambdaBit0() const { return *self().Item(kTipoDiLambda) & 1; }
std::int32_t TStreamSensors::GetTipoDiTpsBit0() const { return *self().Item(dm::kTipoDiTpsCode) & 1; }

void TStreamSensors::ApplyTipoDiLambdaEmulazione()
{
    const std::int32_t type = *self().Item(kTipoDiLambda);
    double value = 0;
    if (type & 0x2) {
        value = 0.5;
    } else if (type & 0x80) {
        value = 0;
    } else {
        const int position = lambdaPosition(self());
        if (position < 0)
            return; // a type outside the list has no default
        value = kLambdaDefaults[0][position];
    }
    for (int i = 0; i < 12; ++i)
        self().SetRiferimentiSondaLambda(i, value);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 12; ++c)
            self().SetMappaEmissioni(r, c, value);
}

bool TStreamSensors::ApplyTipoDiLambdaDefaults()
{
    const int position = lambdaPosition(self());
    if (position < 0)
        return true;
    for (int k = 0; k < 7; ++k)
        self().SetValueByCode(kLambdaDefaultCodes[k], kLambdaDefaults[k][position]);
    return true;
}

// ---- Injection sequence -----------------------------------------------------------

bool TStreamVectors::IsSequenzaSlotUsed(int slot) const
{
    return slot >= 0 && slot <= 7 && sequenceDefault(*self().Item(kTipoIniezione), slot) != 0;
}

bool TStreamVectors::SetSequenzaDefault()
{
    const std::int32_t type = *self().Item(kTipoIniezione);
    bool ok = true;
    for (int slot = 0; slot < 8; ++slot) {
        const std::int32_t def = sequenceDefault(type, slot);
        ok = SetSequenza(1, slot, def) && ok;
        ok = SetSequenza(0, slot, def != 0 ? slot : kSlotUnused) && ok;
    }
    return ok;
}

int TStreamVectors::ReadSequenzaFromEcu()
{
    std::int32_t read[8] = {};
    if (!self().Protocol()->ReadItem(kSequenzaLetta, read))
        return (self().Protocol()->GetLastStatus() & ECU_STATUS_NO_ITEM) != 0 ? -2 : -1;
    const std::int32_t type = *self().Item(kTipoIniezione);
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

bool TStreamVectors::RotateSequenza(int steps)
{
    const std::int32_t type = *self().Item(kTipoIniezione);
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

const char* TStreamIdentity::GetNomeConfigurazione()
{
    const std::int32_t* e = self().Item(dm::kVehicleDescriptionCode);
    for (int i = 0; i < kNameLength; ++i)
        self().NomeConfigurazione[static_cast<std::size_t>(i)] = static_cast<char>(e[2 + i]);
    self().NomeConfigurazione[kNameLength] = '\0';
    return self().NomeConfigurazione.data();
}

bool TStreamIdentity::SetNomeConfigurazione(std::string_view text)
{
    const int n = static_cast<int>(boundedLength(text, kNameLength));
    std::int32_t* e = self().Item(dm::kVehicleDescriptionCode);
    for (int i = 0; i < n; ++i) {
        const std::int32_t ch = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
        if (self().WriteThrough && !self().Protocol()->WriteElement(kNameElementCode, 2 + i, ch))
            return false;
    }
    for (int i = 0; i < n; ++i)
        e[2 + i] = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
    for (int k = n + 2; k < 2 + kNameLength; ++k)
        if (self().WriteThrough && !self().Protocol()->WriteElement(kNameElementCode, k, 0))
            return false;
    for (int k = n + 2; k < 2 + kNameLength; ++k)
        e[k] = 0;
    plat::PostWindowMessage(self().MainWindow(), plat::WM_CONNECTIONEVENT, 0, 2);
    self().Modified = 1;
    ClearMarker(self());
    return true;
}

// The note travels as 48 bytes: each group of four characters (space to
// underscore, six bits each) fills three bytes, the first character's bits
// spread over the top two bits of each.
bool TStreamIdentity::SetNoteConfig(std::string_view text)
{
    const std::size_t n = boundedLength(text, kNoteLength);
    int c[kNoteLength] = {};
    for (std::size_t i = 0; i < n; ++i)
        c[i] = static_cast<unsigned char>(text[i]) - 32;
    if (self().WriteThrough) {
        for (int g = 0; g < kNoteLength / 4; ++g) {
            const int* q = c + g * 4;
            const std::int32_t bytes[3] = {((q[0] & 0x3) << 6) | (q[1] & 0x3f), ((q[0] & 0xc) << 4) | (q[2] & 0x3f),
                                           ((q[0] & 0x30) << 2) | (q[3] & 0x3f)};
            for (int k = 0; k < 3; ++k)
                if (!self().Protocol()->WriteElement(kNoteElementCode, g * 3 + k, bytes[k]))
                    return false;
        }
    }
    storeText(self().NoteConfig, text, kNoteLength);
    self().Modified = 1;
    ClearMarker(self());
    return true;
}

bool TStreamIdentity::SetDescription(int kind, std::string_view text)
{
    switch (kind) {
    case 1: storeText(self().DescrizAuto, text, 50); break;
    case 2: storeText(self().Euro, text, 10); break;
    case 3: storeText(self().Motore, text, 50); break;
    case 4: storeText(self().Centralina, text, 50); break;
    case 5: storeText(self().Cambio, text, 50); break;
    default: return false;
    }
    self().Modified = 1;
    ClearMarker(self());
    return true;
}

bool TStreamIdentity::SaveConfigurationAs(const QString& fileName, std::string_view name)
{
    // The file carries the name as its vehicle description and no official
    // mark, as if they were stored already; the image takes them only once
    // the file is saved, so that a failed save leaves it as it was.
    const auto description = self().DescrizAuto;
    std::int32_t& mark = self().Item(dm::kVehicleDescriptionCode)[0];
    const std::int32_t markBefore = mark;
    storeText(self().DescrizAuto, name, self().DescrizAuto.size() - 1);
    mark &= ~dm::kOfficialMark;
    const bool saved =
        self().TransferData(TStreamDati::TRANSFER_SAVE, fileName, 0, TStreamDati::TRANSFER_ALL_GROUPS, 1, 0);
    self().DescrizAuto = description;
    mark = markBefore;
    if (!saved)
        return false;
    const bool named = SetNomeConfigurazione(name);
    SetUfficiale(false);
    SetDescription(1, name);
    // The image is now what the file holds, unless the ECU refused the name.
    if (named && !GetUfficiale())
        self().Modified = 0;
    return true;
}
