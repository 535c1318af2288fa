#include "LinkFixture.h"

#include "LongWait.h"

namespace {

// Writes down each call of the link, with the virtual time it came at.
class RecordingWait final : public LongWait {
public:
    RecordingWait(RSComm& link, const VirtualClock& clock) : m_link(link), m_clock(clock) {}

    void started(const QString& device) override {
        log.append(QStringLiteral("started ") + device);
        startedAt.append(m_clock.nowMs());
    }
    void slice() override {
        if (log.isEmpty() || log.last() != QLatin1String("slice"))
            log.append(QStringLiteral("slice"));
        sliceAt.append(m_clock.nowMs());
        busyInEverySlice = busyInEverySlice && m_link.Busy();
    }
    void ended() override { log.append(QStringLiteral("ended")); }

    QStringList log; // repeated slices count once
    QList<qint64> startedAt;
    QList<qint64> sliceAt;
    bool busyInEverySlice = true;

private:
    RSComm& m_link;
    const VirtualClock& m_clock;
};

class LongWaits : public LinkFixture {
protected:
    void SetUp() override {
        link.setLongWait(&wait);
        goOnline();
        prompt.onShown = [this](const ScriptedPrompt::Shown&) {
            wait.log.append(QStringLiteral("asked"));
        };
    }
    RecordingWait wait{link, clock};
};

TEST_F(LongWaits, QuickRepliesNeverReachTheProgram) {
    board.memory().setWord(1020, 77);
    EXPECT_EQ(link.RSRead("W1020"), "77");
    link.RSWrite("W1022", "5");
    EXPECT_NE(link.PLSPos(), "-9999");
    link.CloseRSComm();
    EXPECT_TRUE(wait.log.isEmpty());
    EXPECT_FALSE(link.CommError());
}

TEST_F(LongWaits, SilentBoardKeepsTimeOutsAndGivesTurnsUntilTheQuestion) {
    board.faults().silentFromByte = board.bytesReceived();
    const qint64 start = clock.nowMs();
    qint64 askedAt = 0;
    prompt.onShown = [&](const ScriptedPrompt::Shown&) {
        askedAt = clock.nowMs();
        wait.log.append(QStringLiteral("asked"));
    };
    EXPECT_EQ(link.RSRead("W1020"), "0");

    // The same bytes and time-outs as without turns: 1 + 2 + 2 seconds.
    EXPECT_EQ(takeTrace(), "hFF hFF hFF");
    EXPECT_NEAR(double(askedAt - start), 5000.0, 10.0);
    EXPECT_EQ(wait.log, (QStringList{"started SIM1", "slice", "ended", "asked"}));
    // Long from 100 ms after the byte went, then a turn at least every 50 ms.
    ASSERT_EQ(wait.startedAt.size(), 1);
    EXPECT_NEAR(double(wait.startedAt[0] - start), double(RSComm::LongWaitMs), 2.0);
    ASSERT_GE(wait.sliceAt.size(), 90);
    for (int i = 1; i < wait.sliceAt.size(); ++i)
        EXPECT_LE(wait.sliceAt[i] - wait.sliceAt[i - 1], RSComm::LongWaitSliceMs + 2) << i;
    EXPECT_TRUE(wait.busyInEverySlice);
    EXPECT_TRUE(link.CommError());
}

TEST_F(LongWaits, RetryStartsANewWaitThatTurnsLongAgain) {
    board.faults().silentFromByte = board.bytesReceived();
    prompt.queue(Prompt::Answer::Retry);
    link.RSRead("W1020");
    EXPECT_EQ(takeTrace(), "hFF hFF hFF hFF hFF");
    EXPECT_EQ(wait.log, (QStringList{"started SIM1", "slice", "ended", "asked", "started SIM1",
                                     "slice", "ended", "asked"}));
}

TEST_F(LongWaits, LateReplyEndsTheWaitWithoutAQuestion) {
    link.RSRead("B0"); // read mode
    board.memory().setWord(1020, 180);
    board.faults().dropAnswerAt = board.bytesReceived() + 1;
    EXPECT_EQ(link.RSRead("W1020"), "180");
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(wait.log, (QStringList{"started SIM1", "slice", "ended"}));
}

TEST_F(LongWaits, WithoutAHookTheLinkJustWaits) {
    link.setLongWait(nullptr);
    board.faults().silentFromByte = board.bytesReceived();
    const qint64 start = clock.nowMs();
    link.RSRead("W1020");
    EXPECT_GE(clock.nowMs() - start, 5000);
    EXPECT_EQ(wait.log, QStringList{"asked"});
}

TEST_F(LongWaits, DeviceIsThePortTheLinkOpened) {
    link.CloseRSComm();
    QFile cfg(programFolder() + "/Support/RSPort.cfg");
    ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
    cfg.write("1,9600,/dev/ttyUSB0\r\n");
    cfg.close();
    board.faults().silentFromByte = board.bytesReceived();
    link.OpenRSComm(port);
    EXPECT_EQ(wait.log.value(0), "started /dev/ttyUSB0");
    EXPECT_FALSE(link.OnlineMode());
}

} // namespace
