// Decoding of the alarm registers and the alarm text.
#include "AlarmTables.h"
#include "SharedState.h"

#include <gtest/gtest.h>
#include <map>

namespace {

const QString Block = "***** SYSTEM ALARM *****\r\n";

class Alarms : public ::testing::Test {
protected:
    Alarms() { InitAlarmTables(state); }

    // Station words as the board would answer them; counts the reads.
    StationReader reader() {
        return [this](const QString& address) -> std::optional<qint32> {
            reads.append(address);
            const auto it = words.find(address);
            return it == words.end() ? std::optional<qint32>(0) : it->second;
        };
    }
    void decode(int phase, qint32 value) { DecodeAlarmRegister(alarms, phase, value, reader()); }
    QString text() const { return BuildAlarmText(alarms, state); }

    SharedState state;
    AlarmState alarms;
    std::map<QString, std::optional<qint32>> words;
    QStringList reads;
};

TEST_F(Alarms, TablesHoldThePollAddressesAndMessages) {
    EXPECT_EQ(state.AlarmPollAddress[0], "F858");
    EXPECT_EQ(state.AlarmPollAddress[1], "B110.6");
    EXPECT_EQ(state.AlarmPollAddress[2], "W32");
    EXPECT_EQ(state.AlarmPollAddress[3], "W38");
    EXPECT_EQ(state.AlarmPollAddress[4], "B37");
    EXPECT_TRUE(state.AlarmPollAddress[5].isEmpty());
    EXPECT_EQ(state.AlarmMessage[0], " Brake Response Too Long - Service Brake ");
    EXPECT_EQ(state.AlarmMessage[9], " Turn Coil Stock Override Switch to Off ");
}

TEST_F(Alarms, OneDieJamAtStationThree) {
    words["W104"] = 4;
    decode(2, 4);
    EXPECT_EQ(text(), Block + " Die Jam (No Cup Drop) Station: 3\r\n\r\n");
    EXPECT_EQ(reads, QStringList{"W104"});
}

TEST_F(Alarms, DieAndCupJamWithAnEmptyCupJamWordKeepTheEarlierStation) {
    words["W104"] = 4;
    words["W106"] = 0;
    decode(2, 12);
    EXPECT_TRUE(alarms.AlarmActive[1]);
    EXPECT_TRUE(alarms.AlarmActive[2]);
    EXPECT_EQ(text(), Block + " Die Jam (No Cup Drop) Station: 3\r\n\r\n" + Block +
                          " Cup Jam Station: 0\r\n\r\n");
    words["W106"] = 0x0100; // station 9 found once ...
    decode(2, 8);
    EXPECT_EQ(alarms.CupJamStation, 9);
    words["W106"] = 0; // ... stays when the word is empty
    decode(2, 8);
    EXPECT_EQ(alarms.CupJamStation, 9);
    // The lowest set bit names the station; bits above 15 are not stations.
    words["W104"] = 0x30000 | 0x0C00;
    decode(2, 4);
    EXPECT_EQ(alarms.DieJamStation, 11);
}

TEST_F(Alarms, AFailedStationReadKeepsTheStation) {
    words["W104"] = 2;
    decode(2, 4);
    EXPECT_EQ(alarms.DieJamStation, 2);
    words["W104"] = std::nullopt;
    decode(2, 4);
    EXPECT_EQ(alarms.DieJamStation, 2);
}

TEST_F(Alarms, EachRegisterBitSetsItsFlag) {
    decode(0, 1);
    EXPECT_TRUE(alarms.AlarmActive[0]);
    decode(0, 2); // only the value 1 means "too long"
    EXPECT_FALSE(alarms.AlarmActive[0]);
    decode(2, 16 | 256);
    EXPECT_TRUE(alarms.AlarmActive[3]);
    EXPECT_TRUE(alarms.AlarmActive[4]);
    EXPECT_FALSE(alarms.AlarmActive[1]);
    EXPECT_TRUE(reads.isEmpty()); // no jam, no station read
    decode(3, 1 | 2 | 256);
    EXPECT_TRUE(alarms.AlarmActive[5]);
    EXPECT_TRUE(alarms.AlarmActive[6]);
    EXPECT_TRUE(alarms.AlarmActive[9]);
    decode(4, 4 | 8);
    EXPECT_TRUE(alarms.AlarmActive[7]);
    EXPECT_TRUE(alarms.AlarmActive[8]);
    decode(3, 0);
    EXPECT_FALSE(alarms.AlarmActive[5]);
    EXPECT_TRUE(alarms.AlarmActive[7]); // other registers' flags keep their value
}

TEST_F(Alarms, AllTenInIndexOrder) {
    words["W104"] = 1;
    words["W106"] = 0x8000;
    decode(0, 1);
    decode(2, 4 | 8 | 16 | 256);
    decode(3, 1 | 2 | 256);
    decode(4, 4 | 8);
    QString expected;
    for (int i = 0; i < 10; ++i) {
        QString m = state.AlarmMessage[size_t(i)];
        if (i == 1)
            m += "1";
        if (i == 2)
            m += "16";
        expected += Block + m + "\r\n\r\n";
    }
    EXPECT_EQ(text(), expected);
    // The coil stock message (read in phase 3) comes after the resolver fault (phase 4).
    EXPECT_GT(text().indexOf("Coil Stock"), text().indexOf("Resolver Fault"));
}

TEST_F(Alarms, AllClearBitClearsFlagsOneToNineOnceAndKeepsTheBrakeAlarm) {
    decode(0, 1);
    decode(2, 16);
    decode(1, 0); // faults pending: latch
    EXPECT_TRUE(alarms.AlarmLatch);
    alarms.PollPhase = 1;
    decode(1, 1);
    EXPECT_EQ(alarms.PollPhase, 4); // the next tick reads phase 0
    EXPECT_FALSE(alarms.AlarmLatch);
    EXPECT_FALSE(alarms.AlarmActive[3]);
    EXPECT_TRUE(alarms.AlarmActive[0]);
    decode(2, 16); // raised again, then all-clear reads 1 again without a latch:
    decode(1, 1);
    EXPECT_TRUE(alarms.AlarmActive[3]); // nothing is cleared
    EXPECT_TRUE(text().startsWith(Block + state.AlarmMessage[0]));
}

TEST_F(Alarms, NoFlagNoText) {
    EXPECT_FALSE(alarms.anyActive());
    EXPECT_EQ(text(), "");
}

} // namespace
