// telvane-monitor: publishes every press to the plant's MQTT broker.
#include "Monitor.h"
#include "MonitorConfig.h"
#include "MonitorHelp.h"
#include "MonitorLog.h"
#include "ProgramFolder.h"
#include "StopRequests.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostInfo>
#include <QStandardPaths>

namespace {

constexpr int Usage = 2;
// What the broker has not taken by then waits on disk for the next start.
constexpr int StopWaitMs = 5000;

void printQtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    const bool failure = type == QtCriticalMsg || type == QtFatalMsg;
    if (failure || qEnvironmentVariableIsSet("TELVANE_DEBUG"))
        MonitorLog((failure ? QString() : QStringLiteral("debug: ")) + text);
}

int usageError(const QString& why) {
    MonitorLog(why);
    MonitorLog(QStringLiteral("Try 'telvane-monitor --help'."));
    return Usage;
}

MonitorConfig::Defaults defaults() {
    MonitorConfig::Defaults d;
    d.queueFolder = qEnvironmentVariable("STATE_DIRECTORY").split(u':').value(0);
    if (d.queueFolder.isEmpty())
        d.queueFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                        QStringLiteral("/telvane-monitor");
    QString host = QHostInfo::localHostName();
    for (QChar& c : host)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-' && c != u'_' && c != u'.')
            c = u'-';
    d.clientId = (QStringLiteral("telvane-monitor-") + host).left(64);
    return d;
}

MonitorTiming timing() {
    MonitorTiming t;
#ifdef TELVANE_TEST_HOOKS
    // Tests and benchmarks wait milliseconds where a plant waits seconds:
    // TELVANE_MONITOR_TIMING=retry=MIN-MAX,offline=MS,broker-retry=MIN-MAX
    for (const QString& item : qEnvironmentVariable("TELVANE_MONITOR_TIMING").split(u',')) {
        const QString key = item.section(u'=', 0, 0);
        const QStringList range = item.section(u'=', 1).split(u'-');
        const int low = range.value(0).toInt();
        const int high = range.value(1, range.value(0)).toInt();
        if (key == u"retry")
            t.retryMinMs = low, t.retryMaxMs = high;
        else if (key == u"offline")
            t.offlineAfterMs = low;
        else if (key == u"broker-retry")
            t.brokerRetryMinMs = low, t.brokerRetryMaxMs = high;
    }
#endif
    return t;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("telvane-monitor"));
    qInstallMessageHandler(printQtMessage);

    QCommandLineParser parser;
    const QCommandLineOption config(QStringLiteral("config"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    parser.addOptions({config, help});
    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(MonitorHelp().toUtf8().constData(), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            QStringLiteral("unexpected argument: '%1'").arg(parser.positionalArguments().first()));
    if (!parser.isSet(config))
        return usageError(QStringLiteral("--config FILE is needed"));

    const QString file = parser.value(config);
    const auto read = MonitorConfig::read(file, defaults());
    if (const auto* problem = std::get_if<MonitorConfig::Problem>(&read)) {
        MonitorLog(problem->text(file));
        return Usage;
    }
    Monitor monitor(std::get<MonitorConfig>(read), timing(), ProgramFolder::path());
    if (const auto problem = monitor.openQueue()) {
        MonitorLog(
            MonitorConfig::Problem{QStringLiteral("broker"), QStringLiteral("queue"), *problem, 0}
                .text(file));
        return Usage;
    }
    StopRequests stops;
    QObject::connect(&stops, &StopRequests::requested, &monitor, [&] { monitor.stop(StopWaitMs); });
    QObject::connect(&monitor, &Monitor::stopped, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    monitor.start();
    return app.exec();
}
