// telvane-monitor with 16 simulated presses at 19200 baud against a real
// mosquitto, counted by mosquitto_sub:
//  - LoneWatch: telvane-cli watch --every 0 of the registers the monitor
//    reads for each press (the main display's four, the fault and comm
//    error codes) against one board: samples per second, from the rows'
//    own times.
//  - SixteenWatchesAtOnce: 16 such watches at once, each on a board of its
//    own: what this machine gives 16 links without the monitor, and the CPU
//    a sample costs a watch.
//  - Monitor16Presses: the monitor with 16 presses, every 0 (and 1000, a
//    plant's usual second), for 30 s after
//    a warm-up: samples per second of the slowest and the mean press and
//    their share of the lone watch's rate (slowest_vs_lone, target >= 0.95);
//    the monitor's CPU as a share of one core (target < 25 %) and its
//    resident memory (target < 80 MiB).
//  - MonitorLongRun: the same for MONITOR_BENCH_MINUTES (default 10)
//    minutes with every board raising and clearing a fault every 5 s and
//    the broker restarted half way: resident memory after the first minute,
//    just before the outage, at the end and at most, and the fault events a
//    persistent subscriber got, each press's checked for a gap (events_lost,
//    target 0).
#include "BoardProcess.h"
#include "MosquittoProcess.h"
#include "ProcessFigures.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Presses = 16;
const QStringList Registers{"W182", "W180", "D1100", "W1104", "B8176", "B8179"};

// Boards, broker and the monitor, as a plant would have them.
struct Plant {
    QTemporaryDir dir;
    MosquittoProcess broker;
    std::vector<std::unique_ptr<BoardProcess>> boards;
    QProcess monitor;

    explicit Plant(const QStringList& boardArgs) {
        for (int i = 0; i < Presses; ++i)
            boards.push_back(
                std::make_unique<BoardProcess>(QStringList{"--baud", "19200"} + boardArgs));
    }
    bool ready() const {
        return broker.started() && std::all_of(boards.begin(), boards.end(),
                                               [](const auto& b) { return b->started(); });
    }
    bool startMonitor(int everyMs = 0) {
        QString config = QStringLiteral("[broker]\nurl = %1\nclient-id = bench\nqueue = %2\n")
                             .arg(broker.url(), dir.filePath("queue"));
        for (int i = 0; i < Presses; ++i)
            config += QStringLiteral("[press%1]\ndevice = %2\nbaud = 19200\nevery = %3\n"
                                     "registers = W182 W180 D1100 W1104\n")
                          .arg(i + 1)
                          .arg(boards[size_t(i)]->pty())
                          .arg(everyMs);
        QFile file(dir.filePath("monitor.conf"));
        if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) < 0)
            return false;
        file.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TELVANE_MONITOR_TIMING", "broker-retry=1000-2000");
        monitor.setProcessEnvironment(env);
        monitor.setStandardErrorFile(dir.filePath("monitor.log"));
        monitor.start(BuildProgram("telvane-monitor"), {"--config", file.fileName()});
        return monitor.waitForStarted(10000);
    }
    ~Plant() {
        monitor.terminate();
        if (!monitor.waitForFinished(20000))
            monitor.kill();
    }
};

// mosquitto_sub counting messages per topic, reading as they come (a pipe
// left unread would hold the broker up).
class Counter {
public:
    Counter(quint16 port, const QString& filter, const QString& id = {}) {
        QStringList args{"-h", "127.0.0.1", "-p",   QString::number(port), "-t", filter, "-q",
                         "1",  "-F",        "%t %p"};
        if (!id.isEmpty())
            args << "-c"
                 << "-i" << id;
        // Line by line: a pipe would otherwise hold its output back in blocks.
        m_sub.start("stdbuf", QStringList{"-oL", "mosquitto_sub"} + args);
        m_sub.waitForStarted(10000);
    }
    ~Counter() {
        m_sub.terminate();
        m_sub.waitForFinished(5000);
    }
    // Reads for up to ms.
    void pump(int ms) {
        m_sub.waitForReadyRead(ms);
        m_pending += m_sub.readAllStandardOutput();
        for (qsizetype end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
            const QByteArray line = m_pending.left(end);
            m_pending.remove(0, end + 1);
            const qsizetype space = line.indexOf(' ');
            const QString topic = QString::fromUtf8(line.left(space));
            ++m_counts[topic];
            if (keepPayloads)
                m_payloads[topic].append(line.mid(space + 1));
        }
    }
    void run(int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            pump(int(std::min<qint64>(100, ms - t.elapsed())));
    }
    QHash<QString, qint64> counts() const { return m_counts; }
    const QHash<QString, QList<QByteArray>>& payloads() const { return m_payloads; }
    bool keepPayloads = false;

private:
    QProcess m_sub;
    QByteArray m_pending;
    QHash<QString, qint64> m_counts;
    QHash<QString, QList<QByteArray>> m_payloads;
};

