#include "datamodule/files/IniDocument.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace qz::files;

namespace {

std::string value(const TIniDocument& d, const char* section, const char* key)
{
    const auto v = d.Value(section, key);
    return v ? v->toStdString() : std::string("<none>");
}

// The issues as (kind, line) pairs.
std::vector<std::pair<TIniIssue::Kind, int>> kindsAndLines(const std::vector<TIniIssue>& issues)
{
    std::vector<std::pair<TIniIssue::Kind, int>> out;
    for (const TIniIssue& i : issues)
        out.emplace_back(i.kind, i.line);
    return out;
}

TEST(IniDocument, ReadingRules)
{
    const QByteArray text =
        "DECRYPTED_MLTP_FILE\r\n"
        "before=ignored\r\n"
        "[Generale]\r\n"
        "Flag1=1044\r\n"
        "  N cilindri \t=\t 4  \r\n"          // blanks and tabs around key and value
        "DescrizAuto=Punto 1.2, 8V\r\n"      // commas are plain text
        "Motore=\"  1.2 8V \"\r\n"           // one pair of quotes goes, inner blanks stay
        "Cambio='manuale'\r\n"
        "Euro=\"4'\r\n"                      // quotes that do not match stay
        "Potenza=\"\"\"\r\n"
        "Expr=a=b=c\r\n"                     // split at the first '='
        "; Centralina=comment\r\n"
        "   ;Valvole=comment too\r\n"
        "flag1=second\r\n"                   // a duplicate key: the first wins
        "\r\n"
        "[ Lambda ]\n"                       // lone LF
        "RifLambda=5\r"                      // lone CR
        "Vuoto=\r\n"
        "[GENERALE]\r\n"                     // a duplicate section is ignored whole
        "Flag1=9\r\n"
        "NuovaChiave=1\r\n";
    std::vector<TIniIssue> issues;
    const TIniDocument d = TIniDocument::Parse(text, &issues);

    EXPECT_EQ(value(d, "Generale", "Flag1"), "1044");
    EXPECT_EQ(value(d, "generale", "FLAG1"), "1044");
    EXPECT_EQ(value(d, "Generale", "n CILINDRI"), "4");
    EXPECT_EQ(value(d, "Generale", "DescrizAuto"), "Punto 1.2, 8V");
    EXPECT_EQ(value(d, "Generale", "Motore"), "  1.2 8V ");
    EXPECT_EQ(value(d, "Generale", "Cambio"), "manuale");
    EXPECT_EQ(value(d, "Generale", "Euro"), "\"4'");
    EXPECT_EQ(value(d, "Generale", "Potenza"), "\"");
    EXPECT_EQ(value(d, "Generale", "Expr"), "a=b=c");
    EXPECT_EQ(value(d, "Generale", "Centralina"), "<none>");
    EXPECT_EQ(value(d, "Generale", "Valvole"), "<none>");
    EXPECT_EQ(value(d, "Generale", "before"), "<none>");
    EXPECT_EQ(value(d, "Lambda", "RifLambda"), "5");
    EXPECT_EQ(value(d, "Lambda", "Vuoto"), "");
    EXPECT_EQ(value(d, "Generale", "NuovaChiave"), "<none>");
    EXPECT_EQ(value(d, "Missing", "Flag1"), "<none>");
    ASSERT_EQ(d.Sections().size(), 2u);

    const std::vector<std::pair<TIniIssue::Kind, int>> expected = {
        {TIniIssue::TextBeforeSection, 1},
        {TIniIssue::TextBeforeSection, 2},
        {TIniIssue::DuplicateKey, 14},
        {TIniIssue::DuplicateSection, 19},
    };
    EXPECT_EQ(kindsAndLines(issues), expected);
}

TEST(IniDocument, OddLinesAreReportedWithTheirLineNumbers)
{
    std::vector<TIniIssue> issues;
    const TIniDocument d = TIniDocument::Parse("[A]\r\nno equals here\r\n=5\r\n[B\r\nk=1\r\n", &issues);
    const std::vector<std::pair<TIniIssue::Kind, int>> expected = {
        {TIniIssue::LineWithoutEquals, 2},
        {TIniIssue::EmptyKey, 3},
        {TIniIssue::UnclosedSection, 4},
    };
    EXPECT_EQ(kindsAndLines(issues), expected);
    EXPECT_EQ(value(d, "B", "k"), "1");
}

TEST(IniDocument, GoldenOutput)
{
    TIniDocument d;
    d.SetValue("Generale", "Flag1", "1044");
    d.SetValue("Generale", "Flag2", "0");
    d.SetValue("Generale", "NoteConfig", "riga uno\r\nriga due\nfine\r"); // must stay one line
    d.SetValue("Generale", "N cilindri", "4");
    d.SetValue("Temperatura", "TempGas", "-40");
    d.SetValue("Generale", "DescrizAuto", "Punto 1.2, 8V;\"x\"=y \xe8");     // bytes as they stand
    d.SetValue("generale", "FLAG2", "1");                                    // replaced in place
    d.SetValue("Vuota", "", "");
    EXPECT_EQ(d.Serialize().toStdString(),
              "[Generale]\r\n"
              "Flag1=1044\r\n"
              "Flag2=1\r\n"
              "NoteConfig=riga uno  riga due fine \r\n"
              "N cilindri=4\r\n"
              "DescrizAuto=Punto 1.2, 8V;\"x\"=y \xe8\r\n"
              "\r\n"
              "[Temperatura]\r\n"
              "TempGas=-40\r\n"
              "\r\n"
              "[Vuota]\r\n"
              "=\r\n");
    // And it reads back.
    const TIniDocument back = TIniDocument::Parse(d.Serialize());
    EXPECT_EQ(value(back, "Generale", "Flag2"), "1");
    EXPECT_EQ(value(back, "Generale", "DescrizAuto"), "Punto 1.2, 8V;\"x\"=y \xe8");
    EXPECT_EQ(value(back, "Temperatura", "TempGas"), "-40");
}

TEST(IniDocument, IntegerRule)
{
    struct Case {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"0", 0}, {"1044", 1044}, {"-40", -40}, {"+7", 7},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"2147483648", 0}, {"-2147483649", 0}, {"99999999999999999999", 0},
        {"0x1F", 31}, {"0X1f", 31}, {"$ff", 255}, {"$FFFFFFFF", -1}, {"0x80000000", -2147483647 - 1},
        {"-$10", -16}, {"$100000000", 0},
        {"", 0}, {"abc", 0}, {"12abc", 0}, {"1 2", 0}, {"0x", 0}, {"$", 0}, {"-", 0},
        {"--1", 0}, {"+-1", 0}, {"$-1", 0}, {"0x+1", 0}, {"1.5", 0}, {"1e3", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IniTextToInt(c.text), c.value) << '"' << c.text << '"';
    for (std::int32_t v : {0, 1, -1, 2147483647, -2147483647 - 1, 1044})
        EXPECT_EQ(IniTextToInt(IniIntToText(v)), v);
    EXPECT_EQ(IniIntToText(-40), QByteArray("-40"));
}

TEST(IniDocument, RowPart)
{
    EXPECT_EQ(IniRowPart("abcdef", 1, 3), QByteArray("abc"));
    EXPECT_EQ(IniRowPart("abcdef", 3, 2), QByteArray("cd"));
    EXPECT_EQ(IniRowPart("abcdef", 5, 100), QByteArray("ef"));
    EXPECT_EQ(IniRowPart("abcdef", 0, 2), QByteArray("ab"));
    EXPECT_EQ(IniRowPart("abcdef", 7, 1), QByteArray());
    EXPECT_EQ(IniRowPart("abcdef", 2, -1), QByteArray());
    EXPECT_EQ(IniRowPart("", 1, 1), QByteArray());
}

} // namespace
