// Loading the whole image from a configuration file or a built-in set, and
// saving it to a configuration file: the containers opened and closed, a
// block's defaults and keys, the key and default shapes of a block, and the
// load and save steps of the K-map size, the note, the vehicle description,
// the pressure-difference coefficients, the injector pair and the version
// texts.
#include "TransferWalk.h"

#include "datamodule/core/ItemLimits.h"
#include "product/constants/BuildConstants.h"

#include "datamodule/files/WindowsVersionText.h"

#include <QFileInfo>
#include <charconv>

namespace {

const char kFirmwareDefault[] = "xxx.xx";
const char kProgramDefault[] = "xx.xx.xx.xxxx";
const char kWindowsDefault[] = "Windows xxxx";

template <std::size_t N>
QByteArrayView textOf(const std::array<char, N>& field)
{
    return QByteArrayView(field.data(), static_cast<qsizetype>(strnlen(field.data(), N)));
}

QByteArray decimal(long long v)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return QByteArray(buf, r.ptr - buf);
}

// A key name built on the stack: a stem and the decimal numbers of an
// element or a cell ("Prt00030", "MappaK3_11").
class KeyText {
public:
    KeyText(const char* stem, int i) { add(stem).add(i); }
    KeyText(const char* stem, int r, int c) { add(stem).add(r).add("_").add(c); }
    operator QAnyStringView() const { return QLatin1StringView(buf_, n_); }

private:
    KeyText& add(const char* text)
    {
        while (*text && n_ < kSize)
            buf_[n_++] = *text++;
        return *this;
    }
    KeyText& add(int v)
    {
        n_ = static_cast<int>(std::to_chars(buf_ + n_, buf_ + kSize, v).ptr - buf_);
        return *this;
    }
    static constexpr int kSize = 64;
    char buf_[kSize];
    int n_ = 0;
};

KeyText keyName(const char* stem, int i) { return KeyText(stem, i); }
KeyText cellKey(const char* stem, int r, int c) { return KeyText(stem, r, c); }

} // namespace

// ---- the containers ---------------------------------------------------------

void TStreamDati::TransferWalk::OpenContainers(const QString& fileName, std::int32_t resource) const
{
    if (flags & (TRANSFER_LOAD | TRANSFER_SAVE)) {
        if (resource != 0) {
            d.OpenResourceContainer(resource);
        } else if (!fileName.isEmpty()) {
            d.SetFileName(fileName);
            d.OpenFileContainer(!(flags & TRANSFER_SAVE));
        }
    }
    if (flags & TRANSFER_LOAD_RES2)
        d.OpenResourceContainer2(resource);
}

void TStreamDati::TransferWalk::CloseContainers(const QString& fileName, std::int32_t resource) const
{
    if (flags & (TRANSFER_LOAD | TRANSFER_SAVE)) {
        if (resource != 0)
            d.DeleteTempFile();
        else if (!fileName.isEmpty())
            d.CloseFileContainer(!(flags & TRANSFER_SAVE));
    }
    if (flags & TRANSFER_LOAD_RES2)
        d.DeleteTempFile2();
}

// ---- shapes -------------------------------------------------------------------

// Elements that get their defaults, and the keys read and written.
int TStreamDati::TransferWalk::DefaultCount(const Block& b, int elements) const
{
    switch (b.no) {
    case 8: case 89: return s.NumeroRighe;
    case 9: case 10: case 90: return s.NumeroColonne;
    default: return elements;
    }
}

int TStreamDati::TransferWalk::KeyCount(const Block& b, int elements) const
{
    switch (b.no) {
    case 8: case 9: case 10: return 12;
    case 89: return s.NumeroRighe;
    case 90: return s.NumeroColonne;
    default: return elements;
    }
}

int TStreamDati::TransferWalk::CellsLoaded(const Block& b) const
{
    return (b.no == 11 || b.no == 88) ? s.NumeroColonne : dm::CodeElements(b.code);
}

int TStreamDati::TransferWalk::CellsSaved(const Block& b) const
{
    return b.no == 11 ? 12 : (b.no == 88 ? s.NumeroColonne : dm::CodeElements(b.code));
}

