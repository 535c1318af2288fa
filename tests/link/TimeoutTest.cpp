#include "LinkFixture.h"

namespace {

const QString CommWarning = "WARNING - Communication Error!";
const QString CableText = "Cannot Communicate with Target Board.\rVerify RS-232 Cable is Connected "
                          "Between\rCOMM Port and PROG Port.";

class Timeouts : public LinkFixture {
protected:
    void SetUp() override { goOnline(); }
    QStringList shown() const { return describeAll(prompt); }
};

TEST_F(Timeouts, UnansweredByteCostsOneTwoTwoSecondsThenAsks) {
    board.faults().silentFromByte = board.bytesReceived();
    qint64 askedAt = 0;
    const qint64 start = clock.nowMs();
    prompt.onShown = [&](const ScriptedPrompt::Shown&) { askedAt = clock.nowMs(); };
    EXPECT_EQ(link.RSRead("W1020"), "0");
    // The byte, then two attention resends, then the question.
    EXPECT_EQ(takeTrace(), "hFF hFF hFF");
    EXPECT_NEAR(double(askedAt - start), 5000.0, 10.0);
    EXPECT_EQ(shown(), QStringList{CommWarning + "|" + CableText + "|Critical|RetryCancel"});
    EXPECT_TRUE(link.CommError());
    EXPECT_TRUE(link.CommErrorAlert());
    EXPECT_TRUE(link.LastReadFailed());
    EXPECT_EQ(link.BoardMode(), 0);
    // Failed: nothing more is sent.
    EXPECT_EQ(link.RSRead("W1020"), "0");
    link.RSWrite("W1020", "1");
    EXPECT_EQ(takeTrace(), "");
    EXPECT_EQ(link.FirmwareRev(), -1);
}

TEST_F(Timeouts, RetryWaitsAgainAndASecondCancelEnds) {
    board.faults().silentFromByte = board.bytesReceived();
    prompt.queue(Prompt::Answer::Retry);
    link.RSRead("W1020");
    EXPECT_EQ(takeTrace(), "hFF hFF hFF hFF hFF");
    EXPECT_EQ(prompt.shown().size(), 2);
    EXPECT_TRUE(link.CommError());
}

TEST_F(Timeouts, ReplyToAResentAttentionIsNeverTakenAsData) {
    board.memory().setWord(1020, 180);
    link.RSRead("B0"); // read mode
    takeTrace();
    // The answer to the address low byte is lost; the board then answers the
    // resent 255 (as an address low byte: data of 03FF).
    board.memory().setByte(0x03FF, 0x55);
    board.faults().dropAnswerAt = board.bytesReceived() + 1;
    EXPECT_EQ(link.RSRead("W1020"), "180");
    EXPECT_FALSE(link.LastReadFailed());
    EXPECT_FALSE(link.CommError());
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(takeTrace(),
              "h03 b03 hFC hFF bFF hFF b00 hFF b55 h01 b55 h03 b03 hFC bB4 h03 b03 hFD b00");
}

TEST_F(Timeouts, ReplyToAResentAttentionIsNeverTakenAsAnEcho) {
    link.RSWrite("B0", "0"); // write mode
    takeTrace();
    board.faults().dropAnswerAt = board.bytesReceived() + 1; // echo of the address low byte
    link.RSWrite("W1020", "300");
    EXPECT_EQ(board.memory().word(1020), 300);
    EXPECT_FALSE(link.LastWriteFailed());
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(Timeouts, HandshakeThatNeverCompletesAsksAndCancelGoesOffline) {
    // The board answers the attention byte, but never the mode byte with 85.
    board.faults().wrongEchoWhen = [](qint64, quint8 byte) { return byte == 0x01; };
    const qint64 start = clock.nowMs();
    EXPECT_EQ(link.RSRead("W1020"), "0");
    EXPECT_GE(clock.nowMs() - start, 2000);
    EXPECT_EQ(shown(),
              QStringList{CommWarning +
                          "|Cannot Set PLC Mode Within Target Board.|Critical|RetryCancel"});
    EXPECT_TRUE(link.CommError());
    EXPECT_FALSE(link.OnlineMode());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(Timeouts, HandshakeRetryTriesTwoSecondsMore) {
    int asked = 0;
    board.faults().wrongEchoWhen = [&](qint64, quint8 byte) { return byte == 0x01 && asked < 1; };
    prompt.onShown = [&](const ScriptedPrompt::Shown&) { ++asked; };
    prompt.queue(Prompt::Answer::Retry);
    board.memory().setWord(1020, 42);
    EXPECT_EQ(link.RSRead("W1020"), "42");
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(link.CommError());
    EXPECT_TRUE(link.OnlineMode());
}

using OpenClose = LinkFixture;

TEST_F(OpenClose, OpenGreetsTheBoardAndCloseSaysGoodbye) {
    link.OpenRSComm(port);
    EXPECT_TRUE(link.OnlineMode());
    EXPECT_FALSE(link.CommError());
    EXPECT_EQ(takeTrace(), "hFF b55");
    link.RSRead("B0");
    link.CloseRSComm();
    EXPECT_EQ(takeTrace(), "hFF b55 h01 b55 h00 b00 h00 b00 hFF bFF");
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(link.OnlineMode());
    EXPECT_EQ(link.BoardMode(), 0);
    link.CloseRSComm(); // twice is harmless
    EXPECT_EQ(takeTrace(), "");
}

TEST_F(OpenClose, PortThatCannotOpenShowsCommPortError) {
    port.failOpen(2, "Permission denied");
    link.OpenRSComm(port);
    EXPECT_EQ(describeAll(prompt), QStringList{"Comm Port Error|Error Number = 2\nError Source = "
                                               "SIM1\n\nPermission denied|Critical|Ok"});
    EXPECT_TRUE(link.CommError());
    EXPECT_FALSE(link.OnlineMode());
    EXPECT_EQ(takeTrace(), "");
    // A later open that works clears the failure.
    link.OpenRSComm(port);
    EXPECT_TRUE(link.OnlineMode());
    EXPECT_FALSE(link.CommError());
}

TEST_F(OpenClose, SilentBoardAtOpenLeavesTheLinkOffline) {
    board.faults().silentFromByte = 0;
    link.OpenRSComm(port);
    EXPECT_FALSE(link.OnlineMode());
    EXPECT_TRUE(link.CommError());
    EXPECT_EQ(prompt.shown().size(), 1);
    link.CloseRSComm(); // no goodbye to a failed link
    EXPECT_EQ(takeTrace(), "hFF hFF hFF");
}

TEST_F(OpenClose, FaultCodeAndFirmwareRevision) {
    EXPECT_EQ(link.FirmwareRev(), -1); // offline: no traffic
    EXPECT_EQ(takeTrace(), "");
    EXPECT_EQ(link.FaultCode(), 0); // tries to read; no port
    EXPECT_TRUE(link.CommError());
    link.OpenRSComm(port);
    EXPECT_EQ(link.FaultCode(), 0x45);
    EXPECT_EQ(link.FirmwareRev(), 23);
    board.faults().wrongEchoWhen = [](qint64, quint8) { return true; };
    EXPECT_EQ(link.FaultCode(), 0); // the read failed
}

} // namespace
