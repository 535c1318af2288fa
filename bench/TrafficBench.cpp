// What the Comm Traffic window costs the link: word reads through RSComm
// over a pseudo-terminal against telvane-boardsim, with the window closed
// and open (shown on the offscreen platform, painting its lines), in blocks
// taking turns so that both see the same machine load. Between reads the
// event loop turns as the program's does between two transactions.
//
// Counters: reads_per_s_closed, reads_per_s_open, open_vs_closed (the open
// rate as a share of the closed one), lines (lines the window kept).
#include "BoardProcess.h"
#include "Clock.h"
#include "FileDialogs.h"
#include "QtSerialPort.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"
#include "SharedState.h"
#include "Stopwatch.h"
#include "ViewContext.h"
#include "frmCommTraffic.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString Register = QStringLiteral("W1020");
constexpr double EventLoopEverySeconds = 0.01;

struct Measured {
    int reads = 0;
    double seconds = 0;
    double rate() const { return seconds > 0 ? reads / seconds : 0; }
};

void trafficWindow(benchmark::State& state, int baud, int reads) {
    QStringList args;
    if (baud)
        args << QStringLiteral("--baud") << QString::number(baud);
    BoardProcess board(args);
    if (!board.started()) {
        state.SkipWithError("telvane-boardsim did not start");
        return;
    }
    QTemporaryDir home;
    ScriptedPrompt prompt;
    SteadyClock clock;
    QtSerialPort port;
    RSComm link(prompt, clock, home.path());
    SharedState shared;
    QtFileDialogs dialogs;
    ViewContext context(link, shared, prompt, dialogs, home.path());
    frmCommTraffic window(context, nullptr);
    link.OpenRSComm(port, {1, QString::number(baud ? baud : Baud::Slow), board.pty()});
    link.RSRead(Register);
    if (!link.OnlineMode() || link.LastReadFailed()) {
        state.SkipWithError("link did not come online");
        return;
    }

    constexpr int Rounds = 6;
    const int block = std::max(1, reads / Rounds / 2);
    Measured closed;
    Measured open;
    bool failed = false;
    auto readBlock = [&](Measured& into) {
        const Stopwatch watch;
        Stopwatch sinceEvents;
        for (int i = 0; i < block; ++i) {
            link.RSRead(Register);
            failed = failed || link.LastReadFailed();
            if (sinceEvents.wallSeconds() >= EventLoopEverySeconds) {
                QCoreApplication::processEvents();
                sinceEvents = Stopwatch();
            }
        }
        into.reads += block;
        into.seconds += watch.wallSeconds();
    };
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round) {
            window.hide();
            QCoreApplication::processEvents();
            readBlock(closed);
            window.show();
            QCoreApplication::processEvents();
            readBlock(open);
        }
        state.SetIterationTime(closed.seconds + open.seconds);
    }
    link.CloseRSComm();
    if (failed) {
        state.SkipWithError("a read failed");
        return;
    }
    state.counters["reads_per_s_closed"] = closed.rate();
    state.counters["reads_per_s_open"] = open.rate();
    state.counters["open_vs_closed"] = open.rate() / closed.rate();
    state.counters["lines"] = window.log().size();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    struct Line {
        const char* name;
        int baud;
        int reads;
    };
    for (const Line& line :
         {Line{"TrafficWindow/unthrottled", 0, 24000}, Line{"TrafficWindow/19200", 19200, 1200}}) {
        // One iteration: the reads are counted out in the blocks.
        benchmark::RegisterBenchmark(line.name, trafficWindow, line.baud, line.reads)
            ->Iterations(1)
            ->UseManualTime();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
