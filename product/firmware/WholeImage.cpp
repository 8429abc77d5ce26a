#include "WholeImage.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <vector>

namespace qz::firmware {

namespace {

// Every type's boot loader keeps 0x0000-0x3FFF for itself; the application
// has the rest of the 256 KiB flash.
constexpr TApplicationRange kRanges[] = {
    {30, 0x4000, 0x3FFFF}, {31, 0x4000, 0x3FFFF}, {37, 0x4000, 0x3FFFF}, {38, 0x4000, 0x3FFFF}, {50, 0x4000, 0x3FFFF},
    {53, 0x4000, 0x3FFFF}, {54, 0x4000, 0x3FFFF}, {55, 0x4000, 0x3FFFF}, {56, 0x4000, 0x3FFFF}, {79, 0x4000, 0x3FFFF},
};

bool isData(char kind) { return kind == '1' || kind == '2' || kind == '3'; }
bool isCount(char kind) { return kind == '5' || kind == '6'; }
bool isEnd(char kind) { return kind == '7' || kind == '8' || kind == '9'; }

// S1 ends with S9, S2 with S8, S3 with S7.
char endKindOf(char dataKind) { return static_cast<char>('0' + 10 - (dataKind - '0')); }

std::string hex(std::uint64_t v)
{
    char buf[20];
    const auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v, 16);
    (void)ec;
    std::string out = "0x";
    for (const char* c = buf; c != p; ++c)
        out.push_back(*c >= 'a' && *c <= 'f' ? static_cast<char>(*c - 'a' + 'A') : *c);
    return out;
}

std::string dec(std::uint64_t v)
{
    char buf[24];
    const auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    return std::string(buf, p);
}

std::string kindName(char kind) { return std::string("S") + kind; }

const char* recordErrorText(TSRecordError e)
{
    switch (e) {
    case TSRecordError::NotARecord: return "does not start with S";
    case TSRecordError::BadKind: return "has no known record kind";
    case TSRecordError::NotHex: return "holds characters that are no hexadecimal digits, or an odd number of them";
    case TSRecordError::BadLength: return "has a byte count that does not fit its length";
    case TSRecordError::BadChecksum: return "has a wrong checksum";
    case TSRecordError::None: break;
    }
    return "is well formed";
}

} // namespace

std::span<const TApplicationRange> ApplicationRanges() { return kRanges; }

std::optional<TApplicationRange> ApplicationRangeOf(int ecuType)
{
    const auto it = std::find_if(std::begin(kRanges), std::end(kRanges),
                                 [ecuType](const TApplicationRange& r) { return r.ecuType == ecuType; });
    if (it == std::end(kRanges))
        return std::nullopt;
    return *it;
}

