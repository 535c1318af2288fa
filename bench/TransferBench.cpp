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
#include "BenchBoard.h"
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
#include "TransferReplay.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <optional>
#include <vector>

namespace {

constexpr int WireBaud = 19200;

struct Recorded {
    std::vector<ReplayedExchange> upload;
    std::vector<ReplayedExchange> download;
    int uploadHostBytes = 0;
    int downloadHostBytes = 0;
};

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
    settings.baud = QString::number(WireBaud);
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

void allTransfers(benchmark::State& state) {
    BenchBoard served(WireBaud);
    if (!served.started()) {
        state.SkipWithError("telvane-boardsim did not start");
        return;
    }
    const QTemporaryDir& home = served.home;
    const BoardProcess& board = served.board;
    RSComm& link = served.link;
    QtSerialPort& port = served.port;
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
        if (!host.open(board.pty().toStdString(), WireBaud)) {
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
