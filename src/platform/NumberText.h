#pragma once

#include <QString>

#include <cstdint>

// Number conversions of the numeric entry fields and of the dialogs that read
// them, with the leniency of the C runtime's atof/atol: leading blanks, an
// optional sign, digits, a fraction and an exponent; whatever follows is
// ignored and a text without a number gives 0. They never depend on the
// process locale: the decimal point is always ".".
namespace NumberText {

double ToReal(const QString& text);
// Saturates at the 32-bit limits instead of overflowing.
std::int32_t ToInt32(const QString& text);

// "%.*lf" with the given decimals; with 0 decimals the whole part, truncated
// toward zero, with "%ld". Values beyond the 64-bit range saturate there
// rather than being converted with undefined results.
QString FormatFixed(double value, int decimals);

// "%.*lf": the value rounded to the given decimals.
QString FormatPrecision(double value, int decimals);

// "%lf" (six decimals).
QString FormatLf(double value);

// Whether the text holds a character from "A" to "z" (codes 65 to 122): such
// a text is a word put in a field in place of a number.
bool HasWordCharacter(const QString& text);

}  // namespace NumberText
