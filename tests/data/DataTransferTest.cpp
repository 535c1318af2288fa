// The transfer engine against the in-process simulated board: which registers
// and PLS commands each group moves, in which order, and how failures end it.
#include "DataTransfer.h"
#include "LinkFixture.h"
#include "MovingWord.h"
#include "PlsConfigArray.h"
#include "SharedState.h"

#include <QStringList>

namespace {

class DataTransferTest : public LinkFixture {
protected:
    DataTransferTest() {
        InitRegisterMap(shared);
        data = shared.DefaultData;
        goOnline();
    }

    DataTransfer run(int code) {
        DataTransfer transfer(link, data, code);
        transfer.RunToEnd();
        return transfer;
    }

    // Board addresses of the bytes read in read mode, in the order read.
    static QList<int> bytesRead(const QString& trace) {
        const QStringList t = trace.split(u' ', Qt::SkipEmptyParts);
        QList<int> read;
        bool inRead = false;
        qsizetype i = 0;
        while (i < t.size()) {
            if (t[i] == u"hFF" && i + 3 < t.size() && t[i + 1] == u"b55") {
                inRead = t[i + 2] == u"h01";
                i += 4;
            } else if (inRead && i + 3 < t.size()) {
                read.append(t[i].mid(1).toInt(nullptr, 16) * 256 +
                            t[i + 2].mid(1).toInt(nullptr, 16));
                i += 4;
            } else {
                ++i;
            }
        }
        return read;
    }

    void programAllChannels() {
        for (int ch = 0; ch < 16; ++ch)
            board.pls().setSetpoints(ch, 10 + ch, 200 + ch);
    }

