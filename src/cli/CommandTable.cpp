#include "CommandTable.h"

#include "BoardCommands.h"
#include "DiffCommand.h"
#include "HistoryCommands.h"
#include "PlsCommands.h"
#include "PortCommands.h"
#include "ProgramCommands.h"
#include "RSComm.h"
#include "RegisterCommands.h"
#include "ReportCommands.h"
#include "TransferCommands.h"
#include "WatchCommand.h"

#include <QRegularExpression>

namespace {

constexpr const char* Registers = "Register commands";
constexpr const char* Pls = "PLS (programmable limit switch) commands";
constexpr const char* Transfers = "Group transfers (the File menu's Upload and Download)";
constexpr const char* Projects = "Program projects (no link needed)";
constexpr const char* SetupFiles = "Set-up data files (no link needed)";
constexpr const char* History = "Set-up history (no link needed)";
constexpr const char* Board = "Target board interface";
constexpr const char* Programs = "Program download and upload";
constexpr const char* Ports = "Serial port (no link needed)";

const CliCommand table[] = {
    {Registers, "read", "ADDRESS...",
     "read each register in turn and print its value on its own line;\na word or double "
     "word is read whole, its bytes of one moment,\nso a value that moves is never printed "
     "torn",
     1, -1, true, RegisterCommands::checkRead, RegisterCommands::read},
    {Registers, "write", "ADDRESS VALUE", "write the value (digits) to the register", 2, 2, true,
     RegisterCommands::checkWrite, RegisterCommands::write},
    {Registers, "fault", "", "print the board's fault code with its description", 0, 0, true,
     nullptr, RegisterCommands::fault},
    {Registers, "firmware", "", "print the board's firmware revision", 0, 0, true, nullptr,
     RegisterCommands::firmware},
    {Registers, "watch", "ADDRESS... [--every MS] [--count N] [--duration SECONDS]",
     "read the registers in turn every MS milliseconds (0, the default:\nas fast as the wire "
     "allows) and write CSV to standard output:\na header time,ADDRESS,... then one row per "
     "sample, the time\n(ISO 8601, milliseconds, UTC offset) and each value; a read\nthat "
     "failed leaves its cell empty. Ends after N samples or\nSECONDS, or on Ctrl+C or SIGTERM "
     "(exit 0, every row written);\na lost link ends it with the rows so far and exit 1; a reader "
     "that goes away ends it at once, quietly (exit 0)",
     1, -1, true, WatchCommand::check, WatchCommand::run},

    {Pls, "pls-read", "scale|offset|pos|rpm",
     "print the PLS scale factor, offset, position or speed", 1, 1, true, PlsCommands::checkRead,
     PlsCommands::read},
    {Pls, "pls-setpoint", "CH ON OFF", "clear channel CH, then program it ON..OFF", 3, 3, true,
     PlsCommands::checkSetpoint, PlsCommands::setpoint},
    {Pls, "pls-pulse", "CH ON OFF START",
     "program channel CH as a pulse train: ON divisions on,\nOFF divisions off, from position "
     "START",
     4, 4, true, PlsCommands::checkPulse, PlsCommands::pulse},
    {Pls, "pls-clear", "CH", "clear channel CH", 1, 1, true, PlsCommands::checkChannel,
     PlsCommands::clear},
    {Pls, "pls-recall", "CH",
     "recall one setpoint of channel CH; print STATE POSITION\n(state 1 ON, 0 OFF, other: not "
     "programmed)",
     1, 1, true, PlsCommands::checkChannel, PlsCommands::recall},
    {Pls, "pls-offset", "POSITION", "set the offset so that the present position reads POSITION", 1,
     1, true, PlsCommands::checkOffset, PlsCommands::offset},
    {Pls, "pls-config", "", "print the 19 PLS configuration bytes on one line", 0, 0, true, nullptr,
     PlsCommands::config},
    {Pls, "pls-config-download", "SCALE V0 ... V23",
     "write the 24 configuration values, then the scale factor", 1 + RSComm::PLSConfigValues,
     1 + RSComm::PLSConfigValues, true, PlsCommands::checkConfigDownload,
     PlsCommands::configDownload},

    {Transfers, "upload", "GROUP FILE.sdt",
     "read GROUP (setup, timing, shift or all) from the board into the\nset-up record of "
     "FILE.sdt (the defaults when FILE does not exist)\nand save FILE.sdt; on any failure FILE "
     "stays exactly as it was",
     2, 2, true, TransferCommands::checkUpload, TransferCommands::upload},
    {Transfers, "download", "GROUP FILE.sdt",
     "send GROUP (setup, timing, shift or all) from FILE.sdt to the board", 2, 2, true,
     TransferCommands::checkDownload, TransferCommands::download},

    {Projects, "project", "FILE.kvl",
     "check a project for the program download and print valid, code,\nboard, ident, checksum, "
     "revision, configA, configB, configC as\nkey=value lines",
     1, 1, false, nullptr, ProgramCommands::project},

    {SetupFiles, "report", "FILE.sdt OUT.pdf",
     "write the report of the set-up file to OUT.pdf, as the print\ncommand prints it", 2, 2, false,
     nullptr, ReportCommands::report},
    {SetupFiles, "diff", "A B [--groups LIST] [--csv]",
     "print what differs between A and B, set-up files, the word\nboard (read as an upload of "
     "the groups reads it) or history:N\n(snapshot N of the set-up history), one line per "
     "value:\nNAME, ADDRESS, A, B, tab-separated. LIST: setup,\n"
     "timing, shift, all, comma-separated (default setup,timing).\n--csv: the compare window's "
     "CSV. Exit 0 equal, 1 different, 2 trouble (a file that cannot be\nread, a refused argument, "
     "output that cannot be written),\n3 when the board fails",
     2, 5, false, DiffCommand::check, DiffCommand::run},
    {History, "history", "[PRESS] | show N | export N FILE.sdt",
     "list the snapshots of the set-up history (of one PRESS: its\nname, or a device without "
     "one), one line each, tab-\nseparated: NUMBER, TIME, PRESS, DEVICE, ACTION, GROUPS, USER;\n"
     "show N: the values of snapshot N, as diff prints rows;\nexport N FILE.sdt: snapshot N as "
     "the set-up file it was\nsaved as. Exit 2 when the history cannot be read or there\nis no "
     "snapshot N",
     0, 3, false, HistoryCommands::check, HistoryCommands::run},
    {Board, "board-status", "[PROJECT.kvl]",
     "print the faults, comm errors and corrective action, the\nprogram identity in the board "
     "and on disk, the network\naddresses and the board clock (default project: board D).\nExit 2 "
     "when the project is refused or a code table cannot be read",
     0, 1, true, BoardCommands::checkStatus, BoardCommands::status},
    {Board, "reset-faults", "",
     "clear the fault and comm error codes (the four writes of\nReset "
     "Faults); running it answers its question Yes",
     0, 0, true, nullptr, BoardCommands::resetFaults},
    {Board, "clock-set", "",
     "set the board clock's time, then its date, from one reading\nof "
     "the computer's clock",
     0, 0, true, nullptr, BoardCommands::clockSet},
    {Programs, "program-download", "PROJECT.kvl",
     "download the project's program into the board; its questions\nare answered Yes. Exit 0 only "
     "after \"Program Download Complete!\"",
     1, 1, true, nullptr, ProgramCommands::download},
    {Programs, "program-upload", "PROJECT.kvl",
     "upload the board's program into the project's .hex, .rev and\n.lcf files (replaced only "
     "when all was read). Exit 0 only after\n\"Program Upload Complete!\"",
     1, 1, true, nullptr, ProgramCommands::upload},
    {Ports, "find", "[DEVICE...]",
     "look for the board on the devices (none: the system's ports\nand the settings' port) at "
     "19200, "
     "then 9600 baud, sending\nonly the attention byte; print DEVICE BAUD per board found\n"
     "(a socket:// device is asked once, at its server's speed:\nBAUD is then \"server\"). Exit 0 "
     "when a board answered, 1 when none did",
     0, -1, false, nullptr, PortCommands::find},
    {Ports, "port", "[PORT BAUD [DEVICE]] [--name PRESS]",
     "print the port settings file in force with its port, speed\nand the device the link opens "
     "(and the press it is named\nfor); with arguments, save them first as the Comm Port\nwindow "
     "does. --name PRESS: the device is connected to\nPRESS from now on, as the set-up history "
     "lists it (\"\" takes\nthe name away). Exit 1 when the file cannot be saved or read, 2\n"
     "when the name cannot be kept",
     0, 5, false, PortCommands::checkPort, PortCommands::port},
};

} // namespace

