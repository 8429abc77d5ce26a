#include "live/acquisition/AcquisitionReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qz::live;

namespace {

TAcquisitionReadResult readBytes(const QByteArray& bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return ReadAcquisition(buffer);
}

const QByteArray kHead1 = "Ver. 1 1 real time data, x\r\nTEMPO\tGIRI";
const QByteArray kHead2 = "Ver. 1 2 real time data, x\r\nTEMPO\tGIRI";
const QByteArray kLine9 = "20\t900\t0.9\t2.5\t3\t1\t0.25\t60\t40";
const QByteArray kLine12 = "20\t900\t0.9\t2.5\t3\t1\t0.25\t60\t40\t0.1\t2.25\t3.5";

} // namespace

TEST(AcquisitionReader, FilesAndTheirOutcome)
{
    const struct {
        const char* name;
        QByteArray bytes;
        TAcqReadError error;
        int line;
        int banks;
        std::size_t rows;
    } cases[] = {
        {"header and columns only", kHead1, TAcqReadError::None, 0, 1, 0},
        {"header without columns", "Ver. 1 2 real time data", TAcqReadError::None, 0, 2, 0},
        {"one bank", kHead1 + "\r\n" + kLine9 + "\r\n" + kLine9, TAcqReadError::None, 0, 1, 2},
        {"two banks", kHead2 + "\r\n" + kLine12, TAcqReadError::None, 0, 2, 1},
        {"one bank takes the first fields of a longer line", kHead1 + "\r\n" + kLine12, TAcqReadError::None, 0, 1, 1},
        {"bare LF and an extra CR", "Ver. 1 1 x\nc\r\r\n" + kLine9 + "\r\r\n" + kLine9 + "\n" + kLine9,
         TAcqReadError::None, 0, 1, 3},
        {"spaces between fields", kHead1 + "\r\n 1  2 3 4 5 6 7 8 9 ", TAcqReadError::None, 0, 1, 1},
        {"bank count 3 without data", "Ver. 1 3 real time data\r\ncols", TAcqReadError::None, 0, 3, 0},
        {"bank count 3 with data", "Ver. 1 3 x\r\ncols\r\n" + kLine12, TAcqReadError::BadLine, 3, 3, 0},
        {"two-bank header over 9 fields", kHead2 + "\r\n" + kLine12 + "\r\n" + kLine9, TAcqReadError::BadLine, 4, 2, 1},
        // As a text editor leaves a file: blank lines at the end are passed
        // over, one in the middle stops the reading.
        {"ends with a line break", kHead1 + "\r\n" + kLine9 + "\r\n" + kLine9 + "\r\n", TAcqReadError::None, 0, 1, 2},
        {"ends with blank lines", kHead1 + "\r\n" + kLine9 + "\r\n \t\r\n\r\n\n", TAcqReadError::None, 0, 1, 1},
        {"columns end with a break", kHead1 + "\r\n", TAcqReadError::None, 0, 1, 0},
        {"bank count 3 ending with a break", "Ver. 1 3 x\r\ncols\r\n", TAcqReadError::None, 0, 3, 0},
        {"blank line in the middle", kHead1 + "\r\n" + kLine9 + "\r\n\r\n" + kLine9 + "\r\n", TAcqReadError::BadLine, 4,
         1, 1},
        // A real is a finite number; one too small for a float is 0.
        {"nan", kHead1 + "\r\n1\t1\tnan\t2\t3\t4\t5\t6\t7", TAcqReadError::BadLine, 3, 1, 0},
        {"-NaN after a good line", kHead1 + "\r\n" + kLine9 + "\r\n1\t1\t1\t-NaN\t3\t4\t5\t6\t7",
         TAcqReadError::BadLine, 4, 1, 1},
        {"inf", kHead1 + "\r\n1\t1\t1\t2\tinf\t4\t5\t6\t7", TAcqReadError::BadLine, 3, 1, 0},
        {"-Infinity", kHead1 + "\r\n1\t1\t1\t2\t3\t4\t5\t6\t-Infinity", TAcqReadError::BadLine, 3, 1, 0},
        {"+INF", kHead1 + "\r\n1\t1\t1\t2\t3\t+INF\t5\t6\t7", TAcqReadError::BadLine, 3, 1, 0},
        {"nan(1) in the second bank", kHead2 + "\r\n1\t1\t1\t2\t3\t4\t5\t6\t7\t8\tnan(1)\t9", TAcqReadError::BadLine, 3,
         2, 0},
        {"real too large", kHead1 + "\r\n1\t1\t1\t2\t3\t4\t5\t6\t3.5e38", TAcqReadError::BadLine, 3, 1, 0},
        {"real too small", kHead1 + "\r\n1\t1\t1e-50\t-1e-50\t0.00000e-99999999999999999999\t1e-46\t123e-60\t6\t7",
         TAcqReadError::None, 0, 1, 1},
        {"truncated in the middle of a line", kHead1 + "\r\n" + kLine9 + "\r\n20\t900\t0.", TAcqReadError::BadLine, 4,
         1, 1},
        {"a word among the numbers", kHead1 + "\r\n20\t900\tabc\t1\t2\t3\t4\t5\t6", TAcqReadError::BadLine, 3, 1, 0},
        {"time out of range", kHead1 + "\r\n99999999999\t1\t1\t2\t3\t4\t5\t6\t7", TAcqReadError::BadLine, 3, 1, 0},
        {"real out of range", kHead1 + "\r\n1\t1\t1e999\t2\t3\t4\t5\t6\t7", TAcqReadError::BadLine, 3, 1, 0},
        {"data line too long", kHead1 + "\r\n" + kLine9 + QByteArray(200, ' '), TAcqReadError::LineTooLong, 3, 1, 0},
        // An exponent without its digits is no number, in the last field as
        // in any other.
        {"last field 1.5E-", kHead1 + "\r\n" + kLine9 + "\r\n20\t900\t0.9\t2.5\t3\t1\t0.25\t45\t1.5E-",
         TAcqReadError::BadLine, 4, 1, 1},
        {"last field 1e", kHead1 + "\r\n20\t900\t0.9\t2.5\t3\t1\t0.25\t45\t1e", TAcqReadError::BadLine, 3, 1, 0},
        {"last field 32e+ before CR LF", kHead1 + "\r\n20\t900\t0.9\t2.5\t3\t1\t0.25\t45\t32e+\r\n" + kLine9,
         TAcqReadError::BadLine, 3, 1, 0},
        {"last field of two banks 3.5e-x", kHead2 + "\r\n20\t900\t0.9\t2.5\t3\t1\t0.25\t60\t40\t0.1\t2.25\t3.5e-x",
         TAcqReadError::BadLine, 3, 2, 0},
        // Every line has the same limit, the header and the column line too.
        {"header line too long without a break", "Ver. 1 1 " + QByteArray(300, 'x'), TAcqReadError::LineTooLong, 1, 0,
         0},
        {"column line too long, the file ending there", kHead1 + QByteArray(4000, 'c'), TAcqReadError::LineTooLong, 2,
         1, 0},
        {"empty file", "", TAcqReadError::BadHeader, 1, 0, 0},
        {"no bank count", "Ver. 1\r\ncols", TAcqReadError::BadHeader, 1, 0, 0},
        {"other first word", "Version 1 1\r\ncols", TAcqReadError::BadHeader, 1, 0, 0},
        {"leading space", " Ver. 1 1\r\ncols", TAcqReadError::BadHeader, 1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TAcquisitionReadResult r = readBytes(c.bytes);
        EXPECT_EQ(r.Error, c.error);
        EXPECT_EQ(r.Line, c.line);
        if (c.error != TAcqReadError::BadHeader) {
            EXPECT_EQ(r.BankCount, c.banks);
        }
        EXPECT_EQ(r.Rows.size(), c.rows);
    }
}

TEST(AcquisitionReader, ValuesInColumnOrder)
{
    const TAcquisitionReadResult r = readBytes(kHead2 + "\r\n" + kLine12 + "\r\n-5\t+7\t-0.5\t1e-06\t3\t1\t0.25\t-3\t40\t.1\t2\t3");
    ASSERT_TRUE(r.Ok());
    ASSERT_EQ(r.Rows.size(), 2u);
    const std::array<float, 10> first{0.9f, 2.5f, 3, 1, 0.25f, 60, 40, 0.1f, 2.25f, 3.5f};
    EXPECT_EQ(r.Rows[0].TimeMs, 20);
    EXPECT_EQ(r.Rows[0].Rpm, 900);
    EXPECT_EQ(r.Rows[0].Values, first);
    EXPECT_EQ(r.Rows[1].TimeMs, -5);
    EXPECT_EQ(r.Rows[1].Rpm, 7);
    EXPECT_FLOAT_EQ(r.Rows[1].Values[0], -0.5f);
    EXPECT_FLOAT_EQ(r.Rows[1].Values[1], 1e-6f);
    EXPECT_FLOAT_EQ(r.Rows[1].Values[7], 0.1f);

    // Too small for a float: 0, as a formatted read stores it; a float's
    // smallest numbers themselves stay.
    const TAcquisitionReadResult tiny = readBytes(kHead1 + "\r\n1\t1\t1e-50\t-1e-50\t1e-40\t1e-45\t123e-60\t6\t7");
    ASSERT_TRUE(tiny.Ok());
    ASSERT_EQ(tiny.Rows.size(), 1u);
    EXPECT_EQ(tiny.Rows[0].Values[0], 0.0f);
    EXPECT_EQ(tiny.Rows[0].Values[1], 0.0f);
    EXPECT_FLOAT_EQ(tiny.Rows[0].Values[2], 1e-40f);
    EXPECT_GT(tiny.Rows[0].Values[3], 0.0f);
    EXPECT_EQ(tiny.Rows[0].Values[4], 0.0f);
}

TEST(AcquisitionReader, HeaderLinesHaveTheLimitOfEveryLine)
{
    // 199 characters before the CR LF are a line; one more is too long.
    const QByteArray header199 = "Ver. 1 1 " + QByteArray(kAcqMaxLineLength - 9, 'x');
    const QByteArray columns199 = "TEMPO" + QByteArray(kAcqMaxLineLength - 5, 'c');
    const TAcquisitionReadResult longest = readBytes(header199 + "\r\n" + columns199 + "\r\n" + kLine9);
    ASSERT_TRUE(longest.Ok()) << int(longest.Error) << " line " << longest.Line;
    EXPECT_EQ(longest.Rows.size(), 1u);

    const TAcquisitionReadResult header = readBytes(header199 + "x\r\n" + columns199 + "\r\n" + kLine9);
    EXPECT_EQ(header.Error, TAcqReadError::LineTooLong);
    EXPECT_EQ(header.Line, 1);
    EXPECT_TRUE(header.Rows.empty());

    const TAcquisitionReadResult columns = readBytes(header199 + "\r\n" + columns199 + "c\r\n" + kLine9);
    EXPECT_EQ(columns.Error, TAcqReadError::LineTooLong);
    EXPECT_EQ(columns.Line, 2);
    EXPECT_EQ(columns.BankCount, 1);
    EXPECT_TRUE(columns.Rows.empty());

    const TAcquisitionReadResult far =
        readBytes("Ver. 1 1 " + QByteArray(5000, 'x') + "\r\n" + QByteArray(3000, 'c') + "\r\n" + kLine9);
    EXPECT_EQ(far.Error, TAcqReadError::LineTooLong);
    EXPECT_EQ(far.Line, 1);
}

TEST(AcquisitionReader, MissingFileOrFolderIsNotFound)
{
    QTemporaryDir dir;
    EXPECT_EQ(ReadAcquisitionFile(dir.filePath("absent.txt")).Error, TAcqReadError::FileNotFound);
    EXPECT_EQ(ReadAcquisitionFile(dir.path()).Error, TAcqReadError::FileNotFound);
}

TEST(AcquisitionReader, StreamedRowsAreTheRowsReadWhole)
{
    const QByteArray files[] = {
        kHead1 + "\r\n" + kLine9 + "\r\n" + kLine9,
        kHead2 + "\r\n" + kLine12 + "\r\n" + kLine12 + "\r\n" + kLine12,
        kHead2 + "\r\n" + kLine12 + "\r\n" + kLine9 + "\r\n" + kLine12,  // stops at the bad line
        kHead1,
    };
    for (const QByteArray& bytes : files) {
        SCOPED_TRACE(bytes.toStdString());
        const TAcquisitionReadResult whole = readBytes(bytes);
        QByteArray data = bytes;
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        std::vector<TAcquisitionRow> rows;
        std::vector<qint64> read;
        const TAcquisitionReadResult streamed = ReadAcquisition(buffer, [&](const TAcquisitionRow& row, int banks, qint64 at) {
            EXPECT_EQ(banks, whole.BankCount);
            rows.push_back(row);
            read.push_back(at);
        });
        EXPECT_EQ(streamed.Error, whole.Error);
        EXPECT_EQ(streamed.Line, whole.Line);
        EXPECT_EQ(streamed.BankCount, whole.BankCount);
        EXPECT_TRUE(streamed.Rows.empty());
        ASSERT_EQ(rows.size(), whole.Rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].TimeMs, whole.Rows[i].TimeMs);
            EXPECT_EQ(rows[i].Values, whole.Rows[i].Values);
        }
        // The bytes read so far grow with each row, up to the whole file.
        EXPECT_TRUE(std::is_sorted(read.begin(), read.end()));
        if (!read.empty()) {
            EXPECT_LE(read.back(), bytes.size());
        }
    }
}
