#include "LinkFixture.h"
#include "PortSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

TEST_F(PortSettingsTest, SomethingUnreadableAtThePathIsNeverReplaced) {
    // A folder in the file's place, and a link that leads to itself: neither
    // can be read, and a careless writer would replace the link.
    QDir(programFolder()).mkpath("Support/RSPort.cfg/kept");
    link.OpenRSComm(port);
    EXPECT_TRUE(link.OnlineMode());
    EXPECT_EQ(port.settings().portNumber, 1);
    EXPECT_EQ(port.settings().baud, "9600");
    EXPECT_TRUE(QFileInfo(link.CommSettingsFile() + "/kept").isDir());
    link.CloseRSComm();

    QDir(programFolder()).rmpath("Support/RSPort.cfg/kept");
    QDir(programFolder()).mkpath("Support");
    const QString path = link.CommSettingsFile();
    ASSERT_TRUE(QFile::link(path, path));
    EXPECT_EQ(PortSettingsFile::state(path), PortSettingsFile::FileState::Unreadable);
    link.OpenRSComm(port);
    EXPECT_TRUE(link.OnlineMode());
    EXPECT_EQ(QFileInfo(path).symLinkTarget(), path);
}

TEST_F(PortSettingsTest, SettingsOfTheCallerLeaveTheFileAlone) {
    link.OpenRSComm(port, {4, "19200", "/dev/pts/9"});
    EXPECT_EQ(port.settings().portNumber, 4);
    EXPECT_EQ(port.settings().baud, "19200");
    EXPECT_EQ(port.settings().device, "/dev/pts/9");
    EXPECT_FALSE(QFileInfo::exists(link.CommSettingsFile()));
    EXPECT_EQ(PortSettingsFile::state(link.CommSettingsFile()),
              PortSettingsFile::FileState::Missing);
}
