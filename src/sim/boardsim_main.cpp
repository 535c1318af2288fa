// telvane-boardsim: a simulated cupper controller board on a pseudo-terminal
// or a serial device, for trying TELVANE without a machine.
#include "BoardSimulator.h"
#include "PtyServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <optional>

namespace {
std::atomic<bool> stopRequested{false};
void onSignal(int) {
    stopRequested = true;
}

// What --help adds to the options; the manual page is made from it all.
const char* const helpEnd =
    "\n"
    "Exit status:\n"
    "  0     ended by Ctrl+C, SIGTERM or SIGHUP\n"
    "  1     the pseudo-terminal or the device could not be opened, or the\n"
    "        --link not made\n"
    "  2     an unknown option, or an option's value out of range\n";

// A number option within low..high (a whole one when asked); fallback when it
// is not given; nullopt, with what it takes said, when it is out of range.
std::optional<double> numberOption(const QCommandLineParser& parser,
                                   const QCommandLineOption& option, double fallback, double low,
                                   double high, bool whole, const char* takes) {
    if (!parser.isSet(option))
        return fallback;
    bool ok = false;
    const double value = parser.value(option).toDouble(&ok);
    if (ok && value >= low && value <= high && (!whole || value == std::floor(value)))
        return value;
    std::fprintf(stderr, "telvane-boardsim: --%s takes %s\n", qPrintable(option.names().first()),
                 takes);
    return std::nullopt;
}

// Qt's help with the usage line naming the program, not the path it was
// started by (a build folder's, in a manual page made from it).
QString helpText(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    text.replace(0, text.indexOf(u'\n') + 1,
                 QStringLiteral("Usage: telvane-boardsim [options]\n\n"));
    return text + QString::fromLatin1(helpEnd);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("telvane-boardsim"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves a simulated cupper controller board on a new pseudo-terminal, whose path\n"
        "is the first line it prints, or on the given serial device, until it is ended.\n"
        "It answers as the board does, and a cupper runs behind its registers, so that\n"
        "TELVANE and telvane-cli can be tried, and are tested, without a machine."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print this help."));
    parser.addOption(help);
    const QCommandLineOption device(
        QStringLiteral("device"),
        QStringLiteral("Serve this serial device instead of a pseudo-terminal."),
        QStringLiteral("PATH"));
    const QCommandLineOption baud(
        QStringLiteral("baud"),
        QStringLiteral("Answer only a host whose port is set to this speed (on a pseudo-terminal, "
                       "the speed the host set), and hold each answer at least the wire time of "
                       "two bytes at it after its byte arrived. Without it the board answers at "
                       "any speed, at once."),
        QStringLiteral("9600|19200"));
    const QCommandLineOption latency(
        QStringLiteral("latency-ms"),
        QStringLiteral("Hold each answer as a USB serial adapter with this latency timer would: "
                       "until the timer's next tick, up to N ms (1..255; adapters default to 16)."),
        QStringLiteral("N"));
    const QCommandLineOption silent(
        QStringLiteral("silent-after"),
        QStringLiteral("Answer nothing from byte N on (0: silent from the start)."),
        QStringLiteral("N"));
    const QCommandLineOption silentFor(
        QStringLiteral("silent-for"),
        QStringLiteral("With --silent-after: answer again once MS milliseconds have passed."),
        QStringLiteral("MS"));
    const QCommandLineOption wrongEcho(QStringLiteral("wrong-echo-at"),
                                       QStringLiteral("Answer byte N with a wrong echo."),
                                       QStringLiteral("N"));
    const QCommandLineOption garbage(
        QStringLiteral("garbage-at"),
        QStringLiteral("Send garbage bytes after the answer to byte N."), QStringLiteral("N"));
    const QCommandLineOption rejectWrites(
        QStringLiteral("reject-writes-to"),
        QStringLiteral("Answer every write to byte address N with a wrong echo and keep the old "
                       "value."),
        QStringLiteral("N"));
    const QCommandLineOption mishear(
        QStringLiteral("mishear-page"),
        QStringLiteral("Mishear every register address whose high byte is HIGH (0..255): reads "
                       "of those registers fail, every other one reads."),
        QStringLiteral("HIGH"));
    parser.addOptions(
        {device, baud, latency, silent, silentFor, wrongEcho, garbage, rejectWrites, mishear});
    const QCommandLineOption plsStaysBusy(QStringLiteral("pls-stays-busy"),
                                          QStringLiteral("The PLS never reports ready."));
    const QCommandLineOption plsRefuseByte(
        QStringLiteral("pls-refuse-byte"),
        QStringLiteral("Answer 0 instead of 85 to byte N (from 0, after the command byte) of "
                       "every PLS command and drop the command."),
        QStringLiteral("N"));
    parser.addOptions({plsStaysBusy, plsRefuseByte});
    const QCommandLineOption programBadSum(
        QStringLiteral("program-bad-sum-at"),
        QStringLiteral("Answer program record N (from 0) with a wrong sum."), QStringLiteral("N"));
    const QCommandLineOption programSilent(
        QStringLiteral("program-silent-at"),
        QStringLiteral("Fall silent for good at program record N (from 0)."), QStringLiteral("N"));
    parser.addOptions({programBadSum, programSilent});
    const QCommandLineOption hangUp(
        QStringLiteral("hang-up-after"),
        QStringLiteral("Answer byte N (from 0), then drop the line and end, as a pulled cable."),
        QStringLiteral("N"));
    parser.addOption(hangUp);
    const QCommandLineOption link(
        QStringLiteral("link"),
        QStringLiteral("Also serve the pseudo-terminal under PATH, a symbolic link made at the "
                       "start (replacing a link there) and removed at the end: a board that goes "
                       "and comes back under the same name, as a USB adapter pulled out and put "
                       "back."),
        QStringLiteral("PATH"));
    const QCommandLineOption cycleAt(
        QStringLiteral("cycle-at"),
        QStringLiteral("Start the machine SECONDS into its one-minute cycle (stands 0..4, inches "
                       "4..10, runs at full speed 16..52)."),
        QStringLiteral("SECONDS"));
    parser.addOptions({link, cycleAt});
    const QCommandLineOption raiseAlarm(
        QStringLiteral("raise-alarm"),
        QStringLiteral("Raise alarm N at start (0 brake response, 1 die jam, 2 cup jam, 3 scrap "
                       "jam, 4 timing signal, 5/6 clutch output 1/2, 7 no ram motion, 8 resolver "
                       "fault, 9 coil stock override); jams at STATION 1..16. Repeatable."),
        QStringLiteral("N[:STATION]"));
    const QCommandLineOption alarmEvery(
        QStringLiteral("alarm-every"),
        QStringLiteral("Raise the next alarm in turn every SECONDS while none is pending."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption faultEvery(
        QStringLiteral("fault-every"),
        QStringLiteral("Clear the current fault, or raise one (5CH, 45H, 0AH in turn), every "
                       "SECONDS."),
        QStringLiteral("SECONDS"));
    parser.addOptions({raiseAlarm, alarmEvery, faultEvery});
    if (!parser.parse(app.arguments())) {
        std::fprintf(stderr, "telvane-boardsim: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(helpText(parser)));
        return 0;
    }

    std::optional<Baud> speed;
    if (parser.isSet(baud)) {
        speed = Baud::parse(parser.value(baud));
        if (!speed) {
            std::fprintf(stderr, "telvane-boardsim: --baud takes 9600 or 19200\n");
            return 2;
        }
    }
    const auto latencyMs = numberOption(parser, latency, 0, 1, 255, true, "1..255");
    const auto cycleSeconds = numberOption(parser, cycleAt, 0, 0, 59, false, "0..59 seconds");
    const auto alarmSeconds =
        numberOption(parser, alarmEvery, 0, 1e-3, 1e9, false, "a number of seconds");
    const auto mishearPage = numberOption(parser, mishear, -1, 0, 255, true, "0..255");
    if (!latencyMs || !cycleSeconds || !alarmSeconds || !mishearPage)
        return 2;
    if (parser.isSet(link) && parser.isSet(device)) {
        std::fprintf(stderr, "telvane-boardsim: --link names a pseudo-terminal, not a --device\n");
        return 2;
    }
    BoardSimulator board;
    // A machine that has been set up: its timing channels programmed, all
    // but the PLC channel, which a user can program in the timing window.
    const int timingOn[7] = {120, 160, 200, 120, 140, 150, 140};
    const int timingOff[7] = {140, 180, 220, 200, 220, 230, 120};
    for (int ch = 0; ch < 7; ++ch)
        board.pls().setSetpoints(ch, timingOn[ch], timingOff[ch]);
    auto number = [&](const QCommandLineOption& o) {
        return parser.isSet(o) ? parser.value(o).toLongLong() : -1;
    };
    board.faults().silentFromByte = number(silent);
    if (parser.isSet(silentFor))
        board.faults().silentForUs = number(silentFor) * 1000;
    board.faults().wrongEchoAt = number(wrongEcho);
    board.faults().garbageAt = number(garbage);
    board.faults().rejectWritesTo = int(number(rejectWrites));
    if (*mishearPage >= 0)
        board.faults().wrongEchoWhen = MishearAddressesFrom(quint8(*mishearPage));
    board.faults().plsStaysBusy = parser.isSet(plsStaysBusy);
    board.faults().plsRefuseByteIndex = int(number(plsRefuseByte));
    board.faults().programBadSumRecord = int(number(programBadSum));
    board.faults().programSilentFromRecord = int(number(programSilent));
    for (const QString& alarm : parser.values(raiseAlarm)) {
        bool ok = false;
        bool stationOk = true;
        const int n = alarm.section(u':', 0, 0).toInt(&ok);
        const int station = alarm.contains(u':') ? alarm.section(u':', 1).toInt(&stationOk) : 1;
        if (!ok || !stationOk || n < 0 || n >= Cupper::AlarmCount || station < 1 || station > 16) {
            std::fprintf(stderr, "telvane-boardsim: --raise-alarm takes 0..9[:1..16]\n");
            return 2;
        }
        board.cupper().raiseAlarm(n, station);
    }
    if (parser.isSet(alarmEvery)) {
        board.cupper().setAlarmEvery(*alarmSeconds);
    }

    if (parser.isSet(faultEvery)) {
        bool ok = false;
        const int seconds = parser.value(faultEvery).toInt(&ok);
        if (!ok || seconds <= 0) {
            std::fprintf(stderr, "telvane-boardsim: --fault-every takes a whole number of "
                                 "seconds\n");
            return 2;
        }
        board.status().setFaultEvery(seconds);
    }

    PtyServer server(board);
    const bool opened = parser.isSet(device)
                            ? server.openDevice(parser.value(device), speed.value_or(Baud()))
                            : server.openPty();
    if (!opened || (parser.isSet(link) && !server.linkAs(parser.value(link)))) {
        std::fprintf(stderr, "telvane-boardsim: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    if (parser.isSet(cycleAt))
        board.cupper().startCycleAt(*cycleSeconds);
    server.setThrottleBaud(speed ? speed->bitsPerSecond() : 0);
    server.setAnswerBaud(speed);
    server.setLatencyMs(int(*latencyMs));
    server.setHangUpAfter(number(hangUp));
    std::printf("%s\n", qPrintable(server.path()));
    std::fflush(stdout);

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);
    server.run(stopRequested);
    return 0;
}
