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

// Writes the line (creating the folder); the device field only when set.
bool write(const QString& path, const PortSettings& settings);

} // namespace PortSettingsFile
