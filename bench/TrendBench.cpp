// Sampling figures against the simulated board:
//  - WatchEvery0: telvane-cli watch --every 0 of one word register against
//    telvane-boardsim at 19200 baud, in turns with a minimal host reading the
//    same register on the same board the same way (vs_minimal: samples per
//    second over the host's reads per second). The rate comes from the rows' own times, so
//    the process start and the handshake are not counted.
//  - TrendExchangeRate: the Trend view's samples of its three default
//    registers in process at 19200 baud, in turns with the minimal host doing
//    the same three reads (vs_minimal). Both read a word as sampling does,
//    in three byte reads whose bytes belong together. The alarm poll is stopped, as in
//    app_bench's main display pass, so that only the view's reads are timed.
//  - TrendMemory8h: the Trend view online on the in-process simulator at
//    19200 baud on a virtual clock, sampling as fast as the wire allows for
//    eight hours of board time: resident memory after one minute and after
//    eight hours (rss_growth_MiB).
#include "Address.h"
#include "BoardProcess.h"
#include "BoardSimulator.h"
#include "Clock.h"
#include "MinimalHost.h"
#include "PortSettingsFile.h"
#include "ProcessFigures.h"
#include "QtSerialPort.h"
#include "ScriptedPrompt.h"
#include "SimSerialPort.h"
#include "Stopwatch.h"
#include "TrendView.h"
#include "ViewBase.h"
#include "ViewTable.h"
#include "frmMDIMain.h"
#include "frmTrend.h"

#include <QApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <optional>
#include <vector>

namespace {

constexpr int WireBaud = 19200;
constexpr int Rounds = 3;

struct Home {
    QTemporaryDir dir;
    explicit Home(const QString& device) {
        PortSettingsFile::write(dir.filePath(QStringLiteral("Support/RSPort.cfg")),
                                {1, QString::number(WireBaud), device});
    }
};

// Seconds the minimal host takes for `passes` passes over the registers,
// board in read mode; nullopt when an exchange failed.
std::optional<double> minimalSeconds(const QString& pty, const QStringList& registers, int passes) {
    MinimalHost host;
    if (!host.open(pty.toStdString(), WireBaud) || !host.enterMode(MinimalHost::ReadMode))
        return std::nullopt;
    std::vector<ParsedAddress> addresses;
    for (const QString& text : registers)
        addresses.push_back(*Address::parse(text));
    const Stopwatch watch;
    for (int pass = 0; pass < passes; ++pass)
        for (const ParsedAddress& a : addresses)
            if (host.readWhole(a.boardAddress, a.size()) == MinimalHost::NoReply)
                return std::nullopt;
    return watch.wallSeconds();
}

void WatchEvery0(benchmark::State& state) {
    constexpr int Rows = 500;
    BoardProcess board({QStringLiteral("--baud"), QString::number(WireBaud)});
    if (!board.started()) {
        state.SkipWithError("telvane-boardsim did not start");
        return;
    }
    const QStringList registers{QStringLiteral("W1020")};
    Home home(board.pty());
    double watchRows = 0, watchSeconds = 0, minimalReads = 0, minimalTime = 0;
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round) {
            const auto minimal = minimalSeconds(board.pty(), registers, Rows);
            const ProcessResult r = RunProgram(QStringLiteral("telvane-cli"),
                                               {QStringLiteral("watch"), registers[0],
                                                QStringLiteral("--count"), QString::number(Rows)},
                                               ProgramHome(board.pty()));
            const QStringList lines = r.lines();
            if (!minimal || r.exit != 0 || lines.size() != Rows + 1) {
                state.SkipWithError("a run failed");
                return;
            }
            const auto time = [](const QString& line) {
                return QDateTime::fromString(line.section(u',', 0, 0), Qt::ISODateWithMs);
            };
            // From the first row's start to the last row's: Rows - 1 samples.
            watchSeconds += double(time(lines[1]).msecsTo(time(lines.last()))) / 1000.0;
            watchRows += Rows - 1;
            minimalReads += Rows;
            minimalTime += *minimal;
        }
    }
    state.counters["samples_per_s"] = watchRows / watchSeconds;
    state.counters["minimal_reads_per_s"] = minimalReads / minimalTime;
    state.counters["vs_minimal"] = (watchRows / watchSeconds) / (minimalReads / minimalTime);
}
BENCHMARK(WatchEvery0)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The main window with the Trend view shown; the alarm poll stopped.
struct TrendWindow {
    ScriptedPrompt prompt;
    ViewTable views;
    std::unique_ptr<frmMDIMain> main;
    // wall: the clock that times the samples (the system's unless given).
    TrendWindow(Clock& clock, SerialPort& port, const QString& folder,
                SampleTime::WallClock wall = SampleTime::systemMs) {
        RegisterTrendView(views, std::move(wall));
        main = std::make_unique<frmMDIMain>(prompt, clock, port, folder, views);
        main->findChild<QTimer*>(QStringLiteral("tmrBackgroungUpdate"))->stop();
        main->show();
        main->ShowView(ViewTable::Trend);
    }
    frmTrend* view() const { return qobject_cast<frmTrend*>(main->currentViewWidget()); }
    bool goOnline() {
        main->link().setOnlineMode(true);
        main->ApplyOnlineMode();
        return main->link().OnlineMode();
    }
    void goOffline() {
        main->link().setOnlineMode(false);
        main->ApplyOnlineMode();
    }
    // Runs the event loop until `passes` more passes of the view are done.
    bool runPasses(qint64 passes, int timeoutMs = 60000) {
        RefreshLoop& loop = view()->loop();
        const qint64 target = loop.PassesCompleted() + passes;
        QEventLoop events;
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, &events, &QEventLoop::quit);
        QObject::connect(&loop, &RefreshLoop::passCompleted, &events, [&] {
            if (loop.PassesCompleted() >= target)
                events.quit();
        });
        safety.start(timeoutMs);
        events.exec();
        return loop.PassesCompleted() >= target && !main->link().CommError();
    }
};

