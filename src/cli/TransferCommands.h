#pragma once

#include "CliCommand.h"

// The group transfers of telvane-cli: "upload GROUP FILE.sdt" reads a group
// from the board into the set-up record of the file, "download GROUP
// FILE.sdt" sends it from the file to the board. GROUP is setup, timing,
// shift or all. They run the transfer engine the progress window runs.
namespace TransferCommands {

// Checked before the link opens: nullopt when the command may go on, else
// the reason (a GROUP that is not one of the four) or the warning of a file
// the command cannot use. A download needs a file it can read; an upload
// reads into the defaults when the file does not exist (its folder must
// exist), but never replaces a file that is there and is no set-up data file.
std::optional<QString> checkUpload(const QStringList& args);
std::optional<QString> checkDownload(const QStringList& args);

// The CliExit status: Ok when the whole group went through (and, for an
// upload, the file was saved); LinkFailed when it did not, OutputFailed when
// the file could not be saved; the file as it was in both cases.
int upload(CliSession& session, const QStringList& args);
int download(CliSession& session, const QStringList& args);

} // namespace TransferCommands
