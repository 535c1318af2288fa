#pragma once

#include "CliCommand.h"

// The commands of telvane-cli that drive the board's PLS (pls-read,
// pls-setpoint, pls-pulse, pls-clear, pls-recall, pls-offset, pls-config,
// pls-config-download): their checks
// and handlers for the command table. Handlers return Ok when the operation
// succeeded, LinkFailed when the link failed, Usage when the link or the
// board refused it.
namespace PlsCommands {

std::optional<QString> checkRead(const QStringList& args);
std::optional<QString> checkSetpoint(const QStringList& args);
std::optional<QString> checkPulse(const QStringList& args);
std::optional<QString> checkChannel(const QStringList& args);
std::optional<QString> checkOffset(const QStringList& args);
std::optional<QString> checkConfigDownload(const QStringList& args);

int read(CliSession& session, const QStringList& args);
int setpoint(CliSession& session, const QStringList& args);
int pulse(CliSession& session, const QStringList& args);
int clear(CliSession& session, const QStringList& args);
int recall(CliSession& session, const QStringList& args);
int offset(CliSession& session, const QStringList& args);
int config(CliSession& session, const QStringList& args);
int configDownload(CliSession& session, const QStringList& args);

} // namespace PlsCommands
