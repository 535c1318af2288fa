// Eight boards read at once from eight threads, each through a BoardLink of
// its own: telvane-boardsim on eight pseudo-terminals throttled to 19200
// baud. Each board is read alone, then all eight together, in three rounds;
// a link on its thread must keep its pace when the others run beside it.
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

// Seconds that reads of W1020 took on the board at pty; 0 when a read failed.
double readTime(const QString& pty, int reads) {
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
    const double seconds = watch.wallSeconds();
    link.close();
    return seconds;
}

// Each board's read time, read by a thread of its own; all at once or one
// after another. Started together, not in step: each link's handshake sets
// its own phase, as the presses of a plant have theirs.
std::vector<double> times(const std::vector<QString>& ptys, int reads, bool together) {
    std::vector<double> result(ptys.size());
    std::vector<std::unique_ptr<QThread>> threads;
    for (size_t i = 0; i < ptys.size(); ++i) {
        threads.emplace_back(QThread::create([&, i] { result[i] = readTime(ptys[i], reads); }));
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
    // Alone and together take turns, so that both see the same machine;
    // a board's rate is its reads over its time, summed over the rounds.
    constexpr int Rounds = 3;
    const int reads = int(state.range(0));
    std::vector<double> aloneSeconds(Boards);
    std::vector<double> togetherSeconds(Boards);
    bool failed = false;
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round) {
            const auto alone = times(ptys, reads, false);
            const auto together = times(ptys, reads, true);
            for (size_t i = 0; i < size_t(Boards); ++i) {
                failed = failed || alone[i] <= 0 || together[i] <= 0;
                aloneSeconds[i] += alone[i];
                togetherSeconds[i] += together[i];
            }
        }
    }
    if (failed) {
        state.SkipWithError("a read failed");
        return;
    }
    double worst = 1e9;
    double sumShare = 0;
    double sumAlone = 0;
    double sumTogether = 0;
    for (size_t i = 0; i < size_t(Boards); ++i) {
        const double alone = Rounds * reads / aloneSeconds[i];
        const double together = Rounds * reads / togetherSeconds[i];
        const double share = together / alone;
        worst = std::min(worst, share);
        sumShare += share;
        sumAlone += alone;
        sumTogether += together;
    }
    state.counters["reads_per_s_alone"] = sumAlone / Boards;
    state.counters["reads_per_s_together"] = sumTogether / Boards;
    state.counters["worst_share"] = worst;
    state.counters["mean_share"] = sumShare / Boards;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // 400 word reads at 19200 baud: about 1.7 s for each board alone, in
    // each of the rounds.
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
