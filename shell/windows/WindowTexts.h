#pragma once
// Where the windows take their texts from: the translator's text of a string
// number. Until a window is given the translator it uses the program's own
// Italian texts of the numbers it needs.
#include <QString>
#include <functional>

using TextSource = std::function<QString(int number)>;

// The Italian texts of the wait form's operations (30, 31, 32, 43, 51, 241);
// an empty text for any other number, as the translator gives for a missing
// string.
QString ItalianWaitText(int number);
