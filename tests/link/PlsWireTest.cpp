// The bytes of every PLS command, with its ready poll, and the busy PLS.
#include "LinkFixture.h"
#include "PlsTrace.h"

namespace {

using namespace PlsTrace;

const QString ReadyQuestion = "WARNING - Communication Error!|Cannot Determine PLS READY Mode "
                              "Within Target Board.|Critical|RetryCancel";

class PlsWire : public LinkFixture {
protected:
    void SetUp() override {
        goOnline();
        board.pls().setBusyUs(0);
        board.pls().stopAt(150); // resolver count 150 of 360
        board.pls().setOffset(100);
    }
};

TEST_F(PlsWire, WordReads) {
    EXPECT_EQ(link.PLSScaleFactor(), "360");
    EXPECT_EQ(takeTrace(), "hFF b55 h18 b55 h55 b68 h55 b01");
    EXPECT_EQ(link.BoardMode(), 0);
    EXPECT_EQ(link.PLSOffset(), "100");
    EXPECT_EQ(takeTrace(), "hFF b55 h28 b55 h55 b64 h55 b00");
    EXPECT_EQ(link.PLSPos(), "50");
    EXPECT_EQ(takeTrace(), "hFF b55 h48 b55 h55 b32 h55 b00");
    EXPECT_EQ(link.PLSRpm(), "0");
    EXPECT_EQ(takeTrace(), "hFF b55 h58 b55 h55 b00 h55 b00");
    // Following the machine, the PLS reports the machine's speed.
    board.pls().run();
    const QString rpm = link.PLSRpm();
    EXPECT_EQ(rpm, QString::number(board.pls().rpm()));
    EXPECT_EQ(takeTrace(), wordRead(0x58, rpm.toInt()));
    EXPECT_EQ(link.BoardMode(), 0);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(PlsWire, CommandsHandshakeFromReadModeAndLeaveModeZero) {
    link.RSRead("B0");
    takeTrace();
    EXPECT_EQ(link.PLSScaleFactor(), "360");
    // From read mode the board needs a record of 255s before it hears attention.
    EXPECT_EQ(takeTrace(), "hFF bFF hFF b00 hFF b55 h18 b55 h55 b68 h55 b01");
    // The next register read handshakes again, from an idle board.
    link.RSRead("B0");
    EXPECT_TRUE(takeTrace().startsWith("hFF b55 h01 b55 h00 b00 h00 b"));
}

TEST_F(PlsWire, SingleSetpointClearsFirstThenSets) {
    EXPECT_TRUE(link.SingleSetpoint(3, 10, 20, true));
    EXPECT_EQ(takeTrace(), "hFF b55 h18 b55 h55 b68 h55 b01 "
                           "hFF b55 h1B b55 h03 b55 h00 b55 h00 b55 h00 b55 h00 b55 h00 b55 "
                           "h38 b55 h55 b00 h55 b55 "
                           "hFF b55 h1B b55 h03 b55 h0A b55 h00 b55 h14 b55 h00 b55 h01 b55 "
                           "h38 b55 h55 b00 h55 b55");
    EXPECT_EQ(board.pls().channel(3).kind, PlsBoard::Channel::Kind::Setpoints);
    EXPECT_EQ(board.pls().channel(3).on, 10);
    EXPECT_EQ(board.pls().channel(3).off, 20);
    EXPECT_EQ(link.BoardMode(), 0);
}

TEST_F(PlsWire, SingleSetpointWithoutClearSendsWordsLowByteFirst) {
    EXPECT_TRUE(link.SingleSetpoint(4, 300, 5, false));
    EXPECT_EQ(takeTrace(), wordRead(24, 360) + " " + handshake(0x1B) + " " +
                               acknowledged({4, 0x2C, 0x01, 5, 0, 1}) + " " + ready);
    EXPECT_EQ(board.pls().channel(4).on, 300);
}

TEST_F(PlsWire, PulseTrainPutsTheDivisionsInBytesFourAndFive) {
    EXPECT_TRUE(link.PulseTrain(5, 10, 20, 7));
    EXPECT_EQ(takeTrace(), "hFF b55 h18 b55 h55 b68 h55 b01 "
                           "hFF b55 h2B b55 h05 b55 h07 b55 h00 b55 h0A b55 h14 b55 h00 b55 "
                           "h38 b55 h55 b00 h55 b55");
    const auto& c = board.pls().channel(5);
    EXPECT_EQ(c.kind, PlsBoard::Channel::Kind::PulseTrain);
    EXPECT_EQ(c.start, 7);
    EXPECT_EQ(c.onDivision, 10);
    EXPECT_EQ(c.offDivision, 20);
}

TEST_F(PlsWire, ClearChannel) {
    board.pls().setSetpoints(3, 10, 20);
    EXPECT_TRUE(link.ClearPLSChan(3));
    EXPECT_EQ(takeTrace(), "hFF b55 h1B b55 h03 b55 h00 b55 h00 b55 h00 b55 h00 b55 h00 b55 "
                           "h38 b55 h55 b00 h55 b55");
    EXPECT_EQ(board.pls().channel(3).kind, PlsBoard::Channel::Kind::None);
}

TEST_F(PlsWire, RecallGivesOnThenOffSetpoint) {
    board.pls().setSetpoints(3, 10, 300);
    EXPECT_TRUE(link.RecallChannel(3));
    EXPECT_EQ(takeTrace(), "hFF b55 h09 b55 h03 b55 h55 b01 h55 b0A h55 b00");
    EXPECT_EQ(link.ChannelRecallState(), 1);
    EXPECT_EQ(link.ChannelRecallPos(), 10);
    EXPECT_TRUE(link.RecallChannel(3));
    EXPECT_EQ(takeTrace(), "hFF b55 h09 b55 h03 b55 h55 b00 h55 b2C h55 b01");
    EXPECT_EQ(link.ChannelRecallState(), 0);
    EXPECT_EQ(link.ChannelRecallPos(), 300);
    // Not programmed: another state, position 0; no ready poll after a recall.
    EXPECT_TRUE(link.RecallChannel(4));
    EXPECT_EQ(takeTrace(), "hFF b55 h09 b55 h04 b55 h55 b02 h55 b00 h55 b00");
    EXPECT_EQ(link.ChannelRecallState(), 2);
    EXPECT_EQ(link.ChannelRecallPos(), 0);
    EXPECT_EQ(link.BoardMode(), 0);
}

TEST_F(PlsWire, SetOffsetReadsOffsetPositionScaleThenWrites) {
    // Offset 100, position 50, scale 360, wanted 0: new offset 150.
    EXPECT_TRUE(link.SetPLSOffset(0));
    EXPECT_EQ(takeTrace(), "hFF b55 h28 b55 h55 b64 h55 b00 "
                           "hFF b55 h48 b55 h55 b32 h55 b00 "
                           "hFF b55 h18 b55 h55 b68 h55 b01 "
                           "hFF b55 h2A b55 h96 b55 h00 b55 h38 b55 h55 b00 h55 b55");
    EXPECT_EQ(board.pls().offset(), 150);
    EXPECT_EQ(link.PLSPos(), "0");
}

TEST_F(PlsWire, OffsetArithmetic) {
    EXPECT_TRUE(link.SetPLSOffset(200)); // from offset 100, position 50
    EXPECT_EQ(board.pls().offset(), 310);
    EXPECT_EQ(link.PLSPos(), "200");
    EXPECT_TRUE(link.SetPLSOffset(359));
    EXPECT_EQ(link.PLSPos(), "359");
    // A wanted position equal to the scale factor is taken: it reads as 0.
    EXPECT_TRUE(link.SetPLSOffset(360));
    EXPECT_EQ(board.pls().offset(), 150);
    EXPECT_EQ(link.PLSPos(), "0");
    // Near the top of the largest scale: offset 1, position 4351.
    board.pls().setScaleFactor(4352);
    board.pls().stopAt(0);
    board.pls().setOffset(1);
    EXPECT_EQ(link.PLSPos(), "4351");
    EXPECT_TRUE(link.SetPLSOffset(1));
    EXPECT_EQ(link.PLSPos(), "1");
    EXPECT_EQ(board.pls().offset(), 4351);
}

TEST_F(PlsWire, ConfigurationDownloadSendsFourGroupsThenTheScale) {
    std::array<int, 24> values{};
    for (int i = 0; i < 24; ++i)
        values[size_t(i)] = i + 1;
    EXPECT_TRUE(link.PLSConfigDownload(values, 720));
    const QString expected =
        handshake(0x3B) + " " + acknowledged({1, 2, 3, 4, 5, 6}) + " " + ready + " " +
        handshake(0x4B) + " " + acknowledged({7, 8, 9, 10, 11, 12}) + " " + ready + " " +
        handshake(0x5B) + " " + acknowledged({13, 14, 15, 16, 17, 18}) + " " + ready + " " +
        handshake(0x6B) + " " + acknowledged({19, 20, 21, 22, 23, 24}) + " " + ready + " " +
        "hFF b55 h1A b55 hD0 b55 h02 b55 " + ready;
    EXPECT_EQ(takeTrace(), expected);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(board.pls().configValue(i), i + 1);
    EXPECT_EQ(board.pls().scaleFactor(), 720);
}

TEST_F(PlsWire, ConfigurationUploadReadsNineteenBytes) {
    std::array<int, 24> values{};
    for (int i = 0; i < 24; ++i)
        values[size_t(i)] = 100 + i;
    ASSERT_TRUE(link.PLSConfigDownload(values, 360));
    takeTrace();
    const auto config = link.PLSConfigUpload();
    QString expected = "hFF b55 h0C b55";
    for (int i = 0; i < 19; ++i)
        expected += " h55 b" + hex(board.pls().configByte(i));
    EXPECT_EQ(takeTrace(), expected);
    // Channels first, then the program number and the speed compensations.
    const std::array<int, 19> wanted = {118, 100, 101, 102, 103, 104, 106, 107, 108, 109,
                                        110, 111, 112, 113, 114, 115, 116, 117, 119};
    EXPECT_EQ(config, wanted);
    EXPECT_FALSE(link.LastPLSConfigUploadFailed());
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(link.BoardMode(), 0);
}

TEST_F(PlsWire, ReadyPollRepeatsWhileBusy) {
    // One exchange takes 2083 us at 9600 baud: busy at the first poll, ready at the second.
    board.pls().setBusyUs(5000);
    EXPECT_TRUE(link.ClearPLSChan(3));
    EXPECT_TRUE(takeTrace().endsWith("h00 b55 h38 b55 h55 b55 h38 b55 h55 b00 h55 b55"));
}

TEST_F(PlsWire, DefaultBusyTimePassesInBoardTime) {
    board.pls().setBusyUs(PlsBoard::DefaultBusyUs);
    const qint64 start = clock.nowMs();
    EXPECT_TRUE(link.SingleSetpoint(0, 1, 2, false));
    EXPECT_GE(clock.nowMs() - start, 50);
    EXPECT_TRUE(takeTrace().contains("h38 b55 h55 b55"));
    EXPECT_TRUE(prompt.shown().isEmpty());
}

class BusyPls : public PlsWire {
protected:
    void SetUp() override {
        PlsWire::SetUp();
        board.faults().plsStaysBusy = true;
        prompt.onShown = [this](const ScriptedPrompt::Shown&) { asked.append(clock.nowMs()); };
        start = clock.nowMs();
    }
    QList<qint64> asked;
    qint64 start = 0;
};

TEST_F(BusyPls, CancelFailsTheLink) {
    EXPECT_FALSE(link.ClearPLSChan(3));
    EXPECT_EQ(describeAll(prompt), QStringList{ReadyQuestion});
    ASSERT_EQ(asked.size(), 1);
    // Three seconds from the first poll, which follows the command's eight bytes.
    EXPECT_GE(asked[0] - start, 3000);
    EXPECT_LE(asked[0] - start, 3030);
    EXPECT_TRUE(link.CommError());
    EXPECT_EQ(link.BoardMode(), 0);
    takeTrace();
    EXPECT_FALSE(link.ClearPLSChan(3));
    EXPECT_EQ(link.PLSScaleFactor(), "-9999");
    EXPECT_EQ(takeTrace(), "");
    // A new OpenRSComm gets the board out of its poll.
    board.faults().plsStaysBusy = false;
    link.OpenRSComm(port);
    EXPECT_TRUE(link.ClearPLSChan(3));
}

TEST_F(BusyPls, RetryWaitsTwoSecondsMoreThenCancel) {
    prompt.queue(Prompt::Answer::Retry);
    EXPECT_FALSE(link.SetPLSOffset(0));
    EXPECT_EQ(describeAll(prompt), (QStringList{ReadyQuestion, ReadyQuestion}));
    ASSERT_EQ(asked.size(), 2);
    EXPECT_NEAR(double(asked[1] - asked[0]), 2000.0, 10.0);
    EXPECT_TRUE(link.CommError());
}

TEST_F(BusyPls, RetryGoesOnPollingUntilReady) {
    prompt.queue(Prompt::Answer::Retry);
    prompt.onShown = [this](const ScriptedPrompt::Shown&) { board.faults().plsStaysBusy = false; };
    EXPECT_TRUE(link.PulseTrain(1, 10, 20, 0));
    EXPECT_EQ(prompt.shown().size(), 1);
    EXPECT_FALSE(link.CommError());
    EXPECT_EQ(board.pls().channel(1).kind, PlsBoard::Channel::Kind::PulseTrain);
}

} // namespace
