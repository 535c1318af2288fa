#pragma once

#include "CliCommand.h"

// The commands of telvane-cli that download a project's program into the
// board and upload the board's program into a project. The command is the
// confirmation: its Yes/No questions are answered Yes (and printed).
namespace ProgramCommands {

int download(CliSession& session, const QStringList& args);
int upload(CliSession& session, const QStringList& args);

} // namespace ProgramCommands
