#pragma once
// The one-line description of the operating system that a saved configuration
// file records (key "Prt0002" of section "Sez0000"). On Windows it is built
// from the version record and, on early NT systems, from the registry value
// ProductOptions\ProductType; elsewhere it is the running system's own name.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace qz::files {

// Every failure yields this text; also the field's value before a save.
inline constexpr char kUnknownWindowsText[] = "Windows xxxx";
// Room of the data module's field, without its terminating zero.
inline constexpr int kWindowsTextFieldLength = 80;

// What the version calls answer.
struct TOsVersionRecord {
    bool extended = false;      // the extended record was obtained
    std::uint32_t platformId = 0; // 1 the 95 family, 2 the NT family
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;    // only the low 16 bits count
    QString servicePack;        // the service-pack text
    std::uint16_t suiteMask = 0;   // extended record only
    std::uint8_t productType = 0;  // extended record only: 1 workstation, 3 server
};

// The registry value ProductType of
// HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\ProductOptions; none
// when the key cannot be opened or the value cannot be read.
using TProductTypeReader = std::function<std::optional<QString>()>;

// The description for a version record; none means both version calls
// failed. The reader is asked only for an NT system that gave the plain
// record.
QString FormatWindowsVersionText(const std::optional<TOsVersionRecord>& record,
                                 const TProductTypeReader& productType);

// The description of the running system.
QString GetWindowsVersionText();

// The data module's field: at most 80 characters, each cut to its low byte.
QByteArray WindowsTextField(const QString& text);

} // namespace qz::files