const char* TStreamDati::TransferWalk::SectionOf(const Block& b, int element) const
{
    return (b.hook == Hook::KFiltro && element == 1) ? "Emulazione" : b.section;
}

std::int32_t TStreamDati::TransferWalk::DefaultValue(const Default& def) const
{
    switch (def.kind) {
    case Default::Raw: return static_cast<std::int32_t>(def.x);
    case Default::Ms: return TimeUnits(def.x);
    case Default::TenthMs: return dm::transfer::TenthTimeUnits(def.x, TimeBase());
    case Default::GasC: return s.GasTable.ToCount(def.x);
    case Default::EngineC: return s.EngineTable.ToCount(def.x);
    }
    return 0;
}

// ---- a block's item ----------------------------------------------------------

void TStreamDati::TransferWalk::LoadDefaults(const Block& b, std::int32_t* v, int rows, int stride, int elements) const
{
    if (b.hook == Hook::MapK || b.hook == Hook::PetrolFilter) {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < CellsLoaded(b); ++c)
                v[r * stride + c] = b.hook == Hook::MapK ? dm::transfer::DefaultMapK(r, c)
                                                         : dm::transfer::DefaultPetrolFilter(r, c);
        return;
    }
    if (b.hook == Hook::MapRpmAxis) {
        const int n = std::max(1, s.NumeroColonne);
        for (int i = 0; i < DefaultCount(b, elements); ++i)
            v[i] = 6000 * (i + 1) / n;
        return;
    }
    if (b.hook == Hook::RailPressure) {
        static constexpr std::int32_t cng[12] = {1800, 1800, 1900, 2000, 2000, 2000,
                                                 2100, 2100, 2100, 2140, 2140, 2200};
        static constexpr std::int32_t lpg[12] = {1000, 1000, 1040, 1100, 1140, 1180,
                                                 1240, 1300, 1300, 1340, 1400, 1440};
        std::copy_n(FuelIsCng() ? cng : lpg, 12, v);
        return;
    }
    const int cols = b.ecu == Ecu::Rows ? dm::CodeElements(b.code) : DefaultCount(b, elements);
    int k = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c, ++k) {
            const Default& def = b.defaults[std::min<std::size_t>(static_cast<std::size_t>(k), b.defaults.size() - 1)];
            v[r * stride + c] = DefaultValue(def);
        }
}

// A value from the file goes into element `index` of the item of code
// only when the element can hold it; a damaged one leaves the default
// in place and is counted.
bool TStreamDati::TransferWalk::ReadValue(std::int32_t& to, QAnyStringView key, const char* section, std::int32_t code,
                                          int index) const
{
    return d.ReadIniInteger(to, key, QLatin1StringView(section),
                            [code, index](std::int32_t v) { return dm::ElementCanHold(code, index, v); });
}

void TStreamDati::TransferWalk::ReadKeys(const Block& b, std::int32_t code, std::int32_t* v, int rows, int stride,
                                         int elements) const
{
    switch (b.keys) {
    case Keys::None: return;
    case Keys::Listed:
        for (std::size_t i = 0; i < b.listed.size(); ++i)
            ReadValue(v[i], QLatin1StringView(b.listed[i]), SectionOf(b, static_cast<int>(i)), code,
                      static_cast<int>(i));
        return;
    case Keys::Indexed:
        for (int i = 0, n = KeyCount(b, elements); i < n; ++i)
            ReadValue(v[i], keyName(b.key, i), b.section, code, i);
        return;
    case Keys::Table:
        for (int r = 0; r < rows; ++r)
            for (int c = 0, n = CellsLoaded(b); c < n; ++c)
                ReadValue(v[r * stride + c], cellKey(b.key, r, c), b.section, code, c);
        return;
    }
}

void TStreamDati::TransferWalk::WriteKeys(const Block& b, const std::int32_t* v, int rows, int stride,
                                          int elements) const
{
    switch (b.keys) {
    case Keys::None: return;
    case Keys::Listed:
        for (std::size_t i = 0; i < b.listed.size(); ++i)
            d.WriteIniInteger(v[i], b.listed[i], SectionOf(b, static_cast<int>(i)));
        return;
    case Keys::Indexed:
        for (int i = 0, n = KeyCount(b, elements); i < n; ++i)
            d.WriteIniInteger(v[i], keyName(b.key, i), b.section);
        return;
    case Keys::Table:
        for (int r = 0; r < rows; ++r)
            for (int c = 0, n = CellsSaved(b); c < n; ++c)
                d.WriteIniInteger(v[r * stride + c], cellKey(b.key, r, c), b.section);
        return;
    }
}

