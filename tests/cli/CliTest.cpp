// telvane-cli against telvane-boardsim over a real pseudo-terminal.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString binDir = QStringLiteral(TELVANE_BIN_DIR);

class Cli : public ::testing::Test {
protected:
    void startBoard(const QStringList& args = {}) {
        board.setProgram(binDir + "/telvane-boardsim");
        board.setArguments(args);
        board.start();
        ASSERT_TRUE(board.waitForStarted(5000));
        ASSERT_TRUE(board.waitForReadyRead(5000));
        pty = QString::fromLocal8Bit(board.readLine()).trimmed();
        ASSERT_TRUE(pty.startsWith("/dev/"));
    }
    void TearDown() override {
        if (board.state() != QProcess::NotRunning) {
            board.terminate();
            board.waitForFinished(5000);
        }
    }
    struct Result {
        int exit;
        QString out;
        QString err;
    };
    Result run(const QStringList& args, bool withDevice = true) {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TELVANE_HOME", home.path());
        cli.setProcessEnvironment(env);
        cli.start(binDir + "/telvane-cli",
                  (withDevice ? QStringList{"--device", pty} : QStringList{}) + args);
        EXPECT_TRUE(cli.waitForFinished(30000));
        return {cli.exitCode(), QString::fromLocal8Bit(cli.readAllStandardOutput()),
                QString::fromLocal8Bit(cli.readAllStandardError())};
    }

    QProcess board;
    QString pty;
    QTemporaryDir home;
};

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
    EXPECT_EQ(r.out, "Fault Code (12H): --- Fault File Not Found ---\n");
    QDir(home.path()).mkpath("support");
    QFile::copy(binDir + "/support/FaultErrCodes.txt", home.filePath("support/FaultErrCodes.txt"));
    r = run({"fault"});
    EXPECT_TRUE(r.out.startsWith("Fault Code (12H): ")) << r.out.toStdString();
    EXPECT_GT(r.out.size(), QString("Fault Code (12H): \n").size());
}

TEST_F(Cli, PortSettingsFileNamesTheDevice) {
    startBoard({"--baud", "19200"});
    QDir(home.path()).mkpath("Support");
    QFile cfg(home.filePath("Support/RSPort.cfg"));
    ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
    cfg.write(("1, 19200 ," + pty + "\r\n").toLocal8Bit());
    cfg.close();
    const auto r = run({"read", "W1026"}, false);
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "100\n");
}

TEST_F(Cli, RefusedEntryAndUsageErrorsExitTwo) {
    startBoard();
    auto r = run({"write", "B110.6", "2"});
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "ENTRY ALERT: Error:\nEnter 0 or 1 Only.\n");
    EXPECT_EQ(run({"frobnicate"}).exit, 2);
    EXPECT_EQ(run({"read"}).exit, 2);
    EXPECT_EQ(run({"--baud", "4800", "read", "W0"}).exit, 2);
    EXPECT_EQ(run({"--help"}, false).exit, 0);
}

TEST_F(Cli, LinkFailuresExitOne) {
    startBoard({"--silent-after", "0"});
    auto r = run({"read", "W1020"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(
        r.err.startsWith("WARNING - Communication Error!: Cannot Communicate with Target Board.\n"))
        << r.err.toStdString();
    r = run({"--device", "/nonexistent/tty", "firmware"}, false);
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.startsWith("Comm Port Error: Error Number = ")) << r.err.toStdString();
}

TEST_F(Cli, ReadOfAnAddressThatDoesNotResolveFails) {
    startBoard();
    const auto r = run({"read", "W1020", "B70000"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "180\n"); // the first address, then the failure
}

} // namespace
