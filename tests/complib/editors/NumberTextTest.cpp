#include "complib/numbers/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <ostream>

using namespace complib;

namespace {

struct FormatCase {
    double value;
    char separator;
    const char* text;
};

// A case as it reads in a failure: FormatGeneral(0.30000000000000004, '.') -> "0.3".
void PrintTo(const FormatCase& c, std::ostream* os)
{
    *os << "FormatGeneral(" << std::setprecision(17) << c.value << ", '" << c.separator << "') -> \"" << c.text << '"';
}

class FormatGeneralTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatGeneralTest, ShortestText)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatGeneral(c.value, QLatin1Char(c.separator)).toStdString(), c.text) << c.value;
}

const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Table, FormatGeneralTest,
    ::testing::Values(
        FormatCase{0, '.', "0"}, FormatCase{-0.0, '.', "0"}, FormatCase{1, '.', "1"},
        FormatCase{-2.5, '.', "-2.5"}, FormatCase{-2.5, ',', "-2,5"}, FormatCase{100, '.', "100"},
        // Binary noise of a rounding to 0.1 disappears at 15 digits.
        FormatCase{0.1 + 0.2, '.', "0.3"}, FormatCase{0.7000000000000001, ',', "0,7"},
        FormatCase{1.0 / 3, '.', "0.333333333333333"}, FormatCase{2.0 / 3, '.', "0.666666666666667"},
        FormatCase{123456789012345, '.', "123456789012345"},
        FormatCase{999999999999999.4, '.', "999999999999999"},
        // Sixteen digits before the separator, or below 0.00001: scientific.
        FormatCase{1e15, '.', "1E15"}, FormatCase{1234567890123456, ',', "1,23456789012346E15"},
        FormatCase{-1e20, '.', "-1E20"}, FormatCase{0.00001, '.', "0.00001"},
        FormatCase{0.000012345, ',', "0,000012345"}, FormatCase{0.000001, '.', "1E-6"},
        FormatCase{1.5e-7, ',', "1,5E-7"}, FormatCase{9.999999999999999e-6, '.', "0.00001"},
        FormatCase{std::nan(""), '.', "NAN"}, FormatCase{kInf, '.', "INF"}, FormatCase{-kInf, '.', "-INF"}));

struct ParseCase {
    const char* text;
    char separator;
    bool ok;
    double value;
};

// ParseNumber("2,5", ',') -> 2.5, or -> refused.
void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << "ParseNumber(\"" << c.text << "\", '" << c.separator << "') -> ";
    if (c.ok)
        *os << std::setprecision(17) << c.value;
    else
        *os << "refused";
}

class ParseNumberTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumberTest, StrictFiniteNumbers)
{
    const ParseCase& c = GetParam();
    double v = -12345;
    EXPECT_EQ(ParseNumber(QString::fromUtf8(c.text), QLatin1Char(c.separator), &v), c.ok) << c.text;
    if (c.ok)
        EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    else
        EXPECT_EQ(v, -12345) << "untouched on failure: " << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseNumberTest,
    ::testing::Values(
        ParseCase{"2.5", '.', true, 2.5}, ParseCase{"2,5", ',', true, 2.5}, ParseCase{" 12 ", '.', true, 12},
        ParseCase{"-3", '.', true, -3}, ParseCase{"+3", '.', true, 3}, ParseCase{".5", '.', true, 0.5},
        ParseCase{"5.", '.', true, 5}, ParseCase{"1e3", '.', true, 1000}, ParseCase{"1,5E-7", ',', true, 1.5e-7},
        ParseCase{"1E15", '.', true, 1e15},
        // Not numbers: the other separator, thousands, stray text, no digits.
        ParseCase{"2,5", '.', false, 0}, ParseCase{"2.5", ',', false, 0}, ParseCase{"1,000.5", '.', false, 0},
        ParseCase{"1.2.3", '.', false, 0}, ParseCase{"12a", '.', false, 0}, ParseCase{"0x10", '.', false, 0},
        ParseCase{"", '.', false, 0}, ParseCase{"-", '.', false, 0}, ParseCase{".", '.', false, 0},
        ParseCase{"1e", '.', false, 0}, ParseCase{"--1", '.', false, 0},
        ParseCase{"\xd9\xa1\xd9\xa2", '.', false, 0}, // Arabic-Indic digits
        // Pasted values that are not finite numbers.
        ParseCase{"inf", '.', false, 0}, ParseCase{"-INF", '.', false, 0}, ParseCase{"infinity", '.', false, 0},
        ParseCase{"nan", '.', false, 0}, ParseCase{"NAN", '.', false, 0}, ParseCase{"1e999", '.', false, 0},
        ParseCase{"-1e999", '.', false, 0}));

