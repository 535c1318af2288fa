// The board's I/O words and the end of a shift, as the machine cycle moves
// them.
#include "BoardSimulator.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 Second = 1'000'000;

class IoWordsTest : public ::testing::Test {
protected:
    IoWordsTest() { board.advanceTo(0); }
    void at(double seconds) { board.advanceTo(qint64(seconds * Second)); }
    int word(int address) { return board.memory().word(address); }
    int byte(int address) { return board.memory().byte(address); }

    BoardSimulator board;
    Cupper& cupper = board.cupper();
};

TEST_F(IoWordsTest, ClutchModesAndResolverFollowTheCycle) {
    at(2); // standing
    EXPECT_EQ(byte(100) & 0x1F, 0);
    EXPECT_TRUE(byte(100) & 0x20); // immediate stop not pressed
    EXPECT_EQ(word(184), 0);       // no period at rest
    at(6);                         // inching
    EXPECT_EQ(byte(100) & 0x17, 0x13);
    EXPECT_EQ(word(184), 5000); // 12 strokes a minute
    at(30);                     // running
    EXPECT_EQ(byte(100) & 0x17, 0x07);
    EXPECT_EQ(byte(101) & 0x03, 0x03);
    EXPECT_EQ(byte(110) & 0x03, 0x03);
    EXPECT_EQ(word(184), 333);
    EXPECT_EQ(word(186), 360);
    EXPECT_EQ(word(188), 0);
    EXPECT_GT(word(162), 700);
    EXPECT_EQ(byte(166), 184); // 180 of 250 strokes a minute
    at(53);                    // braking: the clutch is out
    EXPECT_EQ(byte(100) & 0x03, 0);
    EXPECT_EQ(byte(110) & 0x03, 0);
    EXPECT_EQ(byte(166), 92); // 90 of 250
    at(58);
    EXPECT_EQ(byte(166), 77); // at rest: the idle reference, 75 of 250
}

TEST_F(IoWordsTest, CupDropsComeAtTheirAngleExceptAtAJammedStation) {
    bool dropsSeen = false;
    bool quietSeen = false;
    for (double t = 20; t < 21; t += 0.01) {
        at(t);
        dropsSeen |= word(120) == 0xFFFF;
        quietSeen |= word(120) == 0;
        EXPECT_TRUE(word(120) == 0 || word(120) == 0xFFFF) << word(120);
        const double angle = cupper.angle();
        EXPECT_EQ(word(120) != 0, angle >= 150 && angle < 230) << angle;
    }
    EXPECT_TRUE(dropsSeen);
    EXPECT_TRUE(quietSeen);
    cupper.raiseAlarm(Cupper::DieJam, 3);
    EXPECT_EQ(byte(111), 0x10 | 2); // die jam at station number 3 (bits count from 0)
}

TEST_F(IoWordsTest, AlarmsShowInTheirIoBitsAndTheAllClearBitStays) {
    cupper.raiseAlarm(Cupper::ScrapJam);
    EXPECT_TRUE(board.memory().flag(80));
    EXPECT_TRUE(byte(111) & 0x40);
    EXPECT_FALSE(board.memory().bit(110, 6));
    cupper.raiseAlarm(Cupper::CoilStockOverride);
    EXPECT_TRUE(byte(100) & 0x40);
    cupper.resetAlarms();
    at(1);
    EXPECT_FALSE(board.memory().flag(80));
    EXPECT_TRUE(board.memory().bit(110, 6));
}

TEST_F(IoWordsTest, TheEndOfShiftFlagClosesTheShiftOncePerPress) {
    cupper.raiseAlarm(Cupper::DieJam, 2);
    cupper.resetAlarms();
    at(30);
    const qint64 strokes = board.memory().dword(1100);
    const int jams = word(1104);
    const int station2 = word(1110);
    ASSERT_GT(strokes, 0);
    board.memory().setFlag(32, true);
    at(30.01);
    EXPECT_EQ(board.memory().dword(1200), strokes);
    EXPECT_EQ(word(1204), jams);
    EXPECT_EQ(word(1210), station2);
    EXPECT_LT(board.memory().dword(1100), 10); // the new shift counts from zero
    EXPECT_EQ(word(1104), 0);
    EXPECT_EQ(word(1110), 0);
    EXPECT_TRUE(byte(101) & 0x20); // the end-of-shift input follows the flag
    // Still held: nothing moves again.
    at(40);
    EXPECT_EQ(board.memory().dword(1200), strokes);
    EXPECT_GT(board.memory().dword(1100), 10);
    board.memory().setFlag(32, false);
    at(41);
    EXPECT_FALSE(byte(101) & 0x20);
    EXPECT_EQ(board.memory().dword(1200), strokes);
}

} // namespace