namespace CommandTable {

std::span<const CliCommand> commands() {
    return table;
}

const CliCommand* find(const QString& name) {
    for (const CliCommand& c : table)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

QString synopsis(const CliCommand& command) {
    QString text = QString::fromLatin1(command.name);
    if (*command.arguments)
        text += u' ' + QString::fromLatin1(command.arguments);
    return text;
}

QString entry(const QString& head, const QString& text, int column) {
    constexpr int width = 79; // no line is longer: a terminal or a man page keeps it whole
    const QString indent(column, u' ');
    QString out = QStringLiteral("  ") + head;
    out = out.size() < column - 1 ? out.leftJustified(column) : out + u'\n' + indent;
    int used = 0;
    for (const QString& word :
         text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        if (used > 0 && column + used + 1 + word.size() > width) {
            out += u'\n' + indent;
            used = 0;
        } else if (used > 0) {
            out += u' ';
            ++used;
        }
        out += word;
        used += int(word.size());
    }
    return out + u'\n';
}

QString help() {
    QString text;
    const char* group = nullptr;
    for (const CliCommand& c : table) {
        if (!group || qstrcmp(group, c.group) != 0) {
            group = c.group;
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) +
                    QString::fromLatin1(group) + QStringLiteral(":\n");
        }
        text += entry(synopsis(c), QString::fromLatin1(c.help));
    }
    return text;
}

} // namespace CommandTable
