#include "FirmwareMeta.h"

#include <algorithm>
#include <charconv>

namespace qz::firmware {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void appendHex(std::string& out, std::uint8_t b)
{
    out.push_back(kHexDigits[b >> 4]);
    out.push_back(kHexDigits[b & 0x0F]);
}

std::string textRecord(std::string_view text)
{
    // An S0 record holds at most 252 data bytes; titles are far shorter.
    const std::string_view t = text.substr(0, 64);
    const std::vector<std::uint8_t> data(t.begin(), t.end());
    return FormatSRecord('0', 0, data);
}

} // namespace

std::uint8_t CheckByteFor(std::uint8_t salt)
{
    const auto rotated = static_cast<std::uint8_t>((salt << 3) | (salt >> 5));
    return static_cast<std::uint8_t>(rotated ^ 0xA7);
}

std::array<std::uint8_t, kMetaBytes> EncodeMetaBytes(const TFirmwareMeta& meta, std::uint8_t countByte)
{
    std::array<std::uint8_t, kMetaBytes> b{};
    b[0] = countByte;
    b[1] = meta.salt;
    b[2] = CheckByteFor(meta.salt);
    b[3] = meta.type;
    b[4] = meta.variantMask;
    b[5] = static_cast<std::uint8_t>(meta.version >> 8);
    b[6] = static_cast<std::uint8_t>(meta.version & 0xFF);
    b[7] = static_cast<std::uint8_t>(meta.minProgramVersion >> 8);
    b[8] = static_cast<std::uint8_t>(meta.minProgramVersion & 0xFF);
    b[9] = 0;
    for (std::size_t i = 1; i < kMetaBytes; ++i)
        b[i] ^= kMetaMasks[i - 1];
    return b;
}

