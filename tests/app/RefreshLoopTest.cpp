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
    explicit FakeView(RSComm& link) : m_link(link) {}

    void CycleStart() override { calls.append("cycle"); }
    void PrepareOnline() override { calls.append("prepareOnline"); }
    void PrepareOffline() override { calls.append("prepareOffline"); }
    void PollPassStart() override { calls.append("pass"); }
    int PollCount() const override { return 3; }
    bool PollStep(int index) override {
        calls.append(QStringLiteral("poll%1").arg(index));
        // The event loop must have run since the last step.
        if (m_yieldPending)
            stepsWithoutYield++;
        m_yieldPending = true;
        QTimer::singleShot(0, [this] { m_yieldPending = false; });
        if (duringStep)
            duringStep(index);
        m_link.RSRead(QStringLiteral("W%1").arg(1040 + 2 * index));
        return !m_link.CommError();
    }
    void MemoryPass() override { calls.append("memory"); }

    int count(const QString& call) const { return int(calls.count(call)); }

    QStringList calls;
    int stepsWithoutYield = 0;
    std::function<void(int)> duringStep;

private:
    RSComm& m_link;
    bool m_yieldPending = false;
};

class Loop : public LinkFixture {
protected:
    Loop() {
        EnsureApplication();
        board.cupper().hold(true);
    }
    bool pumpUntil(const std::function<bool()>& condition, int timeoutMs = 3000) {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > timeoutMs)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }
    void pump(int ms) {
        pumpUntil([] { return false; }, ms);
    }

    FakeView view{link};
    int applied = 0;
    RefreshLoop loop{link,
                     [this] {
                         ++applied;
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

} // namespace
