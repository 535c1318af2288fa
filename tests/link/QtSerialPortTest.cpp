// The real serial layer on a pseudo-terminal, which refuses the low-latency
// request that USB adapters get: the refusal must cost nothing; and what it
// says when a port cannot be opened.
#include "QtSerialPort.h"
#include "Clock.h"
#include "LinkFixture.h"
#include "PortSettingsFile.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"
#include "SerialAccess.h"
#include "ServedBoard.h"
#include "SilentPty.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

TEST(QtSerialPortTest, RefusedLowLatencyLeavesThePortWorking) {
    ServedBoard served;
    ASSERT_TRUE(served.opened());
    QTemporaryDir home;
    ASSERT_TRUE(PortSettingsFile::write(home.filePath(QStringLiteral("Support/RSPort.cfg")),
                                        {1, QStringLiteral("19200"), served.pty()}));
    ScriptedPrompt prompt;
    SteadyClock clock;
    RSComm link(prompt, clock, home.path());
    QtSerialPort port;

    link.OpenRSComm(port);
    ASSERT_TRUE(link.OnlineMode());
    EXPECT_EQ(port.portName(), served.pty());
    EXPECT_FALSE(port.lowLatency()); // a pseudo-terminal has no such setting

    link.RSWrite(QStringLiteral("W1020"), QStringLiteral("300"));
    EXPECT_FALSE(link.LastWriteFailed());
    EXPECT_EQ(link.RSRead(QStringLiteral("W1020")), QStringLiteral("300"));
    EXPECT_FALSE(link.CommError());
    EXPECT_TRUE(prompt.shown().empty());

    // Opened again, as after a change of settings: asked and refused again.
    link.CloseRSComm();
    link.OpenRSComm(port);
    EXPECT_TRUE(link.OnlineMode());
    EXPECT_FALSE(port.lowLatency());
    EXPECT_EQ(link.RSRead(QStringLiteral("W1020")), QStringLiteral("300"));
    link.CloseRSComm();
}

// What stands in the way of opening a port, after the serial layer's words:
// a device that is no serial port, a lock file another program holds (here
// this test program).
TEST(QtSerialPortTest, ANonSerialDeviceAndAHeldLockSayWhatStandsInTheWay) {
    EnsureCoreApplication(); // the lock file names its program
    QtSerialPort port;
    EXPECT_FALSE(port.open({1, QStringLiteral("9600"), QStringLiteral("/dev/null")}));
    EXPECT_EQ(port.errorString(),
              "Inappropriate ioctl for device\n\n/dev/null is not a serial port.");

    SilentPty pty;
    QLockFile held(SerialAccess::lockFile(pty.path()));
    ASSERT_TRUE(held.tryLock());
    EXPECT_FALSE(port.open({1, QStringLiteral("9600"), pty.path()}));
    EXPECT_EQ(
        port.errorString(),
        QStringLiteral("Permission error while locking the device\n\nThe lock file %1 is held "
                       "by process %2 (%3) of the user \"%4\": end that program, or wait "
                       "until it has closed the port.")
            .arg(held.fileName())
            .arg(QCoreApplication::applicationPid())
            .arg(QCoreApplication::applicationName(), getpwuid(getuid())->pw_name));
}
