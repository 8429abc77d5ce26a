// The diagnostics window's plain rules.
#include "live/diagnostics_rules/DiagnosiRules.h"

#include <gtest/gtest.h>

namespace {

using namespace diagnosi;

TEST(DiagnosiRules, MapCylinderMaskByCylinderCount)
{
    struct Case {
        std::uint32_t mask;
        int n;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {0x05, 4, 0x05},     {0x1FF, 3, 0xFF},   {0xFFFF, 8, 0xFF},   {0x3F, 6, 0x3F},  {0x1F, 5, 0x1F},
        {0x05, 7, 0},        {0x05, 9, 0},       {0x05, 2, 0},        {0x05, 0, 0},     {0x05, 12, 0},
        {0x100, 10, 0x010},  {0x010, 10, 0x020}, {0x080, 10, 0x100},  {0x200, 10, 0x200},
        {0x00F, 10, 0x00F},  {0x3FF, 10, 0x3FF}, {0xFC00, 10, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapCylinderMask(c.mask, c.n), c.expected) << std::hex << c.mask << " n=" << std::dec << c.n;
}

TEST(DiagnosiRules, FaultPicturesKeepTheEcuOrderForTenCylinders)
{
    EXPECT_EQ(FaultPictureMask(0x100, 10), 0x100u); // the first bank's fifth picture, not the second bank's first
    EXPECT_EQ(FaultPictureMask(0x0F0, 10), 0x0F0u);
    EXPECT_EQ(FaultPictureMask(0x05, 4), 0x05u);
    EXPECT_EQ(FaultPictureMask(0x05, 7), 0u);
}

TEST(DiagnosiRules, LetterVisibilityByCylinderCount)
{
    // Control letters in the order A B C D I E F G H L.
    struct Case {
        int n;
        const char* visible;
    };
    const Case cases[] = {
        {2, ""},         {3, "ABC"},        {4, "ABCD"},       {5, "ABCEF"},      {6, "ABCEFG"},
        {7, "ABCEFG"},   {8, "ABCDEFGH"},   {9, "ABCDEFGH"},   {10, "ABCDIEFGHL"}, {12, "ABCDIEFGHL"},
    };
    for (const auto& c : cases) {
        std::string got;
        for (const auto& l : kInjectorLetters)
            if (LetterVisible(l.control, c.n))
                got += l.control;
        EXPECT_EQ(got, c.visible) << "n=" << c.n;
    }
}

TEST(DiagnosiRules, LetterBitsAndCaptions)
{
    std::string captions;
    std::uint32_t all = 0;
    for (const auto& l : kInjectorLetters) {
        captions += l.caption;
        EXPECT_EQ(all & l.bit, 0u);
        all |= l.bit;
    }
    EXPECT_EQ(captions, "ABCDEABCDE");
    EXPECT_EQ(all, 0x3FFu);
    EXPECT_EQ(kInjectorLetters[4].control, 'I');
    EXPECT_EQ(kInjectorLetters[4].bit, 0x100u);
    EXPECT_EQ(kInjectorLetters[9].control, 'L');
    EXPECT_EQ(kInjectorLetters[9].bit, 0x200u);
}

TEST(DiagnosiRules, InjectorLettersText)
{
    EXPECT_EQ(InjectorLettersText(0), QStringLiteral(" ()"));
    EXPECT_EQ(InjectorLettersText(0x05), QStringLiteral(" (A, C)"));
    EXPECT_EQ(InjectorLettersText(0x10), QStringLiteral(" (E)"));
    EXPECT_EQ(InjectorLettersText(0x3FF), QStringLiteral(" (A, B, C, D, E, F, G, H, I, J)"));
    EXPECT_EQ(InjectorLettersText(0xFC00), QStringLiteral(" ()")); // bits above 9 have no letter
}

TEST(DiagnosiRules, ErrorCodes)
{
    EXPECT_EQ(ErrorIndex(0, 0), 0);
    EXPECT_EQ(ErrorIndex(1, 3), 11);
    EXPECT_EQ(ErrorCode(0), QStringLiteral("S100"));
    EXPECT_EQ(ErrorCode(ErrorIndex(4, 7)), QStringLiteral("S139"));
}

TEST(DiagnosiRules, CounterFormat)
{
    const std::pair<long long, const char*> cases[] = {
        {0, "0:00"}, {5, "0:05"}, {9, "0:09"}, {10, "0:10"}, {59, "0:59"}, {60, "1:00"},
        {75, "1:15"}, {750, "12:30"}, {65535LL * 20 + 19, "21845:19"},
    };
    for (const auto& [minutes, text] : cases)
        EXPECT_EQ(FormatCounterMinutes(minutes), QString::fromLatin1(text)) << minutes;
}

TEST(DiagnosiRules, PageKeys)
{
    const bool all[4] = {true, true, true, true};
    const bool noInjectors[4] = {true, false, true, true};
    EXPECT_EQ(PageForKey(all, 4, 0, PageKey::Function, 1), 0);
    EXPECT_EQ(PageForKey(all, 4, 0, PageKey::Function, 3), 2);
    EXPECT_EQ(PageForKey(noInjectors, 4, 0, PageKey::Function, 2), 2);
    EXPECT_EQ(PageForKey(noInjectors, 4, 0, PageKey::Function, 3), 3);
    EXPECT_EQ(PageForKey(noInjectors, 4, 0, PageKey::Function, 4), 0); // steps wrap round
    EXPECT_EQ(PageForKey(noInjectors, 4, 0, PageKey::Next), 2);
    EXPECT_EQ(PageForKey(noInjectors, 4, 2, PageKey::Previous), 0);
    EXPECT_EQ(PageForKey(noInjectors, 4, 0, PageKey::Previous), 3);
    EXPECT_EQ(PageForKey(noInjectors, 4, 2, PageKey::Last), 3);
    EXPECT_EQ(PageForKey(noInjectors, 4, 3, PageKey::First), 0);
    const bool none[4] = {false, false, false, false};
    EXPECT_EQ(PageForKey(none, 4, 0, PageKey::Next), -1);
}

} // namespace
