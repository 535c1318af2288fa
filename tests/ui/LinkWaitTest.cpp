#include "AppFixture.h"

#include "Clock.h"
#include "LinkWaitDisplay.h"
#include "QtSerialPort.h"
#include "SilentPty.h"
#include "StatusPanels.h"
#include "frmMain.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Counts the paint events of one widget.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

class LinkWait : public AppFixture {};

// The port reads its bytes straight from the device, and the event loop
// running between two exchanges leaves them there (polling the terminal on
// every turn would cost each turn a wait on the kernel): bytes that came
// meanwhile are read after it, in their order.
TEST_F(LinkWait, BytesThatCameWhileTheEventLoopRanAreReadInOrder) {
    SilentPty device;
    QtSerialPort port;
    PortSettings settings;
    settings.device = device.path();
    ASSERT_TRUE(port.open(settings));
    ASSERT_TRUE(device.send(QByteArray(1, '\x11')));
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 100)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(port.bytesAvailable(), 0); // still the device's
    ASSERT_TRUE(device.send(QByteArray(1, '\x22')));

    ASSERT_TRUE(port.waitForByte(1000));
    EXPECT_EQ(port.readByte(), 0x11);
    ASSERT_TRUE(port.waitForByte(1000));
    EXPECT_EQ(port.readByte(), 0x22);
    EXPECT_FALSE(port.waitForByte(50));
    EXPECT_EQ(port.readByte(), -1);
}

TEST_F(LinkWait, SilentBoardLetsTimersRunButStartsNoOtherTransaction) {
    startMainWindow();
    goOnline();
    tick();
    const QString before = panelText("STATUS");
    ASSERT_EQ(before, "System Message:  All Faults Normal");
    takeTrace();
    board.faults().silentFromByte = board.bytesReceived();

    // Fires only if the wait lets timers run; it then tries what a timer
    // could: the background update and a change of mode.
    bool fired = false;
    bool busy = false;
    QString during;
    QString traceDuring;
    QTimer::singleShot(0, main.get(), [&] {
        fired = true;
        busy = main->link().Busy();
        during = panelText("STATUS");
        main->tmrBackgroungUpdate_Timer();
        action("mnuViewOffline")->trigger();
        traceDuring = port.trace();
    });
    PaintCounter paints(panel("STATUS"));
    QString whenAsked;
    prompt.onShown = [&](const ScriptedPrompt::Shown&) { whenAsked = panelText("STATUS"); };

    tick(); // an alarm read that never gets its answer
    EXPECT_TRUE(fired);
    EXPECT_TRUE(busy);
    EXPECT_EQ(during, "Waiting for the board on SIM ...");
    EXPECT_GE(paints.count, 1);
    // Only the one byte was out when the timer ran, and only its attention
    // resends followed.
    EXPECT_EQ(traceDuring.count(u'h'), 1) << traceDuring.toStdString();
    EXPECT_EQ(port.trace().count(u'h'), 3) << port.trace().toStdString();
    EXPECT_EQ(prompt.shown().size(), 1);
    // The question replaces the waiting text; the mode change waited its turn.
    EXPECT_EQ(whenAsked, before);
    EXPECT_EQ(panelText("STATUS"), before);
    EXPECT_TRUE(main->link().OnlineMode());
    EXPECT_EQ(panelText("MODE"), "ONLINE");
}

TEST_F(LinkWait, QuickAnswersLetNothingElseRun) {
    startMainWindow();
    goOnline();
    bool fired = false;
    QTimer::singleShot(0, main.get(), [&] { fired = true; });
    board.memory().setWord(1020, 5);
    EXPECT_EQ(main->link().RSRead("W1020"), "5");
    tick();
    main->link().RSWrite("W1020", "6");
    EXPECT_FALSE(fired);
    EXPECT_EQ(panelText("STATUS"), "System Message:  All Faults Normal");
    pumpUntil([&] { return fired; });
    EXPECT_TRUE(fired);
}

TEST_F(LinkWait, PanelGetsBackWhatItShowedUnlessSomethingNewCame) {
    startMainWindow();
    StatusPanels& panels = *main->statusPanels();
    panels.setPanelText(StatusPanels::Status, "before");
    LinkWaitDisplay display(main->link(), panels);
    display.started("/dev/ttyS0");
    EXPECT_EQ(panelText("STATUS"), "Waiting for the board on /dev/ttyS0 ...");
    // A wait inside a wait leaves the outer one's text to restore.
    display.started("/dev/ttyS0");
    display.ended();
    EXPECT_EQ(panelText("STATUS"), "Waiting for the board on /dev/ttyS0 ...");
    display.ended();
    EXPECT_EQ(panelText("STATUS"), "before");
    display.ended(); // unmatched: harmless
    EXPECT_EQ(panelText("STATUS"), "before");
    // A status set during the wait is newer than the one saved.
    display.started("SIM");
    panels.setPanelText(StatusPanels::Status, "news");
    display.ended();
    EXPECT_EQ(panelText("STATUS"), "news");
}

// The main window on a real pseudo-terminal whose far end is the test: a
// board that answers only when the test's timer runs.
class LinkWaitOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(m_master, 0);
        ASSERT_EQ(::grantpt(m_master), 0);
        ASSERT_EQ(::unlockpt(m_master), 0);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        device = QString::fromLocal8Bit(::ptsname(m_master));
        QDir(folder.path()).mkpath(QStringLiteral("Support"));
        QFile cfg(folder.filePath(QStringLiteral("Support/RSPort.cfg")));
        ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
        cfg.write(("1,19200," + device + "\r\n").toLocal8Bit());
    }
    void TearDown() override {
        main.reset();
        if (m_master >= 0)
            ::close(m_master);
    }
    // What the program has sent, once something has come (2 s at most).
    QByteArray readMaster() {
        pollfd ready{m_master, POLLIN, 0};
        ::poll(&ready, 1, 2000);
        QByteArray got;
        char buffer[64];
        ssize_t n = 0;
        while ((n = ::read(m_master, buffer, sizeof buffer)) > 0)
            got.append(buffer, qsizetype(n));
        return got;
    }
    void answer(char byte) { ASSERT_EQ(::write(m_master, &byte, 1), 1); }

    int m_master = -1;
    QString device;
    QTemporaryDir folder;
    SteadyClock clock;
    QtSerialPort port;
    ScriptedPrompt prompt;
    ViewTable views;
    std::unique_ptr<frmMDIMain> main;
};

TEST_F(LinkWaitOnPty, BoardThatAnswersLateFindsTheWindowWaiting) {
    main = std::make_unique<frmMDIMain>(prompt, clock, port, folder.path(), views);
    main->findChild<QTimer*>(QStringLiteral("tmrBackgroungUpdate"))->stop();
    main->show();
    auto* status = main->findChild<QLabel*>(QStringLiteral("STATUS"));
    const QString before = status->text();

    QByteArray sentBeforeAnswer;
    QString during;
    QTimer::singleShot(0, main.get(), [&] {
        during = status->text();
        main->tmrBackgroungUpdate_Timer(); // finds the link busy
        sentBeforeAnswer = readMaster();
        answer('\x55');
    });
    main->findChild<QAction*>(QStringLiteral("mnuViewOnline"))->trigger();

    EXPECT_EQ(during, LinkWaitDisplay::WaitingText(device));
    EXPECT_EQ(during, "Waiting for the board on " + device + " ...");
    EXPECT_EQ(sentBeforeAnswer, QByteArray("\xFF", 1));
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_TRUE(main->link().OnlineMode());
    EXPECT_EQ(status->text(), before);
}

} // namespace
