#pragma once

#include <QString>

namespace tillora {

// Number from text: full-width digits, signs and points become half-width, then
// the longest leading decimal number is read as C atof reads it; none gives 0.
double numberFromText(const QString& text);
// Whole number from text, as C atoi reads it (after the same full-width step).
int wholeFromText(const QString& text);
// A double written as C "%.13g" writes it (12.5 -> "12.5", 10 -> "10").
QString numberText(double value);
// Rounding to n decimals, halves away from zero:
// sign * (trunc(|x| * 10^n + 1e-12) + (frac >= 0.5 ? 1 : 0)) / 10^n.
double roundTo(double value, int decimals);
// The money text: two decimals by text operations alone, no rounding.
// "" -> ".00", "12" -> "12.00", "12.5" -> "12.50", "12.345" -> "12.34", "12." -> "12.".
QString MoneyText(const QString& numberText);

} // namespace tillora
