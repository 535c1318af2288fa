// The Comm Port Settings window finding the board: the search against
// telvane-boardsim on a pseudo-terminal, the typed device, and the status
// line's pointer to the search after going online failed.
#include "AppFixture.h"
#include "BoardProcess.h"
#include "Ser2netProcess.h"
#include "SilentPty.h"
#include "frmSetupComm.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTest>

namespace {

class FindBoard : public AppFixture {
protected:
    void SetUp() override { startMainWindow(); }
    ~FindBoard() override { form.reset(); }

    void open() {
        form = std::make_unique<frmSetupComm>(
            main->context(), [this] { return ports; }, main.get());
        form->show();
    }
    template <typename T> T* child(const char* name) const {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    QByteArray settingsFile() const {
        QFile file(folder.filePath("Support/RSPort.cfg"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QList<SerialPortEntry> ports;
    std::unique_ptr<frmSetupComm> form;
};

TEST_F(FindBoard, FillsInThePortAndSpeedTheBoardAnsweredAtAndSavesOnlyOnSave) {
    BoardProcess board9600({"--baud", "9600"});
    ASSERT_TRUE(board9600.started());
    SilentPty silent;
    ports = {{silent.path(), "silent", {}, false}};
    open();
    ports.append({board9600.pty(), "board", {}, false});
    child<QPushButton>("cmdRefresh")->click();
    ASSERT_GT(child<QComboBox>("cboDevice")->findData(board9600.pty()), 0);

    auto* find = child<QPushButton>("cmdFindBoard");
    EXPECT_EQ(find->text(), "&Find Board");
    find->click();
    EXPECT_EQ(find->text(), "&Stop Search");
    EXPECT_FALSE(child<QPushButton>("cmdSave")->isEnabled());
    ASSERT_TRUE(pumpUntil([&] { return !form->Searching(); }, 60000));
    EXPECT_EQ(find->text(), "&Find Board");
    EXPECT_EQ(child<QLabel>("lblSearch")->text(),
              "Board found on " + board9600.pty() +
                  " at 9600 baud; Save keeps it.\nNot opened: SIM (does not exist)");
    EXPECT_EQ(form->ChosenDevice(), board9600.pty());
    EXPECT_TRUE(child<QRadioButton>("optPortSpeed0")->isChecked());
    EXPECT_EQ(settingsFile(), "1, 19200 ,SIM\r\n");
    child<QPushButton>("cmdSave")->click();
    EXPECT_EQ(settingsFile(), "1, 9600 ," + board9600.pty().toLocal8Bit() + "\r\n");
}

TEST_F(FindBoard, IsDisabledOnlineAndTheStatusLinePointsToItWhenGoingOnlineFails) {
    goOnline();
    open();
    EXPECT_FALSE(child<QPushButton>("cmdFindBoard")->isEnabled());
    form.reset();
    action("mnuViewOffline")->trigger();

    board.faults().silentFromByte = board.bytesReceived();
    action("mnuViewOnline")->trigger(); // the Retry question is answered Cancel
    EXPECT_EQ(panelText("MODE"), "OFFLINE");
    EXPECT_EQ(panelText("STATUS"),
              "System Message:  Comm Fault with K2700  (Comm Port: Find Board)");
}

TEST_F(FindBoard, TheStatusLinePointsToItWhenThePortIsNotThereEither) {
    // The adapter came back under another name: the settings' one is gone.
    port.failOpen(1, "No such file or directory (/dev/ttyUSB0 does not exist)");
    QTest::keyClick(main.get(), Qt::Key_F3);
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Comm Port Error");
    EXPECT_EQ(panelText("MODE"), "OFFLINE");
    EXPECT_EQ(panelText("STATUS"),
              "System Message:  Comm Fault with K2700  (Comm Port: Find Board)");
}

TEST_F(FindBoard, RefusesATypedPathThatIsNoCharacterDeviceAndSavesNothing) {
    open();
    auto* devices = child<QComboBox>("cboDevice");
    const QString notFile = folder.filePath("Support/RSPort.cfg");
    for (const QString& typed : {QStringLiteral("/dev/telvane-no-such-port"), notFile}) {
        devices->setEditText(typed);
        child<QPushButton>("cmdSave")->click();
        EXPECT_TRUE(form->isVisible());
    }
    ASSERT_EQ(prompt.shown().size(), 2);
    EXPECT_EQ(prompt.shown()[0].title, "Comm Port");
    EXPECT_EQ(prompt.shown()[0].text, "The device /dev/telvane-no-such-port does not exist.");
    EXPECT_EQ(prompt.shown()[1].text,
              notFile + " is not a character device: a serial port is one.");
    EXPECT_EQ(settingsFile(), "1, 19200 ,SIM\r\n");

    devices->setEditText("/dev/null"); // a character device, if not a port
    child<QPushButton>("cmdSave")->click();
    EXPECT_EQ(settingsFile(), "1, 19200 ,/dev/null\r\n");
}

TEST_F(FindBoard, ATypedServerAddressIsCheckedForItsFormThenByConnectingOnSave) {
    QTcpServer server; // a raw TCP server takes the connection
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const quint16 nobody = Ser2netProcess::freePort();
    open();
    auto* devices = child<QComboBox>("cboDevice");
    for (const QString& typed : {QString("socket://127.0.0.1"), QString("rfc2217://::1:3001"),
                                 QString("socket://127.0.0.1:%1").arg(nobody)}) {
        devices->setEditText(typed);
        child<QPushButton>("cmdSave")->click();
        EXPECT_TRUE(form->isVisible());
    }
    ASSERT_EQ(prompt.shown().size(), 3);
    EXPECT_EQ(prompt.shown()[0].text,
              "socket://127.0.0.1 is not a serial device server: write socket://HOST:PORT or "
              "rfc2217://HOST:PORT (an IPv6 address in brackets, as in [::1])");
    EXPECT_TRUE(prompt.shown()[1].text.startsWith("rfc2217://::1:3001 is not a serial device"));
    EXPECT_EQ(prompt.shown()[2].text, QString("Cannot reach socket://127.0.0.1:%1: connection "
                                              "refused by 127.0.0.1:%1.")
                                          .arg(nobody));
    EXPECT_EQ(settingsFile(), "1, 19200 ,SIM\r\n");

    const QString reachable = QString("socket://127.0.0.1:%1").arg(server.serverPort());
    devices->setEditText(reachable);
    child<QPushButton>("cmdSave")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(settingsFile(), "1, 19200 ," + reachable.toLatin1() + "\r\n");
}

} // namespace
