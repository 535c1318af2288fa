// The telvane program itself against telvane-boardsim over a pseudo-terminal,
// driven by a script of key presses and clicks (TELVANE_DRIVE).
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString binDir = QStringLiteral(TELVANE_BIN_DIR);

class Program : public ::testing::Test {
protected:
    void startBoard(const QStringList& args) {
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
    // Runs telvane with the steps; its standard output, one line each.
    QStringList run(const QStringList& steps, int& exitCode) {
        QDir(home.path()).mkpath("Support");
        QFile cfg(home.filePath("Support/RSPort.cfg"));
        EXPECT_TRUE(cfg.open(QIODevice::WriteOnly));
        cfg.write(("1,19200," + pty + "\r\n").toLocal8Bit());
        cfg.close();
        QFile drive(home.filePath("drive.txt"));
        EXPECT_TRUE(drive.open(QIODevice::WriteOnly));
        drive.write(steps.join('\n').toUtf8());
        drive.close();

        QProcess telvane;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TELVANE_HOME", home.path());
        env.insert("TELVANE_DRIVE", drive.fileName());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        telvane.setProcessEnvironment(env);
        telvane.start(binDir + "/telvane");
        EXPECT_TRUE(telvane.waitForFinished(60000));
        exitCode = telvane.exitCode();
        return QString::fromUtf8(telvane.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    QProcess board;
    QString pty;
    QTemporaryDir home;
};

TEST_F(Program, GoesOnlineShowsTheMachineAndItsAlarmsResetsThemAndExits) {
    startBoard({"--baud", "19200", "--raise-alarm", "2:7"});
    int exitCode = -1;
    const QStringList out = run(
        {"print frmMDIMain", "print MODE", "wait 600", "print STATUS",
         // Online with F3; values and the alarm arrive.
         "key F3", "waitfor MODE ONLINE", "waitfor STATUS Faults Active in PLC",
         "waitfor txtMessageDisplay Cup Jam Station: 7", "waitfor lblDisplay4 12",
         "print lblDisplay0", "print lblDisplay2", "print lblDisplay5", "print txtMessageDisplay",
         // Alarm Reset by its access key.
         "key Alt+R", "waitfor STATUS All Faults Normal", "waitfor txtMessageDisplay System Normal",
         "print txtMessageDisplay",
         // Offline by a double click on the mode panel, then exit.
         "dblclick MODE", "waitfor MODE OFFLINE", "wait 600", "print STATUS", "print lblDisplay0",
         "close"},
        exitCode);
    EXPECT_EQ(exitCode, 0);
    const QString deg = QString(QChar(0x00B0));
    const QStringList expected{
        "frmMDIMain=TELVANE - [unnamed]",
        "MODE=OFFLINE",
        "STATUS=System Message:  Program is Currently OFFLINE",
        "lblDisplay0=0", // a jam stops the machine
        "lblDisplay2=1,234,567",
        "lblDisplay5=27" + deg,
        "txtMessageDisplay=***** SYSTEM ALARM *****\\n Cup Jam Station: 7\\n\\n",
        "txtMessageDisplay=-- System Normal --\\nSet-up Program is Currently ONLINE",
        "STATUS=System Message:  Program is Currently OFFLINE",
        "lblDisplay0=-"};
    EXPECT_EQ(out, expected) << out.join('\n').toStdString();
}

} // namespace
