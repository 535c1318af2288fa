// The real serial layer on a pseudo-terminal, which refuses the low-latency
// request that USB adapters get: the refusal must cost nothing.
#include "QtSerialPort.h"
#include "Clock.h"
#include "PortSettingsFile.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"
#include "ServedBoard.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

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
