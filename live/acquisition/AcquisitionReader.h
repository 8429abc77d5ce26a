#pragma once
// Reading an acquisition file back for the real-time graph. The file is
// parsed the way it has always been read: line 1 "Ver. <n> <banks> ...", line
// 2 ignored, then per line the elapsed ms and the rpm as integers and 7 (one
// bank) or 10 (two banks) reals, separated by any white space (CR included).
// Every line, the header and the column line included, holds at most
// kAcqMaxLineLength characters before its CR LF. A bad line stops the
// reading; the rows before it are kept. Blank lines at the end of the file
// are passed over; a blank line that data lines follow is a bad line. A real
// is a finite number: "nan", "inf", a number too large for a float and one
// whose exponent has no digits ("1.5E-", "1e", "32e+") make the line bad, in
// any field; a number too small for a float reads as 0.
#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QIODevice;

namespace qz::live {

// Longest line (without its CR LF) the reader takes, any line of the file.
inline constexpr int kAcqMaxLineLength = 199;

enum class TAcqReadError {
    None,
    FileNotFound, // no file of that name (string 473)
    CannotOpen,   // it exists but cannot be opened for reading
    BadHeader,    // line 1 gives no bank count (string 474)
    BadLine,      // a data line with fewer fields than the bank count needs, or a bank count other than 1 or 2 (474)
    LineTooLong,  // a line (header and column line too) longer than kAcqMaxLineLength (474)
    ReadFailed,   // the device reported an error while reading
};

struct TAcquisitionRow {
    std::int32_t TimeMs = 0;
    std::int32_t Rpm = 0;
    // In column order: LAMBDA, GAS, BENZ, PRESS, MAP, T.RID, T.GAS, then
    // LAMBDA2, GAS2, BENZ2 for two banks (0 for one bank).
    std::array<float, 10> Values{};
};

struct TAcquisitionReadResult {
    TAcqReadError Error = TAcqReadError::None;
    int Line = 0;       // 1-based line of the error, 0 without one
    int BankCount = 0;  // as the header says
    std::vector<TAcquisitionRow> Rows;
    bool Ok() const { return Error == TAcqReadError::None; }
};

// The bank count from line 1, false when it cannot be read.
bool ParseAcquisitionHeader(QByteArrayView line, int& bankCount);
// One data line for bankCount 1 or 2; false when fewer fields than needed
// could be read (or bankCount is neither).
bool ParseAcquisitionLine(QByteArrayView line, int bankCount, TAcquisitionRow& row);

TAcquisitionReadResult ReadAcquisition(QIODevice& in);
TAcquisitionReadResult ReadAcquisitionFile(const QString& fileName);

// The same reading, streamed: each data row goes to onRow as soon as it is
// read, with the header's bank count and the bytes of the file read so far,
// instead of into Rows (which stay empty). The rows and the error are those
// of the functions above.
using TAcqRowSink = std::function<void(const TAcquisitionRow& row, int bankCount, qint64 bytesRead)>;
TAcquisitionReadResult ReadAcquisition(QIODevice& in, const TAcqRowSink& onRow);
TAcquisitionReadResult ReadAcquisitionFile(const QString& fileName, const TAcqRowSink& onRow);

} // namespace qz::live
