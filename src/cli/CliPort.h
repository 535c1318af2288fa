#pragma once

#include "SerialPort.h"

#include <optional>

// Which port telvane-cli opens, and where that choice came from.
struct CliPortChoice {
    PortSettings settings;
    QString where;                // "DEVICE (from --device)", "DEVICE (port N in FILE)"
    std::optional<QString> error; // the port cannot be chosen; nothing may be opened
};

namespace CliPort {

// With a device the settings file is never created or changed; it is read
// only for the speed when baud is empty. Without one the file names the
// port and is created with the defaults when missing, as the program does;
// a file that is there but cannot be read is an error and stays untouched.
CliPortChoice choose(const QString& settingsFile, const QString& device, const QString& baud);

// The speed the link asks the board at (the rule of the serial layer).
int baud(const CliPortChoice& choice);
// No board answered: where and at which speed it was asked, and how to find
// the speed it answers at (a raw socket:// server sets the speed itself).
QString noAnswer(const CliPortChoice& choice);

} // namespace CliPort