TMetaResult DecodeMetaRow(std::string_view row)
{
    TMetaResult r;
    if (row.size() < static_cast<std::size_t>(kMetaRowChars))
        return r;
    std::array<std::uint8_t, kMetaBytes> b{};
    for (std::size_t i = 0; i < kMetaBytes; ++i) {
        const int hi = hexValue(row[2 * i]);
        const int lo = hexValue(row[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return r;
        b[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    for (std::size_t i = 1; i < kMetaBytes; ++i)
        b[i] ^= kMetaMasks[i - 1];
    r.meta.salt = b[1];
    r.meta.type = b[3];
    r.meta.variantMask = b[4];
    r.meta.version = static_cast<std::uint16_t>(b[5] << 8 | b[6]);
    r.meta.minProgramVersion = static_cast<std::uint16_t>(b[7] << 8 | b[8]);
    r.status = b[2] == CheckByteFor(b[1]) ? TMetaStatus::Ok : TMetaStatus::Inconsistent;
    return r;
}

TS0Scan ScanS0Records(std::string_view text)
{
    TS0Scan r;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        if (text[i] == 'S') {
            // "S" as the last character: the end of the data ends the records.
            if (i + 1 < n && text[i + 1] == '0') {
                ++r.s0Count;
                i += 2;
                continue;
            }
            break;
        }
        if (r.s0Count == 2 && r.row2.size() < static_cast<std::size_t>(kMetaRowChars))
            r.row2.push_back(text[i]);
        ++i;
    }
    return r;
}

int AddressBytes(char kind)
{
    switch (kind) {
    case '0': case '1': case '5': case '9': return 2;
    case '2': case '6': case '8': return 3;
    case '3': case '7': return 4;
    default: return 0;
    }
}

std::uint8_t SRecordChecksum(std::span<const std::uint8_t> countAddressData)
{
    unsigned sum = 0;
    for (auto b : countAddressData)
        sum += b;
    return static_cast<std::uint8_t>(~sum & 0xFF);
}

std::string FormatSRecordBytes(char kind, std::span<const std::uint8_t> countAddressData, bool badChecksum)
{
    std::string out = "S";
    out.push_back(kind);
    for (auto b : countAddressData)
        appendHex(out, b);
    std::uint8_t cs = SRecordChecksum(countAddressData);
    if (badChecksum)
        cs = static_cast<std::uint8_t>(cs ^ 0x5A);
    appendHex(out, cs);
    return out;
}

std::string FormatSRecord(char kind, std::uint32_t address, std::span<const std::uint8_t> data, bool badChecksum)
{
    const int a = std::max(AddressBytes(kind), 2);
    const std::size_t room = 255 - static_cast<std::size_t>(a) - 1;
    const std::size_t n = std::min(data.size(), room);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(1 + a + n);
    bytes.push_back(static_cast<std::uint8_t>(a + n + 1));
    for (int i = a - 1; i >= 0; --i)
        bytes.push_back(static_cast<std::uint8_t>((address >> (8 * i)) & 0xFF));
    bytes.insert(bytes.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
    return FormatSRecordBytes(kind, bytes, badChecksum);
}

TSRecordError ParseSRecord(std::string_view line, TSRecord& out)
{
    if (line.size() < 2 || line[0] != 'S')
        return TSRecordError::NotARecord;
    const int a = AddressBytes(line[1]);
    if (a == 0)
        return TSRecordError::BadKind;
    const std::string_view hex = line.substr(2);
    if (hex.size() < 2 || hex.size() % 2 != 0)
        return TSRecordError::NotHex;
    std::vector<std::uint8_t> bytes(hex.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int hi = hexValue(hex[2 * i]);
        const int lo = hexValue(hex[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return TSRecordError::NotHex;
        bytes[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    const std::size_t count = bytes[0];
    if (count != bytes.size() - 1 || count < static_cast<std::size_t>(a) + 1)
        return TSRecordError::BadLength;
    if (SRecordChecksum(std::span(bytes).first(bytes.size() - 1)) != bytes.back())
        return TSRecordError::BadChecksum;
    out.kind = line[1];
    out.address = 0;
    for (int i = 0; i < a; ++i)
        out.address = (out.address << 8) | bytes[1 + static_cast<std::size_t>(i)];
    out.data.assign(bytes.begin() + 1 + a, bytes.end() - 1);
    return TSRecordError::None;
}

TTextLine NextLine(std::string_view text, std::size_t& pos)
{
    const std::size_t start = std::min(pos, text.size());
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
        ++end;
    TTextLine line{text.substr(start, end - start), TLineEnd::None};
    if (end < text.size()) {
        if (text[end] == '\n') {
            line.end = TLineEnd::Lf;
            end += 1;
        } else if (end + 1 < text.size() && text[end + 1] == '\n') {
            line.end = TLineEnd::CrLf;
            end += 2;
        } else {
            line.end = TLineEnd::Cr;
            end += 1;
        }
    }
    pos = end;
    return line;
}

bool CheckSRecords(std::string_view text, std::size_t* badLine, TSRecordError* error)
{
    std::size_t line = 0;
    std::size_t records = 0;
    std::size_t i = 0;
    TSRecord record;
    while (i < text.size()) {
        ++line;
        const std::string_view one = NextLine(text, i).text;
        if (one.empty())
            continue;
        const TSRecordError e = ParseSRecord(one, record);
        if (e != TSRecordError::None) {
            if (badLine)
                *badLine = line;
            if (error)
                *error = e;
            return false;
        }
        ++records;
    }
    if (records == 0) {
        if (badLine)
            *badLine = line;
        if (error)
            *error = TSRecordError::NotARecord;
        return false;
    }
    return true;
}

std::string WriteFirmwareImage(const TImageSpec& spec)
{
    std::string out;
    auto line = [&out](const std::string& record) {
        out += record;
        out += "\r\n";
    };
    for (int i = 0; i < spec.s0Records; ++i) {
        if (i == 0) {
            line(textRecord(spec.title));
        } else if (i == 1) {
            // Two address bytes, seven data bytes and the checksum.
            auto b = EncodeMetaBytes(spec.meta, 0x0A);
            if (spec.breakConsistency)
                b[2] ^= 0x01;
            line(FormatSRecordBytes('0', b));
        } else {
            char buf[8];
            auto [p, ec] = std::to_chars(buf, buf + sizeof buf, i);
            (void)ec;
            line(textRecord("PART " + std::string(buf, p)));
        }
    }
    constexpr std::size_t kChunk = 32;
    const std::size_t records = (spec.dataBytes + kChunk - 1) / kChunk;
    for (std::size_t r = 0; r < records; ++r) {
        std::vector<std::uint8_t> data;
        for (std::size_t i = r * kChunk; i < std::min(spec.dataBytes, (r + 1) * kChunk); ++i)
            data.push_back(static_cast<std::uint8_t>((i * 37 + spec.meta.type * 11 + (i >> 8)) & 0xFF));
        const bool bad = spec.breakChecksum && r == records / 2;
        line(FormatSRecord('2', spec.loadAddress + static_cast<std::uint32_t>(r * kChunk), data, bad));
    }
    if (records <= 0xFFFF)
        line(FormatSRecord('5', static_cast<std::uint32_t>(records), {}));
    else
        line(FormatSRecord('6', static_cast<std::uint32_t>(records), {}));
    line(FormatSRecord('8', spec.loadAddress, {}));
    return out;
}

bool ParseVersionNumber(std::string_view text, std::uint16_t& out)
{
    const auto dot = text.find('.');
    if (dot == std::string_view::npos)
        return false;
    unsigned major = 0, minor = 0;
    const char* b = text.data();
    const char* e = text.data() + text.size();
    auto r1 = std::from_chars(b, b + dot, major);
    if (r1.ec != std::errc() || r1.ptr != b + dot || dot == 0)
        return false;
    auto r2 = std::from_chars(b + dot + 1, e, minor);
    if (r2.ec != std::errc() || r2.ptr != e || dot + 1 == text.size())
        return false;
    if (major > 255 || minor > 255)
        return false;
    out = static_cast<std::uint16_t>(major * 256 + minor);
    return true;
}

} // namespace qz::firmware
