#include "live/acquisition/AcquisitionFormat.h"
#include "ExampleSample.h"

#include <QLocale>
#include <clocale>
#include <gtest/gtest.h>

using namespace qz::live;

TEST(AcquisitionFormat, RealsInGeneralNotationWithSixDigits)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.45, "0.45"},       {3.27936, "3.27936"}, {0, "0"},           {4.0448, "4.0448"},
        {2.0, "2"},           {100, "100"},         {123456, "123456"}, {1234567, "1.23457e+06"},
        {0.0001, "0.0001"},   {0.00001, "1e-05"},   {-1.5, "-1.5"},     {3.1415926535, "3.14159"},
        {0.35000000000000003, "0.35"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AcquisitionReal(c.value), QByteArray(c.text)) << c.value;
}

TEST(AcquisitionFormat, LambdaTruncatesToHundredthsAndZeroPressureIsZero)
{
    EXPECT_EQ(AcquisitionReal(AcquisitionLambda(0.4599)), "0.45");
    EXPECT_EQ(AcquisitionReal(AcquisitionLambda(117 * 5.0 / 255)), "2.29");  // 2.2941...
    EXPECT_EQ(AcquisitionReal(AcquisitionLambda(0.009)), "0");
    EXPECT_EQ(AcquisitionReal(AcquisitionPressure(112)), "1.12");
    EXPECT_EQ(AcquisitionReal(AcquisitionPressure(-5)), "-0.05");
    EXPECT_EQ(AcquisitionReal(AcquisitionPressure(0)), "0");
}

TEST(AcquisitionFormat, HeaderAndColumnsByBankCount)
{
    EXPECT_EQ(AcquisitionHeader(1, "D T"),
              QByteArray("Ver. 1 1 real time data, D T\r\nTEMPO\tGIRI\tLAMBDA\tGAS\tBENZ\tPRESS\tMAP\tT.RID\tT.GAS"));
    EXPECT_EQ(AcquisitionHeader(2, "D T"),
              QByteArray("Ver. 1 2 real time data, D T\r\nTEMPO\tGIRI\tLAMBDA\tGAS\tBENZ\tPRESS\tMAP\tT.RID\tT.GAS"
                         "\tLAMBDA2\tGAS2\tBENZ2"));
    EXPECT_TRUE(AcquisitionHeader(3, "x").startsWith("Ver. 1 1 "));
}

TEST(AcquisitionFormat, DataLineStartsWithItsBreakAndTruncatesTemperaturesTowardZero)
{
    TAcquisitionSample s = ExampleSample();
    s.GasTempC = -3.7;
    EXPECT_EQ(AcquisitionDataLine(4294967295u, s, 1),
              QByteArray("\r\n4294967295\t2480\t0.45\t3.27936\t4.0448\t1.12\t0.35\t45\t-3"));
    EXPECT_EQ(AcquisitionDataLine(0, s, 2),
              QByteArray("\r\n0\t2480\t0.45\t3.27936\t4.0448\t1.12\t0.35\t45\t-3\t0.1\t2.25\t3.5"));
}

// A locale with a decimal comma, for Qt and, where the system has one, for C.
class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedQt_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const char* saved = std::setlocale(LC_NUMERIC, nullptr);
        savedC_ = saved ? saved : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "it_IT.UTF-8", "it_IT.utf8"})
            if (std::setlocale(LC_NUMERIC, name) && *std::localeconv()->decimal_point == ',') {
                cComma_ = true;
                break;
            }
    }
    void TearDown() override
    {
        std::setlocale(LC_NUMERIC, savedC_.c_str());
        QLocale::setDefault(savedQt_);
    }
    bool cComma_ = false;

private:
    QLocale savedQt_;
    std::string savedC_;
};

TEST_F(CommaLocale, NumbersKeepTheDecimalPoint)
{
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    TAcquisitionSample s;
    s.Lambda1Volts = 0.4599;
    s.GasMs1 = 3.27936;
    s.GasPressureHundredths = 112;
    EXPECT_EQ(AcquisitionDataLine(7, s, 1), QByteArray("\r\n7\t0\t0.45\t3.27936\t0\t1.12\t0\t0\t0"));
    if (!cComma_)
        std::printf("note: no C locale with a decimal comma on this system; only Qt's default was changed\n");
}

TEST(AcquisitionFormat, StampIsLongDateSpaceLongTimeInEightBits)
{
    const QDateTime at(QDate(2026, 1, 15), QTime(9, 5, 7));
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    const QByteArray it = AcquisitionStamp(at, italian);
    const QString expected = italian.toString(at.date(), QLocale::LongFormat) + QLatin1Char(' ')
                             + italian.toString(at.time(), QLocale::LongFormat);
    EXPECT_EQ(it, expected.toLatin1());
    EXPECT_TRUE(it.startsWith("gioved\xec 15 gennaio 2026 09:05:07")) << it.constData();

    // Characters outside the 8-bit set become "?"; the digits stay.
    const QByteArray ru = AcquisitionStamp(at, QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_TRUE(ru.contains("2026"));
    EXPECT_TRUE(ru.contains('?'));
    for (char c : ru)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80u);
}

TEST(AcquisitionFormat, StampIsInTheTranslatorsCodePage)
{
    // Windows-1252: Latin-1 and, in 0x80-0x9f, letters such as the z with
    // caron; a letter outside it becomes "?".
    const struct {
        QLocale::Language language;
        QLocale::Territory territory;
        QDate date;
        QByteArray part;
    } cases[] = {
        {QLocale::Croatian, QLocale::Croatia, QDate(2026, 3, 12), "o\x9eujka"},
        {QLocale::Croatian, QLocale::Croatia, QDate(2026, 3, 12), "?etvrtak"},
        {QLocale::Czech, QLocale::CzechRepublic, QDate(2026, 1, 6), "\xfater\xfd"},
        {QLocale::Estonian, QLocale::Estonia, QDate(2026, 6, 1), "juuni"},
        {QLocale::Italian, QLocale::Italy, QDate(2026, 1, 15), "gioved\xec"},
    };
    for (const auto& c : cases) {
        const QLocale locale(c.language, c.territory);
        const QByteArray stamp = AcquisitionStamp(QDateTime(c.date, QTime(9, 5, 7)), locale);
        EXPECT_TRUE(stamp.contains(c.part)) << locale.name().toStdString() << ": " << stamp.toStdString();
    }
}

TEST(Sample, CarriesTheTickValues)
{
    dm::TLiveValues v;
    v.Rpm = 2480;
    v.Lambda1 = 0.45;
    v.GasPressure = 112;
    v.MapPressure = 35;
    v.ReducerTemp = 45.7;
    v.GasTime2 = 3.5;
    const TAcquisitionSample s = SampleOfLive(v);
    EXPECT_EQ(s.Rpm, 2480);
    EXPECT_EQ(s.Lambda1Volts, 0.45);
    EXPECT_EQ(s.GasPressureHundredths, 112);
    EXPECT_EQ(s.MapPressureHundredths, 35);
    EXPECT_EQ(s.ReducerTempC, 45.7);
    EXPECT_EQ(s.GasMs2, 3.5);
}
