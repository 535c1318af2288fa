#pragma once

#include "CliCommand.h"

// telvane-cli history: the snapshots of the set-up history. "history
// [PRESS]" lists them (of one press: its name, or a device without one),
// one line each, tab-separated: NUMBER, TIME, PRESS, DEVICE, ACTION, GROUPS,
// USER. "history show N" prints a snapshot's values as diff prints rows,
// "history export N FILE.sdt" writes it as the file it was saved as. A
// history that cannot be read, or a snapshot that is not there, is exit 2
// with the reason.
namespace HistoryCommands {

std::optional<QString> check(const QStringList& args);
int run(CliSession& session, const QStringList& args);

} // namespace HistoryCommands
