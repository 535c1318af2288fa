// "&All" upload and download through the transfer engine (DataTransfer over
// QtSerialPort) against telvane-boardsim throttled to 19200 baud, against a
// minimal host doing the same exchanges on the same board in the same run.
//
// The same exchanges: the transfers are first run against the in-process
// simulator, given the values the link uploads from the real board first (a
// programmed channel takes a second recall, so the state matters), whose trace gives every byte the
// host sends and how many bytes the board answers to each. The minimal host replays the host's
// bytes and waits for each answer; attention handshakes it does itself (255 until 85), since the
// board's mode before a handshake depends on who spoke last. That covers every exchange of the
// transfer: the register entries and the PLS commands of the timing part alike. The PLS ready poll
// lasts as long as the board stays busy, so the minimal host polls it as the link does instead of
// replaying a count of polls.
//
// Rounds take turns: the link's upload and download, then the minimal
// host's, with the port closed during the other's turn.
//
// Counters: link_upload_s, minimal_upload_s, upload_vs_minimal (the minimal
// host's time over the link's, so 1 is as fast as the minimal host), the
// same for the download, and upload_host_bytes and download_host_bytes, the bytes the host sends
// per transfer. minimal_reply_mismatches counts answers whose value differed from the in-process
// board's (live values such as counters; the number of exchanges is the same).
#include "BoardProcess.h"
#include "BoardSimulator.h"
#include "Clock.h"
#include "DataTransfer.h"
#include "MinimalHost.h"
#include "PortSettingsFile.h"
#include "QtSerialPort.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"
#include "SharedState.h"
#include "SimSerialPort.h"
#include "Stopwatch.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <optional>
#include <vector>

