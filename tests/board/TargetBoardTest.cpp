// The Target Board Interface on the simulated board: opening from the menu,
// the pages by board, Reset Faults, the fields under the editing protocol,
// the Set buttons and the ways the window closes.
#include "AppFixture.h"
#include "BoardTraffic.h"
#include "FaultStatus.h"
#include "ScriptedFileDialogs.h"
#include "TargetBoardCommand.h"
#include "UpDown.h"
#include "WhenShown.h"
#include "frmTargetBoard.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

class TargetBoard : public AppFixture {
protected:
    TargetBoard() {
        QDir(folder.path()).mkpath("support");
        writeFile("support/FaultErrCodes.txt",
                  "45,System fault call\r\n0A,Guard door open\r\n42,Board silent\r\n");
        writeFile("support/CommErrCodes.txt", "00,No comm error\r\n02,Checksum error\r\n");
        startMainWindow();
        main->context().setFileDialogs(dialogs);
        InstallBoardCommands(main->context(), main.get());
    }
    ~TargetBoard() override {
        if (window) {
            window->loop().Stop();
            delete window;
        }
    }
    void writeFile(const QString& name, const QByteArray& content) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QString project(const QByteArray& code) {
        writeFile("P.kvl", code + "\r\n");
        writeFile("P.rev", "CUPPER01:;03\r\n");
        return folder.filePath("P.kvl");
    }
    // The window for the project, shown (modal) and through its first pass.
    void open(const QString& kvl = {}) {
        window = new frmTargetBoard(main->context(), main.get());
        window->setClock([this] { return now(); });
        ASSERT_TRUE(window->PrepareForm(kvl));
        window->show();
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        ASSERT_TRUE(passes(1));
    }
    bool passes(int n) { return RunPasses(window->loop(), n); }
    template <typename T = QWidget> T* find(const QString& name) const {
        return window->findChild<T*>(name);
    }
    QString text(const QString& name) const {
        if (auto* l = find<QLabel>(name))
            return l->text();
        if (auto* e = find<QLineEdit>(name))
            return e->text();
        if (auto* t = find<QPlainTextEdit>(name))
            return t->toPlainText();
        return "<none " + name + ">";
    }
    QList<QPair<int, int>> writes() { return decoder.feed(takeTrace()).writes; }
    QDateTime now() {
        ++clockReadings;
        return clockTimes.isEmpty() ? QDateTime(QDate(2026, 3, 14), QTime(9, 5, 7))
                                    : clockTimes.takeFirst();
    }

    ScriptedFileDialogs dialogs;
    TrafficDecoder decoder;
    frmTargetBoard* window = nullptr;
    QList<QDateTime> clockTimes;
    int clockReadings = 0;
};

TEST_F(TargetBoard, MenuWithCancelOpensWithoutProjectAndGoesOnline) {
    QAction* menu = action("mnuViewTargetBoardStatus");
    ASSERT_TRUE(menu->isEnabled());
    QStringList seen;
    // What the window shows when its first pass ends; then the user presses OK.
    const auto look = [&](frmTargetBoard* w) {
        if (!seen.isEmpty())
            return;
        for (const char* name :
             {"lblTargetBoard0", "lblTargetBoard1", "lblTargetBoard4", "lblTargetBoard5",
              "txtTargetBoard0", "txtTargetBoard3", "lblRevIdentInPLC0", "lblRevIdentInPLC1",
              "lblRevIdentInPLC2", "lblRevIdentOnDisk0", "lblRevIdentOnDisk3", "lblRevIdentOnDisk4",
              "txtSetup0"}) {
            const QString n = QString::fromLatin1(name);
            if (auto* l = w->findChild<QLabel*>(n))
                seen << l->text();
            else if (auto* e = w->findChild<QLineEdit*>(n))
                seen << e->text();
            else if (auto* t = w->findChild<QPlainTextEdit*>(n))
                seen << t->toPlainText();
        }
        // The computer's clock, as the window shows it.
        const QRegularExpression time("^\\d\\d : \\d\\d : \\d\\d$");
        seen << QString::number(
            time.match(w->findChild<QLabel*>("lblCurrTime")->text()).hasMatch());
        seen << QString::number(w->BoardCode());
        seen << (w->findChild<QLabel*>("lblTargetBoard2")->isHidden() ? "hidden" : "shown");
        seen << (w->findChild<QPushButton*>("cmdResetFaults")->isEnabled() ? "reset" : "no reset");
        QMetaObject::invokeMethod(w->findChild<QPushButton*>("cmdOk"), &QPushButton::click,
                                  Qt::QueuedConnection);
    };
    WhenShown<frmTargetBoard> user([&](frmTargetBoard* w) {
        if (w->loop().PassesCompleted() > 0)
            look(w);
        else
            QObject::connect(&w->loop(), &RefreshLoop::passCompleted, w, [&look, w] { look(w); });
    });
    QTimer limit; // a test that fails, not one that hangs
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    limit.start(WaitLimitMs);
    menu->trigger();
    EXPECT_EQ(dialogs.shown(), QStringList{"Open|Korvel Files (*.kvl *.KVL)|"});
    EXPECT_EQ(panelText("MODE"), "ONLINE");
    EXPECT_EQ(seen,
              (QStringList{"Current Fault: Code = 45H", "Last Fault: Code = 0AH",
                           "Current Comm Error: Code = 00H", "Last Comm Error: Code = 02H",
                           "System fault call", FaultStatus::CorrectiveAction(0x0A), "CUPR2700",
                           "4", "58", "-", "K2700(PLC)", "-", "05", "1", "68", "hidden", "reset"}))
        << seen.join(" | ").toStdString();
}

