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
// The commands' part of --help: each group under its heading, in table order.
QString help();
// One entry of --help, "  HEAD" and its text, the text's line breaks taken
// as spaces and wrapped into a column of its own, no line over 79 characters.
// A head too long for its column stands on a line of its own.
QString entry(const QString& head, const QString& text, int column = 32);

} // namespace CommandTable
