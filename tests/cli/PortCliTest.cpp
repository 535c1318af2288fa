// telvane-cli find and port: the board looked for on pseudo-terminals, and
// the port settings file read and written from the command line.
#include "CliFixture.h"

#include <QDir>
#include <QFile>

namespace {

using PortCli = CliFixture;

TEST_F(PortCli, FindPrintsEachBoardWithItsSpeedAndReportsPortsItCannotOpen) {
    startBoard({"--baud", "9600"});
    BoardProcess fast({"--baud", "19200"});
    ASSERT_TRUE(fast.started());
    auto r = run({"find", pty, "/dev/telvane-no-such-port", fast.pty()}, false);
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, pty + " 9600\n" + fast.pty() + " 19200\n");
    EXPECT_EQ(r.err, "telvane-cli: /dev/telvane-no-such-port: does not exist\n");

    board.reset(); // its pseudo-terminal is gone
    r = run({"find", "/dev/null"}, false);
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, "telvane-cli: /dev/null: not a serial port: Inappropriate ioctl for device\n"
                     "telvane-cli: No port could be opened: /dev/null (not a serial port: "
                     "Inappropriate ioctl for device).\n");
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST_F(PortCli, PortSavesAsTheWindowDoesAndRefusesBadValuesWithoutWriting) {
    const QString file = home.filePath("Support/RSPort.cfg");
    QDir(home.path()).mkpath("KOR96");
    auto r = run({"port", "3", "19200", "/dev/null"}, false);
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "file=" + file + "\nport=3\nbaud=19200\ndevice=/dev/null\n");
    EXPECT_EQ(Contents(file), "3, 19200 ,/dev/null\r\n");
    EXPECT_EQ(Contents(home.filePath("KOR96/KORVEL.SFG")), "2\r\n");

    for (const QStringList& bad : {QStringList{"port", "0", "9600"},
                                   {"port", "3", "4800"},
                                   {"port", "3", "9600", "/dev/telvane-no-such-port"},
                                   {"port", "3", "9600", file},
                                   {"port", "3"}}) {
        r = run(bad, false);
        EXPECT_EQ(r.exit, 2) << bad.join(' ').toStdString();
        EXPECT_EQ(Contents(file), "3, 19200 ,/dev/null\r\n") << bad.join(' ').toStdString();
    }
    r = run({"port", "3", "9600", file}, false);
    EXPECT_EQ(r.err, "telvane-cli: " + file +
                         " is not a character device: a serial port is one.\ntelvane-cli: Try "
                         "'telvane-cli --help'.\n");

    r = run({"port", "7", "9600"}, false);
    EXPECT_EQ(r.out, "file=" + file + "\nport=7\nbaud=9600\ndevice=/dev/ttyS6\n");
    EXPECT_EQ(Contents(file), "7, 9600 \r\n");
}

TEST_F(PortCli, TheUsersSettingsFileWins) {
    writeFile("Support/RSPort.cfg", "2,9600\r\n");
    auto r = run({"port"}, false);
    EXPECT_EQ(r.out, "file=" + home.filePath("Support/RSPort.cfg") +
                         "\nport=2\nbaud=9600\ndevice=/dev/ttyS1\n");
    writeFile(".config/telvane/RSPort.cfg", "5, 19200 \r\n");
    r = run({"port"}, false);
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "file=" + home.filePath(".config/telvane/RSPort.cfg") +
                         "\nport=5\nbaud=19200\ndevice=/dev/ttyS4\n");
}

TEST_F(PortCli, FindRightAfterTheBoardWasUsedFindsItAtItsSpeed) {
    startBoard({"--baud", "19200"});
    ASSERT_EQ(run({"--baud", "19200", "read", "W1020"}).exit, 0);
    const auto r = run({"find", pty}, false);
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, pty + " 19200\n");
}

} // namespace
