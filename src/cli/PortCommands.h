#pragma once

#include "CliCommand.h"

// Finding the board, and the port settings file.
namespace PortCommands {

int find(CliSession& session, const QStringList& args);

// port: the settings file in force and what it names; port PORT BAUD
// [DEVICE]: saves them as the Comm Port window does.
std::optional<QString> checkPort(const QStringList& args);
int port(CliSession& session, const QStringList& args);

} // namespace PortCommands
