#include "FirmwareImage.h"

#include "complib/EcuProtocol.h"
#include "datamodule/files/EncryptedContainer.h"
#include "product/constants/BuildConstants.h"
#include "product/firmware/FirmwareMeta.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace qz::firmware {

namespace {

// The text of an image buffer: the stated byte count after the 4-byte
// prefix, and never more than the buffer holds.
std::string_view imageText(QByteArrayView image)
{
    if (image.size() < 4)
        return {};
    const auto* b = reinterpret_cast<const std::uint8_t*>(image.data());
    const std::uint32_t stated = b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    const auto held = static_cast<std::uint64_t>(image.size() - 4);
    return std::string_view(image.data() + 4, static_cast<std::size_t>(std::min<std::uint64_t>(stated, held)));
}

} // namespace

std::uint8_t ModelByteOf(std::uint32_t bootId)
{
    return static_cast<std::uint8_t>(bootId & 0xFF);
}

std::optional<int> EcuTypeFromBoot(std::uint32_t bootId, std::uint16_t bootExtra)
{
    if (bootId >= 0x1E00 && bootId <= 0x4FFF)
        return static_cast<int>(bootId >> 8);
    if (bootId >= 0x0300 && bootId <= 0x03FF)
        return bootExtra & 0xFF;
    return std::nullopt;
}

bool IsAcceptedModelByte(int modelByte)
{
    return modelByte == 5 || modelByte == 253 || modelByte == 255 || modelByte == 37;
}

bool IsProgrammableEcuType(int type)
{
    static constexpr int kTypes[] = {30, 31, 37, 38, 50, 53, 54, 55, 56, 79};
    return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

QString FirmwareExtensionOf(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

bool FirmwareFileMatchesEcu(const QString& extension, std::uint32_t bootId, std::uint16_t bootExtra)
{
    if (!IsAcceptedModelByte(ModelByteOf(bootId)))
        return false;
    const std::optional<int> type = EcuTypeFromBoot(bootId, bootExtra);
    if (!type || !IsProgrammableEcuType(*type))
        return false;
    return extension == u'.' + QString::fromLatin1(FirmwareFileExtension(static_cast<unsigned>(*type)));
}

const char* TFirmwareLoad::Code() const
{
    switch (error) {
    case TFirmwareLoadError::CannotOpen: return kErrCannotOpen;
    case TFirmwareLoadError::NotAContainer: return kErrNotAContainer;
    default: return "";
    }
}

TFirmwareLoad LoadFirmwareFile(const QString& fileName)
{
    TFirmwareLoad r;
    QFile file(fileName);
    if (fileName.isEmpty() || QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly)) {
        r.error = TFirmwareLoadError::CannotOpen;
        return r;
    }
    char header[files::kContainerHeaderLength];
    const bool sized = !file.isSequential() && file.size() <= kMaxFirmwareFileSize;
    if (!sized || file.read(header, sizeof header) != static_cast<qint64>(sizeof header)
        || std::memcmp(header, files::kContainerHeader, sizeof header) != 0) {
        r.error = TFirmwareLoadError::NotAContainer;
        return r;
    }
    file.close();
    QByteArray image;
    // The reader refuses a container shorter than its 166-byte head. A file
    // that grew since it was measured is refused as well.
    if (!files::DecryptContainerFile(fileName, image) || image.size() < 4
        || image.size() - 4 > kMaxFirmwareFileSize - files::kContainerBodyOffset) {
        r.error = TFirmwareLoadError::NotAContainer;
        return r;
    }
    // A damaged image is never sent: every record must be whole.
    if (!CheckSRecords(std::string_view(image.constData() + 4, static_cast<std::size_t>(image.size() - 4)))) {
        r.error = TFirmwareLoadError::NotAContainer;
        return r;
    }
    r.image = std::move(image);
    return r;
}

int ProgramVersionNumber()
{
    char16_t text[20] = {};
    GetExeFileVersion(text);
    std::string ascii;
    for (char16_t c : text) {
        if (c == 0)
            break;
        ascii.push_back(c < 128 ? static_cast<char>(c) : '?');
    }
    // "a.b.c.d": a * 256 + b.
    unsigned major = 0, minor = 0;
    const char* p = ascii.data();
    const char* end = ascii.data() + ascii.size();
    auto r1 = std::from_chars(p, end, major);
    if (r1.ec != std::errc() || r1.ptr == p)
        return 0;
    if (r1.ptr < end && *r1.ptr == '.') {
        auto r2 = std::from_chars(r1.ptr + 1, end, minor);
        if (r2.ec != std::errc())
            minor = 0;
    }
    return static_cast<int>(std::min(major, 0xFFu) * 256 + std::min(minor, 0xFFu));
}

int ReadHardwareVariant(TEcuProtocol* protocol, int fallback)
{
    std::int32_t v = 0;
    if (protocol && protocol->ReadItem(qz::kHardwareVariantCode, &v))
        return v;
    return fallback;
}

int CheckFirmwareImage(int pers, QByteArrayView image, std::uint32_t bootId, std::uint16_t bootExtra,
                       const std::function<int()>& hardwareVariant, int programVersion)
{
    const int h = static_cast<int>((bootId >> 8) & 0xFF);
    const TS0Scan scan = ScanS0Records(imageText(image));
    if (scan.s0Count != 3)
        return h == 3 ? 6 : 7;
    const TMetaResult meta = DecodeMetaRow(scan.row2);
    if (!meta.Ok())
        return 1;
    const TFirmwareMeta& m = meta.meta;
    if (h != 3) {
        if (m.type != h)
            return 2;
        const int v = hardwareVariant ? hardwareVariant() : 0;
        const unsigned bit = static_cast<unsigned>(v) & 31;
        if (bit >= 8 || ((m.variantMask >> bit) & 1) == 0)
            return 3;
        if (pers > 1 && pers < 0x10000) {
            int minimum = 0;
            switch (m.type) {
            case 30: minimum = 0x1E00; break;
            case 31: minimum = 0x2900; break;
            case 50: minimum = 0x0A15; break;
            default: break;
            }
            if (m.version < minimum)
                return 4;
        }
    } else if (m.type != (bootExtra & 0xFF)) {
        return 2;
    }
    if (programVersion < m.minProgramVersion)
        return 5;
    return 0;
}

TWholeImageCheck CheckWholeFirmwareImage(QByteArrayView image, std::uint32_t bootId, std::uint16_t bootExtra)
{
    TWholeImageCheck r;
    const std::optional<int> type = EcuTypeFromBoot(bootId, bootExtra);
    r.range.ecuType = type.value_or(0);
    if (type)
        r.range = ApplicationRangeOf(*type).value_or(r.range);
    r.verdict = CheckWholeImage(imageText(image), r.range);
    return r;
}

QString ProgrammingErrorCode(int result)
{
    if (result == 0)
        return {};
    if (result == 1)
        return QStringLiteral("P05");
    if (result == 2)
        return QStringLiteral("P06");
    if (result >= -5 && result <= -1)
        return QStringLiteral("P%1").arg(6 - result, 2, 10, QLatin1Char('0'));
    if (result < -999)
        return u'P' + QString::number(-static_cast<qint64>(result));
    return QStringLiteral("P12");
}

QString ImageCheckErrorCode(int result)
{
    return QStringLiteral("P13/") + QString::number(result);
}

QString WithErrorCode(const QString& body, const QString& code)
{
    return body + QStringLiteral("\n(ERR.CODE: ") + code + u')';
}

} // namespace qz::firmware
