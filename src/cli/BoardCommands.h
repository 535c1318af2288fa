#pragma once

#include "CliCommand.h"

// The commands of telvane-cli that do what the Target Board Interface does:
// board-status prints its pages as text, reset-faults and clock-set press
// its buttons. The command is the confirmation: a question is printed like
// every prompt and taken as answered Yes.
namespace BoardCommands {

std::optional<QString> checkStatus(const QStringList& args);

int status(CliSession& session, const QStringList& args);
int resetFaults(CliSession& session, const QStringList& args);
int clockSet(CliSession& session, const QStringList& args);

} // namespace BoardCommands
