#pragma once

#include <QString>
#include <optional>

// The one locale-free reading of numbers typed by users or found in files:
// the longest leading number (blanks, sign, digits, decimal point, exponent),
// 0 when there is none. Never parse such text with QLocale.
namespace NumberText {

// Value of the longest leading number of the text; 0 when there is none.
double leadingNumber(const QString& text);

// True when the whole text, blanks around it aside, is one number.
bool isNumeric(const QString& text);

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

// The leading number rounded half to even and clamped to a 32-bit integer
// (0 when there is none): what a register value or a typed entry becomes.
qint32 wholeInt32(const QString& text);

// The numeric text rounded half-to-even into an integer range; nullopt when
// the text is not numeric or the value lies outside [low, high].
std::optional<long long> toWhole(const QString& text, long long low, long long high);

// A value text as it is written to a register: digits are kept; blanks,
// "%", "," and the degree sign are skipped; "." is the decimal point and the
// fraction rounds half to even. nullopt for any other character (a sign
// included). Capped far above every register's range.
std::optional<quint64> registerValue(const QString& valueText);

} // namespace NumberText
