#include "LinkFixture.h"
#include "PortSettingsFile.h"

#include <QFile>

using PortSettingsTest = LinkFixture;

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

TEST_F(PortSettingsTest, MissingFileIsCreatedWithTheDefaults) {
    link.OpenRSComm(port);
    EXPECT_TRUE(link.OnlineMode());
    EXPECT_EQ(link.CommSettingsFile(), programFolder() + "/Support/RSPort.cfg");
    EXPECT_EQ(readAll(link.CommSettingsFile()), "1,9600\r\n");
    EXPECT_EQ(port.settings().portNumber, 1);
    EXPECT_EQ(port.settings().baud, "9600");
}

TEST_F(PortSettingsTest, EmptyFileIsReplacedByTheDefaults) {
    writeProgramFile("Support/RSPort.cfg", "");
    link.OpenRSComm(port);
    EXPECT_EQ(readAll(link.CommSettingsFile()), "1,9600\r\n");
}

TEST_F(PortSettingsTest, ReadsPortBaudAndDevice) {
    writeProgramFile("support/RSPort.cfg", "3, 19200 ,/dev/pts/3\n");
    link.OpenRSComm(port);
    EXPECT_EQ(link.CommSettingsFile(), programFolder() + "/support/RSPort.cfg");
    EXPECT_EQ(port.settings().portNumber, 3);
    EXPECT_EQ(port.settings().baud, "19200");
    EXPECT_EQ(port.settings().device, "/dev/pts/3");
    EXPECT_EQ(readAll(link.CommSettingsFile()), "3, 19200 ,/dev/pts/3\n"); // left as it was
}

TEST_F(PortSettingsTest, FallsBackOnUnsupportedBaudAndClampsThePort) {
    const struct {
        const char* line;
        int port;
        const char* baud;
    } cases[] = {{"4, 4800\r\n", 4, "9600"}, {"0,19200", 1, "19200"},
                 {"250,9600", 99, "9600"},   {"-7", 1, "9600"},
                 {"COM2,19200", 1, "19200"}, {"2,\"19200\"", 2, "19200"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        writeProgramFile("Support/RSPort.cfg", c.line);
        link.OpenRSComm(port);
        EXPECT_EQ(port.settings().portNumber, c.port);
        EXPECT_EQ(port.settings().baud, c.baud);
        link.CloseRSComm();
    }
}

TEST(PortSettingsFile, WritesTheDeviceOnlyWhenSet) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Support/RSPort.cfg");
    ASSERT_TRUE(PortSettingsFile::write(path, {2, "19200", {}}));
    EXPECT_EQ(readAll(path), "2,19200\r\n");
    ASSERT_TRUE(PortSettingsFile::write(path, {2, "19200", "/dev/ttyUSB0"}));
    EXPECT_EQ(readAll(path), "2,19200,/dev/ttyUSB0\r\n");
    const auto back = PortSettingsFile::read(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->device, "/dev/ttyUSB0");
}
