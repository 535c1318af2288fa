// telvane-cli: reads and writes the board's registers from scripts and shells.
#include "AnySerialPort.h"
#include "CliArgs.h"
#include "CliExit.h"
#include "CliPort.h"
#include "Clock.h"
#include "CommandTable.h"
#include "NetworkDevice.h"
#include "ProgramFolder.h"
#include "RSComm.h"
#include "ReportCommands.h"
#include "StderrPrompt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

const char* const notes =
    "\n"
    "Addresses: W1020 (word), B8176 (byte), B110.6 (bit 0..7 of a byte), D1100 (double word),\n"
    "F858 (flag), EFF0H (byte, hexadecimal); every byte within 0..65535. Anything else is a\n"
    "usage error and nothing is sent.\n"
    "\n"
    "Without --device the port settings file Support/RSPort.cfg of the program folder (the\n"
    "folder of this executable, or TELVANE_HOME) names the port; it is created with the\n"
    "defaults (port 1, 9600 baud) when missing, and never replaced when it cannot be read.\n"
    "RSPort.cfg in the user's configuration folder (~/.config/telvane) takes its place when\n"
    "it exists or when the program folder cannot be written (an installed program).\n"
    "With --device the file is not created; its speed is used when --baud is not given.\n"
    "A serial device server's port is named socket://HOST:PORT (raw TCP: the server sets\n"
    "the speed) or rfc2217://HOST:PORT (telnet with RFC 2217: TELVANE sets the speed);\n"
    "an IPv6 address goes in brackets. Neither is encrypted: use them on a trusted network.\n"
    "\n"
    "Every message is printed to standard error and starts with \"telvane-cli: \"; those of\n"
    "the link follow as TITLE: TEXT. Questions (Retry/Cancel) are answered Cancel, except\n"
    "that program-download and program-upload answer their Yes/No questions Yes. Their\n"
    "progress shows on standard error when it is a terminal.\n"
    "\n"
    "Values are refused as the Machine Timing window refuses them, before anything is written:\n"
    "channels 0..7 (pls-setpoint, pls-clear, pls-recall), setpoints and positions 0..359,\n"
    "an ON setpoint equal to the OFF one, and pls-offset while the machine turns.\n"
    "\n"
    "Exit status: 0 when all went through; 1 when the link failed (port not opened,\n"
    "communication error, or a read or write finally failed) or a group transfer did not\n"
    "complete; 2 for a usage error, a value the windows or the link refuse, a PLS command\n"
    "the board refused, a project that is not valid, or a set-up file that cannot be read\n"
    "or reported. A program transfer that does not complete exits 1, or 2 when it was\n"
    "refused before the board was touched.\n";

// Qt's own warnings (a platform plugin's, for instance) are messages of the
// tool like any other.
void printQtMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    std::fprintf(stderr, "telvane-cli: %s\n", qPrintable(text));
    std::fflush(stderr);
}

int usageError(const QString& why) {
    CliOut::error(why);
    std::fprintf(stderr, "telvane-cli: Try 'telvane-cli --help'.\n");
    return Usage;
}