TEST_F(TargetBoard, AChosenProjectThatFailsTheDownloadChecksOpensNothing) {
    dialogs.queue(project("1"));
    action("mnuViewTargetBoardStatus")->trigger();
    EXPECT_EQ(main->shared().Files.gProgramFilePath, folder.filePath("P.kvl"));
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].text,
              "P file is incompatible with target board.\n\nProgram Downloaded Halted!");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(TargetBoard, PagesFollowTheBoardCode) {
    open(project("2"));
    EXPECT_FALSE(find("lblTargetBoard2")->isHidden());
    EXPECT_EQ(text("lblTargetBoard2"), "CO-CPU Slot: 3");
    EXPECT_TRUE(find("txtSetup1")->isHidden());
    EXPECT_FALSE(find("txtSetup0")->isHidden());
    for (int i = 2; i < 8; ++i)
        EXPECT_FALSE(find(QString("txtSetup%1").arg(i))->isEnabled()) << i;
    EXPECT_FALSE(find("cmdSetToCurrTime")->isEnabled());
    EXPECT_FALSE(find("lblTargetBoardDate")->isEnabled());
    EXPECT_EQ(text("txtSetup2"), "-");
    EXPECT_EQ(text("lblRevIdentOnDisk0"), "CUPPER01");
    EXPECT_EQ(text("lblRevIdentOnDisk1"), "3");
    EXPECT_EQ(text("lblRevIdentOnDisk2"), "171");
    EXPECT_EQ(text("lblRevIdentOnDisk3"), "R8050");
}

TEST_F(TargetBoard, BoardAShowsBothAddressesAndTheClock) {
    open(project("A"));
    EXPECT_TRUE(find("lblTargetBoard2")->isHidden());
    EXPECT_FALSE(find("txtSetup1")->isHidden());
    EXPECT_EQ(text("txtSetup0"), "05");
    EXPECT_EQ(text("txtSetup1"), "06");
    EXPECT_TRUE(find("cmdSetToCurrDate")->isEnabled());
    EXPECT_EQ(text("txtSetup5"), "03");
    EXPECT_EQ(text("txtSetup6"), "14");
    EXPECT_EQ(text("txtSetup7"), "26");
    EXPECT_EQ(text("txtSetup2"), "09");
}

TEST_F(TargetBoard, ResetFaultsAnsweredNoWritesNothingAndYesWritesInOrder) {
    open();
    ASSERT_TRUE(find("cmdResetFaults")->isEnabled());
    writes();
    prompt.queue(Prompt::Answer::No);
    find<QPushButton>("cmdResetFaults")->click();
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "WARNING - Fault Code Reset!");
    EXPECT_EQ(prompt.shown()[0].text,
              "Target Board will be reinitialized.\r\n\r\nDo you wish to continue?");
    EXPECT_EQ(prompt.shown()[0].icon, Prompt::Icon::Critical);
    EXPECT_EQ(prompt.shown()[0].buttons, Prompt::Buttons::YesNoCancel);
    EXPECT_TRUE(writes().isEmpty());
    EXPECT_TRUE(find("cmdResetFaults")->isEnabled());

    prompt.queue(Prompt::Answer::Yes);
    find<QPushButton>("cmdResetFaults")->click();
    EXPECT_EQ(writes(), (QList<QPair<int, int>>{{8178, 0}, {8179, 0}, {8177, 0}, {8176, 0}}));
    // The status is read anew: nothing left to reset.
    ASSERT_TRUE(pumpUntil(
        [&] { return !window->FirstPassPending() && window->loop().PassesCompleted() > 2; }));
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(text("lblTargetBoard0"), "Current Fault: Code = 00H");
    EXPECT_EQ(text("txtTargetBoard3"), "None");
    EXPECT_FALSE(find("cmdResetFaults")->isEnabled());
}

