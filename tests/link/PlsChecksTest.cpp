// What the PLS operations refuse, and how they fail.
#include "LinkFixture.h"
#include "PlsTrace.h"

namespace {

using namespace PlsTrace;

const QString ScaleRead = wordRead(24, 360);
const QString PulseTitle = "PLS Pulse Train|";
const QString NotProgrammed = "\n\nPLS Channel will not be Programmed.|Exclamation|Ok";

class PlsChecks : public LinkFixture {
protected:
    void SetUp() override {
        goOnline();
        board.pls().setBusyUs(0);
        board.pls().stopAt(150);
        board.pls().setOffset(100);
    }
    QStringList shown() {
        const QStringList all = describeAll(prompt);
        prompt.clear();
        return all;
    }
};

TEST_F(PlsChecks, PulseTrainRefusalsInTheirOrder) {
    struct Case {
        int on, off, start;
        QString reason;
    };
    const Case cases[] = {
        {0, 20, 0, "ON Division and OFF Division Must be Greater Than 0."},
        {10, 0, 0, "ON Division and OFF Division Must be Greater Than 0."},
        {10, 25, 0, "ON Division Plus OFF Division\nMust be a Multiple of 360."},
        {256, 104, 0, "ON Division or OFF Division Must be Less Than 255."},
        {104, 256, 0, "ON Division or OFF Division Must be Less Than 255."},
        {10, 20, 360, "Start Position Must Not Be Greater Than 359."},
        // The multiple check comes before the size check.
        {300, 5, 0, "ON Division Plus OFF Division\nMust be a Multiple of 360."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason.toStdString());
        EXPECT_FALSE(link.PulseTrain(2, c.on, c.off, c.start));
        EXPECT_EQ(shown(), QStringList{PulseTitle + c.reason + NotProgrammed});
        EXPECT_EQ(takeTrace(), ScaleRead); // the scale factor read, nothing sent
    }
    EXPECT_EQ(board.pls().channel(2).kind, PlsBoard::Channel::Kind::None);
}

TEST_F(PlsChecks, PulseTrainAcceptsTheLimits) {
    EXPECT_TRUE(link.PulseTrain(2, 10, 20, 0));
    EXPECT_TRUE(link.PulseTrain(2, 255, 105, 359));
    EXPECT_EQ(board.pls().channel(2).onDivision, 255);
    EXPECT_EQ(board.pls().channel(2).start, 359);
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(PlsChecks, PulseTrainRefusedByTheBoard) {
    EXPECT_FALSE(link.PulseTrain(16, 10, 20, 0)); // the board has channels 0..15
    EXPECT_EQ(shown(), QStringList{"PLS Pulse Train|Error Encountered while Programming Pulse "
                                   "Train.\n\nPLS Channel will not be Programmed.|Information|Ok"});
    EXPECT_FALSE(link.CommError());
    EXPECT_EQ(link.BoardMode(), 0);
}

TEST_F(PlsChecks, SingleSetpointRefusals) {
    EXPECT_FALSE(link.SingleSetpoint(1, 360, 20, true));
    EXPECT_EQ(shown(),
              QStringList{"PLS Single Setpoint|Setpoint setting 360 is greater than "
                          "scale factor.\n\nChannel can not be programmed.|Exclamation|Ok"});
    EXPECT_EQ(takeTrace(), ScaleRead);
    EXPECT_FALSE(link.SingleSetpoint(1, 20, 400, true));
    EXPECT_EQ(shown(),
              QStringList{"PLS Single Setpoint|Setpoint setting 400 is greater than "
                          "scale factor.\n\nChannel can not be programmed.|Exclamation|Ok"});
    EXPECT_EQ(takeTrace(), ScaleRead);
    EXPECT_TRUE(link.SingleSetpoint(1, 359, 0, true));
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(board.pls().channel(1).on, 359);
}

TEST_F(PlsChecks, SingleSetpointStopsWhenTheClearFails) {
    board.faults().plsRefuseByteIndex = 0; // the channel byte of every command
    EXPECT_FALSE(link.SingleSetpoint(1, 10, 20, true));
    EXPECT_EQ(takeTrace(), ScaleRead + " " + handshake(0x1B) + " h01 b00");
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(link.BoardMode(), 0);
}

TEST_F(PlsChecks, SetOffsetRefusesAPositionAboveTheScale) {
    EXPECT_FALSE(link.SetPLSOffset(361));
    EXPECT_EQ(shown(),
              QStringList{"Set PLS Offset|Desired Position cannot be greater than Scale Factor of "
                          "360.\n\nPLS Offset will not be Programmed.|Exclamation|Ok"});
    EXPECT_EQ(takeTrace(), wordRead(40, 100) + " " + wordRead(72, 50) + " " + ScaleRead);
    EXPECT_EQ(board.pls().offset(), 100);
}

TEST_F(PlsChecks, SetOffsetWithScaleZeroWritesNothing) {
    board.pls().setScaleFactor(0);
    EXPECT_FALSE(link.SetPLSOffset(0));
    EXPECT_EQ(takeTrace(), wordRead(40, 100) + " " + wordRead(72, 0) + " " + wordRead(24, 0));
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_FALSE(link.CommError());
    // The other checks live with a scale of 0 too.
    EXPECT_FALSE(link.PulseTrain(0, 10, 20, 0));
    EXPECT_EQ(shown(), QStringList{PulseTitle + "Start Position Must Not Be Greater Than -1." +
                                   NotProgrammed});
    EXPECT_FALSE(link.SingleSetpoint(0, 0, 0, true));
    EXPECT_EQ(shown().size(), 1);
}

TEST_F(PlsChecks, OutOfRangeValuesSendNothing) {
    std::array<int, 24> config{};
    const auto withAt = [&](int index, int value) {
        auto c = config;
        c[size_t(index)] = value;
        return c;
    };
    link.RecallChannel(5); // recall fields: state 2, position 0
    takeTrace();
    EXPECT_FALSE(link.SingleSetpoint(256, 1, 2, true));
    EXPECT_FALSE(link.SingleSetpoint(-1, 1, 2, true));
    EXPECT_FALSE(link.SingleSetpoint(0, -5, 10, true));
    EXPECT_FALSE(link.SingleSetpoint(0, 5, -10, false));
    EXPECT_FALSE(link.PulseTrain(256, 10, 20, 0));
    EXPECT_FALSE(link.PulseTrain(0, -10, 40, 0));
    EXPECT_FALSE(link.PulseTrain(0, 10, -20, 0));
    EXPECT_FALSE(link.PulseTrain(0, 10, 20, -1));
    EXPECT_FALSE(link.PulseTrain(0, 10, 20, 65536));
    EXPECT_FALSE(link.ClearPLSChan(-1));
    EXPECT_FALSE(link.ClearPLSChan(300));
    EXPECT_FALSE(link.RecallChannel(256));
    EXPECT_FALSE(link.PLSConfigDownload(withAt(23, 256), 360));
    EXPECT_FALSE(link.PLSConfigDownload(withAt(0, -1), 360));
    EXPECT_FALSE(link.PLSConfigDownload(config, -1));
    EXPECT_FALSE(link.PLSConfigDownload(config, 65536));
    EXPECT_EQ(takeTrace(), "");
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(link.ChannelRecallState(), 2);
    EXPECT_EQ(board.pls().configValue(18), 16);
    EXPECT_FALSE(link.CommError());
}

TEST_F(PlsChecks, RecallWithAnInvalidPosition) {
    board.pls().setSetpoints(3, 10, 20);
    board.faults().plsRecallHighByte = 17;
    EXPECT_FALSE(link.RecallChannel(3));
    EXPECT_EQ(takeTrace(), "hFF b55 h09 b55 h03 b55 h55 b01 h55 b0A h55 b11");
    EXPECT_EQ(link.ChannelRecallState(), 2);
    EXPECT_EQ(link.ChannelRecallPos(), 0);
    board.faults().plsRecallHighByte = 16; // the highest byte still taken
    EXPECT_TRUE(link.RecallChannel(3));
    EXPECT_EQ(link.ChannelRecallPos(), 20 + 16 * 256);
}

TEST_F(PlsChecks, RecallThatBreaksOffGivesStateZero) {
    board.pls().setSetpoints(3, 10, 20);
    board.faults().silentFromByte = board.bytesReceived() + 4; // after the first 85
    EXPECT_FALSE(link.RecallChannel(3));
    EXPECT_EQ(link.ChannelRecallState(), 0);
    EXPECT_EQ(link.ChannelRecallPos(), 0);
    EXPECT_TRUE(link.CommError());
    EXPECT_EQ(prompt.shown().size(), 1); // the cable question, answered Cancel
}

TEST_F(PlsChecks, RecallOfAChannelTheBoardRefusesKeepsTheLastRecall) {
    board.pls().setSetpoints(3, 10, 20);
    ASSERT_TRUE(link.RecallChannel(3));
    EXPECT_FALSE(link.RecallChannel(16));
    EXPECT_EQ(takeTrace().right(7), "h10 b00");
    EXPECT_EQ(link.ChannelRecallState(), 1);
    EXPECT_EQ(link.ChannelRecallPos(), 10);
    EXPECT_FALSE(link.CommError());
}

TEST_F(PlsChecks, ConfigurationUploadThatBreaksOff) {
    std::array<int, 24> values{};
    values.fill(7);
    ASSERT_TRUE(link.PLSConfigDownload(values, 360));
    const auto before = link.PLSConfigUpload();
    values.fill(9);
    ASSERT_TRUE(link.PLSConfigDownload(values, 360));
    // Five bytes come, then the board falls silent.
    board.faults().silentFromByte = board.bytesReceived() + 2 + 5;
    const auto after = link.PLSConfigUpload();
    EXPECT_EQ(
        shown(),
        (QStringList{"WARNING - Communication Error!|Cannot Communicate with Target "
                     "Board.\rVerify RS-232 Cable is Connected Between\rCOMM Port and PROG "
                     "Port.|Critical|RetryCancel",
                     "PLS Upload|Not able to Upload Configuration from PLS.|Exclamation|Ok"}));
    EXPECT_TRUE(link.LastPLSConfigUploadFailed());
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i], i < 5 ? 9 : before[i]) << i;
    // With the link failed, the array comes back unchanged without traffic.
    takeTrace();
    EXPECT_EQ(link.PLSConfigUpload(), after);
    EXPECT_EQ(takeTrace(), "");
    EXPECT_EQ(shown().size(), 1);
}

TEST_F(PlsChecks, FailedHandshakeGivesMinus9999) {
    board.faults().wrongEchoWhen = [](qint64, quint8 byte) { return byte == 0x18; };
    EXPECT_EQ(link.PLSScaleFactor(), "-9999");
    EXPECT_EQ(shown(), QStringList{"WARNING - Communication Error!|Cannot Set PLC Mode Within "
                                   "Target Board.|Critical|RetryCancel"});
    EXPECT_TRUE(link.CommError());
    EXPECT_FALSE(link.OnlineMode());
}

TEST_F(PlsChecks, ReadThatIsOnlyAnsweredAfterAResendIsNoValue) {
    board.faults().dropAnswerAt = board.bytesReceived() + 2; // the answer to the first 85
    EXPECT_EQ(link.PLSScaleFactor(), "-9999");
    EXPECT_FALSE(link.CommError());
    EXPECT_TRUE(prompt.shown().isEmpty());
    // The setpoint checks do not take the failed read for a scale factor.
    board.faults().dropAnswerAt = board.bytesReceived() + 2;
    EXPECT_FALSE(link.SingleSetpoint(0, 10, 20, true));
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(link.PLSScaleFactor(), "360"); // and the link recovers
}

} // namespace