    SharedState shared;
    SetupRecord data;
};

TEST_F(DataTransferTest, KnowsTheCaptionAndProgressMaximumOfEachCode) {
    const QList<std::pair<int, int>> maxima = {{0, 12},  {1, 33},  {2, 38},  {4, 81},
                                               {10, 12}, {11, 33}, {12, 38}, {14, 81}};
    for (const auto& [code, maximum] : maxima) {
        EXPECT_TRUE(DataTransfer::IsValidCode(code));
        EXPECT_EQ(DataTransfer::MaximumFor(code), maximum) << code;
    }
    EXPECT_FALSE(DataTransfer::IsValidCode(3));
    EXPECT_FALSE(DataTransfer::IsValidCode(13));
    EXPECT_EQ(DataTransfer::CaptionFor(0), "Uploading Set-up Parameters, Please Standby...");
    EXPECT_EQ(DataTransfer::CaptionFor(4), "Uploading Data, Please Standby...");
    EXPECT_EQ(DataTransfer::CaptionFor(11), "Downloading Timing Channels, Please Standby...");
    EXPECT_EQ(DataTransfer::CaptionFor(12), "Downloading Shift Data, Please Standby...");
}

TEST_F(DataTransferTest, BuildsTheTwentyFourEntryConfigurationArray) {
    data.PlsConfig0 = 16;
    data.PlsConfig1 = 2;
    data.PlsConfig2to9 = {11, 12, 13, 14, 15, 16, 17, 18};
    const std::array<int, 24> expected = {2, 11, 12, 13, 14, 0, 15, 16, 17, 18, 0, 0,
                                          0, 0,  0,  0,  0,  0, 16, 0,  0,  0,  0, 0};
    EXPECT_EQ(PlsConfigArray(data), expected);
}

TEST_F(DataTransferTest, ChecksAddressesStrictly) {
    for (const char* good : {"W1020", "B1018.0", "b4050", "D1100", "F858", "B4001.7", "EFF0H",
                             "W65534", "D65532", "B65535"})
        EXPECT_TRUE(DataTransfer::ValidAddress(QString::fromLatin1(good))) << good;
    for (const char* bad : {"", "W", "W-5", "W 32", "W12x", " W12", "B110.9", "B110.", "W1018.0",
                            "Q12", "X12", "W65535", "D65533", "B65536", "F524288", "EFGH", "H"})
        EXPECT_FALSE(DataTransfer::ValidAddress(QString::fromLatin1(bad))) << bad;
}

TEST_F(DataTransferTest, UploadSetupReadsTheElevenRegistersInOrderAndNothingElse) {
    auto& m = board.memory();
    m.setBit(1018, 0, true);
    m.setWord(1020, 180);
    m.setWord(1022, 190);
    m.setWord(1024, 280);
    m.setWord(1026, 90);
    m.setWord(1028, 240);
    m.setWord(1032, 245);
    m.setWord(1034, 70);
    m.setBit(4001, 0, true);
    m.setByte(4050, 7);
    m.setByte(4011, 12);
    for (int i = 0; i < 38; ++i)
        data.ValueTable[i] = 1000 + i;
    data.ChannelSetpoint[3] = {11, 22};
    const SetupRecord before = data;

    const DataTransfer t = run(DataTransfer::UploadSetup);

    EXPECT_EQ(bytesRead(takeTrace()),
              (QList<int>{1018, 1020, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1032,
                          1033, 1034, 1035, 4001, 4050, 4011}));
    EXPECT_EQ(data.ValueTable.mid(38),
              (QList<qint32>{1, 180, 190, 280, 90, 240, 245, 70, 1, 7, 12}));
    EXPECT_EQ(data.ValueTable.mid(0, 38), before.ValueTable.mid(0, 38));
    SetupRecord rest = data;
    rest.ValueTable = before.ValueTable;
    EXPECT_EQ(rest, before);
    EXPECT_EQ(t.Value(), 11);
    EXPECT_EQ(t.Maximum(), 12);
    EXPECT_FALSE(t.Failed());
    EXPECT_TRUE(t.DataChanged());
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(DataTransferTest, DownloadWritesEachValueToItsRegister) {
    EXPECT_EQ(DataTransfer::DownloadText(300), " 300");
    EXPECT_EQ(DataTransfer::DownloadText(0), " 0");
    EXPECT_EQ(DataTransfer::DownloadText(-5), "-5");
    data.ValueTable[41] = 300;
    board.memory().setWord(1024, 0);
    data.ValueTable[0] = 1234567; // a double word in base 10000
    data.ValueTable[38] = 1;
    board.memory().setByte(1018, 0xF0);

    const DataTransfer t = run(DataTransfer::DownloadAll);

    EXPECT_EQ(board.memory().word(1024), 300);
    EXPECT_TRUE(takeTrace().contains("h04 b04 h00 b00 h2C b2C h04 b04 h01 b01 h01 b01"));
    EXPECT_EQ(board.memory().dword(1100), 1234567);
    EXPECT_EQ(board.memory().byte(1018), 0xF1); // the other bits as they were
    EXPECT_EQ(board.memory().word(1020), 0);
    EXPECT_FALSE(t.Failed());
    EXPECT_EQ(t.Value(), 81);
    EXPECT_TRUE(t.TimingDownloaded());
    EXPECT_FALSE(t.DataChanged());
}

TEST_F(DataTransferTest, UploadAllMovesEveryEntryThenTheTimingAndEndsAt81Of81) {
    for (int i = 0; i < 16; ++i)
        board.memory().setWord(1108 + 2 * i, 50 + i);
    board.memory().setDword(1200, 987654);
    programAllChannels();
    board.pls().setScaleFactor(720);
    board.pls().setOffset(33);

    const DataTransfer t = run(DataTransfer::UploadAll);

    EXPECT_EQ(t.Value(), 81);
    EXPECT_EQ(t.Maximum(), 81);
    EXPECT_FALSE(t.Failed());
    EXPECT_EQ(data.ValueTable[2], 50);
    EXPECT_EQ(data.ValueTable[17], 65);
    EXPECT_EQ(data.ValueTable[18], 987654);
    EXPECT_EQ(data.PlsScale, 720);
    EXPECT_EQ(data.PlsOffset, 33);
    for (int ch = 0; ch < 16; ++ch) {
        EXPECT_EQ(data.ChannelSetpoint[size_t(ch)][0], 10 + ch);
        EXPECT_EQ(data.ChannelSetpoint[size_t(ch)][1], 200 + ch);
    }
    EXPECT_EQ(t.StatusCaption(), "Uploading Timing Channels, Please Standby...");
}

TEST_F(DataTransferTest, ShiftCountsThatMoveUnderTheReadAreUploadedWhole) {
    board.cupper().hold(true);
    board.memory().setDword(1100, 12'340'255);
    MoveUnderTheRead(board, 1100, [](BoardMemory& m) { m.setDword(1100, 12'340'256); });
    EXPECT_FALSE(run(DataTransfer::UploadShift).Failed());
    EXPECT_EQ(data.ValueTable[0], 12'340'256); // its bytes read apart: 12,340,511
}

TEST_F(DataTransferTest, TimingDownloadThenUploadGivesTheSameTimingBack) {
    data.PlsConfig0 = 12;
    data.PlsConfig1 = 3;
    data.PlsConfig2to9 = {1, 2, 3, 4, 5, 6, 7, 8};
    data.PlsScale = 720;
    data.ChannelSetpoint[9] = {400, 700};
    const DataTransfer down = run(DataTransfer::DownloadTiming);
    EXPECT_FALSE(down.Failed());
    EXPECT_EQ(down.Value(), 32);
    EXPECT_TRUE(down.TimingDownloaded());
    EXPECT_EQ(board.pls().scaleFactor(), 720);
    EXPECT_EQ(board.pls().configValue(0), 3);
    EXPECT_EQ(board.pls().configValue(4), 4);
    EXPECT_EQ(board.pls().configValue(5), 0);
    EXPECT_EQ(board.pls().configValue(6), 5);
    EXPECT_EQ(board.pls().configValue(18), 12);

    const SetupRecord sent = data;
    data = shared.DefaultData;
    const DataTransfer up = run(DataTransfer::UploadTiming);
    EXPECT_FALSE(up.Failed());
    SetupRecord expected = sent;
    expected.PlsOffset = board.pls().offset();
    EXPECT_EQ(data, expected);
}

TEST_F(DataTransferTest, AChannelWithoutSetpointsIsUploadedAsZerosAndCountsTwoSteps) {
    programAllChannels();
    board.pls().setPulseTrain(4, 5, 10, 20); // state 3
    board.pls().clearChannel(11);            // state 2
    data.ChannelSetpoint[4] = {1, 2};
    data.ChannelSetpoint[11] = {3, 4};

    const DataTransfer t = run(DataTransfer::UploadTiming);

    EXPECT_FALSE(t.Failed());
    EXPECT_EQ(t.Value(), 32);
    EXPECT_EQ(t.Maximum(), 33);
    EXPECT_EQ(data.ChannelSetpoint[4], (std::array<qint16, 2>{0, 0}));
    EXPECT_EQ(data.ChannelSetpoint[11], (std::array<qint16, 2>{0, 0}));
    EXPECT_EQ(data.ChannelSetpoint[12], (std::array<qint16, 2>{22, 212}));
}

TEST_F(DataTransferTest, AChannelWithBothSetpointsZeroIsClearedOnTheBoard) {
    programAllChannels();
    data.ChannelSetpoint[7] = {0, 0};
    data.ChannelSetpoint[8] = {0, 90};

    const DataTransfer t = run(DataTransfer::DownloadTiming);

    EXPECT_FALSE(t.Failed());
    EXPECT_EQ(board.pls().channel(7).kind, PlsBoard::Channel::Kind::None);
    EXPECT_EQ(board.pls().channel(8).kind, PlsBoard::Channel::Kind::Setpoints);
    EXPECT_EQ(board.pls().channel(8).off, 90);
    EXPECT_EQ(board.pls().channel(2).on, 200);
    EXPECT_EQ(board.pls().channel(15).kind, PlsBoard::Channel::Kind::None);
}

TEST_F(DataTransferTest, EntriesWithoutAValidAddressAreNeitherReadNorWritten) {
    board.memory().setByte(32, 0xA5);
    data.AddressTable[40] = QString();
    data.AddressTable[41] = QStringLiteral("W-5");
    data.AddressTable[42] = QStringLiteral("W 32");
    data.AddressTable[43] = QStringLiteral("W12x");
    data.AddressTable[44] = QStringLiteral("W65535");
    data.ValueTable[45] = 77;

    const DataTransfer down = run(DataTransfer::DownloadSetup);
    EXPECT_TRUE(down.Failed());
    EXPECT_EQ(board.memory().byte(32), 0xA5);
    EXPECT_EQ(board.memory().word(1034), 77); // the valid ones still go
    EXPECT_EQ(down.Value(), 11);

    data.ValueTable[40] = 5;
    data.ValueTable[44] = 6;
    takeTrace();
    const DataTransfer up = run(DataTransfer::UploadSetup);
    EXPECT_TRUE(up.Failed());
    EXPECT_EQ(data.ValueTable[40], 5);
    EXPECT_EQ(data.ValueTable[44], 6);
    EXPECT_FALSE(bytesRead(takeTrace()).contains(32));
}

TEST_F(DataTransferTest, AReadOrWriteThatFinallyFailedKeepsTheEntryAndFails) {
    // Address high byte 04 is echoed wrong: the words at 1024..1035 fail twice.
    board.faults().wrongEchoWhen = [](qint64, quint8 byte) { return byte == 0x04; };
    for (int i = 38; i <= 48; ++i)
        data.ValueTable[i] = 500 + i;
    board.memory().setWord(1020, 123);

    const DataTransfer up = run(DataTransfer::UploadSetup);
    EXPECT_TRUE(up.Failed());
    EXPECT_FALSE(link.CommError());
    EXPECT_TRUE(up.EntryFailed());
    EXPECT_EQ(data.ValueTable[39], 123);
    EXPECT_EQ(data.ValueTable[41], 541); // kept, not "0"
    EXPECT_EQ(data.ValueTable[45], 545);

    data.ValueTable[40] = 540;
    data.ValueTable[41] = 541;
    const DataTransfer down = run(DataTransfer::DownloadSetup);
    EXPECT_TRUE(down.Failed());
    EXPECT_EQ(board.memory().word(1022), 540);
    EXPECT_NE(board.memory().word(1024), 541);
}

TEST_F(DataTransferTest, ConfigurationOutOfRangeIsNotSentButTheChannelsAre) {
    board.pls().setScaleFactor(360);
    data.PlsConfig2to9[0] = 300;
    const DataTransfer t = run(DataTransfer::DownloadTiming);
    EXPECT_TRUE(t.TimingFailed());
    EXPECT_TRUE(t.Failed());
    EXPECT_FALSE(link.CommError());
    EXPECT_EQ(board.pls().configValue(1), 0);
    EXPECT_EQ(board.pls().channel(2).on, 200);
    EXPECT_TRUE(t.TimingDownloaded());

    data.PlsConfig2to9[0] = 0;
    data.PlsScale = -1;
    data.ChannelSetpoint[2] = {201, 221};
    const DataTransfer again = run(DataTransfer::DownloadTiming);
    EXPECT_TRUE(again.TimingFailed());
    EXPECT_EQ(board.pls().scaleFactor(), 360);
    EXPECT_EQ(board.pls().channel(2).on, 201);
}

TEST_F(DataTransferTest, AScaleOrOffsetBeyondSixteenBitsIsAFailedRead) {
    board.pls().setScaleFactor(40000);
    data.PlsScale = 360;
    data.ChannelSetpoint[0] = {1, 2};
    const DataTransfer t = run(DataTransfer::UploadTiming);
    EXPECT_TRUE(t.TimingFailed());
    EXPECT_TRUE(t.Failed());
    EXPECT_EQ(data.PlsScale, 360);
    EXPECT_EQ(data.ChannelSetpoint[0], (std::array<qint16, 2>{1, 2})); // no channel recalled

    board.pls().setOffset(35000);
    data.PlsOffset = 12;
    const DataTransfer again = run(DataTransfer::UploadTiming);
    EXPECT_TRUE(again.TimingFailed());
    EXPECT_EQ(data.PlsOffset, 12);
}

TEST_F(DataTransferTest, CancelStopsTheEntriesAndSkipsATimingPartNotYetBegun) {
    programAllChannels();
    data.ValueTable[10] = 4321;
    DataTransfer t(link, data, DataTransfer::DownloadAll);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(t.Step());
    t.Cancel();
    t.RunToEnd();
    EXPECT_EQ(t.Value(), 5);
    EXPECT_FALSE(t.Failed());
    EXPECT_FALSE(t.TimingDownloaded());
    EXPECT_NE(board.memory().word(1124), 4321); // entry 10 never went
    EXPECT_EQ(board.pls().channel(2).on, 12);   // the PLS as it was
}

TEST_F(DataTransferTest, CancelStopsATimingDownloadBetweenChannels) {
    programAllChannels();
    DataTransfer t(link, data, DataTransfer::DownloadTiming);
    while (t.Value() < 6)
        ASSERT_TRUE(t.Step());
    t.Cancel();
    t.RunToEnd();
    EXPECT_EQ(t.Value(), 6);
    EXPECT_TRUE(t.TimingDownloaded());
    EXPECT_EQ(board.pls().channel(2).on, 200); // sent
    EXPECT_EQ(board.pls().channel(3).on, 13);  // not
}

TEST_F(DataTransferTest, ABoardThatFallsSilentEndsTheTransferWithValuesReadSoFar) {
    board.memory().setWord(1104, 11);
    board.memory().setWord(1108, 12);
    board.memory().setWord(1130, 99);
    DataTransfer t(link, data, DataTransfer::UploadAll);
    while (t.Value() < 3)
        ASSERT_TRUE(t.Step());
    board.faults().silentFromByte = board.bytesReceived();
    t.RunToEnd();
    EXPECT_TRUE(link.CommError());
    EXPECT_TRUE(t.Failed());
    EXPECT_EQ(data.ValueTable[1], 11);
    EXPECT_EQ(data.ValueTable[2], 12);
    EXPECT_EQ(data.ValueTable[13], 0);
    EXPECT_LT(t.Value(), 6);
    // The link asked Retry/Cancel once and the answer was Cancel.
    ASSERT_FALSE(prompt.shown().isEmpty());
    EXPECT_EQ(prompt.shown().back().buttons, Prompt::Buttons::RetryCancel);
}

} // namespace
