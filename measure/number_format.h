#pragma once

#include <QString>

// Number texts shown to the operator. All use the default locale's decimal separator
// (QLocale(), which the program sets from the system) and never a group separator.
// Rounding works on the shortest decimal form of the double, halves away from zero, so
// 0.125 with two decimals shows 0.13 as a reader expects.

// x rounded to p significant digits, then written with exactly d decimals: at least one
// digit before the separator, "-" for a negative value (not when every shown digit is 0).
// A number with more integer digits than p stays in plain fixed notation of the rounded
// value: formatFixed(1234567, 4, 1) is "1235000.0". p below 1 counts as 1, d below 0 as 0.
// Infinities and NaN print as "INF", "-INF" and "NAN".
QString formatFixed(double x, int p, int d);

// Shortest form with up to 15 significant digits; an integer prints without separator
// (1250 gives "1250"). Numbers of 10^15 and above or below 0.00001 in magnitude use the
// form "1.5E20" / "1E-6".
QString formatGeneral(double x);

// Decimal digits of an integer.
QString formatInteger(long long n);
