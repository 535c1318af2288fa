// Eight boards read at once from eight threads, each through a BoardLink of
// its own: telvane-boardsim on eight pseudo-terminals throttled to 19200
// baud. Each board is first read alone, then all eight together; a link on
// its thread must keep its pace when the others run beside it.
//
// Counters: reads_per_s_alone and reads_per_s_together (the mean over the
// boards); worst_share and mean_share, a board's rate together as a share of
// its rate alone (the worst board, and the mean).
#include "BoardLink.h"
#include "BoardProcess.h"
#include "Clock.h"
#include "QtSerialPort.h"
#include "Stopwatch.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int Boards = 8;
constexpr int WireBaud = 19200;

// Reads per second of W1020 on the board at pty; 0 when a read failed.
double readRate(const QString& pty, int reads) {
    SteadyClock clock;
    QtSerialPort port;
    BoardLink link(clock);
    PortSettings settings;
    settings.baud = QString::number(WireBaud);
    settings.device = pty;
    const ParsedAddress address = *Address::parse(QStringLiteral("W1020"));
    if (!link.open(port, settings) || !link.read(address))
        return 0;
    const Stopwatch watch;
    for (int i = 0; i < reads; ++i) {
        if (!link.read(address))
            return 0;
    }
    const double rate = reads / watch.wallSeconds();
    link.close();
    return rate;
}

// Each board's rate, read by a thread of its own; together or one after another.
std::vector<double> rates(const std::vector<QString>& ptys, int reads, bool together) {
    std::vector<double> result(ptys.size());
    std::vector<std::unique_ptr<QThread>> threads;
    for (size_t i = 0; i < ptys.size(); ++i) {
        threads.emplace_back(QThread::create([&, i] { result[i] = readRate(ptys[i], reads); }));
        threads.back()->start();
        if (!together)
            threads.back()->wait();
    }
    for (auto& thread : threads)
        thread->wait();
    return result;
}

void eightBoards(benchmark::State& state) {
    std::vector<std::unique_ptr<BoardProcess>> boards;
    std::vector<QString> ptys;
    for (int i = 0; i < Boards; ++i) {
        boards.push_back(std::make_unique<BoardProcess>(
            QStringList{QStringLiteral("--baud"), QString::number(WireBaud)}));
        if (!boards.back()->started()) {
            state.SkipWithError("telvane-boardsim did not start");
            return;
        }
        ptys.push_back(boards.back()->pty());
    }
    const int reads = int(state.range(0));
    std::vector<double> alone;
    std::vector<double> together;
    for (auto _ : state) {
        alone = rates(ptys, reads, false);
        together = rates(ptys, reads, true);
    }
    double worst = 1e9;
    double sumShare = 0;
    double sumAlone = 0;
    double sumTogether = 0;
    for (int i = 0; i < Boards; ++i) {
        if (alone[size_t(i)] <= 0 || together[size_t(i)] <= 0) {
            state.SkipWithError("a read failed");
            return;
        }
        const double share = together[size_t(i)] / alone[size_t(i)];
        worst = std::min(worst, share);
        sumShare += share;
        sumAlone += alone[size_t(i)];
        sumTogether += together[size_t(i)];
    }
    state.counters["reads_per_s_alone"] = sumAlone / Boards;
    state.counters["reads_per_s_together"] = sumTogether / Boards;
    state.counters["worst_share"] = worst;
    state.counters["mean_share"] = sumShare / Boards;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // 400 word reads at 19200 baud: about 1.7 s for each board alone.
    benchmark::RegisterBenchmark("EightBoards/19200", eightBoards)
        ->Arg(400)
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kSecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