constexpr int WatchRows = 300;

// CPU seconds of the child processes that have ended.
double childrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

QStringList watchArguments(const QString& pty) {
    return QStringList{"--device", pty, "--baud", "19200", "watch"} + Registers +
           QStringList{"--count", QString::number(WatchRows)};
}

// Samples per second of a watch's output, from its rows' own times.
double watchRate(const QByteArray& output) {
    const QList<QByteArray> lines = output.trimmed().split('\n');
    if (lines.size() != WatchRows + 1)
        return 0;
    const auto time = [](const QByteArray& line) {
        return QDateTime::fromString(QString::fromLatin1(line.left(line.indexOf(','))),
                                     Qt::ISODateWithMs);
    };
    return (WatchRows - 1) / (double(time(lines[1]).msecsTo(time(lines.last()))) / 1000.0);
}

double loneWatchRate() {
    BoardProcess board({"--baud", "19200"});
    if (!board.started())
        return 0;
    const ProcessResult r = RunProgram("telvane-cli", watchArguments(board.pty()), ProgramHome());
    return r.exit == 0 ? watchRate(r.out.toLatin1()) : 0;
}

double s_loneRate = 0;

void LoneWatch(benchmark::State& state) {
    for (auto _ : state)
        s_loneRate = loneWatchRate();
    if (s_loneRate <= 0)
        state.SkipWithError("telvane-cli watch failed");
    state.counters["samples_per_s"] = s_loneRate;
}
BENCHMARK(LoneWatch)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// What this machine gives 16 links at once without the monitor: 16 watches,
// each on a board of its own, all running together (the slowest one's rate).
void SixteenWatchesAtOnce(benchmark::State& state) {
    Plant plant({});
    if (!plant.ready()) {
        state.SkipWithError("the boards did not start");
        return;
    }
    for (auto _ : state) {
        const double cpuBefore = childrenCpuSeconds();
        std::vector<std::unique_ptr<QProcess>> watches;
        for (const auto& board : plant.boards) {
            watches.push_back(std::make_unique<QProcess>());
            watches.back()->start(BuildProgram("telvane-cli"), watchArguments(board->pty()));
        }
        double slowest = 1e9, total = 0;
        for (auto& watch : watches) {
            watch->waitForFinished(120000);
            const double rate = watchRate(watch->readAllStandardOutput());
            slowest = std::min(slowest, rate);
            total += rate;
        }
        state.counters["slowest_per_s"] = slowest;
        state.counters["mean_per_s"] = total / Presses;
        // The CPU a sample costs a watch, to set beside the monitor's.
        state.counters["cpu_ms_per_sample"] =
            1000.0 * (childrenCpuSeconds() - cpuBefore) / (Presses * WatchRows);
        state.counters["slowest_vs_lone"] = s_loneRate > 0 ? slowest / s_loneRate : 0;
    }
}
BENCHMARK(SixteenWatchesAtOnce)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void Monitor16Presses(benchmark::State& state) {
    constexpr int WarmUpMs = 5000;
    constexpr int MeasureMs = 30000;
    Plant plant({});
    if (!plant.ready() || s_loneRate <= 0) {
        state.SkipWithError("the boards, the broker or the lone watch failed");
        return;
    }
    Counter samples(plant.broker.port(), "telvane/+/sample");
    for (auto _ : state) {
        if (!plant.startMonitor(int(state.range(0)))) {
            state.SkipWithError("telvane-monitor did not start");
            return;
        }
        samples.run(WarmUpMs);
        const auto before = samples.counts();
        const double cpuBefore = cpuSeconds(plant.monitor.processId());
        QElapsedTimer wall;
        wall.start();
        samples.run(MeasureMs);
        const double seconds = double(wall.elapsed()) / 1000.0;
        const double cpu = cpuSeconds(plant.monitor.processId()) - cpuBefore;
        const auto after = samples.counts();
        double slowest = 1e9, total = 0;
        for (int i = 1; i <= Presses; ++i) {
            const QString topic = QStringLiteral("telvane/press%1/sample").arg(i);
            const double rate = double(after.value(topic) - before.value(topic)) / seconds;
            slowest = std::min(slowest, rate);
            total += rate;
        }
        state.counters["lone_watch_per_s"] = s_loneRate;
        state.counters["slowest_press_per_s"] = slowest;
        state.counters["mean_press_per_s"] = total / Presses;
        state.counters["slowest_vs_lone"] = slowest / s_loneRate;
        state.counters["cpu_share_of_one_core"] = cpu / seconds;
        state.counters["cpu_ms_per_sample"] = 1000.0 * cpu / (total * seconds);
        state.counters["rss_MiB"] = rssMiB(plant.monitor.processId());
    }
}
// every 0: as fast as the wire allows; every 1000: a plant's usual second.
BENCHMARK(Monitor16Presses)
    ->Arg(0)
    ->Arg(1000)
    ->ArgName("every")
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Each press's fault events must go cleared, raised, cleared, ... with the
// raised codes in the board's turn (5CH, 45H, 0AH): a gap breaks it.
int gaps(const QList<QByteArray>& events) {
    int lost = 0;
    QString lastKind;
    int lastRaised = -1;
    const int turn[] = {0x5C, 0x45, 0x0A};
    for (const QByteArray& payload : events) {
        const QJsonObject e = QJsonDocument::fromJson(payload).object();
        const QString kind = e["event"].toString();
        if (!kind.startsWith("fault"))
            continue;
        if (kind == lastKind)
            ++lost;
        if (kind == "fault-raised") {
            const int code = e["fault"].toObject()["code"].toInt();
            if (lastRaised >= 0) {
                const int at = int(std::find(std::begin(turn), std::end(turn), lastRaised) - turn);
                if (turn[(at + 1) % 3] != code)
                    ++lost;
            }
            lastRaised = code;
        }
        lastKind = kind;
    }
    return lost;
}

