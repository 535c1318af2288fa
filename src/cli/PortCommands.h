#pragma once

#include "CliCommand.h"

// Finding the board, and the port settings file.
namespace PortCommands {

int find(CliSession& session, const QStringList& args);

} // namespace PortCommands
