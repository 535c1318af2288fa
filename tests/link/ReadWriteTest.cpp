#include "LinkFixture.h"

namespace {

class ReadWrite : public LinkFixture {
protected:
    void SetUp() override { goOnline(); }
    // Board already in the given mode, traffic forgotten.
    void enterRead() {
        link.RSRead("B0");
        takeTrace();
    }
    void enterWrite() {
        link.RSWrite("B0", "0");
        takeTrace();
    }
    QStringList alerts() const { return describeAll(prompt); }
};

// The attention handshake as the board answers it: at once outside a mode;
// from read or write mode only after a whole record of 255s (the board's way
// of telling attention from address byte 255), with the byte at FFFF (0 here)
// as the answer to the read of FFFF.
const QString Handshake1 = "hFF b55 h01 b55";
const QString Handshake2 = "hFF b55 h02 b55";
const QString FromRead1 = "hFF bFF hFF b00 hFF b55 h01 b55";
const QString FromRead2 = "hFF bFF hFF b00 hFF b55 h02 b55";
const QString FromWrite1 = "hFF bFF hFF bFF hFF bFF hFF b55 h01 b55";
const QString FromWrite2 = "hFF bFF hFF bFF hFF bFF hFF b55 h02 b55";

TEST_F(ReadWrite, WordReadWireInReadMode) {
    board.memory().setWord(1020, 0x1234);
    enterRead();
    EXPECT_EQ(link.RSRead("W1020"), "4660");
    EXPECT_EQ(takeTrace(), "h03 b03 hFC b34 h03 b03 hFD b12");
}

TEST_F(ReadWrite, FirstReadHandshakesAndConsecutiveReadsKeepTheMode) {
    board.memory().setWord(1020, 180);
    EXPECT_EQ(link.RSRead("W1020"), "180");
    EXPECT_EQ(takeTrace(), Handshake1 + " h03 b03 hFC bB4 h03 b03 hFD b00");
    EXPECT_EQ(link.RSRead("w1020"), "180"); // cached address, no new handshake
    EXPECT_EQ(takeTrace(), "h03 b03 hFC bB4 h03 b03 hFD b00");
    EXPECT_EQ(link.BoardMode(), 1);
}

TEST_F(ReadWrite, WordWriteWireInWriteMode) {
    enterWrite();
    link.RSWrite("W1020", "300");
    EXPECT_EQ(takeTrace(), "h03 b03 hFC bFC h2C b2C h03 b03 hFD bFD h01 b01");
    EXPECT_EQ(board.memory().word(1020), 300);
    EXPECT_FALSE(link.LastWriteFailed());
}

TEST_F(ReadWrite, ReadAfterWriteAndWriteAfterReadHandshakeAgain) {
    link.RSWrite("B40", "7");
    EXPECT_EQ(takeTrace(), Handshake2 + " h00 b00 h28 b28 h07 b07");
    EXPECT_EQ(link.RSRead("B40"), "7");
    EXPECT_EQ(takeTrace(), FromWrite1 + " h00 b00 h28 b07");
    link.RSWrite("B40", "8");
    EXPECT_EQ(takeTrace(), FromRead2 + " h00 b00 h28 b28 h08 b08");
}

TEST_F(ReadWrite, DoubleWordsAreBaseTenThousandPairs) {
    enterWrite();
    // D1300: a register the simulated machine leaves alone.
    link.RSWrite("D1300", "123456789");
    EXPECT_EQ(takeTrace(),
              "h05 b05 h14 b14 h85 b85 h05 b05 h15 b15 h1A b1A h05 b05 h16 b16 h39 b39 "
              "h05 b05 h17 b17 h30 b30");
    for (int i = 0; i < 4; ++i)
        board.memory().setByte(1200 + i, QByteArray::fromHex("0F270100")[i]);
    EXPECT_EQ(link.RSRead("D1200"), "19999");
    EXPECT_EQ(link.RSRead("D1300"), "123456789");
}

TEST_F(ReadWrite, ValueTextKeepsDigitsAndRoundsTheFractionHalfToEven) {
    const struct {
        const char* text;
        int written;
    } cases[] = {{"1,234", 1234},    {"50%", 50}, {"12.5", 12}, {"13.5", 14}, {"12.51", 13},
                 {"180\u00B0", 180}, {" 7 ", 7},  {"", 0},      {"0.49", 0},  {"1,234.5", 1234}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        link.RSWrite("W1030", QString::fromUtf8(c.text));
        EXPECT_EQ(board.memory().word(1030), c.written);
        EXPECT_FALSE(link.LastWriteRefused());
    }
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(ReadWrite, EntryAlertsRefuseAndSendNothing) {
    enterWrite();
    const struct {
        const char* address;
        const char* value;
        const char* reason;
    } cases[] = {{"W1030", "-5", "Only Numerical Data Allowed."},
                 {"W1030", "12a", "Only Numerical Data Allowed."},
                 {"B40", "256", "Entry out of Range (0-255)."},
                 {"B110.6", "2", "Enter 0 or 1 Only."},
                 {"F858", "1.5", "Enter 0 or 1 Only."}, // 1.5 rounds to 2
                 {"W1030", "65536", "Entry out of Range (0-65,535)."},
                 {"D1300", "655360000", "Entry out of Range (0-655,359,999)."},
                 {"D1300", "99999999999999999999999", "Entry out of Range (0-655,359,999)."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " " + c.value);
        prompt.clear();
        link.RSWrite(c.address, c.value);
        EXPECT_EQ(alerts(),
                  QStringList{QStringLiteral("ENTRY ALERT|Error:\r") + c.reason + "|Critical|Ok"});
        EXPECT_TRUE(link.LastWriteRefused());
        EXPECT_EQ(takeTrace(), "");
    }
    link.RSWrite("D1300", "655359999");
    EXPECT_EQ(board.memory().dword(1300), 655359999);
    EXPECT_FALSE(link.LastWriteRefused());
}

TEST_F(ReadWrite, BitWriteReadsTheByteAndChangesOnlyItsBit) {
    // Byte 310 (0x136): a byte the simulated machine leaves alone.
    board.memory().setByte(310, 0x0F);
    link.RSWrite("B310.6", "1");
    EXPECT_EQ(takeTrace(),
              Handshake1 + " h01 b01 h36 b0F " + FromRead2 + " h01 b01 h36 b36 h4F b4F");
    EXPECT_EQ(board.memory().byte(310), 0x4F);
    link.RSWrite("F858", "1"); // bit 2 of byte 139
    EXPECT_EQ(board.memory().byte(139), 0x04);
    link.RSWrite("B310.0", "0");
    EXPECT_EQ(board.memory().byte(310), 0x4E);
}

TEST_F(ReadWrite, WrongEchoInAWriteRepeatsTheWholeWriteOnce) {
    enterWrite();
    board.faults().wrongEchoAt = board.bytesReceived() + 2; // the first data byte
    link.RSWrite("W1020", "300");
    EXPECT_EQ(takeTrace(), "h03 b03 hFC bFC h2C b2D " + FromWrite2 +
                               " h03 b03 hFC bFC h2C b2C h03 b03 hFD bFD h01 b01");
    EXPECT_EQ(board.memory().word(1020), 300);
    EXPECT_FALSE(link.LastWriteFailed());
    EXPECT_FALSE(link.CommError());
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(ReadWrite, SecondWrongEchoInAWriteIsExposedNotShown) {
    enterWrite();
    board.faults().wrongEchoWhen = [](qint64, quint8 byte) { return byte == 0x2C; };
    link.RSWrite("W1020", "300");
    EXPECT_EQ(takeTrace(), "h03 b03 hFC bFC h2C b2D " + FromWrite2 + " h03 b03 hFC bFC h2C b2D");
    EXPECT_TRUE(link.LastWriteFailed());
    EXPECT_FALSE(link.LastWriteRefused());
    EXPECT_FALSE(link.CommError());
    EXPECT_EQ(link.BoardMode(), 0);
    EXPECT_TRUE(prompt.shown().isEmpty());
    board.faults().wrongEchoWhen = nullptr;
    link.RSWrite("W1020", "301");
    EXPECT_FALSE(link.LastWriteFailed());
    EXPECT_EQ(board.memory().word(1020), 301);
}

TEST_F(ReadWrite, SecondWrongEchoInAReadReturnsZeroAndSaysSo) {
    board.memory().setWord(1020, 180);
    enterRead();
    board.faults().wrongEchoWhen = [](qint64, quint8 byte) { return byte == 0x03; };
    EXPECT_EQ(link.RSRead("W1020"), "0");
    EXPECT_TRUE(link.LastReadFailed());
    EXPECT_FALSE(link.CommError());
    EXPECT_TRUE(prompt.shown().isEmpty());
    board.faults().wrongEchoWhen = nullptr;
    EXPECT_EQ(link.RSRead("W1020"), "180");
    EXPECT_FALSE(link.LastReadFailed());
}

TEST_F(ReadWrite, BitWriteWhoseReadFailsTwiceWritesNothing) {
    board.memory().setByte(310, 0x0F);
    board.faults().wrongEchoWhen = [](qint64, quint8 byte) { return byte == 0x36; };
    link.RSWrite("B310.6", "1");
    EXPECT_TRUE(link.LastWriteFailed());
    EXPECT_EQ(board.memory().byte(310), 0x0F);
}

TEST_F(ReadWrite, WrongEchoInAReadIsRetriedOnceThenReportedAsFailed) {
    board.memory().setWord(1020, 180);
    enterRead();
    board.faults().wrongEchoAt = board.bytesReceived(); // address high echo
    EXPECT_EQ(link.RSRead("W1020"), "180");
    EXPECT_FALSE(link.LastReadFailed());
    EXPECT_EQ(takeTrace(), "h03 b04 " + FromRead1 + " h03 b03 hFC bB4 h03 b03 hFD b00");
}

TEST_F(ReadWrite, ReadWhileCommErrorReturnsZeroWithoutTraffic) {
    link.setCommError(true);
    EXPECT_EQ(link.RSRead("W1020"), "0");
    EXPECT_TRUE(link.LastReadFailed());
    link.RSWrite("W1020", "5");
    EXPECT_TRUE(link.LastWriteFailed());
    EXPECT_EQ(takeTrace(), "");
}

TEST_F(ReadWrite, AddressesThatDoNotResolveSendNothingAndFail) {
    enterRead();
    for (const char* address : {"B70000", "Bx.1", "", "W65535", "1FFFFH"}) {
        SCOPED_TRACE(address);
        EXPECT_EQ(link.RSRead(address), "0");
        EXPECT_TRUE(link.LastReadFailed());
        link.RSWrite(address, "1");
        EXPECT_TRUE(link.LastWriteFailed());
        EXPECT_FALSE(link.LastWriteRefused());
        EXPECT_EQ(takeTrace(), "");
    }
    EXPECT_FALSE(link.CommError());
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(ReadWrite, EveryAddressReadsAndWritesIncludingTheTopPage) {
    const int addresses[] = {0, 32, 255, 256, 0xEFF0, 0xFEFF, 0xFF00, 0xFF55, 0xFFFE, 0xFFFF};
    for (int a : addresses) {
        SCOPED_TRACE(a);
        const int value = (a * 7 + 3) & 0xFF;
        link.RSWrite("B" + QString::number(a), QString::number(value));
        ASSERT_FALSE(link.LastWriteFailed());
        EXPECT_EQ(board.memory().byte(a), value);
        EXPECT_EQ(link.RSRead("B" + QString::number(a)), QString::number(value));
        ASSERT_FALSE(link.LastReadFailed());
    }
    // 255 as address and data bytes in a row, then the other mode.
    link.RSWrite("B65535", "255");
    link.RSWrite("B65535", "255");
    link.RSWrite("B65279", "255");
    EXPECT_EQ(link.RSRead("B65535"), "255");
    EXPECT_EQ(link.RSRead("B65535"), "255");
    EXPECT_EQ(link.RSRead("B65279"), "255");
    EXPECT_EQ(link.RSRead("W65534"), QString::number(((0xFFFE * 7 + 3) & 0xFF) + 255 * 256));
    EXPECT_EQ(board.memory().byte(0xFEFF), 255);
    link.RSWrite("W1020", "300");
    EXPECT_EQ(board.memory().word(1020), 300);
    EXPECT_FALSE(link.CommError());
}

TEST_F(ReadWrite, IdentBlockReads) {
    EXPECT_EQ(link.RSRead("EFF0H"), QString::number('C'));
    QByteArray ident;
    for (int a = 61424; a < 61432; ++a)
        ident.append(char(link.RSRead("B" + QString::number(a)).toInt()));
    EXPECT_EQ(ident, "CUPR2700");
}

} // namespace
