// The board search over real pseudo-terminals: boards served by
// telvane-boardsim at their own speeds, a device that stays silent, and one
// that is not there.
#include "BoardSearch.h"
#include "AnySerialPort.h"
#include "BoardProcess.h"
#include "Clock.h"
#include "LinkFixture.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"
#include "SilentPty.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Runs the search to its end (the wall clock only as a safety limit).
bool RunToEnd(BoardSearch& search, const QStringList& devices) {
    QEventLoop loop;
    QObject::connect(&search, &BoardSearch::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    search.start(devices);
    if (search.running())
        loop.exec();
    return !search.running();
}

TEST(BoardSearchTest, FindsEachBoardAtItsSpeedAndSendsOnlyTheAttentionByte) {
    EnsureCoreApplication();
    BoardProcess fast({QStringLiteral("--baud"), QStringLiteral("19200")});
    BoardProcess slow({QStringLiteral("--baud"), QStringLiteral("9600")});
    ASSERT_TRUE(fast.started() && slow.started());
    SilentPty silent;
    ASSERT_FALSE(silent.path().isEmpty());
    const QString missing = QStringLiteral("/dev/telvane-no-such-port");

    BoardSearch search;
    QStringList tried;
    QObject::connect(&search, &BoardSearch::trying, [&](const QString& device, int baud, int, int) {
        tried << QStringLiteral("%1 %2").arg(device).arg(baud);
    });
    ASSERT_TRUE(RunToEnd(search, {slow.pty(), silent.path(), missing, fast.pty()}));

    ASSERT_EQ(search.boards().size(), 2);
    EXPECT_EQ(search.boards()[0].device, slow.pty());
    EXPECT_EQ(search.boards()[0].baud, 9600);
    EXPECT_EQ(search.boards()[1].device, fast.pty());
    EXPECT_EQ(search.boards()[1].baud, 19200);
    ASSERT_EQ(search.unopened().size(), 1);
    EXPECT_EQ(search.unopened()[0].device, missing);
    EXPECT_EQ(search.unopened()[0].reason, "does not exist");
    // A board found at 19200 is not asked again at 9600.
    EXPECT_EQ(tried,
              QStringList({slow.pty() + " 19200", slow.pty() + " 9600", silent.path() + " 19200",
                           silent.path() + " 9600", missing + " 19200", fast.pty() + " 19200"}));
    // One attention byte per speed, nothing else.
    EXPECT_EQ(silent.received(), QByteArray("\xff\xff"));
}

TEST(BoardSearchTest, NamesWhatItTriedWhenNoBoardAnswersAndStopsWhenCancelled) {
    EnsureCoreApplication();
    SilentPty first;
    SilentPty second;
    BoardSearch search;
    ASSERT_TRUE(RunToEnd(search, {first.path(), QStringLiteral("/dev/telvane-no-such-port")}));
    EXPECT_TRUE(search.boards().isEmpty());
    EXPECT_EQ(search.nothingFound(),
              "No board answered at 19200 or 9600 baud on " + first.path() +
                  "; not opened: /dev/telvane-no-such-port (does not exist).");

    first.received();
    int finished = 0;
    QObject::connect(&search, &BoardSearch::finished, [&] { ++finished; });
    QObject::connect(&search, &BoardSearch::trying, &search,
                     [&](const QString&, int, int step, int) {
                         if (step == 2)
                             search.cancel();
                     });
    ASSERT_TRUE(RunToEnd(search, {first.path(), second.path()}));
    EXPECT_TRUE(search.cancelled());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(first.received(), QByteArray("\xff"));
    EXPECT_EQ(second.received(), QByteArray());
}

TEST(BoardSearchTest, ANewStartFinishesTheRunningSearchOnceUnderItsOwnNumber) {
    EnsureCoreApplication();
    SilentPty first;
    SilentPty second;
    BoardSearch search;
    int latest = 0;
    QList<int> direct;
    QList<int> queued; // as a listener that runs later sees them
    QEventLoop loop;
    QObject::connect(&search, &BoardSearch::finished, [&](int n) { direct << n; });
    QObject::connect(
        &search, &BoardSearch::finished, &loop,
        [&](int n) {
            queued << n;
            if (n == latest)
                loop.quit();
        },
        Qt::QueuedConnection);
    const int old = search.start({first.path()});
    latest = search.start({second.path()});
    EXPECT_NE(old, latest);
    EXPECT_EQ(direct, QList<int>{old});
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(direct, (QList<int>{old, latest}));
    EXPECT_EQ(queued, (QList<int>{old, latest}));
    EXPECT_EQ(first.received(), QByteArray());
    EXPECT_EQ(second.received(), QByteArray("\xff\xff"));
}

TEST(BoardSearchTest, FindsABoardTheLastLinkLeftInReadOrWriteModeAtOnceAtItsSpeed) {
    EnsureCoreApplication();
    BoardProcess board({QStringLiteral("--baud"), QStringLiteral("19200")});
    ASSERT_TRUE(board.started());
    for (const bool writing : {false, true}) {
        SCOPED_TRACE(writing ? "write mode" : "read mode");
        {
            // The link's farewell 255 is an address byte to a board in read
            // or write mode: the board waits in the middle of a record.
            QTemporaryDir home;
            ScriptedPrompt prompt;
            SteadyClock clock;
            RSComm link(prompt, clock, home.path());
            AnySerialPort port;
            link.OpenRSComm(port, {1, QStringLiteral("19200"), board.pty()});
            ASSERT_TRUE(link.OnlineMode());
            if (writing)
                link.RSWrite(QStringLiteral("W1020"), QStringLiteral("200"));
            else
                link.RSRead(QStringLiteral("W1020"));
            link.CloseRSComm();
        }
        BoardSearch search;
        QStringList tried;
        QObject::connect(&search, &BoardSearch::trying,
                         [&](const QString& device, int baud, int, int) {
                             tried << QStringLiteral("%1 %2").arg(device).arg(baud);
                         });
        ASSERT_TRUE(RunToEnd(search, {board.pty()}));
        ASSERT_EQ(search.boards().size(), 1);
        EXPECT_EQ(search.boards()[0].baud, 19200);
        EXPECT_EQ(tried, QStringList{board.pty() + " 19200"});
    }
}

} // namespace
