#pragma once
// Firmware images: S-record text whose second of exactly three S0 records
// carries the image's metadata. Shared by the program (the checks before a
// download), the simulated ECU (what it adopts after one) and the tool that
// writes firmware files. Plain C++, no toolkit.
//
// The metadata are the first ten bytes of the second S0 record (its byte
// count, its two address bytes and its first seven data bytes, the first 20
// hexadecimal characters after "S0"):
//
//   byte 0      the record's real byte count (the record stays a valid S-record)
//   byte 1      salt, any value
//   byte 2      check byte: CheckByteFor(salt)
//   byte 3      ECU type the image is for
//   byte 4      variant mask: bit v set = hardware variant v supported
//   bytes 5, 6  image version, high byte first (major * 256 + minor)
//   bytes 7, 8  minimum program version, high byte first (major * 256 + minor)
//   byte 9      reserved, 0
//
// Bytes 1 to 9 are stored XORed with kMetaMasks.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qz::firmware {

struct TFirmwareMeta {
    std::uint8_t type = 0;
    std::uint8_t variantMask = 0;
    std::uint16_t version = 0;
    std::uint16_t minProgramVersion = 0;
    std::uint8_t salt = 0;
};

inline constexpr int kMetaBytes = 10;
inline constexpr int kMetaRowChars = 2 * kMetaBytes;
inline constexpr std::array<std::uint8_t, 9> kMetaMasks = {0x5C, 0xE1, 0x39, 0xA4, 0x72, 0x0D, 0xC6, 0x8B, 0x17};

// The consistency relation: the check byte that belongs to a salt.
std::uint8_t CheckByteFor(std::uint8_t salt);

// The ten bytes as the record holds them (bytes 1 to 9 scrambled).
std::array<std::uint8_t, kMetaBytes> EncodeMetaBytes(const TFirmwareMeta& meta, std::uint8_t countByte);

enum class TMetaStatus {
    Ok,
    NotHex,       // fewer than 20 characters, or not all hexadecimal
    Inconsistent, // the check byte does not belong to the salt
};
struct TMetaResult {
    TMetaStatus status = TMetaStatus::NotHex;
    TFirmwareMeta meta;
    bool Ok() const { return status == TMetaStatus::Ok; }
};
// Decodes the first 20 characters of a row (more are ignored).
TMetaResult DecodeMetaRow(std::string_view row);

// The S0 rows of an image text: at "S0" a new row starts, at "S" followed by
// any other character the scan stops, every other character goes into the
// current row while it holds fewer than 20. The end of the text counts as the
// end of the records. Row 0 is what stands before the first "S0".
struct TS0Scan {
    int s0Count = 0;
    std::string row2; // the second S0 record's first (up to) 20 characters
};
TS0Scan ScanS0Records(std::string_view text);

// --- S-records ------------------------------------------------------------------

struct TSRecord {
    char kind = '0'; // '0' .. '9'
    std::uint32_t address = 0;
    std::vector<std::uint8_t> data;
};

// Address bytes of a record kind; 0 for '4' and anything that is no kind.
int AddressBytes(char kind);
// Ones' complement of the low byte of the sum of count, address and data bytes.
std::uint8_t SRecordChecksum(std::span<const std::uint8_t> countAddressData);

// One record without line end; badChecksum writes a wrong checksum.
std::string FormatSRecord(char kind, std::uint32_t address, std::span<const std::uint8_t> data,
                          bool badChecksum = false);
// A record from its raw bytes (count first, checksum last), hex-encoded.
std::string FormatSRecordBytes(char kind, std::span<const std::uint8_t> countAddressData, bool badChecksum = false);

enum class TSRecordError { None, NotARecord, BadKind, NotHex, BadLength, BadChecksum };
// One line without its line end.
TSRecordError ParseSRecord(std::string_view line, TSRecord& out);

// One line of an image text and how it ends.
enum class TLineEnd { None, CrLf, Lf, Cr }; // None: the text ends the line
struct TTextLine {
    std::string_view text; // without its line end
    TLineEnd end = TLineEnd::None;
};
// The line that starts at pos; pos moves past its line end. A CR followed by
// LF is one line end, a CR alone is one too.
TTextLine NextLine(std::string_view text, std::size_t& pos);

// Every record of an image text, before anything of it is sent: lines end
// with CR LF, LF or CR, blank lines are passed over, every other line must
// parse (its kind, its length, hexadecimal digits only, its checksum), and
// there is at least one record. On failure badLine, when given, gets the line
// (from 1) and error what was wrong with it.
bool CheckSRecords(std::string_view text, std::size_t* badLine = nullptr, TSRecordError* error = nullptr);

// --- Writing images ----------------------------------------------------------------

struct TImageSpec {
    TFirmwareMeta meta;
    int s0Records = 3;             // the metadata go into the second one
    bool breakConsistency = false; // a check byte that does not fit the salt
    bool breakChecksum = false;    // one data record with a wrong checksum
    std::uint32_t loadAddress = 0x4000;
    std::size_t dataBytes = 4096;
    std::string title = "QZ FIRMWARE";
};

// The image text: S0 records, S2 data records of 32 bytes, an S5 count and
// an S8 end record; lines end in CR LF.
std::string WriteFirmwareImage(const TImageSpec& spec);

// "a.b" -> a * 256 + b (each 0 to 255); false when it does not parse.
bool ParseVersionNumber(std::string_view text, std::uint16_t& out);

} // namespace qz::firmware
