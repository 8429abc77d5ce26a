#pragma once
// The checks before a firmware download and the codes of its failures: the
// boot identity against the chosen file, the firmware file itself, the
// image's metadata, and the protocol library's programming result.
#include "product/firmware/WholeImage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class TEcuProtocol;

namespace qz::firmware {

// Error codes of the programming procedure that are not programming results.
inline constexpr char kErrDetectFailed[] = "P01";   // DetectEcu failed
inline constexpr char kErrWrongExtension[] = "P02"; // the file does not fit the boot identity
inline constexpr char kErrCannotOpen[] = "P03";     // the file cannot be opened
inline constexpr char kErrNotAContainer[] = "P04";  // not an encrypted container, or unreadable, or
                                                    // an image that is not whole

// --- Boot identity ---------------------------------------------------------------

// The model byte: the boot id's low byte.
std::uint8_t ModelByteOf(std::uint32_t bootId);
// The ECU type: bootId >> 8 for 0x1E00..0x4FFF, the extra value's low byte
// for 0x0300..0x03FF, none otherwise.
std::optional<int> EcuTypeFromBoot(std::uint32_t bootId, std::uint16_t bootExtra);
// Model bytes 5, 253, 255 and 37.
bool IsAcceptedModelByte(int modelByte);
// Types 30, 31, 37, 38, 50, 53, 54, 55, 56 and 79.
bool IsProgrammableEcuType(int type);

// The extension of a file name, from the last dot of its name (the folders
// left out), dot included; empty when the name has no dot.
QString FirmwareExtensionOf(const QString& fileName);
// The extension (dot included) is "." + FirmwareFileExtension(type) of the
// boot identity's type, letter case included, and the model byte and the type
// are accepted ones.
bool FirmwareFileMatchesEcu(const QString& extension, std::uint32_t bootId, std::uint16_t bootExtra);

// --- The firmware file -----------------------------------------------------------

// Firmware files are far smaller; anything bigger is not one.
inline constexpr qint64 kMaxFirmwareFileSize = 16 * 1024 * 1024;

enum class TFirmwareLoadError {
    None,
    CannotOpen,     // P03
    NotAContainer,  // P04: wrong header, too short, too large or unreadable, or an image
                    // with a damaged S-record
};

struct TFirmwareLoad {
    TFirmwareLoadError error = TFirmwareLoadError::None;
    // The image as the programming call takes it: the text's byte count
    // (32 bits, little-endian), then the decrypted S-record text.
    QByteArray image;
    bool Ok() const { return error == TFirmwareLoadError::None; }
    // "P03" or "P04"; empty on success.
    const char* Code() const;
};

// Opens the file, compares its header text, decrypts the container and
// checks every S-record of the image (CheckSRecords).
TFirmwareLoad LoadFirmwareFile(const QString& fileName);

// --- The image check ---------------------------------------------------------------

// The program's version as major * 256 + minor; 0 when it has none.
int ProgramVersionNumber();
// The hardware variant read from the ECU now, fallback when the read fails.
int ReadHardwareVariant(TEcuProtocol* protocol, int fallback);

// 0 accepted; 1 broken consistency (or no readable metadata), 2 another ECU
// type, 3 the hardware variant is not supported, 4 an image version below
// the type's minimum for a personalised ECU, 5 the program is too old for the
// image, 6 (boot mode) or 7 not exactly three S0 records.
// image: the buffer of LoadFirmwareFile; every scan stays inside both its
// byte count and the buffer. hardwareVariant is asked only when the check
// gets to the variant.
int CheckFirmwareImage(int pers, QByteArrayView image, std::uint32_t bootId, std::uint16_t bootExtra,
                       const std::function<int()>& hardwareVariant, int programVersion);

// --- The image as a whole -----------------------------------------------------------

struct TWholeImageCheck {
    TApplicationRange range; // of the boot identity's ECU type; empty when it has none
    TImageVerdict verdict;
    bool Ok() const { return verdict.Ok(); }
    // What is wrong and where, for the log.
    std::string Reason() const { return DescribeImageVerdict(verdict, range); }
};

// The records of the image (the buffer of LoadFirmwareFile, its text cut at
// the stated byte count and the buffer's end) as a whole (CheckWholeImage),
// for the application range of the boot identity's ECU type. Run after the
// image check, before anything is sent.
TWholeImageCheck CheckWholeFirmwareImage(QByteArrayView image, std::uint32_t bootId, std::uint16_t bootExtra);

// --- Codes and messages ------------------------------------------------------------

// The code of a programming result: empty for 0, "P05" for 1, "P06" for 2,
// "P07" to "P11" for -1 to -5, "P" + (-r) below -999, "P12" otherwise.
QString ProgrammingErrorCode(int result);
// "P13/" + n.
QString ImageCheckErrorCode(int result);
// body + "\n(ERR.CODE: " + code + ")".
QString WithErrorCode(const QString& body, const QString& code);

} // namespace qz::firmware
