#pragma once

#include "CliCommand.h"

// The commands of telvane-cli that read and write registers and read the
// board's fault and firmware: their checks and handlers for the command table.
namespace RegisterCommands {

std::optional<QString> checkRead(const QStringList& args);
std::optional<QString> checkWrite(const QStringList& args);

int read(CliSession& session, const QStringList& args);
int write(CliSession& session, const QStringList& args);
int fault(CliSession& session, const QStringList& args);
int firmware(CliSession& session, const QStringList& args);

} // namespace RegisterCommands
