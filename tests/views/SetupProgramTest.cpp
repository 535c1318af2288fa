// The set-up parameters view in the telvane program itself, against
// telvane-boardsim over a pseudo-terminal, driven by a script (TELVANE_DRIVE).
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString binDir = QStringLiteral(TELVANE_BIN_DIR);

TEST(SetupProgram, ReadsTheBoardAndWritesUpDownClicksOverARealPort) {
    QProcess board;
    board.start(binDir + "/telvane-boardsim", {});
    ASSERT_TRUE(board.waitForStarted(5000));
    ASSERT_TRUE(board.waitForReadyRead(5000));
    const QString pty = QString::fromLocal8Bit(board.readLine()).trimmed();
    ASSERT_TRUE(pty.startsWith("/dev/"));

    QTemporaryDir home;
    QDir(home.path()).mkpath("Support");
    QFile cfg(home.filePath("Support/RSPort.cfg"));
    ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
    cfg.write(("1,19200," + pty + "\r\n").toLocal8Bit());
    cfg.close();
    const QStringList steps{"key F3", "waitfor MODE ONLINE", "click mnuWindowForm1",
                            "waitfor txtSetup4 250", "print frmSetup", "print txtSetup0",
                            "print txtSetup3", "print txtSetup5",
                            // Up and back down: the board and memory end as they began.
                            "click updSetup3Up", "waitfor txtSetup3 101", "print txtSetup3",
                            "click updSetup3Down", "waitfor txtSetup3 100", "print txtSetup3",
                            // Offline: memory, where the clicks were stored too.
                            "key F4", "waitfor MODE OFFLINE", "wait 300", "print txtSetup0",
                            "print txtSetup3", "close"};
    QFile drive(home.filePath("drive.txt"));
    ASSERT_TRUE(drive.open(QIODevice::WriteOnly));
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
    EXPECT_EQ(telvane.exitCode(), 0);
    board.terminate();
    board.waitForFinished(5000);

    const QStringList out =
        QString::fromUtf8(telvane.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QString deg = QString(QChar(0x00B0));
    const QStringList expected{"frmSetup=Set-Up",   "txtSetup0=180" + deg, "txtSetup3=100",
                               "txtSetup5=-",       "txtSetup3=101",       "txtSetup3=100",
                               "txtSetup0=0" + deg, "txtSetup3=100"};
    EXPECT_EQ(out, expected) << out.join('\n').toStdString();
}

} // namespace
