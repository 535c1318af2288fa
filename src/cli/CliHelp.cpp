#include "CliHelp.h"

#include "CommandTable.h"

namespace {

const char* const intro =
    "Usage: telvane-cli [--device PATH] [--baud 9600|19200] [--trace FILE]\n"
    "                   COMMAND [ARGUMENTS]\n"
    "\n"
    "Talks to the cupper's controller board over the serial link, as TELVANE does in\n"
    "its windows: reads and writes its registers, programs its PLS, moves set-up\n"
    "data between the board and \".sdt\" files, reads its faults, sets its clock and\n"
    "downloads programs. The commands of the groups marked \"no link needed\" work on\n"
    "files alone.\n";

const char* const notes =
    "Addresses:\n"
    "  W1020 (word), B8176 (byte), B110.6 (bit 0..7 of a byte), D1100 (double word),\n"
    "  F858 (flag), EFF0H (byte, hexadecimal); every byte within 0..65535. Anything\n"
    "  else is a usage error, and nothing is sent.\n"
    "\n"
    "Port settings:\n"
    "  Without --device the port settings file names the port (see Files); it is\n"
    "  created with the defaults (port 1, 9600 baud) when missing, and never\n"
    "  replaced when it cannot be read. With --device no settings file is created;\n"
    "  its speed is used when --baud is not given. A serial device server's port is\n"
    "  named socket://HOST:PORT (raw TCP: the server sets the speed) or\n"
    "  rfc2217://HOST:PORT (telnet with RFC 2217: TELVANE sets the speed); an IPv6\n"
    "  address goes in brackets. Neither is encrypted: use them on a trusted network.\n"
    "\n"
    "Messages and questions:\n"
    "  Every message goes to standard error and starts with \"telvane-cli: \"; those\n"
    "  of the link follow as TITLE: TEXT. Questions (Retry/Cancel) are answered\n"
    "  Cancel, except that program-download and program-upload answer their Yes/No\n"
    "  questions Yes. Their progress shows on standard error when it is a terminal.\n"
    "\n"
    "Values:\n"
    "  Values are refused as the Machine Timing window refuses them, before anything\n"
    "  is written: channels 0..7 (pls-setpoint, pls-clear, pls-recall), setpoints\n"
    "  and positions 0..359, an ON setpoint equal to the OFF one, and pls-offset\n"
    "  while the machine turns.\n"
    "\n"
    "Output:\n"
    "  Results go to standard output, each line written at once. Output that cannot\n"
    "  be written (a full disk) ends the command with \"telvane-cli: cannot write the\n"
    "  output: REASON\" and exit status 1 (diff: 2). A reader that goes away (a pipe\n"
    "  into head that has ended) ends the command at once, without a message and\n"
    "  without asking the board anything more; the exit status is then that of\n"
    "  what the command did (0 when that went through).\n";

struct Entry {
    const char* term;
    const char* text;
};

// A paragraph of its own: the manual page takes the exit status section's
// indented lines for entries.
const char* const exitStatusNote =
    "\nCommands with an exit status of their own:\n"
    "  diff, find, port and board-status differ from the exit status table, and\n"
    "  watch, program-download and program-upload say more than it: the entry of\n"
    "  each command among the commands says how.\n";

const Entry exitStatus[] = {
    {"0", "all went through"},
    {"1",
     "the link failed (port not opened, communication error, a read or write that finally "
     "failed), a group transfer or a program transfer did not complete, or the output or the file "
     "upload saves could not be written"},
    {"2",
     "a usage error, a value the windows or the link refuse, a PLS command the board refused, a "
     "project that is not valid, a set-up file that cannot be read, a report that cannot be "
     "written, or a program transfer refused before the board was touched"},
    {"3", "diff only: the board failed"},
};

const Entry environment[] = {
    {"TELVANE_HOME", "the program folder, in place of the executable's"},
    {"XDG_CONFIG_HOME", "the user's configuration folder (default: ~/.config)"},
    {"TELVANE_DEBUG",
     "when set, Qt's own warnings are printed too, as \"telvane-cli: debug: ...\""},
};

const Entry files[] = {
    {"PROGRAM/Support/RSPort.cfg",
     "the port settings, one line PORT, BAUD [, DEVICE], for example 1, 19200, /dev/ttyUSB0; port "
     "N is /dev/ttyS<N-1> unless a device is named. PROGRAM is the program folder: the "
     "executable's, share/telvane beside the bin folder of an installed one, or TELVANE_HOME"},
    {"~/.config/telvane/RSPort.cfg",
     "the user's port settings, in force when the file exists or when the program folder cannot "
     "be written (an installed program)"},
    {"PROGRAM/support/FaultErrCodes.txt, PROGRAM/support/CommErrCodes.txt",
     "the texts of the board's fault and comm error codes"},
};

template <size_t N> QString section(const char* heading, const Entry (&entries)[N], int column) {
    QString text = u'\n' + QString::fromLatin1(heading) + QStringLiteral(":\n");
    for (const Entry& e : entries)
        text +=
            CommandTable::entry(QString::fromLatin1(e.term), QString::fromLatin1(e.text), column);
    return text;
}

} // namespace

namespace CliHelp {

QString text(const QList<QCommandLineOption>& options) {
    QString text = QString::fromLatin1(intro) + QStringLiteral("\nOptions:\n");
    for (const QCommandLineOption& o : options) {
        QStringList names;
        for (const QString& name : o.names())
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString head = names.join(QStringLiteral(", "));
        if (!o.valueName().isEmpty())
            head += u' ' + o.valueName();
        text += CommandTable::entry(head, o.description());
    }
    text += u'\n' + CommandTable::help() + u'\n' + QString::fromLatin1(notes);
    return text + QString::fromLatin1(exitStatusNote) + section("Exit status", exitStatus, 8) +
           section("Environment", environment, 20) + section("Files", files, 20);
}

} // namespace CliHelp
