// telvane-cli against telvane-boardsim over a real pseudo-terminal.
#include "CliFixture.h"

#include <QDir>
#include <QFile>

namespace {

using Cli = CliFixture;

TEST_F(Cli, ReadsWritesAndReportsTheBoard) {
    startBoard();
    auto r = run({"write", "W1020", "300"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    r = run({"read", "W1020", "B8159", "EFF0H", "B65535"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "300\n23\n67\n0\n");
    r = run({"firmware"});
    EXPECT_EQ(r.out, "23\n");
    r = run({"fault"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "Fault Code (45H): --- Fault File Not Found ---\n");
    QDir(home.path()).mkpath("support");
    QFile::copy(BuildProgram("support/FaultErrCodes.txt"),
                home.filePath("support/FaultErrCodes.txt"));
    r = run({"fault"});
    EXPECT_TRUE(r.out.startsWith("Fault Code (45H): ")) << r.out.toStdString();
    EXPECT_GT(r.out.size(), QString("Fault Code (45H): \n").size());
}

// At full speed the position passes from byte 255 to 256 three times a
// second; a low byte read apart from its high byte prints 510 or 511.
TEST_F(Cli, ReadPrintsAPositionThatMovesUnderItWhole) {
    startBoard({"--baud", "19200", "--cycle-at", "20"});
    const auto r = run(QStringList{"--baud", "19200", "read"} + QStringList(600, "W180"));
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    int crossings = 0;
    for (int i = 0; i < r.lines().size(); ++i) {
        EXPECT_LE(r.lines()[i].toInt(), 359);
        crossings += i > 0 && r.lines()[i - 1].toInt() < 256 && r.lines()[i].toInt() >= 256;
    }
    EXPECT_GE(crossings, 3); // the machine did turn past the boundary
}

TEST_F(Cli, PortSettingsFileNamesTheDevice) {
    startBoard({"--baud", "19200"});
    writeFile("Support/RSPort.cfg", ("1, 19200 ," + pty + "\r\n").toLocal8Bit());
    const auto r = run({"read", "W1026"}, false);
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "100\n");
}

TEST_F(Cli, RefusedEntryAndUsageErrorsExitTwo) {
    startBoard();
    auto r = run({"write", "B110.6", "2"});
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "telvane-cli: ENTRY ALERT: Error:\nEnter 0 or 1 Only.\n");
    EXPECT_EQ(run({"frobnicate"}).exit, 2);
    EXPECT_EQ(run({"read"}).exit, 2);
    EXPECT_EQ(run({"--baud", "4800", "read", "W0"}).exit, 2);
    EXPECT_EQ(run({"--help"}, false).exit, 0);
}

TEST_F(Cli, LinkFailuresExitOne) {
    startBoard({"--silent-after", "0"});
    auto r = run({"read", "W1020"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.startsWith(
        "telvane-cli: WARNING - Communication Error!: Cannot Communicate with Target Board.\n"))
        << r.err.toStdString();
    r = run({"--device", "/nonexistent/tty", "firmware"}, false);
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.startsWith("telvane-cli: Comm Port Error: Error Number = "))
        << r.err.toStdString();
}

} // namespace