void TStreamDati::TransferWalk::AfterLoad(const Block& b, std::int32_t* v) const
{
    switch (b.hook) {
    case Hook::Flags12: Flags12(v); break;
    case Hook::SafeDelay:
        if (Ms(*v) < 0.1)
            *v = TimeUnits(2);
        break;
    case Hook::Item24f: ReplaceZeroTime(v); break;
    case Hook::KNeutral: *v = std::min(*v, 85); break;
    default: break;
    }
}

// ---- the blocks' own steps ---------------------------------------------------

void TStreamDati::TransferWalk::LoadMapSize(const Block& b) const
{
    s.NumeroRighe = qz::NumeroRigheMappaK();
    s.NumeroColonne = qz::NumeroColonneMappaK();
    std::int32_t rows = s.NumeroRighe, cols = s.NumeroColonne;
    d.ReadIniInteger(rows, b.listed[0], b.section, MapSizeFits);
    d.ReadIniInteger(cols, b.listed[1], b.section, MapSizeFits);
    TakeMapSize(cols, rows);
}

void TStreamDati::TransferWalk::SaveMapSize(const Block& b) const
{
    d.WriteIniInteger(s.NumeroRighe, b.listed[0], b.section);
    d.WriteIniInteger(s.NumeroColonne, b.listed[1], b.section);
}

void TStreamDati::TransferWalk::LoadNote() const
{
    s.NoteConfig.fill('\0');
    d.ReadIniRow(std::span<char>(s.NoteConfig.data(), s.NoteConfig.size()), "NoteConfig", "Generale", 0);
    Progress(kNoteProgress);
}

void TStreamDati::TransferWalk::SaveNote() const
{
    d.WriteIniString(textOf(s.NoteConfig), "NoteConfig", "Generale");
    Progress(kNoteProgress);
}

void TStreamDati::TransferWalk::LoadDescription(std::int32_t* e)
{
    const char* g = "Generale";
    e[0] = 0x80;
    e[1] = 0;
    static const char standard[] = "Standard";
    for (int i = 0; i < 28; ++i)
        e[2 + i] = i < 8 ? standard[i] : 0;
    char buffer[30] = {};
    if (d.ReadIniRow(std::span<char>(buffer, sizeof buffer), "DescrizAuto", g, 30))
        for (int i = 0; i < 28; ++i)
            e[2 + i] = static_cast<unsigned char>(buffer[i]);
    std::uint8_t official = 1;
    d.ReadIniBool(official, "Ufficiale", g);
    e[0] = official ? (e[0] | 0x80) : (e[0] & ~0x80);
    ResetDescription();
    d.ReadIniRow(std::span<char>(s.DescrizAuto), "DescrizAuto", g, 51);
    d.ReadIniRow(std::span<char>(s.Euro), "Euro", g, 11);
    d.ReadIniInteger(s.CentCubici, "CentCubici", g);
    d.ReadIniInteger(s.Valvole, "Valvole", g);
    d.ReadIniInteger(s.NCilindri, "N cilindri", g);
    std::int32_t power = 0;
    if (d.ReadIniInteger(power, "Potenza", g))
        s.Potenza = static_cast<float>(power * 0.01);
    d.ReadIniRow(std::span<char>(s.Motore), "Motore", g, 51);
    d.ReadIniRow(std::span<char>(s.Centralina), "Centralina", g, 51);
    d.ReadIniRow(std::span<char>(s.Cambio), "Cambio", g, 51);
    d.ReadIniInteger(s.AnnoVettura, "AnnoVettura", g);
}

