#include "FuzzFirmware.h"

#include "product/firmware/FirmwareMeta.h"
#include "product/firmware/WholeImage.h"
#include "shell/firmware/FirmwareImage.h"

#include <QByteArray>

#include <cctype>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace qz::firmware;

namespace fuzzfirmware {

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// The image as the download takes it: the stated byte count, then the text.
QByteArray withCount(std::string_view text, std::uint32_t stated)
{
    QByteArray image(4, '\0');
    for (int i = 0; i < 4; ++i)
        image[i] = static_cast<char>((stated >> (8 * i)) & 0xFF);
    image.append(text.data(), static_cast<qsizetype>(text.size()));
    return image;
}

struct Ecu {
    std::uint32_t bootId;
    std::uint16_t bootExtra;
    int pers;
};
// A type-30 ECU, a personalised one, a type-55 ECU in boot mode, a type-79.
constexpr Ecu kEcus[] = {{0x1E05, 0, 0}, {0x1E05, 0, 2}, {0x0305, 0x0037, 0}, {0x4FFF, 0, 5}};

} // namespace

void CheckImageText(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::size_t badLine = 0;
    TSRecordError error = TSRecordError::None;
    const bool whole = CheckSRecords(text, &badLine, &error);
    check(whole == (error == TSRecordError::None));
    check(whole || badLine >= 1 || size == 0); // an empty text has no line

    // Every record between line ends on its own: one that parses is written
    // back as it stood (hexadecimal digits in upper case).
    std::size_t records = 0;
    bool allParse = true;
    struct Span {
        std::uint64_t from, to; // to: one past the last byte
    };
    std::vector<Span> spans;
    char lastKind = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(i, end - i);
        i = end + 1;
        if (line.empty())
            continue;
        ++records;
        TSRecord record;
        if (ParseSRecord(line, record) != TSRecordError::None) {
            allParse = false;
            continue;
        }
        check(record.data.size() <= 255);
        check(FormatSRecord(record.kind, record.address, record.data) == upper(line));
        if (record.kind >= '1' && record.kind <= '3')
            spans.push_back({record.address, record.address + record.data.size()});
        lastKind = record.kind;
    }
    // The image passes its check exactly when each of its records does.
    check(whole == (allParse && records > 0));

    // The whole-image check, for the application range of the ECUs (as the
    // download runs it, on the buffer with its byte count) and for a
    // narrower one: an image it takes has well-formed records only, every
    // data record inside the range, data, and an end record last.
    const auto n = static_cast<std::uint32_t>(size);
    const TWholeImageCheck download = CheckWholeFirmwareImage(withCount(text, n), 0x1E05, 0);
    const TApplicationRange narrow{0, 0x4400, 0x47FF};
    const std::pair<TApplicationRange, TImageVerdict> verdicts[] = {
        {download.range, download.verdict}, {narrow, CheckWholeImage(text, narrow)}};
    check(download.range.first == 0x4000 && download.range.last == 0x3FFFF);
    for (const auto& [range, v] : verdicts) {
        check(!DescribeImageVerdict(v, range).empty());
        if (!v.Ok()) {
            check(v.record <= v.line && v.line <= size + 1);
            continue;
        }
        check(whole && !spans.empty() && lastKind >= '7' && lastKind <= '9');
        for (const Span& d : spans) {
            check(d.from >= range.first && d.from <= range.last);
            check(d.to <= std::uint64_t{range.last} + 1);
        }
    }
    // A count beyond the buffer reads no further than the buffer, and a
    // type from the boot mode's extra value has the same range.
    const TWholeImageCheck boot = CheckWholeFirmwareImage(withCount(text, n + 64), 0x0305, 0x0037);
    check(boot.verdict.fault == download.verdict.fault && boot.verdict.line == download.verdict.line);

    // The metadata check, whatever the records hold, and with a stated
    // byte count that is larger or smaller than the text.
    for (const std::uint32_t stated : {n, n + 64, n / 2}) {
        const QByteArray image = withCount(text, stated);
        for (const Ecu& ecu : kEcus) {
            int asked = 0;
            const auto variant = [&] {
                ++asked;
                return static_cast<int>(size % 9);
            };
            const int r = CheckFirmwareImage(ecu.pers, image, ecu.bootId, ecu.bootExtra, variant, 0x0100);
            check(r >= 0 && r <= 7);
            check(asked <= 1);
        }
    }
    // A buffer too short for its byte count.
    const QByteArray image = withCount(text, n);
    check(CheckFirmwareImage(0, QByteArrayView(image).first(3), 0x1E05, 0, {}, 0x0100) == 7);
}

} // namespace fuzzfirmware