QString helpText(const QList<QCommandLineOption>& options) {
    QString text = QStringLiteral(
        "Usage: telvane-cli [--device PATH] [--baud 9600|19200] COMMAND [ARGUMENTS]\n"
        "\n"
        "Talks to the cupper's controller board over the serial link.\n"
        "\n"
        "Options:\n");
    for (const QCommandLineOption& o : options) {
        QString head = QStringLiteral("  ");
        for (const QString& name : o.names())
            head += (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name +
                    QStringLiteral(", ");
        head.chop(2);
        if (!o.valueName().isEmpty())
            head += u' ' + o.valueName();
        text += head.leftJustified(32) + o.description() + u'\n';
    }
    return text + u'\n' + CommandTable::help() + QString::fromLatin1(notes);
}

std::optional<QString> argumentProblem(const CliCommand& c, const QStringList& args) {
    const bool countOk = args.size() >= c.minArgs && (c.maxArgs < 0 || args.size() <= c.maxArgs);
    if (!countOk)
        return QStringLiteral("%1 takes %2")
            .arg(QLatin1String(c.name),
                 *c.arguments ? QString::fromLatin1(c.arguments) : QStringLiteral("no arguments"));
    return c.check ? c.check(args) : std::nullopt;
}

// After a failed command: the reason, unless the link or the handler has
// given it already; a link failure always names the port.
void explain(int status, const CliCommand& c, const CliSession& s, int promptsBefore,
             int errorsBefore) {
    const bool said = s.prompt.count() > promptsBefore || CliOut::errors() > errorsBefore;
    const QString name = QString::fromLatin1(c.name);
    if (status == LinkFailed && CliOut::errors() == errorsBefore)
        CliOut::error(
            QStringLiteral("%1 failed: the link to the board failed on %2").arg(name, s.port));
    else if (status == Usage && !said)
        CliOut::error(c.needsLink
                          ? QStringLiteral("%1 was refused by the link or the board").arg(name)
                          : QStringLiteral("%1 did not go through").arg(name));
}

} // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(printQtMessage);
    const auto app = ReportCommands::makeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("telvane-cli"));
    QCommandLineParser parser;
    // Negative numbers after the command are arguments, not options.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption device(
        QStringLiteral("device"),
        QStringLiteral("serial device of the board, or socket://HOST:PORT or "
                       "rfc2217://HOST:PORT (no settings file is created)"),
        QStringLiteral("PATH"));
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("speed of the link"),
                                  QStringLiteral("9600|19200"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("print this help"));
    parser.addOptions({device, baud, help});
    if (!parser.parse(app->arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(helpText({device, baud, help})));
        return Ok;
    }
    const QString baudText = parser.value(baud);
    if (parser.isSet(baud) && baudText != u"9600" && baudText != u"19200")
        return usageError(QStringLiteral("--baud takes 9600 or 19200, not '%1'").arg(baudText));
    if (parser.isSet(device) && parser.value(device).isEmpty())
        return usageError(QStringLiteral("--device needs a path"));
    if (NetworkDevice::isNetwork(parser.value(device))) {
        if (const auto problem = NetworkDevice::problem(parser.value(device)))
            return usageError(*problem);
    }

    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usageError(QStringLiteral("no command"));
    const QString name = args.takeFirst();
    const CliCommand* command = CommandTable::find(name);
    if (!command)
        return usageError(QStringLiteral("unknown command: '%1'").arg(name));
    if (const auto problem = argumentProblem(*command, args))
        return usageError(*problem);

    StderrPrompt prompt;
    SteadyClock clock;
    RSComm link(prompt, clock, ProgramFolder::path());
    CliSession session{link, prompt, {}};
    if (!command->needsLink) {
        const int status = command->run(session, args);
        if (status != Ok)
            explain(status, *command, session, 0, 0);
        return status;
    }

    const CliPortChoice choice =
        CliPort::choose(link.CommSettingsFile(), parser.value(device), baudText);
    if (choice.error) {
        CliOut::error(*choice.error);
        return LinkFailed;
    }
    session.port = choice.where;
    AnySerialPort port;
    link.OpenRSComm(port, choice.settings);
    if (!link.OnlineMode()) {
        CliOut::error((!port.isOpen() ? QStringLiteral("cannot open %1")
                       : !port.lostConnection().isEmpty()
                           ? QStringLiteral("lost the connection to %1")
                           : QStringLiteral("no answer from the board on %1"))
                          .arg(choice.where));
        link.CloseRSComm();
        return LinkFailed;
    }
    const int promptsBefore = prompt.count();
    const int errorsBefore = CliOut::errors();
    int status = command->run(session, args);
    if (status == Ok && link.CommError())
        status = LinkFailed;
    if (status != Ok)
        explain(status, *command, session, promptsBefore, errorsBefore);
    link.CloseRSComm();
    return status;
}
