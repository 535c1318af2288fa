#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class Prompt;
class RSComm;

// The group transfers of telvane-cli: "upload GROUP FILE.sdt" reads a group
// from the board into the set-up record of the file, "download GROUP
// FILE.sdt" sends it from the file to the board. GROUP is setup, timing,
// shift or all. They run the transfer engine the progress window runs.
namespace TransferCommands {

// upload or download with two arguments.
bool accepts(const QString& command, const QStringList& args);
// Checked before the link opens: nullopt when the command may go on, else
// the reason (a GROUP that is not one of the four) or the warning of a file
// the command cannot use. A download needs a file it can read; an upload
// reads into the defaults when the file does not exist, but never replaces
// a file that is there and is no set-up data file.
std::optional<QString> checkUpload(const QStringList& args);
std::optional<QString> checkDownload(const QStringList& args);

// The CliExit status: Ok when the whole group went through (and, for an
// upload, the file was saved); LinkFailed otherwise, the file as it was.
int upload(RSComm& link, Prompt& prompt, const QStringList& args);
int download(RSComm& link, Prompt& prompt, const QStringList& args);

} // namespace TransferCommands
