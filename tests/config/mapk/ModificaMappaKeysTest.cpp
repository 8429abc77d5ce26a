// The key filter of the cell-variation dialog's value box.
#include "config/mapk_rules/MapKRules.h"

#include <gtest/gtest.h>
#include <optional>

using namespace mapk;

TEST(ModificaMappaKeys, FilterTable)
{
    struct Case {
        const char* what;
        QChar key;
        QString text;
        int selStart;
        QString selected;
        bool real;
        std::optional<QChar> expected;
    };
    const QChar comma(','), dot('.');
    const Case cases[] = {
        {"digit", '5', "12", 2, "", false, QChar('5')},
        {"backspace", QChar(8), "12", 2, "", false, QChar(8)},
        {"minus at the start", '-', "12", 0, "", false, QChar('-')},
        {"minus after the start", '-', "12", 1, "", false, std::nullopt},
        {"second minus", '-', "-12", 0, "", false, std::nullopt},
        {"minus over the selected minus", '-', "-12", 0, "-1", false, QChar('-')},
        {"Italian thousands dot becomes comma", dot, "1", 1, "", true, comma},
        {"no separator in integer mode (comma)", comma, "1", 1, "", false, std::nullopt},
        {"no separator in integer mode (dot)", dot, "1", 1, "", false, std::nullopt},
        {"second separator", comma, "1,5", 3, "", true, std::nullopt},
        {"separator over the selected one", comma, "1,5", 1, ",", true, comma},
        {"letter", 'a', "", 0, "", true, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FilterDataKey(c.key, c.text, c.selStart, c.selected, c.real, comma, dot), c.expected) << c.what;
}
