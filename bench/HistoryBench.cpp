// The set-up history in a real SQLite file in a temporary folder: taking a
// snapshot (in a program that keeps the file open, and in a command line
// that opens it for one snapshot), listing 10,000 snapshots of 50 presses,
// and what a snapshot costs on disk.
#include "HistoryKeeper.h"
#include "SdtFormat.h"
#include "SetupHistory.h"
#include "SharedState.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

SetupRecord boardRecord(int n) {
    SharedState state;
    InitRegisterMap(state);
    SetupRecord record = state.DefaultData;
    for (int i = 0; i < record.ValueTable.size(); ++i)
        record.ValueTable[i] = 1000 + n + i; // every snapshot its own values
    return record;
}

void Fail(benchmark::State& state, const HistoryError& error) {
    state.SkipWithError(error.reason.toStdString().c_str());
}

// In the window: the file open since the first snapshot.
void BM_TakeSnapshotFileOpen(benchmark::State& state) {
    QTemporaryDir folder;
    SetupHistory history(folder.filePath("history.sqlite"));
    HistoryKeeper keeper(history, [&](const HistoryError& e) { Fail(state, e); });
    const SetupRecord record = boardRecord(0);
    keeper.Take("/dev/ttyUSB0", "upload", 7, record);
    for (auto _ : state)
        benchmark::DoNotOptimize(keeper.Take("/dev/ttyUSB0", "upload", 7, record));
}
BENCHMARK(BM_TakeSnapshotFileOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

// telvane-cli upload: the file opened, checked and written for one snapshot.
void BM_TakeSnapshotCommandLine(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath("history.sqlite");
    const SetupRecord record = boardRecord(0);
    {
        SetupHistory history(path);
        HistoryKeeper(history, {}).Take("/dev/ttyUSB0", "upload", 7, record);
    }
    for (auto _ : state) {
        SetupHistory history(path);
        HistoryKeeper keeper(history, [&](const HistoryError& e) { Fail(state, e); });
        benchmark::DoNotOptimize(keeper.Take("/dev/ttyUSB0", "upload", 7, record));
    }
}
BENCHMARK(BM_TakeSnapshotCommandLine)->Unit(benchmark::kMillisecond)->UseRealTime();

// 10,000 snapshots of 50 presses, every one through Take, then the whole list
// (the History window's and telvane-cli history's read) and one press's.
void BM_List10000SnapshotsOf50Presses(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath("history.sqlite");
    constexpr int Presses = 50;
    constexpr int Snapshots = 10000;
    {
        SetupHistory filling(path);
        for (int p = 0; p < Presses; ++p)
            filling.SetPressName(QStringLiteral("/dev/press%1").arg(p),
                                 QStringLiteral("Press %1").arg(p));
        SnapshotInfo info;
        info.user = "anna";
        info.host = "laptop";
        info.action = "upload";
        info.groups = 7;
        for (int n = 0; n < Snapshots; ++n) {
            info.time = QDateTime::currentDateTime();
            info.device = QStringLiteral("/dev/press%1").arg(n % Presses);
            const auto taken = filling.Take(info, SdtFormat::encode(boardRecord(n)));
            if (const auto* e = std::get_if<HistoryError>(&taken))
                return Fail(state, *e);
        }
    }
    // The last connection gone, the write-ahead log is folded into the file.
    const double bytesPerSnapshot = double(QFileInfo(path).size()) / Snapshots;
    SetupHistory history(path);
    const bool onePress = state.range(0) == 1;
    qsizetype listed = 0;
    for (auto _ : state) {
        auto list = history.List(onePress ? QStringLiteral("Press 7") : QString());
        if (const auto* e = std::get_if<HistoryError>(&list))
            return Fail(state, *e);
        listed = std::get<QList<SnapshotInfo>>(list).size();
    }
    state.counters["snapshots_listed"] = double(listed);
    state.counters["file_bytes_per_snapshot"] = bytesPerSnapshot;
}
BENCHMARK(BM_List10000SnapshotsOf50Presses)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("one_press")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
