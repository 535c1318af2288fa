// Where the port settings live: the program folder while it can be written,
// the user's configuration folder when it cannot or when the user has a file
// there.
#include "SettingsLocation.h"
#include "Clock.h"
#include "PortSettingsFile.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"
#include "SimSerialPort.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SettingsLocationTest : public ::testing::Test {
protected:
    SettingsLocationTest() : m_saved(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    }
    ~SettingsLocationTest() override { qputenv("XDG_CONFIG_HOME", m_saved); }

    QString userFile() const { return config.filePath(QStringLiteral("telvane/RSPort.cfg")); }
    QByteArray contents(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir config;
    QTemporaryDir program;

private:
    QByteArray m_saved;
};

// Nobody can create files in /proc, whatever the permission bits say.
const QString Unwritable = QStringLiteral("/proc");

TEST_F(SettingsLocationTest, TheUsersFileWinsAndTakesOverWhereTheProgramFolderIsClosed) {
    EXPECT_EQ(SettingsLocation::userPortSettings(), userFile());
    EXPECT_EQ(SettingsLocation::portSettingsFile(program.path()),
              program.filePath(QStringLiteral("Support/RSPort.cfg")));
    EXPECT_EQ(SettingsLocation::portSettingsFile(Unwritable), userFile());

    ASSERT_TRUE(PortSettingsFile::write(userFile(), {3, QStringLiteral("19200"), {}}));
    EXPECT_EQ(SettingsLocation::portSettingsFile(program.path()), userFile());
}

TEST_F(SettingsLocationTest, AnInstalledLinkWritesItsDefaultsIntoTheUsersFolder) {
    ScriptedPrompt prompt;
    VirtualClock clock;
    BoardSimulator board;
    SimSerialPort port(board, clock);
    RSComm link(prompt, clock, Unwritable);
    EXPECT_EQ(link.CommSettingsFile(), userFile());
    link.OpenRSComm(port);
    EXPECT_TRUE(link.OnlineMode());
    EXPECT_EQ(contents(userFile()), "1,9600\r\n");
}

} // namespace
