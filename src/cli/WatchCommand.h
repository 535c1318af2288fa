#pragma once

#include "CliCommand.h"

// telvane-cli watch: samples registers over time and writes them as CSV to
// standard output until a count, a duration, Ctrl+C or SIGTERM ends it.
namespace WatchCommand {

std::optional<QString> check(const QStringList& args);
int run(CliSession& session, const QStringList& args);

} // namespace WatchCommand
