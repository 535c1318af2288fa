// The Comm Port Settings window on the simulated board: the exact bytes of the
// settings file and of KORVEL.SFG, the port box's checks, the device list, and
// going online again after Save. And the Set-up Passcode command.
#include "AppFixture.h"
#include "WhenShown.h"
#include "frmSetupComm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

namespace {

QList<SerialPortEntry> FixedPorts() {
    return {{QStringLiteral("/dev/ttyS0"), QStringLiteral("ttyS0"), {}, false},
            {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"),
             QStringLiteral("USB 0403:6001"), true}};
}

class CommSettings : public AppFixture {
protected:
    void SetUp() override { startMainWindow(); }
    ~CommSettings() override { form.reset(); }

    QString path(const QString& relative) const { return folder.filePath(relative); }
    void writeSettings(const QByteArray& bytes) {
        QFile file(path("Support/RSPort.cfg"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray contents(const QString& relative) const {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void open() {
        form = std::make_unique<frmSetupComm>(main->context(), FixedPorts, main.get());
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    template <typename T> T* child(const char* name) const {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* portBox() const { return child<QLineEdit>("txtCommPort"); }
    QComboBox* devices() const { return child<QComboBox>("cboDevice"); }
    void choose(int speed, const QString& port) {
        child<QRadioButton>(speed == 19200 ? "optPortSpeed1" : "optPortSpeed0")->click();
        portBox()->setText(port);
    }
    void save() { child<QPushButton>("cmdSave")->click(); }

    std::unique_ptr<frmSetupComm> form;
};

TEST_F(CommSettings, SavesThePrintedLineAndKorvelFilesInExistingFoldersOnly) {
    writeSettings("2,9600\r\n");
    QDir(folder.path()).mkpath("KOR51");
    QDir(folder.path()).mkpath("zuz51"); // found whatever its case
    QFile old(path("zuz51/korvel.sfg"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("7\r\nold\r\n");
    old.close();
    open();
    EXPECT_EQ(form->windowTitle(), "Comm Port Settings");
    EXPECT_EQ(portBox()->text(), "2");
    EXPECT_TRUE(child<QRadioButton>("optPortSpeed0")->isChecked());
    EXPECT_EQ(devices()->currentIndex(), 0); // by port number
    choose(19200, "3");
    save();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(contents("Support/RSPort.cfg"), QByteArray("3, 19200 \r\n"));
    EXPECT_EQ(contents("KOR51/KORVEL.SFG"), QByteArray("2\r\n"));
    EXPECT_EQ(contents("zuz51/korvel.sfg"), QByteArray("2\r\n")); // replaced as a whole
    EXPECT_EQ(QDir(path("zuz51")).entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(path("KOR96")));
    EXPECT_FALSE(QFileInfo::exists(path("KORVEL.SFG")));
    EXPECT_FALSE(QFileInfo::exists(path("Support/KORVEL.SFG")));
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_FALSE(main->link().OnlineMode()); // offline before, offline after
}

TEST_F(CommSettings, KeepsTheDeviceOfTheFileAndWritesTheChosenOne) {
    // The fixture's file names the simulator's device, which the system does not list.
    open();
    ASSERT_EQ(devices()->count(), 4);
    EXPECT_EQ(devices()->currentData().toString(), "SIM");
    EXPECT_EQ(devices()->itemText(2), "/dev/ttyUSB0 - FT232R USB UART (USB 0403:6001)");
    choose(19200, "3");
    save();
    EXPECT_EQ(contents("Support/RSPort.cfg"), QByteArray("3, 19200 ,SIM\r\n"));

    open();
    devices()->setCurrentIndex(devices()->findData(QStringLiteral("/dev/ttyUSB0")));
    choose(9600, "4");
    save();
    EXPECT_EQ(contents("Support/RSPort.cfg"), QByteArray("4, 9600 ,/dev/ttyUSB0\r\n"));

    open();
    EXPECT_EQ(devices()->currentData().toString(), "/dev/ttyUSB0");
    EXPECT_EQ(devices()->count(), 3); // listed: no entry of its own
    devices()->setCurrentIndex(0);
    save();
    EXPECT_EQ(contents("Support/RSPort.cfg"), QByteArray("4, 9600 \r\n"));
}

TEST_F(CommSettings, ShowsThePermissionHintForADeviceThisUserMayNotOpen) {
    writeSettings("1, 9600 ,/dev/ttyUSB0\r\n");
    open();
    QLabel* hint = child<QLabel>("lblDeviceHint");
    EXPECT_EQ(devices()->currentIndex(), 2);
    EXPECT_FALSE(hint->isHidden());
    EXPECT_TRUE(hint->text().startsWith("Your user may not use /dev/ttyUSB0."))
        << hint->text().toStdString();
    devices()->setCurrentIndex(1); // /dev/ttyS0
    EXPECT_TRUE(hint->isHidden());
    devices()->setCurrentIndex(0); // port 1 by number is /dev/ttyS0 too
    EXPECT_TRUE(hint->isHidden());
}

// A long device text scrolls in its box: the window is as wide as ever.
TEST_F(CommSettings, KeepsItsWidthWhateverTheDeviceText) {
    open();
    const int width = form->width();
    writeSettings("1, 9600 ,/dev/serial/by-id/usb-" + QByteArray(200, 'x') + "\r\n");
    open();
    ASSERT_TRUE(devices()->currentData().toString().endsWith("xxx"));
    EXPECT_EQ(form->width(), width);
}

TEST_F(CommSettings, ClampsThePortOfTheFileAndReadsAnyOtherSpeedAs9600) {
    writeSettings("0, 4800 \r\n");
    open();
    EXPECT_EQ(portBox()->text(), "1");
    EXPECT_TRUE(child<QRadioButton>("optPortSpeed0")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("optPortSpeed1")->isChecked());
    writeSettings("250,19200\r\n");
    open();
    EXPECT_EQ(portBox()->text(), "99");
    EXPECT_TRUE(child<QRadioButton>("optPortSpeed1")->isChecked());
    writeSettings("");
    open();
    EXPECT_EQ(portBox()->text(), "1");
    EXPECT_TRUE(child<QRadioButton>("optPortSpeed0")->isChecked());
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(CommSettings, RefusesAPortOutOfRangeAndSavesNothingThen) {
    writeSettings("5, 9600 \r\n");
    open();
    QTest::mouseClick(portBox(), Qt::LeftButton);
    QTest::keyClicks(portBox(), "100");
    QTest::keyClick(portBox(), Qt::Key_Tab);
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Comm Port");
    EXPECT_EQ(prompt.shown()[0].text, "Only a Number Between 1 and 99 can be Entered");
    EXPECT_EQ(prompt.shown()[0].icon, Prompt::Icon::Information);
    EXPECT_EQ(portBox()->text(), "5");
    EXPECT_TRUE(QTest::qWaitFor([this] { return portBox()->hasFocus(); }));

    // Save checks the box first: a refusal saves nothing and keeps the window.
    prompt.clear();
    portBox()->selectAll();
    QTest::keyClicks(portBox(), "x");
    save();
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Comm Port");
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(contents("Support/RSPort.cfg"), QByteArray("5, 9600 \r\n"));

    // The arrows step within 1..99.
    portBox()->setText("99");
    QTest::mouseClick(form->findChild<QWidget*>("updCommPortUp"), Qt::LeftButton);
    EXPECT_EQ(portBox()->text(), "99");
    QTest::mouseClick(form->findChild<QWidget*>("updCommPortDown"), Qt::LeftButton);
    EXPECT_EQ(portBox()->text(), "98");
}

TEST_F(CommSettings, CancelWritesNothingAndLeavesTheLinkAlone) {
    goOnline();
    QDir(folder.path()).mkpath("KOR96");
    open();
    EXPECT_TRUE(form->WasOnline());
    const int opens = port.opens();
    takeTrace();
    choose(9600, "7");
    child<QPushButton>("cmdCancel")->click();
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(contents("Support/RSPort.cfg"), QByteArray("1, 19200 ,SIM\r\n"));
    EXPECT_FALSE(QFileInfo::exists(path("KOR96/KORVEL.SFG")));
    EXPECT_TRUE(main->link().OnlineMode());
    EXPECT_EQ(port.opens(), opens);
    EXPECT_EQ(takeTrace(), "");
}

TEST_F(CommSettings, SaveWhileOnlineReopensTheLink) {
    goOnline();
    open();
    const int opens = port.opens();
    choose(9600, "2");
    save();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(port.opens(), opens + 1);
    EXPECT_EQ(port.settings().baud, "9600");
    EXPECT_EQ(port.settings().device, "SIM");
    EXPECT_TRUE(main->link().OnlineMode());
    EXPECT_EQ(panelText("MODE"), "ONLINE");
}

TEST_F(CommSettings, SaveWhileOnlineWithASilentBoardKeepsTheWindowOpenAndGoesOffline) {
    goOnline();
    open();
    board.faults().silentFromByte = board.bytesReceived();
    choose(19200, "3");
    save();
    EXPECT_TRUE(form->isVisible());
    EXPECT_NE(form->result(), QDialog::Accepted);
    EXPECT_FALSE(main->link().OnlineMode());
    EXPECT_EQ(panelText("MODE"), "OFFLINE");
    EXPECT_FALSE(action("mnuEditPasscode")->isEnabled());
    ASSERT_FALSE(prompt.shown().isEmpty());
    EXPECT_EQ(prompt.shown().back().title, "WARNING - Communication Error!");
    // The settings were saved all the same: they apply at the next going online.
    EXPECT_EQ(contents("Support/RSPort.cfg"), QByteArray("3, 19200 ,SIM\r\n"));
}

TEST_F(CommSettings, ReportsASettingsFileThatCannotBeWritten) {
    QFile::remove(path("Support/RSPort.cfg"));
    QDir(folder.path()).mkpath("Support/RSPort.cfg"); // a folder where the file belongs
    QDir(folder.path()).mkpath("KOR51");
    open();
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "SetupComm CurrentSettings");
    EXPECT_TRUE(prompt.shown()[0].text.startsWith("Error Number = "));
    EXPECT_EQ(portBox()->text(), "1");
    save();
    ASSERT_EQ(prompt.shown().size(), 2);
    EXPECT_EQ(prompt.shown()[1].title, "SetupComm");
    EXPECT_TRUE(prompt.shown()[1].text.startsWith("Error Number = "));
    EXPECT_EQ(prompt.shown()[1].icon, Prompt::Icon::Information);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(QFileInfo::exists(path("KOR51/KORVEL.SFG")));
}

TEST_F(CommSettings, CtrlMOpensTheWindowModally) {
    QString shown;
    WhenShown<QDialog> user([&](QDialog* dialog) {
        if (dialog == QApplication::activeModalWidget())
            shown = dialog->objectName() + u'|' + dialog->windowTitle();
        dialog->reject();
    });
    action("mnuEditCommPort")->trigger();
    EXPECT_EQ(shown, "frmSetupComm|Comm Port Settings");
    EXPECT_EQ(action("mnuEditCommPort")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
}

class Passcode : public AppFixture {
protected:
    void SetUp() override {
        startMainWindow();
        board.memory().setWord(1038, 1234);
    }
    int passcode() { return board.memory().word(1038); }
    void run() { action("mnuEditPasscode")->trigger(); }
};

TEST_F(Passcode, IsUnavailableOffline) {
    EXPECT_FALSE(action("mnuEditPasscode")->isEnabled());
    run();
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(passcode(), 1234);
}

TEST_F(Passcode, CancelAndABlankAnswerWriteNothing) {
    goOnline();
    ASSERT_TRUE(action("mnuEditPasscode")->isEnabled());
    prompt.queueInput(std::nullopt);
    prompt.queueInput(QString());
    prompt.queueInput(QStringLiteral("  "));
    for (int i = 0; i < 3; ++i)
        run();
    ASSERT_EQ(prompt.shown().size(), 3);
    for (const auto& shown : prompt.shown()) {
        EXPECT_EQ(shown.title, "Keypad Set-up Passcode");
        EXPECT_EQ(shown.text, "Please Enter New Passcode (0-65535)");
        EXPECT_EQ(shown.defaultText, "1234");
    }
    EXPECT_EQ(passcode(), 1234);
    EXPECT_TRUE(main->link().OnlineMode());
}

TEST_F(Passcode, WritesTheAnswerAsTheLinkWritesEveryValue) {
    goOnline();
    prompt.queueInput(QStringLiteral("4321"));
    run();
    EXPECT_EQ(passcode(), 4321);

    prompt.queueInput(QStringLiteral("12.5")); // a decimal point is no digit: rounded
    run();
    EXPECT_EQ(passcode(), 12);
    EXPECT_EQ(prompt.shown().back().defaultText, "4321");

    prompt.clear();
    prompt.queueInput(QStringLiteral("70000"));
    run();
    ASSERT_EQ(prompt.shown().size(), 2);
    EXPECT_EQ(prompt.shown()[1].title, "ENTRY ALERT");
    EXPECT_EQ(prompt.shown()[1].text, "Error:\rEntry out of Range (0-65,535).");
    EXPECT_EQ(passcode(), 12);
}

TEST_F(Passcode, OffersNoPresetWhenTheReadFails) {
    goOnline();
    board.faults().silentFromByte = board.bytesReceived();
    run();
    ASSERT_GE(prompt.shown().size(), 2);
    EXPECT_EQ(prompt.shown().front().title, "WARNING - Communication Error!");
    EXPECT_EQ(prompt.shown().back().title, "Keypad Set-up Passcode");
    EXPECT_EQ(prompt.shown().back().defaultText, "");
}

} // namespace
