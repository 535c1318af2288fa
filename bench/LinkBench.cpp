// Word reads per second through the link (QSerialPort) over a pseudo-terminal
// against telvane-boardsim: unthrottled, throttled to 19200 and 9600 baud, and
// at 19200 baud behind the latency timer of a USB serial adapter at 1 and 16 ms.
//
// In the same run and against the same board, a minimal host (blocking
// one-byte writes and reads, see MinimalHost.h) does the same exchanges, in
// blocks taking turns with the link's, so that both see the same machine load.
//
// Counters: reads_per_s and minimal_reads_per_s; vs_minimal, the link's rate
// as a share of the minimal host's; wire_share and minimal_wire_share, the
// share of the wire limit reached (a word read in read mode is 4 exchanges of
// 2 bytes, 10 bits a byte); cpu_us_per_read and minimal_cpu_us_per_read, this
// thread's CPU time per read.
#include "Address.h"
#include "BoardProcess.h"
#include "Clock.h"
#include "MinimalHost.h"
#include "PortSettingsFile.h"
#include "QtSerialPort.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"
#include "Stopwatch.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <optional>

namespace {

const QString Register = QStringLiteral("W1020");

struct Measured {
    int reads = 0;
    double wallSeconds = 0;
    double cpuSeconds = 0;
    Measured& operator+=(const Measured& other) {
        reads += other.reads;
        wallSeconds += other.wallSeconds;
        cpuSeconds += other.cpuSeconds;
        return *this;
    }
    double perSecond() const { return wallSeconds > 0 ? reads / wallSeconds : 0; }
};

// The minimal host's reads of the register, board in read mode; nullopt when
// an exchange failed.
std::optional<Measured> minimalReads(const QString& pty, int baud, int reads) {
    const auto address = Address::parse(Register);
    MinimalHost host;
    if (!address || !host.open(pty.toStdString(), baud) || !host.enterMode(MinimalHost::ReadMode))
        return std::nullopt;
    std::uint8_t data[4] = {};
    host.readBytes(address->boardAddress, address->size(), data); // as the link's first read
    const Stopwatch watch;
    for (int i = 0; i < reads; ++i) {
        if (!host.readBytes(address->boardAddress, address->size(), data))
            return std::nullopt;
    }
    return Measured{reads, watch.wallSeconds(), watch.cpuSeconds()};
}

void wordReads(benchmark::State& state, int baud, int latencyMs) {
    QStringList args;
    if (baud)
        args << QStringLiteral("--baud") << QString::number(baud);
    if (latencyMs)
        args << QStringLiteral("--latency-ms") << QString::number(latencyMs);
    BoardProcess board(args);
    if (!board.started()) {
        state.SkipWithError("telvane-boardsim did not start");
        return;
    }
    // The two hosts take turns in blocks, so that both see the same load.
    constexpr int Rounds = 5;
    const int block = std::max(1, int(state.max_iterations / Rounds));
    Measured minimal;
    bool minimalFailed = false;
    auto minimalBlock = [&] {
        if (const auto m = minimalReads(board.pty(), baud, block))
            minimal += *m;
        else
            minimalFailed = true;
    };

    QTemporaryDir home;
    PortSettingsFile::write(home.filePath(QStringLiteral("Support/RSPort.cfg")),
                            {1, QString::number(baud ? baud : Baud::Slow), board.pty()});
    ScriptedPrompt prompt;
    SteadyClock clock;
    RSComm link(prompt, clock, home.path());
    QtSerialPort port;
    // The port is the link's alone while open: it is closed for the minimal host's turns.
    auto openLink = [&] {
        link.OpenRSComm(port);
        link.RSRead(Register); // read mode, address cached
        return link.OnlineMode() && !link.LastReadFailed();
    };

    minimalBlock();
    if (!openLink()) {
        state.SkipWithError("link did not come online");
        return;
    }
    Measured linkRun;
    Stopwatch watch;
    int inBlock = 0;
    for (auto _ : state) {
        if (inBlock == block) {
            linkRun += Measured{block, watch.wallSeconds(), watch.cpuSeconds()};
            state.PauseTiming();
            link.CloseRSComm();
            minimalBlock();
            const bool online = openLink();
            state.ResumeTiming();
            if (!online) {
                state.SkipWithError("link did not come online again");
                break;
            }
            inBlock = 0;
            watch = Stopwatch();
        }
        benchmark::DoNotOptimize(link.RSRead(Register));
        ++inBlock;
    }
    linkRun += Measured{inBlock, watch.wallSeconds(), watch.cpuSeconds()};
    const bool linkFailed = link.CommError() || link.LastReadFailed();
    link.CloseRSComm();
    if (linkFailed) {
        state.SkipWithError("a read of the link failed");
        return;
    }
    if (minimalFailed) {
        state.SkipWithError("a read of the minimal host failed");
        return;
    }

    state.counters["reads_per_s"] = linkRun.perSecond();
    state.counters["minimal_reads_per_s"] = minimal.perSecond();
    state.counters["vs_minimal"] = linkRun.perSecond() / minimal.perSecond();
    state.counters["cpu_us_per_read"] = linkRun.cpuSeconds / linkRun.reads * 1e6;
    state.counters["minimal_cpu_us_per_read"] = minimal.cpuSeconds / minimal.reads * 1e6;
    if (baud) {
        const double wireSecondsPerRead = 4.0 * 2.0 * 10.0 / baud;
        state.counters["wire_share"] = linkRun.perSecond() * wireSecondsPerRead;
        state.counters["minimal_wire_share"] = minimal.perSecond() * wireSecondsPerRead;
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Fixed counts, about 2.5 s of link reads each, so that every line is one
    // run of the link taking turns with the minimal host.
    struct Line {
        const char* name;
        int baud;
        int latencyMs;
        int reads;
    };
    for (const Line& line :
         {Line{"WordRead/unthrottled", 0, 0, 20000}, Line{"WordRead/19200", 19200, 0, 600},
          Line{"WordRead/9600", 9600, 0, 300},
          Line{"WordRead/19200/adapter_latency_1ms", 19200, 1, 300},
          Line{"WordRead/19200/adapter_latency_16ms", 19200, 16, 40}}) {
        benchmark::RegisterBenchmark(line.name, wordReads, line.baud, line.latencyMs)
            ->Iterations(line.reads)
            ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
