// The simulated board's PLS as the link sees it: outputs that follow the
// channels, recalls, and what the board itself refuses.
#include "LinkFixture.h"

namespace {

class PlsBoardSide : public LinkFixture {
protected:
    void SetUp() override {
        goOnline();
        board.pls().setBusyUs(0);
        board.pls().stopAt(0);
    }
    int outputsAt(double degrees) {
        board.pls().stopAt(degrees);
        return link.RSRead("W170").toInt();
    }
};

TEST_F(PlsBoardSide, OutputsFollowSetpointsAndPulseTrains) {
    ASSERT_TRUE(link.SingleSetpoint(0, 10, 20, true));
    ASSERT_TRUE(link.SingleSetpoint(1, 350, 10, true)); // on through 0
    ASSERT_TRUE(link.PulseTrain(2, 10, 20, 5));         // on 5..14, 35..44, ...
    EXPECT_EQ(outputsAt(0), 0b010);
    EXPECT_EQ(outputsAt(5), 0b110);
    EXPECT_EQ(outputsAt(10), 0b101); // ON setpoint included, OFF setpoint excluded
    EXPECT_EQ(outputsAt(15), 0b001);
    EXPECT_EQ(outputsAt(20), 0b000);
    EXPECT_EQ(outputsAt(36), 0b100);
    EXPECT_EQ(outputsAt(355), 0b010);
    ASSERT_TRUE(link.ClearPLSChan(1));
    EXPECT_EQ(outputsAt(355), 0);
}

TEST_F(PlsBoardSide, OutputsMoveWithTheOffset) {
    ASSERT_TRUE(link.SingleSetpoint(15, 100, 200, true));
    board.pls().stopAt(50);
    EXPECT_EQ(link.RSRead("W170"), "0");
    ASSERT_TRUE(link.SetPLSOffset(150)); // the present position now reads 150
    EXPECT_EQ(link.PLSPos(), "150");
    EXPECT_EQ(link.RSRead("W170"), "32768");
}

TEST_F(PlsBoardSide, OutputsFollowTheTurningMachine) {
    ASSERT_TRUE(link.SingleSetpoint(4, 0, 180, true));
    board.pls().run();
    // Two minutes of machine time, looked at in uneven steps.
    QSet<QString> seen;
    for (int i = 0; i < 320; ++i) {
        clock.advanceUs(370'000);
        seen.insert(link.RSRead("W170"));
    }
    EXPECT_EQ(seen, (QSet<QString>{"0", "16"}));
}

TEST_F(PlsBoardSide, RecallsAlternateOnAndOffPerChannel) {
    board.pls().setSetpoints(1, 11, 21);
    board.pls().setSetpoints(2, 12, 22);
    const auto recall = [&](int channel) {
        EXPECT_TRUE(link.RecallChannel(channel));
        return QString::number(link.ChannelRecallState()) + " " +
               QString::number(link.ChannelRecallPos());
    };
    EXPECT_EQ(recall(1), "1 11");
    EXPECT_EQ(recall(1), "0 21");
    EXPECT_EQ(recall(1), "1 11");
    EXPECT_EQ(recall(2), "1 12"); // another channel starts with its ON setpoint
    EXPECT_EQ(recall(1), "1 11");
    board.pls().setPulseTrain(3, 40, 10, 20);
    EXPECT_EQ(recall(3), "3 40");
    EXPECT_EQ(recall(0), "2 0");
}

TEST_F(PlsBoardSide, BoardRefusesWhatItCannotHold) {
    // The link's checks let these through; the board answers 0 and drops them.
    EXPECT_FALSE(link.ClearPLSChan(16));
    std::array<int, 24> config{};
    EXPECT_FALSE(link.PLSConfigDownload(config, 0));
    EXPECT_FALSE(link.PLSConfigDownload(config, 4353));
    EXPECT_TRUE(link.PLSConfigDownload(config, 4352));
    EXPECT_EQ(link.PLSScaleFactor(), "4352");
    EXPECT_FALSE(link.CommError());
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(link.BoardMode(), 0);
}

TEST_F(PlsBoardSide, RefusedByteEndsTheCommandAndTheNextOneWorks) {
    board.faults().plsRefuseByteIndex = 3;
    EXPECT_FALSE(link.SingleSetpoint(0, 10, 20, false));
    EXPECT_TRUE(takeTrace().endsWith("h14 b00"));
    EXPECT_EQ(board.pls().channel(0).kind, PlsBoard::Channel::Kind::None);
    board.faults().plsRefuseByteIndex = -1;
    EXPECT_TRUE(link.SingleSetpoint(0, 10, 20, false));
    EXPECT_TRUE(prompt.shown().isEmpty());
}

} // namespace
