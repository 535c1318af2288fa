// The program's own figures against telvane-boardsim on a pseudo-terminal
// throttled to 19200 baud:
//  - StartupToWindowShown: wall time from starting the telvane process to its
//    main window on screen (offscreen platform).
//  - OnlineProcess: the telvane process online, polling: resident memory
//    (rss_MiB) and its CPU share of one core (cpu_share) over 5 s.
//  - MainDisplayPass: one full pass of the main display (six values, each
//    read whole: 44 exchanges, more when a value moved under its read) in
//    process, against the wire limit of its exchanges (wire_share) and against
//    a minimal host reading the same six values the same way on the same board
//    in the same run, the two taking turns. Both count their exchanges, repeats
//    included, so vs_minimal is the program's exchanges per second over the
//    minimal host's; vs_minimal_median_round is the median over the rounds of
//    the same share, each round's passes against the host's turn before them.
#include "Address.h"
#include "BoardProcess.h"
#include "Clock.h"
#include "MinimalHost.h"
#include "PortSettingsFile.h"
#include "ProcessFigures.h"
#include "QtSerialPort.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"
#include "Stopwatch.h"
#include "ViewBase.h"
#include "ViewTable.h"
#include "frmMDIMain.h"
#include "frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

const QString BinDir = QStringLiteral(TELVANE_BIN_DIR);
constexpr int WireBaud = 19200;
// An exchange is a byte out and a byte back, 10 bits each.
constexpr double ExchangeWireSeconds = 2 * 10.0 / WireBaud;
// The main display's reads, in its order.
const QStringList PassRegisters = {QStringLiteral("W182"),  QStringLiteral("W180"),
                                   QStringLiteral("D1100"), QStringLiteral("W1104"),
                                   QStringLiteral("W1040"), QStringLiteral("W1042")};

// The board throttled to the wire speed of the benchmark.
struct Board : BoardProcess {
    Board() : BoardProcess({QStringLiteral("--baud"), QString::number(WireBaud)}) {}
};

// A program folder whose port settings name the board.
struct Home {
    QTemporaryDir dir;
    explicit Home(const QString& pty) {
        PortSettingsFile::write(dir.filePath(QStringLiteral("Support/RSPort.cfg")),
                                {1, QString::number(WireBaud), pty});
    }
    QString writeDrive(const QStringList& steps) const {
        const QString path = dir.filePath(QStringLiteral("drive.txt"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(steps.join(u'\n').toUtf8());
        return path;
    }
};

void startTelvane(QProcess& telvane, const Home& home, const QStringList& steps) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TELVANE_HOME"), home.dir.path());
    env.insert(QStringLiteral("TELVANE_DRIVE"), home.writeDrive(steps));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    telvane.setProcessEnvironment(env);
    telvane.start(BinDir + QStringLiteral("/telvane"));
}

// Waits for a line of the program's output that starts with the word.
bool waitForLine(QProcess& process, const QString& word, int timeoutMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        while (process.canReadLine()) {
            if (QString::fromUtf8(process.readLine()).startsWith(word))
                return true;
        }
        process.waitForReadyRead(50);
    }
    return false;
}