void TStreamDati::TransferWalk::SaveDescription(const std::int32_t* e)
{
    const char* g = "Generale";
    d.WriteIniByte((e[0] & 0x80) ? 1 : 0, "Ufficiale", g);
    d.WriteIniString(QFileInfo(d.container().files.FileName()).fileName().toLocal8Bit(), "NomeConfigurazione", g);
    d.WriteIniString(textOf(s.DescrizAuto), "DescrizAuto", g);
    d.WriteIniString(textOf(s.Euro), "Euro", g);
    d.WriteIniInteger(s.CentCubici, "CentCubici", g);
    d.WriteIniInteger(s.Valvole, "Valvole", g);
    d.WriteIniInteger(s.NCilindri, "N cilindri", g);
    d.WriteIniInteger(dm::RoundToInt(static_cast<double>(s.Potenza) * 100), "Potenza", g);
    d.WriteIniString(textOf(s.Motore), "Motore", g);
    d.WriteIniString(textOf(s.Centralina), "Centralina", g);
    d.WriteIniString(textOf(s.Cambio), "Cambio", g);
    d.WriteIniInteger(s.AnnoVettura, "AnnoVettura", g);
    d.WriteIniInteger(1, "VersioneFile", g);
}

void TStreamDati::TransferWalk::LoadCoeffPressDiff(const Block& b, std::int32_t* v) const
{
    std::uint8_t& byteForm = s.CoeffPressDiffByte;
    byteForm = 1;
    for (int i = 0; i < 15; ++i)
        v[i] = DefaultValue(b.defaults[static_cast<std::size_t>(i)]);
    // The form first: the values must fit the item in that form.
    d.ReadIniBool(byteForm, "CoeffPressDiffByte", b.section);
    const std::int32_t form = byteForm == 1 ? dm::kCoeffPressDiffByte : dm::kCoeffPressDiffWord;
    for (int i = 0; i < 15; ++i)
        ReadValue(v[i], keyName(b.key, i), b.section, form, i);
    CoeffPressDiffToWord(v);
}

void TStreamDati::TransferWalk::SaveCoeffPressDiff(const Block& b, const std::int32_t* v) const
{
    const std::uint8_t& byteForm = s.CoeffPressDiffByte;
    for (int i = 0; i < 15; ++i)
        d.WriteIniInteger(v[i], keyName(b.key, i), b.section);
    d.WriteIniByte(byteForm, "CoeffPressDiffByte", b.section);
}

void TStreamDati::TransferWalk::LoadInjector(const Block& b, std::int32_t* v) const
{
    v[0] = v[1] = 0;
    ReadValue(v[1], b.listed[0], b.section, 0x2194, 1);
    v[0] = v[1];
}

void TStreamDati::TransferWalk::ResetVersionTexts() const
{
    SetText(s.VersioneFirmware, kFirmwareDefault);
    SetText(s.VersioneProgramma, kProgramDefault);
    SetText(s.VersioneWindows, kWindowsDefault);
}

void TStreamDati::TransferWalk::LoadClosing(std::int32_t* date) const
{
    const char* section = "Sez0000";
    ResetVersionTexts();
    *date = 36526;
    d.ReadIniRow(std::span<char>(s.VersioneFirmware), "Prt0000", section, 0);
    d.ReadIniRow(std::span<char>(s.VersioneProgramma), "Prt0001", section, 0);
    d.ReadIniRow(std::span<char>(s.VersioneWindows), "Prt0002", section, 0);
}

void TStreamDati::TransferWalk::SaveClosing() const
{
    const char* section = "Sez0000";
    ResetVersionTexts();
    SetText(s.VersioneFirmware, decimal(d.EcuInfo.FirmwareMajor) + '.' + decimal(d.EcuInfo.FirmwareMinor));
    char16_t version[20] = {};
    std::copy_n(u"xx.xx.xx.xxxx", 14, version);
    qz::GetExeFileVersion(version);
    SetText(s.VersioneProgramma, QString::fromUtf16(version).toLatin1().left(20));
    SetText(s.VersioneWindows, qz::files::WindowsTextField(qz::files::GetWindowsVersionText()));
    d.WriteIniString(textOf(s.VersioneFirmware), "Prt0000", section);
    d.WriteIniString(textOf(s.VersioneProgramma), "Prt0001", section);
    d.WriteIniString(textOf(s.VersioneWindows), "Prt0002", section);
}