// The first name byte's read fails (twice, no comm error): the name of that
// pass is not whole and is not shown; the next whole one is.
TEST_F(TargetBoard, TheBoardNameShowsOnlyWhenAllEightBytesWereRead) {
    int misheard = 0;
    // The high byte of B61424, then of its repeat (after 1F, EF is B8175's low byte).
    board.faults().wrongEchoWhen = [&misheard, previous = 0](qint64, quint8 byte) mutable {
        const bool identHigh = byte == 0xEF && previous != 0x1F;
        previous = byte;
        return identHigh && misheard < 2 && ++misheard > 0;
    };
    open();
    ASSERT_EQ(misheard, 2);
    EXPECT_EQ(text("lblRevIdentInPLC0"), "-");
    EXPECT_EQ(text("lblRevIdentInPLC2"), "58");
    prompt.queue(Prompt::Answer::Yes);
    find<QPushButton>("cmdResetFaults")->click();
    ASSERT_TRUE(pumpUntil([&] { return !window->FirstPassPending(); }));
    EXPECT_EQ(text("lblRevIdentInPLC0"), "CUPR2700");
}

TEST_F(TargetBoard, FieldsFollowTheEditingProtocol) {
    open(project("6"));
    find<QTabBar>("tabTargetBoard")->setCurrentIndex(2);
    QLineEdit* address = find<QLineEdit>("txtSetup0");
    QTest::mouseClick(address, Qt::LeftButton);
    ASSERT_TRUE(address->hasFocus());
    QTest::keyClicks(address, "33");
    writes();
    QTest::keyClick(address, Qt::Key_Return);
    // The refused field takes the focus back.
    ASSERT_TRUE(pumpUntil([&] { return address->hasFocus(); }));
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Set-upCurrent Network Address 1:");
    EXPECT_EQ(prompt.shown()[0].text, "Only a Number Between 1 and 32 can be Entered");
    EXPECT_EQ(address->text(), "5");
    EXPECT_TRUE(window->EditActive(0));
    // While the field is edited the polls leave it alone.
    QTest::keyClicks(address, "12");
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(address->text(), "12");
    QTest::keyClick(address, Qt::Key_Return);
    EXPECT_EQ(writes(), (QList<QPair<int, int>>{{8180, 12}}));
    EXPECT_FALSE(window->EditActive(0));
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(address->text(), "12");

    // Esc restores the start value; the month's range is 1..12.
    find<QTabBar>("tabTargetBoard")->setCurrentIndex(3);
    QLineEdit* month = find<QLineEdit>("txtSetup5");
    QTest::mouseClick(month, Qt::LeftButton);
    QTest::keyClicks(month, "0");
    QTest::keyClick(month, Qt::Key_Escape);
    EXPECT_EQ(month->text(), "3");
    EXPECT_TRUE(window->isVisible()) << "Esc in a field is the field's";
    QTest::keyClicks(month, "0");
    QTest::keyClick(month, Qt::Key_Tab);
    ASSERT_TRUE(pumpUntil([&] { return month->hasFocus(); }));
    ASSERT_EQ(prompt.shown().size(), 2);
    EXPECT_EQ(prompt.shown()[1].title, "Set-upMo.");
    EXPECT_EQ(prompt.shown()[1].text, "Only a Number Between 1 and 12 can be Entered");
    QTest::keyClick(month, Qt::Key_Escape);
    QTest::keyClick(month, Qt::Key_Escape);
    EXPECT_FALSE(window->EditActive(5));

    // An arrow steps the shown text and writes it.
    writes();
    find<UpDown>("updSetup6")->upButton()->click();
    EXPECT_EQ(writes(), (QList<QPair<int, int>>{{43015, 15}}));
}

// Clock fields whose reads fail keep their "-": nothing to step or commit.
TEST_F(TargetBoard, AClockFieldShowingADashStepsAndCommitsNothing) {
    // Every byte A8 from the host is misheard twice: the clock registers
    // (A800..A809) never read.
    board.faults().wrongEchoWhen = [](qint64, quint8 byte) { return byte == 0xA8; };
    open(project("6"));
    find<QTabBar>("tabTargetBoard")->setCurrentIndex(3);
    QLineEdit* day = find<QLineEdit>("txtSetup6");
    ASSERT_TRUE(day->isEnabled());
    ASSERT_EQ(day->text(), "-");
    writes();
    find<UpDown>("updSetup6")->upButton()->click();
    QTest::mouseClick(day, Qt::LeftButton);
    QTest::keyClick(day, Qt::Key_Tab);
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(day->text(), "-");
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_TRUE(writes().isEmpty());
}

