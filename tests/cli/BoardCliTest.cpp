// telvane-cli's target board commands against telvane-boardsim.
#include "CliFixture.h"

namespace {

class BoardCli : public CliFixture {
protected:
    void SetUp() override {
        startBoard();
        writeFile("support/FaultErrCodes.txt",
                  "45,System fault call\r\n0A,Guard door open\r\n0a,Guard door "
                  "(last record)\r\n42,Board silent\r\n");
        writeFile("support/CommErrCodes.txt", "00,No comm error\r\n02,\"Checksum, bad\"\r\n");
    }
    QString project(const QByteArray& code) {
        writeFile("P.kvl", code + "\r\n");
        writeFile("P.rev", "CUPPER01:;03\r\n");
        // Boards "8" to "A" carry configuration digits.
        writeFile("P.lcf", "E" + QByteArray(34, '0') + "300" + "33000%\r\n");
        return home.filePath("P.kvl");
    }
};

const QString CoCpuAction =
    "Replace CO-CPU board at \"CO-CPU Slot\" and try again.  If fault persists, peplace R8050 "
    "processor board and try again.  If fault persists, verify proper use of \"sfunc05/06/12\" in "
    "user program.";

TEST_F(BoardCli, StatusWithoutProjectIsBoardD) {
    const auto r = run({"board-status"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              "Current Fault: Code = 45H\tSystem fault call\n"
              "Last Fault: Code = 0AH\tGuard door (last record)\n"
              "Current Comm Error: Code = 00H\tNo comm error\n"
              "Last Comm Error: Code = 02H\tChecksum, bad\n"
              "Corrective Action:\t" +
                  CoCpuAction +
                  "\n"
                  "In Target Board:\nName:\tCUPR2700\nRevision:\t4\nChecksum:\t58\n"
                  "On Disk:\nName:\t-\nRevision:\t0\nChecksum:\t0\nTarget Board:\tK2700(PLC)\n"
                  "Rev Date:\t-\n"
                  "Current Network Address 1:\t05\n");
}

TEST_F(BoardCli, StatusFollowsTheProjectsBoard) {
    auto r = run({"board-status", project("2")});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.contains("\nLast Fault: Code = 0AH\tGuard door (last record)\nCO-CPU Slot: 3\n"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("On Disk:\nName:\tCUPPER01\nRevision:\t3\nChecksum:\t171\n"
                               "Target Board:\tR8050\n"));
    EXPECT_FALSE(r.out.contains("Target Board Time:"));

    r = run({"board-status", project("A")});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("\nCO-CPU Slot: "));
    EXPECT_TRUE(r.out.contains("Current Network Address 1:\t05\nCurrent Network Address 2:\t06\n"
                               "Target Board Time:\t09 : "))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Target Board Date:\t03 - 14 - 26\n"));

    // A project the download refuses is refused here too.
    // A project the download refuses is refused here too: the download's
    // words, then what they meant for this command.
    r = run({"board-status", project("1")});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.contains("incompatible with target board.")) << r.err.toStdString();
    EXPECT_TRUE(r.err.endsWith("Halted!\ntelvane-cli: board-status did not read the board: the "
                               "project " +
                               home.filePath("P.kvl") + " was refused\n"))
        << r.err.toStdString();
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(run({"board-status", home.filePath("none.kvl")}).exit, 2);
}

TEST_F(BoardCli, ResetFaultsIsTheConfirmation) {
    auto r = run({"reset-faults"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(
        r.err,
        "telvane-cli: WARNING - Fault Code Reset!: Target Board will be reinitialized.\n\nDo you "
        "wish to continue?\n");
    r = run({"board-status"});
    EXPECT_TRUE(r.out.startsWith("Current Fault: Code = 00H\t\nLast Fault: Code = 00H\t\n"
                                 "Current Comm Error: Code = 00H\tNo comm error\n"
                                 "Last Comm Error: Code = 00H\tNo comm error\n"
                                 "Corrective Action:\tNone\n"))
        << r.out.toStdString();
}

TEST_F(BoardCli, ClockSetWritesTheComputersClock) {
    const auto r = run({"clock-set"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    const QDate today = QDate::currentDate();
    const QString date = QString("%1 - %2 - %3")
                             .arg(today.month(), 2, 10, QChar('0'))
                             .arg(today.day(), 2, 10, QChar('0'))
                             .arg(today.year() % 100, 2, 10, QChar('0'));
    const auto status = run({"board-status", project("6")});
    EXPECT_TRUE(status.out.contains("Target Board Date:\t" + date + "\n"))
        << status.out.toStdString();
}

TEST_F(BoardCli, AWriteRejectedEarlyInTheSequenceFailsTheCommand) {
    board.reset();
    startBoard({"--reject-writes-to", "8179"});
    auto r = run({"reset-faults"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.contains("B8179 not written")) << r.err.toStdString();
    EXPECT_TRUE(run({"board-status"}).out.startsWith("Current Fault: Code = 00H")); // went on

    board.reset();
    startBoard({"--reject-writes-to", "43010"});
    r = run({"clock-set"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.contains("B43010 not written")) << r.err.toStdString();
}

TEST_F(BoardCli, SilentBoardReadsAsCode42) {
    board.reset();
    startBoard({"--silent-after", "5"});
    const auto r = run({"board-status"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.out.startsWith("Current Fault: Code = 45H\tSystem fault call\n"
                                 "Last Fault: Code = 42H\tBoard silent\n"
                                 "Current Comm Error: Code = 42H\t\n"
                                 "Last Comm Error: Code = 42H\t\n"
                                 "Corrective Action:\tVerify connection of cable between computer "
                                 "\"COM\" port"))
        << r.out.toStdString();
}

} // namespace
