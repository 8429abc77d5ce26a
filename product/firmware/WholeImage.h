#pragma once
// What a firmware image must be as a whole before any byte of it goes to the
// ECU, beyond each record being well formed, and where each ECU type keeps
// its application in flash. Plain C++, shared by the program (the check
// before a download), the simulated ECU (its boot loader's flash) and the
// fuzz target.
#include "FirmwareMeta.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qz::firmware {

// The addresses an ECU type's application may occupy, both ends included.
// first > last: none at all.
struct TApplicationRange {
    int ecuType = 0;
    std::uint32_t first = 1;
    std::uint32_t last = 0;
};

// One row per ECU type that can be programmed, in type order.
std::span<const TApplicationRange> ApplicationRanges();
// The type's row; nullopt for a type without one.
std::optional<TApplicationRange> ApplicationRangeOf(int ecuType);

enum class TImageFault {
    None,
    BadLineEnd,        // a line that ends in a CR without LF
    BadRecord,         // a line that is no well-formed S-record (recordError says how)
    HeaderAmongData,   // an S0 record after the first data record
    MixedDataKinds,    // a data record of another kind than the first one (expectedKind)
    OutsideRange,      // data outside the application range
    Overlap,           // data on an address an earlier record holds (otherLine)
    DataAfterCount,    // a data record after the count record
    SecondCountRecord, // a second S5 or S6 record
    WrongCount,        // the count record's count is not the data records before it
    WrongEndKind,      // an end record that does not belong to the data records (expectedKind)
    RecordAfterEnd,    // any record after the end record
    NoDataRecord,      // no data record carries a byte
    NoEndRecord,       // the text ends without an end record
};

// The first fault of an image, in the order of its lines.
struct TImageVerdict {
    TImageFault fault = TImageFault::None;
    // Where: the line (from 1) and the record on it (from 1, blank lines not
    // counted); for NoDataRecord and NoEndRecord the last line and record.
    std::size_t line = 0;
    std::size_t record = 0;
    TSRecordError recordError = TSRecordError::None; // BadRecord
    char kind = 0;                                   // the record's kind ('0' to '9')
    char expectedKind = 0;                           // MixedDataKinds, WrongEndKind
    std::uint32_t address = 0;                       // OutsideRange, Overlap: the record's data
    std::size_t bytes = 0;
    std::size_t otherLine = 0; // Overlap: the earlier record's line
    std::uint32_t stated = 0;  // WrongCount: what the count record says
    std::size_t counted = 0;   // WrongCount: the data records before it
    bool Ok() const { return fault == TImageFault::None; }
};

// The S-record text of an image (no length prefix), for an ECU whose
// application lives in range:
// - every line ends in CR LF or LF (the last may have no line end); blank
//   lines are passed over, every other line is a well-formed record;
// - S0 records stand before the data;
// - the data records are of one kind (S1, S2 or S3), each inside the range,
//   none on an address another already holds, and at least one carries data;
// - at most one count record (S5 or S6), after every data record, counting
//   them;
// - one end record, the last record, of the data records' kind (S9 for S1,
//   S8 for S2, S7 for S3).
TImageVerdict CheckWholeImage(std::string_view text, const TApplicationRange& range);

// The verdict in words, for the log: where and what, e.g.
// "line 12 (record 12): data from 0x3F00 to 0x3F1F outside 0x4000-0x3FFFF".
std::string DescribeImageVerdict(const TImageVerdict& verdict, const TApplicationRange& range);

} // namespace qz::firmware