// A second ends between the writes: the board still gets one time.
TEST_F(TargetBoard, SetButtonsWriteOneSnapshotOfTheClock) {
    open(project("A"));
    clockTimes = {QDateTime(QDate(2026, 1, 31), QTime(10, 59, 59)),
                  QDateTime(QDate(2026, 2, 1), QTime(11, 0, 0)),
                  QDateTime(QDate(2026, 2, 1), QTime(11, 0, 0))};
    writes();
    const int before = clockReadings;
    find<QPushButton>("cmdSetToCurrTime")->click();
    EXPECT_EQ(clockReadings, before + 1);
    EXPECT_EQ(writes(), (QList<QPair<int, int>>{{43012, 10}, {43010, 59}, {43008, 59}}));
    clockTimes = {QDateTime(QDate(2026, 1, 31), QTime(23, 59, 59)),
                  QDateTime(QDate(2026, 2, 1), QTime(0, 0, 0))};
    find<QPushButton>("cmdSetToCurrDate")->click();
    EXPECT_EQ(writes(), (QList<QPair<int, int>>{{43016, 1}, {43015, 31}, {43017, 26}}));
}

TEST_F(TargetBoard, SilentBoardShowsTheOfflineDisplayAndGoOnlineRecovers) {
    open();
    board.faults().silentFromByte = board.bytesReceived();
    ASSERT_TRUE(pumpUntil([&] { return window->loop().OfflinePrepared(); }, 20000));
    EXPECT_EQ(text("txtTargetBoard0"), "Cannot Communicate with Target Board.");
    EXPECT_EQ(text("txtTargetBoard3"), "Cannot Communicate with Target Board.");
    EXPECT_FALSE(find("cmdGoOnline")->isHidden());
    EXPECT_FALSE(find("cmdResetFaults")->isEnabled());
    EXPECT_FALSE(find("txtSetup0")->isEnabled());
    EXPECT_EQ(panelText("MODE"), "OFFLINE");

    board.faults().silentFromByte = -1;
    prompt.clear();
    find<QPushButton>("cmdGoOnline")->click();
    ASSERT_TRUE(passes(1));
    EXPECT_TRUE(find("cmdGoOnline")->isHidden());
    EXPECT_EQ(text("txtTargetBoard0"), "System fault call");
    EXPECT_TRUE(find("txtSetup0")->isEnabled());
}

// After a real Go Online from offline, the button goes once the ident block
// has been read, before the pass polls the fields: it is gone when the host
// sends its first byte after asking for the block's last byte (EFF9H).
TEST_F(TargetBoard, GoOnlineGoesOnceTheIdentIsReadBeforeTheFieldsArePolled) {
    open();
    board.faults().silentFromByte = board.bytesReceived();
    ASSERT_TRUE(pumpUntil([&] { return window->loop().OfflinePrepared(); }, 20000));
    ASSERT_FALSE(find("cmdGoOnline")->isHidden());
    board.faults().silentFromByte = -1;

    // The address bytes EF F9 in a row: nothing else polled has a high byte F9.
    bool identRead = false;
    quint8 previous = 0;
    std::optional<bool> hiddenAfterIdent;
    board.faults().wrongEchoWhen = [&](qint64, quint8 byte) {
        if (identRead && !hiddenAfterIdent)
            hiddenAfterIdent = find("cmdGoOnline")->isHidden();
        identRead = identRead || (previous == 0xEF && byte == 0xF9);
        previous = byte;
        return false;
    };
    find<QPushButton>("cmdGoOnline")->click();
    const bool seen = pumpUntil([&] { return hiddenAfterIdent.has_value(); });
    board.faults().wrongEchoWhen = nullptr; // it watches this test's state
    ASSERT_TRUE(seen);
    EXPECT_TRUE(*hiddenAfterIdent);
}

class Closing : public TargetBoard, public ::testing::WithParamInterface<int> {};

// Ok, Esc and the close box end the loop alike, and it runs no more.
TEST_P(Closing, EndsTheLoop) {
    open();
    switch (GetParam()) {
    case 0:
        find<QPushButton>("cmdOk")->click();
        break;
    case 1:
        find<QTabBar>("tabTargetBoard")->setFocus();
        QTest::keyClick(find("tabTargetBoard"), Qt::Key_Escape);
        break;
    default:
        window->close();
        break;
    }
    EXPECT_FALSE(window->loop().LoopRunning());
    EXPECT_FALSE(window->isVisible());
    const qint64 passes = window->loop().PassesCompleted();
    pump(100);
    EXPECT_EQ(window->loop().PassesCompleted(), passes);
}

INSTANTIATE_TEST_SUITE_P(OkEscCloseBox, Closing, ::testing::Values(0, 1, 2));

} // namespace
