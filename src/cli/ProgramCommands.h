#pragma once

#include "CliCommand.h"

// The commands of telvane-cli that download a project's program into the
// board and upload the board's program into a project. The command is the
// confirmation: its Yes/No questions are answered Yes (and printed).
namespace ProgramCommands {

// Checks a project for the program download and prints what it found.
int project(CliSession& session, const QStringList& args);
int download(CliSession& session, const QStringList& args);
int upload(CliSession& session, const QStringList& args);

} // namespace ProgramCommands
