// The refresh loop every view runs: one transaction per step, the switch
// between online and offline passes, and stopping at once.
#include "RefreshLoop.h"
#include "AppFixture.h"
#include "LinkFixture.h"

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimer>

namespace {

// A view that reads three registers a pass and records what the loop asks of it.
class FakeView final : public RefreshView {
public:
    void CycleStart() override { calls.append("cycle"); }
    void PrepareOnline() override { calls.append("prepareOnline"); }
    void PrepareOffline() override { calls.append("prepareOffline"); }
    // Where in calls each pass started: kept apart, the call order stays as it was.
    void PassStart() override { passStarts.append(int(calls.size())); }
    QList<PollItem> PollItems() override {
        calls.append("pass");
        QList<PollItem> items;
        for (int i = 0; i < 3; ++i) {
            PollItem item{QStringLiteral("W%1").arg(1040 + 2 * i), [this, i](const QString& v) {
                              shown.append(QStringLiteral("%1=%2").arg(i).arg(v));
                          }};
            item.when = [this, i] {
                calls.append(QStringLiteral("poll%1").arg(i));
                // The event loop must have run since the last step.
                if (m_yieldPending)
                    stepsWithoutYield++;
                m_yieldPending = true;
                QTimer::singleShot(0, &m_alive, [this] { m_yieldPending = false; });
                if (duringStep)
                    duringStep(i);
                return !skip.contains(i);
            };
            item.readFailed = [this, i] { failed.append(i); };
            items.append(item);
        }
        return items;
    }
    void MemoryPass() override { calls.append("memory"); }

    int count(const QString& call) const { return int(calls.count(call)); }

    QStringList calls;
    QStringList shown;
    QList<int> failed;
    QList<int> passStarts;
    QList<int> skip;
    int stepsWithoutYield = 0;
    std::function<void(int)> duringStep;

private:
    bool m_yieldPending = false;
    QObject m_alive; // the yield check's timer dies with the view
};

class Loop : public LinkFixture {
protected:
    Loop() {
        EnsureApplication();
        board.cupper().hold(true);
    }
    bool pumpUntil(const std::function<bool()>& condition, int timeoutMs = WaitLimitMs) {
        return PumpUntil(condition, timeoutMs);
    }
    void pump(int ms) {
        pumpUntil([] { return false; }, ms);
    }