TEST(ParseNumber, ReadsBackWhatFormatGeneralWrites)
{
    for (double v : {0.3, -2.5, 1e15, 1.5e-7, 123456.789, -0.00001, 1.0 / 3}) {
        for (QChar sep : {QLatin1Char('.'), QLatin1Char(',')}) {
            double back = 0;
            ASSERT_TRUE(ParseNumber(FormatGeneral(v, sep), sep, &back)) << v;
            EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << v;
        }
    }
}

TEST(ParseInteger, DecimalIntegersThatFitAnInt)
{
    struct {
        const char* text;
        bool ok;
        int value;
    } cases[] = {{"150", true, 150},       {"-5", true, -5},   {"+7", true, 7},     {" 42 ", true, 42},
                 {"2147483647", true, 2147483647}, {"-2147483648", true, -2147483647 - 1},
                 {"2147483648", false, 0}, {"2.5", false, 0},  {"", false, 0},      {"-", false, 0},
                 {"12a", false, 0},        {"1e3", false, 0}};
    for (const auto& c : cases) {
        int v = -99;
        EXPECT_EQ(ParseInteger(QString::fromLatin1(c.text), &v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : -99) << c.text;
    }
}

} // namespace

// One fixed-point text for every window: the live bars, the map axes, the
// table cells and the dialogs all write their numbers through it.
TEST(FormatFixed, RoundsOnceToTheCoarserLimit)
{
    struct Case {
        double value;
        int significant, decimals;
        const char* text;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {1234.5, 3, 1, "1230.0"},  // the significant digits win, zeros before the point
        {0.35, 1, 2, "0.30"},      // the binary 0.35 lies below 0.35
        {0.125, 3, 2, "0.13"},     // an exact half goes away from zero
        {-0.125, 3, 2, "-0.13"},
        {2.5, 1, 0, "3"},
        {-0.001, 3, 2, "0.00"},    // no sign on a zero
        {-0.0, 4, 2, "0.00"},
        {0.0, 4, 2, "0.00"},
        {0.006, 3, 2, "0.01"},     // rounds up into the first kept place
        {0.0004, 3, 2, "0.00"},
        {12.345, 3, 2, "12.30"},
        {12.345, 4, 2, "12.35"},   // the binary 12.345 lies above
        {123.456, 4, 2, "123.50"},
        {5.449, 3, 1, "5.4"},      // one rounding, not 5.45 then 5.5
        {99.96, 3, 1, "100.0"},    // the carry adds a digit
        {9.999, 3, 2, "10.00"},
        {-12.34, 3, 1, "-12.3"},
        {0.447, 3, 1, "0.4"},
        {3.14159, 5, 3, "3.142"},
        {5.46, 3, 1, "5.5"},
        {3.27936, 4, 2, "3.28"},
        {0.1, 3, 2, "0.10"},
        {1.5, 4, 3, "1.500"},
        {123.0, 3, 2, "123.00"},
        {2.56256, 4, 2, "2.56"},
        {1e20, 3, 1, "100000000000000000000.0"},
        {nan, 3, 2, "NAN"},
        {inf, 3, 2, "INF"},
        {-inf, 3, 2, "-INF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.significant, c.decimals, QLatin1Char('.')).toStdString(), c.text)
            << c.value << " " << c.significant << " " << c.decimals;
    EXPECT_EQ(FormatFixed(-1.25, 3, 2, QLatin1Char(',')), QStringLiteral("-1,25"));
}

// The time labels of the real-time graph: "#,000.0".
TEST(FormatGroupedFixed, LeadingZerosAndThousandsGroups)
{
    struct Case {
        double value;
        int integerDigits, decimals;
        const char* text;
    };
    const Case cases[] = {
        {5.3, 3, 1, "005.3"},
        {0, 3, 1, "000.0"},
        {29.96, 3, 1, "030.0"},         // the rounding carries into the integer digits
        {999.96, 3, 1, "1'000.0"},
        {1234.56, 3, 1, "1'234.6"},
        {1234567.8, 3, 1, "1'234'567.8"},
        {-5, 3, 1, "-005.0"},
        {-0.01, 3, 1, "000.0"},         // no sign on a zero
        {42, 3, 0, "042"},
        {12345, 1, 0, "12'345"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatGroupedFixed(c.value, c.integerDigits, c.decimals, QLatin1Char('.'), QLatin1Char('\'')).toStdString(),
                  c.text)
            << c.value;
    // The user's separators, or no grouping at all.
    EXPECT_EQ(FormatGroupedFixed(1234.5, 3, 1, QLatin1Char(','), QLatin1Char('.')), QStringLiteral("1.234,5"));
    EXPECT_EQ(FormatGroupedFixed(1234.5, 3, 1, QLatin1Char('.'), QChar()), QStringLiteral("1234.5"));
}