void TrendExchangeRate(benchmark::State& state) {
    constexpr int Passes = 150; // about 2 s at 19200 baud
    BoardProcess board({QStringLiteral("--baud"), QString::number(WireBaud)});
    if (!board.started()) {
        state.SkipWithError("telvane-boardsim did not start");
        return;
    }
    Home home(board.pty());
    SteadyClock clock;
    QtSerialPort port;
    TrendWindow window(clock, port, home.dir.path());
    const QStringList registers = window.view()->addresses();
    double viewSeconds = 0, minimalTime = 0;
    qint64 viewPasses = 0, minimalPasses = 0;
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round) {
            const auto minimal = minimalSeconds(board.pty(), registers, Passes);
            // The first pass switches the board into read mode: not timed.
            if (!minimal || !window.goOnline() || !window.runPasses(1)) {
                state.SkipWithError("a run failed");
                return;
            }
            const Stopwatch watch;
            if (!window.runPasses(Passes)) {
                state.SkipWithError("the view stopped sampling");
                return;
            }
            viewSeconds += watch.wallSeconds();
            viewPasses += Passes;
            window.goOffline(); // the port is the minimal host's for its turn
            minimalTime += *minimal;
            minimalPasses += Passes;
        }
    }
    const double rate = double(viewPasses) / viewSeconds;
    const double minimalRate = double(minimalPasses) / minimalTime;
    state.counters["samples_per_s"] = rate;
    state.counters["minimal_passes_per_s"] = minimalRate;
    state.counters["vs_minimal"] = rate / minimalRate;
}
BENCHMARK(TrendExchangeRate)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void TrendMemory8h(benchmark::State& state) {
    constexpr qint64 MinuteMs = 60 * 1000;
    constexpr qint64 Hours = 8;
    BoardSimulator board;
    VirtualClock clock;
    SimSerialPort port(board, clock);
    Home home(QStringLiteral("SIM"));
    // The samples' times follow the simulated hours, as the board's do.
    const qint64 wallAtStart = SampleTime::systemMs() - clock.nowMs();
    TrendWindow window(clock, port, home.dir.path(),
                       [&clock, wallAtStart] { return wallAtStart + clock.nowMs(); });
    double afterMinute = 0, afterHours = 0;
    qint64 samples = 0;
    for (auto _ : state) {
        if (!window.goOnline()) {
            state.SkipWithError("the view did not go online");
            return;
        }
        const qint64 start = clock.nowMs();
        auto runUntil = [&](qint64 ms) {
            while (clock.nowMs() - start < ms) {
                if (!window.runPasses(1000))
                    return false;
                port.clearTrace(); // the test port's record of the wire, not the program's
            }
            return true;
        };
        if (!runUntil(MinuteMs)) {
            state.SkipWithError("sampling stopped");
            return;
        }
        afterMinute = rssMiB();
        if (!runUntil(Hours * 60 * MinuteMs)) {
            state.SkipWithError("sampling stopped");
            return;
        }
        afterHours = rssMiB();
        samples = window.view()->loop().PassesCompleted();
    }
    state.counters["rss_1min_MiB"] = afterMinute;
    state.counters["rss_8h_MiB"] = afterHours;
    state.counters["rss_growth_MiB"] = afterHours - afterMinute;
    state.counters["samples"] = double(samples);
    state.counters["samples_kept"] = window.view()->store().size();
}
BENCHMARK(TrendMemory8h)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    // The Trend window remembers its registers per user: the benchmark's
    // window starts from the defaults, whatever its user kept.
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
