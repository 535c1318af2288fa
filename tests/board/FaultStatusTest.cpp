// The fault tab's reading against the in-process board: the six slots, the
// tables (last record wins), the corrective action and a board that stops
// answering.
#include "FaultStatus.h"
#include "LinkFixture.h"

namespace {

class FaultStatusTest : public LinkFixture {
protected:
    FaultStatusTest() {
        writeProgramFile(
            "support/FaultErrCodes.txt",
            "00,No Fault\r\n0A,Guard door open\r\n12,First text\r\n"
            "  12 , \"Second, later text\"\r\n42,Board silent\r\n0a,Guard door (last)\r\n");
        writeProgramFile("support/CommErrCodes.txt",
                         "00,No comm error\r\n02,Checksum\r\n42,No link\r\n");
        goOnline();
    }
    void setCodes(int current, int last, int slot, int commCurrent, int commLast) {
        auto& m = board.memory();
        m.setByte(8176, current);
        m.setByte(8177, last);
        m.setByte(8175, slot);
        m.setByte(8179, commCurrent);
        m.setByte(8178, commLast);
    }
    FaultStatus read(bool coCpu = false) {
        FaultStatusReader reader(link, programFolder());
        EXPECT_TRUE(reader.ReadAll(coCpu));
        return reader.status();
    }
    // Reads of byte 8175 in the trace ("h1F b1F hEF b.."): address high 0x1F, low 0xEF.
    int coCpuReads() { return int(takeTrace().count(QStringLiteral("h1F b1F hEF"))); }
};

TEST_F(FaultStatusTest, AllZeroShowsNoneAndLeavesResetDisabled) {
    setCodes(0, 0, 0, 0, 0);
    const FaultStatus s = read();
    EXPECT_EQ(s.label(0), "Current Fault: Code = 00H");
    EXPECT_EQ(s.label(1), "Last Fault: Code = 00H");
    EXPECT_EQ(s.label(4), "Current Comm Error: Code = 00H");
    EXPECT_EQ(s.label(5), "Last Comm Error: Code = 00H");
    EXPECT_EQ(s.correctiveAction, "None");
    EXPECT_FALSE(s.resetEnabled);
    EXPECT_EQ(s.description[0], "No Fault");
    EXPECT_EQ(s.description[4], "No comm error");
}

TEST_F(FaultStatusTest, CorrectiveActionFollowsTheLastFaultOnly) {
    setCodes(0, 0x0A, 0, 0, 0);
    FaultStatus s = read();
    EXPECT_TRUE(s.resetEnabled);
    EXPECT_EQ(s.codeText[1], "0A");
    EXPECT_TRUE(s.correctiveAction.startsWith("Replace CO-CPU board at \"CO-CPU Slot\" and try "
                                              "again.  If fault persists, peplace R8050"));
    // Two records for 0A (one spelled 0a): the later one wins.
    EXPECT_EQ(s.description[1], "Guard door (last)");

    setCodes(0x12, 0, 0, 0, 0);
    s = read();
    EXPECT_TRUE(s.resetEnabled);
    EXPECT_EQ(s.correctiveAction, "None");
    EXPECT_EQ(s.description[0], "Second, later text");

    // The CO-CPU slot alone never enables Reset Faults.
    setCodes(0, 0, 7, 0, 0);
    EXPECT_FALSE(read().resetEnabled);
    setCodes(0, 0, 0, 0, 2);
    EXPECT_TRUE(read().resetEnabled);
}

TEST_F(FaultStatusTest, CorrectiveActionTable) {
    EXPECT_EQ(FaultStatus::CorrectiveAction(0x45),
              "User program executed an sfunc09() system fault function call.  See User program "
              "for details on source of fault and corrective action.");
    EXPECT_EQ(FaultStatus::CorrectiveAction(0x5C),
              "Program is invalid.  Re-dump program to target board.  If fault persists, verify "
              "cable connections between computer and target board.  If fault persists, replace "
              "target board.");
    EXPECT_EQ(FaultStatus::CorrectiveAction(0x5D), FaultStatus::CorrectiveAction(0x5C));
    EXPECT_EQ(FaultStatus::CorrectiveAction(0x7A),
              "Reset fault and try again.  If fault persists, replace target board and try "
              "again.  See Korvel Manual for more details.");
    EXPECT_EQ(FaultStatus::CorrectiveAction(0x40), FaultStatus::CorrectiveAction(0x7A));
    EXPECT_EQ(FaultStatus::CorrectiveAction(0x7B), "None");
    EXPECT_EQ(FaultStatus::CorrectiveAction(0xFF), "None");
    EXPECT_EQ(FaultStatus::CorrectiveAction(0x3F), FaultStatus::CorrectiveAction(0x01));
    EXPECT_EQ(FaultStatus::CorrectiveAction(0x42),
              "Verify connection of cable between computer \"COM\" port and target board \"PROG "
              "PORT\".  Verify cable wiring and connectors.  If fault persists, replace target "
              "board and/or try a different computer.");
}

TEST_F(FaultStatusTest, CoCpuSlotIsReadAgainOnlyWhereItShows) {
    setCodes(0, 0, 9, 0, 0);
    takeTrace();
    FaultStatus s = read(false);
    EXPECT_EQ(coCpuReads(), 1);
    s = read(true);
    EXPECT_EQ(coCpuReads(), 2);
    EXPECT_EQ(s.label(2), "CO-CPU Slot: 9");
}

TEST_F(FaultStatusTest, CodesAbsentFromTheTablesLeaveNoDescription) {
    setCodes(0x33, 0x33, 0, 0x05, 0x05);
    const FaultStatus s = read();
    EXPECT_FALSE(s.description[0].has_value());
    EXPECT_FALSE(s.description[5].has_value());
}

TEST_F(FaultStatusTest, MissingTablesGiveNoDescriptionAndNoMessage) {
    QFile::remove(programFolder() + "/support/FaultErrCodes.txt");
    QFile::remove(programFolder() + "/support/CommErrCodes.txt");
    setCodes(0x12, 0x12, 0, 0, 0);
    const FaultStatus s = read();
    EXPECT_FALSE(s.description[0].has_value());
    EXPECT_TRUE(prompt.shown().isEmpty());
}

// The board stops answering after the first slot: every slot after it is
// that of a board that does not answer, 42, with the cable-check action, and
// nothing can be reset.
TEST_F(FaultStatusTest, SilentBoardReadsAsCode42) {
    setCodes(0, 0x0A, 3, 0, 0);
    board.faults().silentFromByte = board.bytesReceived() + 4;
    FaultStatusReader reader(link, programFolder());
    ASSERT_TRUE(reader.ReadAll(true));
    const FaultStatus& s = reader.status();
    EXPECT_TRUE(link.CommError());
    EXPECT_EQ(s.label(0), "Current Fault: Code = 00H");
    EXPECT_EQ(s.label(1), "Last Fault: Code = 42H");
    EXPECT_EQ(s.label(2), "CO-CPU Slot: 66");
    EXPECT_EQ(s.label(5), "Last Comm Error: Code = 42H");
    EXPECT_EQ(s.description[1], "Board silent");
    EXPECT_EQ(s.description[4], "No link");
    EXPECT_EQ(s.correctiveAction, FaultStatus::CorrectiveAction(0x42));
    EXPECT_FALSE(s.resetEnabled);
}

TEST_F(FaultStatusTest, ReadingBrokenOffFillsTheRestWith42) {
    FaultStatusReader reader(link, programFolder());
    reader.Begin(false);
    ASSERT_TRUE(reader.Step());
    ASSERT_TRUE(reader.FinishUnread());
    EXPECT_TRUE(reader.Done());
    EXPECT_EQ(reader.status().codeText[0], "45");
    EXPECT_EQ(reader.status().codeText[3], "42");
    EXPECT_EQ(reader.status().correctiveAction, FaultStatus::CorrectiveAction(0x42));
}

} // namespace
