// Word reads at 19200 baud through a serial device server against the same
// reads on the pseudo-terminal directly: telvane-boardsim throttled to the
// wire, Debian's ser2net in front of the pseudo-terminal on the loopback
// address, once raw (socket://) and once with RFC 2217 (rfc2217://), each
// way with a board of its own.
//
// One link (the program's own port, AnySerialPort) takes the three ways in
// turn, in blocks, so that all three see the same machine load.
//
// Counters, for direct, socket and rfc2217: *_reads_per_s; *_vs_direct, the
// rate as a share of the direct one; *_cpu_us_per_read, this thread's CPU
// time per read, and *_cpu_vs_direct; *_us_per_exchange, the wall time of one
// byte exchange (a word read in read mode is four).
#include "AnySerialPort.h"
#include "BoardProcess.h"
#include "Clock.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"
#include "Ser2netProcess.h"
#include "Stopwatch.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <array>
#include <benchmark/benchmark.h>
#include <string>

namespace {

const QString Register = QStringLiteral("W1020");
constexpr int WireBaud = 19200;

struct Way {
    std::string name;
    QString device;
    int reads = 0;
    double wallSeconds = 0;
    double cpuSeconds = 0;
};

void networkReads(benchmark::State& state) {
    // A board each: a server that lets its port go restores the port's
    // settings a moment later, which would change them under the next way.
    const QStringList args{QStringLiteral("--baud"), QString::number(WireBaud)};
    BoardProcess onItsOwn(args);
    BoardProcess behindRaw(args);
    BoardProcess behindTelnet(args);
    if (!onItsOwn.started() || !behindRaw.started() || !behindTelnet.started()) {
        state.SkipWithError("telvane-boardsim did not start");
        return;
    }
    Ser2netProcess raw(behindRaw.pty(), Ser2netProcess::Mode::Raw, WireBaud);
    Ser2netProcess telnet(behindTelnet.pty(), Ser2netProcess::Mode::Rfc2217, WireBaud);
    if (!raw.started() || !telnet.started()) {
        state.SkipWithError("ser2net did not start");
        return;
    }
    std::array<Way, 3> ways{Way{"direct", onItsOwn.pty()}, Way{"socket", raw.url()},
                            Way{"rfc2217", telnet.url()}};
    QTemporaryDir home;
    ScriptedPrompt prompt;
    SteadyClock clock;
    RSComm link(prompt, clock, home.path());
    AnySerialPort port;
    const int rounds = 10;
    const int block = int(state.range(0)) / rounds;
    for (auto _ : state) {
        for (int round = 0; round < rounds; ++round) {
            for (Way& way : ways) {
                link.OpenRSComm(port, {1, QString::number(WireBaud), way.device});
                link.RSRead(Register); // read mode, address cached
                if (!link.OnlineMode() || link.LastReadFailed()) {
                    const QString why =
                        prompt.shown().isEmpty() ? QString() : prompt.shown().last().text;
                    state.SkipWithError(
                        ("no link through " + way.name + ": " + why.toStdString()).c_str());
                    return;
                }
                const Stopwatch watch;
                for (int i = 0; i < block; ++i)
                    benchmark::DoNotOptimize(link.RSRead(Register));
                way.wallSeconds += watch.wallSeconds();
                way.cpuSeconds += watch.cpuSeconds();
                way.reads += block;
                const bool failed = link.CommError() || link.LastReadFailed();
                link.CloseRSComm();
                if (failed) {
                    state.SkipWithError(("a read failed through " + way.name).c_str());
                    return;
                }
            }
        }
    }
    const Way& direct = ways[0];
    for (const Way& way : ways) {
        const double rate = way.reads / way.wallSeconds;
        const double cpuUs = way.cpuSeconds / way.reads * 1e6;
        state.counters[way.name + "_reads_per_s"] = rate;
        state.counters[way.name + "_cpu_us_per_read"] = cpuUs;
        state.counters[way.name + "_us_per_exchange"] = way.wallSeconds / way.reads / 4 * 1e6;
        if (&way != &direct) {
            state.counters[way.name + "_vs_direct"] = rate / (direct.reads / direct.wallSeconds);
            state.counters[way.name + "_cpu_vs_direct"] =
                cpuUs / (direct.cpuSeconds / direct.reads * 1e6);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // 1500 reads each way, about 6 s each at 19200 baud, in one run.
    benchmark::RegisterBenchmark("WordRead/19200/direct_socket_rfc2217", networkReads)
        ->Arg(1500)
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kSecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
