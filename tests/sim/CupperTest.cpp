// The machine behind the registers: its cycle, its counts, its alarms.
#include "BoardSimulator.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 Second = 1'000'000;

class CupperTest : public ::testing::Test {
protected:
    CupperTest() { board.advanceTo(0); }
    void at(double seconds) { board.advanceTo(qint64(seconds * Second)); }
    int word(int address) { return board.memory().word(address); }

    BoardSimulator board;
    Cupper& cupper = board.cupper();
};

TEST_F(CupperTest, StandsInchesRunsAndBrakesInItsCycle) {
    at(2);
    EXPECT_EQ(word(182), 0);
    const int standing = word(180);
    at(3);
    EXPECT_EQ(word(180), standing); // a machine at rest keeps its position
    at(6);
    EXPECT_EQ(word(182), 12); // inching: slow enough to watch the position
    const int inching = word(180);
    at(6.5);
    EXPECT_EQ(word(180), (inching + 36) % 360);
    at(30);
    EXPECT_EQ(word(182), 180);
    at(53);
    EXPECT_EQ(word(182), 90);
    at(56);
    EXPECT_EQ(word(182), 0);
}

TEST_F(CupperTest, EachStopMeasuresItsBrakeResponse) {
    board.memory().setWord(1040, 0);
    board.memory().setWord(1042, 0);
    at(12); // stopped from inching speed
    EXPECT_GE(word(1040), 8);
    EXPECT_LE(word(1040), 14);
    EXPECT_EQ(word(1042), 0);
    at(55); // stopped from full speed
    EXPECT_GE(word(1042), 22);
    EXPECT_LE(word(1042), 31);
}

TEST_F(CupperTest, StartsWithNoAlarmAndTheAllClearBitSet) {
    EXPECT_TRUE(board.memory().bit(110, 6));
    for (int a = 0; a < Cupper::AlarmCount; ++a)
        EXPECT_FALSE(cupper.alarmActive(a)) << a;
    EXPECT_EQ(word(32) & 0x11C, 0);
}

TEST_F(CupperTest, EachAlarmSetsItsBitAndClearsTheAllClearBit) {
    struct Where {
        int alarm;
        int address;
        int mask;
    };
    const Where table[] = {{1, 32, 4}, {2, 32, 8}, {3, 32, 16}, {4, 32, 256}, {5, 38, 1},
                           {6, 38, 2}, {7, 37, 4}, {8, 37, 8},  {9, 38, 256}};
    for (const Where& w : table) {
        cupper.raiseAlarm(w.alarm, 3);
        const int value = w.address == 37 ? board.memory().byte(37) : word(w.address);
        EXPECT_EQ(value & w.mask, w.mask) << w.alarm;
        EXPECT_FALSE(board.memory().bit(110, 6)) << w.alarm;
        cupper.resetAlarms();
        EXPECT_TRUE(board.memory().bit(110, 6));
        EXPECT_EQ(word(32) & 0x11C, 0);
        EXPECT_EQ(word(38) & 0x103, 0);
        EXPECT_EQ(board.memory().byte(37) & 0x0C, 0);
    }
}

TEST_F(CupperTest, JamsNameTheirStationAndDieJamsCount) {
    const int total = word(1104);
    const int station5 = word(1108 + 2 * 4);
    cupper.raiseAlarm(Cupper::DieJam, 5);
    EXPECT_EQ(word(104), 1 << 4);
    EXPECT_EQ(word(1104), total + 1);
    EXPECT_EQ(word(1108 + 2 * 4), station5 + 1);
    cupper.raiseAlarm(Cupper::CupJam, 16);
    EXPECT_EQ(word(106), 0x8000);
}

TEST_F(CupperTest, DieJamTotalsAreTheSumsOfTheirStations) {
    auto agree = [this](int total, int stations) {
        int sum = 0;
        for (int station = 0; station < 16; ++station)
            sum += word(stations + 2 * station);
        EXPECT_EQ(word(total), sum) << total;
    };
    agree(1104, 1108);
    agree(1204, 1208);
    cupper.raiseAlarm(Cupper::DieJam, 9);
    board.memory().setFlag(32, true); // the shift ends
    at(0.1);
    agree(1204, 1208);
    EXPECT_GT(word(1204), 0);
}

TEST_F(CupperTest, BrakeResponseAlarmIsFlag858AndLeavesTheAllClearBit) {
    cupper.raiseAlarm(Cupper::BrakeResponseTooLong);
    EXPECT_TRUE(board.memory().flag(858));
    EXPECT_TRUE(board.memory().bit(110, 6));
    EXPECT_GT(word(1042), word(1024));
}

TEST_F(CupperTest, AnAlarmStopsTheMachineUntilF15ResetsIt) {
    at(30);
    ASSERT_EQ(word(182), 180);
    cupper.raiseAlarm(Cupper::ScrapJam);
    at(32);
    EXPECT_EQ(word(182), 0);
    at(50);
    EXPECT_EQ(word(182), 0);
    board.memory().setFlag(15, true); // what "Alarm Reset" writes
    at(50.1);
    EXPECT_FALSE(board.memory().flag(15));
    EXPECT_FALSE(cupper.alarmActive(Cupper::ScrapJam));
    EXPECT_TRUE(board.memory().bit(110, 6));
    at(56); // the cycle starts again: stands, then inches
    EXPECT_EQ(word(182), 12);
}

TEST_F(CupperTest, AlarmScenarioRaisesTheNextAlarmInTurn) {
    cupper.setAlarmEvery(10);
    at(9);
    EXPECT_FALSE(cupper.alarmActive(0));
    at(11);
    EXPECT_TRUE(cupper.alarmActive(0));
    at(40); // one at a time while one is pending
    EXPECT_FALSE(cupper.alarmActive(1));
    cupper.resetAlarms();
    at(51);
    EXPECT_TRUE(cupper.alarmActive(1));
    EXPECT_EQ(word(104), 1 << 1); // station 2
}

TEST_F(CupperTest, StrokesFollowAHostThatResetsTheCount) {
    at(20);
    board.memory().setDword(1100, 0); // a new shift
    at(40);
    EXPECT_NEAR(double(board.memory().dword(1100)), 60.0, 1.0);
}

} // namespace

// The PLS says the machine stands exactly when it does: its speed reads 0
// and the resolver does not move, through braking to rest as well.
TEST_F(CupperTest, ThePlsReadsZeroRpmExactlyWhileTheMachineStands) {
    PlsBoard& pls = board.pls();
    int standingSteps = 0;
    int runningSteps = 0;
    for (int ms = 0; ms < 60'000; ms += 10) {
        at(ms / 1000.0);
        const int rpm = pls.rpm();
        const int position = pls.position();
        const double angle = cupper.angle();
        EXPECT_EQ(rpm, word(182)) << ms;
        at((ms + 10) / 1000.0);
        if (rpm == 0 && pls.rpm() == 0) {
            ++standingSteps;
            EXPECT_EQ(pls.position(), position) << ms;
            EXPECT_EQ(cupper.angle(), angle) << ms;
        } else {
            ++runningSteps;
        }
    }
    // Stands 4 + 2 + 6 s of the minute, near enough (braking ends in between).
    EXPECT_NEAR(standingSteps, 1200, 30);
    EXPECT_GT(runningSteps, 4500);
}
