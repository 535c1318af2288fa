#include "BoardSimulator.h"

#include <gtest/gtest.h>

namespace {

QByteArray feed(BoardSimulator& board, const QByteArray& bytes) {
    QByteArray out;
    for (const char c : bytes)
        out += board.receive(quint8(c), 0);
    return out;
}

TEST(BoardSimulator, AnswersNothingOutsideATransaction) {
    BoardSimulator board;
    EXPECT_EQ(feed(board, QByteArray::fromHex("0301")), QByteArray());
    EXPECT_EQ(feed(board, QByteArray::fromHex("FF")), QByteArray::fromHex("55"));
    EXPECT_EQ(feed(board, QByteArray::fromHex("FF")),
              QByteArray::fromHex("55")); // repeated attention
    EXPECT_EQ(feed(board, QByteArray::fromHex("07")), QByteArray::fromHex("00")); // unknown mode
    EXPECT_EQ(board.mode(), BoardSimulator::Mode::Idle);
}

TEST(BoardSimulator, AttentionFromReadModeAfterARecordOf255s) {
    BoardSimulator board;
    board.memory().setByte(0xFFFF, 0x42);
    feed(board, QByteArray::fromHex("FF01"));
    EXPECT_EQ(feed(board, QByteArray::fromHex("FFFF")),
              QByteArray::fromHex("FF42"));                                       // read of FFFF
    EXPECT_EQ(feed(board, QByteArray::fromHex("FF")), QByteArray::fromHex("55")); // attention
    EXPECT_EQ(board.mode(), BoardSimulator::Mode::Attention);
}

TEST(BoardSimulator, WriteOf255ToFfffIsKeptOnlyWhenAnotherWriteFollows) {
    BoardSimulator board;
    feed(board, QByteArray::fromHex("FF02"));
    EXPECT_EQ(feed(board, QByteArray::fromHex("FFFFFF")), QByteArray::fromHex("FFFFFF"));
    EXPECT_EQ(board.memory().byte(0xFFFF), 0);
    EXPECT_EQ(feed(board, QByteArray::fromHex("000807")), QByteArray::fromHex("000807"));
    EXPECT_EQ(board.memory().byte(0xFFFF), 0xFF);
    EXPECT_EQ(board.memory().byte(0x0008), 7);
    feed(board, QByteArray::fromHex("FFFFFF"));
    EXPECT_EQ(feed(board, QByteArray::fromHex("FF")), QByteArray::fromHex("55"));
}

TEST(BoardSimulator, ProgramLoadingNeedsArming) {
    BoardSimulator board;
    EXPECT_EQ(feed(board, QByteArray::fromHex("FF03")), QByteArray::fromHex("5500"));
    EXPECT_EQ(board.mode(), BoardSimulator::Mode::Idle);
    // Arming by a write of 86 to B8181; from write mode the next 255 is attention.
    EXPECT_EQ(feed(board, QByteArray::fromHex("FF02 1FF5 56")), QByteArray::fromHex("5555 1FF556"));
    EXPECT_EQ(feed(board, QByteArray::fromHex("FFFF03")), QByteArray::fromHex("555555"));
    EXPECT_EQ(board.mode(), BoardSimulator::Mode::ProgramLoad);
}

TEST(BoardSimulator, ProgramRecordsAreAnsweredWithTheirSum) {
    BoardSimulator board;
    board.memory().setByte(8181, 86);
    feed(board, QByteArray::fromHex("FF03"));
    EXPECT_EQ(feed(board, QByteArray::fromHex("03200001")), QByteArray());
    EXPECT_EQ(feed(board, QByteArray::fromHex("0203")), QByteArray::fromHex("29"));
    EXPECT_EQ(board.memory().byte(0x2002), 3);
    EXPECT_EQ(board.program().records(), 1);
    EXPECT_EQ(feed(board, QByteArray::fromHex("FF")), QByteArray::fromHex("55"));
    EXPECT_EQ(board.memory().byte(8181), 0); // loading over: disarmed
    EXPECT_EQ(board.mode(), BoardSimulator::Mode::Attention);
}

TEST(BoardSimulator, ProgramFaultsBadSumAndSilence) {
    BoardSimulator board;
    board.memory().setByte(8181, 86);
    board.faults().programBadSumRecord = 1;
    board.faults().programSilentFromRecord = 2;
    feed(board, QByteArray::fromHex("FF03"));
    EXPECT_EQ(feed(board, QByteArray::fromHex("01000005")), QByteArray::fromHex("06"));
    EXPECT_EQ(feed(board, QByteArray::fromHex("01000105")), QByteArray::fromHex("08"));
    EXPECT_EQ(feed(board, QByteArray::fromHex("01000205")), QByteArray());
    EXPECT_EQ(feed(board, QByteArray::fromHex("FF")), QByteArray());
}

TEST(BoardSimulator, InjectedFaults) {
    BoardSimulator board;
    board.faults().garbageAt = 0;
    EXPECT_EQ(feed(board, QByteArray::fromHex("FF")), QByteArray::fromHex("5513 37A5"));
    board.faults().wrongEchoAt = 1;
    EXPECT_EQ(feed(board, QByteArray::fromHex("01")), QByteArray::fromHex("56"));
    board.faults().silentFromByte = 2;
    EXPECT_EQ(feed(board, QByteArray::fromHex("FFFF01")), QByteArray());
}

TEST(BoardSimulator, PowersUpAsAPlausibleBoard) {
    BoardSimulator board;
    EXPECT_EQ(board.memory().byte(8159), 23);
    EXPECT_NE(board.memory().byte(8176), 0);
    EXPECT_EQ(board.memory().word(1026), 100);
    EXPECT_EQ(board.memory().word(1024), 300);
    EXPECT_EQ(board.memory().byte(4011), 10);
}

TEST(BoardSimulator, TheMachineCountsStrokesAsTimePasses) {
    BoardSimulator board;
    board.advanceTo(1'000'000);  // the machine's cycle starts here
    board.advanceTo(21'000'000); // 20 s in: running at full speed
    const qint64 before = board.memory().dword(1100);
    board.advanceTo(51'000'000); // half a minute at 180 strokes a minute
    EXPECT_NEAR(double(board.memory().dword(1100) - before), 90.0, 1.0);
}

} // namespace
