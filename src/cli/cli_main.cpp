// telvane-cli: reads and writes the board's registers from scripts and shells.
#include "AnySerialPort.h"
#include "CliArgs.h"
#include "CliExit.h"
#include "CliHelp.h"
#include "CliOut.h"
#include "CliPort.h"
#include "Clock.h"
#include "CommandTable.h"
#include "DeviceText.h"
#include "ProgramFolder.h"
#include "RSComm.h"
#include "ReportCommands.h"
#include "StderrPrompt.h"
#include "TraceFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

// Qt's own warnings (no XDG_RUNTIME_DIR, for instance) tell a user of the
// tool nothing to act on: they are printed only when TELVANE_DEBUG is set.
// What Qt calls critical or fatal is a failure, and is always said.
void printQtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    const bool failure = type == QtCriticalMsg || type == QtFatalMsg;
    const bool debugging = qEnvironmentVariableIsSet("TELVANE_DEBUG");
    if (!failure && !debugging)
        return;
    std::fprintf(stderr, "telvane-cli: %s%s\n", failure ? "" : "debug: ", qPrintable(text));
    std::fflush(stderr);
}

int usageError(const QString& why) {
    CliOut::error(why);
    std::fprintf(stderr, "telvane-cli: Try 'telvane-cli --help'.\n");
    return Usage;
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
    CliOut::begin();
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
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("speed of the link (default: the port settings "
                                                 "file's, 9600 when it has none)"),
                                  QStringLiteral("9600|19200"));
    const QCommandLineOption trace(
        QStringLiteral("trace"),
        QStringLiteral("write every exchange with the board to FILE (- for standard error)"),
        QStringLiteral("FILE"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("print this help"));
    parser.addOptions({device, baud, trace, help});
    if (!parser.parse(app->arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        CliOut::text(CliHelp::text({device, baud, trace, help}));
        return CliOut::finish(Ok, OutputFailed);
    }
    const QString baudText = parser.value(baud);
    if (parser.isSet(baud) && !Baud::parse(baudText))
        return usageError(QStringLiteral("--baud takes 9600 or 19200, not '%1'").arg(baudText));
    // As the Comm Port window takes it: blanks around it dropped, then checked.
    const QString deviceText = parser.value(device).trimmed();
    if (parser.isSet(device) && deviceText.isEmpty())
        return usageError(QStringLiteral("--device needs a path"));
    if (parser.isSet(trace) && parser.value(trace).isEmpty())
        return usageError(QStringLiteral("--trace needs a file (- for standard error)"));
    if (const auto problem = DeviceText::problem(deviceText))
        return usageError(*problem);

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
    AnySerialPort port;
    // The trace outlives the link, which it watches to the last farewell.
    TraceFile traceFile;
    RSComm link(prompt, clock, ProgramFolder::path());
    if (parser.isSet(trace)) {
        if (const auto problem = traceFile.open(parser.value(trace)))
            return usageError(*problem);
        link.core().addObserver(traceFile);
    }
    CliSession session{link, prompt, {}};
    session.openLink = [&] {
        const CliPortChoice choice = CliPort::choose(link.CommSettingsFile(), deviceText, baudText);
        if (choice.error) {
            CliOut::error(*choice.error);
            return false;
        }
        session.port = choice.where;
        link.OpenRSComm(port, choice.settings);
        if (!link.OnlineMode()) {
            CliOut::error(!port.isOpen() ? QStringLiteral("cannot open %1").arg(choice.where)
                          : !port.lostConnection().isEmpty()
                              ? QStringLiteral("lost the connection to %1").arg(choice.where)
                              : CliPort::noAnswer(choice));
            link.CloseRSComm();
            return false;
        }
        session.device = port.portName();
        return true;
    };
    if (!command->needsLink) {
        const int ran = command->run(session, args);
        const int status = CliOut::finish(ran, session.outputFailedStatus);
        link.CloseRSComm();
        if (status != Ok && !session.ownStatus)
            explain(status, *command, session, 0, 0);
        return status;
    }

    if (!session.openLink())
        return LinkFailed;
    const int promptsBefore = prompt.count();
    const int errorsBefore = CliOut::errors();
    int status = command->run(session, args);
    if (status == Ok && link.CommError())
        status = LinkFailed;
    status = CliOut::finish(status, session.outputFailedStatus);
    if (status != Ok)
        explain(status, *command, session, promptsBefore, errorsBefore);
    link.CloseRSComm();
    return status;
}
