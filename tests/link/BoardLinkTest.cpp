// The link core by itself: against telvane-boardsim through a pseudo-terminal
// (typed results, what its observers are told, one core per thread), and
// against the in-process board on a virtual clock where a silence must cost
// no wall time (the policy it is given).
#include "BoardLink.h"
#include "BoardProcess.h"
#include "BoardSimulator.h"
#include "Clock.h"
#include "LinkFixture.h"
#include "QtSerialPort.h"
#include "SimSerialPort.h"
#include "TrafficText.h"

#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

struct Recorder final : ExchangeObserver {
    std::vector<Exchange> seen;
    void exchanged(const Exchange& exchange) override { seen.push_back(exchange); }
    QStringList meaningsFrom(size_t first) const {
        QStringList meanings;
        for (size_t i = first; i < seen.size(); ++i)
            meanings.append(TrafficText::meaning(seen[i]));
        return meanings;
    }
    int count(TrafficText::Mark mark) const {
        return int(std::count_if(seen.begin(), seen.end(), [mark](const Exchange& e) {
            return TrafficText::mark(e) == mark;
        }));
    }
};

ParsedAddress at(const char* text) {
    return *Address::parse(QString::fromLatin1(text));
}

PortSettings on(const QString& device) {
    PortSettings settings;
    settings.device = device;
    return settings;
}

TEST(BoardLink, ReadsAndWritesThroughAPseudoTerminalAndTellsItsObserversWhatEachByteMeant) {
    EnsureCoreApplication();
    BoardProcess board;
    ASSERT_TRUE(board.started());
    SteadyClock clock;
    QtSerialPort port;
    BoardLink link(clock);
    Recorder recorder;
    link.addObserver(recorder);
    ASSERT_TRUE(link.open(port, on(board.pty())));
    ASSERT_TRUE(link.write(at("W1020"), 300));

    const size_t beforeRead = recorder.seen.size();
    const auto value = link.read(at("W1020"));
    ASSERT_TRUE(value);
    EXPECT_EQ(value.value(), 300);
    const QStringList read = recorder.meaningsFrom(beforeRead);
    const auto mode = read.indexOf(QStringLiteral("read mode"));
    ASSERT_GE(mode, 1);
    EXPECT_EQ(read.mid(mode + 1),
              (QStringList{"W1020 high address", "W1020 low address, data", "W1020+1 high address",
                           "W1020+1 low address, data", "= W1020 300"}));

    // A value the register cannot hold is refused before a byte goes.
    const size_t beforeRefusal = recorder.seen.size();
    const auto refused = link.write(at("B37"), 256);
    ASSERT_TRUE(refused.failedWith(LinkFailure::Kind::Refused));
    EXPECT_EQ(refused.failure().reason, "Entry out of Range (0-255).");
    EXPECT_EQ(recorder.seen.size(), beforeRefusal);

    link.close();
    EXPECT_EQ(recorder.meaningsFrom(recorder.seen.size() - 1),
              QStringList{"attention (going offline)"});
    EXPECT_EQ(recorder.count(TrafficText::Mark::Plain), int(recorder.seen.size()));
}

class SilentBoard : public ::testing::Test {
protected:
    void SetUp() override {
        link.setPolicy({[this](BoardLink::Silence silence, const QString&) {
                            asked.append(silence);
                            return answer;
                        },
                        nullptr});
        link.addObserver(recorder);
        ASSERT_TRUE(link.open(port, {}));
        board.faults().silentFromByte = board.bytesReceived();
    }

    BoardSimulator board;
    VirtualClock clock;
    SimSerialPort port{board, clock};
    BoardLink link{clock};
    Recorder recorder;
    QList<BoardLink::Silence> asked;
    BoardLink::Answer answer = BoardLink::Answer::Cancel;
};

TEST_F(SilentBoard, AfterTwoResendsTheLinkAsksItsPolicyAndACancelFailsWithNoAnswer) {
    const qint64 start = clock.nowMs();
    const auto value = link.read(at("W1020"));
    EXPECT_TRUE(value.failedWith(LinkFailure::Kind::NoAnswer));
    EXPECT_EQ(asked, QList<BoardLink::Silence>{BoardLink::Silence::Byte});
    // 1 + 2 + 2 seconds, and the wire time of the three bytes sent.
    EXPECT_EQ((clock.nowMs() - start) / 100, (1000 + 2000 + 2000) / 100);
    EXPECT_EQ(recorder.count(TrafficText::Mark::TimeOut), 3);
    EXPECT_EQ(recorder.count(TrafficText::Mark::Resend), 2);

    // A failed link sends nothing until the failure is cleared.
    const qint64 received = board.bytesReceived();
    EXPECT_TRUE(link.failed());
    EXPECT_FALSE(link.read(at("W1020")));
    EXPECT_EQ(board.bytesReceived(), received);
}

TEST_F(SilentBoard, APolicyThatRetriesByItselfGetsTheValueOnceTheBoardAnswersAgain) {
    board.faults().silentForUs = 6'000'000; // longer than the three time-outs
    board.memory().setByte(1020, 44);
    answer = BoardLink::Answer::Retry;
    const auto value = link.read(at("B1020"));
    ASSERT_TRUE(value);
    EXPECT_EQ(value.value(), 44);
    // The handshake ran past its own time meanwhile: asked about too, and retried.
    EXPECT_EQ(asked,
              (QList<BoardLink::Silence>{BoardLink::Silence::Byte, BoardLink::Silence::Mode}));
    EXPECT_FALSE(link.failed());
    // The answer to a resent attention byte only set the link in step again.
    EXPECT_EQ(recorder.count(TrafficText::Mark::WrongEcho), 1);
}

TEST(BoardLink, EightLinksOnEightThreadsEachReadWhatTheyWroteToTheirOwnBoard) {
    EnsureCoreApplication();
    constexpr int Boards = 8;
    std::vector<std::unique_ptr<BoardProcess>> boards;
    for (int i = 0; i < Boards; ++i) {
        boards.push_back(std::make_unique<BoardProcess>());
        ASSERT_TRUE(boards.back()->started());
    }
    std::atomic<int> failures{0};
    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < Boards; ++i) {
        const QString pty = boards[size_t(i)]->pty();
        threads.emplace_back(QThread::create([i, pty, &failures] {
            // Everything the link stands on belongs to its thread.
            SteadyClock clock;
            QtSerialPort port;
            BoardLink link(clock);
            if (!link.open(port, on(pty))) {
                ++failures;
                return;
            }
            for (int n = 0; n < 40; ++n) {
                const qint64 value = 1000 * i + n;
                if (!link.write(at("W1020"), quint64(value)) ||
                    link.read(at("W1020")).valueOr(-1) != value)
                    ++failures;
            }
            link.close();
        }));
        threads.back()->start();
    }
    for (auto& thread : threads)
        EXPECT_TRUE(thread->wait(60000));
    EXPECT_EQ(failures.load(), 0);
}

} // namespace
