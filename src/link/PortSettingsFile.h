#pragma once

#include "SerialPort.h"

#include <optional>

// Support/RSPort.cfg: one line "PORT, BAUD [, DEVICE]".
namespace PortSettingsFile {

enum class FileState {
    Missing,    // nothing at the path: the defaults may be written there
    Unreadable, // something is there that cannot be read as a file: never replaced
    Readable,
};
// A symbolic link counts as there even when it leads nowhere.
FileState state(const QString& path);

// Settings from the file; a missing or empty file gives nullopt.
// The port is clamped to 1..99 and a baud other than 9600 or 19200 reads as 9600.
std::optional<PortSettings> read(const QString& path);
// The same from the file's first bytes (an empty file gives nullopt).
std::optional<PortSettings> parse(const QByteArray& bytes);

// The settings in force at path for the link and telvane-cli: the file's,
// or, where it is missing or empty, the defaults, which are then written
// there (a folder that cannot be written keeps nobody offline: the defaults
// hold all the same). nullopt when something is there that cannot be read:
// it is the user's and stays as it is.
std::optional<PortSettings> readOrWriteDefaults(const QString& path);

// The line as the settings window writes it, with its CR LF: the speed as a
// printed number, a blank on either side ("1, 9600 "), then the device
// field when set ("1, 9600 ,/dev/ttyUSB0").
QByteArray printedLine(const PortSettings& settings);

// Writes the line "1,9600" (creating the folder); the device field only when set.
bool write(const QString& path, const PortSettings& settings);

} // namespace PortSettingsFile