void MonitorLongRun(benchmark::State& state) {
    const int minutes = std::max(1, qEnvironmentVariableIntValue("MONITOR_BENCH_MINUTES") ?: 10);
    Plant plant({"--fault-every", "5"});
    if (!plant.ready()) {
        state.SkipWithError("the boards or the broker did not start");
        return;
    }
    auto events =
        std::make_unique<Counter>(plant.broker.port(), "telvane/+/event", "bench-history");
    events->keepPayloads = true;
    Counter samples(plant.broker.port(), "telvane/+/sample");
    for (auto _ : state) {
        if (!plant.startMonitor()) {
            state.SkipWithError("telvane-monitor did not start");
            return;
        }
        double rssFirstMinute = 0, rssBeforeOutage = 0, rssMax = 0;
        QHash<QString, QList<QByteArray>> received;
        for (int minute = 1; minute <= minutes; ++minute) {
            if (minute == minutes / 2 + 1) {
                rssBeforeOutage = rssMiB(plant.monitor.processId());
                // The broker away for 20 s: the monitor queues; the
                // subscriber's session waits in the broker.
                for (auto it = events->payloads().begin(); it != events->payloads().end(); ++it)
                    received[it.key()] += it.value();
                events.reset();
                plant.broker.stop();
                samples.run(20000);
                plant.broker.restart();
                events = std::make_unique<Counter>(plant.broker.port(), "telvane/+/event",
                                                   "bench-history");
                events->keepPayloads = true;
            }
            QElapsedTimer minuteTimer;
            minuteTimer.start();
            while (minuteTimer.elapsed() < 60000) {
                samples.pump(50);
                events->pump(50);
            }
            const double rss = rssMiB(plant.monitor.processId());
            if (minute == 1)
                rssFirstMinute = rss;
            rssMax = std::max(rssMax, rss);
        }
        events->run(5000); // the last events on their way
        for (auto it = events->payloads().begin(); it != events->payloads().end(); ++it)
            received[it.key()] += it.value();
        int lost = 0;
        qint64 count = 0;
        for (int i = 1; i <= Presses; ++i) {
            const auto list = received.value(QStringLiteral("telvane/press%1/event").arg(i));
            lost += gaps(list);
            count += list.size();
        }
        state.counters["minutes"] = minutes;
        state.counters["rss_first_minute_MiB"] = rssFirstMinute;
        state.counters["rss_before_outage_MiB"] = rssBeforeOutage;
        state.counters["rss_end_MiB"] = rssMiB(plant.monitor.processId());
        state.counters["rss_max_MiB"] = rssMax;
        state.counters["events"] = double(count);
        state.counters["events_lost"] = lost;
    }
}
BENCHMARK(MonitorLongRun)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
