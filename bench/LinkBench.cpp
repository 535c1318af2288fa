// Word reads per second through QSerialPort over a pseudo-terminal against
// telvane-boardsim, unthrottled and throttled to 19200 and 9600 baud.
//
// Counters: reads_per_s; wire_share, the share of the wire limit reached (a
// word read in read mode is 4 exchanges of 2 bytes, 10 bits a byte); CPU per
// read is the benchmark's own CPU column (this thread's CPU time per read).
#include "BoardProcess.h"
#include "Clock.h"
#include "PortSettingsFile.h"
#include "QtSerialPort.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

void wordReads(benchmark::State& state) {
    const int baud = int(state.range(0));
    BoardProcess board(baud ? QStringList{QStringLiteral("--baud"), QString::number(baud)}
                            : QStringList{});
    QTemporaryDir home;
    PortSettingsFile::write(
        home.filePath(QStringLiteral("Support/RSPort.cfg")),
        {1, baud == 19200 ? QStringLiteral("19200") : QStringLiteral("9600"), board.pty()});
    ScriptedPrompt prompt;
    SteadyClock clock;
    RSComm link(prompt, clock, home.path());
    QtSerialPort port;
    link.OpenRSComm(port);
    if (!link.OnlineMode()) {
        state.SkipWithError("link did not come online");
        return;
    }
    link.RSRead(QStringLiteral("W1020")); // read mode, address cached
    for (auto _ : state) {
        benchmark::DoNotOptimize(link.RSRead(QStringLiteral("W1020")));
    }
    if (link.CommError() || link.LastReadFailed())
        state.SkipWithError("a read failed");
    link.CloseRSComm();
    const double reads = double(state.iterations());
    state.counters["reads_per_s"] = benchmark::Counter(reads, benchmark::Counter::kIsRate);
    if (baud) {
        const double wireSecondsPerRead = 4.0 * 2.0 * 10.0 / baud;
        state.counters["wire_share"] =
            benchmark::Counter(reads * wireSecondsPerRead, benchmark::Counter::kIsRate);
    }
}

} // namespace

BENCHMARK(wordReads)->Name("WordRead/unthrottled")->Arg(0)->UseRealTime()->MinTime(2.0);
BENCHMARK(wordReads)->Name("WordRead/19200")->Arg(19200)->UseRealTime()->MinTime(3.0);
BENCHMARK(wordReads)->Name("WordRead/9600")->Arg(9600)->UseRealTime()->MinTime(3.0);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
