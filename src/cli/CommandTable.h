#pragma once

#include "CliCommand.h"

#include <span>

// The commands of telvane-cli, one row each. A new command is a new row
// (and a handler in a file of its own); the parsing and --help follow.
namespace CommandTable {

std::span<const CliCommand> commands();
const CliCommand* find(const QString& name);
// "NAME ARGUMENTS" of a command.
QString synopsis(const CliCommand& command);
// The "Commands:" part of --help, group by group in table order.
QString help();

} // namespace CommandTable
