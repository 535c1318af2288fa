#pragma once

#include "SerialPort.h"
#include "WholeFile.h"

#include <optional>

// Saving port settings, the same from the window and from the command line.
namespace PortSettingsSave {

using Failure = WriteFailure;

// Why a device path typed by the user cannot be the board's port (it does
// not exist, or is not a character device; a serial device server's address
// is not well formed); nullopt when it can.
std::optional<QString> deviceProblem(const QString& device);

// Writes the settings file (its folder made if need be) in the settings
// window's printed form, then KORVEL.SFG, the development system's zero-based
// port index, into each board-program folder below the program folder that
// exists. Each file is replaced as a whole or not at all.
std::optional<Failure> save(const QString& settingsFile, const QString& programFolder,
                            const PortSettings& settings);

} // namespace PortSettingsSave
