#pragma once

#include <QString>
#include <QStringList>

class RSComm;

// The commands of telvane-cli that drive the board's PLS (pls-read,
// pls-setpoint, pls-pulse, pls-clear, pls-recall, pls-offset, pls-config,
// pls-config-download) and read a program project (project).
namespace PlsCommands {

// True when the command is one of these, with arguments of the right number and form.
bool accepts(const QString& command, const QStringList& args);
// project reads files only; the others need the link online.
bool needsLink(const QString& command);
// Runs the command and prints its result; the CliExit status: Ok when the
// operation succeeded, LinkFailed when the link failed, Usage when the link
// or the board refused it.
int run(RSComm& link, const QString& command, const QStringList& args);

} // namespace PlsCommands
