// The board's DF1 driver: counters that move and a status that now and then
// reports an error, so that the DF1 view has something to show.
#include "BoardSimulator.h"

#include <QSet>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr qint64 Second = 1'000'000;

class Df1DriverTest : public ::testing::Test {
protected:
    Df1DriverTest() { board.advanceTo(0); }
    void at(double seconds) { board.advanceTo(std::llround(seconds * Second)); }
    BoardSimulator board;
    BoardMemory& m = board.memory();
};

TEST_F(Df1DriverTest, PowersUpEnabledAndConfigured) {
    EXPECT_TRUE(m.flag(152));
    EXPECT_EQ(m.byte(4023), 2);
    EXPECT_EQ(m.byte(4021), 2);
    EXPECT_EQ(m.word(4016), 0);
    EXPECT_EQ(m.byte(4303), 0);
    EXPECT_TRUE(m.bit(4001, 0));
    EXPECT_EQ(m.byte(4050), 1);
    EXPECT_EQ(m.byte(4011), 10);
}

TEST_F(Df1DriverTest, CountsTransactionsAndNowAndThenReportsAnError) {
    QSet<int> transmit, link, commands;
    int replies = 0;
    for (int step = 1; step <= 600; ++step) {
        at(step * 0.4);
        transmit.insert(m.byte(4021));
        link.insert(m.byte(4303));
        commands.insert(m.byte(4014));
        replies = m.word(4304);
        EXPECT_EQ(m.word(4016), step) << "one transaction per 400 ms";
        // An error in the link status always comes with its reply codes.
        if (m.byte(4303) != 0) {
            EXPECT_EQ(m.byte(4018), m.byte(4303));
        }
    }
    EXPECT_TRUE(transmit.contains(2));
    EXPECT_GE(transmit.size(), 2) << "a timeout or NAK now and then";
    EXPECT_TRUE(link.contains(0));
    EXPECT_GE(link.size(), 2) << "a reply that reports an error now and then";
    EXPECT_EQ(commands, (QSet<int>{0, 1}));
    EXPECT_GT(replies, 500);
    EXPECT_LT(replies, 600);
    // The set-up belongs to the host: the driver never touches it.
    EXPECT_TRUE(m.bit(4001, 0));
    EXPECT_EQ(m.byte(4050), 1);
}

TEST_F(Df1DriverTest, StandsStillWhenDisabledOrHeld) {
    m.setFlag(152, false);
    at(10);
    EXPECT_EQ(m.word(4016), 0);
    m.setFlag(152, true);
    board.df1().hold(true);
    at(20);
    EXPECT_EQ(m.word(4016), 0);
    board.df1().hold(false);
    at(20.4);
    EXPECT_EQ(m.word(4016), 1);
}

} // namespace
