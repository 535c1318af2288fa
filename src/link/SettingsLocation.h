#pragma once

#include <QString>

// Where the port settings file lives. The program folder holds it while it
// can be written (a build, an unpacked copy); an installed program's folder
// belongs to the system, so its users keep their port settings in their own
// configuration folder.
namespace SettingsLocation {

// The user's configuration folder of TELVANE: "telvane" in the generic
// configuration folder (~/.config/telvane), one folder for the program and
// telvane-cli, whose application names differ.
QString userFolder();

// New files can be created in the folder (tried, not guessed from the
// permission bits, which do not tell a read-only mount or an administrator).
bool canWrite(const QString& folder);

// The program folder's own port settings file, Support/RSPort.cfg.
QString programPortSettings(const QString& programFolder);
// The user's, RSPort.cfg in userFolder().
QString userPortSettings();
// What the windows keep for their user (telvane.conf in userFolder(), INI).
QString userWindowSettings();

// The port settings file in force: the user's when it exists, otherwise the
// program folder's while that can be written, otherwise the user's.
QString portSettingsFile(const QString& programFolder);

} // namespace SettingsLocation
