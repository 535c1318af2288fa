#pragma once

#include <QString>

// Where the files a user saves go. The program folder holds them while it can
// be written (a build, an unpacked copy); an installed program's folder
// belongs to the system, so its users keep their port settings in their own
// configuration folder and start their set-up files in their documents.
namespace SettingsLocation {

// The user's configuration folder of TELVANE (the program's
// AppConfigLocation, which telvane-cli shares).
QString userFolder();

// New files can be created in the folder (tried, not guessed from the
// permission bits, which do not tell a read-only mount or an administrator).
bool canWrite(const QString& folder);

// The program folder's own port settings file, Support/RSPort.cfg.
QString programPortSettings(const QString& programFolder);
// The user's, RSPort.cfg in userFolder().
QString userPortSettings();

// The port settings file in force: the user's when it exists, otherwise the
// program folder's while that can be written, otherwise the user's.
QString portSettingsFile(const QString& programFolder);

// Where Open, Save As and Export first look: the program folder, or, when
// the program folder cannot be written, the user's documents folder, or
// the home folder of a user who has none.
QString fileDialogStart(const QString& programFolder);

} // namespace SettingsLocation