void StartupToWindowShown(benchmark::State& state) {
    Board board;
    Home home(board.pty());
    for (auto _ : state) {
        QProcess telvane;
        QElapsedTimer timer;
        timer.start();
        startTelvane(telvane, home, {QStringLiteral("mark shown"), QStringLiteral("close")});
        if (!waitForLine(telvane, QStringLiteral("shown"))) {
            state.SkipWithError("the window never showed");
            break;
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        telvane.waitForFinished(10000);
    }
}
BENCHMARK(StartupToWindowShown)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void OnlineProcess(benchmark::State& state) {
    Board board;
    Home home(board.pty());
    for (auto _ : state) {
        QProcess telvane;
        startTelvane(telvane, home,
                     {QStringLiteral("key F3"), QStringLiteral("waitfor MODE ONLINE"),
                      QStringLiteral("wait 1000"), QStringLiteral("mark online"),
                      QStringLiteral("wait 5000"), QStringLiteral("mark done"),
                      QStringLiteral("print MODE"), QStringLiteral("close")});
        if (!waitForLine(telvane, QStringLiteral("online"))) {
            state.SkipWithError("the program did not go online");
            break;
        }
        const qint64 pid = telvane.processId();
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = cpuSeconds(pid);
        const double rss = rssMiB(pid);
        if (!waitForLine(telvane, QStringLiteral("done"))) {
            state.SkipWithError("the program stopped polling");
            break;
        }
        const double cpu = cpuSeconds(pid) - cpuBefore;
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        const bool online = waitForLine(telvane, QStringLiteral("MODE=ONLINE"));
        state.SetIterationTime(seconds);
        state.counters["rss_MiB"] = rss;
        state.counters["cpu_share"] = cpu / seconds;
        if (!online)
            state.SkipWithError("the program went offline while polling");
        telvane.waitForFinished(10000);
    }
}
BENCHMARK(OnlineProcess)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// The program's serial port, counting the exchanges: every byte it sends
// waits for its answer.
class CountingPort final : public SerialPort {
public:
    bool open(const PortSettings& settings) override { return m_port.open(settings); }
    void close() override { m_port.close(); }
    bool isOpen() const override { return m_port.isOpen(); }
    int errorNumber() const override { return m_port.errorNumber(); }
    QString errorString() const override { return m_port.errorString(); }
    QString portName() const override { return m_port.portName(); }
    void discardInput() override { m_port.discardInput(); }
    int bytesAvailable() override { return m_port.bytesAvailable(); }
    bool writeByte(quint8 byte) override {
        ++exchanges;
        return m_port.writeByte(byte);
    }
    bool waitForByte(int timeoutMs) override { return m_port.waitForByte(timeoutMs); }
    int readByte() override { return m_port.readByte(); }

    qint64 exchanges = 0;

private:
    QtSerialPort m_port;
};

struct MinimalRun {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    qint64 exchanges = 0;
};

// What the minimal host takes for the passes (the same six values read
// whole, board in read mode); nullopt when an exchange failed.
std::optional<MinimalRun> minimalPasses(const QString& pty, int passes) {
    MinimalHost host;
    if (!host.open(pty.toStdString(), WireBaud) || !host.enterMode(MinimalHost::ReadMode))
        return std::nullopt;
    std::vector<ParsedAddress> addresses;
    for (const QString& text : PassRegisters) {
        const auto parsed = Address::parse(text);
        if (!parsed)
            return std::nullopt;
        addresses.push_back(*parsed);
    }
    MinimalRun run;
    const Stopwatch watch;
    for (int pass = 0; pass < passes; ++pass) {
        for (const ParsedAddress& a : addresses) {
            const int exchanges = host.readWhole(a.boardAddress, a.size());
            if (exchanges == MinimalHost::NoReply)
                return std::nullopt;
            run.exchanges += exchanges;
        }
    }
    run.wallSeconds = watch.wallSeconds();
    run.cpuSeconds = watch.cpuSeconds();
    return run;
}

void MainDisplayPass(benchmark::State& state) {
    Board board;
    Home home(board.pty());
    // The minimal host and the program take turns in blocks of passes, so
    // that both see the same load; the port is closed for the host's turns.
    // Short turns, so that both see the same load of a shared machine.
    constexpr int Rounds = 25;
    const int block = std::max(1, int(state.max_iterations / Rounds));
    MinimalRun minimal;
    int minimalCount = 0;
    bool minimalFailed = false;
    // Each round's rate against the minimal host's block just before it: a
    // moment when the shared machine slowed one side weighs on one round only.
    double minimalBlockRate = 0;
    std::vector<double> roundShares;
    auto minimalBlock = [&] {
        if (const auto run = minimalPasses(board.pty(), block)) {
            minimalBlockRate = double(run->exchanges) / run->wallSeconds;
            minimal.wallSeconds += run->wallSeconds;
            minimal.cpuSeconds += run->cpuSeconds;
            minimal.exchanges += run->exchanges;
            minimalCount += block;
        } else {
            minimalFailed = true;
        }
    };
    minimalBlock();

    ScriptedPrompt prompt;
    SteadyClock clock;
    CountingPort port;
    ViewTable views;
    views.Register(ViewTable::MainDisplay, [](ViewContext& c) { return new frmMain(c); });
    frmMDIMain main(prompt, clock, port, home.dir.path(), views);
    // Only the display's reads on the wire: the alarm poll would share it.
    main.findChild<QTimer*>(QStringLiteral("tmrBackgroungUpdate"))->stop();
    main.show();
    RefreshLoop& loop = main.currentViewWidget()->loop();
    QEventLoop events;
    QObject::connect(&loop, &RefreshLoop::passCompleted, &events, &QEventLoop::quit);
    auto goOnline = [&] {
        main.link().setOnlineMode(true);
        main.ApplyOnlineMode();
        if (!main.link().OnlineMode())
            return false;
        events.exec(); // the first pass handshakes into read mode
        return true;
    };
    if (!goOnline()) {
        state.SkipWithError("the program did not go online");
        return;
    }
    double total = 0;
    qint64 exchanges = 0;
    int inBlock = 0;
    double blockSeconds = 0;
    qint64 blockExchanges = 0;
    auto endRound = [&] {
        if (blockSeconds > 0 && minimalBlockRate > 0)
            roundShares.push_back(double(blockExchanges) / blockSeconds / minimalBlockRate);
        blockSeconds = 0;
        blockExchanges = 0;
    };
    for (auto _ : state) {
        if (inBlock == block) {
            endRound();
            state.PauseTiming(); // keeps the turn out of the CPU column
            main.link().setOnlineMode(false);
            main.ApplyOnlineMode();
            minimalBlock();
            const bool online = goOnline();
            state.ResumeTiming();
            if (!online) {
                state.SkipWithError("the program did not go online again");
                break;
            }
            inBlock = 0;
        }
        const qint64 exchangesBefore = port.exchanges;
        QElapsedTimer timer;
        timer.start();
        events.exec();
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        total += seconds;
        exchanges += port.exchanges - exchangesBefore;
        blockSeconds += seconds;
        blockExchanges += port.exchanges - exchangesBefore;
        ++inBlock;
    }
    endRound();
    const bool failed = main.link().CommError();
    main.link().CloseRSComm();
    if (failed) {
        state.SkipWithError("the link failed");
        return;
    }
    if (minimalFailed) {
        state.SkipWithError("a read of the minimal host failed");
        return;
    }
    const double rate = double(exchanges) / total;
    const double minimalRate = double(minimal.exchanges) / minimal.wallSeconds;
    state.counters["exchanges_per_pass"] = double(exchanges) / double(state.iterations());
    state.counters["minimal_exchanges_per_pass"] = double(minimal.exchanges) / minimalCount;
    state.counters["wire_share"] = rate * ExchangeWireSeconds;
    state.counters["minimal_ms"] = minimal.wallSeconds / minimalCount * 1000;
    state.counters["minimal_cpu_ms"] = minimal.cpuSeconds / minimalCount * 1000;
    state.counters["vs_minimal"] = rate / minimalRate;
    if (!roundShares.empty()) {
        std::sort(roundShares.begin(), roundShares.end());
        const size_t n = roundShares.size();
        state.counters["vs_minimal_median_round"] =
            n % 2 ? roundShares[n / 2] : (roundShares[n / 2 - 1] + roundShares[n / 2]) / 2;
    }
}
// A fixed count, about 10 s of passes, taking turns with the minimal host's.
BENCHMARK(MainDisplayPass)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
