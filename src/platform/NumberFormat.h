#pragma once

#include <QString>

#include <optional>

// The number forms that the units' replies, the displays and the stored files rely on.
// One module, used everywhere, so that a rounding rule is decided in one place.
namespace numfmt {

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
qint64 roundHalfEven(double value);

// Wraps to a signed 16-bit value as the units' 16-bit fields do (40000 -> -25536).
qint16 wrap16(qint64 value);

// Three and four digits with leading zeros ("007", "0042"). Negative values keep their
// sign in front of the digits ("-07" is not produced: "-007"). Values are rounded first.
QString afmtINT3(double value);
QString afmtINT4(double value);

// Hexadecimal text to a signed 16-bit value ("FFFF" -> -1, "7F" -> 127). Blanks are
// ignored; a leading "&H" or "0x" is accepted; reading stops at the first character that
// is not a hexadecimal digit; no digits gives 0. More than four digits keep the low 16 bits.
qint16 aH2I(const QString& hexText);

// Two-argument arctangent in radians with pi taken as 3.14159: x = 0 gives +pi/2 for
// y > 0, else -pi/2; otherwise atan(y / x), plus pi when x < 0.
double dTan2(double x, double y);

// A numeric format pattern of the legacy kind: "0" is a digit that is always shown,
// "#" a digit shown only when significant, "." the decimal point; e.g. "##0.0",
// "000.0", "0000", "#0.00". Rounds half to even at the last shown place.
QString formatPattern(double value, const QString& pattern);

// The legacy form of a number as text: a non-negative number gets one leading space,
// a negative one its minus sign ("12" -> " 12", -3 -> "-3", 2.5 -> " 2.5").
QString leadingSpace(double value);
QString leadingSpace(qint64 value);
// Plain int (and 16-bit values) would otherwise be ambiguous between the two above.
inline QString leadingSpace(int value)
{
    return leadingSpace(qint64(value));
}

// Reads the number at the start of the text as the legacy reader does: blanks, tabs and
// line feeds are ignored wherever they stand, then an optional sign, digits, one decimal
// point and an exponent ("E" or "D" followed by digits); it stops at the first character
// that cannot continue the number. No digits gives 0. ("  12ab" -> 12, "-3.5x" -> -3.5,
// "- 1 2" -> -12, "abc" -> 0.) "&H" and "&O" read hexadecimal and octal; a value that
// fits in 16 bits is a signed 16-bit one ("&HFFFF" -> -1), as the unit's hex fields mean.
double leadingNumber(const QString& text);

// Whole-text conversions used for stored settings. Empty when the text does not convert.
// toInt16: a decimal number (fractions round half to even) within -32768..32767.
std::optional<int> toInt16(const QString& text);
// toBool: "True"/"False" in any case, or a number (non-zero is true).
std::optional<bool> toBool(const QString& text);

} // namespace numfmt
