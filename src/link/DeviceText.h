#pragma once

#include <QString>
#include <optional>

// The device text: what names the board's port in the Comm Port window, on
// the command line (--device, port) and in the port settings file's third
// field: a local device path or a serial device server's address. One check
// for all of them, so that whatever one accepts the others keep as it was.
namespace DeviceText {

// The longest text taken; the settings file's reader reads a line of this
// much and more whole.
constexpr qsizetype MaxLength = 1024;

// Why the text, blanks around it aside, cannot name the board's port (too
// long, a control character, what the settings file cannot hold, a
// malformed server address); nullopt when it can. Nothing is looked up.
std::optional<QString> problem(const QString& text);

// A character that breaks the line or the column a one-line text stands in
// (control and format characters, line and paragraph separators).
bool isControl(QChar c);

// The text as a message shows it: a password (the part before "@" of a
// server address) hidden, and a text longer than any taken cut short.
QString shown(const QString& text);

} // namespace DeviceText
