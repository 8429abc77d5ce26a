#pragma once
// The text of a number in the current language, as every window shows it.
#include <QString>

namespace wkit {

// The data module's translator's text of number; empty without a data module
// or a translator.
QString Text(int number);

} // namespace wkit
