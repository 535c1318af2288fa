#pragma once

#include "CliExit.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class RSComm;
class StderrPrompt;

// What a command's handler works with: the link (online when the command
// needs it), its prompt, and where the port came from, for messages.
struct CliSession {
    RSComm& link;
    StderrPrompt& prompt;
    QString port; // "DEVICE (from --device)", "DEVICE (port N in FILE)"; empty offline
    // For a command whose arguments decide whether it needs the board (diff
    // board FILE): opens the link as for the others, printing why not when
    // no board answered. The main function closes it.
    std::function<bool()> openLink = {};
    // The device the link opened.
    QString device = {};
    // The exit status has a meaning of its own (diff's 1 is "different"):
    // nothing is said for it.
    bool ownStatus = false;
    // The status when the output could not be written: a command whose 1
    // means something else names another.
    int outputFailedStatus = OutputFailed;
};

// nullopt when the arguments are fine; otherwise the one line that says why not.
using ArgumentCheck = std::optional<QString> (*)(const QStringList& args);
// Runs the command and returns its CliExit status.
using CommandHandler = int (*)(CliSession& session, const QStringList& args);

// One row of telvane-cli's command table: --help and the argument count
// check come from it.
struct CliCommand {
    const char* group; // heading in --help
    const char* name;
    const char* arguments; // synopsis, "" for none
    const char* help;      // lines broken with '\n'
    int minArgs;
    int maxArgs; // -1: any number from minArgs on
    bool needsLink;
    ArgumentCheck check; // form and range of the arguments; may be nullptr
    CommandHandler run;
};