TImageVerdict CheckWholeImage(std::string_view text, const TApplicationRange& range)
{
    TImageVerdict v;
    std::size_t line = 0, record = 0;
    auto fail = [&](TImageFault fault, char kind) {
        v.fault = fault;
        v.line = line;
        v.record = record;
        v.kind = kind;
        return v;
    };

    char dataKind = 0;
    std::size_t dataRecords = 0;
    bool anyByte = false, counted = false, ended = false;
    // The data held so far, by first address; an image in address order
    // only ever appends.
    struct Held {
        std::uint64_t from, to; // to: one past the last byte
        std::size_t line;
    };
    std::vector<Held> held;
    TSRecord r;
    for (std::size_t pos = 0; pos < text.size();) {
        const TTextLine one = NextLine(text, pos);
        ++line;
        if (one.end == TLineEnd::Cr)
            return fail(TImageFault::BadLineEnd, 0);
        if (one.text.empty())
            continue;
        ++record;
        const TSRecordError e = ParseSRecord(one.text, r);
        if (e != TSRecordError::None) {
            v.recordError = e;
            return fail(TImageFault::BadRecord, 0);
        }
        if (ended)
            return fail(TImageFault::RecordAfterEnd, r.kind);
        if (r.kind == '0') {
            if (dataKind != 0)
                return fail(TImageFault::HeaderAmongData, r.kind);
            continue;
        }
        if (isData(r.kind)) {
            if (dataKind == 0)
                dataKind = r.kind;
            if (r.kind != dataKind) {
                v.expectedKind = dataKind;
                return fail(TImageFault::MixedDataKinds, r.kind);
            }
            if (counted)
                return fail(TImageFault::DataAfterCount, r.kind);
            ++dataRecords;
            const std::uint64_t from = r.address;
            const std::uint64_t to = from + r.data.size(); // one past the last byte
            auto failData = [&](TImageFault fault) {
                v.address = r.address;
                v.bytes = r.data.size();
                return fail(fault, r.kind);
            };
            const bool inside = from >= range.first && from <= range.last && (r.data.empty() || to - 1 <= range.last);
            if (!inside)
                return failData(TImageFault::OutsideRange);
            if (r.data.empty())
                continue;
            anyByte = true;
            // The block held that starts after this one's start, and the one
            // before it: the only two it can share an address with.
            const auto next = held.empty() || held.back().from <= from
                                  ? held.end()
                                  : std::upper_bound(held.begin(), held.end(), from,
                                                     [](std::uint64_t a, const Held& h) { return a < h.from; });
            if (next != held.begin() && std::prev(next)->to > from) {
                v.otherLine = std::prev(next)->line;
                return failData(TImageFault::Overlap);
            }
            if (next != held.end() && next->from < to) {
                v.otherLine = next->line;
                return failData(TImageFault::Overlap);
            }
            held.insert(next, Held{from, to, line});
            continue;
        }
        if (isCount(r.kind)) {
            if (counted)
                return fail(TImageFault::SecondCountRecord, r.kind);
            counted = true;
            if (r.address != dataRecords) {
                v.stated = r.address;
                v.counted = dataRecords;
                return fail(TImageFault::WrongCount, r.kind);
            }
            continue;
        }
        if (isEnd(r.kind)) {
            if (dataKind != 0 && r.kind != endKindOf(dataKind)) {
                v.expectedKind = endKindOf(dataKind);
                return fail(TImageFault::WrongEndKind, r.kind);
            }
            ended = true;
        }
    }
    if (!anyByte)
        return fail(TImageFault::NoDataRecord, 0);
    if (!ended)
        return fail(TImageFault::NoEndRecord, 0);
    return TImageVerdict{};
}

std::string DescribeImageVerdict(const TImageVerdict& v, const TApplicationRange& range)
{
    const std::string where = "line " + dec(v.line) + " (record " + dec(v.record) + "): ";
    const std::string data = v.bytes == 0 ? "data at " + hex(v.address)
                                          : "data from " + hex(v.address) + " to " + hex(v.address + v.bytes - 1);
    switch (v.fault) {
    case TImageFault::None: return "the image is whole";
    case TImageFault::BadLineEnd: return "line " + dec(v.line) + " ends in a CR without LF";
    case TImageFault::BadRecord: return where + "the record " + recordErrorText(v.recordError);
    case TImageFault::HeaderAmongData: return where + "an S0 record among the data records";
    case TImageFault::MixedDataKinds:
        return where + "an " + kindName(v.kind) + " data record among " + kindName(v.expectedKind) + " records";
    case TImageFault::OutsideRange:
        if (range.first > range.last)
            return where + data + ", but ECU type " + dec(static_cast<std::uint64_t>(range.ecuType)) +
                   " has no application range";
        return where + data + " outside " + hex(range.first) + "-" + hex(range.last);
    case TImageFault::Overlap: return where + data + " on addresses that line " + dec(v.otherLine) + " already holds";
    case TImageFault::DataAfterCount: return where + "a data record after the count record";
    case TImageFault::SecondCountRecord: return where + "a second count record";
    case TImageFault::WrongCount:
        return where + "the count record counts " + dec(v.stated) + " data records, the image has " + dec(v.counted);
    case TImageFault::WrongEndKind:
        return where + "an " + kindName(v.kind) + " end record, where " + kindName(v.expectedKind) +
               " belongs to the data records";
    case TImageFault::RecordAfterEnd: return where + "an " + kindName(v.kind) + " record after the end record";
    case TImageFault::NoDataRecord: return "no data record, up to line " + dec(v.line);
    case TImageFault::NoEndRecord: return "no end record, up to line " + dec(v.line) + " (the file ends there)";
    }
    return where + "refused";
}

} // namespace qz::firmware
