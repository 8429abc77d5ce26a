#pragma once
// The number texts of the bound editors: the shortest general format in which
// values are shown, and the strict readers of what the user typed or pasted.
#include <QChar>
#include <QString>

namespace complib {

// The user's decimal separator and thousands separator (the latter a null
// QChar when the locale has none).
QChar DecimalSeparator();
QChar ThousandSeparator();

// The shortest general text of v: rounded to 15 significant digits, trailing
// zeros dropped; fixed-point when the value has at most 15 digits before the
// separator and is at least 0.00001 in size, otherwise scientific ("1E20",
// "1,5E-7"). Zero (also -0) is "0"; not-a-number and infinities are "NAN",
// "INF" and "-INF".
QString FormatGeneral(double v, QChar decimalSeparator);
QString FormatGeneral(double v); // with the user's separator

// Fixed notation with exactly `decimals` decimals (0..18), the value rounded
// once, to nearest with halves away from zero on its exact binary value, to
// whichever is coarser: `decimals` decimals or `significant` significant
// digits (1..18). Digits beyond the significant ones are written as zeros,
// also before the separator: (12.345, 3, 2) is "12.30", (1234.5, 3, 1)
// "1230.0". A value that rounds to zero has no sign ("0.00", never "-0.00").
// Not-a-number and infinities are "NAN", "INF" and "-INF", as FormatGeneral
// writes them.
QString FormatFixed(double v, int significant, int decimals, QChar decimalSeparator);

// A picture format such as "#,000.0": fixed notation with exactly `decimals`
// decimals (rounded as FormatFixed does with 18 significant digits), at
// least `integerDigits` digits before the separator (leading zeros), the
// integer digits in groups of three split by thousandSeparator (none when it
// is a null QChar). (5.3, 3, 1) is "005.3", (1234.56, 3, 1) "1,234.6".
QString FormatGroupedFixed(double v, int integerDigits, int decimals, QChar decimalSeparator,
                           QChar thousandSeparator);

// An integer as "%i" prints it.
QString FormatInteger(int n);

// A finite number written in the user's format: optional blanks around it, an
// optional sign, digits with at most one decimal separator (at least one
// digit), an optional exponent (E or e, optional sign, digits). Anything else
// ("inf", "nan", "1e999", thousands separators, the other separator) is not a
// number. On success *out holds the value.
bool ParseNumber(const QString& text, QChar decimalSeparator, double* out);
bool ParseNumber(const QString& text, double* out); // with the user's separator

// A decimal integer that fits an int: optional blanks around it, an optional
// sign, digits.
bool ParseInteger(const QString& text, int* out);

} // namespace complib
