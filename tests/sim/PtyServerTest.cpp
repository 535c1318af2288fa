// The served board's timing as a host on the pseudo-terminal sees it: the
// throttle and the adapter latency only ever make answers later, so these
// lower bounds hold however loaded the machine is.
#include "BoardProcess.h"
#include "ServedBoard.h"

#include <QProcess>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

qint64 nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// A plain host on the pseudo-terminal: one byte out, one byte back.
class RawHost {
public:
    explicit RawHost(const QString& path, speed_t speed = 0) {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        termios t{};
        if (m_fd >= 0 && tcgetattr(m_fd, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(m_fd, TCSANOW, &t);
        }
        if (speed)
            setSpeed(speed);
    }
    void setSpeed(speed_t speed) {
        termios t{};
        if (tcgetattr(m_fd, &t) == 0) {
            cfsetispeed(&t, speed);
            cfsetospeed(&t, speed);
            tcsetattr(m_fd, TCSANOW, &t);
        }
    }
    ~RawHost() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    // The reply, or -1 when none came within the time.
    int exchange(quint8 byte, int timeoutMs = 2000) {
        if (::write(m_fd, &byte, 1) != 1)
            return -1;
        pollfd p{m_fd, POLLIN, 0};
        quint8 reply = 0;
        if (::poll(&p, 1, timeoutMs) != 1 || ::read(m_fd, &reply, 1) != 1)
            return -1;
        return reply;
    }

private:
    int m_fd = -1;
};

constexpr quint8 Attention = 255;
constexpr int AttentionAnswer = 85;

qint64 byteNs(int baud) {
    return 10LL * 1'000'000'000 / baud;
}

} // namespace

TEST(PtyServerTest, ThrottledAnswerNeverComesBeforeTwoByteTimes) {
    for (const int baud : {19200, 9600}) {
        ServedBoard served(baud);
        ASSERT_TRUE(served.opened());
        RawHost host(served.pty());
        ASSERT_TRUE(host.isOpen());
        const qint64 start = nowNs();
        for (int i = 0; i < 20; ++i) {
            const qint64 sent = nowNs();
            ASSERT_EQ(host.exchange(Attention), AttentionAnswer) << baud << " exchange " << i;
            EXPECT_GE(nowNs() - sent, 2 * byteNs(baud)) << baud << " exchange " << i;
        }
        EXPECT_GE(nowNs() - start, 20 * 2 * byteNs(baud)) << baud;
    }
}

TEST(PtyServerTest, AdapterLatencyReleasesEachAnswerOnItsOwnTick) {
    constexpr int latencyMs = 4;
    ServedBoard served(19200, latencyMs);
    ASSERT_TRUE(served.opened());
    RawHost host(served.pty());
    ASSERT_TRUE(host.isOpen());
    constexpr int exchanges = 6;
    const qint64 start = nowNs();
    for (int i = 0; i < exchanges; ++i) {
        const qint64 sent = nowNs();
        ASSERT_EQ(host.exchange(Attention), AttentionAnswer) << "exchange " << i;
        EXPECT_GE(nowNs() - sent, 2 * byteNs(19200)) << "exchange " << i;
    }
    // Every byte is sent after the tick that released the previous answer, so
    // its own answer waits for a later tick: six answers span five periods at
    // least, where the wire alone would take about 6 ms in all.
    EXPECT_GE(nowNs() - start, (exchanges - 1) * latencyMs * 1'000'000LL);
}

TEST(PtyServerTest, BoardsimTakesAdapterLatencyInTheAdaptersRange) {
    for (const char* wrong : {"0", "256", "16ms", ""}) {
        QProcess boardsim;
        boardsim.start(BuildProgram(QStringLiteral("telvane-boardsim")),
                       {QStringLiteral("--latency-ms"), QString::fromLatin1(wrong)});
        ASSERT_TRUE(boardsim.waitForFinished(10000)) << wrong;
        EXPECT_EQ(boardsim.exitCode(), 2) << wrong;
        EXPECT_EQ(boardsim.readAllStandardError(), "telvane-boardsim: --latency-ms takes 1..255\n")
            << wrong;
    }
    // Taken: the board serves, behind the adapter's timer.
    BoardProcess board({QStringLiteral("--baud"), QStringLiteral("19200"),
                        QStringLiteral("--latency-ms"), QStringLiteral("16")});
    ASSERT_TRUE(board.started());
    RawHost host(board.pty(), B19200);
    ASSERT_TRUE(host.isOpen());
    const qint64 start = nowNs();
    EXPECT_EQ(host.exchange(Attention), AttentionAnswer);
    EXPECT_EQ(host.exchange(Attention), AttentionAnswer);
    EXPECT_GE(nowNs() - start, 16'000'000LL);
}

TEST(PtyServerTest, BoardsimAnswersOnlyAHostAtItsSpeed) {
    BoardProcess board({QStringLiteral("--baud"), QStringLiteral("9600")});
    ASSERT_TRUE(board.started());
    RawHost host(board.pty(), B19200);
    ASSERT_TRUE(host.isOpen());
    EXPECT_EQ(host.exchange(Attention, 300), -1);
    host.setSpeed(B9600);
    EXPECT_EQ(host.exchange(Attention), AttentionAnswer);
}