namespace {

constexpr int Baud = 19200;

// One step of a replay: an attention handshake up to the board's 85, the PLS
// ready poll, or one host byte and the answer the in-process board gave (-1: none).
struct Exchange {
    bool attention = false;
    bool plsReady = false;
    int host = 0;
    int reply = -1;
    int replies = 0;
};

struct Recorded {
    std::vector<Exchange> upload;
    std::vector<Exchange> download;
    int uploadHostBytes = 0;
    int downloadHostBytes = 0;
};

bool is(const std::vector<Exchange>& e, std::size_t i, int host, int reply) {
    return i < e.size() && !e[i].attention && e[i].host == host && e[i].reply == reply;
}

// The PLS ready poll (56, 85 answered 85 while busy, 0 once ready, then one
// more 85) lasts as long as the board is busy: it becomes one step, polled
// as the link does.
std::vector<Exchange> collapseReadyPolls(const std::vector<Exchange>& in) {
    std::vector<Exchange> out;
    std::size_t i = 0;
    while (i < in.size()) {
        std::size_t j = i;
        while (is(in, j, 56, 85) && is(in, j + 1, 85, 85))
            j += 2;
        if (is(in, j, 56, 85) && is(in, j + 1, 85, 0) && j + 2 < in.size() &&
            in[j + 2].host == 85) {
            Exchange ready;
            ready.plsReady = true;
            out.push_back(ready);
            i = j + 3;
        } else {
            out.push_back(in[i]);
            ++i;
        }
    }
    return out;
}

// Turns "hFF b55 h01 b55 h10 b10 ..." into exchanges; a run of host 255s
// ended by an 85 at the start of a transaction becomes one attention.
std::optional<std::vector<Exchange>> parseTrace(const QString& trace, int* hostBytes) {
    const QStringList t = trace.split(u' ', Qt::SkipEmptyParts);
    std::vector<Exchange> out;
    *hostBytes = 0;
    bool transactionStart = true;
    qsizetype i = 0;
    while (i < t.size()) {
        if (!t[i].startsWith(u'h'))
            return std::nullopt; // a board byte nobody asked for
        Exchange e;
        e.host = t[i].mid(1).toInt(nullptr, 16);
        ++*hostBytes;
        ++i;
        while (i < t.size() && t[i].startsWith(u'b')) {
            if (e.replies == 0)
                e.reply = t[i].mid(1).toInt(nullptr, 16);
            ++e.replies;
            ++i;
        }
        if (e.replies > 1)
            return std::nullopt;
        if (e.host == 0xFF && transactionStart) {
            // Swallow the run of 255s up to the 85.
            qsizetype j = i;
            bool answered = e.reply == 0x55;
            while (!answered && j + 1 < t.size() && t[j] == u"hFF" && t[j + 1].startsWith(u'b')) {
                answered = t[j + 1] == u"b55";
                *hostBytes += 1;
                j += 2;
            }
            if (answered) {
                i = j;
                out.push_back(Exchange{true, false, 0xFF, 0x55, 1});
                transactionStart = false;
                continue;
            }
        }
        out.push_back(e);
        // The next attention comes after a mode byte's 85 at the earliest;
        // after any completed exchange a new transaction may begin.
        transactionStart = true;
    }
    return collapseReadyPolls(out);
}

// The transfers against the in-process board, first given the values of
// the real one (so that recalls answer alike: a programmed channel takes a
// second recall); nullopt when one failed.
std::optional<Recorded> record(const QString& folder, const SetupRecord& boardValues) {
    BoardSimulator board;
    VirtualClock clock;
    SimSerialPort port(board, clock);
    ScriptedPrompt prompt;
    RSComm link(prompt, clock, folder);
    PortSettings settings;
    settings.baud = QString::number(Baud);
    link.OpenRSComm(port, settings);
    if (!link.OnlineMode())
        return std::nullopt;
    SetupRecord data = boardValues;
    DataTransfer(link, data, DataTransfer::DownloadAll).RunToEnd();
    Recorded r;
    for (const int code : {int(DataTransfer::UploadAll), int(DataTransfer::DownloadAll)}) {
        port.clearTrace();
        DataTransfer transfer(link, data, code);
        transfer.RunToEnd();
        if (transfer.Failed())
            return std::nullopt;
        const bool up = code == DataTransfer::UploadAll;
        auto parsed = parseTrace(port.trace(), up ? &r.uploadHostBytes : &r.downloadHostBytes);
        if (!parsed)
            return std::nullopt;
        (up ? r.upload : r.download) = std::move(*parsed);
    }
    link.CloseRSComm();
    return r;
}

bool plsReady(MinimalHost& host) {
    for (int polls = 0; polls < 10000; ++polls) {
        if (host.sendAndRead(56) != 85)
            return false;
        const int answer = host.sendAndRead(85);
        if (answer == 0)
            return host.sendAndRead(85) != MinimalHost::NoReply;
        if (answer != 85)
            return false;
    }
    return false;
}

bool attention(MinimalHost& host) {
    for (int tries = 0; tries < 8; ++tries) {
        const int answer = host.sendAndRead(MinimalHost::Attention);
        if (answer == MinimalHost::AttentionAnswer)
            return true;
        if (answer == MinimalHost::NoReply)
            return false;
    }
    return false;
}

// The minimal host's replay; the seconds it took, or nullopt when an answer
// did not come.
std::optional<double> replay(MinimalHost& host, const std::vector<Exchange>& exchanges,
                             int* mismatches) {
    const Stopwatch watch;
    for (const Exchange& e : exchanges) {
        if (e.plsReady) {
            if (!plsReady(host))
                return std::nullopt;
            continue;
        }
        if (e.attention) {
            if (!attention(host))
                return std::nullopt;
            continue;
        }
        if (e.replies == 0) {
            // Nothing to wait for: as the link, which gives up on it at once.
            if (host.sendAndRead(std::uint8_t(e.host), 0) != MinimalHost::NoReply)
                ++*mismatches;
            continue;
        }
        const int answer = host.sendAndRead(std::uint8_t(e.host));
        if (answer == MinimalHost::NoReply)
            return std::nullopt;
        if (answer != e.reply)
            ++*mismatches;
    }
    return watch.wallSeconds();
}

void allTransfers(benchmark::State& state) {
    QTemporaryDir home;
    BoardProcess board({QStringLiteral("--baud"), QString::number(Baud)});
    if (!board.started()) {
        state.SkipWithError("telvane-boardsim did not start");
        return;
    }
    PortSettingsFile::write(home.filePath(QStringLiteral("Support/RSPort.cfg")),
                            {1, QString::number(Baud), board.pty()});
    ScriptedPrompt prompt;
    SteadyClock clock;
    RSComm link(prompt, clock, home.path());
    QtSerialPort port;
    SharedState shared;
    InitRegisterMap(shared);
    SetupRecord data = shared.DefaultData;

    // What the board holds, for the in-process board to hold too.
    link.OpenRSComm(port);
    DataTransfer first(link, data, DataTransfer::UploadAll);
    first.RunToEnd();
    link.CloseRSComm();
    const auto recorded = first.Failed() ? std::nullopt : record(home.path(), data);
    if (!recorded) {
        state.SkipWithError("the transfers before the timed rounds failed");
        return;
    }

    double linkUp = 0, linkDown = 0, minUp = 0, minDown = 0;
    int mismatches = 0;
    int rounds = 0;
    for (auto _ : state) {
        link.OpenRSComm(port);
        if (!link.OnlineMode()) {
            state.SkipWithError("link did not come online");
            return;
        }
        for (const int code : {int(DataTransfer::UploadAll), int(DataTransfer::DownloadAll)}) {
            const Stopwatch watch;
            DataTransfer transfer(link, data, code);
            transfer.RunToEnd();
            (code == DataTransfer::UploadAll ? linkUp : linkDown) += watch.wallSeconds();
            if (transfer.Failed()) {
                link.CloseRSComm();
                state.SkipWithError("a transfer of the link failed");
                return;
            }
        }
        link.CloseRSComm();

        MinimalHost host;
        if (!host.open(board.pty().toStdString(), Baud)) {
            state.SkipWithError("the minimal host could not open the port");
            return;
        }
        const auto up = replay(host, recorded->upload, &mismatches);
        const auto down = up ? replay(host, recorded->download, &mismatches) : std::nullopt;
        host.close();
        if (!up || !down) {
            state.SkipWithError("an answer to the minimal host did not come");
            return;
        }
        minUp += *up;
        minDown += *down;
        ++rounds;
    }
    state.counters["link_upload_s"] = linkUp / rounds;
    state.counters["minimal_upload_s"] = minUp / rounds;
    state.counters["upload_vs_minimal"] = minUp / linkUp;
    state.counters["link_download_s"] = linkDown / rounds;
    state.counters["minimal_download_s"] = minDown / rounds;
    state.counters["download_vs_minimal"] = minDown / linkDown;
    state.counters["upload_host_bytes"] = recorded->uploadHostBytes;
    state.counters["download_host_bytes"] = recorded->downloadHostBytes;
    state.counters["minimal_reply_mismatches"] = mismatches;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::RegisterBenchmark("AllTransfers/19200", allTransfers)->Iterations(5)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
