#pragma once
// The rules of the diagnostics window that need no window: error codes,
// injector letters and masks, the counter format. QtCore only.
#include <QString>
#include <array>
#include <cstdint>

namespace diagnosi {

// Error index of bit b of diagnostic state word w: 8 x w + b.
constexpr int ErrorIndex(int word, int bit) { return 8 * word + bit; }
// "S" followed by 100 + the error index (S100 to S139).
QString ErrorCode(int index);

// One injector letter of the two pages of injectors.
struct InjectorLetter {
    char control;       // the control letter: A B C D I (bank 1), E F G H L (bank 2)
    int bank;           // 1 or 2
    char caption;       // the letter shown: "A" to "E" in either bank
    std::uint32_t bit;  // its bit of the injector mask (ECU order), also the pictures' Tag
};
// In the order A B C D I E F G H L.
extern const std::array<InjectorLetter, 10> kInjectorLetters;

// Whether a letter's controls exist for n cylinders.
bool LetterVisible(char control, int cylinders);

// A 16-bit mask in the ECU's bit order turned into letter order: 3, 4, 5, 6
// and 8 cylinders keep the low 8 bits; ten cylinders keep bits 0-3, move bit
// 8 to bit 4, bits 4-7 to bits 5-8 and keep bit 9; any other count gives 0.
std::uint32_t MapCylinderMask(std::uint32_t mask, int cylinders);

// " (" + the letters 'A' + i of every set bit i from 0 to 9 separated by
// ", " + ")"; " ()" when none is set. The mask is in letter order.
QString InjectorLettersText(std::uint32_t letterMask);

// The mask the fault pictures of the injector test read their bits from.
// The pictures are laid out in the ECU's order, so for ten cylinders the
// mask keeps that order (letter order would put the first bank's fifth
// injector on the second bank's first picture); for every other count it is
// MapCylinderMask.
std::uint32_t FaultPictureMask(std::uint32_t mask, int cylinders);

// A counter in minutes as hours ":" two-digit minutes (5 -> "0:05",
// 750 -> "12:30"); hours without leading zeros.
QString FormatCounterMinutes(long long minutes);

// The description of an error index: the entries 0 to 11 (string numbers,
// -1 for the empty text of S110).
constexpr std::array<int, 12> kDescriptionStrings = {438, 439, 440, 441, 442, 443, 444, 445, 446, 551, -1, 583};

// The page among the pages with a visible tab that a key makes active.
// visible[i]: whether page i's tab shows; current: the active page. Keys:
// F1..F12 (fKey 1..12) step forward fKey - 1 times from the first page;
// PageDown/PageUp step to the next/previous page, with Ctrl to the last/first.
// -1 when no page has a visible tab.
enum class PageKey { Function, Next, Previous, Last, First };
int PageForKey(const bool* visible, int pageCount, int current, PageKey key, int fKey = 1);

} // namespace diagnosi
