#pragma once

#include <QChar>
#include <QString>

// How values are shown on screen.
namespace DisplayFormat {

// Character 176 of the Windows ANSI code page.
constexpr QChar DegreeSign = QChar(0x00B0);

// Speeds above this show the machine position as 888: it turns too fast to
// read (the main display, the Plant window).
constexpr double ReadablePositionSpeed = 30;

// The text's leading number as a whole number (halves to even) with the digit
// grouping and sign of the user's regional settings: 12345 shows as 12,345.
QString GroupedWhole(const QString& numberText);
QString GroupedWhole(qint64 value);

// The text trimmed, followed by the degree sign.
QString Degrees(const QString& text);

} // namespace DisplayFormat
