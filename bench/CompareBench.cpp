// A compare against the board costs the reads of the upload of its groups and
// nothing more: the compare (DataTransfer reads of the set-up parameters and
// timing channels over QtSerialPort, then SetupCompare) against
// telvane-boardsim throttled to 19200 baud, against the minimal host doing
// the same reads on the same board in the same run, the two taking turns.
// And two set-up files of the full size, read and compared in all groups.
//
// Counters of Compare/board/19200: link_compare_s, minimal_s,
// compare_vs_minimal (the minimal host's time over the compare's, so 1 is as
// fast as the minimal host), host_bytes (bytes the host sends per compare),
// minimal_reply_mismatches (answers whose value differed from the
// in-process board's), differences (rows of each compare).
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
#include "SdtFile.h"
#include "SetupCompare.h"
#include "SetupComparison.h"
#include "SharedState.h"
#include "SimSerialPort.h"
#include "Stopwatch.h"
#include "TransferReplay.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int WireBaud = 19200;
const int Groups = SetupCompare::DefaultGroups();
const QString Caption = QStringLiteral("Reading the Board for Compare, Please Standby...");

// The compare's board read against the in-process board, given the values of
// the real one first (a programmed channel takes a second recall).
std::optional<std::vector<ReplayedExchange>> record(const QString& folder,
                                                    const SetupRecord& boardValues,
                                                    const SetupRecord& file, int* hostBytes) {
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
    SetupRecord values = boardValues;
    DataTransfer(link, values, DataTransfer::DownloadAll).RunToEnd();
    port.clearTrace();
    SetupRecord read = file;
    DataTransfer transfer(link, read, Groups, Caption);
    transfer.RunToEnd();
    if (transfer.Failed())
        return std::nullopt;
    return parseTrace(port.trace(), hostBytes);
}

void compareAgainstBoard(benchmark::State& state) {
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
    // The file: the defaults with two set-up values and a channel of its own.
    SetupRecord file = shared.DefaultData;
    file.ValueTable[39] = 181;
    file.ValueTable[42] = 120;
    file.ChannelSetpoint[3] = {100, 200};

    SetupRecord boardValues = shared.DefaultData;
    link.OpenRSComm(port);
    DataTransfer first(link, boardValues, DataTransfer::UploadAll);
    first.RunToEnd();
    link.CloseRSComm();
    int hostBytes = 0;
    const auto exchanges =
        first.Failed() ? std::nullopt : record(home.path(), boardValues, file, &hostBytes);
    if (!exchanges) {
        state.SkipWithError("the reads before the timed rounds failed");
        return;
    }

    double linkSeconds = 0, minimalSeconds = 0;
    int mismatches = 0, rounds = 0;
    qsizetype differences = 0;
    for (auto _ : state) {
        link.OpenRSComm(port);
        if (!link.OnlineMode()) {
            state.SkipWithError("link did not come online");
            return;
        }
        const Stopwatch watch;
        SetupRecord read = file;
        DataTransfer transfer(link, read, Groups, Caption);
        transfer.RunToEnd();
        const auto rows = SetupCompare::Compare(file, read, Groups);
        linkSeconds += watch.wallSeconds();
        link.CloseRSComm();
        if (transfer.Failed()) {
            state.SkipWithError("the compare's reads failed");
            return;
        }
        differences = rows.size();

        MinimalHost host;
        if (!host.open(board.pty().toStdString(), WireBaud)) {
            state.SkipWithError("the minimal host could not open the port");
            return;
        }
        const auto seconds = replay(host, *exchanges, &mismatches);
        host.close();
        if (!seconds) {
            state.SkipWithError("an answer to the minimal host did not come");
            return;
        }
        minimalSeconds += *seconds;
        ++rounds;
    }
    state.counters["link_compare_s"] = linkSeconds / rounds;
    state.counters["minimal_s"] = minimalSeconds / rounds;
    state.counters["compare_vs_minimal"] = minimalSeconds / linkSeconds;
    state.counters["host_bytes"] = hostBytes;
    state.counters["minimal_reply_mismatches"] = mismatches;
    state.counters["differences"] = double(differences);
}

// Two files of the full size (all 49 entries, every PLS value), each value
// different, read from disk and compared in every group, as diff does.
void compareTwoFiles(benchmark::State& state) {
    QTemporaryDir dir;
    SharedState shared;
    InitRegisterMap(shared);
    SetupRecord a = shared.DefaultData, b = shared.DefaultData;
    for (int i = 0; i <= LastIndex; ++i)
        b.ValueTable[i] = a.ValueTable[i] + 1000 + i;
    b.PlsConfig2to9.fill(7);
    for (auto& channel : b.ChannelSetpoint)
        channel = {11, 22};
    const QString pathA = dir.filePath(QStringLiteral("a.sdt"));
    const QString pathB = dir.filePath(QStringLiteral("b.sdt"));
    QString warning;
    if (!SdtFile::write(pathA, a, &warning) || !SdtFile::write(pathB, b, &warning)) {
        state.SkipWithError("the files could not be written");
        return;
    }
    ScriptedPrompt prompt;
    qsizetype rows = 0;
    for (auto _ : state) {
        const auto outcome =
            SetupComparison::Run(SetupComparison::FileSide(pathA, shared.ProgramVersionTag, prompt),
                                 SetupComparison::FileSide(pathB, shared.ProgramVersionTag, prompt),
                                 DataTransfer::AllGroups);
        if (!outcome.comparison) {
            state.SkipWithError("a file could not be read");
            return;
        }
        const auto& [names, diff] = *outcome.comparison;
        const QByteArray csv = SetupCompare::Csv(diff, names[0], names[1]);
        benchmark::DoNotOptimize(csv.data());
        rows = diff.size();
    }
    state.counters["differences"] = double(rows);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::RegisterBenchmark("Compare/board/19200", compareAgainstBoard)
        ->Iterations(5)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Compare/two_full_files", compareTwoFiles)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