    FakeView view;
    int applied = 0;
    RefreshLoop loop{link,
                     [this] {
                         ++applied;
                         link.setOnlineMode(false);
                         link.CloseRSComm();
                     },
                     view};
};

TEST_F(Loop, OfflineItPreparesOnceAndShowsMemory) {
    loop.Start();
    EXPECT_TRUE(loop.LoopRunning());
    EXPECT_TRUE(view.calls.isEmpty()); // the first step runs from the event loop
    ASSERT_TRUE(pumpUntil([&] { return view.count("memory") >= 3; }));
    EXPECT_EQ(view.count("prepareOffline"), 1);
    EXPECT_TRUE(loop.OfflinePrepared());
    EXPECT_FALSE(loop.OnlinePrepared());
    EXPECT_EQ(takeTrace(), "");
    EXPECT_EQ(view.calls.mid(0, 3), (QStringList{"cycle", "prepareOffline", "memory"}));
}

// Each online pass starts right before its items are asked for; an offline
// cycle starts none.
TEST_F(Loop, EveryOnlinePassStartsJustBeforeItsItems) {
    loop.Start();
    ASSERT_TRUE(pumpUntil([&] { return view.count("memory") >= 2; }));
    EXPECT_TRUE(view.passStarts.isEmpty());
    goOnline();
    ASSERT_TRUE(pumpUntil([&] { return loop.PassesCompleted() >= 3; }));
    loop.Stop();
    EXPECT_EQ(view.passStarts.size(), view.count("pass"));
    for (const int at : view.passStarts)
        EXPECT_EQ(view.calls.value(at), "pass") << at;
}

TEST_F(Loop, OnlineItReadsOneRegisterPerStepWithoutPause) {
    goOnline();
    loop.Start();
    ASSERT_TRUE(pumpUntil([&] { return loop.PassesCompleted() >= 5; }));
    EXPECT_EQ(view.stepsWithoutYield, 0);
    EXPECT_EQ(view.count("prepareOnline"), 1);
    EXPECT_EQ(view.calls.mid(0, 6),
              (QStringList{"cycle", "prepareOnline", "pass", "poll0", "poll1", "poll2"}));
    EXPECT_EQ(view.count("memory"), 0);
    // Going offline is noticed at the next step: the pass ends, memory shows.
    link.CloseRSComm();
    ASSERT_TRUE(pumpUntil([&] { return view.count("memory") >= 1; }));
    EXPECT_EQ(view.count("prepareOffline"), 1);
    EXPECT_FALSE(loop.OnlinePrepared());
    EXPECT_EQ(applied, 0);
}

TEST_F(Loop, ACommErrorTakesTheProgramOfflineAtTheNextCycle) {
    goOnline();
    loop.Start();
    ASSERT_TRUE(pumpUntil([&] { return loop.PassesCompleted() >= 1; }));
    board.faults().silentFromByte = board.bytesReceived();
    prompt.queue(Prompt::Answer::Retry);
    prompt.queue(Prompt::Answer::Cancel);
    ASSERT_TRUE(pumpUntil([&] { return view.count("memory") >= 1; }));
    EXPECT_EQ(applied, 1);
    EXPECT_FALSE(link.OnlineMode());
    EXPECT_EQ(prompt.shown().size(), 2);
    // The failed step ended its pass: no further read was tried.
    const int polls = int(view.calls.filter(QRegularExpression("^poll")).size());
    pump(100);
    EXPECT_EQ(int(view.calls.filter(QRegularExpression("^poll")).size()), polls);
}

TEST_F(Loop, StoppedInsideAStepItTouchesNothingMore) {
    goOnline();
    board.faults().silentFromByte = board.bytesReceived() + 30;
    prompt.onShown = [&](const ScriptedPrompt::Shown&) { loop.Stop(); };
    loop.Start();
    ASSERT_TRUE(pumpUntil([&] { return !prompt.shown().isEmpty(); }));
    const QStringList before = view.calls;
    pump(100);
    EXPECT_EQ(view.calls, before);
    EXPECT_FALSE(loop.LoopRunning());
    EXPECT_FALSE(loop.InStep());
    EXPECT_EQ(applied, 0); // a stopped view takes nobody offline
}

TEST_F(Loop, StepsWaitWhileAnotherTransactionIsInItsMessageBox) {
    goOnline();
    loop.Start();
    ASSERT_TRUE(pumpUntil([&] { return loop.PassesCompleted() >= 1; }));
    board.faults().silentFromByte = board.bytesReceived();
    int pollsDuringBox = -1;
    prompt.onShown = [&](const ScriptedPrompt::Shown&) {
        // A message box runs its own event loop: timers fire inside it.
        const int before = int(view.calls.size());
        pump(100);
        pollsDuringBox = int(view.calls.size()) - before;
    };
    link.RSRead("W0"); // another window's read, failing
    EXPECT_EQ(pollsDuringBox, 0);
}

TEST_F(Loop, StepsWaitWhileAModalWindowIsOpen) {
    goOnline();
    loop.Start();
    ASSERT_TRUE(pumpUntil([&] { return loop.PassesCompleted() >= 1; }));
    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    pump(30);
    const auto before = view.calls.size();
    pump(100);
    EXPECT_EQ(view.calls.size(), before);
    dialog.close();
    EXPECT_TRUE(pumpUntil([&] { return view.calls.size() > before; }));
}

TEST_F(Loop, NewCycleEndsThePassInProgress) {
    goOnline();
    view.duringStep = [&](int index) {
        if (index == 1 && view.count("pass") == 1)
            loop.NewCycle(); // a tab changed
    };
    loop.Start();
    ASSERT_TRUE(pumpUntil([&] { return view.count("pass") >= 2; }));
    EXPECT_EQ(view.calls.mid(0, 8), (QStringList{"cycle", "prepareOnline", "pass", "poll0", "poll1",
                                                 "cycle", "pass", "poll0"}));
}

TEST_F(Loop, EachItemShowsItsValueAndSkippedItemsCostNoTransaction) {
    board.memory().setWord(1040, 17);
    board.memory().setWord(1044, 23);
    view.skip = {1};
    goOnline();
    takeTrace();
    loop.Start();
    ASSERT_TRUE(pumpUntil([&] { return loop.PassesCompleted() >= 1; }));
    loop.Stop();
    EXPECT_EQ(view.shown.mid(0, 2), (QStringList{"0=17", "2=23"}));
    // Word reads of W1040 and W1044 only: address low bytes 10 and 14.
    const QString trace = takeTrace();
    EXPECT_TRUE(trace.contains(QStringLiteral("h10"))) << qPrintable(trace);
    EXPECT_FALSE(trace.contains(QStringLiteral("h12"))) << qPrintable(trace);
}

TEST_F(Loop, AReadThatFinallyFailedKeepsWhatShowsAndThePassGoesOn) {
    goOnline();
    // The next read (W1040) gets a wrong address echo, and so does its repeat.
    int misheard = 0;
    board.faults().wrongEchoWhen = [&misheard](qint64, quint8 byte) {
        return byte == 0x04 && misheard++ < 2;
    };
    loop.Start();
    ASSERT_TRUE(pumpUntil([&] { return loop.PassesCompleted() >= 1; }));
    loop.Stop();
    EXPECT_EQ(view.failed.value(0, -1), 0);
    EXPECT_FALSE(view.shown.first().startsWith("0="));
    EXPECT_EQ(applied, 0);
    EXPECT_TRUE(link.OnlineMode());
}

TEST_F(Loop, ALoopOwnedByAModalDialogRunsUnderItButPausesForAMessageBoxOverIt) {
    goOnline();
    QDialog owner;
    owner.setModal(true);
    loop.setOwner(&owner);
    owner.show();
    loop.Start();
    ASSERT_TRUE(pumpUntil([&] { return loop.PassesCompleted() >= 2; }));
    // A message box over the owner: the loop holds still until it closes.
    QDialog box(&owner);
    box.setModal(true);
    box.show();
    pump(30);
    const auto before = view.calls.size();
    pump(100);
    EXPECT_EQ(view.calls.size(), before);
    box.close();
    EXPECT_TRUE(pumpUntil([&] { return view.calls.size() > before; }));
    owner.close();
}

} // namespace
