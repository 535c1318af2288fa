// A 24 KiB program download through the link (QSerialPort) over a
// pseudo-terminal against telvane-boardsim throttled to 19200 baud.
//
// In the same run and against the same board, a minimal host (plain POSIX
// I/O, see MinimalHost.h) does the same preparation and streams the same
// records, each in one write, reading the sum. The two take turns, the link's
// port closed during the minimal host's, so that both see the same load.
//
// Only the records are timed: the preparation and the board's settling time
// are fixed waits of the board, the same for any host. Counters:
// records_per_s and minimal_records_per_s; vs_minimal, the link's rate as a
// share of the minimal host's; wire_share and minimal_wire_share, the share of
// the wire limit (19 bytes out and the sum back per 16-byte record, 10 bits a
// byte); download_s, the link's whole download from the first ident read to
// the ident written.
#include "BoardProcess.h"
#include "Clock.h"
#include "MinimalHost.h"
#include "PortSettingsFile.h"
#include "ProgramTransfer.h"
#include "QtSerialPort.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"
#include "Stopwatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <optional>
#include <thread>
#include <vector>

namespace {

constexpr int WireBaud = 19200;
constexpr int ProgramBytes = 24 * 1024;
constexpr int RecordData = 16;
constexpr int Records = ProgramBytes / RecordData;
constexpr int FirstAddress = 0x2000;
constexpr double WireSecondsPerRecord = (3 + RecordData + 1) * 10.0 / WireBaud;

// The bytes a record is streamed as: count, address high and low, data.
std::vector<std::uint8_t> recordBytes(int index) {
    const int address = FirstAddress + index * RecordData;
    std::vector<std::uint8_t> bytes = {RecordData, std::uint8_t(address >> 8),
                                       std::uint8_t(address & 0xFF)};
    for (int i = 0; i < RecordData; ++i)
        bytes.push_back(std::uint8_t((address + i) * 7 + index));
    return bytes;
}

QByteArray hexFile() {
    QByteArray text;
    for (int r = 0; r < Records; ++r) {
        const auto bytes = recordBytes(r);
        // Intel HEX: count, address, type 00, data, then the two's complement sum.
        std::vector<std::uint8_t> line = {bytes[0], bytes[1], bytes[2], 0};
        line.insert(line.end(), bytes.begin() + 3, bytes.end());
        int sum = 0;
        for (const auto b : line)
            sum += b;
        line.push_back(std::uint8_t(-sum & 0xFF));
        text += ':' +
                QByteArray(reinterpret_cast<const char*>(line.data()), qsizetype(line.size()))
                    .toHex()
                    .toUpper() +
                "\r\n";
    }
    return text + ":00000001FF\r\n";
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

struct Measured {
    int records = 0;
    double wallSeconds = 0;
    double perSecond() const { return wallSeconds > 0 ? records / wallSeconds : 0; }
    Measured& operator+=(const Measured& other) {
        records += other.records;
        wallSeconds += other.wallSeconds;
        return *this;
    }
};

// The minimal host's download: arm, clear the fault code, the board's wait,
// program load mode, every record with its sum, out of program load mode.
std::optional<Measured> minimalDownload(const QString& pty) {
    MinimalHost host;
    const std::uint8_t arm = 86;
    const std::uint8_t zero = 0;
    if (!host.open(pty.toStdString(), WireBaud) || !host.enterMode(MinimalHost::WriteMode) ||
        !host.writeBytes(8181, 1, &arm) || !host.writeBytes(8176, 1, &zero))
        return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (host.sendAndRead(MinimalHost::Attention) == MinimalHost::NoReply || !host.enterMode(3))
        return std::nullopt;
    const Stopwatch watch;
    for (int r = 0; r < Records; ++r) {
        const auto bytes = recordBytes(r);
        int sum = 0;
        for (const auto b : bytes)
            sum += b;
        if (host.streamAndRead(bytes.data(), int(bytes.size())) != (sum & 0xFF))
            return std::nullopt;
    }
    const Measured measured{Records, watch.wallSeconds()};
    if (host.sendAndRead(MinimalHost::Attention) != MinimalHost::AttentionAnswer)
        return std::nullopt;
    return measured;
}

void programDownload(benchmark::State& state) {
    BoardProcess board({QStringLiteral("--baud"), QString::number(WireBaud)});
    if (!board.started()) {
        state.SkipWithError("telvane-boardsim did not start");
        return;
    }
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("proj"));
    QDir().mkpath(folder);
    if (!writeFile(folder + "/CUP.kvl", "DPROJECT\r\n") ||
        !writeFile(folder + "/CUP.rev", "ABC3:03\r\n") ||
        !writeFile(folder + "/CUP.hex", hexFile())) {
        state.SkipWithError("could not write the project");
        return;
    }
    PortSettingsFile::write(home.filePath(QStringLiteral("Support/RSPort.cfg")),
                            {1, QStringLiteral("19200"), board.pty()});
    ScriptedPrompt prompt;
    SteadyClock clock;
    RSComm link(prompt, clock, home.path());
    QtSerialPort port;

    Measured minimal;
    Measured linked;
    double downloadSeconds = 0;
    bool failed = false;
    auto minimalTurn = [&] {
        if (const auto m = minimalDownload(board.pty()))
            minimal += *m;
        else
            failed = true;
    };
    auto linkTurn = [&] {
        link.OpenRSComm(port);
        link.RSRead(QStringLiteral("W1020"));
        link.setDownloadFile(folder + "/CUP.kvl");
        if (!link.OnlineMode() || !link.ValidProgram()) {
            failed = true;
            link.CloseRSComm();
            return;
        }
        prompt.queue(Prompt::Answer::Yes);
        const Stopwatch whole;
        ProgramTransfer job(link, ProgramTransfer::Direction::Download);
        while (job.RecordCount() == 0 && job.Step()) {
        }
        job.Step(); // the preparation
        const Stopwatch records;
        while (job.RecordsDone() < job.RecordCount() && job.Step()) {
        }
        linked += Measured{job.RecordsDone(), records.wallSeconds()};
        while (job.Step()) {
        }
        downloadSeconds += whole.wallSeconds();
        failed = failed || !job.Complete() || job.RecordsDone() != Records;
        link.CloseRSComm();
    };

    for (auto _ : state) {
        minimalTurn();
        linkTurn();
        minimalTurn();
        linkTurn();
    }
    if (failed) {
        state.SkipWithError("a download failed");
        return;
    }
    state.counters["records_per_s"] = linked.perSecond();
    state.counters["minimal_records_per_s"] = minimal.perSecond();
    state.counters["vs_minimal"] = linked.perSecond() / minimal.perSecond();
    state.counters["wire_share"] = linked.perSecond() * WireSecondsPerRecord;
    state.counters["minimal_wire_share"] = minimal.perSecond() * WireSecondsPerRecord;
    state.counters["download_s"] = downloadSeconds / 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // One run: the minimal host and the link take turns, twice each, about
    // 16 s of records a turn at the wire's pace.
    benchmark::RegisterBenchmark("ProgramDownload/24KiB/19200", programDownload)
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kSecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
