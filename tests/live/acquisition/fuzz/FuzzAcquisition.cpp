#include "FuzzAcquisition.h"

#include "live/acquisition/AcquisitionReader.h"

#include <QBuffer>
#include <QByteArray>

#include <cmath>
#include <cstdlib>

using namespace qz::live;

namespace fuzzacquisition {

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

void ReadAcquisitionBytes(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer in(&bytes);
    check(in.open(QIODevice::ReadOnly));
    const TAcquisitionReadResult r = ReadAcquisition(in);

    // Line 1 is the header, line 2 the columns, the rows follow from line 3.
    const auto rows = static_cast<int>(r.Rows.size());
    switch (r.Error) {
    case TAcqReadError::None: check(r.Line == 0); break;
    case TAcqReadError::BadHeader: check(r.Line == 1 && rows == 0); break;
    case TAcqReadError::BadLine: check(r.Line >= rows + 3); break;
    case TAcqReadError::LineTooLong: check(rows == 0 ? r.Line >= 1 : r.Line >= rows + 3); break;
    default: check(false); // a buffer neither lacks a file nor fails to read
    }
    check(rows <= static_cast<int>(bytes.count('\n')) - 1 || rows == 0);
    if (!r.Rows.empty())
        check(r.BankCount == 1 || r.BankCount == 2);
    for (const TAcquisitionRow& row : r.Rows) {
        for (std::size_t i = 0; i < row.Values.size(); ++i) {
            check(std::isfinite(row.Values[i]));
            if (r.BankCount == 1 && i >= 7)
                check(row.Values[i] == 0.0f);
        }
    }
}

} // namespace fuzzacquisition
