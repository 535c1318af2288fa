// The 500 ms alarm poll against the simulated board: which register each tick
// reads, the status texts, and what a failing link does to it.
#include "BackgroundUpdate.h"
#include "LinkFixture.h"
#include "SharedState.h"

#include <QRegularExpression>

namespace {

const QString Normal = "System Message:  All Faults Normal";
const QString Faults = "System Message:  Faults Active in PLC";

class Background : public LinkFixture {
protected:
    Background() {
        InitAlarmTables(state);
        board.cupper().hold(true);
    }
    // Byte addresses read since the last call, in order.
    QList<int> readAddresses() {
        QList<int> out;
        static const QRegularExpression record("h([0-9A-F]{2}) b\\1 h([0-9A-F]{2}) b[0-9A-F]{2}");
        auto it = record.globalMatch(takeTrace());
        while (it.hasNext()) {
            const auto m = it.next();
            out.append(m.captured(1).toInt(nullptr, 16) * 256 + m.captured(2).toInt(nullptr, 16));
        }
        return out;
    }

    SharedState state;
    BackgroundUpdate update{link, state};
};

TEST_F(Background, OfflineTicksSendNothingAndSayWhy) {
    EXPECT_EQ(update.Tick(), "System Message:  Program is Currently OFFLINE");
    EXPECT_EQ(state.SystemMessage, "Set-up Program is Currently OFFLINE");
    link.setCommError(true);
    EXPECT_EQ(update.Tick(), "System Message:  Comm Fault with K2700");
    EXPECT_EQ(takeTrace(), "");
    EXPECT_EQ(update.alarms().PollPhase, 0); // offline ticks leave the phase alone
}

TEST_F(Background, WhileAllClearOnlyPhasesZeroAndOneAreRead) {
    goOnline();
    QList<int> read;
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(update.Tick(), Normal);
        read += readAddresses();
    }
    // Phase 1 (B110.6, byte 110) first, then F858 (byte 139) and B110.6 in turn.
    EXPECT_EQ(read, (QList<int>{110, 139, 110, 139, 110, 139}));
    EXPECT_EQ(state.SystemMessage, "-- System Normal --\r\nSet-up Program is Currently ONLINE");
}

TEST_F(Background, WithAnAlarmPendingAllFiveRegistersAreReadInTurn) {
    board.cupper().raiseAlarm(Cupper::DieJam, 3);
    goOnline();
    QList<int> read;
    for (int i = 0; i < 6; ++i)
        update.Tick();
    read = readAddresses();
    // B110.6, W32 (+ station word W104), W38, B37, F858, B110.6
    EXPECT_EQ(read, (QList<int>{110, 32, 33, 104, 105, 38, 39, 37, 139, 110}));
    EXPECT_EQ(update.Tick(), Faults);
    EXPECT_EQ(state.SystemMessage,
              "***** SYSTEM ALARM *****\r\n Die Jam (No Cup Drop) Station: 3\r\n\r\n");
}

TEST_F(Background, ResetOnTheBoardClearsTheFlagsThroughTheLatch) {
    board.cupper().raiseAlarm(Cupper::BrakeResponseTooLong);
    board.cupper().raiseAlarm(Cupper::ScrapJam);
    goOnline();
    for (int i = 0; i < 5; ++i)
        update.Tick();
    EXPECT_TRUE(update.alarms().AlarmActive[0]);
    EXPECT_TRUE(update.alarms().AlarmActive[3]);
    EXPECT_TRUE(update.alarms().AlarmLatch);
    link.RSWrite("F15", "1"); // what Alarm Reset writes
    // Phase 1 reads the all-clear bit set: flags 1..9 go; the brake response
    // flag stays until F858 is read again.
    update.Tick();
    EXPECT_EQ(update.alarms().PollPhase, 4);
    EXPECT_FALSE(update.alarms().AlarmActive[3]);
    EXPECT_TRUE(update.alarms().AlarmActive[0]);
    EXPECT_EQ(update.Tick(), Normal); // phase 0: F858 now reads 0
}

TEST_F(Background, LinkFailureStopsTheTickAndLeavesTheStatus) {
    goOnline();
    update.Tick();
    board.faults().silentFromByte = board.bytesReceived();
    prompt.queue(Prompt::Answer::Retry);
    prompt.queue(Prompt::Answer::Cancel);
    EXPECT_EQ(update.Tick(), std::nullopt);
    EXPECT_TRUE(link.CommError());
    ASSERT_EQ(prompt.shown().size(), 2);
    EXPECT_EQ(describe(prompt.shown()[0]),
              "WARNING - Communication Error!|Cannot Communicate with Target Board.\r"
              "Verify RS-232 Cable is Connected Between\rCOMM Port and PROG Port.|"
              "Critical|RetryCancel");
    // Still online (only the views take the program offline): nothing more is read.
    takeTrace();
    EXPECT_EQ(update.Tick(), std::nullopt);
    EXPECT_EQ(takeTrace(), "");
}

TEST_F(Background, AGarbledReadKeepsTheAlarmFlags) {
    board.cupper().raiseAlarm(Cupper::ScrapJam);
    goOnline();
    for (int i = 0; i < 2; ++i)
        update.Tick(); // phases 1 and 2
    ASSERT_TRUE(update.alarms().AlarmActive[3]);
    for (int i = 0; i < 4; ++i)
        update.Tick(); // round to phase 1 again
    // Every address high byte of the next read is misheard: it fails without a time-out.
    board.faults().wrongEchoWhen = [](qint64, quint8 byte) { return byte == 0x00; };
    EXPECT_EQ(update.Tick(), std::nullopt);
    EXPECT_FALSE(link.CommError());
    EXPECT_TRUE(update.alarms().AlarmActive[3]);
}

TEST_F(Background, SkipsItsTurnWhileAnotherTransactionWaits) {
    goOnline();
    board.faults().silentFromByte = board.bytesReceived();
    std::optional<QString> inside = QStringLiteral("not run");
    prompt.onShown = [&](const ScriptedPrompt::Shown&) {
        if (inside == QStringLiteral("not run"))
            inside = update.Tick();
    };
    link.RSRead("W1020");
    EXPECT_EQ(inside, std::nullopt);
    EXPECT_EQ(update.alarms().PollPhase, 0);
}

} // namespace
