#pragma once

#include "CliCommand.h"

// telvane-cli diff A B [--groups LIST] [--csv]: what differs between two
// set-up data files, the board (the word "board") or snapshots of the set-up
// history ("history:N"), as the compare window shows it. Exit 0 when equal,
// 1 when different, 2 on trouble (a file or snapshot that cannot be read, a
// refused argument), 3 when the board fails; the board is read as an upload
// of the groups reads it, and kept as a snapshot.
namespace DiffCommand {

std::optional<QString> check(const QStringList& args);
int run(CliSession& session, const QStringList& args);

} // namespace DiffCommand
