// telvane-cli's PLS and project commands against telvane-boardsim over a real
// pseudo-terminal.
#include "CliFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

namespace {

using PlsCli = CliFixture;

TEST_F(PlsCli, ProgramsRecallsAndClearsChannels) {
    startBoard({"--raise-alarm", "3"}); // a machine that stands: the offset can be set
    auto r = run({"pls-read", "scale"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "360\n");
    r = run({"pls-setpoint", "3", "10", "20"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(run({"pls-recall", "3"}).out, "1 10\n");
    EXPECT_EQ(run({"pls-recall", "3"}).out, "0 20\n");
    EXPECT_EQ(run({"pls-pulse", "5", "10", "20", "7"}).exit, 0);
    EXPECT_EQ(run({"pls-recall", "5"}).out, "3 7\n");
    EXPECT_EQ(run({"pls-clear", "3"}).exit, 0);
    r = run({"pls-recall", "3"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "2 0\n");
    r = run({"pls-offset", "0"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    for (const char* word : {"offset", "pos", "rpm"}) {
        r = run({"pls-read", word});
        EXPECT_EQ(r.exit, 0) << word;
        EXPECT_FALSE(r.out.trimmed().isEmpty()) << word;
    }
}

TEST_F(PlsCli, ConfigurationGoesDownAndComesBack) {
    startBoard();
    QStringList download = {"pls-config-download", "720"};
    for (int i = 0; i < 24; ++i)
        download.append(QString::number(i + 1));
    auto r = run(download);
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    r = run({"pls-config"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "19 1 2 3 4 5 7 8 9 10 11 12 13 14 15 16 17 18 20\n");
    EXPECT_EQ(run({"pls-read", "scale"}).out, "720\n");
    download[5] = "256"; // out of range: nothing is sent
    r = run(download);
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(run({"pls-config"}).out, "19 1 2 3 4 5 7 8 9 10 11 12 13 14 15 16 17 18 20\n");
}

TEST_F(PlsCli, RefusalsAndUsageErrorsExitTwo) {
    startBoard();
    auto r = run({"pls-pulse", "5", "10", "25", "0"});
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err,
              "telvane-cli: PLS Pulse Train: ON Division Plus OFF Division\nMust be a Multiple of "
              "360.\n\nPLS Channel will not be Programmed.\n");
    // A scale factor above 360 lets the board take 360; the window does not.
    ASSERT_EQ(run(QStringList{"pls-config-download", "720"} + QStringList(24, "0")).exit, 0);
    r = run({"pls-setpoint", "1", "360", "0"});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.startsWith(
        "telvane-cli: ON setpoint 360: Only a Number Between 0 and 359 can be Entered\n"))
        << r.err.toStdString();
    EXPECT_EQ(run({"pls-offset", "400"}).exit, 2);
    EXPECT_EQ(run({"pls-recall", "8"}).exit, 2); // the window's channels are 0..7
    EXPECT_EQ(run({"pls-read", "speed"}).exit, 2);
    EXPECT_EQ(run({"pls-setpoint", "1", "2"}).exit, 2);
    EXPECT_EQ(run({"pls-setpoint", "a", "b", "c"}).exit, 2);
    EXPECT_EQ(run({"pls-config", "1"}).exit, 2);
    EXPECT_EQ(run({"pls-config-download", "360", "1"}).exit, 2);
}

TEST_F(PlsCli, RefusesWhatTheWindowsRefuseBeforeAnyTraffic) {
    startBoard({"--silent-after", "0"}); // any traffic would fail the link (exit 1)
    const struct {
        QStringList args;
        QString text;
    } cases[] = {
        {{"pls-setpoint", "7", "10", "10"}, "ON Setpoint cannot Equal OFF Setpoint"},
        {{"pls-setpoint", "8", "10", "20"}, "Only a Number Between 0 and 7 can be Entered"},
        {{"pls-setpoint", "7", "10", "360"}, "Only a Number Between 0 and 359 can be Entered"},
        {{"pls-clear", "8"}, "Only a Number Between 0 and 7 can be Entered"},
        {{"pls-offset", "360"}, "Only a Number Between 0 and 359 can be Entered"},
        {{"write", "1FF4H", "33"}, "Only a Number Between 1 and 32 can be Entered"}, // B8180
        {{"write", "W1020", "400"}, "Only a Number Between 0 and 359 can be Entered"},
        {{"write", "W1026", "900"}, "Only a Number Between 0 and 899 can be Entered"},
        {{"write", "B1018.0", "2"}, "Only a Number Between 0 and 1 can be Entered"},
        // An address that overlaps a field's register names the field's own.
        {{"write", "W8179", "0"}, "W8179 would also change B8180 (Current Network Address 1)"},
        {{"write", "B1018", "0"}, "B1018 would also change B1018.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const auto r = run(c.args);
        EXPECT_EQ(r.exit, 2);
        EXPECT_TRUE(r.err.startsWith("telvane-cli: ") && r.err.contains(c.text))
            << r.err.toStdString();
    }
}

TEST_F(PlsCli, TheOffsetIsSetOnlyWhileTheMachineStands) {
    startBoard(); // stands for its first seconds, then inches and runs
    QElapsedTimer safety;
    safety.start();
    ProcessResult r;
    do
        r = run({"pls-offset", "10"});
    while (r.exit == 0 && safety.elapsed() < 60000);
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.startsWith("telvane-cli: the machine is turning (")) << r.err.toStdString();
}

TEST_F(PlsCli, BusyPlsFailsTheLink) {
    startBoard({"--pls-stays-busy"});
    const auto r = run({"pls-clear", "3"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err,
              "telvane-cli: WARNING - Communication Error!: Cannot Determine PLS READY Mode Within "
              "Target Board.\ntelvane-cli: pls-clear failed: the link to the board failed "
              "on " +
                  pty + " (from --device)\n");
}

TEST_F(PlsCli, RefusedByteFailsTheCommand) {
    startBoard({"--pls-refuse-byte", "0"});
    EXPECT_EQ(run({"pls-clear", "3"}).exit, 2);
    EXPECT_EQ(run({"pls-recall", "3"}).exit, 2);
    EXPECT_EQ(run({"pls-read", "scale"}).out, "360\n"); // reads are not acknowledged bytes
}

TEST_F(PlsCli, ProjectNeedsNoLink) {
    writeFile("CUP.kvl", "8\r\n");
    writeFile("CUP.rev", "CUPR27003:04\r\n");
    writeFile("CUP.lcf", "F" + QByteArray(34, '0') + "2001" + "3000%\r\n");
    auto r = run({"project", home.filePath("CUP.kvl")}, false);
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "valid=true\ncode=8\nboard=R8160\nident=CUPR2700\nchecksum=58\nrevision=4\n"
                     "configA=2\nconfigB=1\nconfigC=3\n");
    writeFile("PLS.kvl", "E\r\n");
    r = run({"project", home.filePath("PLS.kvl")}, false);
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.out.startsWith("valid=false\ncode=E\nboard=K2700(PLS)\nident=Unknown\n"));
    EXPECT_TRUE(r.err.startsWith(
        "telvane-cli: PLS Program Download: PLS file is a PLS target board program."));
    EXPECT_TRUE(r.err.endsWith(
        "telvane-cli: project only checks the file: nothing was sent to the board\n"));
    EXPECT_EQ(run({"project", home.filePath("NONE.kvl")}, false).exit, 2);
}

} // namespace
