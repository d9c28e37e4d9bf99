#pragma once
// Numbers as the operator reads them: the decimal separator of the operator's locale (the default
// QLocale), and the classic fixed and exponent forms with their digit limits.
#include <QString>
#include <string>

// Fixed-point form with `decimals` decimals after rounding to at most `precision` significant
// digits; a number with more than `precision` integer digits falls back to exponent form
// ("1.235E4"). NaN and infinities read "NAN", "INF", "-INF".
QString FormatFixed(double x, int precision, int decimals);

// Exponent form with three significant digits and an exponent of at least two digits with its
// sign: 0.3 -> "3.00E-01", 10 -> "1.00E+01", 0 -> "0.00E+00".
QString FormatThreshold(double x);

// The operator's decimal separator.
QChar DecimalSeparator();

// The shortest text that reads back as the same float, "." whatever the locale; "inf", "-inf",
// "nan" for what is not finite. For files that programs read, not for the operator.
std::string ShortestFloatText(float x);
